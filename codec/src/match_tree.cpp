#include "match_tree.h"

#include <bit>
#include <cstring>

namespace nub {

namespace {

// The length of the common prefix of the kLookahead-byte strings `a` and `b`
// past their first byte (which is equal: both hang in the same tree), and in
// `cmp` the difference of the first bytes that differ (0 when none do).
// Eight bytes are compared at a time; this comparison is where the encoder
// spends most of its time.
inline int common_prefix(const uint8_t* a, const uint8_t* b, int* cmp) {
  constexpr int n = MatchTree::kLookahead;
  int i = 1;
  if constexpr (std::endian::native == std::endian::little) {
    for (; i + 8 <= n; i += 8) {
      uint64_t x, y;
      std::memcpy(&x, a + i, 8);
      std::memcpy(&y, b + i, 8);
      if (x != y) {
        i += std::countr_zero(x ^ y) >> 3;
        *cmp = a[i] - b[i];
        return i;
      }
    }
  }
  for (; i < n; ++i) {
    if (a[i] != b[i]) {
      *cmp = a[i] - b[i];
      return i;
    }
  }
  *cmp = 0;
  return i;
}

}  // namespace

void MatchTree::reset() {
  std::memset(ring_, 0, sizeof ring_);
  for (int i = kRing + 1; i <= kRing + 256; ++i) right_(i) = kNil;
  for (int i = 0; i < kRing; ++i) parent_(i) = kNil;
  match_length = 0;
  match_distance = 0;
}

void MatchTree::insert(int r) {
  const uint8_t* key = &ring_[r];
  int p = kRing + 1 + key[0];
  int cmp = 1;
  right_(r) = left_(r) = kNil;
  match_length = 0;
  for (;;) {
    uint16_t& next = links_[p].child[cmp < 0];
    if (next == kNil) {
      next = static_cast<uint16_t>(r);
      parent_(r) = static_cast<uint16_t>(p);
      return;
    }
    p = next;
    const int i = common_prefix(key, &ring_[p], &cmp);
    if (i > kThreshold) {
      const int distance = ((r - p) & (kRing - 1)) - 1;
      if (i > match_length) {
        match_distance = distance;
        match_length = i;
        if (match_length >= kLookahead) break;
      } else if (i == match_length && distance < match_distance) {
        match_distance = distance;
      }
    }
  }
  // Full match: r takes p's place in the tree.
  parent_(r) = parent_(p);
  left_(r) = left_(p);
  right_(r) = right_(p);
  parent_(left_(p)) = r;
  parent_(right_(p)) = r;
  if (right_(parent_(p)) == p) {
    right_(parent_(p)) = r;
  } else {
    left_(parent_(p)) = r;
  }
  parent_(p) = kNil;
}

void MatchTree::remove(int p) {
  if (parent_(p) == kNil) return;
  int q;
  if (right_(p) == kNil) {
    q = left_(p);
  } else if (left_(p) == kNil) {
    q = right_(p);
  } else {
    q = left_(p);
    if (right_(q) != kNil) {
      do {
        q = right_(q);
      } while (right_(q) != kNil);
      right_(parent_(q)) = left_(q);
      parent_(left_(q)) = parent_(q);
      left_(q) = left_(p);
      parent_(left_(p)) = q;
    }
    right_(q) = right_(p);
    parent_(right_(p)) = q;
  }
  parent_(q) = parent_(p);
  if (right_(parent_(p)) == p) {
    right_(parent_(p)) = q;
  } else {
    left_(parent_(p)) = q;
  }
  parent_(p) = kNil;
}

}  // namespace nub
