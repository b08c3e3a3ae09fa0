// Reading project files and settings files. A file is checked whole before
// anything is taken from it, so a damaged file changes nothing.
#include <errno.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "file_io.h"
#include "working_set.h"

namespace {

using xqd::FileKind;

// Opens path and checks its layout; -1 (with the error word set) when the
// file cannot be opened or is damaged.
int OpenChecked(const char* path, FileKind kind, xqd::Layout* layout) {
  if (path == nullptr) return -1;
  const int fd = xqd::OpenUserFile(path);
  if (fd < 0) return -1;
  if (!xqd::ReadLayout(fd, kind, layout)) {
    close(fd);
    xSetDbError(21006);
    return -1;
  }
  return fd;
}

// Replaces the working file of `handle` with a blob of the project file.
bool RestoreInto(int src, const xqd::Blob& blob, int handle) {
  if (!xqd::SeekTo(handle, 0) || !xqd::CopyRange(src, blob.at, blob.length, handle) ||
      ftruncate(handle, blob.length) != 0)
    return false;
  xFileChanged(handle);  // the engine may map its files
  return true;
}

bool RestoreMember(ProjectDb* db, int src, const std::string& name, const xqd::Blob& blob) {
  const int out = xqd::CreateFresh(xqd::MemberPath(db, name.c_str()));
  if (out < 0) return false;
  const bool ok = xqd::CopyRange(src, blob.at, blob.length, out);
  close(out);
  return ok;
}

// What both file kinds carry besides the tables.
bool RestoreCommon(ProjectDb* db, void* info, int fd, FileKind kind, const xqd::Layout& l) {
  if (!xqd::ReadAt(fd, xqd::InfoOffset(kind), info, xqd::kInfoSize)) return false;
  if (!RestoreInto(fd, l.option, db->opt.handle)) return false;
  xqd::ResetObjects(db);
  if (!xqd::SeekTo(fd, l.objects)) return false;
  xmReadTb(&db->objects, fd);
  for (const xqd::NamedBlob& p : l.pictures) {
    if (!RestoreMember(db, fd, p.name, p.blob)) return false;
  }
  for (int i = 0; i < xqd::kWorkFiles; ++i) {
    if (l.hasWork[i] && !RestoreMember(db, fd, xqd::WorkFileName(i), l.work[i])) return false;
  }
  return true;
}

// Tells a listener how far into the file the reading has come. The tables
// make up nearly all of a large file and lie in file order, so the read
// position after each one is a fair measure; fractions never go back.
class ReadProgress {
 public:
  ReadProgress(int fd, xReadProgressFn listener, void* context)
      : fd_(fd), listener_(listener), context_(context) {
    struct stat st;
    if (listener_ != nullptr && fstat(fd, &st) == 0) size_ = double(st.st_size);
  }
  void afterTable() {
    if (listener_ == nullptr || size_ <= 0) return;
    const off_t at = lseek(fd_, 0, SEEK_CUR);
    if (at < 0) return;
    const double fraction = double(at) / size_;
    if (fraction > last_ && fraction < 1.0) report(fraction);
  }
  void finished() {
    if (listener_ != nullptr) report(1.0);
  }

 private:
  void report(double fraction) {
    last_ = fraction;
    listener_(context_, fraction);
  }
  int fd_;
  xReadProgressFn listener_;
  void* context_;
  double size_ = 0;
  double last_ = 0;
};

bool RestoreTables(ProjectDb* db, int fd, const xqd::Layout& l, ReadProgress& progress) {
  const std::vector<xqd::ImageRef> images = xqd::ImagesInFileOrder(db);
  if (images.size() != l.images.size()) return false;
  for (size_t i = 0; i < images.size(); ++i) {
    if (!xqd::SeekTo(fd, l.images[i])) return false;
    if (TableHandle* t = images[i].table) {
      xReadTb(t, fd);  // brings its own descriptors
      t->current = -1;
    } else if (images[i].index != nullptr) {
      xiReadTb(images[i].index, fd);
    } else {
      xmReadTb(images[i].memory, fd);
    }
    progress.afterTable();
  }
  for (const xqd::NamedBlob& s : l.summaries) {
    if (!RestoreMember(db, fd, s.name, s.blob)) return false;
  }
  return true;
}

}  // namespace

extern "C" int32_t xGetPrjInfo(const char* path, void* info) {
  if (path == nullptr || info == nullptr) return 0;
  const int fd = xqd::OpenUserFile(path);
  if (fd < 0) return 0;
  uint8_t head[xqd::kEngineHeaderSize + xqd::kHeaderSize + xqd::kInfoSize];
  const bool ok = xqd::ReadAt(fd, 0, head, sizeof head) && xqd::IsProjectEngineHeader(head) &&
                  xqd::HasMagic(FileKind::kProject, head + xqd::kEngineHeaderSize);
  close(fd);
  if (!ok) {
    xSetDbError(21006);
    return 0;
  }
  memcpy(info, head + xqd::InfoOffset(FileKind::kProject), xqd::kInfoSize);
  return 1;
}

extern "C" int32_t xReadDBProgress(ProjectDb* db, void* info, const char* path,
                                   xReadProgressFn listener, void* context) {
  xqd::Layout layout;
  const int fd = OpenChecked(path, FileKind::kProject, &layout);
  if (fd < 0) return 0;
  ReadProgress progress(fd, listener, context);
  const bool ok = RestoreCommon(db, info, fd, FileKind::kProject, layout) &&
                  RestoreTables(db, fd, layout, progress);
  if (ok) progress.finished();
  close(fd);
  return ok ? 1 : 0;
}

extern "C" int32_t xReadDB(ProjectDb* db, void* info, const char* path) {
  return xReadDBProgress(db, info, path, nullptr, nullptr);
}

extern "C" int32_t xReadMiscFormat(ProjectDb* db, void* info, const char* path) {
  xqd::Layout layout;
  const int fd = OpenChecked(path, FileKind::kSettings, &layout);
  if (fd < 0) return 0;
  const bool ok = RestoreCommon(db, info, fd, FileKind::kSettings, layout);
  close(fd);
  return ok ? 1 : 0;
}
