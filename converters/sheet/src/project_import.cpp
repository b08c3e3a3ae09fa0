// A project built from a workbook: the information sheet, the classification
// schemes and codes, and the tables by sheet position through the store.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "cell_reader.h"
#include "data_rows.h"
#include "kvdbfset.h"
#include "kvimport.h"
#include "kvtables.h"
#include "project_book.h"
#include "sheet_strings.h"

namespace kvsheet {

namespace {

using kvconv::Table;
using kvxlsx::Cell;

// Sheet positions of the project workbook (0-based).
enum {
  kInfoSheet,
  kWbsSheet,
  kObsSheet,
  kResSheet,
  kActSheet,
  kSpaSheet,
  kRelSheet,
  kCrwSheet,
  kOprSheet,
  kSheetCount
};

// Columns past a table's fields that may become user fields, and the most
// decimals a number column of them gets.
constexpr int kMaxUserColumns = 64;
constexpr int kMaxDecimals = 6;

// Text of a cell as CP949 cut to max bytes at a character boundary into
// out (max + 1 bytes). False when it has a character CP949 lacks.
bool putText(const Cell& c, char* out, int max) {
  std::string text;
  if (!cp949Of(cellText(c), text)) return false;
  xCopyChars(out, text.c_str(), max);
  return true;
}

uint16_t dateOf(const Cell& c) {
  if (c.kind == Cell::Date || c.kind == Cell::Number) return packedOfSerial(c.number);
  std::string text;
  if (c.kind != Cell::Text || !cp949Of(c.text, text)) return 0;
  return dateOfText(text);
}

struct Importer {
  ProjectDb* db;
  XKvScheme* scheme;
  uint16_t projectStart;
  kvxlsx::Workbook& wb;
  int refused = 0;
  std::string error;

  void report(const char* sheet, int count, uint32_t firstRow, const std::string& why) {
    if (!count) return;
    fprintf(stderr, "xKvXls: %s: %d row(s) refused (first: row %u: %s)\n", sheet, count, firstRow,
            why.c_str());
    refused += count;
  }

  bool named(size_t sheet, int nameId) { return wb.sheetName(sheet) == sheetText(nameId); }

  // The scheme block of a classification sheet from its "#n[name]len"
  // headers; returns the number of level headers (the other fields follow).
  bool readLevels(size_t sheet, XKvSchemeBlock* block, int* headers) {
    std::vector<Cell> row;
    if (!readHeaderRow(wb, sheet, 16, row)) return fail();
    memset(block, 0, sizeof *block);
    int n = 0;
    for (; n < 8 && n < static_cast<int>(row.size()); ++n) {
      LevelHeader h;
      if (!parseLevelHeader(row[n].kind == Cell::Text ? row[n].text : "", &h)) break;
      block->length[n] = static_cast<int16_t>(h.length);
      std::string name;
      if (!cp949Of(h.name, name)) name.clear();
      xCopyChars(block->name[n], name.c_str(), 20);
    }
    *headers = n;
    kvdbf::countLevels(block);
    return true;
  }

  bool fail() {
    error = wb.error();
    return false;
  }

