// Writing workbooks with libxlsxwriter: the number formats by field type,
// field values as numeric, date and text cells, columns sized to their
// contents, and a save that replaces the target only when complete.
#ifndef KVSHEET_BOOK_WRITER_H_
#define KVSHEET_BOOK_WRITER_H_

#include <xlsxwriter.h>

#include <map>
#include <string>
#include <vector>

#include "xJorDbm2.h"

namespace kvsheet {

// The number format of a number with d decimals: "#,##0." followed by d
// zeros and "_ ", or "#,##0_ " without decimals.
std::string numberFormatText(int decimals);
// The date format of the current date form: form / 2 picks "yyyy-mm-dd",
// "mm-dd-yyyy", "dd-mm-yyyy" or "dd-mmm-yyyy".
std::string dateFormatText(int dateForm);
// Display decimals of a number field (0 for integers).
int decimalsOf(const FieldDesc& f);
// The value of a number field, rounded to its decimals. The whole value:
// a field's display cuts a number wider than the field to its last digits,
// which would lose data in a workbook.
double numberOf(const FieldDesc& f, const void* rec);

class Book {
 public:
  Book() = default;
  ~Book();
  Book(const Book&) = delete;
  Book& operator=(const Book&) = delete;

  // Starts a workbook that save() puts at path (written beside it under a
  // temporary name first). False when the folder cannot take it.
  bool create(const std::string& path);
  lxw_worksheet* addSheet(const std::string& utf8Name);
  lxw_format* text();
  lxw_format* date();
  lxw_format* number(int decimals);
  // The format of a field's column: text for strings and reference lists,
  // the date format for dates, the number format otherwise.
  lxw_format* of(const FieldDesc& f);
  // Writes the file, flushes it to disk and renames it over the target.
  // On failure the target is untouched and false is returned.
  bool save();

  // A cell whose text was written in part, for the caller to report.
  struct PartialText {
    std::string sheet;  // UTF-8
    int row, col;       // 0-based
  };
  void note(PartialText cell) { notes_.push_back(std::move(cell)); }
  const std::vector<PartialText>& notes() const { return notes_; }

 private:
  lxw_workbook* wb_ = nullptr;
  std::string path_, temp_;
  lxw_format *text_ = nullptr, *date_ = nullptr;
  std::map<int, lxw_format*> numbers_;
  std::vector<PartialText> notes_;
};

// One worksheet being written: cells and the widths they need.
class Sheet {
 public:
  Sheet(Book& book, lxw_worksheet* ws, int32_t ref) : book_(book), ws_(ws), ref_(ref) {}

  // A text cell (nothing for an empty text), kept literal when it holds
  // what reads as an _xHHHH_ escape.
  void text(int row, int col, const std::string& utf8, lxw_format* format);
  // A CP949 text cell: what converts is written, and a text that does not
  // convert whole is noted in the book.
  void cp949(int row, int col, const char* text, lxw_format* format);
  void number(int row, int col, double v, lxw_format* format, int decimals);
  void date(int row, int col, uint16_t packed);
  // Field i of rec: numbers as numeric cells (numberOf), dates as date
  // cells, texts and reference entries as text cells.
  void field(int row, int col, const FieldDesc* fds, int i, const void* rec);
  // Gives column col its format (for the cells not written too).
  void columnFormat(int col, lxw_format* format);
  // Sizes every used column to its widest cell, CJK characters counting
  // as two.
  void fit();

 private:
  void widen(int col, double width);

  Book& book_;
  lxw_worksheet* ws_;
  int32_t ref_;
  std::vector<double> widths_;
  std::vector<lxw_format*> formats_;
};

// Display width of a UTF-8 text: CJK and other wide characters count two.
double textWidth(const std::string& utf8);
// CP949 text as UTF-8 (at most max bytes read). Bytes that do not convert
// are left out; *whole, when given, tells whether every byte converted.
std::string utf8Of(const char* cp949, size_t max, bool* whole = nullptr);

}  // namespace kvsheet

#endif  // KVSHEET_BOOK_WRITER_H_
