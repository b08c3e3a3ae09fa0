// The splash window and the about box, rendered offscreen.
#include <gtest/gtest.h>

#include <QDialog>
#include <QImage>
#include <QPushButton>
#include <QWidget>

#include "hyperlink_label.h"
#include "splash_window.h"
#include "test_support.h"
#include "xJorLib.h"

namespace {

using xjor::CHyperLink;
using xjor::CSplashWnd;
using xjor_test::sourcePath;
using xjor_test::waitFor;

const QByteArray kPicture = sourcePath("data/Dizire.zur").toUtf8();
const QImage kPictureImage(sourcePath("data/Dizire.zur"), "PNG");

CSplashWnd* findSplash() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* splash = dynamic_cast<CSplashWnd*>(w); splash && splash->isVisible()) return splash;
  return nullptr;
}

int countSplashes() {
  int n = 0;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (dynamic_cast<CSplashWnd*>(w) && w->isVisible()) ++n;
  return n;
}

// Some pixel of the rectangle in the colour, give or take antialiasing.
bool hasPixelOf(const QImage& image, const QRect& rect, QRgb colour) {
  for (int y = rect.top(); y <= rect.bottom(); ++y)
    for (int x = rect.left(); x <= rect.right(); ++x)
      if (image.rect().contains(x, y) && image.pixel(x, y) == colour) return true;
  return false;
}

TEST(Splash, ShownTwiceIsOneSplashAndTheFlagFollowsIt) {
  QWidget parent;
  parent.resize(800, 600);
  parent.show();
  int32_t flag = 0;
  EXPECT_NE(xShowSplashScreen(&parent, kPicture.constData(), &flag), 0);
  EXPECT_EQ(flag, 1);
  CSplashWnd* first = findSplash();
  ASSERT_NE(first, nullptr);
  int32_t secondFlag = 0;
  EXPECT_NE(xShowSplashScreen(&parent, kPicture.constData(), &secondFlag), 0);
  EXPECT_EQ(countSplashes(), 1);
  EXPECT_EQ(findSplash(), first);
  EXPECT_EQ(secondFlag, 0);  // the caller of the splash that shows keeps the flag
  EXPECT_EQ(first->size(), kPictureImage.size());
  EXPECT_FALSE(first->okButton()->isVisible());
  EXPECT_FALSE(first->link(0)->isVisible());
  EXPECT_FALSE(first->link(1)->isVisible());

  const QImage shot = first->grab().toImage();
  shot.save(xjor_test::outputPath("splash.png"));
  EXPECT_EQ(shot.pixel(10, 10), kPictureImage.pixel(10, 10));
  EXPECT_EQ(shot.pixel(300, 150), kPictureImage.pixel(300, 150));

  xHideSplashScreen();
  EXPECT_EQ(flag, 0);
  EXPECT_EQ(countSplashes(), 0);
  xHideSplashScreen();  // nothing showing: nothing happens
  EXPECT_EQ(flag, 0);
}

TEST(Splash, ClosesItselfAfterItsTime) {
  int32_t flag = 0;
  ASSERT_NE(xShowSplashScreen(nullptr, kPicture.constData(), &flag), 0);
  EXPECT_EQ(flag, 1);
  // Still up a while later (the timer is far from due), gone once it is.
  waitFor([] { return false; }, 500);
  EXPECT_EQ(flag, 1);
  ASSERT_TRUE(waitFor([&] { return flag == 0; }, 6000));
  EXPECT_TRUE(waitFor([] { return countSplashes() == 0; }));
  // A new splash can be shown once the old one has gone.
  ASSERT_NE(xShowSplashScreen(nullptr, kPicture.constData(), &flag), 0);
  EXPECT_EQ(flag, 1);
  xHideSplashScreen();
  EXPECT_EQ(flag, 0);
}

TEST(Splash, GoesWithItsParent) {
  int32_t flag = 0;
  auto* parent = new QWidget;
  parent->show();
  ASSERT_NE(xShowSplashScreen(parent, kPicture.constData(), &flag), 0);
  delete parent;
  EXPECT_EQ(flag, 0);
  ASSERT_NE(xShowSplashScreen(nullptr, kPicture.constData(), &flag), 0);
  EXPECT_EQ(flag, 1);
  xHideSplashScreen();
}

