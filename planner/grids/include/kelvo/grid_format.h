// The stored layout of a grid: the 150-byte grid format block, the 46-byte
// column records, and the 276-byte sheet record that adds the record order
// and filter of a table sheet. All of them live in the project's option file
// per view kind: record 100 + kind (sheet record) and 132 + kind (columns).
#ifndef KELVO_GRID_FORMAT_H_
#define KELVO_GRID_FORMAT_H_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "kelvo/view_kind.h"
#include "xJorDbm2.h"
#include "xJorLib.h"

namespace kelvo {

#pragma pack(push, 1)
struct GridFormat {
  uint16_t flags;        // bit 0: draw the drawing objects
  uint16_t columnCount;  // column records that follow in record 132 + kind
  uint16_t rowCount;     // records of the record set (runtime)
  uint16_t reserved;
  uint16_t headerHeight;    // 0.1 mm
  uint16_t rowHeight;       // 0.1 mm
  uint16_t rowNumberWidth;  // 0.1 mm; 0 hides the row-number column
  LOGFONT headerFont;
  LOGFONT bodyFont;
  COLORREF headerText;
  COLORREF bodyText;
  COLORREF gridLine;
  COLORREF headerBack;
};

struct ColumnRecord {
  int16_t field;   // index into the table's field descriptors
  int16_t width;   // 0.1 mm
  int16_t align;   // 0 left, 1 right, 2 centred
  char title[40];  // CP949; empty = the field's name
};

// Record 100 + kind of a table sheet: the format block, then the record
// order (a count and up to 12 field indexes, + 10000 for descending) and
// the filter condition the record set is opened with.
struct SheetRecord {
  GridFormat format;
  uint16_t order[13];
  char filter[100];
};
#pragma pack(pop)

static_assert(sizeof(GridFormat) == 150, "grid format block is 150 bytes");
static_assert(offsetof(GridFormat, headerHeight) == 8);
static_assert(offsetof(GridFormat, headerFont) == 14);
static_assert(offsetof(GridFormat, bodyFont) == 74);
static_assert(offsetof(GridFormat, headerText) == 134);
static_assert(offsetof(GridFormat, headerBack) == 146);
static_assert(sizeof(ColumnRecord) == 46, "column record is 46 bytes");
static_assert(sizeof(SheetRecord) == 276, "sheet record is 276 bytes");
static_assert(offsetof(SheetRecord, order) == 150);
static_assert(offsetof(SheetRecord, filter) == 176);

enum ColumnAlign : int16_t { kAlignLeft = 0, kAlignRight = 1, kAlignCentre = 2 };

// The format a grid gets when nothing is stored: flags 1, header and row
// height 52, row-number column 84, fonts "굴림체" -32 character set 1, the
// default colours. A grid linked to the Gantt chart passes headerHeight 96.
GridFormat defaultGridFormat(uint16_t headerHeight = 52);

// One column per field of the table in field order: width = (the larger of
// the field's display width and its name's length) x 16 + 20, left-aligned
// for strings and reference fields, right-aligned for all others.
std::vector<ColumnRecord> defaultColumns(const FieldDesc* fields, int fieldCount, int32_t ref);

// Sizes read from a file act as divisors and offsets: the header and row
// heights become at least 1.
void clampGridFormat(GridFormat* format);

// Reads record 100 + kind. False (record untouched) when it is not stored.
bool readSheetRecord(OptionFileRef* opt, ViewKind kind, SheetRecord* record);
// Writes record 100 + kind.
void writeSheetRecord(OptionFileRef* opt, ViewKind kind, const SheetRecord& record);

// Reads the column records of record 132 + kind: at most `count` whole
// records that the item holds, dropping those whose field number is not a
// field of the table (0..fieldCount-1) and clamping widths to 0..32767.
// Empty when nothing usable is stored.
std::vector<ColumnRecord> readColumns(OptionFileRef* opt, ViewKind kind, int count, int fieldCount);
// Writes the column records as record 132 + kind.
void writeColumns(OptionFileRef* opt, ViewKind kind, const std::vector<ColumnRecord>& columns);

}  // namespace kelvo

#endif  // KELVO_GRID_FORMAT_H_
