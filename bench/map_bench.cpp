// The project map of a large project: the cell table of 1,000 work types by
// 1,000 facilities with 100,000 activities (from records in memory, and
// from the project with its map places written), and one scroll step of the
// map window (a cell down and right from the middle, repainted). Baselines
// in the same run: the same work over 100 x 100 codes with 1,000
// activities. Runs offscreen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>

#include "kelvo/map_layout.h"
#include "kelvo/map_view.h"
#include "kelvo/map_window.h"
#include "kelvo/plan_doc.h"
#include "planner_project.h"
#include "xQdDb100.h"
#include "xjor/packed_date.h"

namespace {

// Activity i sits on work type i mod side and facility
// (i / side) x 10 + i mod 10: every pair once, spread over the matrix.
void codesOf(int i, int side, char* w, char* o) {
  std::snprintf(w, 11, "W%04d", i % side);
  std::snprintf(o, 11, "F%04d", (i / side) * 10 % side + i % 10);
}

// A project of `side` work types and facilities (one level of five
// characters each) and n activities, made once per size.
struct Project : bench::NewProject {
  Project(int side, int n) : NewProject(xjor::packDate(2026, 3, 2), xjor::packDate(2027, 12, 31)) {
    const int lengths[8] = {5};
    QString names[8];
    kelvo::ClassDef defs[2];
    kelvo::makeClassDef(lengths, names, &defs[0]);
    kelvo::makeClassDef(lengths, names, &defs[1]);
    doc->changeClassDefs(defs);
    ProjectDb& db = doc->db();
    ClassLevels levels{};
    levels.count = 1;
    levels.length[0] = 5;
    xBeginInputBatch(&db);
    for (int cls = 0; cls < 2; ++cls) {
      TableBinding& t = cls == 0 ? db.wbs : db.obs;
      std::vector<char> bytes(t.tb.recordSize);
      for (int k = 0; k < side; ++k) {
        WbsRecord r{};
        std::snprintf(r.code, sizeof r.code, "%c%04d", cls == 0 ? 'W' : 'F', k);
        std::fill(bytes.begin(), bytes.end(), 0);
        std::memcpy(bytes.data(), &r, std::min(bytes.size(), sizeof r));
        t.tb.current = -1;
        xInputRecWbs(&db, bytes.data(), int16_t(cls), &levels);
      }
    }
    std::vector<char> bytes(db.act.tb.recordSize);
    for (int i = 0; i < n; ++i) {
      ActRecord a;
      std::memset(&a, 0, sizeof a);
      std::snprintf(a.code, sizeof a.code, "A%06d", i);
      a.duration = a.remaining = int16_t(1 + i % 20);
      a.totalFloat = int16_t(i % 5 - 1);
      codesOf(i, side, a.wbsCode, a.obsCode);
      std::fill(bytes.begin(), bytes.end(), 0);
      std::memcpy(bytes.data(), &a, sizeof a);
      db.act.tb.current = -1;
      xInputRecAct(&db, bytes.data(), info.start, 1, 1, -1);
    }
    for (int i = 0; i + 1 < n; i += 3) {
      RelRecord r{};
      std::snprintf(r.pred, sizeof r.pred, "A%06d", i);
      std::snprintf(r.succ, sizeof r.succ, "A%06d", i + 1);
      db.rel.tb.current = -1;
      xInputRecRel(&db, &r);
    }
    xEndInputBatch(&db);
  }
};

Project& ProjectOf(int side, int n) {
  static std::map<int, std::unique_ptr<Project>> made;
  auto& p = made[n];
  if (!p) p = std::make_unique<Project>(side, n);
  return *p;
}

int SideOf(int n) {
  return n >= 100000 ? 1000 : 100;
}

// The cell table from codes and records already in memory.
void BM_CellTable(benchmark::State& state) {
  const int n = int(state.range(0)), side = SideOf(n);
  kelvo::MapCodeList rows, columns;
  std::vector<kelvo::MapSource> sources(size_t(n), kelvo::MapSource{});
  char code[11];
  for (int k = 0; k < side; ++k) {
    std::snprintf(code, sizeof code, "W%04d", k);
    rows.push_back(kelvo::mapCode(code));
    std::snprintf(code, sizeof code, "F%04d", k);
    columns.push_back(kelvo::mapCode(code));
  }
  for (int i = 0; i < n; ++i) {
    codesOf(i, side, sources[size_t(i)].row.text, sources[size_t(i)].column.text);
    sources[size_t(i)].record = i;
  }
  for (auto _ : state) benchmark::DoNotOptimize(kelvo::buildCellTable(rows, columns, sources));
}

// The whole build of the project's map: lists from the classifications,
// the activities read, the cell table and the map places.
void BM_BuildFromProject(benchmark::State& state) {
  bench::OffscreenApp();
  const int n = int(state.range(0));
  Project& p = ProjectOf(SideOf(n), n);
  ClassLevels classes[2] = {};
  for (ClassLevels& c : classes) {
    c.count = 1;
    c.length[0] = 5;
  }
  size_t cells = 0;
  for (auto _ : state) {
    const kelvo::MapLayout map =
        kelvo::buildMapLayout(p.doc->db(), classes, kelvo::MapMode::Activities);
    cells = map.cells.size();
  }
  state.counters["cells"] = double(cells);
}

// From the middle of the map: a cell down and a cell right, repainted.
void BM_ScrollStep(benchmark::State& state) {
  bench::OffscreenApp();
  const int n = int(state.range(0));
  Project& p = ProjectOf(SideOf(n), n);
  std::unique_ptr<kelvo::CMapView> map(
      kelvo::makeMapWindow(p.doc.get(), kelvo::MapMode::Activities, nullptr));
  map->resize(1600, 900);
  map->setDisplayedItem(2);
  QImage image(1600, 900, QImage::Format_RGB32);
  const int32_t middle = SideOf(n) / 2;
  map->scrollToCell(middle, middle);
  map->viewport()->render(&image);
  int64_t steps = 0;
  for (auto _ : state) {
    if (++steps % 200 == 0) map->scrollToCell(middle, middle);
    map->scrollView(Qt::Vertical, kelvo::ScrollAction::LineForward);
    map->scrollView(Qt::Horizontal, kelvo::ScrollAction::LineForward);
    map->viewport()->render(&image);
  }
}

}  // namespace

BENCHMARK(BM_CellTable)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildFromProject)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScrollStep)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
