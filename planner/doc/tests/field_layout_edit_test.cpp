// Editing the activity table's layout: the kind-to-type rules of user
// items, what relied-on fields may change, the name rules, and a re-layout
// that keeps every other value byte for byte.
#include "kelvo/field_layout_edit.h"

#include "project_fixture.h"

namespace kelvo::testing {
namespace {

class FieldLayoutEditTest : public ProjectFixture {
 protected:
  static FieldEdit number(const char* name, int width, int decimals) {
    return {name, FieldKind::Number, width, decimals};
  }
  int32_t index(const FieldLayoutEdit& e, const char* name) {
    for (size_t i = 0; i < e.entries().size(); ++i)
      if (std::strcmp(e.entries()[i].desc.name, name) == 0) return static_cast<int32_t>(i);
    return -1;
  }
};

// CP949 names: 소요일수, 사용자 항목1.
#define DURATION "\xBC\xD2\xBF\xE4\xC0\xCF\xBC\xF6"
#define USER1                                 \
  "\xBB\xE7\xBF\xEB\xC0\xDA \xC7\xD7\xB8\xF1" \
  "1"

TEST_F(FieldLayoutEditTest, UserItemsTakeTheirTypeFromKindAndDigits) {
  FieldLayoutEdit e(db.act.tb);
  const size_t n = e.entries().size();
  const struct {
    FieldEdit edit;
    int type, width;
  } cases[] = {
      {number("N4", 4, 0), XF_INT16, 4},
      {number("N5", 5, 0), XF_INT32, 5},
      {number("N10", 10, 0), XF_DOUBLE, 10},
      {number("F33", 3, 3), XF_FLOAT, 3},
      {number("D34", 3, 4), XF_DOUBLE, 3},
      {number("N0", 0, 0), XF_INT16, 1},
      {{"T0", FieldKind::Text, 0, 2}, XF_STRING, 1},
      {{"T2000", FieldKind::Text, 2000, 0}, XF_STRING, 1024},
      {{"DT", FieldKind::Date, 3, 3}, XF_DATE, 8},
  };
  uint32_t size = e.recordSize();
  for (const auto& c : cases) {
    ASSERT_EQ(e.add(c.edit), EditRefusal::None) << c.edit.name;
    const FieldDesc& f = e.entries().back().desc;
    EXPECT_EQ(f.type, c.type) << c.edit.name;
    EXPECT_EQ(f.width, c.width) << c.edit.name;
    EXPECT_EQ(f.flags, 0u);
    EXPECT_EQ(static_cast<uint32_t>(f.offset), size) << c.edit.name;
    size += static_cast<uint32_t>(xSizeOfData(&f, 0xFFFFFFFFu));
  }
  EXPECT_EQ(e.recordSize(), size);
  EXPECT_EQ(e.add(number("N16", 16, 0)), EditRefusal::Width);
  EXPECT_EQ(e.add(number("D10", 3, 10)), EditRefusal::Decimals);
  EXPECT_EQ(e.entries().size(), n + std::size(cases));
}

TEST_F(FieldLayoutEditTest, ReliedFieldsAndNames) {
  FieldLayoutEdit e(db.act.tb);
  const int du = index(e, DURATION), user1 = index(e, USER1);
  ASSERT_GE(du, 0);
  ASSERT_GE(user1, 0);
  EXPECT_FALSE(e.canModify(du));
  EXPECT_EQ(e.insert(du, number("X", 3, 0)), EditRefusal::NotEditable);
  EXPECT_EQ(e.remove(du), EditRefusal::NotEditable);
  // A relied-on user summary item changes its digits only.
  const FieldDesc before = e.entries()[user1].desc;
  ASSERT_EQ(e.modify(user1, number("RENAMED", 3, 2)), EditRefusal::None);
  const FieldDesc after = e.entries()[user1].desc;
  EXPECT_STREQ(after.name, before.name);
  EXPECT_EQ(after.type, before.type);
  EXPECT_EQ(after.offset, before.offset);
  EXPECT_EQ(after.width, 3);
  EXPECT_EQ(after.decimals, 2);
  EXPECT_EQ(e.modify(user1, number("", 16, 0)), EditRefusal::Width);
  // Names: unique, no brackets, at most 31 bytes, and a loaded name stays
  // with its field.
  EXPECT_EQ(e.add(number(DURATION, 3, 0)), EditRefusal::Name);
  EXPECT_EQ(e.add(number("A[1]", 3, 0)), EditRefusal::Name);
  EXPECT_EQ(e.add(number("  ", 3, 0)), EditRefusal::Name);
  EXPECT_EQ(e.add(number(std::string(32, 'x').c_str(), 3, 0)), EditRefusal::Name);
  ASSERT_EQ(e.add(number(" X ", 3, 0)), EditRefusal::None);
  EXPECT_STREQ(e.entries().back().desc.name, "X");
}

TEST_F(FieldLayoutEditTest, RelayoutKeepsEveryOtherValue) {
  addCode(0, "A", "a");
  addCode(0, "A01", "w");
  addCode(1, "1", "f");
  char obs[8];
  for (int i = 1; i <= 40; ++i) {
    std::snprintf(obs, sizeof obs, "1%02d", i);
    addCode(1, obs, "f");
    ASSERT_GE(addActivity(obs, static_cast<int16_t>(i), "A01", obs, i * 1.5), 0);
  }
  // Two user items, one carrying values through the next session.
  {
    FieldLayoutEdit e(db.act.tb);
    ASSERT_EQ(e.add(number("KEEP", 6, 2)), EditRefusal::None);
    ASSERT_EQ(e.add({"NOTE", FieldKind::Text, 10, 0}), EditRefusal::None);
    FieldList list;
    ASSERT_TRUE(e.build(&list));
    ASSERT_EQ(xModFldStr(&db.act.tb, &list), 1);
    xFreeBuffer(list.fields);
  }
  const int keep = xGetFldOrdinal("KEEP", db.act.tb.fields, db.act.tb.fieldCount);
  std::vector<std::vector<char>> before;
  for (int32_t slot = 0; slot < 40; ++slot) {
    before.emplace_back(db.act.tb.recordSize);
    db.act.tb.current = slot;
    ASSERT_EQ(xGetRec(&db.act.tb, before.back().data()), 1);
    xSetValue(db.act.tb.fields, -1, std::to_string(slot).c_str(), before.back().data(), keep);
    ASSERT_EQ(xPutRec(&db.act.tb, before.back().data()), 1);
  }
  const std::vector<FieldDesc> old(db.act.tb.fields, db.act.tb.fields + db.act.tb.fieldCount);
  // Insert before KEEP, delete NOTE, widen KEEP.
  FieldLayoutEdit e(db.act.tb);
  ASSERT_EQ(e.insert(keep, {"FIRST", FieldKind::Date, 0, 0}), EditRefusal::None);
  ASSERT_EQ(e.remove(index(e, "NOTE")), EditRefusal::None);
  ASSERT_EQ(e.modify(index(e, "KEEP"), number("KEEP", 12, 3)), EditRefusal::None);
  EXPECT_EQ(e.add(number("KEEP2", 3, 0)), EditRefusal::None);
  EXPECT_EQ(e.modify(index(e, "KEEP2"), number("NOTE", 3, 0)), EditRefusal::Name);
  const std::vector<int32_t> map = e.oldToNew();
  FieldList list;
  ASSERT_TRUE(e.build(&list));
  ASSERT_EQ(xModFldStr(&db.act.tb, &list), 1);
  xFreeBuffer(list.fields);
  std::vector<char> after(db.act.tb.recordSize);
  char was[XF_VALUE_BUFFER], now[XF_VALUE_BUFFER];
  for (int32_t slot = 0; slot < 40; ++slot) {
    db.act.tb.current = slot;
    ASSERT_EQ(xGetRec(&db.act.tb, after.data()), 1);
    for (size_t k = 0; k < old.size(); ++k) {
      if (map[k] < 0) continue;
      xGetValue(old.data(), -1, was, before[slot].data(), static_cast<int32_t>(k), XF_PLAIN);
      xGetValue(db.act.tb.fields, -1, now, after.data(), map[k], XF_PLAIN);
      // KEEP is shown with one more decimal now: compare numbers as numbers.
      if (kindOfType(old[k].type) == FieldKind::Number)
        EXPECT_EQ(std::atof(now), std::atof(was)) << slot << " " << old[k].name;
      else
        EXPECT_STREQ(now, was) << slot << " " << old[k].name;
      // Fields of the system layout are byte for byte where they were.
      if (old[k].offset < 298)
        EXPECT_EQ(std::memcmp(after.data() + old[k].offset, before[slot].data() + old[k].offset,
                              xSizeOfData(&old[k], 0xFFFFFFFFu)),
                  0);
    }
    EXPECT_EQ(std::memcmp(after.data(), before[slot].data(), 298), 0);
  }
}

#undef DURATION
#undef USER1

}  // namespace
}  // namespace kelvo::testing
