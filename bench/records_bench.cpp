// Entering activities in random code order, each on its own map cell, and
// one and a half times as many relations between random pairs, through the
// record operations. Reported: seconds for the whole, the growth of that
// time from 10,000 to 100,000 activities (10 would be linear), and the
// ratio to a baseline that only adds the same records to their tables
// without any index.
#include <benchmark/benchmark.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <map>
#include <numeric>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "xQdDb100.h"
#include "xjor/packed_date.h"

namespace {

constexpr int kWorkTypes = 400;
constexpr int kFacilities = 250;  // 100,000 map cells

constexpr auto Day = xjor::packDate;

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// What one run enters: activities in random code order on distinct map
// cells, and relations between random distinct pairs (no pair twice in
// either direction).
struct Workload {
  std::vector<ActRecord> activities;
  std::vector<RelRecord> relations;

  explicit Workload(int n) {
    std::mt19937 rng(n);
    std::vector<int> order(n), cells(kWorkTypes * kFacilities);
    std::iota(order.begin(), order.end(), 0);
    std::iota(cells.begin(), cells.end(), 0);
    std::shuffle(order.begin(), order.end(), rng);
    std::shuffle(cells.begin(), cells.end(), rng);
    activities.resize(n);
    for (int i = 0; i < n; ++i) {
      ActRecord& a = activities[i];
      memset(&a, 0, sizeof a);
      snprintf(a.code, sizeof a.code, "A%07d", order[i]);
      snprintf(a.wbsCode, sizeof a.wbsCode, "W%03d", cells[i] / kFacilities);
      snprintf(a.obsCode, sizeof a.obsCode, "F%03d", cells[i] % kFacilities);
      a.duration = static_cast<int16_t>(1 + order[i] % 20);
    }
    std::set<std::pair<int, int>> used;
    std::uniform_int_distribution<int> pick(0, n - 1);
    while (static_cast<int>(relations.size()) < n + n / 2) {
      int p = pick(rng), s = pick(rng);
      if (p == s || !used.insert({std::min(p, s), std::max(p, s)}).second) continue;
      RelRecord r = {};
      snprintf(r.pred, sizeof r.pred, "A%07d", p);
      snprintf(r.succ, sizeof r.succ, "A%07d", s);
      r.kind = static_cast<int16_t>(relations.size() % 4);
      r.row = static_cast<int16_t>(relations.size() % 50);
      relations.push_back(r);
    }
  }
};

// An empty project with the classification codes and a five-day calendar.
struct Project {
  std::string folder;
  int32_t ref = -1;
  ProjectDb db;

  Project() {
    char pattern[] = "/tmp/records_bench_XXXXXX";
    folder = std::string(mkdtemp(pattern)) + "/";
    const auto bin = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    xOpenRef(&ref, (bin / "Kelvo.ref").c_str());
    xCreateDB(&db, nullptr, folder.c_str(), nullptr);
    db.space.refHandle = ref;
    xInitializeDB(&db, nullptr);
    const ClassLevels levels = {1, {0}, {4}};
    WbsRecord w = {};
    for (int i = 0; i < kWorkTypes; ++i) {
      snprintf(w.code, sizeof w.code, "W%03d", i);
      db.wbs.tb.current = -1;
      xInputRecWbs(&db, &w, 0, &levels);
    }
    for (int i = 0; i < kFacilities; ++i) {
      snprintf(w.code, sizeof w.code, "F%03d", i);
      db.obs.tb.current = -1;
      xInputRecWbs(&db, &w, 1, &levels);
    }
    std::vector<uint16_t> days;
    for (uint16_t d = Day(2024, 1, 1); d <= Day(2034, 12, 31); ++d) {
      if (xIsValidT(d) && xGetDayOfWeek(d) >= 1 && xGetDayOfWeek(d) <= 5) days.push_back(d);
    }
    std::copy(days.begin(), days.end(), xSetWork(0, static_cast<int32_t>(days.size())));
  }
  ~Project() {
    xFreeWork(0);
    xCloseDB(&db);
    xCloseFile(&ref);
    std::filesystem::remove_all(folder);
  }
};

// Enters the workload; false when an operation was refused.
bool Enter(ProjectDb* db, Workload& w) {
  for (ActRecord& a : w.activities) {
    db->act.tb.current = -1;
    if (xInputRecAct(db, &a, Day(2024, 1, 1), 1, 1, 0) != 0) return false;
  }
  for (RelRecord& r : w.relations) {
    db->rel.tb.current = -1;
    if (xInputRecRel(db, &r) != 0) return false;
  }
  return true;
}

std::map<int, double>& Timings() {
  static std::map<int, double> t;
  return t;
}

void Run(benchmark::State& state, bool batch) {
  const int n = static_cast<int>(state.range(0));
  Workload work(n);
  double total = 0, baseline = 0, cpu = 0;
  for (auto _ : state) {
    {
      // Baseline: the same records straight into their tables.
      Project p;
      const auto t0 = std::chrono::steady_clock::now();
      for (const ActRecord& a : work.activities) xAddRec(&p.db.act.tb, &a);
      for (const RelRecord& r : work.relations) xAddRec(&p.db.rel.tb, &r);
      baseline += Seconds(t0);
    }
    Project p;
    const auto t0 = std::chrono::steady_clock::now();
    const std::clock_t c0 = std::clock();
    if (batch) xBeginInputBatch(&p.db);
    const bool ok = Enter(&p.db, work);
    if (batch) xEndInputBatch(&p.db);
    total += Seconds(t0);
    cpu += static_cast<double>(std::clock() - c0) / CLOCKS_PER_SEC;
    if (!ok) state.SkipWithError("an input was refused");
    if (p.db.relAnchor.count != work.relations.size() || p.db.wa1.count != work.activities.size())
      state.SkipWithError("index entries missing");
    char report[200];
    if (n <= 10000 && xCheckIndexes(&p.db, report, sizeof report) != 1) state.SkipWithError(report);
  }
  const double seconds = total / state.iterations();
  state.counters["seconds"] = seconds;
  state.counters["cpu_seconds"] = cpu / state.iterations();
  state.counters["x_plain_add"] = total / baseline;
  if (batch) {
    Timings()[n] = seconds;
    if (Timings().count(10000) && n > 10000)
      state.counters["growth_vs_10k"] = seconds / Timings()[10000];
  }
}

void BM_EnterInBatch(benchmark::State& state) {
  Run(state, true);
}
void BM_EnterOneByOne(benchmark::State& state) {
  Run(state, false);
}

BENCHMARK(BM_EnterInBatch)->Arg(10000)->Arg(100000)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(BM_EnterOneByOne)->Arg(10000)->Arg(30000)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
