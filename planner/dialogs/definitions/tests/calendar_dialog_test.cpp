// "달력" driven as a user would: clicks on the month grid with repeats,
// copying, the public holidays, range edits and refusals; the stored
// calendars schedule the project as kvcli's calendar command does.
#include "calendar_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "calendar_grid.h"
#include "definitions_fixture.h"
#include "xjor/calendar.h"
#include "xjor/packed_date.h"

namespace kelvo_test {
namespace {

using kelvo::CCalendarDlg;
using kelvo::CCalendarGrid;

constexpr uint16_t D(int y, int m, int d) {
  return xjor::packDate(y, m, d);
}

class CalendarDialogTest : public DefinitionsTest {
 protected:
  template <class W>
  static W* child(QWidget* d, const char* name) {
    W* w = d->findChild<W*>(QLatin1String(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  // Clicks the grid cell that shows `day` (the shown month must hold it).
  static void clickDay(QWidget* d, uint16_t day) {
    auto* grid = child<CCalendarGrid>(d, "calendarGrid");
    for (int cell = 0; cell < 42; ++cell) {
      if (grid->dayOfCell(cell) != day) continue;
      QTest::mouseClick(grid, Qt::LeftButton, {}, grid->cellRect(cell).center());
      return;
    }
    ADD_FAILURE() << "day not shown";
  }
  static void click(QWidget* d, const char* button) {
    QTest::mouseClick(child<QPushButton>(d, button), Qt::LeftButton);
  }
  static void typeRange(QWidget* d, const QString& from, const QString& to) {
    child<QLineEdit>(d, "rangeFrom")->setText(from);
    child<QLineEdit>(d, "rangeTo")->setText(to);
    emit child<QLineEdit>(d, "rangeTo")->editingFinished();
  }
};

TEST_F(CalendarDialogTest, EditedCalendarSchedulesAsKvcliDoes) {
  const QString mine = sample("dialog"), theirs = sample("kvcli");
  ASSERT_FALSE(mine.isEmpty());
  const QString before = kvcli({"dump", mine, "act"});
  auto app = start(mine);
  kelvo::CPlanDoc& doc = *app->document();
  CCalendarDlg d(doc);
  d.show();
  // Calendar 2 from scratch: a copy of the empty calendar 3, then every
  // Wednesday, Saturday and Sunday, then the public holidays.
  child<QComboBox>(&d, "calendarNumber")->setCurrentIndex(1);
  child<QComboBox>(&d, "copySource")->setCurrentIndex(2);
  click(&d, "copyRun");
  EXPECT_FALSE(d.maps().isOff(2, D(2026, 3, 7)));
  child<QCheckBox>(&d, "repeatWeekly")->setChecked(true);
  EXPECT_EQ(d.currentDay(), D(2026, 3, 3));  // the data date
  clickDay(&d, D(2026, 3, 4));
  clickDay(&d, D(2026, 3, 7));
  clickDay(&d, D(2026, 3, 8));
  child<QCheckBox>(&d, "repeatWeekly")->setChecked(false);
  click(&d, "koreanHolidays");
  EXPECT_TRUE(d.maps().isOff(2, D(2027, 12, 26)));
  EXPECT_TRUE(d.maps().isOff(2, D(2026, 3, 2)));  // substitute for 1 March
  EXPECT_FALSE(d.maps().isOff(2, D(2026, 3, 3)));
  click(&d, "previousMonth");
  click(&d, "previousMonth");
  EXPECT_EQ(child<QLabel>(&d, "monthCaption")->text(), QStringLiteral("2026년 1월"));
  // The grid shows what the map says: 1 January shaded, 2 January white.
  const QImage image = child<CCalendarGrid>(&d, "calendarGrid")->grab().toImage();
  auto* grid = child<CCalendarGrid>(&d, "calendarGrid");
  int newYear = -1;
  for (int cell = 0; cell < 42; ++cell)
    if (grid->dayOfCell(cell) == D(2026, 1, 1)) newYear = cell;
  ASSERT_GE(newYear, 0);
  const QPoint corner = grid->cellRect(newYear).topLeft() + QPoint(3, 3);
  EXPECT_NE(image.pixelColor(corner), QColor(Qt::white));
  EXPECT_EQ(image.pixelColor(grid->cellRect(newYear + 1).topLeft() + QPoint(3, 3)),
            QColor(Qt::white));
  shoot(&d, "issue30_calendar.png");
  pressOk(&d);
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_TRUE(doc.isModified());
  ASSERT_TRUE(doc.saveProject(mine));
  app.reset();

  int status = -1;
  kvcli({"calendar", theirs, "2", "--from", "26-01-01", "--to", "27-12-31", "--off", "wed,sat,sun",
         "--korean-holidays"},
        &status);
  ASSERT_EQ(status, 0);
  for (const QString& f : {mine, theirs}) {
    kvcli({"schedule", f}, &status);
    ASSERT_EQ(status, 0);
  }
  const QString after = kvcli({"dump", mine, "act"});
  EXPECT_EQ(after, kvcli({"dump", theirs, "act"}));
  EXPECT_NE(after, before);  // the Wednesdays moved dates
  const QString info = kvcli({"info", mine});
  EXPECT_EQ(info.section("calendar-2:", 1).section('\n', 0, 0),
            kvcli({"info", theirs}).section("calendar-2:", 1).section('\n', 0, 0));
  EXPECT_TRUE(info.contains("calendar-from: 26-01-01\ncalendar-to: 27-12-31\n"));
}

TEST_F(CalendarDialogTest, RefusalsKeepTheDialogAndTheEngine) {
  auto app = start(sample("refusals"));
  kelvo::CPlanDoc& doc = *app->document();
  const int32_t count = xGetWorkCount(0);
  CCalendarDlg d(doc);
  d.show();
  // A range whose last day is before its first is refused with a beep.
  typeRange(&d, "26-05-01", "26-04-01");
  EXPECT_EQ(child<QLineEdit>(&d, "rangeFrom")->text(), QStringLiteral("26-01-01"));
  // Thirty years are cut to 7,304 days.
  typeRange(&d, "26-01-01", "55-12-31");
  EXPECT_EQ(child<QLineEdit>(&d, "rangeTo")->text(), QStringLiteral("45-12-31"));
  // One month whose every day is off in calendar 4 cannot be stored.
  typeRange(&d, "26-03-01", "26-03-31");
  child<QComboBox>(&d, "calendarNumber")->setCurrentIndex(3);
  child<QCheckBox>(&d, "repeatShownMonth")->setChecked(true);
  clickDay(&d, D(2026, 3, 10));
  child<QComboBox>(&d, "calendarNumber")->setCurrentIndex(0);
  pressOk(&d);
  EXPECT_TRUE(d.isVisible());
  EXPECT_EQ(child<QComboBox>(&d, "calendarNumber")->currentIndex(), 3);
  EXPECT_EQ(xGetWorkCount(0), count);
  EXPECT_FALSE(doc.isModified());
  // Months move within the range only.
  click(&d, "nextYear");
  EXPECT_EQ(d.currentDay(), D(2026, 3, 31));
  click(&d, "previousMonth");
  EXPECT_EQ(d.currentDay(), D(2026, 3, 1));
  d.reject();
}

}  // namespace
}  // namespace kelvo_test
