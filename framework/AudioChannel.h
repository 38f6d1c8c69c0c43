#pragma once

// The plug-in's side of one host audio channel. Each channel's entry in the plug-in's slot array
// points either at the host's buffer (connected, double callback), at scratch (converted float
// data, or the silence / discarded output of an unconnected channel).

#include "framework/StateBuffer.h"

namespace quorvane {

struct InputChannel {
  bool connected = false;
  StateBuffer scratch; // blockSize doubles
};

struct OutputChannel {
  bool connected = false;
  float* hostFloatOut = nullptr; // the host's buffer during a float call
  StateBuffer scratch;           // blockSize doubles
};

} // namespace quorvane
