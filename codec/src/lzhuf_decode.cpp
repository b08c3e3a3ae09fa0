// The LZHUF decoder: mirrors the encoder's model and ring, and stops once the
// stated size is out or the stream has plainly run out.
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
// A sound stream never needs bytes past its end; allow the two that a
// byte-ahead reader may touch.
constexpr uint64_t kMaxOverrun = 2;

unsigned read_distance(BitReader& in) {
  unsigned first = in.byte();
  const unsigned upper = kPositionTables.upper[first];
  // The byte held the code and the top bits of the lower six; read the rest.
  for (int extra = kPositionTables.upper_length[first] - 2; extra > 0; --extra) {
    first = (first << 1) | static_cast<unsigned>(in.bit());
  }
  return (upper << 6) | (first & 0x3F);
}

// Output through a 25,600-byte buffer.
class OutputBytes {
 public:
  explicit OutputBytes(ByteSink& sink) : sink_(sink), buf_(new uint8_t[kIoBlock]) {}
  void put(uint8_t c) {
    buf_[fill_++] = c;
    if (fill_ == kIoBlock) flush();
  }
  bool flush() {
    if (ok_ && fill_ > 0) ok_ = sink_.write(buf_.get(), fill_);
    fill_ = 0;
    return ok_;
  }
  bool ok() const { return ok_; }

 private:
  ByteSink& sink_;
  std::unique_ptr<uint8_t[]> buf_;
  size_t fill_ = 0;
  bool ok_ = true;
};

struct Decoder {
  AdaptiveHuffman model;
  uint8_t ring[N] = {};
};

}  // namespace

DecodeStatus lzhuf_decode(ByteSource& in, uint64_t size, ByteSink& out) {
  if (size == 0) return DecodeStatus::kOk;
  BitReader bits(in);
  OutputBytes output(out);
  auto coder = std::make_unique<Decoder>();
  uint8_t* ring = coder->ring;
  for (int i = 0; i < N - F; ++i) ring[i] = ' ';
  int r = N - F;

  uint64_t count = 0;
  while (count < size) {
    const int c = coder->model.decode(bits);
    if (c < 256) {
      output.put(static_cast<uint8_t>(c));
      ring[r] = static_cast<uint8_t>(c);
      r = (r + 1) & (N - 1);
      ++count;
    } else {
      const int from = (r - static_cast<int>(read_distance(bits)) - 1) & (N - 1);
      uint64_t length = static_cast<uint64_t>(c - 255 + kThreshold);
      if (length > size - count) length = size - count;
      for (uint64_t k = 0; k < length; ++k) {
        const uint8_t b = ring[(from + k) & (N - 1)];
        output.put(b);
        ring[r] = b;
        r = (r + 1) & (N - 1);
      }
      count += length;
    }
    if (bits.overrun() > kMaxOverrun) {
      if (bits.read_failed()) return DecodeStatus::kReadError;
      output.flush();
      return DecodeStatus::kDamaged;
    }
    if (!output.ok()) return DecodeStatus::kWriteError;
  }
  if (bits.read_failed()) return DecodeStatus::kReadError;
  return output.flush() ? DecodeStatus::kOk : DecodeStatus::kWriteError;
}

bool lzhuf_decompress(std::span<const uint8_t> packed, uint64_t size, std::vector<uint8_t>& out) {
  MemorySource in(packed);
  VectorSink sink;
  const DecodeStatus status = lzhuf_decode(in, size, sink);
  out = std::move(sink.bytes);
  return status == DecodeStatus::kOk;
}

}  // namespace nub
