// The workbook choice before the external editor reads data back
// ("읽어들일 엑셀 파일 선택"): the workbooks sent recently, newest first, a
// "찾기..." button for any other workbook, and the check box
// "자료 모두 삭제 후 재구성" with its warning.
#ifndef KELVO_EDITOR_READ_DIALOG_H_
#define KELVO_EDITOR_READ_DIALOG_H_

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QListWidget;

namespace kelvo {

class CEditorReadDlg : public QDialog {
  Q_OBJECT
 public:
  // workbooks: full paths, newest first; sheetName: the sheet the window
  // reads, whose newest workbook is selected first (else the newest one).
  CEditorReadDlg(const QStringList& workbooks, const QString& sheetName, const QString& folder,
                 QWidget* parent = nullptr);

  // The chosen workbook's full path (empty: none).
  QString workbook() const;
  bool rebuild() const;

  // Adds path as the first entry and selects it.
  void choose(const QString& path);

 private:
  QStringList paths_;
  QString folder_;
  QListWidget* list_;
  QCheckBox* rebuild_;
};

}  // namespace kelvo

#endif  // KELVO_EDITOR_READ_DIALOG_H_
