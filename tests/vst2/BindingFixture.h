// A TestEffect created as the entry point would create it, driven through its effect record.
#pragma once

#include "tests/support/RecordingHost.h"
#include "tests/vst2/TestEffect.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace quorvane {

class BindingTest : public ::testing::Test {
protected:
  static constexpr size_t kSentinelBuffer = 300;
  static constexpr char kSentinel = '\x7F';

  void SetUp() override { Create(); }
  void TearDown() override { Close(); }

  template <typename... Args> void Create(Args... args) {
    Close();
    plugin = new TestEffect(host.Callback(), args...);
    plugin->FinishCreation();
    effect = plugin->Record();
  }
  void Close() {
    if (effect != nullptr) effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    effect = nullptr;
    plugin = nullptr;
  }

  intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                    float opt = 0.0f) {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
  }

  // Asks a text opcode with a large buffer and checks that the plug-in wrote no further than
  // `limit` bytes (terminator included) and terminated what it wrote.
  std::string Text(int32_t opcode, int32_t index, size_t limit) {
    char buffer[kSentinelBuffer];
    std::memset(buffer, kSentinel, sizeof buffer);
    Dispatch(opcode, index, 0, buffer);
    for (size_t i = limit; i < sizeof buffer; ++i) {
      EXPECT_EQ(buffer[i], kSentinel) << "opcode " << opcode << " wrote byte " << i;
    }
    const void* end = std::memchr(buffer, '\0', limit);
    EXPECT_NE(end, nullptr) << "opcode " << opcode << " left its text unterminated";
    return end != nullptr ? std::string(buffer) : std::string();
  }

  RecordingHost host;
  TestEffect* plugin = nullptr;
  AEffect* effect = nullptr;
};

} // namespace quorvane
