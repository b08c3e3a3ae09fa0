#include "kelvo/table_view.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <algorithm>
#include <cstring>

#include "kelvo/field_editor.h"
#include "kelvo/find_dialogs.h"
#include "kelvo/messages.h"
#include "kelvo/plan_doc.h"
#include "kelvo/record_dialogs.h"
#include "kelvo/record_read.h"
#include "kelvo/sheet_cells.h"
#include "kelvo/sheet_windows.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo {
namespace {

constexpr int kMsgNotFound = 20014;
constexpr int kMsgDeleteAsk = 20018;

}  // namespace

uint16_t sheetFlagsForKind(ViewKind kind) {
  uint16_t f = sheetflag::kTable;
  if (isTreeKind(kind) || isGanttTableKind(kind)) f |= sheetflag::kTreeOrGantt;
  if (isTreeKind(kind)) f |= sheetflag::kTreeLinked;
  if (kind == ViewKind::Activities || kind == ViewKind::GanttTable) f |= sheetflag::kActivities;
  if (isGanttTableKind(kind)) f |= sheetflag::kGanttLinked;
  if (isSummaryKind(kind)) f |= sheetflag::kSummary;
  if (hasCodeSearch(kind)) f |= sheetflag::kCodeSearch;
  return f;
}

CTableView::CTableView(CPlanDoc* doc, QWidget* parent) : CGridView(doc, parent) {
  setViewFlags(viewFlags() | sheetFlagsForKind(viewKind()));
  setObjectName(QStringLiteral("sheet%1").arg(kindNumber(viewKind())));
}

bool CTableView::readOnly() const {
  return (viewFlags() & sheetflag::kSummary) || !table();
}

int32_t CTableView::refHandle() const {
  return document() && document()->isOpen() ? document()->db().space.refHandle : -1;
}

// --- Initial update and settings -------------------------------------------------

void CTableView::initialUpdate() {
  CPlanDoc* doc = document();
  TableBinding* t = doc && doc->isOpen() ? sheetTable(&doc->db(), viewKind()) : nullptr;
  rows_.close();
  if (!t) {
    setColumns({});
    setRowCount(0);
    buffer_.clear();
    updateGrid();
    return;
  }
  ProjectDb& db = doc->db();
  const TableHandle& tb = t->tb;
  buffer_.fill(0, tb.recordSize);
  scratch_.fill(0, tb.recordSize);
  if (!formatRead_) {
    if (!readSheetRecord(&db.opt, viewKind(), &stored_)) {
      // Nothing stored yet: the default format and columns become the
      // sheet's record.
      std::memset(&stored_, 0, sizeof stored_);
      stored_.format = defaultGridFormat(viewFlags() & sheetflag::kGanttLinked ? 96 : 52);
      const auto columns = defaultColumns(tb.fields, tb.fieldCount, db.space.refHandle);
      stored_.format.columnCount = static_cast<uint16_t>(columns.size());
      writeSheetRecord(&db.opt, viewKind(), stored_);
      writeColumns(&db.opt, viewKind(), columns);
      readSheetRecord(&db.opt, viewKind(), &stored_);
    }
    setFormat(stored_.format);
    formatRead_ = true;
  }
  std::vector<ColumnRecord> columns =
      readColumns(&db.opt, viewKind(), format().columnCount, tb.fieldCount);
  if (columns.empty()) columns = defaultColumns(tb.fields, tb.fieldCount, db.space.refHandle);
  setColumns(std::move(columns));
  openRows();
  loadRow();
  updateGrid();
}

void CTableView::openRows() {
  TableBinding* t = sheetTable(&document()->db(), viewKind());
  if (!t) return;
  if (viewFlags() & sheetflag::kTreeLinked)
    rows_.openRecords(t, treeRecords_);
  else
    rows_.open(t, stored_.filter, stored_.order);
  setRowCount(static_cast<int>(std::min<uint32_t>(rows_.count(), INT32_MAX - 1)));
  clearSelection();
}

