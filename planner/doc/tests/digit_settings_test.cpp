// The digits of the numeric items: ranges, the refusal of a width that
// stored values no longer fit, and the descriptors of every table.
#include "kelvo/digit_settings.h"

#include "kelvo/project_digits.h"
#include "project_fixture.h"

namespace kelvo::testing {
namespace {

class DigitSettingsTest : public ProjectFixture {};

TEST_F(DigitSettingsTest, RangesAreClamped) {
  info.amountDigits = 12;
  const DigitSettings current = currentDigitSettings(&db, info);
  DigitSettings wanted = current;
  wanted[kDurationRow] = {0, 3};
  wanted[kAmountRow] = {20, 12};
  wanted[kWeightRow] = {9, 7};
  wanted[kQuantityRow] = {0, -1};
  const DigitSettings s = clampDigits(wanted, current);
  EXPECT_EQ(s[kDurationRow].width, 5);
  EXPECT_EQ(s[kDurationRow].decimals, 0);
  EXPECT_EQ(s[kAmountRow].width, 15);
  EXPECT_EQ(s[kAmountRow].decimals, 9);
  EXPECT_EQ(s[kWeightRow].width, current[kWeightRow].width);
  EXPECT_EQ(s[kWeightRow].decimals, 4);
  EXPECT_EQ(s[kQuantityRow].width, 1);
  EXPECT_EQ(s[kQuantityRow].decimals, 0);
}

TEST_F(DigitSettingsTest, NarrowerWidthThatCutsAStoredValueIsRefused) {
  addCode(0, "A", "a");
  addCode(0, "A01", "w");
  addCode(1, "1", "f");
  addCode(1, "101", "f");
  addCode(1, "102", "f");
  ASSERT_GE(addActivity("X1", 3, "A01", "101", 1200.5), 0);
  ASSERT_GE(addActivity("X2", 3, "A01", "102", -7), 0);
  const DigitSettings current = currentDigitSettings(&db, info);
  ASSERT_GE(current[kQuantityRow].width, 5);
  DigitSettings wanted = current;
  wanted[kQuantityRow].width = 3;
  int smallest = 0;
  EXPECT_EQ(refusedDigitRow(&db, wanted, current, &smallest), kQuantityRow);
  EXPECT_EQ(smallest, 4);  // 1200 needs four integer digits
  // Decimals may shrink freely.
  wanted[kQuantityRow] = {4, 0};
  EXPECT_EQ(refusedDigitRow(&db, wanted, current, &smallest), -1);
  applyDigits(&db, &info, wanted);
  const int qty = xGetFldOrdinal("\xBC\xF6\xB7\xAE", db.act.tb.fields, db.act.tb.fieldCount);
  EXPECT_EQ(db.act.tb.fields[qty].width, 4);
  EXPECT_EQ(db.act.tb.fields[qty].decimals, 0);
  EXPECT_EQ(db.act.tb.fields[qty].type, XF_DOUBLE);
  EXPECT_EQ(currentDigitSettings(&db, info)[kQuantityRow].width, 4);
  EXPECT_EQ(projectDigits(&db, info).quantity, 0);
}

}  // namespace
}  // namespace kelvo::testing
