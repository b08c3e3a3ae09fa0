// The LZSS ring buffer with its binary search trees of strings, one tree per
// first byte, used by the encoder to find the longest earlier match.
#ifndef CODEC_MATCH_TREE_H_
#define CODEC_MATCH_TREE_H_

#include <cstdint>

namespace nub {

class MatchTree {
 public:
  static constexpr int kRing = 4096;     // N
  static constexpr int kLookahead = 60;  // F
  static constexpr int kThreshold = 2;   // longest match still sent as literals
  static constexpr int kNil = kRing;     // "no node"

  // Empty trees; the ring all zero bytes.
  void reset();

  // The ring with its mirror: ring[kRing .. kRing + kLookahead - 2] repeats
  // ring[0 .. kLookahead - 2] so that strings can be compared without
  // wrapping.
  uint8_t* ring() { return ring_; }

  // Puts byte `c` at ring position `pos`, keeping the mirror in step.
  void store(int pos, uint8_t c) {
    ring_[pos] = c;
    if (pos < kLookahead - 1) ring_[pos + kRing] = c;
  }

  // Inserts the string at `r` and records the longest match against the
  // strings already in the tree (match_length, match_distance). A string
  // equal in all kLookahead bytes replaces the older node.
  void insert(int r);

  // Inserts the string at `r` as insert() does, leaving match_length and
  // match_distance alone: for strings inside a match, whose own longest
  // match is never asked for. The trees come out exactly as after insert().
  void add(int r);

  // Removes the string at `p` if it is in a tree.
  void remove(int p);

  int match_length = 0;
  // Distance back from the current position minus 1 (0-4095).
  int match_distance = 0;

 private:
  // The walk behind insert() and add(); kFindMatch keeps the match record.
  template <bool kFindMatch>
  void link(int r);

  // The links of one node, kept together and narrow (every index fits 16
  // bits) so that a walk down a tree touches few cache lines.
  // child[0] is the right son (greater or equal strings), child[1] the
  // left: indexing by "went left" keeps the walk free of a guessed branch.
  struct Links {
    uint16_t child[2];
    uint16_t parent;
  };
  uint16_t& right_(int i) { return links_[i].child[0]; }
  uint16_t& left_(int i) { return links_[i].child[1]; }
  uint16_t& parent_(int i) { return links_[i].parent; }

  uint8_t ring_[kRing + kLookahead - 1];
  Links links_[kRing + 257];  // kRing + 1 + byte: the root of each tree
};

}  // namespace nub

#endif  // CODEC_MATCH_TREE_H_
