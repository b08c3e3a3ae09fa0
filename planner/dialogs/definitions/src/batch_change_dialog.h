// "항목값 일괄변경": one item of every record the active sheet lists,
// computed from a formula. The item is chosen among the sheet table's
// fields; names of items and operator symbols can be inserted into the
// formula. "변경" commits the sheet's current row, then runs the change
// through the document's record input; "닫기" closes. Formulas can be kept
// under a title in a list per kind of data ("목록에 등록", "목록에서 삭제");
// choosing an entry of the list brings back its formula and item.
#ifndef KELVO_BATCH_CHANGE_DIALOG_H_
#define KELVO_BATCH_CHANGE_DIALOG_H_

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace kelvo {

class CPlanDoc;
class CTableView;

class CBatchChangeDlg : public QDialog {
  Q_OBJECT
 public:
  CBatchChangeDlg(CPlanDoc& doc, CTableView& sheet, QWidget* parent = nullptr);

  // Runs the change ("변경"). True when every listed record was entered.
  bool run();
  // "목록에 등록": stores the formula and item under the title, replacing
  // an entry of that title. False (with a message) when the title is empty.
  bool registerFormula();
  // "목록에서 삭제": removes the chosen entry.
  bool deleteFormula();

 private:
  void insertText(const QString& text);
  void fillList();
  void loadEntry(int row);

  CPlanDoc& doc_;
  CTableView& sheet_;
  QComboBox* item_;
  QLineEdit* formula_;
  QComboBox* insertItem_;
  QComboBox* insertSymbol_;
  QLabel* outcome_;
  QLineEdit* title_;
  QListWidget* list_;
  int dataKind_;  // the kind of data whose list is shown, -1 none
};

}  // namespace kelvo

#endif  // KELVO_BATCH_CHANGE_DIALOG_H_
