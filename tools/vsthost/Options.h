// The command line of the host: what to load, what to render and how.
#pragma once

#include "Renderer.h"

#include <string>
#include <vector>

namespace vsthost {

struct ParamSetting {
  std::string param; // index or name
  std::string value; // display text, or a normalised number
  bool normalised = false;
};

struct Options {
  std::string pluginPath;
  std::string inputPath;
  std::string signal;
  double seconds = 4.0;
  int channels = 2;
  std::string outputPath;
  int sampleRate = 0; // 0: the input's rate, or 44100 for a test signal
  RenderSettings render;
  std::string program;
  std::vector<ParamSetting> settings;
  std::string loadState;
  std::string saveState;
  std::string screenshotPath; // Windows build only
  double editorScale = 0.0;   // sent to the editor before it opens; 0: none
  bool quiet = false;
  bool report = true;
  bool help = false;
};

static constexpr int kDefaultSampleRate = 44100;

// Parses argv (without the program name). On failure answers false with a
// message in `error`.
bool ParseOptions(const std::vector<std::string>& args, Options& out, std::string& error);

// The --help text.
std::string UsageText(const std::string& programName);

} // namespace vsthost
