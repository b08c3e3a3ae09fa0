#include "kelvo/object_layer.h"

#include <QPainter>

#include "kelvo/base_view.h"
#include "kelvo/format_file.h"
#include "kelvo/messages.h"
#include "kelvo/object_paint.h"
#include "kelvo/plan_doc.h"
#include "object_dialogs.h"
#include "object_layer_internal.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo {

using namespace objlayer;

namespace {

constexpr int kEditObject = cmd::kModifyData;

ObjectDialogs& dialogHooks() {
  static ObjectDialogs d;
  return d;
}

bool isLine(uint8_t type) {
  return type == shape::kHorizontalLine || type == shape::kVerticalLine ||
         type == shape::kObliqueLine;
}

}  // namespace

namespace objlayer {

Clipboard& clipboard() {
  static Clipboard c;
  return c;
}

std::set<std::string>& toldPictures() {
  static std::set<std::string> told;
  return told;
}

}  // namespace objlayer

CurrentStyle& currentStyle() {
  static CurrentStyle style = [] {
    CurrentStyle s;
    s.textFont.lfHeight = -40;
    s.textFont.lfWeight = 400;
    s.textFont.lfCharSet = 129;
    const QByteArray face = xjor::toCp949(QStringLiteral("굴림체"));
    std::memcpy(s.textFont.lfFaceName, face.constData(),
                std::min<size_t>(face.size(), LF_FACESIZE - 1));
    return s;
  }();
  return style;
}

void setObjectDialogs(ObjectDialogs dialogs) {
  dialogHooks() = std::move(dialogs);
}

void clearObjectClipboard() {
  clipboard() = Clipboard{};
}

ObjectLayer::ObjectLayer(CBaseView* view) : view_(view) {}

// --- Table and coordinates ---

bool ObjectLayer::open() const {
  return view_->document() && view_->document()->isOpen();
}

ObjectTable ObjectLayer::table() const {
  return ObjectTable(open() ? &view_->document()->db().objects : nullptr);
}

uint8_t ObjectLayer::backLayer() const {
  return layerCode(view_->viewKind(), false);
}

uint8_t ObjectLayer::targetLayer() const {
  const int only = view_->objectLayerInUse();
  if (only >= 0) return layerCode(view_->viewKind(), only == 1);
  return layerCode(view_->viewKind(), optionFlags() & optflag::kShapesInFront);
}

bool ObjectLayer::inUse(bool front) const {
  const int only = view_->objectLayerInUse();
  return only < 0 || (only == 1) == front;
}

int ObjectLayer::tool() const {
  return viewState().editTool;
}

void ObjectLayer::anchorPoint(const ObjectRecord& head, int32_t* x, int32_t* y) const {
  view_->positionToPoint(head.anchor, x, y);
}

ViewPosition ObjectLayer::anchorOf(int32_t x, int32_t y) const {
  return view_->pointToPosition(std::max(0, x), std::min(0, y));
}

LogicalRect ObjectLayer::rectOf(uint32_t index) const {
  const ObjectRecord head = table().at(index);
  int32_t x = 0, y = 0;
  anchorPoint(head, &x, &y);
  return objectRect(head, x, y);
}

void ObjectLayer::setAnchor(uint32_t index, int32_t x, int32_t y) {
  ObjectTable t = table();
  ObjectRecord head = t.at(index);
  head.anchor = anchorOf(x, y);
  t.put(index, head);
}

// --- Undo and change ---

void ObjectLayer::keepUndo() {
  if (!open()) return;
  // The step swaps the whole table with the one kept: undo, then redo.
  CPlanDoc* doc = view_->document();
  doc->undo().keep(view_, [this, doc, kept = table().snapshot()]() mutable {
    if (!doc->isOpen()) return false;
    ObjectTable live(&doc->db().objects);
    std::vector<uint8_t> now = live.snapshot();
    if (!live.restore(kept)) return false;
    kept = std::move(now);
    selection_.clear();
    changed();
    return true;
  });
}

void ObjectLayer::changed() {
  if (CPlanDoc* doc = view_->document()) {
    doc->setModified();
    // A Gantt table's format file carries the chart's objects.
    doc->updateAllViews(kindBit(view_->viewKind()) | kindBit(formatKindOf(view_->viewKind())),
                        hint::kRepaint);
  }
  view_->viewport()->update();
}

// --- Selection ---

void ObjectLayer::clearSelection() {
  if (selection_.empty()) return;
  selection_.clear();
  view_->viewport()->update();
}

void ObjectLayer::select(uint32_t index) {
  const ObjectTable t = table();
  const uint32_t parts = t.span(index);
  if (parts == 0) return;
  for (const ObjectSelection& s : selection_)
    if (s.record == int32_t(index)) return;
  ObjectSelection s;
  s.type = t.at(index).type;
  s.rect = rectOf(index);
  s.record = int32_t(index);
  s.continuations = int32_t(parts - 1);
  selection_.push_back(s);
  std::sort(selection_.begin(), selection_.end(),
            [](const ObjectSelection& a, const ObjectSelection& b) { return a.record > b.record; });
}

