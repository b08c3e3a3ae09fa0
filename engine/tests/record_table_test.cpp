// Record tables: slot layout, reuse order, iteration, packing, and direct
// access to the slot file alongside the record calls.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "temp_folder.h"
#include "xJorDbm2.h"

namespace {

struct Rec {
  char text[6];
};

class RecordTable : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(xOpenDb(&db_, tmp_.dir().c_str(), nullptr), 1);
    ASSERT_EQ(xOpenTb(&db_, &tb_, "act", sizeof(Rec)), 1);
  }
  void TearDown() override {
    xCloseTb(&db_, &tb_);
    xCloseFile(&db_.mainHandle);
    xDelDbTemp(&db_);
  }
  std::string slotPath() const { return std::string(db_.path, db_.stemLength) + "act"; }
  void add(const char* s) {
    Rec r = {};
    strncpy(r.text, s, sizeof r.text - 1);
    ASSERT_EQ(xAddRec(&tb_, &r), 1);
  }
  // Texts of the live records in iteration order, with their slots.
  std::vector<std::string> walk(bool backwards = false) {
    std::vector<std::string> out;
    tb_.current = -1;
    while (backwards ? xMovePrev(&tb_) : xMoveNext(&tb_)) {
      Rec r;
      EXPECT_EQ(xGetRec(&tb_, &r), 1);
      out.push_back(std::to_string(tb_.current) + ":" + r.text);
    }
    EXPECT_EQ(tb_.current, -1);
    return out;
  }
  void deleteSlot(int32_t slot) {
    tb_.current = slot;
    ASSERT_EQ(xDelRec(&tb_), 1);
  }

  TempFolder tmp_;
  DbSpace db_ = {};
  TableHandle tb_ = {};
};

TEST_F(RecordTable, FreshTableHasNothingToVisit) {
  EXPECT_EQ(tb_.current, -1);
  EXPECT_EQ(tb_.freeHead, XJOR_NONE);
  EXPECT_EQ(xMoveNext(&tb_), 0);
  EXPECT_EQ(tb_.current, -1);
  EXPECT_EQ(xMovePrev(&tb_), 0);
  Rec r;
  EXPECT_EQ(xGetRec(&tb_, &r), 0);
  EXPECT_EQ(xPutRec(&tb_, &r), 0);
  EXPECT_EQ(xDelRec(&tb_), 0);
  EXPECT_TRUE(fileBytes(slotPath()).empty());
}

TEST_F(RecordTable, SlotFileHoldsMarkThenRecordPerSlot) {
  add("ab");
  add("cd");
  deleteSlot(0);
  std::vector<uint8_t> want = {0xFF, 0xFF, 0xFF, 0xFF, 'a', 'b', 0, 0, 0, 0,   // free, end of list
                               0xFE, 0xFF, 0xFF, 0xFF, 'c', 'd', 0, 0, 0, 0};  // live
  EXPECT_EQ(fileBytes(slotPath()), want);
  deleteSlot(1);
  want[10] = 0;  // slot 1 now points at slot 0
  want[11] = want[12] = want[13] = 0;
  EXPECT_EQ(fileBytes(slotPath()), want);
  EXPECT_EQ(tb_.freeHead, 1u);
  EXPECT_EQ(tb_.liveCount, 0u);
  EXPECT_EQ(tb_.slotCount, 2u);
}

TEST_F(RecordTable, DeletedSlotIsReusedAndIterationFollowsSlots) {
  add("one");
  add("two");
  add("three");
  deleteSlot(1);
  EXPECT_EQ(tb_.current, 1);  // a delete leaves current where it was
  Rec r;
  EXPECT_EQ(xGetRec(&tb_, &r), 0);
  EXPECT_EQ(walk(), (std::vector<std::string>{"0:one", "2:three"}));
  add("four");
  EXPECT_EQ(tb_.current, 1);
  EXPECT_EQ(tb_.slotCount, 3u);
  EXPECT_EQ(walk(), (std::vector<std::string>{"0:one", "1:four", "2:three"}));
  EXPECT_EQ(walk(true), (std::vector<std::string>{"2:three", "1:four", "0:one"}));
}

