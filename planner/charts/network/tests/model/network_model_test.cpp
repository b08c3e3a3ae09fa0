// The network block's bytes, relation routes between paths, and the texts
// written on relation lines.
#include "kelvo/network_model.h"

#include <gtest/gtest.h>

#include <cstring>

#include "kelvo/network_label.h"
#include "xjor/packed_date.h"

namespace {

uint16_t march(int d) {
  return xjor::packDate(2026, 3, d);
}

// 10 units a day from 1 March, rows 50 high, no left table.
kelvo::TimeScale scale() {
  kelvo::TimeScaleSettings s = kelvo::defaultNetScale(march(1), march(31));
  s.stepWidth = 10;
  s.rowHeight = 50;
  s.leftTableWidth = 0;
  return kelvo::TimeScale(s, march(1), march(31));
}

TEST(NetBlock, DefaultBytes) {
  const kelvo::NetBlock b = kelvo::defaultNetBlock();
  unsigned char bytes[110];
  std::memcpy(bytes, &b, sizeof bytes);
  // Widths 1, 5, 1, 20; colours FF0000, 0000FF, 008000, 008080 (0x00BBGGRR).
  const unsigned char head[24] = {1,    0, 5, 0, 1, 0,    20, 0, 0,    0,    0xFF, 0,
                                  0xFF, 0, 0, 0, 0, 0x80, 0,  0, 0x80, 0x80, 0,    0};
  EXPECT_EQ(std::memcmp(bytes, head, sizeof head), 0);
  // Field 1 above and field 2 below, each ended by 0xFF.
  EXPECT_EQ(bytes[24], 1);
  EXPECT_EQ(bytes[25], 0xFF);
  EXPECT_EQ(bytes[64], 2);
  EXPECT_EQ(bytes[65], 0xFF);
  // Label line height 32 at 106.
  EXPECT_EQ(bytes[106], 32);
  EXPECT_EQ(bytes[107], 0);
}

TEST(NetRoute, OrthogonalLinesStopAtTheNodes) {
  const kelvo::TimeScale s = scale();
  const kelvo::NodeEdge edge{10, 10};
  const auto route = [&](kelvo::NetLink l) {
    return kelvo::routeRelation(l, s, edge, 0, 0, 1000, -1000);
  };
  // Path 1's centre is at -25, path 3's at -125, row 2's at -75.
  EXPECT_EQ(kelvo::pathCentre(1, s), -25);
  EXPECT_EQ(kelvo::pathAt(-26, s), 1);
  EXPECT_EQ(kelvo::pathAt(-50, s), 2);

  // Same path: a straight line from the predecessor's edge to the
  // successor's, with the arrowhead pointing right.
  kelvo::NetRoute r = route({1, 1, 1, march(5), march(9)});
  ASSERT_EQ(r.count, 2);
  EXPECT_EQ(r.x[0], 40 + 10);
  EXPECT_EQ(r.x[1], 80 - 10);
  EXPECT_EQ(r.y[0], -25);
  EXPECT_EQ(r.y[1], -25);
  EXPECT_EQ(r.headX[0], 60);
  EXPECT_EQ(r.headY[0], -15);

  // Path 1 to path 3 along row 2: down out of the node's bottom, across at
  // -75, down into the successor's top.
  r = route({1, 3, 2, march(5), march(9)});
  ASSERT_EQ(r.count, 4);
  const int32_t xs[4] = {40, 40, 80, 80}, ys[4] = {-35, -75, -75, -115};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(r.x[i], xs[i]) << i;
    EXPECT_EQ(r.y[i], ys[i]) << i;
  }
  EXPECT_EQ(r.headY[0], -105);

  // Row 0 runs along the predecessor's path; upward routes leave the top.
  r = route({3, 1, 0, march(5), march(9)});
  ASSERT_EQ(r.count, 3);
  EXPECT_EQ(r.y[0], -125);
  EXPECT_EQ(r.x[0], 50);
  EXPECT_EQ(r.y[2], -35);
  // A successor straight below on the day the predecessor leaves: one
  // vertical leg from edge to edge, the arrowhead pointing down.
  r = route({1, 2, 2, march(5), march(5)});
  ASSERT_EQ(r.count, 2);
  EXPECT_EQ(r.x[1], 40);
  EXPECT_EQ(r.y[0], -35);
  EXPECT_EQ(r.y[1], -65);
  EXPECT_EQ(r.headY[0], -55);

  // Ends out of sight run 20 units past the edge.
  r = kelvo::routeRelation({1, 30, 2, march(5), march(30)}, s, edge, 0, 0, 100, -500);
  EXPECT_EQ(r.x[3], 120);
  EXPECT_EQ(r.y[3], -520);

  // Nothing to draw: the same day on the same path, or a path <= 0.
  EXPECT_EQ(route({2, 2, 2, march(5), march(5)}).count, 0);
  EXPECT_EQ(route({0, 2, 2, march(5), march(9)}).count, 0);
  EXPECT_EQ(route({1, 2, 2, 0, march(9)}).count, 0);
  // A hit within 10 units of a leg.
  r = route({1, 3, 2, march(5), march(9)});
  EXPECT_EQ(kelvo::distanceToRoute(r, 60, -70), 5);
  EXPECT_EQ(kelvo::distanceToRoute(r, 100, -100), 20);
}

TEST(NetRoute, RelationTexts) {
  EXPECT_EQ(kelvo::relationText(0, 3), "FS 3");
  EXPECT_EQ(kelvo::relationText(1, -1), "FF -1");
  EXPECT_EQ(kelvo::relationText(2, 0), "SS 0");
  EXPECT_EQ(kelvo::relationText(3, 2), "SF 2");
}

}  // namespace

