// Reads the generated Kelvo.ref and checks every field position that the
// program relies on: field order is the converters' column order, and each
// field must lie at its fixed byte with the expected type and width.
#include <gtest/gtest.h>
#include <stdint.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct Descriptor {
  std::string name;  // CP949
  int width;
  int decimals;
  int type;
  uint32_t flags;
  int offset;
};

struct Expect {
  const char* column;  // converter column name (documentation of the order)
  int offset;
  int type;
  int width;  // -1: not checked
};

class RefFile {
 public:
  RefFile() {
    std::ifstream in(std::string(KELVO_BIN_DIR) + "/Kelvo.ref", std::ios::binary);
    bytes_.assign(std::istreambuf_iterator<char>(in), {});
  }
  const std::vector<uint8_t>& bytes() const { return bytes_; }
  unsigned U16(size_t at) const { return bytes_[at] | bytes_[at + 1] << 8; }
  uint32_t U32(size_t at) const { return U16(at) | static_cast<uint32_t>(U16(at + 2)) << 16; }

  // Entry width, count and data offset of list L (offset 0 = no list).
  unsigned Width(int list) const { return U16(8 + 8 * list); }
  unsigned Count(int list) const { return U16(10 + 8 * list); }
  uint32_t Offset(int list) const { return U32(12 + 8 * list); }

  std::vector<Descriptor> Fields(int list) const {
    std::vector<Descriptor> out;
    if (Offset(list) == 0 || Width(list) != 41) return out;
    for (unsigned i = 0; i < Count(list); ++i) {
      const size_t at = Offset(list) + 42 * i;
      if (at + 42 > bytes_.size()) return {};
      Descriptor d;
      d.name.assign(reinterpret_cast<const char*>(&bytes_[at]));
      d.width = static_cast<int16_t>(U16(at + 32));
      d.decimals = static_cast<int8_t>(bytes_[at + 34]);
      d.type = static_cast<int8_t>(bytes_[at + 35]);
      d.flags = U32(at + 36);
      d.offset = static_cast<int16_t>(U16(at + 40));
      out.push_back(d);
    }
    return out;
  }

  std::vector<std::string> Texts(int list) const {
    std::vector<std::string> out;
    for (unsigned i = 0; i < Count(list); ++i)
      out.emplace_back(
          reinterpret_cast<const char*>(&bytes_[Offset(list) + i * (Width(list) + 1)]));
    return out;
  }

 private:
  std::vector<uint8_t> bytes_;
};

int FieldSize(const Descriptor& d) {
  switch (d.type) {
    case 4:
    case 7:
    case 12:
    case 13:
      return 2;
    case 5:
    case 8:
    case 9:
    case 14:
      return 4;
    case 10:
      return 8;
    case 11:
      return d.width + 1;
  }
  return 1;
}

// Field i of the list must match expect[i] (the converters' column order).
void ExpectInOrder(const RefFile& ref, int list, const std::vector<Expect>& expect) {
  const std::vector<Descriptor> fields = ref.Fields(list);
  ASSERT_GE(fields.size(), expect.size()) << "list " << list;
  for (size_t i = 0; i < expect.size(); ++i) {
    SCOPED_TRACE(std::string("list ") + std::to_string(list) + " column " + expect[i].column);
    EXPECT_EQ(fields[i].offset, expect[i].offset);
    EXPECT_EQ(fields[i].type, expect[i].type);
    if (expect[i].width >= 0) {
      EXPECT_EQ(fields[i].width, expect[i].width);
    }
  }
}

// Some field of the list must lie at each expected position.
void ExpectAtPositions(const RefFile& ref, int list, const std::vector<Expect>& expect) {
  const std::vector<Descriptor> fields = ref.Fields(list);
  for (const Expect& e : expect) {
    SCOPED_TRACE(std::string("list ") + std::to_string(list) + " byte " + std::to_string(e.offset));
    const Descriptor* found = nullptr;
    for (const Descriptor& d : fields)
      if (d.offset == e.offset) found = &d;
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->type, e.type);
    if (e.width >= 0) {
      EXPECT_EQ(found->width, e.width);
    }
  }
}

