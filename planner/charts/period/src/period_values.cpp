#include "kelvo/period_values.h"

#include <cstring>

#include "xQdDb100.h"

namespace kelvo {

std::vector<PeriodValue> periodValues(const RowSeries& series, const ValueItem& item,
                                      bool resource) {
  std::vector<PeriodValue> out;
  if (item.item < 0 || item.item > 5 || (resource && item.item > 0)) return out;
  if (item.series < kSeriesPlan || item.series > kSeriesActualExpected) return out;
  double total = 0;
  // merge: an entry on the day of the last one shown is added to it.
  const auto add = [&](const SeriesEntry& e, bool merge) {
    const double v = e.value[item.item];
    total += v;
    if (merge && !out.empty() && out.back().day == e.day) {
      out.back().value = item.cumulative ? total : out.back().value + v;
      return;
    }
    out.push_back({e.day, item.cumulative ? total : v});
  };
  if (item.series == kSeriesActualExpected) {
    for (const SeriesEntry& e : series.block[kSeriesActual]) add(e, false);
    const size_t actual = out.size();
    for (const SeriesEntry& e : series.block[kSeriesExpected])
      add(e, actual > 0 && out.size() == actual);
  } else {
    for (const SeriesEntry& e : series.block[item.series]) add(e, false);
  }
  return out;
}

int periodDecimals(int item, bool resource, const ProjectDigits& digits) {
  if (resource || item == 0) return digits.quantity;
  if (item == 2 || item == 4) return digits.weight;
  return digits.amount;
}

bool summaryIsResources(const ProjectDb* db) {
  // The layouts differ in where the name field, the last one, lies.
  const TableHandle& tb = db->summary.table.tb;
  for (int16_t i = 0; i < tb.fieldCount; ++i) {
    const FieldDesc& f = tb.fields[i];
    if (f.type == XF_STRING && f.offset + f.width + 1 == tb.recordSize)
      return f.offset == kResRowNameAt;
  }
  return false;
}

bool readSummaryRowSeries(ProjectDb* db, const uint8_t* record, bool resource, RowSeries* series) {
  *series = RowSeries{};
  uint32_t position = 0;
  std::memcpy(&position, record + (resource ? kResRowSeriesAt : kActRowSeriesAt), sizeof position);
  if (position == 0) return false;
  if (!readRowSeries(db, position, resource, *series)) {
    *series = RowSeries{};
    return false;
  }
  return true;
}

bool readSummaryTotalSeries(ProjectDb* db, RowSeries* series) {
  *series = RowSeries{};
  TableHandle& tb = db->summary.table.tb;
  if (tb.handle == -1 || tb.recordSize <= 0) return false;
  std::vector<uint8_t> record(size_t(tb.recordSize));
  const int32_t kept = tb.current;
  tb.current = -1;
  const bool found = xMovePrev(&tb) && xGetRec(&tb, record.data()) == 1;
  tb.current = kept;
  return found && readSummaryRowSeries(db, record.data(), summaryIsResources(db), series);
}

PlanActualCurves planActualCurves(const RowSeries& series, bool resource) {
  PlanActualCurves curves;
  const int candidates[] = {1, 3, 0};
  for (int item : candidates) {
    if (resource && item != 0) continue;
    double total = 0;
    for (const SeriesEntry& e : series.block[kSeriesPlan]) total += e.value[item];
    if (total > 0) {
      curves.item = item;
      curves.planTotal = total;
      break;
    }
  }
  if (curves.planTotal <= 0) return curves;
  const auto percent = [&](int block) {
    ValueItem v{};
    v.item = int16_t(curves.item);
    v.series = int16_t(block);
    v.cumulative = 1;
    std::vector<PeriodValue> values = periodValues(series, v, resource);
    for (PeriodValue& p : values) p.value = p.value * 100.0 / curves.planTotal;
    return values;
  };
  curves.plan = percent(kSeriesPlan);
  curves.actual = percent(kSeriesActual);
  return curves;
}

}  // namespace kelvo
