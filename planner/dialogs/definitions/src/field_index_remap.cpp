#include "field_index_remap.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstring>

#include "kelvo/gantt_model.h"
#include "kelvo/grid_format.h"
#include "kelvo/map_model.h"
#include "kelvo/named_formulas.h"
#include "kelvo/network_model.h"
#include "kelvo/option_slots.h"
#include "kelvo/print_format.h"
#include "kelvo/report_items.h"
#include "kelvo/report_pages.h"
#include "kelvo/time_scale.h"

namespace kelvo {
namespace {

// The sheets whose columns and record order name activity fields.
constexpr ViewKind kActivitySheets[] = {ViewKind::Activities, ViewKind::GanttTable};

// A chart's own block follows its time-scale settings in its settings record.
constexpr size_t kChartBlock = sizeof(TimeScaleSettings);
// The network chart's two label templates as printed, after the print format.
constexpr size_t kPaperTemplates = sizeof(GanttPrintFormat);
// The summary row kind of an activity.
constexpr int16_t kActivityRow = 4;
// Sort keys above this are descending.
constexpr int32_t kDescending = 10000;

// Runs edit on the bytes of option item `item` and writes them back, when
// the item is stored with at least `needed` bytes.
template <typename Edit>
void editItem(OptionFileRef* opt, int item, size_t needed, Edit edit) {
  if (item < 0) return;
  const int32_t size = xOption(opt, XOPT_SIZE, item, nullptr, 0);
  if (size < 0 || static_cast<size_t>(size) < needed || size == 0) return;
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  if (xOption(opt, XOPT_READ, item, bytes.data(), static_cast<uint32_t>(size)) != 1) return;
  edit(bytes.data());
  xOption(opt, XOPT_WRITE, item, bytes.data(), static_cast<uint32_t>(size));
}

// Rewrites the first `count` column records of kind (all when fewer are
// stored); returns how many were kept.
int remapColumns(OptionFileRef* opt, ViewKind kind, int count, const std::vector<int32_t>& map) {
  const int item = kindItem(KindRecord::Columns, kind);
  if (item < 0) return 0;
  const int32_t size = xOption(opt, XOPT_SIZE, item, nullptr, 0);
  count = std::min(count, size / static_cast<int>(sizeof(ColumnRecord)));
  if (count <= 0) return 0;
  std::vector<ColumnRecord> columns(count);
  if (xOption(opt, XOPT_READ, item, columns.data(), count * sizeof(ColumnRecord)) != 1) return 0;
  std::vector<ColumnRecord> kept;
  for (ColumnRecord c : columns) {
    const int32_t field = remappedField(map, c.field);
    if (field < 0) continue;
    c.field = static_cast<int16_t>(field);
    kept.push_back(c);
  }
  writeColumns(opt, kind, kept);
  return static_cast<int>(kept.size());
}

void remapOrder(uint16_t* order, const std::vector<int32_t>& map) {
  const int count = order[0] > 12 ? 12 : order[0];
  int kept = 0;
  for (int k = 1; k <= count; ++k) {
    const bool descending = order[k] >= kDescending;
    const int32_t field = remappedField(map, order[k] - (descending ? kDescending : 0));
    if (field < 0) continue;
    order[++kept] = static_cast<uint16_t>(field + (descending ? kDescending : 0));
  }
  for (int k = kept + 1; k <= 12; ++k) order[k] = 0;
  order[0] = static_cast<uint16_t>(kept);
}

void remapInt16(uint8_t* at, const std::vector<int32_t>& map, int16_t none) {
  int16_t v;
  std::memcpy(&v, at, sizeof v);
  if (v == none) return;
  const int32_t field = remappedField(map, v);
  v = field < 0 ? none : static_cast<int16_t>(field);
  std::memcpy(at, &v, sizeof v);
}

}  // namespace

int32_t remappedField(const std::vector<int32_t>& oldToNew, int32_t field) {
  if (field < 0 || field >= static_cast<int32_t>(oldToNew.size())) return -1;
  return oldToNew[field];
}

void remapLabelTemplate(uint8_t* bytes, size_t size, const std::vector<int32_t>& oldToNew) {
  std::vector<uint8_t> out;
  for (size_t i = 0; i < size && bytes[i] != labelbyte::kEnd;) {
    const uint8_t b = bytes[i++];
    if (b == labelbyte::kLiteral) {
      // The literal runs to its NUL (kept) or the template's end.
      out.push_back(b);
      while (i < size) {
        out.push_back(bytes[i]);
        if (bytes[i++] == 0) break;
      }
    } else if (b == labelbyte::kNewLine) {
      out.push_back(b);
    } else if (b < labelbyte::kLiteral) {
      const int32_t field = remappedField(oldToNew, b);
      // A field that is gone, or whose new index would read as a control
      // byte, leaves the template with its wrap bytes.
      const bool kept = field >= 0 && field < labelbyte::kLiteral;
      if (kept) out.push_back(static_cast<uint8_t>(field));
      while (i < size && bytes[i] == labelbyte::kWrap) {
        if (kept) out.push_back(labelbyte::kWrap);
        ++i;
      }
    }
  }
  std::memset(bytes, labelbyte::kEnd, size);
  std::memcpy(bytes, out.data(), out.size());
}

int remappedFieldChoice(const std::vector<int32_t>& oldToNew, int choice) {
  return choice <= 0 ? choice : remappedField(oldToNew, choice - 1) + 1;
}

void remapActivityFieldIndexes(ProjectDb* db, const std::vector<int32_t>& oldToNew) {
  OptionFileRef* opt = &db->opt;
  for (ViewKind kind : kActivitySheets) {
    // The sheet record says how many column records count; a dropped
    // column lowers that number, so that no record past them comes in.
    bool sheetStored = false;
    editItem(opt, kindItem(KindRecord::Settings, kind), sizeof(SheetRecord), [&](uint8_t* r) {
      sheetStored = true;
      SheetRecord sheet;
      std::memcpy(&sheet, r, sizeof sheet);
      remapOrder(sheet.order, oldToNew);
      sheet.format.columnCount =
          static_cast<uint16_t>(remapColumns(opt, kind, sheet.format.columnCount, oldToNew));
      std::memcpy(r, &sheet, sizeof sheet);
    });
    if (!sheetStored) remapColumns(opt, kind, INT_MAX, oldToNew);
  }
  editItem(opt, kindItem(KindRecord::Settings, ViewKind::GanttChart),
           kChartBlock + sizeof(GanttBlock), [&](uint8_t* r) {
             remapInt16(r + kChartBlock + offsetof(GanttBlock, leftLabel), oldToNew, -1);
             remapInt16(r + kChartBlock + offsetof(GanttBlock, rightLabel), oldToNew, -1);
           });
  editItem(opt, kindItem(KindRecord::Settings, ViewKind::Network), kChartBlock + sizeof(NetBlock),
           [&](uint8_t* r) {
             remapLabelTemplate(r + kChartBlock + offsetof(NetBlock, upperLabel),
                                kLabelTemplateSize, oldToNew);
             remapLabelTemplate(r + kChartBlock + offsetof(NetBlock, lowerLabel),
                                kLabelTemplateSize, oldToNew);
           });
  editItem(opt, kindItem(KindRecord::PrintFormat, ViewKind::Network),
           kPaperTemplates + 2 * kLabelTemplateSize, [&](uint8_t* r) {
             remapLabelTemplate(r + kPaperTemplates, kLabelTemplateSize, oldToNew);
             remapLabelTemplate(r + kPaperTemplates + kLabelTemplateSize, kLabelTemplateSize,
                                oldToNew);
           });
  // The map keeps one displayed field per mode; only the activity mode's
  // names an activity field.
  editItem(opt, kOptMapItem, 3 * sizeof(int16_t), [&](uint8_t* r) {
    remapInt16(r + static_cast<int>(MapMode::Activities) * sizeof(int16_t), oldToNew, -1);
  });
  // Report items of the activity band whose related record is the activity.
  ObjectTable objects(&db->objects);
  editReportTexts(objects, [&](ReportItem& item) {
    const bool related =
        item.header.source == source::kRelatedField || item.header.source == source::kRelatedField2;
    if (!related || item.band != reportBand(kActivityRow) || item.header.field < 0) return false;
    const auto field = static_cast<int16_t>(remappedField(oldToNew, item.header.field));
    if (field == item.header.field) return false;
    item.header.field = field;
    return true;
  });
  // A batch formula's item is an ordinal; one that is gone selects nothing.
  const int activities = namedFormulaKind(kindNumber(ViewKind::Activities));
  editNamedFormulas(db, [&](NamedFormula& f) {
    if (f.list != kBatchFormulaList || f.kind != activities) return false;
    const int32_t field = remappedField(oldToNew, f.item);
    const uint16_t item = field < 0 ? UINT16_MAX : static_cast<uint16_t>(field);
    if (item == f.item) return false;
    f.item = item;
    return true;
  });
}

}  // namespace kelvo
