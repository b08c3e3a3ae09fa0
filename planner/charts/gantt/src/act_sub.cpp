// The lower panes of the Gantt window: rows, columns, settings and editing.
#include "kelvo/act_sub.h"

#include <QMessageBox>
#include <QScopedValueRollback>
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <utility>

#include "kelvo/field_editor.h"
#include "kelvo/messages.h"
#include "kelvo/option_slots.h"
#include "kelvo/plan_doc.h"
#include "kelvo/sheet_find.h"
#include "kelvo/strings.h"
#include "kelvo/table_view.h"
#include "kelvo/time_shared.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo {
namespace {

constexpr int kMsgDeleteAsk = 20018;
constexpr int kColumns = 4;
constexpr int kStrEntryDay = 102815;       // "기준일"
constexpr int kStrEntryQuantity = 102816;  // "시분할 작업 수량"
constexpr int kNameBytes = 40;             // the name column shows at most this much
constexpr int16_t kNameWidth = kNameBytes * 16 + 20;
constexpr int kDeleteAtCursor = 40025;
constexpr int kCancelState = 32768;

bool sameCode(const char* a, const char* code, size_t width) {
  return std::strncmp(a, code, width) == 0;
}

// Record numbers of the memory-table entries whose first code is code,
// from the first of them on.
std::vector<uint32_t> relationsOf(MemTable* m, const char* code) {
  std::vector<uint32_t> out;
  RelCodeEntry key{};
  xCopyChars(key.first, code, sizeof key.first - 1);
  if (!m->data || m->count == 0) return out;
  xmSeek(m, &key);
  const auto* e = reinterpret_cast<const RelCodeEntry*>(m->data);
  for (uint32_t i = m->current; i < m->count && sameCode(e[i].first, key.first, sizeof key.first);
       ++i)
    out.push_back(uint32_t(e[i].record));
  return out;
}

// Record numbers of the index entries (of type Entry, keyed by a first code
// and a second) whose first code is code, in index order.
template <typename Entry>
std::vector<uint32_t> indexedBy(IndexTable* t, const char* code) {
  std::vector<uint32_t> out;
  Entry key{};
  xCopyChars(key.first, code, sizeof key.first - 1);
  if (t->handle < 0 || t->count == 0) return out;
  xiSeek(t, &key);
  Entry e;
  for (;
       t->current < t->count && xiGet(t, &e) == 1 && sameCode(e.first, key.first, sizeof key.first);
       ++t->current)
    out.push_back(uint32_t(e.record));
  return out;
}

// The code field shown in the first column.
int codeField(ViewKind kind) {
  return kind == ViewKind::Predecessors || kind == ViewKind::TimeShared ? 0 : 1;
}

// The field numbers of a pane's columns, -1 for the looked-up name.
std::vector<int16_t> columnFields(ViewKind kind) {
  if (kind == ViewKind::TimeShared) return {0, 1};
  return {int16_t(codeField(kind)), -1, 2, 3};
}

// Whether the name column names a resource (else an activity).
bool namesResources(ViewKind kind) {
  return kind == ViewKind::PaneCrewDetails || kind == ViewKind::PaneCrews;
}

// A row's bytes as they were before it was deleted, and where it went in
// again after an undo.
struct DeletedRow {
  int32_t slot;
  QByteArray bytes;
};

// Deletes the record (or time-shared entry) that row held.
EditResult deleteKept(CPlanDoc* doc, ViewKind kind, const DeletedRow& row) {
  ProjectDb& db = doc->db();
  if (kind == ViewKind::TimeShared) {
    const auto* e = reinterpret_cast<const SpaEntry*>(row.bytes.constData());
    if (!selectTimeSharedEntry(db, e->activity, e->day)) return {};
  } else if (TableHandle* tb = editTable(db, kind)) {
    tb->current = row.slot;
  }
  return doc->deleteRecord(kind);
}

// One undo step for rows deleted together: undo enters them all again,
// a second undo deletes them again. The lists that show them re-read.
void keepDeletionUndo(CPlanDoc* doc, ViewKind kind, std::vector<DeletedRow> rows) {
  doc->undo().keep(nullptr, [doc, kind, rows = std::move(rows), gone = true]() mutable {
    if (!doc->isOpen()) return false;
    for (DeletedRow& row : rows) {
      if (!gone) {
        if (!deleteKept(doc, kind, row)) return false;
        continue;
      }
      if (kind == ViewKind::TimeShared) doc->db().spa.current = XJOR_NONE;
      const EditResult in = doc->inputRecord(kind, -1, row.bytes.data(), -1, EditReport::Show);
      if (!in) return false;
      row.slot = in.slot;
    }
    gone = !gone;
    // Each input and deletion dealt with the step on its own; this one stays.
    doc->undo().clear();
    doc->updateAllViews(kindBit(kind), hint::kRefresh, kindNumber(kind));
    return true;
  });
}

}  // namespace

