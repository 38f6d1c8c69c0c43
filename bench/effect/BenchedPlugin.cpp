#include "BenchedPlugin.h"

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
