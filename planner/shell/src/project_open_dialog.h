// "프로젝트 열기": the projects of the projects folder, with their code,
// name and stage; or a way out to the plain file chooser.
#ifndef KELVO_PROJECT_OPEN_DIALOG_H_
#define KELVO_PROJECT_OPEN_DIALOG_H_

#include <QDialog>

class QTreeWidget;

namespace kelvo {

class CProjectOpenDlg : public QDialog {
  Q_OBJECT
 public:
  // Result of "파일 직접 선택...".
  static constexpr int kChooseFile = 2;

  // Lists every readable "*.kvp" of folder; openPath marks the open project.
  CProjectOpenDlg(const QString& folder, const QString& openPath, QWidget* parent = nullptr);

  // The chosen file (after Accepted).
  QString selectedPath() const;
  QTreeWidget* list() const { return list_; }

 private:
  QTreeWidget* list_;
};

}  // namespace kelvo

#endif  // KELVO_PROJECT_OPEN_DIALOG_H_
