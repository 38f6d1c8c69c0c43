// The command line of the host: what to load, what to render and how.
// Parsed once on the main thread before any work is done.
#pragma once

#include "Renderer.h"

#include <string>
#include <vector>

namespace vsthost {

struct ParamSetting {
  std::string param; // index or name
  std::string value; // text as the plug-in displays it, or a normalised number
  bool normalised = false;
};

// What the written samples are made of; the container follows the file name.
enum class SampleFormat { Default, Float32, Float64, Int16, Int24, Int32, Flac };

// "-" names standard input or output wherever a file is expected.
static constexpr const char* kStdStream = "-";

struct Options {
  std::string pluginPath;
  std::vector<std::string> inputPaths; // -i, or every argument after the plug-in
  std::string signal;
  double seconds = 4.0;
  int channels = 2;
  std::string outputPath; // a file, "-", or a folder when several inputs are given
  SampleFormat format = SampleFormat::Default;
  int sampleRate = 0;        // 0: the input's rate, or 44100 for a test signal
  double tailSeconds = -1.0; // below 0: until the output has decayed
  RenderSettings render;
  std::string program;
  std::vector<ParamSetting> settings;
  std::string loadState;
  std::string saveState;
  std::string loadBank; // every program at once
  std::string saveBank;
  std::string screenshotPath;
  double editorScale = 0.0; // sent to the editor before it opens; 0: none
  bool quiet = false;
  bool report = true;
  bool json = false;
  bool help = false;
  bool version = false;
  bool bench = false;  // time the plug-ins instead of rendering
  int benchRounds = 9; // counted rounds of --bench

  bool Rendering() const { return !inputPaths.empty() || !signal.empty(); }
  // Several inputs write into the output folder, each under its own name.
  bool OutputIsFolder() const;
};

static constexpr int kDefaultSampleRate = 44100;
static constexpr double kMaxTailSeconds = 10.0;

// Parses argv (without the program name). On failure answers false with a
// message in `error` that names the option and what it accepts.
bool ParseOptions(const std::vector<std::string>& args, Options& out, std::string& error);

// The --help text.
std::string UsageText(const std::string& programName);

} // namespace vsthost
