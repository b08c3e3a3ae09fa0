// The chart's kept text layouts draw the pixels drawText draws, for every
// alignment the chart uses, for texts shaped on an earlier paint, and for
// the texts they hand back to drawText.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "shell_fixture.h"
#include "text_layouts.h"

namespace kelvo_test {
namespace {

QImage paint(const std::function<void(QPainter&)>& draw) {
  QImage image(240, 60, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setFont(QFont(QStringLiteral("굴림체"), 11));
  draw(p);
  return image;
}

TEST(NetworkTextLayouts, DrawTheSamePixelsAsDrawText) {
  app();
  kelvo::TextLayouts texts;
  // Fractional rectangles, as the unit mapper gives them, and one turned
  // upside down (a logical rectangle with y up).
  const QRectF rects[] = {{10.4, 12.6, 150.3, 17.2}, {30.5, 40.25, 120.0, -21.5}};
  const int flags[] = {Qt::AlignLeft | Qt::AlignVCenter, Qt::AlignRight | Qt::AlignTop,
                       Qt::AlignCenter, Qt::AlignLeft | Qt::AlignBottom,
                       Qt::AlignRight | Qt::AlignVCenter};
  const QString strings[] = {
      QStringLiteral("activity 52718"), QStringLiteral("      0"),
      QStringLiteral("FS 3"),           QStringLiteral("기초 공사 2026/03/02"),
      QStringLiteral("two\nlines"),     QStringLiteral(" lead")};
  for (const QRectF& r : rects)
    for (int f : flags)
      for (const QString& s : strings)
        for (int pass = 0; pass < 2; ++pass) {  // shaped now, then kept
          const int all = f | Qt::TextDontClip;
          EXPECT_EQ(paint([&](QPainter& p) { texts.draw(p, r, all, s); }),
                    paint([&](QPainter& p) { p.drawText(r, all, s); }))
              << s.toStdString() << " flags " << f << " pass " << pass;
        }
  // Clipped text is drawText's own.
  const QRectF narrow(10, 10, 30, 20);
  EXPECT_EQ(paint([&](QPainter& p) { texts.draw(p, narrow, Qt::AlignLeft, strings[0]); }),
            paint([&](QPainter& p) { p.drawText(narrow, Qt::AlignLeft, strings[0]); }));
  // Another font makes new layouts rather than reusing the old shapes.
  EXPECT_EQ(paint([&](QPainter& p) {
              p.setFont(QFont(QStringLiteral("굴림체"), 20));
              texts.draw(p, rects[0], Qt::AlignLeft | Qt::TextDontClip, strings[0]);
            }),
            paint([&](QPainter& p) {
              p.setFont(QFont(QStringLiteral("굴림체"), 20));
              p.drawText(rects[0], Qt::AlignLeft | Qt::TextDontClip, strings[0]);
            }));
}

}  // namespace
}  // namespace kelvo_test
