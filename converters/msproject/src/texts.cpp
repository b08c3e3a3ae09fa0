// Record texts (CP949) and file texts (UTF-8).
#include <cstring>

#include "msp_project.h"
#include "xjor/text.h"

namespace kvmsp {

std::string utf8Of(const char* cp949, size_t width) {
  const std::string in(cp949, strnlen(cp949, width));
  std::string out(in.size() * 3 / 2 + 4, '\0');
  const int32_t n = xCp949ToUtf8(in.c_str(), out.data(), static_cast<int32_t>(out.size()));
  out.resize(n < 0 ? 0 : static_cast<size_t>(n));
  return out;
}

void cp949Into(const std::string& utf8, char* out, int width) {
  std::string text(utf8.size() + 1, '\0');
  if (xUtf8ToCp949(utf8.c_str(), text.data(), static_cast<int32_t>(text.size())) < 0) {
    // Character by character, '?' for each one CP949 lacks.
    text.clear();
    for (size_t i = 0; i < utf8.size();) {
      size_t n = 1;
      while (i + n < utf8.size() && (static_cast<unsigned char>(utf8[i + n]) & 0xC0) == 0x80) ++n;
      char one[8] = {}, in[8] = {};
      memcpy(in, utf8.data() + i, n < 7 ? n : 7);
      text += xUtf8ToCp949(in, one, sizeof one) > 0 ? std::string(one) : std::string("?");
      i += n;
    }
  }
  xCopyChars(out, text.c_str(), width);
}

}  // namespace kvmsp
