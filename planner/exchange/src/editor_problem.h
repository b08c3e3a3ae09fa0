// The status-bar text after the external editor's read was refused. The
// converter tells why in English (for its log); the user reads Korean.
#ifndef KELVO_EDITOR_PROBLEM_H_
#define KELVO_EDITOR_PROBLEM_H_

#include <QString>

namespace kelvo {

// Turns the converter's reason (UTF-8, "row N: why" or a whole-workbook
// reason) into the program's words: the row number kept, a known reason in
// Korean, a store message number as that message's text, anything else as
// the text of `message` (the message the user was shown; 0: none).
QString editorProblemText(const char* problem, int message);

}  // namespace kelvo

#endif  // KELVO_EDITOR_PROBLEM_H_
