// Field lists: sizes, offsets after adding, inserting, changing and removing
// fields, lookup by name and copying from a table.
#include <string.h>

#include "db_fixture.h"

namespace {

FieldDesc Desc(int type, int width) {
  FieldDesc fd{};
  fd.type = static_cast<int8_t>(type);
  fd.width = static_cast<int16_t>(width);
  return fd;
}

struct List : FieldList {
  List() : FieldList{0, 0, nullptr, 0} {}
  ~List() { xFreeBuffer(fields); }
  std::vector<int> Offsets() const {
    std::vector<int> out;
    for (int i = 0; i < count; ++i) out.push_back(fields[i].offset);
    return out;
  }
};

TEST(FieldSize, ByType) {
  FieldDesc one = Desc(XF_CHAR, 0);
  EXPECT_EQ(xSizeOfData(&one, ~0u), 1);
  for (int t : {XF_INT16, XF_UINT16, XF_DATE, XF_REF}) {
    FieldDesc fd = Desc(t, 30);
    EXPECT_EQ(xSizeOfData(&fd, ~0u), 2) << t;
  }
  for (int t : {XF_INT32, XF_UINT32, XF_FLOAT, XF_RAW4}) {
    FieldDesc fd = Desc(t, 30);
    EXPECT_EQ(xSizeOfData(&fd, ~0u), 4) << t;
  }
  FieldDesc dbl = Desc(XF_DOUBLE, 3), str = Desc(XF_STRING, 10), odd = Desc(42, 9);
  EXPECT_EQ(xSizeOfData(&dbl, ~0u), 8);
  EXPECT_EQ(xSizeOfData(&str, ~0u), 11);
  EXPECT_EQ(xSizeOfData(&str, 4), 5);
  EXPECT_EQ(xSizeOfData(&odd, ~0u), 1);
  FieldDesc negative = Desc(XF_STRING, -3);
  EXPECT_EQ(xSizeOfData(&negative, ~0u), 1);
}

TEST(FieldList, AppendAndInsertKeepOffsetsContiguous) {
  List list;
  EXPECT_EQ(xAddFld(&list, -1, "NAME", XF_STRING, 0, 10, 0), 1);
  EXPECT_EQ(xAddFld(&list, 99, "COST", XF_DOUBLE, 0x20, 12, 2), 2);
  EXPECT_EQ(xAddFld(&list, 2, "DUR", XF_INT16, 0, 4, 0), 3);
  EXPECT_EQ(list.Offsets(), (std::vector<int>{0, 11, 19}));
  EXPECT_EQ(list.recordSize, 21u);

  EXPECT_EQ(xAddFld(&list, 1, "QTY", XF_INT32, 0, 8, 0), 4);
  EXPECT_EQ(list.Offsets(), (std::vector<int>{0, 11, 15, 23}));
  EXPECT_EQ(list.recordSize, 25u);
  EXPECT_STREQ(list.fields[1].name, "QTY");
  EXPECT_STREQ(list.fields[2].name, "COST");
}

TEST(FieldList, ArrayGrowsInStepsOfTen) {
  List list;
  for (int i = 0; i < 21; ++i)
    xAddFld(&list, -1, ("F" + std::to_string(i)).c_str(), XF_INT8, 0, 3, 0);
  EXPECT_EQ(list.count, 21);
  EXPECT_EQ(list.capacity, 30u);
  EXPECT_EQ(list.fields[20].offset, 20);
}

TEST(FieldList, ModifyShiftsOnlyFieldsAboveIt) {
  List list;
  xAddFld(&list, -1, "NAME", XF_STRING, 0, 10, 0);
  xAddFld(&list, -1, "COST", XF_DOUBLE, 0, 12, 2);
  xAddFld(&list, -1, "DUR", XF_INT16, 0, 4, 0);
  xModFld(&list, 0, "TITLE", XF_STRING, 0x10, 20, 0);
  EXPECT_EQ(list.Offsets(), (std::vector<int>{0, 21, 29}));
  EXPECT_EQ(list.recordSize, 31u);
  xModFld(&list, 1, "COST", XF_INT32, 0, 6, 0);
  EXPECT_EQ(list.Offsets(), (std::vector<int>{0, 21, 25}));
  EXPECT_EQ(list.recordSize, 27u);

  char name[32];
  int32_t type, width, decimals;
  uint32_t flags;
  xGetFld(&list, 0, name, &type, &flags, &width, &decimals);
  EXPECT_STREQ(name, "TITLE");
  EXPECT_EQ(type, XF_STRING);
  EXPECT_EQ(flags, 0x10u);
  EXPECT_EQ(width, 20);
  EXPECT_EQ(decimals, 0);
}

TEST(FieldList, DeleteMovesHigherFieldsDown) {
  List list;
  xAddFld(&list, -1, "A", XF_STRING, 0, 10, 0);
  xAddFld(&list, -1, "B", XF_DOUBLE, 0, 12, 2);
  xAddFld(&list, -1, "C", XF_INT16, 0, 4, 0);
  xDelFld(&list, 1);
  EXPECT_EQ(list.count, 2);
  EXPECT_EQ(list.Offsets(), (std::vector<int>{0, 11}));
  EXPECT_EQ(list.recordSize, 13u);
  EXPECT_EQ(xGetFldOrdinal("C", list.fields, list.count), 1);
  EXPECT_EQ(xGetFldOrdinal("B", list.fields, list.count), -1);
  EXPECT_EQ(xGetFldOrdinal("c", list.fields, list.count), -1);
  EXPECT_EQ(xGetFldOrdinal("A", list.fields, 0), -1);
}

TEST(FieldList, ExplicitLayoutOutOfByteOrder) {
  // Field 0 lives behind field 1 in the record, with a gap at the front.
  List list;
  list.recordSize = 40;
  xAddFld(&list, -1, "CODE", XF_STRING, 0, 20, 0);
  list.fields[0].offset = 16;
  list.recordSize = 40;
  xAddFld(&list, -1, "DUR", XF_INT16, 0, 4, 0);
  list.fields[1].offset = 4;
  list.recordSize = 40;
  // Inserting before DUR takes offset 4: CODE (at 16) moves up as well.
  xAddFld(&list, 1, "CAL", XF_UINT8, 0, 1, 0);
  EXPECT_EQ(list.Offsets(), (std::vector<int>{17, 4, 5}));
  EXPECT_EQ(list.recordSize, 41u);
  // Deleting DUR moves only what lay above it.
  xDelFld(&list, 2);
  EXPECT_EQ(list.Offsets(), (std::vector<int>{15, 4}));
}

TEST(FieldList, NamesAreCutToThirtyOneBytesAtACharacterBoundary) {
  List list;
  // 30 ASCII letters then a two-byte character: only the letters fit.
  std::string name(30, 'N');
  name += "\xB0\xA1";
  xAddFld(&list, -1, name.c_str(), XF_INT8, 0, 3, 0);
  EXPECT_EQ(strlen(list.fields[0].name), 30u);
  EXPECT_EQ(list.fields[0].name[31], '\0');
}

TEST(FieldList, CopiedFromATableWithRoomToGrow) {
  List list;
  xAddFld(&list, -1, "A", XF_STRING, 0, 5, 0);
  xAddFld(&list, -1, "B", XF_INT32, 0, 6, 0);
  TableHandle tb{};
  tb.recordSize = 12;  // a record may be longer than its fields
  tb.fieldCount = 2;
  tb.fields = list.fields;
  List copy;
  ASSERT_NE(xTb2Fld(&copy, &tb), 0);
  EXPECT_EQ(copy.count, 2);
  EXPECT_EQ(copy.capacity, 12u);
  EXPECT_EQ(copy.recordSize, 12u);
  EXPECT_NE(copy.fields, list.fields);
  EXPECT_EQ(memcmp(copy.fields, list.fields, 2 * sizeof(FieldDesc)), 0);
}

}  // namespace
