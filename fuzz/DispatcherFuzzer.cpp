// Random sequences of host calls on a fresh instance: dispatcher opcodes -1..200 with indices
// -5..1000 and random values and opt, interleaved with setParameter, getParameter, the three
// process callbacks, MIDI event lists and chunks. Everything the host passes is valid by the
// interface's rules: a pointer is null or a zeroed buffer large enough for any opcode (or a
// well-formed record where the opcode reads one), and a block never exceeds the block size the
// host announced. effEditOpen is never sent (there is no window to open it in) and effClose
// only at the end.
//
// After every call the parameters are in range and getParameter answers in [0, 1]; every block
// of output is finite and free of denormals.

#include "fuzz/ByteReader.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzPlugin.h"
#include "tests/support/VstEventList.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

using namespace quorvane;

namespace {

// Large enough for every record and text an opcode reads or writes (the largest is a speaker
// arrangement of 776 bytes, a host text is read up to 256 bytes), and for chunks.
constexpr std::size_t kBufferSize = 8192;
constexpr int32_t kMaxFrames = 4096;
constexpr int32_t kFirstBlockSize = 512;
constexpr int32_t kMaxEvents = 8;
constexpr std::size_t kMaxSysExBytes = 64;
constexpr std::size_t kMaxChunkBytes = 2048;

enum Action : uint8_t {
  kDispatch,
  kDispatchAgain, // dispatcher calls are the most varied: give them two shares
  kSetParameter,
  kGetParameter,
  kProcess,
  kMidi,
  kChunk,
  kActionCount
};

enum PointerKind : uint8_t { kNull, kZeroed, kWithText, kPointerKindCount };

intptr_t ValueFromInput(ByteReader& input) {
  switch (input.Byte() % 8) {
  case 0:
    return 0;
  case 1:
    return 1;
  case 2:
    return -1;
  case 3:
    return input.Byte();
  case 4:
    return input.I32();
  case 5:
    return static_cast<intptr_t>(input.U64());
  case 6:
    return std::numeric_limits<int32_t>::max();
  default:
    return input.U16();
  }
}

float FloatFromInput(ByteReader& input) {
  switch (input.Byte() % 8) {
  case 0:
    return 0.0f;
  case 1:
    return 1.0f;
  case 2:
    return 44100.0f;
  case 3:
    return 0.5f;
  case 4:
    return std::numeric_limits<float>::quiet_NaN();
  case 5:
    return (input.Byte() & 1) != 0 ? std::numeric_limits<float>::infinity()
                                   : -std::numeric_limits<float>::infinity();
  case 6:
    return input.Float();
  default:
    return static_cast<float>(input.Byte()) / 255.0f;
  }
}

// A host's event list: MIDI events, SysEx dumps with their bytes, events of other kinds and
// null entries, all owned here for the duration of one call.
class EventList {
public:
  explicit EventList(ByteReader& input) {
    const int32_t count = input.Byte() % (kMaxEvents + 1);
    for (int32_t i = 0; i < count; ++i)
      AddEvent(input, i);
  }
  VstEvents* Events() { return list.Get(); }

private:
  void AddEvent(ByteReader& input, int32_t i) {
    const uint8_t kind = input.Byte() % 4;
    const int32_t deltaFrames = input.InRange(-8, kMaxFrames + 8);
    if (kind == 0) {
      const uint8_t status = input.Byte();
      const uint8_t data1 = input.Byte();
      const uint8_t data2 = input.Byte();
      list.Add(MakeMidi(deltaFrames, status, data1, data2));
      return;
    }
    if (kind == 1) {
      VstMidiSysexEvent sysex{};
      sysex.type = kVstSysExType;
      sysex.byteSize = sizeof(VstMidiSysexEvent);
      sysex.deltaFrames = deltaFrames;
      std::size_t taken = 0;
      const uint8_t* bytes = input.Take(input.Byte() % kMaxSysExBytes, &taken);
      std::memcpy(sysexBytes[i], bytes, taken);
      sysex.dumpBytes = static_cast<int32_t>(taken);
      sysex.sysexDump = taken > 0 ? sysexBytes[i] : nullptr;
      list.Add(sysex);
      return;
    }
    if (kind == 2) {
      VstEvent& other = otherEvents[i];
      other = VstEvent{};
      other.type = static_cast<int32_t>(input.Byte());
      other.byteSize = sizeof(VstEvent);
      other.deltaFrames = deltaFrames;
      list.AddRaw(&other);
      return;
    }
    list.AddRaw(nullptr);
  }

