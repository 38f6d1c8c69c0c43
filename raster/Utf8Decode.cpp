#include "raster/Utf8Decode.h"

namespace quorvane {
namespace {

constexpr std::uint32_t kSpace = 32;

bool IsContinuation(unsigned char c) {
  return c >= 0x80 && c <= 0xBF;
}

// The second byte's range depends on the lead: this is what rules out
// overlong forms, surrogates and codes beyond U+10FFFF.
bool SecondByteFits(unsigned char lead, unsigned char second) {
  switch (lead) {
  case 0xE0:
    return second >= 0xA0 && second <= 0xBF;
  case 0xED:
    return second >= 0x80 && second <= 0x9F;
  case 0xF0:
    return second >= 0x90 && second <= 0xBF;
  case 0xF4:
    return second >= 0x80 && second <= 0x8F;
  default:
    return IsContinuation(second);
  }
}

} // namespace

Utf8Char Utf8Decode(const char* text, int available) {
  if (text == nullptr || available <= 0) return {};
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  const unsigned char lead = p[0];
  int length = 1;
  if (lead >= 0xC2 && lead < 0xE0)
    length = 2;
  else if (lead >= 0xE0 && lead < 0xF0)
    length = 3;
  else if (lead >= 0xF0 && lead < 0xF5)
    length = 4;
  if (length == 1 || length > available) return {lead, 1};
  if (!SecondByteFits(lead, p[1])) return {lead, 1};
  for (int i = 2; i < length; ++i)
    if (!IsContinuation(p[i])) return {lead, 1};

  switch (length) {
  case 2:
    return {std::uint32_t(lead & 0x1F) << 6 | (p[1] & 0x3F), 2};
  case 3:
    return {std::uint32_t(lead & 0x0F) << 12 | std::uint32_t(p[1] & 0x3F) << 6 | (p[2] & 0x3F), 3};
  default:
    return {kSpace, 4};
  }
}

} // namespace quorvane
