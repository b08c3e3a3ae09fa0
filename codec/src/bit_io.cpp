#include "bit_io.h"

namespace nub {

BitWriter::BitWriter(ByteSink& sink) : sink_(sink), buf_(new uint8_t[kIoBlock]) {}

void BitWriter::flush() {
  if (ok_ && fill_ > 0) ok_ = sink_.write(buf_.get(), fill_);
  fill_ = 0;
}

bool BitWriter::finish() {
  if (pending_ > 0) put(0, 8 - pending_);
  flush();
  return ok_;
}

BitReader::BitReader(ByteSource& source) : source_(source), buf_(new uint8_t[kIoBlock]) {}

bool BitReader::refill() {
  if (at_end_) return false;
  const long n = source_.read(buf_.get(), kIoBlock);
  if (n <= 0) {
    at_end_ = true;
    failed_ = n < 0;
    return false;
  }
  pos_ = 0;
  len_ = static_cast<size_t>(n);
  return true;
}

}  // namespace nub
