// filterplot: measures the effect's filter and draws its magnitude responses.
//
// For each filter type and a few bandwidths an impulse goes through
// VSTCLASS::ProcessBlock; the magnitude of the recorded response is taken at
// log-spaced frequencies and drawn, one panel per type, as a PNG.
//
//   filterplot [output.png] [--csv table.csv]

#include "effect/DebugTrace.h"
#include "effect/VSTCLASS.h"
#include "tools/filterplot/Canvas.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using namespace quorvane;

namespace {

constexpr double kRate = 48000.0;
constexpr int kCornerHz = 1000;
constexpr int kResponseLength = 1 << 14;
constexpr int kBlock = 512;
constexpr int kPoints = 600;
constexpr double kLowestHz = 20.0;
constexpr double kHighestHz = 20000.0;
constexpr double kLowestDb = -60.0;
constexpr double kHighestDb = 20.0;
constexpr double kPi = 3.141592653589793;

const char* const kTypeNames[] = {"Lowpass", "Highpass", "Bandpass"};
const int kBandwidths[] = {2, 10, 30, 100};
const Rgb kCurveColours[] = {
    {0.80f, 0.16f, 0.30f}, {0.93f, 0.55f, 0.10f}, {0.05f, 0.58f, 0.53f}, {0.16f, 0.33f, 0.72f}};

const Rgb kBackground{0.985f, 0.985f, 0.99f};
const Rgb kPlotFill{1.0f, 1.0f, 1.0f};
const Rgb kInk{0.13f, 0.14f, 0.17f};
const Rgb kSoftInk{0.38f, 0.40f, 0.45f};
const Rgb kGridMajor{0.74f, 0.76f, 0.80f};
const Rgb kGridMinor{0.89f, 0.90f, 0.92f};

void DropTrace(const char*) {}

void SetParam(VSTCLASS& effect, int32_t index, double value) {
  effect.Param(index)->SetClampedValue(value);
  effect.OnParamChange(index);
}

// The effect's impulse response for one setting, processed in host-sized blocks.
std::vector<double> ImpulseResponse(int type, int bandwidth) {
  VSTCLASS effect(nullptr);
  effect.SetSampleRate(kRate);
  effect.AnnounceAllParams();
  effect.Reset();
  SetParam(effect, VSTCLASS::kParamFilterType, type);
  SetParam(effect, VSTCLASS::kParamFilterFreq, kCornerHz);
  SetParam(effect, VSTCLASS::kParamFilterBandwidth, bandwidth);
  SetParam(effect, VSTCLASS::kParamFilterMix, 100);

  std::vector<double> input(kResponseLength, 0.0), left(kResponseLength), right(kResponseLength);
  input[0] = 1.0;
  for (int start = 0; start < kResponseLength; start += kBlock) {
    double* inputs[2] = {&input[start], &input[start]};
    double* outputs[2] = {&left[start], &right[start]};
    effect.ProcessBlock(inputs, outputs, kBlock);
  }
  return left;
}

double MagnitudeDb(const std::vector<double>& response, double hz) {
  // The phasor turns by multiplication and is renewed exactly now and then.
  constexpr std::size_t kRenewEvery = 1024;
  const double omega = -2.0 * kPi * hz / kRate;
  const std::complex<double> turn = std::polar(1.0, omega);
  std::complex<double> sum = 0.0, phasor = 1.0;
  for (std::size_t n = 0; n < response.size(); ++n) {
    if (n % kRenewEvery == 0) phasor = std::polar(1.0, omega * static_cast<double>(n));
    sum += response[n] * phasor;
    phasor *= turn;
  }
  return 20.0 * std::log10(std::max(std::abs(sum), 1e-12));
}

struct Curve {
  int type;
  int bandwidth;
  std::vector<double> decibels;
};

std::string FrequencyLabel(double hz) {
  char text[16];
  if (hz >= 1000.0)
    std::snprintf(text, sizeof text, "%gk", hz / 1000.0);
  else
    std::snprintf(text, sizeof text, "%g", hz);
  return text;
}

void DrawPanel(Canvas& canvas, const Box& plot, int type, const std::vector<double>& frequencies,
               const std::vector<Curve>& curves, bool withAxisTitle) {
  canvas.FillBox(plot, kPlotFill);
  auto xOf = [&](double hz) {
    return plot.left + (std::log10(hz / kLowestHz) / std::log10(kHighestHz / kLowestHz)) *
                           (plot.right - plot.left);
  };
  auto yOf = [&](double db) {
    return plot.top + (kHighestDb - db) / (kHighestDb - kLowestDb) * (plot.bottom - plot.top);
  };

  // Grid: every 1-2-..-9 step of each decade, decades stronger; every 10 dB.
  for (double decade = 10.0; decade <= 10000.0; decade *= 10.0)
    for (int step = 1; step <= 9; ++step) {
      const double hz = decade * step;
      if (hz < kLowestHz || hz > kHighestHz) continue;
      const double x = std::round(xOf(hz));
      canvas.FillBox({x, plot.top, x + 1.0, plot.bottom}, step == 1 ? kGridMajor : kGridMinor);
    }
  for (double db = kLowestDb; db <= kHighestDb; db += 10.0) {
    const double y = std::round(yOf(db));
    canvas.FillBox({plot.left, y, plot.right, y + 1.0}, db == 0.0 ? kSoftInk : kGridMajor);
    char label[8];
    std::snprintf(label, sizeof label, db > 0.0 ? "+%.0f" : "%.0f", db);
    canvas.DrawText(label, static_cast<int>(plot.left) - 10 - Canvas::TextWidth(label, 2),
                    static_cast<int>(y) - Canvas::TextHeight(2) / 2, 2, kSoftInk);
  }
  for (double hz : {20.0, 50.0, 100.0, 200.0, 500.0, 1000.0, 2000.0, 5000.0, 10000.0, 20000.0}) {
    const std::string label = FrequencyLabel(hz);
    canvas.DrawText(label, static_cast<int>(xOf(hz)) - Canvas::TextWidth(label, 2) / 2,
                    static_cast<int>(plot.bottom) + 10, 2, kSoftInk);
  }

  for (const Curve& curve : curves) {
    if (curve.type != type) continue;
    std::vector<double> xs, ys;
    for (std::size_t i = 0; i < frequencies.size(); ++i) {
      xs.push_back(xOf(frequencies[i]));
      ys.push_back(yOf(curve.decibels[i]));
    }
    std::size_t colour = 0;
    while (kBandwidths[colour] != curve.bandwidth)
      ++colour;
    canvas.DrawPolyline(xs, ys, 2.6, kCurveColours[colour], plot);
  }

  // Frame, title, axis titles.
  canvas.FillBox({plot.left, plot.top, plot.right, plot.top + 1.0}, kSoftInk);
  canvas.FillBox({plot.left, plot.bottom - 1.0, plot.right, plot.bottom}, kSoftInk);
  canvas.FillBox({plot.left, plot.top, plot.left + 1.0, plot.bottom}, kSoftInk);
  canvas.FillBox({plot.right - 1.0, plot.top, plot.right, plot.bottom}, kSoftInk);
  const std::string title = kTypeNames[type];
  const int centre = static_cast<int>((plot.left + plot.right) / 2.0);
  canvas.DrawText(title, centre - Canvas::TextWidth(title, 3) / 2, static_cast<int>(plot.top) - 36,
                  3, kInk);
  const std::string xTitle = "Frequency (Hz)";
  canvas.DrawText(xTitle, centre - Canvas::TextWidth(xTitle, 2) / 2,
                  static_cast<int>(plot.bottom) + 40, 2, kInk);
  if (withAxisTitle) {
    const std::string yTitle = "Magnitude (dB)";
    canvas.DrawTextUpwards(yTitle, static_cast<int>(plot.left) - 92,
                           static_cast<int>((plot.top + plot.bottom) / 2.0) +
                               Canvas::TextWidth(yTitle, 2) / 2,
                           2, kInk);
  }
}

void DrawLegend(Canvas& canvas, int top) {
  std::vector<std::string> labels;
  int total = 0;
  for (int bandwidth : kBandwidths) {
    char label[64];
    std::snprintf(label, sizeof label, "Bandwidth %d %%  (q = %g)", bandwidth,
                  bandwidth * 0.01 * 15.0);
    labels.push_back(label);
    total += 48 + Canvas::TextWidth(label, 2) + 44;
  }
  int x = (canvas.Width() - total) / 2;
  for (std::size_t i = 0; i < labels.size(); ++i) {
    const double y = top + Canvas::TextHeight(2) / 2.0;
    canvas.DrawPolyline(
        {static_cast<double>(x), x + 36.0}, {y, y}, 3.0, kCurveColours[i],
        {0.0, 0.0, static_cast<double>(canvas.Width()), static_cast<double>(canvas.Height())});
    canvas.DrawText(labels[i], x + 48, top, 2, kInk);
    x += 48 + Canvas::TextWidth(labels[i], 2) + 44;
  }
}

bool WriteCsv(const std::string& path, const std::vector<double>& frequencies,
              const std::vector<Curve>& curves) {
  FILE* file = std::fopen(path.c_str(), "w");
  if (file == nullptr) return false;
  std::fprintf(file, "hz");
  for (const Curve& curve : curves)
    std::fprintf(file, ",%s %d%%", kTypeNames[curve.type], curve.bandwidth);
  std::fprintf(file, "\n");
  for (std::size_t i = 0; i < frequencies.size(); ++i) {
    std::fprintf(file, "%.3f", frequencies[i]);
    for (const Curve& curve : curves)
      std::fprintf(file, ",%.4f", curve.decibels[i]);
    std::fprintf(file, "\n");
  }
  return std::fclose(file) == 0;
}

} // namespace

