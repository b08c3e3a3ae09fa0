// The LZHUF encoder, sending the same symbols in the same bits as the
// published program: same tree insertions, same match choice, same model.
#include <memory>

#include "adaptive_huffman.h"
#include "lzhuf.h"
#include "match_tree.h"
#include "position_code.h"

namespace nub {
namespace {

constexpr int N = MatchTree::kRing;
constexpr int F = MatchTree::kLookahead;
constexpr int kThreshold = MatchTree::kThreshold;

// Buffered byte-at-a-time input with the read size capped.
class InputBytes {
 public:
  InputBytes(ByteSource& source, uint64_t max_input)
      : source_(source), max_input_(max_input), buf_(new uint8_t[kIoBlock]) {}

  // Next byte, or -1 at the end or on failure.
  int next() {
    if (pos_ == len_ && !refill()) return -1;
    return buf_[pos_++];
  }
  uint64_t count() const { return total_ - (len_ - pos_); }
  bool failed() const { return failed_; }
  bool too_large() const { return too_large_; }

 private:
  bool refill() {
    if (done_) return false;
    const long n = source_.read(buf_.get(), kIoBlock);
    if (n <= 0) {
      done_ = true;
      failed_ = n < 0;
      return false;
    }
    pos_ = 0;
    len_ = static_cast<size_t>(n);
    total_ += len_;
    if (total_ > max_input_) {
      done_ = too_large_ = true;
      return false;
    }
    return true;
  }

  ByteSource& source_;
  uint64_t max_input_;
  std::unique_ptr<uint8_t[]> buf_;
  size_t pos_ = 0, len_ = 0;
  uint64_t total_ = 0;
  bool done_ = false, failed_ = false, too_large_ = false;
};

struct Encoder {
  MatchTree tree;
  AdaptiveHuffman model;
};

void send_distance(BitWriter& out, unsigned distance) {
  const unsigned upper = distance >> 6;
  out.put(kPositionTables.code[upper] >> (8 - kPositionTables.length[upper]),
          kPositionTables.length[upper]);
  out.put(distance & 0x3F, 6);
}

}  // namespace

EncodeResult lzhuf_encode(ByteSource& in, ByteSink& out, uint64_t max_input,
                          SymbolObserver* observer) {
  EncodeResult result;
  InputBytes input(in, max_input);
  BitWriter bits(out);
  auto coder = std::make_unique<Encoder>();
  MatchTree& tree = coder->tree;
  tree.reset();
  uint8_t* ring = tree.ring();

  int s = 0;
  int r = N - F;
  for (int i = s; i < r; ++i) ring[i] = ' ';
  int len = 0;
  for (int c; len < F && (c = input.next()) >= 0; ++len) ring[r + len] = static_cast<uint8_t>(c);

  if (len > 0) {
    for (int i = 1; i <= F; ++i) tree.insert(r - i);
    tree.insert(r);
  }
  while (len > 0) {
    if (tree.match_length > len) tree.match_length = len;
    if (tree.match_length <= kThreshold) {
      tree.match_length = 1;
      coder->model.encode(ring[r], bits);
      if (observer) observer->symbol(ring[r], -1);
    } else {
      const int symbol = 255 - kThreshold + tree.match_length;
      coder->model.encode(symbol, bits);
      send_distance(bits, static_cast<unsigned>(tree.match_distance));
      if (observer) observer->symbol(symbol, tree.match_distance);
    }
    const int last_match_length = tree.match_length;
    int i = 0;
    for (int c; i < last_match_length && (c = input.next()) >= 0; ++i) {
      tree.remove(s);
      tree.store(s, static_cast<uint8_t>(c));
      s = (s + 1) & (N - 1);
      r = (r + 1) & (N - 1);
      // Only the last string of a match is looked up for the next symbol;
      // the ones before it just join the trees. Past the end of the input
      // the loop below inserts, and its last string is looked up there.
      if (i + 1 < last_match_length) {
        tree.add(r);
      } else {
        tree.insert(r);
      }
    }
    while (i++ < last_match_length) {
      tree.remove(s);
      s = (s + 1) & (N - 1);
      r = (r + 1) & (N - 1);
      if (--len) tree.insert(r);
    }
    if (!bits.ok()) break;
  }
  bits.finish();

  result.bytes_in = input.count();
  result.bytes_out = bits.bytes_out();
  result.checksum = bits.checksum();
  if (input.too_large()) {
    result.status = EncodeResult::kTooLarge;
  } else if (input.failed()) {
    result.status = EncodeResult::kReadError;
  } else if (!bits.ok()) {
    result.status = EncodeResult::kWriteError;
  }
  return result;
}

std::vector<uint8_t> lzhuf_compress(std::span<const uint8_t> data, SymbolObserver* observer) {
  MemorySource in(data);
  VectorSink out;
  lzhuf_encode(in, out, UINT64_MAX, observer);
  return std::move(out.bytes);
}

}  // namespace nub
