// Option files: directory bytes, item reuse and growth, deletion, packing,
// the free-item scan and damaged directories.
#include <string.h>

#include <algorithm>

#include "db_fixture.h"

namespace {

struct DirEntry {
  uint16_t state;
  uint32_t size;
  uint32_t offset;
};

class OptionFile : public DbFixture {
 protected:
  void SetUp() override {
    DbFixture::SetUp();
    ASSERT_EQ(xOpenOpt(&db_, &opt_, "opt", 500), 1);
  }
  void TearDown() override {
    xCloseTemp(&db_, &opt_.handle, "opt");
    DbFixture::TearDown();
  }
  DirEntry Entry(int item) {
    unsigned char raw[10];
    EXPECT_EQ(pread(opt_.handle, raw, 10, item * 10), 10);
    DirEntry e;
    memcpy(&e.state, raw, 2);
    memcpy(&e.size, raw + 2, 4);
    memcpy(&e.offset, raw + 6, 4);
    return e;
  }
  int32_t Write(int item, const std::string& data, int op = XOPT_WRITE) {
    return xOption(&opt_, op, item, const_cast<char*>(data.data()),
                   static_cast<uint32_t>(data.size()));
  }
  // Reads len bytes of item (len 0: its block size).
  std::string Read(int item, uint32_t len) {
    uint32_t size = len ? len : static_cast<uint32_t>(xOption(&opt_, XOPT_SIZE, item, nullptr, 0));
    std::string out(size, '?');
    if (!xOption(&opt_, XOPT_READ, item, out.data(), len)) return "<fail>";
    return out;
  }
  OptionFileRef opt_{};
};

TEST_F(OptionFile, NewFileIsAZeroedDirectory) {
  std::vector<unsigned char> bytes = FileBytes(opt_.handle);
  EXPECT_EQ(bytes.size(), 5000u);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), 0), 5000);
  EXPECT_EQ(Read(0, 4), "<fail>");
  EXPECT_EQ(xOption(&opt_, XOPT_SIZE, 0, nullptr, 0), 0);
}

TEST_F(OptionFile, ItemIsRewrittenInPlaceUntilItGrows) {
  EXPECT_EQ(Write(3, "abcdefghijkl"), 3);
  DirEntry first = Entry(3);
  EXPECT_EQ(first.state, 1);
  EXPECT_EQ(first.size, 12u);
  EXPECT_EQ(first.offset, 5000u);

  EXPECT_EQ(Write(3, "12345678"), 3);
  DirEntry second = Entry(3);
  EXPECT_EQ(second.size, 12u);
  EXPECT_EQ(second.offset, 5000u);
  EXPECT_EQ(Read(3, 12), "12345678ijkl");
  EXPECT_EQ(FileSize(opt_.handle), 5012);

  EXPECT_EQ(Write(3, std::string(20, 'z')), 3);
  DirEntry third = Entry(3);
  EXPECT_EQ(third.size, 20u);
  EXPECT_EQ(third.offset, 5012u);
  EXPECT_EQ(FileSize(opt_.handle), 5032);
  EXPECT_EQ(Read(3, 0), std::string(20, 'z'));
}

TEST_F(OptionFile, WriteAsNewAlwaysAppendsAndKeepsTheLargerSize) {
  Write(1, "0123456789");
  EXPECT_EQ(Write(1, "abc", XOPT_WRITE_NEW), 1);
  EXPECT_EQ(Entry(1).offset, 5010u);
  EXPECT_EQ(Entry(1).size, 10u);
  // The appended block takes its whole size, so it lies inside the file
  // and survives packing.
  EXPECT_EQ(FileSize(opt_.handle), 5020);
  EXPECT_EQ(Read(1, 0), std::string("abc\0\0\0\0\0\0\0", 10));
  Write(2, "two");
  xPackOpt(&opt_);
  EXPECT_EQ(Read(1, 0), std::string("abc\0\0\0\0\0\0\0", 10));
  EXPECT_EQ(Read(2, 0), "two");
}

TEST_F(OptionFile, ReadingMoreThanTheBlockNeverShowsTheNextBlock) {
  Write(0, "ab");
  Write(1, "XYZW");
  EXPECT_EQ(Read(0, 5), std::string("ab\0\0\0", 5));
}

