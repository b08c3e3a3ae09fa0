// Codes and names from the map, and the summary registration record.
#include <gtest/gtest.h>

#include "kelvo/progress_stages.h"

namespace kelvo {
namespace {

TEST(MapNames, TitleFromFacilityLevelsAndWorkType) {
  const std::vector<std::string> levels = {"101동", "", "101동", "3층"};
  EXPECT_EQ(mapActivityTitle(levels, "철근콘크리트", 60), "101동 3층 철근콘크리트");
  EXPECT_EQ(mapActivityTitle({}, "Formwork", 60), "Formwork");
  EXPECT_EQ(mapActivityTitle(levels, "", 60), "101동 3층");
  // CP949 pairs are not split: "\xB0\xA1" is one character.
  const std::vector<std::string> wide = {"AB"};
  EXPECT_EQ(mapActivityTitle(wide, "\xB0\xA1\xB0\xA1", 4), "AB ");
  EXPECT_EQ(mapActivityTitle(wide, "\xB0\xA1\xB0\xA1", 5), "AB \xB0\xA1");
}

TEST(MapNames, CodeAndClashes) {
  EXPECT_EQ(mapActivityCode("A01", "B02", 20), "A01B02");
  EXPECT_EQ(mapActivityCode("1234567890", "ABCDEFGHIJK", 20), "1234567890ABCDEFGHIJ");
  const std::vector<std::string> codes = {"X", "Y", "X", "Z", "Y", "X"};
  const auto clashes = findCodeClashes(codes);
  ASSERT_EQ(clashes.size(), 2u);
  EXPECT_EQ(clashes[0], (std::vector<size_t>{0, 2, 5}));
  EXPECT_EQ(clashes[1], (std::vector<size_t>{1, 4}));
  const std::vector<std::string> distinct = {"A", "B", "C"};
  EXPECT_TRUE(findCodeClashes(distinct).empty());
}

TEST(SummaryRegistrationRecord, Bytes) {
  SummaryRegistration r;
  r.number = 48;
  r.flags = 0x80010203;
  r.composition = {0, 1, 10, 20};
  r.title = "Monthly";
  const auto bytes = encodeSummaryRegistration(r);
  const uint8_t head[] = {48, 0, 0x03, 0x02, 0x01, 0x80, 4, 0, 0, 0, 1, 0, 10, 0, 20, 0};
  EXPECT_TRUE(std::equal(std::begin(head), std::end(head), bytes.begin()));
  for (size_t i = 16; i < 42; ++i) EXPECT_EQ(bytes[i], 0) << i;
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[42]), 7), "Monthly");
  for (size_t i = 49; i < 82; ++i) EXPECT_EQ(bytes[i], 0) << i;
  EXPECT_EQ(*decodeSummaryRegistration(bytes), r);
}

TEST(SummaryRegistrationRecord, LimitsAndDamage) {
  SummaryRegistration r;
  r.number = 1;
  r.composition.assign(20, 1);
  // 39 single bytes then a two-byte character: the character does not fit.
  r.title = std::string(39, 'x') + "\xB0\xA1";
  const auto bytes = encodeSummaryRegistration(r);
  const auto back = *decodeSummaryRegistration(bytes);
  EXPECT_EQ(back.composition.size(), 17u);
  EXPECT_EQ(back.title, std::string(39, 'x'));
  r.title = std::string(40, 'y');
  EXPECT_EQ(decodeSummaryRegistration(encodeSummaryRegistration(r))->title, r.title);

  auto damaged = bytes;
  damaged[6] = 18;
  EXPECT_FALSE(decodeSummaryRegistration(damaged));
  EXPECT_FALSE(decodeSummaryRegistration(std::span(bytes).first(81)));
}

TEST(SummaryComposition, LevelsOnceAndInOrder) {
  const std::vector<int16_t> chosen = {0, 10, 2};
  EXPECT_EQ(checkCompositionEntry(chosen, 11, 3), kCompositionAccepted);
  EXPECT_EQ(checkCompositionEntry(chosen, 1, 2), kCompositionAccepted);  // between 0 and 2
  EXPECT_EQ(checkCompositionEntry(chosen, 1, 3), kCompositionRefused);   // after level 2
  EXPECT_EQ(checkCompositionEntry(chosen, 1, 0), kCompositionRefused);   // before level 0
  EXPECT_EQ(checkCompositionEntry(chosen, 10, 3), kCompositionRefused);  // already chosen
  EXPECT_EQ(checkCompositionEntry(chosen, 3, 99), kCompositionAccepted);
  EXPECT_STREQ(compositionMessage(kCompositionRefused),
               "이미 선택했거나 분류단계의 순서가 맞지 않습니다.");

  const std::vector<int16_t> withOther = {20, 0};
  EXPECT_EQ(checkCompositionEntry(withOther, 21, 2), kCompositionOtherTwice);
  EXPECT_STREQ(compositionMessage(kCompositionOtherTwice),
               "기타 분류는 이미 선택했습니다. 한 개만 선택할 수 있습니다.");
  EXPECT_EQ(checkCompositionEntry({}, 22, 0), kCompositionAccepted);
  EXPECT_EQ(checkCompositionEntry({}, 23, 0), kCompositionInvalid);
  EXPECT_EQ(checkCompositionEntry({}, 30, 0), kCompositionInvalid);
  EXPECT_EQ(checkCompositionEntry({}, -1, 0), kCompositionInvalid);
  const std::vector<int16_t> full = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  EXPECT_EQ(checkCompositionEntry(full, 17, 17), kCompositionFull);
}

}  // namespace
}  // namespace kelvo
