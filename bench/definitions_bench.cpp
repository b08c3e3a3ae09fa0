// The two bulk changes of the definition menu on a project of 100,000
// activities: a batch value change (every record evaluated, changed and
// entered again with its dates derived) against entering the same records
// again unchanged, and a re-layout of the activity table with one user
// item added against copying its slot file once, each pair in one run.
#include <benchmark/benchmark.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "kelvo/batch_change.h"
#include "xQdDb100.h"
#include "xjor/calendar.h"
#include "xjor/packed_date.h"

namespace {

constexpr int kWorkTypes = 400, kFacilities = 250;  // 100,000 map cells
// "[소요일수]*2" in CP949: twice the duration.
constexpr const char* kFormula = "[\xBC\xD2\xBF\xE4\xC0\xCF\xBC\xF6]*2";
constexpr const char* kQuantityItem = "\xBC\xF6\xB7\xAE";  // 수량

constexpr auto Day = xjor::packDate;

double Since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A project of one activity on every map cell, on plain calendar days.
struct Project {
  std::string folder;
  int32_t ref = -1;
  ProjectDb db;
  std::vector<uint32_t> slots;

  Project() {
    char pattern[] = "/tmp/definitions_bench_XXXXXX";
    folder = std::string(mkdtemp(pattern)) + "/";
    const auto bin = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    xOpenRef(&ref, (bin / "Kelvo.ref").c_str());
    xCreateDB(&db, nullptr, folder.c_str(), nullptr);
    db.space.refHandle = ref;
    xInitializeDB(&db, nullptr);
    const ClassLevels levels = {1, {0}, {4}};
    WbsRecord w = {};
    for (int cls = 0; cls < 2; ++cls) {
      for (int i = 0; i < (cls ? kFacilities : kWorkTypes); ++i) {
        snprintf(w.code, sizeof w.code, "%c%03d", cls ? 'F' : 'W', i);
        TableHandle& tb = cls ? db.obs.tb : db.wbs.tb;
        tb.current = -1;
        xInputRecWbs(&db, &w, static_cast<int16_t>(cls), &levels);
      }
    }
    std::vector<char> rec(db.act.tb.recordSize);
    for (int i = 0; i < kWorkTypes * kFacilities; ++i) {
      ActRecord a = {};
      snprintf(a.code, sizeof a.code, "A%06d", i);
      snprintf(a.wbsCode, sizeof a.wbsCode, "W%03d", i / kFacilities);
      snprintf(a.obsCode, sizeof a.obsCode, "F%03d", i % kFacilities);
      a.duration = a.remaining = static_cast<int16_t>(1 + i % 20);
      a.start = Day(2024, 1, 1);
      std::fill(rec.begin(), rec.end(), 0);
      memcpy(rec.data(), &a, sizeof a);
      db.act.tb.current = -1;
      if (xInputRecAct(&db, rec.data(), Day(2024, 1, 1), 1, 1, 0) == 0)
        slots.push_back(static_cast<uint32_t>(db.act.tb.current));
    }
  }
  ~Project() {
    xCloseDB(&db);
    xCloseFile(&ref);
    std::filesystem::remove_all(folder);
  }

  int32_t Enter(uint32_t slot, void* record) {
    db.act.tb.current = static_cast<int32_t>(slot);
    return xInputRecAct(&db, record, Day(2024, 1, 1), 1, 1, 0);
  }
};

Project& Shared() {
  static Project project;
  return project;
}

void BM_BatchChange(benchmark::State& state) {
  Project& p = Shared();
  TableHandle& tb = p.db.act.tb;
  const int32_t item = xGetFldOrdinal(kQuantityItem, tb.fields, tb.fieldCount);
  std::vector<char> rec(tb.recordSize);
  double batch = 0, reentry = 0;
  int32_t entered = 0;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    for (uint32_t slot : p.slots) {
      tb.current = static_cast<int32_t>(slot);
      xGetRec(&tb, rec.data());
      p.Enter(slot, rec.data());
    }
    reentry += Since(start);
    start = std::chrono::steady_clock::now();
    const kelvo::BatchResult r =
        kelvo::runBatchChange(&p.db.act, item, kFormula, p.slots,
                              [&p](uint32_t slot, void* record) { return p.Enter(slot, record); });
    batch += Since(start);
    entered = r.entered;
  }
  state.counters["activities"] = static_cast<double>(entered);
  state.counters["seconds"] = batch / state.iterations();
  state.counters["vs_reentry"] = batch / reentry;
}
BENCHMARK(BM_BatchChange)->Unit(benchmark::kMillisecond)->Iterations(3);

// Reads the whole slot file, writes it behind itself and cuts it back.
double CopySlotFile(int32_t handle) {
  const auto start = std::chrono::steady_clock::now();
  const off_t size = lseek(handle, 0, SEEK_END);
  std::vector<char> bytes(static_cast<size_t>(size));
  benchmark::DoNotOptimize(pread(handle, bytes.data(), bytes.size(), 0));
  benchmark::DoNotOptimize(pwrite(handle, bytes.data(), bytes.size(), size));
  benchmark::DoNotOptimize(ftruncate(handle, size));
  return Since(start);
}

void BM_Relayout(benchmark::State& state) {
  Project& p = Shared();
  TableHandle& tb = p.db.act.tb;
  FieldList base{0, 0, nullptr, 0}, wider{0, 0, nullptr, 0};
  xTb2Fld(&base, &tb);
  xTb2Fld(&wider, &tb);
  xAddFld(&wider, -1, "\xB0\xF8\xC1\xA4\xB7\xFC", XF_DOUBLE, 0, 12, 2);  // 공정률
  double relayout = 0, copy = 0;
  for (auto _ : state) {
    copy += CopySlotFile(tb.handle);
    const auto start = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(xModFldStr(&tb, &wider));
    relayout += Since(start);
    xModFldStr(&tb, &base);
  }
  state.counters["seconds"] = relayout / state.iterations();
  state.counters["vs_file_copy"] = relayout / copy;
  xFreeBuffer(base.fields);
  xFreeBuffer(wider.fields);
}
BENCHMARK(BM_Relayout)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
