// The reference file: header and directory bytes, list placement, rewritten
// lists, and directories that do not fit the file.
#include <string.h>

#include <algorithm>

#include "db_fixture.h"

namespace {

class RefFile : public DbFixture {
 protected:
  void SetUp() override {
    DbFixture::SetUp();
    path_ = dir_ + "test.ref";
    ASSERT_EQ(xCreateRef(&ref_, path_.c_str()), 1);
  }
  void TearDown() override {
    xCloseFile(&ref_);
    DbFixture::TearDown();
  }
  // Puts a text list of the given width.
  int32_t PutTexts(int list, uint16_t width, const std::vector<std::string>& texts) {
    std::vector<char> bytes(texts.size() * (width + 1u), '\0');
    for (size_t i = 0; i < texts.size(); ++i)
      memcpy(&bytes[i * (width + 1u)], texts[i].data(), texts[i].size());
    RefList r = {width, static_cast<uint16_t>(texts.size()), bytes.data()};
    return xPutRef(ref_, list, &r);
  }
  std::string path_;
  int32_t ref_ = -1;
};

TEST_F(RefFile, NewFileIsHeaderAndEmptyDirectory) {
  std::vector<unsigned char> bytes = FileBytes(ref_);
  ASSERT_EQ(bytes.size(), 512u);
  const unsigned char header[8] = {'Q', 'z', 1, 0, 130, 0, 0, 0};
  EXPECT_EQ(memcmp(bytes.data(), header, 8), 0);
  EXPECT_EQ(std::count(bytes.begin() + 8, bytes.end(), 0), 504);
  RefList r = {0, 0, nullptr};
  for (int list = 0; list < XREF_LISTS; ++list) EXPECT_EQ(xGetRef(ref_, list, &r), 0);
}

TEST_F(RefFile, ListIsAppendedAndItsEntryPointsAtIt) {
  const int L = 5;
  ASSERT_NE(PutTexts(L, 4, {"AB", "CDE"}), 0);
  std::vector<unsigned char> bytes = FileBytes(ref_);
  ASSERT_EQ(bytes.size(), 522u);
  const unsigned char entry[8] = {4, 0, 2, 0, 0, 2, 0, 0};  // (4, 2, 512)
  EXPECT_EQ(memcmp(&bytes[8 + 8 * L], entry, 8), 0);
  EXPECT_EQ(memcmp(&bytes[512], "AB\0\0\0CDE\0\0", 10), 0);

  RefList r = {0, 0, nullptr};
  ASSERT_EQ(xGetRef(ref_, L, &r), 1);
  EXPECT_EQ(r.width, 4);
  EXPECT_EQ(r.count, 2);
  EXPECT_STREQ(r.entries, "AB");
  EXPECT_STREQ(r.entries + 5, "CDE");
  xFreeBuffer(r.entries);

  // Into the caller's block.
  char block[10];
  RefList mine = {0, 0, block};
  ASSERT_EQ(xGetRef(ref_, L, &mine), 1);
  EXPECT_EQ(mine.entries, block);
  EXPECT_STREQ(block + 5, "CDE");
}

TEST_F(RefFile, RewrittenListIsAppendedAnew) {
  PutTexts(0, 2, {"A"});
  PutTexts(0, 3, {"XY", "Z"});
  EXPECT_EQ(FileSize(ref_), 512 + 3 + 8);
  RefList r = {0, 0, nullptr};
  ASSERT_EQ(xGetRef(ref_, 0, &r), 1);
  EXPECT_EQ(r.count, 2);
  EXPECT_STREQ(r.entries + 4, "Z");
  xFreeBuffer(r.entries);
}

TEST_F(RefFile, ListNumbersOutsideTheDirectoryAreRefused) {
  EXPECT_EQ(PutTexts(63, 2, {"A"}), 0);
  EXPECT_EQ(PutTexts(-1, 2, {"A"}), 0);
  EXPECT_EQ(FileSize(ref_), 512);
  RefList r = {0, 0, nullptr};
  EXPECT_EQ(xGetRef(ref_, 63, &r), 0);
  EXPECT_EQ(r.entries, nullptr);
}

TEST_F(RefFile, ListLargerThanTheFileIsAbsent) {
  PutTexts(2, 9, {"one", "two"});
  // Count 1000 of width 10 claims 10,000 bytes that the file does not have.
  const unsigned char entry[8] = {9, 0, 0xE8, 0x03, 0, 2, 0, 0};
  WriteAt(ref_, 8 + 8 * 2, entry, 8);
  RefList r = {0, 0, nullptr};
  EXPECT_EQ(xGetRef(ref_, 2, &r), 0);
  EXPECT_EQ(r.entries, nullptr);
  uint16_t w, n;
  EXPECT_EQ(xGetRefInfo(ref_, 2, &w, &n), 0);
}

TEST_F(RefFile, OpenedReadOnlyAndChecked) {
  PutTexts(1, 3, {"abc"});
  xCloseFile(&ref_);
  ASSERT_EQ(xOpenRef(&ref_, path_.c_str()), 1);
  uint16_t w = 0, n = 0;
  EXPECT_EQ(xGetRefInfo(ref_, 1, &w, &n), 1);
  EXPECT_EQ(w, 3);
  EXPECT_EQ(n, 1);
  EXPECT_EQ(PutTexts(2, 3, {"new"}), 0);  // read-only
  int32_t other = -1;
  std::string bogus = dir_ + "bogus.ref";
  FILE* f = fopen(bogus.c_str(), "wb");
  fputs("not a reference file", f);
  fclose(f);
  EXPECT_EQ(xOpenRef(&other, bogus.c_str()), 0);
}

}  // namespace
