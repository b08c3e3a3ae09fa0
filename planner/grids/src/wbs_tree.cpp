#include "kelvo/wbs_tree.h"

#include <QApplication>
#include <QDropEvent>
#include <QFocusEvent>
#include <QMimeData>
#include <QTreeWidgetItemIterator>
#include <cstring>
#include <functional>

#include "class_copy_dialog.h"
#include "kelvo/base_view.h"
#include "kelvo/class_tree.h"
#include "kelvo/messages.h"
#include "kelvo/object_layer.h"
#include "kelvo/plan_doc.h"
#include "kelvo/strings.h"
#include "kelvo/table_view.h"
#include "kelvo/view_state.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo {
namespace {

constexpr int kMsgWrongPaste = 20047;
constexpr int kRootCaption = 130;  // + classification
constexpr int kRecordRole = Qt::UserRole;
constexpr int kCodeRole = Qt::UserRole + 1;
// A dragged code: the sheet's kind and the record, as two numbers.
const QString kCodeMime = QStringLiteral("application/x-kelvo-class-code");

// The code copied last, program-wide: the kind of the sheet it was copied
// beside, its record and the code the record held then (slots are reused
// after deletion, so the record alone does not name the code).
struct CopiedCode {
  ViewKind kind = ViewKind::WorkTypeTree;
  int32_t record = -1;
  QByteArray code;
};
CopiedCode& copied() {
  static CopiedCode c;
  return c;
}

QByteArray titleOf(const char* record) {
  const char* t = record + offsetof(WbsRecord, title);
  return QByteArray(t, int(strnlen(t, sizeof(WbsRecord::title))));
}

QByteArray codeField(const char* record) {
  const char* c = record + offsetof(WbsRecord, code);
  return QByteArray(c, int(strnlen(c, sizeof(WbsRecord::code))));
}

// Commands the tree hands to its sheet: its option and format pages and
// printing.
bool forwardedToSheet(int id) {
  return id == cmd::kOptions || id == cmd::kDataFormat || id == cmd::kPrint ||
         id == cmd::kPrintDirect || id == cmd::kPrintPreview;
}

// The target after the active view that owns command id (the frame for the
// window commands), with its state; null when none.
CommandTarget* ownerAfterView(int id, CommandState& state) {
  const CommandRouter* router = viewState().router;
  if (router && router->chain())
    for (CommandTarget* target : router->chain()())
      if (target && target->updateCommand(id, state)) return target;
  return nullptr;
}

int32_t recordOfItem(const QTreeWidgetItem* item) {
  return item ? item->data(0, kRecordRole).toInt() : -1;
}

}  // namespace

CWbsTree::CWbsTree(CPlanDoc* doc, CTableView* sheet, QWidget* parent)
    : QTreeWidget(parent), doc_(doc), sheet_(sheet) {
  setObjectName(QStringLiteral("wbsTree"));
  setHeaderHidden(true);
  setColumnCount(1);
  setSelectionMode(QAbstractItemView::SingleSelection);
  if (doc_) {
    doc_->setClassTreeLink(this);
    connect(doc_, &CPlanDoc::viewsUpdate, this, &CWbsTree::onViewsUpdate);
  }
  connect(this, &QTreeWidget::currentItemChanged, this, [this] { fillSheet(); });
  // A code dragged onto another item is copied there with its branch.
  setDragEnabled(true);
  setAcceptDrops(true);
  viewport()->setAcceptDrops(true);  // drops land on the viewport
  setDropIndicatorShown(true);
  setDragDropMode(QAbstractItemView::DragDrop);
  setDefaultDropAction(Qt::CopyAction);
  rebuild();
}

CWbsTree::~CWbsTree() {
  ViewState& st = viewState();
  if (st.router && st.router->activeView() == static_cast<CommandTarget*>(this))
    st.router->setActiveView(nullptr);
  // The document does not own the tree; it forgets it with the tree (a
  // newer tree of the window may have replaced it already).
  if (doc_ && doc_->classTreeLink() == this) doc_->setClassTreeLink(nullptr);
}

