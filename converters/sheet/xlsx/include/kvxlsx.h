// Reading .xlsx workbooks: the zip container (libzip), the workbook's sheet
// list, shared strings, the cell styles that mark dates, and the rows of a
// sheet read as a stream, so that a large sheet is never held whole.
//
// Cells come as numbers, texts (UTF-8), dates (serial days of the 1900
// system, whatever system the workbook uses), booleans or errors. A formula
// cell gives its cached value; a cell without a value is empty. Inline
// strings and rich text are read as plain text (phonetic runs left out).
//
// Hostile files meet limits, checked while a member is unpacked: a member
// that unpacks to more than Limits::memberBytes, one piece of XML (a tag, a
// text, a run of blanks) above Limits::tokenBytes, elements nested deeper
// than 100, shared strings above Limits::sharedBytes, a damaged zip or XML
// end the read with an error; texts longer than Limits::cellBytes are cut
// at a character boundary. With the default limits a read holds well under
// 100 MB whatever the file.
#ifndef KVXLSX_H_
#define KVXLSX_H_

#include <stddef.h>
#include <stdint.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kvxlsx {

struct Cell {
  enum Kind : uint8_t { Empty, Number, Text, Date, Bool, Error };
  Kind kind = Empty;
  double number = 0;  // Number, Date (serial day), Bool (0 or 1)
  std::string text;   // Text, Error (UTF-8)
};

struct Limits {
  size_t memberBytes = size_t{1} << 30;   // unpacked size of one member
  size_t tokenBytes = size_t{4} << 20;    // one piece of XML (a tag, a text, blanks)
  size_t cellBytes = 65536;               // bytes kept of one text
  size_t sharedBytes = size_t{64} << 20;  // memory the shared strings take
  uint32_t rows = 1048576;                // rows beyond are not read
};

// One row handed to a reader callback: its number (1-based) and the cells of
// the columns asked for (cells[i] is column firstColumn + i). Return false
// to stop reading the sheet.
using RowFn = std::function<bool(uint32_t row, const std::vector<Cell>& cells)>;

class Workbook {
 public:
  Workbook();
  ~Workbook();
  Workbook(const Workbook&) = delete;
  Workbook& operator=(const Workbook&) = delete;

  // Opens the workbook at path, or one held in memory (the bytes are
  // copied), and reads its sheet list, shared strings and styles. Returns
  // false, with error() telling why, when the file is not a zip, has no
  // workbook or one of those parts is damaged.
  bool open(const std::string& path, const Limits& limits = {});
  bool openBuffer(const void* data, size_t size, const Limits& limits = {});

  const std::string& error() const { return error_; }
  size_t sheetCount() const;
  // The name of sheet i (0-based, workbook order); empty when out of range.
  std::string sheetName(size_t i) const;

  // Reads the rows of sheet i in file order and calls fn for every row
  // element (rows without cells too; rows the file leaves out are not
  // reported), with columnCount cells from column firstColumn (0 = A).
  // Returns false, with error(), when the sheet is missing or damaged (a
  // cell that names a shared string the workbook lacks is damage: a
  // workbook needs shared strings only when its cells use them); stopping
  // through fn is not an error.
  bool readRows(size_t sheet, int firstColumn, int columnCount, const RowFn& fn);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  std::string error_;
};

// Serial day (1900 system: 1 = 1900-01-01, with the fictitious 1900-02-29
// at 60) of a calendar day, and back (the fraction of a day is dropped).
// dayOfSerial returns false for serials before 1900-03-01 or past 9999.
double serialOfDay(int year, int month, int day);
bool dayOfSerial(double serial, int* year, int* month, int* day);

// A number as a text that reads back to the same value ("%.15g" style
// without an exponent for everyday magnitudes).
std::string numberText(double v);

// Length of the UTF-8 text cut to at most max bytes without splitting a
// character.
size_t cutUtf8(const std::string& text, size_t max);

}  // namespace kvxlsx

#endif  // KVXLSX_H_
