#include "kelvo/value_sheet.h"

#include <algorithm>
#include <cstring>
#include <numeric>
#include <set>

#include "kelvo/option_slots.h"
#include "kelvo/period_band.h"
#include "xjor/option.h"
#include "xjor/packed_date.h"

namespace kelvo {
namespace {

bool validNumber(int n) {
  return n >= 0 && n < kValueSheetCount;
}

// The entries image: a 32-bit count, then the entries. A block written in
// place over a longer one keeps the longer size, so the count decides.
std::vector<PeriodValue> readEntries(OptionFileRef* opt, int item) {
  std::vector<PeriodValue> out;
  const int32_t size = xOption(opt, XOPT_SIZE, item, nullptr, 0);
  if (size < 4) return out;
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  if (xOption(opt, XOPT_READ, item, bytes.data(), uint32_t(size)) != 1) return out;
  uint32_t count = 0;
  std::memcpy(&count, bytes.data(), 4);
  if (count > uint32_t(size - 4) / sizeof(ValueEntryRecord)) return out;
  std::set<uint16_t> seen;
  for (uint32_t i = 0; i < count; ++i) {
    ValueEntryRecord r;
    std::memcpy(&r, bytes.data() + 4 + i * sizeof r, sizeof r);
    if (isValidDay(r.day) && seen.insert(r.day).second) out.push_back({r.day, r.value});
  }
  return out;
}

}  // namespace

bool isValidDay(uint16_t day) {
  const int m = xjor::packedMonth(day), d = xjor::packedDay(day);
  return day != 0 && m >= 1 && m <= 12 && d >= 1 &&
         d <= xjor::monthLength(xjor::packedYear(day), m);
}

bool ValueSheet::load(OptionFileRef* opt, int n) {
  if (!validNumber(n)) return false;
  number_ = n;
  decimals = 0;
  title.clear();
  entries_.clear();
  ValueSheetHeader header;
  if (xOption(opt, XOPT_SIZE, kOptValueHeader + n, nullptr, 0) != int32_t(sizeof header) ||
      xOption(opt, XOPT_READ, kOptValueHeader + n, &header, sizeof header) != 1)
    return true;
  decimals = std::clamp<int>(header.decimals, 0, 9);
  title.assign(header.title, strnlen(header.title, sizeof header.title));
  if (header.hasData) entries_ = readEntries(opt, kOptValueEntries + number_);
  return true;
}

bool ValueSheet::store(OptionFileRef* opt) const {
  if (!validNumber(number_)) return false;
  ValueSheetHeader header;
  std::memset(&header, 0, sizeof header);
  header.decimals = int16_t(decimals);
  header.hasData = entries_.empty() ? 0 : 1;
  std::memcpy(header.title, title.data(), std::min(title.size(), sizeof header.title - 1));
  if (!xOption(opt, XOPT_WRITE, kOptValueHeader + number_, &header, sizeof header)) return false;
  const int item = kOptValueEntries + number_;
  if (entries_.empty()) {
    xOption(opt, XOPT_DELETE, item, nullptr, 0);
    return true;
  }
  std::vector<uint8_t> bytes(4 + entries_.size() * sizeof(ValueEntryRecord));
  const uint32_t count = uint32_t(entries_.size());
  std::memcpy(bytes.data(), &count, 4);
  for (size_t i = 0; i < entries_.size(); ++i) {
    const ValueEntryRecord r{entries_[i].day, entries_[i].value};
    std::memcpy(bytes.data() + 4 + i * sizeof r, &r, sizeof r);
  }
  return xOption(opt, XOPT_WRITE, item, bytes.data(), uint32_t(bytes.size())) != 0;
}

int ValueSheet::commit(int row, uint16_t day, double value) {
  if (!isValidDay(day)) return kBadDate;
  const int other = find(day);
  if (other >= 0 && other != row) return kDuplicate;
  if (row < 0 || size_t(row) >= entries_.size())
    entries_.push_back({day, value});
  else
    entries_[size_t(row)] = {day, value};
  return 0;
}

void ValueSheet::removeRows(std::vector<int> rows) {
  std::sort(rows.begin(), rows.end(), std::greater<int>());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  for (int r : rows)
    if (r >= 0 && size_t(r) < entries_.size()) entries_.erase(entries_.begin() + r);
}

int ValueSheet::find(uint16_t day) const {
  for (size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].day == day) return int(i);
  return -1;
}

