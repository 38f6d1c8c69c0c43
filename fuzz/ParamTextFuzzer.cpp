// Parameter texts: display (FormatValue) and parsing (ParseValue) on the effect's own
// parameters and on parameters defined from the input, and the host's text requests through
// the dispatcher: effGetParamDisplay, the display of a normalised value and the text-to-value
// request of effVendorSpecific, and effString2Parameter.
//
// Every text ends within the size the caller gave and nothing past it is written; parsing reads
// the leading decimal number exactly as the C library would; what a parameter displays parses
// back to the value it shows; a typed value ends up clamped into the range.

#include "fuzz/ByteReader.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzPlugin.h"

#include "framework/vst2/VstText.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

using namespace quorvane;

namespace {

constexpr int kTargets = 16; // 0..13 the effect's parameters, then two defined from the input
constexpr std::size_t kMaxOutSize = 48;
constexpr std::size_t kMaxValueNameText = 40; // longer than a value name may be
constexpr std::size_t kHostBufferSize = 512;
constexpr uint8_t kUntouched = 0xA5;

void DefineFromInput(IParameter& param, ByteReader& input) {
  switch (input.Byte() % 4) {
  case 0: {
    const double defaultValue = input.Double(), minimum = input.Double();
    const double maximum = input.Double(), step = input.Double();
    param.DefineReal("Real", defaultValue, minimum, maximum, step, "u");
    break;
  }
  case 1: {
    const int32_t defaultValue = input.I32(), minimum = input.I32(), maximum = input.I32();
    param.DefineInteger("Integer", defaultValue, minimum, maximum, "u");
    break;
  }
  case 2: {
    const int32_t defaultValue = input.I32(), count = input.I32();
    param.DefineChoice("Choice", defaultValue, count, "");
    break;
  }
  default:
    param.DefineToggle("Toggle", (input.Byte() & 1) != 0, "");
    break;
  }
  param.SetCurve(input.Double());
  for (int names = input.Byte() % 4; names > 0; --names) {
    const int32_t key = input.I32();
    std::size_t length = 0;
    const uint8_t* text = input.Take(input.Byte() % kMaxValueNameText, &length);
    param.AddValueName(key, std::string(reinterpret_cast<const char*>(text), length).c_str());
  }
}

// The leading decimal number as the C library reads it: optional white space and sign, digits
// with an optional fraction, an optional exponent; 0.0 without digits.
double ReferenceNumber(const char* text) {
  const char* p = text;
  while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
    ++p;
  const char* start = p;
  if (*p == '+' || *p == '-') ++p;
  int digits = 0;
  for (; *p >= '0' && *p <= '9'; ++p)
    ++digits;
  if (*p == '.')
    for (++p; *p >= '0' && *p <= '9'; ++p)
      ++digits;
  if (digits == 0) return 0.0;
  if (*p == 'e' || *p == 'E') {
    const char* q = p + 1;
    if (*q == '+' || *q == '-') ++q;
    if (*q >= '0' && *q <= '9') {
      while (*q >= '0' && *q <= '9')
        ++q;
      p = q;
    }
  }
  const std::string number(start, p);
  return std::strtod(number.c_str(), nullptr);
}

void CheckFormat(const IParameter& param, double v, bool normalised, std::size_t outSize) {
  // Exactly outSize bytes on the heap, so that AddressSanitizer sees one byte too many.
  const std::size_t allocated = outSize > 0 ? outSize : 1;
  std::unique_ptr<char[]> out(new char[allocated]);
  std::memset(out.get(), kUntouched, allocated);
  param.FormatValue(v, normalised, out.get(), outSize);
  if (outSize == 0) {
    FuzzRequire(static_cast<uint8_t>(out[0]) == kUntouched, "FormatValue wrote into 0 bytes");
    return;
  }
  FuzzRequire(std::memchr(out.get(), '\0', outSize) != nullptr,
              "FormatValue(%.17g) is not terminated within %zu bytes", v, outSize);
}

void CheckParse(const IParameter& param, const char* text) {
  const double parsed = param.ParseValue(text);
  int32_t key = 0;
  if (param.KeyForValueName(text, &key)) {
    FuzzRequire(parsed == key, "value name \"%s\" parsed as %.17g, not %d", text, parsed, key);
    return;
  }
  const double expected = ReferenceNumber(text);
  // A number too small for a normal double may be read as zero.
  const bool tiny = std::fabs(expected) < DBL_MIN && parsed == 0.0;
  FuzzRequire(parsed == expected || tiny, "\"%s\" parsed as %.17g, not %.17g", text, parsed,
              expected);
}

// What a parameter displays for a value in its range parses back to that value, to within the
// decimals shown (a whole number display truncates).
void CheckDisplayParsesBack(const IParameter& param, double v) {
  if (!std::isfinite(v)) return;
  v = param.ClampToRange(v);
  char shown[IParameter::kTextSize * 4];
  param.FormatValue(v, false, shown, sizeof shown);
  const double parsed = param.ParseValue(shown);
  int32_t key = 0;
  if (param.KeyForValueName(shown, &key)) {
    char again[sizeof shown];
    param.FormatValue(parsed, false, again, sizeof again);
    FuzzRequire(std::strcmp(again, shown) == 0, "\"%s\" parses to %.17g, which displays \"%s\"",
                shown, parsed, again);
    return;
  }
  const double tolerance =
      (param.Decimals() == 0 ? 1.0 : 0.5 * std::pow(10.0, -param.Decimals())) * (1.0 + 1e-9) +
      std::fabs(v) * 1e-15;
  FuzzRequire(std::fabs(parsed - v) <= tolerance, "%.17g displays \"%s\", which parses to %.17g", v,
              shown, parsed);
}

bool SameValue(double a, double b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// The host's text requests for parameter index (valid or not) with the given text.
void CheckHostRequests(FuzzPlugin& plugin, int32_t index, const char* text, float opt) {
  const IParameter* param = plugin.Plugin().Param(index);
  const std::vector<double> before = plugin.Values();
  char buffer[kHostBufferSize];

  // The current value's display: a text of at most kHostParamDisplaySize bytes, nothing past it.
  std::memset(buffer, kUntouched, sizeof buffer);
  FuzzRequire(plugin.Dispatch(effGetParamDisplay, index, 0, buffer) == 0,
              "effGetParamDisplay answered non-zero");
  if (param != nullptr) {
    char expected[kHostParamDisplaySize];
    param->FormatValue(param->Value(), false, expected, sizeof expected);
    FuzzRequire(std::strcmp(buffer, expected) == 0, "display \"%.24s\" instead of \"%s\"", buffer,
                expected);
  }
  const std::size_t displayEnd = param != nullptr ? kHostParamDisplaySize : 0;
  for (std::size_t i = displayEnd; i < sizeof buffer; ++i)
    FuzzRequire(static_cast<uint8_t>(buffer[i]) == kUntouched,
                "effGetParamDisplay(%d) wrote byte %zu", index, i);

  // A normalised value's display.
  std::memset(buffer, kUntouched, sizeof buffer);
  const intptr_t shown = plugin.Dispatch(effVendorSpecific, effGetParamDisplay, index, buffer, opt);
  FuzzRequire(shown == IEffectVST::kVendorSpecificAnswer, "display request answered %ld",
              static_cast<long>(shown));
  if (param != nullptr) {
    char expected[kHostParamDisplaySize];
    param->FormatValue(static_cast<double>(opt), true, expected, sizeof expected);
    FuzzRequire(std::strcmp(buffer, expected) == 0, "normalised display \"%.24s\" not \"%s\"",
                buffer, expected);
  }
  for (std::size_t i = displayEnd; i < sizeof buffer; ++i)
    FuzzRequire(static_cast<uint8_t>(buffer[i]) == kUntouched,
                "the display request for %d wrote byte %zu", index, i);

  // Text to normalised value, answered in place; the parameter does not change.
  std::memset(buffer, 0, sizeof buffer);
  std::strncpy(buffer, text, sizeof buffer - 1);
  char typed[kHostInputTextSize];
  CopyHostText(typed, text, sizeof typed);
  const intptr_t converted = plugin.Dispatch(effVendorSpecific, effString2Parameter, index, buffer);
  if (param == nullptr) {
    FuzzRequire(converted == 0, "text request for parameter %d answered %ld", index,
                static_cast<long>(converted));
  } else {
    FuzzRequire(converted == IEffectVST::kVendorSpecificAnswer, "text request answered %ld",
                static_cast<long>(converted));
    if (typed[0] != '\0') {
      FuzzRequire(std::memchr(buffer, '\0', kHostParamDisplaySize) != nullptr,
                  "the normalised text is not terminated");
      const double expected = param->NormaliseValue(param->ParseValue(typed));
      const double answered = std::strtod(buffer, nullptr);
      FuzzRequire(answered >= 0.0 && answered <= 1.0 && std::fabs(answered - expected) <= 1e-16,
                  "\"%s\" answered \"%s\", expected %.17f", typed, buffer, expected);
    }
  }
  const std::vector<double> after = plugin.Values();
  FuzzRequire(std::memcmp(after.data(), before.data(), 8 * before.size()) == 0,
              "the text request changed a parameter");

  // Typed text: the value parsed, clamped into the range, nothing else changed.
  std::memset(buffer, 0, sizeof buffer);
  std::strncpy(buffer, text, sizeof buffer - 1);
  const intptr_t set = plugin.Dispatch(effString2Parameter, index, 0, buffer);
  FuzzRequire(set == (param != nullptr ? 1 : 0), "effString2Parameter(%d) answered %ld", index,
              static_cast<long>(set));
  const std::vector<double> typedValues = plugin.Values();
  for (int32_t i = 0; i < plugin.ParamCount(); ++i) {
    const double expected =
        i == index ? param->ClampToRange(param->ParseValue(typed)) : before[std::size_t(i)];
    FuzzRequire(SameValue(typedValues[std::size_t(i)], expected),
                "after \"%s\" for %d, parameter %d holds %.17g, not %.17g", typed, index, i,
                typedValues[std::size_t(i)], expected);
  }
  plugin.CheckParameters();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  ByteReader input(data, size);
  const int target = input.Byte() % kTargets;
  FuzzPlugin plugin;
  IParameter defined;
  const int32_t effectParams = plugin.ParamCount();
  if (target >= effectParams) DefineFromInput(defined, input);
  const IParameter& param = target < effectParams ? *plugin.Plugin().Param(target) : defined;

  const double v = input.Double();
  const float opt = input.Float();
  const std::size_t outSize = input.Byte() % kMaxOutSize;
  std::size_t length = 0;
  const uint8_t* bytes = input.Rest(&length);
  const std::string text(reinterpret_cast<const char*>(bytes), length);

  CheckFormat(param, v, false, outSize);
  CheckFormat(param, static_cast<double>(opt), true, outSize);
  CheckParse(param, text.c_str());
  if (target < effectParams) CheckDisplayParsesBack(param, v);

  // Indices past the list and below it take the requests for the defined parameters.
  const int32_t index = target < effectParams ? target : (target == effectParams ? -1 : target);
  CheckHostRequests(plugin, index, text.c_str(), opt);
  return 0;
}
