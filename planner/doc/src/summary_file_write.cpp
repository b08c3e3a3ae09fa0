// The final pass of a summary build: rounded sums and percentages, merged
// period series, names as shown, the total row, and the summary file with
// its series, descriptors and table header; and reading a row's series back.
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstring>

#include "slot_file_writer.h"
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

void Builder::shownName(const Row& row, std::vector<int>& number, std::string& name) {
  const int level = &row == &total_ ? 1 : std::max<int>(row.level, 1);
  if (static_cast<int>(number.size()) <= level) number.resize(level + 1, 0);
  name.clear();
  if (reg_.flags & kSummaryIndentNames) name.assign(2 * (level - 1), ' ');
  if (reg_.flags & kSummaryNumberNames) {
    ++number[level];
    std::fill(number.begin() + level + 1, number.end(), 0);
    char digits[16];
    for (int j = 1; j <= level; ++j) {
      const auto r = std::to_chars(digits, digits + sizeof digits, number[j]);
      name.append(digits, r.ptr);
      name += '.';
    }
    name += ' ';
  }
  name += row.name;
  std::vector<char>& cut = nameBuffer_;
  cut.assign(nameWidth_ + 1, 0);
  xCopyChars(cut.data(), name.c_str(), nameWidth_);
  name.assign(cut.data());
}

void Builder::discard(int16_t* current) {
  std::string path(db_->space.path, db_->space.stemLength);
  path += db_->summary.name;
  xCloseSumFile(db_, current);
  unlink(path.c_str());
}

int Builder::write(int16_t* current) {
  std::vector<const Row*> order;
  {
    std::vector<const std::string*> keys;
    keys.reserve(rows_.size());
    for (const Row& row : rows_) keys.push_back(&row.key);
    order.reserve(rows_.size() + 1);
    for (int32_t at : keyOrder(keys)) order.push_back(&rows_[at]);
    order.push_back(&total_);
  }
  const uint16_t length =
      static_cast<uint16_t>(nameWidth_ + (resource_ ? kResRowFixed : kActRowFixed));
  const uint64_t base = static_cast<uint64_t>(order.size()) * (length + 4u);
  const int valueCount = resource_ ? 1 : 6;
  // Where each row's series goes: after the rows, one after another.
  std::vector<uint32_t> positions(order.size(), 0);
  uint64_t seriesBytes = 0;
  if (settings_.series) {
    for (size_t i = 0; i < order.size(); ++i) {
      if (order[i]->series.empty()) continue;
      positions[i] = static_cast<uint32_t>(base + seriesBytes);
      seriesBytes += seriesSize(order[i]->series, valueCount);
    }
  }
  if (base + seriesBytes > 0x7FFFFFFFu) return kSummaryFileFailed;
  if (xCreateSumFile(db_, current, reg_.number, length, static_cast<int16_t>(fields_.size()),
                     fields_.data()) != 1) {
    return kSummaryFileFailed;
  }
  TableHandle& tb = db_->summary.table.tb;
  bool ok = tb.slotCount == 0;
  SlotFileWriter rows(tb);
  PieceWriter series(tb.handle, base);
  std::vector<uint8_t> bytes(length);
  std::vector<uint8_t> entries;
  std::vector<int> number(2, 0);
  std::string name;
  const int32_t total = workTotal_ + static_cast<int32_t>(order.size());
  for (size_t i = 0; ok && i < order.size(); ++i) {
    shownName(*order[i], number, name);
    if (resource_) {
      encodeResourceRow(*order[i], name, positions[i], bytes);
    } else {
      encodeActivityRow(*order[i], name, positions[i], settings_.dataDate, calendars_, bytes);
    }
    rows.add(bytes.data());
    if (positions[i] != 0) {
      entries.clear();
      appendSeries(order[i]->series, valueCount, entries);
      series.write(entries.data(), entries.size());
    }
    if (progress_ && i % kProgressStep == 0) {
      progress_(workTotal_ + static_cast<int32_t>(i), total);
    }
  }
  ok = ok && rows.finish() && series.finish() && tb.slotCount == order.size();
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
