#include "Options.h"

#include <cerrno>
#include <cstdlib>

namespace vsthost {
namespace {

bool ParseDouble(const std::string& text, double& out) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  out = std::strtod(text.c_str(), &end);
  return *end == '\0' && errno == 0;
}

bool ParseInt(const std::string& text, int& out) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (*end != '\0' || errno != 0 || value < -2147483647L || value > 2147483647L) return false;
  out = static_cast<int>(value);
  return true;
}

// "T:LEN[:KEY[:VEL]]"
bool ParseNote(const std::string& text, MidiNote& note) {
  std::string fields[4];
  int count = 0;
  size_t start = 0;
  for (;;) {
    if (count == 4) return false;
    const size_t colon = text.find(':', start);
    fields[count++] = text.substr(start, colon - start);
    if (colon == std::string::npos) break;
    start = colon + 1;
  }
  if (count < 2) return false;
  if (!ParseDouble(fields[0], note.startSeconds) || !ParseDouble(fields[1], note.lengthSeconds))
    return false;
  if (!(note.startSeconds >= 0.0) || !(note.lengthSeconds >= 0.0)) return false;
  if (count > 2 && (!ParseInt(fields[2], note.key) || note.key < 0 || note.key > 127)) return false;
  if (count > 3 &&
      (!ParseInt(fields[3], note.velocity) || note.velocity < 1 || note.velocity > 127)) {
    return false;
  }
  return true;
}

bool ParseSetting(const std::string& text, bool normalised, ParamSetting& out) {
  const size_t equals = text.rfind('=');
  if (equals == std::string::npos || equals == 0) return false;
  out.param = text.substr(0, equals);
  out.value = text.substr(equals + 1);
  out.normalised = normalised;
  if (normalised) {
    double x;
    return ParseDouble(out.value, x) && x >= 0.0 && x <= 1.0;
  }
  return true;
}

} // namespace

bool ParseOptions(const std::vector<std::string>& args, Options& out, std::string& error) {
  Options options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= args.size()) {
        error = "option " + arg + " needs a value";
        return false;
      }
      into = args[++i];
      return true;
    };
    auto bad = [&](const std::string& what) {
      error = "bad value for " + arg + ": " + what;
      return false;
    };
    std::string v;
    if (arg == "-h" || arg == "--help") {
      options.help = true;
    } else if (arg == "-q" || arg == "--quiet") {
      options.quiet = true;
    } else if (arg == "--no-report") {
      options.report = false;
    } else if (arg == "-i" || arg == "--input") {
      if (!value(options.inputPath)) return false;
    } else if (arg == "-g" || arg == "--signal") {
      if (!value(options.signal)) return false;
    } else if (arg == "--seconds") {
      if (!value(v)) return false;
      if (!ParseDouble(v, options.seconds) || !(options.seconds > 0.0) || options.seconds > 3600.0)
        return bad(v);
    } else if (arg == "--channels") {
      if (!value(v)) return false;
      if (!ParseInt(v, options.channels) || options.channels < 1 || options.channels > 2)
        return bad(v);
    } else if (arg == "-o" || arg == "--output") {
      if (!value(options.outputPath)) return false;
    } else if (arg == "-r" || arg == "--rate") {
      if (!value(v)) return false;
      if (!ParseInt(v, options.sampleRate) || options.sampleRate < 1000 ||
          options.sampleRate > 768000) {
        return bad(v);
      }
    } else if (arg == "-b" || arg == "--block") {
      if (!value(v)) return false;
      if (!ParseInt(v, options.render.blockSize) || options.render.blockSize < 1 ||
          options.render.blockSize > 65536) {
        return bad(v);
      }
    } else if (arg == "--process") {
      if (!value(v)) return false;
      if (v == "replacing")
        options.render.mode = ProcessMode::Replacing;
      else if (v == "accumulating")
        options.render.mode = ProcessMode::Accumulating;
      else if (v == "double")
        options.render.mode = ProcessMode::Double;
      else
        return bad(v);
    } else if (arg == "-n" || arg == "--note") {
      if (!value(v)) return false;
      MidiNote note;
      if (!ParseNote(v, note)) return bad(v);
      options.render.notes.push_back(note);
    } else if (arg == "-p" || arg == "--program") {
      if (!value(options.program)) return false;
    } else if (arg == "-s" || arg == "--set" || arg == "-S" || arg == "--set-normalised") {
      if (!value(v)) return false;
      ParamSetting setting;
      if (!ParseSetting(v, arg == "-S" || arg == "--set-normalised", setting)) return bad(v);
      options.settings.push_back(setting);
    } else if (arg == "--load-state") {
      if (!value(options.loadState)) return false;
    } else if (arg == "--save-state") {
      if (!value(options.saveState)) return false;
    } else if (arg == "--screenshot") {
      if (!value(options.screenshotPath)) return false;
    } else if (arg == "--editor-scale") {
      if (!value(v)) return false;
      if (!ParseDouble(v, options.editorScale) || !(options.editorScale > 0.0)) return bad(v);
    } else if (arg.size() > 1 && arg[0] == '-') {
      error = "unknown option " + arg;
      return false;
    } else if (options.pluginPath.empty()) {
      options.pluginPath = arg;
    } else {
      error = "more than one plug-in given (" + options.pluginPath + ", " + arg + ")";
      return false;
    }
  }
  if (!options.help) {
    if (options.pluginPath.empty()) {
      error = "no plug-in given";
      return false;
    }
    if (!options.inputPath.empty() && !options.signal.empty()) {
      error = "give either --input or --signal, not both";
      return false;
    }
    if (!options.outputPath.empty() && options.inputPath.empty() && options.signal.empty()) {
      error = "--output needs --input or --signal";
      return false;
    }
  }
  out = std::move(options);
  return true;
}