int CWbsTree::classification() const {
  return sheet_ && sheet_->viewKind() == ViewKind::FacilityTree ? kClassFacility : kClassWorkType;
}

TableBinding& CWbsTree::codeTable() const {
  return classification() == kClassFacility ? doc_->db().obs : doc_->db().wbs;
}

const MemTable& CWbsTree::codeIndex() const {
  return classification() == kClassFacility ? doc_->db().obsCodes : doc_->db().wbsCodes;
}

std::vector<char> CWbsTree::readRecord(int32_t record) const {
  if (!doc_ || !doc_->isOpen() || record < 0) return {};
  TableBinding& t = codeTable();
  std::vector<char> buffer(size_t(t.tb.recordSize) + 1);
  // The document may be in the middle of an edit of the table's current
  // record: it is left where it was.
  const int32_t current = t.tb.current;
  t.tb.current = record;
  const bool live = xGetRec(&t.tb, buffer.data()) != 0;
  t.tb.current = current;
  if (!live) buffer.clear();
  return buffer;
}

QByteArray CWbsTree::codeOf(int32_t record) const {
  const std::vector<char> buffer = readRecord(record);
  return buffer.empty() ? QByteArray() : codeField(buffer.data());
}

// --- Building -------------------------------------------------------------------

void CWbsTree::rebuild() {
  const int32_t kept = selectedRecord();
  const QSignalBlocker block(this);
  clear();
  auto* root = new QTreeWidgetItem(this, {loadString(kRootCaption + classification())});
  root->setData(0, kRecordRole, -1);
  if (doc_ && doc_->isOpen()) {
    const int cls = classification();
    const std::vector<ClassCode> codes = readClassCodes(doc_->db(), cls);
    const std::vector<ClassTreeItem> items = buildClassTreeItems(doc_->classDef(cls), codes);
    std::vector<QTreeWidgetItem*> made(items.size());
    for (size_t i = 0; i < items.size(); ++i) {
      QTreeWidgetItem* parent = items[i].parent >= 0 ? made[size_t(items[i].parent)] : root;
      auto* item =
          new QTreeWidgetItem(parent, {xjor::fromCp949(QByteArray::fromStdString(items[i].text))});
      item->setData(0, kRecordRole, items[i].record);
      item->setData(0, kCodeRole, QByteArray::fromStdString(codes[i].code));
      made[i] = item;
    }
  }
  expandItem(root);
  QTreeWidgetItem* select = kept >= 0 ? itemOfRecord(kept) : nullptr;
  setCurrentItem(select ? select : root);
  fillSheet();
}

int32_t CWbsTree::selectedRecord() const {
  return currentItem() ? recordOfItem(currentItem()) : -1;
}

QTreeWidgetItem* CWbsTree::itemOfRecord(int32_t record) const {
  for (QTreeWidgetItemIterator it(const_cast<CWbsTree*>(this)); *it; ++it)
    if (recordOfItem(*it) == record) return *it;
  return nullptr;
}

bool CWbsTree::selectRecord(int32_t record) {
  QTreeWidgetItem* item = itemOfRecord(record);
  if (!item) return false;
  setCurrentItem(item);
  return true;
}

int CWbsTree::childLevel() const {
  const int32_t record = selectedRecord();
  if (record < 0) return 0;
  const ClassDef& def = doc_->classDef(classification());
  const int level = classCodeLevel(def, codeOf(record).toStdString());
  // A code that fits no level takes no children.
  return level < 0 ? def.levels : level + 1;
}

