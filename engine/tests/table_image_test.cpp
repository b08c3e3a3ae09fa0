// Saved table images: their bytes, exact round trips, and damaged images.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "temp_folder.h"
#include "xJorDbm2.h"

namespace {

void putU32(std::vector<uint8_t>& v, uint32_t x) {
  for (int i = 0; i < 4; ++i) v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}
void putU16(std::vector<uint8_t>& v, uint16_t x) {
  v.push_back(static_cast<uint8_t>(x));
  v.push_back(static_cast<uint8_t>(x >> 8));
}

class TableImage : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(xOpenDb(&db_, tmp_.dir().c_str(), nullptr), 1); }
  void TearDown() override {
    xCloseFile(&db_.mainHandle);
    xDelDbTemp(&db_);
  }
  std::string member(const char* name) const {
    return std::string(db_.path, db_.stemLength) + name;
  }
  // Reads the image file into a freshly opened table "dst".
  void readImage(const std::vector<uint8_t>& image, TableHandle* tb) {
    writeBytes(tmp_.file("image"), image);
    int32_t f = xOpenFile(tmp_.file("image").c_str(), 10000);
    ASSERT_EQ(xOpenTb(&db_, tb, "dst", 99), 1);
    xSetDbError(0);
    xReadTb(tb, f);
    xCloseFile(&f);
  }
  void expectEmpty(TableHandle* tb) {
    EXPECT_EQ(xGetDbError(), 21006);
    EXPECT_EQ(tb->slotCount, 0u);
    EXPECT_EQ(tb->liveCount, 0u);
    EXPECT_EQ(tb->freeHead, XJOR_NONE);
    EXPECT_EQ(tb->fieldCount, 0);
    EXPECT_EQ(tb->fields, nullptr);
    EXPECT_EQ(tb->recordSize, 99);
    EXPECT_EQ(xMoveNext(tb), 0);
    EXPECT_TRUE(fileBytes(member("dst")).empty());
  }
  // A valid image of one live 2-byte record and no fields, to be damaged.
  static std::vector<uint8_t> smallImage() {
    std::vector<uint8_t> v;
    putU32(v, 1);
    putU32(v, XJOR_NONE);
    putU32(v, 1);
    putU16(v, 2);
    putU16(v, 0);
    putU32(v, 6);
    for (uint8_t b : std::initializer_list<uint8_t>{0xFE, 0xFF, 0xFF, 0xFF, 'h', 'i'})
      v.push_back(b);
    return v;
  }

  TempFolder tmp_;
  DbSpace db_ = {};
};

TEST_F(TableImage, SaveWritesCountsDescriptorsAndSlotFile) {
  TableHandle tb = {};
  ASSERT_EQ(xOpenTb(&db_, &tb, "src", 2), 1);
  tb.fieldCount = 1;
  tb.fields = static_cast<FieldDesc*>(malloc(42));
  memset(tb.fields, 'F', 42);
  uint16_t a = 0x4241, b = 0x4443;
  xAddRec(&tb, &a);
  xAddRec(&tb, &b);
  xDelRec(&tb);  // slot 1 free

  int32_t f = xCreateFile(tmp_.file("out").c_str(), 0);
  ASSERT_EQ(write(f, "pre", 3), 3);  // written at the current position
  xSaveTb(&tb, f);
  xCloseFile(&f);
  std::vector<uint8_t> want = {'p', 'r', 'e'};
  putU32(want, 1);  // live
  putU32(want, 1);  // free head
  putU32(want, 2);  // slots
  putU16(want, 2);  // record size
  putU16(want, 1);  // fields
  want.insert(want.end(), 42, 'F');
  putU32(want, 12);
  for (uint8_t x : std::initializer_list<uint8_t>{0xFE, 0xFF, 0xFF, 0xFF, 'A', 'B', 0xFF, 0xFF,
                                                  0xFF, 0xFF, 'C', 'D'})
    want.push_back(x);
  EXPECT_EQ(fileBytes(tmp_.file("out")), want);
  xCloseTb(&db_, &tb);
}

