// Record sets over a real record table: selection, slot order, sorting by
// several fields in both directions, and seeking members.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "xJorDbm2.h"
#include "xjor/packed_date.h"

namespace {

#pragma pack(push, 1)
struct Row {
  int32_t num;     // field 0, NUM
  char name[11];   // field 1, NAME (width 10)
  uint16_t start;  // field 2, START
  double qty;      // field 3, QTY
};
#pragma pack(pop)

constexpr auto Date = xjor::packDate;

class RecordSets : public ::testing::Test {
 protected:
  void SetUp() override {
    char dir[] = "/tmp/rset_testXXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    dir_ = std::string(dir) + "/";
    ASSERT_EQ(xOpenDb(&db_, dir_.c_str(), nullptr), 1);
    b_.db = &db_;
    ASSERT_EQ(xOpenTb(&db_, &b_.tb, "ROW", sizeof(Row)), 1);
    FieldList list{};
    xAddFld(&list, -1, "NUM", 5, 0, 6, 0);
    xAddFld(&list, -1, "NAME", 11, 0, 10, 0);
    xAddFld(&list, -1, "START", 12, 0, 8, 0);
    xAddFld(&list, -1, "QTY", 10, 0, 10, 2);
    ASSERT_EQ(list.recordSize, sizeof(Row));
    // An empty table takes its descriptors as a malloc'ed copy.
    b_.tb.fields = static_cast<FieldDesc*>(std::malloc(sizeof(FieldDesc) * list.count));
    std::memcpy(b_.tb.fields, list.fields, sizeof(FieldDesc) * list.count);
    b_.tb.fieldCount = static_cast<int16_t>(list.count);
    xFreeBuffer(list.fields);
  }
  void TearDown() override {
    xmCloseTb(&rs_);
    xCloseTb(&db_, &b_.tb);
    xCloseFile(&db_.mainHandle);
    xDelDbTemp(&db_);
    rmdir(dir_.c_str());
  }

  void Add(int32_t num, const char* name, uint16_t start, double qty = 0) {
    Row r{};
    r.num = num;
    std::strncpy(r.name, name, sizeof r.name - 1);
    r.start = start;
    r.qty = qty;
    ASSERT_EQ(xAddRec(&b_.tb, &r), 1);
  }

  std::vector<uint32_t> Members() const {
    std::vector<uint32_t> out(rs_.count);
    if (rs_.count > 0) std::memcpy(out.data(), rs_.data, rs_.count * sizeof(uint32_t));
    return out;
  }

