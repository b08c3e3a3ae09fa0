// Qt-side helpers shared by the library and the program: colours stored as
// 0x00BBGGRR, the 60-byte logical font to and from QFont, CP949 text, and the
// virtual 254-dpi device on which text is measured in 0.1 mm.
#ifndef XJORLIB_QT_BRIDGE_H_
#define XJORLIB_QT_BRIDGE_H_

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QString>

#include "xJorLib.h"

class QPaintDevice;

namespace xjor {

// 0x00BBGGRR <-> QColor (alpha ignored / opaque).
QColor colorFromRef(COLORREF ref);
COLORREF colorToRef(const QColor& color);

// CP949 bytes <-> Unicode. Undecodable bytes become U+FFFD; characters that
// CP949 cannot hold are dropped by toCp949 (callers refuse them earlier).
QString fromCp949(const char* bytes, int length);
QString fromCp949(const QByteArray& bytes);
QByteArray toCp949(const QString& text);

// Registers the Korean stand-ins for the stored Windows faces ("굴림체" ->
// NanumGothicCoding, else another Korean fixed-pitch font). Idempotent; the
// font helpers below call it themselves.
void installFontSubstitutes();

// The font a logical-font record describes, sized so that it has its true
// physical size on any device: 0.1 mm units become points (x 72 / 254).
// Weight, italic, underline and strike-out are kept; hinting is off.
QFont fontFromLogFont(const LOGFONT& lf);
// Writes font into *lf: face name (CP949), height (negative em size in
// 0.1 mm, from the font's point size), weight, italic, underline, strike-out.
// Other fields of *lf are kept.
void fontToLogFont(const QFont& font, LOGFONT* lf);

// A paint device of 254 dpi in both directions: one of its pixels is 0.1 mm.
// Font metrics taken on it are in 0.1 mm.
QPaintDevice* measuringDevice();

}  // namespace xjor

#endif  // XJORLIB_QT_BRIDGE_H_
