// Record access shared by the processing commands that work on an open
// project: whole records read into and written from their packed structs,
// and code look-ups through the project's memory tables.
#ifndef KELVO_PROJECT_RECORDS_H_
#define KELVO_PROJECT_RECORDS_H_

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "kelvo/progress_stages.h"
#include "xQdDb100.h"

namespace kelvo::records {

// Live records of a table in slot order.
inline std::vector<int32_t> live(TableHandle& tb) {
  std::vector<int32_t> found;
  tb.current = -1;
  while (xMoveNext(&tb)) found.push_back(tb.current);
  return found;
}

// The given records, or every live record when none are given.
inline std::vector<int32_t> visited(TableHandle& tb, std::span<const int32_t> chosen) {
  if (chosen.empty()) return live(tb);
  return std::vector<int32_t>(chosen.begin(), chosen.end());
}

// Reads record `slot` whole into bytes and its leading struct into r.
template <typename Record>
bool read(TableHandle& tb, int32_t slot, std::vector<uint8_t>& bytes, Record& r) {
  bytes.assign(tb.recordSize, 0);
  if (bytes.size() < sizeof r || slot < 0) return false;
  tb.current = slot;
  if (!xGetRec(&tb, bytes.data())) return false;
  std::memcpy(&r, bytes.data(), sizeof r);
  return true;
}

// Writes r over the leading bytes of bytes and stores them as record
// `slot`; only for fields no index holds.
template <typename Record>
void write(TableHandle& tb, int32_t slot, std::vector<uint8_t>& bytes, const Record& r) {
  std::memcpy(bytes.data(), &r, sizeof r);
  tb.current = slot;
  xPutRec(&tb, bytes.data());
}

// Record number of a code (read up to its NUL, at most width bytes) in a
// code memory table, -1 when it is not there.
inline int32_t codeRecord(MemTable& codes, const char* code, size_t width) {
  CodeEntry key = {};
  std::memcpy(key.code, code, strnlen(code, std::min(width, sizeof key.code - 1)));
  key.code[sizeof key.code - 1] = 0;
  if (key.code[0] == 0 || !xmSeek(&codes, &key)) return -1;
  CodeEntry found;
  std::memcpy(&found, codes.data + size_t{codes.current} * codes.recordSize, sizeof found);
  return found.record;
}

// The fields of an activity record that the progress calculations read.
inline ProgressActivity progressFields(const ActRecord& r) {
  ProgressActivity a;
  a.duration = r.duration;
  a.remaining = r.remaining;
  a.totalFloat = r.totalFloat;
  a.start = r.start;
  a.finish = r.finish;
  a.actualStart = r.actualStart;
  a.actualFinish = r.actualFinish;
  a.plannedStart = r.plannedStart;
  a.calendar = r.calendar;
  a.kind = r.type;
  a.quantity = r.quantity;
  return a;
}

// Record number of an activity code, -1 when it is not registered.
inline int32_t activityRecord(ProjectDb* db, const char* code) {
  ActCodeEntry key = {};
  std::strncpy(key.code, code, sizeof key.code - 1);
  if (key.code[0] == 0 || !xmSeek(&db->actCodes, &key)) return -1;
  ActCodeEntry found;
  std::memcpy(&found, db->actCodes.data + size_t{db->actCodes.current} * db->actCodes.recordSize,
              sizeof found);
  return found.record;
}

// The level counts of the two classifications (option item 1: two 202-byte
// definitions whose first word is the count), for the record input.
struct LevelCounts {
  int16_t workTypes = 0;
  int16_t facilities = 0;
};
LevelCounts levelCounts(ProjectDb* db);

// The code lengths of the facility levels, for cutting a facility code to
// each of its levels.
std::vector<int16_t> facilityLevelLengths(ProjectDb* db);

}  // namespace kelvo::records

#endif  // KELVO_PROJECT_RECORDS_H_
