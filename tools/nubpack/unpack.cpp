#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "nubpack.h"
#include "xNubPack.h"

namespace nubpack {
namespace {

// Opens the archive and walks its members, calling `visit` on each; stops
// with exit status 1 at the first failure. An empty archive has no members.
template <typename Visit>
int for_each_member(const std::string& archive, Visit visit) {
  const int arc = ::open(archive.c_str(), O_RDONLY);
  if (arc < 0) return complain(archive, std::strerror(errno));
  int status = 0;
  const XApHeader* h = xApFindFirst(arc);
  if (!h && xApLastError() != XAP_ERR_EMPTY) status = complain(archive, error_text(xApLastError()));
  for (; h && status == 0; h = xApFindNext()) status = visit(*h);
  xApFindClose();
  ::close(arc);
  return status;
}

// Creates a new file "~NPxxxx.TMP" in `folder`, skipping names in use.
int create_temporary(const std::string& folder, std::string& path) {
  for (unsigned n = 0; n <= 0xFFFF; ++n) {
    char name[16];
    std::snprintf(name, sizeof name, "~NP%04X.TMP", n);
    path = folder + "/" + name;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

int extract_member(const XApHeader& h, const std::string& folder) {
  std::string temporary;
  const int fd = create_temporary(folder, temporary);
  if (fd < 0) return complain(folder, std::strerror(errno));
  const bool unpacked = xApDecode(fd) != 0;
  const int error = xApLastError();
  const bool closed = ::close(fd) == 0;
  const int close_error = errno;
  const std::string target = folder + "/" + h.name;
  if (!unpacked || !closed) {
    ::unlink(temporary.c_str());
    return complain(h.name, unpacked ? std::strerror(close_error) : error_text(error));
  }
  if (::rename(temporary.c_str(), target.c_str()) != 0) {
    const int rename_error = errno;
    ::unlink(temporary.c_str());
    return complain(target, std::strerror(rename_error));
  }
  std::printf("%s\n", h.name);
  return 0;
}

}  // namespace

int list(const std::string& archive) {
  return for_each_member(archive, [](const XApHeader& h) {
    std::printf("%10" PRIu32 " %10" PRIu32 " %08" PRIX32 " %s %s\n", h.original_size, h.packed_size,
                h.checksum, time_text(h.file_time).c_str(), h.name);
    return 0;
  });
}

int extract(const std::string& archive, const std::string& folder) {
  return for_each_member(archive, [&](const XApHeader& h) { return extract_member(h, folder); });
}

int test(const std::string& archive) {
  unsigned count = 0;
  const int status = for_each_member(archive, [&](const XApHeader& h) {
    if (!xApVerify()) return complain(h.name, error_text(xApLastError()));
    ++count;
    return 0;
  });
  if (status == 0) std::printf("%s: %u members OK\n", archive.c_str(), count);
  return status;
}

}  // namespace nubpack
