// The scratch-file family of a database context: the main scratch file
// (prefix + 4 hex digits + ".TMP") and its members stem + name.
//
// A family is claimed by an exclusive flock on its main file for as long as
// the project is open. The deleters take the same lock first and leave alone
// any family whose lock they cannot get, so one instance never removes the
// files of another. Members are created exclusively and never through a
// symbolic link.
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "file_util.h"
#include "file_view.h"
#include "platform_error.h"
#include "xjor/table.h"

using namespace xjor;

namespace {

constexpr const char* kDefaultPrefix = "~Qz";

// stem + name, or false when the context has no stem or the name could
// leave the family's folder.
bool memberPath(const DbSpace* db, const char* name, std::string* path) {
  if (!db || !name || !*name || strchr(name, '/')) return false;
  if (db->stemLength <= 0 || db->stemLength >= static_cast<int>(sizeof db->path)) return false;
  path->assign(db->path, static_cast<size_t>(db->stemLength));
  path->append(name);
  return true;
}

std::vector<std::string> listNames(int dirfd) {
  std::vector<std::string> names;
  int fd = dup(dirfd);
  if (fd < 0) return names;
  DIR* dir = fdopendir(fd);
  if (!dir) {
    close(fd);
    return names;
  }
  rewinddir(dir);  // the duplicate shares its position with dirfd
  while (struct dirent* e = readdir(dir)) {
    if (strcmp(e->d_name, ".") != 0 && strcmp(e->d_name, "..") != 0) names.push_back(e->d_name);
  }
  closedir(dir);
  return names;
}

bool startsWith(const std::string& s, const std::string& prefix) {
  return s.compare(0, prefix.size(), prefix) == 0;
}

// Deletes every file of the family whose names start with stem (which ends
// in '.'), the main file last. heldFd, when not -1, is an open descriptor of
// the main file through which the caller already holds the family lock;
// otherwise the lock is taken here (creating the main file if it is gone,
// so no new family can take the name meanwhile) and the family is skipped
// when someone else holds it.
void deleteFamily(int dirfd, const std::string& stem, const std::string& mainName, int heldFd) {
  int lockFd = heldFd;
  if (lockFd < 0) {
    lockFd = openat(dirfd, mainName.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (lockFd < 0) return;
    if (flock(lockFd, LOCK_EX | LOCK_NB) != 0) {
      close(lockFd);
      return;
    }
  }
  for (const std::string& name : listNames(dirfd)) {
    if (name != mainName && startsWith(name, stem)) unlinkat(dirfd, name.c_str(), 0);
  }
  unlinkat(dirfd, mainName.c_str(), 0);
  if (lockFd != heldFd) close(lockFd);
}

int openDirectory(const std::string& dir) {
  return open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

}  // namespace

extern "C" int32_t xOpenDb(DbSpace* db, const char* directory, const char* prefix) {
  if (!db || !directory) {
    xSetDbError(21003);
    return 0;
  }
  if (!prefix) prefix = kDefaultPrefix;
  std::string dir = directory;
  if (!dir.empty() && dir.back() != '/') dir += '/';
  if (strchr(prefix, '/')) {
    xSetDbError(21003);
    return 0;
  }
  unsigned start = static_cast<unsigned>(time(nullptr)) ^ (static_cast<unsigned>(getpid()) << 4);
  for (unsigned i = 0; i < 0x10000; ++i) {
    unsigned unique = (start + i) & 0xFFFF;
    if (unique == 0) continue;
    char tail[16];
    snprintf(tail, sizeof tail, "%04X.TMP", unique);
    std::string path = dir + prefix + tail;
    if (path.size() >= sizeof db->path) {
      xjorMapErrno(ENAMETOOLONG);
      return 0;
    }
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      xjorMapErrno(errno);
      return 0;
    }
    fileForget(fd);
    flock(fd, LOCK_EX | LOCK_NB);  // new and exclusive: nobody else can hold it
    db->mainHandle = fd;
    memcpy(db->path, path.c_str(), path.size() + 1);
    db->stemLength = static_cast<int16_t>(path.rfind('.') + 1);
    db->memoFree = XJOR_NONE;
    db->memoBlocks = 0;
    return 1;
  }
  xjorMapErrno(EEXIST);
  return 0;
}

extern "C" int32_t xOpenTemp(DbSpace* db, const char* name, int32_t openExisting) {
  std::string path;
  if (!memberPath(db, name, &path)) {
    xSetDbError(21003);
    return -1;
  }
  int fd;
  if (openExisting == 0) {
    // Replace, never truncate in place: whatever sits at the name (an old
    // member, a planted link) is removed and a new file made exclusively.
    if (unlink(path.c_str()) != 0 && errno != ENOENT) {
      xjorMapErrno(errno);
      return -1;
    }
    fd = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  } else {
    fd = open(path.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
  }
  if (fd < 0) {
    xjorMapErrno(errno);
    return -1;
  }
  fileForget(fd);
  return fd;
}

extern "C" int32_t xCloseTemp(DbSpace* db, int32_t* handle, const char* name) {
  xCloseFile(handle);
  std::string path;
  if (!memberPath(db, name, &path)) return 0;
  return unlink(path.c_str()) == 0 ? 1 : 0;
}

extern "C" void xDelDbTemp(DbSpace* db) {
  if (!db || db->stemLength <= 0 || db->stemLength >= static_cast<int>(sizeof db->path)) return;
  std::string path(db->path, strnlen(db->path, sizeof db->path));
  if (static_cast<size_t>(db->stemLength) > path.size()) return;
  size_t slash = path.rfind('/', static_cast<size_t>(db->stemLength) - 1);
  std::string dir = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  size_t baseAt = slash == std::string::npos ? 0 : slash + 1;
  std::string stem = path.substr(baseAt, static_cast<size_t>(db->stemLength) - baseAt);
  std::string mainName = path.substr(baseAt);
  if (stem.empty() || mainName.find('/') != std::string::npos) return;

  int dirfd = openDirectory(dir);
  if (dirfd < 0) return;
  // When the context's own main handle is still open it already holds the
  // family lock; use it instead of failing against ourselves.
  int held = -1;
  struct stat a, b;
  if (db->mainHandle >= 0 && fstat(db->mainHandle, &a) == 0 &&
      fstatat(dirfd, mainName.c_str(), &b, AT_SYMLINK_NOFOLLOW) == 0 && a.st_dev == b.st_dev &&
      a.st_ino == b.st_ino) {
    held = db->mainHandle;
  }
  deleteFamily(dirfd, stem, mainName, held);
  close(dirfd);
}

extern "C" void xDeleteAllTemp(const char* directory, const char* prefix) {
  if (!directory) return;
  std::string pre = prefix ? prefix : kDefaultPrefix;
  if (pre.empty() || pre.find('/') != std::string::npos) return;
  int dirfd = openDirectory(directory);
  if (dirfd < 0) return;
  std::vector<std::string> stems;
  for (const std::string& name : listNames(dirfd)) {
    if (!startsWith(name, pre)) continue;
    size_t dot = name.find('.', pre.size());
    if (dot == std::string::npos) {
      unlinkat(dirfd, name.c_str(), 0);  // not part of any family
      continue;
    }
    std::string stem = name.substr(0, dot + 1);
    bool seen = false;
    for (const std::string& s : stems) seen = seen || s == stem;
    if (!seen) stems.push_back(stem);
  }
  for (const std::string& stem : stems) deleteFamily(dirfd, stem, stem + "TMP", -1);
  close(dirfd);
}

extern "C" int32_t xGetScratchDir(char* buffer, int32_t size) {
  std::string dir;
  struct stat st;
  const char* runtime = getenv("XDG_RUNTIME_DIR");
  std::string name = "kelvo";
  if (runtime && *runtime == '/' && stat(runtime, &st) == 0 && S_ISDIR(st.st_mode)) {
    dir = runtime;
  } else {
    const char* tmp = getenv("TMPDIR");
    dir = tmp && *tmp == '/' ? tmp : "/tmp";
    name += "-" + std::to_string(geteuid());
  }
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  dir += (dir == "/" ? "" : "/") + name;
  if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) {
    xjorMapErrno(errno);
    return 0;
  }
  // Whatever sits at the name must be our own real folder: in a shared /tmp
  // another user could have put a folder or a link there first.
  int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    xjorMapErrno(errno == ENOTDIR || errno == ELOOP ? EACCES : errno);
    return 0;
  }
  bool ok = fstat(fd, &st) == 0 && st.st_uid == geteuid() &&
            ((st.st_mode & 077) == 0 || fchmod(fd, 0700) == 0);
  close(fd);
  if (!ok) {
    xjorMapErrno(EACCES);
    return 0;
  }
  dir += '/';
  if (!buffer || size <= 0 || dir.size() >= static_cast<size_t>(size)) {
    xjorMapErrno(ENAMETOOLONG);
    return 0;
  }
  memcpy(buffer, dir.c_str(), dir.size() + 1);
  return 1;
}
