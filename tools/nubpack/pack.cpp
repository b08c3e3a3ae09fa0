#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "nubpack.h"
#include "xNubPack.h"

namespace nubpack {

int append(const std::string& archive, const std::vector<std::string>& files) {
  const int arc = ::open(archive.c_str(), O_RDWR | O_CREAT, 0644);
  if (arc < 0) return complain(archive, std::strerror(errno));
  struct stat st;
  int status = 0;
  // Appending to something that is not a sound archive would bury the new
  // members behind damage that every reader stops at.
  if (::fstat(arc, &st) == 0 && st.st_size > 0) {
    const bool sound = xApFindFirst(arc) != nullptr;
    const int error = xApLastError();
    xApFindClose();
    if (!sound) status = complain(archive, error_text(error) + "; nothing appended");
  }
  if (status == 0 && ::lseek(arc, 0, SEEK_END) < 0)
    status = complain(archive, std::strerror(errno));
  for (size_t i = 0; status == 0 && i < files.size(); ++i) {
    const std::string& file = files[i];
    const int src = ::open(file.c_str(), O_RDONLY);
    if (src < 0) {
      status = complain(file, std::strerror(errno));
      break;
    }
    if (::fstat(src, &st) != 0 || !S_ISREG(st.st_mode)) {
      status = complain(file, "not a regular file");
    } else if (!xApEncode(file.c_str(), src, arc)) {
      status = complain(file, error_text(xApLastError()));
    }
    ::close(src);
  }
  if (::close(arc) != 0 && status == 0) status = complain(archive, std::strerror(errno));
  return status;
}

}  // namespace nubpack
