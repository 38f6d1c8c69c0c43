#include "framework/IParameter.h"

#include "framework/FixedPointText.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace quorvane {

namespace {

void CopyText(char* out, std::size_t outSize, const char* text) {
  if (outSize == 0) return;
  const std::size_t size = text ? std::strlen(text) : 0;
  const std::size_t kept = size < outSize - 1 ? size : outSize - 1;
  if (kept > 0) std::memcpy(out, text, kept);
  out[kept] = '\0';
}

// v truncated toward zero, when it is a whole number an int32 can hold.
bool TruncateToInt(double v, int32_t* out) {
  const double t = std::trunc(v);
  if (!(t >= std::numeric_limits<int32_t>::min() && t <= std::numeric_limits<int32_t>::max()))
    return false;
  *out = static_cast<int32_t>(t);
  return true;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

// The leading decimal number of text, read without regard to the process's locale (hosts may
// set one with a decimal comma). 0.0 when the text does not start with a number.
double LeadingNumber(const char* text) {
  const char* p = text;
  while (IsSpace(*p))
    ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = (*p++ == '-');
  const char* start = p;
  int digits = 0;
  int significantExponent = 0; // decimal exponent of the first non-zero digit, roughly
  bool seenNonZero = false;
  for (; IsDigit(*p); ++p, ++digits) {
    if (*p != '0') seenNonZero = true;
    if (seenNonZero) ++significantExponent;
  }
  if (*p == '.') {
    ++p;
    for (; IsDigit(*p); ++p, ++digits) {
      if (*p != '0') seenNonZero = true;
      if (!seenNonZero) --significantExponent;
    }
  }
  if (digits == 0) return 0.0;
  const char* end = p;
  int64_t exponent = 0;
  if (*p == 'e' || *p == 'E') {
    const char* q = p + 1;
    bool negativeExponent = false;
    if (*q == '+' || *q == '-') negativeExponent = (*q++ == '-');
    if (IsDigit(*q)) {
      for (; IsDigit(*q); ++q)
        if (exponent < 100000) exponent = exponent * 10 + (*q - '0');
      if (negativeExponent) exponent = -exponent;
      end = q;
    }
  }
  double result = 0.0;
  const auto parsed = std::from_chars(start, end, result, std::chars_format::general);
  if (parsed.ec == std::errc::result_out_of_range) {
    const bool overflow = seenNonZero && significantExponent + exponent > 0;
    result = overflow ? std::numeric_limits<double>::infinity() : 0.0;
  } else if (parsed.ec != std::errc()) {
    result = 0.0;
  }
  return negative ? -result : result;
}

} // namespace

void IParameter::DefineReal(const char* newName, double defaultValue, double newMinimum,
                            double newMaximum, double newStep, const char* newUnit) {
  if (kind == ParamKind::Unset) kind = ParamKind::Real;
  CopyText(name, sizeof name, newName);
  CopyText(unit, sizeof unit, newUnit);
  minimum = newMinimum;
  value = defaultValue;
  maximum = newMaximum >= newMinimum + newStep ? newMaximum : newMinimum + newStep;
  step = newStep;
  decimals = 0;
  for (double s = newStep; s != std::floor(s) && decimals < kMaxDecimals; s *= 10.0)
    ++decimals;
}

void IParameter::DefineInteger(const char* newName, int32_t defaultValue, int32_t newMinimum,
                               int32_t newMaximum, const char* newUnit) {
  if (kind == ParamKind::Unset) kind = ParamKind::Integer;
  DefineReal(newName, defaultValue, newMinimum, newMaximum, 1.0, newUnit);
}

void IParameter::DefineChoice(const char* newName, int32_t defaultValue, int32_t count,
                              const char* newUnit) {
  if (kind == ParamKind::Unset) kind = ParamKind::Choice;
  DefineReal(newName, defaultValue, 0.0, static_cast<double>(count) - 1.0, 1.0, newUnit);
}

void IParameter::DefineToggle(const char* newName, bool defaultValue, const char* newUnit) {
  if (kind == ParamKind::Unset) kind = ParamKind::Toggle;
  DefineReal(newName, defaultValue ? 1.0 : 0.0, 0.0, 1.0, 1.0, newUnit);
}

void IParameter::SetCurve(double exponent) {
  if (exponent == 0.0 || std::isnan(exponent)) return;
  curve = exponent;
}

void IParameter::AddValueName(int32_t key, const char* text) {
  ValueName entry;
  entry.key = key;
  CopyText(entry.text, sizeof entry.text, text);
  valueNames.push_back(entry);
}

void IParameter::Bounds(double* outMinimum, double* outMaximum) const {
  if (outMinimum) *outMinimum = minimum;
  if (outMaximum) *outMaximum = maximum;
}

double IParameter::ClampToRange(double v) const {
  if (!(v >= minimum)) return minimum;
  if (v > maximum) return maximum;
  return v;
}

void IParameter::SetClampedValue(double v) {
  value = ClampToRange(v);
}

double IParameter::NormaliseValue(double v) const {
  const double range = maximum - minimum;
  // Only a Real parameter defined with step 0 can have an empty range.
  if (!(range > 0.0)) return 0.0;
  return std::pow((ClampToRange(v) - minimum) / range, 1.0 / curve);
}

double IParameter::FromNormalisedUnrounded(double x) const {
  return std::pow(x, curve) * (maximum - minimum) + minimum;
}

double IParameter::ClampNormalised(double x) {
  if (!(x > 0.0)) return 0.0;
  return x > 1.0 ? 1.0 : x;
}

void IParameter::SetFromNormalised(double x) {
  // Hosts do not always keep to 0..1; below 0 a fractional curve would give NaN, and a value
  // below the minimum would reach the effect unchecked.
  double v = FromNormalisedUnrounded(ClampNormalised(x));
  if (kind != ParamKind::Real && step > 0.0) v = std::floor(v / step + 0.5) * step;
  if (v > maximum) v = maximum;
  value = v;
}

const ValueName* IParameter::ValueNameAt(int32_t i) const {
  if (i < 0 || i >= ValueNameCount()) return nullptr;
  return &valueNames[static_cast<std::size_t>(i)];
}

const char* IParameter::ValueNameFor(int32_t key) const {
  for (const ValueName& entry : valueNames)
    if (entry.key == key) return entry.text;
  return "";
}

bool IParameter::KeyForValueName(const char* text, int32_t* key) const {
  if (!text) return false;
  for (const ValueName& entry : valueNames) {
    if (std::strcmp(entry.text, text) == 0) {
      if (key) *key = entry.key;
      return true;
    }
  }
  return false;
}

void IParameter::FormatValue(double v, bool normalised, char* out, std::size_t outSize) const {
  if (!out || outSize == 0) return;
  if (normalised) v = FromNormalisedUnrounded(v);
  int32_t whole = 0;
  const bool fitsInt = TruncateToInt(v, &whole);
  if (fitsInt) {
    for (const ValueName& entry : valueNames) {
      if (entry.key != whole) continue;
      if (entry.text[0] != '\0') {
        CopyText(out, outSize, entry.text);
        return;
      }
      break;
    }
  }
  if (v == 0.0) {
    CopyText(out, outSize, "0");
  } else if (decimals == 0) {
    if (fitsInt)
      std::snprintf(out, outSize, "%d", static_cast<int>(whole));
    else
      FormatFixedPoint(out, outSize, 0, std::trunc(v));
  } else {
    FormatFixedPoint(out, outSize, static_cast<int>(decimals), v);
  }
}

double IParameter::ParseValue(const char* text) const {
  if (!text) return 0.0;
  int32_t key = 0;
  if (!valueNames.empty() && KeyForValueName(text, &key)) return key;
  return LeadingNumber(text);
}

} // namespace quorvane
