// The path of a generated project of 100,000 and of 999,999 activities (1.5
// relations each) through the store and the analysis: `kvcli gen`, reading,
// the schedule analysis, saving. Every figure is processor time (user +
// system, the child's for kvcli), which a machine shared with compilers
// disturbs far less than the clock. Each is reported with its ratio to a
// plain copy of the same project file made in this process, and the larger
// size with its growth over the smaller, against the growth n log n allows.
//
// The projects are written under $KELVO_BENCH_DIR (else the temporary
// folder) and removed at the end; the larger one takes about 600 MB.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <string>

#include "generated_projects.h"
#include "kelvo/project_schedule.h"
#include "xQdDb100.h"

namespace {

namespace fs = std::filesystem;
using bench::binFolder;
using bench::cpuSeconds;

fs::path scratch() {
  return bench::scratchFolder("million");
}

// What one size measured, in processor seconds.
struct Figures {
  double gen = 0, copy = 0, read = 0, schedule = 0, save = 0;
  double megabytes = 0;
  bool ok = false;
};

// Reads the project as kvcli does, with the calendar range of its
// information installed.
bool readProject(ProjectDb& db, PrjInfo& info, int32_t ref, const fs::path& file,
                 const fs::path& work) {
  fs::create_directories(work);
  if (xCreateDB(&db, nullptr, (work.string() + "/").c_str(), nullptr) != 1) return false;
  db.space.refHandle = ref;
  if (xReadDB(&db, &info, file.c_str()) != 1) return false;
  xSetPrjDateInfo(&db, info.calendarFrom, info.calendarTo);
  return true;
}

Figures measure(int activities) {
  Figures f;
  const fs::path file = scratch() / ("p" + std::to_string(activities) + ".kvp");
  const std::string gen = (binFolder() / "kvcli").string() + " gen " + file.string() +
                          " --activities " + std::to_string(activities) + " --relations " +
                          std::to_string(activities * 3 / 2) + " > /dev/null";
  double t = cpuSeconds(RUSAGE_CHILDREN);
  if (std::system(gen.c_str()) != 0) return f;
  f.gen = cpuSeconds(RUSAGE_CHILDREN) - t;
  f.megabytes = fs::file_size(file) / 1e6;

  const fs::path copy = scratch() / "copy.kvp";
  t = cpuSeconds(RUSAGE_SELF);
  fs::copy_file(file, copy, fs::copy_options::overwrite_existing);
  f.copy = cpuSeconds(RUSAGE_SELF) - t;
  fs::remove(copy);

  int32_t ref = -1;
  if (xOpenRef(&ref, (binFolder() / "Kelvo.ref").c_str()) != 1) return f;
  ProjectDb db;
  PrjInfo info;
  t = cpuSeconds(RUSAGE_SELF);
  const bool read = readProject(db, info, ref, file, scratch() / "work");
  f.read = cpuSeconds(RUSAGE_SELF) - t;
  if (read) {
    t = cpuSeconds(RUSAGE_SELF);
    const kelvo::ScheduleOutcome out = kelvo::scheduleProject(&db, &info, info.dataDate);
    f.schedule = cpuSeconds(RUSAGE_SELF) - t;
    t = cpuSeconds(RUSAGE_SELF);
    f.ok = out.result == kelvo::kScheduleDone && xSaveDB(&db, &info, file.c_str(), 0) == 1;
    f.save = cpuSeconds(RUSAGE_SELF) - t;
  }
  xCloseDB(&db);
  xCloseFile(&ref);
  fs::remove(file);
  return f;
}

const Figures& figures(int activities) {
  static std::map<int, Figures> done;
  auto it = done.find(activities);
  if (it == done.end()) it = done.emplace(activities, measure(activities)).first;
  return it->second;
}

constexpr int kSmall = 100000;

void BM_MillionPath(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const Figures& f = figures(n);
  for (auto _ : state) state.SetIterationTime(f.read + f.schedule + f.save);
  if (!f.ok) state.SkipWithError("generation, reading, analysis or saving failed");
  state.counters["MB"] = f.megabytes;
  state.counters["copy_s"] = f.copy;
  for (auto [name, value] :
       {std::pair{"gen", f.gen}, {"read", f.read}, {"schedule", f.schedule}, {"save", f.save}}) {
    state.counters[std::string(name) + "_s"] = value;
    state.counters[std::string(name) + "_x_copy"] = f.copy > 0 ? value / f.copy : 0;
  }
  if (n != kSmall) {
    const Figures& s = figures(kSmall);
    const double nlogn = bench::nlognGrowth(kSmall, n);
    state.counters["growth_nlogn"] = nlogn;
    for (auto [name, big, small] : {std::tuple{"gen", f.gen, s.gen},
                                    {"read", f.read, s.read},
                                    {"schedule", f.schedule, s.schedule},
                                    {"save", f.save, s.save}}) {
      state.counters[std::string(name) + "_growth"] = small > 0 ? big / small : 0;
    }
  }
}
BENCHMARK(BM_MillionPath)
    ->Arg(kSmall)
    ->Arg(999999)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  fs::remove_all(scratch());
  return 0;
}
