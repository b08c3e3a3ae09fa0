// The map's stored block and its geometry: cell table rules, positions,
// heading sizes and groups, relation lines, colour classes.
#include "kelvo/map_model.h"

#include <gtest/gtest.h>

#include <cstring>

#include "xQdDb100.h"

namespace kelvo {
namespace {

TEST(MapSettings, DefaultBytes) {
  const MapSettings s = defaultMapSettings();
  unsigned char b[186];
  std::memcpy(b, &s, sizeof b);
  const auto u16 = [&](int at) { return b[at] | b[at + 1] << 8; };
  const auto u32 = [&](int at) { return uint32_t(u16(at)) | uint32_t(u16(at + 2)) << 16; };
  EXPECT_EQ(u16(0), 11);
  EXPECT_EQ(u16(2), 0);
  EXPECT_EQ(u16(4), 52);
  EXPECT_EQ(u16(6), 52);
  for (int font : {8, 68}) {
    EXPECT_EQ(int32_t(u32(font)), -32);
    EXPECT_EQ(b[font + 23], 1);  // character set
    EXPECT_STREQ(reinterpret_cast<const char*>(b + font + 28), "\xB1\xBC\xB8\xB2\xC3\xBC");
  }
  const uint32_t colours[] = {0x000080, 0x800000, 0x008000, 0x808080,
                              0xFFFFC0, 0xF0F0F0, 0x00FFFF, 0x00FF00};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(u32(128 + 4 * i), colours[i]) << i;
  for (int at = 160; at < 186; ++at) EXPECT_EQ(b[at], 0) << at;
}

TEST(MapCells, OneEntryPerCellInRowOrder) {
  const MapCodeList rows = {mapCode("A"), mapCode("B")};
  const MapCodeList columns = {mapCode("1"), mapCode("2"), mapCode("3")};
  const MapSource sources[] = {
      {mapCode("B"), mapCode("1"), 7}, {mapCode("A"), mapCode("3"), 3},
      {mapCode("A"), mapCode("9"), 4},  // column not listed
      {mapCode("B"), mapCode("1"), 8},  // the cell is taken by record 7
      {mapCode(""), mapCode(""), 9},   {mapCode("A"), mapCode("1"), 1},
  };
  const std::vector<MapCell> cells = buildCellTable(rows, columns, sources);
  ASSERT_EQ(cells.size(), 3u);
  EXPECT_EQ(cells[0].record, 1);
  EXPECT_EQ(cells[1].record, 3);
  EXPECT_EQ(cells[2].record, 7);
  EXPECT_EQ(findCell(cells, 1, 0)->record, 7);
  EXPECT_EQ(findCell(cells, 1, 2), nullptr);
  EXPECT_EQ(findCell(cells, -1, 0), nullptr);
  const std::vector<MapCell> right = cellsInRange(cells, 0, 5, 2, 9);
  ASSERT_EQ(right.size(), 1u);
  EXPECT_EQ(right[0].record, 3);
  EXPECT_EQ(cellsInRange(cells, 0, 1, 0, 0).size(), 2u);
}

TEST(MapGeometry, PlacesHeadingsAndGroups) {
  struct Case {
    int32_t x, y, column, xr, row, yr;
  } cases[] = {{0, 0, 0, 0, 0, 0},
               {51, -51, 0, 51, 0, -51},
               {52, -52, 1, 0, 1, 0},
               {130, -110, 2, 26, 2, -6},
               {-1, 5, -1, 51, -1, -47}};
  for (const Case& c : cases) {
    const MapPlace p = mapPlace(c.x, c.y, 52, 52);
    EXPECT_EQ(p.column, c.column) << c.x;
    EXPECT_EQ(p.xRemainder, c.xr) << c.x;
    EXPECT_EQ(p.row, c.row) << c.y;
    EXPECT_EQ(p.yRemainder, c.yr) << c.y;
  }
  EXPECT_TRUE(headingSizes(0).empty());
  EXPECT_EQ(headingSizes(1), (std::vector<int32_t>{180}));
  EXPECT_EQ(headingSizes(3), (std::vector<int32_t>{52, 52, 180}));

  const MapCodeList codes = {mapCode("A0101"), mapCode("A0102"), mapCode("A0201"),
                             mapCode("B0101")};
  const std::vector<HeadingGroup> top = headingGroups(codes, 1);
  ASSERT_EQ(top.size(), 2u);
  EXPECT_EQ(top[0].first, 0);
  EXPECT_EQ(top[0].last, 2);
  EXPECT_EQ(top[1].first, 3);
  EXPECT_EQ(headingGroups(codes, 3).size(), 3u);
}

TEST(MapGeometry, RelationLineEnds) {
  // Finish-to-start between neighbours in one row: 2/3 of the left cell to
  // 1/3 of the right one, arrowhead pointing right.
  MapRelationLine l = relationLine(2, 3, 2, 4, 0, 60, 52);
  EXPECT_EQ(l.x1, 3 * 60 + 40);
  EXPECT_EQ(l.x2, 4 * 60 + 20);
  EXPECT_EQ(l.y1, -2 * 52 - 26);
  EXPECT_EQ(l.y2, l.y1);
  EXPECT_EQ(l.headX[1], l.x2 - 10);
  EXPECT_EQ(l.headX[2], l.x2 - 10);
  EXPECT_EQ(l.headY[1] - l.headY[2], 20);
  // The other kinds' ends; a successor below gets a downward head.
  struct Case {
    int kind, predAt, succAt;
  } cases[] = {{0, 40, 20}, {1, 40, 40}, {2, 20, 20}, {3, 20, 40}};
  for (const Case& c : cases) {
    l = relationLine(0, 0, 1, 0, c.kind, 60, 52);
    EXPECT_EQ(l.x1, c.predAt) << c.kind;
    EXPECT_EQ(l.x2, c.succAt) << c.kind;
    EXPECT_EQ(l.headY[1], l.y2 + 10) << c.kind;
    EXPECT_EQ(l.headX[2] - l.headX[1], 20) << c.kind;
  }
}

TEST(MapColours, ClassesByChoice) {
  ActRecord a{};
  MapSettings s = defaultMapSettings();
  const auto cls = [&](bool head = true, bool act = true) {
    return colourClass(s, &a, sizeof a, head, act);
  };
  s.colourChoice = 1;
  a.totalFloat = 0;
  EXPECT_EQ(cls(), 1);
  a.totalFloat = 1;
  EXPECT_EQ(cls(), 0);
  a.totalFloat = -1;
  EXPECT_EQ(cls(false), 0);  // crews and resource rows have no float
  s.colourChoice = 2;
  a.actualStart = 100;
  EXPECT_EQ(cls(), 1);
  a.actualFinish = 120;
  EXPECT_EQ(cls(), 2);
  s.colourChoice = 4;  // U_CODE
  std::strcpy(a.userCode, "U2");
  std::strcpy(s.colourCode[1], "U2");
  EXPECT_EQ(cls(), 2);
  EXPECT_EQ(cls(true, false), 0);  // only activities carry the codes
  a.userCode[0] = 0;
  s.colourCode[1][0] = 0;
  EXPECT_EQ(cls(), 0);  // an empty colour code matches nothing
  s.colourChoice = 6;   // REMARK is no code
  std::strcpy(a.remark, "U2");
  EXPECT_EQ(cls(), 0);
}

}  // namespace
}  // namespace kelvo
