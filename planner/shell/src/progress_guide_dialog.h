// "프로젝트 진행안내": the steps of a project in five lists, each with a
// button that ends the dialog and runs the step chosen in its list.
#ifndef KELVO_PROGRESS_GUIDE_DIALOG_H_
#define KELVO_PROGRESS_GUIDE_DIALOG_H_

#include <QDialog>

namespace kelvo {

class CProgressGuideDlg : public QDialog {
  Q_OBJECT
 public:
  // stage: the current stage text, empty when no project is open.
  CProgressGuideDlg(const QString& stage, QWidget* parent = nullptr);
  // The command to run after the dialog ended with Accepted.
  int command() const { return command_; }

 private:
  int command_ = 0;
};

}  // namespace kelvo

#endif  // KELVO_PROGRESS_GUIDE_DIALOG_H_
