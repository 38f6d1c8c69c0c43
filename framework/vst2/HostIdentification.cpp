#include "HostIdentification.h"

#include <cstring>

namespace {

struct HostKey {
  const char* key;
  HostKind kind;
};

// Order matters: a product text can contain several keys ("cubase" wins
// over "reaper"), and short keys such as "live" match inside longer words.
constexpr HostKey kHostKeys[] = {
    {"cubase", kHostCubase},     {"reaper", kHostReaper},         {"nuendo", kHostNuendo},
    {"cakewalk", kHostCakewalk}, {"samplitude", kHostSamplitude}, {"fruity", kHostFruity},
    {"live", kHostLive},         {"melodyne", kHostMelodyne},     {"vstmanlib", kHostVstManLib},
    {"aulab", kHostAulab},       {"forte", kHostForte},           {"chainer", kHostChainer},
    {"audition", kHostAudition}, {"orion", kHostOrion},           {"sawstudio", kHostSawStudio},
    {"logic", kHostLogic},       {"digital", kHostDigital},       {"audiomulch", kHostAudioMulch},
    {"presonus", kHostPresonus}, {"acoustica", kHostAcoustica},   {"garageband", kHostGarageBand},
    {"ardour", kHostArdour},
};

char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

HostKind HostKindFromProduct(const char* product) {
  if (product == nullptr) return kHostUnknown;
  char lowered[kHostProductTextMax + 1];
  int length = 0;
  while (length < kHostProductTextMax && product[length] != '\0') {
    lowered[length] = AsciiLower(product[length]);
    ++length;
  }
  lowered[length] = '\0';
  for (const HostKey& entry : kHostKeys) {
    if (std::strstr(lowered, entry.key) != nullptr) return entry.kind;
  }
  return kHostUnknown;
}

int32_t PackDecimalVersion(int32_t decimal) {
  const int64_t major = decimal / 10000;
  const int64_t minor = (decimal % 10000) / 100;
  const int64_t patch = decimal % 100;
  // A host reporting an absurd major version must not overflow; the packed
  // form simply wraps, and nothing depends on it.
  return static_cast<int32_t>(static_cast<uint32_t>(major * 65536 + minor * 256 + patch));
}

bool HostNeedsStereoOnlyInputs(HostKind kind) {
  return kind == kHostForte || kind == kHostAudition || kind == kHostOrion ||
         kind == kHostSawStudio;
}
