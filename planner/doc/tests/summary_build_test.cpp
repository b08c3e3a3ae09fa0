// Summary building on a small project: rows per classification level, the
// rolled-up dates and amounts, the total row, period series, resource
// summaries, the summary file's bytes and refused or empty builds.
#include "kelvo/summary_build.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "project_fixture.h"
#include "xJorDbm2.h"
#include "xQdDb100.h"

namespace kelvo::testing {
namespace {

constexpr uint16_t kMar(int day) {
  return packDate(2023, 3, day);
}

// One row of the open summary file, read through its descriptors' places.
struct ShownRow {
  std::vector<uint8_t> bytes;
  template <class T>
  T at(size_t offset) const {
    T v;
    std::memcpy(&v, bytes.data() + offset, sizeof v);
    return v;
  }
  std::string text(size_t offset) const {
    return reinterpret_cast<const char*>(bytes.data() + offset);
  }
  int16_t kind() const { return at<int16_t>(kActRowKindAt); }
  int16_t level() const { return at<int16_t>(kActRowLevelAt); }
  int32_t record() const { return at<int32_t>(kActRowRecordAt); }
  std::string name() const { return text(kActRowNameAt); }
  double amount(size_t offset) const { return at<double>(offset); }
  uint16_t date(size_t offset) const { return at<uint16_t>(offset); }
};

std::string cp949(const char* utf8) {
  char out[256];
  return xUtf8ToCp949(utf8, out, sizeof out) < 0 ? std::string() : std::string(out);
}

class SummaryBuildTest : public EmptyProjectFixture {
 protected:
  void SetUp() override {
    EmptyProjectFixture::SetUp();
    if (HasFatalFailure()) return;
    xSetStartDayOfMW(1, 0);
    info.dataDate = kMar(15);
    info.periodStart = kMar(1);
    info.amountDigits = 12;
    // Work types: one letter, then two digits; facilities: two characters.
    uint8_t classes[404] = {};
    const int16_t work[] = {2, 0, 1, 0, 0, 0, 0, 0, 0, 1, 2};
    const int16_t facility[] = {1, 0, 0, 0, 0, 0, 0, 0, 0, 2};
    std::memcpy(classes, work, sizeof work);
    std::memcpy(classes + 202, facility, sizeof facility);
    ASSERT_EQ(xOption(&db.opt, XOPT_WRITE, 1, classes, sizeof classes), 1);
    readClassLevels(&db, levels_);
  }
  void TearDown() override {
    xSetStartDayOfMW(1, 1);  // the engine's defaults
    EmptyProjectFixture::TearDown();
  }

  void addCode(int classification, const char* code, const char* name, const char* unit = "") {
    TableBinding& t = classification == 0 ? db.wbs : db.obs;
    std::vector<uint8_t> bytes(t.tb.recordSize, 0);
    WbsRecord w{};
    std::strcpy(w.code, code);
    std::strcpy(w.title, cp949(name).c_str());
    std::strcpy(w.unit, unit);
    std::memcpy(bytes.data(), &w, std::min(bytes.size(), sizeof w));
    t.tb.current = -1;
    ASSERT_EQ(xInputRecWbs(&db, bytes.data(), static_cast<int16_t>(classification),
                           &levels_[classification]),
              0);
  }

  // An activity added as it is (no input rules), indexes rebuilt by index().
  int32_t add(const ActRecord& r) {
    std::vector<uint8_t> bytes(db.act.tb.recordSize, 0);
    std::memcpy(bytes.data(), &r, sizeof r);
    db.act.tb.current = -1;
    EXPECT_EQ(xAddRec(&db.act.tb, bytes.data()), 1);
    return db.act.tb.current;
  }
  static ActRecord activity(const char* code, const char* work, const char* facility, double qty,
                            double price) {
    ActRecord r{};
    std::strcpy(r.code, code);
    std::strcpy(r.title, code);
    std::strcpy(r.wbsCode, work);
    std::strcpy(r.obsCode, facility);
    r.quantity = qty;
    r.contractPrice = price;
    r.executionPrice = price * 0.8;
    r.inputPrice = price * 0.7;
    r.calendar = 1;
    return r;
  }
  static void dated(ActRecord& r, uint16_t start, uint16_t finish, uint16_t lateFinish) {
    r.start = r.earlyStart = r.lateStart = start;
    r.finish = r.earlyFinish = finish;
    r.lateFinish = lateFinish;
  }

