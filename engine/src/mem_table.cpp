// Memory tables: dense fixed-size records in one heap block, optionally kept
// in key order.
#include <stdlib.h>
#include <string.h>

#include "key_search.h"
#include "xjor/index.h"

namespace {

size_t bytesFor(uint32_t records, int16_t recordSize) {
  return static_cast<size_t>(records) * static_cast<size_t>(recordSize);
}

uint8_t* recordAt(const MemTable* m, uint32_t i) {
  return m->data + bytesFor(i, m->recordSize);
}

// Makes room for one more record. The block grows by the growth step (at
// least 1), never by doubling. A block the table does not own is copied,
// never freed, and the copy becomes the table's own.
bool makeRoom(MemTable* m) {
  if (m->count < m->capacity) return true;
  uint32_t step = m->growth < 1 ? 1u : static_cast<uint32_t>(m->growth);
  if (m->capacity > UINT32_MAX - step) return false;
  uint32_t capacity = m->capacity + step;
  uint8_t* block;
  if (m->owned) {
    block = static_cast<uint8_t*>(realloc(m->data, bytesFor(capacity, m->recordSize)));
  } else {
    block = static_cast<uint8_t*>(malloc(bytesFor(capacity, m->recordSize)));
    if (block != nullptr && m->count > 0) memcpy(block, m->data, bytesFor(m->count, m->recordSize));
  }
  if (block == nullptr) return false;
  m->data = block;
  m->capacity = capacity;
  m->owned = 1;
  return true;
}

}  // namespace

extern "C" void xmOpenTb(MemTable* m, int32_t size, const KeyDesc* key, int32_t growth) {
  if (m == nullptr) return;
  if (growth != 0) {
    m->count = 0;
    m->recordSize = static_cast<int16_t>(size);
    m->key = key;
    m->owned = 1;
    m->current = XJOR_NONE;
    m->capacity = 0;
    m->growth = static_cast<int16_t>(growth);
    m->data = nullptr;
    return;
  }
  // A block for size records of the table's own record size. The table owns
  // it, so that xmCloseTb frees it; a block it owned before is freed now.
  if (m->owned) free(m->data);
  m->data = nullptr;
  m->capacity = 0;
  m->owned = 1;
  if (size > 0 && m->recordSize > 0) {
    m->data = static_cast<uint8_t*>(calloc(static_cast<size_t>(size), m->recordSize));
    if (m->data == nullptr) {
      xSetDbError(21001);
    } else {
      m->capacity = static_cast<uint32_t>(size);
    }
  }
  if (m->count > m->capacity) m->count = m->capacity;
}

extern "C" void xmCloseTb(MemTable* m) {
  if (m == nullptr) return;
  if (m->owned) free(m->data);
  m->owned = 0;
  m->data = nullptr;
  m->count = 0;
  m->capacity = 0;
  m->current = XJOR_NONE;
}

extern "C" int32_t xmIns(MemTable* m, const void* record) {
  if (m == nullptr || record == nullptr || m->recordSize < 1 || m->current > m->count) return 0;
  if (!makeRoom(m)) {
    xSetDbError(21001);
    return 0;
  }
  uint8_t* at = recordAt(m, m->current);
  memmove(at + m->recordSize, at, bytesFor(m->count - m->current, m->recordSize));
  memcpy(at, record, m->recordSize);
  ++m->count;
  return 1;
}

extern "C" int32_t xmDel(MemTable* m) {
  if (m == nullptr || m->current >= m->count) return 0;
  uint8_t* at = recordAt(m, m->current);
  memmove(at, at + m->recordSize, bytesFor(m->count - m->current - 1, m->recordSize));
  --m->count;
  return 1;
}

extern "C" int32_t xmSeek(MemTable* m, const void* key) {
  if (m == nullptr) return 0;
  auto record = [m](uint32_t i) { return recordAt(m, i); };
  return xjor::searchKey(m->count, key, m->key, record, &m->current) ? 1 : 0;
}

extern "C" int32_t xmAdd(MemTable* m, const void* record) {
  if (m == nullptr) return 0;
  if (m->key == nullptr) {
    m->current = m->count;
  } else if (xmSeek(m, record)) {
    xSetDbError(21025);
    return 0;
  }
  return xmIns(m, record);
}

extern "C" void xmCopyTb(const MemTable* src, MemTable* dst) {
  if (src == nullptr || dst == nullptr || src == dst) return;
  if (dst->owned) free(dst->data);
  *dst = *src;
  if (!dst->owned) return;  // an unowned block is shared
  dst->data = nullptr;
  dst->capacity = 0;
  if (dst->recordSize < 1) dst->count = 0;
  if (dst->count == 0) return;
  dst->data = static_cast<uint8_t*>(malloc(bytesFor(dst->count, dst->recordSize)));
  if (dst->data == nullptr) {
    dst->count = 0;
    xSetDbError(21001);
    return;
  }
  memcpy(dst->data, src->data, bytesFor(dst->count, dst->recordSize));
  dst->capacity = dst->count;
}
