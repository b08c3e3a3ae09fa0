// Field descriptors, editable field lists, restructuring a table to a new
// field list, and the conversion of field values to text and back.
#ifndef XJOR_FIELD_H_
#define XJOR_FIELD_H_

#include <stdint.h>

#include "xjor/table.h"

#ifdef __cplusplus
extern "C" {
#endif

// Field type codes.
enum {
  XF_CHAR = 2,  // one character
  XF_INT8 = 3,  // signed integers
  XF_INT16 = 4,
  XF_INT32 = 5,
  XF_UINT8 = 6,  // unsigned integers
  XF_UINT16 = 7,
  XF_UINT32 = 8,
  XF_FLOAT = 9,    // 32-bit float
  XF_DOUBLE = 10,  // 64-bit double
  XF_STRING = 11,  // width bytes + NUL
  XF_DATE = 12,    // packed date
  XF_REF = 13,     // u16 index into reference list number `width`
  XF_RAW4 = 14     // four raw bytes
};

// Field flags.
enum {
  XF_READONLY = 0x02,   // the planner refuses user edits; the engine ignores it
  XF_UPPER = 0x04,      // string and reference input in upper case
  XF_LOWER = 0x08,      // ... in lower case (when XF_UPPER is clear)
  XF_TRIM = 0x10,       // string and reference input trimmed of blanks
  XF_COMMA = 0x20,      // numbers shown with thousands separators
  XF_ZEROEMPTY = 0x40,  // a zero number shown as empty text
  XF_PLAIN = 0x80,      // what callers pass for plain text
  XF_RIGHT = 0x100      // numbers right-aligned to their display width
};

// Upper bound of the text xGetValue writes, NUL included. Callers pass
// buffers of at least XF_VALUE_BUFFER bytes.
#define XF_VALUE_MAX 1025
#define XF_VALUE_BUFFER 1100

#pragma pack(push, 1)
// The 42-byte field descriptor, stored verbatim in saved table images.
typedef struct FieldDesc {
  char name[32];    // NUL-terminated, at most 31 characters
  int16_t width;    // characters, display digits, or reference list number
  int8_t decimals;  // display decimals; rounding on input for floats
  int8_t type;      // XF_* type code
  uint32_t flags;   // XF_* flag bits
  int16_t offset;   // byte offset of the field inside the record
} FieldDesc;
#pragma pack(pop)

// An editable schema owned by the caller. The descriptor array is
// malloc'ed by the engine; release it with xFreeBuffer(list.fields).
typedef struct FieldList {
  uint32_t recordSize;  // bytes per record
  int32_t count;        // fields in use
  FieldDesc* fields;    // descriptor array
  uint32_t capacity;    // descriptors allocated (grows in steps of 10)
} FieldList;

// Bytes field fd occupies in a record: strings are capped at cap
// characters (cap (uint32_t)-1 = no cap) plus their NUL.
int32_t xSizeOfData(const FieldDesc* fd, uint32_t cap);

// Index of the first descriptor named exactly name, or -1.
int32_t xGetFldOrdinal(const char* name, const FieldDesc* fds, int32_t count);

// Display width of field i in characters. Reference fields take the entry
// width of their list from reference file ref (0 when the list is absent);
// dates follow the current date settings.
int32_t xGetOutLeng(const FieldDesc* fds, int32_t i, int32_t ref);

// Replaces list's contents with a copy of tb's record size and descriptors.
// Returns non-zero on success; on allocation failure the list is left empty.
int32_t xTb2Fld(FieldList* list, const TableHandle* tb);

// Adds a field before position pos (appends when pos < 0 or pos >= count).
// An inserted field takes the offset of field pos and every field at or
// above that offset moves up by the new field's size; an appended field
// starts at the record size. Returns the new count, 0 when out of memory
// (the list is then unchanged).
int32_t xAddFld(FieldList* list, int32_t pos, const char* name, int32_t type, uint32_t flags,
                int32_t width, int32_t decimals);

// Overwrites name, type, flags, width and decimals of field i, keeping its
// offset; fields above it and the record size follow a change of its size.
void xModFld(FieldList* list, int32_t i, const char* name, int32_t type, uint32_t flags,
             int32_t width, int32_t decimals);

// Removes field i; fields above it move down by its size.
void xDelFld(FieldList* list, int32_t i);

// Copies the 32 name bytes of field i and its attributes (any out pointer may
// be null).
void xGetFld(const FieldList* list, int32_t i, char* name, int32_t* type, uint32_t* flags,
             int32_t* width, int32_t* decimals);

// Rewrites every slot of tb to the list's schema in place. Values move by
// field name (else an unmatched old field at the same position); each new
// record starts as a copy of the old one, so bytes outside fields stay put.
// Deleted slots and the free list are kept. Afterwards tb's record size,
// field count and descriptors (a copy) are the list's. Returns 1, or 0 when
// the table is left unchanged (bad list, out of memory, disk failure).
int32_t xModFldStr(TableHandle* tb, const FieldList* list);

// Writes field i of record rec as text into out (at most XF_VALUE_MAX bytes).
// flags -1 means the field's own flags. Reference fields read their entry
// from reference file ref (-1 = none: empty text).
void xGetValue(const FieldDesc* fds, int32_t ref, char* out, const void* rec, int32_t i,
               int32_t flags);

// Parses text into field i of record rec. Never fails: unparsable numbers,
// bad dates and unknown reference texts store 0. Raw four-byte fields copy
// four bytes from text.
void xSetValue(const FieldDesc* fds, int32_t ref, const char* text, void* rec, int32_t i);

#ifdef __cplusplus
}
#endif

#endif  // XJOR_FIELD_H_