std::vector<uint32_t> paneRecords(ProjectDb* db, ViewKind kind, const char* code) {
  if (!code || !*code) return {};
  switch (kind) {
    case ViewKind::Predecessors:
      return relationsOf(&db->relBySucc, code);
    case ViewKind::Successors:
      return relationsOf(&db->relByPred, code);
    case ViewKind::PaneCrewDetails:
      return indexedBy<OprEntry>(&db->op1, code);
    case ViewKind::PaneCrews:
      return indexedBy<CodePairEntry>(&db->cr1, code);
    default:
      return {};
  }
}

int paneOwnCodeField(ViewKind kind) {
  switch (kind) {
    case ViewKind::Predecessors:
      return 1;
    case ViewKind::TimeShared:
      return -1;
    default:
      return 0;
  }
}

const FieldDesc* timeSharedFields() {
  static const std::array<FieldDesc, 2> fields = [] {
    std::array<FieldDesc, 2> f{};
    const QByteArray day = xjor::toCp949(loadString(kStrEntryDay));
    const QByteArray quantity = xjor::toCp949(loadString(kStrEntryQuantity));
    xCopyChars(f[0].name, day.constData(), sizeof f[0].name - 1);
    f[0].type = XF_DATE;
    f[0].width = 8;
    f[0].offset = int16_t(offsetof(SpaEntry, day));
    xCopyChars(f[1].name, quantity.constData(), sizeof f[1].name - 1);
    f[1].type = XF_DOUBLE;
    f[1].width = 12;
    f[1].decimals = 3;
    f[1].flags = XF_COMMA;
    f[1].offset = int16_t(offsetof(SpaEntry, value));
    return f;
  }();
  return fields.data();
}

std::vector<ColumnRecord> paneColumns(ViewKind kind, const FieldDesc* fields, int32_t ref,
                                      const ColumnRecord* stored, int count) {
  const std::vector<int16_t> numbers = columnFields(kind);
  const int n = int(numbers.size());
  std::vector<ColumnRecord> columns(n);
  std::vector<ColumnRecord> defaults =
      defaultColumns(fields, *std::max_element(numbers.begin(), numbers.end()) + 1, ref);
  for (int c = 0; c < n; ++c) {
    ColumnRecord& col = columns[c];
    if (numbers[c] >= 0) {
      col = defaults[numbers[c]];
    } else {
      std::memset(&col, 0, sizeof col);
      col.width = kNameWidth;
      col.align = kAlignLeft;
    }
    if (c < count) {
      col.width = std::max<int16_t>(stored[c].width, 0);
      col.align = stored[c].align >= kAlignLeft && stored[c].align <= kAlignCentre ? stored[c].align
                                                                                   : kAlignLeft;
      std::memcpy(col.title, stored[c].title, sizeof col.title);
      col.title[sizeof col.title - 1] = 0;
    }
    col.field = numbers[c];
  }
  return columns;
}

CActSub::CActSub(CPlanDoc* doc, CTableView* source, int side, QWidget* parent)
    : CGridView(doc, parent), source_(source), side_(side) {
  setObjectName(QStringLiteral("GanttPane%1").arg(side));
}

