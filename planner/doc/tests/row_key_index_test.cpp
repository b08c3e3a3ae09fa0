// The rows of a summary by key: found again through the hash index, and
// ordered exactly as byte strings order (a shorter key before a longer one
// it begins, 0 and 0xFF bytes anywhere, keys alike in their first 16 bytes).
#include "../src/row_key_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

namespace {

using kelvo::summary::keyOrder;
using kelvo::summary::RowKeyIndex;

TEST(RowKeyIndexTest, KeysAreFoundAgainAndOrderedAsBytes) {
  using namespace std::string_literals;
  std::vector<std::string> keys = {"A01"s,
                                   "A"s,
                                   "A0"s,
                                   "\xFF\xFF\xFF"s,
                                   "A01A000001\0\0\0\0\0\0\0\0\0\0\0\0\0"s,
                                   "A01A000001\0\0\0\0\0\0\0\0\0\0\0\0"s,
                                   "A01A0000010123456789x"s,
                                   "A01A0000010123456789"s,
                                   "A01A00000101234567\xFF"s,
                                   ""s,
                                   "B"s,
                                   "A\xB0\xA1"s};
  for (int i = 0; i < 3000; ++i) keys.push_back("C" + std::to_string(i * 7919 % 3001) + "\0\xFF"s);
  RowKeyIndex index;
  auto keyOf = [&](int32_t row) -> const std::string& { return keys[row]; };
  for (size_t i = 0; i < keys.size(); ++i) {
    ASSERT_EQ(index.find(keys[i], keyOf), -1) << i;
    index.add(keys[i], static_cast<int32_t>(i));
  }
  for (size_t i = 0; i < keys.size(); ++i) EXPECT_EQ(index.find(keys[i], keyOf), int32_t(i));
  EXPECT_EQ(index.find("A01A000001", keyOf), -1);

  std::vector<const std::string*> pointers;
  for (const std::string& k : keys) pointers.push_back(&k);
  std::vector<int32_t> expected(keys.size());
  std::iota(expected.begin(), expected.end(), 0);
  std::stable_sort(expected.begin(), expected.end(),
                   [&](int32_t a, int32_t b) { return keys[a] < keys[b]; });
  EXPECT_EQ(keyOrder(pointers), expected);
}

}  // namespace
