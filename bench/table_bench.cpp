// A table of 1,000,000 records of 298 bytes: appending them all, walking
// them with xMoveNext + xGetRec, and reading 1,000,000 random slots. Each
// is paired with a baseline on the same slot file in the same process: one
// pwrite / pread per slot. The ratios are printed after the run.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "xJorDbm2.h"

namespace {

constexpr uint32_t kRecords = 1000000;
constexpr uint16_t kRecordSize = 298;
constexpr uint64_t kSlot = kRecordSize + 4;

struct Table {
  std::string dir;
  DbSpace db = {};
  TableHandle tb = {};
  std::vector<uint32_t> randomSlots;

  Table() {
    char pattern[] = "/tmp/xjor-bench-XXXXXX";
    dir = mkdtemp(pattern);
    dir += "/";
    if (!xOpenDb(&db, dir.c_str(), nullptr) || !xOpenTb(&db, &tb, "act", kRecordSize)) abort();
    fill();
    std::mt19937 rng(11);
    std::uniform_int_distribution<uint32_t> pick(0, kRecords - 1);
    randomSlots.resize(kRecords);
    for (uint32_t& s : randomSlots) s = pick(rng);
  }
  ~Table() {
    xCloseTb(&db, &tb);
    xCloseFile(&db.mainHandle);
    xDelDbTemp(&db);
    std::filesystem::remove_all(dir);
  }
  void fill() {
    uint8_t rec[kRecordSize] = {};
    for (uint32_t i = 0; i < kRecords; ++i) {
      memcpy(rec, &i, sizeof i);
      xAddRec(&tb, rec);
    }
  }
  static Table& get() {
    static Table table;
    return table;
  }
};

void BM_AppendAll(benchmark::State& state) {
  Table& t = Table::get();
  for (auto _ : state) {
    state.PauseTiming();
    xCloseTb(&t.db, &t.tb);
    xOpenTb(&t.db, &t.tb, "act", kRecordSize);
    state.ResumeTiming();
    t.fill();
  }
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_AppendAllBaselinePwrite(benchmark::State& state) {
  Table& t = Table::get();
  int32_t fd = xOpenTemp(&t.db, "base", 0);
  uint8_t slot[kSlot] = {0xFE, 0xFF, 0xFF, 0xFF};
  for (auto _ : state) {
    state.PauseTiming();
    if (ftruncate(fd, 0) != 0) abort();
    state.ResumeTiming();
    for (uint32_t i = 0; i < kRecords; ++i) {
      memcpy(slot + 4, &i, sizeof i);
      if (pwrite(fd, slot, kSlot, static_cast<off_t>(i * kSlot)) != kSlot) abort();
    }
  }
  xCloseTemp(&t.db, &fd, "base");
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_IterateAll(benchmark::State& state) {
  Table& t = Table::get();
  uint8_t rec[kRecordSize];
  uint64_t sum = 0;
  for (auto _ : state) {
    t.tb.current = -1;
    while (xMoveNext(&t.tb)) {
      xGetRec(&t.tb, rec);
      sum += rec[0];
    }
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_IterateAllBaselinePread(benchmark::State& state) {
  Table& t = Table::get();
  uint8_t slot[kSlot];
  uint64_t sum = 0;
  for (auto _ : state) {
    for (uint32_t i = 0; i < t.tb.slotCount; ++i) {
      if (pread(t.tb.handle, slot, kSlot, static_cast<off_t>(i * kSlot)) != kSlot) abort();
      sum += slot[4];
    }
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_RandomRead(benchmark::State& state) {
  Table& t = Table::get();
  uint8_t rec[kRecordSize];
  uint64_t sum = 0;
  for (auto _ : state) {
    for (uint32_t s : t.randomSlots) {
      t.tb.current = static_cast<int32_t>(s);
      xGetRec(&t.tb, rec);
      sum += rec[0];
    }
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_RandomReadBaselinePread(benchmark::State& state) {
  Table& t = Table::get();
  uint8_t slot[kSlot];
  uint64_t sum = 0;
  for (auto _ : state) {
    for (uint32_t s : t.randomSlots) {
      if (pread(t.tb.handle, slot, kSlot, static_cast<off_t>(s * kSlot)) != kSlot) abort();
      sum += slot[4];
    }
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * kRecords);
}

BENCHMARK(BM_AppendAllBaselinePwrite)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_AppendAll)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_IterateAllBaselinePread)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_IterateAll)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RandomReadBaselinePread)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RandomRead)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// Console output plus the records/s of each run, for the ratio lines.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      auto it = r.counters.find("items_per_second");
      if (it != r.counters.end()) rate[r.benchmark_name()] = it->second;
    }
  }
  std::map<std::string, double> rate;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const char* pairs[][2] = {{"BM_AppendAll", "BM_AppendAllBaselinePwrite"},
                            {"BM_IterateAll", "BM_IterateAllBaselinePread"},
                            {"BM_RandomRead", "BM_RandomReadBaselinePread"}};
  for (auto& p : pairs) {
    std::string a, b;
    for (auto& [name, r] : reporter.rate) {
      if (name.rfind(std::string(p[0]) + "/", 0) == 0) a = name;
      if (name.rfind(std::string(p[1]) + "/", 0) == 0) b = name;
    }
    if (a.empty() || b.empty()) continue;
    printf("%-16s %10.0f records/s  %5.2fx the one-call-per-slot baseline\n", p[0],
           reporter.rate[a], reporter.rate[a] / reporter.rate[b]);
  }
  benchmark::Shutdown();
  return 0;
}
