#include "kelvo/object_layer.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMessageBox>
#include <QPainter>
#include <algorithm>
#include <set>

#include "kelvo/base_view.h"
#include "kelvo/messages.h"
#include "kelvo/object_paint.h"
#include "kelvo/plan_doc.h"
#include "object_dialogs.h"
#include "xJorImg.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo {

namespace {

constexpr int32_t kHandle = 10;      // handle squares and the grab zone around them
constexpr int32_t kKeyStep = 10;     // one arrow key
constexpr int32_t kPasteInset = 10;  // pasted objects land this far inside the view
constexpr int kConfirmDeleteMessage = 20018;

constexpr int kEditObject = cmd::kModifyData;

// The internal clipboard: each object as a logical point plus its records,
// and the selection's left-most x and top-most y.
struct ClipObject {
  int32_t x = 0, y = 0;
  ObjectRecords records;
  QString picture;  // the picture file to copy again on every paste
};
struct Clipboard {
  bool fromReport = false;
  int32_t headerX = 0, headerY = 0;
  std::vector<ClipObject> objects;
};
Clipboard& clipboard() {
  static Clipboard c;
  return c;
}

ObjectDialogs& dialogHooks() {
  static ObjectDialogs d;
  return d;
}

// Picture names whose failure to load was already told.
std::set<std::string>& toldPictures() {
  static std::set<std::string> told;
  return told;
}

bool isLine(uint8_t type) {
  return type == shape::kHorizontalLine || type == shape::kVerticalLine ||
         type == shape::kObliqueLine;
}

int16_t clamp16(int64_t v) {
  return int16_t(std::clamp<int64_t>(v, -32767, 32767));
}

}  // namespace

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

// --- Table and coordinates -----------------------------------------------------

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
  return layerCode(view_->viewKind(), optionFlags() & optflag::kShapesInFront);
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

// --- Undo and change ----------------------------------------------------------------

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
    doc->updateAllViews(kindBit(view_->viewKind()), hint::kRepaint);
  }
  view_->viewport()->update();
}

// --- Selection ---------------------------------------------------------------------

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

// --- Mouse -------------------------------------------------------------------------------

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
      if (x != startX_ || y != startY_) {
        const LogicalRect band{std::min(startX_, x), std::max(startY_, y), std::max(startX_, x),
                               std::min(startY_, y)};
        selectIn(band);
      }
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

// --- Creating ------------------------------------------------------------------------------

void ObjectLayer::create(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  const int t = tool();
  if (t == tool::kText) {
    TextInput input;
    input.font = currentStyle().textFont;
    input.alignment = int16_t(optionFlags() & 0x3);
    if (!runTextDialog(view_, &input)) return;
    createText(x0, y0, input, -1);
    return;
  }
  if (t == tool::kPicture) {
    createPicture(x0, y0, x1, y1, x0 == x1 && y0 == y1, -1);
    return;
  }
  ObjectRecord r;
  r.type = uint8_t(t);
  r.anchor = anchorOf(x0, y0);
  r.width = clamp16(int64_t{x1} - x0);
  r.height = clamp16(int64_t{y1} - y0);
  if (t == tool::kHorizontalLine) r.height = 0;
  if (t == tool::kVerticalLine) r.width = 0;
  // Nothing of zero size: no line of zero length, no flat shape.
  if (t == tool::kHorizontalLine && r.width == 0) return;
  if (t == tool::kVerticalLine && r.height == 0) return;
  if (t >= tool::kObliqueLine && (r.width == 0 || r.height == 0)) return;
  const ShapeStyle& s = currentStyle().shape;
  r.lineStyle = s.lineStyle;
  r.lineWidth = s.lineWidth;
  r.lineColor = s.lineColor;
  r.fill = s.fill;
  r.fillColor = s.fillColor;
  keepUndo();
  ObjectTable tb = table();
  const int64_t at = tb.append(targetLayer(), {r});
  if (at < 0) return;
  refreshSelection({uint32_t(at)});
  changed();
}

