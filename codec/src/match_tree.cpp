#include "match_tree.h"

#include <bit>
#include <cstring>

namespace nub {

namespace {

// The length of the common prefix of the kLookahead-byte strings `a` and `b`
// past their first byte (which is equal: both hang in the same tree), and in
// `less` whether `a` sorts before `b` (false when they are equal).
// Eight bytes are compared at a time, and the order is read from the words
// already loaded rather than from the bytes again: the next step down the
// tree waits on this result, so every load saved here shortens the walk.
inline int common_prefix(const uint8_t* a, const uint8_t* b, bool* less) {
  constexpr int n = MatchTree::kLookahead;
  int i = 1;
  if constexpr (std::endian::native == std::endian::little) {
    for (; i + 8 <= n; i += 8) {
      uint64_t x, y;
      std::memcpy(&x, a + i, 8);
      std::memcpy(&y, b + i, 8);
      if (x != y) {
        // Byte-swapped, the words compare as the strings do.
        *less = __builtin_bswap64(x) < __builtin_bswap64(y);
        return i + (std::countr_zero(x ^ y) >> 3);
      }
    }
  }
  for (; i < n; ++i) {
    if (a[i] != b[i]) {
      *less = a[i] < b[i];
      return i;
    }
  }
  *less = false;
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
  link<true>(r);
}

void MatchTree::add(int r) {
  link<false>(r);
}

template <bool kFindMatch>
void MatchTree::link(int r) {
  const uint8_t* key = &ring_[r];
  int p = kRing + 1 + key[0];
  bool less = false;  // the first step from a tree's root goes right
  right_(r) = left_(r) = kNil;
  // The best match is kept in locals during the walk and published at the
  // end: the members would be reloaded and stored at every node.
  int best_length = 0;
  int best_distance = match_distance;
  auto publish = [&] {
    if constexpr (kFindMatch) {
      match_length = best_length;
      match_distance = best_distance;
    }
  };
  for (;;) {
    // Both sons are read before the comparison that picks one is done, so
    // that the walk waits on the string comparison only, not on a further
    // load after it.
    const unsigned right = links_[p].child[0];
    const unsigned left = links_[p].child[1];
    const unsigned next = less ? left : right;
    if (next == kNil) {
      links_[p].child[less] = static_cast<uint16_t>(r);
      parent_(r) = static_cast<uint16_t>(p);
      publish();
      return;
    }
    p = static_cast<int>(next);
    const int i = common_prefix(key, &ring_[p], &less);
    if constexpr (!kFindMatch) {
      if (i >= kLookahead) break;
    } else if (i > kThreshold) {
      const int distance = ((r - p) & (kRing - 1)) - 1;
      if (i > best_length) {
        best_distance = distance;
        best_length = i;
        if (best_length >= kLookahead) break;
      } else if (i == best_length && distance < best_distance) {
        best_distance = distance;
      }
    }
  }
  publish();
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
