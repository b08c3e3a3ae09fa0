// Record sets of the sheets, the texts their rows show, and the finders' look-ups.
#include "kelvo/sheet_rows.h"

#include <cstring>

#include "grid_fixture.h"
#include "kelvo/sheet_cells.h"
#include "kelvo/sheet_find.h"

using namespace kelvo;
using kelvo_test::GridTest;

namespace {

std::string codeOfRow(const SheetRows& rows, uint32_t row, size_t size) {
  std::string buffer(size, '\0');
  if (!rows.read(row, buffer.data())) return "-";
  ActRecord a;
  std::memcpy(&a, buffer.data(), sizeof a);
  return a.code;
}

}  // namespace

TEST_F(GridTest, RowsFollowTheStoredFilterAndOrder) {
  ASSERT_EQ(addActivity("A30", "third", 3), 0);
  ASSERT_EQ(addActivity("A10", "first", 8), 0);
  ASSERT_EQ(addActivity("A20", "second", 1), 0);
  TableBinding* act = sheetTable(&db(), ViewKind::Activities);
  ASSERT_EQ(act, &db().act);
  const size_t size = act->tb.recordSize;

  SheetRows rows;
  ASSERT_TRUE(rows.open(act, "", nullptr));
  ASSERT_EQ(rows.count(), 3u);
  EXPECT_EQ(codeOfRow(rows, 0, size), "A30");  // slot order

  const int code =
      xGetFldOrdinal(kelvo_test::cp949("작업코드").c_str(), act->tb.fields, act->tb.fieldCount);
  const int dur =
      xGetFldOrdinal(kelvo_test::cp949("소요일수").c_str(), act->tb.fields, act->tb.fieldCount);
  ASSERT_GE(code, 0);
  ASSERT_GE(dur, 0);
  const uint16_t byCodeDown[13] = {1, uint16_t(code + 10000)};
  ASSERT_TRUE(rows.open(act, "", byCodeDown));
  EXPECT_EQ(codeOfRow(rows, 0, size), "A30");
  EXPECT_EQ(codeOfRow(rows, 2, size), "A10");

  const uint16_t byCode[13] = {1, uint16_t(code)};
  ASSERT_TRUE(rows.open(act, kelvo_test::cp949("[소요일수] > 2").c_str(), byCode));
  ASSERT_EQ(rows.count(), 2u);
  EXPECT_EQ(codeOfRow(rows, 0, size), "A10");
  EXPECT_EQ(codeOfRow(rows, 1, size), "A30");
  EXPECT_EQ(codeOfRow(rows, 2, size), "-");  // past the end

  // A filter that does not parse shows every record rather than none.
  ASSERT_TRUE(rows.open(act, kelvo_test::cp949("[소요일수 > ").c_str(), nullptr));
  EXPECT_EQ(rows.count(), 3u);

  // Rows added, re-pointed and removed.
  const uint32_t first = rows.record(0);
  ASSERT_TRUE(rows.append(first));
  EXPECT_EQ(rows.count(), 4u);
  EXPECT_EQ(rows.rowOf(first), 0);
  rows.remove(0);
  EXPECT_EQ(rows.rowOf(first), 2);
  rows.remove(99);
  EXPECT_EQ(rows.count(), 3u);
  EXPECT_EQ(rows.record(3), XJOR_NONE);
}

TEST_F(GridTest, SummaryKindsWithoutOpenSummaryShowNoTable) {
  EXPECT_EQ(sheetTable(&db(), ViewKind::Summary), nullptr);
  EXPECT_EQ(sheetTable(&db(), ViewKind::ResourceSummary), nullptr);
  EXPECT_EQ(sheetTable(&db(), ViewKind::Map), nullptr);
  EXPECT_EQ(sheetTable(&db(), ViewKind::WorkTypeSheet), &db().wbs);
  EXPECT_EQ(sheetTable(&db(), ViewKind::FacilityTree), &db().obs);
  EXPECT_TRUE(isSummaryKind(ViewKind::ResourceSummary));
  EXPECT_FALSE(isSummaryKind(ViewKind::Activities));
}

TEST_F(GridTest, FindCodesInEachSheetsIndex) {
  ASSERT_EQ(addClass(0, "10"), 0);
  ASSERT_EQ(addClass(0, "1001"), 0);
  ASSERT_EQ(addClass(1, "F01"), 0);
  ASSERT_EQ(addResource("R1"), 0);
  ASSERT_EQ(addActivity("A1", "one"), 0);
  ASSERT_EQ(addActivity("A2", "two"), 0);
  ASSERT_EQ(addRelation("A1", "A2"), 0);

  const uint32_t wbs = findCodeRecord(&db(), ViewKind::WorkTypeSheet, "1001");
  ASSERT_NE(wbs, XJOR_NONE);
  WbsRecord w;
  std::string buf(db().wbs.tb.recordSize, '\0');
  db().wbs.tb.current = int32_t(wbs);
  ASSERT_TRUE(xGetRec(&db().wbs.tb, buf.data()));
  std::memcpy(&w, buf.data(), sizeof w);
  EXPECT_STREQ(w.code, "1001");
  EXPECT_EQ(findCodeRecord(&db(), ViewKind::WorkTypeSheet, "100"),
            XJOR_NONE);  // a prefix is not the code
  EXPECT_NE(findCodeRecord(&db(), ViewKind::FacilitySheet, "F01"), XJOR_NONE);
  EXPECT_EQ(findCodeRecord(&db(), ViewKind::FacilitySheet, "10"),
            XJOR_NONE);  // other classification
  EXPECT_NE(findCodeRecord(&db(), ViewKind::Resources, "R1"), XJOR_NONE);
  EXPECT_EQ(findCodeRecord(&db(), ViewKind::Resources, ""), XJOR_NONE);
  EXPECT_NE(findCodeRecord(&db(), ViewKind::Activities, "A2"), XJOR_NONE);
  EXPECT_EQ(findCodeRecord(&db(), ViewKind::Activities, "A3"), XJOR_NONE);
  EXPECT_NE(findCodeRecord(&db(), ViewKind::Relations, "A1", "A2"), XJOR_NONE);
  EXPECT_EQ(findCodeRecord(&db(), ViewKind::Relations, "A2", "A1"), XJOR_NONE);
  EXPECT_EQ(findCodeRecord(&db(), ViewKind::Crews, "R1"), XJOR_NONE);  // crews have no finder
  // A code longer than the field is cut, never read past.
  EXPECT_EQ(findCodeRecord(&db(), ViewKind::Activities, "A2345678901234567890123456789"),
            XJOR_NONE);
}

