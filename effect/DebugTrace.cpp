#include "effect/DebugTrace.h"

#include "effect/TraceQueue.h"
#include "framework/AudioCallScope.h"

#include <atomic>
#include <cmath>
#include <cstdio>

namespace quorvane {

namespace {

std::atomic<TraceSink> installedSink{nullptr};
TraceQueue waitingLines;

// Integral values beyond this do not fit a long long; they print in
// exponent form instead of overflowing the integer conversion.
constexpr double kLargestIntegerPrinted = 9.0e18;
constexpr double kTinyMagnitude = 1e-15;
constexpr int kMostDecimals = 11;
constexpr double kPowersOfTen[kMostDecimals + 1] = {1e0, 1e1, 1e2, 1e3, 1e4,  1e5,
                                                    1e6, 1e7, 1e8, 1e9, 1e10, 1e11};

// snprintf answers the length it wanted; the caller needs what was written.
std::size_t Written(int wanted, std::size_t capacity) {
  if (wanted < 0 || capacity == 0) return 0;
  const auto length = static_cast<std::size_t>(wanted);
  return length < capacity ? length : capacity - 1;
}

std::size_t Append(char* out, std::size_t capacity, std::size_t length, const char* text) {
  if (capacity == 0) return 0;
  while (*text != '\0' && length + 1 < capacity)
    out[length++] = *text++;
  out[length] = '\0';
  return length;
}

// Formats the line on the stack and hands it to the sink.
void Write(const TraceEntry& entry) {
  char line[kTraceLineCapacity];
  FormatTraceLine(line, sizeof line, entry.label, entry.numbers);
  const TraceSink sink = installedSink.load();
  (sink != nullptr ? sink : PlatformTraceSink)(line);
}

} // namespace

std::size_t FormatTraceNumber(char* out, std::size_t capacity, double number) {
  if (std::isnan(number)) return Written(std::snprintf(out, capacity, "nan"), capacity);
  if (std::isinf(number))
    return Written(std::snprintf(out, capacity, number < 0 ? "-inf" : "inf"), capacity);

  const double magnitude = std::fabs(number);
  if (magnitude < kTinyMagnitude || number == std::trunc(number)) {
    if (magnitude >= kLargestIntegerPrinted)
      return Written(std::snprintf(out, capacity, "%.17g", number), capacity);
    const long long whole = magnitude < kTinyMagnitude ? 0 : static_cast<long long>(number);
    return Written(std::snprintf(out, capacity, "%lld", whole), capacity);
  }

  int decimals = 1;
  while (decimals < kMostDecimals) {
    const double scaled = number * kPowersOfTen[decimals];
    if (scaled == std::trunc(scaled)) break;
    ++decimals;
  }
  return Written(std::snprintf(out, capacity, "%.*f", decimals, number), capacity);
}

std::size_t FormatTraceLine(char* out, std::size_t capacity, const char* label,
                            const double (&numbers)[kTraceNumberCount]) {
  if (capacity == 0) return 0;
  out[0] = '\0';
  std::size_t length = 0;
  if (label != nullptr && label[0] != '\0') {
    length = Append(out, capacity, length, label);
    length = Append(out, capacity, length, " ");
  }

  int count = 0;
  for (int i = 0; i < kTraceNumberCount; ++i)
    if (numbers[i] != kTraceAbsent) count = i + 1;

  for (int i = 0; i < count; ++i) {
    if (i > 0) length = Append(out, capacity, length, ", ");
    char text[48];
    FormatTraceNumber(text, sizeof text, numbers[i]);
    length = Append(out, capacity, length, text);
  }
  return length;
}

TraceSink SetTraceSink(TraceSink sink) {
  return installedSink.exchange(sink);
}

void DebugTrace(const char* label, double n0, double n1, double n2, double n3, double n4, double n5,
                double n6, double n7, double n8) {
  const TraceEntry entry{label, {n0, n1, n2, n3, n4, n5, n6, n7, n8}};
  // The sink may block or call the system: not on the audio thread.
  if (AudioCallInProgress()) {
    waitingLines.Push(entry);
    return;
  }
  FlushTrace();
  Write(entry);
}

void FlushTrace() {
  TraceEntry entry;
  while (waitingLines.Pop(entry))
    Write(entry);
  const uint32_t lost = waitingLines.TakeLostCount();
  if (lost > 0) {
    TraceEntry count{"DebugTrace lost", {}};
    for (double& n : count.numbers)
      n = kTraceAbsent;
    count.numbers[0] = lost;
    Write(count);
  }
}

} // namespace quorvane
