// The render's progress on a terminal: one line on standard error, updated
// in place, with the percentage, the speed as a multiple of real time and
// the time left. Prints nothing when standard error is not a terminal.
// Used on the host's main thread.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace vsthost {

class ProgressLine {
public:
  ProgressLine(bool enabled, std::string label, int sampleRate);
  ~ProgressLine() { Finish(); }

  void Update(int64_t framesDone, int64_t framesTotal);
  // Clears the line.
  void Finish();

private:
  bool enabled_;
  std::string label_;
  int sampleRate_;
  std::chrono::steady_clock::time_point start_, lastShown_;
  bool shown_ = false;
};

} // namespace vsthost
