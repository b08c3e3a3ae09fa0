// The "도표" page of the Gantt window's "선택 사항" sheet: bar height and
// shapes, label items beside the bars, what the chart shows, its colours
// and its body font.
#ifndef KELVO_OPT_GANTT_PAGE_H_
#define KELVO_OPT_GANTT_PAGE_H_

#include <QStringList>

#include "kelvo/gantt_model.h"
#include "kelvo/property_sheet.h"

class QCheckBox;
class QComboBox;
class QSpinBox;

namespace kelvo {

class COptGanttPage : public CPropertyPage {
  Q_OBJECT
 public:
  // Edits *block and, of *settings, the flag bits 0, 1, 3, 4, 5, 12 and
  // the body font. fields are the names of the sheet's fields, offered for
  // the labels after "없음".
  COptGanttPage(TimeScaleSettings* settings, GanttBlock* block, const QStringList& fields,
                QWidget* parent = nullptr);

  void apply() override;
  void load() override;

  QSpinBox* barHeightSpin() const { return barHeight_; }
  // 0 activity, 1 milestone, 2 planned.
  QComboBox* shapeCombo(int i) const { return shapes_[i]; }
  QComboBox* labelCombo(bool right) const { return right ? right_ : left_; }
  QCheckBox* check(int bit) const;

 private:
  void drawSamples();

  TimeScaleSettings* s_;
  GanttBlock* b_;
  QSpinBox* barHeight_;
  QComboBox* shapes_[3];
  QComboBox* left_;
  QComboBox* right_;
  QCheckBox* checks_[6];
};

}  // namespace kelvo

#endif  // KELVO_OPT_GANTT_PAGE_H_
