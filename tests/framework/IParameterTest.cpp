#include "framework/IParameter.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace quorvane {

namespace {

std::string Format(const IParameter& param, double v, bool normalised = false) {
  char text[64];
  param.FormatValue(v, normalised, text, sizeof text);
  return text;
}

IParameter FilterTypeParam() {
  IParameter param;
  param.DefineChoice("Filter Type", 0, 3, "");
  param.AddValueName(0, "Lowpass");
  param.AddValueName(1, "Highpass");
  param.AddValueName(2, "Bandpass");
  return param;
}

} // namespace

TEST(IParameterDefine, MaximumIsRaisedToOneStepAboveMinimumAndDefaultIsNotClamped) {
  IParameter param;
  param.DefineReal("Width", 5.0, 0.0, 0.0, 0.25, "oct");
  EXPECT_EQ(param.Kind(), ParamKind::Real);
  EXPECT_EQ(param.Maximum(), 0.25);
  EXPECT_EQ(param.Decimals(), 2);
  EXPECT_EQ(param.Value(), 5.0);
  EXPECT_STREQ(param.Unit(), "oct");
}

TEST(IParameterDefine, DecimalsFollowTheStep) {
  const struct {
    double step;
    int32_t decimals;
  } cases[] = {{1.0, 0}, {0.5, 1}, {0.01, 2}, {0.001, 3}, {1.0 / 3.0, 6}, {0.0, 0}, {20.0, 0}};
  for (const auto& c : cases) {
    IParameter param;
    param.DefineReal("x", 0.0, 0.0, 100.0, c.step, "");
    EXPECT_EQ(param.Decimals(), c.decimals) << "step " << c.step;
  }
}

TEST(IParameterDefine, ChoiceRangeAndRoundingToTheNearestIndex) {
  IParameter param;
  param.DefineChoice("Mode", 1, 3, "");
  EXPECT_EQ(param.Kind(), ParamKind::Choice);
  EXPECT_EQ(param.Minimum(), 0.0);
  EXPECT_EQ(param.Maximum(), 2.0);
  EXPECT_EQ(param.Step(), 1.0);
  EXPECT_EQ(param.Decimals(), 0);
  EXPECT_EQ(param.Value(), 1.0);
  param.SetFromNormalised(0.74);
  EXPECT_EQ(param.Value(), 1.0);
  param.SetFromNormalised(0.76);
  EXPECT_EQ(param.Value(), 2.0);
}

TEST(IParameterDefine, TheFirstDefinitionDecidesTheKind) {
  IParameter param;
  param.DefineChoice("Mode", 0, 3, "");
  param.DefineInteger("Mode", 0, 0, 5, "");
  EXPECT_EQ(param.Kind(), ParamKind::Choice);
  EXPECT_EQ(param.Maximum(), 5.0);

  IParameter toggle;
  toggle.DefineToggle("Bypass", true, "");
  EXPECT_EQ(toggle.Kind(), ParamKind::Toggle);
  EXPECT_EQ(toggle.Value(), 1.0);
  EXPECT_EQ(toggle.Maximum(), 1.0);
  toggle.SetFromNormalised(0.4);
  EXPECT_EQ(toggle.Value(), 0.0);
}

TEST(IParameterDefine, LongTextsAreCutAndTerminated) {
  const std::string longText(80, 'n');
  IParameter param;
  param.DefineReal(longText.c_str(), 0.0, 0.0, 1.0, 0.1, longText.c_str());
  param.AddValueName(0, longText.c_str());
  EXPECT_EQ(std::strlen(param.Name()), 31u);
  EXPECT_EQ(std::strlen(param.Unit()), 31u);
  EXPECT_EQ(std::strlen(param.ValueNameFor(0)), 31u);
  IParameter unnamed;
  unnamed.DefineReal(nullptr, 0.0, 0.0, 1.0, 0.1, nullptr);
  EXPECT_STREQ(unnamed.Name(), "");
}