TEST_F(OptionFile, DeletedItemKeepsItsSizeAndIsDroppedByPack) {
  Write(2, "two");
  Write(7, "seven!!");
  Write(5, "five5");
  Write(2, "2222222222");  // grows: leaves 3 dead bytes behind
  EXPECT_EQ(xOption(&opt_, XOPT_DELETE, 7, nullptr, 0), 7);
  EXPECT_EQ(Entry(7).state, 0xFFFF);
  EXPECT_EQ(Read(7, 7), "<fail>");
  EXPECT_EQ(xOption(&opt_, XOPT_SIZE, 7, nullptr, 0), 7);

  xPackOpt(&opt_);
  EXPECT_EQ(FileSize(opt_.handle), 5000 + 10 + 5);
  EXPECT_EQ(Entry(2).offset, 5000u);
  EXPECT_EQ(Entry(5).offset, 5010u);
  EXPECT_EQ(Entry(7).state, 0);
  EXPECT_EQ(Entry(7).size, 0u);
  EXPECT_EQ(Read(2, 0), "2222222222");
  EXPECT_EQ(Read(5, 0), "five5");
  // The scratch copy is gone.
  EXPECT_FALSE(std::filesystem::exists(std::string(db_.path, db_.stemLength) + "~$o"));
}

TEST_F(OptionFile, NextFreeScansForwardFromTheItem) {
  for (int i = 0; i < 5; ++i) Write(i, "x");
  EXPECT_EQ(xOption(&opt_, XOPT_NEXT_FREE, 0, nullptr, 0), 5);
  EXPECT_EQ(xOption(&opt_, XOPT_NEXT_FREE, 7, nullptr, 0), 7);
  xOption(&opt_, XOPT_DELETE, 2, nullptr, 0);
  EXPECT_EQ(xOption(&opt_, XOPT_NEXT_FREE, 0, nullptr, 0), 2);
  // A full directory gives the item count, which no caller accepts.
  OptionFileRef small;
  ASSERT_EQ(xOpenOpt(&db_, &small, "small", 3), 1);
  for (int i = 0; i < 3; ++i) xOption(&small, XOPT_WRITE, i, const_cast<char*>("x"), 1);
  EXPECT_EQ(xOption(&small, XOPT_NEXT_FREE, 0, nullptr, 0), 3);
  xCloseTemp(&db_, &small.handle, "small");
}

TEST_F(OptionFile, TruncateCutsAfterTheItemsBlock) {
  Write(0, "aaaa");
  Write(1, "bbbbbb");
  EXPECT_EQ(xOption(&opt_, XOPT_TRUNCATE, 0, nullptr, 0), 0);
  EXPECT_EQ(FileSize(opt_.handle), 5004);
  EXPECT_EQ(xOption(&opt_, XOPT_TRUNCATE, 9, nullptr, 0), 9);  // no block: unchanged
  EXPECT_EQ(FileSize(opt_.handle), 5004);
}

TEST_F(OptionFile, ItemsOutsideTheDirectoryAreRefused) {
  char buf[4] = "abc";
  EXPECT_EQ(xOption(&opt_, XOPT_WRITE, 500, buf, 3), 0);
  EXPECT_EQ(xOption(&opt_, XOPT_WRITE, -1, buf, 3), 0);
  EXPECT_EQ(FileSize(opt_.handle), 5000);
  EXPECT_EQ(xOption(&opt_, XOPT_READ, 500, buf, 3), 0);
  EXPECT_EQ(xOption(&opt_, XOPT_NEXT_FREE, 600, nullptr, 0), 500);
  EXPECT_EQ(xOption(&opt_, 7, 4, buf, 3), 4);  // unknown operation: nothing happens
}

TEST_F(OptionFile, BlockPastTheEndOfTheFileReadsAsAbsent) {
  Write(4, "data");
  unsigned char raw[10] = {1, 0};
  uint32_t size = 64, offset = 5000;
  memcpy(raw + 2, &size, 4);
  memcpy(raw + 6, &offset, 4);
  WriteAt(opt_.handle, 40, raw, 10);
  char buf[64];
  EXPECT_EQ(xOption(&opt_, XOPT_READ, 4, buf, 0), 0);
  offset = 0xFFFFFFF0u;
  size = 4;
  memcpy(raw + 2, &size, 4);
  memcpy(raw + 6, &offset, 4);
  WriteAt(opt_.handle, 40, raw, 10);
  EXPECT_EQ(xOption(&opt_, XOPT_READ, 4, buf, 0), 0);
  // A block that claims to lie inside the directory is not data either.
  offset = 8;
  memcpy(raw + 6, &offset, 4);
  WriteAt(opt_.handle, 40, raw, 10);
  EXPECT_EQ(xOption(&opt_, XOPT_READ, 4, buf, 0), 0);
  EXPECT_EQ(xOption(&opt_, XOPT_TRUNCATE, 4, nullptr, 0), 4);
  EXPECT_EQ(FileSize(opt_.handle), 5004);
}

}  // namespace
