// Per-descriptor shared mappings behind the positioned file calls.
#include "file_view.h"

#include <errno.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

namespace xjor {
namespace {

struct View {
  uint8_t* base = nullptr;
  uint64_t mapped = 0;  // length of the mapping (may reach past the file)
  uint64_t known = 0;   // bytes known to exist in the file, <= mapped
  bool writable = false;
  bool unmappable = false;  // not a regular file, or mmap refused
  dev_t dev = 0;
  ino_t ino = 0;
};

constexpr uint64_t kMinMapping = 1u << 20;

std::vector<View> g_views;  // indexed by descriptor

View* viewOf(int fd) {
  if (fd < 0) return nullptr;
  if (static_cast<size_t>(fd) >= g_views.size()) g_views.resize(static_cast<size_t>(fd) + 1);
  return &g_views[static_cast<size_t>(fd)];
}

void unmap(View& v) {
  if (v.base) munmap(v.base, v.mapped);
  v = View();
}

// Makes [0, end) of the file available through the mapping if the file is
// that long. Returns false (leaving errno alone) when it cannot.
bool cover(View& v, int fd, uint64_t end) {
  if (v.unmappable) return false;
  int savedErrno = errno;
  struct stat st;
  if (fstat(fd, &st) != 0) {
    errno = savedErrno;
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    v.unmappable = true;
    return false;
  }
  if (v.base && (st.st_dev != v.dev || st.st_ino != v.ino)) unmap(v);  // descriptor reused
  uint64_t size = static_cast<uint64_t>(st.st_size);
  if (end > size) {
    v.known = std::min(size, v.mapped);
    return false;
  }
  if (size > v.mapped || !v.base) {
    long page = sysconf(_SC_PAGESIZE);
    uint64_t want = std::max({size, v.mapped * 2, kMinMapping});
    want = (want + static_cast<uint64_t>(page) - 1) / static_cast<uint64_t>(page) *
           static_cast<uint64_t>(page);
    void* p = MAP_FAILED;
    bool writable = true;
    if (v.base) {
      p = mremap(v.base, v.mapped, want, MREMAP_MAYMOVE);
      writable = v.writable;
    } else {
      p = mmap(nullptr, want, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
      if (p == MAP_FAILED && errno == EACCES) {  // read-only descriptor
        p = mmap(nullptr, want, PROT_READ, MAP_SHARED, fd, 0);
        writable = false;
      }
    }
    if (p == MAP_FAILED) {
      unmap(v);
      v.unmappable = true;
      errno = savedErrno;
      return false;
    }
    v.base = static_cast<uint8_t*>(p);
    v.mapped = want;
    v.writable = writable;
    v.dev = st.st_dev;
    v.ino = st.st_ino;
  }
  v.known = size;
  errno = savedErrno;
  return true;
}

}  // namespace

size_t preadFull(int fd, uint64_t off, void* dst, size_t len) {
  size_t done = 0;
  while (done < len) {
    ssize_t n =
        pread(fd, static_cast<uint8_t*>(dst) + done, len - done, static_cast<off_t>(off + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

const uint8_t* fileSpan(int fd, uint64_t off, size_t len) {
  uint64_t end = off + len;
  if (fd >= 0 && static_cast<size_t>(fd) < g_views.size()) {
    View& v = g_views[static_cast<size_t>(fd)];
    if (v.base && end <= v.known) return v.base + off;
  }
  View* v = viewOf(fd);
  if (!v || !cover(*v, fd, end)) return nullptr;
  return v->base + off;
}

size_t fileRead(int fd, uint64_t off, void* dst, size_t len) {
  if (const uint8_t* p = fileSpan(fd, off, len)) {
    memcpy(dst, p, len);
    return len;
  }
  return preadFull(fd, off, dst, len);
}

bool fileWrite(int fd, uint64_t off, const void* a, size_t alen, const void* b, size_t blen) {
  size_t len = alen + blen;
  uint64_t end = off + len;
  View* v = viewOf(fd);
  if (!v) {
    errno = EBADF;
    return false;
  }
  if (v->base && v->writable && end <= v->known) {
    memcpy(v->base + off, a, alen);
    if (blen) memcpy(v->base + off + alen, b, blen);
    return true;
  }
  if (blen && len <= 4096) {  // one plain write of a joined copy is cheapest
    uint8_t joined[4096];
    memcpy(joined, a, alen);
    memcpy(joined + alen, b, blen);
    return fileWrite(fd, off, joined, len);
  }
  struct iovec iov[2] = {{const_cast<void*>(a), alen}, {const_cast<void*>(b), blen}};
  int count = blen ? 2 : 1;
  size_t done = 0;
  while (done < len) {
    // Skip what has already gone out.
    struct iovec rest[2];
    int n = 0;
    size_t skip = done;
    for (int i = 0; i < count; ++i) {
      if (skip >= iov[i].iov_len) {
        skip -= iov[i].iov_len;
        continue;
      }
      rest[n].iov_base = static_cast<uint8_t*>(iov[i].iov_base) + skip;
      rest[n].iov_len = iov[i].iov_len - skip;
      skip = 0;
      ++n;
    }
    ssize_t w = pwritev(fd, rest, n, static_cast<off_t>(off + done));
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) {
      if (w == 0) errno = ENOSPC;
      return false;
    }
    done += static_cast<size_t>(w);
  }
  if (v->base && end > v->known && end <= v->mapped) v->known = end;
  return true;
}

bool fileTruncate(int fd, uint64_t size) {
  if (ftruncate(fd, static_cast<off_t>(size)) != 0) return false;
  if (View* v = viewOf(fd); v && v->base) v->known = std::min(size, v->mapped);
  return true;
}

void fileForget(int fd) {
  if (fd >= 0 && static_cast<size_t>(fd) < g_views.size()) unmap(g_views[static_cast<size_t>(fd)]);
}

}  // namespace xjor