TEST(IParameterCurve, ZeroAndNaNExponentsAreRefused) {
  IParameter param;
  param.DefineReal("x", 0.0, 0.0, 1.0, 0.01, "");
  param.SetCurve(2.0);
  param.SetCurve(0.0);
  param.SetCurve(std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(param.Curve(), 2.0);
}

TEST(IParameterNormalised, IntegerEndsAreExact) {
  IParameter param;
  param.DefineInteger("Freq", 1000, 20, 20000, "Hz");
  param.SetFromNormalised(1.0);
  EXPECT_EQ(param.Value(), 20000.0);
  param.SetFromNormalised(0.0);
  EXPECT_EQ(param.Value(), 20.0);
}

TEST(IParameterNormalised, CurveMapsHalfWayToAQuarterOfTheRangeAndBack) {
  IParameter param;
  param.DefineReal("Freq", 100.0, 100.0, 500.0, 0.1, "Hz");
  param.SetCurve(2.0);
  EXPECT_DOUBLE_EQ(param.NormaliseValue(200.0), 0.5);
  param.SetFromNormalised(0.5);
  EXPECT_DOUBLE_EQ(param.Value(), 200.0);
  EXPECT_DOUBLE_EQ(param.Normalised(), 0.5);
}

TEST(IParameterNormalised, RealValuesAreNotRoundedToTheStep) {
  IParameter param;
  param.DefineReal("Mix", 0.0, 0.0, 100.0, 1.0, "%");
  param.SetFromNormalised(0.123);
  EXPECT_DOUBLE_EQ(param.Value(), 12.3);
}

TEST(IParameterNormalised, RoundingCountsFromZeroNotFromTheMinimum) {
  IParameter param;
  param.DefineInteger("x", 1, 0, 3, "");
  param.DefineReal("x", 1.0, 0.5, 3.5, 1.0, ""); // stays Integer, with a fractional minimum
  param.SetFromNormalised(0.0);
  EXPECT_EQ(param.Value(), 1.0);
  IParameter steps;
  steps.DefineInteger("Steps", 1, 1, 4, "");
  steps.SetFromNormalised(0.5); // 2.5 rounds half up
  EXPECT_EQ(steps.Value(), 3.0);
}

TEST(IParameterNormalised, OutOfRangeHostValuesStayInsideTheRange) {
  IParameter param;
  param.DefineReal("Freq", 1000.0, 20.0, 20000.0, 0.1, "Hz");
  param.SetCurve(0.5);
  param.SetFromNormalised(-0.5);
  EXPECT_EQ(param.Value(), 20.0);
  param.SetFromNormalised(1.5);
  EXPECT_EQ(param.Value(), 20000.0);
  param.SetFromNormalised(std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(param.Value(), 20.0);
}

TEST(IParameterNormalised, NormaliseClampsAndNeverAnswersNaN) {
  IParameter param;
  param.DefineReal("Gain", 0.0, -24.0, 24.0, 0.5, "dB");
  EXPECT_EQ(param.NormaliseValue(-100.0), 0.0);
  EXPECT_EQ(param.NormaliseValue(100.0), 1.0);
  EXPECT_EQ(param.NormaliseValue(std::numeric_limits<double>::quiet_NaN()), 0.0);
  IParameter empty;
  empty.DefineReal("Fixed", 3.0, 3.0, 3.0, 0.0, "");
  EXPECT_EQ(empty.NormaliseValue(3.0), 0.0);
  EXPECT_EQ(empty.Normalised(), 0.0);
}

TEST(IParameterNormalised, ClampingForStoredValues) {
  IParameter param;
  param.DefineReal("Gain", 0.0, -24.0, 24.0, 0.5, "dB");
  param.SetClampedValue(30.0);
  EXPECT_EQ(param.Value(), 24.0);
  param.SetClampedValue(std::numeric_limits<double>::quiet_NaN());
  EXPECT_EQ(param.Value(), -24.0);
  param.SetClampedValue(1.25);
  EXPECT_EQ(param.Value(), 1.25);
}

TEST(IParameterValueNames, LookupsTakeTheFirstMatch) {
  IParameter param = FilterTypeParam();
  param.AddValueName(1, "Again");
  EXPECT_EQ(param.ValueNameCount(), 4);
  EXPECT_STREQ(param.ValueNameFor(1), "Highpass");
  EXPECT_STREQ(param.ValueNameFor(7), "");
  int32_t key = -1;
  EXPECT_TRUE(param.KeyForValueName("Again", &key));
  EXPECT_EQ(key, 1);
  EXPECT_FALSE(param.KeyForValueName("bandpass", &key));
  EXPECT_FALSE(param.KeyForValueName(nullptr, &key));
  ASSERT_NE(param.ValueNameAt(2), nullptr);
  EXPECT_STREQ(param.ValueNameAt(2)->text, "Bandpass");
  EXPECT_EQ(param.ValueNameAt(4), nullptr);
  EXPECT_EQ(param.ValueNameAt(-1), nullptr);
}

TEST(IParameterFormat, NumbersFollowTheDecimals) {
  IParameter whole;
  whole.DefineReal("x", 0.0, -100.0, 100.0, 1.0, "");
  IParameter hundredths;
  hundredths.DefineReal("x", 0.0, -100.0, 100.0, 0.01, "");
  IParameter tenths;
  tenths.DefineReal("x", 0.0, -100.0, 100.0, 0.1, "");
  EXPECT_EQ(Format(whole, -0.0), "0");
  EXPECT_EQ(Format(hundredths, -0.0), "0");
  EXPECT_EQ(Format(tenths, 0.0), "0");
  EXPECT_EQ(Format(tenths, 2.5), "2.5");
  EXPECT_EQ(Format(whole, 3.7), "3");
  EXPECT_EQ(Format(whole, -3.7), "-3");
  EXPECT_EQ(Format(whole, -0.3), "0");
  EXPECT_EQ(Format(hundredths, 3.7), "3.70");
  EXPECT_EQ(Format(hundredths, -1.005), "-1.00");
  IParameter freq;
  freq.DefineInteger("Freq", 1000, 20, 20000, "Hz");
  EXPECT_EQ(Format(freq, 19999.0), "19999");
}

TEST(IParameterFormat, ValueNamesWinUnlessEmpty) {
  IParameter param = FilterTypeParam();
  EXPECT_EQ(Format(param, 2.0), "Bandpass");
  EXPECT_EQ(Format(param, 1.9), "Highpass"); // key by truncation
  EXPECT_EQ(Format(param, 5.0), "5");
  param.AddValueName(5, "Five");
  IParameter blank;
  blank.DefineChoice("x", 0, 3, "");
  blank.AddValueName(1, "");
  blank.AddValueName(1, "Shadowed");
  EXPECT_EQ(Format(blank, 1.0), "1");
}

TEST(IParameterFormat, NormalisedInputUsesTheCurveWithoutRoundingOrClamping) {
  IParameter param;
  param.DefineReal("Freq", 100.0, 100.0, 500.0, 0.1, "Hz");
  param.SetCurve(2.0);
  EXPECT_EQ(Format(param, 0.5, true), "200.0");
  EXPECT_EQ(Format(param, 2.0, true), "1700.0");
  IParameter mode = FilterTypeParam();
  EXPECT_EQ(Format(mode, 0.5, true), "Highpass");
}

TEST(IParameterFormat, SmallBuffersAndOddValuesAreSafe) {
  IParameter param = FilterTypeParam();
  char text[4] = {'x', 'x', 'x', 'x'};
  param.FormatValue(0.0, false, text, sizeof text);
  EXPECT_STREQ(text, "Low");
  char untouched = 'u';
  param.FormatValue(0.0, false, &untouched, 0);
  EXPECT_EQ(untouched, 'u');
  param.FormatValue(0.0, false, nullptr, 10);

  IParameter whole;
  whole.DefineReal("x", 0.0, 0.0, 1.0, 1.0, "");
  EXPECT_EQ(Format(whole, 1e12), "1000000000000");
  EXPECT_EQ(Format(whole, -3e9), "-3000000000");
  EXPECT_FALSE(Format(whole, std::numeric_limits<double>::quiet_NaN()).empty());
  IParameter fine;
  fine.DefineReal("x", 0.0, 0.0, 1.0, 1e-9, "");
  EXPECT_EQ(fine.Decimals(), 6);
  char small[8];
  fine.FormatValue(1e300, false, small, sizeof small);
  EXPECT_EQ(std::strlen(small), 7u);
}

// A host may switch the process to a locale with a decimal comma; what the
// parameters print must still read back with their own parsing.
TEST(IParameterFormat, ADecimalCommaLocaleStillPrintsAPoint) {
  const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
  const char* commaLocale = nullptr;
  for (const char* name :
       {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "German", "German_Germany.1252"}) {
    if (std::setlocale(LC_NUMERIC, name) != nullptr && std::localeconv()->decimal_point[0] != '.') {
      commaLocale = name;
      break;
    }
  }
  if (commaLocale == nullptr) {
    std::setlocale(LC_NUMERIC, previous.c_str());
    GTEST_SKIP() << "no locale with a decimal comma on this machine";
  }
  IParameter gain;
  gain.DefineReal("Gain", 0.0, -24.0, 24.0, 0.25, "dB");
  const std::string shown = Format(gain, -2.75);
  std::setlocale(LC_NUMERIC, previous.c_str());
  EXPECT_EQ(shown, "-2.75") << "in " << commaLocale;
  EXPECT_EQ(gain.ParseValue(shown.c_str()), -2.75);
}

TEST(IParameterParse, ValueNamesAreExactAndCaseSensitive) {
  IParameter param = FilterTypeParam();
  EXPECT_EQ(param.ParseValue("Highpass"), 1.0);
  EXPECT_EQ(param.ParseValue("highpass"), 0.0);
  EXPECT_EQ(param.ParseValue("2"), 2.0);
  EXPECT_EQ(param.ParseValue(nullptr), 0.0);
}

TEST(IParameterParse, LeadingDecimalNumber) {
  IParameter param;
  param.DefineReal("x", 0.0, -100.0, 100.0, 0.1, "");
  const struct {
    const char* text;
    double value;
  } cases[] = {
      {"12", 12.0},      {"  -12.5dB", -12.5}, {"+7", 7.0},      {"1e3", 1000.0},
      {"2.5E-1x", 0.25}, {"1e", 1.0},          {"1e+", 1.0},     {"3.", 3.0},
      {".5", 0.5},       {"-.25", -0.25},      {"abc", 0.0},     {"", 0.0},
      {"-", 0.0},        {".", 0.0},           {"nan", 0.0},     {"inf", 0.0},
      {"0x10", 0.0},     {"1,5", 1.0},         {"\t\n42", 42.0}, {"1e-999", 0.0},
      {"-0", 0.0},       {"007", 7.0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(param.ParseValue(c.text), c.value) << c.text;
  EXPECT_EQ(param.ParseValue("1e999"), std::numeric_limits<double>::infinity());
  EXPECT_EQ(param.ParseValue("-1e999"), -std::numeric_limits<double>::infinity());
  EXPECT_EQ(param.ParseValue("0.0000000001e400"), std::numeric_limits<double>::infinity());
}

} // namespace quorvane
