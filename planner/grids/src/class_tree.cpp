#include "kelvo/class_tree.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace kelvo {
namespace {

constexpr size_t kCodeField = sizeof(CodeEntry::code);

// The code of entry i of a code index, without its padding.
std::string codeAt(const MemTable& codes, uint32_t i) {
  const char* p = reinterpret_cast<const char*>(codes.data) + size_t(i) * codes.recordSize;
  return std::string(p, strnlen(p, kCodeField));
}

int32_t recordAt(const MemTable& codes, uint32_t i) {
  int32_t record;
  std::memcpy(&record, codes.data + size_t(i) * codes.recordSize + offsetof(CodeEntry, record),
              sizeof record);
  return record;
}

bool beginsWith(const std::string& s, const std::string& prefix) {
  return s.size() >= prefix.size() && s.compare(0, prefix.size(), prefix) == 0;
}

// The first entry at or after from whose code is not below key (the
// index's byte order).
uint32_t lowerBound(const MemTable& codes, uint32_t from, const std::string& key) {
  uint32_t lo = from, hi = codes.count;
  while (lo < hi) {
    const uint32_t mid = lo + (hi - lo) / 2;
    if (codeAt(codes, mid) < key)
      lo = mid + 1;
    else
      hi = mid;
  }
  return lo;
}

// The first entry after from that does not begin with prefix (entries that
// do are contiguous in code order).
uint32_t endOfPrefix(const MemTable& codes, uint32_t from, const std::string& prefix) {
  uint32_t lo = from, hi = codes.count;
  while (lo < hi) {
    const uint32_t mid = lo + (hi - lo) / 2;
    const std::string c = codeAt(codes, mid);
    if (beginsWith(c, prefix) || c < prefix)
      lo = mid + 1;
    else
      hi = mid;
  }
  return lo;
}

}  // namespace

int classCodeLevel(const ClassDef& def, const std::string& code) {
  for (int level = 0; level < def.levels && level < 8; ++level)
    if (!code.empty() && classCodeLength(def, level) == int(code.size())) return level;
  return -1;
}

int classCodeLength(const ClassDef& def, int level) {
  if (level < 0 || level >= def.levels || level >= 8) return 0;
  return def.start[level] + def.length[level];
}

std::string classLevelPart(const ClassDef& def, const std::string& code) {
  const int level = classCodeLevel(def, code);
  if (level < 0) return code;
  return code.substr(size_t(def.start[level]), size_t(def.length[level]));
}

std::vector<ClassCode> readClassCodes(ProjectDb& db, int cls) {
  const MemTable& index = cls == kClassFacility ? db.obsCodes : db.wbsCodes;
  TableBinding& table = cls == kClassFacility ? db.obs : db.wbs;
  std::vector<ClassCode> codes;
  if (!index.data || table.tb.recordSize < int(offsetof(WbsRecord, size))) return codes;
  std::vector<char> record(size_t(table.tb.recordSize) + 1);
  const int32_t current = table.tb.current;
  codes.reserve(index.count);
  for (uint32_t i = 0; i < index.count; ++i) {
    ClassCode c{codeAt(index, i), {}, recordAt(index, i)};
    table.tb.current = c.record;
    if (c.record < 0 || xGetRec(&table.tb, record.data()) == 0) continue;
    const char* title = record.data() + offsetof(WbsRecord, title);
    c.title.assign(title, strnlen(title, sizeof(WbsRecord::title)));
    codes.push_back(std::move(c));
  }
  table.tb.current = current;
  return codes;
}

std::vector<ClassTreeItem> buildClassTreeItems(const ClassDef& def,
                                               const std::vector<ClassCode>& codes) {
  std::vector<ClassTreeItem> items;
  items.reserve(codes.size());
  std::map<std::string, int> itemOfCode;
  for (const ClassCode& c : codes) {
    ClassTreeItem item;
    item.record = c.record;
    item.level = classCodeLevel(def, c.code);
    if (item.level > 0) {
      const auto parent = itemOfCode.find(c.code.substr(0, size_t(def.start[item.level])));
      if (parent != itemOfCode.end()) item.parent = parent->second;
    }
    // A code that cannot sit in the hierarchy shows all of itself.
    const bool placed = item.level == 0 || (item.level > 0 && item.parent >= 0);
    item.text = (placed ? classLevelPart(def, c.code) : c.code) + ' ' + c.title;
    itemOfCode.emplace(c.code, int(items.size()));
    items.push_back(std::move(item));
  }
  return items;
}

std::vector<int32_t> childCodeRecords(const MemTable& codes, const ClassDef& def, int childLevel,
                                      const std::string& prefix) {
  std::vector<int32_t> records;
  const size_t childLength = size_t(classCodeLength(def, childLevel));
  if (childLength == 0 || !codes.data) return records;
  uint32_t i = lowerBound(codes, 0, prefix);
  while (i < codes.count) {
    const std::string code = codeAt(codes, i);
    if (!beginsWith(code, prefix)) break;
    if (code.size() == childLength) {
      records.push_back(recordAt(codes, i));
      // Jump over the found code's own descendants to its next sibling.
      i = endOfPrefix(codes, i + 1, code);
    } else {
      ++i;
    }
  }
  return records;
}

std::vector<ClassCode> codesBelow(const MemTable& codes, const std::string& code) {
  std::vector<ClassCode> below;
  if (!codes.data || code.empty()) return below;
  for (uint32_t i = lowerBound(codes, 0, code); i < codes.count; ++i) {
    std::string c = codeAt(codes, i);
    if (!beginsWith(c, code)) break;
    if (c.size() > code.size()) below.push_back({std::move(c), {}, recordAt(codes, i)});
  }
  return below;
}

std::string renumberedCode(const std::string& code, size_t oldPrefixLength,
                           const std::string& newPrefix) {
  return newPrefix + code.substr(std::min(oldPrefixLength, code.size()));
}

}  // namespace kelvo