void CWbsTree::fillSheet() {
  if (!sheet_) return;
  std::vector<int32_t> records;
  QByteArray prefix;
  if (doc_ && doc_->isOpen()) {
    const ClassDef& def = doc_->classDef(classification());
    prefix = codeOf(selectedRecord());
    const int level = childLevel();
    if (level < def.levels)
      records = childCodeRecords(codeIndex(), def, level, prefix.toStdString());
  }
  sheet_->showTreeRows(std::move(records), prefix);
}

// --- Following the sheet and the document -----------------------------------------

void CWbsTree::placeItem(int32_t record) {
  const std::vector<char> buffer = readRecord(record);
  if (buffer.empty()) return;
  const std::string code = codeField(buffer.data()).toStdString();
  const ClassDef& def = doc_->classDef(classification());
  const int level = classCodeLevel(def, code);
  QTreeWidgetItem* parent = topLevelItem(0);
  if (level > 0) {
    const QByteArray parentCode =
        QByteArray::fromStdString(code.substr(0, size_t(def.start[level])));
    for (QTreeWidgetItemIterator it(this); *it; ++it)
      if ((*it)->data(0, kCodeRole).toByteArray() == parentCode) parent = *it;
  }
  const bool placed = level == 0 || (level > 0 && parent != topLevelItem(0));
  const QString text =
      xjor::fromCp949(QByteArray::fromStdString(placed ? classLevelPart(def, code) : code) + ' ' +
                      titleOf(buffer.data()));
  QTreeWidgetItem* item = itemOfRecord(record);
  const QSignalBlocker block(this);
  if (item && item->parent() != parent) {
    const bool wasCurrent = currentItem() == item;
    item->parent()->removeChild(item);
    parent->addChild(item);
    if (wasCurrent) setCurrentItem(item);
  } else if (!item) {
    item = new QTreeWidgetItem(parent);
    item->setData(0, kRecordRole, record);
  }
  item->setText(0, text);
  const QByteArray newCode = QByteArray::fromStdString(code);
  if (item->data(0, kCodeRole).toByteArray() != newCode) {
    item->setData(0, kCodeRole, newCode);
    // A changed code renamed the codes below it in the store.
    std::function<void(QTreeWidgetItem*)> recode = [&](QTreeWidgetItem* p) {
      for (int i = 0; i < p->childCount(); ++i) {
        p->child(i)->setData(0, kCodeRole, codeOf(recordOfItem(p->child(i))));
        recode(p->child(i));
      }
    };
    recode(item);
  }
  parent->sortChildren(0, Qt::AscendingOrder);
}

void CWbsTree::codeEntered(int cls, int32_t record) {
  if (cls == classification() && doc_ && doc_->isOpen()) placeItem(record);
}

void CWbsTree::codeDeleted(int cls, int32_t record) {
  if (cls != classification()) return;
  QTreeWidgetItem* item = itemOfRecord(record);
  if (!item || !item->parent()) return;
  // The selection never stays on an item that goes.
  for (QTreeWidgetItem* p = currentItem(); p; p = p->parent())
    if (p == item) {
      const QSignalBlocker block(this);
      setCurrentItem(item->parent());
      break;
    }
  delete item;
}

void CWbsTree::onViewsUpdate(quint64 mask, int hintCode, qintptr) {
  if (!sheet_ || !(mask & kindBit(sheet_->viewKind()))) return;
  switch (hintCode) {
    case hint::kRepaint:
      // A changed code or name: the items are read again, the sheet stays.
      {
        std::vector<int32_t> records;
        for (QTreeWidgetItemIterator it(this); *it; ++it)
          if (recordOfItem(*it) >= 0) records.push_back(recordOfItem(*it));
        for (int32_t r : records) placeItem(r);
        break;
      }
    case hint::kInitialUpdate:
    case hint::kRefresh:
    case hint::kDatesChanged:
      rebuild();
      break;
    default:
      break;
  }
}

// --- Delete, copy, paste ------------------------------------------------------------

