#include "ProgressLine.h"

#include "FileSystem.h"

#include <cstdio>

namespace vsthost {
namespace {

constexpr auto kInterval = std::chrono::milliseconds(200);

} // namespace

ProgressLine::ProgressLine(bool enabled, std::string label, int sampleRate)
    : enabled_(enabled && IsTerminal(stderr)), label_(std::move(label)), sampleRate_(sampleRate),
      start_(std::chrono::steady_clock::now()), lastShown_(start_) {}

void ProgressLine::Update(int64_t framesDone, int64_t framesTotal) {
  if (!enabled_) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - lastShown_ < kInterval) return;
  lastShown_ = now;
  const double elapsed = std::chrono::duration<double>(now - start_).count();
  const double audioSeconds = static_cast<double>(framesDone) / sampleRate_;
  const double speed = elapsed > 0.0 ? audioSeconds / elapsed : 0.0;
  if (framesTotal > 0 && speed > 0.0) {
    const double left = static_cast<double>(framesTotal - framesDone) / sampleRate_ / speed;
    std::fprintf(stderr, "\r%s: %3d%%  %.1fx real time  %d:%02d left   ", label_.c_str(),
                 static_cast<int>(100 * framesDone / framesTotal), speed,
                 static_cast<int>(left) / 60, static_cast<int>(left) % 60);
  } else {
    std::fprintf(stderr, "\r%s: %.1f s  %.1fx real time   ", label_.c_str(), audioSeconds, speed);
  }
  std::fflush(stderr);
  shown_ = true;
}

void ProgressLine::Finish() {
  if (!shown_) return;
  std::fprintf(stderr, "\r%79s\r", "");
  std::fflush(stderr);
  shown_ = false;
}

} // namespace vsthost
