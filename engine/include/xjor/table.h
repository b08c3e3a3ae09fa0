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
  int32_t handle;         // slot file, -1 = closed
  uint32_t liveCount;     // live records
  uint32_t freeHead;      // first free slot, 0xFFFFFFFF = none
  uint32_t slotCount;     // slots ever allocated, live or deleted
  uint16_t recordSize;    // bytes per record (without the 4-byte mark)
  int16_t fieldCount;     // number of field descriptors
  int32_t current;        // current slot, -1 = none
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

// Returns the process-wide error word (0 = no error, else 21000..21025).
int32_t xGetDbError(void);
// Sets the error word and returns code.
int32_t xSetDbError(int32_t code);

// Creates or truncates path for read/write. A non-zero version writes the
// 8-byte header ("Qz", version, 130, 0). Returns the handle or -1.
int32_t xCreateFile(const char* path, int32_t version);
// Opens an existing file. mode >= 10000: read-only (10000 subtracted); then
// 0 = no check, else the expected version (mode - 1000 when >= 1000, which
// also closes the file after the check and returns a positive token).
int32_t xOpenFile(const char* path, int32_t mode);
// Closes *handle (ignoring -1 and the check-only token) and stores -1.
void xCloseFile(int32_t* handle);

// Makes a unique main scratch file prefix + 4 hex digits + ".TMP" in
// directory (prefix null = "~Qz") and opens it. Returns 1 / 0.
int32_t xOpenDb(DbSpace* db, const char* directory, const char* prefix);
// Opens the family member stem + name: flag 0 creates/truncates, else opens
// the existing file. Returns the handle or -1.
int32_t xOpenTemp(DbSpace* db, const char* name, int32_t openExisting);
// Closes *handle and deletes stem + name. Returns non-zero when deleted.
int32_t xCloseTemp(DbSpace* db, int32_t* handle, const char* name);
// Deletes every file of the family (main file included).
void xDelDbTemp(DbSpace* db);
// Deletes leftover families directory + prefix* (prefix null = "~Qz").
// directory must end with a path separator.
void xDeleteAllTemp(const char* directory, const char* prefix);
// Copies bytes between files. count 0: writes the source size as u32 then
// the whole source; count -1: reads a u32 length from src and copies that
// many bytes to dst from position 0; otherwise copies count bytes.
void xCopyFile(int32_t src, int32_t dst, int32_t count);

// Opens a record table whose slot file is stem + name (created empty). With
// name null only allocates fieldCount descriptors (for xReadTb). Returns 1 / 0.
int32_t xOpenTb(DbSpace* db, TableHandle* tb, const char* name, uint16_t recordSize);
// Closes and deletes the slot file and frees the descriptors.
void xCloseTb(DbSpace* db, TableHandle* tb);
// Adds a record (reusing the last deleted slot first); it becomes current.
int32_t xAddRec(TableHandle* tb, const void* record);
// Writes / reads the current live record. Returns 1 / 0.
int32_t xPutRec(TableHandle* tb, const void* record);
int32_t xGetRec(TableHandle* tb, void* buffer);
// Deletes the current live record (it stays current). Returns 1 / 0.
int32_t xDelRec(TableHandle* tb);
// Moves to the next / previous live slot. Returns 1, or 0 with current -1.
int32_t xMoveNext(TableHandle* tb);
int32_t xMovePrev(TableHandle* tb);
// Drops deleted slots, keeping live ones in slot order.
void xPackTb(TableHandle* tb);
// Writes / reads the saved table image at the file's current position.
void xSaveTb(TableHandle* tb, int32_t file);
void xReadTb(TableHandle* tb, int32_t file);

#ifdef __cplusplus
}
#endif

#endif  // XJOR_TABLE_H_