bool CWbsTree::deleteSelected() {
  QTreeWidgetItem* item = currentItem();
  const int32_t record = recordOfItem(item);
  if (!doc_ || !doc_->isOpen() || !sheet_ || record < 0) {
    QApplication::beep();
    return false;
  }
  if ((optionFlags() & optflag::kConfirmDelete) &&
      askQuestion(this, kStrMsgDeleteAsk, true) != QMessageBox::Yes)
    return false;
  QTreeWidgetItem* parent = item->parent();
  const int at = parent->indexOfChild(item);
  QTreeWidgetItem* next = at + 1 < parent->childCount() ? parent->child(at + 1)
                          : at > 0                      ? parent->child(at - 1)
                                                        : parent;
  {
    const QSignalBlocker block(this);
    setCurrentItem(next);
  }
  TableHandle* tb = editTable(doc_->db(), sheet_->viewKind());
  tb->current = record;
  // The document removes the item through codeDeleted.
  const EditResult result = doc_->deleteRecord(sheet_->viewKind(), EditReport::Show);
  fillSheet();
  return result.ok;
}

bool CWbsTree::copySelected() {
  const int32_t record = selectedRecord();
  if (!sheet_ || record < 0) {
    QApplication::beep();
    return false;
  }
  copied() = {sheet_->viewKind(), record, codeOf(record)};
  return true;
}

bool CWbsTree::hasCopy() {
  return copied().record >= 0;
}

int32_t CWbsTree::inputCopy(int32_t source, const QByteArray& newCode, const QByteArray* title,
                            int* message) {
  std::vector<char> record = readRecord(source);
  if (record.empty()) {
    *message = kMsgWrongPaste;
    return -1;
  }
  const TableBinding& t = codeTable();
  // Values the program keeps itself (totals, durations) start from zero.
  for (int f = 0; f < t.tb.fieldCount; ++f) {
    const FieldDesc& fd = t.tb.fields[f];
    const int32_t size = xSizeOfData(&fd, uint32_t(-1));
    if ((fd.flags & XF_READONLY) && fd.offset >= 0 && fd.offset + size <= t.tb.recordSize)
      std::memset(record.data() + fd.offset, 0, size_t(size));
  }
  char* code = record.data() + offsetof(WbsRecord, code);
  std::memset(code, 0, sizeof(WbsRecord::code));
  std::memcpy(code, newCode.constData(),
              std::min<size_t>(newCode.size(), sizeof(WbsRecord::code) - 1));
  if (title) {
    char* t = record.data() + offsetof(WbsRecord, title);
    std::memset(t, 0, sizeof(WbsRecord::title));
    std::memcpy(t, title->constData(),
                std::min<size_t>(title->size(), sizeof(WbsRecord::title) - 1));
  }
  const EditResult result = doc_->inputRecord(sheet_->viewKind(), -1, record.data());
  *message = result.ok ? 0 : (result.message ? result.message : kStrMsgCodeLength);
  return result.ok ? result.slot : -1;
}

bool CWbsTree::paste() {
  if (!hasCopy()) return false;
  const CopiedCode source = copied();
  return pasteCode(source.kind, source.record, source.code);
}

