#include "raster/win32/WineDetect.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace quorvane {
namespace {

// An independent sign of Wine: its ntdll exports wine_get_version.
bool NtdllIsWine() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

TEST(WineDetect, AgreesWithNtdllAndStaysTheSame) {
  EXPECT_EQ(IsRunningUnderWine(), NtdllIsWine());
  EXPECT_EQ(IsRunningUnderWine(), IsRunningUnderWine());
}

} // namespace
} // namespace quorvane
