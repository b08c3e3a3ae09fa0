// Expressions the project keeps: the named formulas of "a20" (their bytes,
// replacement by title, the project file carrying them) and the rewrite of
// their date constants, and of the stored filters, when the date form
// changes.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "kelvo/date_constants.h"
#include "kelvo/named_formulas.h"
#include "project_fixture.h"
#include "xjor/packed_date.h"

namespace kelvo::testing {
namespace {

NamedFormula formula(uint16_t list, uint16_t kind, const char* title, const char* text,
                     uint16_t item) {
  NamedFormula f;
  f.list = list;
  f.kind = kind;
  std::strncpy(f.title, title, sizeof f.title - 1);
  std::strncpy(f.formula, text, sizeof f.formula - 1);
  f.item = item;
  return f;
}

std::vector<uint8_t> fileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

DateInfo settings(int16_t form, char delimiter, int16_t ordinal = 0, uint16_t base = 0) {
  DateInfo d{};
  d.form = form;
  d.delimiter = delimiter;
  d.ordinalMode = ordinal;
  d.ordinalBase = base;
  return d;
}

class StoredExpressionsTest : public ProjectFolderFixture {
 protected:
  std::string a20() const { return std::string(db.space.path, db.space.stemLength) + "a20"; }
};

TEST_F(StoredExpressionsTest, NamedFormulasAreKeptByListKindAndTitle) {
  EXPECT_TRUE(readNamedFormulas(&db, 1, 4).empty());
  ASSERT_TRUE(registerNamedFormula(&db, formula(1, 4, "  qty  ", "[수량]*2", 12)));
  ASSERT_TRUE(registerNamedFormula(&db, formula(1, 2, "price", "[단가]+1", 7)));
  ASSERT_TRUE(registerNamedFormula(&db, formula(0, 4, "qty", "[수량]>0", 0)));
  // The same title in the same list and kind replaces the entry.
  ASSERT_TRUE(registerNamedFormula(&db, formula(1, 4, "qty", "[수량]*3", 13)));
  EXPECT_FALSE(registerNamedFormula(&db, formula(1, 4, "   ", "1", 0)));

  // Three 146-byte records sorted by list, kind, title; texts zero-padded.
  const std::vector<uint8_t> bytes = fileBytes(a20());
  ASSERT_EQ(bytes.size(), 3u * 146);
  const uint8_t* r = bytes.data() + 2 * 146;  // (1, 4, "qty")
  EXPECT_EQ(r[0] | r[1] << 8, 1);
  EXPECT_EQ(r[2] | r[3] << 8, 4);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(r + 4)), "qty");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(r + 44)), "[수량]*3");
  EXPECT_EQ(r[44 + std::strlen("[수량]*3") + 1], 0);
  EXPECT_EQ(r[144] | r[145] << 8, 13);
  EXPECT_EQ(bytes[0], 0);        // (0, 4, "qty") first
  EXPECT_EQ(bytes[146 + 2], 2);  // then (1, 2, "price")

  const std::vector<NamedFormula> kept = readNamedFormulas(&db, 1, 4);
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_STREQ(kept[0].formula, "[수량]*3");

  EXPECT_TRUE(deleteNamedFormula(&db, 1, 4, " qty"));
  EXPECT_FALSE(deleteNamedFormula(&db, 1, 4, "qty"));
  EXPECT_EQ(fileBytes(a20()).size(), 2u * 146);

  // The project file carries the list.
  const std::string saved = folder_.string() + "/p.kvp";
  ASSERT_EQ(xSaveDB(&db, &info, saved.c_str(), 0), 1);
  ProjectDb other;
  ASSERT_EQ(xCreateDB(&other, nullptr, (folder_.string() + "/").c_str(), nullptr), 1);
  PrjInfo otherInfo;
  ASSERT_EQ(xReadDB(&other, &otherInfo, saved.c_str()), 1);
  const std::vector<NamedFormula> read = readNamedFormulas(&other, 1, 2);
  xCloseDB(&other);
  ASSERT_EQ(read.size(), 1u);
  EXPECT_STREQ(read[0].title, "price");
  EXPECT_EQ(read[0].item, 7);
}

TEST(NamedFormulaKind, TreesPanesAndGanttSheetsShareTheirDataKind) {
  const int cases[][2] = {{0, 0},  {8, 8},  {9, 0},  {10, 1},  {14, 4}, {15, 7},
                          {32, 5}, {33, 5}, {34, 6}, {12, -1}, {21, -1}};
  for (const auto& c : cases) EXPECT_EQ(namedFormulaKind(c[0]), c[1]) << c[0];
}

