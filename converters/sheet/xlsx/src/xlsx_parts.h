// Inside the workbook reader: the open zip, one member streamed into an XML
// reader, and what the workbook's parts say.
#ifndef KVXLSX_PARTS_H_
#define KVXLSX_PARTS_H_

#include <zip.h>

#include <QXmlStreamReader>
#include <string>
#include <unordered_set>
#include <vector>

#include "kvxlsx.h"
#include "shared_strings.h"

namespace kvxlsx {

// One zip member fed to a QXmlStreamReader in chunks. next() is
// QXmlStreamReader::readNext() that refills the reader when it runs dry.
// What the reader holds stays bounded whatever the member: more than
// Limits::memberBytes unpacked, more than Limits::tokenBytes in one token,
// or elements nested deeper than 100 end the stream with Invalid and an
// error (every later next() gives Invalid too).
class MemberStream {
 public:
  MemberStream(zip_t* zip, const Limits& limits) : zip_(zip), limits_(limits) {}
  ~MemberStream();
  MemberStream(const MemberStream&) = delete;
  MemberStream& operator=(const MemberStream&) = delete;

  // Opens member name; false (with error()) when it is missing.
  bool open(const std::string& name);
  QXmlStreamReader::TokenType next();
  // The text of the current element up to its end (nested elements'
  // texts included), cut to the cell limit.
  std::string elementText();
  const std::string& error() const { return error_; }
  QXmlStreamReader& xml() { return xml_; }

 private:
  bool refill();

  zip_t* zip_;
  const Limits& limits_;
  zip_file_t* file_ = nullptr;
  QXmlStreamReader xml_;
  size_t read_ = 0;      // bytes unpacked
  size_t unparsed_ = 0;  // bytes handed to the XML reader since its last token
  int depth_ = 0;        // elements open
  bool ended_ = false;
  std::string name_, error_;
};

struct Workbook::Impl {
  ~Impl();

  zip_t* zip = nullptr;
  std::vector<char> buffer;  // the bytes of a workbook opened from memory
  Limits limits;
  std::vector<std::string> names, targets;  // sheets and their members
  SharedStrings shared;
  std::unordered_set<int> dateStyles;  // cell style indexes that show dates
  bool date1904 = false;

  bool load(std::string& error);
  bool readWorkbook(const std::string& path, std::string& sharedPath, std::string& stylesPath,
                    std::string& error);
  bool readShared(const std::string& path, std::string& error);
  bool readStyles(const std::string& path, std::string& error);
  bool readRows(size_t sheet, int firstColumn, int columnCount, const RowFn& fn,
                std::string& error);
};

// Appends text to out as UTF-8.
void appendUtf8(std::string& out, QStringView text);

// A text gathered piece by piece and cut to cap bytes at a character
// boundary; once cut, later pieces are dropped, so it stays a prefix.
class CappedText {
 public:
  explicit CappedText(size_t cap) : cap_(cap) {}
  void append(QStringView piece);
  std::string take() { return std::move(text_); }

 private:
  std::string text_;
  size_t cap_;
  bool full_ = false;
};

// The member a relationship's target names, seen from the folder of the
// part that holds the relationship ("xl/" for "xl/workbook.xml").
std::string resolveTarget(const std::string& folder, const std::string& target);

// Whether a number format shows a date (built-in number or format code).
bool isDateFormat(int id, const std::string& code);

// The 0-based column of a cell reference ("B3" gives 1), -1 when it has no
// letters or names a column past XFD; *row gets its row number (0 if none).
int columnOf(QStringView ref, uint32_t* row);
// The reference of a cell ("B3" for column 1, row 3), for messages.
std::string cellName(int column, uint32_t row);

}  // namespace kvxlsx

#endif  // KVXLSX_PARTS_H_
