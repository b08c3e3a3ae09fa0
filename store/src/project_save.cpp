// Writing project files and settings files.
#include <errno.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <vector>

#include "file_io.h"
#include "working_set.h"

namespace {

using xqd::FileKind;

// Engine file header of a project file: "Qz", kind 100, 130, 0.
constexpr uint8_t kEngineHeader[8] = {'Q', 'z', 100, 0, 130, 0, 0, 0};

// The engine's save calls report a failed write only through the error
// word: it is cleared before each and checked after.
template <typename SaveCall>
bool EngineSave(SaveCall save) {
  xSetDbError(0);
  save();
  return xGetDbError() == 0;
}

bool WriteOptionFile(ProjectDb* db, int fd, xqd::Header* h) {
  h->option = static_cast<uint32_t>(xqd::Tell(fd));
  xPackOpt(&db->opt);
  xSetDbError(0);  // packing is an optimisation; its failure is not the save's
  return xqd::CopyWholeFile(db->opt.handle, fd);
}

// Summary files 1..48 that are registered and whose file can be opened. The
// open one is copied through its own handle, which stays open.
bool WriteSummaries(ProjectDb* db, int fd, int16_t openSummary, xqd::Header* h) {
  const int64_t countAt = xqd::Tell(fd);
  h->summaries = static_cast<uint32_t>(countAt);
  if (!xqd::WriteU32(fd, 0)) return false;
  uint32_t count = 0;
  for (int n = 1; n <= xqd::kSummaryMax; ++n) {
    const int32_t size = xOption(&db->opt, XOPT_SIZE, XQD_OPT_SUMMARY + n, nullptr, 0);
    if (size <= 0) continue;
    std::vector<char> registration(size);
    if (xOption(&db->opt, XOPT_READ, XQD_OPT_SUMMARY + n, registration.data(), size) != 1) {
      continue;
    }
    char name[xqd::kSummaryNameSize] = {};
    snprintf(name, sizeof name, "%d", n);
    const bool isOpen =
        n == openSummary && db->summary.number == n && db->summary.table.tb.handle != -1;
    int src = isOpen ? db->summary.table.tb.handle : xqd::OpenMember(xqd::MemberPath(db, name));
    if (src < 0) continue;
    const bool ok = xqd::WriteAll(fd, name, sizeof name) && xqd::CopyWholeFile(src, fd);
    if (!isOpen) close(src);
    if (!ok) return false;
    ++count;
  }
  return xqd::PatchU32(fd, countAt, count);
}

// Picture files named by drawing objects of kind 9 (bytes 14..27).
bool WritePictures(ProjectDb* db, int fd, xqd::Header* h) {
  const int64_t countAt = xqd::Tell(fd);
  h->pictures = static_cast<uint32_t>(countAt);
  if (!xqd::WriteU32(fd, 0)) return false;
  uint32_t count = 0;
  const uint8_t* records = static_cast<const uint8_t*>(db->objects.data);
  for (uint32_t i = 0; i < db->objects.count; ++i) {
    const uint8_t* r = records + static_cast<size_t>(i) * xqd::kObjectSize;
    if (r[0] != XQD_OBJECT_PICTURE) continue;
    const std::string name(reinterpret_cast<const char*>(r + 14),
                           strnlen(reinterpret_cast<const char*>(r + 14), 14));
    if (!xqd::IsPictureName(name)) continue;
    const int src = xqd::OpenMember(xqd::MemberPath(db, name.c_str()));
    if (src < 0) continue;
    char padded[xqd::kPictureNameSize] = {};
    memcpy(padded, name.data(), name.size());
    const bool ok = xqd::WriteAll(fd, padded, sizeof padded) && xqd::CopyWholeFile(src, fd);
    close(src);
    if (!ok) return false;
    ++count;
  }
  return xqd::PatchU32(fd, countAt, count);
}

bool WriteWorkFiles(ProjectDb* db, int fd, xqd::Header* h) {
  for (int i = 0; i < xqd::kWorkFiles; ++i) {
    const int src = xqd::OpenMember(xqd::MemberPath(db, xqd::WorkFileName(i).c_str()));
    if (src < 0) continue;
    h->work[i] = static_cast<uint32_t>(xqd::Tell(fd));
    const bool ok = xqd::CopyWholeFile(src, fd);
    close(src);
    if (!ok) return false;
  }
  return true;
}

bool WriteTableSections(ProjectDb* db, int fd, xqd::Header* h) {
  const std::vector<xqd::ImageRef> images = xqd::ImagesInFileOrder(db);
  const auto layouts = xqd::TableImages();
  if (images.size() != layouts.size()) return false;
  int section = -1;
  for (size_t i = 0; i < images.size(); ++i) {
    if (layouts[i].section != section) {
      section = layouts[i].section;
      h->sections[section] = static_cast<uint32_t>(xqd::Tell(fd));
    }
    // Record tables keep their deleted slots: the indexes hold slot numbers.
    const xqd::ImageRef& image = images[i];
    const bool saved = EngineSave([&] {
      if (image.table != nullptr) xSaveTb(image.table, fd);
      if (image.index != nullptr) xiSaveTb(image.index, fd);
      if (image.memory != nullptr) xmSaveTb(image.memory, fd);
    });
    if (!saved) return false;
  }
  return true;
}

// Writes everything of one file kind into fd, then patches the header and
// reads the whole file back through the checker: a file that does not check
// is not committed. A failed write leaves its cause in the error word (an
// engine save call) or in errno (the store's own writes).
bool WriteProject(ProjectDb* db, const void* info, int fd, FileKind kind, int16_t openSummary) {
  if (kind == FileKind::kProject && !xqd::WriteAll(fd, kEngineHeader, sizeof kEngineHeader)) {
    return false;
  }
  const uint8_t zeros[xqd::kHeaderSize] = {};
  if (!xqd::WriteAll(fd, zeros, sizeof zeros) || !xqd::WriteAll(fd, info, xqd::kInfoSize)) {
    return false;
  }
  xqd::Header h;
  if (!WriteOptionFile(db, fd, &h)) return false;
  h.objects = static_cast<uint32_t>(xqd::Tell(fd));
  if (!EngineSave([&] { xmSaveTb(&db->objects, fd); })) return false;
  if (kind == FileKind::kProject &&
      (!WriteTableSections(db, fd, &h) || !WriteSummaries(db, fd, openSummary, &h))) {
    return false;
  }
  if (!WritePictures(db, fd, &h) || !WriteWorkFiles(db, fd, &h)) return false;
  uint8_t header[xqd::kHeaderSize];
  xqd::EncodeHeader(kind, h, header);
  if (!xqd::WriteAt(fd, kind == FileKind::kProject ? 8 : 0, header, sizeof header)) return false;
  xqd::Layout check;
  errno = 0;  // a file that does not read back whole has no errno of its own
  return xqd::ReadLayout(fd, kind, &check);
}

int32_t Save(ProjectDb* db, const void* info, const char* path, FileKind kind,
             int16_t openSummary) {
  if (path == nullptr || info == nullptr || db->space.mainHandle == -1) return 0;
  xqd::PendingFile out(path);
  if (!out.ok()) {
    xMapErrno(errno);
    return 0;
  }
  xSetDbError(0);
  errno = 0;
  // The first failure decides the message: an engine call has set the error
  // word, the store's own calls errno.
  if (!WriteProject(db, info, out.fd(), kind, openSummary)) {
    if (xGetDbError() == 0) xSetDbError(errno != 0 ? xMapErrno(errno) : 21000);
    return 0;
  }
  if (!out.Commit()) {
    xSetDbError(errno != 0 ? xMapErrno(errno) : 21000);
    return 0;
  }
  return 1;
}

}  // namespace

extern "C" int32_t xSaveDB(ProjectDb* db, const void* info, const char* path, int16_t openSummary) {
  return Save(db, info, path, FileKind::kProject, openSummary);
}

extern "C" int32_t xSaveMiscFormat(ProjectDb* db, const void* info, const char* path) {
  return Save(db, info, path, FileKind::kSettings, 0);
}
