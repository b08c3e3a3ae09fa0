// "사용자 집계 항목": the names, integer and decimal digits and thousands
// separators of the activity table's three user summary items. OK changes
// their descriptors (the records keep their layout) and repaints the
// views; a refused name beeps, takes the focus and keeps the dialog open.
#ifndef KELVO_USER_ITEMS_DIALOG_H_
#define KELVO_USER_ITEMS_DIALOG_H_

#include <QDialog>
#include <array>

#include "kelvo/user_summary_items.h"

class QCheckBox;
class QLineEdit;
class QSpinBox;

namespace kelvo {

class CPlanDoc;

class CUserItemsDlg : public QDialog {
  Q_OBJECT
 public:
  CUserItemsDlg(CPlanDoc& doc, QWidget* parent = nullptr);

  void accept() override;

 private:
  struct Row {
    QLineEdit* name;
    QSpinBox* width;
    QSpinBox* decimals;
    QCheckBox* thousands;
  };
  CPlanDoc& doc_;
  std::array<Row, kUserSummaryFields.size()> rows_{};
};

}  // namespace kelvo

#endif  // KELVO_USER_ITEMS_DIALOG_H_
