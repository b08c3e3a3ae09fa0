// "비밀번호 점검" asks for the password of a project being opened;
// "비밀번호 설정" changes the password of the open project.
#ifndef KELVO_PASSWORD_DIALOGS_H_
#define KELVO_PASSWORD_DIALOGS_H_

#include <QDialog>

#include "xQdDb100.h"

class QLineEdit;

namespace kelvo {

// True when the stored password accepts the empty entry (no password set).
bool hasNoPassword(const PrjInfo& info);

class CPasswordCheckDlg : public QDialog {
  Q_OBJECT
 public:
  CPasswordCheckDlg(const PrjInfo& info, QWidget* parent = nullptr);
  void accept() override;

 private:
  PrjInfo info_;
  QLineEdit* edit_;
};

class CPasswordDlg : public QDialog {
  Q_OBJECT
 public:
  CPasswordDlg(const PrjInfo& info, QWidget* parent = nullptr);
  // The block with the new password (after OK).
  const PrjInfo& info() const { return info_; }
  void accept() override;

 private:
  PrjInfo info_;
  QLineEdit* current_;
  QLineEdit* fresh_;
  QLineEdit* confirm_;
};

}  // namespace kelvo

#endif  // KELVO_PASSWORD_DIALOGS_H_