TableBinding* CActSub::table() const {
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen()) return nullptr;
  ProjectDb& db = doc->db();
  TableBinding* t = nullptr;
  switch (viewKind()) {
    case ViewKind::PaneCrewDetails:
      t = &db.opr;
      break;
    case ViewKind::PaneCrews:
      t = &db.crw;
      break;
    case ViewKind::TimeShared:
      return nullptr;
    default:
      t = &db.rel;
      break;
  }
  return t->tb.handle < 0 ? nullptr : t;
}

const FieldDesc* CActSub::fields() const {
  if (listsEntries()) return timeSharedFields();
  const TableBinding* t = table();
  return t ? t->tb.fields : nullptr;
}

int CActSub::fieldCount() const {
  if (listsEntries()) return 2;
  const TableBinding* t = table();
  return t ? t->tb.fieldCount : 0;
}

int CActSub::rowSize() const {
  if (listsEntries()) return int(sizeof(SpaEntry));
  const TableBinding* t = table();
  return t ? int(t->tb.recordSize) : 0;
}

int32_t CActSub::refHandle() const {
  return document() && document()->isOpen() ? document()->db().space.refHandle : -1;
}

bool CActSub::readOnly() const {
  return listedCode_.isEmpty() || !fields();
}

bool CActSub::readActivity(ActRecord* activity, int32_t* slot) const {
  // Summary schedules list no activities; neither does the entry row.
  if (!source_ || source_->viewKind() != ViewKind::GanttTable) return false;
  const TableBinding* t = source_->table();
  const int row = source_->currentRow();
  if (!t || row >= source_->rowCount()) return false;
  QByteArray record(std::max<int>(t->tb.recordSize, sizeof(ActRecord)), '\0');
  const int32_t kept = t->tb.current;
  const bool ok = source_->rows().read(uint32_t(row), record.data());
  const_cast<TableBinding*>(t)->tb.current = kept;
  if (!ok) return false;
  std::memcpy(activity, record.constData(), sizeof *activity);
  *slot = int32_t(source_->rows().record(uint32_t(row)));
  return true;
}

// --- Settings --------------------------------------------------------------

void CActSub::initialUpdate() {
  if (!fields() || (listsEntries() && document()->db().spa.handle < 0)) {
    records_.clear();
    entries_.clear();
    code_.clear();
    listedCode_.clear();
    setColumns({});
    setRowCount(0);
    updateGrid();
    return;
  }
  OptionFileRef* opt = &document()->db().opt;
  if (!formatRead_) {
    GridFormat f = defaultGridFormat();
    const int item = kindItem(KindRecord::PaneFormat, viewKind());
    if (item >= 0 && xOption(opt, XOPT_READ, item, &f, sizeof f) == 1) clampGridFormat(&f);
    setFormat(f);
    formatRead_ = true;
  }
  ColumnRecord stored[kColumns];
  int count = 0;
  const int item = kindItem(KindRecord::PaneColumns, viewKind());
  const int32_t size = item >= 0 ? xOption(opt, XOPT_SIZE, item, nullptr, 0) : 0;
  if (size > 0) {
    count = std::min<int>(kColumns, size / int(sizeof(ColumnRecord)));
    if (xOption(opt, XOPT_READ, item, stored, uint32_t(count * sizeof(ColumnRecord))) != 1)
      count = 0;
  }
  std::vector<ColumnRecord> columns = paneColumns(viewKind(), fields(), refHandle(), stored, count);
  // The name column is titled as the name field of what it looks up.
  if (columns.size() > 1 && columns[1].field < 0 && !columns[1].title[0]) {
    const ProjectDb& db = document()->db();
    const TableHandle& named = namesResources(viewKind()) ? db.res.tb : db.act.tb;
    if (named.fieldCount > 1)
      xCopyChars(columns[1].title, named.fields[1].name, sizeof columns[1].title - 1);
  }
  setColumns(std::move(columns));
  buffer_.fill(0, rowSize());
  scratch_.fill(0, rowSize());
  rebuildRows();
}