void CTableView::showTreeRows(std::vector<int32_t> records, const QByteArray& codePrefix) {
  if (rowChanged_ || editorShown()) moveToRow(kCommitSilently);
  treeRecords_ = std::move(records);
  treePrefix_ = codePrefix;
  setCurrent(0, currentColumn());
  setTopRow(0);
  initialUpdate();
}

void CTableView::followSummaryKind() {
  CPlanDoc* doc = document();
  if ((viewKind() != ViewKind::Summary && viewKind() != ViewKind::ResourceSummary) || !doc ||
      !doc->isOpen())
    return;
  const ViewKind kind =
      openSummaryIsResources(*doc) ? ViewKind::ResourceSummary : ViewKind::Summary;
  if (kind == viewKind()) return;
  changeKind(kind);
  setObjectName(QStringLiteral("sheet%1").arg(kindNumber(kind)));
}

void CTableView::changeKind(ViewKind kind) {
  if (kind == viewKind()) return;
  if (rowChanged_ || editorShown()) moveToRow(kCommitSilently);
  // The old kind keeps its layout; the new kind's own is read (or made).
  storeSettings();
  rows_.close();
  constexpr uint16_t kSheetFlags = sheetflag::kTreeOrGantt | sheetflag::kTable |
                                   sheetflag::kTreeLinked | sheetflag::kActivities |
                                   sheetflag::kGanttLinked | sheetflag::kSummary |
                                   sheetflag::kCodeSearch;
  setViewKind(kind);
  setViewFlags(uint16_t((viewFlags() & ~kSheetFlags) | sheetFlagsForKind(kind)));
  formatRead_ = false;
  std::memset(&stored_, 0, sizeof stored_);
  setCurrent(0, 0);
  setTopRow(0);
  clearSelection();
}

int CTableView::formatFieldCount() const {
  CPlanDoc* doc = document();
  TableBinding* t = doc && doc->isOpen() ? sheetTable(&doc->db(), viewKind()) : nullptr;
  return t ? t->tb.fieldCount : -1;
}

void CTableView::storeSettings() {
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen() || !formatRead_) return;
  SheetRecord r = stored_;
  // The order and filter stay as stored; the format and columns are the
  // view's.
  readSheetRecord(&doc->db().opt, viewKind(), &r);
  r.format = format();
  r.format.columnCount = static_cast<uint16_t>(columns().size());
  r.format.rowCount = static_cast<uint16_t>(std::min(rowCount(), 0xFFFF));
  writeSheetRecord(&doc->db().opt, viewKind(), r);
  writeColumns(&doc->db().opt, viewKind(), columns());
  stored_ = r;
}

void CTableView::layoutChanged() {
  CGridView::layoutChanged();
  storeSettings();
}

void CTableView::onUpdate(int hintCode, qintptr extra) {
  switch (hintCode) {
    case hint::kRepaint:
      if (!rowChanged_) loadRow();
      viewport()->update();
      break;
    case hint::kStoreSettings:
      storeSettings();
      break;
    case hint::kSummaryRebuilt:
      // Only the sheets of summary data show what was rebuilt; the summary
      // sheet follows the new data between activity and resource rows.
      if (!(viewFlags() & sheetflag::kSummary)) break;
      followSummaryKind();
      [[fallthrough]];
    case hint::kDatesChanged:
    case hint::kInitialUpdate:
    case hint::kRefresh:
      // What was typed in the current row goes in before the rows are read
      // again (silently: a refusal drops it).
      if (rowChanged_ || editorShown()) moveToRow(kCommitSilently);
      initialUpdate();
      break;
    case hint::kComputationBegins:
      moveToRow(kCommitSilently);
      break;
    case hint::kSettingsRewritten:
      formatRead_ = false;
      initialUpdate();
      break;
    default:
      CGridView::onUpdate(hintCode, extra);
      break;
  }
}

// --- Rows --------------------------------------------------------------------------

