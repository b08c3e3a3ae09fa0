#include "xstring.h"

#include "kvutf8.h"
#include "kvxlsx.h"

namespace kvxlsx {

namespace {

// The code unit of an escape at text[i], or -1 when none starts there.
long escapeAt(const std::string& text, size_t i) {
  if (i + 7 > text.size() || text.compare(i, 2, "_x") != 0 || text[i + 6] != '_') return -1;
  long unit = 0;
  for (size_t k = i + 2; k < i + 6; ++k) {
    const char c = text[k];
    const int digit = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                             : -1;
    if (digit < 0) return -1;
    unit = unit * 16 + digit;
  }
  return unit;
}

}  // namespace

void unescapeXstring(std::string& text) {
  if (text.find("_x") == std::string::npos) return;
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const long unit = escapeAt(text, i);
    if (unit > 0 && (unit < 0xD800 || unit > 0xDFFF)) {
      kvconv::appendUtf8(out, static_cast<uint32_t>(unit));
      i += 7;
      continue;
    }
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      const long low = escapeAt(text, i + 7);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        kvconv::appendUtf8(out, 0x10000 + ((static_cast<uint32_t>(unit) - 0xD800) << 10) +
                                    (static_cast<uint32_t>(low) - 0xDC00));
        i += 14;
        continue;
      }
    }
    out += text[i++];
  }
  text.swap(out);
}

std::string escapeLiteralEscapes(const std::string& text) {
  if (text.find("_x") == std::string::npos) return text;
  std::string out;
  out.reserve(text.size() + 14);
  for (size_t i = 0; i < text.size(); ++i) {
    if (escapeAt(text, i) >= 0)
      out += "_x005F_";
    else
      out += text[i];
  }
  return out;
}

}  // namespace kvxlsx
