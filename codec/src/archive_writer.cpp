// Appending a member to an archive.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "archive_state.h"
#include "byte_stream.h"
#include "lzhuf.h"
#include "member_header.h"
#include "xNubPack.h"

using namespace nub;

namespace {

// Positional writes to a descriptor opened for appending would all land at
// the end, so the header could not be rewritten in place: append mode is
// switched off for the duration of one call.
class AppendModeOff {
 public:
  explicit AppendModeOff(int fd) : fd_(fd), flags_(::fcntl(fd, F_GETFL)) {
    appending_ = flags_ >= 0 && (flags_ & O_APPEND);
    if (appending_) ::fcntl(fd_, F_SETFL, flags_ & ~O_APPEND);
  }
  ~AppendModeOff() {
    if (appending_) ::fcntl(fd_, F_SETFL, flags_);
  }
  bool was_appending() const { return appending_; }

 private:
  int fd_;
  int flags_;
  bool appending_;
};

}  // namespace

extern "C" int xApEncode(const char* path, int src, int arc) {
  archive_state().last_error = XAP_OK;
  std::optional<std::string> name = plain_name(path ? path : "");
  if (!name) return fail(XAP_ERR_NAME, 0);

  struct stat src_st, arc_st;
  if (::fstat(src, &src_st) != 0) return fail(XAP_ERR_READ, 0);
  if (::fstat(arc, &arc_st) != 0) return fail(XAP_ERR_WRITE, 0);
  AppendModeOff append_off(arc);
  // An appending descriptor adds at the end whatever its position says.
  const off_t start =
      append_off.was_appending() ? ::lseek(arc, 0, SEEK_END) : ::lseek(arc, 0, SEEK_CUR);
  if (start < 0) return fail(XAP_ERR_WRITE, 0);

  MemberHeader h;
  h.name = std::move(*name);
  h.original_size = static_cast<uint32_t>(src_st.st_size);
  h.file_time = to_file_time(src_st.st_mtim);
  std::vector<uint8_t> header = encode_header(h);

  // Undoes a failed append: an archive that grew goes back to its old size,
  // and the position goes back to where the member began.
  auto give_up = [&](int code) {
    if (start >= arc_st.st_size && ::ftruncate(arc, arc_st.st_size) != 0) {
      // Nothing more to undo with; the failure is reported all the same.
    }
    ::lseek(arc, start, SEEK_SET);
    return fail(code, 0);
  };

  if (!write_at(arc, header.data(), header.size(), static_cast<uint64_t>(start))) {
    return give_up(XAP_ERR_WRITE);
  }
  FileSource source(src);
  FileOffsetSink sink(arc, static_cast<uint64_t>(start) + header.size());
  const EncodeResult r = lzhuf_encode(source, sink, UINT32_MAX);
  switch (r.status) {
    case EncodeResult::kOk:
      break;
    case EncodeResult::kReadError:
      return give_up(XAP_ERR_READ);
    case EncodeResult::kWriteError:
      return give_up(XAP_ERR_WRITE);
    case EncodeResult::kTooLarge:
      return give_up(XAP_ERR_TOO_LARGE);
  }
  if (r.bytes_out > UINT32_MAX) return give_up(XAP_ERR_TOO_LARGE);

  // The size read may differ from the size seen at the start if the source
  // changed meanwhile; the header tells what was actually packed.
  h.original_size = static_cast<uint32_t>(r.bytes_in);
  h.packed_size = static_cast<uint32_t>(r.bytes_out);
  h.checksum = r.checksum;
  header = encode_header(h);
  if (!write_at(arc, header.data(), header.size(), static_cast<uint64_t>(start))) {
    return give_up(XAP_ERR_WRITE);
  }
  const off_t end = start + static_cast<off_t>(header.size() + r.bytes_out);
  if (::lseek(arc, end, SEEK_SET) != end) return give_up(XAP_ERR_WRITE);
  return 1;
}
