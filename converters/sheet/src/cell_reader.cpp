#include "cell_reader.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <vector>

#include "xjor/packed_date.h"

namespace kvsheet {

namespace {

// Stores v rounded to a whole number and held within T's range.
template <class T>
bool putWhole(char* at, double v) {
  const double r = std::round(v);
  const double lo = std::numeric_limits<T>::min(), hi = std::numeric_limits<T>::max();
  const T x = static_cast<T>(r < lo ? lo : r > hi ? hi : r);
  memcpy(at, &x, sizeof x);
  return true;
}

}  // namespace

uint16_t packedOfSerial(double serial) {
  int y, m, d;
  if (!kvxlsx::dayOfSerial(serial, &y, &m, &d) || y < 1980 || y > 2079) return 0;
  return xjor::packDate(y, m, d);
}

bool cp949Of(const std::string& utf8, std::string& out) {
  // ASCII is the same in both encodings; most cells hold nothing else.
  if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return (c & 0x80) == 0; })) {
    out.assign(utf8.c_str());
    return true;
  }
  std::vector<char> buf(utf8.size() + 4);
  if (xUtf8ToCp949(utf8.c_str(), buf.data(), static_cast<int32_t>(buf.size())) < 0) return false;
  out = buf.data();
  return true;
}

std::string cellText(const kvxlsx::Cell& c) {
  switch (c.kind) {
    case kvxlsx::Cell::Text:
      return c.text;
    case kvxlsx::Cell::Number:
      return kvxlsx::numberText(c.number);
    case kvxlsx::Cell::Bool:
      return c.number ? "TRUE" : "FALSE";
    case kvxlsx::Cell::Date: {
      char buf[XJOR_DATE_TEXT_MAX + 1] = {};
      const uint16_t d = packedOfSerial(c.number);
      if (d) xTimeToStr(buf, d);
      return buf;  // digits and delimiters only: the same in both encodings
    }
    default:
      return {};
  }
}

uint16_t dateOfText(const std::string& text) {
  if (const uint16_t d = xStrToTime(text.c_str())) return d;
  int y = 0, m = 0, d = 0;
  char sep = 0, sep2 = 0, end = 0;
  const bool separated =
      sscanf(text.c_str(), " %4d%c%2d%c%2d %c", &y, &sep, &m, &sep2, &d, &end) == 5 &&
      sep == sep2 && (sep == '-' || sep == '/' || sep == '.');
  const bool plain =
      !separated && text.size() == 8 &&
      std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
      sscanf(text.c_str(), "%4d%2d%2d", &y, &m, &d) == 3;
  if (!separated && !plain) return 0;
  int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0) days[1] = 29;
  if (y < 1980 || y > 2079 || m < 1 || m > 12 || d < 1 || d > days[m - 1]) return 0;
  return xjor::packDate(y, m, d);
}

const char* readField(const FieldDesc* fds, int32_t ref, int i, const kvxlsx::Cell& c, void* rec) {
  const FieldDesc& f = fds[i];
  using K = kvxlsx::Cell;
  if (f.type == XF_DATE && (c.kind == K::Date || c.kind == K::Number)) {
    const uint16_t d = packedOfSerial(c.number);
    memcpy(static_cast<char*>(rec) + f.offset, &d, 2);
    return nullptr;
  }
  const bool numeric = c.kind == K::Number || c.kind == K::Bool || c.kind == K::Date;
  if (numeric && putNumber(f, c.number, rec)) return nullptr;
  std::string text;
  if (!cp949Of(cellText(c), text)) return "text not in CP949";
  if (f.type == XF_DATE && !isEmpty(c)) {
    const uint16_t d = dateOfText(text);
    if (!d) return "not a date";
    memcpy(static_cast<char*>(rec) + f.offset, &d, 2);
    return nullptr;
  }
  xSetValue(fds, ref, text.c_str(), rec, i);
  return nullptr;
}

bool putNumber(const FieldDesc& f, double v, void* rec) {
  char* at = static_cast<char*>(rec) + f.offset;
  if (!std::isfinite(v)) v = 0;
  switch (f.type) {
    case XF_INT8:
      return putWhole<int8_t>(at, v);
    case XF_UINT8:
      return putWhole<uint8_t>(at, v);
    case XF_INT16:
      return putWhole<int16_t>(at, v);
    case XF_UINT16:
      return putWhole<uint16_t>(at, v);
    case XF_INT32:
      return putWhole<int32_t>(at, v);
    case XF_UINT32:
      return putWhole<uint32_t>(at, v);
    case XF_FLOAT: {
      xRound(&v, f.decimals > 0 ? f.decimals : 0);
      const float x = std::fabs(v) <= 3.4e38 ? static_cast<float>(v) : 0.0f;
      memcpy(at, &x, sizeof x);
      return true;
    }
    case XF_DOUBLE:
      xRound(&v, f.decimals > 0 ? f.decimals : 0);
      memcpy(at, &v, sizeof v);
      return true;
    default:
      return false;
  }
}

}  // namespace kvsheet
