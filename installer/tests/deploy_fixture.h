// Scratch media, target and user folders for installer tests, and a
// recorder standing in for the person at the screen.
#ifndef DEPLOY_TESTS_DEPLOY_FIXTURE_H_
#define DEPLOY_TESTS_DEPLOY_FIXTURE_H_

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include "deploy_paths.h"
#include "install_session.h"
#include "xNubPack.h"

namespace deploy_test {

inline void writeBytes(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).path());
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(bytes);
}

inline QByteArray readBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every file below `folder`, relative to it, sorted.
inline QStringList filesUnder(const QString& folder) {
  QStringList out;
  QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
  while (it.hasNext()) out << QDir(folder).relativeFilePath(it.next());
  out.sort();
  return out;
}

class Recorder : public deploy::InstallQuestions {
 public:
  bool overwrite(const QString& fileName) override {
    asked << fileName;
    return overwriteAnswer;
  }
  bool waitForDisk(const QString& disk, const std::function<bool()>& present) override {
    disks << disk;
    return present();
  }
  void progress(const QString&, int percent) override { percents << percent; }
  void notice(int message) override { notices << message; }

  bool overwriteAnswer = false;
  QStringList asked, disks;
  QList<int> percents, notices;
};

class DeployTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    root_ = dir_.path() + QLatin1Char('/');
    places_.installerDir = root_ + "media/";
    places_.mediaDir = places_.installerDir;
    places_.target = root_ + "target/";
    places_.systemDir = root_ + "system/";
    places_.dataHome = root_ + "data/";
    places_.configHome = root_ + "config/";
    for (const char* d : {"media", "target", "data", "config", "system"}) QDir().mkpath(root_ + d);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, places_.configHome);
    QFile::copy(QStringLiteral(KELVO_BIN_DIR "/libxNubPack.so"),
                places_.installerDir + "libxNubPack.so");
  }

  // Packs `files` (name -> bytes) into media/<archive>.
  void makeArchive(const QString& archive, const QList<QPair<QString, QByteArray>>& files) {
    const QString work = root_ + "work/";
    const int arc = ::open(QFile::encodeName(places_.installerDir + archive).constData(),
                           O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(arc, 0);
    for (const auto& [name, bytes] : files) {
      writeBytes(work + name, bytes);
      const int src = ::open(QFile::encodeName(work + name).constData(), O_RDONLY);
      ASSERT_EQ(xApEncode(QFile::encodeName(work + name).constData(), src, arc), 1);
      ::close(src);
    }
    ::close(arc);
  }

  // Parses `text` as Setup.inf and runs the whole installation.
  int install(const QByteArray& text) {
    writeBytes(places_.installerDir + "Setup.inf", text);
    if (!deploy::readScript(places_.installerDir + "Setup.inf", true, &script_)) return 16;
    deploy::InstallSession session(script_, places_, ui_);
    while (session.step()) {
    }
    installed_ = session.installed();
    done_ = session.filesDone();
    return session.outcome();
  }

  QTemporaryDir dir_;
  QString root_;
  deploy::Places places_;
  deploy::Script script_;
  Recorder ui_;
  deploy::InstallList installed_;
  int done_ = 0;
};

}  // namespace deploy_test

#endif  // DEPLOY_TESTS_DEPLOY_FIXTURE_H_
