#pragma once
// Drives a VSTCLASS the way a host does (rate, open, parameters, notes,
// blocks) and captures its trace lines, for the effect's tests.

#include "effect/VSTCLASS.h"

#include <string>
#include <vector>

namespace quorvane {

// Collects trace lines while alive; restores the previous sink afterwards.
class TraceCapture {
public:
  TraceCapture();
  ~TraceCapture();
  TraceCapture(const TraceCapture&) = delete;
  TraceCapture& operator=(const TraceCapture&) = delete;

  const std::vector<std::string>& Lines() const;
  void Clear();
};

class EffectRig {
public:
  // Sets the rate, then opens the effect as a host does (announce, Reset).
  explicit EffectRig(double rate = 44100.0);

  VSTCLASS& Effect() { return effect; }
  const ProcessingState& State() const { return effect.State(); }
  GraphReadout::Reading Graph() const { return effect.Graph().Read(); }

  // Stores a value in the parameter's own units and announces it.
  void Set(int32_t index, double value);
  // A choice parameter by its meaning.
  template <typename Choice, typename = std::enable_if_t<std::is_enum_v<Choice>>>
  void Set(int32_t index, Choice choice) {
    Set(index, static_cast<int32_t>(choice));
  }
  // A note at frame offset of the next block.
  void NoteOn(uint8_t note = 60, uint8_t velocity = 100, int32_t offset = 0);
  void NoteOff(uint8_t note = 60, int32_t offset = 0);

  // One block of the given stereo input; answers the outputs.
  void Process(const std::vector<double>& left, const std::vector<double>& right,
               std::vector<double>& outLeft, std::vector<double>& outRight);
  // frames of silence, in one block.
  void ProcessSilence(int32_t frames);
  // Samples, one per block, until the envelope leaves stage; answers how many ran
  // (limit + 1 when it never left).
  int32_t SamplesUntilStageLeaves(EnvStage stage, int32_t limit);

private:
  VSTCLASS effect{nullptr};
};

// The section's response at f Hz from its z-transform, for filterType.
double AnalyticMagnitude(FilterKind filterType, double gain, double a1, double a2, double f,
                         double rate);
// Magnitude at f Hz of a measured impulse response.
double MeasuredMagnitude(const std::vector<double>& impulseResponse, double f, double rate);

} // namespace quorvane
