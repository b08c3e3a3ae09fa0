// Key descriptors, index tables (sorted fixed-size records in a file) and
// memory tables (sorted fixed-size records in one heap block).
//
// Both kinds are dense: record i lies at byte recordSize x i. A table with a
// key descriptor is kept in key order by xiAdd / xmAdd; both find records by
// binary search, which leaves the current position at the match or at the
// place where the key would be inserted.
#ifndef XJOR_INDEX_H_
#define XJOR_INDEX_H_

#include <stdint.h>

#include "xjor/table.h"

#ifdef __cplusplus
extern "C" {
#endif

// One byte of a key descriptor. A descriptor lists the key elements that lie
// packed at the start of each record: a field type code 2-14 per element
// (negated for descending order), type 11 (string) followed by a length byte
// L (the element takes L + 1 bytes), and a 0 byte at the end. Example:
// {11, 10, 0} is one string key of 11 bytes. The caller keeps the descriptor
// alive as long as any table uses it.
typedef char KeyDesc;

// Compares the key elements of a and b under desc: -1, 0 or 1. Strings
// compare bytewise unsigned up to the first NUL and over at most L + 1
// bytes. An invalid code ends the comparison like the final 0; a null
// descriptor compares everything equal.
int32_t xCompareKey(const void* a, const void* b, const KeyDesc* desc);

// An index table: records back to back in a file, no header.
typedef struct IndexTable {
  int32_t handle;      // the table's file, -1 = none
  uint32_t count;      // records
  uint32_t current;    // current position, XJOR_NONE = none
  int16_t recordSize;  // bytes per record
  const KeyDesc* key;  // null for an unsorted table
  const char* name;    // member name inside a DbSpace, else null
} IndexTable;

// With db: creates (truncating) the scratch member stem + name, count 0.
// With db null: opens the existing file at path name read/write and takes
// count = file size / recordSize. Sets current to none. Returns 1, or 0 when
// the file cannot be made or opened or recordSize < 1. Close a member with
// xCloseTemp(db, &t->handle, t->name), a path with xCloseFile(&t->handle).
int32_t xiOpenTb(DbSpace* db, IndexTable* t, const char* name, int32_t recordSize,
                 const KeyDesc* key);
// Reads / writes the current record. Returns 0 unless current < count.
int32_t xiGet(IndexTable* t, void* buffer);
int32_t xiPut(IndexTable* t, const void* record);
// Inserts record at current (current = count appends); current then names
// the new record. Returns 0 when current > count, or with 21001 / a file
// error in the error word when the file could not be changed.
int32_t xiIns(IndexTable* t, const void* record);
// Deletes the current record; current then names the following one.
// Returns 0 unless current < count.
int32_t xiDel(IndexTable* t);
// Removes every record.
void xiDelAll(IndexTable* t);
// Binary search for key: returns 1 with current at a match, else 0 with
// current at the insertion position.
int32_t xiSeek(IndexTable* t, const void* key);
// Unsorted: appends. Sorted: inserts in key order; returns 0 (error word
// untouched) when the key is already present.
int32_t xiAdd(IndexTable* t, const void* record);
// Writes the image (count u32, byte length u32, the file's bytes) at the
// current position of file.
void xiSaveTb(IndexTable* t, int32_t file);
// Reads an image from the current position of file into the open table. An
// image that is inconsistent or longer than the rest of the file leaves the
// table empty with 21006.
void xiReadTb(IndexTable* t, int32_t file);

// A memory table: records back to back in one heap block.
typedef struct MemTable {
  uint32_t count;      // records
  int16_t recordSize;  // bytes per record
  const KeyDesc* key;  // null for an unsorted table
  uint16_t owned;      // 1 while the table owns data
  uint32_t current;    // current position, XJOR_NONE = none
  uint32_t capacity;   // records the block holds
  int16_t growth;      // records added per growth (below 1 counts as 1)
  uint8_t* data;       // the block, null when there is none
} MemTable;

// growth != 0: makes m an empty owned table of records of size bytes.
// growth 0: keeps m's settings and gives it a new owned block for size
// records (capacity = size), freeing a block m owned; the caller fills the
// block and sets count. On failure the block is null with 21001.
void xmOpenTb(MemTable* m, int32_t size, const KeyDesc* key, int32_t growth);
// Frees an owned block; leaves the table empty (count, capacity 0, current
// none, no block). Safe to call again.
void xmCloseTb(MemTable* m);
// Inserts record at current (current = count appends), growing the block by
// the growth step when full. Returns 0 when current > count, or with 21001
// when memory is short; the table is then unchanged.
int32_t xmIns(MemTable* m, const void* record);
// Deletes the current record. Returns 0 unless current < count.
int32_t xmDel(MemTable* m);
// Binary search, as xiSeek.
int32_t xmSeek(MemTable* m, const void* key);
// Unsorted: appends. Sorted: inserts in key order; a key already present
// sets 21025 and returns 0.
int32_t xmAdd(MemTable* m, const void* record);
// Makes dst a copy of src (freeing dst's owned block first). An owned source
// gets a private block of exactly count records; an unowned one shares its
// block.
void xmCopyTb(const MemTable* src, MemTable* dst);
// Writes the image (count u32, then the records) at the current position of
// file.
void xmSaveTb(const MemTable* m, int32_t file);
// Reads an image into a table opened with its record size; the block then
// holds exactly count records. An image whose records would run past the end
// of the file is refused without allocating: the table is left empty with
// 21006.
void xmReadTb(MemTable* m, int32_t file);

#ifdef __cplusplus
}
#endif

#endif  // XJOR_INDEX_H_