TEST_F(RecordTable, SlotsAreReusedLastDeletedFirst) {
  for (const char* s : {"a", "b", "c", "d"}) add(s);
  deleteSlot(0);
  deleteSlot(2);
  add("x");
  EXPECT_EQ(tb_.current, 2);
  add("y");
  EXPECT_EQ(tb_.current, 0);
  add("z");
  EXPECT_EQ(tb_.current, 4);
  EXPECT_EQ(walk(), (std::vector<std::string>{"0:y", "1:b", "2:x", "3:d", "4:z"}));
}

TEST_F(RecordTable, RecordCallsRefuseDeletedAndOutOfRangeSlots) {
  add("a");
  add("b");
  deleteSlot(0);
  std::vector<uint8_t> before = fileBytes(slotPath());
  Rec r = {"zz"};
  for (int32_t cur : {0, 2, 1000, -1, -7}) {
    tb_.current = cur;
    EXPECT_EQ(xGetRec(&tb_, &r), 0) << cur;
    EXPECT_EQ(xPutRec(&tb_, &r), 0) << cur;
    EXPECT_EQ(xDelRec(&tb_), 0) << cur;
  }
  EXPECT_EQ(fileBytes(slotPath()), before);
  EXPECT_EQ(tb_.liveCount, 1u);
  EXPECT_EQ(tb_.freeHead, 0u);
  tb_.current = 1;
  EXPECT_EQ(xPutRec(&tb_, &r), 1);
  EXPECT_EQ(walk(), (std::vector<std::string>{"1:zz"}));
}

TEST_F(RecordTable, MovePrevFromMiddleAndPastStart) {
  for (const char* s : {"a", "b", "c"}) add(s);
  deleteSlot(1);
  tb_.current = 2;
  EXPECT_EQ(xMovePrev(&tb_), 1);
  EXPECT_EQ(tb_.current, 0);
  EXPECT_EQ(xMovePrev(&tb_), 0);
  EXPECT_EQ(tb_.current, -1);
  deleteSlot(0);
  deleteSlot(2);
  tb_.current = 1;
  EXPECT_EQ(xMoveNext(&tb_), 0);  // no live record at all
  EXPECT_EQ(tb_.current, -1);
}

TEST_F(RecordTable, PackKeepsLiveSlotsInOrderAndCutsTheFile) {
  for (const char* s : {"a", "b", "c", "d", "e"}) add(s);
  deleteSlot(0);
  deleteSlot(3);
  tb_.current = 4;
  xPackTb(&tb_);
  EXPECT_EQ(tb_.slotCount, 3u);
  EXPECT_EQ(tb_.liveCount, 3u);
  EXPECT_EQ(tb_.freeHead, XJOR_NONE);
  EXPECT_EQ(tb_.current, 4);  // not adjusted
  EXPECT_EQ(fileBytes(slotPath()).size(), 3u * 10);
  EXPECT_EQ(walk(), (std::vector<std::string>{"0:b", "1:c", "2:e"}));
  add("f");
  EXPECT_EQ(tb_.current, 3);
}

TEST_F(RecordTable, PackOfAllDeletedLeavesEmptyFile) {
  for (const char* s : {"a", "b", "c"}) add(s);
  for (int32_t i : {0, 1, 2}) deleteSlot(i);
  xPackTb(&tb_);
  EXPECT_EQ(tb_.slotCount, 0u);
  EXPECT_EQ(tb_.liveCount, 0u);
  EXPECT_TRUE(fileBytes(slotPath()).empty());
  EXPECT_EQ(xMoveNext(&tb_), 0);
  add("n");
  EXPECT_EQ(walk(), (std::vector<std::string>{"0:n"}));
}

