// Helpers of the page frame that do not need a view.
#ifndef KELVO_VIEWS_PAGE_FRAME_H_
#define KELVO_VIEWS_PAGE_FRAME_H_

#include <QString>

#include "xQdDb100.h"

namespace kelvo {

// Expands a header or footer template of at most length bytes (CP949, ends
// at the first NUL): '&' and one character is replaced by a project item
// (1 code, 2 name, 3 company, 4 currency, 5 start, 6 finish, 7/8 current
// period start/finish, 9 data date, M manager, R remarks; dates in the
// current date form) or, for any other character, by that character. With
// no project (info null) the items are empty.
QString expandPageTemplate(const char* templ, int length, const PrjInfo* info);

}  // namespace kelvo

#endif  // KELVO_VIEWS_PAGE_FRAME_H_
