#include "slot_file_reader.h"

#include <errno.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace kelvo {

namespace {

constexpr size_t kPieceBytes = size_t{1} << 20;

}  // namespace

SlotFileReader::SlotFileReader(const TableHandle& table)
    : fd_(table.handle),
      stride_(static_cast<size_t>(table.recordSize) + 4),
      slotCount_(table.slotCount) {}

const uint8_t* SlotFileReader::record(uint32_t slot) {
  if (fd_ < 0 || slot >= slotCount_) return nullptr;
  if (slot < first_ || slot - first_ >= count_) {
    const uint32_t want = static_cast<uint32_t>(
        std::min<uint64_t>(slotCount_ - slot, std::max<size_t>(1, kPieceBytes / stride_)));
    piece_.resize(want * stride_);
    size_t got = 0;
    while (got < piece_.size()) {
      const ssize_t n = pread(fd_, piece_.data() + got, piece_.size() - got,
                              static_cast<off_t>(slot * stride_ + got));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      got += static_cast<size_t>(n);
    }
    first_ = slot;
    count_ = static_cast<uint32_t>(got / stride_);
    if (count_ == 0) return nullptr;
  }
  const uint8_t* p = piece_.data() + (slot - first_) * stride_;
  uint32_t mark;
  std::memcpy(&mark, p, 4);  // slot files are little-endian, as is this machine
  return mark == XJOR_MARK_LIVE ? p + 4 : nullptr;
}

}  // namespace kelvo