TEST_F(RecordTable, DirectFileAccessAndRecordCallsSeeTheSameBytes) {
  for (const char* s : {"a", "b", "c"}) add(s);
  Rec r;
  tb_.current = 1;
  ASSERT_EQ(xGetRec(&tb_, &r), 1);  // the slot file is now mapped
  // A direct write is seen by the record calls...
  ASSERT_EQ(pwrite(tb_.handle, "QQ", 2, 10 + 4), 2);
  EXPECT_EQ(walk(), (std::vector<std::string>{"0:a", "1:QQ", "2:c"}));
  // ...and a record call is seen by a direct read and by xSaveTb's copy.
  tb_.current = 2;
  Rec w = {"WW"};
  ASSERT_EQ(xPutRec(&tb_, &w), 1);
  char back[3] = {};
  ASSERT_EQ(pread(tb_.handle, back, 2, 20 + 4), 2);
  EXPECT_STREQ(back, "WW");
  // Growth through the file: a slot appended with pwrite is readable once
  // the table counts it.
  uint8_t slot[10] = {0xFE, 0xFF, 0xFF, 0xFF, 'D', 'D'};
  ASSERT_EQ(pwrite(tb_.handle, slot, 10, 30), 10);
  tb_.slotCount = 4;
  tb_.liveCount = 4;
  EXPECT_EQ(walk(), (std::vector<std::string>{"0:a", "1:QQ", "2:WW", "3:DD"}));
  // Shortening the file by hand, announced with xFileChanged.
  ASSERT_EQ(ftruncate(tb_.handle, 20), 0);
  xFileChanged(tb_.handle);
  tb_.slotCount = 2;
  tb_.liveCount = 2;
  EXPECT_EQ(walk(), (std::vector<std::string>{"0:a", "1:QQ"}));
}

TEST_F(RecordTable, CountsPastTheFileEndReadAsNoRecord) {
  add("a");
  tb_.slotCount = 5;  // as a damaged header would claim
  tb_.liveCount = 3;
  EXPECT_EQ(walk(), (std::vector<std::string>{"0:a"}));
  tb_.current = 4;
  Rec r;
  EXPECT_EQ(xGetRec(&tb_, &r), 0);
}

TEST_F(RecordTable, DamagedFreeListAppendsInsteadOfOverwriting) {
  add("a");
  add("b");
  tb_.freeHead = 1;  // names a live slot
  add("c");
  EXPECT_EQ(tb_.current, 2);
  tb_.freeHead = 77;  // past the end
  add("d");
  EXPECT_EQ(tb_.current, 3);
  EXPECT_EQ(tb_.freeHead, XJOR_NONE);
  EXPECT_EQ(walk(), (std::vector<std::string>{"0:a", "1:b", "2:c", "3:d"}));
}

TEST_F(RecordTable, CloseDeletesSlotFileAndFreesDescriptors) {
  tb_.fieldCount = 2;
  tb_.fields = static_cast<FieldDesc*>(malloc(84));
  add("a");
  std::string path = slotPath();
  xCloseTb(&db_, &tb_);
  EXPECT_EQ(tb_.handle, -1);
  EXPECT_EQ(tb_.fields, nullptr);
  EXPECT_FALSE(std::filesystem::exists(path));
  xCloseTb(&db_, &tb_);  // closing twice is harmless
}

TEST(RecordTableOpen, NullNameOnlyAllocatesDescriptors) {
  TableHandle tb = {};
  tb.handle = -1;
  tb.fieldCount = 3;
  ASSERT_EQ(xOpenTb(nullptr, &tb, nullptr, 0), 1);
  ASSERT_NE(tb.fields, nullptr);
  EXPECT_EQ(tb.handle, -1);
  free(tb.fields);
  DbSpace none = {};
  none.mainHandle = -1;
  EXPECT_EQ(xOpenTb(&none, &tb, "act", 4), 0);  // no family to put it in
  EXPECT_EQ(tb.handle, -1);
}

}  // namespace
