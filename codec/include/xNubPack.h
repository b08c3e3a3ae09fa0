// xNubPack: packs files into archives and unpacks them.
//
// An archive is a plain run of members, each a little-endian header followed
// by the member's compressed bytes (LZHUF: LZSS over a 4096-byte ring with
// adaptive Huffman coding). Stored header:
//
//   0  u16  header length h = 23 + length of the name
//   2  u32  uncompressed size
//   6  u32  compressed size
//  10  u32  checksum: sum of the compressed bytes as unsigned 8-bit values
//  14  u64  last-write time, 100-ns intervals since 1601-01-01 UTC
//  22  ...  file name without folder, NUL-terminated
//
// The library keeps one archive and one current member in module state, so
// one packing or unpacking runs at a time per process. Handles are file
// descriptors owned by the caller; the library never closes them.
//
// The installer binds the five numbered functions by ordinal through
// xOrdinalTable: 1 xApEncode, 2 xApDecode, 3 xApFindFirst, 4 xApFindNext,
// 5 xApFindClose.
#ifndef XNUBPACK_H_
#define XNUBPACK_H_

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// One member as offered by xApFindFirst / xApFindNext. The block and its name
// belong to the library and stay valid until the next xApFindNext,
// xApFindClose or xApFindFirst.
typedef struct XApHeader {
  uint16_t header_length;  // h as stored; the next member follows h + packed_size bytes on
  uint32_t original_size;  // bytes the member unpacks to
  uint32_t packed_size;    // compressed bytes after the header
  uint32_t checksum;       // sum of the compressed bytes, modulo 2^32
  uint64_t file_time;      // last-write time, 100-ns intervals since 1601-01-01 UTC
  const char* name;        // plain file name: never empty, ".", "..", a path or control bytes
} XApHeader;

// Why the last call failed (xApLastError). Codes are stable.
enum {
  XAP_OK = 0,
  XAP_ERR_EMPTY = 1,      // the archive holds no member
  XAP_ERR_HEADER = 2,     // a header is malformed or runs past the end of the archive
  XAP_ERR_CHECKSUM = 3,   // a member's compressed bytes do not add up to its checksum
  XAP_ERR_NAME = 4,       // a member name is empty, ".", "..", or has control bytes
  XAP_ERR_STREAM = 5,     // a compressed stream ends long before its stated size
  XAP_ERR_READ = 6,       // reading the archive or the source failed
  XAP_ERR_WRITE = 7,      // writing the archive or the target failed
  XAP_ERR_TOO_LARGE = 8,  // a source or its compressed form does not fit 32 bits
  XAP_ERR_NO_MEMBER = 9,  // no current member (xApFindFirst not called or list ended)
  XAP_ERR_TIME = 10       // the member was unpacked but its file times could not be set
};

// Appends one member for the open source file `src` at the current position
// of the archive `arc`, named after the part of `path` behind its last '/' or
// '\'. Compresses the whole source from its start and leaves the archive
// positioned after the new member. Returns 1 on success; on failure returns
// 0, removes what it appended and puts the archive back where it was.
int xApEncode(const char* path, int src, int arc);

// Remembers `arc` and checks the whole archive: every header must be well
// formed with an acceptable name and every member's compressed bytes must add
// up to its checksum. Returns the first member, or null when the archive is
// empty or damaged anywhere (see xApLastError).
const XApHeader* xApFindFirst(int arc);

// Moves to the next member and returns it, or null when none follows.
const XApHeader* xApFindNext(void);

// Ends the listing and frees the current member.
void xApFindClose(void);

// Unpacks the current member into `target` at its current position, then
// sets the target's access and modification times to the stored time.
// Returns 1 when the member was unpacked in full and its times set, 0
// otherwise: no current member, a damaged stream (the decoder stops as soon as
// the stream runs out, never writing past the stated size), a read or write
// error, or times that could not be set (xApLastError tells which). Callers
// unpack into a temporary file and keep it only on 1.
int xApDecode(int target);

// Decodes the current member without writing it anywhere. Returns 1 when its
// stream yields exactly the stated size, 0 otherwise (see xApLastError).
int xApVerify(void);

// The reason the last call above failed, XAP_OK after a success.
int xApLastError(void);

// The numbered exports: entry i is the function with ordinal i (entry 0 is
// null). Cast an entry back to the function's own type before calling it.
typedef void (*XApProc)(void);
const XApProc* xOrdinalTable(void);

#ifdef __cplusplus
}
#endif

#endif  // XNUBPACK_H_
