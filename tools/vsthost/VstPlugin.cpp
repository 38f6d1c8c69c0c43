#include "VstPlugin.h"

#include "TextNumbers.h"

#include <cstdlib>

namespace vsthost {
namespace {

// A whole decimal number within [0, count), else -1.
int IndexFromText(const std::string& text, int count) {
  if (text.empty()) return -1;
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (*end != '\0' || value < 0 || value >= count) return -1;
  return static_cast<int>(value);
}

} // namespace

VstPlugin::~VstPlugin() {
  Close();
}

bool VstPlugin::Create(VstPluginMainProc entry, audioMasterCallback host, std::string& error) {
  Close();
  AEffect* effect = entry(host);
  if (effect == nullptr) {
    error = "the plug-in's entry point answered no effect";
    return false;
  }
  if (effect->magic != kEffectMagic || effect->dispatcher == nullptr) {
    error = "the plug-in's entry point answered something that is not an effect record";
    return false;
  }
  effect_ = effect;
  return true;
}

void VstPlugin::Close() {
  if (effect_ != nullptr) effect_->dispatcher(effect_, effClose, 0, 0, nullptr, 0.0f);
  effect_ = nullptr;
}

intptr_t VstPlugin::Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                             float opt) const {
  return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

std::string VstPlugin::Text(int32_t opcode, int32_t index) const {
  char buffer[512] = {};
  Dispatch(opcode, index, 0, buffer);
  buffer[sizeof buffer - 1] = '\0';
  return buffer;
}

int VstPlugin::FindParam(const std::string& key) const {
  const int byIndex = IndexFromText(key, ParamCount());
  if (byIndex >= 0) return byIndex;
  for (int i = 0; i < ParamCount(); ++i) {
    if (SameIgnoringCase(ParamName(i), key)) return i;
  }
  return -1;
}

int VstPlugin::FindProgram(const std::string& key) const {
  const int byIndex = IndexFromText(key, ProgramCount());
  if (byIndex >= 0) return byIndex;
  for (int i = 0; i < ProgramCount(); ++i) {
    if (SameIgnoringCase(ProgramName(i), key)) return i;
  }
  return -1;
}

bool VstPlugin::SetParamText(int index, const std::string& text) const {
  std::string copy = text;
  return Dispatch(effString2Parameter, index, 0, &copy[0]) != 0;
}

void VstPlugin::SetParamNormalised(int index, float value) const {
  effect_->setParameter(effect_, index, value);
}

float VstPlugin::ParamNormalised(int index) const {
  return effect_->getParameter(effect_, index);
}

std::vector<uint8_t> VstPlugin::GetProgramState() const {
  void* data = nullptr;
  const intptr_t size = Dispatch(effGetChunk, 1, 0, &data);
  if (size <= 0 || data == nullptr) return {};
  const uint8_t* bytes = static_cast<const uint8_t*>(data);
  return std::vector<uint8_t>(bytes, bytes + size);
}

bool VstPlugin::SetState(int32_t kind, const std::vector<uint8_t>& bytes) const {
  std::vector<uint8_t> copy = bytes;
  return Dispatch(effSetChunk, kind, static_cast<intptr_t>(copy.size()), copy.data()) != 0;
}

} // namespace vsthost
