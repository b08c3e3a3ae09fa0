// The stored member header: layout, checks on reading, names and file times.
#ifndef CODEC_MEMBER_HEADER_H_
#define CODEC_MEMBER_HEADER_H_

#include <time.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nub {

// Bytes before the name: length, sizes, checksum, time.
inline constexpr size_t kHeaderFixed = 22;
// The longest name a 16-bit header length can hold.
inline constexpr size_t kMaxNameLength = 0xFFFF - kHeaderFixed - 1;

struct MemberHeader {
  uint16_t header_length = 0;
  uint32_t original_size = 0;
  uint32_t packed_size = 0;
  uint32_t checksum = 0;
  uint64_t file_time = 0;
  std::string name;  // the plain name
};

// The stored bytes of `h` with h.name; header_length is taken as 23 + the
// length of the name.
std::vector<uint8_t> encode_header(const MemberHeader& h);

enum class HeaderRead {
  kOk,
  kEnd,      // the archive ends exactly here
  kDamaged,  // malformed, or the header or its bytes run past the end
  kBadName,  // a name that may not be unpacked
  kReadError,
};

// Reads and checks the member header at `offset` of an archive of
// `archive_size` bytes. A header must be at least 24 bytes with a NUL after
// the fixed part, lie within the archive together with its compressed bytes,
// carry compressed bytes when it has content, and name an acceptable file.
HeaderRead read_header(int fd, uint64_t offset, uint64_t archive_size, MemberHeader& out);

// The part of `path` after its last '/' or '\', or nothing when that part is
// empty, "." or "..", has control bytes, or is too long for a header.
std::optional<std::string> plain_name(std::string_view path);

// Platform file time (100-ns intervals since 1601-01-01 UTC) and back.
// Times before 1601 become 0; from_file_time fails for times beyond time_t.
uint64_t to_file_time(const struct timespec& t);
bool from_file_time(uint64_t file_time, struct timespec& t);

}  // namespace nub

#endif  // CODEC_MEMBER_HEADER_H_
