#pragma once
// Keeps the plug-in's envelope moving for as long as it lives, so that the
// editor's strip follows it: program 5 with an 8 s attack and a note held,
// blocks rendered in real time on a thread of its own as a host's audio thread
// does. For the editor's cost; made and destroyed on the benchmark's thread.

#include "BenchedPlugin.h"

#include <atomic>
#include <thread>

class MovingEnvelope {
public:
  MovingEnvelope(BenchedPlugin& plugin, double rate, int blockSize);
  // Stops the audio thread; the note stays held.
  ~MovingEnvelope();
  MovingEnvelope(const MovingEnvelope&) = delete;
  MovingEnvelope& operator=(const MovingEnvelope&) = delete;

private:
  std::atomic<bool> running{true};
  std::thread audio;
};