void CActSub::storeSettings() {
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen() || !formatRead_) return;
  OptionFileRef* opt = &doc->db().opt;
  GridFormat f = format();
  f.columnCount = uint16_t(columns().size());
  f.rowCount = uint16_t(std::min<int>(rowCount(), 0xFFFF));
  const int formatItem = kindItem(KindRecord::PaneFormat, viewKind());
  const int columnItem = kindItem(KindRecord::PaneColumns, viewKind());
  if (formatItem < 0 || columnItem < 0) return;
  xOption(opt, XOPT_WRITE, formatItem, &f, sizeof f);
  std::vector<ColumnRecord> cols = columns();
  xOption(opt, XOPT_WRITE, columnItem, cols.data(), uint32_t(cols.size() * sizeof(ColumnRecord)));
}

void CActSub::layoutChanged() {
  CGridView::layoutChanged();
  storeSettings();
}

void CActSub::changeKind(ViewKind kind) {
  if (kind == viewKind() || !isGanttPaneKind(kind)) return;
  moveToRow(kCommitSilently);
  storeSettings();
  setViewKind(kind);
  formatRead_ = false;
  setCurrent(0, 0);
  setTopRow(0);
  clearSelection();
}

void CActSub::onUpdate(int hintCode, qintptr extra) {
  // While this pane enters or deletes its own rows, the views it tells may
  // tell it back; it lists its rows itself when done.
  if (editing_) return;
  switch (hintCode) {
    case hint::kRepaint:
      if (!rowChanged_) loadRow();
      viewport()->update();
      break;
    case hint::kStoreSettings:
      storeSettings();
      break;
    case hint::kComputationBegins:
      moveToRow(kCommitSilently);
      break;
    case hint::kInitialUpdate:
    case hint::kDatesChanged:
    case hint::kRefresh:
      // What was typed goes in first (silently: a refusal drops it).
      moveToRow(kCommitSilently);
      initialUpdate();
      break;
    default:
      CGridView::onUpdate(hintCode, extra);
      break;
  }
}

// --- Rows ------------------------------------------------------------------

void CActSub::rebuildRows() {
  ActRecord a{};
  int32_t slot = -1;
  const bool any = readActivity(&a, &slot);
  const QByteArray code = any ? QByteArray(a.code, int(strnlen(a.code, sizeof a.code))) : "";
  const bool same = code == code_ && slot == activitySlot_;
  const uint32_t kept =
      same && currentRow() < int(records_.size()) ? records_[currentRow()] : XJOR_NONE;
  code_ = code;
  activitySlot_ = any ? slot : -1;
  // Crews belong to the activity's work type; the other lists to the activity.
  listedCode_ = viewKind() == ViewKind::PaneCrews && any
                    ? QByteArray(a.wbsCode, int(strnlen(a.wbsCode, sizeof a.wbsCode)))
                    : code_;
  records_.clear();
  entries_.clear();
  if (listsEntries() && any) {
    entries_ = timeSharedEntries(document()->db(), activitySlot_);
    for (const SpaEntry& e : entries_) records_.push_back(e.day);
  } else if (table()) {
    records_ = paneRecords(&document()->db(), viewKind(), listedCode_.constData());
  }
  setRowCount(int(records_.size()));
  const auto found = std::find(records_.begin(), records_.end(), kept);
  setCurrent(found != records_.end() ? int(found - records_.begin()) : 0, currentColumn());
  clearSelection();
  loadRow();
  updateGrid();
  viewport()->update();
}

bool CActSub::readRecord(int row, char* buffer) const {
  if (row < 0 || row >= int(records_.size())) return false;
  if (listsEntries()) {
    std::memcpy(buffer, &entries_[row], sizeof entries_[row]);
    return true;
  }
  TableBinding* t = table();
  if (!t) return false;
  t->tb.current = int32_t(records_[row]);
  return xGetRec(&t->tb, buffer) != 0;
}

void CActSub::loadRow() {
  rowChanged_ = false;
  if (buffer_.isEmpty()) return;
  if (readRecord(currentRow(), buffer_.data())) return;
  buffer_.fill(0);
  // A new row belongs to the current activity (or its work type) from the
  // start.
  if (listedCode_.isEmpty()) return;
  if (listsEntries()) {
    reinterpret_cast<SpaEntry*>(buffer_.data())->activity = activitySlot_;
  } else if (const int own = paneOwnCodeField(viewKind()); own >= 0 && table()) {
    const FieldDesc& f = table()->tb.fields[own];
    std::memcpy(buffer_.data() + f.offset, listedCode_.constData(),
                std::min<size_t>(listedCode_.size(), f.width));
  }
}

