// Table files and records: the error word, file headers, the scratch-file
// family of a database context, and record tables kept in slot files.
#ifndef XJOR_TABLE_H_
#define XJOR_TABLE_H_

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

struct FieldDesc;  // 42-byte field descriptor, see xjor/field.h

// Database context: the family of scratch files of one open project.
typedef struct DbSpace {
  int32_t mainHandle;   // main scratch file (also the memo store), -1 = none
  int32_t refHandle;    // reference file, set by the owner after xOpenRef
  uint32_t memoFree;    // memo free-block head, 0xFFFFFFFF = none
  uint32_t memoBlocks;  // memo block count
  char path[260];       // path of the main scratch file
  int16_t stemLength;   // characters of path up to and including its last '.'
} DbSpace;

// One record table in a slot file.
typedef struct TableHandle {
  int32_t handle;            // slot file, -1 = closed
  uint32_t liveCount;        // live records
  uint32_t freeHead;         // first free slot, 0xFFFFFFFF = none
  uint32_t slotCount;        // slots ever allocated, live or deleted
  uint16_t recordSize;       // bytes per record (without the 4-byte mark)
  int16_t fieldCount;        // number of field descriptors
  int32_t current;           // current slot, -1 = none
  struct FieldDesc* fields;  // owned by the table
  const char* name;          // member name, not owned
} TableHandle;

// A table together with its context, as queries and record sets take it.
typedef struct TableBinding {
  DbSpace* db;
  TableHandle tb;
} TableBinding;

#define XJOR_MARK_LIVE 0xFFFFFFFEu
#define XJOR_NONE 0xFFFFFFFFu

// ---------------------------------------------------------------------------
// Error word
// ---------------------------------------------------------------------------

// Returns the process-wide error word (0 = no error, else 21000..21025).
int32_t xGetDbError(void);
// Sets the error word and returns code. Only this call, the query tokenizer
// and a platform call that reports success ever clear it.
int32_t xSetDbError(int32_t code);
// Sets the error word from an errno value, grouped by meaning onto the file
// codes 21000..21014 (0 for 0), and returns it. For layers above the engine
// that make their own file calls.
int32_t xMapErrno(int32_t err);

// ---------------------------------------------------------------------------
// Files and the 8-byte header ("Qz", i16 version, u16 130, u16 0)
// ---------------------------------------------------------------------------
// Handles are file descriptors; -1 means none. Compare handles only with -1.
// Files opened for writing carry a share lock: a second open for writing of
// the same file (from any process, or another open in this one) is refused
// with 21011, while readers are never refused.

// Creates or truncates path for read/write. A non-zero version writes the
// header with its low 16 bits. Returns the handle positioned after the header
// (or at 0), or -1 with the error word set from the platform error (21005
// when path names something other than a regular file).
int32_t xCreateFile(const char* path, int32_t version);

// Opens an existing file. mode >= 10000 opens read-only (10000 subtracted),
// else read/write. A remaining 0 means no header check; otherwise the header
// must carry "Qz" or "xD" and the i16 version (mode - 1000 when >= 1000,
// else mode). A file too short for a header or with the wrong magic/version
// gives -1 with 21006 (a failing read: the platform error), and so does
// anything but a regular file (a FIFO is refused, never waited on). With a remaining
// mode >= 1000 the file is closed after a good check and XJOR_CHECKED is
// returned. Otherwise returns the handle positioned after the header.
// Examples: 100 read/write version 100; 10001 read-only version 1; 0 and
// 10000 no check.
int32_t xOpenFile(const char* path, int32_t mode);
#define XJOR_CHECKED 0x7FFFFFFF  // result of a check-only xOpenFile

// Closes *handle (ignoring -1 and XJOR_CHECKED) and stores -1. Always close
// engine handles through here (or xCloseTemp / xCloseTb), never with close().
void xCloseFile(int32_t* handle);

// Tells the engine that the file behind handle was shortened or replaced by
// means other than the calls of this header (ftruncate, dup2, ...). Needed
// only then: see "Direct access to slot files" below.
void xFileChanged(int32_t handle);

// ---------------------------------------------------------------------------
// The scratch-file family of a database context
// ---------------------------------------------------------------------------
// directory should be a folder only its owner can open. The family holds an
// exclusive flock on its main file while it is open; the deleters skip any
// family whose lock they cannot take (another instance's open project).

// Finds or makes the per-user scratch folder: $XDG_RUNTIME_DIR/kelvo/ when
// that variable names a folder, else ${TMPDIR:-/tmp}/kelvo-<uid>/. The
// folder is created with mode 0700; an existing one must be a real folder
// (not a link) owned by the user, and is closed to others if it was not.
// Writes the path with a trailing '/' into buffer (size bytes). Returns 1,
// or 0 with the error word set (21005 when someone else owns the folder).
int32_t xGetScratchDir(char* buffer, int32_t size);

