// "선후행 관계": one relation's kind, lag, routing row and display flag, with
// the names of its two activities; "삭제" deletes an existing relation. OK
// stores what changed through the document (dates left alone).
#ifndef KELVO_RECORDS_RELATION_DIALOG_H_
#define KELVO_RECORDS_RELATION_DIALOG_H_

#include <QByteArray>
#include <QDialog>

#include "kelvo/record_dialogs.h"
#include "record_edit.h"

class QButtonGroup;
class QCheckBox;
class QPushButton;
class QSpinBox;

namespace kelvo {

class CPlanDoc;

class CRelationDialog : public QDialog {
  Q_OBJECT
 public:
  // Result code of exec() after "삭제".
  static constexpr int kDeleted = 2;

  // record: the stored relation of `slot`, or (slot -1) a new relation with
  // both codes filled in.
  CRelationDialog(CPlanDoc& doc, int32_t slot, const QByteArray& record,
                  const RelationDialogOptions& options, QWidget* parent = nullptr);

  bool stored() const { return stored_; }
  QPushButton* deleteButton() const { return delete_; }

  void accept() override;

 private:
  void build(const RelationDialogOptions& options);
  void deleteRelation();

  CPlanDoc& doc_;
  int32_t slot_;
  QByteArray loaded_;
  LoadedValues values_;
  bool stored_ = false;
  QButtonGroup* kinds_ = nullptr;
  QSpinBox* lag_ = nullptr;
  QSpinBox* row_ = nullptr;
  QCheckBox* display_ = nullptr;
  QPushButton* delete_ = nullptr;
};

}  // namespace kelvo

#endif  // KELVO_RECORDS_RELATION_DIALOG_H_
