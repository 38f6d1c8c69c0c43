#include "Options.h"

#include "FileSystem.h"
#include "TextNumbers.h"

#include <cmath>

namespace vsthost {
namespace {

std::string RangeText(double low, double high) {
  return NumberText(low) + ".." + NumberText(high);
}

bool NumberIn(const std::string& text, double low, double high, double& out, std::string& error) {
  if (!ParseStrictDouble(text, out) || !(out >= low && out <= high)) {
    error = "must be a number in " + RangeText(low, high);
    return false;
  }
  return true;
}

bool IntegerIn(const std::string& text, int low, int high, int& out, std::string& error) {
  if (!ParseStrictInt(text, out) || out < low || out > high) {
    error = "must be a whole number in " + RangeText(low, high);
    return false;
  }
  return true;
}

// "T:LEN[:KEY[:VEL]]"
bool ParseNote(const std::string& text, MidiNote& note, std::string& error) {
  const std::vector<std::string> fields = SplitFields(text, ':');
  if (fields.size() < 2 || fields.size() > 4) {
    error = "must be T:LEN[:KEY[:VEL]]";
    return false;
  }
  const char* names[] = {"start time", "length"};
  double* targets[] = {&note.startSeconds, &note.lengthSeconds};
  for (int i = 0; i < 2; ++i) {
    // Non-finite times would overflow the frame arithmetic.
    if (!ParseStrictDouble(fields[static_cast<size_t>(i)], *targets[i]) ||
        !std::isfinite(*targets[i]) || *targets[i] < 0.0) {
      error = std::string(names[i]) + " must be a finite number of seconds, 0 or more";
      return false;
    }
  }
  std::string why;
  if (fields.size() > 2 && !IntegerIn(fields[2], 0, 127, note.key, why)) {
    error = "key " + why;
    return false;
  }
  if (fields.size() > 3 && !IntegerIn(fields[3], 1, 127, note.velocity, why)) {
    error = "velocity " + why;
    return false;
  }
  return true;
}

bool ParseSetting(const std::string& text, bool normalised, ParamSetting& out, std::string& error) {
  const size_t equals = text.rfind('=');
  if (equals == std::string::npos || equals == 0) {
    error = "must be PARAM=VALUE";
    return false;
  }
  out.param = text.substr(0, equals);
  out.value = text.substr(equals + 1);
  out.normalised = normalised;
  double x;
  return !normalised || NumberIn(out.value, 0.0, 1.0, x, error);
}

bool ParseFormat(const std::string& text, SampleFormat& out) {
  static const struct {
    const char* name;
    SampleFormat format;
  } kFormats[] = {{"f32", SampleFormat::Float32}, {"f64", SampleFormat::Float64},
                  {"s16", SampleFormat::Int16},   {"s24", SampleFormat::Int24},
                  {"s32", SampleFormat::Int32},   {"flac", SampleFormat::Flac}};
  for (const auto& f : kFormats) {
    if (text == f.name) {
      out = f.format;
      return true;
    }
  }
  return false;
}

// One row per option: how it is written and what its value does.
struct OptionSpec {
  const char* shortName; // "" when there is none
  const char* longName;
  bool takesValue;
  bool (*apply)(Options& options, const std::string& value, std::string& error);
};

bool NotEmpty(const std::string& value, std::string& error) {
  if (value.empty()) error = "must not be empty";
  return !value.empty();
}

const OptionSpec kOptions[] = {
    {"-q", "--quiet", false,
     [](Options& o, const std::string&, std::string&) { return o.quiet = true; }},
    {"", "--no-report", false,
     [](Options& o, const std::string&, std::string&) { return !(o.report = false); }},
    {"", "--json", false,
     [](Options& o, const std::string&, std::string&) { return o.json = true; }},
    {"", "--bench", false,
     [](Options& o, const std::string&, std::string&) { return o.bench = true; }},
    {"", "--rounds", true,
     [](Options& o, const std::string& v, std::string& e) {
       return IntegerIn(v, 1, 1001, o.benchRounds, e);
     }},
    {"", "--version", false,
     [](Options& o, const std::string&, std::string&) { return o.version = true; }},
    {"-i", "--input", true,
     [](Options& o, const std::string& v, std::string& e) {
       o.inputPaths.push_back(v);
       return NotEmpty(v, e);
     }},
    {"-g", "--signal", true,
     [](Options& o, const std::string& v, std::string& e) {
       o.signal = v;
       return NotEmpty(v, e);
     }},
    {"", "--seconds", true,
     [](Options& o, const std::string& v, std::string& e) {
       return NumberIn(v, 1e-6, 86400.0, o.seconds, e);
     }},
    {"", "--channels", true,
     [](Options& o, const std::string& v, std::string& e) {
       return IntegerIn(v, 1, 2, o.channels, e);
     }},
    {"-o", "--output", true,
     [](Options& o, const std::string& v, std::string& e) {
       o.outputPath = v;
       return NotEmpty(v, e);
     }},
    {"", "--format", true,
     [](Options& o, const std::string& v, std::string& e) {
       if (ParseFormat(v, o.format)) return true;
       e = "must be one of f32, f64, s16, s24, s32, flac";
       return false;
     }},
    {"-r", "--rate", true,
     [](Options& o, const std::string& v, std::string& e) {
       return IntegerIn(v, 8000, 768000, o.sampleRate, e);
     }},
    {"", "--tail", true,
     [](Options& o, const std::string& v, std::string& e) {
       return NumberIn(v, 0.0, 3600.0, o.tailSeconds, e);
     }},
    {"-b", "--block", true,
     [](Options& o, const std::string& v, std::string& e) {
       return IntegerIn(v, 1, 65536, o.render.blockSize, e);
     }},
    {"", "--process", true,
     [](Options& o, const std::string& v, std::string& e) {
       if (v == "replacing")
         o.render.mode = ProcessMode::Replacing;
       else if (v == "accumulating")
         o.render.mode = ProcessMode::Accumulating;
       else if (v == "double")
         o.render.mode = ProcessMode::Double;
       else
         e = "must be replacing, accumulating or double";
       return e.empty();
     }},
    {"-n", "--note", true,
     [](Options& o, const std::string& v, std::string& e) {
       MidiNote note;
       if (!ParseNote(v, note, e)) return false;
       o.render.notes.push_back(note);
       return true;
     }},
    {"-p", "--program", true,
     [](Options& o, const std::string& v, std::string& e) {
       o.program = v;
       return NotEmpty(v, e);
     }},
    {"-s", "--set", true,
     [](Options& o, const std::string& v, std::string& e) {
       o.settings.emplace_back();
       return ParseSetting(v, false, o.settings.back(), e);
     }},
    {"-S", "--set-normalised", true,
     [](Options& o, const std::string& v, std::string& e) {
       o.settings.emplace_back();
       return ParseSetting(v, true, o.settings.back(), e);
     }},
    {"", "--load-state", true,
     [](Options& o, const std::string& v, std::string& e) {
       o.loadState = v;
       return NotEmpty(v, e);
     }},
    {"", "--save-state", true,
     [](Options& o, const std::string& v, std::string& e) {
       o.saveState = v;
       return NotEmpty(v, e);
     }},
    {"", "--load-bank", true,
     [](Options& o, const std::string& v, std::string& e) {
       o.loadBank = v;
       return NotEmpty(v, e);
     }},
    {"", "--save-bank", true,
     [](Options& o, const std::string& v, std::string& e) {
       o.saveBank = v;
       return NotEmpty(v, e);
     }},
    {"", "--screenshot", true,
     [](Options& o, const std::string& v, std::string& e) {
       o.screenshotPath = v;
       return NotEmpty(v, e);
     }},
    {"", "--editor-scale", true,
     [](Options& o, const std::string& v, std::string& e) {
       return NumberIn(v, 1.0, 4.0, o.editorScale, e);
     }},
};

const OptionSpec* FindOption(const std::string& name) {
  for (const OptionSpec& spec : kOptions) {
    if (name == spec.longName || (spec.shortName[0] != '\0' && name == spec.shortName))
      return &spec;
  }
  return nullptr;
}

bool IsHelp(const std::string& arg) {
  return arg == "-h" || arg == "--help";
}

// The combinations that make no sense, checked after every option is known.
bool CheckCombinations(const Options& o, std::string& error) {
  if (o.pluginPath.empty()) {
    error = "no plug-in given";
  } else if (!o.inputPaths.empty() && !o.signal.empty()) {
    error = "give either input files or --signal, not both";
  } else if (!o.outputPath.empty() && !o.Rendering()) {
    error = "--output needs an input file or --signal";
  } else if (o.inputPaths.size() > 1 && !o.outputPath.empty() && !EndsWithSeparator(o.outputPath)) {
    error = "several inputs need --output FOLDER/ (a name ending in /)";
  } else if (o.OutputIsFolder() && o.outputPath == kStdStream) {
    error = "several inputs cannot all go to standard output";
  } else if (!o.signal.empty() && EndsWithSeparator(o.outputPath)) {
    error = "--signal renders one file: give --output a file name";
  } else if (!o.loadState.empty() && !o.program.empty()) {
    // Selecting a program would silently replace the state just loaded.
    error = "--program would discard the state of --load-state: give one of them";
  } else if (o.json && !o.report) {
    error = "--json and --no-report contradict each other";
  } else if (o.json && o.outputPath == kStdStream) {
    error = "--json and --output - both need standard output";
  } else if (o.tailSeconds > 0.0 && !o.Rendering()) {
    error = "--tail needs an input file or --signal";
  } else {
    size_t stdinUses = 0;
    for (const std::string& path : o.inputPaths)
      stdinUses += path == kStdStream ? 1 : 0;
    if (stdinUses > 1) error = "standard input can be read only once";
    for (const std::string* path :
         {&o.saveState, &o.screenshotPath, &o.loadState, &o.loadBank, &o.saveBank}) {
      if (*path == kStdStream) error = "standard input and output are for audio only";
    }
  }
  return error.empty();
}

} // namespace

bool Options::OutputIsFolder() const {
  return inputPaths.size() > 1 || EndsWithSeparator(outputPath);
}

bool ParseOptions(const std::vector<std::string>& args, Options& out, std::string& error) {
  Options options;
  bool optionsEnded = false;
  for (const std::string& arg : args) {
    if (arg == "--") break;
    if (IsHelp(arg)) {
      out = Options();
      out.help = true;
      return true;
    }
  }
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      if (arg.empty()) {
        error = "an empty argument names no file";
        return false;
      }
      if (options.pluginPath.empty())
        options.pluginPath = arg;
      else
        options.inputPaths.push_back(arg);
      continue;
    }
    const size_t equals = arg.rfind("--", 0) == 0 ? arg.find('=') : std::string::npos;
    const std::string name = arg.substr(0, equals);
    const OptionSpec* spec = FindOption(name);
    if (spec == nullptr) {
      error = "unknown option " + name;
      return false;
    }
    std::string value;
    if (equals != std::string::npos) {
      if (!spec->takesValue) {
        error = "option " + name + " takes no value";
        return false;
      }
      value = arg.substr(equals + 1);
    } else if (spec->takesValue) {
      if (i + 1 >= args.size()) {
        error = "option " + name + " needs a value";
        return false;
      }
      value = args[++i];
    }
    std::string why;
    if (!spec->apply(options, value, why)) {
      error = std::string(spec->longName) + " " + value + ": " + why;
      return false;
    }
  }
  if (options.bench && !options.pluginPath.empty()) {
    // Further names are more plug-ins to time alongside.
    if (!options.signal.empty() || !options.outputPath.empty() || !options.settings.empty() ||
        !options.loadState.empty()) {
      error = "--bench times plug-ins on noise: it takes only --program, --seconds, --rate, "
              "--block and --rounds";
      return false;
    }
  } else if (!options.version && !CheckCombinations(options, error)) {
    return false;
  }
  out = std::move(options);
  return true;
}

