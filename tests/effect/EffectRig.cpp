#include "tests/effect/EffectRig.h"

#include "effect/DebugTrace.h"

#include <cmath>
#include <complex>

namespace quorvane {

namespace {

std::vector<std::string> capturedLines;
TraceSink previousSink = nullptr;

void CaptureLine(const char* line) {
  capturedLines.emplace_back(line);
}

constexpr double kPi = 3.141592653589793;

} // namespace

TraceCapture::TraceCapture() {
  capturedLines.clear();
  previousSink = SetTraceSink(CaptureLine);
}

TraceCapture::~TraceCapture() {
  SetTraceSink(previousSink);
}

const std::vector<std::string>& TraceCapture::Lines() const {
  return capturedLines;
}

void TraceCapture::Clear() {
  capturedLines.clear();
}

EffectRig::EffectRig(double rate) {
  effect.SetSampleRate(rate);
  effect.AnnounceAllParams();
  effect.Reset();
}

void EffectRig::Set(int32_t index, double value) {
  effect.Param(index)->SetClampedValue(value);
  effect.OnParamChange(index);
}

void EffectRig::NoteOn(uint8_t note, uint8_t velocity, int32_t offset) {
  MidiMessage message;
  message.offset = offset;
  message.status = 0x90;
  message.data1 = note;
  message.data2 = velocity;
  effect.HandleMidi(message);
}

void EffectRig::NoteOff(uint8_t note, int32_t offset) {
  MidiMessage message;
  message.offset = offset;
  message.status = 0x80;
  message.data1 = note;
  message.data2 = 64;
  effect.HandleMidi(message);
}

void EffectRig::Process(const std::vector<double>& left, const std::vector<double>& right,
                        std::vector<double>& outLeft, std::vector<double>& outRight) {
  outLeft.assign(left.size(), 0.0);
  outRight.assign(right.size(), 0.0);
  double* inputs[2] = {const_cast<double*>(left.data()), const_cast<double*>(right.data())};
  double* outputs[2] = {outLeft.data(), outRight.data()};
  effect.ProcessBlock(inputs, outputs, static_cast<int32_t>(left.size()));
}

void EffectRig::ProcessSilence(int32_t frames) {
  std::vector<double> in(static_cast<std::size_t>(frames), 0.0);
  std::vector<double> outLeft, outRight;
  Process(in, in, outLeft, outRight);
}

int32_t EffectRig::SamplesUntilStageLeaves(EnvStage stage, int32_t limit) {
  double zero[2] = {0.0, 0.0};
  double out[2] = {0.0, 0.0};
  double* inputs[2] = {&zero[0], &zero[1]};
  double* outputs[2] = {&out[0], &out[1]};
  for (int32_t n = 1; n <= limit; ++n) {
    effect.ProcessBlock(inputs, outputs, 1);
    if (effect.State().envStage != stage) return n;
  }
  return limit + 1;
}

double AnalyticMagnitude(FilterKind filterType, double gain, double a1, double a2, double f,
                         double rate) {
  const std::complex<double> z1 = std::polar(1.0, -2.0 * kPi * f / rate);
  const std::complex<double> z2 = z1 * z1;
  const std::complex<double> denominator = 1.0 + a1 * z1 + a2 * z2;
  const std::complex<double> lowpass = gain * (1.0 + 2.0 * z1 + z2) / denominator;
  switch (filterType) {
  case FilterKind::Lowpass:
    return std::abs(lowpass);
  case FilterKind::Highpass:
    return std::abs(1.0 - lowpass);
  default:
    return std::abs(gain * (1.0 - z2) / denominator);
  }
}

double MeasuredMagnitude(const std::vector<double>& impulseResponse, double f, double rate) {
  // The phasor is renewed exactly every block of samples so its drift stays negligible.
  constexpr std::size_t kRenewEvery = 4096;
  const double omega = -2.0 * kPi * f / rate;
  const std::complex<double> turn = std::polar(1.0, omega);
  std::complex<double> sum = 0.0;
  std::complex<double> phasor = 1.0;
  for (std::size_t n = 0; n < impulseResponse.size(); ++n) {
    if (n % kRenewEvery == 0) phasor = std::polar(1.0, omega * static_cast<double>(n));
    sum += impulseResponse[n] * phasor;
    phasor *= turn;
  }
  return std::abs(sum);
}

} // namespace quorvane
