// The Microsoft Project XML converter on a project of 30,000 activities and
// 45,000 relations made by `kvcli gen`: the whole project written as MSPDI
// (xExpDB) and a new project built from it (xGetInfo, xImpDB). The baseline
// saves the same project as a project file, so the ratios show what the
// exchange file costs beside the store's own file.
#include <benchmark/benchmark.h>

#include <string>

#include "converter_fixture.h"
#include "kvmspdi.h"

namespace {

using Fixture = ConverterFixture;
namespace fs = std::filesystem;

Fixture& fixture() {
  static Fixture f("xKvMsp.so", "xml");
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