  VstEventList list;
  VstEvent otherEvents[kMaxEvents];
  char sysexBytes[kMaxEvents][kMaxSysExBytes];
};

class Session {
public:
  explicit Session(const FuzzHostAnswers& answers) : plugin(answers) {}

  void Run(ByteReader& input) {
    while (!input.Empty()) {
      switch (input.Byte() % kActionCount) {
      case kDispatch:
      case kDispatchAgain:
        DispatchFromInput(input);
        break;
      case kSetParameter:
        plugin.SetParameter(input.InRange(-3, 16), FloatFromInput(input));
        break;
      case kGetParameter: {
        const int32_t index = input.InRange(-3, 16);
        const float value = plugin.GetParameter(index);
        const bool valid = index >= 0 && index < plugin.ParamCount();
        FuzzRequire(valid ? (value >= 0.0f && value <= 1.0f) : value == 0.0f,
                    "getParameter(%d) answered %.9g", index, static_cast<double>(value));
        break;
      }
      case kProcess:
        ProcessFromInput(input);
        break;
      case kMidi: {
        EventList events(input);
        FuzzRequire(plugin.Dispatch(effProcessEvents, 0, 0, events.Events()) == 1,
                    "effProcessEvents refused an event list");
        break;
      }
      default:
        ChunkFromInput(input);
        break;
      }
      plugin.CheckParameters();
    }
  }

private:
  void DispatchFromInput(ByteReader& input) {
    const int32_t opcode = input.InRange(-1, 200);
    const int32_t index = input.InRange(-5, 1000);
    intptr_t value = ValueFromInput(input);
    const float opt = FloatFromInput(input);
    const auto pointerKind = static_cast<PointerKind>(input.Byte() % kPointerKindCount);
    if (opcode == effClose || opcode == effEditOpen) return;

    std::unique_ptr<uint8_t[]> buffer;
    if (pointerKind != kNull) {
      buffer.reset(new uint8_t[kBufferSize]());
      if (pointerKind == kWithText) {
        std::size_t taken = 0;
        const uint8_t* text = input.Take(input.Byte(), &taken);
        std::memcpy(buffer.get(), text, taken);
      }
    }
    void* ptr = buffer.get();

    // Opcodes whose value or pointer is a record get a well-formed one.
    VstSpeakerArrangement arrangement{};
    std::unique_ptr<EventList> events;
    switch (opcode) {
    case effSetSpeakerArrangement:
    case effGetSpeakerArrangement:
      // The value is the input arrangement (or where to store its address): null or a record.
      arrangement.numChannels = input.InRange(-2, 9);
      value = (value & 1) != 0 ? reinterpret_cast<intptr_t>(&arrangement) : 0;
      if (ptr != nullptr)
        reinterpret_cast<VstSpeakerArrangement*>(ptr)->numChannels = input.InRange(-2, 9);
      break;
    case effProcessEvents:
      if (pointerKind == kWithText) {
        events.reset(new EventList(input));
        ptr = events->Events();
      }
      break;
    case effSetChunk:
      if (ptr != nullptr && (value < 0 || value > static_cast<intptr_t>(kBufferSize)))
        value &= 0xFFF;
      break;
    case effSetBlockSize:
      if (value >= 1) blockSize = static_cast<int32_t>(std::min<intptr_t>(value, kMaxFrames));
      break;
    default:
      break;
    }

    const intptr_t answer = plugin.Dispatch(opcode, index, value, ptr, opt);
    CheckAnswer(opcode, answer, ptr, value);
  }

  // What the plug-in handed back through the pointers is readable and consistent.
  void CheckAnswer(int32_t opcode, intptr_t answer, void* ptr, intptr_t value) {
    if (opcode == effGetChunk && answer != 0) {
      FuzzRequire(answer > 0 && ptr != nullptr, "effGetChunk answered %ld",
                  static_cast<long>(answer));
      const void* chunk = nullptr;
      std::memcpy(&chunk, ptr, sizeof chunk);
      FuzzRequire(chunk != nullptr, "effGetChunk answered %ld bytes at null",
                  static_cast<long>(answer));
      TouchBytes(chunk, static_cast<std::size_t>(answer));
    }
    if (opcode == effGetSpeakerArrangement) {
      for (const void* holder :
           {static_cast<const void*>(ptr), reinterpret_cast<const void*>(value)}) {
        if (holder == nullptr) continue;
        const VstSpeakerArrangement* reported = nullptr;
        std::memcpy(&reported, holder, sizeof reported);
        FuzzRequire(reported != nullptr, "effGetSpeakerArrangement stored null");
        FuzzRequire(reported->numChannels >= 0 && reported->numChannels <= 8,
                    "an arrangement of %d channels", reported->numChannels);
      }
    }
    if (ptr != nullptr && opcode != effProcessEvents)
      FuzzRequire(std::memchr(ptr, '\0', kBufferSize) != nullptr,
                  "opcode %d filled the whole buffer", opcode);
  }

