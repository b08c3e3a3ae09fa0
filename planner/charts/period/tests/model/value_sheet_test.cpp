// Value sheets: typing rows, generated reference days, the stored bytes,
// defensive loading, and reading a summary row's series into the entries.
#include "kelvo/value_sheet.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>

#include "kelvo/option_slots.h"
#include "kelvo/period_band.h"
#include "xJorDbm2.h"
#include "xjor/packed_date.h"

namespace {

using kelvo::PeriodValue;
using kelvo::ValueSheet;

uint16_t d(int y, int m, int day) {
  return xjor::packDate(y, m, day);
}

class ValueSheetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/kelvo-value-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = std::string(pattern) + "/";
    ASSERT_EQ(xOpenDb(&db_, dir_.c_str(), nullptr), 1);
    ASSERT_EQ(xOpenOpt(&db_, &opt_, "opt", 400), 1);
  }
  void TearDown() override {
    xCloseTemp(&db_, &opt_.handle, "opt");
    xCloseFile(&db_.mainHandle);
    std::filesystem::remove_all(dir_);
  }
  std::vector<uint8_t> item(int n) {
    const int32_t size = xOption(&opt_, XOPT_SIZE, n, nullptr, 0);
    std::vector<uint8_t> bytes(size_t(std::max(size, 0)));
    // A deleted item reads as nothing.
    if (size > 0 && xOption(&opt_, XOPT_READ, n, bytes.data(), uint32_t(size)) != 1) bytes.clear();
    return bytes;
  }
  DbSpace db_{};
  OptionFileRef opt_{};
  std::string dir_;
};

TEST_F(ValueSheetTest, TypedRowsAreCheckedStoredAndReadBack) {
  ValueSheet sheet;
  ASSERT_TRUE(sheet.load(&opt_, 3));
  EXPECT_EQ(sheet.commit(0, 0, 5), kelvo::kBadDate);
  EXPECT_EQ(sheet.commit(0, d(2026, 2, 30), 5), kelvo::kBadDate);
  EXPECT_EQ(sheet.commit(0, d(2026, 4, 1), 12.5), 0);
  EXPECT_EQ(sheet.commit(1, d(2026, 3, 1), 7), 0);
  // Another row's date is refused; the row's own date may stay.
  EXPECT_EQ(sheet.commit(2, d(2026, 4, 1), 1), kelvo::kDuplicate);
  EXPECT_EQ(sheet.commit(1, d(2026, 4, 1), 1), kelvo::kDuplicate);
  EXPECT_EQ(sheet.commit(1, d(2026, 3, 1), 8), 0);
  EXPECT_EQ(sheet.entries().size(), 2u);
  EXPECT_EQ(sheet.find(d(2026, 3, 1)), 1);
  sheet.title = "\xB0\xE8\xC8\xB9";  // "계획"
  sheet.decimals = 2;
  ASSERT_TRUE(sheet.store(&opt_));

  // Header: decimals, has-data, title; entries in typed order.
  const std::vector<uint8_t> header = item(kelvo::kOptValueHeader + 3);
  ASSERT_EQ(header.size(), 36u);
  EXPECT_EQ(std::memcmp(header.data(), "\x02\0\x01\0\xB0\xE8\xC8\xB9\0", 9), 0);
  const std::vector<uint8_t> entries = item(kelvo::kOptValueEntries + 3);
  ASSERT_EQ(entries.size(), 4u + 20);
  EXPECT_EQ(entries[0], 2);
  uint16_t first;
  double value;
  std::memcpy(&first, &entries[4], 2);
  std::memcpy(&value, &entries[6], 8);
  EXPECT_EQ(first, d(2026, 4, 1));
  EXPECT_EQ(value, 12.5);

  ValueSheet back;
  ASSERT_TRUE(back.load(&opt_, 3));
  EXPECT_EQ(back.entries(), sheet.entries());
  EXPECT_EQ(back.title, sheet.title);
  EXPECT_EQ(back.decimals, 2);

  // Emptied, the sheet deletes its entries record.
  back.removeRows({1, 0, 1});
  EXPECT_TRUE(back.entries().empty());
  ASSERT_TRUE(back.store(&opt_));
  EXPECT_TRUE(item(kelvo::kOptValueEntries + 3).empty());
  EXPECT_EQ(item(kelvo::kOptValueHeader + 3)[2], 0);
  EXPECT_FALSE(back.load(&opt_, 50));
  EXPECT_FALSE(back.load(&opt_, -1));
}

