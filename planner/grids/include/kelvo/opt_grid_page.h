// The "자료" page of the Gantt window's "선택 사항" sheet: how its sheet
// pane draws (fonts and colours of titles and cells, title background,
// grid lines, row numbers, drawing objects, row height and number width).
#ifndef KELVO_OPT_GRID_PAGE_H_
#define KELVO_OPT_GRID_PAGE_H_

#include "kelvo/grid_format.h"
#include "kelvo/property_sheet.h"

class QCheckBox;
class QSpinBox;

namespace kelvo {

class COptGridPage : public CPropertyPage {
  Q_OBJECT
 public:
  // Edits *format, the sheet's working copy; the font and colour buttons
  // write to it directly.
  explicit COptGridPage(GridFormat* format, QWidget* parent = nullptr);

  // "번호 매김" off stores a row-number width of 0.
  void apply() override;
  void load() override;

  QCheckBox* numbersCheck() const { return numbers_; }
  QCheckBox* shapesCheck() const { return shapes_; }
  QSpinBox* rowHeightSpin() const { return rowHeight_; }
  QSpinBox* numberWidthSpin() const { return numberWidth_; }

 private:
  GridFormat* f_;
  QCheckBox* numbers_;
  QCheckBox* shapes_;
  QSpinBox* rowHeight_;
  QSpinBox* numberWidth_;
};

}  // namespace kelvo

#endif  // KELVO_OPT_GRID_PAGE_H_