void ExpectInsideRecord(const RefFile& ref, int list, int recordLength) {
  std::vector<std::pair<int, int>> spans;
  for (const Descriptor& d : ref.Fields(list)) {
    EXPECT_GE(d.offset, 0) << d.name;
    EXPECT_LE(d.offset + FieldSize(d), recordLength) << "list " << list;
    EXPECT_LT(d.name.size(), 32u);
    spans.emplace_back(d.offset, d.offset + FieldSize(d));
  }
  std::sort(spans.begin(), spans.end());
  for (size_t i = 1; i < spans.size(); ++i)
    EXPECT_GE(spans[i].first, spans[i - 1].second) << "list " << list << " overlap";
}

enum { I16 = 4, I32 = 5, F32 = 9, F64 = 10, TXT = 11, DATE = 12, REF = 13 };

TEST(ReferenceFile, HeaderAndDirectory) {
  RefFile ref;
  ASSERT_GT(ref.bytes().size(), 512u);
  EXPECT_EQ(ref.bytes()[0], 'Q');
  EXPECT_EQ(ref.bytes()[1], 'z');
  EXPECT_EQ(ref.U16(2), 1u);  // reference file version
  for (int list = 10; list <= 18; ++list) {
    EXPECT_EQ(ref.Width(list), 41u) << list;  // 42-byte descriptors
    EXPECT_GT(ref.Count(list), 0u) << list;
    EXPECT_LE(ref.Offset(list) + ref.Count(list) * 42ull, ref.bytes().size()) << list;
  }
}

TEST(ReferenceFile, TextLists) {
  RefFile ref;
  EXPECT_EQ(ref.Texts(0), (std::vector<std::string>{"FS", "FF", "SS", "SF"}));
  // Activity kinds 보통, 이정표, 시분할 in CP949.
  EXPECT_EQ(ref.Texts(1), (std::vector<std::string>{"\xba\xb8\xc5\xeb", "\xc0\xcc\xc1\xa4\xc7\xa5",
                                                    "\xbd\xc3\xba\xd0\xc7\xd2"}));
  EXPECT_EQ(ref.Count(2), 7u);  // constraint kinds 0..6
  // Every reference field points at a list that exists and is a text list.
  for (int list = 10; list <= 18; ++list) {
    for (const Descriptor& d : ref.Fields(list)) {
      if (d.type == REF) {
        EXPECT_NE(ref.Offset(d.width), 0u) << d.name;
      }
    }
  }
}

TEST(ReferenceFile, ClassificationAndResourceTables) {
  RefFile ref;
  ExpectInOrder(ref, 10,
                {{"CODE", 4, TXT, 10},
                 {"TITLE", 15, TXT, -1},
                 {"SIZE", 56, TXT, 40},
                 {"UNIT", 97, TXT, 6},
                 {"CQ", 104, F64, -1},
                 {"CU", 112, F64, -1},
                 {"EU", 120, F64, -1},
                 {"AU", 128, F64, -1},
                 {"DQ", 136, F64, -1},
                 {"DU", 144, I16, -1}});
  ExpectInOrder(ref, 11, {{"CODE", 4, TXT, 10}, {"TITLE", 15, TXT, 40}});
  ExpectInOrder(ref, 12, {{"CODE", 2, TXT, 10}, {"TITLE", 13, TXT, -1}});
  ExpectInOrder(ref, 13,
                {{"W_CODE", 2, TXT, 10},
                 {"R_CODE", 13, TXT, 10},
                 {"UQ", 24, F64, -1},
                 {"AQ", 32, F64, -1},
                 {"AUQ", 40, F64, -1},
                 {"CQ", 48, I32, -1}});
  ExpectInOrder(
      ref, 16,
      {{"A_CODE", 2, TXT, 20}, {"R_CODE", 23, TXT, 10}, {"QTY", 34, F64, -1}, {"AQ", 42, F64, -1}});
  ExpectInsideRecord(ref, 10, 146);
  ExpectInsideRecord(ref, 11, 56);
  ExpectInsideRecord(ref, 12, 106);
  ExpectInsideRecord(ref, 13, 52);
  ExpectInsideRecord(ref, 16, 50);
  // The summary rows carry the resource's texts at 137 (7 bytes) and 144 (41).
  ExpectAtPositions(ref, 12, {{"UNIT", 95, TXT, 6}, {"SIZE", 54, TXT, 40}});
}