bool CWbsTree::pasteCode(ViewKind kind, int32_t sourceRecord, const QByteArray& sourceCode) {
  if (!doc_ || !doc_->isOpen() || !sheet_) return false;
  const CopiedCode source{kind, sourceRecord, sourceCode};
  const ClassDef& def = doc_->classDef(classification());
  const int level = childLevel();
  const std::string code = source.code.toStdString();
  if (source.kind != sheet_->viewKind() || source.code.isEmpty() ||
      codeOf(source.record) != source.code || classCodeLevel(def, code) != level) {
    showMessage(this, kMsgWrongPaste);
    return false;
  }
  const QByteArray target = codeOf(selectedRecord());
  const int start = def.start[level];
  // The branch is taken before anything is entered: what is entered now
  // must not be copied again.
  const std::vector<ClassCode> below = codesBelow(codeIndex(), code);
  const std::vector<char> record = readRecord(source.record);
  // The other views re-read once for the whole branch, not once a code.
  const UpdateBatch batch(doc_);
  QByteArray newCode;
  ClassCopyDialog dialog(
      source.code.left(start), source.code.mid(start), target, def.length[level],
      titleOf(record.data()),
      [&](const QByteArray& c, const QByteArray& title) {
        int message = 0;
        if (inputCopy(source.record, c, &title, &message) >= 0) newCode = c;
        return message;
      },
      this);
  if (dialog.exec() != QDialog::Accepted) return false;
  if (dialog.withDescendants()) {
    for (const ClassCode& c : below) {
      int message = 0;
      // A code the store refuses is left out; the others still go in.
      inputCopy(
          c.record,
          QByteArray::fromStdString(renumberedCode(c.code, code.size(), newCode.toStdString())),
          nullptr, &message);
    }
  }
  keepPasteUndo(newCode);
  fillSheet();
  setFocus();
  return true;
}

void CWbsTree::keepPasteUndo(const QByteArray& top) {
  const ViewKind kind = sheet_->viewKind();
  const int cls = classification();
  QPointer<CWbsTree> self(this);
  std::vector<std::vector<char>> kept;  // the branch while it is undone
  doc_->undo().keep(sheet_, [self, kind, cls, top, kept]() mutable {
    if (!self || !self->doc_ || !self->doc_->isOpen()) return false;
    CPlanDoc* doc = self->doc_;
    const UpdateBatch batch(doc);
    if (kept.empty()) {
      // Undo: the branch's records are kept, then the store deletes the
      // top code with everything below it.
      int32_t topRecord = -1;
      for (const ClassCode& c : readClassCodes(doc->db(), cls))
        if (c.code == top.toStdString()) topRecord = c.record;
      if (topRecord < 0) return false;
      kept.push_back(self->readRecord(topRecord));
      for (const ClassCode& c : codesBelow(self->codeIndex(), top.toStdString()))
        kept.push_back(self->readRecord(c.record));
      editTable(doc->db(), kind)->current = topRecord;
      if (!doc->deleteRecord(kind).ok) {
        kept.clear();
        return false;
      }
    } else {
      // Undo again: the codes go in as they were, parents first (from the
      // root, so that no selected final-level code refuses them).
      {
        const QSignalBlocker block(self.data());
        self->setCurrentItem(self->topLevelItem(0));
      }
      for (std::vector<char>& record : kept)
        if (!record.empty()) doc->inputRecord(kind, -1, record.data());
      kept.clear();
    }
    self->fillSheet();
    return true;
  });
}

bool CWbsTree::dropCode(int32_t record, QTreeWidgetItem* target) {
  if (!target || !sheet_ || record < 0 || recordOfItem(target) == record) return false;
  const QByteArray code = codeOf(record);
  if (code.isEmpty()) return false;
  setCurrentItem(target);
  return pasteCode(sheet_->viewKind(), record, code);
}

QStringList CWbsTree::mimeTypes() const {
  return {kCodeMime};
}

QMimeData* CWbsTree::mimeData(const QList<QTreeWidgetItem*>& items) const {
  const int32_t record = items.isEmpty() ? -1 : recordOfItem(items.first());
  if (record < 0 || !sheet_) return nullptr;  // the root is not dragged
  auto* data = new QMimeData;
  data->setData(kCodeMime, QByteArray::number(kindNumber(sheet_->viewKind())) + ' ' +
                               QByteArray::number(record));
  return data;
}

void CWbsTree::dragMoveEvent(QDragMoveEvent* event) {
  if (event->mimeData()->hasFormat(kCodeMime) && itemAt(event->position().toPoint()))
    event->acceptProposedAction();
  else
    event->ignore();
}

