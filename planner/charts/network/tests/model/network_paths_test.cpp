// Path assignment on small networks whose layout is worked out by hand in
// the comments, and the path insertion, deletion and move limits.
#include "kelvo/network_paths.h"

#include <gtest/gtest.h>

#include "xjor/packed_date.h"

namespace {

using kelvo::PathActivity;
using kelvo::PathOptions;
using kelvo::PathRelation;

constexpr uint16_t kStart = 0x8000;

// An activity from March `from` to the day before March `to` (its anchor).
PathActivity act(int from, int to, uint16_t flags = 0, int16_t path = 0) {
  PathActivity a;
  a.start = xjor::packDate(2026, 3, from);
  a.anchor = xjor::packDate(2026, 3, to);
  a.flags = flags;
  a.path = path;
  return a;
}
PathActivity milestone(int day) {
  PathActivity a = act(day, day);
  a.milestone = true;
  return a;
}
PathRelation rel(int pred, int succ, int16_t kind = 0, int16_t row = 0) {
  return {pred, succ, kind, row};
}
PathOptions all(int spacing = 1, int start = 1) {
  PathOptions o;
  o.allActivities = true;
  o.spacing = spacing;
  o.startPath = start;
  return o;
}

using Paths = std::vector<int16_t>;

TEST(PathAssignment, ChainsFansAndParallelRuns) {
  struct Case {
    const char* name;
    std::vector<PathActivity> acts;
    std::vector<PathRelation> rels;
    PathOptions options;
    Paths paths, rows;
  } cases[] = {
      // A -> B -> C finish-to-start: one chain on the start path, straight
      // relations on it.
      {"chain",
       {act(1, 4, kStart), act(4, 8), act(8, 10)},
       {rel(0, 1), rel(1, 2)},
       all(1, 3),
       {3, 3, 3},
       {3, 3}},
      // A fans out to B, C and D, which run side by side: B continues A's
      // chain, C and D begin chains 1 and 2 and move down one path each
      // time they meet a taken one. Rows: 1 (shared), (1+2)/2 = 1 has the
      // start's parity -> 2, (1+3)/2 = 2 -> 2.
      {"fan",
       {act(1, 4, kStart), act(4, 8), act(4, 8), act(4, 8)},
       {rel(0, 1), rel(0, 2), rel(0, 3)},
       all(),
       {1, 1, 2, 3},
       {1, 2, 2}},
      // The same fan with spacing 2 from path 1: chains on 1, 3, 5 and the
      // relation rows between them on even rows: (1+3)/2 = 2, (1+5)/2 = 3
      // -> 4.
      {"fan spacing 2",
       {act(1, 4, kStart), act(4, 8), act(4, 8), act(4, 8)},
       {rel(0, 1), rel(0, 2), rel(0, 3)},
       all(2, 1),
       {1, 1, 3, 5},
       {1, 2, 4}},
      // A start-to-start first successor does not continue the chain: B
      // begins its own and, overlapping A, goes one path down.
      {"start-to-start", {act(1, 6, kStart), act(2, 8)}, {rel(0, 1, 2)}, all(), {1, 2}, {2}},
      // Two separate runs that follow each other in time share path 1.
      {"runs in sequence",
       {act(1, 3, kStart), act(3, 5), act(5, 7, kStart), act(7, 9)},
       {rel(0, 1), rel(2, 3)},
       all(),
       {1, 1, 1, 1},
       {1, 1}},
      // A already visited first successor ends the walk; the second
      // (unvisited) successor still begins a chain. A -> C, A -> B; B -> C
      // (C visited through A): chain 0 = A, C; chain 1 = B, which overlaps
      // A and goes below.
      {"visited first successor",
       {act(1, 3, kStart), act(2, 5), act(5, 7)},
       {rel(0, 2), rel(0, 1), rel(1, 2)},
       all(),
       {1, 2, 1},
       {1, 2, 2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const kelvo::PathAssignment r = kelvo::assignPaths(c.acts, c.rels, c.options);
    EXPECT_EQ(r.paths, c.paths);
    EXPECT_EQ(r.rows, c.rows);
  }
}

TEST(PathAssignment, MilestonesOnOneDayFillTheirRangeThenShareItsFirstPath) {
  // Four milestones on 10 March, range 1..3: paths 1, 2, 3, then the range
  // is full and the fourth goes on its first path. M5 on 12 March finds
  // path 1 free that day. The chain A -> M5 -> B passes through M5 but
  // leaves it on its milestone path; A and B go on the start path 5.
  std::vector<PathActivity> acts = {milestone(10),     milestone(10), milestone(10), milestone(10),
                                    act(1, 5, kStart), milestone(12), act(12, 15)};
  std::vector<PathRelation> rels = {rel(4, 5), rel(5, 6)};
  PathOptions o = all(1, 5);
  o.milestoneFrom = 1;
  o.milestoneTo = 3;
  const kelvo::PathAssignment r = kelvo::assignPaths(acts, rels, o);
  EXPECT_EQ(r.paths, (Paths{1, 2, 3, 1, 5, 1, 5}));
  // (5+1)/2 = 3 has the start's parity: row 4 for both relations.
  EXPECT_EQ(r.rows, (Paths{4, 4}));
}

TEST(PathAssignment, ActivitiesNoChainReachesStillGetPaths) {
  // No start flags at all (stale flags), a cycle X -> Y -> X and a loose
  // activity Z: each unreached activity begins a chain in activity order.
  // X's chain takes Y along (path 1); Z overlaps X and goes to path 2.
  std::vector<PathActivity> acts = {act(1, 4), act(4, 6), act(2, 3)};
  std::vector<PathRelation> rels = {rel(0, 1), rel(1, 0)};
  const kelvo::PathAssignment r = kelvo::assignPaths(acts, rels, all());
  EXPECT_EQ(r.paths, (Paths{1, 1, 2}));
  EXPECT_EQ(r.highestPath, 2);
}

TEST(PathAssignment, UndecidedOnlyKeepsPlacedActivitiesAndTheirRows) {
  // P stays on path 1 and blocks it; T (undecided, reached from P by a
  // start-to-start relation) overlaps P and goes to path 2. Q (a start on
  // path 4) and its undecided successor R: the search starts at Q's path
  // and R, which does not overlap Q, joins it. The P -> T row 1 lies
  // between its paths and stays; Q -> R row 9 lies outside and becomes 4;
  // T -> Q row 0 is undecided: (2+4)/2 = 3, parity of 1 -> 4.
  std::vector<PathActivity> acts = {act(1, 9, kStart, 1), act(5, 7, 0, 0), act(10, 12, kStart, 4),
                                    act(12, 14, 0, 0)};
  std::vector<PathRelation> rels = {rel(0, 1, 2, 1), rel(1, 2, 0, 0), rel(2, 3, 0, 9)};
  PathOptions o = all();
  o.allActivities = false;
  const kelvo::PathAssignment r = kelvo::assignPaths(acts, rels, o);
  EXPECT_EQ(r.paths, (Paths{1, 2, 4, 4}));
  EXPECT_EQ(r.rows, (Paths{1, 4, 4}));
}

TEST(PathAssignment, ByClassificationCodesAndPathLimits) {
  std::vector<PathActivity> acts(3);
  acts[0].workType = "B1", acts[1].workType = "A1";  // acts[2] has none
  PathOptions o = all(2, 1);
  o.byClass = kelvo::LabelClass::WorkType;
  o.milestoneFrom = 7;
  EXPECT_EQ(kelvo::assignPaths(acts, {}, o).paths, (Paths{3, 1, 7}));
  // Paths never pass 32767: overlapping chains from the last path share it,
  // and spacing is clamped to 1..8.
  std::vector<PathActivity> two = {act(1, 5, kStart), act(1, 5, kStart)};
  EXPECT_EQ(kelvo::assignPaths(two, {}, all(1, 32767)).paths, (Paths{32767, 32767}));
  EXPECT_EQ(kelvo::assignPaths(two, {}, all(99, 1)).paths, (Paths{1, 9}));
  EXPECT_EQ(kelvo::assignPaths(two, {}, all(-3, 1)).paths, (Paths{1, 2}));
}

TEST(PathAssignment, BarLabelsMarkFirstAndLastOfEachPath) {
  // Path 1: A then B; path 2: C. Names before and on the first bar by work
  // type, the start date on the first, the finish date on the last.
  std::vector<PathActivity> acts = {act(1, 4, kStart | 0x3F), act(4, 8), act(2, 6, kStart)};
  std::vector<PathRelation> rels = {rel(0, 1)};
  PathOptions o = all();
  o.barLabels = true;
  o.nameBefore = kelvo::LabelClass::WorkType;
  o.nameOnBar = kelvo::LabelClass::Facility;
  o.firstOnly = true;
  o.startDate = o.finishDate = true;
  const kelvo::PathAssignment r = kelvo::assignPaths(acts, rels, o);
  ASSERT_EQ(r.paths, (Paths{1, 1, 2}));
  EXPECT_EQ(r.flags[0], kStart | 0x01 | 0x08 | 0x10);
  EXPECT_EQ(r.flags[1], 0x20);
  EXPECT_EQ(r.flags[2], kStart | 0x01 | 0x08 | 0x10 | 0x20);
}

TEST(PathEdits, InsertDeleteAndMoveLimits) {
  Paths paths = {1, 3, 5}, rows = {0, 2, 4};
  // Deleting path 2..3 hits path 3 and row 2: refused, nothing changes.
  EXPECT_EQ(kelvo::deletePaths(&paths, &rows, 2, 2), kelvo::PathEditResult::RangeHoldsData);
  EXPECT_EQ(paths, (Paths{1, 3, 5}));
  // Inserting two at 3 moves everything from 3 on.
  EXPECT_EQ(kelvo::insertPaths(&paths, &rows, 3, 2), kelvo::PathEditResult::Done);
  EXPECT_EQ(paths, (Paths{1, 5, 7}));
  EXPECT_EQ(rows, (Paths{0, 2, 6}));
  // The inserted (empty) paths 3..4 delete again; routing row 0 stays.
  EXPECT_EQ(kelvo::deletePaths(&paths, &rows, 3, 2), kelvo::PathEditResult::Done);
  EXPECT_EQ(paths, (Paths{1, 3, 5}));
  EXPECT_EQ(rows, (Paths{0, 2, 4}));
  // An insertion that would pass 32767 is refused whole.
  Paths high = {32000}, none;
  EXPECT_EQ(kelvo::insertPaths(&high, &none, 1, 800), kelvo::PathEditResult::Overflow);
  EXPECT_EQ(high, (Paths{32000}));
  // A move keeps paths and rows >= 1 within 1..32767; rows <= 0 follow
  // their predecessor and do not limit it.
  EXPECT_EQ(kelvo::clampPathMove({3, 10}, {0, 5}, -7), -2);
  EXPECT_EQ(kelvo::clampPathMove({3}, {32760}, 20), 7);
  EXPECT_EQ(kelvo::clampPathMove({3}, {}, 4), 4);
}

}  // namespace