TEST_F(ValueSheetTest, DamagedEntriesAreDroppedOnLoad) {
  kelvo::ValueSheetHeader h{};
  h.decimals = 40;
  h.hasData = 1;
  std::memset(h.title, 'x', sizeof h.title);  // no terminator
  xOption(&opt_, XOPT_WRITE, kelvo::kOptValueHeader + 0, &h, sizeof h);
  uint8_t bytes[4 + 40] = {4};
  const kelvo::ValueEntryRecord records[] = {
      {d(2026, 5, 1), 1}, {0, 2}, {d(2026, 5, 1), 3}, {d(2026, 6, 1), 4}};
  std::memcpy(bytes + 4, records, sizeof records);
  xOption(&opt_, XOPT_WRITE, kelvo::kOptValueEntries + 0, bytes, sizeof bytes);
  ValueSheet sheet;
  ASSERT_TRUE(sheet.load(&opt_, 0));
  EXPECT_EQ(sheet.decimals, 9);
  EXPECT_EQ(sheet.title.size(), 32u);
  const std::vector<PeriodValue> want = {{d(2026, 5, 1), 1}, {d(2026, 6, 1), 4}};
  EXPECT_EQ(sheet.entries(), want);
  // Fewer entries written in place over more: the count decides.
  ValueSheet shorter = sheet;
  shorter.removeRows({1});
  ASSERT_TRUE(shorter.store(&opt_));
  ASSERT_TRUE(sheet.load(&opt_, 0));
  EXPECT_EQ(sheet.entries().size(), 1u);
  // A count beyond the record's size loads nothing.
  bytes[0] = 9;
  xOption(&opt_, XOPT_WRITE, kelvo::kOptValueEntries + 0, bytes, sizeof bytes);
  ASSERT_TRUE(sheet.load(&opt_, 0));
  EXPECT_TRUE(sheet.entries().empty());
}

// The band block (record 152 of the chart), the chart block (29) and a
// value sheet's link (300 + n) as stored.
TEST_F(ValueSheetTest, BandChartAndLinkRecordsAsStored) {
  kelvo::BandBlock band = kelvo::defaultBandBlock();
  band.panelHeight = 0x1234;
  band.seriesCount = 9;
  std::memset(band.series[0].runtime, 0xAB, sizeof band.series[0].runtime);
  band.series[0].sheet = 7;
  std::memcpy(band.unit, "kg", 3);
  ASSERT_TRUE(kelvo::writeBandBlock(&opt_, 152, band));
  std::vector<uint8_t> bytes = item(152);
  ASSERT_EQ(bytes.size(), 554u);
  EXPECT_EQ(bytes[0], 0x34);
  EXPECT_EQ(bytes[1], 0x12);
  EXPECT_EQ(std::memcmp(&bytes[46], "kg", 3), 0);
  EXPECT_EQ(bytes[130], 9);
  // The series' runtime bytes are written as zeros; its sheet follows.
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 134, bytes.begin() + 142),
            std::vector<uint8_t>(8, 0));
  EXPECT_EQ(bytes[142], 7);
  kelvo::BandBlock back{};
  ASSERT_TRUE(kelvo::readBandBlock(&opt_, 152, &back));
  EXPECT_EQ(back.seriesCount, 6);
  EXPECT_EQ(back.panelHeight, 0x1234);
  // A record of another size is not a band block.
  xOption(&opt_, XOPT_WRITE, 153, bytes.data(), 100);
  EXPECT_FALSE(kelvo::readBandBlock(&opt_, 153, &back));

  kelvo::ChartBlock chart = kelvo::defaultChartBlock();
  chart.barWidth = -5;
  ASSERT_TRUE(kelvo::writeChartBlock(&opt_, kelvo::kOptChartBlock, chart));
  EXPECT_EQ(item(kelvo::kOptChartBlock).size(), 498u);
  kelvo::ChartBlock chartBack{};
  ASSERT_TRUE(kelvo::readChartBlock(&opt_, kelvo::kOptChartBlock, &chartBack));
  EXPECT_EQ(chartBack.barWidth, 1);

  const kelvo::ValueSheetLink link{1, 2, 3, 1, 0x01020304, 1};
  ASSERT_TRUE(kelvo::writeValueLink(&opt_, 5, link));
  EXPECT_EQ(item(kelvo::kOptValueLink + 5),
            (std::vector<uint8_t>{1, 0, 2, 0, 3, 0, 1, 0, 4, 3, 2, 1, 1, 0}));
  kelvo::ValueSheetLink linkBack{};
  EXPECT_TRUE(kelvo::readValueLink(&opt_, 5, &linkBack));
  EXPECT_EQ(linkBack.row, 0x01020304);
  EXPECT_FALSE(kelvo::writeValueLink(&opt_, 50, link));
}

