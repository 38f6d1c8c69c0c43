#include "editor_win32/EntryLayout.h"

#include <gtest/gtest.h>

#include <string>

using namespace quorvane;

namespace {

const Rect kKnob{92, 158, 124, 210}; // centre 108, 184

TEST(EntryLayout, ValueListFitsTheLongestNameAndOneRowPerName) {
  // "Lowpass", "Highpass", "Bandpass": the longest has 8 characters.
  const EntryBox box = ValueListBox(kKnob, 3, 8);
  EXPECT_EQ(box.width, 88);
  EXPECT_EQ(box.height, 144);
  EXPECT_EQ(box.x, 108 - 44);
  EXPECT_EQ(box.y, 184);
  EXPECT_EQ(ValueListBox(kKnob, 1, 0).width, 24);
}

TEST(EntryLayout, ValueEditBoxIsCentredAndHasAMinimumWidth) {
  const EntryBox eight = ValueEditBox(kKnob, 8);
  EXPECT_EQ(eight.width, 62);
  EXPECT_EQ(eight.height, 16);
  EXPECT_EQ(eight.x, 108 - 31);
  EXPECT_EQ(eight.y, 184 - 8);
  EXPECT_EQ(ValueEditBox(kKnob, 3).width, 32);
  // An odd width puts the extra pixel to the right of the centre.
  const EntryBox odd = ValueEditBox(Rect{0, 0, 11, 10}, 9); // 69 wide, centre 5
  EXPECT_EQ(odd.x, 5 - 34);
}

TEST(EntryLayout, TextEntriesFollowTheirRectangles) {
  const Rect r{10, 20, 110, 40};
  const EntryBox exact = ControlTextBox(r);
  EXPECT_EQ(exact.x, 10);
  EXPECT_EQ(exact.y, 20);
  EXPECT_EQ(exact.width, 100);
  EXPECT_EQ(exact.height, 20);
  const EntryBox free = FreeTextBox(r);
  EXPECT_EQ(free.width, 101);
  EXPECT_EQ(free.height, 18);
}

TEST(EntryLayout, AlignmentMapsToEditStyles) {
  EXPECT_EQ(EditAlignmentStyle(0), 0u); // left
  EXPECT_EQ(EditAlignmentStyle(1), 1u); // centre
  EXPECT_EQ(EditAlignmentStyle(2), 2u); // right
  EXPECT_EQ(EditAlignmentStyle(7), 1u);
  EXPECT_EQ(EditAlignmentStyle(-1), 1u);
}

TEST(FileFilter, ExtensionListBecomesASelfDescribingPattern) {
  std::string filter;
  std::string ext;
  BuildFileFilter("wav aif", filter, ext);
  EXPECT_EQ(filter, std::string("*.wav;*.aif\0*.wav;*.aif\0\0", 25));
  EXPECT_EQ(ext, "wav");

  BuildFileFilter("png", filter, ext);
  EXPECT_EQ(filter, std::string("*.png\0*.png\0\0", 13));
  EXPECT_EQ(ext, "png");
}

TEST(FileFilter, StraySpacesMakeNoEmptyPatterns) {
  std::string filter;
  std::string ext;
  BuildFileFilter("  fxp   fxb ", filter, ext);
  EXPECT_EQ(filter, std::string("*.fxp;*.fxb\0*.fxp;*.fxb\0\0", 25));
  EXPECT_EQ(ext, "fxp");
  for (const char* none : {static_cast<const char*>(nullptr), "", "   "}) {
    BuildFileFilter(none, filter, ext);
    EXPECT_TRUE(filter.empty());
    EXPECT_TRUE(ext.empty());
  }
}

TEST(ModulePath, DirectoryKeepsItsLastBackslash) {
  EXPECT_EQ(DirectoryOfPath("C:\\Hosts\\Studio\\host.exe"), "C:\\Hosts\\Studio\\");
  EXPECT_EQ(DirectoryOfPath("host.exe"), "");
  EXPECT_EQ(DirectoryOfPath("C:\\folder\\"), "");
  EXPECT_EQ(DirectoryOfPath(""), "");
  EXPECT_EQ(DirectoryOfPath(nullptr), "");
}

} // namespace