void CWbsTree::dropEvent(QDropEvent* event) {
  const QList<QByteArray> parts = event->mimeData()->data(kCodeMime).split(' ');
  QTreeWidgetItem* target = itemAt(event->position().toPoint());
  // Never the list's own move: the tree only ever shows what is stored.
  event->setDropAction(Qt::CopyAction);
  event->accept();
  if (parts.size() != 2 || !sheet_ || parts[0].toInt() != kindNumber(sheet_->viewKind())) {
    // A code of the other classification: as its paste would, 20047.
    showMessage(this, kMsgWrongPaste);
    return;
  }
  dropCode(parts[1].toInt(), target);
}

// --- Commands and activation ------------------------------------------------------

void CWbsTree::focusInEvent(QFocusEvent* event) {
  QTreeWidget::focusInEvent(event);
  activateTree();
}

void CWbsTree::activateTree() {
  ViewState& st = viewState();
  // The sheet beside the tree is the one that edits; another view that was
  // editing ends its operation and loses its undo step.
  if (sheet_ && st.activeEditView != sheet_) {
    if (doc_ && st.activeEditView) doc_->undo().release(st.activeEditView);
    sheet_->activate();
  }
  if (st.router) {
    st.router->setActiveView(this);
    st.router->refresh();
  }
}

bool CWbsTree::editorEnabled(bool) const {
  return doc_ && doc_->isOpen();
}

bool CWbsTree::editorRequest(bool, EditorRequest* request) {
  // What was typed in the sheet goes in first; the workbook holds both
  // classifications whichever one the tree shows.
  if (sheet_) sheet_->moveToRow(kCommitSilently);
  request->kind = int16_t(kindNumber(ViewKind::WorkTypeTree));
  return true;
}

bool CWbsTree::updateCommand(int id, CommandState& state) {
  const bool open = doc_ && doc_->isOpen();
  if (id >= cmd::kToolFirst && id <= cmd::kToolLast) {
    state.enabled = state.checked = id == cmd::kToolFirst;
    state.checkable = true;
    return true;
  }
  if (id >= cmd::kWindowFirst && id <= cmd::kWindowLast) {
    // The frame decides whether a window can be chosen; the tree's own
    // window is shown as the current one.
    ownerAfterView(id, state);
    state.checkable = true;
    state.checked = id == cmd::kWindowFirst;
    return true;
  }
  if (forwardedToSheet(id)) return sheet_ && sheet_->updateCommand(id, state);
  switch (id) {
    case cmd::kRefresh:
    case cmd::kEditClear:
    case cmd::kEditCopy:
      state.enabled = open;
      return true;
    case cmd::kEditPaste:
      state.enabled = open && hasCopy();
      return true;
    case cmd::kEditUndo:
      state.enabled = open && doc_->undo().canUndo(sheet_);
      return true;
    default:
      return false;
  }
}

bool CWbsTree::onCommand(int id) {
  if (id >= cmd::kToolFirst && id <= cmd::kToolLast) return true;
  if (id >= cmd::kWindowFirst && id <= cmd::kWindowLast) {
    CommandState state;
    CommandTarget* owner = ownerAfterView(id, state);
    return owner && state.enabled && owner->onCommand(id);
  }
  if (forwardedToSheet(id)) return sheet_ && sheet_->onCommand(id);
  switch (id) {
    case cmd::kRefresh:
      if (sheet_) sheet_->objects().cancel();
      {
        const QSignalBlocker block(this);
        setCurrentItem(nullptr);
      }
      rebuild();
      return true;
    case cmd::kEditClear:
      deleteSelected();
      return true;
    case cmd::kEditCopy:
      copySelected();
      return true;
    case cmd::kEditPaste:
      paste();
      return true;
    case cmd::kEditUndo:
      if (doc_ && doc_->undo().undo(sheet_)) fillSheet();
      return true;
    default:
      return false;
  }
}

}  // namespace kelvo
