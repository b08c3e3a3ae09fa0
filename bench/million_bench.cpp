// The path of a generated project of 100,000 and of 999,999 activities (1.5
// relations each) through the store and the analysis: `kvcli gen`, reading,
// the schedule analysis, saving. Every figure is processor time (user +
// system, the child's for kvcli), which a machine shared with compilers
// disturbs far less than the clock. Each is reported with its ratio to a
// plain copy of the same project file made in this process, and the larger
// size with its growth over the smaller, against the growth n log n allows.
//
// A summary by work type with weekly series is measured over the same sizes
// generated with work types (`kvcli gen --work-types`): registering it and
// building it after the analysis, against the same copy.
//
// The projects are written under $KELVO_BENCH_DIR (else the temporary
// folder) and removed at the end; the larger one takes about 600 MB.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <string>

#include "generated_projects.h"
#include "kelvo/project_schedule.h"
#include "kelvo/summary_build.h"
#include "kelvo/summary_registry.h"
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

// Generates the project of `activities` into file; the processor time of
// kvcli, or a negative time when it failed.
double generate(const fs::path& file, int activities, const char* options = "") {
  const std::string gen = (binFolder() / "kvcli").string() + " gen " + file.string() +
                          " --activities " + std::to_string(activities) + " --relations " +
                          std::to_string(activities * 3 / 2) + " " + options + " > /dev/null";
  const double t = cpuSeconds(RUSAGE_CHILDREN);
  if (std::system(gen.c_str()) != 0) return -1;
  return cpuSeconds(RUSAGE_CHILDREN) - t;
}

// Processor time of a plain copy of file.
double copyTime(const fs::path& file) {
  const fs::path copy = scratch() / "copy.kvp";
  const double t = cpuSeconds(RUSAGE_SELF);
  fs::copy_file(file, copy, fs::copy_options::overwrite_existing);
  const double spent = cpuSeconds(RUSAGE_SELF) - t;
  fs::remove(copy);
  return spent;
}

Figures measure(int activities) {
  Figures f;
  const fs::path file = scratch() / ("p" + std::to_string(activities) + ".kvp");
  f.gen = generate(file, activities);
  if (f.gen < 0) return f;
  f.megabytes = fs::file_size(file) / 1e6;
  f.copy = copyTime(file);
  int32_t ref = -1;
  if (xOpenRef(&ref, (binFolder() / "Kelvo.ref").c_str()) != 1) return f;
  ProjectDb db;
  PrjInfo info;
  double t = cpuSeconds(RUSAGE_SELF);
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

// What the summary by work type measured, in processor seconds.
struct SummaryFigures {
  double copy = 0, registration = 0, build = 0;
  int32_t rows = 0;
  bool ok = false;
};

SummaryFigures measureSummary(int activities) {
  SummaryFigures f;
  const fs::path file = scratch() / ("w" + std::to_string(activities) + ".kvp");
  if (generate(file, activities, "--work-types") < 0) return f;
  f.copy = copyTime(file);
  int32_t ref = -1;
  if (xOpenRef(&ref, (binFolder() / "Kelvo.ref").c_str()) != 1) return f;
  ProjectDb db;
  PrjInfo info;
  if (readProject(db, info, ref, file, scratch() / "work") &&
      kelvo::scheduleProject(&db, &info, info.dataDate).result == kelvo::kScheduleDone) {
    // Work types by letter and by code, the activities under them, weekly.
    kelvo::SummaryRegistration r{1,
                                 kelvo::kSummaryActivities | kelvo::kSummaryIndentNames |
                                     kelvo::kSummaryNumberNames | kelvo::kSummaryPeriods |
                                     kelvo::kSummaryWeek,
                                 {0, 1},
                                 "work types"};
    double t = cpuSeconds(RUSAGE_SELF);
    const bool registered = kelvo::writeSummaryRegistration(&db, r) == kelvo::kRegistrationWritten;
    f.registration = cpuSeconds(RUSAGE_SELF) - t;
    int16_t current = 0;
    t = cpuSeconds(RUSAGE_SELF);
    f.ok = registered && kelvo::buildSummary(&db, info, r, &current) == kelvo::kSummaryDone;
    f.build = cpuSeconds(RUSAGE_SELF) - t;
    f.rows = static_cast<int32_t>(db.summary.table.tb.liveCount);
  }
  xCloseDB(&db);
  xCloseFile(&ref);
  fs::remove(file);
  return f;
}

const SummaryFigures& summaryFigures(int activities) {
  static std::map<int, SummaryFigures> done;
  auto it = done.find(activities);
  if (it == done.end()) it = done.emplace(activities, measureSummary(activities)).first;
  return it->second;
}

void BM_SummaryByWorkTypeWeekly(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const SummaryFigures& f = summaryFigures(n);
  for (auto _ : state) state.SetIterationTime(f.registration + f.build);
  if (!f.ok) state.SkipWithError("generation, analysis or the summary failed");
  state.counters["rows"] = f.rows;
  state.counters["copy_s"] = f.copy;
  state.counters["register_s"] = f.registration;
  state.counters["build_s"] = f.build;
  state.counters["build_x_copy"] = f.copy > 0 ? f.build / f.copy : 0;
  if (n != kSmall) {
    const SummaryFigures& s = summaryFigures(kSmall);
    state.counters["growth_nlogn"] = bench::nlognGrowth(kSmall, n);
    state.counters["build_growth"] = s.build > 0 ? f.build / s.build : 0;
  }
}
BENCHMARK(BM_SummaryByWorkTypeWeekly)
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