TEST_F(GridTest, SpecialActivitiesByClassInCodeOrder) {
  ASSERT_EQ(addActivity("S2", "start two", 5, 0x8000), 0);
  ASSERT_EQ(addActivity("S1", "start one", 5, 0x8000), 0);
  ASSERT_EQ(addActivity("E1", "end", 5, 0x4000), 0);
  ASSERT_EQ(addActivity("I1", "alone", 5, 0xC000), 0);
  ASSERT_EQ(addActivity("M1", "milestone", 0, 0, 1), 0);
  ASSERT_EQ(addActivity("T1", "shared", 5, 0, 2), 0);
  auto codes = [&](SpecialClass c) {
    std::string out;
    for (const FoundActivity& f : specialActivities(&db(), c)) out += f.code + " ";
    return out;
  };
  EXPECT_EQ(codes(SpecialClass::Start), "S1 S2 ");
  EXPECT_EQ(codes(SpecialClass::End), "E1 ");
  EXPECT_EQ(codes(SpecialClass::Independent), "I1 ");
  EXPECT_EQ(codes(SpecialClass::Milestone), "M1 ");
  EXPECT_EQ(codes(SpecialClass::TimeShared), "T1 ");
  EXPECT_EQ(specialActivities(&db(), SpecialClass::Start)[0].title, "start one");
}

TEST_F(GridTest, RowTextsAreBuiltFromTheRecordsWithoutTheCurrentRecord) {
  ASSERT_EQ(addActivity("A1", "work", 5), 0);
  ASSERT_EQ(addActivity("M1", "milestone", 0, 0, 1), 0);
  TableBinding* act = sheetTable(&db(), ViewKind::Activities);
  const TableHandle& tb = act->tb;
  int code = -1, start = -1, finish = -1;
  for (int i = 0; i < tb.fieldCount; ++i) {
    if (tb.fields[i].offset == offsetof(ActRecord, code)) code = i;
    if (tb.fields[i].offset == offsetof(ActRecord, start)) start = i;
    if (tb.fields[i].offset == offsetof(ActRecord, finish)) finish = i;
  }
  ASSERT_TRUE(code >= 0 && start >= 0 && finish >= 0);

  // The milestone stored as the analysis leaves it: its finish the day
  // before its start.
  SheetRows rows;
  ASSERT_TRUE(rows.open(act, "", nullptr));
  std::string bytes(tb.recordSize, '\0');
  ASSERT_TRUE(rows.read(1, bytes.data()));
  ActRecord m;
  std::memcpy(&m, bytes.data(), sizeof m);
  m.start = kelvo_test::day(2026, 3, 10);
  m.finish = kelvo_test::day(2026, 3, 9);
  std::memcpy(bytes.data(), &m, sizeof m);
  db().act.tb.current = int32_t(rows.record(1));
  ASSERT_TRUE(xPutRec(&db().act.tb, bytes.data()));

  // Reading rows leaves the dispatch's current record where it was.
  db().act.tb.current = int32_t(rows.record(0));
  const std::vector<int> fields = {code, start, finish};
  std::vector<SheetRowText> built =
      buildSheetRows(rows, ViewKind::Activities, db().space.refHandle, 0, 5, fields);
  EXPECT_EQ(db().act.tb.current, int32_t(rows.record(0)));
  ASSERT_EQ(built.size(), 2u) << "only the rows that exist";
  EXPECT_EQ(built[1].record, rows.record(1));
  EXPECT_EQ(built[1].cells[0], "M1");
  EXPECT_EQ(built[1].cells[2], built[1].cells[1]) << "a milestone's finish shows as its start";
  EXPECT_FALSE(built[1].cells[1].empty());

  // Sheets of other data show the stored finish; the record is unchanged.
  const std::string relationSheet =
      sheetCellText(tb, ViewKind::Relations, db().space.refHandle, bytes.data(), finish);
  EXPECT_NE(relationSheet, built[1].cells[1]);
  EXPECT_EQ(sheetCellText(tb, ViewKind::GanttTable, -1, bytes.data(), finish), built[1].cells[1]);
  EXPECT_EQ(std::memcmp(bytes.data() + offsetof(ActRecord, finish), &m.finish, 2), 0);
  EXPECT_EQ(sheetCellText(tb, ViewKind::Activities, -1, bytes.data(), tb.fieldCount), "");

  // A deleted record's row stays, empty and marked gone.
  db().act.tb.current = int32_t(rows.record(0));
  ASSERT_EQ(doc_->deleteRecord(ViewKind::Activities).ok, true);
  built = buildSheetRows(rows, ViewKind::Activities, -1, 0, 2, fields);
  ASSERT_EQ(built.size(), 2u);
  EXPECT_FALSE(built[0].live);
  EXPECT_EQ(built[0].cells, std::vector<std::string>(3));
  EXPECT_TRUE(built[1].live);
}
