// "항목값 일괄변경": one item of every record the active sheet lists,
// computed from a formula. The item is chosen among the sheet table's
// fields; names of items and operator symbols can be inserted into the
// formula. "변경" commits the sheet's current row, then runs the change
// through the document's record input; "닫기" closes.
#ifndef KELVO_BATCH_CHANGE_DIALOG_H_
#define KELVO_BATCH_CHANGE_DIALOG_H_

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;

namespace kelvo {

class CPlanDoc;
class CTableView;

class CBatchChangeDlg : public QDialog {
  Q_OBJECT
 public:
  CBatchChangeDlg(CPlanDoc& doc, CTableView& sheet, QWidget* parent = nullptr);

  // Runs the change ("변경"). True when every listed record was entered.
  bool run();

 private:
  void insertText(const QString& text);

  CPlanDoc& doc_;
  CTableView& sheet_;
  QComboBox* item_;
  QLineEdit* formula_;
  QComboBox* insertItem_;
  QComboBox* insertSymbol_;
  QLabel* outcome_;
};

}  // namespace kelvo

#endif  // KELVO_BATCH_CHANGE_DIALOG_H_
