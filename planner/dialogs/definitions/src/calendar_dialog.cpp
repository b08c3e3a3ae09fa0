#include "calendar_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "calendar_grid.h"
#include "kelvo/dialog_buttons.h"
#include "kelvo/korean_holidays.h"
#include "kelvo/messages.h"
#include "kelvo/plan_doc.h"
#include "kelvo/strings.h"
#include "kelvo/text_fields.h"
#include "xjor/calendar.h"
#include "xjor/packed_date.h"

namespace kelvo {
namespace {

constexpr int kOutOfMemory = 21001;  // "메모리가 부족합니다."
constexpr int kTilde = 108205;       // "~"

template <class Widget>
Widget* named(Widget* w, const char* name) {
  w->setObjectName(QLatin1String(name));
  return w;
}

uint16_t clampTo(uint16_t day, const CalendarMaps& maps) {
  return std::clamp(day, maps.from(), maps.to());
}

}  // namespace

CCalendarDlg::CCalendarDlg(CPlanDoc& doc, QWidget* parent) : QDialog(parent), doc_(doc) {
  setWindowTitle(loadString(1042));
  const PrjInfo& info = doc.info();
  // A stored range that cannot be read is replaced by the proposed one.
  if (info.calendarTo == 0 || !maps_.load(info.calendarFrom, info.calendarTo)) {
    const CalendarRange r = proposedCalendarRange(info, xGetToday());
    maps_.load(r.from, r.to);
  }
  current_ = clampTo(info.dataDate ? info.dataDate : xGetToday(), maps_);

  auto* top = new QGridLayout;
  top->addWidget(new QLabel(loadString(104201), this), 0, 0);
  fromEdit_ = named(new QLineEdit(this), "rangeFrom");
  toEdit_ = named(new QLineEdit(this), "rangeTo");
  top->addWidget(fromEdit_, 0, 1);
  top->addWidget(new QLabel(loadString(kTilde), this), 0, 2);
  top->addWidget(toEdit_, 0, 3);
  top->addWidget(new QLabel(loadString(104202), this), 1, 0);
  number_ = named(new QComboBox(this), "calendarNumber");
  copySource_ = named(new QComboBox(this), "copySource");
  for (int n = 1; n <= kCalendarCount; ++n) {
    number_->addItem(QString::number(n));
    copySource_->addItem(QString::number(n));
  }
  top->addWidget(number_, 1, 1);

  auto* nav = new QHBoxLayout;
  const auto navButton = [&](int caption, const char* name, int months) {
    auto* b = named(new QPushButton(loadString(caption), this), name);
    b->setAutoDefault(false);
    b->setFixedWidth(32);
    connect(b, &QPushButton::clicked, this, [this, months] { moveBy(months); });
    nav->addWidget(b);
  };
  navButton(104220, "previousYear", -12);
  navButton(104221, "previousMonth", -1);
  monthCaption_ = named(new QLabel(this), "monthCaption");
  monthCaption_->setAlignment(Qt::AlignCenter);
  nav->addWidget(monthCaption_, 1);
  navButton(104222, "nextMonth", 1);
  navButton(104223, "nextYear", 12);

  grid_ = new CCalendarGrid(maps_, this);
  grid_->setFixedSize(grid_->sizeHint());
  connect(grid_, &CCalendarGrid::dayClicked, this, &CCalendarDlg::clickDay);

  yearly_ = named(new QCheckBox(loadString(104211), this), "repeatYearly");
  monthly_ = named(new QCheckBox(loadString(104212), this), "repeatMonthly");
  weekly_ = named(new QCheckBox(loadString(104213), this), "repeatWeekly");
  shownMonth_ = named(new QCheckBox(loadString(104214), this), "repeatShownMonth");
  auto* repeats = new QGridLayout;
  repeats->addWidget(yearly_, 0, 0);
  repeats->addWidget(monthly_, 0, 1);
  repeats->addWidget(weekly_, 1, 0);
  repeats->addWidget(shownMonth_, 1, 1);

  auto* copy = new QHBoxLayout;
  copy->addWidget(new QLabel(loadString(104215), this));
  copy->addWidget(new QLabel(loadString(104216), this));
  copy->addWidget(copySource_);
  auto* run = named(new QPushButton(loadString(104217), this), "copyRun");
  run->setAutoDefault(false);
  connect(run, &QPushButton::clicked, this, &CCalendarDlg::copyCalendar);
  copy->addWidget(run);
  copy->addStretch(1);
  auto* holidays = named(new QPushButton(loadString(104218), this), "koreanHolidays");
  holidays->setAutoDefault(false);
  connect(holidays, &QPushButton::clicked, this, &CCalendarDlg::applyHolidays);
  copy->addWidget(holidays);
  holidayNote_ = named(new QLabel(this), "holidayNote");

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(nav);
  layout->addWidget(grid_, 0, Qt::AlignHCenter);
  layout->addLayout(repeats);
  layout->addLayout(copy);
  layout->addWidget(holidayNote_);
  layout->addWidget(okCancelButtons(this));

  connect(number_, &QComboBox::currentIndexChanged, this, [this] { showCurrent(); });
  connect(fromEdit_, &QLineEdit::editingFinished, this, &CCalendarDlg::takeRange);
  connect(toEdit_, &QLineEdit::editingFinished, this, &CCalendarDlg::takeRange);
  showRange();
  showCurrent();
}

int CCalendarDlg::calendar() const {
  return number_->currentIndex() + 1;
}

void CCalendarDlg::showCurrent() {
  monthCaption_->setText(
      loadString(104210).arg(xjor::packedYear(current_)).arg(xjor::packedMonth(current_)));
  grid_->showMonth(current_, calendar());
}

void CCalendarDlg::showRange() {
  fromEdit_->setText(dateText(maps_.from()));
  toEdit_->setText(dateText(maps_.to()));
}

void CCalendarDlg::moveBy(int months) {
  int y = xjor::packedYear(current_), m = xjor::packedMonth(current_) - 1 + months;
  y += m >= 0 ? m / 12 : -((11 - m) / 12);
  m = ((m % 12) + 12) % 12 + 1;
  if (y < xjor::kBaseYear || y > xjor::kBaseYear + 127) return;
  const int d = std::min(xjor::packedDay(current_), xjor::monthLength(y, m));
  current_ = clampTo(xjor::packDate(y, m, d), maps_);
  showCurrent();
}

bool CCalendarDlg::takeRange() {
  uint16_t from = 0, to = 0;
  const bool read = parseDateText(fromEdit_->text(), &from) && parseDateText(toEdit_->text(), &to);
  if (from == maps_.from() && to == maps_.to()) return true;
  if (!read || !maps_.setRange(from, to)) {
    QApplication::beep();
    showRange();
    return false;
  }
  showRange();  // a span longer than the longest is shown cut
  current_ = clampTo(current_, maps_);
  showCurrent();
  return true;
}

void CCalendarDlg::clickDay(uint16_t day) {
  CalendarRepeats r;
  r.yearly = yearly_->isChecked();
  r.monthly = monthly_->isChecked();
  r.weekly = weekly_->isChecked();
  r.shownMonth = shownMonth_->isChecked();
  maps_.toggle(calendar(), day, r);
  current_ = day;
  showCurrent();
}

void CCalendarDlg::copyCalendar() {
  maps_.copy(calendar(), copySource_->currentIndex() + 1);
  showCurrent();
}

void CCalendarDlg::applyHolidays() {
  const int first = xjor::packedYear(maps_.from()), last = xjor::packedYear(maps_.to());
  int32_t marked = 0;
  for (int y = first; y <= last; ++y) marked += maps_.markOff(calendar(), koreanPublicHolidays(y));
  holidayNote_->setText(loadString(104219).arg(first).arg(last).arg(marked));
  showCurrent();
}

void CCalendarDlg::accept() {
  if (!takeRange()) return;
  switch (maps_.install()) {
    case CalendarMaps::InstallResult::NoWorkingDay:
      QApplication::beep();
      number_->setCurrentIndex(maps_.calendarWithoutWorkingDay() - 1);
      return;
    case CalendarMaps::InstallResult::OutOfMemory:
      showMessage(this, kOutOfMemory);
      return;
    case CalendarMaps::InstallResult::Installed:
      break;
  }
  PrjInfo info = doc_.info();
  info.calendarFrom = maps_.from();
  info.calendarTo = maps_.to();
  doc_.setProjectInfo(info);
  doc_.updateAllViews(kAllViews, hint::kRepaint);
  QDialog::accept();
}

}  // namespace kelvo
