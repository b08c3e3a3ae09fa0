// Helpers shared by the record operations: codes in fixed fields, record
// buffers of a table's own length, and the index entries each record gives.
#ifndef XQD_RECORD_COMMON_H_
#define XQD_RECORD_COMMON_H_

#include <string.h>

#include <vector>

#include "record_index.h"
#include "xQdDb100.h"

namespace xqd {

enum { kShortCode = 11, kActivityCode = 21 };

// Rewrites a code field of width bytes in place: the code ends at its first
// NUL or after width - 1 bytes (before a double-byte character that would
// not fit), and the rest of the field becomes NULs.
void NormalizeCode(char* field, int width);
// Length of a normalized code.
inline int CodeLength(const char* field, int width) {
  return static_cast<int>(strnlen(field, width));
}
inline bool SameCode(const char* a, const char* b, int width) {
  return strncmp(a, b, width) == 0;
}
// Copies a code into a NUL-padded field of width bytes.
inline void PutCode(char* dst, const char* src, int width) {
  memset(dst, 0, width);
  memcpy(dst, src, strnlen(src, width - 1));
}

// A record of a table's own length (tables may carry user fields past the
// fixed layout).
struct RecordBuffer {
  std::vector<uint8_t> bytes;
  template <class R>
  R* as() {
    return reinterpret_cast<R*>(bytes.data());
  }
};

// Reads the record at slot into buf (sized to the table). False when the
// slot is not a live record. The table's current slot is left at slot.
bool ReadRecord(TableBinding* t, int32_t slot, RecordBuffer* buf);
// Reads the table's current record, if it has one.
bool ReadCurrent(TableBinding* t, RecordBuffer* buf);
// Writes buf at slot.
bool WriteRecord(TableBinding* t, int32_t slot, const RecordBuffer& buf);
// A buffer of the table's length holding a copy of the caller's record.
RecordBuffer CopyOf(const TableBinding* t, const void* record);

// Adds rec as a new record of t (it becomes current): its slot, or -1.
int32_t AddRecord(TableBinding* t, const RecordBuffer& rec);
// Copies the record as stored back into the caller's record.
void CopyBack(void* record, const RecordBuffer& rec);
// The message number of a failed engine call (the error word, else 21000).
int32_t EngineFailure();

// Keeps a table's current slot across a cascade.
class CurrentGuard {
 public:
  explicit CurrentGuard(TableBinding* t) : t_(t), slot_(t->tb.current) {}
  ~CurrentGuard() { t_->tb.current = slot_; }

 private:
  TableBinding* t_;
  int32_t slot_;
};

// Index entries made from records.
CodeEntry MakeCodeEntry(const char* code, int32_t record);
CodePairEntry MakePairEntry(const char* first, const char* second, int32_t record);
OprEntry MakeOp1Entry(const OprRecord& r, int32_t record);
OprByResEntry MakeOp2Entry(const OprRecord& r, int32_t record);
ActCodeEntry MakeActCodeEntry(const ActRecord& r, int32_t record);
ActOrderEntry MakeActOrderEntry(const ActRecord& r, int32_t record);
RelCodeEntry MakeRelEntry(const char* first, const char* second, int32_t record);
// The relation's network link between two activities.
RelAnchorEntry MakeAnchorEntry(const RelRecord& r, int32_t record, const ActCodeEntry& pred,
                               const ActCodeEntry& succ);
// The same, with both activities looked up in the activity code index (an activity
// that is not registered counts as day 0 and path 0).
RelAnchorEntry MakeAnchorEntry(ProjectDb* db, const RelRecord& r, int32_t record);

// Looks up codes in the code indexes; the record number or -1.
int32_t FindCode(ProjectDb* db, IndexId id, const char* code);
int32_t FindActivity(ProjectDb* db, const char* code, ActCodeEntry* entry = nullptr);
// True when code is a registered classification code of level finalLevel.
bool IsFinalCode(ProjectDb* db, int16_t classification, const char* code, int16_t levels);

// Entries of a pair index whose first code is code, in key order.
std::vector<Entry> EntriesOf(ProjectDb* db, IndexId id, const char* code, int width);

// Record operations shared between the kinds (record_*.cpp).
void DeleteRelationAt(ProjectDb* db, int32_t slot);
void DeleteActivityAt(ProjectDb* db, int32_t slot);
void DeleteCrewAt(ProjectDb* db, int32_t slot);
void DeleteDetailAt(ProjectDb* db, int32_t slot);
// Rewrites the anchor entries of every relation of the activity.
void RefreshAnchors(ProjectDb* db, const char* activityCode);

}  // namespace xqd

#endif  // XQD_RECORD_COMMON_H_
