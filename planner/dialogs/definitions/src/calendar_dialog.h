// "달력": the eight working calendars edited as day maps over the calendar
// range, a month at a time. OK installs the calendars in the engine, stores
// the range in the project information block, marks the document modified
// and repaints the views; a calendar without a working day is refused.
#ifndef KELVO_CALENDAR_DIALOG_H_
#define KELVO_CALENDAR_DIALOG_H_

#include <QDialog>
#include <cstdint>

#include "kelvo/calendar_maps.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace kelvo {

class CPlanDoc;
class CCalendarGrid;

class CCalendarDlg : public QDialog {
  Q_OBJECT
 public:
  CCalendarDlg(CPlanDoc& doc, QWidget* parent = nullptr);

  const CalendarMaps& maps() const { return maps_; }
  uint16_t currentDay() const { return current_; }

  void accept() override;

 private:
  int calendar() const;
  void showCurrent();
  // Moves the shown month by `months`, keeping the day of the month where
  // the month has it, within the range.
  void moveBy(int months);
  // Takes the range typed in the two edits; a bad one beeps and the old
  // range is shown again. Returns false then.
  bool takeRange();
  void showRange();
  void clickDay(uint16_t day);
  void copyCalendar();
  void applyHolidays();

  CPlanDoc& doc_;
  CalendarMaps maps_;
  uint16_t current_ = 0;
  QLineEdit* fromEdit_;
  QLineEdit* toEdit_;
  QComboBox* number_;
  QLabel* monthCaption_;
  CCalendarGrid* grid_;
  QCheckBox* yearly_;
  QCheckBox* monthly_;
  QCheckBox* weekly_;
  QCheckBox* shownMonth_;
  QComboBox* copySource_;
  QLabel* holidayNote_;
};

}  // namespace kelvo

#endif  // KELVO_CALENDAR_DIALOG_H_
