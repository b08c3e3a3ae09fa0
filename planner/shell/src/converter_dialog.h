// "외부 파일 변환 프로그램 등록": the converter plug-ins by file extension, and
// which of them is the external editor.
#ifndef KELVO_CONVERTER_DIALOG_H_
#define KELVO_CONVERTER_DIALOG_H_

#include <QDialog>

#include "kvconverters.h"

class QCheckBox;
class QLineEdit;
class QTreeWidget;

namespace kelvo {

class CConverterDlg : public QDialog {
  Q_OBJECT
 public:
  // regs as read from the settings; pluginFolder is where "찾기..." looks.
  CConverterDlg(kvconv::Registrations regs, const QString& pluginFolder, QWidget* parent = nullptr);

  // The list as edited (write it to the settings after Accepted).
  const kvconv::Registrations& registrations() const { return regs_; }
  QTreeWidget* list() const { return list_; }

  // The four buttons; each first takes the edits' values. They beep and do
  // nothing when they need a selected row and there is none.
  void modifyRow();  // "수정": the selected row becomes the edits
  void appendRow();  // "첨가": the edits as a new last row, selected
  void moveUp();     // "위로 이동": the selected row, as edited, one row higher
  void deleteRow();  // "삭제": the row above is selected when the last one goes

 private:
  kvconv::Entry edited() const;
  void takeEditorChoice(const kvconv::Entry& entry);
  void fillList(int select);
  void showRow();
  int selectedRow() const;

  kvconv::Registrations regs_;
  QString pluginFolder_;
  QTreeWidget* list_;
  QLineEdit* extension_;
  QLineEdit* title_;
  QLineEdit* file_;
  QCheckBox* editor_;
};

}  // namespace kelvo

#endif  // KELVO_CONVERTER_DIALOG_H_
