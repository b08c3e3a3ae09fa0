// The external editor for the data sheets: a view sent out as a workbook,
// and edited workbooks read back into the project.
#include <xlsxwriter.h>

#include <thread>

#include "kvsheet.h"
#include "sheet_fixture.h"

namespace {

class EditorTest : public SheetTest {
 protected:
  void SetUp() override {
    SheetTest::SetUp();
    db_ = NewDb();
    FillProject(db_);
    fs::create_directory(root_ / "sent");
  }

  kvconv::Outcome Call(int ordinal, int kind, std::vector<XKvEditorColumn> columns,
                       XKvEditorData& data, TableBinding* table = nullptr) {
    cols_ = {static_cast<int32_t>(columns.size()), columns.data()};
    XKvRequest r{};
    r.path = &data;
    r.viewKind = static_cast<int16_t>(kind);
    r.database = db_;
    r.scheme = &scheme_;
    r.columns = &cols_;
    r.info = table;
    return kvconv::editorCall(*settings_, KELVO_BIN_DIR, ordinal, r);
  }

  // A one-sheet workbook: the sheet's name, row 2 headers, rows from 3.
  std::string Book(const char* sheet, std::vector<std::vector<const char*>> rows) {
    const std::string path = Path(std::string("edit") + std::to_string(++books_) + ".xlsx");
    lxw_workbook* wb = workbook_new(path.c_str());
    lxw_worksheet* ws = workbook_add_worksheet(wb, sheet);
    for (size_t r = 0; r < rows.size(); ++r)
      for (size_t c = 0; c < rows[r].size(); ++c)
        if (rows[r][c]) worksheet_write_string(ws, r + 1, c + 1, rows[r][c], nullptr);
    EXPECT_EQ(workbook_close(wb), LXW_NO_ERROR);
    return path;
  }

  std::string Read(const std::string& path, int kind, std::vector<XKvEditorColumn> columns,
                   bool rebuild, int32_t* result, XKvEditorData* out = nullptr) {
    XKvEditorData data{};
    data.workbook = path.c_str();
    data.rebuild = rebuild;
    data.projectStart = Day(2024, 3, 4);
    *result = Call(XKV_IMP_TB, kind, columns, data).result;
    if (out) *out = data;
    return data.problem;
  }

