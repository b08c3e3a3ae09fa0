// What a window hands an external-editor converter (xExpTb send, xImpTb
// read; kvconvert.h) and what it gets back. Every call carries:
//   path      XKvEditorData*   the payload below
//   viewKind  the window's kind; startDay its sub-kind; viewValue the
//             window's own structure (below), 0 when it has none
//   database  ProjectDb*, scheme XKvScheme* (as for every call)
//   columns   XKvEditorColumns* the window's columns in view order, or null
//   info      TableBinding*     the window's table, or null
//
// By kind:
//   0-8, 14, 15  data sheets: sub-kind 0, records = the sheet's rows.
//   9            classification tree: both classifications, nothing else.
//   11           project map: sub-kind the data kind of the mode's table (4
//                activities, 3 crews, 7 or 8 summary rows), viewValue an
//                XKvMapView, columns the item shown in the cells, info the
//                mode's table, records = the selected cells' records.
//   17           value sheet: sub-kind the sheet's decimals, viewValue an
//                XKvValueTable, columns its date and value columns.
//   18, 19       period sheet (send only): sub-kind the display bits
//                (bit 0 drawing objects, bit 1 row lines), viewValue an
//                XKvPeriodSheet, columns the left table's, info the summary
//                table, records = the summary records in sheet order.
// Whatever the pointers reach belongs to the caller and lives for the call.
#ifndef KVEDITOR_H_
#define KVEDITOR_H_

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// One column of a window: the field it shows (a number outside the table's
// fields leaves the column empty) and its own title (CP949, empty: the
// field's name).
typedef struct XKvEditorColumn {
  int32_t field;
  char title[64];
} XKvEditorColumn;

typedef struct XKvEditorColumns {
  int32_t count;
  const XKvEditorColumn* column;
} XKvEditorColumns;

typedef struct XKvEditorData {
  const char* folder;               // send: the folder the workbook goes into
  const char* workbook;             // read: the workbook the user chose
  const int32_t* records;           // send: the window's records (slots) in view order;
  int32_t recordCount;              //       null: every live record in table order
  int32_t rebuild;                  // read: "자료 모두 삭제 후 재구성" is checked
  uint16_t projectStart;            // read: the project start, for new activities
  char sent[1024];                  // send: the path of the workbook written
  int32_t added, updated, refused;  // read: rows added, rows updating a record, rows refused
  char problem[256];                // read: the first refused row and why; send: the first
                                    // cell written in part (UTF-8); empty if none
} XKvEditorData;

// A cell of the project map: column and row (from 0) and the record there.
typedef struct XKvMapCell {
  int32_t column;
  int32_t row;
  int32_t record;
} XKvMapCell;

// Kind 11: the map as shown.
typedef struct XKvMapView {
  int32_t mode;  // 0 activities, 1 crew requirements, 2 summary rows
  int32_t item;  // the field shown in the cells, -1 none
  int32_t cellCount;
  const XKvMapCell* cell;  // the selected cells, row by row
  int32_t rowCount;
  const char (*rowCode)[11];  // the row codes in order (CP949)
  int32_t columnCount;
  const char (*columnCode)[11];
} XKvMapView;

// A day (packed date) and its value.
typedef struct XKvValueEntry {
  uint16_t day;
  double value;
} XKvValueEntry;

// Kind 17: the value sheet's entries. A send reads count and entry (the
// entries in the sheet's order). A read calls clear (rebuild) and put once
// per row: put gives the entry of that day the value, or appends a new
// entry, and returns 0 or a message number.
typedef struct XKvValueTable {
  int32_t count;
  const XKvValueEntry* entry;
  void* owner;
  void (*clear)(void* owner);
  int32_t (*put)(void* owner, uint16_t day, double value);
} XKvValueTable;

// A row of the period sheet: a summary record's values of one value item,
// by period in day order.
typedef struct XKvPeriodRow {
  int32_t record;
  int32_t item;  // index into XKvPeriodSheet::item
  int32_t count;
  const XKvValueEntry* entry;
} XKvPeriodRow;

// Kinds 18, 19: the value items (38-byte records: item, series,
// cumulative, title) and the rows in sheet order.
typedef struct XKvPeriodSheet {
  int32_t itemCount;
  const void* item;
  int32_t rowCount;
  const XKvPeriodRow* row;
} XKvPeriodSheet;

#ifdef __cplusplus
}  // extern "C"
#endif

#endif  // KVEDITOR_H_
