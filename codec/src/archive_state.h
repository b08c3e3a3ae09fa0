// The module-level state of the archive functions: the archive being listed,
// its current member and the reason the last call failed.
#ifndef CODEC_ARCHIVE_STATE_H_
#define CODEC_ARCHIVE_STATE_H_

#include <cstdint>

#include "member_header.h"
#include "xNubPack.h"

namespace nub {

struct ArchiveState {
  int archive = -1;
  uint64_t archive_size = 0;
  uint64_t member_offset = 0;  // where the current member's header starts
  bool has_member = false;
  MemberHeader member;
  XApHeader block{};  // what callers see of `member`
  int last_error = XAP_OK;
};

ArchiveState& archive_state();

// Records `code` as the last error; returns `result` for tail calls.
template <typename T>
T fail(int code, T result) {
  archive_state().last_error = code;
  return result;
}

}  // namespace nub

#endif  // CODEC_ARCHIVE_STATE_H_
