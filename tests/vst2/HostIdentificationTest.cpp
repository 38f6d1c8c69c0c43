#include "framework/vst2/HostIdentification.h"
#include "tests/vst2/BindingFixture.h"

#include <string>

namespace quorvane {

TEST(HostKindFromProduct, MatchesKeysAnywhereWithoutRegardToCase) {
  EXPECT_EQ(HostKindFromProduct("Cubase"), HostKind{3});
  EXPECT_EQ(HostKindFromProduct("MY CAKEWALK SONAR"), HostKind{5});
  EXPECT_EQ(HostKindFromProduct("xxSAMPLITUDEyy"), HostKind{8});
  EXPECT_EQ(HostKindFromProduct("ReApEr"), HostKind{1});
  EXPECT_EQ(HostKindFromProduct("Acoustica Mixcraft"), HostKind{25});
  EXPECT_EQ(HostKindFromProduct("Ardour"), HostKind{27});
  // "live" inside a longer word still counts.
  EXPECT_EQ(HostKindFromProduct("Oliver's Studio"), HostKind{9});
}

TEST(HostKindFromProduct, EarlierKeysWin) {
  EXPECT_EQ(HostKindFromProduct("reaper bridge for cubase"), HostKind{3});
  EXPECT_EQ(HostKindFromProduct("Nuendo live"), HostKind{4});
}

TEST(HostKindFromProduct, UnknownEmptyAndNullTextsGiveZero) {
  EXPECT_EQ(HostKindFromProduct("Some Other Workstation"), HostKind{0});
  EXPECT_EQ(HostKindFromProduct(""), HostKind{0});
  EXPECT_EQ(HostKindFromProduct(nullptr), HostKind{0});
}

TEST(HostKindFromProduct, LooksOnlyAtTheFirst255Characters) {
  std::string text(255, 'x');
  EXPECT_EQ(HostKindFromProduct((text + "cubase").c_str()), HostKind{0});
  text.replace(249, 6, "cubase");
  EXPECT_EQ(HostKindFromProduct(text.c_str()), HostKind{3});
}

TEST(PackDecimalVersion, PacksMajorMinorPatch) {
  EXPECT_EQ(PackDecimalVersion(80050), 8 * 65536 + 0 * 256 + 50);
  EXPECT_EQ(PackDecimalVersion(8050), 0 * 65536 + 80 * 256 + 50);
  EXPECT_EQ(PackDecimalVersion(10203), 0x00010203);
  EXPECT_EQ(PackDecimalVersion(0), 0);
  EXPECT_EQ(PackDecimalVersion(-10203), -0x00010203);
  // Absurd versions wrap instead of overflowing.
  (void)PackDecimalVersion(2147483647);
}

using VstHostIdentity = BindingTest;

TEST_F(VstHostIdentity, AsksProductAndVersionOnceAndStoresThem) {
  host.productString = "Cubase LE";
  host.vendorVersion = 80050;
  EXPECT_EQ(plugin->IdentifyHost(), HostKind{3});
  EXPECT_EQ(plugin->HostVersion(), 524338);
  EXPECT_EQ(host.Count(audioMasterGetProductString), 1);
  EXPECT_EQ(host.Count(audioMasterGetVendorVersion), 1);
  host.Clear();
  EXPECT_EQ(plugin->IdentifyHost(), HostKind{3});
  EXPECT_TRUE(host.calls.empty());
}

TEST_F(VstHostIdentity, EmptyProductTextGivesUnknownWithoutAskingTheVersion) {
  host.productString = "";
  EXPECT_EQ(plugin->IdentifyHost(), HostKind{0});
  EXPECT_EQ(host.Count(audioMasterGetVendorVersion), 0);
  EXPECT_EQ(plugin->HostVersion(), 0);
}

TEST_F(VstHostIdentity, OpenIdentifiesTheHostOnceAndReportsChannelCounts) {
  host.productString = "Reaper";
  Dispatch(effOpen);
  Dispatch(effOpen); // some hosts open twice
  EXPECT_EQ(host.Count(audioMasterGetProductString), 1);
  EXPECT_EQ(plugin->StoredHostKind(), HostKind{1});
  EXPECT_EQ(effect->numInputs, 2);
  EXPECT_EQ(effect->numOutputs, 2);
}

TEST_F(VstHostIdentity, StereoOnlyHostsGetExtraInputsDisconnected) {
  host.productString = "Orion Platinum";
  Create("4-4");
  Dispatch(effOpen);
  EXPECT_TRUE(plugin->InputConnected(0));
  EXPECT_TRUE(plugin->InputConnected(1));
  EXPECT_FALSE(plugin->InputConnected(2));
  EXPECT_FALSE(plugin->InputConnected(3));
  EXPECT_TRUE(plugin->OutputConnected(3));
  EXPECT_EQ(effect->numInputs, 4);
}

TEST_F(VstHostIdentity, OtherHostsKeepEveryChannel) {
  host.productString = "Cubase";
  Create("4-4");
  Dispatch(effOpen);
  EXPECT_TRUE(plugin->InputConnected(3));
}

} // namespace quorvane
