// Date text of any content under every form, delimiter and ordinal mode.
// The first byte picks the settings, the rest is the text. Any date that is
// accepted must print and read back to itself.
#include <stdlib.h>
#include <string.h>

#include <memory>

#include "xJorDbm2.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t settings = data[0];
  const char delimiters[4] = {'-', '\0', '/', '.'};
  xSetDateForm(settings & 7);
  xSetDateDelimiter(delimiters[(settings >> 3) & 3]);
  xSetOrdinalTime((settings >> 5) & 1);
  xSetOrdinalBase((settings >> 6) ? 0x2821 : 0);  // 2000-01-01 or none

  auto text = std::make_unique<char[]>(size);  // exact size: overreads trap
  memcpy(text.get(), data + 1, size - 1);
  text[size - 1] = '\0';
  uint16_t d = xStrToTime(text.get());
  if (d != 0) {
    if (xIsValidT(d) != 1) abort();
    char buf[XJOR_DATE_TEXT_MAX];
    xTimeToStr(buf, d);
    if (xStrToTime(buf) != d) abort();
  }
  return 0;
}
