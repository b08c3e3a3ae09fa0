// Engine files: the header, the open modes, share locks and errno mapping.
#include <errno.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform_error.h"
#include "temp_folder.h"
#include "xJorDbm2.h"

namespace {

TEST(FileHeader, CreateWritesEightByteHeaderWithLowVersionBits) {
  TempFolder tmp;
  int32_t h = xCreateFile(tmp.file("p.kvp").c_str(), 0x10064);  // low 16 bits: 100
  ASSERT_NE(h, -1);
  EXPECT_EQ(lseek(h, 0, SEEK_CUR), 8);
  xCloseFile(&h);
  EXPECT_EQ(h, -1);
  std::vector<uint8_t> want = {'Q', 'z', 100, 0, 130, 0, 0, 0};
  EXPECT_EQ(fileBytes(tmp.file("p.kvp")), want);
}

TEST(FileHeader, CreateWithoutVersionTruncatesToEmpty) {
  TempFolder tmp;
  writeBytes(tmp.file("a"), {1, 2, 3, 4, 5});
  int32_t h = xCreateFile(tmp.file("a").c_str(), 0);
  ASSERT_NE(h, -1);
  EXPECT_EQ(lseek(h, 0, SEEK_CUR), 0);
  xCloseFile(&h);
  EXPECT_TRUE(fileBytes(tmp.file("a")).empty());
}

TEST(FileHeader, OpenModesCheckVersionAndMagic) {
  TempFolder tmp;
  std::string qz = tmp.file("qz"), xd = tmp.file("xd");
  writeBytes(qz, {'Q', 'z', 100, 0, 1, 2, 3, 4, 'r', 'e', 's', 't'});
  writeBytes(xd, {'x', 'D', 1, 0, 0, 0, 0, 0});

  int32_t h = xOpenFile(qz.c_str(), 100);  // read/write, version 100
  ASSERT_NE(h, -1);
  EXPECT_EQ(lseek(h, 0, SEEK_CUR), 8);
  EXPECT_EQ(write(h, "W", 1), 1);
  xCloseFile(&h);

  h = xOpenFile(xd.c_str(), 10001);  // read-only, version 1, "xD" accepted
  ASSERT_NE(h, -1);
  EXPECT_EQ(write(h, "W", 1), -1);
  xCloseFile(&h);

  h = xOpenFile(qz.c_str(), 10000);  // read-only, no check: at byte 0
  ASSERT_NE(h, -1);
  EXPECT_EQ(lseek(h, 0, SEEK_CUR), 0);
  xCloseFile(&h);

  xSetDbError(0);
  EXPECT_EQ(xOpenFile(qz.c_str(), 101), -1);  // wrong version
  EXPECT_EQ(xGetDbError(), 21006);
  writeBytes(tmp.file("bad"), {'Q', 'Y', 100, 0, 130, 0, 0, 0});
  xSetDbError(0);
  EXPECT_EQ(xOpenFile(tmp.file("bad").c_str(), 100), -1);  // wrong magic
  EXPECT_EQ(xGetDbError(), 21006);
}

TEST(FileHeader, CheckOnlyModeClosesAndReturnsFixedToken) {
  TempFolder tmp;
  std::string qz = tmp.file("qz");
  writeBytes(qz, {'Q', 'z', 100, 0, 130, 0, 0, 0});
  int32_t probe = dup(0);  // the next free descriptor number
  close(probe);
  int32_t h = xOpenFile(qz.c_str(), 1100);
  EXPECT_EQ(h, XJOR_CHECKED);
  EXPECT_EQ(fcntl(probe, F_GETFD), -1);  // nothing left open
  xCloseFile(&h);                        // ignored, but resets
  EXPECT_EQ(h, -1);
  EXPECT_EQ(xOpenFile(qz.c_str(), 11100), XJOR_CHECKED);
  EXPECT_EQ(xOpenFile(qz.c_str(), 1001), -1);
}

TEST(FileHeader, ShortOrMissingFilesFailWithAnErrorCode) {
  TempFolder tmp;
  writeBytes(tmp.file("short"), {'Q', 'z', 100});
  xSetDbError(0);
  EXPECT_EQ(xOpenFile(tmp.file("short").c_str(), 100), -1);
  EXPECT_EQ(xGetDbError(), 21006);
  writeBytes(tmp.file("empty"), {});
  EXPECT_EQ(xOpenFile(tmp.file("empty").c_str(), 1100), -1);
  int32_t unchecked = xOpenFile(tmp.file("empty").c_str(), 0);  // no check: fine
  EXPECT_NE(unchecked, -1);
  xCloseFile(&unchecked);
  EXPECT_EQ(xOpenFile(tmp.file("missing").c_str(), 0), -1);
  EXPECT_EQ(xGetDbError(), 21002);
  EXPECT_EQ(xCreateFile(tmp.file("no/such/dir").c_str(), 1), -1);
  EXPECT_EQ(xGetDbError(), 21002);
}

TEST(FileHeader, SecondWriterIsRefusedReadersAreNot) {
  TempFolder tmp;
  std::string p = tmp.file("shared");
  int32_t writer = xCreateFile(p.c_str(), 100);
  ASSERT_NE(writer, -1);
  xSetDbError(0);
  EXPECT_EQ(xOpenFile(p.c_str(), 100), -1);
  EXPECT_EQ(xGetDbError(), 21011);
  EXPECT_EQ(xCreateFile(p.c_str(), 100), -1);  // and not truncated under the writer
  EXPECT_EQ(fileBytes(p).size(), 8u);
  int32_t reader = xOpenFile(p.c_str(), 10100);
  EXPECT_NE(reader, -1);
  EXPECT_EQ(xOpenFile(p.c_str(), 1100), XJOR_CHECKED);  // a check takes no lock
  xCloseFile(&reader);
  xCloseFile(&writer);
  writer = xOpenFile(p.c_str(), 100);
  EXPECT_NE(writer, -1);
  xCloseFile(&writer);
}

// Only regular files are engine files: a FIFO is refused at once in every
// mode (never waited on), a folder too, and neither is truncated.
TEST(FileHeader, SomethingOtherThanAFileIsRefused) {
  TempFolder tmp;
  const std::string fifo = tmp.file("pipe"), folder = tmp.file("dir");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
  alarm(20);  // a hang ends the test program instead of the whole run
  for (const std::string& path : {fifo, folder}) {
    for (int32_t mode : {10001, 10000, 1100, 100, 0}) {
      xSetDbError(0);
      EXPECT_EQ(xOpenFile(path.c_str(), mode), -1) << path << " " << mode;
      EXPECT_NE(xGetDbError(), 0) << path << " " << mode;
    }
    xSetDbError(0);
    EXPECT_EQ(xCreateFile(path.c_str(), 1), -1) << path;
    EXPECT_EQ(xGetDbError(), 21005) << path;
  }
  xSetDbError(0);
  EXPECT_EQ(xOpenFile(fifo.c_str(), 10001), -1);
  EXPECT_EQ(xGetDbError(), 21006);
  alarm(0);
  struct stat st;
  ASSERT_EQ(stat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST(PlatformErrors, MapByMeaningAndSetTheWord) {
  struct {
    int err;
    int32_t code;
  } cases[] = {{0, 0},          {ENOENT, 21002},      {ENOTDIR, 21003},   {ENAMETOOLONG, 21003},
               {ELOOP, 21003},  {EMFILE, 21004},      {ENFILE, 21004},    {EACCES, 21005},
               {EPERM, 21005},  {EROFS, 21005},       {EEXIST, 21005},    {EISDIR, 21005},
               {EBUSY, 21007},  {ESPIPE, 21009},      {EOVERFLOW, 21009}, {EIO, 21010},
               {ENXIO, 21010},  {EWOULDBLOCK, 21011}, {ENOSPC, 21013},    {EDQUOT, 21013},
               {ENOMEM, 21001}, {EINVAL, 21000},      {EPIPE, 21000}};
  for (const auto& c : cases) {
    xSetDbError(12345);
    EXPECT_EQ(xjorMapErrno(c.err), c.code) << c.err;
    EXPECT_EQ(xGetDbError(), c.code) << c.err;
    EXPECT_EQ(xMapErrno(c.err), c.code) << c.err;
  }
}

}  // namespace
