// Positioned whole reads and writes over POSIX descriptors.
#include "byte_file.h"

#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "file_view.h"
#include "xjor/table.h"

namespace bytefile {

int64_t size(int32_t handle) {
  struct stat st;
  if (handle < 0 || fstat(handle, &st) != 0) return -1;
  return st.st_size;
}

bool readAt(int32_t handle, int64_t pos, void* buf, size_t n) {
  if (handle < 0 || pos < 0) return false;
  auto* p = static_cast<char*>(buf);
  while (n > 0) {
    ssize_t r = pread(handle, p, n, pos);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return false;
    p += r;
    pos += r;
    n -= static_cast<size_t>(r);
  }
  return true;
}

bool writeAt(int32_t handle, int64_t pos, const void* buf, size_t n) {
  if (handle < 0 || pos < 0) return false;
  auto* p = static_cast<const char*>(buf);
  while (n > 0) {
    ssize_t r = pwrite(handle, p, n, pos);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return false;
    p += r;
    pos += r;
    n -= static_cast<size_t>(r);
  }
  return true;
}

bool readCurrent(int32_t handle, void* buf, size_t n) {
  auto* p = static_cast<char*>(buf);
  while (n > 0) {
    ssize_t r = read(handle, p, n);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return false;
    p += r;
    n -= static_cast<size_t>(r);
  }
  return true;
}

bool writeCurrent(int32_t handle, const void* buf, size_t n) {
  auto* p = static_cast<const char*>(buf);
  while (n > 0) {
    ssize_t r = write(handle, p, n);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) return false;
    p += r;
    n -= static_cast<size_t>(r);
  }
  return true;
}

bool truncate(int32_t handle, int64_t n) {
  // Through the file view: a slot or index file may be mapped, and its
  // mapping must learn the new length before the next record call.
  return handle >= 0 && n >= 0 && xjor::fileTruncate(handle, static_cast<uint64_t>(n));
}

bool copy(int32_t src, int64_t srcPos, int32_t dst, int64_t dstPos, int64_t n) {
  constexpr int64_t kChunk = 1 << 20;
  std::vector<char> buf(static_cast<size_t>(n < kChunk ? n : kChunk));
  while (n > 0) {
    size_t step = static_cast<size_t>(n < kChunk ? n : kChunk);
    if (!readAt(src, srcPos, buf.data(), step) || !writeAt(dst, dstPos, buf.data(), step))
      return false;
    srcPos += static_cast<int64_t>(step);
    dstPos += static_cast<int64_t>(step);
    n -= static_cast<int64_t>(step);
  }
  return true;
}

}  // namespace bytefile