  // Classification sheet: codes joined from their level parts, entered
  // level by level so that parents come before their children.
  bool importClassification(size_t sheet, Table t, XKvSchemeBlock* block, int nameId) {
    if (!named(sheet, nameId)) return true;
    int headers = 0;
    if (!readLevels(sheet, block, &headers)) return false;
    TableHandle& tb = kvconv::bindingOf(db, t).tb;
    struct Row {
      uint32_t number;
      std::vector<char> rec;
    };
    std::vector<Row> rows;
    int badCount = 0;
    uint32_t firstBad = 0;
    std::string whyBad;
    const int columns = headers + tb.fieldCount - 1;
    if (!readDataRows(wb, sheet, columns, [&](uint32_t r, const std::vector<Cell>& cells) {
          Row row{r, std::vector<char>(tb.recordSize, 0)};
          std::string code;
          bool ok = true;
          for (int l = 0; l < headers; ++l) {
            std::string part;
            if (isEmpty(cells[l])) break;
            ok = ok && cp949Of(cellText(cells[l]), part);
            if (l < block->levels) code += part.substr(0, xCharCut(part.c_str(), block->length[l]));
          }
          xCopyChars(row.rec.data() + tb.fields[0].offset, code.c_str(), tb.fields[0].width);
          for (int f = 1; f < tb.fieldCount && ok; ++f) {
            const char* bad = readField(tb.fields, db->space.refHandle, f, cells[headers + f - 1],
                                        row.rec.data());
            if (bad && !badCount)
              whyBad = std::string(bad) + " in column " + columnName(headers + f);
            ok = !bad;
          }
          if (!ok && whyBad.empty()) whyBad = "text not in CP949";
          if (!ok) {
            if (!badCount++) firstBad = r;
            return;
          }
          rows.push_back(std::move(row));
        }))
      return fail();
    // Sheet order first; a code whose parent comes later in the sheet is
    // entered again once a pass has entered its parent.
    int refusedHere = 0;
    uint32_t firstRefused = 0;
    int32_t why = 0;
    xBeginInputBatch(db);
    for (bool progress = true; progress && !rows.empty();) {
      progress = false;
      std::vector<Row> later;
      for (Row& row : rows) {
        tb.current = -1;
        const int32_t m = kvconv::inputRecord(db, *scheme, t, row.rec.data(), projectStart, 0);
        if (m == XQD_MSG_NO_PARENT) {
          later.push_back(std::move(row));
        } else if (m) {
          if (!refusedHere++) {
            firstRefused = row.number;
            why = m;
          }
        } else {
          progress = true;
        }
      }
      rows.swap(later);
    }
    for (const Row& row : rows) {
      if (!refusedHere++) {
        firstRefused = row.number;
        why = XQD_MSG_NO_PARENT;
      }
    }
    xEndInputBatch(db);
    report(sheetText(nameId), badCount, firstBad, whyBad);
    report(sheetText(nameId), refusedHere, firstRefused, "message " + std::to_string(why));
    return true;
  }

  // Fits the table's fields to the sheet, as the dBASE import fits them to
  // a file: a widenable text field takes the longest text of its column,
  // and each column past the table's fields whose header names it becomes
  // a user field shaped by its cells (texts, dates or numbers).
  bool adaptToSheet(size_t sheet, TableHandle& tb, std::vector<size_t>& columnOf, int* columns) {
    std::vector<Cell> header;
    if (!readHeaderRow(wb, sheet, tb.fieldCount + kMaxUserColumns, header)) return fail();
    size_t n = static_cast<size_t>(tb.fieldCount);
    while (n < header.size() && header[n].kind == Cell::Text && header[n].text.size() > 2) ++n;
    struct Seen {
      size_t longest = 0;
      int decimals = 0, digits = 1;
      bool text = false, number = false, date = false;
    };
    std::vector<Seen> seen(n);
    if (!readDataRows(
            wb, sheet, static_cast<int>(n), [&](uint32_t, const std::vector<Cell>& cells) {
              for (size_t i = 0; i < n; ++i) {
                const Cell& c = cells[i];
                Seen& k = seen[i];
                std::string text;
                if (cp949Of(cellText(c), text)) k.longest = std::max(k.longest, text.size());
                if (c.kind == Cell::Date) k.date = true;
                if (c.kind == Cell::Text && !c.text.empty()) k.text = true;
                if (c.kind != Cell::Number) continue;
                k.number = true;
                const std::string digits = kvxlsx::numberText(std::fabs(c.number));
                const size_t point = digits.find('.');
                const int whole = static_cast<int>(std::min(point, digits.size()));
                const int after =
                    point == std::string::npos ? 0 : static_cast<int>(digits.size() - point - 1);
                k.digits = std::max(k.digits, whole + (c.number < 0 ? 1 : 0));
                k.decimals = std::min(kMaxDecimals, std::max(k.decimals, after));
              }
            }))
      return fail();
    std::vector<kvconv::ColumnShape> shapes(n);
    for (size_t i = 0; i < n; ++i) {
      kvconv::ColumnShape& shape = shapes[i];
      const Seen& k = seen[i];
      if (i < static_cast<size_t>(tb.fieldCount)) {
        // Only a text longer than its field says anything: fields never narrow.
        const FieldDesc& f = tb.fields[i];
        if (f.type == XF_STRING && k.longest > static_cast<size_t>(f.width))
          shape = {"", 'C', static_cast<int>(k.longest), 0};
        continue;
      }
      std::string name;
      const std::string& h = header[i].text;
      if (!cp949Of(h.front() == '[' && h.back() == ']' ? h.substr(1, h.size() - 2) : h, name))
        name = "USER" + std::to_string(i + 1 - tb.fieldCount);
      if (k.text || (!k.number && !k.date))
        shape = {name, 'C', static_cast<int>(std::max<size_t>(k.longest, 1)), 0};
      else if (k.date && !k.number)
        shape = {name, 'D', 8, 0};
      else
        shape = {name, 'N', k.digits + (k.decimals ? k.decimals + 1 : 0), k.decimals};
    }
    if (!kvconv::adaptFields(tb, shapes, columnOf)) {
      error = "the fields cannot take the sheet's columns (error " + std::to_string(xGetDbError()) +
              ")";
      return false;
    }
    *columns = static_cast<int>(n);
    return true;
  }