  // A block of at most the announced size through one of the three callbacks, with silence,
  // a square wave, noise from the input or raw floats (NaN, infinity and denormals included).
  // The buffers are new for every block and freed after it, as a host's may be: a plug-in that
  // keeps a host pointer beyond the call reads freed memory.
  void ProcessFromInput(ByteReader& input) {
    const uint8_t callback = input.Byte() % 3;
    const int32_t frames = input.InRange(0, blockSize);
    const uint8_t signal = input.Byte() % 4;
    const std::size_t size = static_cast<std::size_t>(blockSize);
    std::vector<float> floatIn[2] = {std::vector<float>(size), std::vector<float>(size)};
    std::vector<float> floatOut[2] = {std::vector<float>(size), std::vector<float>(size)};
    std::vector<double> doubleIn[2] = {std::vector<double>(size), std::vector<double>(size)};
    std::vector<double> doubleOut[2] = {std::vector<double>(size), std::vector<double>(size)};
    bool denormalInput = false;
    for (int c = 0; c < 2; ++c) {
      for (int32_t j = 0; j < frames; ++j) {
        float x = 0.0f;
        if (signal == 1) {
          x = (j / 16 + c) % 2 == 0 ? 1.0f : -1.0f;
        } else if (signal == 2) {
          x = static_cast<float>(static_cast<int8_t>(input.Byte())) / 128.0f;
        } else if (signal == 3) {
          x = input.Float();
          // Loud but finite; non-finite and denormal input stays as the host sent it.
          if (std::isfinite(x) && std::fabs(x) > 64.0f) x = std::copysign(64.0f, x);
          denormalInput = denormalInput || std::fpclassify(x) == FP_SUBNORMAL;
        }
        floatIn[c][std::size_t(j)] = x;
        doubleIn[c][std::size_t(j)] = static_cast<double>(x);
      }
    }
    float* fin[2] = {floatIn[0].data(), floatIn[1].data()};
    float* fout[2] = {floatOut[0].data(), floatOut[1].data()};
    double* din[2] = {doubleIn[0].data(), doubleIn[1].data()};
    double* dout[2] = {doubleOut[0].data(), doubleOut[1].data()};
    AEffect* record = plugin.Record();
    if (callback == 0) {
      record->processReplacing(record, fin, fout, frames);
    } else if (callback == 1) {
      record->process(record, fin, fout, frames);
    } else {
      record->processDoubleReplacing(record, din, dout, frames);
    }
    for (int c = 0; c < 2; ++c) {
      if (callback == 2)
        CheckSamples(dout[c], frames, "double block");
      else
        CheckSamples(fout[c], frames, denormalInput, "float block");
    }
  }

  void ChunkFromInput(ByteReader& input) {
    const bool bank = (input.Byte() & 1) != 0;
    std::size_t taken = 0;
    const uint8_t* bytes = input.Take(input.U16() % kMaxChunkBytes, &taken);
    const intptr_t answer = plugin.SetChunk(bank, std::vector<uint8_t>(bytes, bytes + taken));
    FuzzRequire(answer == 0 || answer == 1, "effSetChunk answered %ld", static_cast<long>(answer));
  }

  FuzzPlugin plugin;
  int32_t blockSize = kFirstBlockSize;
};

// The host's product text, version and transport, as the plug-in will ask for them.
FuzzHostAnswers HostFromInput(ByteReader& input) {
  FuzzHostAnswers answers;
  std::size_t taken = 0;
  const uint8_t* product = input.Take(input.Byte() % sizeof answers.product, &taken);
  std::memcpy(answers.product, product, taken);
  answers.vendorVersion = input.I32();
  answers.hasTime = (input.Byte() & 1) != 0;
  answers.time.flags = input.I32();
  answers.time.samplePos = input.Double();
  answers.time.tempo = input.Double();
  answers.time.timeSigNumerator = input.I32();
  answers.time.timeSigDenominator = input.I32();
  return answers;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  ByteReader input(data, size);
  Session session(HostFromInput(input));
  session.Run(input);
  return 0;
}
