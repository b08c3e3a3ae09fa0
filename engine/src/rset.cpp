// Record sets: the slot numbers of the records that satisfy a condition, in
// slot order or sorted by fields.
#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "xjor/field.h"
#include "xjor/index.h"
#include "xjor/query.h"
#include "xjor/text.h"

namespace {

constexpr int16_t kGrowth = 100;
constexpr uint32_t kStringKeyCap = 64;
constexpr uint16_t kDescending = 10000;

// One sort field: where it lies in the record and how many key bytes it takes.
struct KeyPart {
  int16_t offset;
  int32_t size;
  bool isString;
};

// The key descriptor and layout of a sort order. The list ends at
// the first entry that is not a field of the table with a sortable type.
struct SortKey {
  std::vector<uint8_t> desc;
  std::vector<KeyPart> parts;
  size_t length = 0;

  SortKey(const TableHandle& tb, const uint16_t* order) {
    for (uint16_t i = 0; order != nullptr && i < order[0]; ++i) {
      const bool descending = order[1 + i] >= kDescending;
      const int index = descending ? order[1 + i] - kDescending : order[1 + i];
      if (tb.fields == nullptr || index >= tb.fieldCount) break;
      const FieldDesc& fd = tb.fields[index];
      if (fd.type < XF_CHAR || fd.type > XF_RAW4) break;
      const int32_t size = xSizeOfData(&fd, kStringKeyCap);
      if (size <= 0 || fd.offset < 0 || fd.offset + size > tb.recordSize) break;
      desc.push_back(static_cast<uint8_t>(descending ? -fd.type : fd.type));
      if (fd.type == XF_STRING) desc.push_back(static_cast<uint8_t>(size - 1));
      parts.push_back({fd.offset, size, fd.type == XF_STRING});
      length += static_cast<size_t>(size);
    }
    desc.push_back(0);
  }

  bool empty() const { return parts.empty(); }

  // Writes the key of rec to out: the fields' bytes, strings cut at a
  // character boundary and terminated.
  void Build(const unsigned char* rec, unsigned char* out) const {
    for (const KeyPart& p : parts) {
      if (p.isString) {
        std::memset(out, 0, static_cast<size_t>(p.size));
        xCopyChars(reinterpret_cast<char*>(out), reinterpret_cast<const char*>(rec + p.offset),
                   p.size - 1);
      } else {
        std::memcpy(out, rec + p.offset, static_cast<size_t>(p.size));
      }
      out += p.size;
    }
  }
};

// Members collected for sorting: keys back to back and their slot numbers.
struct Collected {
  std::vector<unsigned char> keys;
  std::vector<uint32_t> slots;
};

bool AppendMember(MemTable* rs, uint32_t slot) {
  rs->current = rs->count;
  return xmIns(rs, &slot) != 0;
}

// Sorts the collected members by key (equal keys stay in slot order) and
// appends them to the record set. Returns false when memory ran out.
bool AppendSorted(MemTable* rs, const SortKey& key, const Collected& c) {
  std::vector<uint32_t> order(c.slots.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<uint32_t>(i);
  const unsigned char* keys = c.keys.data();
  const auto* desc = reinterpret_cast<const char*>(key.desc.data());
  std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
    return xCompareKey(keys + a * key.length, keys + b * key.length, desc) < 0;
  });
  for (uint32_t i : order) {
    if (!AppendMember(rs, c.slots[i])) return false;
  }
  return true;
}

}  // namespace

extern "C" int32_t xReRset(TableBinding* b, MemTable* rs, const char* expr, const uint16_t* sort) {
  rs->count = 0;
  rs->current = XJOR_NONE;
  if (expr == nullptr) return 1;

  TableHandle& tb = b->tb;
  bool ok = true;
  try {
    const SortKey key(tb, sort);
    std::vector<unsigned char> record(std::max<size_t>(tb.recordSize, 1), 0);
    std::vector<unsigned char> keyBuf(key.length);
    Collected collected;

    TableBinding* bindings[1] = {b};
    const void* records[1] = {record.data()};
    QueryCtx q{};
    q.text = expr;
    q.bindings = bindings;
    q.records = records;
    q.bindingCount = 1;
    xCheckSyntax(XJOR_QV_BOOLEAN, &q);

    tb.current = -1;
    while (ok && xMoveNext(&tb)) {
      if (!xGetRec(&tb, record.data())) continue;
      xExeQuery(&q);
      if (q.result.type != XJOR_QV_BOOLEAN || q.result.u.boolean.value == 0) continue;
      const uint32_t slot = static_cast<uint32_t>(tb.current);
      if (key.empty()) {
        ok = AppendMember(rs, slot);
      } else {
        key.Build(record.data(), keyBuf.data());
        collected.keys.insert(collected.keys.end(), keyBuf.begin(), keyBuf.end());
        collected.slots.push_back(slot);
      }
    }
    if (ok && !key.empty()) ok = AppendSorted(rs, key, collected);
  } catch (const std::bad_alloc&) {
    xSetDbError(21001);
    ok = false;
  }
  tb.current = -1;
  rs->current = XJOR_NONE;
  return ok ? 1 : 0;
}

extern "C" int32_t xOpenRset(TableBinding* b, MemTable* rs, const char* expr,
                             const uint16_t* sort) {
  xmOpenTb(rs, sizeof(uint32_t), nullptr, kGrowth);
  return xReRset(b, rs, expr, sort);
}

extern "C" int32_t xSeekRset(MemTable* rs, uint32_t record) {
  const auto* members = reinterpret_cast<const uint32_t*>(rs->data);
  for (uint32_t i = 0; i < rs->count; ++i) {
    uint32_t slot;
    std::memcpy(&slot, members + i, sizeof slot);
    if (slot == record) {
      rs->current = i;
      return 1;
    }
  }
  return 0;
}
