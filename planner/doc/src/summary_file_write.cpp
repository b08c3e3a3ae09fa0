// The final pass of a summary build: rounded sums and percentages, merged
// period series, names as shown, the total row, and the summary file with
// its series, descriptors and table header; and reading a row's series back.
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "summary_builder.h"
#include "xjor/text.h"

namespace kelvo::summary {

void Builder::finishRow(Row& row) {
  const SummaryDigits& d = settings_.digits;
  if (resource_) {
    for (int i = 0; i < kInputs; ++i) {
      row.inputs.input[i] = row.quantities ? rounded(row.inputs.input[i], d.quantityDecimals) : 0;
    }
  } else {
    for (int i = 0; i < kAmounts; ++i) {
      const bool quantity = i == kQty || (i >= kPlanQtyD && i <= kActQtyP);
      row.values.amount[i] =
          rounded(row.values.amount[i], quantity ? d.quantityDecimals : d.amountDecimals);
    }
    for (float& w : row.values.weight) {
      w = static_cast<float>(rounded(w, d.rateDecimals));
    }
    if (!row.quantities) clearQuantities(row.values);
    deriveRates(row.values, d);
  }
  if (settings_.series) {
    std::vector<const RowSeries*> parts;
    parts.reserve(row.members.size());
    for (int32_t m : row.members) parts.push_back(&memberSeries_[m]);
    const Values* amounts = resource_ || settings_.weights ? nullptr : &row.values;
    row.series = mergeSeries(parts, resource_ ? 1 : 6, row.quantities, amounts, d);
  }
}

void Builder::finishRows() {
  total_.quantities = false;
  total_.name = cp949(kTotalRowName);
  for (Row& row : rows_) finishRow(row);
  finishRow(total_);
  total_.level = 0;
}

std::vector<std::string> Builder::shownNames(const std::vector<const Row*>& order) const {
  std::vector<std::string> names;
  std::vector<int> number(2, 0);
  for (const Row* row : order) {
    const int level = row == &total_ ? 1 : std::max<int>(row->level, 1);
    if (static_cast<int>(number.size()) <= level) number.resize(level + 1, 0);
    std::string prefix;
    if (reg_.flags & kSummaryIndentNames) prefix.assign(2 * (level - 1), ' ');
    if (reg_.flags & kSummaryNumberNames) {
      ++number[level];
      std::fill(number.begin() + level + 1, number.end(), 0);
      for (int j = 1; j <= level; ++j) prefix += std::to_string(number[j]) + ".";
      prefix += ' ';
    }
    const std::string full = prefix + row->name;
    std::vector<char> cut(nameWidth_ + 1, 0);
    xCopyChars(cut.data(), full.c_str(), nameWidth_);
    names.emplace_back(cut.data());
  }
  return names;
}

void Builder::discard(int16_t* current) {
  std::string path(db_->space.path, db_->space.stemLength);
  path += db_->summary.name;
  xCloseSumFile(db_, current);
  unlink(path.c_str());
}

int Builder::write(int16_t* current) {
  std::vector<const Row*> order;
  order.reserve(rows_.size() + 1);
  for (const auto& [key, at] : byKey_) order.push_back(&rows_[at]);
  order.push_back(&total_);
  const std::vector<std::string> names = shownNames(order);
  const uint16_t length =
      static_cast<uint16_t>(nameWidth_ + (resource_ ? kResRowFixed : kActRowFixed));
  const uint64_t base = static_cast<uint64_t>(order.size()) * (length + 4u);
  std::vector<uint8_t> series;
  std::vector<uint32_t> positions(order.size(), 0);
  if (settings_.series) {
    for (size_t i = 0; i < order.size(); ++i) {
      if (order[i]->series.empty()) continue;
      positions[i] = static_cast<uint32_t>(base + series.size());
      appendSeries(order[i]->series, resource_ ? 1 : 6, series);
    }
  }
  if (base + series.size() > 0x7FFFFFFFu) return kSummaryFileFailed;
  if (xCreateSumFile(db_, current, reg_.number, length, static_cast<int16_t>(fields_.size()),
                     fields_.data()) != 1) {
    return kSummaryFileFailed;
  }
  TableHandle& tb = db_->summary.table.tb;
  std::vector<uint8_t> bytes(length);
  const int32_t total = workTotal_ + static_cast<int32_t>(order.size());
  for (size_t i = 0; i < order.size(); ++i) {
    if (resource_) {
      encodeResourceRow(*order[i], names[i], positions[i], bytes);
    } else {
      encodeActivityRow(*order[i], names[i], positions[i], settings_.dataDate, calendars_, bytes);
    }
    tb.current = -1;
    if (xAddRec(&tb, bytes.data()) != 1) {
      discard(current);
      return kSummaryFileFailed;
    }
    if (progress_ && i % kProgressStep == 0) {
      progress_(workTotal_ + static_cast<int32_t>(i), total);
    }
  }
  tb.current = -1;
  bool ok = tb.slotCount == order.size();
  for (size_t done = 0; ok && done < series.size();) {
    const ssize_t n = pwrite(tb.handle, series.data() + done, series.size() - done,
                             static_cast<off_t>(base + done));
    ok = n > 0;
    if (ok) done += static_cast<size_t>(n);
  }
  if (!ok || xFinishSumFile(db_) != 1) {
    discard(current);
    return kSummaryFileFailed;
  }
  if (progress_) progress_(total, total);
  return kSummaryDone;
}

}  // namespace kelvo::summary

namespace kelvo {

bool readRowSeries(ProjectDb* db, uint32_t position, bool resource, RowSeries& series) {
  series = RowSeries{};
  const TableHandle& tb = db->summary.table.tb;
  if (tb.handle == -1 || position == 0) return false;
  const uint64_t start = static_cast<uint64_t>(tb.slotCount) * (tb.recordSize + 4u);
  if (position < start) return false;
  const int valueCount = resource ? 1 : 6;
  const size_t entrySize = 2 + 8 * valueCount;
  off_t at = position;
  for (int b = 0; b < 3; ++b) {
    for (int n = 0;; ++n) {
      uint8_t bytes[2 + 8 * 6];
      if (pread(tb.handle, bytes, 2, at) != 2) return false;
      at += 2;
      uint16_t day;
      std::memcpy(&day, bytes, 2);
      if (day == 0) break;
      if (n > 1000000 ||
          pread(tb.handle, bytes + 2, entrySize - 2, at) != static_cast<ssize_t>(entrySize - 2)) {
        return false;
      }
      at += static_cast<off_t>(entrySize - 2);
      SeriesEntry e;
      e.day = day;
      std::memcpy(e.value, bytes + 2, 8 * valueCount);
      series.block[b].push_back(e);
    }
  }
  return true;
}

}  // namespace kelvo