  using V = std::vector<uint32_t>;
  std::string dir_;
  DbSpace db_{};
  TableBinding b_{};
  MemTable rs_{};
};

TEST_F(RecordSets, ConditionSelectsLiveRecordsInSlotOrder) {
  Add(3, "C", 0);
  Add(8, "H", 0);
  Add(1, "A", 0);
  Add(9, "I", 0);
  b_.tb.current = 1;
  ASSERT_EQ(xDelRec(&b_.tb), 1);
  ASSERT_EQ(xOpenRset(&b_, &rs_, "[NUM] > 2", nullptr), 1);
  EXPECT_EQ(Members(), (V{0, 3}));
  EXPECT_EQ(rs_.recordSize, 4);
  EXPECT_EQ(b_.tb.current, -1);
  EXPECT_EQ(rs_.current, XJOR_NONE);

  ASSERT_EQ(xReRset(&b_, &rs_, "", nullptr), 1);  // an empty condition holds everywhere
  EXPECT_EQ(Members(), (V{0, 2, 3}));
  ASSERT_EQ(xReRset(&b_, &rs_, nullptr, nullptr), 1);  // no condition: an empty set
  EXPECT_EQ(Members(), V{});
}

TEST_F(RecordSets, InvalidConditionSelectsEverything) {
  Add(3, "C", 0);
  Add(8, "H", 0);
  ASSERT_EQ(xOpenRset(&b_, &rs_, "[NUM] > ", nullptr), 1);
  EXPECT_EQ(xGetDbError(), 21019);
  EXPECT_EQ(Members(), (V{0, 1}));
  ASSERT_EQ(xReRset(&b_, &rs_, "[NUM] + 1", nullptr), 1);  // not a condition
  EXPECT_EQ(Members(), (V{0, 1}));
}

TEST_F(RecordSets, SortsOneStringFieldDescending) {
  const char* names[] = {"PILE", "EXCAVATE", "ROOF", "BEAM", "WALL", "COLUMN"};
  for (int i = 0; i < 6; ++i) Add(i, names[i], 0);
  const uint16_t sort[] = {1, 10001};
  ASSERT_EQ(xOpenRset(&b_, &rs_, "", sort), 1);
  EXPECT_EQ(Members(), (V{4, 2, 0, 1, 5, 3}));  // WALL ROOF PILE EXCAVATE COLUMN BEAM
}

TEST_F(RecordSets, SortsSeveralFieldsInMixedDirections) {
  Add(2, "B", Date(2000, 1, 5));          // 0
  Add(-1, "A", Date(2000, 1, 3));         // 1
  Add(2, "C", Date(2000, 2, 1));          // 2
  Add(-7, "D", Date(2000, 1, 3));         // 3
  Add(2, "E", 0);                         // 4
  Add(-1, "F", Date(2001, 1, 1));         // 5
  const uint16_t sort[] = {2, 0, 10002};  // NUM ascending (signed), START descending
  ASSERT_EQ(xOpenRset(&b_, &rs_, "[NAME] != 'X'", sort), 1);
  EXPECT_EQ(Members(), (V{3, 5, 1, 2, 0, 4}));

  const uint16_t byQty[] = {1, 3};
  b_.tb.current = -1;
  std::vector<double> qty = {2.5, -0.5, 1e9, 0.25, -3, 2.5};
  for (double q : qty) {
    ASSERT_EQ(xMoveNext(&b_.tb), 1);
    Row r;
    ASSERT_EQ(xGetRec(&b_.tb, &r), 1);
    r.qty = q;
    ASSERT_EQ(xPutRec(&b_.tb, &r), 1);
  }
  ASSERT_EQ(xReRset(&b_, &rs_, "[QTY] < 100", byQty), 1);
  const V got = Members();
  ASSERT_EQ(got.size(), 5u);
  EXPECT_EQ((V{got[0], got[1], got[2]}), (V{4, 1, 3}));  // -3, -0.5, 0.25, then the two 2.5s
}

TEST_F(RecordSets, SortListEndsAtTheFirstIndexThatIsNoField) {
  Add(2, "A", 0);
  Add(1, "B", 0);
  Add(3, "C", 0);
  const uint16_t sort[] = {3, 0, 77, 10001};  // the descending NAME after 77 is ignored
  ASSERT_EQ(xOpenRset(&b_, &rs_, "", sort), 1);
  EXPECT_EQ(Members(), (V{1, 0, 2}));
  const uint16_t none[] = {1, 10004};  // no such field: slot order
  ASSERT_EQ(xReRset(&b_, &rs_, "", none), 1);
  EXPECT_EQ(Members(), (V{0, 1, 2}));
}

TEST_F(RecordSets, RebuildReplacesTheMembers) {
  for (int i = 0; i < 250; ++i) Add(i, "N", 0);
  ASSERT_EQ(xOpenRset(&b_, &rs_, "[NUM] % 2 = 0", nullptr), 1);
  EXPECT_EQ(rs_.count, 125u);
  ASSERT_EQ(xReRset(&b_, &rs_, "[NUM] < 3", nullptr), 1);
  EXPECT_EQ(Members(), (V{0, 1, 2}));
}

TEST_F(RecordSets, SeekFindsAMemberByRecordNumber) {
  for (int i = 0; i < 5; ++i) Add(i, "N", 0);
  const uint16_t sort[] = {1, 10000};
  ASSERT_EQ(xOpenRset(&b_, &rs_, "", sort), 1);  // 4 3 2 1 0
  EXPECT_EQ(xSeekRset(&rs_, 1), 1);
  EXPECT_EQ(rs_.current, 3u);
  EXPECT_EQ(xSeekRset(&rs_, 9), 0);
  EXPECT_EQ(rs_.current, 3u);
}

}  // namespace