void ObjectLayer::refreshSelection(std::vector<uint32_t> descending) {
  selection_.clear();
  for (uint32_t index : descending) select(index);
  view_->viewport()->update();
}

void ObjectLayer::selectIn(const LogicalRect& band) {
  const ObjectTable t = table();
  for (bool front : {false, true}) {
    if (!inUse(front)) continue;
    const ObjectTable::Range r = t.layer(uint8_t(backLayer() + front));
    for (uint32_t i = r.first; i < r.end; ++i) {
      if (t.span(i) == 0) continue;
      const LogicalRect o = rectOf(i);
      if (o.left >= band.left && o.right <= band.right && o.top <= band.top &&
          o.bottom >= band.bottom)
        select(i);
    }
  }
}

void ObjectLayer::selectClick(int32_t x, int32_t y) {
  // The front-most object under the point: the table is searched from its end.
  const ObjectTable t = table();
  for (bool front : {true, false}) {
    if (!inUse(front)) continue;
    const ObjectTable::Range r = t.layer(uint8_t(backLayer() + front));
    for (uint32_t i = r.end; i-- > r.first;) {
      if (t.span(i) == 0) continue;
      const ObjectRecord head = t.at(i);
      int32_t ax = 0, ay = 0;
      anchorPoint(head, &ax, &ay);
      if (objectHit(head, ax, ay, x, y, kHandle)) {
        select(i);
        return;
      }
    }
  }
}

int ObjectLayer::handleAt(int32_t x, int32_t y) const {
  if (selection_.empty()) return -1;
  for (const ObjectSelection& s : selection_) {
    const LogicalRect r = rectOf(uint32_t(s.record));
    if (x >= r.left && x <= r.right && y <= r.top && y >= r.bottom) return 4;
  }
  if (selection_.size() != 1) return -1;
  const LogicalRect r = rectOf(uint32_t(selection_[0].record));
  if (x < r.left - kHandle || x > r.right + kHandle || y > r.top + kHandle ||
      y < r.bottom - kHandle)
    return -1;
  const int column = x < r.left ? 0 : x > r.right ? 2 : 1;
  const int row = y > r.top ? 0 : y < r.bottom ? 2 : 1;
  const int handle = row * 3 + column;
  const uint8_t type = selection_[0].type;
  if (type == shape::kVerticalLine && handle != 1 && handle != 7) return -1;
  if (type == shape::kHorizontalLine && handle != 3 && handle != 5) return -1;
  return handle;
}

// --- Mouse ---

void ObjectLayer::press(int32_t x, int32_t y, Qt::KeyboardModifiers modifiers) {
  startX_ = atX_ = x;
  startY_ = atY_ = y;
  if (!open()) return;
  if (tool() != tool::kShapeSelect) {
    op_ = Op::Create;
    return;
  }
  handle_ = handleAt(x, y);
  if (handle_ == 4 && !(modifiers & Qt::ShiftModifier)) {
    // A press on an object outside the selection selects it alone first.
    bool inSelection = false;
    for (const ObjectSelection& s : selection_) {
      const LogicalRect r = rectOf(uint32_t(s.record));
      inSelection |= x >= r.left && x <= r.right && y <= r.top && y >= r.bottom;
    }
    if (!inSelection) handle_ = -1;
  }
  if (handle_ >= 0) {
    op_ = Op::Handle;
    return;
  }
  if (!(modifiers & Qt::ShiftModifier)) selection_.clear();
  selectClick(x, y);
  // A press on an object starts moving it; elsewhere a rubber band.
  op_ = !selection_.empty() && handleAt(x, y) == 4 ? Op::Handle : Op::Band;
  if (op_ == Op::Handle) handle_ = 4;
  view_->viewport()->update();
}

bool ObjectLayer::pressWithDataTool(int32_t x, int32_t y, Qt::KeyboardModifiers modifiers) {
  startX_ = atX_ = x;
  startY_ = atY_ = y;
  op_ = Op::None;
  if (!open()) return false;
  handle_ = handleAt(x, y);
  if (handle_ >= 0) {
    op_ = Op::Handle;
    return true;
  }
  if (!(modifiers & Qt::ShiftModifier)) clearSelection();
  return false;
}

void ObjectLayer::selectAfterDataTool(int32_t x, int32_t y) {
  if (!open()) return;
  selectBandOrClick(x, y);
  view_->viewport()->update();
}

void ObjectLayer::selectBandOrClick(int32_t x, int32_t y) {
  if (x == startX_ && y == startY_) {
    selectClick(x, y);
    return;
  }
  selectIn(
      {std::min(startX_, x), std::max(startY_, y), std::max(startX_, x), std::min(startY_, y)});
}

