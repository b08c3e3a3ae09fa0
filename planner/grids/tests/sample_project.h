// The sample project of the build, copied so that a test may change it.
#ifndef GRIDS_TESTS_SAMPLE_PROJECT_H_
#define GRIDS_TESTS_SAMPLE_PROJECT_H_

#include <QFile>
#include <QString>
#include <cstring>

#include "xJorLib.h"
#include "xQdDb100.h"

namespace kelvo_test {

// Copies bin/samples/small_building.kvp into folder (binDir is the build's
// program folder) and returns the copy's path; empty when the build has no
// sample. The sample is written by kvcli, which leaves the password block
// all zero; the program reads that as a password that the empty text does
// not match, so the copy gets an encoded empty password.
inline QString copySampleProject(const QString& binDir, const QString& folder) {
  const QString sample = binDir + "/samples/small_building.kvp";
  if (!QFile::exists(sample)) return QString();
  const QString copy = folder + "/small_building.kvp";
  QFile::remove(copy);
  QFile::copy(sample, copy);
  QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
  PrjInfo info;
  if (!xGetPrjInfo(QFile::encodeName(copy).constData(), &info)) return QString();
  char block[12] = {};
  char code[12] = {};
  std::memcpy(code, info.code, sizeof info.code);
  xEncodePassword(block, code, 0);
  QFile file(copy);
  if (!file.open(QIODevice::ReadWrite) || !file.seek(128 + 83)) return QString();
  file.write(block, sizeof info.password);
  return copy;
}

}  // namespace kelvo_test

#endif  // GRIDS_TESTS_SAMPLE_PROJECT_H_