TEST_F(TableImage, ReadReproducesSlotFileWithDeletedSlotsAndFreeList) {
  TableHandle src = {};
  ASSERT_EQ(xOpenTb(&db_, &src, "src", 8), 1);
  src.fieldCount = 2;
  src.fields = static_cast<FieldDesc*>(malloc(84));
  for (int i = 0; i < 84; ++i) reinterpret_cast<uint8_t*>(src.fields)[i] = static_cast<uint8_t>(i);
  for (uint64_t i = 0; i < 50; ++i) {
    uint64_t v = i * 0x0101010101ull;
    xAddRec(&src, &v);
  }
  for (int32_t s : {7, 3, 40, 12}) {
    src.current = s;
    xDelRec(&src);
  }
  // Two images in a row: the second must be read in step.
  int32_t f = xCreateFile(tmp_.file("two").c_str(), 0);
  xSaveTb(&src, f);
  xSaveTb(&src, f);
  xCloseFile(&f);

  f = xOpenFile(tmp_.file("two").c_str(), 10000);
  for (const char* name : {"dst1", "dst2"}) {
    TableHandle dst = {};
    ASSERT_EQ(xOpenTb(&db_, &dst, name, 1), 1);
    xSetDbError(0);
    xReadTb(&dst, f);
    EXPECT_EQ(xGetDbError(), 0);
    EXPECT_EQ(dst.liveCount, 46u);
    EXPECT_EQ(dst.slotCount, 50u);
    EXPECT_EQ(dst.freeHead, 12u);
    EXPECT_EQ(dst.recordSize, 8);
    EXPECT_EQ(dst.current, -1);
    ASSERT_EQ(dst.fieldCount, 2);
    EXPECT_EQ(memcmp(dst.fields, src.fields, 84), 0);
    EXPECT_EQ(fileBytes(member(name)), fileBytes(member("src")));
    uint64_t v = 0;
    EXPECT_EQ(xAddRec(&dst, &v), 1);  // the free list carried over
    EXPECT_EQ(dst.current, 12);
    xCloseTb(&db_, &dst);
  }
  xCloseFile(&f);
  xCloseTb(&db_, &src);
}

TEST_F(TableImage, ImagesThatDoNotFitTheSourceLeaveAnEmptyTable) {
  struct Damage {
    const char* what;
    void (*apply)(std::vector<uint8_t>&);
  } damages[] = {
      {"field count 30000", [](std::vector<uint8_t>& v) { v[14] = 0x30, v[15] = 0x75; }},
      {"negative field count", [](std::vector<uint8_t>& v) { v[14] = 0xFF, v[15] = 0xFF; }},
      {"slot bytes past the end", [](std::vector<uint8_t>& v) { v[16] = 0xFF, v[18] = 0x10; }},
      {"more slots than bytes", [](std::vector<uint8_t>& v) { v[8] = 2; }},
      {"more live than slots", [](std::vector<uint8_t>& v) { v[0] = 2; }},
      {"free head past the slots",
       [](std::vector<uint8_t>& v) { v[4] = 5, v[5] = v[6] = v[7] = 0; }},
      {"live count disagrees with marks", [](std::vector<uint8_t>& v) { v[0] = 0; }},
      {"cut in the header", [](std::vector<uint8_t>& v) { v.erase(v.begin() + 10, v.end()); }},
      {"cut in the slots", [](std::vector<uint8_t>& v) { v.pop_back(); }},
  };
  for (const Damage& d : damages) {
    SCOPED_TRACE(d.what);
    std::vector<uint8_t> image = smallImage();
    d.apply(image);
    TableHandle tb = {};
    readImage(image, &tb);
    expectEmpty(&tb);
    xCloseTb(&db_, &tb);
  }
}

TEST_F(TableImage, FreeListThatLoopsOrSkipsIsRefused) {
  // Three slots, one live; the free list must visit slots 0 and 2 once each.
  auto image = [](uint32_t head, uint32_t mark0, uint32_t mark2) {
    std::vector<uint8_t> v;
    putU32(v, 1);
    putU32(v, head);
    putU32(v, 3);
    putU16(v, 0);
    putU16(v, 0);
    putU32(v, 12);
    putU32(v, mark0);
    putU32(v, XJOR_MARK_LIVE);
    putU32(v, mark2);
    return v;
  };
  TableHandle ok = {};
  readImage(image(2, XJOR_NONE, 0), &ok);
  EXPECT_EQ(xGetDbError(), 0);
  EXPECT_EQ(ok.slotCount, 3u);
  xCloseTb(&db_, &ok);
  for (auto v : {image(2, 2, 0),          // loop 2 -> 0 -> 2
                 image(0, XJOR_NONE, 0),  // slot 2 never reached
                 image(XJOR_NONE, 0, 0),  // empty list with deleted slots
                 image(2, 1, 0)}) {       // list runs into the live slot
    TableHandle tb = {};
    readImage(v, &tb);
    expectEmpty(&tb);
    xCloseTb(&db_, &tb);
  }
}

}  // namespace
