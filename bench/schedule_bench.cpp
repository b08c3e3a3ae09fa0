// Time of the schedule analysis alone on generated networks of 10,000 to
// 300,000 activities with 1.5 relations each, and its growth against the
// 10,000-activity run of the same process. Generating the networks and
// copying the activities for each run are not timed.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "../planner/doc/tests/list_calendars.h"
#include "kelvo/engine_calendars.h"
#include "kelvo/schedule.h"
#include "xjor/calendar.h"

namespace {

using kelvo::ScheduleActivity;
using kelvo::ScheduleRelation;
using kelvo::testing::installInEngine;
using kelvo::testing::ListCalendars;
using kelvo::testing::packDate;

struct Network {
  std::vector<ScheduleActivity> activities;
  std::vector<ScheduleRelation> relations;
};

constexpr uint16_t kDataDate = packDate(2000, 1, 3);

ListCalendars& calendars() {
  static ListCalendars c = [] {
    ListCalendars c;
    c.set(1, ListCalendars::fiveDayWeek(packDate(1995, 1, 1), packDate(2020, 12, 31),
                                        {packDate(2000, 3, 1), packDate(2000, 5, 5)}));
    std::vector<uint16_t> sixDays;  // Monday to Saturday
    for (int32_t n = kelvo::testing::dayNumber(packDate(1995, 1, 1));
         n <= kelvo::testing::dayNumber(packDate(2020, 12, 31)); ++n) {
      const uint16_t d = kelvo::testing::dateOfDayNumber(n);
      if (kelvo::testing::dayOfWeek(d) != 0) sixDays.push_back(d);
    }
    c.set(2, sixDays);
    return c;
  }();
  return c;
}

// A project of parallel sub-networks of 200 activities, linked inside each
// sub-network and now and then across them, always from an earlier to a
// later position, so the network is acyclic and a few hundred levels deep.
// Mixed relation kinds and lags, two calendars, some started activities.
Network generate(int32_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  constexpr int32_t kGroup = 200;
  Network net;
  net.activities.resize(n);
  for (int32_t i = 0; i < n; ++i) {
    ScheduleActivity& a = net.activities[i];
    std::snprintf(a.code, sizeof a.code, "A%07d", i);
    a.duration = a.remaining = static_cast<int16_t>(rng() % 16);
    a.kind = a.duration == 0 ? kelvo::kMilestone : 0;
    a.calendar = static_cast<int16_t>(1 + rng() % 2);
    if (rng() % 20 == 0) {
      a.actualStart = packDate(1999, 12, 20);
      a.remaining = static_cast<int16_t>(a.duration / 2);
    }
    if (rng() % 50 == 0) {
      a.constraintKind = 1;
      a.constraintDate = packDate(2000, 6, 1);
    }
  }
  const int32_t m = n + n / 2;
  net.relations.reserve(m);
  while (static_cast<int32_t>(net.relations.size()) < m) {
    const int32_t b = static_cast<int32_t>(rng() % n);
    const int32_t pos = b % kGroup;
    if (pos == 0) continue;
    int32_t a;
    if (rng() % 10 == 0) {  // from another sub-network, earlier position
      const int32_t groups = (n + kGroup - 1) / kGroup;
      a = static_cast<int32_t>(rng() % groups) * kGroup + static_cast<int32_t>(rng() % pos);
      if (a >= n || a / kGroup == b / kGroup) continue;
    } else {
      a = b - 1 - static_cast<int32_t>(rng() % std::min(pos, 12));
    }
    const uint32_t k = rng() % 10;
    const int16_t kind = k < 7 ? kelvo::kFinishToStart : static_cast<int16_t>(k - 6);
    net.relations.push_back({a, b, kind, static_cast<int16_t>(static_cast<int>(rng() % 8) - 2)});
  }
  return net;
}

const Network& network(int32_t n) {
  static std::map<int32_t, Network> cache;
  auto it = cache.find(n);
  if (it == cache.end()) it = cache.emplace(n, generate(n, 9)).first;
  return it->second;
}

// Installs the two list calendars in the engine's slots 0 and 1 once.
void installEngineCalendars() {
  static const bool done = [] {
    for (int slot = 0; slot < 2; ++slot) {
      std::vector<uint16_t> days;
      int32_t offset = calendars().offset(slot + 1, packDate(1995, 1, 2));
      for (uint16_t d; (d = calendars().dayAt(slot + 1, offset)) <= packDate(2020, 12, 31);
           ++offset) {
        days.push_back(d);
      }
      if (!installInEngine(slot, days)) return false;
    }
    return true;
  }();
  (void)done;
}

// Processor time of this process (the analysis runs on one thread).
double cpuNanoseconds() {
  return static_cast<double>(std::clock()) * (1e9 / CLOCKS_PER_SEC);
}

// The analysis alone on a copy of the generated network (copying is not
// timed). The counter cpu_ns_per_activity is the processor time of the
// analysis alone per activity: n log n growth lets it rise by the ratio of
// the logarithms (1.25 from 10,000 to 100,000 activities, 1.37 to 300,000).
void runOn(benchmark::State& state, kelvo::WorkCalendars& cals) {
  const int32_t n = static_cast<int32_t>(state.range(0));
  const Network& net = network(n);
  std::vector<ScheduleActivity> activities;
  int result = -1;
  double cpu = 0;
  for (auto _ : state) {
    state.PauseTiming();
    activities = net.activities;
    state.ResumeTiming();
    const double before = cpuNanoseconds();
    result = kelvo::runSchedule(activities, net.relations, kDataDate, n, cals).result;
    cpu += cpuNanoseconds() - before;
  }
  if (result != kelvo::kScheduleDone) state.SkipWithError("the analysis failed");
  state.counters["activities"] = n;
  state.counters["cpu_ns_per_activity"] =
      cpu / static_cast<double>(std::max<int64_t>(state.iterations(), 1)) / n;
}

// Working days from lists in the benchmark itself.
void BM_ScheduleListCalendars(benchmark::State& state) {
  runOn(state, calendars());
}

// Working days from the engine, as in the planner.
void BM_ScheduleEngineCalendars(benchmark::State& state) {
  installEngineCalendars();
  kelvo::EngineCalendars engine;
  runOn(state, engine);
}

void sizes(benchmark::internal::Benchmark* b) {
  b->Arg(10000)->Arg(30000)->Arg(100000)->Arg(300000);
  b->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(3)->ReportAggregatesOnly(false);
}
BENCHMARK(BM_ScheduleEngineCalendars)->Apply(sizes);
BENCHMARK(BM_ScheduleListCalendars)->Apply(sizes);

// Prints each run's time against the 10,000-activity run of the same
// benchmark, next to the ratios that linear and n log n growth would give,
// and the processor-time growth divided by n log n growth (at most 1 when
// the analysis grows no faster than n log n).
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      if (r.error_occurred || r.run_type != Run::RT_Iteration) continue;
      const double n = r.counters.at("activities");
      const std::string name = r.run_name.function_name;
      // Of repeated runs the fastest counts: the others met more
      // interference from the rest of the machine.
      auto same = [&](const Time& t) { return t.name == name && t.n == n; };
      auto it = std::find_if(times_.begin(), times_.end(), same);
      if (it == times_.end()) {
        times_.push_back({name, n, r.GetAdjustedRealTime(), r.GetAdjustedCPUTime()});
      } else {
        it->real = std::min(it->real, r.GetAdjustedRealTime());
        it->cpu = std::min(it->cpu, r.GetAdjustedCPUTime());
      }
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    // CPU time is shown too: on a shared machine it is the steadier figure.
    const Time* base = nullptr;
    for (const Time& t : times_) {
      if (!base || base->name != t.name) {
        base = &t;
        std::printf("\n%s\n%10s %10s %10s %10s %10s %10s %10s %12s\n", t.name.c_str(), "activities",
                    "real ms", "real x", "cpu ms", "cpu x", "n x", "n log n x", "cpu/n log n");
      }
      const double nLogN = t.n * std::log(t.n) / (base->n * std::log(base->n));
      std::printf("%10.0f %10.2f %10.2f %10.2f %10.2f %10.2f %10.2f %12.2f\n", t.n, t.real,
                  t.real / base->real, t.cpu, t.cpu / base->cpu, t.n / base->n, nLogN,
                  t.cpu / base->cpu / nLogN);
    }
  }

 private:
  struct Time {
    std::string name;
    double n, real, cpu;
  };
  std::vector<Time> times_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
