// Small helpers shared by the engine's file calls.
#ifndef XJOR_FILE_UTIL_H_
#define XJOR_FILE_UTIL_H_

#include <stddef.h>
#include <stdint.h>

#include "xjor/table.h"

namespace xjor {

// Value returned by a check-only xOpenFile: never a live descriptor.
constexpr int32_t kCheckedToken = 0x7FFFFFFF;
static_assert(kCheckedToken == XJOR_CHECKED);

// Takes the "others may read, not write" share lock on a descriptor opened
// for writing: an open-file-description write lock on one byte far past any
// data. Returns false with errno EWOULDBLOCK when another open of the file
// holds it. File systems without locks are accepted as they are.
bool takeShareLock(int fd);

// read()/write() at the current position until len bytes are through.
// Return the number of bytes moved; a short count means end of file or an
// error (errno tells which; 0 at end of file).
size_t readFull(int fd, void* buf, size_t len);
size_t writeFull(int fd, const void* buf, size_t len);

// Copies length bytes from src's position to dst's position, inside the
// kernel where it can copy between the two files, else through a buffer in
// chunks of 51,200 bytes. When the work buffer cannot be had, or a write fails, the
// source is still advanced so that a caller reading a sequence of images
// stays in step. Returns true when every byte arrived; otherwise the error
// word says why (21014 when the source ended early).
bool copyBytes(int src, int dst, uint64_t length);

// Forgets the descriptor's mapping and closes it, keeping errno.
void closeQuietly(int fd);

// Little-endian stores and loads.
inline void putU16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void putU32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
inline uint16_t getU16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t getU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace xjor

#endif  // XJOR_FILE_UTIL_H_
