// The adaptive Huffman model of LZHUF: 314 symbols (bytes 0-255, then match
// lengths 3-60), a tree of 627 nodes kept in order of frequency, updated after
// every symbol and rebuilt with halved frequencies when the root reaches
// 0x8000.
#ifndef CODEC_ADAPTIVE_HUFFMAN_H_
#define CODEC_ADAPTIVE_HUFFMAN_H_

#include <cstdint>

#include "bit_io.h"

namespace nub {

class AdaptiveHuffman {
 public:
  static constexpr int kSymbols = 314;
  static constexpr int kNodes = 2 * kSymbols - 1;  // 627
  static constexpr int kRoot = kNodes - 1;         // 626
  static constexpr unsigned kMaxFreq = 0x8000;

  AdaptiveHuffman() { reset(); }

  // Every symbol at frequency 1, the tree built by pairing neighbours.
  void reset();

  // Sends the current code of `symbol` and updates the model. Returns the
  // code's length in bits.
  int encode(int symbol, BitWriter& out);

  // Reads one code, updates the model and returns its symbol.
  int decode(BitReader& in);

 private:
  void update(int symbol);
  void rebuild();

  // Nodes 0..kNodes-1 in non-decreasing frequency; freq_[kNodes] is a sentinel.
  unsigned freq_[kNodes + 1];
  // parent_[node] for nodes, parent_[kNodes + symbol] for the leaf of a symbol.
  int parent_[kNodes + kSymbols];
  // son_[node]: the left son (the right one is son_[node] + 1), or kNodes +
  // symbol for a leaf.
  int son_[kNodes];
};

}  // namespace nub

#endif  // CODEC_ADAPTIVE_HUFFMAN_H_
