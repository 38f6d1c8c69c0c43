#pragma once
// The effect's developer trace: one line per call, "label n1, n2, ...".
//
// FormatTraceLine is platform-neutral and allocation-free; the finished line
// goes to the installed sink. The platform sink is OutputDebugStringA on
// Windows and discards the line elsewhere; tests install a capturing sink.
// Called from the effect's constructor, Reset, OnActivate and OnParamChange.
// A line made during an audio call (a host's setParameter, say) never reaches
// the sink there: it waits in a queue until FlushTrace, which the
// user-interface thread runs at its next turn and before its own lines.

#include <cfloat>
#include <cstddef>

namespace quorvane {

// A number equal to this marks a trace slot as absent.
static constexpr double kTraceAbsent = DBL_MAX;
static constexpr int kTraceNumberCount = 9;
// Longest line written, terminator included; longer lines are cut.
static constexpr std::size_t kTraceLineCapacity = 320;

// Writes the line for label and numbers into out (capacity bytes, always
// NUL-terminated when capacity > 0) and answers its length.
std::size_t FormatTraceLine(char* out, std::size_t capacity, const char* label,
                            const double (&numbers)[kTraceNumberCount]);

// Formats one number by the trace's rules into out; answers its length.
std::size_t FormatTraceNumber(char* out, std::size_t capacity, double number);

using TraceSink = void (*)(const char* line);

// Installs sink (null restores the platform sink) and answers the previous one.
TraceSink SetTraceSink(TraceSink sink);

// Formats the line and hands it to the sink; during an audio call, it waits
// in the queue unformatted. label must be a literal (it may outlive the call).
void DebugTrace(const char* label, double n0 = kTraceAbsent, double n1 = kTraceAbsent,
                double n2 = kTraceAbsent, double n3 = kTraceAbsent, double n4 = kTraceAbsent,
                double n5 = kTraceAbsent, double n6 = kTraceAbsent, double n7 = kTraceAbsent,
                double n8 = kTraceAbsent);

// User-interface thread: writes out the waiting lines in order, then, if the
// queue overflowed, a line "DebugTrace lost n" counting the lines lost.
void FlushTrace();

// The platform's own sink (one definition per platform).
void PlatformTraceSink(const char* line);

} // namespace quorvane
