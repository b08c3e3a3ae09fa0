#include "calendar_grid.h"

#include <QMouseEvent>
#include <QPainter>

#include "kelvo/calendar_maps.h"
#include "kelvo/strings.h"
#include "xjor/calendar.h"
#include "xjor/packed_date.h"

namespace kelvo {
namespace {

constexpr int kCellWidth = 44, kCellHeight = 30, kHeaderHeight = 24;
constexpr int kWeekdayCaption = 104203;  // "일" .. "토"
const QColor kOffDay(0xE8, 0x9A, 0x9A);
const QColor kWorkDay(Qt::white);
const QColor kSunday(0xC0, 0x20, 0x20);

}  // namespace

CCalendarGrid::CCalendarGrid(const CalendarMaps& maps, QWidget* parent)
    : QWidget(parent), maps_(maps) {
  setObjectName(QStringLiteral("calendarGrid"));
}

void CCalendarGrid::showMonth(uint16_t day, int calendar) {
  year_ = xjor::packedYear(day);
  month_ = xjor::packedMonth(day);
  calendar_ = calendar;
  update();
}

uint16_t CCalendarGrid::dayOfCell(int cell) const {
  if (year_ == 0 || cell < 0 || cell >= 42) return 0;
  const int w = xGetDayOfWeek(xjor::packDate(year_, month_, 1));
  const int d = cell - w + 1;
  if (d < 1 || d > xjor::monthLength(year_, month_)) return 0;
  const uint16_t day = xjor::packDate(year_, month_, d);
  return maps_.contains(day) ? day : 0;
}

QRect CCalendarGrid::cellRect(int cell) const {
  return QRect((cell % 7) * kCellWidth, kHeaderHeight + (cell / 7) * kCellHeight, kCellWidth,
               kCellHeight);
}

QSize CCalendarGrid::sizeHint() const {
  return QSize(7 * kCellWidth + 1, kHeaderHeight + 6 * kCellHeight + 1);
}

void CCalendarGrid::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().window());
  for (int c = 0; c < 7; ++c) {
    p.setPen(c == 0 ? kSunday : palette().color(QPalette::WindowText));
    p.drawText(QRect(c * kCellWidth, 0, kCellWidth, kHeaderHeight), Qt::AlignCenter,
               loadString(kWeekdayCaption + c));
  }
  for (int cell = 0; cell < 42; ++cell) {
    const QRect r = cellRect(cell);
    const uint16_t day = dayOfCell(cell);
    if (day == 0) continue;
    p.fillRect(r, maps_.isOff(calendar_, day) ? kOffDay : kWorkDay);
    p.setPen(Qt::gray);
    p.drawRect(r);
    p.setPen(cell % 7 == 0 ? kSunday : palette().color(QPalette::WindowText));
    p.drawText(r, Qt::AlignCenter, QString::number(xjor::packedDay(day)));
  }
}

void CCalendarGrid::mousePressEvent(QMouseEvent* event) {
  for (int cell = 0; cell < 42; ++cell) {
    if (!cellRect(cell).contains(event->position().toPoint())) continue;
    // A blank cell does nothing.
    if (const uint16_t day = dayOfCell(cell)) emit dayClicked(day);
    return;
  }
}

}  // namespace kelvo
