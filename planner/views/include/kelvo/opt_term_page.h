// The "기간 표시" page of the "선택 사항" sheets: the time-scale settings of
// a time-scaled view (axis dates, step, row height, dividers, shading,
// fonts and colours).
#ifndef KELVO_OPT_TERM_PAGE_H_
#define KELVO_OPT_TERM_PAGE_H_

#include "kelvo/property_sheet.h"
#include "kelvo/time_scale.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;

namespace kelvo {

// The nine divider choices of "구분선 :", in the order of the divider codes.
QStringList dividerChoices();

class COptTermPage : public CPropertyPage {
  Q_OBJECT
 public:
  // Edits *settings, the sheet's working copy; the colour and font buttons
  // write to it directly.
  explicit COptTermPage(TimeScaleSettings* settings, QWidget* parent = nullptr);

  // Refuses (beep, 21015, focus on the field) a date that does not parse
  // in the current date form, an end before the start, and a step width or
  // step days outside 1..32767.
  bool validate() override;
  void apply() override;
  void load() override;

  QLineEdit* startEdit() const { return start_; }
  QLineEdit* endEdit() const { return end_; }
  QLineEdit* stepWidthEdit() const { return stepWidth_; }
  QLineEdit* stepDaysEdit() const { return stepDays_; }
  QComboBox* dividerCombo() const { return divider_; }

 private:
  TimeScaleSettings* s_;
  QLineEdit* start_;
  QLineEdit* end_;
  QLineEdit* stepWidth_;
  QLineEdit* stepDays_;
  QSpinBox* rowHeight_;
  QComboBox* divider_;
  QSpinBox* calendar_;
  QCheckBox* dataDate_;
  QCheckBox* dayLines_;
};

}  // namespace kelvo

#endif  // KELVO_OPT_TERM_PAGE_H_
