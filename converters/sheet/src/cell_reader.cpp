#include "cell_reader.h"

#include <cstring>
#include <vector>

namespace kvsheet {

uint16_t packedOfSerial(double serial) {
  int y, m, d;
  if (!kvxlsx::dayOfSerial(serial, &y, &m, &d) || y < 1980 || y > 2079) return 0;
  return static_cast<uint16_t>(((y - 1980) << 9) | (m << 5) | d);
}

bool cp949Of(const std::string& utf8, std::string& out) {
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

bool readField(const FieldDesc* fds, int32_t ref, int i, const kvxlsx::Cell& c, void* rec) {
  const FieldDesc& f = fds[i];
  using K = kvxlsx::Cell;
  if (f.type == XF_DATE && (c.kind == K::Date || c.kind == K::Number)) {
    const uint16_t d = packedOfSerial(c.number);
    memcpy(static_cast<char*>(rec) + f.offset, &d, 2);
    return true;
  }
  const bool numeric = c.kind == K::Number || c.kind == K::Bool || c.kind == K::Date;
  if (numeric && f.type != XF_STRING && f.type != XF_REF && f.type != XF_CHAR) {
    // The engine's reading of the exact number applies the field's
    // rounding and width.
    xSetValue(fds, ref, kvxlsx::numberText(c.number).c_str(), rec, i);
    return true;
  }
  std::string text;
  if (!cp949Of(cellText(c), text)) return false;
  xSetValue(fds, ref, text.c_str(), rec, i);
  return true;
}

}  // namespace kvsheet