EditResult CActSub::enterRow() {
  const bool added = currentRow() >= int(records_.size());
  if (listsEntries()) {
    // The row's entry is the one the input replaces.
    ProjectDb& db = document()->db();
    if (added || !selectTimeSharedEntry(db, activitySlot_, uint16_t(records_[currentRow()])))
      db.spa.current = XJOR_NONE;
    return document()->inputRecord(viewKind(), -1, buffer_.data(), -1);
  }
  const int32_t slot = added ? -1 : int32_t(records_[currentRow()]);
  return document()->inputRecord(viewKind(), slot, buffer_.data(), -1);
}

bool CActSub::moveToRow(int row) {
  if (commitCell()) rowChanged_ = true;
  if (rowChanged_ && !readOnly()) {
    const bool added = currentRow() >= int(records_.size());
    EditResult result;
    {
      const QScopedValueRollback<bool> busy(editing_, true);
      result = enterRow();
    }
    if (!result) {
      // The row stays current with its edits.
      if (row != kCommitSilently && result.message > 0) showMessage(this, result.message);
      placeEditor();
      viewport()->update();
      return false;
    }
    rowChanged_ = false;
    if (listsEntries()) {
      // Entries are listed by day: the row goes where its day puts it.
      const uint16_t day = reinterpret_cast<const SpaEntry*>(buffer_.constData())->day;
      entries_ = timeSharedEntries(document()->db(), activitySlot_);
      records_.clear();
      for (const SpaEntry& e : entries_) records_.push_back(e.day);
      setRowCount(int(records_.size()));
      const auto at = std::find(records_.begin(), records_.end(), day);
      setCurrent(int(at - records_.begin()), currentColumn());
    } else if (added) {
      records_.push_back(uint32_t(result.slot));
      setRowCount(int(records_.size()));
    } else {
      records_[currentRow()] = uint32_t(result.slot);
    }
    updateGrid();
  }
  if (row < 0) return true;
  setCurrent(row, currentColumn());
  loadRow();
  return true;
}

bool CActSub::moveToColumn(int column) {
  if (commitCell()) rowChanged_ = true;
  if (column < 0) return true;
  setCurrent(currentRow(), column);
  return true;
}

const FieldDesc* CActSub::fieldDesc(int field) const {
  if (field < 0 || field >= fieldCount()) return nullptr;
  return &fields()[field];
}

QString CActSub::rowLabel(int row) {
  labelled_ = nullptr;
  if (listedCode_.isEmpty()) return {};  // no activity: no rows, no entry row
  if (row == currentRow() && !buffer_.isEmpty()) labelled_ = buffer_.constData();
  if (row >= int(records_.size())) {
    if (!labelled_) {
      scratch_.fill(0);
      labelled_ = scratch_.constData();
    }
    return QStringLiteral(">");
  }
  if (labelled_) return QString::number(row + 1);
  if (scratch_.isEmpty() || !readRecord(row, scratch_.data())) return QStringLiteral("-");
  labelled_ = scratch_.constData();
  return QString::number(row + 1);
}

QString CActSub::cellText(int field) {
  if (!labelled_ || !fields()) return {};
  if (field < 0) return nameOf(labelled_);
  if (field >= fieldCount()) return {};
  return fieldText(fields(), refHandle(), labelled_, field);
}

