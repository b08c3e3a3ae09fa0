// Restructuring a table in place: renamed, retyped, widened, narrowed,
// added and removed fields over live and deleted records.
#include <string.h>

#include "db_fixture.h"

namespace {

class Restructure : public DbFixture {
 protected:
  void SetUp() override {
    DbFixture::SetUp();
    ASSERT_EQ(xOpenTb(&db_, &tb_, "t", 0), 1);
    // CODE string(6), QTY int16, COST double(2 decimals).
    xAddFld(&list_, -1, "CODE", XF_STRING, 0, 6, 0);
    xAddFld(&list_, -1, "QTY", XF_INT16, 0, 5, 0);
    xAddFld(&list_, -1, "COST", XF_DOUBLE, 0, 10, 2);
    ASSERT_EQ(xModFldStr(&tb_, &list_), 1);
    AddRow("A1", "12", "1.50");
    AddRow("B22", "-345", "2000.25");
    AddRow("C333", "7", "3");
    tb_.current = 1;
    ASSERT_EQ(xDelRec(&tb_), 1);  // slot 1 deleted, on the free list
    freeHead_ = tb_.freeHead;
  }
  void TearDown() override {
    xFreeBuffer(list_.fields);
    xCloseTb(&db_, &tb_);
    DbFixture::TearDown();
  }
  void AddRow(const char* code, const char* qty, const char* cost) {
    std::vector<unsigned char> rec(tb_.recordSize, 0);
    xSetValue(tb_.fields, -1, code, rec.data(), 0);
    xSetValue(tb_.fields, -1, qty, rec.data(), 1);
    xSetValue(tb_.fields, -1, cost, rec.data(), 2);
    xAddRec(&tb_, rec.data());
  }
  // Every live record as "value|value|..." in slot order.
  std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    std::vector<unsigned char> rec(tb_.recordSize);
    tb_.current = -1;
    while (xMoveNext(&tb_)) {
      xGetRec(&tb_, rec.data());
      std::string row;
      for (int i = 0; i < tb_.fieldCount; ++i) {
        char out[XF_VALUE_BUFFER];
        xGetValue(tb_.fields, -1, out, rec.data(), i, XF_PLAIN);
        row += (i ? "|" : "") + std::string(out);
      }
      rows.push_back(row);
    }
    return rows;
  }
  void Apply() {
    ASSERT_EQ(xModFldStr(&tb_, &list_), 1);
    EXPECT_EQ(tb_.recordSize, list_.recordSize);
    EXPECT_EQ(tb_.fieldCount, list_.count);
    EXPECT_NE(tb_.fields, list_.fields);
    EXPECT_EQ(memcmp(tb_.fields, list_.fields, list_.count * sizeof(FieldDesc)), 0);
    EXPECT_EQ(FileSize(tb_.handle), 3 * (tb_.recordSize + 4));
    EXPECT_EQ(tb_.slotCount, 3u);
    EXPECT_EQ(tb_.liveCount, 2u);
    EXPECT_EQ(tb_.freeHead, freeHead_);
  }

  TableHandle tb_{};
  FieldList list_{0, 0, nullptr, 0};
  uint32_t freeHead_ = 0;
};

TEST_F(Restructure, StartingFromNoFields) {
  EXPECT_EQ(Rows(), (std::vector<std::string>{"A1|12|1.50", "C333|7|3.00"}));
}

TEST_F(Restructure, RenameKeepsValuesAndDeletedSlotsKeepTheFreeList) {
  xModFld(&list_, 1, "AMOUNT", XF_INT16, 0, 5, 0);
  Apply();
  EXPECT_EQ(Rows(), (std::vector<std::string>{"A1|12|1.50", "C333|7|3.00"}));
  // The deleted slot is reused first, as before.
  std::vector<unsigned char> rec(tb_.recordSize, 0);
  xAddRec(&tb_, rec.data());
  EXPECT_EQ(tb_.current, 1);
}

