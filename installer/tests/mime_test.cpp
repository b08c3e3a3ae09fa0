// The MIME package that xDeploy and the Debian package install: a project
// file is recognised by its header alone, whatever its name, and a settings
// file (same store, other header) is not taken for one.
#include <gtest/gtest.h>

#include <QFile>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

TEST(ProjectMime, ProjectFilesAreKnownByTheirHeader) {
  const QString update = QStandardPaths::findExecutable("update-mime-database");
  if (update.isEmpty()) GTEST_SKIP() << "update-mime-database is not installed";
  QTemporaryDir dir;
  const QString data = dir.path() + "/data";
  ASSERT_TRUE(QDir().mkpath(data + "/mime/packages"));
  ASSERT_TRUE(
      QFile::copy(KELVO_SOURCE_DIR "/packaging/kelvo-mime.xml", data + "/mime/packages/kelvo.xml"));
  ASSERT_EQ(QProcess::execute(update, {data + "/mime"}), 0);
  // Only this database: the process has not asked for a MIME type before.
  qputenv("XDG_DATA_DIRS", data.toUtf8());
  qputenv("XDG_DATA_HOME", data.toUtf8());

  const QString project = dir.path() + "/renamed.bin";
  ASSERT_TRUE(QFile::copy(KELVO_BIN_DIR "/samples/small_building.kvp", project));
  QFile settings(dir.path() + "/settings.bin");
  ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
  settings.write(QByteArray("nEd\0", 4) + QByteArray(200, '\0'));
  settings.close();
  QFile older(dir.path() + "/older.bin");
  ASSERT_TRUE(older.open(QIODevice::WriteOnly));
  older.write(QByteArray("xD\x64\0\x82\0\0\0ePd\0", 12) + QByteArray(200, '\0'));
  older.close();

  QMimeDatabase db;
  const QString type = "application/x-kelvo-project";
  EXPECT_EQ(db.mimeTypeForFile(project, QMimeDatabase::MatchContent).name(), type);
  EXPECT_EQ(db.mimeTypeForFile(older.fileName(), QMimeDatabase::MatchContent).name(), type);
  EXPECT_NE(db.mimeTypeForFile(settings.fileName(), QMimeDatabase::MatchContent).name(), type);
  EXPECT_EQ(db.mimeTypeForFile("/nowhere/plan.kvp", QMimeDatabase::MatchExtension).name(), type);
}

}  // namespace
