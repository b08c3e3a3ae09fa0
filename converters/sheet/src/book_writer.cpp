#include "book_writer.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "kvxlsx.h"
#include "xjor/packed_date.h"

namespace kvsheet {

namespace {

constexpr double kMaxWidth = 80;

// Width of a number as its format shows it: digits, separators, decimals
// and the trailing blank.
double numberWidth(double v, int decimals) {
  const double a = std::fabs(v);
  const double digits = a < 10 ? 1 : a < 1e18 ? std::floor(std::log10(a)) + 1 : 18;
  return (v < 0 ? 1 : 0) + digits + std::floor((digits - 1) / 3) + (decimals ? decimals + 1 : 0) +
         1;
}

template <typename T>
double rawAt(const void* rec, int offset) {
  T v;
  memcpy(&v, static_cast<const char*>(rec) + offset, sizeof v);
  return static_cast<double>(v);
}

}  // namespace

double numberOf(const FieldDesc& f, const void* rec) {
  double v = 0;
  switch (f.type) {
    case XF_INT8:
      return rawAt<int8_t>(rec, f.offset);
    case XF_UINT8:
      return rawAt<uint8_t>(rec, f.offset);
    case XF_INT16:
      return rawAt<int16_t>(rec, f.offset);
    case XF_UINT16:
      return rawAt<uint16_t>(rec, f.offset);
    case XF_INT32:
      return rawAt<int32_t>(rec, f.offset);
    case XF_UINT32:
      return rawAt<uint32_t>(rec, f.offset);
    case XF_FLOAT:
      v = rawAt<float>(rec, f.offset);
      break;
    case XF_DOUBLE:
      v = rawAt<double>(rec, f.offset);
      break;
    default:
      return 0;
  }
  if (!std::isfinite(v)) return 0;
  xRound(&v, decimalsOf(f));
  return v;
}

std::string numberFormatText(int decimals) {
  if (decimals <= 0) return "#,##0_ ";
  return "#,##0." + std::string(static_cast<size_t>(decimals > 30 ? 30 : decimals), '0') + "_ ";
}

std::string dateFormatText(int dateForm) {
  static const char* const kForms[] = {"yyyy-mm-dd", "mm-dd-yyyy", "dd-mm-yyyy", "dd-mmm-yyyy"};
  const int i = dateForm / 2;
  return kForms[i >= 0 && i < 4 ? i : 0];
}

int decimalsOf(const FieldDesc& f) {
  return (f.type == XF_FLOAT || f.type == XF_DOUBLE) && f.decimals > 0 ? f.decimals : 0;
}

double textWidth(const std::string& utf8) {
  double w = 0;
  for (size_t i = 0; i < utf8.size();) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    const size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    w += n >= 3 ? 2 : 1;
    i += n;
  }
  return w;
}

std::string utf8Of(const char* cp949, size_t max, bool* whole) {
  const size_t n = strnlen(cp949, max);
  std::string in(cp949, n);
  if (whole) *whole = true;
  if (std::all_of(in.begin(), in.end(), [](char c) { return (c & 0x80) == 0; })) return in;
  std::vector<char> out(n * 2 + 4);
  if (xCp949ToUtf8(in.c_str(), out.data(), static_cast<int32_t>(out.size())) >= 0)
    return out.data();
  // Character by character: a pair whose second byte may follow a lead byte
  // is one character, kept or left out whole; a lead byte without one is
  // left out alone, so the bytes after it keep their meaning.
  if (whole) *whole = false;
  std::string utf8;
  for (size_t i = 0; i < n;) {
    const unsigned char c = static_cast<unsigned char>(in[i]);
    if (c < 0x80) {
      utf8 += in[i++];
      continue;
    }
    const unsigned char t = i + 1 < n ? static_cast<unsigned char>(in[i + 1]) : 0;
    const bool pair = c <= 0xFE && ((t >= 0x41 && t <= 0x5A) || (t >= 0x61 && t <= 0x7A) ||
                                    (t >= 0x81 && t <= 0xFE));
    if (!pair) {
      ++i;
      continue;
    }
    const char two[3] = {in[i], in[i + 1], '\0'};
    char one[8];
    if (xCp949ToUtf8(two, one, sizeof one) > 0) utf8 += one;
    i += 2;
  }
  return utf8;
}

Book::~Book() {
  if (wb_) {
    // Never saved: free what the library holds and drop the file.
    lxw_workbook_free(wb_);
    unlink(temp_.c_str());
  }
}

bool Book::create(const std::string& path) {
  path_ = path;
  const size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
  std::string pattern = folder + "/.kvxls.XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = mkstemp(name.data());
  if (fd < 0) return false;
  close(fd);
  temp_ = name.data();
  lxw_workbook_options options = {LXW_TRUE, nullptr, LXW_FALSE};
  wb_ = workbook_new_opt(temp_.c_str(), &options);
  if (!wb_) {
    unlink(temp_.c_str());
    return false;
  }
  return true;
}

