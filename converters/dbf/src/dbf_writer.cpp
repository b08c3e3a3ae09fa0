// Writing dBASE III table files through a temporary file and a rename.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "kvdbf.h"
#include "xjor/numfmt.h"
#include "xjor/packed_date.h"

namespace kvdbf {

namespace {

void putU16(unsigned char* p, uint32_t v) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
}

void putU32(unsigned char* p, uint32_t v) {
  putU16(p, v & 0xFFFF);
  putU16(p + 2, v >> 16);
}

}  // namespace

Writer::~Writer() {
  abandon();
}

void Writer::abandon() {
  if (file_) {
    fclose(file_);
    file_ = nullptr;
    unlink(tempPath_.c_str());
  }
}

bool Writer::create(const std::string& path, std::vector<Column> columns, uint16_t today) {
  abandon();
  if (columns.empty() || 32 * columns.size() + 33 > 0xFFFF) return false;
  uint32_t offset = 1;
  for (auto& c : columns) {
    if (c.name.empty() || c.name.size() > 10 || c.length == 0) return false;
    if (c.type != 'C' && c.length > 255) return false;
    c.offset = offset;
    offset += c.length;
    if (offset > 0xFFFF) return false;
  }
  std::string temp = path + ".XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) return false;
  fchmod(fd, 0644);
  file_ = fdopen(fd, "wb");
  if (!file_) {
    ::close(fd);
    unlink(temp.c_str());
    return false;
  }
  path_ = path;
  tempPath_ = temp;
  columns_ = std::move(columns);
  record_.assign(offset, ' ');
  count_ = 0;
  today_ = today;
  failed_ = !writeHeader();
  return true;
}

bool Writer::writeHeader() {
  const size_t headerLength = 32 * columns_.size() + 33;
  std::string header(headerLength, '\0');
  auto* h = reinterpret_cast<unsigned char*>(header.data());
  h[0] = 3;
  h[1] = static_cast<unsigned char>(xjor::packedYear(today_) - 1900);
  h[2] = static_cast<unsigned char>(xjor::packedMonth(today_));
  h[3] = static_cast<unsigned char>(xjor::packedDay(today_));
  putU32(h + 4, count_);
  putU16(h + 8, static_cast<uint32_t>(headerLength));
  putU16(h + 10, static_cast<uint32_t>(record_.size()));
  for (size_t i = 0; i < columns_.size(); ++i) {
    unsigned char* d = h + 32 + 32 * i;
    const Column& c = columns_[i];
    memcpy(d, c.name.data(), c.name.size());
    d[11] = static_cast<unsigned char>(c.type);
    if (c.type == 'C') {
      putU16(d + 16, c.length);
    } else {
      d[16] = static_cast<unsigned char>(c.length);
      d[17] = c.decimals;
    }
  }
  h[headerLength - 1] = 0x0D;
  return fseek(file_, 0, SEEK_SET) == 0 && fwrite(h, 1, headerLength, file_) == headerLength;
}

void Writer::putField(size_t col, std::string_view text, bool rightAligned) {
  if (col >= columns_.size()) return;
  const Column& c = columns_[col];
  char* field = record_.data() + c.offset;
  memset(field, ' ', c.length);
  if (rightAligned) {
    // Numbers keep their last characters when wider than the column.
    if (text.size() > c.length) text.remove_prefix(text.size() - c.length);
    memcpy(field + c.length - text.size(), text.data(), text.size());
  } else {
    memcpy(field, text.data(), cutCp949(text, c.length));
  }
}

void Writer::setText(size_t col, std::string_view text) {
  putField(col, text, false);
}

void Writer::setInt(size_t col, int64_t value) {
  char buf[32];
  snprintf(buf, sizeof buf, "%lld", static_cast<long long>(value));
  putField(col, buf, true);
}

void Writer::setNumber(size_t col, double value) {
  if (col >= columns_.size()) return;
  const Column& c = columns_[col];
  const int decimals = c.decimals < c.length ? c.decimals : 0;
  // xNumToStr rounds halves away from zero and keeps the last characters of
  // a number wider than the column.
  char buf[1100];
  xNumToStr(buf, value, decimals > 0 ? c.length - decimals - 1 : c.length, decimals, 0);
  putField(col, buf, true);
}

void Writer::setDate(size_t col, uint16_t packed) {
  putField(col, dateText(packed), false);
}

bool Writer::append() {
  if (!file_) return false;
  record_[0] = ' ';
  if (fwrite(record_.data(), 1, record_.size(), file_) != record_.size()) failed_ = true;
  ++count_;
  std::fill(record_.begin(), record_.end(), ' ');
  return !failed_;
}

bool Writer::close() {
  if (!file_) return false;
  bool ok = !failed_ && fputc(0x1A, file_) != EOF && writeHeader() && fflush(file_) == 0 &&
            fsync(fileno(file_)) == 0;
  ok = fclose(file_) == 0 && ok;
  file_ = nullptr;
  if (ok) ok = rename(tempPath_.c_str(), path_.c_str()) == 0;
  if (!ok) unlink(tempPath_.c_str());
  return ok;
}

}  // namespace kvdbf
