#include "byte_stream.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace nub {

long MemorySource::read(uint8_t* buffer, size_t capacity) {
  const size_t n = std::min(capacity, data_.size() - pos_);
  if (n > 0) std::memcpy(buffer, data_.data() + pos_, n);
  pos_ += n;
  return static_cast<long>(n);
}

bool VectorSink::write(const uint8_t* data, size_t size) {
  bytes.insert(bytes.end(), data, data + size);
  return true;
}

long FileRangeSource::read(uint8_t* buffer, size_t capacity) {
  const size_t want = static_cast<size_t>(std::min<uint64_t>(capacity, remaining_));
  if (want == 0) return 0;
  const long got = read_at(fd_, buffer, want, offset_);
  if (got < 0) return -1;
  offset_ += static_cast<uint64_t>(got);
  remaining_ -= static_cast<uint64_t>(got);
  // The range was promised to exist; a file that shrank underneath is a read
  // error rather than a silently short stream.
  if (got == 0) return -1;
  return got;
}

long FileSource::read(uint8_t* buffer, size_t capacity) {
  const long got = read_at(fd_, buffer, capacity, offset_);
  if (got > 0) offset_ += static_cast<uint64_t>(got);
  return got;
}

bool FileSink::write(const uint8_t* data, size_t size) {
  return write_all(fd_, data, size);
}

bool FileOffsetSink::write(const uint8_t* data, size_t size) {
  if (!write_at(fd_, data, size, offset_)) return false;
  offset_ += size;
  return true;
}

long read_at(int fd, uint8_t* buffer, size_t size, uint64_t offset) {
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pread(fd, buffer + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  return static_cast<long>(done);
}

bool write_at(int fd, const uint8_t* data, size_t size, uint64_t offset) {
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pwrite(fd, data + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

bool write_all(int fd, const uint8_t* data, size_t size) {
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd, data + done, size - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace nub
