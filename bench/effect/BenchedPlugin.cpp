#include "BenchedPlugin.h"

#include <cstdio>
#include <cstring>
#include <random>

namespace {

intptr_t VSTCALLBACK HostCallback(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
  return opcode == audioMasterVersion ? kVstVersion : 0;
}

} // namespace

BenchedPlugin::BenchedPlugin(VstPluginMainProc entry, double rate, int blockSize)
    : frames(blockSize) {
  std::mt19937 generator(7);
  std::uniform_real_distribution<float> uniform(-1.0f, 1.0f);
  for (int ch = 0; ch < 2; ++ch) {
    input[ch].resize(static_cast<std::size_t>(blockSize));
    output[ch].resize(static_cast<std::size_t>(blockSize));
    for (float& x : input[ch])
      x = uniform(generator);
    inputs[ch] = input[ch].data();
    outputs[ch] = output[ch].data();
  }
  effect = entry != nullptr ? entry(&HostCallback) : nullptr;
  if (effect == nullptr || effect->magic != kEffectMagic) {
    effect = nullptr;
    return;
  }
  Dispatch(effOpen, 0, 0, nullptr, 0.0f);
  Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
  Dispatch(effSetBlockSize, 0, blockSize, nullptr, 0.0f);
  Dispatch(effMainsChanged, 0, 1, nullptr, 0.0f);
  Dispatch(effStartProcess, 0, 0, nullptr, 0.0f);
}

std::unique_ptr<BenchedPlugin> BenchedPlugin::Load(const std::string& path, double rate,
                                                   int blockSize, std::string& error) {
  auto library = std::make_unique<vsthost::PluginModule>();
  if (!library->Load(path, error)) return nullptr;
  auto plugin = std::make_unique<BenchedPlugin>(library->EntryPoint(), rate, blockSize);
  if (!plugin->Valid()) {
    error = path + ": the entry point made no plug-in";
    return nullptr;
  }
  plugin->module = std::move(library);
  return plugin;
}

BenchedPlugin::~BenchedPlugin() {
  if (effect == nullptr) return;
  Dispatch(effStopProcess, 0, 0, nullptr, 0.0f);
  Dispatch(effMainsChanged, 0, 0, nullptr, 0.0f);
  Dispatch(effClose, 0, 0, nullptr, 0.0f);
}

intptr_t BenchedPlugin::Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                 float opt) {
  return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

bool BenchedPlugin::EditorSize(int& width, int& height) {
  ERect* rect = nullptr;
  if (effect == nullptr || (effect->flags & effFlagsHasEditor) == 0) return false;
  Dispatch(effEditGetRect, 0, 0, &rect, 0.0f);
  if (rect == nullptr) return false;
  width = rect->right - rect->left;
  height = rect->bottom - rect->top;
  return width > 0 && height > 0;
}

void BenchedPlugin::SelectProgram(int program) {
  Dispatch(effSetProgram, 0, program, nullptr, 0.0f);
}

void BenchedPlugin::SetParameter(int index, float normalised) {
  effect->setParameter(effect, index, normalised);
}

void BenchedPlugin::Note(bool on) {
  VstMidiEvent event{};
  event.type = kVstMidiType;
  event.byteSize = sizeof event;
  event.midiData[0] = static_cast<char>(on ? 0x90 : 0x80);
  event.midiData[1] = 60;
  event.midiData[2] = on ? 100 : 0;
  VstEvents list{};
  list.numEvents = 1;
  list.events[0] = reinterpret_cast<VstEvent*>(&event);
  Dispatch(effProcessEvents, 0, 0, &list, 0.0f);
}

void BenchedPlugin::ProcessBlock() {
  effect->processReplacing(effect, inputs, outputs, frames);
}

std::unique_ptr<BenchedPlugin> LoadPluginWithEditor(const std::string& path, double rate,
                                                    int blockSize, int& width, int& height) {
  std::string error;
  std::unique_ptr<BenchedPlugin> plugin = BenchedPlugin::Load(path, rate, blockSize, error);
  if (plugin && !plugin->EditorSize(width, height)) {
    error = path + ": the plug-in has no editor";
    plugin.reset();
  }
  if (!plugin) std::fprintf(stderr, "%s\n", error.c_str());
  return plugin;
}
