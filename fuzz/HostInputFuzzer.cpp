// What the command-line host reads from its users: the command line, the
// --set texts, state files and audio files (through libsndfile, as the host
// opens them). The first byte chooses which; the rest is the input.
//
// A command line either parses into options that hold together or is
// refused with a message; a --set text resolves to a value inside the
// parameter's range or is refused; a state file that parses encodes back to
// the same bytes, a bank that parses holds whole programs; an audio file is read to its end in
// bounded blocks with a consistent frame count and finite samples for integer formats.

#include "fuzz/FuzzCheck.h"

#include "AudioFile.h"
#include "Options.h"
#include "ParamCatalogue.h"
#include "StateFile.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

using namespace quorvane;

namespace {

void CommandLine(const uint8_t* data, size_t size) {
  std::vector<std::string> args(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0)
      args.emplace_back();
    else
      args.back() += static_cast<char>(data[i]);
  }
  vsthost::Options options;
  std::string error;
  if (!vsthost::ParseOptions(args, options, error)) {
    FuzzRequire(!error.empty(), "a refused command line without a message");
    return;
  }
  if (options.help || options.version) return;
  FuzzRequire(!options.pluginPath.empty(), "options without a plug-in");
  FuzzRequire(options.render.blockSize >= 1 && options.render.blockSize <= 65536, "block size %d",
              options.render.blockSize);
  for (const vsthost::MidiNote& note : options.render.notes) {
    FuzzRequire(std::isfinite(note.startSeconds) && std::isfinite(note.lengthSeconds) &&
                    note.startSeconds >= 0 && note.lengthSeconds >= 0,
                "a note at %g for %g", note.startSeconds, note.lengthSeconds);
    FuzzRequire(note.key >= 0 && note.key <= 127 && note.velocity >= 1 && note.velocity <= 127,
                "key %d velocity %d", note.key, note.velocity);
  }
  for (const std::string& path : options.inputPaths)
    FuzzRequire(!path.empty(), "an empty input name");
  FuzzRequire(options.inputPaths.size() <= 1 || options.outputPath.empty() ||
                  options.OutputIsFolder(),
              "several inputs into one file");
}

void ParamText(const uint8_t* data, size_t size) {
  vsthost::ParamInfo freq;
  freq.unit = "Hz";
  freq.numeric = true;
  freq.minValue = 20;
  freq.maxValue = 20000;
  freq.choices = {{"Off", 0.0f}};
  const std::string text(reinterpret_cast<const char*>(data), size);
  vsthost::ParamRequest request;
  std::string error;
  if (!vsthost::ResolveParamText(freq, text, request, error)) {
    FuzzRequire(!error.empty(), "a refused value without a message");
    return;
  }
  if (request.byNormalised) return;
  double value = 0.0;
  FuzzRequire(vsthost::DisplayNumber(request.number, value), "not a number: '%s'",
              request.number.c_str());
  FuzzRequire(value >= 20 - 1e-5 && value <= 20000 + 1e-5, "out of range: %g", value);
}

void StateFile(const uint8_t* data, size_t size) {
  const vsthost::PluginIdentity plugin{0x68687A32, 10000, 14, 12};
  const std::vector<uint8_t> bytes(data, data + size);
  std::string error;
  vsthost::ProgramBank bank;
  if (vsthost::ParseBankFile(bytes, plugin, bank, error)) {
    FuzzRequire(bank.currentProgram >= 0 && bank.currentProgram < 12, "current program %d",
                bank.currentProgram);
    for (const vsthost::ProgramState& program : bank.programs)
      FuzzRequire(program.values.size() == 14, "a program of %zu values", program.values.size());
  }
  vsthost::ProgramState state;
  if (!vsthost::ParseStateFile(bytes, plugin, state, error)) return;
  for (const float value : state.values)
    FuzzRequire(value >= 0.0f && value <= 1.0f, "a value out of 0..1");
  vsthost::ProgramState again;
  FuzzRequire(vsthost::ParseStateFile(
                  vsthost::EncodeStateFile(plugin, state.programName, state.chunk, state.values),
                  plugin, again, error),
              "a state that does not survive saving: %s", error.c_str());
  FuzzRequire(again.chunk == state.chunk && again.values == state.values,
              "a state that changes when saved");
}

void AudioFile(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/vsthost-fuzz-" + std::to_string(getpid()) + ".audio";
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  std::string error;
  auto source = vsthost::AudioFileSource::Open(path, error);
  if (!source) {
    FuzzRequire(!error.empty(), "a refused file without a message");
    return;
  }
  const int channels = source->Channels();
  FuzzRequire(channels == 1 || channels == 2, "%d channels", channels);
  const int64_t length = source->Length();
  std::vector<std::vector<float>> block(static_cast<size_t>(channels), std::vector<float>(256));
  std::vector<float*> pointers;
  for (auto& channel : block)
    pointers.push_back(channel.data());
  int64_t frames = 0;
  size_t got;
  // A damaged header can claim any length: stop where a real file could not go on.
  while (frames < (int64_t{1} << 22) && (got = source->Read(pointers.data(), 256)) > 0) {
    frames += static_cast<int64_t>(got);
    TouchBytes(block[0].data(), got * sizeof(float));
  }
  FuzzRequire(length < 0 || frames <= length, "read %lld frames of %lld",
              static_cast<long long>(frames), static_cast<long long>(length));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  switch (data[0] % 4) {
  case 0:
    CommandLine(data + 1, size - 1);
    break;
  case 1:
    ParamText(data + 1, size - 1);
    break;
  case 2:
    StateFile(data + 1, size - 1);
    break;
  default:
    AudioFile(data + 1, size - 1);
    break;
  }
  return 0;
}
