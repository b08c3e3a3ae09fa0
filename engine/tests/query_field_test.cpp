// Field names in expressions: lookup across bound tables and loading each
// field type from the current record.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "query_test_util.h"

namespace {

FieldDesc Field(const char* name, int type, int16_t offset, int16_t width = 0) {
  FieldDesc fd{};
  std::strncpy(fd.name, name, sizeof fd.name - 1);
  fd.type = static_cast<int8_t>(type);
  fd.offset = offset;
  fd.width = width;
  return fd;
}

// A table that exists only as descriptors, with one record buffer.
struct MemoryTable {
  std::vector<FieldDesc> fields;
  std::vector<unsigned char> record;
  TableBinding binding{};

  MemoryTable(std::vector<FieldDesc> fds, size_t size) : fields(std::move(fds)), record(size) {
    binding.tb.fields = fields.data();
    binding.tb.fieldCount = static_cast<int16_t>(fields.size());
    binding.tb.recordSize = static_cast<uint16_t>(size);
  }
  template <typename T>
  void Put(size_t offset, T value) {
    std::memcpy(record.data() + offset, &value, sizeof value);
  }
};

// Every loadable type, back to back.
MemoryTable AllTypes() {
  MemoryTable t({Field("C", 2, 0), Field("I8", 3, 1), Field("I16", 4, 2), Field("I32", 5, 4),
                 Field("U8", 6, 8), Field("U16", 7, 9), Field("U32", 8, 11), Field("F", 9, 15),
                 Field("D", 10, 19), Field("S", 11, 27, 5), Field("Dt", 12, 33),
                 Field("Ref", 13, 35, 3), Field("Raw", 14, 37), Field("Odd", 1, 41)},
                42);
  t.Put<char>(0, 'Q');
  t.Put<int8_t>(1, -5);
  t.Put<int16_t>(2, -300);
  t.Put<int32_t>(4, -70000);
  t.Put<uint8_t>(8, 250);
  t.Put<uint16_t>(9, 65000);
  t.Put<uint32_t>(11, 4000000000u);
  t.Put<float>(15, 0.1f);
  t.Put<double>(19, 2.5);
  std::memcpy(t.record.data() + 27, "ABC\0\0", 6);
  t.Put<uint16_t>(33, (20 << 9) | (1 << 5) | 10);
  t.Put<uint16_t>(35, 2);
  t.Put<int32_t>(37, -2);
  return t;
}

class QueryFields : public ::testing::Test {
 protected:
  MemoryTable t = AllTypes();
  TableBinding* bindings[1] = {&t.binding};
  const void* records[1] = {t.record.data()};

