// Most-significant-bit-first bit packing over the coder's 25,600-byte buffers.
#ifndef CODEC_BIT_IO_H_
#define CODEC_BIT_IO_H_

#include <cstdint>
#include <memory>

#include "byte_stream.h"

namespace nub {

// Packs bits into bytes, sums the bytes it emits and hands them to a sink a
// buffer at a time. After a write failure it drops further bits and ok()
// stays false.
class BitWriter {
 public:
  explicit BitWriter(ByteSink& sink);

  // Appends the low `count` bits of `value`, highest first (count <= 32).
  void put(uint32_t value, int count) {
    acc_ = (acc_ << count) | (value & ((uint64_t{1} << count) - 1));
    pending_ += count;
    while (pending_ >= 8) {
      pending_ -= 8;
      put_byte(static_cast<uint8_t>(acc_ >> pending_));
    }
  }

  // Pads the last partial byte with zero bits and writes everything out.
  bool finish();

  bool ok() const { return ok_; }
  uint64_t bytes_out() const { return bytes_out_; }
  uint32_t checksum() const { return checksum_; }

 private:
  void put_byte(uint8_t b) {
    buf_[fill_++] = b;
    checksum_ += b;
    ++bytes_out_;
    if (fill_ == kIoBlock) flush();
  }
  void flush();

  ByteSink& sink_;
  std::unique_ptr<uint8_t[]> buf_;
  size_t fill_ = 0;
  uint64_t acc_ = 0;
  int pending_ = 0;
  uint64_t bytes_out_ = 0;
  uint32_t checksum_ = 0;
  bool ok_ = true;
};

// Unpacks bits from a source read a buffer at a time. Bits asked for past the
// end of the source read as zero; overrun() counts the bytes so invented.
class BitReader {
 public:
  explicit BitReader(ByteSource& source);

  int bit() {
    if (bits_ == 0) {
      cur_ = next_byte();
      bits_ = 8;
    }
    --bits_;
    return (cur_ >> bits_) & 1;
  }

  // The next 8 bits as a byte.
  unsigned byte() {
    const unsigned high = cur_ & ((1u << bits_) - 1);
    const unsigned next = next_byte();
    const unsigned value = (high << (8 - bits_)) | (next >> bits_);
    cur_ = next;
    return value & 0xFF;
  }

  uint64_t overrun() const { return overrun_; }
  bool read_failed() const { return failed_; }

 private:
  unsigned next_byte() {
    if (pos_ == len_ && !refill()) {
      ++overrun_;
      return 0;
    }
    return buf_[pos_++];
  }
  bool refill();

  ByteSource& source_;
  std::unique_ptr<uint8_t[]> buf_;
  size_t pos_ = 0;
  size_t len_ = 0;
  unsigned cur_ = 0;
  int bits_ = 0;
  uint64_t overrun_ = 0;
  bool at_end_ = false;
  bool failed_ = false;
};

}  // namespace nub

#endif  // CODEC_BIT_IO_H_
