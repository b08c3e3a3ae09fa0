// The picture service: record rules, the three formats, drawing.
#include <gtest/gtest.h>
#include <string.h>

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include "test_support.h"
#include "xJorImg.h"

namespace {

// A 4 x 2 picture: left half red, right half blue.
QImage twoColours() {
  QImage image(4, 2, QImage::Format_RGB32);
  image.fill(Qt::red);
  for (int y = 0; y < 2; ++y)
    for (int x = 2; x < 4; ++x) image.setPixel(x, y, qRgb(0, 0, 255));
  return image;
}

class PictureService : public ::testing::Test {
 protected:
  QString path(const char* name) const { return dir_.filePath(QString::fromUtf8(name)); }
  QTemporaryDir dir_;
};

TEST_F(PictureService, LoadsEachFormatByContentAndGivesItsSize) {
  const QImage image = twoColours();
  ASSERT_TRUE(image.save(path("a.bmp"), "BMP"));
  ASSERT_TRUE(image.save(path("a.jpg"), "JPEG"));
  ASSERT_TRUE(image.save(path("picture.zur"), "PNG"));  // the name does not matter
  const struct {
    const char* name;
    uint32_t format;
  } cases[] = {{"a.bmp", 0}, {"a.jpg", 1}, {"picture.zur", 2}};
  for (const auto& c : cases) {
    PictureRecord rec{};
    ASSERT_NE(xLoadImg(&rec, path(c.name).toUtf8().constData()), 0) << c.name;
    EXPECT_NE(rec.handle, 0u);
    EXPECT_EQ(rec.format, c.format);
    EXPECT_EQ(rec.width, 4);
    EXPECT_EQ(rec.height, 2);
    xClearImg(&rec);
    EXPECT_EQ(rec.handle, 0u);
  }
}

TEST_F(PictureService, ShippedPicturesLoad) {
  PictureRecord splash{}, logo{};
  EXPECT_NE(xLoadImg(&splash, xjor_test::sourcePath("data/Dizire.zur").toUtf8().constData()), 0);
  EXPECT_GT(splash.width, 0);
  EXPECT_NE(xLoadImg(&logo, xjor_test::sourcePath("data/Kelvo.jpg").toUtf8().constData()), 0);
  EXPECT_EQ(logo.format, 1u);
  xClearImg(&splash);
  xClearImg(&logo);
}

TEST_F(PictureService, BadFilesLeaveAnEmptyRecord) {
  QFile corrupt(path("broken.png"));
  ASSERT_TRUE(corrupt.open(QIODevice::WriteOnly));
  corrupt.write("\x89PNG\r\n\x1a\n but then nothing of a picture");
  corrupt.close();
  QFile text(path("notes.bmp"));
  ASSERT_TRUE(text.open(QIODevice::WriteOnly));
  text.write("just some text");
  text.close();
  ASSERT_TRUE(twoColours().save(path("other.ico"), "ICO"));  // a format we do not take

  for (const char* name : {"missing.png", "broken.png", "notes.bmp", "other.ico", ""}) {
    PictureRecord rec;
    memset(&rec, 0x5A, sizeof rec);  // whatever was there before
    EXPECT_EQ(xLoadImg(&rec, path(name).toUtf8().constData()), 0) << name;
    EXPECT_EQ(rec.handle, 0u);
    EXPECT_EQ(rec.width, 0);
    EXPECT_EQ(rec.height, 0);
  }
  PictureRecord rec{};
  EXPECT_EQ(xLoadImg(&rec, nullptr), 0);
  EXPECT_EQ(xLoadImg(nullptr, "x"), 0);
}

TEST_F(PictureService, ReleasingTwiceOrNeverLoadedDoesNothing) {
  ASSERT_TRUE(twoColours().save(path("a.png"), "PNG"));
  PictureRecord empty{};
  xClearImg(&empty);
  xClearImg(nullptr);

  PictureRecord first{};
  ASSERT_NE(xLoadImg(&first, path("a.png").toUtf8().constData()), 0);
  const PictureRecord staleCopy = first;
  xClearImg(&first);
  xClearImg(&first);
  // A copy of the released record must not reach a picture loaded later.
  PictureRecord second{};
  ASSERT_NE(xLoadImg(&second, path("a.png").toUtf8().constData()), 0);
  EXPECT_NE(second.handle, staleCopy.handle);
  PictureRecord copy = staleCopy;
  xClearImg(&copy);
  QImage canvas(8, 8, QImage::Format_RGB32);
  canvas.fill(Qt::white);
  QPainter painter(&canvas);
  xDrawImg(&staleCopy, &painter, 0, 0, 8, 8);  // draws nothing
  xDrawImg(&second, &painter, 0, 0, 8, 8);     // still there
  painter.end();
  EXPECT_EQ(canvas.pixel(1, 4), qRgb(255, 0, 0));
  xClearImg(&second);
}

TEST_F(PictureService, DrawsScaledIntoTheRectangle) {
  ASSERT_TRUE(twoColours().save(path("a.png"), "PNG"));
  PictureRecord rec{};
  ASSERT_NE(xLoadImg(&rec, path("a.png").toUtf8().constData()), 0);
  QImage canvas(100, 60, QImage::Format_RGB32);
  canvas.fill(Qt::white);
  QPainter painter(&canvas);
  xDrawImg(&rec, &painter, 10, 10, 90, 50);
  // A y-up painter, as a chart in 0.1 mm: (left, top) is above (right, bottom).
  painter.translate(0, 60);
  painter.scale(1, -1);
  xDrawImg(&rec, &painter, 0, 5, 4, 1);
  painter.end();
  EXPECT_EQ(canvas.pixel(5, 30), qRgb(255, 255, 255));   // outside
  EXPECT_EQ(canvas.pixel(20, 30), qRgb(255, 0, 0));      // left half
  EXPECT_EQ(canvas.pixel(80, 30), qRgb(0, 0, 255));      // right half
  EXPECT_EQ(canvas.pixel(95, 30), qRgb(255, 255, 255));  // outside
  EXPECT_EQ(canvas.pixel(0, 56), qRgb(255, 0, 0));
  EXPECT_EQ(canvas.pixel(3, 56), qRgb(0, 0, 255));
  xClearImg(&rec);
}

TEST(PictureFormats, NamesAndPatternsMakeAFileFilter) {
  QString filter;
  char name[64], pattern[64];
  for (int i = 0; i < XJORIMG_FORMATS; ++i) {
    ASSERT_GT(xGetImgFmt(i, name, sizeof name), 0);
    ASSERT_GT(xGetImgExt(i, pattern, sizeof pattern), 0);
    filter += QString::fromUtf8(name) + u'|' + QString::fromUtf8(pattern) + u'|';
  }
  filter += u'|';
  EXPECT_EQ(filter, QStringLiteral("비트맵 그림 (*.bmp)|*.bmp|JPEG 그림 (*.jpg)|*.jpg;*.jpeg|"
                                   "PNG 그림 (*.png)|*.png||"));
  EXPECT_EQ(xGetImgFmt(3, name, sizeof name), 0);
  EXPECT_STREQ(name, "");
  EXPECT_EQ(xGetImgExt(-1, pattern, sizeof pattern), 0);
  char tiny[4] = "abc";
  EXPECT_EQ(xGetImgExt(0, tiny, sizeof tiny), 0);  // "*.bmp" does not fit
  EXPECT_STREQ(tiny, "");
}

}  // namespace
