// The real plug-in module, loaded as a host loads it (LoadLibrary under Wine, dlopen natively)
// and driven only through the VST 2.4 interface, with a host callback that records every call.
#pragma once

#include "PluginModule.h"
#include "effect/VSTCLASS.h" // the parameter indices a host uses
#include "tests/support/RecordingHost.h"
#include "tests/support/VstEventList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorvane {

// The module under test: the path CMake gives, as the platform's loader wants it.
std::string PluginPath();

// The module stays loaded for the whole test program, as in a host.
vsthost::PluginModule& LoadedPlugin();

class QuorvaneModuleTest : public ::testing::Test {
protected:
  static constexpr int32_t kParamCount = 14;
  static constexpr int32_t kProgramCount = 12;

  void SetUp() override;
  void TearDown() override;

  void Create();
  void Close();
  intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                    float opt = 0.0f);
  std::string Text(int32_t opcode, int32_t index = 0);
  // effOpen, 44.1 kHz, the block size, resume.
  void StartProcessing(int32_t blockSize);
  void SendMidi(const std::vector<VstMidiEvent>& events);
  std::vector<uint8_t> Chunk(bool bank);
  intptr_t SetChunk(bool bank, std::vector<uint8_t> bytes);

  RecordingHost host;
  AEffect* effect = nullptr;
};

} // namespace quorvane