int main(int argc, char** argv) {
  std::string pngPath = "filter-response.png";
  std::string csvPath;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--csv") == 0 && i + 1 < argc)
      csvPath = argv[++i];
    else if (argv[i][0] != '-')
      pngPath = argv[i];
    else {
      std::fprintf(stderr, "usage: %s [output.png] [--csv table.csv]\n", argv[0]);
      return 2;
    }
  }
  SetTraceSink(DropTrace);

  std::vector<double> frequencies;
  for (int i = 0; i < kPoints; ++i)
    frequencies.push_back(kLowestHz *
                          std::pow(kHighestHz / kLowestHz, static_cast<double>(i) / (kPoints - 1)));
  std::vector<Curve> curves;
  for (int type = 0; type < 3; ++type)
    for (int bandwidth : kBandwidths) {
      const std::vector<double> response = ImpulseResponse(type, bandwidth);
      Curve curve{type, bandwidth, {}};
      for (double hz : frequencies)
        curve.decibels.push_back(MagnitudeDb(response, hz));
      curves.push_back(std::move(curve));
    }

  Canvas canvas(1800, 720, kBackground);
  const std::string title = "Quorvane filter, measured: impulse through ProcessBlock at 48 kHz, "
                            "Filter Freq 1 kHz, Mix 100 %";
  canvas.DrawText(title, (canvas.Width() - Canvas::TextWidth(title, 3)) / 2, 24, 3, kInk);
  DrawLegend(canvas, 78);
  for (int type = 0; type < 3; ++type) {
    const double left = 128.0 + type * 570.0;
    DrawPanel(canvas, {left, 170.0, left + 470.0, 620.0}, type, frequencies, curves, type == 0);
  }

  if (!canvas.WritePng(pngPath)) {
    std::fprintf(stderr, "cannot write %s\n", pngPath.c_str());
    return 1;
  }
  if (!csvPath.empty() && !WriteCsv(csvPath, frequencies, curves)) {
    std::fprintf(stderr, "cannot write %s\n", csvPath.c_str());
    return 1;
  }
  std::printf("wrote %s\n", pngPath.c_str());
  return 0;
}
