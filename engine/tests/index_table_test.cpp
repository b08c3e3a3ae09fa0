// Index tables in scratch files and by path, their saved images, and the
// saved images of memory tables.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "sorted_table_model.h"
#include "temp_folder.h"
#include "xJorDbm2.h"

namespace {

const KeyDesc kInt[] = {5, 0};

std::vector<uint8_t> LittleEndian(std::initializer_list<uint32_t> words) {
  std::vector<uint8_t> out;
  for (uint32_t w : words)
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(w >> (8 * i)));
  return out;
}

class IndexTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(xOpenDb(&db_, folder_.dir().c_str(), nullptr), 1);
    xSetDbError(0);
  }
  void TearDown() override {
    for (IndexTable* t : {&a_, &b_})
      if (t->handle >= 0 && t->name != nullptr) xCloseTemp(&db_, &t->handle, t->name);
    xCloseFile(&db_.mainHandle);
    xDelDbTemp(&db_);
  }
  std::string MemberPath(const char* name) const {
    return std::string(db_.path, db_.stemLength) + name;
  }
  void Add(IndexTable* t, std::initializer_list<int32_t> values) {
    for (int32_t v : values) ASSERT_EQ(xiAdd(t, &v), 1) << v;
  }
  // An extra file in the folder for images, open read/write.
  int OpenImageFile(const char* name) {
    return open(folder_.file(name).c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
  }

  TempFolder folder_;
  DbSpace db_{};
  IndexTable a_{-1, 0, XJOR_NONE, 0, nullptr, nullptr};
  IndexTable b_{-1, 0, XJOR_NONE, 0, nullptr, nullptr};
};

TEST_F(IndexTableTest, KeyedAddWritesRecordsInOrderWithoutHeader) {
  ASSERT_EQ(xiOpenTb(&db_, &a_, "ix1", 4, kInt), 1);
  EXPECT_EQ(a_.count, 0u);
  EXPECT_EQ(a_.current, XJOR_NONE);
  Add(&a_, {5, 1, 3});
  EXPECT_EQ(fileBytes(MemberPath("ix1")), LittleEndian({1, 3, 5}));
  int32_t three = 3;
  EXPECT_EQ(xiAdd(&a_, &three), 0);
  EXPECT_EQ(xGetDbError(), 0);  // a duplicate index key is no error
  EXPECT_EQ(a_.count, 3u);
  // The member goes with xCloseTemp.
  EXPECT_NE(xCloseTemp(&db_, &a_.handle, a_.name), 0);
  EXPECT_NE(access(MemberPath("ix1").c_str(), F_OK), 0);
}

TEST_F(IndexTableTest, SeekGivesTheInsertionPosition) {
  ASSERT_EQ(xiOpenTb(&db_, &a_, "ix1", 4, kInt), 1);
  int32_t probe = 4;
  EXPECT_EQ(xiSeek(&a_, &probe), 0);
  EXPECT_EQ(a_.current, 0u);
  Add(&a_, {1, 3, 5});
  const std::pair<int32_t, uint32_t> cases[] = {{4, 2}, {6, 3}, {0, 0}};
  for (auto [key, position] : cases) {
    EXPECT_EQ(xiSeek(&a_, &key), 0) << key;
    EXPECT_EQ(a_.current, position) << key;
  }
  probe = 3;
  EXPECT_EQ(xiSeek(&a_, &probe), 1);
  EXPECT_EQ(a_.current, 1u);
  int32_t got = 0;
  EXPECT_EQ(xiGet(&a_, &got), 1);
  EXPECT_EQ(got, 3);
}

TEST_F(IndexTableTest, OpenByPathCountsWholeRecords) {
  std::vector<uint8_t> bytes(260);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i);
  writeBytes(folder_.file("list.idx"), bytes);
  IndexTable t{};
  ASSERT_EQ(xiOpenTb(nullptr, &t, folder_.file("list.idx").c_str(), 26, nullptr), 1);
  EXPECT_EQ(t.count, 10u);
  EXPECT_EQ(t.name, nullptr);
  t.current = 9;
  uint8_t record[26];
  ASSERT_EQ(xiGet(&t, record), 1);
  EXPECT_EQ(record[0], 234);
  xCloseFile(&t.handle);

  bytes.resize(265);
  writeBytes(folder_.file("list.idx"), bytes);
  ASSERT_EQ(xiOpenTb(nullptr, &t, folder_.file("list.idx").c_str(), 26, nullptr), 1);
  EXPECT_EQ(t.count, 10u);
  xCloseFile(&t.handle);

  EXPECT_EQ(xiOpenTb(nullptr, &t, folder_.file("missing.idx").c_str(), 26, nullptr), 0);
  EXPECT_EQ(xGetDbError(), 21002);
  EXPECT_EQ(xiOpenTb(&db_, &t, "ix0", 0, nullptr), 0);
}

