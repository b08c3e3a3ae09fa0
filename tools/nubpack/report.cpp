#include <time.h>

#include <cstdio>

#include "nubpack.h"
#include "xNubPack.h"

namespace nubpack {

int complain(const std::string& what, const std::string& text) {
  std::fprintf(stderr, "nubpack: %s: %s\n", what.c_str(), text.c_str());
  return 1;
}

std::string error_text(int code) {
  switch (code) {
    case XAP_OK:
      return "no error";
    case XAP_ERR_EMPTY:
      return "the archive has no members";
    case XAP_ERR_HEADER:
      return "damaged archive: a member header is malformed or cut off";
    case XAP_ERR_CHECKSUM:
      return "damaged archive: checksum mismatch";
    case XAP_ERR_NAME:
      return "damaged archive: a member name is not a plain file name";
    case XAP_ERR_STREAM:
      return "damaged member: its data ends before its stated size";
    case XAP_ERR_READ:
      return "read error";
    case XAP_ERR_WRITE:
      return "write error";
    case XAP_ERR_TOO_LARGE:
      return "file too large for an archive member (4 GiB or more)";
    case XAP_ERR_NO_MEMBER:
      return "no current member";
    case XAP_ERR_TIME:
      return "could not set the file time";
  }
  return "error " + std::to_string(code);
}

std::string time_text(uint64_t file_time) {
  constexpr int64_t kUnixEpochTicks = 116'444'736'000'000'000;
  const int64_t ticks = static_cast<int64_t>(file_time) - kUnixEpochTicks;
  const time_t sec =
      static_cast<time_t>(ticks >= 0 ? ticks / 10'000'000 : -1 - (-ticks - 1) / 10'000'000);
  struct tm local;
  char text[32];
  if (!::localtime_r(&sec, &local) ||
      ::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local) == 0) {
    return "(bad time)";
  }
  return text;
}

}  // namespace nubpack