  ProjectDb* db_ = nullptr;
  XKvEditorColumns cols_{};
  int books_ = 0;
};

TEST_F(EditorTest, SendWritesTheViewsColumnsAndRows) {
  XKvEditorData data{};
  const std::string folder = (root_ / "sent").string();
  data.folder = folder.c_str();
  // Resources in the view's order: R2 first; a column titled by the view,
  // one by its field, one whose field the table lacks.
  const int32_t order[] = {1, 0};
  data.records = order;
  data.recordCount = 2;
  ASSERT_EQ(Call(XKV_EXP_TB, 2, {{1, "Name"}, {0, ""}, {99, "none"}, {3, ""}}, data).result, 1);
  EXPECT_EQ(std::string(data.sent), folder + "/자원.xlsx");
  const std::string sheet = Member(data.sent, "xl/worksheets/sheet1.xml");
  EXPECT_NE(sheet.find("<t>[Name]</t>"), std::string::npos);
  EXPECT_NE(sheet.find("<t>[자원코드]</t>"), std::string::npos);
  EXPECT_EQ(sheet.find("none"), std::string::npos);
  EXPECT_NE(sheet.find("<c r=\"C3\" s=\"1\" t=\"inlineStr\"><is><t>R2</t>"), std::string::npos);
  EXPECT_NE(sheet.find("<c r=\"C4\" s=\"1\" t=\"inlineStr\"><is><t>R1</t>"), std::string::npos);

  // A second send keeps the first workbook; the newest comes first.
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  data.records = nullptr;
  ASSERT_EQ(Call(XKV_EXP_TB, 14, {{0, ""}, {2, ""}}, data).result, 1);
  EXPECT_EQ(std::string(data.sent), folder + "/작업.xlsx");
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  ASSERT_EQ(Call(XKV_EXP_TB, 2, {{0, ""}}, data).result, 1);
  EXPECT_EQ(std::string(data.sent), folder + "/자원 (2).xlsx");
  const auto recent = kvsheet::recentWorkbooks(folder);
  ASSERT_EQ(recent.size(), 3u);
  EXPECT_EQ(recent[0], folder + "/자원 (2).xlsx");
  EXPECT_EQ(recent[2], folder + "/자원.xlsx");
  // Kinds without a data sheet are not sent.
  EXPECT_EQ(Call(XKV_EXP_TB, 9, {{0, ""}}, data).message, XKV_MSG_FAILED);
}

TEST_F(EditorTest, ReadUpdatesShownColumnsAndAddsTheRest) {
  int32_t result = 0;
  XKvEditorData data;
  // Work types: codes and titles shown; A1001's quantity and unit price are
  // not in the sheet and stay.
  const std::string wbs = Book("공종 분류", {{"[공종코드]", "[공종명]"},
                                             {"A1001", "바뀐 이름"},
                                             {"A1003", "새 공종"},
                                             {nullptr, "after the end"},
                                             {"B2002", "not read"}});
  EXPECT_EQ(Read(wbs, 0, {{0, ""}, {1, ""}}, false, &result, &data), "");
  EXPECT_EQ(result, 1);
  EXPECT_EQ(data.updated, 1);
  EXPECT_EQ(data.added, 1);
  EXPECT_EQ(db_->wbs.tb.liveCount, 6u);
  const std::string dump = Dump(db_->wbs);
  EXPECT_NE(dump.find("A1001|\xB9\xD9\xB2\xEF \xC0\xCC\xB8\xA7|||12.500|1,000|"), std::string::npos)
      << dump;
  EXPECT_NE(dump.find("A1003|"), std::string::npos);
  EXPECT_EQ(dump.find("B2002"), std::string::npos);

  // Rows the store refuses are skipped and counted: a resource whose code
  // is cut to 10 bytes of Hangul at a character boundary is new.
  const std::string res =
      Book("자원", {{"[자원코드]", "[단위]"}, {"R1", "KG"}, {"가나다라마바사", "M"}});
  EXPECT_EQ(Read(res, 2, {{0, ""}, {3, ""}}, false, &result, &data), "");
  EXPECT_EQ(data.updated, 1);
  EXPECT_EQ(data.added, 1);
  EXPECT_NE(Dump(db_->res).find("\xB0\xA1\xB3\xAA\xB4\xD9\xB6\xF3\xB8\xB6|||M|"), std::string::npos)
      << Dump(db_->res);
}

TEST_F(EditorTest, ReadRefusesWorkbooksThatDoNotFit) {
  int32_t result = 0;
  EXPECT_EQ(Read("", 2, {{0, ""}}, false, &result), "");
  EXPECT_EQ(result, -1);  // the choice was cancelled
  const std::string other = Book("작업", {{"[작업코드]"}, {"X"}});
  EXPECT_NE(Read(other, 2, {{0, ""}}, false, &result), "");
  EXPECT_EQ(result, 0);
  // With "rebuild", one bad row leaves everything as it was.
  const std::string dup = Book("자원", {{"[자원코드]"}, {"R7"}, {"R8"}, {"R7"}});
  EXPECT_EQ(Read(dup, 2, {{0, ""}}, true, &result), "row 5: code repeated");
  EXPECT_EQ(result, 0);
  EXPECT_EQ(db_->res.tb.liveCount, 2u);
  EXPECT_EQ(db_->crw.tb.liveCount, 1u);
  EXPECT_EQ(db_->opr.tb.liveCount, 1u);
  const std::string noKey = Book("자원", {{"[자원명]"}, {"x"}});
  EXPECT_NE(Read(noKey, 2, {{1, ""}}, true, &result), "");
  EXPECT_EQ(result, 0);
  // A sound sheet rebuilds the resources and drops their crews and details.
  const std::string good = Book("자원", {{"[자원코드]"}, {"R7"}, {"R8"}});
  XKvEditorData data;
  EXPECT_EQ(Read(good, 2, {{0, ""}}, true, &result, &data), "");
  EXPECT_EQ(result, 1);
  EXPECT_EQ(data.added, 2);
  EXPECT_EQ(db_->res.tb.liveCount, 2u);
  EXPECT_EQ(db_->crw.tb.liveCount, 0u);
  EXPECT_EQ(db_->opr.tb.liveCount, 0u);
  EXPECT_EQ(db_->act.tb.liveCount, 4u);
}

TEST_F(EditorTest, RebuildKeepsEverythingWhenTheStoreWouldRefuseARow) {
  // Each sheet passes the reader's own checks, but one row breaks a rule
  // only the store knows: nothing may be emptied.
  struct Case {
    int kind;
    const char* sheet;
    std::vector<XKvEditorColumn> columns;
    std::vector<std::vector<const char*>> rows;
    const char* problem;
  } cases[] = {
      {4,
       "작업",
       {{0, ""}, {26, ""}, {27, ""}},
       {{"[c]", "[w]", "[o]"}, {"N1", "A1001", "101"}, {"N2", "ZZZZZ", "102"}},
       "row 4: message 20032"},
      {4,
       "작업",
       {{0, ""}, {26, ""}, {27, ""}},
       {{"[c]", "[w]", "[o]"}, {"N1", "A1001", "101"}, {"N2", "A1001", "101"}},
       "row 4: message 21025"},
      {5,
       "선후행 관계",
       {{0, ""}, {1, ""}},
       {{"[p]", "[s]"}, {"ACT-1", "NONE"}},
       "row 3: message 20006"},
      {6,
       "세부 작업조",
       {{0, ""}, {1, ""}},
       {{"[a]", "[r]"}, {"ACT-1", "R9"}},
       "row 3: message 20033"},
      {0, "공종 분류", {{0, ""}}, {{"[c]"}, {"A1"}, {"C1001"}}, "row 4: message 20009"},
  };
  auto workFiles = [&] {
    return std::distance(fs::directory_iterator(root_ / "work"), fs::directory_iterator());
  };
  const auto files = workFiles();
  for (const Case& c : cases) {
    int32_t result = 0;
    EXPECT_EQ(Read(Book(c.sheet, c.rows), c.kind, c.columns, true, &result), c.problem) << c.sheet;
    EXPECT_EQ(result, 0);
    EXPECT_EQ(db_->wbs.tb.liveCount, 5u);
    EXPECT_EQ(db_->act.tb.liveCount, 4u);
    EXPECT_EQ(db_->rel.tb.liveCount, 2u);
    EXPECT_EQ(db_->opr.tb.liveCount, 1u);
    EXPECT_EQ(db_->crw.tb.liveCount, 1u);
    EXPECT_EQ(db_->spa.count, 1u);
  }
  EXPECT_EQ(workFiles(), files);  // the copies are gone
  char report[256] = {};
  EXPECT_EQ(xCheckIndexes(db_, report, sizeof report), 1) << report;

  // The same sheet without the bad row rebuilds the activities.
  int32_t result = 0;
  XKvEditorData data;
  EXPECT_EQ(Read(Book("작업", {{"[c]", "[w]", "[o]"}, {"N1", "A1001", "101"}}), 4,
                 {{0, ""}, {26, ""}, {27, ""}}, true, &result, &data),
            "");
  EXPECT_EQ(result, 1);
  EXPECT_EQ(data.added, 1);
  EXPECT_EQ(db_->act.tb.liveCount, 1u);
  EXPECT_EQ(db_->rel.tb.liveCount, 0u);
  EXPECT_EQ(xCheckIndexes(db_, report, sizeof report), 1) << report;
}

TEST_F(EditorTest, TextDatesAreReadAndBadOnesReported) {
  int32_t result = 0;
  XKvEditorData data;
  const std::string act = Book("작업", {{"[c]", "[start]"},
                                        {"ACT-1", "2026-03-05"},
                                        {"ACT-2", "20260306"},
                                        {"ACT-3", "2026/03/09"},
                                        {"ACT-4", "2026-02-30"}});
  EXPECT_EQ(Read(act, 4, {{0, ""}, {4, ""}}, false, &result, &data),
            "row 6: not a date in column C");
  EXPECT_EQ(result, 1);
  EXPECT_EQ(data.updated, 3);
  EXPECT_EQ(data.refused, 1);
  std::vector<char> rec(db_->act.tb.recordSize);
  for (const auto& [slot, day] : {std::pair{0, Day(2026, 3, 5)}, std::pair{1, Day(2026, 3, 6)},
                                  std::pair{2, Day(2026, 3, 9)}}) {
    db_->act.tb.current = slot;
    ASSERT_EQ(xGetRec(&db_->act.tb, rec.data()), 1);
    EXPECT_EQ(reinterpret_cast<const ActRecord*>(rec.data())->start, day) << slot;
  }
}

// A title with a control character, a text that reads as an escape and
// bytes that are no CP949 (a stray 0xFF, a lead byte cut off at the end) is
// sent without the bad bytes, the cell named, and read back as sent.
TEST_F(EditorTest, SentTextsComeBackAsTheyWere) {
  std::vector<char> rec(db_->wbs.tb.recordSize);
  db_->wbs.tb.current = 1;
  ASSERT_EQ(xGetRec(&db_->wbs.tb, rec.data()), 1);
  auto* w = reinterpret_cast<WbsRecord*>(rec.data());
  ASSERT_STREQ(w->code, "A1001");
  strcpy(w->title, "\xB0\xA1\x0b_x0041_\xFF\xB3\xAA\xB0");
  ASSERT_EQ(xPutRec(&db_->wbs.tb, rec.data()), 1);

  XKvEditorData sent{};
  const std::string folder = (root_ / "sent").string();
  sent.folder = folder.c_str();
  ASSERT_EQ(Call(XKV_EXP_TB, 0, {{0, ""}, {1, ""}}, sent).result, 1);
  EXPECT_STREQ(sent.problem, "row 4: text not in CP949 in column C");

  int32_t result = 0;
  EXPECT_EQ(Read(sent.sent, 0, {{0, ""}, {1, ""}}, false, &result), "");
  EXPECT_EQ(result, 1);
  EXPECT_NE(Dump(db_->wbs).find("A1001|\xB0\xA1\x0b_x0041_\xB3\xAA|"), std::string::npos)
      << Dump(db_->wbs);
}

TEST_F(EditorTest, GanttTableAndSummaryKinds) {
  // The Gantt window's table (14) is the activities' sheet.
  int32_t result = 0;
  XKvEditorData data;
  const std::string act = Book("작업", {{"[작업코드]", "[작업명]"}, {"ACT-1", "Renamed"}});
  EXPECT_EQ(Read(act, 14, {{0, ""}, {1, ""}}, false, &result, &data), "");
  EXPECT_EQ(result, 1);
  EXPECT_EQ(data.updated, 1);
  const std::string dump = Dump(db_->act);
  EXPECT_NE(dump.find("ACT-1|Renamed|5|"), std::string::npos) << dump;

  // A summary window (15 as 7) sends the table it shows; its sheet is not
  // read back here.
  const std::string folder = (root_ / "sent").string();
  data = {};
  data.folder = folder.c_str();
  ASSERT_EQ(Call(XKV_EXP_TB, 15, {{0, ""}, {2, "Days"}}, data, &db_->act).result, 1);
  EXPECT_EQ(std::string(data.sent), folder + "/집계-작업.xlsx");
  EXPECT_NE(Member(data.sent, "xl/worksheets/sheet1.xml").find("<t>[Days]</t>"), std::string::npos);
  EXPECT_EQ(Read(data.sent, 15, {{0, ""}}, false, &result),
            "this window's data cannot be read back");
  EXPECT_EQ(result, 0);
}

}  // namespace
