// The object layer's edits: creating objects with the tools, pictures,
// moving and resizing, order, alignment, style, delete and the clipboard.
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMessageBox>

#include "kelvo/base_view.h"
#include "kelvo/messages.h"
#include "kelvo/object_layer.h"
#include "kelvo/plan_doc.h"
#include "object_dialogs.h"
#include "object_layer_internal.h"
#include "xJorImg.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo {

using namespace objlayer;

// --- Creating ---

void ObjectLayer::create(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  const int t = tool();
  if (t == tool::kText) {
    if (view_->editTextObject(x0, y0, x1, y1, -1)) return;
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

bool ObjectLayer::putObject(const ObjectRecords& records, int64_t replace) {
  if (records.empty() || !open()) return false;
  ObjectTable tb = table();
  keepUndo();
  int64_t at = -1;
  if (replace >= 0) {
    const uint8_t layer = tb.at(uint32_t(replace)).layer;
    tb.take(uint32_t(replace));
    at = tb.insert(uint32_t(replace), records, layer) ? replace : -1;
  } else {
    at = tb.append(targetLayer(), records);
  }
  if (at < 0) return false;
  refreshSelection({uint32_t(at)});
  changed();
  return true;
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

// --- Pictures ---

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

// --- Moving and resizing ---

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

// --- Fit to paper ---

void ObjectLayer::scaleObjects(double fx, double fy, double fontFactor,
                               const std::function<ViewPosition(ViewPosition)>& moveAnchor) {
  if (!open()) return;
  ObjectTable t = table();
  for (bool front : {false, true}) {
    const ObjectTable::Range range = t.layer(uint8_t(backLayer() + front));
    for (uint32_t i = range.first; i < range.end; ++i) {
      const uint32_t parts = t.span(i);
      if (parts == 0) continue;
      ObjectRecord head = t.at(i);
      if (moveAnchor) head.anchor = moveAnchor(head.anchor);
      LOGFONT font{};
      std::string text;
      if (head.type == shape::kText && t.readText(i, &font, &text)) {
        // The font scales and the box is measured again.
        const int32_t height = int32_t(font.lfHeight * fontFactor);
        font.lfHeight = height != 0 ? height : (font.lfHeight < 0 ? -1 : 1);
        const uint64_t extent = xGetTextExtent(text.data(), int32_t(text.size()), &font);
        ObjectRecords records = makeTextObject(head.anchor, clamp16(int64_t(extent & 0xFFFFFFFF)),
                                               clamp16(-int64_t(extent >> 32)), head.lineColor,
                                               head.lineStyle, font, text);
        if (records.size() == parts) {
          for (uint32_t k = 0; k < parts; ++k) {
            records[k].layer = head.layer;
            t.put(i + k, records[k]);
          }
        }
      } else {
        head.width = clamp16(int64_t(head.width * fx));
        head.height = clamp16(int64_t(head.height * fy));
        t.put(i, head);
      }
      i += parts - 1;
    }
  }
  view_->viewport()->update();
}

// --- Order, alignment, style ---

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
    if (view_->editTextObject(0, 0, 0, 0, index)) return;
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

// --- Delete, clipboard ---

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

}  // namespace kelvo
