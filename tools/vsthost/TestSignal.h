// Test signals the command-line host can render instead of a file, made
// from a short text: "sine:440", "saw:110", "noise", "sweep:20:20000",
// "impulse", "silence". Deterministic: the same text gives the same samples.
#pragma once

#include "AudioBuffer.h"

#include <string>

namespace vsthost {

// Peak level of every generated signal except the impulse.
static constexpr float kTestSignalLevel = 0.5f;

bool MakeTestSignal(const std::string& spec, int sampleRate, size_t frames, int channels,
                    AudioBuffer& out, std::string& error);

} // namespace vsthost
