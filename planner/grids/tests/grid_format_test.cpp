// The stored grid layout: bytes of the format block and column records,
// the defaults, and reading back what a damaged option file holds.
#include "kelvo/grid_format.h"

#include <cstring>

#include "grid_fixture.h"

using namespace kelvo;
using kelvo_test::GridTest;

namespace {

template <typename T>
uint16_t u16At(const T& block, int offset) {
  uint16_t v;
  std::memcpy(&v, reinterpret_cast<const char*>(&block) + offset, 2);
  return v;
}
template <typename T>
uint32_t u32At(const T& block, int offset) {
  uint32_t v;
  std::memcpy(&v, reinterpret_cast<const char*>(&block) + offset, 4);
  return v;
}

}  // namespace

TEST(GridFormat, DefaultBlockBytes) {
  const GridFormat f = defaultGridFormat();
  EXPECT_EQ(u16At(f, 0), 1);   // draw drawing objects
  EXPECT_EQ(u16At(f, 2), 0);   // columns
  EXPECT_EQ(u16At(f, 4), 0);   // rows
  EXPECT_EQ(u16At(f, 8), 52);  // header height
  EXPECT_EQ(u16At(f, 10), 52);
  EXPECT_EQ(u16At(f, 12), 84);
  const char* bytes = reinterpret_cast<const char*>(&f);
  for (int font : {14, 74}) {
    int32_t height;
    std::memcpy(&height, bytes + font, 4);
    EXPECT_EQ(height, -32);
    EXPECT_EQ(uint8_t(bytes[font + 23]), 1);                      // character set
    EXPECT_STREQ(bytes + font + 28, "\xB1\xBC\xB8\xB2\xC3\xBC");  // 굴림체
  }
  EXPECT_EQ(u32At(f, 134), 0x000080u);
  EXPECT_EQ(u32At(f, 138), 0x800000u);
  EXPECT_EQ(u32At(f, 142), 0x808080u);
  EXPECT_EQ(u32At(f, 146), 0xFFFFC0u);
  EXPECT_EQ(defaultGridFormat(96).headerHeight, 96);
}

TEST(GridFormat, ColumnRecordBytes) {
  ColumnRecord c{};
  c.field = 7;
  c.width = 340;
  c.align = kAlignCentre;
  std::strcpy(c.title, "Name");
  EXPECT_EQ(u16At(c, 0), 7);
  EXPECT_EQ(u16At(c, 2), 340);
  EXPECT_EQ(u16At(c, 4), 2);
  EXPECT_STREQ(reinterpret_cast<const char*>(&c) + 6, "Name");
}

TEST_F(GridTest, DefaultColumnsFollowTheFields) {
  const TableHandle& tb = db().act.tb;
  const std::vector<ColumnRecord> cols = defaultColumns(tb.fields, tb.fieldCount, ref_);
  ASSERT_EQ(int(cols.size()), tb.fieldCount);
  for (int i = 0; i < tb.fieldCount; ++i) {
    const FieldDesc& f = tb.fields[i];
    const int shown = std::max<int>(xGetOutLeng(tb.fields, i, ref_), int(std::strlen(f.name)));
    EXPECT_EQ(cols[i].field, i);
    EXPECT_EQ(cols[i].width, shown * 16 + 20) << f.name;
    EXPECT_EQ(cols[i].align, f.type == XF_STRING || f.type == XF_REF ? 0 : 1) << f.name;
    EXPECT_EQ(cols[i].title[0], 0);
  }
}

TEST_F(GridTest, SheetRecordAndColumnsRoundTrip) {
  OptionFileRef* opt = &db().opt;
  SheetRecord r{};
  EXPECT_FALSE(readSheetRecord(opt, ViewKind::Activities, &r));
  r.format = defaultGridFormat();
  r.format.columnCount = 2;
  r.order[0] = 1;
  r.order[1] = 10003;
  std::strcpy(r.filter, "[X] > 3");
  writeSheetRecord(opt, ViewKind::Activities, r);
  EXPECT_EQ(xOption(opt, XOPT_SIZE, 104, nullptr, 0), 276);
  SheetRecord back{};
  ASSERT_TRUE(readSheetRecord(opt, ViewKind::Activities, &back));
  EXPECT_EQ(std::memcmp(&back, &r, sizeof r), 0);

  std::vector<ColumnRecord> cols(2);
  cols[0] = {3, 200, 1, "a"};
  cols[1] = {5, 120, 0, ""};
  writeColumns(opt, ViewKind::Activities, cols);
  EXPECT_EQ(xOption(opt, XOPT_SIZE, 136, nullptr, 0), 92);
  const auto read = readColumns(opt, ViewKind::Activities, 2, db().act.tb.fieldCount);
  ASSERT_EQ(read.size(), 2u);
  EXPECT_EQ(read[0].width, 200);
  EXPECT_STREQ(read[0].title, "a");
}

TEST_F(GridTest, DamagedStoredLayoutIsMadeSafe) {
  OptionFileRef* opt = &db().opt;
  // Zero sizes would divide by zero; a field number past the table's fields
  // would read outside the record; a count above what is stored reads only
  // the whole records there are.
  SheetRecord r{};
  r.format = defaultGridFormat();
  r.format.rowHeight = 0;
  r.format.headerHeight = 0;
  r.order[0] = 400;
  std::memset(r.filter, 'x', sizeof r.filter);
  writeSheetRecord(opt, ViewKind::Resources, r);
  SheetRecord back{};
  ASSERT_TRUE(readSheetRecord(opt, ViewKind::Resources, &back));
  EXPECT_EQ(back.format.rowHeight, 1);
  EXPECT_EQ(back.format.headerHeight, 1);
  EXPECT_EQ(back.order[0], 12);
  EXPECT_EQ(std::strlen(back.filter), 99u);

  std::vector<ColumnRecord> cols(3);
  cols[0] = {0, 100, 0, ""};
  cols[1] = {999, 100, 0, ""};
  cols[2] = {-4, 100, 9, ""};
  writeColumns(opt, ViewKind::Resources, cols);
  const auto read = readColumns(opt, ViewKind::Resources, 50, db().res.tb.fieldCount);
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(read[0].field, 0);
  EXPECT_TRUE(readColumns(opt, ViewKind::Crews, 4, db().crw.tb.fieldCount).empty());
}
