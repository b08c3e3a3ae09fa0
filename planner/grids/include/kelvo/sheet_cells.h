// What a sheet shows in its cells, built from records without widgets: the
// text of each field as the table engine formats it (CP949), with the date
// rule of activity and summary-schedule sheets, for one record buffer or
// for a range of a sheet's rows.
#ifndef KELVO_SHEET_CELLS_H_
#define KELVO_SHEET_CELLS_H_

#include <cstdint>
#include <string>
#include <vector>

#include "kelvo/sheet_rows.h"

namespace kelvo {

// The text of field `field` of record (the table's record size) on a sheet
// of kind `kind`; refHandle names the reference lists (-1: none). Activity
// and summary-schedule sheets show a milestone's finishes as its starts
// (shownDateOffset); the record is not changed. "" for a field the table
// does not have.
std::string sheetCellText(const TableHandle& tb, ViewKind kind, int32_t refHandle,
                          const char* record, int field);

// One row of a sheet: its record and the texts of the fields asked for.
struct SheetRowText {
  uint32_t record = XJOR_NONE;
  bool live = false;               // false: the record is gone; cells are empty
  std::vector<std::string> cells;  // one per field asked for
};

// Rows first .. first + count - 1 of rows (those that exist), each with the
// texts of fields. Records are read by slot: the table's current record is
// left as it was.
std::vector<SheetRowText> buildSheetRows(const SheetRows& rows, ViewKind kind, int32_t refHandle,
                                         uint32_t first, uint32_t count,
                                         const std::vector<int>& fields);

}  // namespace kelvo

#endif  // KELVO_SHEET_CELLS_H_
