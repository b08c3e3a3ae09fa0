// Finding relations by the paths and days they cover: the index must give
// exactly what a walk over every relation gives, in the links' order.
#include "kelvo/network_link_index.h"

#include <gtest/gtest.h>

#include <random>

#include "xQdDb100.h"
#include "xjor/packed_date.h"

namespace {

const int32_t kFirst = xjor::dayNumber(xjor::packDate(2026, 1, 1));

RelAnchorEntry link(int16_t pred, int16_t succ, int16_t row, int32_t dayA, int32_t dayB) {
  RelAnchorEntry e = {};
  e.predPath = pred, e.succPath = succ, e.row = row;
  e.predAnchor = dayA < 0 ? 0 : xjor::dateFromDayNumber(kFirst + dayA);
  e.succAnchor = dayB < 0 ? 0 : xjor::dateFromDayNumber(kFirst + dayB);
  return e;
}

// What a paint tested before the index: every drawable relation whose
// paths and days meet the page.
std::vector<uint32_t> walk(const std::vector<RelAnchorEntry>& links, int32_t p0, int32_t p1,
                           int32_t d0, int32_t d1) {
  std::vector<uint32_t> out;
  for (uint32_t i = 0; i < links.size(); ++i) {
    const RelAnchorEntry& e = links[i];
    if (e.predPath <= 0 || e.succPath <= 0 || !e.predAnchor || !e.succAnchor) continue;
    const int32_t row = e.row > 0 ? e.row : e.predPath;
    const int32_t a = xjor::dayNumber(e.predAnchor), b = xjor::dayNumber(e.succAnchor);
    if (std::max({e.predPath, e.succPath, int16_t(row)}) < p0 ||
        std::min({e.predPath, e.succPath, int16_t(row)}) > p1 || std::max(a, b) < d0 ||
        std::min(a, b) > d1)
      continue;
    out.push_back(i);
  }
  return out;
}

TEST(LinkIndex, FindsWhatAWalkOverEveryRelationFinds) {
  // Short relations between near paths, with some spanning the whole
  // network (kept apart from the cells), routing rows above and below
  // both paths, rows <= 0, and relations never drawn.
  std::mt19937 random(27);
  std::vector<RelAnchorEntry> links;
  for (int i = 0; i < 20000; ++i) {
    const int16_t pred = int16_t(1 + random() % 3000), day = int16_t(random() % 700);
    const int16_t succ = int16_t(std::max(1, pred + int(random() % 7) - 3));
    const int16_t row = int16_t(int(random() % 9) - 2 + pred);
    links.push_back(link(pred, succ, row, day, day + int(random() % 20)));
  }
  links.push_back(link(1, 3000, 0, 0, 699));
  links.push_back(link(2999, 5, 1500, 600, 3));
  links.push_back(link(0, 5, 1, 10, 12));
  links.push_back(link(5, -1, 1, 10, 12));
  links.push_back(link(5, 6, 1, -1, 12));
  links.push_back(link(5, 6, 1, 10, -1));
  kelvo::LinkIndex index;
  index.build(links.data(), uint32_t(links.size()));
  EXPECT_EQ(index.firstDay(), kFirst);
  EXPECT_EQ(index.lastDay(), kFirst + 718);

  const struct {
    int32_t p0, p1, d0, d1;
  } pages[] = {
      {1, 30, 0, 70},       {1480, 1510, 300, 370}, {2990, 3200, 650, 800},  // corners, middle
      {-50, 0, 0, 800},     {3001, 4000, 0, 800},   {1, 3000, -100, -1},     // beside it
      {1, 3000, 719, 9000}, {1, 3000, 0, 718},      {100, 100, 35, 35},      // all; one cell
      {500, 400, 0, 10},    {20, 10, 700, 0},                                // backwards
  };
  for (const auto& p : pages) {
    std::vector<uint32_t> found = {7777};  // found entries are appended
    index.find(p.p0, p.p1, kFirst + p.d0, kFirst + p.d1, &found);
    std::vector<uint32_t> expected = walk(links, p.p0, p.p1, kFirst + p.d0, kFirst + p.d1);
    expected.insert(expected.begin(), 7777);
    EXPECT_EQ(found, expected) << p.p0 << ".." << p.p1 << " days " << p.d0 << ".." << p.d1;
  }
}

TEST(LinkIndex, NothingToFindWithoutDrawableRelations) {
  kelvo::LinkIndex index;
  std::vector<uint32_t> found;
  index.build(nullptr, 0);
  index.find(1, 100, 0, 100000, &found);
  EXPECT_TRUE(found.empty());
  const RelAnchorEntry never = link(0, 0, 0, 1, 2);
  index.build(&never, 1);
  index.find(-100, 100, 0, 100000, &found);
  EXPECT_TRUE(found.empty());
  EXPECT_LT(index.lastDay(), index.firstDay());
}

}  // namespace
