// The command icons: every one loads, and no two look alike at the sizes
// the toolbars use.
#include "xjorlib/command_icons.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "test_support.h"

namespace {

TEST(CommandIcons, EveryIconLoadsAndNoTwoLookAlikeAt16Or24Pixels) {
  const QList<int> ids = xjor::commandsWithIcons();
  ASSERT_GE(ids.size(), 60);
  EXPECT_TRUE(xjor::commandIcon(1).isNull());  // no such command
  // The whole set on one sheet, ten to a row, each at 16 and at 24 pixels,
  // for a person to look at.
  constexpr int kPerRow = 10;
  QImage sheet(kPerRow * 48, int((ids.size() + kPerRow - 1) / kPerRow) * 30, QImage::Format_ARGB32);
  sheet.fill(Qt::white);
  QPainter painter(&sheet);
  for (int size : {16, 24}) {
    QImage blank(size, size, QImage::Format_ARGB32);
    blank.fill(Qt::transparent);
    QHash<QByteArray, int> seen;
    for (int i = 0; i < ids.size(); ++i) {
      const QIcon icon = xjor::commandIcon(ids[i]);
      ASSERT_FALSE(icon.isNull()) << ids[i];
      const QImage image = icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
      ASSERT_EQ(image.size(), QSize(size, size)) << ids[i];
      // Something is drawn, and it is not the picture of another command.
      EXPECT_NE(image, blank) << ids[i];
      const QByteArray bytes(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
      EXPECT_FALSE(seen.contains(bytes))
          << ids[i] << " looks like " << seen.value(bytes) << " at " << size << " px";
      seen.insert(bytes, ids[i]);
      painter.drawImage((i % kPerRow) * 48 + (size == 16 ? 2 : 20), (i / kPerRow) * 30 + 3, image);
    }
  }
  painter.end();
  EXPECT_TRUE(sheet.scaled(sheet.size() * 3).save(xjor_test::outputPath("command_icons.png")));
}

}  // namespace
