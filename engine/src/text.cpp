// CP949 text helpers: character-boundary cuts, ASCII case conversion,
// trimming, boundary-aware search and conversion to and from UTF-8.
#include "xjor/text.h"

#include <errno.h>
#include <iconv.h>
#include <string.h>

extern "C" int32_t xIsLeadByte(unsigned char c) {
  return c >= 0x81 && c <= 0xFE;
}

extern "C" int32_t xCharCut(const char* text, int32_t max) {
  int32_t i = 0;
  while (i < max && text[i] != '\0') {
    if (xIsLeadByte(static_cast<unsigned char>(text[i]))) {
      // A lead byte whose trail is missing or does not fit ends the text.
      if (i + 1 >= max || text[i + 1] == '\0') break;
      i += 2;
    } else {
      ++i;
    }
  }
  return i;
}

extern "C" int32_t xCopyChars(char* dst, const char* src, int32_t max) {
  int32_t n = xCharCut(src, max < 0 ? 0 : max);
  memmove(dst, src, static_cast<size_t>(n));
  dst[n] = '\0';
  return n;
}

namespace {

template <typename Convert>
void convertAscii(char* text, Convert convert) {
  for (size_t i = 0; text[i] != '\0'; ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (xIsLeadByte(c)) {
      if (text[i + 1] == '\0') break;
      ++i;  // the trail byte is part of the character
    } else {
      text[i] = convert(c);
    }
  }
}

int32_t convertCodes(const char* from, const char* to, const char* in, char* out, int32_t cap) {
  if (cap < 1) return -1;
  out[0] = '\0';
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return -1;
  char* src = const_cast<char*>(in);
  size_t srcLeft = strlen(in);
  char* dst = out;
  size_t dstLeft = static_cast<size_t>(cap - 1);
  size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
  int err = errno;
  iconv_close(cd);
  if (r == static_cast<size_t>(-1) && err != E2BIG) {
    out[0] = '\0';  // a character without a counterpart, or a broken one
    return -1;
  }
  *dst = '\0';
  return static_cast<int32_t>(dst - out);
}

}  // namespace

extern "C" void xUpperText(char* text) {
  convertAscii(text, [](unsigned char c) {
    return static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
  });
}

extern "C" void xLowerText(char* text) {
  convertAscii(text, [](unsigned char c) {
    return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  });
}

extern "C" int32_t xTrimText(char* text) {
  size_t n = strlen(text);
  while (n > 0 && text[n - 1] == ' ') --n;
  size_t lead = 0;
  while (lead < n && text[lead] == ' ') ++lead;
  memmove(text, text + lead, n - lead);
  text[n - lead] = '\0';
  return static_cast<int32_t>(n - lead);
}

extern "C" int32_t xFindText(const char* text, const char* needle) {
  size_t m = strlen(needle);
  for (size_t i = 0;; ++i) {
    if (strncmp(text + i, needle, m) == 0) return static_cast<int32_t>(i);
    if (text[i] == '\0') return -1;
    if (xIsLeadByte(static_cast<unsigned char>(text[i])) && text[i + 1] != '\0') ++i;
  }
}

extern "C" int32_t xCp949ToUtf8(const char* in, char* out, int32_t cap) {
  return convertCodes("CP949", "UTF-8", in, out, cap);
}

extern "C" int32_t xUtf8ToCp949(const char* in, char* out, int32_t cap) {
  return convertCodes("UTF-8", "CP949", in, out, cap);
}
