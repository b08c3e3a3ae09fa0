// The binary search shared by index tables and memory tables.
#ifndef XJOR_KEY_SEARCH_H_
#define XJOR_KEY_SEARCH_H_

#include <stdint.h>

#include "xjor/index.h"

namespace xjor {

// Searches records 0..count-1 (recordAt(i) gives record i) for key. Returns
// true with *position at the first match the search meets, else false with
// *position where key would be inserted to keep the order.
template <typename RecordAt>
bool searchKey(uint32_t count, const void* key, const KeyDesc* desc, RecordAt recordAt,
               uint32_t* position) {
  int64_t lo = 0, hi = static_cast<int64_t>(count) - 1;
  while (lo <= hi) {
    int64_t mid = (lo + hi) / 2;
    int32_t r = xCompareKey(key, recordAt(static_cast<uint32_t>(mid)), desc);
    if (r == 0) {
      *position = static_cast<uint32_t>(mid);
      return true;
    }
    if (r > 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
    }
  }
  *position = static_cast<uint32_t>(lo);
  return false;
}

}  // namespace xjor

#endif  // XJOR_KEY_SEARCH_H_