bool ObjectLayer::createText(int32_t x, int32_t y, TextInput input, int64_t replace) {
  const QByteArray bytes = xjor::toCp949(input.text);
  const uint64_t extent = xGetTextExtent(bytes.constData(), int32_t(bytes.size()), &input.font);
  const int16_t width = clamp16(int64_t(extent & 0xFFFFFFFF));
  const int16_t height = clamp16(-int64_t(extent >> 32));
  ObjectTable tb = table();
  uint8_t layer = targetLayer();
  ViewPosition anchor = anchorOf(x, y);
  COLORREF colour = currentStyle().textColor;
  if (replace >= 0) {
    // Editing keeps the object's place, layer and colour.
    const ObjectRecord old = tb.at(uint32_t(replace));
    layer = old.layer;
    anchor = old.anchor;
    colour = old.lineColor;
  }
  const ObjectRecords records =
      makeTextObject(anchor, width, height, colour, input.alignment, input.font,
                     std::string(bytes.constData(), size_t(bytes.size())));
  keepUndo();
  int64_t at = -1;
  if (replace >= 0) {
    tb.take(uint32_t(replace));
    at = tb.insert(uint32_t(replace), records, layer) ? replace : -1;
  } else {
    at = tb.append(layer, records);
  }
  if (at < 0) return false;
  currentStyle().textFont = input.font;
  refreshSelection({uint32_t(at)});
  changed();
  return true;
}

// --- Pictures ----------------------------------------------------------------------------------

QString ObjectLayer::picturePath(const std::string& name) const {
  if (!open() || !isPictureFileName(name)) return QString();
  const DbSpace& space = view_->document()->db().space;
  const int stem = space.stemLength > 0 && space.stemLength < 260 ? space.stemLength : 0;
  return QString::fromUtf8(space.path, stem) + QString::fromLatin1(name.c_str());
}

std::string ObjectLayer::storePicture(const QString& source, uint32_t index,
                                      QString* reason) const {
  QByteArray format = QImageReader::imageFormat(source).toLower();
  if (format == "jpeg") format = "jpg";
  if (format != "bmp" && format != "jpg" && format != "png") {
    if (reason)
      *reason = QFileInfo::exists(source)
                    ? QStringLiteral("그림 파일을 읽을 수 없습니다: %1").arg(source)
                    : QStringLiteral("그림 파일이 없습니다: %1").arg(source);
    return {};
  }
  // A free name: the record index, grown by 2 while the name is taken.
  std::string name;
  for (uint64_t n = index;; n += 2) {
    char buf[16];
    snprintf(buf, sizeof buf, "%08X.%s", unsigned(n & 0xFFFFFFFF), format.constData());
    name = buf;
    if (!QFileInfo::exists(picturePath(name))) break;
  }
  const QString target = picturePath(name);
  if (target.isEmpty() || !QFile::copy(source, target)) {
    if (reason) *reason = QStringLiteral("그림 파일을 복사할 수 없습니다: %1").arg(source);
    return {};
  }
  PictureRecord picture{};
  if (!xLoadImg(&picture, target.toUtf8().constData())) {
    QFile::remove(target);
    if (reason) *reason = QStringLiteral("그림 파일을 읽을 수 없습니다: %1").arg(source);
    return {};
  }
  xClearImg(&picture);
  return name;
}

bool ObjectLayer::createPicture(int32_t x0, int32_t y0, int32_t x1, int32_t y1, bool click,
                                int64_t replace) {
  PictureInput input;
  if (!runPictureDialog(view_, &input)) return false;
  ObjectTable tb = table();
  const uint32_t index = replace >= 0 ? uint32_t(replace) : tb.layer(targetLayer()).end;
  QString reason;
  const std::string name = storePicture(input.path, index, &reason);
  if (name.empty()) {
    // The old record and its file stay as they were.
    showMessageText(view_, reason);
    return false;
  }
  ObjectRecord r = replace >= 0 ? tb.at(index) : ObjectRecord{};
  r.type = shape::kPicture;
  r.setPictureName(name);
  if (replace < 0) {
    r.anchor = anchorOf(x0, y0);
    r.width = clamp16(int64_t{x1} - x0);
    r.height = clamp16(int64_t{y1} - y0);
  }
  if (click || input.naturalSize) {
    // The picture's own size: pixels at its own resolution (96 dpi if none).
    QImageReader reader(picturePath(name));
    const QImage image = reader.read();
    const double dpmX = image.dotsPerMeterX() > 0 ? image.dotsPerMeterX() : 96 / 0.0254;
    const double dpmY = image.dotsPerMeterY() > 0 ? image.dotsPerMeterY() : 96 / 0.0254;
    r.width = clamp16(std::lround(image.width() * 10000.0 / dpmX));
    r.height = clamp16(-std::lround(image.height() * 10000.0 / dpmY));
  }
  keepUndo();
  int64_t at = index;
  if (replace >= 0)
    tb.put(index, r);
  else
    at = tb.append(targetLayer(), {r});
  if (at < 0) return false;
  toldPictures().erase(name);
  refreshSelection({uint32_t(at)});
  changed();
  return true;
}

