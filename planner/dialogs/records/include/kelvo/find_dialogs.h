// The finders every view shares: "코드 찾기" asks for a code (and, in the
// relation sheet and the network chart, the successor's code too); "특수 작업 찾기" lists the
// activities of one special class and returns the chosen one; "선후행 관계
// 형식" asks which kind of relation to make.
#ifndef KELVO_FIND_DIALOGS_H_
#define KELVO_FIND_DIALOGS_H_

#include <QDialog>
#include <vector>

#include "kelvo/sheet_find.h"

class QButtonGroup;
class QLineEdit;
class QListWidget;

namespace kelvo {

class CodeFindDialog : public QDialog {
  Q_OBJECT
 public:
  // kind: the view kind of the view that finds (decides the label, the
  // length and whether a successor code is asked).
  CodeFindDialog(ViewKind kind, QWidget* parent = nullptr);
  // The codes typed, CP949, blanks trimmed.
  QByteArray code() const;
  QByteArray secondCode() const;

 private:
  QLineEdit* code_;
  QLineEdit* second_ = nullptr;
};

class SpecialFindDialog : public QDialog {
  Q_OBJECT
 public:
  SpecialFindDialog(ProjectDb* db, QWidget* parent = nullptr);
  // The record of the chosen activity, XJOR_NONE when none is chosen.
  uint32_t chosenRecord() const;
  // Shows the activities of class cls.
  void showClass(SpecialClass cls);
  QListWidget* list() const { return list_; }

 private:
  ProjectDb* db_;
  QButtonGroup* classes_;
  QListWidget* list_;
  std::vector<FoundActivity> found_;
};

// "선후행 관계 형식": the kind of the relations a link command makes, as four
// buttons "FS", "FF", "SS", "SF" (kinds 0..3).
class RelationKindDialog : public QDialog {
  Q_OBJECT
 public:
  explicit RelationKindDialog(QWidget* parent = nullptr);
  int kind() const;

 private:
  QButtonGroup* kinds_;
};

}  // namespace kelvo

#endif  // KELVO_FIND_DIALOGS_H_
