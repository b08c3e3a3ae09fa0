// Opening, creating and closing engine files, with the 8-byte file header.
#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "file_util.h"
#include "file_view.h"
#include "platform_error.h"
#include "xjor/table.h"

namespace xjor {

bool takeShareLock(int fd) {
  struct flock lk;
  memset(&lk, 0, sizeof lk);
  lk.l_type = F_WRLCK;
  lk.l_whence = SEEK_SET;
  lk.l_start = 0x7FFFFFFFFFFFFFF0LL;
  lk.l_len = 1;
  if (fcntl(fd, F_OFD_SETLK, &lk) == 0) return true;
  if (errno == EAGAIN || errno == EACCES) {
    errno = EWOULDBLOCK;
    return false;
  }
  return true;  // no locking on this file system
}

size_t readFull(int fd, void* buf, size_t len) {
  size_t done = 0;
  errno = 0;
  while (done < len) {
    ssize_t n = read(fd, static_cast<uint8_t*>(buf) + done, len - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

size_t writeFull(int fd, const void* buf, size_t len) {
  size_t done = 0;
  while (done < len) {
    ssize_t n = write(fd, static_cast<const uint8_t*>(buf) + done, len - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = ENOSPC;
      break;
    }
    done += static_cast<size_t>(n);
  }
  return done;
}

void closeQuietly(int fd) {
  int saved = errno;
  fileForget(fd);
  close(fd);
  errno = saved;
}

// True when fd, opened with O_NONBLOCK, is a regular file; the flag is then
// cleared. Otherwise sets the error word to code.
bool regularOrRefuse(int fd, int32_t code) {
  struct stat st;
  if (fstat(fd, &st) != 0) {
    xjorMapErrno(errno);
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    xSetDbError(code);
    return false;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return true;
}

}  // namespace xjor

using namespace xjor;

extern "C" int32_t xCreateFile(const char* path, int32_t version) {
  int fd = open(path, O_RDWR | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) {
    xjorMapErrno(errno);
    return -1;
  }
  fileForget(fd);
  if (!regularOrRefuse(fd, 21005)) {
    closeQuietly(fd);
    return -1;
  }
  // Lock before truncating, so a file another process is writing is refused
  // rather than emptied under it.
  if (!takeShareLock(fd) || ftruncate(fd, 0) != 0) {
    xjorMapErrno(errno);
    closeQuietly(fd);
    return -1;
  }
  if (version != 0) {
    uint8_t header[8];
    header[0] = 'Q';
    header[1] = 'z';
    putU16(header + 2, static_cast<uint16_t>(version));
    putU16(header + 4, 130);
    putU16(header + 6, 0);
    if (writeFull(fd, header, sizeof header) != sizeof header) {
      xjorMapErrno(errno);
      closeQuietly(fd);
      return -1;
    }
  }
  return fd;
}

extern "C" int32_t xOpenFile(const char* path, int32_t mode) {
  bool readOnly = mode >= 10000;
  if (readOnly) mode -= 10000;
  bool checkOnly = mode >= 1000;
  int32_t expected = checkOnly ? mode - 1000 : mode;

  // O_NONBLOCK: opening a FIFO must not wait for a writer; it is refused
  // below. Regular files ignore the flag.
  int fd = open(path, (readOnly ? O_RDONLY : O_RDWR) | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    xjorMapErrno(errno);
    return -1;
  }
  fileForget(fd);
  if (!regularOrRefuse(fd, 21006)) {
    closeQuietly(fd);
    return -1;
  }
  // A check-only open is closed again at once and takes no share lock.
  if (!readOnly && !checkOnly && !takeShareLock(fd)) {
    xjorMapErrno(errno);
    closeQuietly(fd);
    return -1;
  }
  if (mode == 0) return fd;

  uint8_t header[8];
  size_t got = readFull(fd, header, sizeof header);
  if (got != sizeof header) {
    // A file too short to hold a header is not one of ours.
    xjorMapErrno(errno);
    if (errno == 0) xSetDbError(21006);
    closeQuietly(fd);
    return -1;
  }
  bool magicOk = (header[0] == 'Q' && header[1] == 'z') || (header[0] == 'x' && header[1] == 'D');
  if (!magicOk || static_cast<int16_t>(getU16(header + 2)) != static_cast<int16_t>(expected)) {
    xSetDbError(21006);
    closeQuietly(fd);
    return -1;
  }
  if (checkOnly) {
    closeQuietly(fd);
    return kCheckedToken;
  }
  return fd;
}

extern "C" void xCloseFile(int32_t* handle) {
  if (!handle) return;
  if (*handle != -1 && *handle != kCheckedToken && *handle >= 0) {
    fileForget(*handle);
    close(*handle);
  }
  *handle = -1;
}

extern "C" void xFileChanged(int32_t handle) {
  fileForget(handle);
}
