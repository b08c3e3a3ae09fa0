// The external editor's data work for the data sheets: a view's rows sent
// out as a one-sheet workbook, and an edited workbook read back.
#include "editor.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

#include "book_writer.h"
#include "cell_reader.h"
#include "data_rows.h"
#include "kvsheet.h"
#include "kvtables.h"
#include "scratch_project.h"

namespace kvsheet {

namespace {

using kvconv::Table;
using kvxlsx::Cell;

constexpr int kHeaderRow = 1, kFirstRow = 2, kFirstCol = 1;

int normalKind(int kind) {
  return kind == 14 ? 4 : kind == 15 ? 7 : kind;
}

bool tableOfKind(int kind, Table* t) {
  static const Table kTables[] = {Table::Wbs, Table::Obs, Table::Res, Table::Crw,
                                  Table::Act, Table::Rel, Table::Opr};
  if (kind < 0 || kind > 6) return false;
  *t = kTables[kind];
  return true;
}

TableHandle* viewTable(const XKvRequest* r, int kind) {
  if (r->info) return &static_cast<TableBinding*>(r->info)->tb;
  Table t;
  if (!r->database || !tableOfKind(kind, &t)) return nullptr;
  return &kvconv::bindingOf(static_cast<ProjectDb*>(r->database), t).tb;
}

bool exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

// A new workbook name in folder: "<sheet>.xlsx", "<sheet> (2).xlsx", ...
std::string freshPath(const std::string& folder, const std::string& name) {
  std::string base = folder;
  if (!base.empty() && base.back() != '/') base += '/';
  std::string path = base + name + ".xlsx";
  for (int n = 2; exists(path) && n < 10000; ++n)
    path = base + name + " (" + std::to_string(n) + ").xlsx";
  return path;
}

void note(XKvEditorData* d, const std::string& text) {
  if (d->problem[0]) return;
  snprintf(d->problem, sizeof d->problem, "%s", text.c_str());
}

// Fields that identify a record of the table.
std::vector<int> keyFields(Table t) {
  switch (t) {
    case Table::Crw:
    case Table::Rel:
    case Table::Opr:
      return {0, 1};
    default:
      return {0};
  }
}

// The key of a record as stored: its key fields' texts, empty when one is
// empty.
std::string keyOf(const TableHandle& tb, const std::vector<int>& fields, const char* rec) {
  std::string key;
  for (int f : fields) {
    const FieldDesc& fd = tb.fields[f];
    const char* at = rec + fd.offset;
    const size_t n = strnlen(at, fd.width > 0 ? static_cast<size_t>(fd.width) : 0);
    if (n == 0) return {};
    key.append(at, n);
    key += '\x01';
  }
  return key;
}

// Whether a classification code's length ends one of the scheme's levels.
bool levelLength(const XKvSchemeBlock& b, size_t length) {
  for (int l = 0; l < b.levels && l < 8; ++l)
    if (static_cast<size_t>(b.start[l] + b.length[l]) == length) return true;
  return false;
}

int32_t deleteCurrent(ProjectDb* db, Table t) {
  switch (t) {
    case Table::Wbs:
      return xDeleteRecWbs(db, 0);
    case Table::Obs:
      return xDeleteRecWbs(db, 1);
    case Table::Res:
      return xDeleteRecRes(db);
    case Table::Crw:
      return xDeleteRecCrew(db);
    case Table::Act:
      return xDeleteRecAct(db);
    case Table::Rel:
      return xDeleteRecRel(db);
    case Table::Opr:
      return xDeleteRecOpr(db);
  }
  return 0;
}

// Empties a table with the store's deletions (which take the records that
// depend on each one along).
void emptyTable(ProjectDb* db, Table t) {
  TableHandle& tb = kvconv::bindingOf(db, t).tb;
  std::vector<char> rec(tb.recordSize);
  for (uint32_t s = 0; s < tb.slotCount; ++s) {
    tb.current = static_cast<int32_t>(s);
    if (xGetRec(&tb, rec.data())) deleteCurrent(db, t);
  }
  tb.current = -1;
}

// The tables emptied before a rebuild of t, dependents first.
std::vector<Table> emptiedWith(Table t) {
  switch (t) {
    case Table::Wbs:
      return {Table::Opr, Table::Rel, Table::Crw, Table::Act, Table::Wbs};
    case Table::Obs:
      return {Table::Opr, Table::Rel, Table::Act, Table::Obs};
    case Table::Res:
      return {Table::Opr, Table::Crw, Table::Res};
    case Table::Act:
      return {Table::Opr, Table::Rel, Table::Act};
    default:
      return {t};
  }
}

// The tables a rebuild of t leaves in place whose records the store's
// checks of t's rows read (codes of classifications, resources and
// activities).
std::vector<Table> keptForChecks(Table t) {
  const std::vector<Table> emptied = emptiedWith(t);
  std::vector<Table> kept;
  for (Table k : {Table::Wbs, Table::Obs, Table::Res, Table::Act})
    if (std::find(emptied.begin(), emptied.end(), k) == emptied.end()) kept.push_back(k);
  return kept;
}

// One sheet row converted into a record of the view's table.
struct Row {
  uint32_t number;
  std::vector<char> rec;
  std::string key;  // keyOf the record
};

// What entering rows needs besides the rows.
struct Target {
  const XKvScheme& scheme;
  Table table;
  uint16_t projectStart;
  const std::vector<bool>& shown;  // fields the sheet shows
};

struct Entered {
  int added = 0, updated = 0, refused = 0;
  uint32_t firstRow = 0;  // the first refused row and the store's message
  int32_t firstMessage = 0;
};

// Enters the rows through the store into db: a row whose key is in
// `existing` (key to slot) updates that record in the shown columns only,
// the others become new records. Refused rows are counted and skipped.
Entered enterRows(ProjectDb* db, const Target& target, const std::vector<Row>& rows,
                  const std::map<std::string, int32_t>& existing) {
  TableHandle& tb = kvconv::bindingOf(db, target.table).tb;
  Entered e;
  std::vector<char> rec(tb.recordSize);
  for (const Row& row : rows) {
    const auto found = row.key.empty() ? existing.end() : existing.find(row.key);
    if (found != existing.end()) {
      tb.current = found->second;
      if (!xGetRec(&tb, rec.data())) continue;
      for (int f = 0; f < tb.fieldCount; ++f) {
        if (!target.shown[static_cast<size_t>(f)]) continue;
        const FieldDesc& fd = tb.fields[f];
        const int32_t size = xSizeOfData(&fd, static_cast<uint32_t>(-1));
        memcpy(rec.data() + fd.offset, row.rec.data() + fd.offset, static_cast<size_t>(size));
      }
      tb.current = found->second;
    } else {
      rec = row.rec;
      tb.current = -1;
    }
    const int32_t m =
        kvconv::inputRecord(db, target.scheme, target.table, rec.data(), target.projectStart, 0);
    if (!m) {
      ++(found != existing.end() ? e.updated : e.added);
    } else if (!e.refused++) {
      e.firstRow = row.number;
      e.firstMessage = m;
    }
  }
  tb.current = -1;
  return e;
}

}  // namespace

int32_t sendSheet(XKvRequest* r) {
  auto* d = static_cast<XKvEditorData*>(const_cast<void*>(r->path));
  const auto* cols = static_cast<const XKvEditorColumns*>(r->columns);
  const int kind = normalKind(r->viewKind);
  TableHandle* tb = viewTable(r, kind);
  if (!d || !d->folder || !cols || !tb || kind < 0 || kind > 8 || cols->count < 0) return 0;
  d->sent[0] = '\0';
  const int32_t ref = r->database ? static_cast<ProjectDb*>(r->database)->space.refHandle : -1;
  const std::string path = freshPath(d->folder, sheetNameOf(kind));
  Book book;
  if (!book.create(path)) return 0;
  Sheet s(book, book.addSheet(sheetNameOf(kind)), ref);
  for (int c = 0; c < cols->count; ++c) {
    const XKvEditorColumn& col = cols->column[c];
    if (col.field < 0 || col.field >= tb->fieldCount) continue;
    const FieldDesc& f = tb->fields[col.field];
    const std::string title =
        col.title[0] ? utf8Of(col.title, sizeof col.title) : utf8Of(f.name, sizeof f.name);
    s.text(kHeaderRow, kFirstCol + c, "[" + title + "]", book.text());
    s.columnFormat(kFirstCol + c, book.of(f));
  }
  kvconv::KeepCurrent keep(*tb);
  std::vector<char> rec(tb->recordSize);
  int row = kFirstRow;
  auto writeRow = [&] {
    if (!xGetRec(tb, rec.data())) return;
    for (int c = 0; c < cols->count; ++c) {
      const int f = cols->column[c].field;
      if (f >= 0 && f < tb->fieldCount) s.field(row, kFirstCol + c, tb->fields, f, rec.data());
    }
    ++row;
  };
  if (d->records) {
    for (int32_t i = 0; i < d->recordCount; ++i) {
      tb->current = d->records[i];
      writeRow();
    }
  } else {
    tb->current = -1;
    while (xMoveNext(tb)) writeRow();
  }
  s.fit();
  if (!book.save()) return 0;
  // The first cell written in part, in the form of a refused row's reason.
  d->problem[0] = '\0';
  if (!book.notes().empty()) {
    const Book::PartialText& c = book.notes().front();
    const std::string cell = kvxlsx::cellName(c.col, static_cast<uint32_t>(c.row) + 1);
    note(d, "row " + std::to_string(c.row + 1) + ": text not in CP949 in column " +
                cell.substr(0, cell.find_first_of("0123456789")));
  }
  snprintf(d->sent, sizeof d->sent, "%s", path.c_str());
  return 1;
}

int32_t readSheet(XKvRequest* r) {
  auto* d = static_cast<XKvEditorData*>(const_cast<void*>(r->path));
  if (!d) return 0;
  d->added = d->updated = d->refused = 0;
  d->problem[0] = '\0';
  if (!d->workbook || !d->workbook[0]) return -1;  // the choice was cancelled
  const auto* cols = static_cast<const XKvEditorColumns*>(r->columns);
  auto* db = static_cast<ProjectDb*>(r->database);
  const auto* scheme = static_cast<const XKvScheme*>(r->scheme);
  const int kind = normalKind(r->viewKind);
  Table t;
  if (!cols || !db || !scheme || cols->count < 1 || !tableOfKind(kind, &t)) {
    note(d, "this window's data cannot be read back");
    return 0;
  }
  kvxlsx::Workbook wb;
  if (!wb.open(d->workbook)) {
    note(d, wb.error());
    return 0;
  }
  if (wb.sheetName(0) != sheetNameOf(kind)) {
    note(d, "the first sheet is not \"" + sheetNameOf(kind) + "\"");
    return 0;
  }
  TableHandle& tb = kvconv::bindingOf(db, t).tb;
  const std::vector<int> keys = keyFields(t);
  std::vector<bool> shown(static_cast<size_t>(tb.fieldCount), false);
  for (int c = 0; c < cols->count; ++c) {
    const int f = cols->column[c].field;
    if (f >= 0 && f < tb.fieldCount) shown[static_cast<size_t>(f)] = true;
  }
  const bool keysShown =
      std::all_of(keys.begin(), keys.end(), [&](int f) { return f < tb.fieldCount && shown[f]; });
  if (d->rebuild && !keysShown) {
    note(d, "the sheet does not show the key columns");
    return 0;
  }

  // Every row converted and checked before anything changes.
  std::vector<Row> rows;
  std::map<std::string, uint32_t> seen;
  int bad = 0;
  const bool classification = t == Table::Wbs || t == Table::Obs;
  const XKvSchemeBlock& block = scheme->block[t == Table::Obs ? 1 : 0];
  if (!readDataRows(wb, 0, cols->count, [&](uint32_t n, const std::vector<Cell>& cells) {
        Row row{n, std::vector<char>(tb.recordSize, 0), {}};
        std::string why;
        for (int c = 0; c < cols->count; ++c) {
          const int f = cols->column[c].field;
          if (f < 0 || f >= tb.fieldCount) continue;
          const char* bad = readField(tb.fields, db->space.refHandle, f,
                                      cells[static_cast<size_t>(c)], row.rec.data());
          if (bad && why.empty()) why = std::string(bad) + " in column " + columnName(c + 1);
        }
        row.key = keyOf(tb, keys, row.rec.data());
        if (why.empty() && keysShown && row.key.empty()) why = "no code";
        if (why.empty() && !row.key.empty() && !seen.emplace(row.key, n).second)
          why = "code repeated";
        if (why.empty() && classification && !levelLength(block, row.key.size() - 1))
          why = "code length matches no level";
        if (!why.empty()) {
          note(d, "row " + std::to_string(n) + ": " + why);
          ++bad;
          return;
        }
        rows.push_back(std::move(row));
      })) {
    note(d, wb.error());
    return 0;
  }
  if (bad && d->rebuild) return 0;  // nothing has been emptied
  d->refused = bad;

  if (classification)
    std::stable_sort(rows.begin(), rows.end(),
                     [](const Row& a, const Row& b) { return a.key.size() < b.key.size(); });
  const Target target{*scheme, t, d->projectStart, shown};
  std::map<std::string, int32_t> existing;
  if (d->rebuild) {
    // The rows go into a copy of the tables they depend on first: the store
    // has rules the checks above do not know, and one row it refused after
    // the emptying would take all the records that depended on the old ones.
    ScratchProject copy;
    if (!copy.open(db, keptForChecks(t))) {
      note(d, "no working copy could be made");
      return 0;
    }
    const Entered tried = enterRows(copy.db(), target, rows, existing);
    if (tried.refused) {
      note(d, "row " + std::to_string(tried.firstRow) + ": message " +
                  std::to_string(tried.firstMessage));
      return 0;
    }
    for (Table e : emptiedWith(t)) emptyTable(db, e);
  } else if (keysShown) {
    std::vector<char> rec(tb.recordSize);
    tb.current = -1;
    while (xMoveNext(&tb))
      if (xGetRec(&tb, rec.data())) existing.emplace(keyOf(tb, keys, rec.data()), tb.current);
  }
  const Entered entered = enterRows(db, target, rows, existing);
  d->added = entered.added;
  d->updated = entered.updated;
  d->refused += entered.refused;
  if (entered.refused)
    note(d, "row " + std::to_string(entered.firstRow) + ": message " +
                std::to_string(entered.firstMessage));
  tb.current = -1;
  return 1;
}

}  // namespace kvsheet