std::string UsageText(const std::string& programName) {
  return "Usage: " + programName + R"( PLUGIN [options] [INPUT...]

Loads a VST 2.4 plug-in, prints its name, vendor, version, inputs and outputs,
parameters and programs, and renders audio through it.

Audio in (without any, only the report is printed):
  INPUT..., -i, --input FILE an audio file (WAV, RF64, W64, AIFF, FLAC, ...),
                             mono or stereo; "-" reads standard input
  -g, --signal SPEC          a test signal: sine:HZ, saw:HZ, sweep:FROM:TO,
                             noise, impulse, silence (peak level 0.5)
      --seconds S            length of the test signal (default 4)
      --channels N           channels of the test signal, 1 or 2 (default 2)
Audio out:
  -o, --output FILE          write the result; "-" writes WAV to standard
                             output; with several inputs a folder (FOLDER/)
                             that receives each under its own name. Written
                             to a temporary file first: a failed render
                             leaves the target as it was
      --format F             f32 (default), f64, s16, s24, s32 or flac; the
                             container follows the name (.wav, .rf64, .w64,
                             .aif/.aiff, .flac); integers are TPDF-dithered
Rendering:
  -r, --rate HZ              sample rate (default: the input file's, else
                             44100); a file at another rate is resampled
  -b, --block N              block size in frames (default 512)
      --process MODE         replacing (default), accumulating or double
      --tail S               render S seconds past the input's end (default:
                             until the output decays below -96 dBFS, at most
                             10 s; 0 keeps the input's length)
  -n, --note T:LEN[:KEY[:VEL]]
                             a MIDI note starting T seconds into the render and
                             lasting LEN seconds (key 60, velocity 100 unless
                             given); repeat for more notes
Plug-in state (applied in this order, before rendering):
      --load-bank FILE       restore every program from a bank file (.fxb)
      --load-state FILE      restore a program state saved by --save-state
  -p, --program N|NAME       select a program by number or name
  -s, --set PARAM=VALUE      set a parameter, by index or name, to one of its
                             value names or a number in its range, with or
                             without its unit ("Filter Freq=2000 Hz")
  -S, --set-normalised PARAM=X
                             set a parameter to a normalised value in 0..1
      --save-state FILE      save the program state after rendering (.fxp)
      --save-bank FILE       save every program as a bank (.fxb)
Editor (an X server on Linux):
      --screenshot FILE      open the plug-in's editor in a window after
                             rendering, and save its picture as PNG
      --editor-scale F       ask the editor to draw at screen scale F (1..4)
                             as hosts do with 'PreS', e.g. 2 for 200 %
Timing (any VST 2.4 plug-ins):
      --bench PLUGIN...      the cost of float processReplacing per frame and
                             the speed against real time, on noise with one
                             note held, each plug-in's rounds interleaved
                             with the others'; prints a Markdown table
      --rounds N             counted rounds of --bench (default 9; the median
                             is reported), each of --seconds of audio
Messages:
      --json                 print the report as JSON
      --no-report            do not print the plug-in's report
  -q, --quiet                no report, no progress and no summary
      --version              the host's version
  -h, --help                 this text

Options take their value as "--opt value" or "--opt=value"; "--" ends the
options. Names are matched without regard to case. The report goes to
standard output; progress, the summary and errors go to standard error.
Exit status: 0 success, 1 failure, 2 bad command line, 130 interrupted
(Ctrl-C: the files being written are removed, their targets left as they
were). A replaced file keeps its permissions.
)";
}

} // namespace vsthost
