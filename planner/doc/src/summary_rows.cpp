// Rows of a summary: dates rolled up over their activities, the row bytes
// and the merged period series.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "summary_internal.h"

namespace kelvo::summary {

namespace {

uint16_t earliest(uint16_t kept, uint16_t day) {
  if (day == 0) return kept;
  return kept == 0 ? day : std::min(kept, day);
}
uint16_t latest(uint16_t kept, uint16_t day) {
  return std::max(kept, day);
}

int16_t clampDays(int32_t days) {
  return static_cast<int16_t>(std::clamp(days, -32768, 32767));
}

template <class T>
void put(std::vector<uint8_t>& out, size_t at, T value) {
  std::memcpy(out.data() + at, &value, sizeof value);
}

void putText(std::vector<uint8_t>& out, size_t at, const char* text, size_t width) {
  std::memcpy(out.data() + at, text, strnlen(text, width - 1));
}

// Where the fields that activity and resource rows both carry sit.
struct RowPlaces {
  size_t kind, record, series, level, codes, activity, unit, size, name;
};
constexpr RowPlaces kActRowPlaces{kActRowKindAt,  kActRowRecordAt, kActRowSeriesAt,
                                  kActRowLevelAt, kActRowCodesAt,  kActRowActivityAt,
                                  kActRowUnitAt,  kActRowSizeAt,   kActRowNameAt};
constexpr RowPlaces kResRowPlaces{kResRowKindAt,  kResRowRecordAt, kResRowSeriesAt,
                                  kResRowLevelAt, kResRowCodesAt,  kResRowActivityAt,
                                  kResRowUnitAt,  kResRowSizeAt,   kResRowNameAt};

// The row's kind, record, series place, level, codes, texts and name.
void putRowFields(const Row& row, const std::string& name, uint32_t seriesAt, const RowPlaces& at,
                  std::vector<uint8_t>& out) {
  put(out, at.kind, row.kind);
  put(out, at.record, row.record);
  put(out, at.series, seriesAt);
  put(out, at.level, row.level);
  for (int i = 0; i < 3; ++i) putText(out, at.codes + 11 * i, row.codes[i], 11);
  putText(out, at.activity, row.activityCode, 21);
  putText(out, at.unit, row.unit, 7);
  putText(out, at.size, row.size, 41);
  std::memcpy(out.data() + at.name, name.data(), std::min(name.size(), out.size() - at.name - 1));
}

// Half a unit of the last of `decimals` decimals.
double halfUnit(int decimals) {
  static const auto halves = [] {
    std::array<double, 16> h;
    for (int d = 0; d < 16; ++d) h[d] = 0.5 * std::pow(10.0, -d);
    return h;
  }();
  return decimals >= 0 && decimals < 16 ? halves[decimals] : 0.5 * std::pow(10.0, -decimals);
}

// The entries of `parts` added up by day in ascending days: the first entry
// of a day is taken whole, the later ones (in part order) add their
// `valueCount` values to it.
std::vector<SeriesEntry> sumByDay(const std::vector<const std::vector<SeriesEntry>*>& parts,
                                  int valueCount) {
  auto byDay = [](const SeriesEntry& x, const SeriesEntry& y) { return x.day < y.day; };
  std::vector<SeriesEntry> out;
  // One part in ascending days (as every member's series is) has only its
  // equal days to join.
  if (parts.size() == 1 && std::is_sorted(parts[0]->begin(), parts[0]->end(), byDay)) {
    out.reserve(parts[0]->size());
    for (const SeriesEntry& e : *parts[0]) {
      if (out.empty() || out.back().day != e.day) {
        out.push_back(e);
        continue;
      }
      for (int i = 0; i < valueCount; ++i) out.back().value[i] += e.value[i];
    }
    return out;
  }
  // Days are packed dates, ascending as the dates are: a flat array over
  // the days the parts span.
  uint16_t first = 0xFFFF, last = 0;
  for (const auto* p : parts) {
    for (const SeriesEntry& e : *p) {
      first = std::min(first, e.day);
      last = std::max(last, e.day);
    }
  }
  if (first > last) return out;
  std::vector<SeriesEntry> sums(last - first + 1);
  std::vector<uint8_t> taken(sums.size(), 0);
  for (const auto* p : parts) {
    for (const SeriesEntry& e : *p) {
      const size_t at = e.day - first;
      if (!taken[at]) {
        sums[at] = e;
        taken[at] = 1;
        continue;
      }
      for (int i = 0; i < valueCount; ++i) sums[at].value[i] += e.value[i];
    }
  }
  for (size_t at = 0; at < sums.size(); ++at) {
    if (taken[at]) out.push_back(sums[at]);
  }
  return out;
}

// Percentages of `source` against `whole` in place `target`; the entry in
// which the running total reaches the whole (within half a unit of the
// last amount decimal) takes what is left of 100.
void closePercentages(std::vector<SeriesEntry>& entries, int source, int target, double whole,
                      const SummaryDigits& digits) {
  const double half = halfUnit(digits.amountDecimals);
  double running = 0, given = 0;
  bool closed = false;
  for (SeriesEntry& e : entries) {
    if (whole == 0) {
      e.value[target] = 0;
      continue;
    }
    running += e.value[source];
    if (!closed && std::fabs(running - whole) <= half + 1e-9 * std::fabs(whole)) {
      e.value[target] = rounded(100 - given, digits.rateDecimals);
      closed = true;
    } else {
      e.value[target] = rounded(e.value[source] / whole * 100, digits.rateDecimals);
    }
    given += e.value[target];
  }
}

}  // namespace

void RowDates::add(const ActRecord& act) {
  ++members;
  const int cal = act.calendar;
  calendar = calendar < 0 ? cal : (calendar == cal ? calendar : 1);
  if (act.actualFinish == 0) allFinished = false;
  actualFinish = latest(actualFinish, act.actualFinish);
  actualStart = earliest(actualStart, act.actualStart);
  earlyStart = earliest(earlyStart, act.earlyStart);
  lateStart = earliest(lateStart, act.lateStart);
  earlyFinish = latest(earlyFinish, act.earlyFinish);
  lateFinish = latest(lateFinish, act.lateFinish);
  if (act.plannedStart != 0) {
    plannedStart = earliest(plannedStart, act.plannedStart);
    plannedFinish = latest(plannedFinish, act.plannedFinish);
    plannedES = earliest(plannedES, act.plannedES);
    plannedEF = latest(plannedEF, act.plannedEF);
    plannedLS = earliest(plannedLS, act.plannedLS);
    plannedLF = latest(plannedLF, act.plannedLF);
  }
}

void encodeRowHead(const Row& row, uint16_t dataDate, WorkCalendars& c, uint8_t* out) {
  ActRecord r{};
  if (row.single && row.head != nullptr) {
    r = *row.head;
  } else {
    const RowDates& d = row.dates;
    const int cal = d.calendar < 0 ? 1 : d.calendar;
    const bool finished = d.members > 0 && d.allFinished;
    r.actualStart = d.actualStart;
    if (finished) {
      r.actualFinish = d.actualFinish;
      r.earlyStart = r.lateStart = d.actualStart;
      r.earlyFinish = r.lateFinish = d.actualFinish;
    } else {
      r.earlyStart = d.earlyStart;
      r.lateStart = d.lateStart;
      r.earlyFinish = d.earlyFinish;
      r.lateFinish = d.lateFinish;
    }
    r.finish = r.earlyFinish;
    if (r.earlyFinish != 0 && r.lateFinish != 0) {
      r.totalFloat = clampDays(c.offset(cal, r.lateFinish) - c.offset(cal, r.earlyFinish));
    }
    if (!finished && d.actualStart != 0 && dataDate != 0) {
      r.earlyStart = dataDate;
      r.lateStart = c.dayAt(cal, c.offset(cal, dataDate) + r.totalFloat);
    }
    r.start = r.actualStart != 0 ? r.actualStart : r.earlyStart;
    const int32_t duration = workingDays(c, cal, r.start, addDays(r.earlyFinish, 1));
    r.duration = clampDays(duration);
    if (finished) {
      r.remaining = 0;
    } else if (r.actualStart != 0) {
      r.remaining = clampDays(
          std::clamp(duration - workingDays(c, cal, r.actualStart, dataDate), 0, duration));
    } else {
      r.remaining = r.duration;
    }
    r.plannedStart = d.plannedStart;
    r.plannedFinish = d.plannedFinish;
    r.plannedDuration = clampDays(workingDays(c, cal, d.plannedStart, addDays(d.plannedFinish, 1)));
    r.plannedES = d.plannedES;
    r.plannedEF = d.plannedEF;
    r.plannedLS = d.plannedLS;
    r.plannedLF = d.plannedLF;
    r.calendar = static_cast<int16_t>(cal);
  }
  std::memcpy(out, &r, 38);
  const float weights[2] = {row.values.weight[0], row.values.weight[1]};
  std::memcpy(out + 38, weights, sizeof weights);
  std::memcpy(out + 46, row.values.amount, 4 * sizeof(double));
}

void encodeActivityRow(const Row& row, const std::string& name, uint32_t seriesAt,
                       uint16_t dataDate, WorkCalendars& c, std::vector<uint8_t>& out) {
  std::fill(out.begin(), out.end(), 0);
  encodeRowHead(row, dataDate, c, out.data());
  std::memcpy(out.data() + 78, row.values.amount + kPlanQtyD,
              (kAmounts - kPlanQtyD) * sizeof(double));
  std::memcpy(out.data() + 254, row.values.rate, sizeof row.values.rate);
  putRowFields(row, name, seriesAt, kActRowPlaces, out);
}

void encodeResourceRow(const Row& row, const std::string& name, uint32_t seriesAt,
                       std::vector<uint8_t>& out) {
  std::fill(out.begin(), out.end(), 0);
  put(out, 2, clampDays(row.inputs.duration));
  std::memcpy(out.data() + 4, row.inputs.input, sizeof row.inputs.input);
  putRowFields(row, name, seriesAt, kResRowPlaces, out);
  putText(out, kResRowOwnCodeAt, row.ownCode, 11);
}

RowSeries mergeSeries(const std::vector<const RowSeries*>& parts, int valueCount, bool quantities,
                      const Values* amounts, const SummaryDigits& digits) {
  RowSeries merged;
  std::vector<const std::vector<SeriesEntry>*> blocks(parts.size());
  for (int b = 0; b < 3; ++b) {
    for (size_t i = 0; i < parts.size(); ++i) blocks[i] = &parts[i]->block[b];
    std::vector<SeriesEntry>& out = merged.block[b];
    out = sumByDay(blocks, valueCount);
    for (SeriesEntry& e : out) {
      if (!quantities) e.value[0] = 0;
      e.value[0] = rounded(e.value[0], digits.quantityDecimals);
      if (valueCount == 1) continue;
      for (int i : {1, 3, 5}) e.value[i] = rounded(e.value[i], digits.amountDecimals);
      for (int i : {2, 4}) e.value[i] = rounded(e.value[i], digits.rateDecimals);
    }
    if (amounts != nullptr && valueCount == 6) {
      closePercentages(out, 1, 2, amounts->amount[kContract], digits);
      closePercentages(out, 3, 4, amounts->amount[kExec], digits);
    }
  }
  return merged;
}

uint64_t seriesSize(const RowSeries& series, int valueCount) {
  uint64_t bytes = 0;
  for (const std::vector<SeriesEntry>& block : series.block) {
    bytes += block.size() * (2 + 8 * static_cast<uint64_t>(valueCount)) + 2;
  }
  return bytes;
}

void appendSeries(const RowSeries& series, int valueCount, std::vector<uint8_t>& out) {
  size_t at = out.size();
  out.resize(at + seriesSize(series, valueCount));
  for (int b = 0; b < 3; ++b) {
    for (const SeriesEntry& e : series.block[b]) {
      std::memcpy(out.data() + at, &e.day, 2);
      std::memcpy(out.data() + at + 2, e.value, 8 * valueCount);
      at += 2 + 8 * valueCount;
    }
    out[at++] = 0;
    out[at++] = 0;
  }
}

}  // namespace kelvo::summary
