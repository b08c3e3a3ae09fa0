// Record comparison by key descriptor.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "xJorDbm2.h"

namespace {

template <typename T>
int32_t Compare(T a, T b, const KeyDesc* desc) {
  return xCompareKey(&a, &b, desc);
}

TEST(CompareKey, NumberTypesUseTheirSignedness) {
  const KeyDesc u8[] = {2, 0}, s8[] = {3, 0}, s16[] = {4, 0}, u16[] = {7, 0}, s32[] = {5, 0},
                u32[] = {8, 0}, s16b[] = {13, 0}, u16b[] = {12, 0}, s32b[] = {14, 0},
                u8b[] = {6, 0};
  EXPECT_EQ(Compare<uint8_t>(200, 100, u8), 1);
  EXPECT_EQ(Compare<uint8_t>(200, 100, u8b), 1);
  EXPECT_EQ(Compare<int8_t>(-56, 100, s8), -1);
  EXPECT_EQ(Compare<int16_t>(-1, 1, s16), -1);
  EXPECT_EQ(Compare<int16_t>(-1, 1, s16b), -1);
  EXPECT_EQ(Compare<uint16_t>(0xFFFF, 1, u16), 1);
  EXPECT_EQ(Compare<uint16_t>(0xFFFF, 1, u16b), 1);
  EXPECT_EQ(Compare<int32_t>(-5, 3, s32), -1);
  EXPECT_EQ(Compare<int32_t>(-5, 3, s32b), -1);
  EXPECT_EQ(Compare<uint32_t>(0xFFFFFFFF, 3, u32), 1);
  EXPECT_EQ(Compare<int32_t>(7, 7, s32), 0);
}

TEST(CompareKey, FloatsAndNaN) {
  const KeyDesc f[] = {9, 0}, d[] = {10, 0};
  EXPECT_EQ(Compare<float>(1.5f, 2.5f, f), -1);
  EXPECT_EQ(Compare<float>(2.5f, 2.5f, f), 0);
  EXPECT_EQ(Compare<double>(-0.0, 0.0, d), 0);
  EXPECT_EQ(Compare<double>(1e300, -1e300, d), 1);
  EXPECT_EQ(Compare<double>(NAN, 1.0, d), 1);
  EXPECT_EQ(Compare<double>(1.0, NAN, d), 1);
}

TEST(CompareKey, StringsStopAtTheirNulAndTheirLength) {
  const KeyDesc s10[] = {11, 10, 0};
  char a[11] = "ABC", b[11] = "ABD", c[11] = "AB";
  EXPECT_EQ(xCompareKey(a, b, s10), -1);
  EXPECT_EQ(xCompareKey(c, a, s10), -1);
  EXPECT_EQ(xCompareKey(b, a, s10), 1);
  // Bytes after the NUL do not count.
  char x[11] = "AB", y[11] = "AB";
  x[5] = 'Z';
  EXPECT_EQ(xCompareKey(x, y, s10), 0);
  // Unsigned bytes: a Korean lead byte sorts after ASCII.
  char k[11] = "\xb0\xa1", z[11] = "z";
  EXPECT_EQ(xCompareKey(k, z, s10), 1);
  // An unterminated element compares over L + 1 bytes and not one more:
  // the bytes that follow belong to the next element.
  const KeyDesc twoStrings[] = {11, 2, 11, 2, 0};
  char p[6] = {'A', 'B', 'C', 'X', 0, 0}, q[6] = {'A', 'B', 'C', 'Y', 0, 0};
  EXPECT_EQ(xCompareKey(p, q, twoStrings), -1);
  const KeyDesc first[] = {11, 2, 0};
  EXPECT_EQ(xCompareKey(p, q, first), 0);
}

TEST(CompareKey, MixedElementsAndDescendingOrder) {
#pragma pack(push, 1)
  struct Key {
    char code[6];
    int32_t number;
    uint16_t date;
  };
#pragma pack(pop)
  const KeyDesc asc[] = {11, 5, 5, 7, 0};
  const KeyDesc mixed[] = {11, 5, -5, 7, 0};
  Key a{"AA", 1, 9}, b{"AA", 2, 3};
  EXPECT_EQ(xCompareKey(&a, &b, asc), -1);
  EXPECT_EQ(xCompareKey(&a, &b, mixed), 1);
  b.number = 1;
  EXPECT_EQ(xCompareKey(&a, &b, mixed), 1);  // decided by the date
  b.date = 9;
  EXPECT_EQ(xCompareKey(&a, &b, mixed), 0);
}

TEST(CompareKey, InvalidCodesEndTheDescriptor) {
  int32_t a[2] = {1, 5}, b[2] = {1, 6};
  const KeyDesc bad[] = {5, 1, 5, 0}, bad2[] = {5, 15, 5, 0}, bad3[] = {5, -128, 0};
  EXPECT_EQ(xCompareKey(a, b, bad), 0);
  EXPECT_EQ(xCompareKey(a, b, bad2), 0);
  EXPECT_EQ(xCompareKey(a, b, bad3), 0);
  EXPECT_EQ(xCompareKey(a, b, nullptr), 0);
}

}  // namespace
