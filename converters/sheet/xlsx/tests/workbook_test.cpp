// The workbook reader against files of libxlsxwriter and hand-made
// packages: cell kinds, styles that mark dates, rich and inline text, and
// hostile files.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <xlsxwriter.h>
#include <zip.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <tuple>

#include "kvxlsx.h"

namespace fs = std::filesystem;
using kvxlsx::Cell;

namespace {

class XlsxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/xlsx_test_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
  }
  void TearDown() override { fs::remove_all(root_); }

  std::string Path(const std::string& name) const { return (root_ / name).string(); }

  // A zip of the given members (name -> content).
  std::string Zip(const std::string& name, const std::map<std::string, std::string>& members) {
    const std::string path = Path(name);
    int err = 0;
    zip_t* z = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    EXPECT_NE(z, nullptr);
    for (const auto& [member, content] : members) {
      zip_source_t* src = zip_source_buffer(z, content.data(), content.size(), 0);
      EXPECT_GE(zip_file_add(z, member.c_str(), src, ZIP_FL_OVERWRITE), 0);
    }
    EXPECT_EQ(zip_close(z), 0);
    return path;
  }

  // Every row of sheet i, columns A..E.
  std::map<uint32_t, std::vector<Cell>> Rows(kvxlsx::Workbook& wb, size_t sheet) {
    std::map<uint32_t, std::vector<Cell>> rows;
    EXPECT_TRUE(wb.readRows(sheet, 0, 5, [&](uint32_t r, const std::vector<Cell>& cells) {
      rows[r] = cells;
      return true;
    })) << wb.error();
    return rows;
  }

  fs::path root_;
};

const char kContentTypes[] =
    "<?xml version=\"1.0\"?><Types "
    "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"/>";
const char kPackageRels[] =
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
    "Target=\"/xl/workbook.xml\"/></Relationships>";
const char kWorkbookRels[] =
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
    "Target=\"sheets/one.xml\"/>"
    "<Relationship Id=\"rId2\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings\" "
    "Target=\"strings.xml\"/>"
    "<Relationship Id=\"rId3\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" "
    "Target=\"look.xml\"/></Relationships>";

std::map<std::string, std::string> HandMade(const std::string& sheet) {
  return {
      {"[Content_Types].xml", kContentTypes},
      {"_rels/.rels", kPackageRels},
      {"xl/_rels/workbook.xml.rels", kWorkbookRels},
      {"xl/workbook.xml",
       "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
       "xmlns:q=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
       "<workbookPr date1904=\"1\"/><sheets><sheet name=\"자원\" sheetId=\"1\" "
       "q:id=\"rId1\"/></sheets></workbook>"},
      {"xl/strings.xml",
       "<sst><si><r><t>가</t></r><r><rPr/><t xml:space=\"preserve\">나 </t></r>"
       "<rPh><t>ga</t></rPh></si><si><t>plain</t></si></sst>"},
      {"xl/look.xml",
       "<styleSheet><numFmts><numFmt numFmtId=\"170\" formatCode=\"[Red]&quot;d&quot;#,##0\"/>"
       "<numFmt numFmtId=\"171\" formatCode=\"yyyy\\-mm\\-dd\"/></numFmts>"
       "<cellXfs><xf numFmtId=\"0\"/><xf numFmtId=\"170\"/><xf numFmtId=\"171\"/>"
       "<xf numFmtId=\"14\"/></cellXfs></styleSheet>"},
      {"xl/sheets/one.xml", sheet},
  };
}

