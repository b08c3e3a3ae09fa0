// The digits of the numeric items: ranges, the refusal of a width that
// stored values no longer fit, and the descriptors of every table.
#include "kelvo/digit_settings.h"

#include <unistd.h>

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

// The open summary file is the eighth table: its values are checked before
// a narrower width, and its changed descriptors are written over in its
// trailer, so that the file read again carries them.
TEST_F(DigitSettingsTest, OpenSummaryFileTakesTheDigitsInItsTrailer) {
  FieldDesc fields[2] = {};
  std::strcpy(fields[0].name, "NAME");
  fields[0].type = XF_STRING;
  fields[0].width = 10;
  std::strcpy(fields[1].name, "QTY");
  fields[1].type = XF_DOUBLE;
  fields[1].width = 8;
  fields[1].decimals = 2;
  fields[1].flags = kQuantityDigitsClass;
  fields[1].offset = 11;
  int16_t open = 0;
  ASSERT_EQ(xCreateSumFile(&db, &open, 3, 19, 2, fields), 1);
  char record[19] = "row";
  const double value = 123456.5;
  std::memcpy(record + 11, &value, sizeof value);
  TableHandle& tb = db.summary.table.tb;
  ASSERT_EQ(xAddRec(&tb, record), 1);
  ASSERT_EQ(xFinishSumFile(&db), 1);
  const off_t size = lseek(tb.handle, 0, SEEK_END);

  DigitSettings current = currentDigitSettings(&db, info);
  DigitSettings wanted = current;
  wanted[kQuantityRow] = {4, 1};
  int smallest = 0;
  EXPECT_EQ(refusedDigitRow(&db, wanted, current, &smallest), kQuantityRow);
  EXPECT_EQ(smallest, 6);
  wanted[kQuantityRow] = {6, 1};
  applyDigits(&db, &info, wanted);
  EXPECT_EQ(lseek(tb.handle, 0, SEEK_END), size) << "same trailer, same place";
  // The quantity descriptor, 42 bytes before the 16-byte header.
  uint8_t desc[42];
  ASSERT_EQ(pread(tb.handle, desc, 42, size - 16 - 42), 42);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(desc)), "QTY");
  EXPECT_EQ(desc[32] | desc[33] << 8, 6);
  EXPECT_EQ(desc[34], 1);
  EXPECT_EQ(desc[35], XF_DOUBLE);
  xCloseSumFile(&db, &open);
  ASSERT_EQ(xOpenSumFile(&db, &open, 3), 1);
  EXPECT_EQ(db.summary.table.tb.fields[1].width, 6);
  EXPECT_EQ(db.summary.table.tb.fields[1].decimals, 1);
}

}  // namespace
}  // namespace kelvo::testing
