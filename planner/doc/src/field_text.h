#ifndef KELVO_DOC_FIELD_TEXT_H_
#define KELVO_DOC_FIELD_TEXT_H_

// Texts of field descriptors and typed names, shared by the layout edit,
// the user summary items and the named formulas.

#include <cstring>
#include <string>
#include <string_view>

#include "xjor/field.h"

namespace kelvo {

// The descriptor's name, up to its first zero byte.
inline std::string fieldName(const FieldDesc& f) {
  return std::string(f.name, strnlen(f.name, sizeof f.name));
}

// text without the blanks and tabs at either end.
inline std::string trimBlanks(std::string_view text) {
  const size_t a = text.find_first_not_of(" \t");
  if (a == std::string_view::npos) return {};
  return std::string(text.substr(a, text.find_last_not_of(" \t") - a + 1));
}

}  // namespace kelvo

#endif  // KELVO_DOC_FIELD_TEXT_H_
