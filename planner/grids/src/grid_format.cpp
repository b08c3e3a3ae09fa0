#include "kelvo/grid_format.h"

#include <algorithm>
#include <cstring>

#include "kelvo/option_slots.h"

namespace kelvo {
namespace {

// "굴림체" in CP949: the face every stored font names.
constexpr char kDefaultFace[] = "\xB1\xBC\xB8\xB2\xC3\xBC";

LOGFONT defaultFont() {
  LOGFONT lf;
  std::memset(&lf, 0, sizeof lf);
  lf.lfHeight = -32;
  lf.lfCharSet = 1;
  std::memcpy(lf.lfFaceName, kDefaultFace, sizeof kDefaultFace);
  return lf;
}

}  // namespace

GridFormat defaultGridFormat(uint16_t headerHeight) {
  GridFormat f;
  std::memset(&f, 0, sizeof f);
  f.flags = 1;
  f.headerHeight = headerHeight;
  f.rowHeight = 52;
  f.rowNumberWidth = 84;
  f.headerFont = defaultFont();
  f.bodyFont = defaultFont();
  f.headerText = 0x000080;
  f.bodyText = 0x800000;
  f.gridLine = 0x808080;
  f.headerBack = 0xFFFFC0;
  return f;
}

std::vector<ColumnRecord> defaultColumns(const FieldDesc* fields, int fieldCount, int32_t ref) {
  std::vector<ColumnRecord> columns;
  for (int i = 0; i < fieldCount; ++i) {
    ColumnRecord c;
    std::memset(&c, 0, sizeof c);
    const int name = static_cast<int>(strnlen(fields[i].name, sizeof fields[i].name));
    const int shown = std::max<int>(xGetOutLeng(fields, i, ref), name);
    c.field = static_cast<int16_t>(i);
    c.width = static_cast<int16_t>(std::min(shown * 16 + 20, 32767));
    c.align = (fields[i].type == XF_STRING || fields[i].type == XF_REF) ? kAlignLeft : kAlignRight;
    columns.push_back(c);
  }
  return columns;
}

void clampGridFormat(GridFormat* format) {
  if (format->headerHeight < 1) format->headerHeight = 1;
  if (format->rowHeight < 1) format->rowHeight = 1;
  format->headerFont.lfFaceName[LF_FACESIZE - 1] = 0;
  format->bodyFont.lfFaceName[LF_FACESIZE - 1] = 0;
}

bool readSheetRecord(OptionFileRef* opt, ViewKind kind, SheetRecord* record) {
  SheetRecord r;
  std::memset(&r, 0, sizeof r);
  const int item = kindItem(KindRecord::Settings, kind);
  if (item < 0 || xOption(opt, XOPT_READ, item, &r, sizeof r) != 1) return false;
  r.filter[sizeof r.filter - 1] = 0;
  if (r.order[0] > 12) r.order[0] = 12;
  clampGridFormat(&r.format);
  *record = r;
  return true;
}

void writeSheetRecord(OptionFileRef* opt, ViewKind kind, const SheetRecord& record) {
  const int item = kindItem(KindRecord::Settings, kind);
  if (item < 0) return;
  xOption(opt, XOPT_WRITE, item, const_cast<SheetRecord*>(&record), sizeof record);
}

std::vector<ColumnRecord> readColumns(OptionFileRef* opt, ViewKind kind, int count,
                                      int fieldCount) {
  std::vector<ColumnRecord> columns;
  const int item = kindItem(KindRecord::Columns, kind);
  if (item < 0) return columns;
  const int32_t size = xOption(opt, XOPT_SIZE, item, nullptr, 0);
  const int stored = std::min<int>(count, size / static_cast<int>(sizeof(ColumnRecord)));
  if (stored <= 0) return columns;
  std::vector<ColumnRecord> raw(stored);
  if (xOption(opt, XOPT_READ, item, raw.data(), stored * sizeof(ColumnRecord)) != 1) return columns;
  for (ColumnRecord c : raw) {
    if (c.field < 0 || c.field >= fieldCount) continue;
    c.width = std::max<int16_t>(c.width, 0);
    if (c.align < kAlignLeft || c.align > kAlignCentre) c.align = kAlignLeft;
    c.title[sizeof c.title - 1] = 0;
    columns.push_back(c);
  }
  return columns;
}

void writeColumns(OptionFileRef* opt, ViewKind kind, const std::vector<ColumnRecord>& columns) {
  const int item = kindItem(KindRecord::Columns, kind);
  if (item < 0) return;
  if (columns.empty()) {
    xOption(opt, XOPT_DELETE, item, nullptr, 0);
    return;
  }
  xOption(opt, XOPT_WRITE, item, const_cast<ColumnRecord*>(columns.data()),
          static_cast<uint32_t>(columns.size() * sizeof(ColumnRecord)));
}

}  // namespace kelvo
