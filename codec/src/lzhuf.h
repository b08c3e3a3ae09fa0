// LZHUF compression: LZSS over a 4096-byte ring that starts filled with
// spaces, with adaptive Huffman coding of literals and match lengths and a
// static code for the upper 6 bits of match distances.
#ifndef CODEC_LZHUF_H_
#define CODEC_LZHUF_H_

#include <cstdint>
#include <span>
#include <vector>

#include "byte_stream.h"

namespace nub {

// Told about every symbol the encoder sends: a literal byte (symbol < 256,
// distance -1) or a match of length symbol - 253 at `distance`.
class SymbolObserver {
 public:
  virtual ~SymbolObserver() = default;
  virtual void symbol(int symbol, int distance) = 0;
};

struct EncodeResult {
  enum Status { kOk, kReadError, kWriteError, kTooLarge };
  Status status = kOk;
  uint64_t bytes_in = 0;
  uint64_t bytes_out = 0;
  uint32_t checksum = 0;  // sum of the bytes written
};

// Compresses everything `in` yields into `out`. An empty input gives no bytes
// at all. Stops with kTooLarge once more than `max_input` bytes were read.
EncodeResult lzhuf_encode(ByteSource& in, ByteSink& out, uint64_t max_input = UINT64_MAX,
                          SymbolObserver* observer = nullptr);

enum class DecodeStatus {
  kOk,
  kDamaged,  // the stream needed more than 2 bytes beyond its end
  kReadError,
  kWriteError,
};

// Decodes exactly `size` bytes from `in` into `out`. The source is the whole
// compressed stream; bits past its end read as zero, and a stream that needs
// more than 2 such bytes is damaged: decoding stops there.
DecodeStatus lzhuf_decode(ByteSource& in, uint64_t size, ByteSink& out);

// In-memory conveniences.
std::vector<uint8_t> lzhuf_compress(std::span<const uint8_t> data,
                                    SymbolObserver* observer = nullptr);
// Returns false when the stream is damaged; `out` then holds what was decoded.
bool lzhuf_decompress(std::span<const uint8_t> packed, uint64_t size, std::vector<uint8_t>& out);

}  // namespace nub

#endif  // CODEC_LZHUF_H_
