// The project workbook written: information, the two classifications,
// resources, activities, time-shared entries, relations, crews and crew
// details, in that sheet order.
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <vector>

#include "book_writer.h"
#include "kvimport.h"
#include "kvtables.h"
#include "kvxlsx.h"
#include "project_book.h"
#include "sheet_strings.h"

namespace kvsheet {

namespace {

using kvconv::Table;

// Header and data rows start at row 2 and 3 (0-based 1 and 2), column B.
constexpr int kHeaderRow = 1, kFirstRow = 2, kFirstCol = 1;

std::string bracketed(const FieldDesc& f) {
  return "[" + utf8Of(f.name, sizeof f.name) + "]";
}

// Labels in column B, values in column C, rows 2 to 13. Rows are written
// in order: the writer keeps one row in memory at a time.
void writeInfo(Book& book, const PrjInfo& info, int32_t ref) {
  Sheet s(book, book.addSheet(sheetText(kTextInfo)), ref);
  const int c = kFirstCol + 1;
  for (int i = 0; i < 12; ++i) {
    const int row = kHeaderRow + i;
    s.text(row, kFirstCol, sheetText(kTextInfoLabels + i), book.text());
    switch (i) {
      case 0:
        s.cp949(row, c, info.code, book.text());
        break;
      case 1:
        s.cp949(row, c, info.title, book.text());
        break;
      case 2:
        s.cp949(row, c, info.company, book.text());
        break;
      case 3:
        s.cp949(row, c, info.currency, book.text());
        break;
      case 4:
        s.date(row, c, info.start);
        break;
      case 5:
        s.date(row, c, info.finish);
        break;
      case 6:
        s.date(row, c, info.periodStart);
        break;
      case 7:
        s.date(row, c, info.periodFinish);
        break;
      case 8:
        s.date(row, c, info.dataDate);
        break;
      case 9:
        s.number(row, c, info.stage, book.number(0), 0);
        break;
      case 10:
        s.cp949(row, c, info.remark, book.text());
        break;
      case 11:
        s.cp949(row, c, info.manager, book.text());
        break;
    }
  }
  s.fit();
}

// Classification codes in code order, each code cut into its level parts
// under the "#level[name]length" headers, then the other fields.
void writeClassification(Book& book, ProjectDb* db, Table t, const XKvSchemeBlock& levels) {
  TableHandle& tb = kvconv::bindingOf(db, t).tb;
  kvconv::KeepCurrent keep(tb);
  Sheet s(book, book.addSheet(sheetText(t == Table::Wbs ? kTextWbs : kTextObs)),
          db->space.refHandle);
  const int n = levels.levels < 0 ? 0 : levels.levels > 8 ? 8 : levels.levels;
  for (int i = 0; i < n; ++i) {
    char header[64];
    snprintf(header, sizeof header, "#%d[%s]%d", i + 1,
             utf8Of(levels.name[i], sizeof levels.name[i]).c_str(), levels.length[i]);
    s.text(kHeaderRow, kFirstCol + i, header, book.text());
    s.columnFormat(kFirstCol + i, book.text());
  }
  for (int f = 1; f < tb.fieldCount; ++f) {
    s.text(kHeaderRow, kFirstCol + n + f - 1, bracketed(tb.fields[f]), book.text());
    s.columnFormat(kFirstCol + n + f - 1, book.of(tb.fields[f]));
  }
  const MemTable& codes = t == Table::Wbs ? db->wbsCodes : db->obsCodes;
  std::vector<char> rec(tb.recordSize);
  int row = kFirstRow;
  for (uint32_t i = 0; i < codes.count; ++i) {
    CodeEntry e;
    memcpy(&e, codes.data + static_cast<size_t>(i) * codes.recordSize, sizeof e);
    tb.current = e.record;
    if (!xGetRec(&tb, rec.data())) continue;
    const char* at = rec.data() + tb.fields[0].offset;
    const std::string code(at, strnlen(at, 10));
    for (int l = 0; l < n; ++l) {
      const size_t start = static_cast<size_t>(levels.start[l] < 0 ? 0 : levels.start[l]);
      if (start >= code.size() || levels.length[l] <= 0) break;
      const std::string part = code.substr(start, static_cast<size_t>(levels.length[l]));
      s.cp949(row, kFirstCol + l, part.c_str(), book.text());
    }
    for (int f = 1; f < tb.fieldCount; ++f)
      s.field(row, kFirstCol + n + f - 1, tb.fields, f, rec.data());
    ++row;
  }
  s.fit();
}

// Every live record of a table in table order under "[name]" headers.
void writeTable(Book& book, ProjectDb* db, Table t, int nameId) {
  TableHandle& tb = kvconv::bindingOf(db, t).tb;
  kvconv::KeepCurrent keep(tb);
  Sheet s(book, book.addSheet(sheetText(nameId)), db->space.refHandle);
  for (int f = 0; f < tb.fieldCount; ++f) {
    s.text(kHeaderRow, kFirstCol + f, bracketed(tb.fields[f]), book.text());
    s.columnFormat(kFirstCol + f, book.of(tb.fields[f]));
  }
  std::vector<char> rec(tb.recordSize);
  int row = kFirstRow;
  tb.current = -1;
  while (xMoveNext(&tb)) {
    if (!xGetRec(&tb, rec.data())) continue;
    for (int f = 0; f < tb.fieldCount; ++f) s.field(row, kFirstCol + f, tb.fields, f, rec.data());
    ++row;
  }
  s.fit();
}

// The activity field holding the quantity, whose decimals the time-shared
// values take.
int quantityDecimals(const TableHandle& act) {
  for (int f = 0; f < act.fieldCount; ++f)
    if (act.fields[f].offset == offsetof(ActRecord, quantity)) return decimalsOf(act.fields[f]);
  return 3;
}

void writeTimeShared(Book& book, ProjectDb* db) {
  TableHandle& act = db->act.tb;
  kvconv::KeepCurrent keep(act);
  const uint32_t spaCurrent = db->spa.current;
  Sheet s(book, book.addSheet(sheetText(kTextSpa)), db->space.refHandle);
  const int decimals = quantityDecimals(act);
  s.text(kHeaderRow, kFirstCol, sheetText(kTextActCodeHeader), book.text());
  s.text(kHeaderRow, kFirstCol + 1, sheetText(kTextDateHeader), book.date());
  s.text(kHeaderRow, kFirstCol + 2, sheetText(kTextQuantityHeader), book.number(decimals));
  s.columnFormat(kFirstCol, book.text());
  s.columnFormat(kFirstCol + 1, book.date());
  s.columnFormat(kFirstCol + 2, book.number(decimals));
  std::vector<char> rec(act.recordSize);
  int row = kFirstRow;
  for (uint32_t i = 0; i < db->spa.count; ++i) {
    SpaEntry e;
    db->spa.current = i;
    if (!xiGet(&db->spa, &e)) continue;
    act.current = e.activity;
    if (!xGetRec(&act, rec.data())) continue;
    s.cp949(row, kFirstCol, reinterpret_cast<const ActRecord*>(rec.data())->code, book.text());
    s.date(row, kFirstCol + 1, e.day);
    s.number(row, kFirstCol + 2, e.value, book.number(decimals), decimals);
    ++row;
  }
  db->spa.current = spaCurrent;
  s.fit();
}

}  // namespace

bool exportProject(ProjectDb* db, const XKvScheme& scheme, const void* info,
                   const std::string& path) {
  PrjInfo pi;
  memcpy(&pi, info, sizeof pi);
  Book book;
  if (!book.create(path)) return false;
  writeInfo(book, pi, db->space.refHandle);
  writeClassification(book, db, Table::Wbs, scheme.block[0]);
  writeClassification(book, db, Table::Obs, scheme.block[1]);
  writeTable(book, db, Table::Res, kTextRes);
  writeTable(book, db, Table::Act, kTextAct);
  writeTimeShared(book, db);
  writeTable(book, db, Table::Rel, kTextRel);
  writeTable(book, db, Table::Crw, kTextCrw);
  writeTable(book, db, Table::Opr, kTextOpr);
  if (!book.save()) return false;
  for (const Book::PartialText& c : book.notes())
    fprintf(stderr,
            "xKvXls: %s: sheet \"%s\", cell %s: text not in CP949, written without what does "
            "not convert\n",
            path.c_str(), c.sheet.c_str(),
            kvxlsx::cellName(c.col, static_cast<uint32_t>(c.row) + 1).c_str());
  return xSaveMiscFormat(db, info, kvconv::settingsPathOf(path).c_str()) != 0;
}

}  // namespace kvsheet
