// Colour, text and font conversions between stored records and Qt.
#include "xjorlib/qt_bridge.h"

#include <string.h>

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QImage>
#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <cmath>

namespace xjor {

QColor colorFromRef(COLORREF ref) {
  return QColor(ref & 0xFF, (ref >> 8) & 0xFF, (ref >> 16) & 0xFF);
}

COLORREF colorToRef(const QColor& color) {
  const QColor rgb = color.toRgb();
  return static_cast<COLORREF>(rgb.red()) | (static_cast<COLORREF>(rgb.green()) << 8) |
         (static_cast<COLORREF>(rgb.blue()) << 16);
}

QString fromCp949(const char* bytes, int length) {
  if (!bytes || length <= 0) return QString();
  // Printable ASCII but the backslash (the won sign in CP949) reads as
  // itself; most codes and labels are nothing else, and they skip opening a
  // converter, which a chart repaint would otherwise do for every label.
  const auto plain = [](char c) { return c >= 0x20 && c <= 0x7E && c != 0x5C; };
  if (std::all_of(bytes, bytes + length, plain)) return QString::fromLatin1(bytes, length);
  QStringDecoder decoder("CP949");
  if (!decoder.isValid()) return QString::fromLatin1(bytes, length);
  return decoder.decode(QByteArrayView(bytes, length));
}

QString fromCp949(const QByteArray& bytes) {
  return fromCp949(bytes.constData(), bytes.size());
}

QByteArray toCp949(const QString& text) {
  QByteArray out;
  // Encode character by character so that what CP949 cannot hold is dropped
  // rather than replaced by a question mark the user never typed.
  for (qsizetype i = 0; i < text.size();) {
    const qsizetype n = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
    QStringEncoder encoder("CP949", QStringConverter::Flag::ConvertInvalidToNull);
    if (!encoder.isValid()) return text.toLatin1();
    const QByteArray piece = encoder.encode(QStringView(text).mid(i, n));
    if (!encoder.hasError() && !piece.contains('\0')) out += piece;
    i += n;
  }
  return out;
}

void installFontSubstitutes() {
  static const bool done = [] {
    const QStringList families = QFontDatabase::families();
    QString mono;
    if (families.contains(QStringLiteral("NanumGothicCoding"))) {
      mono = QStringLiteral("NanumGothicCoding");
    } else {
      for (const QString& family : QFontDatabase::families(QFontDatabase::Korean))
        if (QFontDatabase::isFixedPitch(family)) {
          mono = family;
          break;
        }
    }
    QString proportional =
        families.contains(QStringLiteral("NanumGothic")) ? QStringLiteral("NanumGothic") : mono;
    if (!mono.isEmpty()) QFont::insertSubstitution(QStringLiteral("굴림체"), mono);
    if (!proportional.isEmpty()) QFont::insertSubstitution(QStringLiteral("굴림"), proportional);
    return true;
  }();
  (void)done;
}

QPaintDevice* measuringDevice() {
  static QImage device = [] {
    QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
    image.setDotsPerMeterX(10000);  // 254 dpi
    image.setDotsPerMeterY(10000);
    return image;
  }();
  return &device;
}

namespace {

constexpr int32_t kDefaultHeight = -32;  // 9 points, the program's default font
constexpr double kPointsPerUnit = 72.0 / 254.0;

}  // namespace

QFont fontFromLogFont(const LOGFONT& lf) {
  installFontSubstitutes();
  QFont font(fromCp949(lf.lfFaceName, static_cast<int>(strnlen(lf.lfFaceName, LF_FACESIZE))));
  font.setHintingPreference(QFont::PreferNoHinting);
  const int32_t height = lf.lfHeight == 0 ? kDefaultHeight : lf.lfHeight;
  font.setPointSizeF(std::abs(static_cast<double>(height)) * kPointsPerUnit);
  if (lf.lfWeight > 0) font.setWeight(static_cast<QFont::Weight>(std::min(lf.lfWeight, 1000)));
  font.setItalic(lf.lfItalic != 0);
  font.setUnderline(lf.lfUnderline != 0);
  font.setStrikeOut(lf.lfStrikeOut != 0);
  if (height > 0) {
    // A positive height is the cell height (ascent + descent): scale the em
    // size so that the cell measures exactly that.
    const double cell = QFontMetricsF(font, measuringDevice()).height();
    if (cell > 0) font.setPointSizeF(font.pointSizeF() * height / cell);
  }
  return font;
}

void fontToLogFont(const QFont& font, LOGFONT* lf) {
  if (!lf) return;
  const QByteArray face = toCp949(font.family());
  memset(lf->lfFaceName, 0, LF_FACESIZE);
  // Never cut through a double-byte character: a cut falls before its lead byte.
  int length = 0;
  while (length < face.size()) {
    const int step = (static_cast<unsigned char>(face[length]) >= 0x81) ? 2 : 1;
    if (length + step > LF_FACESIZE - 1) break;
    length += step;
  }
  memcpy(lf->lfFaceName, face.constData(), std::min<qsizetype>(length, face.size()));
  double points = font.pointSizeF();
  if (points <= 0) points = font.pixelSize() * 72.0 / 96.0;
  lf->lfHeight = -static_cast<int32_t>(std::lround(points / kPointsPerUnit));
  lf->lfWeight = font.weight();
  lf->lfItalic = font.italic() ? 1 : 0;
  lf->lfUnderline = font.underline() ? 1 : 0;
  lf->lfStrikeOut = font.strikeOut() ? 1 : 0;
}

}  // namespace xjor
