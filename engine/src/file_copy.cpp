// Byte copy between engine files, with the length-prefixed variants that
// saved images use.
#include <errno.h>
#include <stdlib.h>
#include <sys/types.h>
#include <unistd.h>

#include "file_util.h"
#include "platform_error.h"
#include "xjor/table.h"

using namespace xjor;

namespace xjor {

constexpr size_t kChunk = 51200;

namespace {

// Copies as much of length as the kernel will copy between the two files
// without passing the bytes through user space. Returns the bytes copied;
// *failed is set when a real read or write error stopped it (the error word
// then says why), and left clear when the kernel cannot copy between these
// files (or the source ended), so the caller goes on through a buffer.
uint64_t copyInKernel(int src, int dst, uint64_t length, bool* failed) {
  uint64_t done = 0;
  while (done < length) {
    const uint64_t left = length - done;
    const size_t step = left < (size_t{1} << 30) ? static_cast<size_t>(left) : size_t{1} << 30;
    const ssize_t n = copy_file_range(src, nullptr, dst, nullptr, step, 0);
    if (n > 0) {
      done += static_cast<uint64_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP &&
        errno != EBADF && errno != ETXTBSY) {
      xjorMapErrno(errno);
      *failed = true;
    }
    break;
  }
  return done;
}

}  // namespace

bool copyBytes(int src, int dst, uint64_t length) {
  bool failed = false;
  length -= copyInKernel(src, dst, length, &failed);
  if (failed) {
    lseek(src, static_cast<off_t>(length), SEEK_CUR);
    return false;
  }
  if (length == 0) return true;
  uint8_t* buf = static_cast<uint8_t*>(malloc(kChunk));
  if (!buf) {
    xSetDbError(21001);
    lseek(src, static_cast<off_t>(length), SEEK_CUR);
    return false;
  }
  bool writing = true;
  while (length > 0) {
    size_t want = length < kChunk ? static_cast<size_t>(length) : kChunk;
    size_t got = readFull(src, buf, want);
    int readErr = errno;
    if (got > 0 && writing && writeFull(dst, buf, got) != got) {
      xjorMapErrno(errno);
      writing = false;
    }
    if (got < want) {
      // The source ended (or failed) before the promised length.
      if (readErr != 0) {
        xjorMapErrno(readErr);
      } else {
        xSetDbError(21014);
      }
      writing = false;
      break;
    }
    length -= got;
  }
  free(buf);
  return writing;
}

}  // namespace xjor

extern "C" void xCopyFile(int32_t src, int32_t dst, int32_t count) {
  if (count == 0) {
    off_t size = lseek(src, 0, SEEK_END);
    if (size < 0) {
      xjorMapErrno(errno);
      size = 0;
    }
    uint8_t word[4];
    putU32(word, static_cast<uint32_t>(size));
    if (writeFull(dst, word, 4) != 4) xjorMapErrno(errno);
    lseek(src, 0, SEEK_SET);
    copyBytes(src, dst, static_cast<uint32_t>(size));
  } else if (count == -1) {
    uint8_t word[4];
    if (readFull(src, word, 4) != 4) {
      xSetDbError(errno ? xjorMapErrno(errno) : 21014);
      return;
    }
    lseek(dst, 0, SEEK_SET);
    copyBytes(src, dst, getU32(word));
  } else if (count > 0) {
    copyBytes(src, dst, static_cast<uint32_t>(count));
  }
}
