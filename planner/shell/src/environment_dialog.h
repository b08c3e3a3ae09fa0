// "사용자 환경": first document window, delete confirmation, right mouse
// button, and the three folders.
#ifndef KELVO_ENVIRONMENT_DIALOG_H_
#define KELVO_ENVIRONMENT_DIALOG_H_

#include <QDialog>

#include "kelvo/shell_settings.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace kelvo {

class CEnvironmentDlg : public QDialog {
  Q_OBJECT
 public:
  CEnvironmentDlg(const ShellSettings& settings, QWidget* parent = nullptr);
  // The settings after OK: "IniView", folders (trimmed, with a trailing
  // separator unless empty) and Flags bits 8 and 10; other bits as given.
  const ShellSettings& settings() const { return settings_; }
  void accept() override;

 private:
  ShellSettings settings_;
  QComboBox* iniView_;
  QCheckBox* confirmDelete_;
  QRadioButton* menuButton_;
  QRadioButton* escButton_;
  QLineEdit* folders_[kFolderCount];
};

}  // namespace kelvo

#endif  // KELVO_ENVIRONMENT_DIALOG_H_
