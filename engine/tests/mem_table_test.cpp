// Memory tables: order, growth, copies and the reference model.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "sorted_table_model.h"
#include "xJorDbm2.h"

namespace {

const KeyDesc kInt[] = {5, 0};
const KeyDesc kIntDown[] = {-5, 0};

std::vector<int32_t> Ints(const MemTable& m) {
  std::vector<int32_t> v(m.count);
  if (m.count > 0) memcpy(v.data(), m.data, m.count * sizeof(int32_t));
  return v;
}

class MemTableTest : public ::testing::Test {
 protected:
  void SetUp() override { xSetDbError(0); }
  void TearDown() override { xmCloseTb(&m_); }
  void Add(std::initializer_list<int32_t> values) {
    for (int32_t v : values) ASSERT_EQ(xmAdd(&m_, &v), 1) << v;
  }
  MemTable m_{};
};

TEST_F(MemTableTest, KeyedAddKeepsOrderAndRefusesDuplicates) {
  xmOpenTb(&m_, 4, kInt, 100);
  Add({5, 1, 3});
  EXPECT_EQ(Ints(m_), (std::vector<int32_t>{1, 3, 5}));
  int32_t three = 3;
  EXPECT_EQ(xmAdd(&m_, &three), 0);
  EXPECT_EQ(xGetDbError(), 21025);
  EXPECT_EQ(m_.count, 3u);
}

TEST_F(MemTableTest, DescendingKey) {
  xmOpenTb(&m_, 4, kIntDown, 100);
  Add({5, 1, 3});
  EXPECT_EQ(Ints(m_), (std::vector<int32_t>{5, 3, 1}));
}

TEST_F(MemTableTest, SeekGivesTheInsertionPosition) {
  xmOpenTb(&m_, 4, kInt, 10);
  int32_t probe = 4;
  EXPECT_EQ(xmSeek(&m_, &probe), 0);
  EXPECT_EQ(m_.current, 0u);
  Add({1, 3, 5});
  const std::pair<int32_t, uint32_t> cases[] = {{4, 2}, {6, 3}, {0, 0}, {2, 1}};
  for (auto [key, position] : cases) {
    EXPECT_EQ(xmSeek(&m_, &key), 0) << key;
    EXPECT_EQ(m_.current, position) << key;
  }
  probe = 5;
  EXPECT_EQ(xmSeek(&m_, &probe), 1);
  EXPECT_EQ(m_.current, 2u);
}

TEST_F(MemTableTest, UnsortedAddAppendsAndPositionErrorsLeaveTheErrorWord) {
  xmOpenTb(&m_, 4, nullptr, 2);
  Add({5, 1, 3, 1});
  EXPECT_EQ(Ints(m_), (std::vector<int32_t>{5, 1, 3, 1}));
  m_.current = XJOR_NONE;
  int32_t v = 9;
  EXPECT_EQ(xmIns(&m_, &v), 0);
  EXPECT_EQ(xmDel(&m_), 0);
  m_.current = 5;
  EXPECT_EQ(xmIns(&m_, &v), 0);
  m_.current = 4;
  EXPECT_EQ(xmDel(&m_), 0);
  EXPECT_EQ(xmIns(&m_, &v), 1);  // current = count appends
  m_.current = 0;
  EXPECT_EQ(xmDel(&m_), 1);
  EXPECT_EQ(m_.current, 0u);
  EXPECT_EQ(Ints(m_), (std::vector<int32_t>{1, 3, 1, 9}));
  EXPECT_EQ(xGetDbError(), 0);
}

TEST_F(MemTableTest, GrowsByTheStepNeverByDoubling) {
  xmOpenTb(&m_, 4, nullptr, 100);
  for (int32_t i = 0; i < 100; ++i) ASSERT_EQ(xmAdd(&m_, &i), 1);
  EXPECT_EQ(m_.capacity, 100u);
  int32_t v = 100;
  ASSERT_EQ(xmAdd(&m_, &v), 1);
  EXPECT_EQ(m_.capacity, 200u);
  for (int32_t i = 0; i <= 100; ++i) ASSERT_EQ(Ints(m_)[i], i);

  xmCloseTb(&m_);
  xmOpenTb(&m_, 4, nullptr, -7);  // a step below 1 counts as 1
  Add({1, 2, 3});
  EXPECT_EQ(m_.capacity, 3u);
}

TEST_F(MemTableTest, CloseEmptiesTheTableAndMayBeRepeated) {
  xmOpenTb(&m_, 4, kInt, 100);
  Add({1, 2});
  m_.current = 1;
  xmCloseTb(&m_);
  EXPECT_EQ(m_.count, 0u);
  EXPECT_EQ(m_.capacity, 0u);
  EXPECT_EQ(m_.data, nullptr);
  EXPECT_EQ(m_.current, XJOR_NONE);
  EXPECT_EQ(m_.owned, 0);
  xmCloseTb(&m_);
}

TEST_F(MemTableTest, GrowthZeroGivesABlockOfExactlySizeRecords) {
  xmOpenTb(&m_, 4, kInt, 100);
  Add({1, 2, 3});
  xmOpenTb(&m_, 7, nullptr, 0);  // the old block is freed, not leaked
  EXPECT_EQ(m_.capacity, 7u);
  EXPECT_EQ(m_.recordSize, 4);
  EXPECT_EQ(m_.key, kInt);
  EXPECT_EQ(m_.growth, 100);
  EXPECT_EQ(m_.owned, 1);
  ASSERT_NE(m_.data, nullptr);
  EXPECT_LE(m_.count, 7u);
  memset(m_.data, 0, 7 * 4);
  m_.count = 7;
}

TEST_F(MemTableTest, CopiesOwnAPrivateBlockUnlessTheSourceIsUnowned) {
  xmOpenTb(&m_, 4, kInt, 100);
  Add({1, 2, 3});
  MemTable copy{};
  xmCopyTb(&m_, &copy);
  EXPECT_EQ(copy.capacity, 3u);
  EXPECT_EQ(copy.growth, 100);
  EXPECT_NE(copy.data, m_.data);
  EXPECT_EQ(Ints(copy), Ints(m_));
  int32_t four = 4;
  ASSERT_EQ(xmAdd(&copy, &four), 1);
  EXPECT_EQ(m_.count, 3u);

  // An unowned table shares its block; growing it copies instead of freeing
  // what belongs to another table.
  MemTable view = m_;
  view.owned = 0;
  view.capacity = 3;
  MemTable shallow{};
  xmCopyTb(&view, &shallow);
  EXPECT_EQ(shallow.data, m_.data);
  int32_t zero = 0;
  ASSERT_EQ(xmAdd(&shallow, &zero), 1);
  EXPECT_NE(shallow.data, m_.data);
  EXPECT_EQ(shallow.owned, 1);
  EXPECT_EQ(Ints(shallow), (std::vector<int32_t>{0, 1, 2, 3}));
  EXPECT_EQ(Ints(m_), (std::vector<int32_t>{1, 2, 3}));

  // Copying over an owned table frees its block first.
  xmCopyTb(&m_, &copy);
  EXPECT_EQ(Ints(copy), (std::vector<int32_t>{1, 2, 3}));
  xmCloseTb(&copy);
  xmCloseTb(&shallow);
}

TEST_F(MemTableTest, CopyOfAnEmptyOwnedTableHasNoBlock) {
  xmOpenTb(&m_, 4, kInt, 100);
  int32_t v = 1;
  ASSERT_EQ(xmAdd(&m_, &v), 1);
  m_.current = 0;
  ASSERT_EQ(xmDel(&m_), 1);
  MemTable copy{};
  xmCopyTb(&m_, &copy);
  EXPECT_EQ(copy.count, 0u);
  EXPECT_EQ(copy.capacity, 0u);
  EXPECT_EQ(copy.data, nullptr);
  EXPECT_EQ(copy.owned, 1);
  xmCloseTb(&copy);
}

TableUnderTest Bind(MemTable* m) {
  return {[m](const ModelRecord& r) { return xmAdd(m, &r); },
          [m](const ModelRecord& r) { return xmSeek(m, &r); },
          [m](const ModelRecord& r) { return xmIns(m, &r); },
          [m]() { return xmDel(m); },
          [m]() { return m->current; },
          [m]() {
            std::vector<ModelRecord> v(m->count);
            if (m->count > 0) memcpy(v.data(), m->data, m->count * sizeof(ModelRecord));
            return v;
          }};
}

TEST_F(MemTableTest, MatchesTheReferenceModel) {
  for (const ModelKey& key : {FullKey(), ShortKey()}) {
    xmOpenTb(&m_, sizeof(ModelRecord), key.desc, 100);
    SortedModel model(key);
    model.Run(Bind(&m_), 100000, 42);
    EXPECT_GT(model.size(), 50u);
    xmCloseTb(&m_);
  }
}

}  // namespace
