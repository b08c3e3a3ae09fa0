// Sorted tables of the record operations, with the side sets of an input
// batch.
#include "record_index.h"

#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <string_view>

namespace xqd {
namespace {

struct IndexDef {
  const char* name;
  MemTable ProjectDb::*memory;
  IndexTable ProjectDb::*file;
};

constexpr IndexDef kIndexDefs[kIndexCount] = {
    {"work-type codes", &ProjectDb::wbsCodes, nullptr},
    {"facility codes", &ProjectDb::obsCodes, nullptr},
    {"ire", nullptr, &ProjectDb::ire},
    {"cr1", nullptr, &ProjectDb::cr1},
    {"cr2", nullptr, &ProjectDb::cr2},
    {"activity codes", &ProjectDb::actCodes, nullptr},
    {"activity order", &ProjectDb::actOrder, nullptr},
    {"wa1", nullptr, &ProjectDb::wa1},
    {"wa2", nullptr, &ProjectDb::wa2},
    {"spa", nullptr, &ProjectDb::spa},
    {"op1", nullptr, &ProjectDb::op1},
    {"op2", nullptr, &ProjectDb::op2},
    {"relations by predecessor", &ProjectDb::relByPred, nullptr},
    {"relations by successor", &ProjectDb::relBySucc, nullptr},
    {"relation anchors", &ProjectDb::relAnchor, nullptr},
};

const KeyDesc* KeyOf(ProjectDb* db, IndexId id) {
  const IndexDef& s = kIndexDefs[id];
  return s.memory != nullptr ? (db->*s.memory).key : (db->*s.file).key;
}

// Bytes of an entry's key. Entries carry their codes NUL-padded, so equal
// keys are equal bytes and all-code keys order like their bytes.
int KeyBytes(IndexId id) {
  static constexpr int kBytes[kIndexCount] = {11, 11, 11, 22, 22, 21, 6, 22,
                                              22, 6,  32, 32, 42, 42, 6};
  return kBytes[id];
}
bool CodesOnly(IndexId id) {
  return id != kActOrder && id != kSpa && id != kRelAnchor;
}

// The entries collected for one table in a batch: stored side by side and
// found by their key bytes through open addressing, so that a million
// entries cost two flat arrays rather than a node and a string each.
class Run {
 public:
  Run(size_t entrySize, size_t keyBytes) : entrySize_(entrySize), keyBytes_(keyBytes) {}

  // The collected entry with key's bytes, or null.
  uint8_t* Find(const void* key) {
    if (slots_.empty()) return nullptr;
    for (size_t at = Hash(key) & mask_;; at = (at + 1) & mask_) {
      const uint32_t s = slots_[at];
      if (s == kEmpty) return nullptr;
      if (s != kGone && memcmp(EntryAt(s), key, keyBytes_) == 0) return EntryAt(s);
    }
  }
  // Adds an entry whose key is not collected yet.
  void Insert(const void* entry) {
    if (2 * (used_ + 1) > slots_.size()) Rehash();
    const uint32_t index = static_cast<uint32_t>(entries_.size() / entrySize_);
    const auto* bytes = static_cast<const uint8_t*>(entry);
    entries_.insert(entries_.end(), bytes, bytes + entrySize_);
    live_.push_back(1);
    Place(index);
    ++used_;
    ++count_;
  }
  // Removes the entry with key's bytes; false when none is collected.
  bool Erase(const void* key) {
    if (slots_.empty()) return false;
    for (size_t at = Hash(key) & mask_;; at = (at + 1) & mask_) {
      const uint32_t s = slots_[at];
      if (s == kEmpty) return false;
      if (s != kGone && memcmp(EntryAt(s), key, keyBytes_) == 0) {
        live_[s] = 0;
        slots_[at] = kGone;
        --count_;
        return true;
      }
    }
  }
  size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  // The collected entries, in no particular order.
  std::vector<const uint8_t*> Entries() const {
    std::vector<const uint8_t*> out;
    out.reserve(count_);
    for (size_t i = 0; i < live_.size(); ++i) {
      if (live_[i]) out.push_back(entries_.data() + i * entrySize_);
    }
    return out;
  }
  void clear() {
    entries_.clear();
    live_.clear();
    slots_.clear();
    mask_ = 0;
    used_ = count_ = 0;
  }