void CTableView::loadRow() {
  rowChanged_ = false;
  if (buffer_.isEmpty()) return;
  if (currentRow() >= rowCount() ||
      !rows_.read(static_cast<uint32_t>(currentRow()), buffer_.data())) {
    buffer_.fill(0);
    // A new code beside the tree starts with the code of the node it goes
    // under.
    if ((viewFlags() & sheetflag::kTreeLinked) &&
        buffer_.size() >= int(offsetof(WbsRecord, code) + sizeof(WbsRecord::code)))
      std::memcpy(buffer_.data() + offsetof(WbsRecord, code), treePrefix_.constData(),
                  std::min<size_t>(size_t(treePrefix_.size()), sizeof(WbsRecord::code) - 1));
  }
}

bool CTableView::moveToRow(int row) {
  if (commitCell()) rowChanged_ = true;
  if (rowChanged_ && !readOnly()) {
    const bool added = currentRow() >= rowCount();
    const uint32_t record = added ? XJOR_NONE : rows_.record(static_cast<uint32_t>(currentRow()));
    const EditResult result =
        inputRow(record == XJOR_NONE ? -1 : static_cast<int32_t>(record), buffer_.data());
    if (!result) {
      // The row stays current with its edits; the editor shows them again.
      if (row != kCommitSilently && result.message > 0) showMessage(this, result.message);
      placeEditor();
      viewport()->update();
      return false;
    }
    const uint32_t stored = static_cast<uint32_t>(result.slot);
    if (added) {
      rows_.append(stored);
      setRowCount(static_cast<int>(rows_.count()));
    } else {
      rows_.setRecord(static_cast<uint32_t>(currentRow()), stored);
    }
    rowChanged_ = false;
    document()->setModified();
    updateGrid();
  }
  if (row < 0) return true;
  setCurrent(row, currentColumn());
  loadRow();
  return true;
}

bool CTableView::moveToColumn(int column) {
  if (commitCell()) rowChanged_ = true;
  if (column < 0) return true;
  setCurrent(currentRow(), column);
  return true;
}

const FieldDesc* CTableView::fieldDesc(int field) const {
  const TableBinding* t = table();
  if (!t || field < 0 || field >= t->tb.fieldCount) return nullptr;
  return &t->tb.fields[field];
}

QString CTableView::rowLabel(int row) {
  labelled_ = nullptr;
  if (row == currentRow() && !buffer_.isEmpty()) labelled_ = buffer_.constData();
  if (row >= rowCount()) {
    if (!labelled_) {
      scratch_.fill(0);
      labelled_ = scratch_.constData();
    }
    return QStringLiteral(">");
  }
  if (labelled_) return QString::number(row + 1);
  if (scratch_.isEmpty() || !rows_.read(static_cast<uint32_t>(row), scratch_.data()))
    return QStringLiteral("-");
  labelled_ = scratch_.constData();
  return QString::number(row + 1);
}

QString CTableView::cellText(int field) {
  const TableBinding* t = table();
  if (!labelled_ || !t) return {};
  const std::string bytes = sheetCellText(t->tb, viewKind(), refHandle(), labelled_, field);
  const QString text = xjor::fromCp949(bytes.data(), static_cast<int>(bytes.size()));
  const bool code = field >= 0 && field < t->tb.fieldCount && isTreeCode(t->tb.fields[field]);
  return code ? levelPart(text) : text;
}

// --- The editor -----------------------------------------------------------------------

bool CTableView::isTreeCode(const FieldDesc& field) const {
  return (viewFlags() & sheetflag::kTreeLinked) && field.offset == offsetof(WbsRecord, code);
}

QString CTableView::levelPart(const QString& code) const {
  // Every row lists a child of the tree's node, whose code is the prefix.
  const QString prefix = xjor::fromCp949(treePrefix_);
  return code.startsWith(prefix) ? code.mid(prefix.size()) : code;
}

void CTableView::loadEditor(QLineEdit* edit, QComboBox* list, const FieldDesc& field) {
  const TableBinding* t = table();
  loadFieldEditor(edit, list, t->tb.fields, static_cast<int>(&field - t->tb.fields), refHandle(),
                  buffer_.constData());
  if (isTreeCode(field)) {
    edit->setText(levelPart(edit->text()));
    edit->selectAll();
  }
}

