// Listing an archive and unpacking its members.
#include <sys/stat.h>

#include <memory>

#include "archive_state.h"
#include "byte_stream.h"
#include "lzhuf.h"
#include "member_header.h"
#include "xNubPack.h"

namespace nub {

ArchiveState& archive_state() {
  static ArchiveState state;
  return state;
}

namespace {

int error_of(HeaderRead r) {
  switch (r) {
    case HeaderRead::kOk:
      return XAP_OK;
    case HeaderRead::kEnd:
      return XAP_ERR_NO_MEMBER;
    case HeaderRead::kDamaged:
      return XAP_ERR_HEADER;
    case HeaderRead::kBadName:
      return XAP_ERR_NAME;
    case HeaderRead::kReadError:
      return XAP_ERR_READ;
  }
  return XAP_ERR_HEADER;
}

// Adds up the `length` bytes at `offset`; false on a read failure.
bool sum_bytes(int fd, uint64_t offset, uint64_t length, uint32_t& sum) {
  std::unique_ptr<uint8_t[]> buf(new uint8_t[kIoBlock]);
  FileRangeSource source(fd, offset, length);
  sum = 0;
  for (;;) {
    const long n = source.read(buf.get(), kIoBlock);
    if (n < 0) return false;
    if (n == 0) return true;
    for (long i = 0; i < n; ++i) sum += buf[i];
  }
}

void forget_member(ArchiveState& s) {
  s.has_member = false;
  s.member = MemberHeader{};
  s.block = XApHeader{};
}

// Makes the header at `offset` the current member and returns its block.
const XApHeader* offer_member(uint64_t offset) {
  ArchiveState& s = archive_state();
  forget_member(s);
  const HeaderRead r = read_header(s.archive, offset, s.archive_size, s.member);
  if (r != HeaderRead::kOk) {
    s.member = MemberHeader{};
    return fail(error_of(r), nullptr);
  }
  s.member_offset = offset;
  s.has_member = true;
  s.block.header_length = s.member.header_length;
  s.block.original_size = s.member.original_size;
  s.block.packed_size = s.member.packed_size;
  s.block.checksum = s.member.checksum;
  s.block.file_time = s.member.file_time;
  s.block.name = s.member.name.c_str();
  s.last_error = XAP_OK;
  return &s.block;
}

// Decodes the current member into `sink`.
int decode_member(ByteSink& sink) {
  ArchiveState& s = archive_state();
  if (!s.has_member) return fail(XAP_ERR_NO_MEMBER, 0);
  const MemberHeader& m = s.member;
  FileRangeSource source(s.archive, s.member_offset + m.header_length, m.packed_size);
  switch (lzhuf_decode(source, m.original_size, sink)) {
    case DecodeStatus::kOk:
      break;
    case DecodeStatus::kDamaged:
      return fail(XAP_ERR_STREAM, 0);
    case DecodeStatus::kReadError:
      return fail(XAP_ERR_READ, 0);
    case DecodeStatus::kWriteError:
      return fail(XAP_ERR_WRITE, 0);
  }
  s.last_error = XAP_OK;
  return 1;
}

}  // namespace
}  // namespace nub

using namespace nub;

extern "C" const XApHeader* xApFindFirst(int arc) {
  ArchiveState& s = archive_state();
  forget_member(s);
  s.archive = arc;
  struct stat st;
  if (::fstat(arc, &st) != 0) return fail(XAP_ERR_READ, nullptr);
  s.archive_size = static_cast<uint64_t>(st.st_size);
  if (s.archive_size == 0) return fail(XAP_ERR_EMPTY, nullptr);

  uint64_t offset = 0;
  MemberHeader h;
  for (;;) {
    const HeaderRead r = read_header(arc, offset, s.archive_size, h);
    if (r == HeaderRead::kEnd) break;
    if (r != HeaderRead::kOk) return fail(error_of(r), nullptr);
    const uint64_t data = offset + h.header_length;
    if (h.packed_size != 0) {
      uint32_t sum = 0;
      if (!sum_bytes(arc, data, h.packed_size, sum)) return fail(XAP_ERR_READ, nullptr);
      if (sum != h.checksum) return fail(XAP_ERR_CHECKSUM, nullptr);
    }
    offset = data + h.packed_size;
  }
  return offer_member(0);
}

extern "C" const XApHeader* xApFindNext(void) {
  ArchiveState& s = archive_state();
  if (!s.has_member) return fail(XAP_ERR_NO_MEMBER, nullptr);
  const uint64_t next = s.member_offset + s.member.header_length + s.member.packed_size;
  return offer_member(next);
}

extern "C" void xApFindClose(void) {
  ArchiveState& s = archive_state();
  forget_member(s);
  s.last_error = XAP_OK;
}

extern "C" int xApDecode(int target) {
  FileSink sink(target);
  if (!decode_member(sink)) return 0;
  struct timespec t;
  if (!from_file_time(archive_state().member.file_time, t)) return fail(XAP_ERR_TIME, 0);
  // Creation time has no counterpart here; access and modification get it.
  const struct timespec times[2] = {t, t};
  if (::futimens(target, times) != 0) return fail(XAP_ERR_TIME, 0);
  return 1;
}

extern "C" int xApVerify(void) {
  DiscardSink sink;
  return decode_member(sink);
}

extern "C" int xApLastError(void) {
  return archive_state().last_error;
}