// --- Moving and resizing ----------------------------------------------------------------------

void ObjectLayer::moveSelection(int32_t dx, int32_t dy) {
  if (selection_.empty()) return;
  keepUndo();
  std::vector<uint32_t> kept;
  for (const ObjectSelection& s : selection_) {
    int32_t x = 0, y = 0;
    anchorPoint(table().at(uint32_t(s.record)), &x, &y);
    setAnchor(uint32_t(s.record), x + dx, y + dy);
    kept.push_back(uint32_t(s.record));
  }
  refreshSelection(kept);
  changed();
}

void ObjectLayer::resizeSelection(int handle, int32_t dx, int32_t dy) {
  if (selection_.size() != 1) return;
  const uint32_t index = uint32_t(selection_[0].record);
  ObjectTable t = table();
  ObjectRecord head = t.at(index);
  LogicalRect r = rectOf(index);
  const int column = handle % 3, row = handle / 3;
  if (column == 0) r.left += dx;
  if (column == 2) r.right += dx;
  if (row == 0) r.top += dy;
  if (row == 2) r.bottom += dy;
  const LogicalRect n{std::min(r.left, r.right), std::max(r.top, r.bottom),
                      std::max(r.left, r.right), std::min(r.top, r.bottom)};
  keepUndo();
  if (head.type == shape::kObliqueLine) {
    // An oblique line keeps its start corner and runs the same diagonal.
    const bool startLeft = head.width >= 0, startTop = head.height <= 0;
    const int32_t x = startLeft ? n.left : n.right, y = startTop ? n.top : n.bottom;
    head.width = clamp16(int64_t{startLeft ? 1 : -1} * n.width());
    head.height = clamp16(int64_t{startTop ? -1 : 1} * n.height());
    head.anchor = anchorOf(x, y);
  } else {
    head.anchor = anchorOf(n.left, n.top);
    head.width = head.type == shape::kVerticalLine ? 0 : clamp16(n.width());
    head.height = head.type == shape::kHorizontalLine ? 0 : clamp16(-int64_t{n.height()});
  }
  t.put(index, head);
  refreshSelection({index});
  changed();
}

// --- Painting ------------------------------------------------------------------------------------

