#include "row_key_index.h"

#include <algorithm>
#include <cstring>

namespace kelvo::summary {

void RowKeyIndex::add(std::string_view key, int32_t row) {
  if (2 * (count_ + 1) > slots_.size()) {
    std::vector<Slot> old(std::max<size_t>(64, 2 * slots_.size()));
    old.swap(slots_);
    mask_ = slots_.size() - 1;
    for (const Slot& s : old) {
      if (s.row >= 0) place(s.hash, s.row);
    }
  }
  place(hashOf(key), row);
  ++count_;
}

void RowKeyIndex::place(uint32_t hash, int32_t row) {
  size_t at = hash & mask_;
  while (slots_[at].row >= 0) at = (at + 1) & mask_;
  slots_[at] = Slot{hash, row};
}

namespace {

// The first 16 bytes of a key as two big-endian words (short keys padded
// with 0, which sorts them before any longer key they begin), so that most
// comparisons need not reach the keys themselves.
struct Sortable {
  uint64_t high = 0, low = 0;
  int32_t index = 0;
};

uint64_t bigEndianWord(const std::string& key, size_t from) {
  unsigned char bytes[8] = {};
  if (key.size() > from)
    std::memcpy(bytes, key.data() + from, std::min<size_t>(8, key.size() - from));
  uint64_t word = 0;
  for (unsigned char b : bytes) word = word << 8 | b;
  return word;
}

}  // namespace

std::vector<int32_t> keyOrder(const std::vector<const std::string*>& keys) {
  std::vector<Sortable> items(keys.size());
  for (size_t i = 0; i < keys.size(); ++i) {
    items[i] = {bigEndianWord(*keys[i], 0), bigEndianWord(*keys[i], 8), static_cast<int32_t>(i)};
  }
  std::sort(items.begin(), items.end(), [&](const Sortable& a, const Sortable& b) {
    if (a.high != b.high) return a.high < b.high;
    if (a.low != b.low) return a.low < b.low;
    const int c = keys[a.index]->compare(*keys[b.index]);
    return c != 0 ? c < 0 : a.index < b.index;
  });
  std::vector<int32_t> order(items.size());
  for (size_t i = 0; i < items.size(); ++i) order[i] = items[i].index;
  return order;
}

}  // namespace kelvo::summary