// Creates a unique empty main scratch file directory + prefix + 4 uppercase
// hex digits + ".TMP" (prefix null = "~Qz"), opens it read/write, locks the
// family and fills db (path, handle, stem length = index of the last '.' + 1,
// memo head -1, memo blocks 0). Returns 1, or 0 with the error word set.
int32_t xOpenDb(DbSpace* db, const char* directory, const char* prefix);
// Opens the member stem + name: flag 0 makes a new empty file (whatever was
// at that name is removed first; links are never followed), any other flag
// opens the existing file. Names with '/' are refused (21003). Returns the
// handle or -1 with the error word set.
int32_t xOpenTemp(DbSpace* db, const char* name, int32_t openExisting);
// xCloseFile(handle), then deletes stem + name. Returns 1 when deleted.
int32_t xCloseTemp(DbSpace* db, int32_t* handle, const char* name);
// Deletes every file of db's family (stem + anything, main file included).
void xDelDbTemp(DbSpace* db);
// Deletes the leftover families directory + prefix* (prefix null = "~Qz"),
// skipping families that are open. For use at program exit.
void xDeleteAllTemp(const char* directory, const char* prefix);

// Copies bytes between the current positions of two files, in chunks.
// count 0: the source's size is written to dst as u32, then the whole source
// from its start. count -1: a u32 length is read from src, dst is positioned
// at 0, then that many bytes are copied. count > 0: copies count bytes.
// Failed writes set the error word (21014 when the source ends early); the
// source is still advanced by the full length so that images read in
// sequence stay in step.
void xCopyFile(int32_t src, int32_t dst, int32_t count);

// ---------------------------------------------------------------------------
// Record tables
// ---------------------------------------------------------------------------
// Slot file: slot i at (recordSize + 4) * i holds a u32 mark (XJOR_MARK_LIVE,
// or the next free slot, XJOR_NONE ending the free list) and the record.
// Deleted slots are reused last-deleted-first; slot order is iteration order.
//
// Field descriptors: tb->fields is allocated with malloc and released with
// free by the table (xCloseTb, xReadTb). Code that installs descriptors must
// allocate them with malloc too.
//
// Direct access to slot files: the engine serves record calls from a shared
// memory mapping of the slot file (MAP_SHARED). The mapping and the file are
// the same bytes, so reading or writing tb->handle with read/pread/write/
// pwrite, xCopyFile or xSaveTb always sees, and is seen by, the record calls
// at once; there is nothing to flush. Two rules remain:
//  - after shortening a slot file (ftruncate) or pointing a descriptor
//    number at another file (dup2) by your own calls, call
//    xFileChanged(handle) before the next record call on it;
//  - close slot files only through xCloseFile / xCloseTemp / xCloseTb.
// Growing the file (writing past its end) needs nothing.

// With a name: creates the slot file stem + name (new and empty), stores the
// name (not copied: it must outlive the table), sets counts and field count
// to 0, free head and current to -1, record size to recordSize, fields to
// null. Returns 0 when the file cannot be created. With name null: only
// allocates tb->fieldCount zeroed descriptors (the table's other fields are
// untouched) and returns 1 (0 when memory runs out).
int32_t xOpenTb(DbSpace* db, TableHandle* tb, const char* name, uint16_t recordSize);
// If the table is open: closes and deletes its slot file and frees the
// descriptors.
void xCloseTb(DbSpace* db, TableHandle* tb);
// Adds a record in the last deleted slot or, with no free slot, in a new
// slot at the end; the new slot becomes current. Returns 1, or 0 when the
// slot cannot be written (error word set, the table unchanged).
int32_t xAddRec(TableHandle* tb, const void* record);
// Writes / reads recordSize bytes of the current record. Return 0 and change
// nothing unless 0 <= current < slotCount and the current slot is live.
// Callers may set tb->current to any slot before these calls.
int32_t xPutRec(TableHandle* tb, const void* record);
int32_t xGetRec(TableHandle* tb, void* buffer);
// Deletes the current live record (it becomes the free head and stays
// current). Returns 1 / 0 as xGetRec.
int32_t xDelRec(TableHandle* tb);
// Moves to the next live slot (from current -1: the first). Returns 1, or 0
// with current -1 when there is none (or the table holds no live record).
int32_t xMoveNext(TableHandle* tb);
// Moves to the previous live slot (from current -1: the last). Returns 1, or
// 0 with current -1.
int32_t xMovePrev(TableHandle* tb);
// Moves every live slot, in slot order, down to slots 0..live-1, cuts the
// file after them and empties the free list. current is not adjusted.
void xPackTb(TableHandle* tb);

// Writes the saved image at the file's current position: u32 live count,
// u32 free head, u32 slot count, u16 record size, i16 field count, the
// descriptors (42 bytes each), then the slot file as xCopyFile count 0 writes
// it (u32 length, bytes). current is not saved.
void xSaveTb(TableHandle* tb, int32_t file);
// Reads an image written by xSaveTb into a table opened with a name (its slot
// file exists), replacing counts, record size and descriptors and copying the
// slot bytes to the slot file from position 0; current becomes -1. An image
// whose counts do not fit the bytes present in the source, or whose marks
// disagree with its counts, leaves the table empty (no slots, no fields)
// with 21006.
void xReadTb(TableHandle* tb, int32_t file);

#ifdef __cplusplus
}
#endif

#endif  // XJOR_TABLE_H_
