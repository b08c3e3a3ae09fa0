// The lower panes of the Gantt window: rows, columns, settings and editing.
#include "kelvo/act_sub.h"

#include <QMessageBox>
#include <algorithm>
#include <cstring>

#include "kelvo/field_editor.h"
#include "kelvo/messages.h"
#include "kelvo/option_slots.h"
#include "kelvo/plan_doc.h"
#include "kelvo/sheet_find.h"
#include "kelvo/table_view.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo {
namespace {

constexpr int kMsgDeleteAsk = 20018;
constexpr int kColumns = 4;
constexpr int kNameBytes = 40;  // the name column shows at most this much
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

std::vector<uint32_t> crewDetailsOf(IndexTable* t, const char* code) {
  std::vector<uint32_t> out;
  OprEntry key{};
  xCopyChars(key.first, code, sizeof key.first - 1);
  if (t->handle < 0 || t->count == 0) return out;
  xiSeek(t, &key);
  OprEntry e;
  for (;
       t->current < t->count && xiGet(t, &e) == 1 && sameCode(e.first, key.first, sizeof key.first);
       ++t->current)
    out.push_back(uint32_t(e.record));
  return out;
}

// The code field shown in the first column.
int codeField(ViewKind kind) {
  return kind == ViewKind::Predecessors ? 0 : 1;
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
      return crewDetailsOf(&db->op1, code);
    default:
      return {};
  }
}

int paneOwnCodeField(ViewKind kind) {
  return kind == ViewKind::Predecessors ? 1 : 0;
}