  // A table sheet: from B3, one record per row, its fields by position.
  bool importTable(size_t sheet, Table t, int nameId) {
    if (!named(sheet, nameId)) return true;
    TableHandle& tb = kvconv::bindingOf(db, t).tb;
    std::vector<size_t> columnOf;
    int columns = 0;
    if (!adaptToSheet(sheet, tb, columnOf, &columns)) return false;
    std::vector<char> rec(tb.recordSize);
    int bad = 0, refusedHere = 0;
    std::string whyBad;
    uint32_t firstBad = 0, firstRefused = 0;
    int32_t why = 0;
    xBeginInputBatch(db);
    const bool ok =
        readDataRows(wb, sheet, columns, [&](uint32_t r, const std::vector<Cell>& cells) {
          std::fill(rec.begin(), rec.end(), 0);
          const char* unread = nullptr;
          for (int f = 0; f < tb.fieldCount && !unread; ++f) {
            unread = readField(tb.fields, db->space.refHandle, f, cells[columnOf[f]], rec.data());
            if (unread && !bad)
              whyBad = std::string(unread) + " in column " + columnName(1 + columnOf[f]);
          }
          if (unread) {
            if (!bad++) firstBad = r;
            return;
          }
          tb.current = -1;
          if (int32_t m = kvconv::inputRecord(db, *scheme, t, rec.data(), projectStart, 0)) {
            if (!refusedHere++) {
              firstRefused = r;
              why = m;
            }
          }
        });
    xEndInputBatch(db);
    if (!ok) return fail();
    report(sheetText(nameId), bad, firstBad, whyBad);
    report(sheetText(nameId), refusedHere, firstRefused, "message " + std::to_string(why));
    return true;
  }

  // Time-shared entries: activity code, day, value; rows end at the first
  // code cell that is empty or not text.
  bool importTimeShared(size_t sheet) {
    if (!named(sheet, kTextSpa)) return true;
    std::vector<SpaEntry> entries;
    std::vector<uint32_t> rowOf;
    int missing = 0;
    uint32_t firstMissing = 0;
    const bool ok = readRowsFrom(wb, sheet, 3, [&](uint32_t r, const std::vector<Cell>& cells) {
      if (cells[0].kind != Cell::Text || cells[0].text.empty()) return false;
      ActCodeEntry key{};
      const uint16_t day = dateOf(cells[1]);
      if (!putText(cells[0], key.code, 20) || !day || !xmSeek(&db->actCodes, &key)) {
        if (!missing++) firstMissing = r;
        return true;
      }
      ActCodeEntry found;
      memcpy(
          &found,
          db->actCodes.data + static_cast<size_t>(db->actCodes.current) * db->actCodes.recordSize,
          sizeof found);
      double value = cells[2].kind == Cell::Number ? cells[2].number : 0;
      if (cells[2].kind == Cell::Text) {
        std::string text;
        if (cp949Of(cells[2].text, text)) xStrToNum(text.c_str(), &value, 0, 0);
      }
      entries.push_back({found.record, day, value});
      rowOf.push_back(r);
      return true;
    });
    if (!ok) return fail();
    int refusedHere = 0;
    uint32_t firstRefused = 0;
    int32_t why = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
      db->spa.current = XJOR_NONE;
      if (int32_t m = xInputRecSpa(db, &entries[i])) {
        if (!refusedHere++) {
          firstRefused = rowOf[i];
          why = m;
        }
      }
    }
    report(sheetText(kTextSpa), missing, firstMissing, "no such activity or no date");
    report(sheetText(kTextSpa), refusedHere, firstRefused, "message " + std::to_string(why));
    return true;
  }
};

bool openWorkbook(kvxlsx::Workbook& wb, const std::string& path, std::string& error) {
  if (!wb.open(path)) {
    error = wb.error();
    return false;
  }
  if (wb.sheetCount() < kSheetCount) {
    error = "a project workbook has 9 sheets";
    return false;
  }
  if (wb.sheetName(kInfoSheet) != sheetText(kTextInfo)) {
    error = "the first sheet is not \"" + std::string(sheetText(kTextInfo)) + "\"";
    return false;
  }
  return true;
}

}  // namespace

