// Reading dBASE III table files, checked against the bytes present.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "kvdbf.h"
#include "xjor/numfmt.h"

namespace kvdbf {

namespace {

uint32_t u16At(const std::string& b, size_t at) {
  return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8;
}

uint32_t u32At(const std::string& b, size_t at) {
  return u16At(b, at) | u16At(b, at + 2) << 16;
}

}  // namespace

bool Reader::fail(std::string why) {
  error_ = std::move(why);
  columns_.clear();
  bytes_.clear();
  count_ = 0;
  record_ = nullptr;
  return false;
}

bool Reader::open(const std::string& path) {
  // Not blocking on open: a FIFO under a member's name is refused, not
  // waited on.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return fail(std::string("cannot open: ") + strerror(errno));
  struct stat st;
  std::string bytes;
  std::string why;
  if (fstat(fd, &st) != 0) {
    why = std::string("cannot read: ") + strerror(errno);
  } else if (!S_ISREG(st.st_mode)) {
    why = "not a regular file";
  } else {
    bytes.resize(static_cast<size_t>(st.st_size));
    size_t got = 0;
    while (got < bytes.size()) {
      const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        why = n < 0 ? std::string("cannot read: ") + strerror(errno) : "shorter than its size";
        break;
      }
      got += static_cast<size_t>(n);
    }
  }
  ::close(fd);
  if (!why.empty()) return fail(why);
  return openBytes(std::move(bytes));
}

bool Reader::openBytes(std::string bytes) {
  bytes_ = std::move(bytes);
  error_.clear();
  columns_.clear();
  record_ = nullptr;
  const std::string& b = bytes_;
  if (b.size() < 32) return fail("short header");
  if ((static_cast<unsigned char>(b[0]) & 7) != 3) return fail("not a dBASE III table");
  count_ = u32At(b, 4);
  headerLength_ = u16At(b, 8);
  recordLength_ = u16At(b, 10);
  if (headerLength_ < 33 || headerLength_ > b.size()) return fail("header beyond the file");
  // Descriptors run up to the 0x0D terminator; the stored header length
  // bounds them (other writers may leave bytes between the two).
  uint32_t offset = 1;
  size_t at = 32;
  for (; at + 32 <= headerLength_ && b[at] != 0x0D; at += 32) {
    Column c;
    c.name.assign(b.data() + at, strnlen(b.data() + at, 11));
    c.type = b[at + 11];
    if (c.type == 'C') {
      c.length = static_cast<uint16_t>(u16At(b, at + 16));
    } else {
      c.length = static_cast<unsigned char>(b[at + 16]);
      c.decimals = static_cast<unsigned char>(b[at + 17]);
    }
    c.offset = offset;
    offset += c.length;
    columns_.push_back(std::move(c));
  }
  if (columns_.empty()) return fail("no columns");
  // A list that runs past the stored header length (more columns than the
  // 16-bit length can hold, or a cut header) has no end mark inside it.
  if (at >= headerLength_ || b[at] != 0x0D) return fail("descriptors without their end mark");
  if (offset > recordLength_) return fail("columns longer than the record");
  if (static_cast<uint64_t>(count_) * recordLength_ > b.size() - headerLength_)
    return fail("records beyond the file");
  return true;
}

bool Reader::seek(uint32_t i) {
  if (i >= count_) return false;
  record_ = bytes_.data() + headerLength_ + static_cast<size_t>(i) * recordLength_;
  return true;
}

bool Reader::live() const {
  return record_ && record_[0] == ' ';
}

std::string_view Reader::raw(size_t col) const {
  if (!record_ || col >= columns_.size()) return {};
  return {record_ + columns_[col].offset, columns_[col].length};
}

std::string Reader::text(size_t col) const {
  std::string_view v = raw(col);
  while (!v.empty() && (v.back() == ' ' || v.back() == '\0')) v.remove_suffix(1);
  return std::string(v);
}

int64_t Reader::integer(size_t col) const {
  const std::string t(raw(col));
  size_t i = 0;
  while (i < t.size() && (t[i] == ' ' || t[i] == '\t')) ++i;
  bool negative = false;
  if (i < t.size() && (t[i] == '-' || t[i] == '+')) negative = t[i++] == '-';
  int64_t v = 0;
  for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i) {
    if (v > (INT64_MAX - 9) / 10) break;  // a 255-digit field stops short of overflow
    v = v * 10 + (t[i] - '0');
  }
  return negative ? -v : v;
}

double Reader::number(size_t col) const {
  const std::string t(raw(col));
  double v = 0;
  xStrToNum(t.c_str(), &v, 0, 0);
  return v;
}

uint16_t Reader::date(size_t col) const {
  return parseDate(raw(col));
}

}  // namespace kvdbf