TEST_F(XlsxTest, ReadsCellKindsOfAHandMadePackage) {
  const std::string path =
      Zip("hand.xlsx",
          HandMade("<worksheet><sheetData>"
                   "<row r=\"2\"><c r=\"A2\" t=\"s\"><v>0</v></c><c r=\"B2\" t=\"inlineStr\"><is>"
                   "<r><t>in</t></r><r><t>line</t></r></is></c><c t=\"b\"><v>1</v></c>"
                   "<c r=\"D2\" s=\"1\"><v>1234.5</v></c><c r=\"E2\" s=\"2\"><v>43890</v></c></row>"
                   "<row r=\"5\"><c r=\"A5\" t=\"str\"><f>A2&amp;\"x\"</f><v>가x</v></c>"
                   "<c r=\"B5\"><f>1+1</f><v>2</v></c><c r=\"C5\" t=\"e\"><v>#DIV/0!</v></c>"
                   "<c r=\"D5\" s=\"3\"/><c r=\"E5\" t=\"d\"><v>2024-03-04T00:00:00</v></c>"
                   "<c r=\"ZZZZ5\"><v>9</v></c></row></sheetData></worksheet>"));
  kvxlsx::Workbook wb;
  ASSERT_TRUE(wb.open(path)) << wb.error();
  ASSERT_EQ(wb.sheetCount(), 1u);
  EXPECT_EQ(wb.sheetName(0), "자원");
  auto rows = Rows(wb, 0);
  ASSERT_EQ(rows.size(), 2u);
  const auto& a = rows[2];
  EXPECT_EQ(a[0].kind, Cell::Text);
  EXPECT_EQ(a[0].text, "가나 ");  // runs joined, the phonetic run left out
  EXPECT_EQ(a[1].text, "inline");
  EXPECT_EQ(a[2].kind, Cell::Bool);
  // A quoted "d" does not make a date format; an escaped date format does,
  // and the 1904 system moves it to the 1900 serials.
  EXPECT_EQ(a[3].kind, Cell::Number);
  EXPECT_EQ(a[3].number, 1234.5);
  EXPECT_EQ(a[4].kind, Cell::Date);
  EXPECT_EQ(a[4].number, 43890 + 1462);
  const auto& b = rows[5];
  EXPECT_EQ(b[0].text, "가x");  // cached formula results
  EXPECT_EQ(b[1].kind, Cell::Number);
  EXPECT_EQ(b[1].number, 2);
  EXPECT_EQ(b[2].kind, Cell::Error);
  EXPECT_EQ(b[3].kind, Cell::Empty);
  EXPECT_EQ(b[4].kind, Cell::Date);
  EXPECT_EQ(b[4].number, kvxlsx::serialOfDay(2024, 3, 4));
}

TEST_F(XlsxTest, ReadsWhatLibxlsxwriterWrites) {
  for (int constant = 0; constant < 2; ++constant) {
    const std::string path = Path("w" + std::to_string(constant) + ".xlsx");
    lxw_workbook_options opt = {static_cast<uint8_t>(constant), nullptr, 0};
    lxw_workbook* wb = workbook_new_opt(path.c_str(), &opt);
    lxw_worksheet* one = workbook_add_worksheet(wb, "프로젝트 정보");
    workbook_add_worksheet(wb, "둘");
    lxw_format* date = workbook_add_format(wb);
    format_set_num_format(date, "yyyy-mm-dd");
    worksheet_write_string(one, 1, 1, "[코드]", nullptr);
    worksheet_write_number(one, 1, 2, 0.1 + 0.2, nullptr);
    worksheet_write_number(one, 2, 1, 45355, date);
    worksheet_write_formula_num(one, 2, 2, "=1+2", nullptr, 3);
    ASSERT_EQ(workbook_close(wb), LXW_NO_ERROR);

    kvxlsx::Workbook r;
    ASSERT_TRUE(r.open(path)) << r.error();
    ASSERT_EQ(r.sheetCount(), 2u);
    EXPECT_EQ(r.sheetName(0), "프로젝트 정보");
    EXPECT_EQ(r.sheetName(1), "둘");
    auto rows = Rows(r, 0);
    EXPECT_EQ(rows[2][1].text, "[코드]") << constant;
    EXPECT_DOUBLE_EQ(rows[2][2].number, 0.1 + 0.2);  // written with 16 digits
    EXPECT_EQ(rows[3][1].kind, Cell::Date);
    EXPECT_EQ(rows[3][1].number, 45355);
    EXPECT_EQ(rows[3][2].number, 3);
  }
}

