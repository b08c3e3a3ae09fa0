#include "kelvo/text_fields.h"

#include <cstring>

#include "xJorDbm2.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo {

QString fieldText(const char* field, size_t size) {
  return xjor::fromCp949(field, int(strnlen(field, size)));
}

void setFieldText(char* field, size_t size, const QString& text) {
  std::memset(field, 0, size);
  QByteArray bytes;
  for (const QChar& c : text) {  // whole characters only
    const QByteArray one = xjor::toCp949(QString(c));
    if (bytes.size() + one.size() > int(size) - 1) break;
    bytes += one;
  }
  std::memcpy(field, bytes.constData(), bytes.size());
}

int cp949Length(const QString& text) {
  return int(xjor::toCp949(text).size());
}

QString dateText(uint16_t date) {
  if (date == 0) return {};
  char buf[XJOR_DATE_TEXT_MAX] = {};
  xTimeToStr(buf, date);
  return QString::fromLatin1(buf);
}

bool parseDateText(const QString& text, uint16_t* date) {
  const QByteArray bytes = text.trimmed().toLatin1();
  if (bytes.isEmpty()) {
    *date = 0;
    return true;
  }
  const uint16_t d = xStrToTime(bytes.constData());
  if (d == 0) return false;
  *date = d;
  return true;
}

}  // namespace kelvo
