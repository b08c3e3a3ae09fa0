#include "slot_file_writer.h"

#include <errno.h>
#include <unistd.h>

#include <cstring>

namespace kelvo {

namespace {

constexpr size_t kPieceBytes = size_t{4} << 20;

}  // namespace

PieceWriter::PieceWriter(int fd, uint64_t at) : fd_(fd), at_(at) {
  held_.reserve(kPieceBytes);
}

void PieceWriter::write(const void* bytes, size_t n) {
  const auto* p = static_cast<const uint8_t*>(bytes);
  held_.insert(held_.end(), p, p + n);
  if (held_.size() >= kPieceBytes) finish();
}

bool PieceWriter::finish() {
  size_t done = 0;
  while (ok_ && done < held_.size()) {
    const ssize_t n =
        pwrite(fd_, held_.data() + done, held_.size() - done, static_cast<off_t>(at_ + done));
    if (n < 0 && errno == EINTR) continue;
    ok_ = n > 0;
    if (ok_) done += static_cast<size_t>(n);
  }
  at_ += held_.size();
  held_.clear();
  return ok_;
}

SlotFileWriter::SlotFileWriter(TableHandle& table)
    : table_(table),
      out_(table.handle, static_cast<uint64_t>(table.slotCount) *
                             (static_cast<uint64_t>(table.recordSize) + 4)) {}

void SlotFileWriter::add(const void* record) {
  uint8_t mark[4];
  const uint32_t live = XJOR_MARK_LIVE;
  std::memcpy(mark, &live, 4);  // slot files are little-endian, as is this machine
  out_.write(mark, 4);
  out_.write(record, table_.recordSize);
  ++added_;
}

bool SlotFileWriter::finish() {
  if (table_.handle < 0 || !out_.finish()) return false;
  table_.slotCount += added_;
  table_.liveCount += added_;
  table_.current = -1;
  added_ = 0;
  return true;
}

}  // namespace kelvo
