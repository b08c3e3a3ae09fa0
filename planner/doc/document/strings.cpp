// The string table as Qt text.
#include "kelvo/strings.h"

namespace kelvo {

QString loadString(int id) {
  const char* text = stringText(id);
  return text ? QString::fromUtf8(text) : QStringLiteral("#%1").arg(id);
}

}  // namespace kelvo