TEST(DateConstants, EachConstantKeepsItsDay) {
  DateInfo before;
  xGetDateInfo(&before);
  const DateInfo ymd = settings(0, '-'), dmy = settings(6, '/'), full = settings(3, 0);
  const DateInfo ordinal = settings(0, '-', 1, packDate(2000, 3, 1));
  const struct {
    DateInfo from, to;
    const char* in;
    const char* out;
  } cases[] = {
      {ymd, dmy, "[시작일] >= @00-03-07@ & [완료일] < @01-02-03@",
       "[시작일] >= @07/MAR/00@ & [완료일] < @03/FEB/01@"},
      {ymd, full, "@00-03-07@", "@03072000@"},
      {ymd, ordinal, "[시작일] = @00-03-07@", "[시작일] = @7@"},
      {ordinal, ymd, "[시작일] = @7@", "[시작일] = @00-03-07@"},
      // Quoted text and item names are not constants; "@@", an unreadable
      // constant and an unclosed one stay as typed.
      {ymd, dmy, "[a@b] : \"@00-03-07@\" | '@x@' | @@ | @99-99-99@ | @00-03-07",
       "[a@b] : \"@00-03-07@\" | '@x@' | @@ | @99-99-99@ | @00-03-07"},
  };
  for (const auto& c : cases) EXPECT_EQ(rewriteDateConstants(c.in, c.from, c.to), c.out) << c.in;
  DateInfo after;
  xGetDateInfo(&after);
  EXPECT_EQ(std::memcmp(&before, &after, sizeof after), 0);
  EXPECT_FALSE(dateTextChanges(ymd, settings(0, '-', 0, packDate(2000, 3, 1))));
  EXPECT_TRUE(dateTextChanges(ordinal, settings(0, '-', 1, packDate(2001, 3, 1))));
}

TEST_F(StoredExpressionsTest, StoredFiltersAndFormulasAreRewritten) {
  const DateInfo from = settings(0, '-'), to = settings(6, '/');
  // Record 104: a sheet record, the filter at 176; item 8: a row source,
  // the filter at 26; item 153: the report's filter as bare text.
  std::vector<char> sheet(276, 'x');
  std::memset(sheet.data() + 176, 0, 100);
  std::strcpy(sheet.data() + 176, "[시작일] >= @00-03-07@");
  ASSERT_NE(xOption(&db.opt, XOPT_WRITE, 104, sheet.data(), 276), 0);
  std::vector<char> rows(126, 0);
  // 99 bytes: the rewrite would need 100 and does not fit.
  std::string tooLong = std::string(87, ' ') + "@00-03-07@" + "  ";
  std::strcpy(rows.data() + 26, tooLong.c_str());
  ASSERT_NE(xOption(&db.opt, XOPT_WRITE, 8, rows.data(), 126), 0);
  char report[] = "[완료일] < @01-02-03@";
  ASSERT_NE(xOption(&db.opt, XOPT_WRITE, 153, report, sizeof report), 0);
  ASSERT_TRUE(registerNamedFormula(&db, formula(0, 4, "late", "[완료일] > @00-12-31@", 0)));

  EXPECT_EQ(rewriteStoredDateConstants(&db, from, to), 3);

  std::vector<char> got(276);
  ASSERT_EQ(xOption(&db.opt, XOPT_READ, 104, got.data(), 276), 1);
  EXPECT_STREQ(got.data() + 176, "[시작일] >= @07/MAR/00@");
  EXPECT_EQ(std::memcmp(got.data(), sheet.data(), 176), 0);
  EXPECT_EQ(got[176 + 99], 0);
  ASSERT_EQ(xOption(&db.opt, XOPT_READ, 8, got.data(), 126), 1);
  EXPECT_STREQ(got.data() + 26, tooLong.c_str());
  const int32_t size = xOption(&db.opt, XOPT_SIZE, 153, nullptr, 0);
  ASSERT_GT(size, 0);
  got.assign(size_t(size), 0);
  ASSERT_EQ(xOption(&db.opt, XOPT_READ, 153, got.data(), uint32_t(size)), 1);
  EXPECT_STREQ(got.data(), "[완료일] < @03/FEB/01@");
  EXPECT_STREQ(readNamedFormulas(&db, 0, 4).at(0).formula, "[완료일] > @31/DEC/00@");
  // The same settings again rewrite nothing.
  EXPECT_EQ(rewriteStoredDateConstants(&db, to, to), 0);
}

}  // namespace
}  // namespace kelvo::testing
