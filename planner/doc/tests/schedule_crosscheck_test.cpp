// The analysis against an independent longest-path computation on random
// acyclic finish-to-start networks, and on networks large enough that a
// quadratic or recursive levelling would show.
#include <algorithm>
#include <numeric>
#include <random>

#include "schedule_fixture.h"

namespace kelvo::testing {
namespace {

using ScheduleCrossCheck = ScheduleTest;

// Early and late dates in working-day offsets, computed over the activities
// in topological order: early start = max(data date, predecessor's early
// finish + lag + 1); late finish = min(successor's late start - lag - 1),
// or the own early finish without successors.
struct LongestPath {
  std::vector<int32_t> es, ef, ls, lf, freeFloat;
};

LongestPath longestPath(const std::vector<int32_t>& topo, const std::vector<int16_t>& duration,
                        const std::vector<ScheduleRelation>& rels, int32_t dataOffset) {
  const size_t n = duration.size();
  LongestPath lp;
  lp.es.assign(n, dataOffset);
  lp.ef.assign(n, 0);
  lp.ls.assign(n, 0);
  lp.lf.assign(n, INT32_MAX);
  lp.freeFloat.assign(n, INT32_MAX);
  std::vector<std::vector<const ScheduleRelation*>> in(n), out(n);
  for (const ScheduleRelation& r : rels) {
    in[r.successor].push_back(&r);
    out[r.predecessor].push_back(&r);
  }
  for (int32_t v : topo) {
    for (const ScheduleRelation* r : in[v]) {
      lp.es[v] = std::max(lp.es[v], lp.ef[r->predecessor] + r->lag + 1);
    }
    lp.ef[v] = lp.es[v] + duration[v] - 1;
  }
  for (auto it = topo.rbegin(); it != topo.rend(); ++it) {
    const int32_t v = *it;
    if (out[v].empty()) lp.lf[v] = lp.ef[v];
    for (const ScheduleRelation* r : out[v]) {
      lp.lf[v] = std::min(lp.lf[v], lp.ls[r->successor] - r->lag - 1);
      lp.freeFloat[v] = std::min(lp.freeFloat[v], lp.es[r->successor] - r->lag - lp.ef[v] - 1);
    }
    lp.ls[v] = lp.lf[v] - duration[v] + 1;
    const int32_t total = lp.ls[v] - lp.es[v];
    lp.freeFloat[v] = out[v].empty() ? 0 : std::max(0, std::min(lp.freeFloat[v], total));
  }
  return lp;
}

TEST_F(ScheduleCrossCheck, RandomFinishToStartNetworksMatchLongestPaths) {
  std::mt19937 rng(20001);
  int checked = 0;
  for (int round = 0; round < 200; ++round) {
    const int n = 2 + static_cast<int>(rng() % 80);
    activities.clear();
    relations.clear();
    // rank[i]: position of activity i in a hidden topological order, so
    // that the arrays are not already in dependency order.
    std::vector<int32_t> rank(n);
    std::iota(rank.begin(), rank.end(), 0);
    std::shuffle(rank.begin(), rank.end(), rng);
    std::vector<int16_t> duration(n);
    for (int i = 0; i < n; ++i) {
      duration[i] = static_cast<int16_t>(rng() % 9);  // milestones included
      add(("A" + std::to_string(i)).c_str(), duration[i]);
    }
    const int m = n * 3 / 2;
    for (int k = 0; k < m; ++k) {
      int32_t a = static_cast<int32_t>(rng() % n), b = static_cast<int32_t>(rng() % n);
      if (a == b) continue;
      if (rank[a] > rank[b]) std::swap(a, b);
      relations.push_back({a, b, kFinishToStart, static_cast<int16_t>(int(rng() % 10) - 3)});
    }
    const ScheduleOutcome out = run();
    if (relations.empty()) continue;
    ASSERT_EQ(out.result, kScheduleDone) << "round " << round;

    std::vector<int32_t> topo(n);
    for (int i = 0; i < n; ++i) topo[rank[i]] = i;
    const LongestPath lp = longestPath(topo, duration, relations, calendars.offset(1, dataDate));
    for (int i = 0; i < n; ++i) {
      const ScheduleActivity& a = activities[i];
      ASSERT_EQ(a.earlyStart, calendars.dayAt(1, lp.es[i])) << "round " << round << " " << a.code;
      ASSERT_EQ(a.earlyFinish, calendars.dayAt(1, lp.ef[i])) << "round " << round << " " << a.code;
      ASSERT_EQ(a.lateStart, calendars.dayAt(1, lp.ls[i])) << "round " << round << " " << a.code;
      ASSERT_EQ(a.lateFinish, calendars.dayAt(1, lp.lf[i])) << "round " << round << " " << a.code;
      ASSERT_EQ(a.totalFloat, lp.ls[i] - lp.es[i]) << "round " << round << " " << a.code;
      ASSERT_EQ(a.freeFloat, lp.freeFloat[i]) << "round " << round << " " << a.code;
    }
    ++checked;
  }
  EXPECT_GE(checked, 190);
}

TEST_F(ScheduleCrossCheck, LongChainIsLevelledInOrder) {
  // 200,000 milestones in one chain all fall on the data date; dating a
  // relation before its predecessor would flag it as a start activity.
  const int n = 200000;
  activities.resize(n);
  for (auto& a : activities) a.kind = kMilestone;
  for (int i = n - 1; i > 0; --i) relations.push_back({i - 1, i, kFinishToStart, 0});
  ASSERT_EQ(run().result, kScheduleDone);
  for (int i = 0; i < n; ++i) {
    ASSERT_EQ(activities[i].earlyStart, dataDate) << i;
    ASSERT_EQ(activities[i].lateStart, dataDate) << i;
    ASSERT_EQ(activities[i].flags, i == 0 ? 0x8000 : i == n - 1 ? 0x4000 : 0) << i;
  }
}

TEST_F(ScheduleCrossCheck, WideLayeredNetworkTakesTheLongestOfManyPaths) {
  // 300 layers of 300 one-day activities, each linked to every activity of
  // the next layer through a sparse pattern; every path is as long.
  const int layers = 300, width = 300;
  for (int l = 0; l < layers; ++l) {
    for (int w = 0; w < width; ++w) {
      ScheduleActivity a;
      a.duration = a.remaining = 1;
      activities.push_back(a);
    }
  }
  for (int l = 0; l + 1 < layers; ++l) {
    for (int w = 0; w < width; ++w) {
      for (int k : {0, 1, 7}) {
        relations.push_back({l * width + w, (l + 1) * width + (w + k) % width, kFinishToStart, 0});
      }
    }
  }
  ASSERT_EQ(run().result, kScheduleDone);
  const int32_t start = calendars.offset(1, dataDate);
  for (int l = 0; l < layers; l += 37) {
    ASSERT_EQ(activities[l * width + 5].earlyStart, calendars.dayAt(1, start + l)) << l;
    ASSERT_EQ(activities[l * width + 5].totalFloat, 0) << l;
  }
}

TEST_F(ScheduleCrossCheck, MixedNetworksDateTheSameWhateverTheRelationOrder) {
  // Every relation kind and lags, both calendars, constraints of every
  // kind, started and finished work and repeated pairs: the dates come
  // from the network alone, not from the order it was entered in.
  std::mt19937 rng(30017);
  int scheduled = 0;
  for (int round = 0; round < 60; ++round) {
    const int n = 2 + static_cast<int>(rng() % 120);
    activities.clear();
    relations.clear();
    for (int i = 0; i < n; ++i) {
      ScheduleActivity& a = add(("A" + std::to_string(i)).c_str(), static_cast<int16_t>(rng() % 12),
                                static_cast<int16_t>(1 + rng() % 2));
      if (rng() % 8 == 0) {
        a.actualStart = D(1999, 12, 27);
        a.remaining = static_cast<int16_t>(a.duration / 2);
        if (rng() % 3 == 0) a.actualFinish = D(1999, 12, 30);
      }
      if (rng() % 6 == 0) {
        a.constraintKind = static_cast<int16_t>(1 + rng() % 6);
        a.constraintDate = static_cast<uint16_t>(D(2000, 2, 1) + rng() % 28);
      }
    }
    // Links only from a lower to a higher index: acyclic.
    for (int k = 0; k < n * 2; ++k) {
      const int32_t b = static_cast<int32_t>(rng() % n);
      if (b == 0) continue;
      const int32_t a = static_cast<int32_t>(rng() % b);
      relations.push_back({a, b, static_cast<int16_t>(rng() % 4),
                           static_cast<int16_t>(static_cast<int>(rng() % 9) - 3)});
      if (rng() % 10 == 0) relations.push_back({a, b, static_cast<int16_t>(rng() % 4), 2});
    }
    const std::vector<ScheduleActivity> entered = activities;
    const ScheduleOutcome first = run();
    scheduled += first.result == kScheduleDone ? 1 : 0;
    const std::vector<ScheduleActivity> dated = activities;
    for (int order = 0; order < 2; ++order) {
      if (order == 0) {
        std::reverse(relations.begin(), relations.end());
      } else {
        std::shuffle(relations.begin(), relations.end(), rng);
      }
      activities = entered;
      const ScheduleOutcome again = run();
      ASSERT_EQ(again.result, first.result) << "round " << round;
      ASSERT_EQ(again.projectStart, first.projectStart) << "round " << round;
      ASSERT_EQ(again.projectFinish, first.projectFinish) << "round " << round;
      for (int i = 0; i < n; ++i) {
        ASSERT_EQ(activities[i], dated[i]) << "round " << round << " order " << order << " A" << i;
      }
    }
  }
  EXPECT_GE(scheduled, 50);
}

}  // namespace
}  // namespace kelvo::testing
