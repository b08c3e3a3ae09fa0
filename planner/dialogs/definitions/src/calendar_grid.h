// The month grid of the calendar dialog: six rows of seven days under the
// weekday captions, non-working days of the chosen calendar shaded, days
// outside the month or the range blank. A click on a day reports it.
#ifndef KELVO_CALENDAR_GRID_H_
#define KELVO_CALENDAR_GRID_H_

#include <QWidget>
#include <cstdint>

namespace kelvo {

class CalendarMaps;

class CCalendarGrid : public QWidget {
  Q_OBJECT
 public:
  CCalendarGrid(const CalendarMaps& maps, QWidget* parent = nullptr);

  // Shows the month of `day` for calendar 1..8.
  void showMonth(uint16_t day, int calendar);
  // The day cell k (0..41) shows, or 0 for a blank cell.
  uint16_t dayOfCell(int cell) const;
  // The rectangle of cell k in widget coordinates.
  QRect cellRect(int cell) const;

  QSize sizeHint() const override;

 signals:
  void dayClicked(uint16_t day);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  const CalendarMaps& maps_;
  int year_ = 0, month_ = 0, calendar_ = 1;
};

}  // namespace kelvo

#endif  // KELVO_CALENDAR_GRID_H_
