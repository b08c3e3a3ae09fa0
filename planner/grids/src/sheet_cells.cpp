#include "kelvo/sheet_cells.h"

#include <algorithm>
#include <cstring>

#include "xJorDbm2.h"

namespace kelvo {
namespace {

// Sheets whose records carry the schedule dates of an activity.
bool showsScheduleDates(ViewKind kind) {
  return kind == ViewKind::Activities || kind == ViewKind::GanttTable ||
         kind == ViewKind::Summary || kind == ViewKind::GanttSummaryTable;
}

std::string engineText(const FieldDesc* fields, int32_t refHandle, const char* record, int field) {
  char out[XF_VALUE_BUFFER];
  out[0] = 0;
  xGetValue(fields, refHandle, out, record, field, -1);
  return std::string(out, strnlen(out, XF_VALUE_MAX));
}

}  // namespace

std::string sheetCellText(const TableHandle& tb, ViewKind kind, int32_t refHandle,
                          const char* record, int field) {
  if (!record || field < 0 || field >= tb.fieldCount) return {};
  const FieldDesc& f = tb.fields[field];
  if (showsScheduleDates(kind) && f.type == XF_DATE && int(f.offset) + 2 <= tb.recordSize) {
    const int from = shownDateOffset(record, f.offset);
    if (from != f.offset) {
      std::string shown(record, tb.recordSize);
      std::memcpy(shown.data() + f.offset, record + from, 2);
      return engineText(tb.fields, refHandle, shown.data(), field);
    }
  }
  return engineText(tb.fields, refHandle, record, field);
}

std::vector<SheetRowText> buildSheetRows(const SheetRows& rows, ViewKind kind, int32_t refHandle,
                                         uint32_t first, uint32_t count,
                                         const std::vector<int>& fields) {
  std::vector<SheetRowText> built;
  const TableBinding* table = rows.table();
  if (!table || first >= rows.count()) return built;
  const uint32_t end = first + std::min(count, rows.count() - first);
  std::string record(table->tb.recordSize, '\0');
  for (uint32_t row = first; row < end; ++row) {
    SheetRowText& r = built.emplace_back();
    r.record = rows.record(row);
    r.live = rows.read(row, record.data());
    r.cells.resize(fields.size());
    if (!r.live) continue;
    for (size_t i = 0; i < fields.size(); ++i)
      r.cells[i] = sheetCellText(table->tb, kind, refHandle, record.data(), fields[i]);
  }
  return built;
}

}  // namespace kelvo
