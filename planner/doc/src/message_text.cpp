#include "kelvo/message_text.h"

#include "kelvo/string_table.h"

namespace kelvo {

const char* messageText(int number) {
  const char* text = stringText(number);
  return text ? text : "";
}

}  // namespace kelvo
