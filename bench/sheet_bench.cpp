// The spreadsheet converter on a project of 30,000 activities and 45,000
// relations made by `kvcli gen`: the whole project written as a workbook
// (xExpDB) and a new project built from it (xGetInfo, xImpDB). The baseline
// saves the same project as a project file, so the ratios show what the
// workbook costs beside the store's own file.
#include <benchmark/benchmark.h>

#include <vector>

#include "converter_fixture.h"
#include "kvxlsx.h"

namespace {

using Fixture = ConverterFixture;
namespace fs = std::filesystem;

Fixture& fixture() {
  static Fixture f("xKvXls.so", "xlsx");
  return f;
}

void BM_SaveProjectFile(benchmark::State& state) {
  Fixture& f = fixture();
  const std::string path = (f.folder / "copy.kvp").string();
  for (auto _ : state)
    if (!xSaveDB(&f.db, f.info, path.c_str(), 0)) state.SkipWithError("save failed");
}
BENCHMARK(BM_SaveProjectFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ExportWorkbook(benchmark::State& state) {
  Fixture& f = fixture();
  for (auto _ : state)
    if (!f.exportFile()) state.SkipWithError("export failed");
}
BENCHMARK(BM_ExportWorkbook)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ImportWorkbook(benchmark::State& state) {
  Fixture& f = fixture();
  if (!f.exportFile()) state.SkipWithError("export failed");
  for (auto _ : state)
    if (!f.importFile()) state.SkipWithError("import failed");
}
BENCHMARK(BM_ImportWorkbook)->Unit(benchmark::kMillisecond)->UseRealTime();

// Only the reading of the activities' sheet, every cell of every row: the
// share of the import that goes to unpacking and parsing.
void BM_ReadActivitySheet(benchmark::State& state) {
  Fixture& f = fixture();
  if (!f.exportFile()) state.SkipWithError("export failed");
  for (auto _ : state) {
    kvxlsx::Workbook wb;
    size_t cells = 0;
    if (!wb.open(f.exchange) ||
        !wb.readRows(4, 1, 40, [&](uint32_t, const std::vector<kvxlsx::Cell>& row) {
          for (const kvxlsx::Cell& c : row) cells += c.kind != kvxlsx::Cell::Empty;
          return true;
        }))
      state.SkipWithError("read failed");
    benchmark::DoNotOptimize(cells);
  }
}
BENCHMARK(BM_ReadActivitySheet)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
