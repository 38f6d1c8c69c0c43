// The host interface passes pointers through integer fields, chunks and
// images are byte streams, and parameters are IEEE floats: a toolchain that
// differs in any of these builds fine and fails in a host. The Windows
// build must be LLP64 (long is 32 bits), the Linux build LP64.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>

namespace quorvane {

namespace {

template <typename T> std::uint64_t bitsOf(T value) {
  static_assert(sizeof(T) <= sizeof(std::uint64_t));
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof(T));
  return bits;
}

TEST(TypeLayout, IntegersArePointerSizedWhereTheInterfaceNeedsIt) {
  EXPECT_EQ(sizeof(std::int32_t), 4u);
  EXPECT_EQ(sizeof(int), 4u);
  EXPECT_EQ(sizeof(long long), 8u);
  EXPECT_EQ(sizeof(void*), 8u);
  EXPECT_EQ(sizeof(std::intptr_t), sizeof(void*));
  EXPECT_EQ(sizeof(std::size_t), sizeof(void*));
  EXPECT_EQ(sizeof(void (*)()), sizeof(void*));
  EXPECT_EQ(alignof(double), 8u);
  EXPECT_EQ(alignof(void*), 8u);
}

TEST(TypeLayout, LongFollowsThePlatformDataModel) {
#if defined(_WIN32)
  EXPECT_EQ(sizeof(long), 4u) << "64-bit Windows is LLP64";
  EXPECT_EQ(sizeof(wchar_t), 2u);
#else
  EXPECT_EQ(sizeof(long), 8u) << "64-bit Linux is LP64";
  EXPECT_EQ(sizeof(wchar_t), 4u);
#endif
}

TEST(TypeLayout, TargetIsSixtyFourBitOfTheRightKind) {
#if defined(_WIN32)
#if !defined(_WIN64)
  FAIL() << "the Windows build must target 64-bit Windows";
#endif
#if defined(_GLIBCXX_HAS_GTHREADS)
  FAIL() << "compiled with the posix thread model; the project builds with win32 threads";
#endif
#elif !defined(__linux__) || !defined(__x86_64__)
  FAIL() << "the native build expects 64-bit Linux on x86-64";
#endif
  SUCCEED();
}

TEST(TypeLayout, BytesAreLittleEndian) {
  const std::uint32_t word = 0x01020304u;
  unsigned char bytes[4] = {};
  std::memcpy(bytes, &word, sizeof(word));
  EXPECT_EQ(bytes[0], 0x04);
  EXPECT_EQ(bytes[1], 0x03);
  EXPECT_EQ(bytes[2], 0x02);
  EXPECT_EQ(bytes[3], 0x01);

  const std::uint64_t wide = 0x0102030405060708ull;
  unsigned char wideBytes[8] = {};
  std::memcpy(wideBytes, &wide, sizeof(wide));
  EXPECT_EQ(wideBytes[0], 0x08);
  EXPECT_EQ(wideBytes[7], 0x01);
}

TEST(TypeLayout, FloatingPointIsIeee754) {
  EXPECT_TRUE(std::numeric_limits<float>::is_iec559);
  EXPECT_TRUE(std::numeric_limits<double>::is_iec559);
  EXPECT_EQ(sizeof(float), 4u);
  EXPECT_EQ(sizeof(double), 8u);

  EXPECT_EQ(bitsOf(1.0f), 0x3F800000u);
  EXPECT_EQ(bitsOf(-2.5f), 0xC0200000u);
  EXPECT_EQ(bitsOf(0.5), 0x3FE0000000000000ull);
  EXPECT_EQ(bitsOf(-2.5), 0xC004000000000000ull);
  EXPECT_EQ(bitsOf(std::numeric_limits<float>::infinity()), 0x7F800000u);
  EXPECT_EQ(bitsOf(std::numeric_limits<float>::denorm_min()), 0x00000001u);
}

TEST(TypeLayout, FloatArithmeticKeepsSinglePrecision) {
  // x87 excess precision would make filter results differ between builds.
  volatile float big = 16777216.0f; // 2^24: the next float up is 2^24 + 2
  volatile float one = 1.0f;
  const float sum = big + one;
  EXPECT_EQ(sum, 16777216.0f);
  // Denormals must survive unless code flushes them on purpose.
  volatile float tiny = std::numeric_limits<float>::min();
  const float half = tiny / 2.0f;
  EXPECT_GT(half, 0.0f);
}

} // namespace

} // namespace quorvane
