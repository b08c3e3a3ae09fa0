// Option files (numbered variable-length items), the reference file
// (numbered lists of fixed-size entries) and the memo store (texts in
// 128-byte blocks of the main scratch file).
#ifndef XJOR_OPTION_H_
#define XJOR_OPTION_H_

#include <stdint.h>

#include "xjor/table.h"

#ifdef __cplusplus
extern "C" {
#endif

// An open option file: a directory of count 10-byte entries (state u16,
// block size u32, block offset u32) followed by the item blocks.
typedef struct OptionFileRef {
  DbSpace* db;       // owning context
  int32_t handle;    // the member file, -1 = closed
  const char* name;  // member name, not owned
  int32_t count;     // items in the directory
} OptionFileRef;

// Item states in the directory.
#define XOPT_UNUSED 0
#define XOPT_IN_USE 1
#define XOPT_DELETED 0xFFFF

// Option operations.
enum {
  XOPT_READ = 0,        // read an item in use: 1, else 0
  XOPT_WRITE = 1,       // write in place when it fits, else append
  XOPT_DELETE = 2,      // mark deleted, block kept
  XOPT_NEXT_FREE = 3,   // first item from `item` on that is not in use
  XOPT_WRITE_NEW = 4,   // write appended at the end of the file
  XOPT_TRUNCATE = 5,    // cut the file after the item's block
  XOPT_SIZE = 6,        // the item's block size
  XOPT_READ_TABLE = 8,  // read a memory table (buf = MemTable*)
  XOPT_WRITE_TABLE = 9  // write a memory table (buf = MemTable*)
};

// Creates (truncating) the member file stem + name with count empty items.
// Returns 1 / 0.
int32_t xOpenOpt(DbSpace* db, OptionFileRef* opt, const char* name, int32_t count);

// Runs operation op on item (see XOPT_*). len 0 means the item's block size
// for reads and writes. Items outside 0..count-1 are refused: the result is
// then 0 (count for XOPT_NEXT_FREE). Writes, reads and sizes are checked
// against the file: a block that does not lie inside the file reads as 0,
// and a write that fails returns 0 and leaves the directory as it was.
// A read with len above the block size zero-fills the rest of buf.
int32_t xOption(OptionFileRef* opt, int32_t op, int32_t item, void* buf, uint32_t len);

// Rewrites the option file without dead space: items in use keep their
// numbers and block sizes, deleted and never-written items are dropped.
void xPackOpt(OptionFileRef* opt);

// A reference list: count entries of width + 1 bytes each.
typedef struct RefList {
  uint16_t width;  // entry size minus 1 (characters of a text list)
  uint16_t count;  // entries
  char* entries;   // count * (width + 1) bytes
} RefList;

#define XREF_LISTS 63
#define XREF_HEADER_SIZE 512

// Creates the reference file path (header version 1 and an empty directory,
// 512 bytes). Returns 1 / 0.
int32_t xCreateRef(int32_t* handle, const char* path);
// Opens an existing reference file read-only. Returns 1 / 0.
int32_t xOpenRef(int32_t* handle, const char* path);
// Appends list's entries and points directory entry list (0-62) at them.
// Returns non-zero on success.
int32_t xPutRef(int32_t handle, int32_t list, const RefList* ref);
// Reads list (0-62) into ref. With ref->entries null the entries are
// allocated (free them with xFreeBuffer); otherwise the block must hold
// count * (width + 1) bytes. Returns 0 when the list is absent or does not
// lie inside the file.
int32_t xGetRef(int32_t handle, int32_t list, RefList* ref);
// Reads directory entry list (0-62) only. Returns 0 when the list is absent
// or does not lie inside the file.
int32_t xGetRefInfo(int32_t handle, int32_t list, uint16_t* width, uint16_t* count);
// Frees a block the engine allocated for the caller.
void xFreeBuffer(void* block);

// Memo store. A memo is named by its number (first block + 1; 0 = none).

// Adds text (len < 1: NUL-terminated). Returns its number, 0 for empty text.
// When a block cannot be written (main file closed or read-only, disk full)
// returns 0 with the error word set, and the store is as it was.
uint32_t xAddMemo(DbSpace* db, const char* text, int32_t len);
// Deletes memo m. Returns 1, or 0 when m is not a memo in use.
int32_t xDelMemo(DbSpace* db, uint32_t m);
// Replaces memo m by text. Returns the new number, 0 when m is invalid; when
// the new text cannot be written, 0 with the error word set and memo m kept.
uint32_t xPutMemo(DbSpace* db, uint32_t m, const char* text, int32_t len);
// Copies memo m with a NUL into buf (null: only returns the length).
// Returns the length, or 0 when m is not a memo in use.
uint32_t xGetMemo(DbSpace* db, uint32_t m, char* buf);
// Writes free head, block count and the length-prefixed memo file at the
// current position of file.
void xSaveMemo(DbSpace* db, int32_t file);
// Reads what xSaveMemo wrote into db's memo file.
void xReadMemo(DbSpace* db, int32_t file);

// Packing: xPackMemoF copies the memo blocks to the member "~$m" and returns
// a context that reads the old memos from there (free it with xFreeBuffer),
// leaving db's memo store empty (null when there is nothing to pack).
// xPackMemoN moves memo m from the old context into db and returns its new
// number. xPackMemoC closes the old context's handle, deletes "~$m" and
// trims db's memo file to its blocks.
DbSpace* xPackMemoF(DbSpace* db);
uint32_t xPackMemoN(DbSpace* db, DbSpace* old, uint32_t m);
void xPackMemoC(DbSpace* db, int32_t* handle);

#ifdef __cplusplus
}
#endif

#endif  // XJOR_OPTION_H_
