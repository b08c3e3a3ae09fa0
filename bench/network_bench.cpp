// The network chart of a large project: path assignment with the routing
// rows of every relation and their drawn routes, over networks of n
// activities and 1.5 n relations (1,000 is the baseline; 10,000 and
// 100,000 show the growth), the whole "PERT 경로 최적화" command with its
// records read and stored, and one repaint of a visible page, which reads
// only what it shows. Runs offscreen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QString>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>

#include "kelvo/network_model.h"
#include "kelvo/network_paths.h"
#include "kelvo/network_store.h"
#include "kelvo/network_view.h"
#include "kelvo/network_window.h"
#include "kelvo/plan_doc.h"
#include "planner_project.h"
#include "xQdDb100.h"
#include "xjor/packed_date.h"

namespace {

const uint16_t kStart = xjor::packDate(2026, 3, 2);

// Activity i starts at i x 600 / n days from the start and lasts 1..20
// days (every seventh is a milestone); it is followed by i + 1 and, for
// every second i, by one of the next 50 as well: 1.5 n relations, chains
// of every length and fans that run side by side.
struct Network {
  std::vector<kelvo::PathActivity> acts;
  std::vector<kelvo::PathRelation> rels;
};
Network MakeNetwork(int n) {
  Network net;
  net.acts.resize(size_t(n));
  std::vector<bool> hasPred(size_t(n), false);
  uint32_t seed = 12345;
  const auto next = [&] { return seed = seed * 1103515245u + 12345u; };
  for (int i = 0; i < n; ++i) {
    const int32_t es = xjor::dayNumber(kStart) + int32_t(int64_t{i} * 600 / n);
    const int duration = i % 7 == 0 ? 0 : 1 + i % 20;
    kelvo::PathActivity& a = net.acts[size_t(i)];
    a.milestone = duration == 0;
    a.start = xjor::dateFromDayNumber(es);
    a.anchor = xjor::dateFromDayNumber(es + duration);
    if (i + 1 < n) net.rels.push_back({i, i + 1, 0, 0}), hasPred[size_t(i) + 1] = true;
    if (i % 2 == 0 && i + 2 < n) {
      const int j = std::min(n - 1, i + 2 + int(next() % 50));
      net.rels.push_back({i, j, int16_t(next() % 4), 0});
      hasPred[size_t(j)] = true;
    }
  }
  for (int i = 0; i < n; ++i)
    if (!hasPred[size_t(i)]) net.acts[size_t(i)].flags = 0x8000;
  return net;
}

const Network& NetworkOf(int n) {
  static std::map<int, Network> made;
  auto it = made.find(n);
  if (it == made.end()) it = made.emplace(n, MakeNetwork(n)).first;
  return it->second;
}

// Path assignment of every activity, then every relation's drawn route.
void BM_AssignAndRoute(benchmark::State& state) {
  const Network& net = NetworkOf(int(state.range(0)));
  kelvo::PathOptions o;
  o.allActivities = true;
  o.spacing = 2;
  kelvo::TimeScaleSettings s = kelvo::defaultNetScale(kStart, xjor::packDate(2028, 12, 31));
  const kelvo::TimeScale scale(s, kStart, xjor::packDate(2028, 12, 31));
  const kelvo::NodeEdge edge{10, 10};
  int32_t highest = 0;
  for (auto _ : state) {
    const kelvo::PathAssignment a = kelvo::assignPaths(net.acts, net.rels, o);
    int64_t drawn = 0;
    for (size_t k = 0; k < net.rels.size(); ++k) {
      const kelvo::PathRelation& r = net.rels[k];
      const kelvo::NetLink link{a.paths[size_t(r.pred)], a.paths[size_t(r.succ)], a.rows[k],
                                net.acts[size_t(r.pred)].anchor, net.acts[size_t(r.succ)].start};
      drawn += kelvo::routeRelation(link, scale, edge, 0, 0, INT32_MAX / 2, -INT32_MAX / 2).count;
    }
    benchmark::DoNotOptimize(drawn);
    highest = a.highestPath;
  }
  state.counters["paths"] = highest;
  state.counters["relations"] = double(net.rels.size());
}

// A project in the store with the network above, made once per size.
struct Project : bench::NewProject {
  explicit Project(int n) : NewProject(kStart, xjor::packDate(2027, 12, 31)) {
    ProjectDb& db = doc->db();
    const Network& net = NetworkOf(n);
    std::vector<char> bytes(db.act.tb.recordSize);
    xBeginInputBatch(&db);
    for (int i = 0; i < n; ++i) {
      const kelvo::PathActivity& p = net.acts[size_t(i)];
      ActRecord a;
      std::memset(&a, 0, sizeof a);
      std::snprintf(a.code, sizeof a.code, "A%06d", i);
      std::snprintf(a.title, sizeof a.title, "activity %d", i);
      a.flags = uint16_t(p.flags | 0x3000);
      a.type = p.milestone ? 1 : 0;
      a.start = a.earlyStart = p.start;
      a.anchor = p.anchor;
      a.earlyFinish = a.finish = p.anchor;
      a.totalFloat = int16_t(i % 5 - 1);
      std::fill(bytes.begin(), bytes.end(), 0);
      std::memcpy(bytes.data(), &a, sizeof a);
      db.act.tb.current = -1;
      xInputRecAct(&db, bytes.data(), info.start, 0, 0, -1);
    }
    for (const kelvo::PathRelation& r : net.rels) {
      RelRecord rel{};
      std::snprintf(rel.pred, sizeof rel.pred, "A%06d", r.pred);
      std::snprintf(rel.succ, sizeof rel.succ, "A%06d", r.succ);
      rel.kind = r.kind;
      db.rel.tb.current = -1;
      xInputRecRel(&db, &rel);
    }
    xEndInputBatch(&db);
  }
};

Project& ProjectOf(int n) {
  static std::map<int, std::unique_ptr<Project>> made;
  auto& p = made[n];
  if (!p) p = std::make_unique<Project>(n);
  return *p;
}

// The whole command: records read, paths assigned, changed records stored
// (alternating spacing 1 and 2, so that every run changes them).
void BM_PathCommand(benchmark::State& state) {
  bench::OffscreenApp();
  Project& p = ProjectOf(int(state.range(0)));
  ProjectDb* db = &p.doc->db();
  kelvo::ActivityInput input;
  input.projectStart = kStart;
  int spacing = 1;
  for (auto _ : state) {
    kelvo::PathOptions o;
    o.allActivities = true;
    o.spacing = spacing = 3 - spacing;
    const kelvo::NetworkRecords records = kelvo::readNetwork(db);
    const kelvo::PathAssignment a = kelvo::assignPaths(records.acts, records.rels, o);
    benchmark::DoNotOptimize(kelvo::storePathChanges(db, input, kelvo::changesOf(records, a)));
  }
}

// One repaint of the page shown in the middle of the project. At 100,000
// each path carries about twice as many activities in the same days as at
// 1,000, so the page itself holds about twice as much to draw.
void BM_RepaintPage(benchmark::State& state) {
  bench::OffscreenApp();
  Project& p = ProjectOf(int(state.range(0)));
  ProjectDb* db = &p.doc->db();
  kelvo::PathOptions o;
  o.allActivities = true;
  o.spacing = 2;
  const kelvo::NetworkRecords records = kelvo::readNetwork(db);
  kelvo::ActivityInput input;
  input.projectStart = kStart;
  kelvo::storePathChanges(
      db, input, kelvo::changesOf(records, kelvo::assignPaths(records.acts, records.rels, o)));
  std::unique_ptr<kelvo::CNetView> chart(kelvo::makeNetworkWindow(p.doc.get(), nullptr));
  chart->resize(1600, 900);
  // The working zoom of the tests: 6 mm a day, about ten weeks on the page.
  kelvo::TimeScaleSettings s = chart->scale().settings();
  s.stepWidth = 60;
  chart->setScaleSettings(s);
  const int32_t middle = kelvo::highestPath(db) / 2;
  chart->scrollTo(chart->scale().x(xjor::dateFromDayNumber(xjor::dayNumber(kStart) + 300)), middle);
  QImage image(1600, 900, QImage::Format_RGB32);
  image.fill(Qt::white);
  for (auto _ : state) {
    chart->viewport()->render(&image);
    benchmark::DoNotOptimize(image.bits());
  }
  // The page itself, to compare before and after a change to the painting.
  const QString folder = qEnvironmentVariable("KELVO_SHOT_DIR");
  if (!folder.isEmpty())
    image.save(QStringLiteral("%1/network_page_%2.png").arg(folder).arg(state.range(0)));
  state.counters["paths"] = kelvo::highestPath(db);
}

}  // namespace

BENCHMARK(BM_AssignAndRoute)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PathCommand)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RepaintPage)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
