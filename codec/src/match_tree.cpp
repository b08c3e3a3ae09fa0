#include "match_tree.h"

#include <cstring>

namespace nub {

void MatchTree::reset() {
  std::memset(ring_, 0, sizeof ring_);
  for (int i = kRing + 1; i <= kRing + 256; ++i) right_[i] = kNil;
  for (int i = 0; i < kRing; ++i) parent_[i] = kNil;
  match_length = 0;
  match_distance = 0;
}

void MatchTree::insert(int r) {
  const uint8_t* key = &ring_[r];
  int p = kRing + 1 + key[0];
  int cmp = 1;
  right_[r] = left_[r] = kNil;
  match_length = 0;
  for (;;) {
    if (cmp >= 0) {
      if (right_[p] == kNil) {
        right_[p] = r;
        parent_[r] = p;
        return;
      }
      p = right_[p];
    } else {
      if (left_[p] == kNil) {
        left_[p] = r;
        parent_[r] = p;
        return;
      }
      p = left_[p];
    }
    int i = 1;
    for (; i < kLookahead; ++i) {
      cmp = key[i] - ring_[p + i];
      if (cmp != 0) break;
    }
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
  parent_[r] = parent_[p];
  left_[r] = left_[p];
  right_[r] = right_[p];
  parent_[left_[p]] = r;
  parent_[right_[p]] = r;
  if (right_[parent_[p]] == p) {
    right_[parent_[p]] = r;
  } else {
    left_[parent_[p]] = r;
  }
  parent_[p] = kNil;
}

void MatchTree::remove(int p) {
  if (parent_[p] == kNil) return;
  int q;
  if (right_[p] == kNil) {
    q = left_[p];
  } else if (left_[p] == kNil) {
    q = right_[p];
  } else {
    q = left_[p];
    if (right_[q] != kNil) {
      do {
        q = right_[q];
      } while (right_[q] != kNil);
      right_[parent_[q]] = left_[q];
      parent_[left_[q]] = parent_[q];
      left_[q] = left_[p];
      parent_[left_[p]] = q;
    }
    right_[q] = right_[p];
    parent_[right_[p]] = q;
  }
  parent_[q] = parent_[p];
  if (right_[parent_[p]] == p) {
    right_[parent_[p]] = q;
  } else {
    left_[parent_[p]] = q;
  }
  parent_[p] = kNil;
}

}  // namespace nub