std::vector<ColumnRecord> paneColumns(ViewKind kind, const FieldDesc* fields, int32_t ref,
                                      const ColumnRecord* stored, int count) {
  const int16_t numbers[kColumns] = {int16_t(codeField(kind)), -1, 2, 3};
  std::vector<ColumnRecord> columns(kColumns);
  std::vector<ColumnRecord> defaults = defaultColumns(fields, 4, ref);
  for (int c = 0; c < kColumns; ++c) {
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
  TableBinding* t = viewKind() == ViewKind::PaneCrewDetails ? &doc->db().opr : &doc->db().rel;
  return t->tb.handle < 0 ? nullptr : t;
}

int32_t CActSub::refHandle() const {
  return document() && document()->isOpen() ? document()->db().space.refHandle : -1;
}

bool CActSub::readOnly() const {
  return code_.isEmpty() || !table();
}

QByteArray CActSub::currentActivity() const {
  // Summary schedules list no activities; neither does the entry row.
  if (!source_ || source_->viewKind() != ViewKind::GanttTable) return {};
  const TableBinding* t = source_->table();
  const int row = source_->currentRow();
  if (!t || row >= source_->rowCount()) return {};
  QByteArray record(std::max<int>(t->tb.recordSize, sizeof(ActRecord)), '\0');
  const int32_t kept = t->tb.current;
  const bool ok = source_->rows().read(uint32_t(row), record.data());
  const_cast<TableBinding*>(t)->tb.current = kept;
  if (!ok) return {};
  const auto* a = reinterpret_cast<const ActRecord*>(record.constData());
  return QByteArray(a->code, int(strnlen(a->code, sizeof a->code)));
}

// --- Settings --------------------------------------------------------------

void CActSub::initialUpdate() {
  TableBinding* t = table();
  if (!t) {
    records_.clear();
    code_.clear();
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
  setColumns(paneColumns(viewKind(), t->tb.fields, refHandle(), stored, count));
  buffer_.fill(0, t->tb.recordSize);
  scratch_.fill(0, t->tb.recordSize);
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
  if (kind == viewKind() || !isPaneKind(kind)) return;
  moveToRow(kCommitSilently);
  storeSettings();
  setViewKind(kind);
  formatRead_ = false;
  setCurrent(0, 0);
  setTopRow(0);
  clearSelection();
}

void CActSub::onUpdate(int hintCode, qintptr extra) {
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
  const QByteArray code = currentActivity();
  const uint32_t kept =
      code == code_ && currentRow() < int(records_.size()) ? records_[currentRow()] : XJOR_NONE;
  code_ = code;
  records_ = table() ? paneRecords(&document()->db(), viewKind(), code_.constData())
                     : std::vector<uint32_t>{};
  setRowCount(int(records_.size()));
  const auto found = std::find(records_.begin(), records_.end(), kept);
  setCurrent(found != records_.end() ? int(found - records_.begin()) : 0, currentColumn());
  clearSelection();
  loadRow();
  updateGrid();
  viewport()->update();
}

bool CActSub::readRecord(int row, char* buffer) const {
  TableBinding* t = table();
  if (!t || row < 0 || row >= int(records_.size())) return false;
  t->tb.current = int32_t(records_[row]);
  return xGetRec(&t->tb, buffer) != 0;
}

void CActSub::loadRow() {
  rowChanged_ = false;
  if (buffer_.isEmpty()) return;
  if (readRecord(currentRow(), buffer_.data())) return;
  buffer_.fill(0);
  // A new row belongs to the current activity from the start.
  if (TableBinding* t = table(); t && !code_.isEmpty()) {
    const FieldDesc& f = t->tb.fields[paneOwnCodeField(viewKind())];
    std::memcpy(buffer_.data() + f.offset, code_.constData(),
                std::min<size_t>(code_.size(), f.width));
  }
}

bool CActSub::moveToRow(int row) {
  if (commitCell()) rowChanged_ = true;
  if (rowChanged_ && !readOnly()) {
    const bool added = currentRow() >= int(records_.size());
    const int32_t slot = added ? -1 : int32_t(records_[currentRow()]);
    const EditResult result = document()->inputRecord(viewKind(), slot, buffer_.data(), -1);
    if (!result) {
      // The row stays current with its edits.
      if (row != kCommitSilently && result.message > 0) showMessage(this, result.message);
      placeEditor();
      viewport()->update();
      return false;
    }
    if (added) {
      records_.push_back(uint32_t(result.slot));
      setRowCount(int(records_.size()));
    } else {
      records_[currentRow()] = uint32_t(result.slot);
    }
    rowChanged_ = false;
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
  const TableBinding* t = table();
  if (!t || field < 0 || field >= t->tb.fieldCount) return nullptr;
  return &t->tb.fields[field];
}

QString CActSub::rowLabel(int row) {
  labelled_ = nullptr;
  if (code_.isEmpty()) return {};  // no activity: no rows, no entry row
  if (row == currentRow() && !buffer_.isEmpty()) labelled_ = buffer_.constData();
  if (row >= int(records_.size())) return labelled_ ? QStringLiteral(">") : QString();
  if (labelled_) return QString::number(row + 1);
  if (scratch_.isEmpty() || !readRecord(row, scratch_.data())) return QStringLiteral("-");
  labelled_ = scratch_.constData();
  return QString::number(row + 1);
}

QString CActSub::cellText(int field) {
  const TableBinding* t = table();
  if (!labelled_ || !t) return {};
  if (field < 0) return nameOf(labelled_);
  if (field >= t->tb.fieldCount) return {};
  return fieldText(t->tb.fields, refHandle(), labelled_, field);
}

QString CActSub::nameOf(const char* record) const {
  ProjectDb& db = document()->db();
  const FieldDesc& f = table()->tb.fields[codeField(viewKind())];
  char code[32] = {};
  std::memcpy(code, record + f.offset, std::min<size_t>(f.width, sizeof code - 1));
  const char* title = nullptr;
  QByteArray found;
  if (viewKind() == ViewKind::PaneCrewDetails) {
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
  const TableBinding* t = table();
  loadFieldEditor(edit, list, t->tb.fields, int(&field - t->tb.fields), refHandle(),
                  buffer_.constData());
}

bool CActSub::storeEditor(QLineEdit* edit, QComboBox* list, const FieldDesc& field) {
  const TableBinding* t = table();
  return storeFieldEditor(edit, list, t->tb.fields, int(&field - t->tb.fields), refHandle(),
                          buffer_.data());
}

// --- Deleting and commands ---------------------------------------------------

bool CActSub::deleteAtCursor() {
  if (readOnly() || viewState().editTool != tool::kDataInput) return false;
  if (currentRow() >= int(records_.size())) {
    // The new row: only the edit is cancelled.
    loadRow();
    reloadEditor();
    viewport()->update();
    return true;
  }
  if ((optionFlags() & optflag::kConfirmDelete) &&
      askQuestion(this, kMsgDeleteAsk, true) != QMessageBox::Yes)
    return false;
  table()->tb.current = int32_t(records_[currentRow()]);
  const EditResult result = document()->deleteRecord(viewKind());
  if (!result) {
    if (result.message > 0) showMessage(this, result.message);
    return false;
  }
  records_.erase(records_.begin() + currentRow());
  setRowCount(int(records_.size()));
  loadRow();
  updateGrid();
  viewport()->update();
  return true;
}

bool CActSub::onCommand(int id) {
  if (id == kDeleteAtCursor) {
    deleteAtCursor();
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
  return CGridView::updateCommand(id, state);
}

}  // namespace kelvo