// Records large enough that moving the tail takes several pieces.
TEST_F(IndexTableTest, InsertAndDeleteMoveTheTailExactly) {
  const int kSize = 1000, kRecords = 2500;
  ASSERT_EQ(xiOpenTb(&db_, &a_, "big", kSize, nullptr), 1);
  std::vector<uint8_t> expected;
  std::vector<uint8_t> record(kSize);
  for (int i = 0; i < kRecords; ++i) {
    for (int j = 0; j < kSize; ++j) record[j] = static_cast<uint8_t>(i * 7 + j);
    ASSERT_EQ(xiAdd(&a_, record.data()), 1);
    expected.insert(expected.end(), record.begin(), record.end());
  }
  std::fill(record.begin(), record.end(), 0xEE);
  a_.current = 1;
  ASSERT_EQ(xiIns(&a_, record.data()), 1);
  EXPECT_EQ(a_.current, 1u);
  expected.insert(expected.begin() + kSize, record.begin(), record.end());
  ASSERT_EQ(fileBytes(MemberPath("big")), expected);

  a_.current = 0;
  ASSERT_EQ(xiDel(&a_), 1);
  EXPECT_EQ(a_.current, 0u);
  expected.erase(expected.begin(), expected.begin() + kSize);
  a_.current = a_.count - 1;
  ASSERT_EQ(xiDel(&a_), 1);
  expected.resize(expected.size() - kSize);
  EXPECT_EQ(a_.count, static_cast<uint32_t>(kRecords - 1));
  ASSERT_EQ(fileBytes(MemberPath("big")), expected);

  xiDelAll(&a_);
  EXPECT_EQ(a_.count, 0u);
  EXPECT_TRUE(fileBytes(MemberPath("big")).empty());
}

TEST_F(IndexTableTest, PositionErrorsFailQuietly) {
  ASSERT_EQ(xiOpenTb(&db_, &a_, "ix1", 4, nullptr), 1);
  Add(&a_, {1, 2});
  int32_t v = 9;
  a_.current = XJOR_NONE;
  EXPECT_EQ(xiGet(&a_, &v), 0);
  EXPECT_EQ(xiPut(&a_, &v), 0);
  EXPECT_EQ(xiDel(&a_), 0);
  EXPECT_EQ(xiIns(&a_, &v), 0);
  a_.current = 3;
  EXPECT_EQ(xiIns(&a_, &v), 0);
  a_.current = 2;
  EXPECT_EQ(xiGet(&a_, &v), 0);
  EXPECT_EQ(xiIns(&a_, &v), 1);  // current = count appends
  a_.current = 0;
  EXPECT_EQ(xiPut(&a_, &v), 1);
  EXPECT_EQ(fileBytes(MemberPath("ix1")), LittleEndian({9, 2, 9}));
  EXPECT_EQ(xGetDbError(), 0);
}

TEST_F(IndexTableTest, SavedImageIsCountLengthAndBytes) {
  ASSERT_EQ(xiOpenTb(&db_, &a_, "ix1", 4, kInt), 1);
  Add(&a_, {7, 2});
  int fd = OpenImageFile("image");
  ASSERT_EQ(write(fd, "HEAD", 4), 4);
  xiSaveTb(&a_, fd);
  ASSERT_EQ(write(fd, "TAIL", 4), 4);
  std::vector<uint8_t> expected = {'H', 'E', 'A', 'D'};
  for (uint8_t byte : LittleEndian({2, 8, 2, 7})) expected.push_back(byte);
  for (char c : std::string("TAIL")) expected.push_back(static_cast<uint8_t>(c));
  EXPECT_EQ(fileBytes(folder_.file("image")), expected);

  // Read back into a member that held something before.
  ASSERT_EQ(xiOpenTb(&db_, &b_, "ix2", 4, kInt), 1);
  Add(&b_, {1, 2, 3, 4, 5});
  ASSERT_EQ(lseek(fd, 4, SEEK_SET), 4);
  xiReadTb(&b_, fd);
  EXPECT_EQ(b_.count, 2u);
  EXPECT_EQ(fileBytes(MemberPath("ix2")), LittleEndian({2, 7}));
  char tail[4];
  ASSERT_EQ(read(fd, tail, 4), 4);  // positioned right after the image
  EXPECT_EQ(memcmp(tail, "TAIL", 4), 0);
  close(fd);
}

