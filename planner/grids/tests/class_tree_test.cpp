// The classification tree without widgets: levels of codes, the items built
// from the sample project's codes, the children a node lists and the codes
// of a copied branch.
#include "kelvo/class_tree.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace kelvo;

namespace {

ClassDef makeDef(std::initializer_list<int> lengths) {
  ClassDef def{};
  int start = 0;
  for (int length : lengths) {
    def.start[def.levels] = int16_t(start);
    def.length[def.levels] = int16_t(length);
    start += length;
    ++def.levels;
  }
  return def;
}

// The work-type classification of the sample project (1, 2, 2) and part of
// its codes, in code order; the record is the line number.
const ClassDef kWork = makeDef({1, 2, 2});
const ClassDef kFacility = makeDef({1, 2});
const std::vector<ClassCode> kWorkCodes = {
    {"A", "가설공사", 0},     {"A01", "공통가설", 1},     {"A0101", "가설울타리", 2},
    {"A0102", "해체", 3},     {"B", "토공사", 4},         {"B01", "토공", 5},
    {"B0101", "흙막이", 6},   {"C", "철근콘크리트", 7},   {"C01", "기초", 8},
    {"C0101", "버림", 9},     {"C0102", "기초 철근", 10}, {"C02", "골조", 11},
    {"C0201", "철근", 12},    {"C0202", "타설", 13},      {"K", "공정 관리", 14},
    {"K01", "주요 시점", 15}, {"K0103", "준공", 16}};

// A code index as the store keeps it: CodeEntry records in code order.
struct CodeIndex {
  MemTable table{};
  explicit CodeIndex(const std::vector<ClassCode>& codes) {
    xmOpenTb(&table, sizeof(CodeEntry), nullptr, 16);
    for (const ClassCode& c : codes) {
      CodeEntry e{};
      std::strncpy(e.code, c.code.c_str(), sizeof e.code - 1);
      e.record = c.record;
      xmAdd(&table, &e);
    }
  }
  ~CodeIndex() { xmCloseTb(&table); }
};

std::vector<int32_t> recordsOf(const std::vector<ClassCode>& codes,
                               std::initializer_list<const char*> wanted) {
  std::vector<int32_t> records;
  for (const char* w : wanted)
    for (const ClassCode& c : codes)
      if (c.code == w) records.push_back(c.record);
  return records;
}

}  // namespace

TEST(ClassTree, LevelOfACodeAndItsOwnPart) {
  struct Case {
    const char* code;
    int level;
    const char* part;
  } cases[] = {{"A", 0, "A"},    {"A01", 1, "01"}, {"A0102", 2, "02"},
               {"A0", -1, "A0"}, {"", -1, ""},     {"A010203", -1, "A010203"}};
  for (const Case& c : cases) {
    EXPECT_EQ(classCodeLevel(kWork, c.code), c.level) << c.code;
    EXPECT_EQ(classLevelPart(kWork, c.code), c.part) << c.code;
  }
  EXPECT_EQ(classCodeLength(kWork, 2), 5);
  EXPECT_EQ(classCodeLength(kWork, 3), 0);
}

TEST(ClassTree, ItemsHangUnderTheirParentCodeAndShowTheirOwnPart) {
  std::vector<ClassCode> codes = kWorkCodes;
  // An orphan (no "Z" above it) and a code of no level go under the root
  // with their whole code.
  codes.push_back({"Z01", "orphan", 90});
  codes.push_back({"Z0", "odd", 91});
  const std::vector<ClassTreeItem> items = buildClassTreeItems(kWork, codes);
  ASSERT_EQ(items.size(), codes.size());
  auto item = [&](const char* code) -> const ClassTreeItem& {
    for (size_t i = 0; i < codes.size(); ++i)
      if (codes[i].code == code) return items[i];
    ADD_FAILURE() << code;
    return items[0];
  };
  auto parentCode = [&](const char* code) -> std::string {
    const int p = item(code).parent;
    return p < 0 ? "(root)" : codes[size_t(p)].code;
  };
  EXPECT_EQ(item("A").text, "A 가설공사");
  EXPECT_EQ(item("A01").text, "01 공통가설");
  EXPECT_EQ(item("C0202").text, "02 타설");
  EXPECT_EQ(parentCode("A"), "(root)");
  EXPECT_EQ(parentCode("C02"), "C");
  EXPECT_EQ(parentCode("C0201"), "C02");
  // The last item one level up is C02, but K0103's parent is K01.
  EXPECT_EQ(parentCode("K0103"), "K01");
  EXPECT_EQ(parentCode("Z01"), "(root)");
  EXPECT_EQ(item("Z01").text, "Z01 orphan");
  EXPECT_EQ(item("Z0").level, -1);
  EXPECT_EQ(item("Z0").text, "Z0 odd");
}

TEST(ClassTree, ANodeListsItsDirectChildrenOnly) {
  std::vector<ClassCode> codes = kWorkCodes;
  // A deeper code whose parent is missing is not a child of "C".
  codes.insert(codes.begin() + 14, {"C0301", "orphan", 40});
  const CodeIndex index(codes);
  struct Case {
    int childLevel;
    const char* prefix;
    std::vector<int32_t> expected;
  } cases[] = {
      {0, "", recordsOf(codes, {"A", "B", "C", "K"})},
      {1, "C", recordsOf(codes, {"C01", "C02"})},
      {2, "C01", recordsOf(codes, {"C0101", "C0102"})},
      {2, "K01", recordsOf(codes, {"K0103"})},
      {1, "D", {}},      // no such code
      {3, "C0101", {}},  // a final-level code lists nothing
      {-1, "", {}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(childCodeRecords(index.table, kWork, c.childLevel, c.prefix), c.expected)
        << c.childLevel << " " << c.prefix;
}

TEST(ClassTree, HighBytesInCodesNeitherWrapNorLoop) {
  // The facility classification (1, 2) with a last level-0 code of byte
  // 0xFF and a CP949 code whose last byte is a trail byte.
  const std::vector<ClassCode> codes = {
      {"1", "", 1},    {"101", "", 2},          {"2", "", 3},    {"2RF", "", 4},
      {"\xB0", "", 5}, {"\xB0\xA1\xFF", "", 6}, {"\xFF", "", 7}, {"\xFF\xFF\xFF", "", 8}};
  const CodeIndex index(codes);
  EXPECT_EQ(childCodeRecords(index.table, kFacility, 0, ""), (std::vector<int32_t>{1, 3, 5, 7}));
  EXPECT_EQ(childCodeRecords(index.table, kFacility, 1, "\xFF"), (std::vector<int32_t>{8}));
  EXPECT_EQ(childCodeRecords(index.table, kFacility, 1, "\xB0"), (std::vector<int32_t>{6}));
}

TEST(ClassTree, ACopiedBranchIsRenumberedUnderItsNewCode) {
  const CodeIndex index(kWorkCodes);
  std::vector<std::string> renumbered;
  for (const ClassCode& c : codesBelow(index.table, "C"))
    renumbered.push_back(renumberedCode(c.code, 1, "L"));
  EXPECT_EQ(renumbered,
            (std::vector<std::string>{"L01", "L0101", "L0102", "L02", "L0201", "L0202"}));
  // A final-level code has nothing below it; an unknown code neither.
  EXPECT_TRUE(codesBelow(index.table, "C0101").empty());
  EXPECT_TRUE(codesBelow(index.table, "X").empty());
  EXPECT_EQ(renumberedCode("C0102", 3, "A03"), "A0302");
}
