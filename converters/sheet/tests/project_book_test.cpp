// Whole projects out to workbooks and back, through the registry and loader
// the main program uses, and the workbooks an import must refuse or cut.
#include <xlsxwriter.h>

#include "sheet_fixture.h"

namespace {

const char* const kSheets[] = {"프로젝트 정보", "공종 분류",   "시설 분류", "자원",       "작업",
                               "시분할 작업",   "선후행 관계", "작업조",    "세부 작업조"};

// A workbook of the given sheet names, nothing in them.
void EmptyBook(const std::string& path, std::initializer_list<const char*> names) {
  lxw_workbook* wb = workbook_new(path.c_str());
  for (const char* n : names) workbook_add_worksheet(wb, n);
  ASSERT_EQ(workbook_close(wb), LXW_NO_ERROR);
}

TEST_F(SheetTest, RoundTripKeepsEveryTable) {
  ProjectDb* a = NewDb();
  FillProject(a);
  const std::string first = Path("Plan.xlsx");
  ASSERT_EQ(Export(a, first).message, 0);
  EXPECT_TRUE(fs::exists(Path("Plan.opt")));

  ProjectDb* b = nullptr;
  XKvScheme scheme{};
  char info[XQD_INFO_SIZE];
  ASSERT_EQ(Import(first, &b, &scheme, info).message, 0);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(memcmp(&scheme, &scheme_, sizeof scheme), 0);
  const PrjInfo* in = reinterpret_cast<const PrjInfo*>(info);
  const PrjInfo* out = reinterpret_cast<const PrjInfo*>(info_);
  EXPECT_STREQ(in->code, out->code);
  EXPECT_STREQ(in->title, out->title);
  EXPECT_EQ(in->start, out->start);
  EXPECT_EQ(in->finish, out->finish);
  EXPECT_EQ(in->dataDate, out->dataDate);
  for (auto t : {&ProjectDb::wbs, &ProjectDb::obs, &ProjectDb::res, &ProjectDb::crw,
                 &ProjectDb::act, &ProjectDb::rel, &ProjectDb::opr}) {
    EXPECT_FALSE(Dump(a->*t).empty());
    EXPECT_EQ(Dump(a->*t), Dump(b->*t));
  }
  EXPECT_EQ(b->spa.count, 1u);

  // Exported again, the sheets hold the same cells.
  const std::string second = Path("Again.xlsx");
  ASSERT_EQ(Export(b, second).message, 0);
  for (int i = 1; i <= 9; ++i) {
    const std::string sheet = "xl/worksheets/sheet" + std::to_string(i) + ".xml";
    EXPECT_EQ(Member(first, sheet), Member(second, sheet)) << sheet;
  }
}

TEST_F(SheetTest, ImportWidensFieldsAndKeepsUserFields) {
  // Activities with a widened title and two user fields, one number and
  // one text.
  ProjectDb* a = NewDb();
  FillProject(a);
  FieldList fl{};
  ASSERT_EQ(xTb2Fld(&fl, &a->act.tb), 1);
  char name[32];
  int32_t type, width, decimals;
  uint32_t flags;
  xGetFld(&fl, 1, name, &type, &flags, &width, &decimals);
  ASSERT_NE(flags & 0x80000000u, 0u);  // the title may be widened
  xModFld(&fl, 1, name, type, flags, 80, decimals);
  ASSERT_GT(xAddFld(&fl, -1, "RATE", XF_DOUBLE, XF_PLAIN, 8, 2), 0);
  ASSERT_GT(xAddFld(&fl, -1, "NOTE", XF_STRING, XF_PLAIN, 30, 0), 0);
  ASSERT_EQ(xModFldStr(&a->act.tb, &fl), 1);
  xFreeBuffer(fl.fields);
  std::vector<char> rec(a->act.tb.recordSize);
  a->act.tb.current = 0;
  ASSERT_EQ(xGetRec(&a->act.tb, rec.data()), 1);
  const std::string title(75, 'T');
  xSetValue(a->act.tb.fields, ref_, title.c_str(), rec.data(), 1);
  xSetValue(a->act.tb.fields, ref_, "12.25", rec.data(), a->act.tb.fieldCount - 2);
  xSetValue(a->act.tb.fields, ref_, "\xB8\xDE\xB8\xF0", rec.data(), a->act.tb.fieldCount - 1);
  ASSERT_EQ(xPutRec(&a->act.tb, rec.data()), 1);

  const std::string path = Path("Plan.xlsx");
  ASSERT_EQ(Export(a, path).message, 0);
  ProjectDb* b = nullptr;
  XKvScheme scheme{};
  char info[XQD_INFO_SIZE];
  ASSERT_EQ(Import(path, &b, &scheme, info).message, 0);
  ASSERT_EQ(b->act.tb.fieldCount, a->act.tb.fieldCount);
  EXPECT_STREQ(b->act.tb.fields[a->act.tb.fieldCount - 2].name, "RATE");
  EXPECT_EQ(Dump(b->act), Dump(a->act));
  EXPECT_NE(Dump(b->act).find(title + "|"), std::string::npos);
}

TEST_F(SheetTest, WorkbookLayout) {
  ProjectDb* a = NewDb();
  FillProject(a);
  const std::string path = Path("Plan.xlsx");
  ASSERT_EQ(Export(a, path).message, 0);
  const std::string book = Member(path, "xl/workbook.xml");
  size_t at = 0;
  for (const char* name : kSheets) {
    const size_t found = book.find(std::string("name=\"") + name + "\"", at);
    ASSERT_NE(found, std::string::npos) << name;
    at = found;
  }
  // Number formats by field type: quantities with 3 decimals, prices and
  // integers without, dates in the date form, texts as text.
  const std::string styles = Member(path, "xl/styles.xml");
  // A number with 2 decimals (the contract weight) gets "#,##0.00_ ".
  for (const char* code : {"#,##0.000_ ", "#,##0.00_ ", "#,##0_ ", "yyyy-mm-dd", "@"})
    EXPECT_NE(styles.find(std::string("formatCode=\"") + code + "\""), std::string::npos) << code;
  // Level headers of the work types (levels 2 and 3 long) and "[%s]" field
  // headers; a code cut into its level parts.
  const std::string wbs = Member(path, "xl/worksheets/sheet2.xml");
  EXPECT_NE(wbs.find("<c r=\"B2\" s=\"1\" t=\"inlineStr\"><is><t>#1[Level 1]2</t>"),
            std::string::npos);
  EXPECT_NE(wbs.find("#2[Level 2]3"), std::string::npos);
  EXPECT_NE(wbs.find("<t>[공종명]</t>"), std::string::npos);
  EXPECT_NE(wbs.find("<c r=\"B4\" s=\"1\" t=\"inlineStr\"><is><t>A1</t></is></c>"
                     "<c r=\"C4\" s=\"1\" t=\"inlineStr\"><is><t>001</t>"),
            std::string::npos);
  // Quantities are numbers, dates are date serials.
  const std::string act = Member(path, "xl/worksheets/sheet5.xml");
  EXPECT_NE(act.find("<v>100.125</v>"), std::string::npos);
  EXPECT_NE(act.find("<v>45355</v>"), std::string::npos);  // 2024-03-04
  EXPECT_NE(act.find("<col "), std::string::npos);         // sized columns
}

TEST_F(SheetTest, RefusedWorkbooks) {
  char info[XQD_INFO_SIZE];
  auto getInfo = [&](const std::string& path) {
    ProjectDb* b = nullptr;
    XKvScheme scheme{};
    const kvconv::Outcome o = Import(path, &b, &scheme, info);
    EXPECT_EQ(b, nullptr) << path;  // refused before a project was made
    return o;
  };
  EmptyBook(Path("eight.xlsx"), {"프로젝트 정보", "a", "b", "c", "d", "e", "f", "g"});
  EXPECT_EQ(getInfo(Path("eight.xlsx")).message, XKV_MSG_FAILED);
  EmptyBook(Path("other.xlsx"), {"Sheet1", "공종 분류", "시설 분류", "자원", "작업", "시분할 작업",
                                 "선후행 관계", "작업조", "세부 작업조"});
  EXPECT_EQ(getInfo(Path("other.xlsx")).message, XKV_MSG_FAILED);
  { std::ofstream(Path("text.xlsx")) << "not a zip"; }
  EXPECT_EQ(getInfo(Path("text.xlsx")).message, XKV_MSG_FAILED);
  ReplaceMember(Path("nobook.xlsx"), "docProps/app.xml", "<x/>");
  EXPECT_EQ(getInfo(Path("nobook.xlsx")).message, XKV_MSG_FAILED);
  // The project code in C2 is a shared string that the workbook lost.
  {
    lxw_workbook* wb = workbook_new(Path("shared.xlsx").c_str());
    for (const char* n : kSheets) workbook_add_worksheet(wb, n);
    worksheet_write_string(workbook_get_worksheet_by_name(wb, kSheets[0]), 1, 2, "P-9", nullptr);
    ASSERT_EQ(workbook_close(wb), LXW_NO_ERROR);
  }
  Patch(Path("shared.xlsx"), "xl/sharedStrings.xml", "<si>.*</si>", "");
  testing::internal::CaptureStderr();
  EXPECT_EQ(getInfo(Path("shared.xlsx")).message, XKV_MSG_FAILED);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("cell C2: shared string"),
            std::string::npos);

