// The sample project of the build, copied so that a test may change it.
#ifndef GRIDS_TESTS_SAMPLE_PROJECT_H_
#define GRIDS_TESTS_SAMPLE_PROJECT_H_

#include <QFile>
#include <QString>
#include <cstring>

#include "xJorLib.h"
#include "xQdDb100.h"

namespace kelvo_test {

// Gives a project file that kvcli wrote (its password block all zero, which
// the program reads as a password the empty text does not match) an encoded
// empty password. False when the file cannot be read or written.
inline bool encodeEmptyPassword(const QString& path) {
  PrjInfo info;
  if (!xGetPrjInfo(QFile::encodeName(path).constData(), &info)) return false;
  char block[12] = {};
  char code[12] = {};
  std::memcpy(code, info.code, sizeof info.code);
  xEncodePassword(block, code, 0);
  QFile file(path);
  if (!file.open(QIODevice::ReadWrite) || !file.seek(128 + 83)) return false;
  return file.write(block, sizeof info.password) == qint64(sizeof info.password);
}

// Copies bin/samples/small_building.kvp into folder (binDir is the build's
// program folder) and returns the copy's path; empty when the build has no
// sample. The copy opens without a password.
inline QString copySampleProject(const QString& binDir, const QString& folder) {
  const QString sample = binDir + "/samples/small_building.kvp";
  if (!QFile::exists(sample)) return QString();
  const QString copy = folder + "/small_building.kvp";
  QFile::remove(copy);
  QFile::copy(sample, copy);
  QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
  return encodeEmptyPassword(copy) ? copy : QString();
}

}  // namespace kelvo_test

#endif  // GRIDS_TESTS_SAMPLE_PROJECT_H_