TEST_F(Restructure, NumberToTextConvertsThroughText) {
  xModFld(&list_, 1, "QTY", XF_STRING, 0, 4, 0);
  Apply();
  EXPECT_EQ(Rows(), (std::vector<std::string>{"A1|12|1.50", "C333|7|3.00"}));
  EXPECT_EQ(list_.fields[2].offset, 12);
}

TEST_F(Restructure, WidenAndNarrowStrings) {
  xModFld(&list_, 0, "CODE", XF_STRING, XF_LOWER, 12, 0);
  Apply();
  EXPECT_EQ(Rows(), (std::vector<std::string>{"a1|12|1.50", "c333|7|3.00"}));
  xModFld(&list_, 0, "CODE", XF_STRING, 0, 2, 0);
  Apply();
  EXPECT_EQ(Rows(), (std::vector<std::string>{"a1|12|1.50", "c3|7|3.00"}));
}

TEST_F(Restructure, NumberToNumberCarriesTheValueNotItsText) {
  // COST becomes an integer of width 2: through text, 2000.25 would become
  // "00"; carried directly it keeps its whole part.
  std::vector<unsigned char> rec(tb_.recordSize);
  tb_.current = 0;
  ASSERT_EQ(xGetRec(&tb_, rec.data()), 1);
  xSetValue(tb_.fields, -1, "2000.25", rec.data(), 2);
  ASSERT_EQ(xPutRec(&tb_, rec.data()), 1);
  xModFld(&list_, 2, "COST", XF_INT32, 0, 2, 0);
  Apply();
  rec.resize(tb_.recordSize);
  tb_.current = 0;
  ASSERT_EQ(xGetRec(&tb_, rec.data()), 1);
  int32_t v;
  memcpy(&v, rec.data() + list_.fields[2].offset, 4);
  EXPECT_EQ(v, 2000);
}

TEST_F(Restructure, AddedFieldStartsAtZeroAndRemovedFieldGoes) {
  xAddFld(&list_, 1, "NOTE", XF_STRING, 0, 3, 0);
  Apply();
  EXPECT_EQ(Rows(), (std::vector<std::string>{"A1||12|1.50", "C333||7|3.00"}));
  xDelFld(&list_, 2);  // QTY
  Apply();
  EXPECT_EQ(Rows(), (std::vector<std::string>{"A1||1.50", "C333||3.00"}));
}

TEST_F(Restructure, PositionFallbackOnlyForUnmatchedOldFields) {
  // KEY matches no name, and the old field at its position (CODE) is not
  // matched by name either: CODE's values move to KEY. EXTRA sits where the
  // old COST was, but COST went to the new COST by name: EXTRA starts at 0.
  FieldList next{0, 0, nullptr, 0};
  xAddFld(&next, -1, "KEY", XF_STRING, 0, 6, 0);
  xAddFld(&next, -1, "COST", XF_DOUBLE, 0, 10, 2);
  xAddFld(&next, -1, "EXTRA", XF_INT16, 0, 5, 0);
  xFreeBuffer(list_.fields);
  list_ = next;
  Apply();
  EXPECT_EQ(Rows(), (std::vector<std::string>{"A1|1.50|0", "C333|3.00|0"}));
}

TEST_F(Restructure, BytesOutsideFieldsKeepTheirPlace) {
  // A layout with explicit offsets: a flag word at bytes 0-3 that no field
  // covers, then CODE at 4.
  FieldList raw{0, 0, nullptr, 0};
  xAddFld(&raw, -1, "CODE", XF_STRING, 0, 6, 0);
  raw.fields[0].offset = 4;
  raw.recordSize = 11;
  ASSERT_EQ(xModFldStr(&tb_, &raw), 1);
  std::vector<unsigned char> rec(11, 0);
  rec[0] = 0xAB;
  memcpy(rec.data() + 4, "KEEP", 5);
  tb_.current = 0;
  ASSERT_EQ(xPutRec(&tb_, rec.data()), 1);
  // Widen CODE (its offset stays; the record grows behind it).
  xModFld(&raw, 0, "CODE", XF_STRING, 0, 8, 0);
  ASSERT_EQ(raw.recordSize, 13u);
  ASSERT_EQ(xModFldStr(&tb_, &raw), 1);
  std::vector<unsigned char> after(13);
  tb_.current = 0;
  ASSERT_EQ(xGetRec(&tb_, after.data()), 1);
  EXPECT_EQ(after[0], 0xAB);
  EXPECT_STREQ(reinterpret_cast<char*>(after.data() + 4), "KEEP");
  xFreeBuffer(raw.fields);
}