  Checked Check(int32_t expected, const char* text) {
    return CheckExpr(expected, text, bindings, records, 1);
  }
  double Number(const char* text) {
    const Checked c = Check(10, text);
    EXPECT_EQ(c.ok, 1) << text << " error " << c.error;
    return c.number();
  }
};

TEST_F(QueryFields, NumbersLoadExactly) {
  EXPECT_EQ(Number("[I8]"), -5);
  EXPECT_EQ(Number("[I16]"), -300);
  EXPECT_EQ(Number("[I32]"), -70000);
  EXPECT_EQ(Number("[U8]"), 250);
  EXPECT_EQ(Number("[U16]"), 65000);
  EXPECT_EQ(Number("[U32]"), 4000000000.0);
  EXPECT_EQ(Number("[D]"), 2.5);
  EXPECT_EQ(Number("[Ref]"), 2);
  EXPECT_EQ(Number("[Raw]"), -2);
}

TEST_F(QueryFields, FloatsLoadAsTheirSixDecimalText) {
  EXPECT_EQ(Number("[F]"), 0.1);  // not 0.100000001490116
  t.Put<float>(15, 0.0078125f);   // an exact half at the seventh decimal
  EXPECT_EQ(Number("[F]"), 0.007813);
  t.Put<float>(15, -0.0078125f);
  EXPECT_EQ(Number("[F]"), -0.007813);
  t.Put<float>(15, 16777216.0f);
  EXPECT_EQ(Number("[F]"), 16777216.0);
  t.Put<float>(15, 3.0e38f);
  EXPECT_EQ(Number("[F]"), static_cast<double>(3.0e38f));
}

TEST_F(QueryFields, StringsCharactersAndDates) {
  Checked c = Check(11, "[S]");
  EXPECT_EQ(c.text(), "ABC");
  EXPECT_EQ(c.value.u.string.text, reinterpret_cast<const char*>(t.record.data() + 27));
  c = Check(11, "[C]");
  EXPECT_EQ(c.text(), "Q");
  EXPECT_EQ(Check(12, "[Dt]").value.u.date, (20 << 9) | (1 << 5) | 10);
  EXPECT_EQ(Check(0, "[S] = 'AB' & [C] = 'Q' & [S] : 'BC'").truth(), true);
  // A string that fills its width without a NUL stops at the field's end.
  std::memcpy(t.record.data() + 27, "VWXYZ!", 6);
  EXPECT_EQ(Check(11, "[S]").text(), "VWXYZ");
}

TEST_F(QueryFields, TypesWithoutAValueAreRefused) {
  const Checked c = Check(10, "1 + [Odd]");
  EXPECT_EQ(c.ok, 0);
  EXPECT_EQ(c.error, 21017);
  EXPECT_EQ(c.pos, 4u);
}

TEST_F(QueryFields, FieldOutsideTheRecordLoadsEmpty) {
  t.fields[9].offset = 40;  // string of width 5 at 40 would end at 46 > 42
  EXPECT_EQ(Check(11, "[S]").text(), "");
  t.fields[3].offset = -2;
  EXPECT_EQ(Number("[I32]"), 0);
}

TEST_F(QueryFields, MissingRecordBufferLoadsEmpty) {
  const Checked c = CheckExpr(10, "[I32] + 1", bindings, nullptr, 1);
  EXPECT_EQ(c.ok, 1);
  EXPECT_EQ(c.number(), 1);
}

TEST_F(QueryFields, NamesAreExactAndCaseSensitive) {
  EXPECT_EQ(Check(10, "[i8]").error, 21024);
  EXPECT_EQ(Check(10, "[I8 ]").error, 21024);
  EXPECT_EQ(Check(10, "[]").error, 21024);
}

TEST(QueryBindings, FirstTableWithTheNameWins) {
  MemoryTable a({Field("X", 5, 0), Field("OnlyA", 5, 4)}, 8);
  MemoryTable b({Field("X", 5, 0), Field("OnlyB", 5, 4)}, 8);
  a.Put<int32_t>(0, 1);
  a.Put<int32_t>(4, 10);
  b.Put<int32_t>(0, 2);
  b.Put<int32_t>(4, 20);
  TableBinding* bindings[2] = {&a.binding, &b.binding};
  const void* records[2] = {a.record.data(), b.record.data()};
  const Checked c = CheckExpr(10, "[X] * 100 + [OnlyA] + [OnlyB]", bindings, records, 2);
  EXPECT_EQ(c.ok, 1);
  EXPECT_EQ(c.number(), 130);
  // A null binding is skipped, not followed.
  TableBinding* withGap[2] = {nullptr, &b.binding};
  EXPECT_EQ(CheckExpr(10, "[X]", withGap, records, 2).number(), 2);
}

TEST(QueryEvaluation, OneCheckThenOneEvaluationPerRecord) {
  MemoryTable t({Field("Dur", 4, 0), Field("Name", 11, 2, 10)}, 13);
  TableBinding* bindings[1] = {&t.binding};
  const void* records[1] = {t.record.data()};
  QueryCtx q{};
  const Checked c = CheckExpr(0, "[Dur] > 5 & [Name] : 'EX'", bindings, records, 1, &q);
  ASSERT_EQ(c.ok, 1);
  EXPECT_EQ(q.current, 7);  // seven tokens, then the end token
  EXPECT_EQ(q.tokens[7].kind, XJOR_TK_OPERATOR);
  EXPECT_EQ(q.tokens[7].u.op, XJOR_OP_END);

  struct Row {
    int16_t dur;
    const char* name;
    bool expected;
  } rows[] = {
      {6, "EXCAVATE", true}, {5, "EXCAVATE", false}, {9, "FOOTING", false}, {100, "INDEX", true}};
  for (const Row& r : rows) {
    std::memset(t.record.data(), 0, t.record.size());
    t.Put<int16_t>(0, r.dur);
    std::strcpy(reinterpret_cast<char*>(t.record.data() + 2), r.name);
    xExeQuery(&q);
    EXPECT_EQ(q.result.type, XJOR_QV_BOOLEAN);
    EXPECT_EQ(q.result.u.boolean.value != 0, r.expected) << r.name << " " << r.dur;
  }

  const Checked calc = CheckExpr(10, "[Dur] * 2", bindings, records, 1, &q);
  EXPECT_EQ(calc.ok, 1);
  t.Put<int16_t>(0, 21);
  xExeQuery(&q);
  EXPECT_EQ(q.result.u.number, 42);
}

TEST(QueryEvaluation, BindingsRemovedAfterTheCheckFailAtRunTime) {
  MemoryTable t({Field("Dur", 4, 0)}, 2);
  TableBinding* bindings[1] = {&t.binding};
  const void* records[1] = {t.record.data()};
  QueryCtx q{};
  ASSERT_EQ(CheckExpr(10, "[Dur] + 1", bindings, records, 1, &q).ok, 1);
  q.bindingCount = 0;
  xSetDbError(0);
  xExeQuery(&q);
  EXPECT_EQ(xGetDbError(), 21017);
}

}  // namespace
