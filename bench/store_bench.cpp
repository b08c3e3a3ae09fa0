// Saving and reading back a project of 100,000 activities and 150,000
// relations, with their code and relation indexes. The baseline copies a
// file of the same size, so the ratios show what the store adds to plain
// disk traffic.
#include <benchmark/benchmark.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>

#include "xQdDb100.h"

namespace {

constexpr int kActivities = 100000;
constexpr int kRelations = 150000;

struct Fixture {
  std::string folder;
  std::string project;
  int32_t ref = -1;
  ProjectDb db;

  Fixture() {
    char pattern[] = "/tmp/store_bench_XXXXXX";
    folder = std::string(mkdtemp(pattern)) + "/";
    project = folder + "big.kvp";
    // Kelvo.ref lies next to the programs.
    const auto bin = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    xOpenRef(&ref, (bin / "Kelvo.ref").c_str());
    xCreateDB(&db, nullptr, folder.c_str(), nullptr);
    db.space.refHandle = ref;
    xInitializeDB(&db, nullptr);
    ActRecord a = {};
    ActCodeEntry code = {};
    for (int i = 0; i < kActivities; ++i) {
      snprintf(a.code, sizeof a.code, "A%07d", i);
      a.duration = static_cast<int16_t>(i % 30);
      xAddRec(&db.act.tb, &a);
      memcpy(code.code, a.code, sizeof code.code);
      code.record = i;
      db.actCodes.current = db.actCodes.count;  // codes arrive in order
      xmIns(&db.actCodes, &code);
    }
    RelRecord r = {};
    RelCodeEntry e = {};
    for (int i = 0; i < kRelations; ++i) {
      snprintf(r.pred, sizeof r.pred, "A%07d", i % kActivities);
      snprintf(r.succ, sizeof r.succ, "A%07d", (i * 7 + 1) % kActivities);
      xAddRec(&db.rel.tb, &r);
      memcpy(e.first, r.pred, sizeof e.first);
      memcpy(e.second, r.succ, sizeof e.second);
      e.record = i;
      db.relByPred.current = db.relByPred.count;
      xmIns(&db.relByPred, &e);
      db.relBySucc.current = db.relBySucc.count;
      xmIns(&db.relBySucc, &e);
    }
  }
  ~Fixture() {
    xCloseDB(&db);
    xCloseFile(&ref);
    std::filesystem::remove_all(folder);
  }
};

Fixture* g_big = nullptr;

Fixture& Big() {
  if (g_big == nullptr) g_big = new Fixture;
  return *g_big;
}

uint8_t g_info[XQD_INFO_SIZE];

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Baseline: copy the saved project file and flush it to disk (best of 3).
double CopySeconds(Fixture& f) {
  static double best = [&] {
    xSaveDB(&f.db, g_info, f.project.c_str(), 0);
    const std::string copy = f.folder + "copy.kvp";
    double b = 1e9;
    for (int i = 0; i < 3; ++i) {
      const auto t0 = std::chrono::steady_clock::now();
      std::filesystem::copy_file(f.project, copy,
                                 std::filesystem::copy_options::overwrite_existing);
      FILE* out = fopen(copy.c_str(), "r+");
      fsync(fileno(out));
      fclose(out);
      b = std::min(b, Seconds(t0));
    }
    return b;
  }();
  return best;
}

void BM_SaveProject(benchmark::State& state) {
  Fixture& f = Big();
  const double baseline = CopySeconds(f);
  double total = 0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    if (xSaveDB(&f.db, g_info, f.project.c_str(), 0) != 1) state.SkipWithError("save failed");
    total += Seconds(t0);
  }
  state.counters["MB"] = std::filesystem::file_size(f.project) / 1e6;
  state.counters["x_copy"] = total / state.iterations() / baseline;
}

void BM_ReadProject(benchmark::State& state) {
  Fixture& f = Big();
  const double baseline = CopySeconds(f);
  double total = 0;
  for (auto _ : state) {
    ProjectDb db;
    xCreateDB(&db, nullptr, f.folder.c_str(), "~Rd");
    const auto t0 = std::chrono::steady_clock::now();
    if (xReadDB(&db, g_info, f.project.c_str()) != 1) state.SkipWithError("read failed");
    total += Seconds(t0);
    if (db.act.tb.liveCount != kActivities || db.relByPred.count != kRelations) {
      state.SkipWithError("records lost");
    }
    xCloseDB(&db);
  }
  state.counters["x_copy"] = total / state.iterations() / baseline;
}

BENCHMARK(BM_SaveProject)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ReadProject)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  delete g_big;  // closes the project and removes its folder
  return 0;
}
