// The entry points through which the views open the record dialogs.
#include "kelvo/record_dialogs.h"

#include "activity_dialog.h"
#include "kelvo/plan_doc.h"
#include "kelvo/sheet_find.h"
#include "progress_dialog.h"
#include "relation_dialog.h"

namespace kelvo {

bool editActivity(QWidget* parent, CPlanDoc& doc, int slot) {
  QByteArray record;
  if (!doc.isOpen() || !readSlot(doc.db().act.tb, slot, &record)) return false;
  CActivityDialog dialog(doc, slot, record, parent);
  return dialog.exec() == QDialog::Accepted && dialog.stored();
}

int32_t newActivity(QWidget* parent, CPlanDoc& doc, const QByteArray& prepared) {
  if (!doc.isOpen()) return -1;
  QByteArray record = prepared;
  record.resize(doc.db().act.tb.recordSize, '\0');
  CActivityDialog dialog(doc, -1, record, parent);
  return dialog.exec() == QDialog::Accepted && dialog.stored() ? dialog.slot() : -1;
}

namespace {

RelationOutcome runRelationDialog(QWidget* parent, CPlanDoc& doc, int32_t slot,
                                  const QByteArray& record, const RelationDialogOptions& options) {
  CRelationDialog dialog(doc, slot, record, options, parent);
  const int result = dialog.exec();
  if (result == CRelationDialog::kDeleted) return RelationOutcome::Deleted;
  return result == QDialog::Accepted && dialog.stored() ? RelationOutcome::Stored
                                                        : RelationOutcome::Unchanged;
}

}  // namespace

bool editRelation(QWidget* parent, CPlanDoc& doc, int slot) {
  QByteArray record;
  if (!doc.isOpen() || !readSlot(doc.db().rel.tb, slot, &record)) return false;
  return runRelationDialog(parent, doc, slot, record, {}) != RelationOutcome::Unchanged;
}

RelationOutcome editRelationBetween(QWidget* parent, CPlanDoc& doc, const QByteArray& predecessor,
                                    const QByteArray& successor,
                                    const RelationDialogOptions& options) {
  if (!doc.isOpen()) return RelationOutcome::Unchanged;
  ProjectDb& db = doc.db();
  const uint32_t found =
      findCodeRecord(&db, ViewKind::Relations, predecessor.constData(), successor.constData());
  QByteArray record(db.rel.tb.recordSize, '\0');
  int32_t slot = -1;
  if (found != XJOR_NONE && readSlot(db.rel.tb, static_cast<int32_t>(found), &record)) {
    slot = static_cast<int32_t>(found);
  } else {
    RelRecord r{};
    xCopyChars(r.pred, predecessor.constData(), sizeof r.pred - 1);
    xCopyChars(r.succ, successor.constData(), sizeof r.succ - 1);
    std::memcpy(record.data(), &r, std::min<size_t>(sizeof r, record.size()));
  }
  return runRelationDialog(parent, doc, slot, record, options);
}

bool editProgress(QWidget* parent, CPlanDoc& doc, const std::vector<int32_t>& records) {
  if (!doc.isOpen() || records.empty()) return false;
  CProgressDialog dialog(doc, records, parent);
  dialog.exec();
  return dialog.storedAny();
}

}  // namespace kelvo
