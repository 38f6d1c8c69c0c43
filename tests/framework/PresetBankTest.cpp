#include "framework/PresetBank.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace quorvane {

TEST(PresetBank, SlotsAreNumberedAndEmpty) {
  PresetBank bank(3);
  ASSERT_EQ(bank.Count(), 3);
  EXPECT_STREQ(bank.At(0)->name, "- 1 -");
  EXPECT_STREQ(bank.At(2)->name, "- 3 -");
  EXPECT_EQ(bank.At(-1), nullptr);
  EXPECT_EQ(bank.At(3), nullptr);
  EXPECT_EQ(bank.FirstUninitialised(), bank.At(0));
  bank.At(0)->initialised = true;
  EXPECT_EQ(bank.FirstUninitialised(), bank.At(1));
  EXPECT_EQ(bank.AddIfEmpty(), nullptr);

  PresetBank none(0);
  EXPECT_EQ(none.FirstUninitialised(), nullptr);
  Preset* added = none.AddIfEmpty();
  ASSERT_NE(added, nullptr);
  EXPECT_STREQ(added->name, "- 1 -");
  EXPECT_EQ(none.Count(), 1);
}

TEST(PresetBank, NamesAreCutAndUserNamesCounted) {
  PresetBank bank(3);
  PresetBank::SetName(*bank.At(0), std::string(400, 'x').c_str());
  EXPECT_EQ(std::strlen(bank.At(0)->name), Preset::kNameSize - 1u);
  PresetBank::SetName(*bank.At(1), nullptr);
  EXPECT_STREQ(bank.At(1)->name, "");

  char text[32];
  bank.NextUserPresetName(text, sizeof text);
  EXPECT_STREQ(text, "user preset 1");
  PresetBank::SetName(*bank.At(2), "my user preset 7");
  bank.NextUserPresetName(text, sizeof text);
  EXPECT_STREQ(text, "user preset 2");
  bank.NextUserPresetName(text, 5);
  EXPECT_STREQ(text, "user");
}

TEST(PresetBank, ACopyRestoresNamesValuesAndTheCurrentSlot) {
  PresetBank bank(2);
  PresetBank::SetName(*bank.At(1), "Kept");
  bank.At(1)->initialised = true;
  bank.At(1)->state.AppendDouble(0.5);
  bank.SetCurrent(1);

  PresetBank copy(2);
  ASSERT_TRUE(bank.SaveTo(copy));
  PresetBank::SetName(*bank.At(1), "Changed");
  bank.At(1)->initialised = false;
  bank.At(1)->state.Clear();
  bank.SetCurrent(0);
  bank.RestoreFrom(copy);
  EXPECT_STREQ(bank.At(1)->name, "Kept");
  EXPECT_TRUE(bank.At(1)->initialised);
  EXPECT_EQ(bank.At(1)->state.Size(), 8);
  EXPECT_EQ(bank.Current(), 1);

  PresetBank smaller(1);
  EXPECT_FALSE(bank.SaveTo(smaller));
}

} // namespace quorvane