bool CTableView::storeEditor(QLineEdit* edit, QComboBox* list, const FieldDesc& field) {
  const TableBinding* t = table();
  const int index = static_cast<int>(&field - t->tb.fields);
  if (!isTreeCode(field))
    return storeFieldEditor(edit, list, t->tb.fields, index, refHandle(), buffer_.data());
  // The user types the code's own level part; the code is the node's code
  // followed by it.
  const QString typed = edit->text();
  edit->setText(xjor::fromCp949(treePrefix_) + typed);
  const bool changed =
      storeFieldEditor(edit, list, t->tb.fields, index, refHandle(), buffer_.data());
  edit->setText(typed);
  return changed;
}

// --- Through the document ---------------------------------------------------------------

EditResult CTableView::inputRow(int32_t slot, void* record) {
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen()) return {};
  // Activities typed in the sheet get their dates derived from what changed.
  return doc->inputRecord(viewKind(), slot, record, 0);
}

int CTableView::deleteCurrent() {
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen()) return -1;
  const EditResult result = doc->deleteRecord(viewKind());
  return result ? 0 : (result.message ? result.message : -1);
}

// --- Deleting ----------------------------------------------------------------------------

bool CTableView::deleteAtCursor() {
  if (readOnly() || viewState().editTool != tool::kDataInput) return false;
  if (currentRow() >= rowCount()) {
    // The new-record row: only the edit is cancelled.
    loadRow();
    reloadEditor();
    viewport()->update();
    return true;
  }
  return deleteRows({currentRow()});
}

bool CTableView::deleteSelected() {
  if (readOnly() || selectedRows().empty()) return false;
  return deleteRows(std::vector<int>(selectedRows().begin(), selectedRows().end()));
}

bool CTableView::deleteRows(std::vector<int> rows) {
  if ((optionFlags() & optflag::kConfirmDelete) &&
      askQuestion(this, kMsgDeleteAsk, true) != QMessageBox::Yes)
    return false;
  // Records first: deleting one may delete others (a classification code
  // takes its subtree along), so rows are found again by record afterwards.
  std::vector<uint32_t> records;
  for (int r : rows) records.push_back(rows_.record(static_cast<uint32_t>(r)));
  bool any = false;
  for (uint32_t record : records) {
    if (record == XJOR_NONE) continue;
    TableBinding* t = table();
    t->tb.current = static_cast<int32_t>(record);
    if (xGetRec(&t->tb, scratch_.data()) == 0) continue;  // gone with an earlier one
    const int message = deleteCurrent();
    if (message) {
      if (message > 0) showMessage(this, message);
      break;
    }
    any = true;
  }
  if (!any) return false;
  pruneDeadRows();
  clearSelection();
  setRowCount(static_cast<int>(rows_.count()));
  loadRow();
  updateGrid();
  return true;
}

void CTableView::pruneDeadRows() {
  // Rows whose record is gone are dropped at once, so that a slot the table
  // hands out again later never shows up under an old row.
  TableBinding* t = table();
  for (uint32_t r = rows_.count(); r-- > 0;)
    if (!rows_.read(r, scratch_.data())) rows_.remove(r);
  t->tb.current = -1;
}

// --- Finding -------------------------------------------------------------------------------

bool CTableView::showRecord(uint32_t record) {
  const int64_t row = record == XJOR_NONE ? -1 : rows_.rowOf(record);
  if (row < 0) {
    showMessage(this, kMsgNotFound);
    return false;
  }
  if (!moveToRow(static_cast<int>(row))) return false;
  ViewState& st = viewState();
  if (st.editTool == tool::kDataInput) st.editTool = tool::kDataSelect;
  selectOnly(static_cast<int>(row));
  return true;
}

