// Building a summary of a 30,000-activity project made by `kvcli gen` and
// scheduled by `kvcli schedule`: work-type levels with a row per activity,
// with period series by week, against the same summary without series as
// the baseline of the run. Needs kvcli and Kelvo.ref beside the program.
//
// The generated activities get quantities, unit prices, a work type out of
// 300 and a facility out of 100 here, so the rows and the series are
// realistic; every tenth activity is time-shared.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "kelvo/summary_build.h"
#include "xQdDb100.h"
#include "xjor/calendar.h"
#include "xjor/option.h"

namespace {

constexpr int kActivities = 30000;

struct Project {
  std::string folder;
  int32_t ref = -1;
  ProjectDb db{};
  PrjInfo info{};
  bool ready = false;

  Project() {
    char pattern[] = "/tmp/summary_bench_XXXXXX";
    if (!mkdtemp(pattern)) return;
    folder = std::string(pattern) + "/";
    const auto bin = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    const std::string file = folder + "gen.kvp", kvcli = (bin / "kvcli").string();
    const std::string gen = kvcli + " gen " + file + " --activities " +
                            std::to_string(kActivities) + " --relations " +
                            std::to_string(kActivities * 3 / 2) + " > /dev/null";
    const std::string schedule = kvcli + " schedule " + file + " > /dev/null";
    if (std::system(gen.c_str()) != 0 || std::system(schedule.c_str()) != 0) return;
    if (xOpenRef(&ref, (bin / "Kelvo.ref").c_str()) != 1) return;
    if (xCreateDB(&db, nullptr, folder.c_str(), nullptr) != 1) return;
    db.space.refHandle = ref;
    if (xReadDB(&db, &info, file.c_str()) != 1) return;
    xSetPrjDateInfo(&db, info.calendarFrom, info.calendarTo);
    classify();
    ready = true;
  }
  ~Project() {
    xCloseDB(&db);
    xCloseFile(&ref);
    std::filesystem::remove_all(folder);
  }

  void classify() {
    // Work types: a letter, then two digits; facilities: two digits.
    uint8_t classes[404] = {};
    const int16_t work[] = {2, 0, 1, 0, 0, 0, 0, 0, 0, 1, 2};
    const int16_t facility[] = {1, 0, 0, 0, 0, 0, 0, 0, 0, 2};
    std::memcpy(classes, work, sizeof work);
    std::memcpy(classes + 202, facility, sizeof facility);
    xOption(&db.opt, XOPT_WRITE, 1, classes, sizeof classes);
    ClassLevels levels[2];
    kelvo::readClassLevels(&db, levels);
    auto code = [&](int classification, const std::string& text) {
      TableBinding& t = classification == 0 ? db.wbs : db.obs;
      std::vector<uint8_t> bytes(t.tb.recordSize, 0);
      WbsRecord w{};
      std::snprintf(w.code, sizeof w.code, "%s", text.c_str());
      std::snprintf(w.title, sizeof w.title, "name %s", text.c_str());
      std::memcpy(bytes.data(), &w, std::min(bytes.size(), sizeof w));
      t.tb.current = -1;
      xInputRecWbs(&db, bytes.data(), static_cast<int16_t>(classification),
                   &levels[classification]);
    };
    for (int l = 0; l < 10; ++l) {
      code(0, std::string(1, static_cast<char>('A' + l)));
      for (int d = 0; d < 30; ++d) {
        char c[4];
        std::snprintf(c, sizeof c, "%c%02d", 'A' + l, d);
        code(0, c);
      }
    }
    for (int f = 0; f < 100; ++f) {
      char c[3];
      std::snprintf(c, sizeof c, "%02d", f);
      code(1, c);
    }
    TableHandle& tb = db.act.tb;
    std::vector<uint8_t> bytes(tb.recordSize);
    int i = 0;
    tb.current = -1;
    while (xMoveNext(&tb)) {
      xGetRec(&tb, bytes.data());
      ActRecord a;
      std::memcpy(&a, bytes.data(), sizeof a);
      std::snprintf(a.wbsCode, sizeof a.wbsCode, "%c%02d", 'A' + i % 10, (i / 10) % 30);
      std::snprintf(a.obsCode, sizeof a.obsCode, "%02d", (i / 300) % 100);
      a.quantity = 1 + i % 7;
      a.contractPrice = 1000;
      a.executionPrice = 800;
      a.inputPrice = 700;
      if (i % 10 == 0 && a.duration > 0) a.type = 2;
      std::memcpy(bytes.data(), &a, sizeof a);
      xPutRec(&tb, bytes.data());
      ++i;
    }
  }
};

Project& project() {
  static Project p;
  return p;
}

void build(benchmark::State& state, uint32_t flags) {
  Project& p = project();
  if (!p.ready) {
    state.SkipWithError("kvcli gen / schedule failed");
    return;
  }
  int16_t current = 0;
  for (auto _ : state) {
    kelvo::SummaryRegistration r{1, flags, {0, 1}, "bench"};
    if (kelvo::buildSummary(&p.db, p.info, r, &current) != kelvo::kSummaryDone) {
      state.SkipWithError("build failed");
      return;
    }
  }
  state.counters["rows"] = p.db.summary.table.tb.liveCount;
}

constexpr uint32_t kRows =
    kelvo::kSummaryActivities | kelvo::kSummaryIndentNames | kelvo::kSummaryNumberNames;

void BM_SummaryWithoutSeries(benchmark::State& state) {
  build(state, kRows);
}
void BM_SummaryWeeklySeries(benchmark::State& state) {
  build(state, kRows | kelvo::kSummaryPeriods | 1);
}

BENCHMARK(BM_SummaryWithoutSeries)->Unit(benchmark::kSecond)->Iterations(3);
BENCHMARK(BM_SummaryWeeklySeries)->Unit(benchmark::kSecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
