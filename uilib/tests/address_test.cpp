// Opening addresses and the hyperlink label.
#include <gtest/gtest.h>

#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>

#include "hyperlink_label.h"
#include "test_support.h"
#include "xJorLib.h"

namespace {

using xjor::CHyperLink;
using xjor_test::waitFor;

// Puts a stand-in xdg-open first on PATH (or no opener at all) and records
// the addresses it is given.
class AddressOpening : public ::testing::Test {
 protected:
  void SetUp() override {
    savedPath_ = qgetenv("PATH");
    log_ = dir_.filePath(QStringLiteral("opened.txt"));
  }
  void TearDown() override { qputenv("PATH", savedPath_); }

  // exitCode 3 is xdg-open's "no program for this address".
  void installOpener(int exitCode = 0) {
    QFile script(dir_.filePath(QStringLiteral("xdg-open")));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral("#!/bin/sh\necho \"$1\" >> '%1'\nexit %2\n")
                     .arg(log_)
                     .arg(exitCode)
                     .toUtf8());
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("PATH", dir_.path().toUtf8());
  }
  void removeOpeners() { qputenv("PATH", dir_.filePath(QStringLiteral("empty")).toUtf8()); }

  // The stand-in creates the log before it writes the line: wait for the
  // whole line, not for the file.
  QString opened() {
    waitFor(
        [this] {
          QFile file(log_);
          return file.open(QIODevice::ReadOnly) && file.readAll().endsWith('\n');
        },
        5000);
    QFile file(log_);
    if (!file.open(QIODevice::ReadOnly)) return QString();
    return QString::fromUtf8(file.readAll()).trimmed();
  }

  // Answers the next message box, remembering its text and icon.
  void answerMessageBox() {
    xjor_test::whenModal([this](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      ASSERT_NE(box, nullptr);
      messageText_ = box->text();
      messageIcon_ = box->icon();
      box->accept();
    });
  }

  QTemporaryDir dir_;
  QByteArray savedPath_;
  QString log_;
  QString messageText_;
  QMessageBox::Icon messageIcon_ = QMessageBox::NoIcon;
};

TEST_F(AddressOpening, WebAddressIsHandedToTheDesktop) {
  installOpener();
  EXPECT_EQ(xGotoURL("www.jorsoft.co.kr"), 1);
  EXPECT_EQ(opened(), QStringLiteral("http://www.jorsoft.co.kr"));
}

TEST_F(AddressOpening, MailAddressStaysAMailAddress) {
  installOpener();
  EXPECT_EQ(xGotoURL("mailto:support@jorsoft.co.kr"), 1);
  EXPECT_EQ(opened(), QStringLiteral("mailto:support@jorsoft.co.kr"));
}

TEST_F(AddressOpening, UnopenableAddressSaysSo) {
  removeOpeners();
  answerMessageBox();
  EXPECT_EQ(xGotoURL("www.jorsoft.co.kr"), 0);
  EXPECT_EQ(messageText_, QStringLiteral("Can not open link."));
  EXPECT_EQ(messageIcon_, QMessageBox::Warning);

  // An opener that finds no browser is a failure too, not a success.
  installOpener(3);
  answerMessageBox();
  messageText_.clear();
  EXPECT_EQ(xGotoURL("www.jorsoft.co.kr"), 0);
  EXPECT_EQ(messageText_, QStringLiteral("Can not open link."));
  QFile::remove(log_);

  installOpener();
  answerMessageBox();
  EXPECT_EQ(xGotoURL("   "), 0);  // blank is never handed on
  EXPECT_EQ(messageText_, QStringLiteral("Can not open link."));
  EXPECT_FALSE(QFile::exists(log_));
}

// The label's colour as drawn: the colour of its most common non-white pixel.
QRgb drawnColour(CHyperLink& link) {
  const QImage image = link.grab().toImage();
  QHash<QRgb, int> counts;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixel(x, y) != link.palette().window().color().rgb()) ++counts[image.pixel(x, y)];
  QRgb best = 0;
  int most = 0;
  for (auto it = counts.begin(); it != counts.end(); ++it)
    if (it.value() > most) best = it.key(), most = it.value();
  return best | 0xFF000000;
}

TEST_F(AddressOpening, HyperlinkShowsItsThreeStates) {
  installOpener();
  QWidget window;
  CHyperLink link(QStringLiteral("www.jorsoft.co.kr"), &window);
  link.setGeometry(0, 0, 200, 24);
  window.resize(200, 24);
  window.show();
  EXPECT_TRUE(link.font().underline());
  EXPECT_EQ(link.cursor().shape(), Qt::PointingHandCursor);
  EXPECT_EQ(drawnColour(link), CHyperLink::kNormal);

  QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
  QApplication::sendEvent(&link, &enter);
  EXPECT_TRUE(link.isPointed());
  EXPECT_EQ(drawnColour(link), CHyperLink::kPointed);
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(&link, &leave);
  EXPECT_EQ(drawnColour(link), CHyperLink::kNormal);

  QApplication::sendEvent(&link, &enter);
  QTest::mouseClick(&link, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_FALSE(link.isPointed());
  EXPECT_TRUE(link.isVisited());
  EXPECT_EQ(drawnColour(link), CHyperLink::kVisited);
  EXPECT_EQ(opened(), QStringLiteral("http://www.jorsoft.co.kr"));
  // Pointed at wins over visited.
  QApplication::sendEvent(&link, &enter);
  EXPECT_EQ(drawnColour(link), CHyperLink::kPointed);
}

TEST_F(AddressOpening, HyperlinkThatCannotOpenStaysUnvisited) {
  removeOpeners();
  QWidget window;
  CHyperLink link(QStringLiteral("mailto:support@jorsoft.co.kr"), &window);
  link.setGeometry(0, 0, 240, 24);
  window.show();
  answerMessageBox();
  QTest::mouseClick(&link, Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(messageText_, QStringLiteral("Can not open link."));
  EXPECT_FALSE(link.isVisited());
  // A click that is released off the label opens nothing.
  installOpener();
  QTest::mouseClick(&link, Qt::LeftButton, {}, QPoint(300, 5));
  EXPECT_FALSE(link.isVisited());
}

}  // namespace
