// Fonts, colours and text measured in 0.1 mm.
#include <gtest/gtest.h>
#include <string.h>

#include <QFontInfo>
#include <QFontMetricsF>
#include <cmath>

#include "xJorLib.h"
#include "xjorlib/qt_bridge.h"

namespace {

LOGFONT gulimche(int32_t height) {
  LOGFONT lf{};
  lf.lfHeight = height;
  lf.lfCharSet = 1;
  const QByteArray face = xjor::toCp949(QStringLiteral("굴림체"));
  memcpy(lf.lfFaceName, face.constData(), face.size());
  return lf;
}

uint32_t widthOf(uint64_t extent) {
  return static_cast<uint32_t>(extent & 0xFFFFFFFFu);
}
uint32_t heightOf(uint64_t extent) {
  return static_cast<uint32_t>(extent >> 32);
}

// The font's own metrics on the 0.1 mm device, rounded as the measurer does.
uint32_t ownWidth(const LOGFONT& lf, const QString& line) {
  const QFontMetricsF metrics(xjor::fontFromLogFont(lf), xjor::measuringDevice());
  return static_cast<uint32_t>(std::ceil(metrics.horizontalAdvance(line)));
}
uint32_t ownHeight(const LOGFONT& lf) {
  const QFontMetricsF metrics(xjor::fontFromLogFont(lf), xjor::measuringDevice());
  return static_cast<uint32_t>(std::lround(metrics.height()));
}

TEST(FontSize, DefaultHeightIsNinePoints) {
  EXPECT_EQ(xFontSize(-32), 9);
  EXPECT_EQ(xFontSize(-42), 12);
  EXPECT_EQ(xFontSize(-71), 20);
  EXPECT_EQ(xFontSize(0), 0);
  EXPECT_EQ(xFontSize(32), 9);  // a cell height is not a negative size
}

TEST(Fonts, StoredWindowsFaceShowsAsTheKoreanMonospaceFont) {
  const QFont font = xjor::fontFromLogFont(gulimche(-32));
  EXPECT_EQ(font.family(), QStringLiteral("굴림체"));  // the record keeps its face
  EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("NanumGothicCoding"));
  EXPECT_NEAR(font.pointSizeF(), 32 * 72.0 / 254, 1e-9);
}

TEST(Fonts, LogicalFontRoundTripsThroughQFont) {
  LOGFONT lf = gulimche(-42);
  lf.lfWeight = 700;
  lf.lfItalic = 1;
  lf.lfStrikeOut = 1;
  lf.lfCharSet = 129;
  const QFont font = xjor::fontFromLogFont(lf);
  EXPECT_TRUE(font.bold());
  EXPECT_TRUE(font.italic());
  EXPECT_FALSE(font.underline());
  EXPECT_TRUE(font.strikeOut());
  LOGFONT back{};
  back.lfCharSet = 129;
  xjor::fontToLogFont(font, &back);
  EXPECT_EQ(memcmp(&back, &lf, sizeof lf), 0);
}

TEST(Fonts, PositiveHeightIsTheCellHeight) {
  // NanumGothic's cell is taller than its em, so the two readings differ.
  LOGFONT cell{};
  strcpy(cell.lfFaceName, "NanumGothic");
  cell.lfHeight = 50;
  LOGFONT em = cell;
  em.lfHeight = -50;
  const QFontMetricsF byCell(xjor::fontFromLogFont(cell), xjor::measuringDevice());
  const QFontMetricsF byEm(xjor::fontFromLogFont(em), xjor::measuringDevice());
  EXPECT_NEAR(byCell.height(), 50, 1.0);
  EXPECT_GT(byEm.height(), 52);
}

TEST(Fonts, LongFaceNameIsCutBeforeADoubleByteCharacter) {
  QFont font(QString(16, u'가'));  // 32 bytes in CP949, 31 fit
  font.setPointSize(9);
  LOGFONT lf{};
  xjor::fontToLogFont(font, &lf);
  EXPECT_EQ(strlen(lf.lfFaceName), 30u);
  font.setFamily(QStringLiteral("x") + QString(16, u'가'));
  xjor::fontToLogFont(font, &lf);
  EXPECT_EQ(strlen(lf.lfFaceName), 31u);
}

TEST(Colours, StoredAsBlueGreenRed) {
  EXPECT_EQ(xjor::colorFromRef(0xFF0000), QColor(0, 0, 255));
  EXPECT_EQ(xjor::colorFromRef(0x800080), QColor(128, 0, 128));
  EXPECT_EQ(xjor::colorFromRef(0x0000FF), QColor(255, 0, 0));
  EXPECT_EQ(xjor::colorToRef(QColor(0x12, 0x34, 0x56)), 0x563412u);
  EXPECT_EQ(xjor::colorToRef(QColor::fromHsv(120, 255, 255)), 0x00FF00u);
}

