#include "member_header.h"

#include <cstring>

#include "byte_stream.h"

namespace nub {
namespace {

constexpr int64_t kTicksPerSecond = 10'000'000;
// 100-ns intervals from 1601-01-01 to 1970-01-01.
constexpr int64_t kUnixEpochTicks = 116'444'736'000'000'000;

void put_le(std::vector<uint8_t>& out, uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

uint64_t get_le(const uint8_t* p, int bytes) {
  uint64_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | p[i];
  return v;
}

}  // namespace

std::vector<uint8_t> encode_header(const MemberHeader& h) {
  std::vector<uint8_t> out;
  out.reserve(kHeaderFixed + h.name.size() + 1);
  put_le(out, kHeaderFixed + 1 + h.name.size(), 2);
  put_le(out, h.original_size, 4);
  put_le(out, h.packed_size, 4);
  put_le(out, h.checksum, 4);
  put_le(out, h.file_time, 8);
  out.insert(out.end(), h.name.begin(), h.name.end());
  out.push_back(0);
  return out;
}

HeaderRead read_header(int fd, uint64_t offset, uint64_t archive_size, MemberHeader& out) {
  if (offset >= archive_size) return HeaderRead::kEnd;
  const uint64_t left = archive_size - offset;
  uint8_t fixed[kHeaderFixed];
  if (left < kHeaderFixed) return HeaderRead::kDamaged;
  if (read_at(fd, fixed, kHeaderFixed, offset) != static_cast<long>(kHeaderFixed)) {
    return HeaderRead::kReadError;
  }
  out.header_length = static_cast<uint16_t>(get_le(fixed, 2));
  out.original_size = static_cast<uint32_t>(get_le(fixed + 2, 4));
  out.packed_size = static_cast<uint32_t>(get_le(fixed + 6, 4));
  out.checksum = static_cast<uint32_t>(get_le(fixed + 10, 4));
  out.file_time = get_le(fixed + 14, 8);
  if (out.header_length < kHeaderFixed + 2 || out.header_length > left) return HeaderRead::kDamaged;
  if (uint64_t{out.header_length} + out.packed_size > left) return HeaderRead::kDamaged;
  if (out.packed_size == 0 && out.original_size != 0) return HeaderRead::kDamaged;

  std::string stored(out.header_length - kHeaderFixed, '\0');
  const long want = static_cast<long>(stored.size());
  if (read_at(fd, reinterpret_cast<uint8_t*>(stored.data()), stored.size(),
              offset + kHeaderFixed) != want) {
    return HeaderRead::kReadError;
  }
  const size_t nul = stored.find('\0');
  if (nul == std::string::npos) return HeaderRead::kDamaged;
  stored.resize(nul);
  std::optional<std::string> name = plain_name(stored);
  if (!name) return HeaderRead::kBadName;
  out.name = std::move(*name);
  return HeaderRead::kOk;
}

std::optional<std::string> plain_name(std::string_view path) {
  const size_t cut = path.find_last_of("/\\");
  const std::string_view name = cut == std::string_view::npos ? path : path.substr(cut + 1);
  if (name.empty() || name == "." || name == ".." || name.size() > kMaxNameLength) {
    return std::nullopt;
  }
  for (const char ch : name) {
    const auto b = static_cast<unsigned char>(ch);
    if (b < 0x20 || b == 0x7F) return std::nullopt;
  }
  return std::string(name);
}

uint64_t to_file_time(const struct timespec& t) {
  const int64_t sec = static_cast<int64_t>(t.tv_sec);
  const int64_t min_sec = -kUnixEpochTicks / kTicksPerSecond;
  const int64_t max_sec = (INT64_MAX - kUnixEpochTicks) / kTicksPerSecond - 1;
  if (sec < min_sec) return 0;
  if (sec > max_sec) return static_cast<uint64_t>(INT64_MAX);
  return static_cast<uint64_t>(kUnixEpochTicks + sec * kTicksPerSecond + t.tv_nsec / 100);
}

bool from_file_time(uint64_t file_time, struct timespec& t) {
  // Unsigned arithmetic keeps times beyond 2^63 apart from negative ones.
  if (file_time > static_cast<uint64_t>(INT64_MAX)) return false;
  const int64_t ticks = static_cast<int64_t>(file_time) - kUnixEpochTicks;
  int64_t sec = ticks / kTicksPerSecond;
  int64_t rem = ticks % kTicksPerSecond;
  if (rem < 0) {
    rem += kTicksPerSecond;
    --sec;
  }
  t.tv_sec = static_cast<time_t>(sec);
  t.tv_nsec = static_cast<long>(rem * 100);
  return true;
}

}  // namespace nub
