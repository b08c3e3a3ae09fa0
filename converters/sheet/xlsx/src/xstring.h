// The escapes of OOXML texts: a character XML cannot carry (a control
// character, say) is written as _xHHHH_, its UTF-16 code unit in hex, and
// an underscore that would start such a sequence as _x005F_.
#ifndef KVXLSX_XSTRING_H_
#define KVXLSX_XSTRING_H_

#include <string>

namespace kvxlsx {

// Replaces every _xHHHH_ of the UTF-8 text by its character, left to right
// (so "_x005F_x000B_" gives "_x000B_"); a pair of surrogate escapes gives
// one character. An escape of NUL or of a lone surrogate is kept as it is.
void unescapeXstring(std::string& text);

}  // namespace kvxlsx

#endif  // KVXLSX_XSTRING_H_
