// "분류 체계": level lengths and names of the two classifications.
#ifndef KELVO_CLASS_SYSTEM_DIALOG_H_
#define KELVO_CLASS_SYSTEM_DIALOG_H_

#include <QDialog>

#include "kelvo/plan_doc.h"

class QComboBox;
class QLineEdit;
class QSpinBox;

namespace kelvo {

class CClassSystemDlg : public QDialog {
  Q_OBJECT
 public:
  // defs: the two current definitions; cls: the classification shown first.
  CClassSystemDlg(const ClassDef defs[2], int cls, QWidget* parent = nullptr);

  // The definitions after OK.
  const ClassDef* defs() const { return edited_; }
  // True when a number of levels or a level length changed (after OK).
  bool structureChanged() const { return changed_; }

  // Stores the levels shown into the working copy: false (with the message
  // and the focus on the first length) when they add up to more than 10.
  bool takeShown();

  void accept() override;

 private:
  void show(int cls);

  ClassDef original_[2];
  ClassDef edited_[2];
  int shown_ = 0;
  bool changed_ = false;
  QComboBox* choice_;
  QSpinBox* lengths_[8];
  QLineEdit* names_[8];
};

}  // namespace kelvo

#endif  // KELVO_CLASS_SYSTEM_DIALOG_H_