QString CActSub::nameOf(const char* record) const {
  ProjectDb& db = document()->db();
  if (listsEntries() || !table()) return {};
  const FieldDesc& f = table()->tb.fields[codeField(viewKind())];
  char code[32] = {};
  std::memcpy(code, record + f.offset, std::min<size_t>(f.width, sizeof code - 1));
  const char* title = nullptr;
  QByteArray found;
  if (namesResources(viewKind())) {
    const uint32_t slot = findCodeRecord(&db, ViewKind::Resources, code);
    found.resize(std::max<int>(db.res.tb.recordSize, sizeof(ResRecord)));
    db.res.tb.current = int32_t(slot);
    if (slot == XJOR_NONE || !xGetRec(&db.res.tb, found.data())) return {};
    title = reinterpret_cast<const ResRecord*>(found.constData())->title;
  } else {
    const uint32_t slot = findCodeRecord(&db, ViewKind::Activities, code);
    found.resize(std::max<int>(db.act.tb.recordSize, sizeof(ActRecord)));
    db.act.tb.current = int32_t(slot);
    if (slot == XJOR_NONE || !xGetRec(&db.act.tb, found.data())) return {};
    title = reinterpret_cast<const ActRecord*>(found.constData())->title;
  }
  char cut[kNameBytes + 1] = {};
  xCopyChars(cut, title, kNameBytes);
  return xjor::fromCp949(cut, int(strnlen(cut, kNameBytes)));
}

// --- The editor ------------------------------------------------------------

void CActSub::loadEditor(QLineEdit* edit, QComboBox* list, const FieldDesc& field) {
  loadFieldEditor(edit, list, fields(), int(&field - fields()), refHandle(), buffer_.constData());
}

bool CActSub::storeEditor(QLineEdit* edit, QComboBox* list, const FieldDesc& field) {
  return storeFieldEditor(edit, list, fields(), int(&field - fields()), refHandle(),
                          buffer_.data());
}

// --- Deleting and commands ---------------------------------------------------

void CActSub::rowsDeleted() {
  setCurrent(0, currentColumn());
  rebuildRows();
}

bool CActSub::deleteAtCursor() {
  if (readOnly() || viewState().editTool != tool::kDataInput) return false;
  if (currentRow() >= int(records_.size())) {
    // The new row: only the edit is cancelled.
    loadRow();
    reloadEditor();
    viewport()->update();
    return true;
  }
  clearSelection();
  return deleteRows({currentRow()});
}

bool CActSub::deleteSelected() {
  if (readOnly() || selectedRows().empty()) return false;
  return deleteRows(selectedRows());
}

bool CActSub::deleteRows(const std::set<int>& rows) {
  if ((optionFlags() & optflag::kConfirmDelete) &&
      askQuestion(this, kMsgDeleteAsk, true) != QMessageBox::Yes)
    return false;
  // Every row's record is taken first: the lists may be re-read while the
  // records go.
  std::vector<DeletedRow> targets;
  for (int row : rows) {
    DeletedRow kept{row < int(records_.size()) ? int32_t(records_[row]) : -1,
                    QByteArray(rowSize(), '\0')};
    if (readRecord(row, kept.bytes.data())) targets.push_back(std::move(kept));
  }
  std::vector<DeletedRow> deleted;
  {
    const QScopedValueRollback<bool> busy(editing_, true);
    for (DeletedRow& row : targets) {
      const EditResult result = deleteKept(document(), viewKind(), row);
      if (!result) {
        if (result.message > 0) showMessage(this, result.message);
        break;
      }
      deleted.push_back(std::move(row));
    }
  }
  if (deleted.empty()) return false;
  keepDeletionUndo(document(), viewKind(), std::move(deleted));
  rowsDeleted();
  return true;
}

bool CActSub::onCommand(int id) {
  if (id == kDeleteAtCursor) {
    deleteAtCursor();
    return true;
  }
  if (id == cmd::kEditClear && !selectedRows().empty()) {
    deleteSelected();
    return true;
  }
  if (id == kCancelState && (rowChanged_ || editorShown())) {
    // Esc drops what was typed in the row since it was entered.
    loadRow();
    reloadEditor();
    viewport()->update();
  }
  return CGridView::onCommand(id);
}

bool CActSub::updateCommand(int id, CommandState& state) {
  if (id == kDeleteAtCursor) {
    state.enabled = !readOnly() && viewState().editTool == tool::kDataInput;
    return true;
  }
  if (id == cmd::kEditClear && !selectedRows().empty()) {
    state.enabled = !readOnly();
    return true;
  }
  return CGridView::updateCommand(id, state);
}

}  // namespace kelvo
