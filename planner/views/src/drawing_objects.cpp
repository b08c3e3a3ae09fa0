#include "kelvo/drawing_objects.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace kelvo {

namespace {

constexpr size_t kFontSize = sizeof(LOGFONT);
static_assert(kFontSize == 60, "the font of a text object is 60 bytes");

// Byte offset of the continuation data inside a record.
constexpr size_t kContinuationAt = 2;

}  // namespace

std::string ObjectRecord::pictureName() const {
  const char* bytes = reinterpret_cast<const char*>(this) + 14;
  return std::string(bytes, strnlen(bytes, kPictureNameSize));
}

void ObjectRecord::setPictureName(const std::string& name) {
  char* bytes = reinterpret_cast<char*>(this) + 14;
  std::memset(bytes, 0, kPictureNameSize);
  std::memcpy(bytes, name.data(), std::min<size_t>(name.size(), kPictureNameSize - 1));
}

bool isPictureFileName(const std::string& name) {
  if (name.size() != 12 || name[8] != '.') return false;
  for (int i = 0; i < 8; ++i) {
    const char c = name[i];
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
  }
  for (int i = 9; i < 12; ++i)
    if (name[i] < 'a' || name[i] > 'z') return false;
  return true;
}

ObjectRecords makeTextObject(const ViewPosition& anchor, int16_t width, int16_t height,
                             COLORREF colour, int16_t alignment, const LOGFONT& font,
                             const std::string& text) {
  const size_t length = std::min<size_t>(text.size(), 0xFFFF);
  const int parts = continuationsFor(int(length));
  ObjectRecord head;
  head.type = shape::kText;
  head.anchor = anchor;
  head.width = width;
  head.height = height;
  head.lineColor = colour;
  head.lineStyle = alignment;
  head.lineWidth = int16_t(std::min(parts, 0x7FFF));
  head.fillColor = uint32_t(length);
  head.fill = 0;
  std::vector<uint8_t> data(size_t(parts) * kContinuationData, 0);
  std::memcpy(data.data(), &font, kFontSize);
  std::memcpy(data.data() + kFontSize, text.data(), length);
  ObjectRecords records{head};
  for (int i = 0; i < parts; ++i) {
    ObjectRecord c;
    c.type = shape::kContinuation;
    std::memcpy(reinterpret_cast<uint8_t*>(&c) + kContinuationAt,
                data.data() + size_t(i) * kContinuationData, kContinuationData);
    records.push_back(c);
  }
  return records;
}

LogicalRect objectRect(const ObjectRecord& head, int32_t x, int32_t y) {
  const int32_t x2 = x + head.width, y2 = y + head.height;
  return {std::min(x, x2), std::max(y, y2), std::max(x, x2), std::min(y, y2)};
}

bool objectHit(const ObjectRecord& head, int32_t x, int32_t y, int32_t px, int32_t py,
               int32_t slack) {
  const LogicalRect r = objectRect(head, x, y);
  const bool line = head.type == shape::kHorizontalLine || head.type == shape::kVerticalLine ||
                    head.type == shape::kObliqueLine;
  if (!line) return px >= r.left && px <= r.right && py <= r.top && py >= r.bottom;
  // The segment as it is drawn, and the distance of the point from it.
  double x1 = x, y1 = y, x2 = x, y2 = y;
  if (head.type == shape::kHorizontalLine) x2 += head.width;
  if (head.type == shape::kVerticalLine) y2 += head.height;
  if (head.type == shape::kObliqueLine) x2 += head.width, y2 += head.height;
  const double dx = x2 - x1, dy = y2 - y1;
  const double len2 = dx * dx + dy * dy;
  double t = len2 > 0 ? ((px - x1) * dx + (py - y1) * dy) / len2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  const double ex = x1 + t * dx - px, ey = y1 + t * dy - py;
  return std::sqrt(ex * ex + ey * ey) <= slack;
}

// --- ObjectTable ---------------------------------------------------------------

ObjectRecord ObjectTable::at(uint32_t index) const {
  ObjectRecord r;
  if (index < count())
    std::memcpy(&r, table_->data + size_t(index) * kObjectRecordSize, kObjectRecordSize);
  return r;
}

bool ObjectTable::put(uint32_t index, const ObjectRecord& record) {
  if (index >= count()) return false;
  std::memcpy(table_->data + size_t(index) * kObjectRecordSize, &record, kObjectRecordSize);
  return true;
}

uint32_t ObjectTable::seekLayer(uint8_t code) const {
  if (!table_ || count() == 0) return 0;
  // The key is the first two bytes: (type 0, layer) lies before every
  // record of the layer and after every record of the layers below it.
  const uint8_t key[kObjectRecordSize] = {0, code};
  xmSeek(table_, key);
  return std::min(table_->current, table_->count);
}

ObjectTable::Range ObjectTable::layer(uint8_t code) const {
  Range r;
  r.first = seekLayer(code);
  r.end = code == 0xFF ? count() : seekLayer(uint8_t(code + 1));
  r.end = std::max(r.first, r.end);
  return r;
}

uint32_t ObjectTable::span(uint32_t index) const {
  if (index >= count()) return 0;
  const ObjectRecord head = at(index);
  if (!shape::isHeadType(head.type)) return 0;
  if (head.type != shape::kText) return 1;
  uint32_t parts = 0;
  const uint32_t wanted = uint16_t(head.lineWidth);
  while (parts < wanted && index + 1 + parts < count()) {
    const ObjectRecord c = at(index + 1 + parts);
    if (c.type != shape::kContinuation || c.layer != head.layer) break;
    ++parts;
  }
  // The font must fit the records that follow.
  if (size_t(parts) * kContinuationData < kFontSize) return 0;
  return 1 + parts;
}