  // Nine empty sheets make a project with the defaults: the reference date
  // 1 January of this year, start at it, finish 31 December.
  EmptyBook(Path("nine.xlsx"), {"프로젝트 정보", "공종 분류", "시설 분류", "자원", "작업",
                                "시분할 작업", "선후행 관계", "작업조", "세부 작업조"});
  ProjectDb* b = nullptr;
  XKvScheme scheme{};
  ASSERT_EQ(Import(Path("nine.xlsx"), &b, &scheme, info).message, 0);
  const PrjInfo* pi = reinterpret_cast<const PrjInfo*>(info);
  const int year = xjor::packedYear(xGetToday());
  EXPECT_EQ(pi->dataDate, Day(year, 1, 1));
  EXPECT_EQ(pi->start, pi->dataDate);
  EXPECT_EQ(pi->finish, Day(year, 12, 31));
  EXPECT_EQ(b->act.tb.liveCount, 0u);
}

TEST_F(SheetTest, ImportEdgeCases) {
  ProjectDb* a = NewDb();
  FillProject(a);
  const std::string path = Path("Plan.xlsx");
  ASSERT_EQ(Export(a, path).message, 0);
  // Start after finish: swapped.
  Patch(path, "xl/worksheets/sheet1.xml", "<v>45355</v>", "<v>46400</v>");
  // An empty B4 on the resources ends that sheet though row 4 goes on.
  Patch(path, "xl/worksheets/sheet4.xml", "<c r=\"B4\"[^>]*><is><t>[^<]*</t></is></c>", "");
  // The relations sheet renamed: skipped, the import goes on.
  Patch(path, "xl/workbook.xml", "name=\"선후행 관계\"", "name=\"Links\"");
  // A title of 40,000 Hangul characters widens the field to its most, 1024
  // bytes, and is cut there at a character boundary;
  // an activity whose title has a character CP949 lacks is refused.
  std::string longTitle;
  for (int i = 0; i < 40000; ++i) longTitle += "한";
  Patch(path, "xl/worksheets/sheet5.xml", "Activity ACT-1", longTitle);
  Patch(path, "xl/worksheets/sheet5.xml", "Activity ACT-2", "\xF0\x9F\x98\x80");

  ProjectDb* b = nullptr;
  XKvScheme scheme{};
  char info[XQD_INFO_SIZE];
  ASSERT_EQ(Import(path, &b, &scheme, info).message, 0);
  const PrjInfo* pi = reinterpret_cast<const PrjInfo*>(info);
  EXPECT_EQ(pi->start, Day(2024, 12, 31));
  EXPECT_EQ(pi->finish, Day(2027, 1, 13));
  EXPECT_EQ(b->res.tb.liveCount, 1u);
  EXPECT_EQ(b->rel.tb.liveCount, 0u);
  EXPECT_EQ(b->act.tb.liveCount, 3u);
  EXPECT_EQ(b->crw.tb.liveCount, 1u);  // its resource R1 is there
  EXPECT_EQ(b->opr.tb.liveCount, 0u);  // R2 is not
  ActCodeEntry key{};
  strcpy(key.code, "ACT-1");
  ASSERT_EQ(xmSeek(&b->actCodes, &key), 1);
  ActCodeEntry found;
  memcpy(&found, b->actCodes.data + b->actCodes.current * b->actCodes.recordSize, sizeof found);
  b->act.tb.current = found.record;
  std::vector<char> rec(b->act.tb.recordSize);
  ASSERT_EQ(xGetRec(&b->act.tb, rec.data()), 1);
  const ActRecord* act = reinterpret_cast<const ActRecord*>(rec.data());
  EXPECT_EQ(strlen(act->title), 1024u);  // 512 two-byte characters
  EXPECT_EQ(memcmp(act->title, "\xC7\xD1", 2), 0);
}

}  // namespace

namespace {

// A million empty rows after the data of the information and resource
// sheets: the reading stops at the first of them.
TEST_F(SheetTest, MillionEmptyRowsEndTheSheets) {
  ProjectDb* a = NewDb();
  FillProject(a);
  const std::string path = Path("Plan.xlsx");
  ASSERT_EQ(Export(a, path).message, 0);
  for (const char* sheet : {"xl/worksheets/sheet1.xml", "xl/worksheets/sheet4.xml"}) {
    std::string xml = Member(path, sheet);
    std::string rows;
    for (int r = 20; r < 1000020; ++r) rows += "<row r=\"" + std::to_string(r) + "\"/>";
    const size_t end = xml.find("</sheetData>");
    ASSERT_NE(end, std::string::npos);
    xml.insert(end, rows);
    ReplaceMember(path, sheet, xml);
  }
  ProjectDb* b = nullptr;
  XKvScheme scheme{};
  char info[XQD_INFO_SIZE];
  ASSERT_EQ(Import(path, &b, &scheme, info).message, 0);
  EXPECT_EQ(b->res.tb.liveCount, 2u);
  EXPECT_EQ(b->act.tb.liveCount, 4u);
}

}  // namespace
