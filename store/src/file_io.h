// Checked file primitives of the store: every read, write and seek reports
// failure, and a new file replaces its target only when it is complete.
#ifndef XQD_FILE_IO_H_
#define XQD_FILE_IO_H_

#include <stddef.h>
#include <stdint.h>

#include <string>

namespace xqd {

// Size of an open file, or -1.
int64_t FileSize(int fd);

// Reads exactly n bytes at offset. Returns false on a short read or error.
bool ReadAt(int fd, uint64_t offset, void* buffer, size_t n);
// Writes exactly n bytes at offset / at the current position.
bool WriteAt(int fd, uint64_t offset, const void* data, size_t n);
bool WriteAll(int fd, const void* data, size_t n);
bool WriteU32(int fd, uint32_t value);
// Writes a u32 at offset (a count patched in after its items).
bool PatchU32(int fd, uint64_t offset, uint32_t value);
// Current position of fd, or -1.
int64_t Tell(int fd);
bool SeekTo(int fd, uint64_t offset);

// Copies n bytes from src at srcOffset to the current position of dst.
bool CopyRange(int src, uint64_t srcOffset, uint64_t n, int dst);

// Writes the length of the whole of src (u32) and its bytes at the current
// position of dst. Fails for files of 4 GB or more.
bool CopyWholeFile(int src, int dst);

// Opens a file of the user's (project, settings file) read-only. Links are
// followed: the user's file may be one. Anything but a regular file is
// refused without waiting (a FIFO). Returns -1 with the error word set
// (21006 for something that is not a file).
int OpenUserFile(const std::string& path);
// Opens a member of the scratch family read-only, never through a link;
// -1 when it is missing, a link or not a regular file.
int OpenMember(const std::string& path);
// Creates path afresh (an existing file is removed first) for writing,
// exclusively and without following symlinks; -1 on failure.
int CreateFresh(const std::string& path);

// A file written beside its target under a temporary name. Commit() flushes
// it to disk and renames it over the target; a file that is never committed
// is removed when the object goes away. A target reached through links is
// written where the links lead, so they stay links. The new file takes the
// mode (and, where allowed, the group) of the file it replaces; a new
// target gets 0666 less the umask. On failure errno says why.
class PendingFile {
 public:
  explicit PendingFile(const std::string& target);
  ~PendingFile();
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  int fd() const { return fd_; }
  bool ok() const { return fd_ >= 0; }
  bool Commit();

 private:
  std::string target_;
  std::string temp_;
  int fd_ = -1;
};

}  // namespace xqd

#endif  // XQD_FILE_IO_H_