TEST_F(XlsxTest, RefusesWhatIsNoWorkbook) {
  kvxlsx::Workbook wb;
  const std::string text = Path("text.xlsx");
  FILE* f = fopen(text.c_str(), "w");
  fputs("Name,Code\n", f);
  fclose(f);
  EXPECT_FALSE(wb.open(text));
  EXPECT_NE(wb.error().find("zip"), std::string::npos);
  EXPECT_FALSE(wb.open(Path("missing.xlsx")));
  EXPECT_FALSE(wb.open(Zip("nobook.xlsx", {{"a.txt", "x"}})));
  EXPECT_EQ(wb.error(), "no workbook in the file");
  auto members = HandMade("<worksheet><sheetData><row r=\"1\"><c><v>1</v></c>");
  EXPECT_TRUE(wb.open(Zip("cut.xlsx", members)));
  EXPECT_FALSE(wb.readRows(0, 0, 1, [](uint32_t, const std::vector<Cell>&) { return true; }));
  EXPECT_NE(wb.error().find("ends early"), std::string::npos);
  EXPECT_EQ(wb.sheetName(5), "");
  EXPECT_FALSE(wb.readRows(5, 0, 1, [](uint32_t, const std::vector<Cell>&) { return true; }));
  const char junk[] = "PK\3\4 not really";
  EXPECT_FALSE(wb.openBuffer(junk, sizeof junk));
}

TEST_F(XlsxTest, MissingSharedStringsAreDamage) {
  // Inline strings and numbers need no shared strings at all.
  auto members = HandMade(
      "<worksheet><sheetData><row r=\"1\"><c t=\"inlineStr\"><is><t>x</t></is></c>"
      "<c><v>2</v></c></row></sheetData></worksheet>");
  members.erase("xl/strings.xml");
  kvxlsx::Workbook wb;
  ASSERT_TRUE(wb.open(Zip("inline.xlsx", members))) << wb.error();
  EXPECT_EQ(Rows(wb, 0)[1][0].text, "x");
  // A cell naming a shared string that is not there, even in a column not
  // asked for, or a workbook whose shared strings are gone: the read fails
  // and says where.
  const struct {
    const char* cell;
    bool withStrings;
    const char* error;
  } cases[] = {
      {"<c r=\"A1\" t=\"s\"><v>2</v></c>", true,
       "sheet \"자원\", cell A1: shared string \"2\" is not in the workbook (2 strings)"},
      {"<c r=\"AB7\" t=\"s\"><v>1.5</v></c>", true, "cell AB7: shared string \"1.5\""},
      {"<c r=\"C1\" t=\"s\"><v>0</v></c>", false, "(0 strings)"},
  };
  for (const auto& c : cases) {
    members = HandMade(std::string("<worksheet><sheetData><row r=\"") +
                       (strstr(c.cell, "AB7") ? "7" : "1") + "\">" + c.cell +
                       "</row></sheetData></worksheet>");
    if (!c.withStrings) members.erase("xl/strings.xml");
    ASSERT_TRUE(wb.open(Zip("bad.xlsx", members))) << wb.error();
    EXPECT_FALSE(wb.readRows(0, 0, 1, [](uint32_t, const std::vector<Cell>&) { return true; }));
    EXPECT_NE(wb.error().find(c.error), std::string::npos) << wb.error();
  }
}