std::string UsageText(const std::string& programName) {
  return "Usage: " + programName + R"( PLUGIN [options]

Loads a VST 2.4 plug-in, prints its name, vendor, version, inputs and outputs,
parameters and programs, and renders audio through it.

Audio in (one of; without either only the report is printed):
  -i, --input FILE           a WAV file: 16/24/32-bit PCM or 32/64-bit float,
                             mono or stereo
  -g, --signal SPEC          a test signal: sine:HZ, saw:HZ, sweep:FROM:TO,
                             noise, impulse, silence (peak level 0.5)
      --seconds S            length of the test signal (default 4)
      --channels N           channels of the test signal, 1 or 2 (default 2)
Audio out:
  -o, --output FILE          write the result as a 32-bit float WAV file
Rendering:
  -r, --rate HZ              sample rate (default: the input file's, else 44100;
                             a file is not resampled)
  -b, --block N              block size in frames (default 512)
      --process MODE         replacing (default), accumulating or double
  -n, --note T:LEN[:KEY[:VEL]]
                             a MIDI note starting T seconds into the render and
                             lasting LEN seconds (key 60, velocity 100 unless
                             given); repeat for more notes
Plug-in state (applied in this order, before rendering):
      --load-state FILE      restore a program state saved by --save-state
  -p, --program N|NAME       select a program by number or name
  -s, --set PARAM=TEXT       set a parameter, by index or name, from text as
                             the plug-in displays it ("Filter Freq=2000")
  -S, --set-normalised PARAM=X
                             set a parameter to a normalised value in 0..1
      --save-state FILE      save the program state after rendering
Editor (Windows build only):
      --screenshot FILE      open the plug-in's editor in a window after
                             rendering, and save its picture as PNG
      --editor-scale F       ask the editor to draw at screen scale F
                             (as hosts do with 'PreS'), e.g. 2 for 200 %
Messages:
      --no-report            do not print the plug-in's report
  -q, --quiet                no report and no progress
  -h, --help                 this text

Names are matched without regard to case. The report goes to standard output;
progress and errors go to standard error. Exit status: 0 success, 1 failure,
2 bad command line.
)";
}

} // namespace vsthost
