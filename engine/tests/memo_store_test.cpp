// The memo store: block counts, chains, reuse of freed blocks, damaged
// chains, saving and reading, and packing.
#include <fcntl.h>
#include <signal.h>
#include <string.h>
#include <sys/resource.h>

#include "db_fixture.h"

namespace {

class MemoStore : public DbFixture {
 protected:
  std::string Get(uint32_t m) {
    uint32_t n = xGetMemo(&db_, m, nullptr);
    if (n == 0) return "";
    std::string out(n + 1, '?');
    uint32_t got = xGetMemo(&db_, m, out.data());
    EXPECT_EQ(out[got], '\0');
    out.resize(got);
    return out;
  }
  static std::string Text(size_t n) {
    std::string s;
    for (size_t i = 0; i < n; ++i) s += static_cast<char>('a' + i % 26);
    return s;
  }
  void PutU32(uint32_t block, uint32_t at, uint32_t value) {
    WriteAt(db_.mainHandle, block * 128 + at, &value, 4);
  }
};

TEST_F(MemoStore, BlockCountsFollowTheTextLength) {
  const struct {
    size_t length;
    uint32_t blocks;
  } cases[] = {{1, 1}, {116, 1}, {117, 2}, {236, 2}, {237, 3}, {356, 3}, {357, 4}};
  for (const auto& c : cases) {
    uint32_t before = db_.memoBlocks;
    std::string text = Text(c.length);
    uint32_t m = xAddMemo(&db_, text.c_str(), 0);
    EXPECT_EQ(m, before + 1);
    EXPECT_EQ(db_.memoBlocks - before, c.blocks) << c.length;
    EXPECT_EQ(Get(m), text) << c.length;
  }
  EXPECT_EQ(FileSize(db_.mainHandle), 128 * db_.memoBlocks);
}

TEST_F(MemoStore, BlockBytes) {
  std::string text = Text(117);
  ASSERT_EQ(xAddMemo(&db_, text.c_str(), 0), 1u);
  std::vector<unsigned char> bytes = FileBytes(db_.mainHandle);
  ASSERT_EQ(bytes.size(), 256u);
  const unsigned char first[12] = {0xFE, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 117, 0, 0, 0};
  const unsigned char second[8] = {0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_EQ(memcmp(bytes.data(), first, 12), 0);
  EXPECT_EQ(memcmp(bytes.data() + 12, text.data(), 116), 0);
  EXPECT_EQ(memcmp(bytes.data() + 128, second, 8), 0);
  EXPECT_EQ(bytes[136], text[116]);
}

TEST_F(MemoStore, EmptyTextAndSizeQueries) {
  EXPECT_EQ(xAddMemo(&db_, "", 0), 0u);
  EXPECT_EQ(db_.memoBlocks, 0u);
  uint32_t m = xAddMemo(&db_, "hello, world", 5);
  EXPECT_EQ(xGetMemo(&db_, m, nullptr), 5u);
  EXPECT_EQ(Get(m), "hello");
}

TEST_F(MemoStore, FreedBlocksAreReusedAndNumbersMayChange) {
  uint32_t a = xAddMemo(&db_, Text(200).c_str(), 0);  // blocks 0, 1
  uint32_t b = xAddMemo(&db_, "bee", 0);              // block 2
  ASSERT_EQ(xDelMemo(&db_, a), 1);
  EXPECT_EQ(Get(a), "");
  EXPECT_EQ(xDelMemo(&db_, a), 0);  // already freed
  uint32_t c = xAddMemo(&db_, "sea", 0);
  EXPECT_EQ(c, 2u);  // last freed block first
  EXPECT_EQ(db_.memoBlocks, 3u);
  uint32_t d = xPutMemo(&db_, b, Text(130).c_str(), 0);
  EXPECT_NE(d, 0u);
  EXPECT_EQ(Get(d), Text(130));
  EXPECT_EQ(Get(c), "sea");
  EXPECT_EQ(xPutMemo(&db_, 99, "x", 0), 0u);
}

TEST_F(MemoStore, NumbersThatAreNotMemosGiveZero) {
  uint32_t m = xAddMemo(&db_, Text(150).c_str(), 0);
  EXPECT_EQ(xGetMemo(&db_, 0, nullptr), 0u);
  EXPECT_EQ(xGetMemo(&db_, 7, nullptr), 0u);
  EXPECT_EQ(xDelMemo(&db_, 0), 0);
  EXPECT_EQ(xDelMemo(&db_, 0xFFFFFFFFu), 0);
  EXPECT_EQ(Get(m), Text(150));
}

TEST_F(MemoStore, LoopingChainEndsAndNeverOverrunsTheBuffer) {
  uint32_t m = xAddMemo(&db_, Text(300).c_str(), 0);  // blocks 0, 1, 2
  PutU32(1, 4, 0);                                    // block 1 links back to 0
  uint32_t n = xGetMemo(&db_, m, nullptr);
  ASSERT_EQ(n, 300u);
  std::vector<char> buf(n + 1);
  uint32_t got = xGetMemo(&db_, m, buf.data());
  EXPECT_LE(got, 300u);
  EXPECT_EQ(xDelMemo(&db_, m), 0);  // the loop is found, nothing loops forever
}

TEST_F(MemoStore, LengthBeyondTheStoreIsDamage) {
  uint32_t m = xAddMemo(&db_, "short", 0);
  PutU32(0, 8, 0x7FFFFFFF);
  EXPECT_EQ(xGetMemo(&db_, m, nullptr), 0u);
}

TEST_F(MemoStore, DamagedFreeListNeverHandsOutABlockInUse) {
  uint32_t a = xAddMemo(&db_, "first", 0);
  db_.memoFree = 0;  // claims block 0 is free while memo a lives there
  uint32_t b = xAddMemo(&db_, "second", 0);
  EXPECT_NE(b, a);
  EXPECT_EQ(Get(a), "first");
  EXPECT_EQ(Get(b), "second");
}

TEST_F(MemoStore, SaveAndReadRestoreTheStore) {
  uint32_t a = xAddMemo(&db_, Text(250).c_str(), 0);
  uint32_t b = xAddMemo(&db_, "keep", 0);
  xDelMemo(&db_, a);
  std::string image = dir_ + "memo.img";
  int32_t out = xCreateFile(image.c_str(), 0);
  ASSERT_NE(out, -1);
  xSaveMemo(&db_, out);
  EXPECT_EQ(FileSize(out), 4 + 4 + 4 + 4 * 128);
  lseek(out, 0, SEEK_SET);

  DbSpace other{};
  ASSERT_EQ(xOpenDb(&other, dir_.c_str(), "~Mm"), 1);
  xReadMemo(&other, out);
  EXPECT_EQ(other.memoBlocks, 4u);
  EXPECT_EQ(other.memoFree, db_.memoFree);
  std::string text(5, '?');
  EXPECT_EQ(xGetMemo(&other, b, text.data()), 4u);
  EXPECT_STREQ(text.c_str(), "keep");
  xCloseFile(&other.mainHandle);
  xCloseFile(&out);
}

TEST_F(MemoStore, ReadImageWithCountsBeyondItsBytesIsClamped) {
  std::string image = dir_ + "bad.img";
  int32_t out = xCreateFile(image.c_str(), 0);
  const uint32_t words[3] = {5000, 9999, 128};  // free head, blocks, length
  ASSERT_EQ(write(out, words, sizeof words), 12);
  std::string block(128, '\0');
  ASSERT_EQ(write(out, block.data(), 128), 128);
  lseek(out, 0, SEEK_SET);
  xReadMemo(&db_, out);
  EXPECT_EQ(db_.memoBlocks, 1u);
  EXPECT_EQ(db_.memoFree, 0xFFFFFFFFu);
  EXPECT_EQ(xGetMemo(&db_, 1, nullptr), 0u);
  xCloseFile(&out);
}

TEST_F(MemoStore, PackingMovesLiveMemosToTheFront) {
  uint32_t a = xAddMemo(&db_, Text(240).c_str(), 0);  // blocks 0-2
  uint32_t b = xAddMemo(&db_, "bravo", 0);            // block 3
  uint32_t c = xAddMemo(&db_, Text(130).c_str(), 0);  // blocks 4-5
  xDelMemo(&db_, a);
  DbSpace* old = xPackMemoF(&db_);
  ASSERT_NE(old, nullptr);
  EXPECT_EQ(db_.memoBlocks, 0u);
  uint32_t nb = xPackMemoN(&db_, old, b);
  uint32_t nc = xPackMemoN(&db_, old, c);
  EXPECT_EQ(xPackMemoN(&db_, old, a), 0u);
  xPackMemoC(&db_, &old->mainHandle);
  xFreeBuffer(old);
  EXPECT_EQ(nb, 1u);
  EXPECT_EQ(nc, 2u);
  EXPECT_EQ(db_.memoBlocks, 3u);
  EXPECT_EQ(FileSize(db_.mainHandle), 3 * 128);
  EXPECT_EQ(Get(nb), "bravo");
  EXPECT_EQ(Get(nc), Text(130));
  EXPECT_FALSE(std::filesystem::exists(std::string(db_.path, db_.stemLength) + "~$m"));
}

TEST_F(MemoStore, NothingToPack) {
  EXPECT_EQ(xPackMemoF(&db_), nullptr);
}

// Failed writes add nothing and report why: a closed or read-only main
// file, and a file that may not grow (the size limit of ulimit -f), where
// a replaced memo keeps its old text.
TEST_F(MemoStore, FailedWritesAddNothingAndSetTheErrorWord) {
  uint32_t a = xAddMemo(&db_, "first", 0);
  uint32_t b = xAddMemo(&db_, "second", 0);
  ASSERT_EQ(xDelMemo(&db_, a), 1);  // block 0 on the free list
  const DbSpace before = db_;
  const int32_t rw = db_.mainHandle;

  db_.mainHandle = -1;
  xSetDbError(0);
  EXPECT_EQ(xAddMemo(&db_, "lost", 0), 0u);
  EXPECT_EQ(xGetDbError(), 21002);

  db_.mainHandle = open(db_.path, O_RDONLY);
  xSetDbError(0);
  EXPECT_EQ(xAddMemo(&db_, Text(300).c_str(), 0), 0u);
  EXPECT_EQ(xGetDbError(), 21005);
  EXPECT_EQ(db_.memoFree, before.memoFree);
  EXPECT_EQ(db_.memoBlocks, before.memoBlocks);
  close(db_.mainHandle);
  db_.mainHandle = rw;

  struct rlimit old;
  getrlimit(RLIMIT_FSIZE, &old);
  void (*oldHandler)(int) = signal(SIGXFSZ, SIG_IGN);
  struct rlimit capped = old;
  capped.rlim_cur = static_cast<rlim_t>(FileSize(rw));
  setrlimit(RLIMIT_FSIZE, &capped);
  xSetDbError(0);
  EXPECT_EQ(xPutMemo(&db_, b, Text(500).c_str(), 0), 0u);  // needs new blocks
  int32_t error = xGetDbError();
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(error, 21009);
  EXPECT_EQ(Get(b), "second");
  EXPECT_EQ(db_.memoFree, before.memoFree);
  EXPECT_EQ(db_.memoBlocks, before.memoBlocks);
  // The free list is whole: the next add reuses block 0 as before.
  EXPECT_EQ(xAddMemo(&db_, "again", 0), 1u);
  EXPECT_EQ(Get(1), "again");
  EXPECT_EQ(Get(b), "second");
}

}  // namespace