TEST_F(XlsxTest, CapsMembersAndLongTexts) {
  // 40,000 Hangul characters in one cell are kept up to the cell limit, cut
  // between characters; a run after the cut is not added behind it.
  std::string longText;
  for (int i = 0; i < 40000; ++i) longText += "한";
  std::string sheet = "<worksheet><sheetData><row r=\"3\"><c t=\"inlineStr\"><is><t>" + longText +
                      "</t></is></c></row><row r=\"4\"><c t=\"inlineStr\"><is><r><t>" + longText +
                      "</t></r><r><t>x</t></r></is></c></row>";
  for (int i = 5; i < 200000; ++i) sheet += "<row r=\"" + std::to_string(i) + "\"/>";
  sheet += "</sheetData></worksheet>";
  kvxlsx::Workbook wb;
  ASSERT_TRUE(wb.open(Zip("big.xlsx", HandMade(sheet))));
  uint32_t seen = 0;
  ASSERT_TRUE(wb.readRows(0, 0, 1, [&](uint32_t r, const std::vector<Cell>& c) {
    if (r == 3 || r == 4) {
      EXPECT_EQ(c[0].text.size(), 65535u) << r;  // 21,845 three-byte characters
      EXPECT_EQ(c[0].text.substr(0, 3), "한");
      EXPECT_EQ(c[0].text.substr(65532), "한") << r;
    }
    ++seen;
    return r < 10;  // the caller stops early
  }));
  EXPECT_EQ(seen, 8u);

  kvxlsx::Limits small;
  small.sharedBytes = 40;  // the two shared strings and their overhead are more
  EXPECT_FALSE(wb.open(Zip("big.xlsx", HandMade(sheet)), small));
  EXPECT_NE(wb.error().find("too many shared strings"), std::string::npos);
  // A run of blanks the XML reader would hold whole, and elements nested
  // without end: both stop the read early, whatever the member's size.
  std::string blanks = "<worksheet><sheetData><row r=\"3\"><c t=\"inlineStr\"><is><t>";
  blanks.append(5 << 20, ' ');
  std::string deep = "<worksheet><sheetData><row r=\"3\"><c t=\"inlineStr\"><is>";
  for (int i = 0; i < 200; ++i) deep += "<r>";
  for (const auto& [name, sheetText, why] :
       {std::tuple{"blanks", blanks, "more than 4 MB in one piece of XML"},
        std::tuple{"deep", deep, "elements nested deeper than 100"}}) {
    ASSERT_TRUE(wb.open(Zip(std::string(name) + ".xlsx", HandMade(sheetText))));
    EXPECT_FALSE(wb.readRows(0, 0, 1, [](uint32_t, const std::vector<Cell>&) { return true; }));
    EXPECT_NE(wb.error().find(why), std::string::npos) << wb.error();
  }
  small = {};
  small.memberBytes = 100000;
  ASSERT_TRUE(wb.open(Zip("big.xlsx", HandMade(sheet)), small));
  EXPECT_FALSE(wb.readRows(0, 0, 1, [](uint32_t, const std::vector<Cell>&) { return true; }));
  EXPECT_NE(wb.error().find("too large"), std::string::npos);
}

TEST(XlsxDates, SerialsOfDays) {
  EXPECT_EQ(kvxlsx::serialOfDay(1900, 3, 1), 61);
  EXPECT_EQ(kvxlsx::serialOfDay(2024, 3, 4), 45355);
  int y, m, d;
  ASSERT_TRUE(kvxlsx::dayOfSerial(45355.75, &y, &m, &d));
  EXPECT_EQ(y * 10000 + m * 100 + d, 20240304);
  ASSERT_TRUE(kvxlsx::dayOfSerial(kvxlsx::serialOfDay(2079, 12, 31), &y, &m, &d));
  EXPECT_EQ(y * 10000 + m * 100 + d, 20791231);
  EXPECT_FALSE(kvxlsx::dayOfSerial(60, &y, &m, &d));
  EXPECT_FALSE(kvxlsx::dayOfSerial(1e300, &y, &m, &d));
  EXPECT_EQ(kvxlsx::numberText(0.1 + 0.2), "0.30000000000000004");
  EXPECT_EQ(kvxlsx::numberText(-12), "-12");
  EXPECT_EQ(kvxlsx::cutUtf8("가나", 5), 3u);
}

}  // namespace
