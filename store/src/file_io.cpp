#include "file_io.h"

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "xjor/table.h"

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

namespace {

// Opens read-only without blocking on a FIFO and keeps only regular files.
int OpenRegular(const std::string& path, int extraFlags) {
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | extraFlags);
  if (fd < 0) return -1;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    errno = 0;  // not a file: no platform error to report
    return -1;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

}  // namespace

int OpenUserFile(const std::string& path) {
  const int fd = OpenRegular(path, 0);
  if (fd < 0) xSetDbError(errno != 0 ? xMapErrno(errno) : 21006);
  return fd;
}

int OpenMember(const std::string& path) {
  return OpenRegular(path, O_NOFOLLOW);
}

int CreateFresh(const std::string& path) {
  unlink(path.c_str());
  return open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
}

namespace {

mode_t CurrentUmask() {
  const mode_t m = umask(0);
  umask(m);
  return m;
}

// Gives the new file fd what the file at target had: its mode, and its group
// when we may set it (else the group bits go, so the file is never opened to
// a group that could not read the old one).
void TakeOverAccess(int fd, const std::string& target) {
  struct stat old;
  if (stat(target.c_str(), &old) != 0) {
    fchmod(fd, 0666 & ~CurrentUmask());
    return;
  }
  mode_t mode = old.st_mode & 07777;
  struct stat now;
  if (fstat(fd, &now) == 0 && now.st_gid != old.st_gid && fchown(fd, -1, old.st_gid) != 0) {
    mode &= ~static_cast<mode_t>(070);
  }
  fchmod(fd, mode);
}

}  // namespace

PendingFile::PendingFile(const std::string& target) : target_(target) {
  // Write where links lead, so that saving keeps the user's link.
  struct stat st;
  if (lstat(target.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    char* real = realpath(target.c_str(), nullptr);
    if (real == nullptr) return;  // a dangling link: errno says why
    target_ = real;
    free(real);
  }
  if (stat(target_.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
    errno = S_ISDIR(st.st_mode) ? EISDIR : EACCES;
    return;
  }
  std::string pattern = target_ + ".XXXXXX";
  fd_ = mkstemp(pattern.data());
  if (fd_ >= 0) {
    temp_ = pattern;
    TakeOverAccess(fd_, target_);
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

}  // namespace xqd
