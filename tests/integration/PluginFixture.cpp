#include "tests/integration/PluginFixture.h"

#include <cstring>

namespace quorvane {

std::string PluginPath() {
  std::string path = QUORVANE_PLUGIN_PATH;
#if defined(_WIN32)
  // Under Wine the build tree is drive Z:.
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
#endif
  return path;
}

vsthost::PluginModule& LoadedPlugin() {
  static vsthost::PluginModule module;
  if (module.EntryPoint() == nullptr) {
    std::string error;
    if (!module.Load(PluginPath(), error)) ADD_FAILURE() << error;
  }
  return module;
}

void QuorvaneModuleTest::SetUp() {
  Create();
}

void QuorvaneModuleTest::TearDown() {
  Close();
}

void QuorvaneModuleTest::Create() {
  Close();
  VstPluginMainProc entry = LoadedPlugin().EntryPoint();
  ASSERT_NE(entry, nullptr);
  effect = entry(host.Callback());
  ASSERT_NE(effect, nullptr);
  ASSERT_EQ(effect->magic, kEffectMagic);
}

void QuorvaneModuleTest::Close() {
  if (effect != nullptr) effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
  effect = nullptr;
}

intptr_t QuorvaneModuleTest::Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                      float opt) {
  return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

std::string QuorvaneModuleTest::Text(int32_t opcode, int32_t index) {
  char buffer[256] = {};
  Dispatch(opcode, index, 0, buffer);
  buffer[sizeof buffer - 1] = '\0';
  return buffer;
}

void QuorvaneModuleTest::StartProcessing(int32_t blockSize) {
  Dispatch(effOpen);
  Dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
  Dispatch(effSetBlockSize, 0, blockSize);
  Dispatch(effMainsChanged, 0, 1);
}

void QuorvaneModuleTest::SendMidi(const std::vector<VstMidiEvent>& events) {
  std::vector<VstMidiEvent> copies = events;
  // A list of n events is 16 + 8n bytes: the head, then the pointers.
  std::vector<intptr_t> list(2 + copies.size() + 2, 0);
  list[0] = static_cast<intptr_t>(copies.size());
  for (size_t i = 0; i < copies.size(); ++i)
    list[2 + i] = reinterpret_cast<intptr_t>(&copies[i]);
  Dispatch(effProcessEvents, 0, 0, list.data());
}

std::vector<uint8_t> QuorvaneModuleTest::Chunk(bool bank) {
  void* data = nullptr;
  const intptr_t size = Dispatch(effGetChunk, bank ? 0 : 1, 0, &data);
  if (size <= 0 || data == nullptr) return {};
  const auto* bytes = static_cast<const uint8_t*>(data);
  return std::vector<uint8_t>(bytes, bytes + size);
}

intptr_t QuorvaneModuleTest::SetChunk(bool bank, std::vector<uint8_t> bytes) {
  return Dispatch(effSetChunk, bank ? 0 : 1, static_cast<intptr_t>(bytes.size()), bytes.data());
}

} // namespace quorvane
