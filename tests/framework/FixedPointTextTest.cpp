#include "framework/FixedPointText.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

namespace quorvane {

namespace {

std::string Fixed(int decimals, double v, std::size_t size = 64) {
  char text[512];
  std::memset(text, 'x', sizeof text);
  FormatFixedPoint(text, size, decimals, v);
  return text;
}

TEST(FixedPointText, PrintsLikeTheCLocale) {
  EXPECT_EQ(Fixed(2, 3.7), "3.70");
  EXPECT_EQ(Fixed(0, -19999.4), "-19999");
  EXPECT_EQ(Fixed(17, 0.5), "0.50000000000000000");
  // The tests run in the C locale, where this is exactly what printf gives.
  for (double v : {0.1, -2.75, 123456.789, 1e-7, 1e300, -std::numeric_limits<double>::max()}) {
    for (int decimals : {0, 1, 6, 17}) {
      char expected[512];
      std::snprintf(expected, sizeof expected, "%.*f", decimals, v);
      EXPECT_EQ(Fixed(decimals, v, sizeof expected), expected) << v << " with " << decimals;
    }
  }
}

TEST(FixedPointText, CutsToTheBufferAndAlwaysTerminates) {
  EXPECT_EQ(Fixed(6, 1e300, 8), "1000000");
  EXPECT_EQ(Fixed(2, 1.25, 1), "");
  char untouched = 'u';
  FormatFixedPoint(&untouched, 0, 2, 1.0);
  EXPECT_EQ(untouched, 'u');
  FormatFixedPoint(nullptr, 10, 2, 1.0);
  EXPECT_EQ(Fixed(-3, 2.25), "2"); // a negative count prints no decimals
}

} // namespace

} // namespace quorvane
