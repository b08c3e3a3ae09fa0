// Archives from hostile bytes. The first byte picks what the rest is:
//   0  an archive: list it, then check and unpack every member;
//   1  a 4-byte stated size and a compressed stream, wrapped in a member
//      with a matching checksum so that the decoder itself is exercised;
//   2  file content: pack it, then unpack it and compare.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "xNubPack.h"

namespace {

constexpr uint32_t kMaxStatedSize = 1 << 20;

int memory_file(const uint8_t* data, size_t size) {
  const int fd = ::memfd_create("archive_fuzz", 0);
  if (fd < 0) std::abort();
  if (size > 0 && ::write(fd, data, size) != static_cast<ssize_t>(size)) std::abort();
  ::lseek(fd, 0, SEEK_SET);
  return fd;
}

std::vector<uint8_t> file_bytes(int fd) {
  std::vector<uint8_t> out(static_cast<size_t>(::lseek(fd, 0, SEEK_END)));
  if (!out.empty() && ::pread(fd, out.data(), out.size(), 0) != static_cast<ssize_t>(out.size())) {
    std::abort();
  }
  return out;
}

void unpack_all(int arc) {
  int members = 0;
  for (const XApHeader* h = xApFindFirst(arc); h && members < 64; h = xApFindNext(), ++members) {
    if (!h->name || !h->name[0] || std::strchr(h->name, '/') || std::strchr(h->name, '\\')) {
      std::abort();  // names offered for unpacking are always plain
    }
    const int target = memory_file(nullptr, 0);
    if (xApDecode(target) && file_bytes(target).size() != h->original_size) std::abort();
    if (file_bytes(target).size() > h->original_size) std::abort();
    ::close(target);
  }
  xApFindClose();
}

void put_le(std::vector<uint8_t>& out, uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int mode = data[0] % 3;
  ++data;
  --size;
  if (mode == 0) {
    const int arc = memory_file(data, size);
    unpack_all(arc);
    ::close(arc);
  } else if (mode == 1) {
    if (size < 5) return 0;
    uint32_t stated = 0;
    std::memcpy(&stated, data, 4);
    stated %= kMaxStatedSize;
    std::vector<uint8_t> archive;
    uint32_t sum = 0;
    for (size_t i = 4; i < size; ++i) sum += data[i];
    put_le(archive, 23 + 1, 2);
    put_le(archive, stated, 4);
    put_le(archive, size - 4, 4);
    put_le(archive, sum, 4);
    put_le(archive, 0, 8);
    archive.push_back('m');
    archive.push_back(0);
    archive.insert(archive.end(), data + 4, data + size);
    const int arc = memory_file(archive.data(), archive.size());
    unpack_all(arc);
    ::close(arc);
  } else {
    const int src = memory_file(data, size);
    const int arc = memory_file(nullptr, 0);
    if (!xApEncode("fuzz.bin", src, arc)) std::abort();
    if (!xApFindFirst(arc)) std::abort();
    const int out = memory_file(nullptr, 0);
    if (!xApDecode(out)) std::abort();
    const std::vector<uint8_t> back = file_bytes(out);
    if (back.size() != size || (size > 0 && std::memcmp(back.data(), data, size) != 0))
      std::abort();
    xApFindClose();
    ::close(out);
    ::close(arc);
    ::close(src);
  }
  return 0;
}
