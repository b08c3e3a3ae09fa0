// "프로젝트 정보": edits the project information block, for an open project
// or, started with an empty block, for a new one.
#ifndef KELVO_PROJECT_INFO_DIALOG_H_
#define KELVO_PROJECT_INFO_DIALOG_H_

#include <QDialog>

#include "xQdDb100.h"

class QLineEdit;

namespace kelvo {

class CProjectInfoDlg : public QDialog {
  Q_OBJECT
 public:
  CProjectInfoDlg(const PrjInfo& info, QWidget* parent = nullptr);

  // The edited block (after OK): password re-encoded against the new code,
  // empty dates filled in.
  const PrjInfo& info() const { return info_; }

  void accept() override;

 private:
  PrjInfo info_;
  char plainPassword_[9] = {};
  QLineEdit* code_;
  QLineEdit* title_;
  QLineEdit* company_;
  QLineEdit* currency_;
  QLineEdit* start_;
  QLineEdit* finish_;
  QLineEdit* periodStart_;
  QLineEdit* periodFinish_;
  QLineEdit* dataDate_;
  QLineEdit* remark_;
  QLineEdit* manager_;
};

}  // namespace kelvo

#endif  // KELVO_PROJECT_INFO_DIALOG_H_
