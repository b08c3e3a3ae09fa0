// dBASE III table files (without memo) as the converters exchange them.
//
// Layout: a 32-byte file header (version 3, date of last update, record
// count, header length, record length), one 32-byte descriptor per column,
// 0x0D, then fixed-length records that start with a flag byte (blank = live,
// '*' = deleted), and 0x1A at the end. A character column keeps its length
// as a 16-bit value in descriptor bytes 16-17, so it may be longer than 255;
// other columns keep their length in byte 16 and their decimals in byte 17.
//
// All texts are CP949 bytes; cutting a text to a width never splits a
// double-byte character. Dates are the engine's packed dates.
#ifndef KVDBF_H_
#define KVDBF_H_

#include <stdint.h>
#include <stdio.h>

#include <string>
#include <string_view>
#include <vector>

namespace kvdbf {

struct Column {
  std::string name;      // at most 10 bytes
  char type = 'C';       // 'C' text, 'N'/'F' number, 'D' date, others kept as text
  uint16_t length = 0;   // bytes in a record
  uint8_t decimals = 0;  // digits after the point ('N', 'F')
  uint32_t offset = 0;   // place in a record (the flag byte is at 0); set by Reader/Writer
};

// Returns the length of the longest prefix of text that fits in width bytes
// and does not end inside a double-byte character (lead byte 0x81-0xFE).
size_t cutCp949(std::string_view text, size_t width);

// "YYYYMMDD" of a packed date, or eight blanks for no date and for dates
// that are not real days of 1980-2079.
std::string dateText(uint16_t packed);
// The packed date of a "YYYYMMDD" field (shorter texts count as blank
// padded). Year 0 gives no date, and so does anything that is not a real
// day of 1980-2107.
uint16_t parseDate(std::string_view text);

// Writes one table file. The file is built under a temporary name beside the
// target and renamed over it by close(), so a failed write leaves any older
// file untouched. Destroying an unclosed writer removes the temporary file.
class Writer {
 public:
  Writer() = default;
  Writer(const Writer&) = delete;
  Writer& operator=(const Writer&) = delete;
  ~Writer();

  // Starts the file with these columns (offsets are filled in). today is the
  // packed date stored as the date of last update. Returns false (nothing
  // created) for an empty column list, a name longer than 10 bytes, a
  // length of 0 (or above 255 for a non-character column), a record above
  // 65,535 bytes, or a file that cannot be created.
  bool create(const std::string& path, std::vector<Column> columns, uint16_t today);
  const std::vector<Column>& columns() const { return columns_; }

  // Set a field of the record being built (blank at the start of each one).
  // Text is left-aligned and cut at the column's width; numbers are right-
  // aligned and, when wider than the column, keep only their last characters;
  // setInt writes an integer ("%*d"), setNumber writes the column's decimals
  // (halves away from zero).
  void setText(size_t col, std::string_view text);
  void setInt(size_t col, int64_t value);
  void setNumber(size_t col, double value);
  void setDate(size_t col, uint16_t packed);

  // Writes the record being built as a live record. Returns false when the
  // write fails (the file is then abandoned at close()).
  bool append();
  // Rewrites the header with the final record count, ends the file with
  // 0x1A, flushes it to disk and renames it over the target. Returns false
  // (and removes the temporary file) when any write failed.
  bool close();

 private:
  void putField(size_t col, std::string_view text, bool rightAligned);
  bool writeHeader();
  void abandon();

  FILE* file_ = nullptr;
  std::string path_, tempPath_;
  std::vector<Column> columns_;
  std::string record_;
  uint32_t count_ = 0;
  uint16_t today_ = 0;
  bool failed_ = false;
};

// Reads one table file, wholly in memory. Every length and count of the
// header is checked against the bytes present before anything is read.
class Reader {
 public:
  // Opens path; false when it cannot be read or is not a sound table.
  bool open(const std::string& path);
  // Same for a file image already in memory.
  bool openBytes(std::string bytes);
  // The reason the last open failed ("short header", "cannot open: No such
  // file or directory", ...), for messages and tests.
  const std::string& error() const { return error_; }

  const std::vector<Column>& columns() const { return columns_; }
  size_t columnCount() const { return columns_.size(); }
  uint32_t recordCount() const { return count_; }

  // Makes record i current. Returns false when i is not below recordCount().
  bool seek(uint32_t i);
  // True when the current record's flag byte is blank.
  bool live() const;

  // The field's bytes as stored.
  std::string_view raw(size_t col) const;
  // The field's text without trailing blanks.
  std::string text(size_t col) const;
  // The field read as a decimal integer (leading blanks, sign, digits; 0
  // when there is none).
  int64_t integer(size_t col) const;
  // The field read as a decimal number (no exponent; 0 when there is none).
  double number(size_t col) const;
  // The field read as a date (see parseDate).
  uint16_t date(size_t col) const;

 private:
  bool fail(std::string why);

  std::string bytes_, error_;
  std::vector<Column> columns_;
  uint32_t count_ = 0, headerLength_ = 0, recordLength_ = 0;
  const char* record_ = nullptr;
};

}  // namespace kvdbf

#endif  // KVDBF_H_
