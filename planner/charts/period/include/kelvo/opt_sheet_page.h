// The "도표" page of the period sheet's "선택 사항" sheet: the value rows
// every summary record shows (which value, which series, per period or
// cumulative, and the title the row is shown with), the row height, the
// width of the row titles' column, the sheet's title, row numbers and the
// body font.
#ifndef KELVO_OPT_SHEET_PAGE_H_
#define KELVO_OPT_SHEET_PAGE_H_

#include <vector>

#include "kelvo/period_values.h"
#include "kelvo/property_sheet.h"
#include "kelvo/time_scale.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;
class QTreeWidget;

namespace kelvo {

struct PeriodSheetBlock;

class COptSheetPage : public CPropertyPage {
  Q_OBJECT
 public:
  // Edits *settings (row height, row-number width, body font; the sheet's
  // shared copy), *block (title-column width and title) and *items. A
  // resource summary offers the quantity alone.
  COptSheetPage(TimeScaleSettings* settings, PeriodSheetBlock* block, std::vector<ValueItem>* items,
                bool resource, QWidget* parent = nullptr);

  // Refuses, with the focus on the list, a sheet without value rows.
  bool validate() override;
  void apply() override;
  void load() override;

  // "수정": the current row takes the edited item; "첨가" appends it,
  // "삽입" inserts it before the current row, "삭제" removes the current
  // row. Each beeps and does nothing when it cannot.
  void modifyRow();
  void appendRow();
  void insertRow();
  void deleteRow();

  QTreeWidget* list() const { return list_; }
  QComboBox* itemCombo() const { return item_; }
  QComboBox* seriesCombo() const { return series_; }
  QComboBox* periodCombo() const { return period_; }
  QLineEdit* titleEdit() const { return rowTitle_; }
  QSpinBox* rowHeightSpin() const { return rowHeight_; }
  QSpinBox* titleWidthSpin() const { return titleWidth_; }
  QLineEdit* sheetTitleEdit() const { return sheetTitle_; }
  QCheckBox* numbersCheck() const { return numbers_; }

 private:
  ValueItem editedItem() const;
  void showItem(int row);
  void fillList();

  TimeScaleSettings* s_;
  PeriodSheetBlock* block_;
  std::vector<ValueItem>* target_;
  std::vector<ValueItem> items_;
  QTreeWidget* list_;
  QComboBox* item_;
  QComboBox* series_;
  QComboBox* period_;
  QLineEdit* rowTitle_;
  QSpinBox* rowHeight_;
  QSpinBox* titleWidth_;
  QLineEdit* sheetTitle_;
  QCheckBox* numbers_;
};

}  // namespace kelvo

#endif  // KELVO_OPT_SHEET_PAGE_H_