TEST(ReferenceFile, ActivityTableInConverterOrder) {
  RefFile ref;
  ExpectInOrder(
      ref, 14,
      {{"CODE", 216, TXT, 20},       {"TITLE", 237, TXT, 60},    {"DU", 2, I16, -1},
       {"RDU", 4, I16, -1},          {"START", 8, DATE, -1},     {"FINISH", 10, DATE, -1},
       {"ES", 12, DATE, -1},         {"EF", 14, DATE, -1},       {"LS", 16, DATE, -1},
       {"LF", 18, DATE, -1},         {"TF", 6, I16, -1},         {"FF", 102, I16, -1},
       {"AS", 20, DATE, -1},         {"AF", 22, DATE, -1},       {"CONST_DATE", 104, DATE, -1},
       {"CONST_TYPE", 106, REF, -1}, {"CAL_NO", 108, I16, -1},   {"O_DU", 24, I16, -1},
       {"O_START", 26, DATE, -1},    {"O_FINISH", 28, DATE, -1}, {"O_ES", 30, DATE, -1},
       {"O_EF", 32, DATE, -1},       {"O_LS", 34, DATE, -1},     {"O_LF", 36, DATE, -1},
       {"PATH", 110, I16, -1},       {"TYPE", 112, REF, 1},      {"W_CODE", 120, TXT, 10},
       {"O_CODE", 131, TXT, 10},     {"MANAGER", 164, TXT, 10},  {"SUBCON", 142, TXT, 10},
       {"U_CODE", 153, TXT, 10},     {"QTY", 46, F64, -1},       {"CU", 78, F64, -1},
       {"EU", 86, F64, -1},          {"AU", 94, F64, -1},        {"WGT", 38, F32, -1},
       {"REMARK", 175, TXT, 40},     {"VALUE1", 54, F64, -1},    {"VALUE2", 62, F64, -1},
       {"VALUE3", 70, F64, -1}});
  ExpectInsideRecord(ref, 14, 298);
  const std::vector<Descriptor> act = ref.Fields(14);
  ASSERT_EQ(act.size(), 40u);
  // The quantity is the 32nd field; VALUE1-3 are fields 38-40 (counted from 1).
  EXPECT_EQ(act[31].offset, 46);
  EXPECT_EQ(act[37].offset, 54);
  // Bytes that belong to the program and to no field: flags, execution
  // weight, successor anchor day and map place.
  for (const Descriptor& d : act) {
    for (int owned : {0, 42, 114, 116, 118}) {
      EXPECT_FALSE(d.offset <= owned && owned < d.offset + FieldSize(d)) << owned;
    }
  }
}

TEST(ReferenceFile, RelationTable) {
  RefFile ref;
  ExpectInOrder(ref, 15,
                {{"P_CODE", 2, TXT, 20},
                 {"S_CODE", 23, TXT, 20},
                 {"TYPE", 44, REF, 0},
                 {"LAG", 46, I16, -1},
                 {"PATH", 48, I16, -1}});
  ExpectInsideRecord(ref, 15, 50);
  // A signed lag needs a column for its sign.
  EXPECT_GE(ref.Fields(15)[3].width, 4);
}

