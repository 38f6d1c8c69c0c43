// Program and bank chunks from the host, through effSetChunk on a fresh instance. The first
// byte picks the chunk kind and what the host did before; the rest is the chunk.
//
// A refused chunk (answer 0) changes nothing: the same values and the same bank as before. An
// accepted one leaves every parameter in range, and what effGetChunk then answers is a fixed
// point: set again, it is accepted and answered back byte for byte.

#include "fuzz/ByteReader.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzPlugin.h"

#include <cstring>

using namespace quorvane;

namespace {

constexpr uint8_t kBankBit = 1;
constexpr uint8_t kOpenBit = 2;
constexpr uint8_t kSelectProgramBit = 4;
constexpr int kProgramShift = 3;

void CheckProgramChunk(const FuzzPlugin& plugin, const std::vector<uint8_t>& chunk) {
  const std::vector<double> values = plugin.Values();
  FuzzRequire(chunk.size() == 8 + 8 * values.size(), "program chunk of %zu bytes", chunk.size());
  int32_t header[2];
  std::memcpy(header, chunk.data(), sizeof header);
  FuzzRequire(header[0] == IEffectBase::kChunkMagic && header[1] == IEffectBase::kChunkVersion,
              "program chunk header %08x %08x", static_cast<unsigned>(header[0]),
              static_cast<unsigned>(header[1]));
  FuzzRequire(std::memcmp(chunk.data() + 8, values.data(), 8 * values.size()) == 0,
              "program chunk does not hold the live values");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  ByteReader input(data, size);
  const uint8_t setup = input.Byte();
  const bool bank = (setup & kBankBit) != 0;
  std::size_t length = 0;
  const uint8_t* bytes = input.Rest(&length);
  const std::vector<uint8_t> chunk(bytes, bytes + length);

  FuzzPlugin plugin;
  if ((setup & kOpenBit) != 0) plugin.Dispatch(effOpen);
  if ((setup & kSelectProgramBit) != 0)
    plugin.Dispatch(effSetProgram, 0, (setup >> kProgramShift) % plugin.Record()->numPrograms);

  const std::vector<uint8_t> bankBefore = plugin.Chunk(true);
  const std::vector<double> valuesBefore = plugin.Values();
  const intptr_t program = plugin.Dispatch(effGetProgram);

  const intptr_t answer = plugin.SetChunk(bank, chunk);
  FuzzRequire(answer == 0 || answer == 1, "effSetChunk answered %ld", static_cast<long>(answer));
  plugin.CheckParameters();
  plugin.CheckAudio();

  if (answer == 0) {
    const std::vector<double> valuesAfter = plugin.Values();
    FuzzRequire(std::memcmp(valuesAfter.data(), valuesBefore.data(), 8 * valuesBefore.size()) == 0,
                "a refused chunk changed the parameters");
    FuzzRequire(plugin.Dispatch(effGetProgram) == program, "a refused chunk changed the program");
    FuzzRequire(plugin.Chunk(true) == bankBefore, "a refused chunk changed the bank");
    return 0;
  }

  const std::vector<uint8_t> first = plugin.Chunk(bank);
  FuzzRequire(!first.empty(), "no chunk after an accepted one");
  if (!bank) CheckProgramChunk(plugin, first);
  const std::vector<double> valuesFirst = plugin.Values();

  FuzzRequire(plugin.SetChunk(bank, first) == 1, "the plug-in refused its own chunk");
  plugin.CheckParameters();
  const std::vector<double> valuesSecond = plugin.Values();
  FuzzRequire(std::memcmp(valuesSecond.data(), valuesFirst.data(), 8 * valuesFirst.size()) == 0,
              "setting the plug-in's own chunk changed the parameters");
  FuzzRequire(plugin.Chunk(bank) == first, "the chunk does not survive a round trip");
  return 0;
}
