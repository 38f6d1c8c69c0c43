#include "framework/vst2/HostIdentification.h"

#include <cstring>

namespace quorvane {

namespace {

struct HostKey {
  const char* key;
  HostKind kind;
};

// Order matters: a product text can contain several keys ("cubase" wins
// over "reaper"), and short keys such as "live" match inside longer words.
constexpr HostKey kHostKeys[] = {
    {"cubase", HostKind::Cubase},
    {"reaper", HostKind::Reaper},
    {"nuendo", HostKind::Nuendo},
    {"cakewalk", HostKind::Cakewalk},
    {"samplitude", HostKind::Samplitude},
    {"fruity", HostKind::Fruity},
    {"live", HostKind::Live},
    {"melodyne", HostKind::Melodyne},
    {"vstmanlib", HostKind::VstManLib},
    {"aulab", HostKind::Aulab},
    {"forte", HostKind::Forte},
    {"chainer", HostKind::Chainer},
    {"audition", HostKind::Audition},
    {"orion", HostKind::Orion},
    {"sawstudio", HostKind::SawStudio},
    {"logic", HostKind::Logic},
    {"digital", HostKind::Digital},
    {"audiomulch", HostKind::AudioMulch},
    {"presonus", HostKind::Presonus},
    {"acoustica", HostKind::Acoustica},
    {"garageband", HostKind::GarageBand},
    {"ardour", HostKind::Ardour},
};

char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

HostKind HostKindFromProduct(const char* product) {
  if (product == nullptr) return HostKind::Unknown;
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
  return HostKind::Unknown;
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
  return kind == HostKind::Forte || kind == HostKind::Audition || kind == HostKind::Orion ||
         kind == HostKind::SawStudio;
}

} // namespace quorvane
