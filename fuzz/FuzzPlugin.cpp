#include "fuzz/FuzzPlugin.h"

#include "effect/VSTCLASS.h"
#include "fuzz/FuzzCheck.h"

#include <cmath>
#include <cstring>

namespace quorvane {

namespace {

// The instance whose host callback is running; the fuzz targets are single-threaded.
FuzzPlugin* current = nullptr;

template <typename Sample> bool IsGoodSample(Sample x, bool denormalsAllowed) {
  return std::isfinite(x) && (denormalsAllowed || std::fpclassify(x) != FP_SUBNORMAL);
}

} // namespace

FuzzPlugin::FuzzPlugin(const FuzzHostAnswers& hostAnswers) : answers(hostAnswers) {
  current = this;
  // What VSTPluginMain does on Linux, without linking a second "main" into a libFuzzer program.
  plugin = new VSTCLASS(&FuzzPlugin::HostCallback);
  FuzzRequire(plugin != nullptr, "the effect could not be created");
  plugin->FinishCreation();
  record = plugin->Record();
  FuzzRequire(record->magic == kEffectMagic && record->object == plugin,
              "the effect record is not filled");
  FuzzRequire(record->numPrograms >= 1 && record->numParams > 0, "programs %d, parameters %d",
              record->numPrograms, record->numParams);
}

FuzzPlugin::~FuzzPlugin() {
  record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
  current = nullptr;
}

intptr_t FuzzPlugin::Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
  return record->dispatcher(record, opcode, index, value, ptr, opt);
}

std::vector<uint8_t> FuzzPlugin::Chunk(bool bank) {
  void* data = nullptr;
  const intptr_t size = Dispatch(effGetChunk, bank ? 0 : 1, 0, &data);
  FuzzRequire(size >= 0, "effGetChunk answered %ld", static_cast<long>(size));
  if (size == 0) return {};
  FuzzRequire(data != nullptr, "effGetChunk answered %ld bytes at null", static_cast<long>(size));
  const auto* bytes = static_cast<const uint8_t*>(data);
  return std::vector<uint8_t>(bytes, bytes + size);
}

intptr_t FuzzPlugin::SetChunk(bool bank, const std::vector<uint8_t>& bytes) {
  // A copy, so the plug-in never reads the vector it may be handing out itself.
  std::vector<uint8_t> copy(bytes);
  uint8_t none = 0;
  return Dispatch(effSetChunk, bank ? 0 : 1, static_cast<intptr_t>(copy.size()),
                  copy.empty() ? &none : copy.data());
}

std::vector<double> FuzzPlugin::Values() const {
  std::vector<double> values;
  for (int32_t i = 0; i < plugin->ParamCount(); ++i)
    values.push_back(plugin->Param(i)->Value());
  return values;
}

void FuzzPlugin::CheckParameters() {
  for (int32_t i = 0; i < plugin->ParamCount(); ++i) {
    const IParameter& param = *plugin->Param(i);
    const double v = param.Value();
    FuzzRequire(v >= param.Minimum() && v <= param.Maximum(),
                "parameter %d holds %.17g outside [%.17g, %.17g]", i, v, param.Minimum(),
                param.Maximum());
    const float normalised = GetParameter(i);
    FuzzRequire(std::isfinite(normalised) && normalised >= 0.0f && normalised <= 1.0f,
                "getParameter(%d) answered %.9g", i, static_cast<double>(normalised));
  }
  for (int32_t i : {-1000, -1, record->numParams, record->numParams + 1000}) {
    const float outside = GetParameter(i);
    FuzzRequire(outside == 0.0f, "getParameter(%d) answered %.9g", i, static_cast<double>(outside));
  }
}

void FuzzPlugin::CheckAudio() {
  static constexpr int32_t kFrames = 64;
  float in[2][kFrames];
  float out[2][kFrames] = {};
  for (int32_t j = 0; j < kFrames; ++j) {
    in[0][j] = (j % 16) < 8 ? 0.5f : -0.5f;
    in[1][j] = static_cast<float>(j) / kFrames - 0.5f;
  }
  float* inputs[2] = {in[0], in[1]};
  float* outputs[2] = {out[0], out[1]};
  record->processReplacing(record, inputs, outputs, kFrames);
  CheckSamples(out[0], kFrames, false, "probe block, left");
  CheckSamples(out[1], kFrames, false, "probe block, right");
}

intptr_t VSTCALLBACK FuzzPlugin::HostCallback(AEffect* effect, int32_t opcode, int32_t index,
                                              intptr_t, void* ptr, float opt) {
  // Calls made from inside the constructor come before the record is known.
  FuzzRequire(current != nullptr, "host callback %d without a plug-in", opcode);
  FuzzRequire(effect == nullptr || current->record == nullptr || effect == current->record,
              "host callback %d with a foreign record", opcode);
  return current->AnswerHost(opcode, index, ptr, opt);
}

intptr_t FuzzPlugin::AnswerHost(int32_t opcode, int32_t index, void* ptr, float opt) {
  const int32_t params = plugin != nullptr ? plugin->ParamCount() : 0;
  switch (opcode) {
  case audioMasterAutomate:
    FuzzRequire(index >= 0 && index < params, "automation of parameter %d", index);
    FuzzRequire(std::isfinite(opt) && opt >= 0.0f && opt <= 1.0f,
                "automation of parameter %d with %.9g", index, static_cast<double>(opt));
    return 0;
  case audioMasterBeginEdit:
  case audioMasterEndEdit:
    FuzzRequire(index >= 0 && index < params, "gesture %d for parameter %d", opcode, index);
    return 0;
  case audioMasterGetTime:
    return answers.hasTime ? reinterpret_cast<intptr_t>(&answers.time) : 0;
  case audioMasterProcessEvents: {
    const auto* events = static_cast<const VstEvents*>(ptr);
    FuzzRequire(events != nullptr && events->numEvents >= 1, "MIDI output without events");
    for (int32_t i = 0; i < events->numEvents; ++i) {
      const VstEvent* event = events->events[i];
      FuzzRequire(event != nullptr, "MIDI output event %d is null", i);
      TouchBytes(event, static_cast<std::size_t>(event->byteSize));
      if (event->type == kVstSysExType) {
        const auto* sysex = reinterpret_cast<const VstMidiSysexEvent*>(event);
        FuzzRequire(sysex->dumpBytes >= 0, "SysEx output of %d bytes", sysex->dumpBytes);
        if (sysex->dumpBytes > 0)
          TouchBytes(sysex->sysexDump, static_cast<std::size_t>(sysex->dumpBytes));
      }
    }
    return 1;
  }
  case audioMasterGetProductString:
    if (ptr != nullptr) std::memcpy(ptr, answers.product, sizeof answers.product);
    return 1;
  case audioMasterGetVendorVersion:
    return answers.vendorVersion;
  case audioMasterVersion:
    return kVstVersion;
  default:
    return 0;
  }
}

void CheckSamples(const float* samples, int32_t frames, bool denormalsAllowed, const char* where) {
  for (int32_t j = 0; j < frames; ++j)
    FuzzRequire(IsGoodSample(samples[j], denormalsAllowed), "%s: sample %d is %.9g", where, j,
                static_cast<double>(samples[j]));
}

void CheckSamples(const double* samples, int32_t frames, const char* where) {
  for (int32_t j = 0; j < frames; ++j)
    FuzzRequire(IsGoodSample(samples[j], false), "%s: sample %d is %.17g", where, j, samples[j]);
}

} // namespace quorvane
