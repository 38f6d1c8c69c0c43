#include "framework/FixedPointText.h"

#include <cstdio>

namespace quorvane {

namespace {

bool IsPartOfNumber(char c) {
  // Digits, the sign, and the letters of "inf" and "nan".
  return (c >= '0' && c <= '9') || c == '-' || c == '+' || (c >= 'a' && c <= 'z') ||
         (c >= 'A' && c <= 'Z');
}

} // namespace

void FormatFixedPoint(char* out, std::size_t outSize, int decimals, double v) {
  if (out == nullptr || outSize == 0) return;
  // The largest double has 309 digits before the point; decimals are few.
  char printed[400];
  if (decimals < 0) decimals = 0;
  if (decimals > 40) decimals = 40;
  std::snprintf(printed, sizeof printed, "%.*f", decimals, v);
  // Whatever the locale put between the digits (one byte or several) is the
  // decimal separator: it becomes one point.
  std::size_t written = 0;
  bool inSeparator = false;
  for (const char* p = printed; *p != '\0' && written + 1 < outSize; ++p) {
    if (IsPartOfNumber(*p)) {
      out[written++] = *p;
      inSeparator = false;
    } else if (!inSeparator) {
      out[written++] = '.';
      inSeparator = true;
    }
  }
  out[written] = '\0';
}

} // namespace quorvane
