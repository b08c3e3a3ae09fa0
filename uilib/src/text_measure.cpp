// Text measuring and font sizes in 0.1 mm.
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QScreen>
#include <cmath>
#include <cstdlib>

#include "xJorLib.h"
#include "xjorlib/qt_bridge.h"

namespace {

int screenDpiY() {
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
    if (const QScreen* screen = QGuiApplication::primaryScreen())
      return std::max(1, qRound(screen->logicalDotsPerInchY()));
  return 96;
}

}  // namespace

extern "C" int32_t xFontSize(int32_t height) {
  // Through whole screen pixels, as the font dialog sees the size. The height
  // is taken by magnitude, so a cell height does not give a negative size.
  const int64_t dpi = screenDpiY();
  const int64_t units = std::llabs(static_cast<int64_t>(height));
  const int64_t pixels = (units * dpi + 127) / 254;
  const int64_t tenthsOfPoint = pixels * 720 / dpi;
  return static_cast<int32_t>((tenthsOfPoint + 5) / 10);
}

extern "C" uint64_t xGetTextExtent(const char* text, int32_t length, const LOGFONT* font) {
  if (!text || length <= 0 || !font) return 0;
  const QFontMetricsF metrics(xjor::fontFromLogFont(*font), xjor::measuringDevice());
  const uint32_t lineHeight = static_cast<uint32_t>(std::lround(metrics.height()));
  uint32_t width = 0;
  uint32_t height = 0;
  int32_t start = 0;
  while (start < length) {
    int32_t end = start;
    while (end < length && text[end] != '\r' && text[end] != '\n') ++end;
    const QString line = xjor::fromCp949(text + start, end - start);
    const double advance = metrics.horizontalAdvance(line);
    width = std::max(width, static_cast<uint32_t>(std::ceil(advance)));
    height += lineHeight;
    // A line ends at CR LF, a lone CR or a lone LF; a break at the very end
    // of the text opens no further line.
    if (end < length && text[end] == '\r' && end + 1 < length && text[end + 1] == '\n') ++end;
    start = end + 1;
  }
  return static_cast<uint64_t>(width) | (static_cast<uint64_t>(height) << 32);
}