lxw_worksheet* Book::addSheet(const std::string& utf8Name) {
  return workbook_add_worksheet(wb_, utf8Name.c_str());
}

lxw_format* Book::text() {
  if (!text_) {
    text_ = workbook_add_format(wb_);
    format_set_num_format(text_, "@");
  }
  return text_;
}

lxw_format* Book::date() {
  if (!date_) {
    date_ = workbook_add_format(wb_);
    format_set_num_format(date_, dateFormatText(xGetDateForm()).c_str());
  }
  return date_;
}

lxw_format* Book::number(int decimals) {
  lxw_format*& f = numbers_[decimals];
  if (!f) {
    f = workbook_add_format(wb_);
    format_set_num_format(f, numberFormatText(decimals).c_str());
  }
  return f;
}

lxw_format* Book::of(const FieldDesc& f) {
  switch (f.type) {
    case XF_STRING:
    case XF_REF:
    case XF_CHAR:
    case XF_RAW4:
      return text();
    case XF_DATE:
      return date();
    default:
      return number(decimalsOf(f));
  }
}

bool Book::save() {
  lxw_workbook* wb = wb_;
  wb_ = nullptr;
  bool ok = workbook_close(wb) == LXW_NO_ERROR;
  if (ok) {
    // The temporary file was made private; the workbook gets the modes a
    // newly created file has.
    const mode_t mask = umask(0);
    umask(mask);
    const int fd = ::open(temp_.c_str(), O_RDONLY);
    ok = fd >= 0 && fchmod(fd, 0666 & ~mask) == 0 && fsync(fd) == 0;
    if (fd >= 0) close(fd);
  }
  ok = ok && rename(temp_.c_str(), path_.c_str()) == 0;
  if (!ok) unlink(temp_.c_str());
  return ok;
}

void Sheet::widen(int col, double width) {
  if (col < 0) return;
  if (widths_.size() <= static_cast<size_t>(col)) {
    widths_.resize(static_cast<size_t>(col) + 1, 0);
    formats_.resize(static_cast<size_t>(col) + 1, nullptr);
  }
  double& w = widths_[static_cast<size_t>(col)];
  if (width > w) w = width;
}

void Sheet::text(int row, int col, const std::string& utf8, lxw_format* format) {
  if (!utf8.empty())
    worksheet_write_string(ws_, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(col),
                           kvxlsx::escapeLiteralEscapes(utf8).c_str(), format);
  widen(col, textWidth(utf8));
}

void Sheet::cp949(int row, int col, const char* text, lxw_format* format) {
  bool whole = true;
  this->text(row, col, utf8Of(text, XF_VALUE_MAX, &whole), format);
  if (!whole) book_.note({ws_->name, row, col});
}

void Sheet::number(int row, int col, double v, lxw_format* format, int decimals) {
  worksheet_write_number(ws_, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(col), v, format);
  widen(col, numberWidth(v, decimals));
}

void Sheet::date(int row, int col, uint16_t packed) {
  if (!packed || !xIsValidT(packed)) return;
  const double serial = kvxlsx::serialOfDay(xjor::packedYear(packed), xjor::packedMonth(packed),
                                            xjor::packedDay(packed));
  worksheet_write_number(ws_, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(col), serial,
                         book_.date());
  widen(col, dateFormatText(xGetDateForm()).size());
}

void Sheet::field(int row, int col, const FieldDesc* fds, int i, const void* rec) {
  const FieldDesc& f = fds[i];
  const char* at = static_cast<const char*>(rec) + f.offset;
  char value[XF_VALUE_BUFFER];
  switch (f.type) {
    case XF_DATE: {
      uint16_t d;
      memcpy(&d, at, 2);
      date(row, col, d);
      return;
    }
    case XF_STRING:
    case XF_REF:
    case XF_CHAR:
      xGetValue(fds, ref_, value, rec, i, static_cast<int32_t>(f.flags & ~(XF_COMMA | XF_RIGHT)));
      cp949(row, col, value, book_.text());
      return;
    case XF_RAW4:
      return;
    default: {
      const int decimals = decimalsOf(f);
      number(row, col, numberOf(f, rec), book_.number(decimals), decimals);
    }
  }
}

void Sheet::columnFormat(int col, lxw_format* format) {
  widen(col, 0);
  formats_[static_cast<size_t>(col)] = format;
}

void Sheet::fit() {
  for (size_t c = 0; c < widths_.size(); ++c) {
    if (widths_[c] <= 0 && !formats_[c]) continue;
    const double w = widths_[c] + 2 < kMaxWidth ? widths_[c] + 2 : kMaxWidth;
    worksheet_set_column(ws_, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c), w < 4 ? 4 : w,
                         formats_[c]);
  }
}

}  // namespace kvsheet