  // The standard project: A01 (X1, X4 finished), A02 (X2 not started),
  // B01 (X3 under way).
  void standardProject() {
    addCode(0, "A", "토공");
    addCode(0, "A01", "터파기", "m3");
    addCode(0, "A02", "되메우기");
    addCode(0, "B", "철근");
    addCode(0, "B01", "가공");
    addCode(1, "F1", "1동");
    addCode(1, "F2", "2동");
    ActRecord x1 = activity("X1", "A01", "F1", 10, 100);
    dated(x1, kMar(6), kMar(10), kMar(10));
    x1.actualStart = kMar(6);
    x1.actualFinish = kMar(10);
    x1.duration = 5;
    ActRecord x2 = activity("X2", "A02", "F1", 4, 50);
    dated(x2, kMar(13), kMar(17), kMar(24));
    x2.duration = x2.remaining = 5;
    ActRecord x3 = activity("X3", "B01", "F2", 2, 300);
    dated(x3, kMar(6), kMar(14), kMar(14));
    x3.actualStart = kMar(6);
    x3.duration = 7;
    x3.remaining = 0;
    ActRecord x4 = activity("X4", "A01", "F2", 6, 100);
    dated(x4, kMar(7), kMar(13), kMar(13));
    x4.actualStart = kMar(7);
    x4.actualFinish = kMar(13);
    x4.duration = 5;
    x1Record_ = add(x1);
    add(x2);
    add(x3);
    add(x4);
    ASSERT_EQ(xRebuildIndexes(&db), 1);
  }

  int build(SummaryRegistration& r) { return buildSummary(&db, info, r, &current_); }

  std::vector<ShownRow> rows() {
    std::vector<ShownRow> out;
    TableHandle& tb = db.summary.table.tb;
    tb.current = -1;
    while (xMoveNext(&tb)) {
      ShownRow row;
      row.bytes.resize(tb.recordSize);
      EXPECT_EQ(xGetRec(&tb, row.bytes.data()), 1);
      out.push_back(row);
    }
    return out;
  }
  std::string memberPath(const char* name) const {
    return std::string(db.space.path, db.space.stemLength) + name;
  }

