// The converter registration dialog ("외부 파일 변환 프로그램 등록"): a list
// of the registered converters (extension, title, library file) edited
// through three edits and the buttons "수정", "첨가", "위로 이동" and "삭제",
// with "외부 편집기로 설정" naming the external editor.
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
  // regs: the registrations as read; libraryFolder: where "찾기..." starts.
  CConverterDlg(const kvconv::Registrations& regs, const QString& libraryFolder,
                QWidget* parent = nullptr);

  // The list as edited, with the external editor's extension.
  const kvconv::Registrations& registrations() const { return regs_; }

  // The buttons (false, with a beep, when refused): replace the selected
  // row by the edits, append the edits as a new last row, move the edits'
  // values one row above the selected row, remove the selected row.
  bool modifyRow();
  bool addRow();
  bool moveRowUp();
  bool removeRow();
  // "찾기...": the chosen library's file name goes into the file edit.
  void browseLibrary();

 private:
  // The edits' values; false (with a beep) when the extension is empty or
  // holds characters the settings file cannot keep in a key, or the file
  // names a folder.
  bool takeEdits(kvconv::Entry* entry);
  void takeEditorCheck(const kvconv::Entry& entry);
  void fillList(int select);
  void showRow(int row);
  int selectedRow() const;

  kvconv::Registrations regs_;
  QString libraryFolder_;
  QTreeWidget* list_;
  QLineEdit* extension_;
  QLineEdit* title_;
  QLineEdit* file_;
  QCheckBox* editor_;
};

}  // namespace kelvo

#endif  // KELVO_CONVERTER_DIALOG_H_