void ObjectLayer::paintLayer(QPainter& painter, const UnitMapper& mapper, const LogicalRect& body,
                             bool front) {
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
    paintObject(painter, mapper, records, x, y, area, pictures);
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

// --- Order, alignment, style
// ------------------------------------------------------------------------

void ObjectLayer::order(int id) {
  std::vector<uint32_t> indexes;
  for (const ObjectSelection& s : selection_) indexes.push_back(uint32_t(s.record));
  static constexpr ObjectTable::Move kMoves[] = {
      ObjectTable::Move::ToFront, ObjectTable::Move::ToBack, ObjectTable::Move::IntoFrontLayer,
      ObjectTable::Move::IntoBackLayer};
  keepUndo();
  ObjectTable t = table();
  refreshSelection(t.reorder(indexes, kMoves[id - cmd::kShapeOrderFirst], backLayer()));
  changed();
}

void ObjectLayer::align(int id) {
  if (selection_.size() < 2) return;
  // The first entry (the front-most object) is the reference.
  const LogicalRect ref = rectOf(uint32_t(selection_[0].record));
  keepUndo();
  std::vector<uint32_t> kept{uint32_t(selection_[0].record)};
  for (size_t i = 1; i < selection_.size(); ++i) {
    const uint32_t index = uint32_t(selection_[i].record);
    const LogicalRect r = rectOf(index);
    int32_t dx = 0, dy = 0;
    if (id == cmd::kShapeOrderFirst + 4) dx = ref.left - r.left;
    if (id == cmd::kShapeOrderFirst + 5) dx = ref.right - r.right;
    if (id == cmd::kShapeOrderFirst + 6) dy = ref.top - r.top;
    if (id == cmd::kShapeOrderFirst + 7) dy = ref.bottom - r.bottom;
    int32_t x = 0, y = 0;
    anchorPoint(table().at(index), &x, &y);
    setAnchor(index, x + dx, y + dy);
    kept.push_back(index);
  }
  refreshSelection(kept);
  changed();
}

void ObjectLayer::styleCommand() {
  ObjectTable t = table();
  ShapeStyle style = currentStyle().shape;
  if (!selection_.empty()) {
    const ObjectRecord first = t.at(uint32_t(selection_[0].record));
    style = {first.lineStyle, first.lineWidth, first.lineColor, first.fill, first.fillColor};
  }
  if (!runStyleDialog(view_, &style)) return;
  if (selection_.empty()) {
    currentStyle().shape = style;
    return;
  }
  keepUndo();
  for (const ObjectSelection& s : selection_) {
    ObjectRecord r = t.at(uint32_t(s.record));
    if (!shape::isStyled(r.type)) continue;
    r.lineStyle = style.lineStyle;
    r.lineWidth = style.lineWidth;
    r.lineColor = style.lineColor;
    r.fill = style.fill;
    r.fillColor = style.fillColor;
    t.put(uint32_t(s.record), r);
  }
  changed();
}

void ObjectLayer::editSelected() {
  if (selection_.size() != 1) return;
  const uint32_t index = uint32_t(selection_[0].record);
  const ObjectTable t = table();
  const ObjectRecord head = t.at(index);
  if (head.type == shape::kText) {
    TextInput input;
    std::string bytes;
    if (!t.readText(index, &input.font, &bytes)) return;
    input.text = xjor::fromCp949(QByteArray(bytes.data(), int(bytes.size())));
    input.alignment = head.lineStyle;
    if (runTextDialog(view_, &input)) createText(0, 0, input, index);
  } else if (head.type == shape::kPicture) {
    createPicture(0, 0, 0, 0, false, index);
  } else {
    styleCommand();
  }
}

// --- Delete, clipboard
// ----------------------------------------------------------------------------------

void ObjectLayer::deleteSelected(bool ask) {
  if (selection_.empty()) return;
  if (ask && (optionFlags() & optflag::kConfirmDelete) &&
      askQuestion(view_, kConfirmDeleteMessage, true) != QMessageBox::Yes)
    return;
  keepUndo();
  ObjectTable t = table();
  // Descending order: every removal leaves the lower indexes alone.
  for (const ObjectSelection& s : selection_) t.take(uint32_t(s.record));
  selection_.clear();
  changed();
}

void ObjectLayer::copySelection() {
  if (selection_.empty()) return;
  Clipboard c;
  c.fromReport = view_->viewKind() == ViewKind::UserReport;
  c.headerX = INT32_MAX;
  c.headerY = INT32_MIN;
  const ObjectTable t = table();
  // Ascending, so that a paste keeps the objects' drawing order.
  for (auto s = selection_.rbegin(); s != selection_.rend(); ++s) {
    ClipObject o;
    o.records = t.copy(uint32_t(s->record));
    if (o.records.empty()) continue;
    anchorPoint(o.records[0], &o.x, &o.y);
    if (o.records[0].type == shape::kPicture) o.picture = picturePath(o.records[0].pictureName());
    const LogicalRect r = rectOf(uint32_t(s->record));
    c.headerX = std::min(c.headerX, r.left);
    c.headerY = std::max(c.headerY, r.top);
    c.objects.push_back(std::move(o));
  }
  if (!c.objects.empty()) clipboard() = std::move(c);
}

void ObjectLayer::paste() {
  const Clipboard& c = clipboard();
  if (c.objects.empty() || !open()) return;
  viewState().editTool = tool::kShapeSelect;
  const bool report = view_->viewKind() == ViewKind::UserReport;
  const int32_t dx = view_->scrollX() + kPasteInset - c.headerX;
  const int32_t dy = view_->scrollY() - kPasteInset - c.headerY;
  const uint8_t layer = targetLayer();
  keepUndo();
  ObjectTable t = table();
  std::vector<uint32_t> pasted;
  for (const ClipObject& o : c.objects) {
    ObjectRecords records = o.records;
    // Texts do not cross between the user report and the other views.
    if (records[0].type == shape::kText && report != c.fromReport) continue;
    records[0].anchor = anchorOf(o.x + dx, o.y + dy);
    const uint32_t at = t.layer(layer).end;
    if (records[0].type == shape::kPicture) {
      // Every pasted picture has its own file.
      const std::string name = storePicture(o.picture, at, nullptr);
      if (name.empty()) continue;
      records[0].setPictureName(name);
    }
    if (!t.insert(at, records, layer)) break;
    // Earlier pasted objects lie before this one: their indexes stand.
    pasted.push_back(at);
  }
  std::sort(pasted.begin(), pasted.end(), std::greater<uint32_t>());
  refreshSelection(pasted);
  changed();
}

// --- Commands
// -------------------------------------------------------------------------------------------

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