 private:
  static constexpr uint32_t kEmpty = 0xFFFFFFFFu, kGone = 0xFFFFFFFEu;
  size_t Hash(const void* key) const {
    return std::hash<std::string_view>()(
        std::string_view(static_cast<const char*>(key), keyBytes_));
  }
  uint8_t* EntryAt(uint32_t index) { return entries_.data() + size_t{index} * entrySize_; }
  void Place(uint32_t index) {
    size_t at = Hash(EntryAt(index)) & mask_;
    while (slots_[at] != kEmpty) at = (at + 1) & mask_;
    slots_[at] = index;
  }
  // Drops the removed entries and spreads the rest over twice their room.
  void Rehash() {
    std::vector<uint8_t> entries;
    entries.reserve(entries_.capacity());
    for (size_t i = 0; i < live_.size(); ++i) {
      if (live_[i]) {
        entries.insert(entries.end(), entries_.begin() + i * entrySize_,
                       entries_.begin() + (i + 1) * entrySize_);
      }
    }
    entries_.swap(entries);
    live_.assign(count_, 1);
    size_t room = 64;
    while (room < 4 * (count_ + 1)) room *= 2;
    slots_.assign(room, kEmpty);
    mask_ = room - 1;
    for (uint32_t i = 0; i < count_; ++i) Place(i);
    used_ = count_;
  }

