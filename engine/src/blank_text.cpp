// Blank trimming and padding of single-byte texts.
#include <string.h>

#include "xjor/numfmt.h"

extern "C" int32_t xRTrim(char* text, int32_t n) {
  if (n <= 0) n = static_cast<int32_t>(strlen(text));
  while (n > 0 && text[n - 1] == ' ') --n;
  text[n] = '\0';
  return n;
}

extern "C" int32_t xLTrim(char* text, int32_t n) {
  if (n <= 0) n = static_cast<int32_t>(strlen(text));
  int32_t blanks = 0;
  while (blanks < n && text[blanks] == ' ') ++blanks;
  if (blanks > 0) memmove(text, text + blanks, static_cast<size_t>(n - blanks));
  text[n - blanks] = '\0';
  return n - blanks;
}

extern "C" void xLFill(char* text, int32_t w) {
  int32_t len = static_cast<int32_t>(strlen(text));
  if (len >= w) return;
  memmove(text + (w - len), text, static_cast<size_t>(len) + 1);
  memset(text, ' ', static_cast<size_t>(w - len));
}

extern "C" void xRFill(char* text, int32_t w) {
  int32_t len = static_cast<int32_t>(strlen(text));
  if (len >= w) return;
  memset(text + len, ' ', static_cast<size_t>(w - len));
  text[w] = '\0';
}