void ObjectLayer::drag(int32_t x, int32_t y) {
  if (op_ == Op::None) return;
  atX_ = x;
  atY_ = y;
  view_->viewport()->update();
}

void ObjectLayer::release(int32_t x, int32_t y) {
  const Op op = op_;
  op_ = Op::None;
  atX_ = x;
  atY_ = y;
  switch (op) {
    case Op::Create:
      create(startX_, startY_, x, y);
      break;
    case Op::Band:
      // The press already took the object under the pointer.
      if (x != startX_ || y != startY_) selectBandOrClick(x, y);
      break;
    case Op::Handle:
      if (x == startX_ && y == startY_) {
        // A click on one object of a selection selects it alone.
        if (handle_ == 4 && selection_.size() > 1) {
          selection_.clear();
          selectClick(x, y);
        }
        break;
      }
      if (handle_ == 4)
        moveSelection(x - startX_, y - startY_);
      else
        resizeSelection(handle_, x - startX_, y - startY_);
      break;
    case Op::None:
      break;
  }
  view_->viewport()->update();
}

void ObjectLayer::cancel() {
  op_ = Op::None;
  clearSelection();
  view_->viewport()->update();
}

bool ObjectLayer::doubleClick(int32_t x, int32_t y) {
  if (tool() != tool::kShapeSelect || selection_.size() != 1 || handleAt(x, y) != 4) return false;
  editSelected();
  return true;
}

bool ObjectLayer::key(int key, Qt::KeyboardModifiers modifiers) {
  if (tool() != tool::kShapeSelect || selection_.empty() || busy()) return false;
  int32_t dx = 0, dy = 0;
  switch (key) {
    case Qt::Key_Left:
      dx = -kKeyStep;
      break;
    case Qt::Key_Right:
      dx = kKeyStep;
      break;
    case Qt::Key_Up:
      dy = kKeyStep;
      break;
    case Qt::Key_Down:
      dy = -kKeyStep;
      break;
    case Qt::Key_Delete:
      deleteSelected(true);
      return true;
    default:
      return false;
  }
  if ((modifiers & Qt::ShiftModifier) && selection_.size() == 1) {
    // Shift moves the right and bottom edges.
    resizeSelection(dx != 0 ? 5 : 7, dx, dy);
  } else {
    moveSelection(dx, dy);
  }
  return true;
}

// --- Painting ---

void ObjectLayer::paintLayer(QPainter& painter, const UnitMapper& mapper, const LogicalRect& body,
                             bool front, int32_t shiftX, int32_t shiftY) {
  if (!open()) return;
  const ObjectTable t = table();
  const ObjectTable::Range range = t.layer(uint8_t(backLayer() + front));
  if (range.first == range.end) return;
  const LogicalRect area{std::max(0, body.left), std::min(0, body.top), body.right, body.bottom};
  if (area.left >= area.right || area.top <= area.bottom) return;
  painter.save();
  painter.setClipRect(mapper.toDevice(area), Qt::IntersectClip);
  PictureSource pictures;
  pictures.path = [this](const std::string& name) { return picturePath(name); };
  pictures.failed = [this](const std::string& name, const QString& reason) {
    // Said once per picture; the message box waits until painting is over.
    if (!toldPictures().insert(name).second) return;
    QWidget* parent = view_;
    QMetaObject::invokeMethod(
        parent, [parent, reason] { showMessageText(parent, reason); }, Qt::QueuedConnection);
  };
  for (uint32_t i = range.first; i < range.end; ++i) {
    const uint32_t parts = t.span(i);
    if (parts == 0) continue;
    const ObjectRecords records = t.copy(i);
    int32_t x = 0, y = 0;
    anchorPoint(records[0], &x, &y);
    paintObject(painter, mapper, records, x + shiftX, y + shiftY, area, pictures);
    i += parts - 1;
  }
  painter.restore();
}

LogicalRect ObjectLayer::outline() const {
  return {std::min(startX_, atX_), std::max(startY_, atY_), std::max(startX_, atX_),
          std::min(startY_, atY_)};
}