  size_t entrySize_, keyBytes_;
  std::vector<uint8_t> entries_;
  std::vector<uint8_t> live_;
  std::vector<uint32_t> slots_;
  size_t mask_ = 0;
  size_t used_ = 0;   // slots taken, removed ones included
  size_t count_ = 0;  // live entries
};

struct Batch {
  std::vector<Run> runs;
};
std::map<const ProjectDb*, std::unique_ptr<Batch>>& Batches() {
  static std::map<const ProjectDb*, std::unique_ptr<Batch>> batches;
  return batches;
}

// The time-shared entries are positioned by their callers (the spa index's
// current entry), so they always go straight into their table.
Run* RunOf(ProjectDb* db, IndexId id) {
  if (id == kSpa) return nullptr;
  auto it = Batches().find(db);
  return it == Batches().end() ? nullptr : &it->second->runs[id];
}

// Reads the table's entries [first, first + n).
std::vector<uint8_t> ReadTable(ProjectDb* db, IndexId id, uint32_t first, uint32_t n) {
  const IndexDef& s = kIndexDefs[id];
  const size_t size = EntrySize(id);
  std::vector<uint8_t> bytes(n * size);
  if (s.memory != nullptr) {
    MemTable& m = db->*s.memory;
    if (n > 0) memcpy(bytes.data(), m.data + first * size, n * size);
  } else {
    IndexTable& t = db->*s.file;
    size_t done = 0;
    while (done < bytes.size()) {
      ssize_t r = pread(t.handle, bytes.data() + done, bytes.size() - done, first * size + done);
      if (r <= 0) break;
      done += static_cast<size_t>(r);
    }
    if (done < bytes.size()) memset(bytes.data() + done, 0, bytes.size() - done);
  }
  return bytes;
}

uint32_t CountOf(ProjectDb* db, IndexId id) {
  const IndexDef& s = kIndexDefs[id];
  return s.memory != nullptr ? (db->*s.memory).count : (db->*s.file).count;
}

bool WriteTable(ProjectDb* db, IndexId id, const uint8_t* bytes, uint32_t n) {
  const IndexDef& s = kIndexDefs[id];
  const size_t size = EntrySize(id);
  if (s.memory != nullptr) {
    MemTable& m = db->*s.memory;
    if (n > m.capacity) {
      // A fresh block of the exact size; the old one is freed by the engine.
      std::vector<uint8_t> keep(bytes, bytes + n * size);
      xmOpenTb(&m, static_cast<int32_t>(n), m.key, 0);
      if (m.data == nullptr) {
        m.count = 0;
        return false;
      }
      memcpy(m.data, keep.data(), keep.size());
    } else if (n > 0) {
      memmove(m.data, bytes, n * size);
    }
    m.count = n;
    m.current = XJOR_NONE;
    return true;
  }
  IndexTable& t = db->*s.file;
  size_t done = 0;
  const size_t total = n * size;
  while (done < total) {
    ssize_t w = pwrite(t.handle, bytes + done, total - done, done);
    if (w <= 0) return false;
    done += static_cast<size_t>(w);
  }
  if (n < t.count) {
    if (ftruncate(t.handle, total) != 0) return false;
    xFileChanged(t.handle);
  }
  t.count = n;
  t.current = XJOR_NONE;
  return true;
}

bool Settle(ProjectDb* db, IndexId id) {
  Run* run = RunOf(db, id);
  if (run == nullptr || run->empty()) return true;
  const size_t size = EntrySize(id);
  const uint32_t count = CountOf(db, id);
  const std::vector<uint8_t> old = ReadTable(db, id, 0, count);
  std::vector<uint8_t> merged((count + run->size()) * size);
  const KeyDesc* key = KeyOf(db, id);
  std::vector<const uint8_t*> sorted = run->Entries();
  const size_t keyBytes = KeyBytes(id);
  if (CodesOnly(id)) {
    std::sort(sorted.begin(), sorted.end(), [keyBytes](const uint8_t* a, const uint8_t* b) {
      return memcmp(a, b, keyBytes) < 0;
    });
  } else {
    std::sort(sorted.begin(), sorted.end(),
              [key](const uint8_t* a, const uint8_t* b) { return xCompareKey(a, b, key) < 0; });
  }
  // Each collected entry goes in front of the first table entry above it;
  // the table entries between are copied as one block. Both sides are in
  // order, so the table is walked once.
  auto below = [&](const uint8_t* a, const uint8_t* b) {
    return CodesOnly(id) ? memcmp(a, b, keyBytes) < 0 : xCompareKey(a, b, key) < 0;
  };
  uint32_t from = 0;
  uint8_t* out = merged.data();
  for (const uint8_t* bytes : sorted) {
    uint32_t lo = from;
    while (lo < count && below(old.data() + static_cast<size_t>(lo) * size, bytes)) ++lo;
    if (lo > from) memcpy(out, old.data() + from * size, (lo - from) * size);
    out += (lo - from) * size;
    memcpy(out, bytes, size);
    out += size;
    from = lo;
  }
  if (count > from) memcpy(out, old.data() + from * size, (count - from) * size);
  const uint32_t n = count + static_cast<uint32_t>(run->size());
  run->clear();
  return WriteTable(db, id, merged.data(), n);
}

// xmSeek for a table of codes only, whose key order is the order of its
// first keyBytes bytes: the same halving, so the same position, without
// reading the key descriptor at every step.
int32_t SeekBytes(MemTable& m, const void* key, size_t keyBytes) {
  int64_t lo = 0, hi = static_cast<int64_t>(m.count) - 1;
  while (lo <= hi) {
    const int64_t mid = (lo + hi) / 2;
    const int r = memcmp(key, m.data + static_cast<size_t>(mid) * m.recordSize, keyBytes);
    if (r == 0) {
      m.current = static_cast<uint32_t>(mid);
      return 1;
    }
    if (r > 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
    }
  }
  m.current = static_cast<uint32_t>(lo);
  return 0;
}

// Position of key in the table: its index, or where it would go.
bool Seek(ProjectDb* db, IndexId id, const void* key, uint32_t* at) {
  const IndexDef& s = kIndexDefs[id];
  int32_t found;
  if (s.memory != nullptr && CodesOnly(id)) {
    MemTable& m = db->*s.memory;
    found = m.count == 0 ? 0 : SeekBytes(m, key, KeyBytes(id));
    *at = m.count == 0 ? 0 : m.current;
  } else if (s.memory != nullptr) {
    MemTable& m = db->*s.memory;
    found = m.count == 0 ? 0 : xmSeek(&m, key);
    *at = m.count == 0 ? 0 : m.current;
  } else {
    IndexTable& t = db->*s.file;
    found = t.count == 0 ? 0 : xiSeek(&t, key);
    *at = t.count == 0 ? 0 : t.current;
  }
  return found == 1;
}

}  // namespace

const char* IndexName(IndexId id) {
  return kIndexDefs[id].name;
}

int EntrySize(IndexId id) {
  static constexpr int kSizes[kIndexCount] = {15, 15, 15, 26, 26, 31, 10, 26,
                                              26, 14, 36, 36, 46, 46, 14};
  return kSizes[id];
}

int CompareEntries(ProjectDb* db, IndexId id, const void* a, const void* b) {
  return xCompareKey(a, b, KeyOf(db, id));
}

bool FindEntry(ProjectDb* db, IndexId id, const void* key, void* entry) {
  if (Run* run = RunOf(db, id)) {
    if (const uint8_t* found = run->Find(key)) {
      if (entry != nullptr) memcpy(entry, found, EntrySize(id));
      return true;
    }
  }
  uint32_t at;
  if (!Seek(db, id, key, &at)) return false;
  if (entry != nullptr) {
    std::vector<uint8_t> e = ReadTable(db, id, at, 1);
    memcpy(entry, e.data(), e.size());
  }
  return true;
}

bool InsertEntry(ProjectDb* db, IndexId id, const void* entry) {
  if (Run* run = RunOf(db, id)) {
    // The run is merged only when the table is walked or the batch ends:
    // lookups of what the batch entered stay in the run's hash.
    run->Insert(entry);
    return true;
  }
  const IndexDef& s = kIndexDefs[id];
  return (s.memory != nullptr ? xmAdd(&(db->*s.memory), entry) : xiAdd(&(db->*s.file), entry)) == 1;
}

void EraseEntry(ProjectDb* db, IndexId id, const void* key) {
  if (Run* run = RunOf(db, id)) {
    if (run->Erase(key)) return;
  }
  uint32_t at;
  if (!Seek(db, id, key, &at)) return;
  const IndexDef& s = kIndexDefs[id];
  if (s.memory != nullptr) {
    xmDel(&(db->*s.memory));
  } else {
    xiDel(&(db->*s.file));
  }
}

bool ReplaceEntry(ProjectDb* db, IndexId id, const void* entry) {
  if (Run* run = RunOf(db, id)) {
    if (uint8_t* found = run->Find(entry)) {
      memcpy(found, entry, EntrySize(id));
      return true;
    }
  }
  uint32_t at;
  if (!Seek(db, id, entry, &at)) return InsertEntry(db, id, entry);
  const IndexDef& s = kIndexDefs[id];
  if (s.memory != nullptr) {
    MemTable& m = db->*s.memory;
    memcpy(m.data + static_cast<size_t>(at) * m.recordSize, entry, m.recordSize);
    return true;
  }
  return xiPut(&(db->*s.file), entry) == 1;
}

std::vector<Entry> WalkEntries(ProjectDb* db, IndexId id, const void* from,
                               const std::function<bool(const uint8_t*)>& keep) {
  std::vector<Entry> out;
  if (!Settle(db, id)) return out;
  uint32_t at;
  Seek(db, id, from, &at);
  const uint32_t count = CountOf(db, id);
  const int size = EntrySize(id);
  // Read in pieces: walks are usually short.
  for (uint32_t first = at; first < count;) {
    const uint32_t n = std::min<uint32_t>(count - first, 64);
    std::vector<uint8_t> bytes = ReadTable(db, id, first, n);
    for (uint32_t i = 0; i < n; ++i) {
      const uint8_t* e = bytes.data() + static_cast<size_t>(i) * size;
      if (!keep(e)) return out;
      out.emplace_back(reinterpret_cast<const char*>(e), size);
    }
    first += n;
  }
  return out;
}

std::vector<Entry> AllEntries(ProjectDb* db, IndexId id) {
  Settle(db, id);
  const uint32_t count = CountOf(db, id);
  const size_t size = EntrySize(id);
  std::vector<uint8_t> bytes = ReadTable(db, id, 0, count);
  std::vector<Entry> out;
  out.reserve(count);
  for (uint32_t i = 0; i < count; ++i)
    out.emplace_back(reinterpret_cast<const char*>(bytes.data()) + i * size, size);
  return out;
}

bool ReplaceAllEntries(ProjectDb* db, IndexId id, const std::vector<Entry>& entries) {
  if (Run* run = RunOf(db, id)) run->clear();
  std::vector<uint8_t> bytes;
  bytes.reserve(entries.size() * EntrySize(id));
  for (const Entry& e : entries) bytes.insert(bytes.end(), e.begin(), e.end());
  return WriteTable(db, id, bytes.data(), static_cast<uint32_t>(entries.size()));
}

void BeginBatch(ProjectDb* db) {
  auto& slot = Batches()[db];
  if (slot) return;
  slot = std::make_unique<Batch>();
  for (int id = 0; id < kIndexCount; ++id) {
    const size_t bytes = KeyBytes(static_cast<IndexId>(id));
    slot->runs.emplace_back(EntrySize(static_cast<IndexId>(id)), bytes);
  }
}

bool SettleBatch(ProjectDb* db) {
  bool ok = true;
  for (int id = 0; id < kIndexCount; ++id) ok = Settle(db, static_cast<IndexId>(id)) && ok;
  return ok;
}

bool EndBatch(ProjectDb* db) {
  bool ok = SettleBatch(db);
  Batches().erase(db);
  return ok;
}

}  // namespace xqd
