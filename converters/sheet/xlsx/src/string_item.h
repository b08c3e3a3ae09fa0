// A string item (<si> of the shared strings, <is> of an inline string).
#ifndef KVXLSX_STRING_ITEM_H_
#define KVXLSX_STRING_ITEM_H_

#include <string>

#include "xlsx_parts.h"

namespace kvxlsx {

// Reads the item the stream stands on (its start element just read) to its
// end: the texts of its <t> elements, plain or in rich-text runs, without
// the phonetic runs (<rPh>), cut to cap bytes at a character boundary,
// with its _xHHHH_ escapes undone (unescapeXstring).
std::string stringItem(MemberStream& s, size_t cap);

}  // namespace kvxlsx

#endif  // KVXLSX_STRING_ITEM_H_