TEST(ValueSheetDays, GeneratedByMonthWeekAndDay) {
  struct Case {
    uint16_t start, finish;
    kelvo::DayStep step;
    int dayOfMonth, dayOfWeek;
    std::vector<uint16_t> want;
  } cases[] = {
      // The 1st of March lies before the start: from April, December to
      // January of the next year.
      {d(2026, 3, 3),
       d(2027, 1, 1),
       kelvo::DayStep::Month,
       1,
       0,
       {d(2026, 4, 1), d(2026, 5, 1), d(2026, 6, 1), d(2026, 7, 1), d(2026, 8, 1), d(2026, 9, 1),
        d(2026, 10, 1), d(2026, 11, 1), d(2026, 12, 1), d(2027, 1, 1)}},
      {d(2026, 3, 3),
       d(2026, 5, 20),
       kelvo::DayStep::Month,
       21,
       0,
       {d(2026, 3, 21), d(2026, 4, 21)}},
      // 3 March 2026 is a Tuesday; weeks starting on Monday.
      {d(2026, 3, 3),
       d(2026, 3, 23),
       kelvo::DayStep::Week,
       1,
       1,
       {d(2026, 3, 9), d(2026, 3, 16), d(2026, 3, 23)}},
      {d(2026, 2, 27),
       d(2026, 3, 2),
       kelvo::DayStep::Day,
       1,
       0,
       {d(2026, 2, 27), d(2026, 2, 28), d(2026, 3, 1), d(2026, 3, 2)}},
      {d(2026, 3, 2), d(2026, 3, 1), kelvo::DayStep::Day, 1, 0, {}},
  };
  for (const Case& c : cases) {
    ValueSheet sheet;
    sheet.generate(c.start, c.finish, c.step, c.dayOfMonth, c.dayOfWeek);
    std::vector<uint16_t> days;
    for (const PeriodValue& e : sheet.entries()) days.push_back(e.day);
    EXPECT_EQ(days, c.want) << int(c.step) << " from " << c.start;
  }
  // Days that exist are kept with their values.
  ValueSheet sheet;
  sheet.commit(0, d(2026, 3, 2), 9);
  EXPECT_EQ(sheet.generate(d(2026, 3, 1), d(2026, 3, 3), kelvo::DayStep::Day, 1, 0), 2);
  EXPECT_EQ(sheet.entries()[0].value, 9);
  EXPECT_EQ(kelvo::checkGenerateRange(0, d(2026, 3, 1)), 1);
  EXPECT_EQ(kelvo::checkGenerateRange(d(2026, 3, 2), d(2026, 3, 1)), 2);
  EXPECT_EQ(kelvo::checkGenerateRange(d(2026, 3, 2), d(2026, 3, 2)), 0);
}

TEST(ValueSheetDays, ReadFromASummaryRow) {
  kelvo::RowSeries s;
  auto e = [](uint16_t day, double v) {
    kelvo::SeriesEntry x;
    x.day = day;
    x.value[0] = v;
    return x;
  };
  s.block[0] = {e(d(2026, 4, 1), 10), e(d(2026, 6, 1), 30)};
  s.block[1] = {e(d(2026, 4, 1), 4)};
  s.block[2] = {e(d(2026, 4, 1), 1), e(d(2026, 5, 1), 2)};
  const std::vector<PeriodValue> kept = {{d(2026, 5, 1), 99}, {d(2026, 3, 1), 5}};
  kelvo::ValueSheetLink link{};
  // Kept days at 0; new days before the first later entry or at the end.
  std::vector<PeriodValue> want = {
      {d(2026, 4, 1), 10}, {d(2026, 5, 1), 0}, {d(2026, 3, 1), 0}, {d(2026, 6, 1), 30}};
  EXPECT_EQ(kelvo::entriesFromSeries(kept, s, false, link), want);
  // Running totals in day order; kept zeros carry the previous total.
  link.cumulative = 1;
  want = {{d(2026, 4, 1), 10}, {d(2026, 5, 1), 10}, {d(2026, 3, 1), 0}, {d(2026, 6, 1), 40}};
  EXPECT_EQ(kelvo::entriesFromSeries(kept, s, false, link), want);
  // Rebuilt from actual then expected: the April expected joins April.
  link = {};
  link.rebuild = 1;
  link.series = kelvo::kSeriesActualExpected;
  want = {{d(2026, 4, 1), 5}, {d(2026, 5, 1), 2}};
  EXPECT_EQ(kelvo::entriesFromSeries(kept, s, false, link), want);
}

}  // namespace
