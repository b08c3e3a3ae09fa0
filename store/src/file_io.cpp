#include "file_io.h"

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace xqd {
namespace {
constexpr size_t kChunk = 1 << 20;
}

int64_t FileSize(int fd) {
  struct stat st;
  if (fstat(fd, &st) != 0) return -1;
  return st.st_size;
}

bool ReadAt(int fd, uint64_t offset, void* buffer, size_t n) {
  char* p = static_cast<char*>(buffer);
  while (n > 0) {
    const ssize_t got = pread(fd, p, n, static_cast<off_t>(offset));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    p += got;
    offset += got;
    n -= got;
  }
  return true;
}

bool WriteAt(int fd, uint64_t offset, const void* data, size_t n) {
  const char* p = static_cast<const char*>(data);
  while (n > 0) {
    const ssize_t put = pwrite(fd, p, n, static_cast<off_t>(offset));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    p += put;
    offset += put;
    n -= put;
  }
  return true;
}

bool WriteAll(int fd, const void* data, size_t n) {
  const char* p = static_cast<const char*>(data);
  while (n > 0) {
    const ssize_t put = write(fd, p, n);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    p += put;
    n -= put;
  }
  return true;
}

namespace {
void LittleEndian(uint32_t value, uint8_t out[4]) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(value >> (8 * i));
}
}  // namespace

bool WriteU32(int fd, uint32_t value) {
  uint8_t b[4];
  LittleEndian(value, b);
  return WriteAll(fd, b, 4);
}

bool PatchU32(int fd, uint64_t offset, uint32_t value) {
  uint8_t b[4];
  LittleEndian(value, b);
  return WriteAt(fd, offset, b, 4);
}

int64_t Tell(int fd) {
  return lseek(fd, 0, SEEK_CUR);
}

bool SeekTo(int fd, uint64_t offset) {
  return lseek(fd, static_cast<off_t>(offset), SEEK_SET) == static_cast<off_t>(offset);
}

bool CopyRange(int src, uint64_t srcOffset, uint64_t n, int dst) {
  std::vector<char> buffer(n < kChunk ? n : kChunk);
  while (n > 0) {
    const size_t step = n < kChunk ? n : kChunk;
    if (!ReadAt(src, srcOffset, buffer.data(), step) || !WriteAll(dst, buffer.data(), step)) {
      return false;
    }
    srcOffset += step;
    n -= step;
  }
  return true;
}

bool CopyWholeFile(int src, int dst) {
  const int64_t size = FileSize(src);
  if (size < 0 || size > 0xFFFFFFFFll) return false;
  return WriteU32(dst, static_cast<uint32_t>(size)) && CopyRange(src, 0, size, dst);
}

int OpenForReading(const std::string& path) {
  return open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
}

int CreateFresh(const std::string& path) {
  unlink(path.c_str());
  return open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
}

PendingFile::PendingFile(const std::string& target) : target_(target) {
  std::string pattern = target + ".XXXXXX";
  fd_ = mkstemp(pattern.data());
  if (fd_ >= 0) {
    temp_ = pattern;
    // Project files are ordinary user documents.
    fchmod(
        fd_, 0644 & ~[] {
          const mode_t m = umask(0);
          umask(m);
          return m;
        }());
  }
}

PendingFile::~PendingFile() {
  if (fd_ >= 0) {
    close(fd_);
    unlink(temp_.c_str());
  }
}

bool PendingFile::Commit() {
  if (fd_ < 0) return false;
  const bool synced = fsync(fd_) == 0;
  const bool closed = close(fd_) == 0;
  fd_ = -1;
  if (!synced || !closed || rename(temp_.c_str(), target_.c_str()) != 0) {
    unlink(temp_.c_str());
    return false;
  }
  return true;
}

int32_t ErrorWordFromErrno(int error) {
  switch (error) {
    case 0:
      return 0;
    case ENOENT:
      return 21002;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
      return 21003;
    case EMFILE:
    case ENFILE:
      return 21004;
    case EACCES:
    case EPERM:
    case EROFS:
    case EEXIST:
    case EISDIR:
      return 21005;
    case ENOMEM:
      return 21001;
    case ENOSPC:
    case EDQUOT:
      return 21013;
    default:
      return 21000;
  }
}

}  // namespace xqd
