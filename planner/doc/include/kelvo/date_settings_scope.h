// Date settings switched for a while: the engine's date form, delimiter,
// ordinal mode and base are put back when the scope ends, so that an
// example or a parse under other settings changes nothing.
#ifndef KELVO_DATE_SETTINGS_SCOPE_H_
#define KELVO_DATE_SETTINGS_SCOPE_H_

#include "xjor/calendar.h"

namespace kelvo {

class DateSettingsScope {
 public:
  DateSettingsScope() { xGetDateInfo(&saved_); }
  ~DateSettingsScope() { xSetDateInfo(&saved_); }
  DateSettingsScope(const DateSettingsScope&) = delete;
  DateSettingsScope& operator=(const DateSettingsScope&) = delete;

 private:
  DateInfo saved_;
};

// A date delimiter may be none (0) or one printable ASCII character that is
// not a digit, a letter, a blank or '@' (which marks date constants in
// expressions).
constexpr bool isDateDelimiter(char c) {
  const bool digit = c >= '0' && c <= '9';
  const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  return c == 0 || (c > ' ' && c < 0x7F && !digit && !letter && c != '@');
}

}  // namespace kelvo

#endif  // KELVO_DATE_SETTINGS_SCOPE_H_
