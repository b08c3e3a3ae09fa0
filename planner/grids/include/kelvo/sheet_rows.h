// The rows of a table sheet: which table of the project a view kind shows,
// and the record set over it, opened with the sheet's stored filter and
// order. Rows are read on demand, so a sheet costs one record read per row
// drawn, whatever the size of the table.
#ifndef KELVO_SHEET_ROWS_H_
#define KELVO_SHEET_ROWS_H_

#include <cstdint>
#include <vector>

#include "kelvo/doc_edit.h"
#include "xQdDb100.h"

namespace kelvo {

// The table a sheet of view kind `kind` shows: work types, facilities (also
// beside the tree), resources, crews, activities (also in the Gantt window),
// relations, crew details, or the open summary data. Null when the kind shows no
// table or the table is not open.
TableBinding* sheetTable(ProjectDb* db, ViewKind kind);

// Where a sheet reads the date it shows at `offset` of an activity record or
// summary row: a milestone (no duration; no planned duration for the
// planned dates) shows each of its finishes as the matching start, since a
// finish before its start reads as an error. The stored finish is not
// changed. Returns offset itself for every other field and record.
int shownDateOffset(const char* record, int offset);

class SheetRows {
 public:
  SheetRows() = default;
  ~SheetRows();
  SheetRows(const SheetRows&) = delete;
  SheetRows& operator=(const SheetRows&) = delete;

  // Opens the record set over table: the live records that satisfy filter
  // (empty: all; an invalid condition also selects all), ordered by order
  // (a count and field indexes, + 10000 descending; null or count 0: slot
  // order). False when memory ran out; the rows then hold what was
  // collected.
  bool open(TableBinding* table, const char* filter, const uint16_t* order);
  // Opens the rows over table as exactly the given records, in that order
  // (the children of the node selected in the classification tree). False
  // when memory ran out.
  bool openRecords(TableBinding* table, const std::vector<int32_t>& records);
  void close();
  TableBinding* table() const { return table_; }

  uint32_t count() const { return set_.count; }
  // Record number of row, XJOR_NONE when the row does not exist.
  uint32_t record(uint32_t row) const;
  // Reads the record of row into buffer (the table's record size). False
  // when the row does not exist or its record is no longer live. The
  // table's current record is left as it was.
  bool read(uint32_t row, void* buffer) const;
  // The row that holds record, or -1.
  int64_t rowOf(uint32_t record) const;

  // Adds a row at the end for record.
  bool append(uint32_t record);
  // Removes row (its record stays in the table).
  void remove(uint32_t row);
  // Points row at record.
  void setRecord(uint32_t row, uint32_t record);

 private:
  TableBinding* table_ = nullptr;
  MemTable set_{};
};

}  // namespace kelvo

#endif  // KELVO_SHEET_ROWS_H_
