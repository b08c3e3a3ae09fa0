// The "기간 표시" page: what it refuses, what it writes to the working copy,
// and pages of one sheet sharing that copy.
#include "kelvo/opt_term_page.h"

#include <QComboBox>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "kelvo/strings.h"
#include "modal_driver.h"
#include "view_fixture.h"
#include "xjorlib/qt_bridge.h"

namespace {

using kelvo_test::packedDay;

class OptTermPageTest : public kelvo_test::ViewTest {
 protected:
  kelvo::TimeScaleSettings copy_ =
      kelvo::defaultTimeScale(packedDay(2026, 3, 2), packedDay(2026, 12, 31));
};

TEST_F(OptTermPageTest, RefusesBadDatesAndStepsWithFocusOnTheField) {
  struct Case {
    const char* start;
    const char* end;
    const char* width;
    const char* days;
    int badField;  // -1 accepted, else 0 start, 1 end, 2 width, 3 days
  };
  const QString start = kelvo::dateText(packedDay(2026, 3, 2));
  const QString end = kelvo::dateText(packedDay(2026, 6, 30));
  const QByteArray sb = start.toUtf8(), eb = end.toUtf8();
  const char* s = sb.constData();
  const char* e = eb.constData();
  const Case cases[] = {
      {s, e, "50", "7", -1},         {"2026-13-45x", e, "50", "7", 0},
      {s, "nonsense", "50", "7", 1}, {e, s, "50", "7", 1},
      {s, e, "0", "7", 2},           {s, e, "32768", "7", 2},
      {s, e, "50", "", 3},           {s, e, "50", "-1", 3},
  };
  kelvo::CPropertySheet sheet(QStringLiteral("선택 사항"));
  auto* page = new kelvo::COptTermPage(&copy_);
  sheet.addPage(page);
  sheet.show();
  sheet.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&sheet));
  QLineEdit* fields[] = {page->startEdit(), page->endEdit(), page->stepWidthEdit(),
                         page->stepDaysEdit()};
  for (const Case& c : cases) {
    messages_.clear();
    page->startEdit()->setText(QString::fromUtf8(c.start));
    page->endEdit()->setText(QString::fromUtf8(c.end));
    page->stepWidthEdit()->setText(QString::fromUtf8(c.width));
    page->stepDaysEdit()->setText(QString::fromUtf8(c.days));
    const bool ok = page->validate();
    EXPECT_EQ(ok, c.badField < 0) << c.start << " " << c.end << " " << c.width << " " << c.days;
    if (c.badField < 0) continue;
    EXPECT_EQ(messages_, std::vector<int>{kelvo::kStrMsgBadDate});
    EXPECT_EQ(QApplication::focusWidget(), fields[c.badField]) << c.start << " " << c.days;
  }
}

TEST_F(OptTermPageTest, OkWritesTheControlsAndPickedColoursToTheCopy) {
  kelvo::CPropertySheet sheet(QStringLiteral("선택 사항"));
  sheet.setPagesShareCopy(true);
  auto* page = new kelvo::COptTermPage(&copy_);
  sheet.addPage(page);
  sheet.show();
  page->startEdit()->setText(kelvo::dateText(packedDay(2026, 4, 1)));
  page->endEdit()->setText(kelvo::dateText(packedDay(2026, 5, 31)));
  page->stepWidthEdit()->setText("120");
  page->stepDaysEdit()->setText("7");
  page->dividerCombo()->setCurrentText(QStringLiteral("1 주"));
  for (QPushButton* b : page->findChildren<QPushButton*>()) {
    if (b->text() != QStringLiteral("휴일 색깔...")) continue;
    kelvo_test::pickColourNext(QColor(10, 200, 30), &sheet);
    b->click();
  }
  sheet.accept();
  EXPECT_EQ(sheet.result(), QDialog::Accepted);
  EXPECT_EQ(copy_.startDate, packedDay(2026, 4, 1));
  EXPECT_EQ(copy_.endDate, packedDay(2026, 5, 31));
  EXPECT_EQ(copy_.stepWidth, 120);
  EXPECT_EQ(copy_.stepDays, 7);
  EXPECT_EQ(copy_.divider, 7);
  EXPECT_EQ(copy_.shadingColor, xjor::colorToRef(QColor(10, 200, 30)));
}

// Two pages showing one setting: the page shown last decides, and a page
// shown again reads what the other wrote.
TEST_F(OptTermPageTest, PagesOfOneSheetShareTheWorkingCopy) {
  kelvo::CPropertySheet sheet(QStringLiteral("선택 사항"));
  sheet.setPagesShareCopy(true);
  auto* first = new kelvo::COptTermPage(&copy_);
  auto* second = new kelvo::COptTermPage(&copy_);
  sheet.addPage(first);
  sheet.addPage(second);
  sheet.show();
  first->dividerCombo()->setCurrentIndex(3);
  sheet.tabs()->setCurrentIndex(1);
  EXPECT_EQ(second->dividerCombo()->currentIndex(), 3) << "a shown page loads the copy";
  second->dividerCombo()->setCurrentIndex(5);
  second->stepDaysEdit()->setText("0");
  sheet.tabs()->setCurrentIndex(0);
  EXPECT_EQ(sheet.tabs()->currentIndex(), 1) << "a refusing page is not left";
  second->stepDaysEdit()->setText("2");
  sheet.accept();
  EXPECT_EQ(copy_.divider, 5) << "the page left earlier must not write stale values at OK";
  EXPECT_EQ(copy_.stepDays, 2);
}

// The size beside a font button is in points, follows the picker and is
// read again when its page is shown.
TEST_F(OptTermPageTest, FontSizeShowsInPointsBesideItsButton) {
  kelvo::CPropertySheet sheet(QStringLiteral("선택 사항"));
  sheet.setPagesShareCopy(true);
  auto* first = new kelvo::COptTermPage(&copy_);
  auto* second = new kelvo::COptTermPage(&copy_);
  sheet.addPage(first);
  sheet.addPage(second);
  sheet.show();
  const auto size = [](QWidget* page) {
    const auto* label = page->findChild<QLabel*>(QStringLiteral("scaleFontSize"));
    return label ? label->text() : QString();
  };
  EXPECT_EQ(size(first), QStringLiteral("9 pt"));  // height -32: 3.2 mm
  kelvo_test::whenModalOver(&sheet, [](QDialog* picker) {
    QFont font = picker->findChild<QFontDialog*>()->currentFont();
    font.setPointSize(18);
    picker->findChild<QFontDialog*>()->setCurrentFont(font);
    picker->accept();
  });
  first->findChild<QPushButton*>(QStringLiteral("scaleFont"))->click();
  EXPECT_EQ(size(first), QStringLiteral("18 pt"));
  EXPECT_LT(copy_.scaleFont.lfHeight, -60);
  sheet.tabs()->setCurrentIndex(1);
  EXPECT_EQ(size(second), QStringLiteral("18 pt"));
}

}  // namespace