bool readProjectInfo(const std::string& path, void* info, std::string& error) {
  kvxlsx::Workbook wb;
  if (!openWorkbook(wb, path, error)) return false;
  std::vector<Cell> c(12);
  // Column C of rows 2 to 13.
  if (!wb.readRows(kInfoSheet, 2, 1, [&](uint32_t r, const std::vector<Cell>& cells) {
        if (r >= 2 && r <= 13) c[r - 2] = cells[0];
        return r < 13;
      })) {
    error = wb.error();
    return false;
  }
  PrjInfo* pi = static_cast<PrjInfo*>(info);
  const bool texts = putText(c[0], pi->code, 10) && putText(c[1], pi->title, 60) &&
                     putText(c[2], pi->company, 40) && putText(c[3], pi->currency, 6) &&
                     putText(c[10], pi->remark, 40) && putText(c[11], pi->manager, 10);
  if (!texts) {
    error = "the project information has text that CP949 cannot hold";
    return false;
  }
  pi->start = dateOf(c[4]);
  pi->finish = dateOf(c[5]);
  pi->periodStart = dateOf(c[6]);
  pi->periodFinish = dateOf(c[7]);
  pi->dataDate = dateOf(c[8]);
  double stage = c[9].kind == Cell::Number ? c[9].number : 0;
  if (c[9].kind == Cell::Text) stage = strtod(c[9].text.c_str(), nullptr);
  pi->stage = static_cast<int16_t>(stage > 0 && stage < 32767 ? stage : 0);
  kvdbf::completeDates(info, xGetToday());
  return true;
}

bool importProject(ProjectDb* db, XKvScheme* scheme, void* info, uint16_t projectStart,
                   const std::string& path, int* refused, std::string& error) {
  kvxlsx::Workbook wb;
  if (!openWorkbook(wb, path, error)) return false;

  // Settings first: the calendars must be in place before activities are
  // dated. Without a settings file the new project keeps its defaults.
  const std::string settingsPath = kvconv::settingsPathOf(path);
  if (!kvconv::readSettingsFile(db, info, settingsPath, error)) {
    error = settingsPath + ": " + error;
    return false;
  }
  const auto* pi = static_cast<const PrjInfo*>(info);
  xSetPrjDateInfo(db, pi->calendarFrom, pi->calendarTo);

  Importer im{db, scheme, projectStart, wb, 0, {}};
  const bool ok = im.importClassification(kWbsSheet, Table::Wbs, &scheme->block[0], kTextWbs) &&
                  im.importClassification(kObsSheet, Table::Obs, &scheme->block[1], kTextObs) &&
                  im.importTable(kResSheet, Table::Res, kTextRes) &&
                  im.importTable(kActSheet, Table::Act, kTextAct) &&
                  im.importTimeShared(kSpaSheet) &&
                  im.importTable(kRelSheet, Table::Rel, kTextRel) &&
                  im.importTable(kCrwSheet, Table::Crw, kTextCrw) &&
                  im.importTable(kOprSheet, Table::Opr, kTextOpr);
  if (refused) *refused = im.refused;
  if (!ok) error = im.error;
  return ok;
}

}  // namespace kvsheet
