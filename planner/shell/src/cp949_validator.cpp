#include "kelvo/cp949_validator.h"

#include <vector>

#include "xJorDbm2.h"

namespace kelvo {

QValidator::State Cp949Validator::validate(QString& input, int&) const {
  const QByteArray utf8 = input.toUtf8();
  std::vector<char> out(utf8.size() * 2 + 2);
  const int32_t n = xUtf8ToCp949(utf8.constData(), out.data(), static_cast<int32_t>(out.size()));
  if (n < 0 && !input.isEmpty()) return Invalid;
  if (max_ >= 0 && n > max_) return Invalid;
  return Acceptable;
}

}  // namespace kelvo
