// Positioned reads and writes on engine files, served from a shared memory
// mapping of the file where one can be made.
//
// The mapping is MAP_SHARED: it and the file are the same page-cache pages,
// so bytes written through it are at once what read()/pread() on any
// descriptor of the file return, and bytes written with write()/pwrite()
// are at once what the mapping shows. Nothing is buffered on the side and
// there is nothing to flush. The only state kept per descriptor is the
// mapping and the number of bytes known to exist in the file; it is dropped
// when the descriptor is closed through xCloseFile or handed out again by an
// engine open, and refreshed (fstat) whenever a request goes past it.
#ifndef XJOR_FILE_VIEW_H_
#define XJOR_FILE_VIEW_H_

#include <stddef.h>
#include <stdint.h>

namespace xjor {

// Returns a pointer to the bytes [off, off + len) of the file behind fd, or
// null when they cannot be mapped (past the end of the file, not a regular
// file, mapping refused). Valid until the next call into this module.
const uint8_t* fileSpan(int fd, uint64_t off, size_t len);

// Reads up to len bytes at off; returns the number read (short at the end of
// the file or on an error, with errno set).
size_t fileRead(int fd, uint64_t off, void* dst, size_t len);

// Reads up to len bytes at off with pread, never through the mapping, so
// that a pass over a large file does not bring its pages into the process.
// Returns the number read (short at the end of the file or on an error).
size_t preadFull(int fd, uint64_t off, void* dst, size_t len);

// Writes a then b (blen may be 0) at off in one go. Returns true when every
// byte was written; on failure errno says why.
bool fileWrite(int fd, uint64_t off, const void* a, size_t alen, const void* b = nullptr,
               size_t blen = 0);

// Sets the file's size. Returns true on success (errno set otherwise).
bool fileTruncate(int fd, uint64_t size);

// Drops whatever is kept for fd (its mapping).
void fileForget(int fd);

}  // namespace xjor

#endif  // XJOR_FILE_VIEW_H_
