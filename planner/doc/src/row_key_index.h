// The rows of a summary by their keys: a hash index from a key to the row
// that carries it, for the million lookups of a large build, and the rows in
// key order once they are all made.
#ifndef KELVO_DOC_ROW_KEY_INDEX_H_
#define KELVO_DOC_ROW_KEY_INDEX_H_

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvo::summary {

class RowKeyIndex {
 public:
  // The row of `key`, or -1; keyOf(row) gives the key a row was added with.
  template <class KeyOf>
  int32_t find(std::string_view key, KeyOf keyOf) const {
    if (slots_.empty()) return -1;
    const uint32_t hash = hashOf(key);
    for (size_t at = hash & mask_;; at = (at + 1) & mask_) {
      const Slot& s = slots_[at];
      if (s.row < 0) return -1;
      if (s.hash == hash && keyOf(s.row) == key) return s.row;
    }
  }

  // Files `row` under `key`, which no row has yet.
  void add(std::string_view key, int32_t row);

  size_t size() const { return count_; }

 private:
  struct Slot {
    uint32_t hash = 0;
    int32_t row = -1;
  };
  static uint32_t hashOf(std::string_view key) {
    return static_cast<uint32_t>(std::hash<std::string_view>{}(key));
  }
  void place(uint32_t hash, int32_t row);

  std::vector<Slot> slots_;
  size_t mask_ = 0;
  size_t count_ = 0;
};

// The indexes of `keys` in ascending byte order of the keys (as
// std::string compares them), equal keys in index order.
std::vector<int32_t> keyOrder(const std::vector<const std::string*>& keys);

}  // namespace kelvo::summary

#endif  // KELVO_DOC_ROW_KEY_INDEX_H_