int checkGenerateRange(uint16_t start, uint16_t finish) {
  if (!isValidDay(start)) return 1;
  if (!isValidDay(finish) || finish < start) return 2;
  return 0;
}

int ValueSheet::generate(uint16_t start, uint16_t finish, DayStep step, int startDayOfMonth,
                         int startDayOfWeek) {
  if (checkGenerateRange(start, finish) != 0) return 0;
  if (startDayOfMonth < 1 || startDayOfMonth > 28) startDayOfMonth = 1;
  if (startDayOfWeek < 0 || startDayOfWeek > 6) startDayOfWeek = 0;
  std::vector<uint16_t> days;
  const int32_t last = xjor::dayNumber(finish);
  if (step == DayStep::Month) {
    int y = xjor::packedYear(start), m = xjor::packedMonth(start);
    if (xjor::packDate(y, m, startDayOfMonth) < start && ++m > 12) m = 1, ++y;
    for (; y <= 2107; (++m > 12) ? (m = 1, ++y) : 0) {
      const uint16_t d = xjor::packDate(y, m, startDayOfMonth);
      if (d > finish) break;
      days.push_back(d);
    }
  } else {
    int32_t n = xjor::dayNumber(start);
    if (step == DayStep::Week) {
      const int weekday = (n + 2) % 7;  // 1980-01-01 was a Tuesday (0 = Sunday)
      n += (startDayOfWeek - weekday + 7) % 7;
    }
    for (; n <= last; n += step == DayStep::Week ? 7 : 1)
      days.push_back(xjor::dateFromDayNumber(n));
  }
  int added = 0;
  for (uint16_t d : days)
    if (find(d) < 0) {
      entries_.push_back({d, 0});
      ++added;
    }
  return added;
}

std::vector<PeriodValue> entriesFromSeries(const std::vector<PeriodValue>& entries,
                                           const RowSeries& series, bool resource,
                                           const ValueSheetLink& link) {
  std::vector<PeriodValue> out;
  if (!link.rebuild) {
    out = entries;
    for (PeriodValue& e : out) e.value = 0;
  }
  ValueItem item{};
  item.item = resource ? 0 : link.item;
  item.series = link.series;
  for (const PeriodValue& p : periodValues(series, item, resource)) {
    auto same =
        std::find_if(out.begin(), out.end(), [&](const PeriodValue& e) { return e.day == p.day; });
    if (same != out.end()) {
      same->value = p.value;
      continue;
    }
    auto later =
        std::find_if(out.begin(), out.end(), [&](const PeriodValue& e) { return e.day > p.day; });
    out.insert(later, p);
  }
  if (link.cumulative) {
    std::vector<size_t> order(out.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return out[a].day < out[b].day; });
    double total = 0;
    for (size_t i : order) out[i].value = total += out[i].value;
  }
  return out;
}

bool readValueLink(OptionFileRef* opt, int n, ValueSheetLink* link) {
  if (!validNumber(n) ||
      xOption(opt, XOPT_SIZE, kOptValueLink + n, nullptr, 0) != int32_t(sizeof *link))
    return false;
  return xOption(opt, XOPT_READ, kOptValueLink + n, link, sizeof *link) == 1;
}

bool writeValueLink(OptionFileRef* opt, int n, const ValueSheetLink& link) {
  return validNumber(n) && xOption(opt, XOPT_WRITE, kOptValueLink + n,
                                   const_cast<ValueSheetLink*>(&link), sizeof link) != 0;
}

bool loadSheetSeries(OptionFileRef* opt, int n, std::vector<PeriodValue>* values, int* decimals,
                     std::string* title) {
  values->clear();
  ValueSheet sheet;
  if (!sheet.load(opt, n)) return false;
  *decimals = sheet.decimals;
  *title = sheet.title;
  *values = seriesFromEntries(sheet.entries());
  return !values->empty();
}

}  // namespace kelvo