void CTableView::findCodeCommand() {
  if (!hasCodeSearch(viewKind()) || !document() || !document()->isOpen()) return;
  CodeFindDialog dialog(viewKind(), this);
  if (dialog.exec() != QDialog::Accepted) return;
  const QByteArray code = dialog.code(), second = dialog.secondCode();
  showRecord(findCodeRecord(&document()->db(), viewKind(), code.constData(), second.constData()));
}

void CTableView::findSpecialCommand() {
  if (!hasSpecialSearch(viewKind()) || !document() || !document()->isOpen()) return;
  SpecialFindDialog dialog(&document()->db(), this);
  if (dialog.exec() != QDialog::Accepted) return;
  showRecord(dialog.chosenRecord());
}

// --- Record dialogs ----------------------------------------------------------------------

namespace {
bool hasRecordDialog(ViewKind kind) {
  return kind == ViewKind::Activities || kind == ViewKind::Relations ||
         kind == ViewKind::GanttTable;
}
}  // namespace

bool CTableView::modifyAtCursor() {
  CPlanDoc* doc = document();
  if (!hasRecordDialog(viewKind()) || !doc || !doc->isOpen()) return false;
  if (!moveToRow(kCommitOnly) || currentRow() >= rowCount()) return false;
  const int slot = static_cast<int>(rows_.record(static_cast<uint32_t>(currentRow())));
  const bool changed = viewKind() == ViewKind::Relations ? editRelation(this, *doc, slot)
                                                         : editActivity(this, *doc, slot);
  if (!changed) return false;
  // A deleted relation leaves the sheet; a changed record is shown again.
  pruneDeadRows();
  setRowCount(static_cast<int>(rows_.count()));
  if (currentRow() > rowCount()) setCurrent(rowCount(), currentColumn());
  loadRow();
  reloadEditor();
  updateGrid();
  return true;
}

void CTableView::dataDoubleClick(int32_t, int32_t y) {
  // The press before it has made the clicked row current.
  if (y <= 0) modifyAtCursor();
}

// --- Linking by relations ---------------------------------------------------------------

bool CTableView::linkEnabled() const {
  return hasSpecialSearch(viewKind()) && viewState().editTool == tool::kDataSelect &&
         selectedRows().size() >= 2;
}

bool CTableView::linkSelected(int relationKind) {
  if (!hasSpecialSearch(viewKind()) || selectedRows().size() < 2 || !document()) return false;
  ProjectDb& db = document()->db();
  const std::vector<int> rows(selectedRows().begin(), selectedRows().end());
  QByteArray pred(db.act.tb.recordSize, 0), succ(db.act.tb.recordSize, 0);
  QByteArray rel(db.rel.tb.recordSize, 0);
  bool any = false;
  for (size_t i = rows.size() - 1; i > 0; --i) {
    if (!rows_.read(static_cast<uint32_t>(rows[i - 1]), pred.data()) ||
        !rows_.read(static_cast<uint32_t>(rows[i]), succ.data()))
      continue;
    ActRecord a, b;
    std::memcpy(&a, pred.constData(), sizeof a);
    std::memcpy(&b, succ.constData(), sizeof b);
    a.code[sizeof a.code - 1] = b.code[sizeof b.code - 1] = 0;
    RelRecord r;
    const uint32_t found = findCodeRecord(&db, ViewKind::Relations, a.code, b.code);
    if (found != XJOR_NONE) {
      if (!readRecordAt(db.rel.tb, static_cast<int32_t>(found), rel.data())) continue;
      std::memcpy(&r, rel.constData(), sizeof r);
      if (r.kind == relationKind) continue;
    } else {
      rel.fill(0);
      std::memset(&r, 0, sizeof r);
      std::memcpy(r.pred, a.code, sizeof r.pred);
      std::memcpy(r.succ, b.code, sizeof r.succ);
    }
    r.kind = static_cast<int16_t>(relationKind);
    std::memcpy(rel.data(), &r, sizeof r);
    const int32_t slot = found != XJOR_NONE ? static_cast<int32_t>(found) : -1;
    const EditResult result = document()->inputRecord(ViewKind::Relations, slot, rel.data(), -1);
    if (!result) {
      if (result.message) showMessage(this, result.message);
      break;
    }
    any = true;
  }
  if (any) viewport()->update();
  return any;
}