TEST(Splash, MissingPictureKeepsTheTemplateSize) {
  int32_t flag = 0;
  ASSERT_NE(xShowSplashScreen(nullptr, "/no/such/Dizire.zur", &flag), 0);
  CSplashWnd* splash = findSplash();
  ASSERT_NE(splash, nullptr);
  EXPECT_EQ(splash->size(), QSize(CSplashWnd::kTemplateWidth, CSplashWnd::kTemplateHeight));
  EXPECT_EQ(splash->picture().handle, 0u);
  xHideSplashScreen();
  EXPECT_EQ(flag, 0);
}

TEST(AboutBox, ShowsThePictureWithTheLinksAtItsBottom) {
  QImage shot;
  QRect links[2];
  QString captions[2];
  QRect ok;
  QString okText;
  xjor_test::whenModal([&](QWidget* modal) {
    auto* box = dynamic_cast<CSplashWnd*>(modal);
    ASSERT_NE(box, nullptr);
    for (int i = 0; i < 2; ++i) {
      links[i] = box->link(i)->geometry();
      captions[i] = box->link(i)->text();
    }
    ok = box->okButton()->geometry();
    okText = box->okButton()->text();
    shot = box->grab().toImage();
    box->okButton()->click();
  });
  xShowAboutBox(nullptr, kPicture.constData(), "www.jorsoft.co.kr", "mailto:support@jorsoft.co.kr");
  ASSERT_FALSE(shot.isNull());
  shot.save(xjor_test::outputPath("about.png"));

  EXPECT_EQ(shot.size(), kPictureImage.size());
  EXPECT_EQ(captions[0], QStringLiteral("www.jorsoft.co.kr"));
  EXPECT_EQ(captions[1], QStringLiteral("mailto:support@jorsoft.co.kr"));
  EXPECT_EQ(okText, QStringLiteral("확인"));
  // Moved down with the picture's bottom edge, inside the picture.
  const int shift = kPictureImage.height() - CSplashWnd::kTemplateHeight;
  EXPECT_EQ(links[0].top(), CSplashWnd::kTemplateHeight - 50 + shift);
  EXPECT_EQ(links[1].top(), CSplashWnd::kTemplateHeight - 28 + shift);
  EXPECT_EQ(ok.top(), CSplashWnd::kTemplateHeight - 36 + shift);
  EXPECT_LT(links[1].bottom(), shot.height());
  EXPECT_LT(ok.bottom(), shot.height());
  // Widened to their captions, the longer caption the wider label.
  EXPECT_GT(links[1].width(), links[0].width());
  // Drawn in blue over the picture, which shows around them.
  EXPECT_TRUE(hasPixelOf(shot, links[0], qRgb(0, 0, 255)));
  EXPECT_TRUE(hasPixelOf(shot, links[1], qRgb(0, 0, 255)));
  EXPECT_EQ(shot.pixel(links[0].right() - 2, links[0].top() + 1),
            kPictureImage.pixel(links[0].right() - 2, links[0].top() + 1));
  EXPECT_EQ(shot.pixel(10, 10), kPictureImage.pixel(10, 10));
}

TEST(AboutBox, WithoutAPictureTheControlsStayInTheWindow) {
  QRect links[2], ok;
  QSize size;
  xjor_test::whenModal([&](QWidget* modal) {
    auto* box = dynamic_cast<CSplashWnd*>(modal);
    ASSERT_NE(box, nullptr);
    size = box->size();
    links[0] = box->link(0)->geometry();
    links[1] = box->link(1)->geometry();
    ok = box->okButton()->geometry();
    box->accept();
  });
  xShowAboutBox(nullptr, "/no/such/picture.zur", "www.example.com", "mailto:a@example.com");
  EXPECT_EQ(size, QSize(CSplashWnd::kTemplateWidth, CSplashWnd::kTemplateHeight));
  for (const QRect& r : {links[0], links[1], ok}) {
    EXPECT_GE(r.top(), 0);
    EXPECT_LE(r.bottom(), size.height());
  }
}

}  // namespace
