// The sorted tables that the record operations keep in step with the record
// tables, addressed by one id each, with the few operations the record
// operations need: exact lookups, inserts, removals, in-place rewrites and
// walks in key order. Entries are handled as byte strings of the table's
// record size; every entry is built with NUL-padded codes, so equal keys are
// equal bytes.
//
// Inside an input batch, inserts collect in a sorted side set per table and
// are merged into the table in runs; lookups see both, and a walk or the end
// of the batch merges first.
#ifndef XQD_RECORD_INDEX_H_
#define XQD_RECORD_INDEX_H_

#include <functional>
#include <string>
#include <vector>

#include "xQdDb100.h"

namespace xqd {

enum IndexId {
  kWbsCodes,
  kObsCodes,
  kIre,
  kCr1,
  kCr2,
  kActCodes,
  kActOrder,
  kWa1,
  kWa2,
  kSpa,
  kOp1,
  kOp2,
  kRelByPred,
  kRelBySucc,
  kRelAnchor,
  kIndexCount
};

// Name of the index for reports ("ire", "activity codes", ...).
const char* IndexName(IndexId id);
int EntrySize(IndexId id);

using Entry = std::string;

// Copies the entry with exactly this key into entry (may be null). Returns
// whether it exists. key holds the key bytes at the start of an entry.
bool FindEntry(ProjectDb* db, IndexId id, const void* key, void* entry = nullptr);
// Inserts an entry whose key is not present. Returns false when the table
// refused it.
bool InsertEntry(ProjectDb* db, IndexId id, const void* entry);
// Removes the entry with this key, if any.
void EraseEntry(ProjectDb* db, IndexId id, const void* key);
// Overwrites the entry with the same key (inserting it when absent).
bool ReplaceEntry(ProjectDb* db, IndexId id, const void* entry);
// Copies of the entries from the first whose key is not below from, in key
// order, as long as keep(entry) holds.
std::vector<Entry> WalkEntries(ProjectDb* db, IndexId id, const void* from,
                               const std::function<bool(const uint8_t*)>& keep);
// Every entry, in order.
std::vector<Entry> AllEntries(ProjectDb* db, IndexId id);
// Replaces the whole table by these entries (already in key order).
bool ReplaceAllEntries(ProjectDb* db, IndexId id, const std::vector<Entry>& entries);
// Compares two entries of the index by key: -1, 0, 1.
int CompareEntries(ProjectDb* db, IndexId id, const void* a, const void* b);

void BeginBatch(ProjectDb* db);
// Merges every collected entry into its table; the batch goes on.
bool SettleBatch(ProjectDb* db);
// Settles and ends the batch.
bool EndBatch(ProjectDb* db);

}  // namespace xqd

#endif  // XQD_RECORD_INDEX_H_
