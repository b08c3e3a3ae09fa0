// The Microsoft Project XML converter on a project of 30,000 activities and
// 45,000 relations made by `kvcli gen`: the whole project written as MSPDI
// (xExpDB) and a new project built from it (xGetInfo, xImpDB). The baseline
// saves the same project as a project file, so the ratios show what the
// exchange file costs beside the store's own file.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "kvconvert.h"
#include "kvmspdi.h"
#include "xQdDb100.h"
#include "xjor/option.h"

namespace {

namespace fs = std::filesystem;

struct Fixture {
  fs::path bin, folder;
  std::string project, exchange;
  int32_t ref = -1;
  ProjectDb db;
  char info[XQD_INFO_SIZE] = {};
  XKvScheme scheme{};
  void* plugin = nullptr;
  const XKvProc* procs = nullptr;

  Fixture() {
    bin = fs::read_symlink("/proc/self/exe").parent_path();
    char pattern[] = "/tmp/mspdi_bench_XXXXXX";
    folder = mkdtemp(pattern);
    project = (folder / "gen.kvp").string();
    exchange = (folder / "gen.xml").string();
    const std::string gen = (bin / "kvcli").string() + " gen " + project +
                            " --activities 30000 --relations 45000 > /dev/null";
    if (std::system(gen.c_str()) != 0) abort();
    xOpenRef(&ref, (bin / "Kelvo.ref").c_str());
    xCreateDB(&db, nullptr, (folder.string() + "/").c_str(), nullptr);
    db.space.refHandle = ref;
    if (!xReadDB(&db, info, project.c_str())) abort();
    const auto* pi = reinterpret_cast<const PrjInfo*>(info);
    xSetPrjDateInfo(&db, pi->calendarFrom, pi->calendarTo);
    xOption(&db.opt, XOPT_READ, 1, &scheme, sizeof scheme);
    plugin = dlopen((bin / "xKvMsp.so").c_str(), RTLD_NOW);
    if (!plugin) abort();
    auto table = reinterpret_cast<XKvOrdinalTableFn>(dlsym(plugin, "xOrdinalTable"));
    procs = table();
  }
  ~Fixture() {
    xCloseDB(&db);
    xCloseFile(&ref);
    dlclose(plugin);
    fs::remove_all(folder);
  }

  bool exportFile() {
    XKvRequest r{};
    r.path = exchange.c_str();
    r.database = &db;
    r.scheme = &scheme;
    r.info = info;
    return procs[XKV_EXP_DB](&r) != 0;
  }

  bool importFile() {
    char in[XQD_INFO_SIZE] = {};
    in[198] = 12;
    XKvScheme s{};
    XKvRequest r{};
    r.path = exchange.c_str();
    r.scheme = &s;
    r.info = in;
    if (!procs[XKV_GET_INFO](&r)) return false;
    ProjectDb made;
    xCreateDB(&made, nullptr, (folder.string() + "/").c_str(), nullptr);
    made.space.refHandle = ref;
    xInitializeDB(&made, nullptr);
    r.database = &made;
    const bool ok = procs[XKV_IMP_DB](&r) != 0 && made.act.tb.liveCount == db.act.tb.liveCount;
    xCloseDB(&made);
    return ok;
  }
};

Fixture& fixture() {
  static Fixture f;
  return f;
}

void BM_SaveProjectFile(benchmark::State& state) {
  Fixture& f = fixture();
  const std::string path = (f.folder / "copy.kvp").string();
  for (auto _ : state)
    if (!xSaveDB(&f.db, f.info, path.c_str(), 0)) state.SkipWithError("save failed");
}
BENCHMARK(BM_SaveProjectFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ExportXml(benchmark::State& state) {
  Fixture& f = fixture();
  for (auto _ : state)
    if (!f.exportFile()) state.SkipWithError("export failed");
}
BENCHMARK(BM_ExportXml)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ImportXml(benchmark::State& state) {
  Fixture& f = fixture();
  if (!f.exportFile()) state.SkipWithError("export failed");
  for (auto _ : state)
    if (!f.importFile()) state.SkipWithError("import failed");
}
BENCHMARK(BM_ImportXml)->Unit(benchmark::kMillisecond)->UseRealTime();

// Only the reading of the file into its model: the share of the import
// that goes to parsing.
void BM_ReadXml(benchmark::State& state) {
  Fixture& f = fixture();
  if (!f.exportFile()) state.SkipWithError("export failed");
  for (auto _ : state) {
    kvmsp::Project p;
    std::string error;
    if (!kvmsp::readFile(f.exchange, p, error) || p.tasks.size() < 30000)
      state.SkipWithError("read failed");
    benchmark::DoNotOptimize(p);
  }
}
BENCHMARK(BM_ReadXml)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