void ObjectLayer::paintOverlay(QPainter& painter, const UnitMapper& mapper) {
  painter.save();
  for (const ObjectSelection& s : selection_) {
    const LogicalRect r = rectOf(uint32_t(s.record));
    const int32_t xs[3] = {r.left - kHandle, (r.left + r.right) / 2 - kHandle / 2, r.right};
    const int32_t ys[3] = {r.top + kHandle, (r.top + r.bottom) / 2 + kHandle / 2, r.bottom};
    for (int row = 0; row < 3; ++row)
      for (int column = 0; column < 3; ++column) {
        if (row == 1 && column == 1) continue;
        const QRectF box =
            mapper.toDevice(xs[column], ys[row], xs[column] + kHandle, ys[row] - kHandle);
        painter.fillRect(box, Qt::black);
      }
  }
  if (op_ != Op::None && (atX_ != startX_ || atY_ != startY_)) {
    painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    painter.setPen(QPen(Qt::black, 0, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    if (op_ == Op::Handle) {
      const int32_t dx = atX_ - startX_, dy = atY_ - startY_;
      for (const ObjectSelection& s : selection_) {
        LogicalRect r = rectOf(uint32_t(s.record));
        const int column = handle_ % 3, row = handle_ / 3;
        if (handle_ == 4 || column == 0) r.left += dx;
        if (handle_ == 4 || column == 2) r.right += dx;
        if (handle_ == 4 || row == 0) r.top += dy;
        if (handle_ == 4 || row == 2) r.bottom += dy;
        painter.drawRect(mapper.toDevice(r));
      }
    } else if (op_ == Op::Create && isLine(uint8_t(tool()))) {
      const int t = tool();
      const int32_t x1 = t == tool::kVerticalLine ? startX_ : atX_;
      const int32_t y1 = t == tool::kHorizontalLine ? startY_ : atY_;
      painter.drawLine(mapper.toDevice(startX_, startY_), mapper.toDevice(x1, y1));
    } else if (op_ == Op::Create && tool() == tool::kEllipse) {
      painter.drawEllipse(mapper.toDevice(outline()));
    } else {
      painter.drawRect(mapper.toDevice(outline()));
    }
  }
  painter.restore();
}

// --- Commands ---

bool ObjectLayer::updateCommand(int id, CommandState& state) {
  const bool selecting = tool() == tool::kShapeSelect && !selection_.empty();
  const bool objectTool = tool() >= tool::kShapeSelect && tool() <= tool::kPicture;
  if (id >= cmd::kShapeOrderFirst && id < cmd::kShapeOrderFirst + 4) {
    state.enabled = selecting && open();
    return true;
  }
  if (id >= cmd::kShapeOrderFirst + 4 && id <= cmd::kShapeAlignLast) {
    state.enabled = selecting && selection_.size() >= 2 && open();
    return true;
  }
  switch (id) {
    case cmd::kShapeStyle: {
      bool plain = true;
      for (const ObjectSelection& s : selection_) plain &= shape::isStyled(uint8_t(s.type));
      state.enabled = plain;
      return true;
    }
    case kEditObject:
      if (!(selecting && selection_.size() == 1)) return false;
      state.enabled = true;
      return true;
    case cmd::kEditCopy:
    case cmd::kEditCut:
      if (!objectTool) return false;
      state.enabled = selecting;
      return true;
    case cmd::kEditClear:
      if (!objectTool) return false;
      state.enabled = !selection_.empty();
      return true;
    case cmd::kEditPaste:
      if (clipboard().objects.empty()) return false;
      state.enabled = open();
      return true;
    case cmd::kEditUndo:
      if (!view_->document() || !view_->document()->undo().canUndo(view_)) return false;
      state.enabled = true;
      return true;
    default:
      return false;
  }
}

bool ObjectLayer::onCommand(int id) {
  CommandState state;
  if (!updateCommand(id, state)) return false;
  if (!state.enabled) return true;
  if (id >= cmd::kShapeOrderFirst && id < cmd::kShapeOrderFirst + 4) {
    order(id);
    return true;
  }
  if (id >= cmd::kShapeOrderFirst + 4 && id <= cmd::kShapeAlignLast) {
    align(id);
    return true;
  }
  switch (id) {
    case cmd::kShapeStyle:
      styleCommand();
      return true;
    case kEditObject:
      editSelected();
      return true;
    case cmd::kEditCopy:
      copySelection();
      return true;
    case cmd::kEditCut:
      copySelection();
      deleteSelected(false);
      return true;
    case cmd::kEditClear:
      deleteSelected(true);
      return true;
    case cmd::kEditPaste:
      paste();
      return true;
    case cmd::kEditUndo:
      view_->document()->undo().undo(view_);
      view_->viewport()->update();
      return true;
    default:
      return false;
  }
}

// The dialogs: the tests' answers when they gave some, else the program's.
bool runTextDialog(QWidget* parent, TextInput* input) {
  return dialogHooks().text ? dialogHooks().text(parent, input) : execTextDialog(parent, input);
}
bool runPictureDialog(QWidget* parent, PictureInput* input) {
  return dialogHooks().picture ? dialogHooks().picture(parent, input)
                               : execPictureDialog(parent, input);
}
bool runStyleDialog(QWidget* parent, ShapeStyle* style) {
  return dialogHooks().style ? dialogHooks().style(parent, style) : execStyleDialog(parent, style);
}

}  // namespace kelvo
