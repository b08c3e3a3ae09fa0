// Password and string scrambling: the bytes are stored in project files.
#include <gtest/gtest.h>
#include <string.h>

#include <array>

#include "xJorLib.h"

namespace {

using Block = std::array<unsigned char, 9>;

// The mask as it stands in every project file ever written.
constexpr unsigned char kMask[8] = {0x5A, 0xC3, 0x17, 0x8E, 0x61, 0xB4, 0x2D, 0xF9};

Block scramble(const char* plain, const char* key) {
  char block[9] = {0};
  memcpy(block, plain, strnlen(plain, 9));
  xEncodePassword(block, key, 0);
  Block out;
  memcpy(out.data(), block, 9);
  return out;
}

TEST(PasswordScrambling, BytesAreTextXorMaskXorKey) {
  const Block got = scramble("pw12", "PRJ001");
  const char plain[8] = {'p', 'w', '1', '2', 0, 0, 0, 0};
  const char key[8] = {'P', 'R', 'J', '0', '0', '1', 0, 0};
  for (int i = 0; i < 8; ++i)
    EXPECT_EQ(got[i], static_cast<unsigned char>(plain[i] ^ kMask[i] ^ key[i])) << "byte " << i;
  EXPECT_EQ(got[8], 0);
  // Fixed vectors, written out, so a changed mask cannot slip through.
  EXPECT_EQ(scramble("", "PRJ001"), (Block{0x5A ^ 'P', 0xC3 ^ 'R', 0x17 ^ 'J', 0x8E ^ '0',
                                           0x61 ^ '0', 0xB4 ^ '1', 0x2D, 0xF9, 0x00}));
  EXPECT_EQ(scramble("\x0A\x25\x79\xBC", "\x50\x00"),
            (Block{0x00, 0xE6, 0x6E, 0x32, 0x61, 0xB4, 0x2D, 0xF9, 0x00}));
}

TEST(PasswordScrambling, KeyCountsOnlyItsFirstEightBytes) {
  EXPECT_EQ(scramble("secret", "ABCDEFGHIJKL"), scramble("secret", "ABCDEFGH"));
  EXPECT_NE(scramble("secret", "ABCDEFGX"), scramble("secret", "ABCDEFGH"));
  // A short key leaves the rest of the positions to the mask alone.
  const Block shortKey = scramble("", "AB");
  for (int i = 2; i < 8; ++i) EXPECT_EQ(shortKey[i], kMask[i]);
  EXPECT_EQ(scramble("", nullptr), (Block{0x5A, 0xC3, 0x17, 0x8E, 0x61, 0xB4, 0x2D, 0xF9, 0}));
}

TEST(PasswordScrambling, PlainTextIsCutToEightBytes) {
  char block[9] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};  // no terminator
  xEncodePassword(block, "K", 0);
  EXPECT_EQ(block[8], 0);
  xEncodePassword(block, "K", 1);
  EXPECT_EQ(std::string(block), "12345678");
}

TEST(PasswordScrambling, RoundTripKeepsEightBytesAndLeavesTheNinth) {
  const unsigned char original[9] = {0x00, 0xFF, 0x41, 0x80, 0x7F, 0x01, 0xB0, 0xA1, 0xEE};
  char block[9];
  memcpy(block, original, 9);
  xEncodePassword(block, "PRJ-2000", 1);
  EXPECT_NE(memcmp(block, original, 8), 0);
  EXPECT_EQ(static_cast<unsigned char>(block[8]), 0xEE);
  xEncodePassword(block, "PRJ-2000", 1);
  EXPECT_EQ(memcmp(block, original, 9), 0);

  char text[9] = "abc";
  xEncodePassword(text, "PRJ-2000", 0);
  xEncodePassword(text, "PRJ-2000", 1);
  EXPECT_STREQ(text, "abc");
}

TEST(PasswordCheck, AcceptsOnlyTheExactText) {
  char stored[9] = "tiger";
  xEncodePassword(stored, "P01", 0);
  EXPECT_EQ(xCheckPassword("tiger", stored, "P01"), 1);
  EXPECT_EQ(xCheckPassword("tige", stored, "P01"), 0);
  EXPECT_EQ(xCheckPassword("tigers", stored, "P01"), 0);
  EXPECT_EQ(xCheckPassword("Tiger", stored, "P01"), 0);
  EXPECT_EQ(xCheckPassword("tiger", stored, "P02"), 0);
  EXPECT_EQ(xCheckPassword("", stored, "P01"), 0);

  char full[9] = {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 0};
  xEncodePassword(full, "P01", 0);
  EXPECT_EQ(xCheckPassword("abcdefgh", full, "P01"), 1);
  EXPECT_EQ(xCheckPassword("abcdefghi", full, "P01"), 0);
}

TEST(PasswordCheck, EmptyPasswordMeansNoPassword) {
  char stored[9] = {0};
  xEncodePassword(stored, "PRJ001", 0);
  EXPECT_EQ(xCheckPassword("", stored, "PRJ001"), 1);
  EXPECT_EQ(xCheckPassword("x", stored, "PRJ001"), 0);
  EXPECT_EQ(xCheckPassword(nullptr, stored, "PRJ001"), 1);
}

TEST(StringScrambling, XorsWithTheRunningSeedAndUndoesItself) {
  char buffer[4] = {0, 0, 0, 0};
  xEncodeString(buffer, 4, 0xFE);
  EXPECT_EQ(static_cast<unsigned char>(buffer[0]), 0xFE);
  EXPECT_EQ(static_cast<unsigned char>(buffer[1]), 0xFF);
  EXPECT_EQ(static_cast<unsigned char>(buffer[2]), 0x00);  // low byte of 0x100
  EXPECT_EQ(static_cast<unsigned char>(buffer[3]), 0x01);

  char text[] = "공정표 text";
  const std::string before(text);
  xEncodeString(text, static_cast<int32_t>(before.size()), 1234567);
  EXPECT_NE(std::string(text, before.size()), before);
  xEncodeString(text, static_cast<int32_t>(before.size()), 1234567);
  EXPECT_EQ(std::string(text, before.size()), before);

  char untouched[3] = {'a', 'b', 'c'};
  xEncodeString(untouched, 0, 5);
  EXPECT_EQ(std::string(untouched, 3), "abc");
}

}  // namespace
