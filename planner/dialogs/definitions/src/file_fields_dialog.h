// "파일 항목": the field layout of every project table, one line per field
// (name, kind, integer digits, decimal digits). The activity table's user
// items can be changed, added, inserted and deleted; OK re-lays out the
// activity table to the edited list. A re-layout the engine refuses leaves
// the table as it was, shows the engine's message and keeps the dialog open.
#ifndef KELVO_FILE_FIELDS_DIALOG_H_
#define KELVO_FILE_FIELDS_DIALOG_H_

#include <QDialog>
#include <memory>

#include "kelvo/field_layout_edit.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTreeWidget;

namespace kelvo {

class CPlanDoc;

class CFileFieldsDlg : public QDialog {
  Q_OBJECT
 public:
  CFileFieldsDlg(CPlanDoc& doc, QWidget* parent = nullptr);

  // The field map of the last successful OK: old activity field index to
  // new index, -1 for deleted fields.
  const std::vector<int32_t>& fieldMap() const { return fieldMap_; }

  void accept() override;

 private:
  static constexpr int kActivityTable = 3;

  void showTable(int table);
  void showFields();
  void showSelected();
  void updateButtons();
  FieldEdit typed() const;
  // Applies an edit's outcome: the list redrawn, or a beep and the focus on
  // the edit that was refused.
  void apply(EditRefusal refusal, int select);

  CPlanDoc& doc_;
  std::unique_ptr<FieldLayoutEdit> edit_;
  std::vector<int32_t> fieldMap_;
  QComboBox* table_;
  QTreeWidget* list_;
  QLineEdit* name_;
  QComboBox* kind_;
  QSpinBox* width_;
  QSpinBox* decimals_;
  QPushButton* modify_;
  QPushButton* add_;
  QPushButton* insert_;
  QPushButton* remove_;
  QPushButton* ok_;
};

}  // namespace kelvo

#endif  // KELVO_FILE_FIELDS_DIALOG_H_
