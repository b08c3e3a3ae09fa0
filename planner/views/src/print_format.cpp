#include "kelvo/print_format.h"

#include <cstring>
#include <initializer_list>

namespace kelvo {

PrintFormat defaultPrintFormat() {
  PrintFormat format;
  std::memset(&format, 0, sizeof format);
  format.flags = printflag::kRepeatScale;
  format.marginTop = format.marginBottom = format.marginLeft = format.marginRight = 100;
  // Every page says what it is: the project name over the print date and
  // the page numbers (the date box of the page frame).
  format.headerHeight = 150;
  std::memcpy(format.headerText[0], "&2", 3);
  for (int i = 0; i < 2; ++i) {
    for (LOGFONT* font : {&format.headerFont[i], &format.footerFont[i]}) {
      font->lfHeight = -32;
      font->lfWeight = 400;
      font->lfCharSet = 1;
      // "굴림체" in CP949.
      std::memcpy(font->lfFaceName, "\xB1\xBC\xB8\xB2\xC3\xBC", 7);
    }
  }
  return format;
}

}  // namespace kelvo