TEST_F(Restructure, RefusesAListThatCannotBeATable) {
  FieldList bad{70000, 0, nullptr, 0};
  EXPECT_EQ(xModFldStr(&tb_, &bad), 0);
  EXPECT_EQ(tb_.fieldCount, 3);
  EXPECT_EQ(Rows().size(), 2u);
  // A field lying outside the record is never written.
  FieldList outside{0, 0, nullptr, 0};
  xAddFld(&outside, -1, "CODE", XF_STRING, 0, 6, 0);
  outside.fields[0].offset = 100;
  outside.recordSize = 7;
  EXPECT_EQ(xModFldStr(&tb_, &outside), 1);
  EXPECT_EQ(tb_.recordSize, 7);
  xFreeBuffer(outside.fields);
}

// A restructure that shortens the slot file of a table the engine has
// already mapped (iterated), then adds: the new record must land in the
// file, and the table must save and read back whole. 1,024 x 16 bytes ends
// the shortened file on a page boundary, where a stale mapping faults.
TEST(RestructureMapped, ShorterRecordsThenAddKeepTheTable) {
  struct Shape {
    uint32_t records;
    int32_t width;  // one string field: record size width + 1
  };
  for (Shape shape : {Shape{1000, 91}, Shape{1024, 11}}) {
    SCOPED_TRACE(shape.records);
    char pattern[] = "/tmp/xjor-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    std::string dir = std::string(pattern) + "/";
    DbSpace db{};
    TableHandle tb{};
    ASSERT_EQ(xOpenDb(&db, dir.c_str(), nullptr), 1);
    ASSERT_EQ(xOpenTb(&db, &tb, "t", 0), 1);
    FieldList wide{0, 0, nullptr, 0}, narrow{0, 0, nullptr, 0};
    xAddFld(&wide, -1, "CODE", XF_STRING, 0, shape.width, 0);
    xAddFld(&narrow, -1, "CODE", XF_STRING, 0, 7, 0);
    ASSERT_EQ(xModFldStr(&tb, &wide), 1);
    std::vector<unsigned char> rec(tb.recordSize, 'x');
    for (uint32_t i = 0; i < shape.records; ++i) ASSERT_EQ(xAddRec(&tb, rec.data()), 1);
    tb.current = -1;
    while (xMoveNext(&tb)) {
    }
    ASSERT_EQ(xModFldStr(&tb, &narrow), 1);
    ASSERT_EQ(tb.recordSize, 8);
    ASSERT_EQ(xAddRec(&tb, "new1234"), 1);
    EXPECT_EQ(lseek(tb.handle, 0, SEEK_END), (shape.records + 1) * 12);

    int32_t image = xOpenTemp(&db, "img", 0);
    xSaveTb(&tb, image);
    TableHandle back{};
    ASSERT_EQ(xOpenTb(&db, &back, "back", 0), 1);
    lseek(image, 0, SEEK_SET);
    xReadTb(&back, image);
    EXPECT_EQ(back.liveCount, shape.records + 1);
    back.current = static_cast<int32_t>(shape.records);
    char last[8] = {};
    ASSERT_EQ(xGetRec(&back, last), 1);
    EXPECT_STREQ(last, "new1234");

    xCloseTemp(&db, &image, "img");
    xCloseTb(&db, &back);
    xCloseTb(&db, &tb);
    xFreeBuffer(wide.fields);
    xFreeBuffer(narrow.fields);
    xCloseFile(&db.mainHandle);
    std::filesystem::remove_all(dir);
  }
}

}  // namespace
