#include "install_session.h"

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "deploy_messages.h"
#include "desktop_entries.h"
#include "safe_write.h"
#include "settings_writer.h"

namespace deploy {

InstallSession::InstallSession(const Script& script, const Places& places,
                               InstallQuestions& questions)
    : script_(script), places_(places), questions_(questions) {}

InstallSession::~InstallSession() {
  closeArchive();
}

bool InstallSession::step() {
  if (state_ == kDone) return false;
  if (cancelled_ || state_ == kAborted) {
    finish();
    return false;
  }
  switch (state_) {
    case kStart:
      begin();
      break;
    case kFiles:
      if (line_ >= script_.files.size()) {
        finish();
        return false;
      }
      nextLine();
      break;
    case kMembers:
      nextMember();
      break;
    default:
      break;
  }
  return true;
}

void InstallSession::begin() {
  // Without the codec, archive lines install nothing and the count falls short.
  codec_.load(places_.installerDir);
  for (const QString& folder : script_.folders) {
    const QString path = resolveInside(places_.target, folder);
    if (!path.isEmpty()) makeFolders(path, &list_.folders);
  }
  questions_.progress(QString(), 0);
  state_ = kFiles;
}

void InstallSession::nextLine() {
  const FilesEntry& entry = script_.files[line_++];
  if (entry.diskChange) {
    const QString check = resolveInside(places_.mediaDir, entry.checkFile);
    const auto present = [&check] { return !check.isEmpty() && QFileInfo::exists(check); };
    if (!present() && !questions_.waitForDisk(entry.disk, present)) abort(0);
    return;
  }
  if (entry.archive) {
    openArchive(entry);
  } else {
    installPlain(entry);
  }
}

void InstallSession::installPlain(const FilesEntry& entry) {
  const QString source = resolveInside(places_.mediaDir, entry.source);
  QString dest = resolveDestination(places_, entry.destination);
  if (source.isEmpty() || dest.isEmpty() || !QFileInfo(source).isFile()) {
    ++failed_;
    report(QFileInfo(entry.source).fileName());
    return;
  }
  if (dest.endsWith(QLatin1Char('/')) || QFileInfo(dest).isDir())
    dest = asFolder(dest) + QFileInfo(source).fileName();
  const QString shown = QFileInfo(dest).fileName();
  if (!makeFolders(QFileInfo(dest).path(), &list_.folders)) {
    ++failed_;
  } else if (mayWrite(dest, entry.overwrite, shown)) {
    if (copyFile(source, dest)) {
      ++done_;
      list_.files.append(dest);
    } else {
      ++failed_;
    }
  }
  report(shown);
}

void InstallSession::openArchive(const FilesEntry& entry) {
  const QString source = resolveInside(places_.mediaDir, entry.source);
  const QString folder = resolveDestination(places_, entry.destination);
  if (source.isEmpty() || folder.isEmpty() || !codec_.loaded() ||
      !makeFolders(folder, &list_.folders)) {
    ++failed_;
    report(QFileInfo(entry.source).fileName());
    return;
  }
  archive_ = ::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC);
  member_ = archive_ >= 0 ? codec_.findFirst(archive_) : nullptr;
  if (member_) {
    memberFolder_ = asFolder(folder);
    memberRule_ = entry.overwrite;
    state_ = kMembers;
    return;
  }
  const bool empty = archive_ >= 0 && codec_.lastError() == XAP_ERR_EMPTY;
  closeArchive();
  if (!empty) abort(kMsgBadDisk);  // missing, cut or damaged archive
}

void InstallSession::nextMember() {
  const QString name = QFile::decodeName(member_->name);
  const QString dest = memberFolder_ + name;
  if (name.contains(QLatin1Char('/')) || QFileInfo(dest).isDir()) {
    ++failed_;
  } else if (mayWrite(dest, memberRule_, name)) {
    PendingFile out(dest);
    const bool decoded =
        out.fd() >= 0 && (codec_.decode(out.fd()) == 1 || codec_.lastError() == XAP_ERR_TIME);
    if (decoded && out.commit()) {
      ++done_;
      list_.files.append(dest);
    } else {
      ++failed_;
    }
  }
  report(name);
  member_ = codec_.findNext();
  if (!member_) {
    closeArchive();
    state_ = kFiles;
  }
}

bool InstallSession::mayWrite(const QString& destination, char rule, const QString& shownName) {
  if (!QFileInfo::exists(destination) || rule == 'Y') return true;
  if (rule != 'N' && questions_.overwrite(shownName)) return true;
  ++done_;  // kept as it was
  return false;
}

void InstallSession::report(const QString& shownName) {
  const int percent = std::min(100, done_ * 100 / std::max(1, script_.app.fileCount));
  questions_.progress(shownName, percent);
}

void InstallSession::closeArchive() {
  if (archive_ < 0) return;
  codec_.findClose();
  ::close(archive_);
  archive_ = -1;
  member_ = nullptr;
}

void InstallSession::abort(int message) {
  closeArchive();
  if (message) questions_.notice(message);
  state_ = kAborted;
}

void InstallSession::finish() {
  closeArchive();
  bool complete =
      !cancelled_ && state_ != kAborted && failed_ == 0 && done_ >= script_.app.fileCount;
  if (complete) {
    complete = applyRegistry(script_.app.appName, places_.target, script_.registry);
    writeMenuEntries(script_, places_, &list_.files);
    refreshDesktopDatabases(places_);
  }
  codec_.unload();
  list_.save(InstallList::pathIn(places_.target));
  outcome_ = complete ? kMsgComplete : kMsgIncomplete;
  state_ = kDone;
}

}  // namespace deploy