  ClassLevels levels_[2];
  int16_t current_ = 0;
  int32_t x1Record_ = -1;
};

TEST(SummaryRegistrationTest, PreparingCutsTheCompositionAndSetsOptions) {
  ClassLevels levels[2] = {};
  levels[0].count = 2;
  levels[1].count = 1;
  SummaryRegistration r{3, kSummaryActivities | kSummaryResources, {0, 1, 10, 20}, "t"};
  ASSERT_EQ(prepareSummaryRegistration(r, levels), kSummaryDone);
  // Work type final at 1, facility final at 10: with activity rows the pair
  // entry goes, and the other classification after it too.
  EXPECT_EQ(r.composition, (std::vector<int16_t>{0, 1}));
  EXPECT_EQ(r.flags, kSummaryActivities);  // not a resource summary
  r = {3, 0, {10, 0, 1, 20}, "t"};
  ASSERT_EQ(prepareSummaryRegistration(r, levels), kSummaryDone);
  EXPECT_EQ(r.composition, (std::vector<int16_t>{10, 0, 1}));
  // An empty composition takes activity rows; a resource summary without
  // either resource row kind takes resource rows.
  r = {4, kSummaryOfResources, {}, ""};
  ASSERT_EQ(prepareSummaryRegistration(r, levels), kSummaryDone);
  EXPECT_EQ(r.flags, kSummaryOfResources | kSummaryResources | kSummaryActivities);
  r = {4, kSummaryOfResources | kSummaryResourceFirst | kSummaryResourceClasses, {0, 1}, ""};
  ASSERT_EQ(prepareSummaryRegistration(r, levels), kSummaryDone);
  EXPECT_TRUE(r.composition.empty());
  EXPECT_EQ(r.flags, kSummaryOfResources | kSummaryResourceFirst | kSummaryResourceClasses);
}

TEST(SummaryRegistrationTest, RefusedCompositionsChangeNothing) {
  ClassLevels levels[2] = {};
  levels[0].count = 2;
  levels[1].count = 1;
  const SummaryRegistration bad[] = {
      {1, 0, {1, 0}, ""},    // out of order
      {1, 0, {0, 0}, ""},    // twice
      {1, 0, {2}, ""},       // no third work-type level
      {1, 0, {11}, ""},      // no second facility level
      {1, 0, {-3}, ""},      // no such classification
      {1, 0, {20, 21}, ""},  // the other classification twice
      {0, 0, {0}, ""},       // number outside 1..48
      {49, 0, {0}, ""},
  };
  const int expected[] = {kSummaryRefused,     kSummaryRefused,     kSummaryNoSuchLevel,
                          kSummaryNoSuchLevel, kSummaryNoSuchLevel, kSummaryOtherTwice,
                          kSummaryBadNumber,   kSummaryBadNumber};
  for (size_t i = 0; i < std::size(bad); ++i) {
    SummaryRegistration r = bad[i];
    EXPECT_EQ(prepareSummaryRegistration(r, levels), expected[i]) << i;
    EXPECT_EQ(r, bad[i]);
  }
  EXPECT_STREQ(summaryMessage(kSummaryRefused), "이미 선택했거나 분류단계의 순서가 맞지 않습니다.");
  EXPECT_STREQ(summaryMessage(kSummaryFileFailed), "파일을 만들 수 없습니다.");
}

TEST(SummaryRegistrationTest, NameWidthGrowsWithIndentAndNumbering) {
  SummaryRegistration r{1, 0, {0, 1}, ""};
  EXPECT_EQ(summaryNameWidth(r, 60), 40);
  r.flags = kSummaryActivities;
  EXPECT_EQ(summaryNameWidth(r, 60), 60);
  r.flags |= kSummaryIndentNames;  // three levels: 2 x 2 more
  EXPECT_EQ(summaryNameWidth(r, 60), 64);
  r.flags |= kSummaryNumberNames;  // and 2 x 3
  EXPECT_EQ(summaryNameWidth(r, 60), 70);
  r = {1, kSummaryNumberNames, {0, 1, 2, 3, 4, 5, 6, 7, 10, 11, 12}, ""};  // 11 levels
  EXPECT_EQ(summaryNameWidth(r, 60), 40 + 18 + 6);
}

TEST_F(SummaryBuildTest, WorkTypeLevelsWithActivityRowsAndTheTotalLast) {
  standardProject();
  SummaryRegistration r{2, kSummaryActivities, {0, 1}, "work"};
  ASSERT_EQ(build(r), kSummaryDone);
  EXPECT_EQ(current_, 2);
  const auto shown = rows();
  ASSERT_EQ(shown.size(), 10u);
  const char* names[] = {"토공", "터파기", "X1",   "X4", "되메우기",
                         "X2",   "철근",   "가공", "X3", "합 계"};
  const int16_t kinds[] = {0, 0, 4, 4, 0, 4, 0, 0, 4, 0};
  const int16_t levels[] = {1, 2, 3, 3, 2, 3, 1, 2, 3, 0};
  for (size_t i = 0; i < shown.size(); ++i) {
    EXPECT_EQ(shown[i].name(), cp949(names[i])) << i;
    EXPECT_EQ(shown[i].kind(), kinds[i]) << i;
    EXPECT_EQ(shown[i].level(), levels[i]) << i;
  }
  EXPECT_EQ(shown[2].record(), x1Record_);
  EXPECT_EQ(shown[2].text(kActRowActivityAt), "X1");
  EXPECT_EQ(shown[9].record(), -1);
  // Codes as far as the row's key goes; the work type's unit text.
  EXPECT_EQ(shown[0].text(kActRowCodesAt), "A");
  EXPECT_EQ(shown[1].text(kActRowCodesAt), "A01");
  EXPECT_EQ(shown[1].text(kActRowUnitAt), "m3");
  EXPECT_EQ(shown[1].text(kActRowCodesAt + 11), "");
}

TEST_F(SummaryBuildTest, FinishedAndUnfinishedRows) {
  standardProject();
  SummaryRegistration r{1, 0, {0, 1}, ""};
  ASSERT_EQ(build(r), kSummaryDone);
  const auto shown = rows();
  ASSERT_EQ(shown.size(), 6u);  // A, A01, A02, B, B01, total
  // A01: X1 and X4 finished: from the earliest actual start to the latest
  // actual finish, nothing left.
  const ShownRow& done = shown[1];
  EXPECT_EQ(done.date(8), kMar(6));    // start
  EXPECT_EQ(done.date(10), kMar(13));  // finish
  EXPECT_EQ(done.date(20), kMar(6));
  EXPECT_EQ(done.date(22), kMar(13));
  EXPECT_EQ(done.at<int16_t>(2), 6);  // Mar 6..13, working days
  EXPECT_EQ(done.at<int16_t>(4), 0);
  // A: X2 is not finished, so the row is under way at the data date.
  const ShownRow& open = shown[0];
  EXPECT_EQ(open.date(22), 0);
  EXPECT_EQ(open.date(8), kMar(6));
  EXPECT_EQ(open.date(12), kMar(15));  // early start = data date
  EXPECT_EQ(open.date(14), kMar(17));
  EXPECT_EQ(open.at<int16_t>(6), 5);   // Mar 17 -> Mar 24
  EXPECT_EQ(open.date(16), kMar(22));  // data date + 5 working days
  EXPECT_EQ(open.at<int16_t>(2), 10);  // Mar 6..17
  EXPECT_EQ(open.at<int16_t>(4), 3);   // less Mar 6..14
}

TEST_F(SummaryBuildTest, QuantitiesOnlyFromTheQuantityLevelWhileAmountsAddUp) {
  standardProject();
  SummaryRegistration r{1, 0, {0, 1}, ""};
  ASSERT_EQ(build(r), kSummaryDone);
  const auto shown = rows();
  const ShownRow& a = shown[0];
  const ShownRow& a01 = shown[1];
  const ShownRow& total = shown.back();
  for (size_t q : {46, 78, 86, 94, 102, 110}) {
    EXPECT_EQ(a.amount(q), 0) << q;
    EXPECT_EQ(total.amount(q), 0) << q;
  }
  EXPECT_EQ(a01.amount(46), 16);
  EXPECT_EQ(a01.amount(86), 16);   // both finished before the data date
  EXPECT_EQ(a.amount(118), 1800);  // 10 x 100 + 4 x 50 + 6 x 100
  EXPECT_EQ(a.amount(126), 1440);
  EXPECT_EQ(total.amount(118), 2400);
  EXPECT_EQ(a.amount(158), 1600);             // actual contract amount to the data date
  EXPECT_FLOAT_EQ(a.at<float>(274), 88.89f);  // 1600 / 1800
  EXPECT_FLOAT_EQ(a01.at<float>(254), 80.0f);
}

TEST_F(SummaryBuildTest, ActivitiesWithoutACodeSortLast) {
  standardProject();
  ActRecord loose = activity("Z9", "", "", 1, 10);
  add(loose);
  ASSERT_EQ(xRebuildIndexes(&db), 1);
  SummaryRegistration r{1, kSummaryIndentNames | kSummaryNumberNames, {10}, ""};
  ASSERT_EQ(build(r), kSummaryDone);
  const auto shown = rows();
  ASSERT_EQ(shown.size(), 4u);
  EXPECT_EQ(shown[0].name(), "1. " + cp949("1동"));
  EXPECT_EQ(shown[1].name(), "2. " + cp949("2동"));
  EXPECT_EQ(shown[2].name(), "3. ");
  EXPECT_EQ(shown[2].record(), -1);
  EXPECT_EQ(shown[2].amount(118), 10);
  EXPECT_EQ(shown[3].name(), "4. " + cp949("합 계"));
  // No work-type level and no activity rows: no row carries quantities.
  EXPECT_EQ(shown[0].amount(46), 0);
}

TEST_F(SummaryBuildTest, OtherClassificationRowsAndExclusions) {
  standardProject();
  // Subcontractors (the first further code): X1 S2, X2 and X4 S1, X3 none.
  TableHandle& tb = db.act.tb;
  std::vector<uint8_t> bytes(tb.recordSize);
  tb.current = -1;
  while (xMoveNext(&tb)) {
    ASSERT_EQ(xGetRec(&tb, bytes.data()), 1);
    ActRecord r;
    std::memcpy(&r, bytes.data(), sizeof r);
    const std::string code = r.code;
    std::strcpy(r.subcontractor, code == "X1" ? "S2" : code == "X3" ? "" : "S1");
    std::memcpy(bytes.data(), &r, sizeof r);
    ASSERT_EQ(xPutRec(&tb, bytes.data()), 1);
  }
  ActRecord milestone = activity("M1", "B01", "F1", 1, 5);
  milestone.type = kMilestone;
  std::strcpy(milestone.subcontractor, "S1");
  add(milestone);
  ActRecord loose = activity("Z9", "", "", 1, 7);
  std::strcpy(loose.subcontractor, "S2");
  add(loose);
  ASSERT_EQ(xRebuildIndexes(&db), 1);
  SummaryRegistration r{1, kSummaryNoMilestones | kSummaryNoUnclassified, {20}, ""};
  ASSERT_EQ(build(r), kSummaryDone);
  const auto shown = rows();
  ASSERT_EQ(shown.size(), 4u);
  const char* names[] = {"S1", "S2", "", "합 계"};
  const double contract[] = {800, 1000, 600, 2400};
  for (size_t i = 0; i < shown.size(); ++i) {
    EXPECT_EQ(shown[i].name(), cp949(names[i])) << i;
    EXPECT_EQ(shown[i].kind(), i < 3 ? kRowOther : 0) << i;
    EXPECT_EQ(shown[i].amount(118), contract[i]) << i;
  }
  EXPECT_EQ(shown[0].text(kActRowCodesAt + 22), "S1");
  EXPECT_EQ(shown[2].text(kActRowCodesAt + 22), "");
  // Without the exclusions the milestone and the unclassified activity count.
  r = {1, 0, {20}, ""};
  ASSERT_EQ(build(r), kSummaryDone);
  EXPECT_EQ(rows()[0].amount(118), 805);
  EXPECT_EQ(rows()[1].amount(118), 1007);
}

TEST_F(SummaryBuildTest, MonthlyPeriodsStartOnTheStartDayOfMonth) {
  xSetStartDayOfMW(25, 1);
  const uint16_t finishes[] = {kMar(10), kMar(26)};
  const char* codes[] = {"P1", "P2"};
  for (int i = 0; i < 2; ++i) {
    ActRecord a = activity(codes[i], "A01", "F1", 1, 100);
    dated(a, finishes[i], finishes[i], finishes[i]);
    a.actualStart = a.actualFinish = finishes[i];
    add(a);
  }
  ASSERT_EQ(xRebuildIndexes(&db), 1);
  SummaryRegistration r{2, kSummaryPeriods, {0}, ""};
  info.dataDate = packDate(2023, 4, 1);
  ASSERT_EQ(build(r), kSummaryDone);
  RowSeries s;
  ASSERT_TRUE(readRowSeries(&db, rows()[0].at<uint32_t>(kActRowSeriesAt), false, s));
  ASSERT_EQ(s.block[1].size(), 2u);
  EXPECT_EQ(s.block[1][0].day, kMar(25));
  EXPECT_EQ(s.block[1][1].day, packDate(2023, 4, 25));
  EXPECT_DOUBLE_EQ(s.block[1][0].value[2], 50);
  EXPECT_DOUBLE_EQ(s.block[1][1].value[2], 50);
  EXPECT_DOUBLE_EQ(s.block[1][1].value[5], 70);  // the input amount of P2
  EXPECT_TRUE(s.block[2].empty());               // nothing left to expect
}

TEST_F(SummaryBuildTest, NumberedNamesRestartUnderEachParent) {
  standardProject();
  SummaryRegistration r{
      1, kSummaryIndentNames | kSummaryNumberNames | kSummaryActivities, {0, 1}, ""};
  ASSERT_EQ(build(r), kSummaryDone);
  const auto shown = rows();
  EXPECT_EQ(shown[0].name(), "1. " + cp949("토공"));
  EXPECT_EQ(shown[1].name(), "  1.1. " + cp949("터파기"));
  EXPECT_EQ(shown[3].name(), "    1.1.2. X4");
  EXPECT_EQ(shown[4].name(), "  1.2. " + cp949("되메우기"));
  EXPECT_EQ(shown[7].name(), "  2.1. " + cp949("가공"));
  EXPECT_EQ(shown.back().name(), "3. " + cp949("합 계"));
  EXPECT_EQ(db.summary.table.tb.recordSize, 70 + kActRowFixed);
}

TEST_F(SummaryBuildTest, ContractProgressOfASeriesAddsUpToExactly100) {
  addCode(0, "A", "토공");
  addCode(0, "A01", "터파기");
  addCode(0, "A02", "되메우기");
  const uint16_t finishes[] = {kMar(10), kMar(17), kMar(24)};
  const char* codes[][3] = {{"S1", "A01", "F1"}, {"S2", "A02", "F1"}, {"S3", "A01", "F2"}};
  for (int i = 0; i < 3; ++i) {
    ActRecord a = activity(codes[i][0], codes[i][1], codes[i][2], 1, 100);
    dated(a, finishes[i], finishes[i], finishes[i]);
    a.duration = 1;
    add(a);
  }
  ASSERT_EQ(xRebuildIndexes(&db), 1);
  SummaryRegistration r{5, kSummaryPeriods | 1, {0}, ""};  // by week
  ASSERT_EQ(build(r), kSummaryDone);
  const auto shown = rows();
  ASSERT_EQ(shown.size(), 2u);
  for (const ShownRow& row : shown) {
    RowSeries series;
    ASSERT_TRUE(readRowSeries(&db, row.at<uint32_t>(kActRowSeriesAt), false, series));
    const auto& plan = series.block[0];
    ASSERT_EQ(plan.size(), 3u);
    // Sundays after each planned finish.
    EXPECT_EQ(plan[0].day, kMar(12));
    EXPECT_EQ(plan[2].day, kMar(26));
    EXPECT_DOUBLE_EQ(plan[0].value[2], 33.33);
    EXPECT_DOUBLE_EQ(plan[1].value[2], 33.33);
    EXPECT_DOUBLE_EQ(plan[2].value[2], 33.34);
    EXPECT_DOUBLE_EQ(plan[0].value[4] + plan[1].value[4] + plan[2].value[4], 100.0);
    EXPECT_DOUBLE_EQ(plan[1].value[1], 100);
    EXPECT_DOUBLE_EQ(plan[1].value[5], 80);  // execution amount in the plan block
    EXPECT_TRUE(series.block[1].empty());    // nothing finished
    EXPECT_EQ(series.block[2].size(), 3u);
  }
  EXPECT_DOUBLE_EQ(shown[0].amount(46), 0);  // above the quantity level
}

TEST_F(SummaryBuildTest, TimeSharedActivitiesSpreadTheirQuantity) {
  addCode(0, "A", "토공");
  ActRecord a = activity("T1", "A01", "F1", 10, 10);
  a.type = kTimeShared;
  dated(a, kMar(6), kMar(17), kMar(17));
  a.duration = 10;
  a.remaining = 6;
  a.actualStart = kMar(6);
  const int32_t record = add(a);
  ASSERT_EQ(xRebuildIndexes(&db), 1);
  SpaEntry e{record, kMar(9), 3};
  ASSERT_EQ(xInputRecSpa(&db, &e), 0);
  e = {record, kMar(14), 5};
  ASSERT_EQ(xInputRecSpa(&db, &e), 0);
  SummaryRegistration r{6, kSummaryPeriods | kSummaryActivities | 1, {}, ""};
  ASSERT_EQ(build(r), kSummaryDone);
  const auto shown = rows();
  ASSERT_EQ(shown.size(), 2u);
  const ShownRow& row = shown[0];
  EXPECT_DOUBLE_EQ(row.amount(78), 7);  // Mar 6..14 of 10 working days
  EXPECT_DOUBLE_EQ(row.amount(86), 5);  // the entry of Mar 14
  EXPECT_DOUBLE_EQ(row.amount(94), 5);
  RowSeries s;
  ASSERT_TRUE(readRowSeries(&db, row.at<uint32_t>(kActRowSeriesAt), false, s));
  ASSERT_EQ(s.block[0].size(), 2u);
  EXPECT_EQ(s.block[0][0].day, kMar(12));
  EXPECT_DOUBLE_EQ(s.block[0][0].value[0], 5);
  EXPECT_DOUBLE_EQ(s.block[0][1].value[0], 5);
  EXPECT_DOUBLE_EQ(s.block[0][1].value[2], 50);  // the closing period
  ASSERT_EQ(s.block[1].size(), 2u);
  EXPECT_DOUBLE_EQ(s.block[1][0].value[0], 3);
  EXPECT_DOUBLE_EQ(s.block[1][1].value[0], 2);
  // Five remaining units over the remaining six days from the data date.
  double expected = 0;
  for (const SeriesEntry& x : s.block[2]) expected += x.value[0];
  EXPECT_DOUBLE_EQ(expected, 5);
}

TEST_F(SummaryBuildTest, ResourceSummariesInBothOrders) {
  standardProject();
  uint8_t classes[kResourceClassCount * kResourceClassEntry] = {};
  classes[0] = 'L';
  std::strcpy(reinterpret_cast<char*>(classes + 1), cp949("노무").c_str());
  classes[kResourceClassEntry] = 'M';
  std::strcpy(reinterpret_cast<char*>(classes + kResourceClassEntry + 1), cp949("자재").c_str());
  ASSERT_EQ(xOption(&db.opt, XOPT_WRITE, kResourceClassSlot, classes, sizeof classes),
            kResourceClassSlot);
  for (const char* code : {"L01", "M01"}) {
    ResRecord res{};
    std::strcpy(res.code, code);
    std::strcpy(res.title, code);
    std::vector<uint8_t> bytes(db.res.tb.recordSize, 0);
    std::memcpy(bytes.data(), &res, sizeof res);
    db.res.tb.current = -1;
    ASSERT_EQ(xInputRecRes(&db, bytes.data()), 0);
  }
  struct Detail {
    const char* act;
    const char* res;
    double planned, done;
  };
  for (const Detail& d :
       {Detail{"X1", "L01", 10, 10}, Detail{"X1", "M01", 3, 3}, Detail{"X2", "L01", 4, 0}}) {
    OprRecord o{};
    std::strcpy(o.actCode, d.act);
    std::strcpy(o.resCode, d.res);
    o.quantity = d.planned;
    o.actualQuantity = d.done;
    std::vector<uint8_t> bytes(db.opr.tb.recordSize, 0);
    std::memcpy(bytes.data(), &o, sizeof o);
    db.opr.tb.current = -1;
    ASSERT_EQ(xInputRecOpr(&db, bytes.data()), 0);
  }
  auto kindsAndInputs = [&](std::vector<int16_t>& kinds, std::vector<double>& planned,
                            std::vector<std::string>& names) {
    for (const ShownRow& row : rows()) {
      kinds.push_back(row.at<int16_t>(kResRowKindAt));
      planned.push_back(row.at<double>(4));
      names.push_back(row.text(kResRowNameAt));
    }
  };
  SummaryRegistration work{
      7, kSummaryOfResources | kSummaryResourceClasses | kSummaryResources, {0}, ""};
  ASSERT_EQ(build(work), kSummaryDone);
  std::vector<int16_t> kinds;
  std::vector<double> planned;
  std::vector<std::string> names;
  kindsAndInputs(kinds, planned, names);
  EXPECT_EQ(kinds, (std::vector<int16_t>{0, 50, 6, 50, 6, 0}));
  // Inputs only at the resource level; the work type and total rows add
  // durations only.
  EXPECT_EQ(planned, (std::vector<double>{0, 0, 14, 0, 3, 0}));
  EXPECT_EQ(names[1], cp949("노무"));
  EXPECT_EQ(names[2], "L01");
  EXPECT_EQ(rows()[0].at<int16_t>(2), 15);

  SummaryRegistration first{8,
                            kSummaryOfResources | kSummaryResourceFirst | kSummaryResourceClasses |
                                kSummaryResources | kSummaryActivities,
                            {0, 1},
                            ""};
  ASSERT_EQ(build(first), kSummaryDone);
  EXPECT_TRUE(first.composition.empty());
  kinds.clear();
  planned.clear();
  names.clear();
  kindsAndInputs(kinds, planned, names);
  EXPECT_EQ(kinds, (std::vector<int16_t>{50, 2, 6, 6, 50, 2, 6, 0}));
  EXPECT_EQ(planned, (std::vector<double>{14, 14, 10, 4, 3, 3, 3, 0}));
  EXPECT_EQ(names[2], "X1");
  EXPECT_EQ(names[3], "X2");
  const ShownRow x2 = rows()[3];
  EXPECT_EQ(x2.text(kResRowActivityAt), "X2");
  EXPECT_EQ(x2.text(kResRowOwnCodeAt), "L01");
  EXPECT_EQ(x2.at<double>(44), 4);  // not started: the planned input remains

  // With monthly series: one input value per entry, three blocks, each
  // ended by a zero day.
  first.flags |= kSummaryPeriods;
  ASSERT_EQ(build(first), kSummaryDone);
  const uint32_t at = rows()[1].at<uint32_t>(kResRowSeriesAt);  // resource L01
  ASSERT_NE(at, 0u);
  uint8_t raw[36];
  ASSERT_EQ(pread(db.summary.table.tb.handle, raw, sizeof raw, at), 36);
  const uint16_t april = packDate(2023, 4, 1);
  const double inputs[] = {14, 10, 4};  // plan, actual (X1), expected (X2)
  for (int b = 0; b < 3; ++b) {
    uint16_t day, end;
    double value;
    std::memcpy(&day, raw + 12 * b, 2);
    std::memcpy(&value, raw + 12 * b + 2, 8);
    std::memcpy(&end, raw + 12 * b + 10, 2);
    EXPECT_EQ(day, april) << b;
    EXPECT_EQ(value, inputs[b]) << b;
    EXPECT_EQ(end, 0) << b;
  }
}

TEST_F(SummaryBuildTest, SummaryFileBytes) {
  addCode(0, "A", "토공");
  ActRecord a = activity("X1", "A01", "F1", 2, 10);
  dated(a, kMar(6), kMar(10), kMar(10));
  a.duration = 5;
  add(a);
  ASSERT_EQ(xRebuildIndexes(&db), 1);
  SummaryRegistration r{9, kSummaryPeriods, {0}, ""};  // monthly
  ASSERT_EQ(build(r), kSummaryDone);
  const uint16_t length = db.summary.table.tb.recordSize;
  const int16_t fieldCount = db.summary.table.tb.fieldCount;
  ASSERT_EQ(length, 40 + 397);
  xCloseSumFile(&db, &current_);
  std::ifstream in(memberPath("9"), std::ios::binary);
  const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
  // Two rows (A and the total), each a live mark and the record; then the
  // two rows' series; then the descriptors and the 16-byte table header.
  const size_t slots = 2 * (length + 4u);
  const size_t entry = 2 + 6 * 8, series = 2 * (entry + 3 * 2 + entry);
  ASSERT_EQ(file.size(), slots + series + fieldCount * 42u + 16);
  auto u32 = [&](size_t at) {
    uint32_t v;
    std::memcpy(&v, &file[at], 4);
    return v;
  };
  auto u16 = [&](size_t at) { return static_cast<uint16_t>(file[at] | file[at + 1] << 8); };
  EXPECT_EQ(u32(0), 0xFFFFFFFEu);
  EXPECT_EQ(u32(4 + kActRowSeriesAt), slots);
  EXPECT_EQ(u32(length + 8 + kActRowSeriesAt), slots + series / 2);
  EXPECT_EQ(u16(length + 8 + kActRowLevelAt), 0);
  // Plan block: one entry on 1 April (monthly boundary after 10 March).
  EXPECT_EQ(u16(slots), packDate(2023, 4, 1));
  double quantity, contract;
  std::memcpy(&quantity, &file[slots + 2], 8);
  std::memcpy(&contract, &file[slots + 10], 8);
  EXPECT_EQ(quantity, 0);  // above the quantity level
  EXPECT_EQ(contract, 20);
  EXPECT_EQ(u16(slots + entry), 0);                         // end of the plan block
  EXPECT_EQ(u16(slots + entry + 2), 0);                     // no actual entries
  EXPECT_EQ(u16(slots + entry + 4), packDate(2023, 4, 1));  // expected
  const size_t header = file.size() - 16;
  EXPECT_EQ(u32(header), 2u);
  EXPECT_EQ(u32(header + 4), 0xFFFFFFFFu);
  EXPECT_EQ(u32(header + 8), 2u);
  EXPECT_EQ(u16(header + 12), length);
  EXPECT_EQ(u16(header + 14), fieldCount);
  // The name descriptor has the name width; it comes first in the list.
  FieldDesc name;
  std::memcpy(&name, &file[header - fieldCount * 42u], sizeof name);
  EXPECT_EQ(name.offset, kActRowNameAt);
  EXPECT_EQ(name.width, 40);
  // The total float takes the duration digits and a column for its sign.
  for (int16_t i = 0; i < fieldCount; ++i) {
    FieldDesc d;
    std::memcpy(&d, &file[header - (fieldCount - i) * 42u], sizeof d);
    if (d.offset == 6) {
      EXPECT_EQ(d.width, 5 + 1);
    }
  }
  // The file opens again as a summary.
  ASSERT_EQ(xOpenSumFile(&db, &current_, 9), 1);
  EXPECT_EQ(rows().size(), 2u);
}

TEST_F(SummaryBuildTest, EmptyProjectsAndUndatedActivitiesStillBuild) {
  SummaryRegistration r{1, kSummaryPeriods | kSummaryActivities, {0, 1}, ""};
  ASSERT_EQ(build(r), kSummaryDone);
  auto shown = rows();
  ASSERT_EQ(shown.size(), 1u);  // the total row alone
  EXPECT_EQ(shown[0].name(), cp949("합 계"));
  EXPECT_EQ(shown[0].at<uint32_t>(kActRowSeriesAt), 0u);

  add(activity("U1", "A01", "F1", 3, 10));  // never scheduled
  ASSERT_EQ(xRebuildIndexes(&db), 1);
  ASSERT_EQ(build(r), kSummaryDone);
  shown = rows();
  ASSERT_EQ(shown.size(), 4u);
  EXPECT_EQ(shown[0].date(8), 0);
  EXPECT_EQ(shown[0].at<int16_t>(2), 0);
  EXPECT_EQ(shown[3].amount(118), 30);
}

TEST_F(SummaryBuildTest, RefusedOrFailedBuildsLeaveNoSummary) {
  standardProject();
  SummaryRegistration good{3, 0, {0, 1, 10}, "good"};
  ASSERT_EQ(build(good), kSummaryDone);
  // The prepared registration is what is stored.
  const auto stored = readSummaryRegistration(&db, 3);
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->composition, (std::vector<int16_t>{0, 1, 10}));
  EXPECT_EQ(*stored, good);
  SummaryRegistration wordy{10, 0, {0}, std::string(41, 'x')};
  EXPECT_EQ(build(wordy), kSummaryTitleLong);
  EXPECT_FALSE(readSummaryRegistration(&db, 10).has_value());
  SummaryRegistration bad{4, 0, {1, 0}, ""};
  EXPECT_EQ(build(bad), kSummaryRefused);
  EXPECT_EQ(current_, 3);  // the open summary stays open
  EXPECT_EQ(db.summary.number, 3);
  EXPECT_FALSE(std::filesystem::exists(memberPath("4")));
  EXPECT_FALSE(std::filesystem::exists(memberPath("10")));
  // A summary file that cannot be created: nothing under its number opens.
  ASSERT_EQ(mkdir(memberPath("7").c_str(), 0700), 0);
  SummaryRegistration blocked{7, 0, {0}, ""};
  EXPECT_EQ(build(blocked), kSummaryFileFailed);
  EXPECT_EQ(xOpenSumFile(&db, &current_, 7), 0);
}

TEST_F(SummaryBuildTest, BuildAllReopensTheSummaryOpenBefore) {
  standardProject();
  SummaryRegistration one{1, 0, {0}, ""};
  ASSERT_EQ(build(one), kSummaryDone);
  std::vector<SummaryRegistration> all = {
      {5, 0, {0, 1}, ""}, {2, kSummaryActivities, {}, ""}, {6, 0, {1, 0}, ""}};
  int32_t calls = 0;
  EXPECT_EQ(
      buildSummaries(&db, info, all, &current_, [&](int32_t, int32_t) { return ++calls > 0; }), 2);
  EXPECT_GT(calls, 0);
  EXPECT_EQ(current_, 1);
  EXPECT_EQ(db.summary.number, 1);
  EXPECT_EQ(rows().size(), 3u);  // A, B, total
  std::vector<SummaryRegistration> none = {{6, 0, {1, 0}, ""}};
  EXPECT_EQ(buildSummaries(&db, info, none, &current_), 0);
  EXPECT_STREQ(summaryMessage(kSummaryNoneBuilt), kNoneBuiltMessage);
}

// A build stopped by its listener stores nothing: the registration, the
// summary file built under it and the open summary stay as they were, and a
// build-all run ends at the summary under way.
TEST_F(SummaryBuildTest, StoppedBuildChangesNothing) {
  standardProject();
  SummaryRegistration one{1, kSummaryActivities, {0}, ""};
  ASSERT_EQ(build(one), kSummaryDone);
  const auto bytes = [&] {
    std::ifstream in(memberPath("1"), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  const std::string built = bytes();
  const auto stored = readSummaryRegistration(&db, 1);
  ASSERT_TRUE(stored.has_value());
  SummaryRegistration changed{1, 0, {10, 0}, "other"};
  EXPECT_EQ(buildSummary(&db, info, changed, &current_, [](int32_t, int32_t) { return false; }),
            kSummaryStopped);
  EXPECT_EQ(readSummaryRegistration(&db, 1), stored);
  EXPECT_EQ(bytes(), built);
  EXPECT_EQ(current_, 1);
  EXPECT_EQ(db.summary.number, 1);

  std::vector<SummaryRegistration> all = {{1, 0, {10, 0}, ""}, {2, 0, {0}, ""}};
  EXPECT_EQ(buildSummaries(&db, info, all, &current_, [](int32_t, int32_t) { return false; }), 0);
  EXPECT_EQ(readSummaryRegistration(&db, 1), stored);
  EXPECT_FALSE(readSummaryRegistration(&db, 2).has_value());
  EXPECT_EQ(bytes(), built);
}

}  // namespace
}  // namespace kelvo::testing
