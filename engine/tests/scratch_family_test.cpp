// The scratch-file family: unique names, members, and the deleters.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "temp_folder.h"
#include "xJorDbm2.h"

namespace {

std::string baseName(const char* path) {
  std::string p = path;
  return p.substr(p.rfind('/') + 1);
}

// prefix + four uppercase hex digits + ".TMP"
bool isScratchName(const std::string& name, const std::string& prefix) {
  if (name.size() != prefix.size() + 8 || name.compare(0, prefix.size(), prefix) != 0) return false;
  for (size_t i = prefix.size(); i < prefix.size() + 4; ++i)
    if (!isdigit(static_cast<unsigned char>(name[i])) && !(name[i] >= 'A' && name[i] <= 'F'))
      return false;
  return name.compare(prefix.size() + 4, 4, ".TMP") == 0;
}

TEST(ScratchFamily, OpenDbMakesUniqueMainFileAndStem) {
  TempFolder tmp;
  DbSpace a = {}, b = {};
  ASSERT_EQ(xOpenDb(&a, tmp.dir().c_str(), nullptr), 1);
  ASSERT_EQ(xOpenDb(&b, tmp.file("").c_str(), "~Kv"), 1);  // with or without trailing '/'
  EXPECT_TRUE(isScratchName(baseName(a.path), "~Qz")) << a.path;
  EXPECT_TRUE(isScratchName(baseName(b.path), "~Kv")) << b.path;
  EXPECT_EQ(a.stemLength, static_cast<int16_t>(strlen(a.path) - 3));
  EXPECT_EQ(a.path[a.stemLength - 1], '.');
  EXPECT_EQ(a.memoFree, XJOR_NONE);
  EXPECT_EQ(a.memoBlocks, 0u);
  EXPECT_NE(a.mainHandle, -1);
  EXPECT_TRUE(fileBytes(a.path).empty());

  DbSpace c = {};
  ASSERT_EQ(xOpenDb(&c, tmp.dir().c_str(), nullptr), 1);
  EXPECT_STRNE(a.path, c.path);
  xCloseFile(&a.mainHandle);
  xCloseFile(&b.mainHandle);
  xCloseFile(&c.mainHandle);
  EXPECT_EQ(xOpenDb(&c, tmp.file("missing/").c_str(), nullptr), 0);
  EXPECT_EQ(xGetDbError(), 21002);
}

TEST(ScratchFamily, MembersAreNewFilesNamedStemPlusName) {
  TempFolder tmp;
  DbSpace db = {};
  ASSERT_EQ(xOpenDb(&db, tmp.dir().c_str(), nullptr), 1);
  std::string stem(db.path, static_cast<size_t>(db.stemLength));
  writeBytes(stem + "act", {9, 9, 9});
  int32_t h = xOpenTemp(&db, "act", 0);
  ASSERT_NE(h, -1);
  EXPECT_TRUE(fileBytes(stem + "act").empty());
  EXPECT_EQ(write(h, "abc", 3), 3);
  xCloseFile(&h);
  h = xOpenTemp(&db, "act", 1);  // existing, kept
  ASSERT_NE(h, -1);
  EXPECT_EQ(fileBytes(stem + "act").size(), 3u);
  EXPECT_EQ(xCloseTemp(&db, &h, "act"), 1);
  EXPECT_EQ(h, -1);
  EXPECT_FALSE(std::filesystem::exists(stem + "act"));
  EXPECT_EQ(xOpenTemp(&db, "act", 1), -1);
  EXPECT_EQ(xGetDbError(), 21002);
  EXPECT_EQ(xOpenTemp(&db, "../evil", 0), -1);
  EXPECT_EQ(xGetDbError(), 21003);
  xCloseFile(&db.mainHandle);
}

TEST(ScratchFamily, MemberCreationNeverWritesThroughALink) {
  TempFolder tmp;
  DbSpace db = {};
  ASSERT_EQ(xOpenDb(&db, tmp.dir().c_str(), nullptr), 1);
  std::string stem(db.path, static_cast<size_t>(db.stemLength));
  writeBytes(tmp.file("victim"), {1, 2, 3});
  ASSERT_EQ(symlink(tmp.file("victim").c_str(), (stem + "rel").c_str()), 0);
  EXPECT_EQ(xOpenTemp(&db, "rel", 1), -1);  // an existing link is not followed
  int32_t h = xOpenTemp(&db, "rel", 0);     // a new member replaces the link
  ASSERT_NE(h, -1);
  EXPECT_EQ(write(h, "x", 1), 1);
  xCloseFile(&h);
  EXPECT_EQ(fileBytes(tmp.file("victim")), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_FALSE(std::filesystem::is_symlink(stem + "rel"));
  xCloseFile(&db.mainHandle);
}

TEST(ScratchFamily, DelDbTempRemovesOnlyItsOwnFamily) {
  TempFolder tmp;
  DbSpace a = {}, b = {};
  ASSERT_EQ(xOpenDb(&a, tmp.dir().c_str(), nullptr), 1);
  ASSERT_EQ(xOpenDb(&b, tmp.dir().c_str(), nullptr), 1);
  int32_t h1 = xOpenTemp(&a, "act", 0), h2 = xOpenTemp(&a, "3", 0), h3 = xOpenTemp(&b, "act", 0);
  xCloseFile(&h1);
  xCloseFile(&h2);
  xCloseFile(&h3);
  writeBytes(tmp.file("other.txt"), {1});
  // The project-close order: close the main handle, delete it, then the family.
  xCloseFile(&a.mainHandle);
  unlink(a.path);
  xDelDbTemp(&a);
  std::vector<std::string> left = tmp.names();
  std::string bMain = baseName(b.path);
  std::string bAct = bMain.substr(0, bMain.size() - 3) + "act";
  EXPECT_EQ(left, (std::vector<std::string>{"other.txt", bMain, bAct}));
  // With its main handle still open the family is removed all the same.
  xDelDbTemp(&b);
  EXPECT_EQ(tmp.names(), (std::vector<std::string>{"other.txt"}));
  xCloseFile(&b.mainHandle);
}

TEST(ScratchFamily, DeleteAllTempSkipsFamiliesThatAreInUse) {
  TempFolder tmp;
  DbSpace live = {};
  ASSERT_EQ(xOpenDb(&live, tmp.dir().c_str(), nullptr), 1);
  int32_t h = xOpenTemp(&live, "act", 0);
  std::string liveMain = baseName(live.path);
  // Leftovers of earlier runs: a whole family, members without a main file,
  // a stray name, another prefix.
  for (const char* n : {"~Qz0001.TMP", "~Qz0001.act", "~Qz0002.rel", "~QzJUNK", "~Kv0003.TMP"})
    writeBytes(tmp.file(n), {1});
  // A family locked by another instance (flock from a separate open).
  writeBytes(tmp.file("~Qz0004.TMP"), {});
  writeBytes(tmp.file("~Qz0004.opt"), {1});
  int other = open(tmp.file("~Qz0004.TMP").c_str(), O_RDONLY);
  ASSERT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);

  xDeleteAllTemp(tmp.dir().c_str(), nullptr);
  std::vector<std::string> want = {"~Kv0003.TMP", "~Qz0004.TMP", "~Qz0004.opt", liveMain,
                                   liveMain.substr(0, liveMain.size() - 3) + "act"};
  std::sort(want.begin(), want.end());
  EXPECT_EQ(tmp.names(), want);

  close(other);
  xCloseFile(&h);
  xCloseFile(&live.mainHandle);
  xDeleteAllTemp(tmp.dir().c_str(), nullptr);
  EXPECT_EQ(tmp.names(), (std::vector<std::string>{"~Kv0003.TMP"}));
  xDeleteAllTemp(tmp.dir().c_str(), "~Kv");
  EXPECT_TRUE(tmp.names().empty());
}

// Runs body with XDG_RUNTIME_DIR unset and TMPDIR set to folder.
template <typename F>
void withTmpdir(const std::string& folder, F body) {
  std::string runtime = getenv("XDG_RUNTIME_DIR") ? getenv("XDG_RUNTIME_DIR") : "";
  std::string tmpdir = getenv("TMPDIR") ? getenv("TMPDIR") : "";
  unsetenv("XDG_RUNTIME_DIR");
  setenv("TMPDIR", folder.c_str(), 1);
  body();
  if (runtime.empty())
    unsetenv("XDG_RUNTIME_DIR");
  else
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  if (tmpdir.empty())
    unsetenv("TMPDIR");
  else
    setenv("TMPDIR", tmpdir.c_str(), 1);
}

TEST(ScratchFolder, IsPrivateToItsOwner) {
  TempFolder tmp;
  std::string want = tmp.file("kelvo-" + std::to_string(geteuid())) + "/";
  withTmpdir(tmp.file(""), [&] {
    char buf[300];
    ASSERT_EQ(xGetScratchDir(buf, sizeof buf), 1);
    EXPECT_EQ(std::string(buf), want);
    struct stat st;
    ASSERT_EQ(stat(buf, &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    chmod(buf, 0777);  // opened up by someone: closed again
    ASSERT_EQ(xGetScratchDir(buf, sizeof buf), 1);
    ASSERT_EQ(stat(buf, &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(xGetScratchDir(buf, 5), 0);  // no room
  });
  // A link planted at the name is refused, not followed.
  TempFolder other;
  std::string planted = other.file("kelvo-" + std::to_string(geteuid()));
  ASSERT_EQ(symlink(tmp.file("").c_str(), planted.c_str()), 0);
  withTmpdir(other.file(""), [&] {
    char buf[300];
    EXPECT_EQ(xGetScratchDir(buf, sizeof buf), 0);
    EXPECT_EQ(xGetDbError(), 21005);
  });
}

}  // namespace