namespace {

// Fields 0..4 of a pretend table: 0 a number 4 wide, 1 a code 6 wide, 2 a
// long name 10 wide holding Hangul (two bytes a syllable).
kelvo::LabelValue field(int i) {
  switch (i) {
    case 0:
      return {"12", 4, true};
    case 1:
      return {"A10", 6, false};
    default:
      return {
          "\xB0\xA1\xB0\xA1\xB0\xA1"
          "abcdef",
          10, false};
  }
}
int widthOf(int i) {
  return field(i).width;
}

TEST(NetLabel, TemplatesAreReadDefensivelyAndWrapped) {
  // Field 0, field 1 on one line; a literal; a line break; field 2 wrapped
  // over three lines; a stray 0xFD, a field beyond the table (9) and bytes
  // after the end mark are skipped.
  const uint8_t t[40] = {0, 1, 0xFC, 'd', 'a', 'y', 0, 0xFE, 2, 0xFD, 0xFD, 0xFD, 9, 0xFF, 1, 1, 1};
  const auto items = kelvo::parseLabelTemplate(t, sizeof t, 5);
  ASSERT_EQ(items.size(), 5u);
  EXPECT_EQ(items[2].text, "day");
  EXPECT_EQ(items[4].extraLines, 3);
  // Line 1: 4 + 1 + 6 + 1 + 3 = 15 characters; field 2 counts ceil(10 / 4).
  EXPECT_EQ(kelvo::labelLineChars(items, widthOf), 15);
  EXPECT_EQ(kelvo::labelLineCount(items), 5);
  // Wrapped at 5 bytes: a Hangul pair is never split (4 bytes, then 4).
  const auto lines = kelvo::labelLines(items, field, 5);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "  12 A10    day");
  EXPECT_EQ(lines[1], "\xB0\xA1\xB0\xA1");
  EXPECT_EQ(lines[2],
            "\xB0\xA1"
            "abc");
  EXPECT_EQ(lines[3], "def");
  // Lines narrower than a Hangul character still take it whole, and the
  // marks stay marks in a table of 0xFC fields or more.
  const uint8_t wrapped[] = {0, 0xFD, 0xFD, 0xFC, 'x', 0, 0xFF};
  const auto pairs = [](int) { return kelvo::LabelValue{"\xB0\xA1\xB0\xA1", 4, false}; };
  const auto narrow = kelvo::parseLabelTemplate(wrapped, sizeof wrapped, 0xFF);
  ASSERT_EQ(narrow.size(), 2u);
  EXPECT_EQ(narrow[1].kind, kelvo::LabelItem::Literal);
  EXPECT_EQ(kelvo::labelLines(narrow, pairs, 1),
            (std::vector<std::string>{"\xB0\xA1 x", "\xB0\xA1"}));
  // A literal that runs to the template's end, and a label held to 1022
  // bytes.
  uint8_t longLiteral[40];
  longLiteral[0] = 0xFC;
  std::memset(longLiteral + 1, 'x', 39);
  EXPECT_EQ(kelvo::parseLabelTemplate(longLiteral, 40, 5)[0].text.size(), 39u);
  const auto huge = [](int) { return kelvo::LabelValue{std::string(900, 'y'), 900, false}; };
  const uint8_t two[] = {0, 0xFE, 0, 0xFF};
  size_t total = 0;
  for (const auto& l : kelvo::labelLines(kelvo::parseLabelTemplate(two, 4, 1), huge, 10))
    total += l.size();
  EXPECT_EQ(total, kelvo::kMaxLabelBytes);
}

TEST(NetLabel, TemplatesAreWrittenByteForByteAndReadBack) {
  using kelvo::LabelItem;
  std::vector<LabelItem> items(5);
  items[0].field = 4;
  items[1].kind = LabelItem::Literal;
  items[1].text = "\xC0\xCF";  // "일"
  items[2].kind = LabelItem::NewLine;
  items[3].field = 2;
  items[3].extraLines = 2;
  items[4].field = 0;
  uint8_t t[40];
  ASSERT_TRUE(kelvo::buildLabelTemplate(items, t, sizeof t));
  const uint8_t want[12] = {4, 0xFC, 0xC0, 0xCF, 0, 0xFE, 2, 0xFD, 0xFD, 0, 0xFF, 0xFF};
  EXPECT_EQ(std::memcmp(t, want, sizeof want), 0);
  EXPECT_EQ(t[39], 0xFF);
  const auto back = kelvo::parseLabelTemplate(t, sizeof t, 10);
  ASSERT_EQ(back.size(), items.size());
  for (size_t i = 0; i < items.size(); ++i) {
    EXPECT_EQ(back[i].kind, items[i].kind) << i;
    EXPECT_EQ(back[i].field, items[i].field) << i;
    EXPECT_EQ(back[i].extraLines, items[i].extraLines) << i;
    EXPECT_EQ(back[i].text, items[i].text) << i;
  }
  // 39 bytes of items and the end mark fill 40 exactly; one more refuses
  // and leaves the template as it was.
  std::vector<LabelItem> full(1);
  full[0].kind = LabelItem::Literal;
  full[0].text = std::string(37, 'x');
  ASSERT_TRUE(kelvo::buildLabelTemplate(full, t, sizeof t));
  EXPECT_EQ(t[39], 0xFF);
  full[0].text += 'x';
  EXPECT_FALSE(kelvo::buildLabelTemplate(full, t, sizeof t));
  EXPECT_EQ(t[38], 0);
  full[0] = LabelItem{};
  full[0].field = 0xFC;  // would read as a literal
  EXPECT_FALSE(kelvo::buildLabelTemplate(full, t, sizeof t));
}

}  // namespace