TEST(Cp949, RoundTripsHangulAndDropsWhatItCannotHold) {
  const QString text = QStringLiteral("공정 A1");
  const QByteArray bytes = xjor::toCp949(text);
  EXPECT_EQ(bytes, QByteArray("\xB0\xF8\xC1\xA4 A1"));
  EXPECT_EQ(xjor::fromCp949(bytes), text);
  EXPECT_EQ(xjor::toCp949(QStringLiteral("a😀b")), QByteArray("ab"));
  // Plain ASCII reads as itself, but the backslash is the won sign.
  EXPECT_EQ(xjor::fromCp949(QByteArray("A-01 ~x")), QStringLiteral("A-01 ~x"));
  EXPECT_EQ(xjor::fromCp949(QByteArray("1\\2")), QStringLiteral("1₩2"));
}

TEST(TextExtent, OneLineIsMeasuredWithTheFontsOwnMetrics) {
  const LOGFONT lf = gulimche(-32);
  const QByteArray text = xjor::toCp949(QStringLiteral("공정표 Gantt"));
  const uint64_t extent = xGetTextExtent(text.constData(), text.size(), &lf);
  EXPECT_EQ(widthOf(extent), ownWidth(lf, QStringLiteral("공정표 Gantt")));
  EXPECT_EQ(heightOf(extent), ownHeight(lf));
  // NanumGothicCoding is monospaced, a Hangul syllable two cells wide: 12 cells.
  EXPECT_NEAR(widthOf(extent), ownWidth(lf, QStringLiteral("ab")) * 6.0, 3);
  // 9 points is about 3.2 mm high: the unit really is 0.1 mm.
  EXPECT_GT(heightOf(extent), 30u);
  EXPECT_LT(heightOf(extent), 50u);
}

TEST(TextExtent, LinesBreakAtCrLfLoneCrAndLoneLf) {
  const LOGFONT lf = gulimche(-32);
  const uint32_t line = ownHeight(lf);
  const uint32_t widest = ownWidth(lf, QStringLiteral("longest line"));
  for (const char* text :
       {"ab\r\nlongest line\r\nc", "ab\rlongest line\nc", "ab\nlongest line\rc"}) {
    const uint64_t extent = xGetTextExtent(text, static_cast<int32_t>(strlen(text)), &lf);
    EXPECT_EQ(widthOf(extent), widest) << text;
    EXPECT_EQ(heightOf(extent), 3 * line) << text;
  }
  // An empty line between two breaks counts; a break at the very end opens none.
  EXPECT_EQ(heightOf(xGetTextExtent("a\r\n\r\nb", 6, &lf)), 3 * line);
  EXPECT_EQ(heightOf(xGetTextExtent("a\r\n", 3, &lf)), line);
  EXPECT_EQ(heightOf(xGetTextExtent("\r\n", 2, &lf)), line);
}

TEST(TextExtent, EmptyTextAndShortLengths) {
  const LOGFONT lf = gulimche(-32);
  EXPECT_EQ(xGetTextExtent("", 0, &lf), 0u);
  EXPECT_EQ(xGetTextExtent("abc", 0, &lf), 0u);
  EXPECT_EQ(xGetTextExtent(nullptr, 5, &lf), 0u);
  EXPECT_EQ(xGetTextExtent("abc", -1, &lf), 0u);
  // Only length bytes are read: "ab" of a longer buffer, and a CR that is
  // the last byte given is not paired with the LF beyond it.
  EXPECT_EQ(xGetTextExtent("ab\r\nlonger text", 2, &lf), xGetTextExtent("ab", 2, &lf));
  EXPECT_EQ(heightOf(xGetTextExtent("ab\r\nlonger", 3, &lf)), ownHeight(lf));
}

TEST(TextExtent, BiggerFontMeasuresProportionallyBigger) {
  const LOGFONT small = gulimche(-32);
  const LOGFONT big = gulimche(-64);
  const uint64_t a = xGetTextExtent("WWWWWWWWWW", 10, &small);
  const uint64_t b = xGetTextExtent("WWWWWWWWWW", 10, &big);
  EXPECT_NEAR(widthOf(b), 2.0 * widthOf(a), 2);
  EXPECT_NEAR(heightOf(b), 2.0 * heightOf(a), 2);
}

}  // namespace