TEST(ReferenceFile, FlagsCarryDigitClassesAndProtection) {
  RefFile ref;
  const std::vector<Descriptor> act = ref.Fields(14);
  auto at = [&](int offset) {
    for (const Descriptor& d : act)
      if (d.offset == offset) return d.flags;
    return 0xFFFFFFFFu;
  };
  for (int duration : {2, 4, 6, 24, 102}) EXPECT_TRUE(at(duration) & 0x40000000) << duration;
  EXPECT_TRUE(at(46) & 0x20000000);  // quantity
  for (int price : {78, 86, 94}) EXPECT_TRUE(at(price) & 0x10000000) << price;
  EXPECT_TRUE(at(38) & 0x04000000);  // contract weight
  for (int computed : {6, 12, 14, 16, 18, 102, 38}) EXPECT_TRUE(at(computed) & 0x02) << computed;
  for (int typed : {2, 8, 10, 20, 22, 46, 216}) EXPECT_FALSE(at(typed) & 0x02) << typed;
  for (const Descriptor& d : act) EXPECT_TRUE(d.flags & 0x01) << d.name;
  // Only the name (last in byte order) and the user items may change format:
  // a wider text anywhere else would move the fields behind it.
  for (const Descriptor& d : act) {
    const bool reshapable = d.flags & 0x80000000u;
    EXPECT_EQ(reshapable, d.offset == 237 || d.offset == 54 || d.offset == 62 || d.offset == 70)
        << d.offset;
  }
}

// Floats and the differences of amounts go negative: each is marked signed
// and one column wider than its digit class, so the sign is never cut off.
TEST(ReferenceFile, SignedValuesHaveAColumnForTheSign) {
  RefFile ref;
  auto find = [&](int list, int offset) {
    for (const Descriptor& d : ref.Fields(list))
      if (d.offset == offset) return d;
    return Descriptor{};
  };
  const struct {
    int list, offset, width;
  } signedFields[] = {{14, 6, 6},    {14, 102, 6},  {17, 6, 6},
                      {17, 230, 13}, {17, 238, 13}, {17, 246, 13}};
  for (const auto& f : signedFields) {
    const Descriptor d = find(f.list, f.offset);
    EXPECT_TRUE(d.flags & 0x200) << f.list << "/" << f.offset;
    EXPECT_EQ(d.width, f.width) << f.list << "/" << f.offset;
  }
  for (int unsignedField : {2, 4, 24}) EXPECT_FALSE(find(14, unsignedField).flags & 0x200);
}

TEST(ReferenceFile, SummaryRows) {
  RefFile ref;
  std::vector<Expect> activity = {{"", 396, TXT, 40}, {"", 2, I16, -1},   {"", 38, F32, -1},
                                  {"", 42, F32, -1},  {"", 46, F64, -1},  {"", 282, I16, -1},
                                  {"", 284, I32, -1}, {"", 288, I32, -1}, {"", 292, I16, -1},
                                  {"", 294, TXT, 10}, {"", 305, TXT, 10}, {"", 316, TXT, 10},
                                  {"", 327, TXT, 20}, {"", 348, TXT, 6},  {"", 355, TXT, 40}};
  for (int date = 8; date <= 36; date += 2)
    if (date != 24) activity.push_back({"", date, DATE, -1});
  for (int value = 46; value <= 246; value += 8) activity.push_back({"", value, F64, -1});
  for (int rate = 254; rate <= 278; rate += 4) activity.push_back({"", rate, F32, -1});
  ExpectAtPositions(ref, 17, activity);
  ExpectInsideRecord(ref, 17, 397 + 40);

  std::vector<Expect> resource = {{"", 2, I16, -1},   {"", 60, I16, -1}, {"", 62, I32, -1},
                                  {"", 66, I32, -1},  {"", 70, I16, -1}, {"", 72, TXT, 10},
                                  {"", 83, TXT, 10},  {"", 94, TXT, 10}, {"", 105, TXT, 20},
                                  {"", 126, TXT, 10}, {"", 137, TXT, 6}, {"", 144, TXT, 40},
                                  {"", 185, TXT, 40}};
  for (int value = 4; value <= 52; value += 8) resource.push_back({"", value, F64, -1});
  ExpectAtPositions(ref, 18, resource);
  ExpectInsideRecord(ref, 18, 186 + 40);
}

}  // namespace
