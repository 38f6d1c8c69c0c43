#include "MovingEnvelope.h"

#include "effect/VSTCLASS.h"

#include <chrono>

MovingEnvelope::MovingEnvelope(BenchedPlugin& plugin, double rate, int blockSize) {
  plugin.SelectProgram(5);
  plugin.SetParameter(quorvane::VSTCLASS::kParamEnvAttack, 1.0f);
  plugin.Note(true);
  audio = std::thread([this, &plugin, rate, blockSize] {
    using Clock = std::chrono::steady_clock;
    const auto period = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(blockSize / rate));
    auto next = Clock::now();
    while (running.load()) {
      plugin.ProcessBlock();
      next += period;
      std::this_thread::sleep_until(next);
    }
  });
}

MovingEnvelope::~MovingEnvelope() {
  running.store(false);
  audio.join();
}
