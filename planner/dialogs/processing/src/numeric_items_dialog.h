// "수치 항목 자동 산출": which numeric items are derived from each other, in
// the order they run, with the choices that go with them.
#ifndef KELVO_NUMERIC_ITEMS_DIALOG_H_
#define KELVO_NUMERIC_ITEMS_DIALOG_H_

#include <QDialog>
#include <vector>

#include "kelvo/project_numeric.h"

class QCheckBox;
class QLineEdit;

namespace kelvo {

class CNumericItemsDlg : public QDialog {
  Q_OBJECT
 public:
  // selectionAvailable enables "현재 선택된 자료만 산출".
  CNumericItemsDlg(bool selectionAvailable, QWidget* parent = nullptr);

  NumericItemOptions options() const;
  bool selectedOnly() const;
  // True when at least one item is chosen.
  bool anyChosen() const;

 private:
  QCheckBox* check(int caption, const char* name);

  std::vector<QCheckBox*> items_;  // in the order of the captions 108401..108409
  QCheckBox* roundUp_;
  QLineEdit* resourceClass_;
  QCheckBox* selected_;
  QCheckBox* skipCompleted_;
};

}  // namespace kelvo

#endif  // KELVO_NUMERIC_ITEMS_DIALOG_H_
