// LV2 states from the host, through the module's own descriptor and state interface, into an
// instance that first took a factory program. The first byte says how the state is offered
// (bits 0-1: our key and type, another type, no such key) and whether the rest is a factory
// program's state to mutate (bit 2: a program byte, then offset and xor byte pairs) or the
// state's bytes themselves.
//
// A refused state changes nothing: the instance saves the very bytes it saved before. A taken
// one leaves every parameter inside its range, saves back as a fixed point, and sounds finite.

#include "fuzz/ByteReader.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzPlugin.h"

#include "framework/lv2/Lv2Module.h"

#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <cstring>
#include <string>
#include <vector>

using namespace quorvane;

namespace {

constexpr uint8_t kOfferMask = 3;
constexpr uint8_t kOfferOtherType = 1;
constexpr uint8_t kOfferNoKey = 2;
constexpr uint8_t kMutateBit = 4;
constexpr int32_t kFrames = 64;

std::vector<std::string>& Uris() {
  static std::vector<std::string> uris;
  return uris;
}

LV2_URID Map(LV2_URID_Map_Handle, const char* uri) {
  std::vector<std::string>& uris = Uris();
  for (std::size_t i = 0; i < uris.size(); ++i)
    if (uris[i] == uri) return static_cast<LV2_URID>(i + 1);
  uris.emplace_back(uri);
  return static_cast<LV2_URID>(uris.size());
}

struct Offered {
  LV2_URID key = 0;
  LV2_URID type = 0;
  std::vector<uint8_t> bytes;
};

LV2_State_Status Store(LV2_State_Handle handle, uint32_t key, const void* value, std::size_t size,
                       uint32_t type, uint32_t) {
  auto* saved = static_cast<Offered*>(handle);
  saved->key = key;
  saved->type = type;
  saved->bytes.assign(static_cast<const uint8_t*>(value),
                      static_cast<const uint8_t*>(value) + size);
  return LV2_STATE_SUCCESS;
}

const void* Retrieve(LV2_State_Handle handle, uint32_t key, std::size_t* size, uint32_t* type,
                     uint32_t* flags) {
  const auto* offered = static_cast<const Offered*>(handle);
  if (key != offered->key) return nullptr;
  *size = offered->bytes.size();
  *type = offered->type;
  *flags = LV2_STATE_IS_POD;
  // An empty vector's data may be null, which would read as "no such key".
  static const uint8_t nothing = 0;
  return offered->bytes.empty() ? &nothing : offered->bytes.data();
}

class Instance {
public:
  Instance() {
    descriptor = lv2_descriptor(0);
    handle = descriptor->instantiate(descriptor, 48000.0, descriptor->URI, features);
    FuzzRequire(handle != nullptr, "instantiation failed");
    state =
        static_cast<const LV2_State_Interface*>(descriptor->extension_data(LV2_STATE__interface));
    descriptor->activate(handle);
  }
  ~Instance() {
    descriptor->deactivate(handle);
    descriptor->cleanup(handle);
  }
  Instance(const Instance&) = delete;
  Instance& operator=(const Instance&) = delete;

  Offered Save() {
    Offered saved;
    FuzzRequire(state->save(handle, &Store, &saved, 0, nullptr) == LV2_STATE_SUCCESS,
                "save failed");
    return saved;
  }
  LV2_State_Status Restore(const Offered& offered) {
    return state->restore(handle, &Retrieve, const_cast<Offered*>(&offered), 0, nullptr);
  }
  void CheckAudio() {
    float in[2][kFrames];
    float out[2][kFrames] = {};
    for (int32_t j = 0; j < kFrames; ++j) {
      in[0][j] = (j % 16) < 8 ? 0.5f : -0.5f;
      in[1][j] = static_cast<float>(j) / kFrames - 0.5f;
    }
    for (uint32_t c = 0; c < 2; ++c) {
      descriptor->connect_port(handle, c, in[c]);
      descriptor->connect_port(handle, 2 + c, out[c]);
    }
    descriptor->run(handle, kFrames);
    CheckSamples(out[0], kFrames, false, "probe run, left");
    CheckSamples(out[1], kFrames, false, "probe run, right");
  }

private:
  LV2_URID_Map map{nullptr, &Map};
  LV2_Feature mapFeature{LV2_URID__map, &map};
  const LV2_Feature* features[2] = {&mapFeature, nullptr};
  const LV2_Descriptor* descriptor = nullptr;
  LV2_Handle handle = nullptr;
  const LV2_State_Interface* state = nullptr;
};

// The program state a factory program gives, as the effect itself writes it.
Offered ProgramState(IEffectBase& effect, int32_t program) {
  effect.LoadPreset(program);
  const void* data = nullptr;
  const int32_t size = effect.GetChunk(false, &data);
  Offered offered;
  offered.bytes.assign(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size);
  return offered;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const std::unique_ptr<IEffectBase> effect = CreateLv2Effect();
  ByteReader input(data, size);
  const uint8_t setup = input.Byte();
  const int32_t programs = effect->PresetCount() - 1; // the last slot is empty
  Instance instance;
  const Offered start = instance.Save();
  Offered offered = ProgramState(*effect, input.Byte() % programs);
  offered.key = start.key;
  offered.type = start.type;
  FuzzRequire(instance.Restore(offered) == LV2_STATE_SUCCESS, "a factory program was refused");

  if ((setup & kMutateBit) != 0) {
    offered = ProgramState(*effect, input.Byte() % programs);
    while (!input.Empty()) {
      const std::size_t at = input.Byte() % offered.bytes.size();
      offered.bytes[at] ^= input.Byte();
    }
  } else {
    std::size_t length = 0;
    const uint8_t* bytes = input.Rest(&length);
    offered.bytes.assign(bytes, bytes + length);
  }
  offered.key = start.key;
  offered.type = start.type;
  if ((setup & kOfferMask) == kOfferOtherType) offered.type = Map(nullptr, LV2_ATOM__Chunk);
  if ((setup & kOfferMask) == kOfferNoKey) offered.key = Map(nullptr, LV2_ATOM__Chunk);

  const Offered before = instance.Save();
  const LV2_State_Status status = instance.Restore(offered);
  const Offered after = instance.Save();
  if (status != LV2_STATE_SUCCESS) {
    FuzzRequire(after.bytes == before.bytes, "a refused state (status %d) changed the plug-in",
                static_cast<int>(status));
    return 0;
  }
  FuzzRequire(after.bytes.size() == 8 + 8 * static_cast<std::size_t>(effect->ParamCount()),
              "a state of %zu bytes", after.bytes.size());
  for (int32_t i = 0; i < effect->ParamCount(); ++i) {
    double value = 0.0;
    std::memcpy(&value, after.bytes.data() + 8 + 8 * i, sizeof value);
    const IParameter& param = *effect->Param(i);
    FuzzRequire(value >= param.Minimum() && value <= param.Maximum(),
                "parameter %d at %g after a taken state", i, value);
  }
  FuzzRequire(instance.Restore(after) == LV2_STATE_SUCCESS, "the plug-in refused its own state");
  FuzzRequire(instance.Save().bytes == after.bytes, "the state does not survive a round trip");
  instance.CheckAudio();
  return 0;
}
