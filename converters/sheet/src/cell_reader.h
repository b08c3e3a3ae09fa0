// Cells of a workbook into fields of a record: numeric and date cells are
// taken as they are, texts go through the engine's conversions.
#ifndef KVSHEET_CELL_READER_H_
#define KVSHEET_CELL_READER_H_

#include <string>

#include "kvxlsx.h"
#include "xJorDbm2.h"

namespace kvsheet {

// The packed date of a serial day, 0 outside 1980-01-01 .. 2079-12-31.
uint16_t packedOfSerial(double serial);
// UTF-8 text as CP949; false when it holds a character CP949 lacks.
bool cp949Of(const std::string& utf8, std::string& out);
// A cell as text (UTF-8): numbers in their shortest exact form, dates in
// the current date form, booleans as "TRUE"/"FALSE", errors empty.
std::string cellText(const kvxlsx::Cell& c);
// True when the cell holds nothing (or only an empty text).
inline bool isEmpty(const kvxlsx::Cell& c) {
  return c.kind == kvxlsx::Cell::Empty || (c.kind == kvxlsx::Cell::Text && c.text.empty());
}

// Stores v into a number field of rec: integers rounded and held to the
// type's range, floating fields rounded to their decimals. False for fields
// that are not numbers.
bool putNumber(const FieldDesc& f, double v, void* rec);

// The packed date of a text (CP949): the current date form first, then
// "2026-03-05", "2026/03/05", "2026.03.05" and "20260305". 0 when it is
// none of them.
uint16_t dateOfText(const std::string& text);

// Puts cell c into field i of rec (an empty cell clears the field).
// Numeric and date cells are stored as they are (putNumber); texts go
// through the engine's conversion (dates through dateOfText) and are cut to
// the field's width at a character boundary. Returns null, or why the cell
// cannot be read ("text not in CP949", "not a date"), leaving the field as
// it was.
const char* readField(const FieldDesc* fds, int32_t ref, int i, const kvxlsx::Cell& c, void* rec);

}  // namespace kvsheet

#endif  // KVSHEET_CELL_READER_H_
