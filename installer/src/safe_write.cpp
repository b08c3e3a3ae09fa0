#include "safe_write.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace deploy {

namespace {

bool writeAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// Programs and scripts are made executable; everything else is data.
mode_t modeByContent(int fd) {
  unsigned char head[4] = {};
  const ssize_t n = ::pread(fd, head, sizeof head, 0);
  const bool elf = n == 4 && head[0] == 0x7F && head[1] == 'E' && head[2] == 'L' && head[3] == 'F';
  const bool script = n >= 2 && head[0] == '#' && head[1] == '!';
  return elf || script ? 0755 : 0644;
}

}  // namespace

PendingFile::PendingFile(const QString& destination) : destination_(destination) {
  const QFileInfo info(destination);
  temp_ = QFile::encodeName(info.absolutePath() + QStringLiteral("/.xDeploy-XXXXXX"));
  fd_ = ::mkstemp(temp_.data());
}

PendingFile::~PendingFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!done_ && !temp_.isEmpty()) ::unlink(temp_.constData());
}

bool PendingFile::commit() {
  if (fd_ < 0) return false;
  const mode_t mode = modeByContent(fd_);
  const bool ok = ::fchmod(fd_, mode) == 0 && ::fsync(fd_) == 0;
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0 || !ok) return false;
  if (::rename(temp_.constData(), QFile::encodeName(destination_).constData()) != 0) return false;
  done_ = true;
  return true;
}

bool copyFile(const QString& source, const QString& destination) {
  const int in = ::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  PendingFile out(destination);
  bool ok = out.fd() >= 0;
  char buf[65536];
  while (ok) {
    const ssize_t n = ::read(in, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ok = false;
    if (n <= 0) break;
    ok = writeAll(out.fd(), buf, static_cast<size_t>(n));
  }
  ::close(in);
  return ok && out.commit();
}

bool writeFile(const QString& destination, const QByteArray& bytes) {
  PendingFile out(destination);
  return out.fd() >= 0 &&
         writeAll(out.fd(), bytes.constData(), static_cast<size_t>(bytes.size())) && out.commit();
}

bool makeFolders(const QString& folder, QStringList* made) {
  QStringList missing;
  QString p = QDir::cleanPath(folder);
  while (!p.isEmpty() && p != QLatin1String("/") && !QFileInfo(p).exists()) {
    missing.prepend(p);
    p = QFileInfo(p).path();
  }
  for (const QString& m : missing) {
    if (::mkdir(QFile::encodeName(m).constData(), 0755) != 0 && errno != EEXIST) return false;
    if (made) made->append(m);
  }
  return QFileInfo(folder).isDir();
}

}  // namespace deploy
