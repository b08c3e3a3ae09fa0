// "프로젝트 진행안내": the steps of a project in five lists, each with a
// button that ends the dialog and runs the step chosen in its list. The
// groups of the project's stage are enabled (planning: basic data, analysis,
// on to the progress stages; a progress stage: progress data, analysis,
// output, next stage; no project: basic data), and in them the steps whose
// command can run now.
#ifndef KELVO_PROGRESS_GUIDE_DIALOG_H_
#define KELVO_PROGRESS_GUIDE_DIALOG_H_

#include <QDialog>
#include <functional>

namespace kelvo {

class CProgressGuideDlg : public QDialog {
  Q_OBJECT
 public:
  // stage: the project's stage number, -1 when no project is open.
  // commandEnabled answers whether a step's command can run (null: every
  // step can).
  CProgressGuideDlg(int stage, std::function<bool(int)> commandEnabled = {},
                    QWidget* parent = nullptr);
  // The command to run after the dialog ended with Accepted.
  int command() const { return command_; }

 private:
  int command_ = 0;
};

}  // namespace kelvo

#endif  // KELVO_PROGRESS_GUIDE_DIALOG_H_