TEST_F(IndexTableTest, DamagedIndexImagesLeaveTheTableEmpty) {
  const std::vector<uint8_t> images[] = {
      LittleEndian({2, 80, 1, 2}),  // length beyond the end of the file
      LittleEndian({3, 8, 1, 2}),   // more records than the bytes hold
      LittleEndian({2}),            // header cut short
  };
  ASSERT_EQ(xiOpenTb(&db_, &a_, "ix1", 4, kInt), 1);
  for (const std::vector<uint8_t>& image : images) {
    Add(&a_, {1});
    writeBytes(folder_.file("image"), image);
    int fd = open(folder_.file("image").c_str(), O_RDONLY);
    xSetDbError(0);
    xiReadTb(&a_, fd);
    close(fd);
    EXPECT_EQ(xGetDbError(), 21006);
    EXPECT_EQ(a_.count, 0u);
    EXPECT_TRUE(fileBytes(MemberPath("ix1")).empty());
  }
}

TEST_F(IndexTableTest, MemoryTableImageRoundTrips) {
  MemTable m{};
  xmOpenTb(&m, 4, kInt, 100);
  for (int32_t v : {30, 10, 20}) ASSERT_EQ(xmAdd(&m, &v), 1);
  int fd = OpenImageFile("image");
  xmSaveTb(&m, fd);
  EXPECT_EQ(fileBytes(folder_.file("image")), LittleEndian({3, 10, 20, 30}));

  MemTable back{};
  xmOpenTb(&back, 4, kInt, 100);
  ASSERT_EQ(lseek(fd, 0, SEEK_SET), 0);
  xmReadTb(&back, fd);
  EXPECT_EQ(back.count, 3u);
  EXPECT_EQ(back.capacity, 3u);
  ASSERT_NE(back.data, nullptr);
  EXPECT_EQ(memcmp(back.data, m.data, 12), 0);
  int32_t v = 40;  // the exact block still grows by the step
  ASSERT_EQ(xmAdd(&back, &v), 1);
  EXPECT_EQ(back.capacity, 103u);
  close(fd);
  xmCloseTb(&m);
  xmCloseTb(&back);
}

TEST_F(IndexTableTest, MemoryTableImageLargerThanItsFileIsRefused) {
  MemTable m{};
  xmOpenTb(&m, 1000, nullptr, 100);
  // 2^30 records of 1000 bytes announced, 8 bytes present: nothing may be
  // allocated (a terabyte would fail with 21001 instead).
  writeBytes(folder_.file("image"), LittleEndian({0x40000000, 1}));
  int fd = open(folder_.file("image").c_str(), O_RDONLY);
  xmReadTb(&m, fd);
  EXPECT_EQ(xGetDbError(), 21006);
  EXPECT_EQ(m.count, 0u);
  EXPECT_EQ(m.data, nullptr);
  close(fd);
  xmCloseTb(&m);
}

TEST_F(IndexTableTest, MatchesTheReferenceModel) {
  const char* names[] = {"ma", "mb"};
  int round = 0;
  for (const ModelKey& key : {FullKey(), ShortKey()}) {
    IndexTable* t = round == 0 ? &a_ : &b_;
    ASSERT_EQ(xiOpenTb(&db_, t, names[round], sizeof(ModelRecord), key.desc), 1);
    TableUnderTest bound = {[t](const ModelRecord& r) { return xiAdd(t, &r); },
                            [t](const ModelRecord& r) { return xiSeek(t, &r); },
                            [t](const ModelRecord& r) { return xiIns(t, &r); },
                            [t]() { return xiDel(t); },
                            [t]() { return t->current; },
                            [this, t]() {
                              std::vector<uint8_t> bytes = fileBytes(MemberPath(t->name));
                              std::vector<ModelRecord> v(t->count);
                              EXPECT_EQ(bytes.size(), v.size() * sizeof(ModelRecord));
                              size_t n = std::min(bytes.size(), v.size() * sizeof(ModelRecord));
                              if (n > 0) memcpy(v.data(), bytes.data(), n);
                              return v;
                            }};
    SortedModel model(key);
    model.Run(bound, 100000, 7 + round);
    ++round;
  }
}

}  // namespace
