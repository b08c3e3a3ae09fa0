// Option files: a directory of 10-byte entries (state u16, block size u32,
// block offset u32) from byte 0, followed by item blocks in any order.
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "byte_file.h"
#include "option_dir.h"
#include "xjor/option.h"

namespace optdir {

bool validItem(const OptionFileRef* opt, int32_t item) {
  return opt != nullptr && item >= 0 && item < opt->count;
}

Entry read(const OptionFileRef* opt, int32_t item) {
  unsigned char raw[kEntrySize];
  Entry e = {XOPT_UNUSED, 0, 0};
  if (bytefile::readAt(opt->handle, static_cast<int64_t>(item) * kEntrySize, raw, sizeof raw))
    e = {bytefile::u16(raw), bytefile::u32(raw + 2), bytefile::u32(raw + 6)};
  return e;
}

bool write(const OptionFileRef* opt, int32_t item, const Entry& e) {
  unsigned char raw[kEntrySize];
  bytefile::put16(raw, e.state);
  bytefile::put32(raw + 2, e.size);
  bytefile::put32(raw + 6, e.offset);
  return bytefile::writeAt(opt->handle, static_cast<int64_t>(item) * kEntrySize, raw, sizeof raw);
}

bool blockInFile(const OptionFileRef* opt, uint32_t offset, uint64_t bytes) {
  int64_t size = bytefile::size(opt->handle);
  return offset >= directoryBytes(opt) && offset + bytes <= static_cast<uint64_t>(size);
}

bool storeBlock(const OptionFileRef* opt, int32_t item, Entry e, const void* data, uint32_t bytes,
                bool append) {
  if (append) {
    int64_t end = bytefile::size(opt->handle);
    if (end < 0 || end + static_cast<int64_t>(bytes) > 0xFFFFFFFFll) return false;
    e.offset = static_cast<uint32_t>(end);
  }
  if (bytes > 0 && !bytefile::writeAt(opt->handle, e.offset, data, bytes)) return false;
  // An appended block takes its whole size even when less was written (op 4
  // with a short item): the entry must never name bytes past the file.
  if (append && bytes < e.size && !bytefile::truncate(opt->handle, int64_t{e.offset} + e.size))
    return false;
  e.state = XOPT_IN_USE;
  return write(opt, item, e);
}

}  // namespace optdir

namespace {

int32_t readItem(OptionFileRef* opt, int32_t item, void* buf, uint32_t len) {
  optdir::Entry e = optdir::read(opt, item);
  if (e.state != XOPT_IN_USE) return 0;
  uint32_t want = len ? len : e.size;
  uint32_t take = want < e.size ? want : e.size;
  if (take > 0 && (!optdir::blockInFile(opt, e.offset, take) ||
                   !bytefile::readAt(opt->handle, e.offset, buf, take)))
    return 0;
  // Reading more than the block holds never shows the neighbouring block.
  memset(static_cast<char*>(buf) + take, 0, want - take);
  return 1;
}

int32_t writeItem(OptionFileRef* opt, int32_t item, const void* buf, uint32_t len, bool asNew) {
  optdir::Entry e = optdir::read(opt, item);
  bool append = asNew || e.offset == 0 || len > e.size;
  if (len > e.size) e.size = len;
  uint32_t bytes = len ? len : e.size;
  return optdir::storeBlock(opt, item, e, buf, bytes, append) ? item : 0;
}

int32_t nextFree(OptionFileRef* opt, int32_t item) {
  int64_t entries = bytefile::size(opt->handle) / optdir::kEntrySize;
  int32_t last = entries < opt->count ? static_cast<int32_t>(entries) : opt->count;
  if (optdir::read(opt, item).state != XOPT_IN_USE) return item;
  for (int32_t i = item + 1; i < last; ++i)
    if (optdir::read(opt, i).state != XOPT_IN_USE) return i;
  return opt->count;
}

}  // namespace

extern "C" int32_t xOpenOpt(DbSpace* db, OptionFileRef* opt, const char* name, int32_t count) {
  if (count < 0) return 0;
  int32_t h = xOpenTemp(db, name, 0);
  if (h == -1) return 0;
  std::vector<unsigned char> zeros(static_cast<size_t>(count) * optdir::kEntrySize);
  if (!bytefile::writeAt(h, 0, zeros.data(), zeros.size())) {
    xCloseTemp(db, &h, name);
    return 0;
  }
  opt->db = db;
  opt->handle = h;
  opt->name = name;
  opt->count = count;
  return 1;
}

extern "C" int32_t xOption(OptionFileRef* opt, int32_t op, int32_t item, void* buf, uint32_t len) {
  if (!optdir::validItem(opt, item)) return op == XOPT_NEXT_FREE && opt ? opt->count : 0;
  switch (op) {
    case XOPT_READ:
      return readItem(opt, item, buf, len);
    case XOPT_WRITE:
      return writeItem(opt, item, buf, len, false);
    case XOPT_WRITE_NEW:
      return writeItem(opt, item, buf, len, true);
    case XOPT_DELETE: {
      optdir::Entry e = optdir::read(opt, item);
      e.state = XOPT_DELETED;
      return optdir::write(opt, item, e) ? item : 0;
    }
    case XOPT_NEXT_FREE:
      return nextFree(opt, item);
    case XOPT_TRUNCATE: {
      optdir::Entry e = optdir::read(opt, item);
      // Never cut into the directory, whatever the entry says.
      if (e.offset != 0 && e.offset >= optdir::directoryBytes(opt))
        bytefile::truncate(opt->handle, static_cast<int64_t>(e.offset) + e.size);
      return item;
    }
    case XOPT_SIZE:
      return static_cast<int32_t>(optdir::read(opt, item).size);
    case XOPT_READ_TABLE:
      return optdir::readTable(opt, item, buf);
    case XOPT_WRITE_TABLE:
      return optdir::writeTable(opt, item, buf);
    default:
      return item;
  }
}

extern "C" void xPackOpt(OptionFileRef* opt) {
  static const char kCopyName[] = "~$o";
  OptionFileRef copy;
  if (!xOpenOpt(opt->db, &copy, kCopyName, opt->count)) return;
  int64_t size = bytefile::size(opt->handle);
  uint32_t dirBytes = optdir::directoryBytes(opt);
  if (size < 0 || !bytefile::copy(opt->handle, 0, copy.handle, 0, size)) {
    xCloseTemp(opt->db, &copy.handle, kCopyName);
    return;
  }
  std::vector<unsigned char> zeros(dirBytes);
  if (bytefile::writeAt(opt->handle, 0, zeros.data(), zeros.size()) &&
      bytefile::truncate(opt->handle, dirBytes)) {
    std::vector<char> buf;
    for (int32_t i = 0; i < opt->count; ++i) {
      optdir::Entry e = optdir::read(&copy, i);
      if (e.state != XOPT_IN_USE || !optdir::blockInFile(&copy, e.offset, e.size)) continue;
      buf.resize(e.size ? e.size : 1);
      if (e.size > 0 && !bytefile::readAt(copy.handle, e.offset, buf.data(), e.size)) continue;
      optdir::storeBlock(opt, i, {XOPT_IN_USE, e.size, 0}, buf.data(), e.size, true);
    }
  }
  xCloseTemp(opt->db, &copy.handle, kCopyName);
}
