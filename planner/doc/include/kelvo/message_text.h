// Texts of the system's message numbers (UTF-8), as the main program shows
// them.
#ifndef KELVO_MESSAGE_TEXT_H_
#define KELVO_MESSAGE_TEXT_H_

namespace kelvo {

// The text of a message number; "" for a number without a text here.
const char* messageText(int number);

}  // namespace kelvo

#endif  // KELVO_MESSAGE_TEXT_H_
