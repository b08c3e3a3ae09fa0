#include "adaptive_huffman.h"

#include <cstring>

namespace nub {

void AdaptiveHuffman::reset() {
  for (int i = 0; i < kSymbols; ++i) {
    freq_[i] = 1;
    son_[i] = i + kNodes;
    parent_[i + kNodes] = i;
  }
  for (int i = 0, j = kSymbols; j <= kRoot; i += 2, ++j) {
    freq_[j] = freq_[i] + freq_[i + 1];
    son_[j] = i;
    parent_[i] = parent_[i + 1] = j;
  }
  freq_[kNodes] = 0xFFFF;
  parent_[kRoot] = 0;
}

int AdaptiveHuffman::encode(int symbol, BitWriter& out) {
  // Walk from the leaf up; an odd node is the right (1) son. The tree keeps
  // the sibling property with the root's frequency below 0x8000, so no code
  // can be longer than about 23 bits and 64 bits hold the whole path.
  uint64_t code = 0;
  int length = 0;
  for (int node = parent_[symbol + kNodes]; node != kRoot; node = parent_[node]) {
    code |= static_cast<uint64_t>(node & 1) << length;
    ++length;
  }
  while (length > 32) {
    // Unreachable by the bound above; kept so that a longer path still comes
    // out whole instead of being cut.
    out.put(static_cast<uint32_t>(code >> (length - 16)), 16);
    length -= 16;
  }
  out.put(static_cast<uint32_t>(code), length);
  update(symbol);
  return length;
}

int AdaptiveHuffman::decode(BitReader& in) {
  int node = son_[kRoot];
  while (node < kNodes) node = son_[node + in.bit()];
  const int symbol = node - kNodes;
  update(symbol);
  return symbol;
}

void AdaptiveHuffman::update(int symbol) {
  if (freq_[kRoot] == kMaxFreq) rebuild();
  int c = parent_[symbol + kNodes];
  do {
    const unsigned k = ++freq_[c];
    // When the order is disturbed, swap c with the last node of smaller
    // frequency, carrying the sons along.
    int l = c + 1;
    if (k > freq_[l]) {
      while (k > freq_[++l]) {
      }
      --l;
      freq_[c] = freq_[l];
      freq_[l] = k;

      const int i = son_[c];
      parent_[i] = l;
      if (i < kNodes) parent_[i + 1] = l;

      const int j = son_[l];
      son_[l] = i;

      parent_[j] = c;
      if (j < kNodes) parent_[j + 1] = c;
      son_[c] = j;

      c = l;
    }
  } while ((c = parent_[c]) != 0);
}

void AdaptiveHuffman::rebuild() {
  // Gather the leaves at the front with halved frequencies.
  int j = 0;
  for (int i = 0; i < kNodes; ++i) {
    if (son_[i] >= kNodes) {
      freq_[j] = (freq_[i] + 1) / 2;
      son_[j] = son_[i];
      ++j;
    }
  }
  // Join neighbours pairwise, inserting each sum at its place in the order.
  for (int i = 0, n = kSymbols; n < kNodes; i += 2, ++n) {
    const unsigned f = freq_[i] + freq_[i + 1];
    int k = n - 1;
    while (f < freq_[k]) --k;
    ++k;
    const size_t moved = static_cast<size_t>(n - k);
    std::memmove(&freq_[k + 1], &freq_[k], moved * sizeof freq_[0]);
    freq_[k] = f;
    std::memmove(&son_[k + 1], &son_[k], moved * sizeof son_[0]);
    son_[k] = i;
  }
  for (int i = 0; i < kNodes; ++i) {
    const int k = son_[i];
    if (k >= kNodes) {
      parent_[k] = i;
    } else {
      parent_[k] = parent_[k + 1] = i;
    }
  }
}

}  // namespace nub
