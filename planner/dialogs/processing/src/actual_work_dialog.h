// "실적 공사 자료 산출": whether the actual-work figures are made ("자료 산출")
// and whether the crews are then sent to the external editor, with the list
// of the figures the command produces.
#ifndef KELVO_ACTUAL_WORK_DIALOG_H_
#define KELVO_ACTUAL_WORK_DIALOG_H_

#include <QDialog>

class QCheckBox;
class QListWidget;

namespace kelvo {

class CActualWorkDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CActualWorkDlg(QWidget* parent = nullptr);

  bool compute() const;
  bool sendToEditor() const;

 private:
  QCheckBox* compute_;
  QCheckBox* send_;
  QListWidget* results_;
};

}  // namespace kelvo

#endif  // KELVO_ACTUAL_WORK_DIALOG_H_
