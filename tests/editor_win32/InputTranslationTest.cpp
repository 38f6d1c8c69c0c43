#include "editor_win32/InputTranslation.h"

#include <gtest/gtest.h>

#include <limits>

using namespace quorvane;

namespace {

TEST(KeyTranslation, NamedKeysDigitsAndLetters) {
  EXPECT_EQ(KeyCodeForVirtualKey(0x20), 0); // space
  EXPECT_EQ(KeyCodeForVirtualKey(0x26), 1); // up
  EXPECT_EQ(KeyCodeForVirtualKey(0x28), 2); // down
  EXPECT_EQ(KeyCodeForVirtualKey(0x25), 3); // left
  EXPECT_EQ(KeyCodeForVirtualKey(0x27), 4); // right
  EXPECT_EQ(KeyCodeForVirtualKey('0'), 5);
  EXPECT_EQ(KeyCodeForVirtualKey('9'), 14);
  EXPECT_EQ(KeyCodeForVirtualKey('A'), 15);
  EXPECT_EQ(KeyCodeForVirtualKey('Z'), 40);
}

TEST(KeyTranslation, OtherKeysAreDropped) {
  for (unsigned vk : {0x1Bu /* escape */, 0x09u /* tab */, 0x0Du /* enter */, 0x70u /* F1 */,
                      0x7Bu /* F12 */, 0x2Fu, 0x3Au, 0x40u, 0x5Bu, 0x61u /* 'a' */, 0xFFFFu})
    EXPECT_EQ(KeyCodeForVirtualKey(vk), kUntranslatedKey) << vk;
}

TEST(WheelTranslation, NotchesAreTruncatedTowardZero) {
  EXPECT_EQ(WheelNotches(119), 0);
  EXPECT_EQ(WheelNotches(-119), 0);
  EXPECT_EQ(WheelNotches(120), 1);
  EXPECT_EQ(WheelNotches(240), 2);
  EXPECT_EQ(WheelNotches(-360), -3);
}

TEST(WheelTranslation, HostStepsAreFiniteAndLimited) {
  EXPECT_TRUE(HostWheelStepUsable(1.0f));
  EXPECT_TRUE(HostWheelStepUsable(-3.5f));
  EXPECT_TRUE(HostWheelStepUsable(1.0e30f));
  EXPECT_FALSE(HostWheelStepUsable(std::numeric_limits<float>::quiet_NaN()));
  EXPECT_FALSE(HostWheelStepUsable(std::numeric_limits<float>::infinity()));
  EXPECT_FALSE(HostWheelStepUsable(-std::numeric_limits<float>::infinity()));

  EXPECT_EQ(HostWheelNotches(2.9f), 2);
  EXPECT_EQ(HostWheelNotches(-2.9f), -2);
  EXPECT_EQ(HostWheelNotches(0.5f), 0);
  // Beyond int: limited instead of an undefined conversion.
  EXPECT_EQ(HostWheelNotches(1.0e30f), 1000000);
  EXPECT_EQ(HostWheelNotches(-1.0e30f), -1000000);
}

TEST(MouseTranslation, ButtonFlagsAndSignedCoordinates) {
  const MouseMods right = ModsFromButtonFlags(0x2 | 0x4, false);
  EXPECT_FALSE(right.leftButton);
  EXPECT_TRUE(right.rightButton);
  EXPECT_TRUE(right.shift);
  EXPECT_FALSE(right.ctrl);
  EXPECT_FALSE(right.alt);
  const MouseMods left = ModsFromButtonFlags(0x1 | 0x8, true);
  EXPECT_TRUE(left.leftButton);
  EXPECT_TRUE(left.ctrl);
  EXPECT_TRUE(left.alt);

  // A drag outside the window to the left and above gives negative values.
  const std::intptr_t packed = (0xFFF6 << 16) | 0xFFFB; // y -10, x -5
  EXPECT_EQ(LowWordSigned(packed), -5);
  EXPECT_EQ(HighWordSigned(packed), -10);
  EXPECT_EQ(LowWordSigned((160 << 16) | 25), 25);
  EXPECT_EQ(HighWordSigned((160 << 16) | 25), 160);
}

} // namespace