// --- Commands ------------------------------------------------------------------------------

bool CTableView::onCommand(int id) {
  switch (id) {
    case cmd::kDeleteAtCursor:
      deleteAtCursor();
      return true;
    case cmd::kEditClear:
      if (!selectedRows().empty()) {
        deleteSelected();
        return true;
      }
      break;
    case cmd::kEditCopy:
    case cmd::kEditCut:
    case cmd::kEditPaste:
      if (editorShown() && viewState().editTool == tool::kDataInput) {
        if (id == cmd::kEditCopy) lineEditor()->copy();
        if (id == cmd::kEditCut) lineEditor()->cut();
        if (id == cmd::kEditPaste) lineEditor()->paste();
        return true;
      }
      break;
    case cmd::kCancelState:
      // Esc drops what was typed in the row since it was entered.
      if (rowChanged_ || editorShown()) {
        loadRow();
        reloadEditor();
        viewport()->update();
      }
      break;
    case cmd::kRefresh:
      if (moveToRow(kCommitOnly)) initialUpdate();
      return true;
    case cmd::kModifyData:
      if (!hasRecordDialog(viewKind())) break;
      modifyAtCursor();
      return true;
    case cmd::kFindCode:
      findCodeCommand();
      return true;
    case cmd::kFindSpecial:
      findSpecialCommand();
      return true;
    case cmd::kLinkByRelations: {
      if (!linkEnabled()) return true;
      RelationKindDialog dialog(this);
      if (dialog.exec() == QDialog::Accepted) linkSelected(dialog.kind());
      return true;
    }
    default:
      break;
  }
  return CGridView::onCommand(id);
}

// --- External editor -------------------------------------------------------------------

CEditorSource* CTableView::editorSource() {
  if (!(viewFlags() & sheetflag::kTreeLinked)) return this;
  return document() ? dynamic_cast<CEditorSource*>(document()->classTreeLink()) : nullptr;
}

bool CTableView::editorEnabled(bool read) const {
  return read ? editorReadsKind(viewKind()) : editorSendsKind(viewKind());
}

bool CTableView::editorRequest(bool, EditorRequest* request) {
  moveToRow(kCommitSilently);
  request->kind = int16_t(kindNumber(viewKind()));
  request->table = table();
  addEditorColumns(columns(), request);
  // The rows in the sheet's order; an empty sheet sends an empty sheet.
  request->allRecords = false;
  for (uint32_t row = 0; row < rows().count(); ++row)
    request->records.push_back(int32_t(rows().record(row)));
  return true;
}

bool CTableView::updateCommand(int id, CommandState& state) {
  const bool input = viewState().editTool == tool::kDataInput;
  switch (id) {
    case cmd::kDeleteAtCursor:
      state.enabled = input && !readOnly();
      return true;
    case cmd::kEditClear:
      if (!selectedRows().empty()) {
        state.enabled = !readOnly();
        return true;
      }
      break;
    case cmd::kEditCopy:
    case cmd::kEditCut:
    case cmd::kEditPaste:
      if (input && editorShown()) {
        state.enabled = true;
        return true;
      }
      break;
    case cmd::kRefresh:
      state.enabled = true;
      return true;
    case cmd::kModifyData:
      if (!hasRecordDialog(viewKind())) break;
      state.enabled = currentRow() < rowCount();
      return true;
    case cmd::kFindCode:
      state.enabled = viewFlags() & sheetflag::kCodeSearch;
      return true;
    case cmd::kFindSpecial:
      state.enabled = hasSpecialSearch(viewKind());
      return true;
    case cmd::kLinkByRelations:
      state.enabled = linkEnabled();
      return true;
    default:
      break;
  }
  return CGridView::updateCommand(id, state);
}

}  // namespace kelvo
