// Summary registrations stored in the project's option file.
#include "kelvo/summary_registry.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>

#include "project_fixture.h"
#include "xQdDb100.h"

namespace kelvo::testing {
namespace {

// Both classifications have levels 0 and 1.
using SummaryRegistryTest = ProjectFixture;

TEST_F(SummaryRegistryTest, StoredInItemFiftyPlusNumberAndReadBack) {
  SummaryRegistration r{7,
                        kSummaryActivities | kSummaryPeriods | kSummaryWeek,
                        {0, 1, 10, 20},
                        "\xB0\xF8\xC1\xBE"};  // "공종"
  ASSERT_EQ(writeSummaryRegistration(&db, r), kRegistrationWritten);
  uint8_t bytes[82] = {};
  ASSERT_EQ(xOption(&db.opt, XOPT_READ, 57, bytes, sizeof bytes), 1);
  const uint8_t head[] = {7, 0, 0x91, 0, 0, 0, 4, 0, 0, 0, 1, 0, 10, 0, 20, 0};
  EXPECT_EQ(std::memcmp(bytes, head, sizeof head), 0);
  EXPECT_EQ(std::memcmp(bytes + 42, "\xB0\xF8\xC1\xBE\0", 5), 0);
  EXPECT_EQ(readSummaryRegistration(&db, 7), r);
  EXPECT_FALSE(readSummaryRegistration(&db, 8));

  r.number = 48;
  ASSERT_EQ(writeSummaryRegistration(&db, r), kRegistrationWritten);
  EXPECT_EQ(registeredSummaries(&db), (std::vector<int16_t>{7, 48}));
  EXPECT_TRUE(deleteSummaryRegistration(&db, 7));
  EXPECT_FALSE(deleteSummaryRegistration(&db, 7));
  EXPECT_EQ(registeredSummaries(&db), (std::vector<int16_t>{48}));
}

TEST_F(SummaryRegistryTest, RefusedRegistrationsChangeNothing) {
  const SummaryRegistration good{3, 0, {0, 10}, "A"};
  ASSERT_EQ(writeSummaryRegistration(&db, good), kRegistrationWritten);

  size_t at = 99;
  SummaryRegistration r{3, 0, {0, 10, 1, 0}, "B"};
  EXPECT_EQ(writeSummaryRegistration(&db, r, &at), kCompositionRefused);  // 0 twice
  EXPECT_EQ(at, 3u);
  r.composition = {1, 0};  // levels of one classification out of order
  EXPECT_EQ(writeSummaryRegistration(&db, r, &at), kCompositionRefused);
  EXPECT_EQ(at, 1u);
  r.composition = {20, 0, 21};
  EXPECT_EQ(writeSummaryRegistration(&db, r, &at), kCompositionOtherTwice);
  // Entries outside the classifications, or at a level the project's
  // classification does not have.
  for (const std::vector<int16_t>& levels : {std::vector<int16_t>{23}, {0, 12}, {2}}) {
    r.composition = levels;
    EXPECT_EQ(writeSummaryRegistration(&db, r), kCompositionInvalid) << levels.back();
  }
  EXPECT_STREQ(registrationMessage(kCompositionInvalid), "분류체계에 없는 분류단계입니다.");
  r.composition = {0};
  r.title = std::string(41, 'x');
  EXPECT_EQ(writeSummaryRegistration(&db, r), kRegistrationTitleLong);
  r.title = "B";
  r.number = 0;
  EXPECT_EQ(writeSummaryRegistration(&db, r), kRegistrationBadNumber);
  r.number = 49;
  EXPECT_EQ(writeSummaryRegistration(&db, r), kRegistrationBadNumber);
  EXPECT_EQ(readSummaryRegistration(&db, 3), good);
  EXPECT_STREQ(registrationMessage(kCompositionOtherTwice),
               "기타 분류는 이미 선택했습니다. 한 개만 선택할 수 있습니다.");
}

// A summary file belongs to the registration it was built under.
TEST_F(SummaryRegistryTest, ReplacingARegistrationDropsItsSummaryFile) {
  auto fileExists = [&] {
    int32_t handle = xOpenTemp(&db.space, "3", 1);
    if (handle == -1) return false;
    xCloseFile(&handle);
    return true;
  };
  SummaryRegistration r{3, 0, {0, 10}, "A"};
  ASSERT_EQ(writeSummaryRegistration(&db, r), kRegistrationWritten);
  int32_t handle = xOpenTemp(&db.space, "3", 0);  // as if built
  ASSERT_NE(handle, -1);
  xCloseFile(&handle);
  ASSERT_EQ(writeSummaryRegistration(&db, r), kRegistrationWritten);  // the same again
  EXPECT_TRUE(fileExists());
  r.composition = {12};
  ASSERT_NE(writeSummaryRegistration(&db, r), kRegistrationWritten);  // refused
  EXPECT_TRUE(fileExists());
  r.composition = {0};
  ASSERT_EQ(writeSummaryRegistration(&db, r), kRegistrationWritten);
  EXPECT_FALSE(fileExists());
}

TEST_F(SummaryRegistryTest, DamagedOrMisfiledItemsAreNotRegistrations) {
  uint8_t bytes[82] = {};
  bytes[0] = 5;  // filed under 4
  ASSERT_NE(xOption(&db.opt, XOPT_WRITE, 54, bytes, sizeof bytes), 0);
  bytes[0] = 6;
  bytes[6] = 18;  // more entries than the record holds
  ASSERT_NE(xOption(&db.opt, XOPT_WRITE, 56, bytes, sizeof bytes), 0);
  ASSERT_NE(xOption(&db.opt, XOPT_WRITE, 59, bytes, 10), 0);  // short
  EXPECT_TRUE(registeredSummaries(&db).empty());
}

TEST(SummaryOptionNames, CaptionsAndNamesGiveTheFlagBits) {
  EXPECT_EQ(summaryOptionFlag("작업 포함"), 0x10u);
  EXPECT_EQ(summaryOptionFlag("activities"), 0x10u);
  EXPECT_EQ(summaryOptionFlag("분류코드 없는 자료 제외"), 0x800u);
  EXPECT_EQ(summaryOptionFlag("weighted"), 0x1000u);
  EXPECT_EQ(summaryOptionFlag("nothing"), 0u);
}

}  // namespace
}  // namespace kelvo::testing