bool ObjectTable::readText(uint32_t index, LOGFONT* font, std::string* text) const {
  const uint32_t n = span(index);
  if (n == 0 || at(index).type != shape::kText) return false;
  std::vector<uint8_t> data(size_t(n - 1) * kContinuationData);
  for (uint32_t i = 1; i < n; ++i) {
    const ObjectRecord c = at(index + i);
    std::memcpy(data.data() + size_t(i - 1) * kContinuationData,
                reinterpret_cast<const uint8_t*>(&c) + kContinuationAt, kContinuationData);
  }
  if (font) {
    std::memcpy(font, data.data(), kFontSize);
    font->lfFaceName[LF_FACESIZE - 1] = 0;
  }
  const size_t length = std::min<size_t>(at(index).textLength(), data.size() - kFontSize);
  if (text) text->assign(reinterpret_cast<const char*>(data.data()) + kFontSize, length);
  return true;
}

bool ObjectTable::insert(uint32_t index, const ObjectRecords& records, uint8_t code) {
  if (!table_ || index > table_->count) return false;
  for (size_t i = 0; i < records.size(); ++i) {
    ObjectRecord r = records[i];
    r.layer = code;
    table_->current = index + uint32_t(i);
    if (xmIns(table_, &r) != 1) {
      // Out of memory: take back what went in.
      for (size_t k = 0; k < i; ++k) {
        table_->current = index;
        xmDel(table_);
      }
      return false;
    }
  }
  return true;
}

int64_t ObjectTable::append(uint8_t code, const ObjectRecords& records) {
  const uint32_t at = layer(code).end;
  return insert(at, records, code) ? int64_t{at} : -1;
}

ObjectRecords ObjectTable::copy(uint32_t index) const {
  ObjectRecords out;
  const uint32_t n = span(index);
  for (uint32_t i = 0; i < n; ++i) out.push_back(at(index + i));
  return out;
}

ObjectRecords ObjectTable::take(uint32_t index) {
  ObjectRecords out = copy(index);
  for (size_t i = 0; i < out.size(); ++i) {
    table_->current = index;
    xmDel(table_);
  }
  return out;
}

std::vector<uint32_t> ObjectTable::reorder(const std::vector<uint32_t>& descending, Move move,
                                           uint8_t backCode) {
  // Take every selected object out (highest index first, so the others keep
  // their indexes), then put each group back into its target layer in the
  // old relative order: at the layer's end, or at its start for "to back".
  const std::vector<uint8_t> before = snapshot();
  struct Group {
    uint8_t target;
    std::vector<ObjectRecords> objects;  // ascending old order
  };
  std::vector<Group> groups;
  std::vector<uint32_t> order = descending;
  std::sort(order.begin(), order.end(), std::greater<uint32_t>());
  order.erase(std::unique(order.begin(), order.end()), order.end());
  for (uint32_t index : order) {
    const uint8_t own = at(index).layer;
    ObjectRecords records = take(index);
    if (records.empty()) continue;
    uint8_t target = own;
    if (move == Move::IntoFrontLayer) target = uint8_t(backCode + 1);
    if (move == Move::IntoBackLayer) target = backCode;
    auto g = std::find_if(groups.begin(), groups.end(),
                          [&](const Group& x) { return x.target == target; });
    if (g == groups.end()) g = groups.insert(groups.end(), Group{target, {}});
    g->objects.insert(g->objects.begin(), std::move(records));
  }
  const bool toEnd = move != Move::ToBack;
  // Where each moved object went; a later insertion before it shifts it.
  std::vector<uint32_t> placed;
  for (const Group& g : groups) {
    uint32_t to = toEnd ? layer(g.target).end : layer(g.target).first;
    for (const ObjectRecords& records : g.objects) {
      if (!insert(to, records, g.target)) {
        restore(before);
        return descending;
      }
      const uint32_t len = uint32_t(records.size());
      for (uint32_t& p : placed)
        if (p >= to) p += len;
      placed.push_back(to);
      to += len;
    }
  }
  std::sort(placed.begin(), placed.end(), std::greater<uint32_t>());
  return placed;
}

std::vector<uint8_t> ObjectTable::snapshot() const {
  const size_t bytes = size_t(count()) * kObjectRecordSize;
  if (bytes == 0) return {};
  return std::vector<uint8_t>(table_->data, table_->data + bytes);
}

bool ObjectTable::restore(const std::vector<uint8_t>& bytes) {
  if (!table_ || bytes.size() % kObjectRecordSize != 0) return false;
  const uint32_t n = uint32_t(bytes.size() / kObjectRecordSize);
  MemTable fresh = *table_;
  fresh.data = nullptr;
  fresh.owned = 0;
  fresh.count = 0;
  fresh.capacity = 0;
  xmOpenTb(&fresh, int32_t(std::max<uint32_t>(n, 1)), table_->key, 0);
  if (!fresh.data) return false;
  std::memcpy(fresh.data, bytes.data(), bytes.size());
  fresh.count = n;
  fresh.current = XJOR_NONE;
  xmCloseTb(table_);
  *table_ = fresh;
  return true;
}

}  // namespace kelvo
