// Whole reads and writes at explicit positions of a file handle, and
// little-endian access to on-disk integers. Used by the option, reference,
// memo and restructuring code, which must never trust a length or offset
// found in a file before checking it against the bytes present.
#ifndef XJOR_BYTE_FILE_H_
#define XJOR_BYTE_FILE_H_

#include <stdint.h>
#include <string.h>

namespace bytefile {

// Size of the file behind handle, or -1.
int64_t size(int32_t handle);
// Reads exactly n bytes at pos. Returns false on a short read or an error.
bool readAt(int32_t handle, int64_t pos, void* buf, size_t n);
// Writes exactly n bytes at pos. Returns false on a short write or an error.
bool writeAt(int32_t handle, int64_t pos, const void* buf, size_t n);
// Reads / writes exactly n bytes at the current position, advancing it.
bool readCurrent(int32_t handle, void* buf, size_t n);
bool writeCurrent(int32_t handle, const void* buf, size_t n);
// Cuts or extends the file to n bytes, keeping the engine's mapping of it
// in step.
bool truncate(int32_t handle, int64_t n);
// Copies n bytes from src at srcPos to dst at dstPos through a bounded
// buffer, lowest bytes first. Returns false on any failed call.
bool copy(int32_t src, int64_t srcPos, int32_t dst, int64_t dstPos, int64_t n);

inline uint16_t u16(const unsigned char* p) {
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}
inline uint32_t u32(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
inline void put16(unsigned char* p, uint16_t v) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
}
inline void put32(unsigned char* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

}  // namespace bytefile

#endif  // XJOR_BYTE_FILE_H_
