// Window 3 of a large project: opening the Gantt window to the chart's
// first painted frame, one scroll step (a row down and a day right, from the
// middle of the project) and one drag repaint. The chart reads only the
// rows and days it shows, so the times should hardly depend on the size of
// the project: the baseline is the same window over 1,000 activities, and
// 10,000 against 100,000 shows the growth. Runs offscreen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>

#include "kelvo/gantt_view.h"
#include "kelvo/gantt_window.h"
#include "kelvo/plan_doc.h"
#include "kelvo/table_view.h"
#include "planner_project.h"
#include "xQdDb100.h"
#include "xjor/packed_date.h"

namespace {

// One project of n activities spread over two years, every third one
// followed by the next, made once per size.
struct Project : bench::NewProject {
  explicit Project(int n) : NewProject(xjor::packDate(2026, 3, 2), xjor::packDate(2027, 12, 31)) {
    ProjectDb& db = doc->db();
    std::vector<char> bytes(db.act.tb.recordSize);
    const int32_t first = xjor::dayNumber(info.start);
    xBeginInputBatch(&db);
    for (int i = 0; i < n; ++i) {
      ActRecord a;
      std::memset(&a, 0, sizeof a);
      std::snprintf(a.code, sizeof a.code, "A%06d", i);
      std::snprintf(a.title, sizeof a.title, "activity %d", i);
      a.duration = a.remaining = int16_t(i % 7 == 0 ? 0 : 1 + i % 20);
      a.totalFloat = int16_t(i % 5 - 1);
      const int32_t es = first + int32_t(int64_t{i} * 600 / n);
      a.start = a.earlyStart = a.lateStart = xjor::dateFromDayNumber(es);
      a.finish = a.earlyFinish = xjor::dateFromDayNumber(es + std::max(0, a.duration - 1));
      a.lateFinish = xjor::dateFromDayNumber(es + a.duration + 3);
      a.anchor = xjor::dateFromDayNumber(es + a.duration);
      std::fill(bytes.begin(), bytes.end(), 0);
      std::memcpy(bytes.data(), &a, sizeof a);
      db.act.tb.current = -1;
      xInputRecAct(&db, bytes.data(), info.start, 0, 0, -1);
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

Project& ProjectOf(int n) {
  static std::map<int, std::unique_ptr<Project>> made;
  auto& p = made[n];
  if (!p) p = std::make_unique<Project>(n);
  return *p;
}

std::unique_ptr<QWidget> OpenWindow(Project& p) {
  std::unique_ptr<QWidget> window(kelvo::makeGanttWindow(p.doc.get(), {}, nullptr));
  window->resize(1600, 900);
  return window;
}

kelvo::CGanttView* Chart(QWidget* window) {
  return kelvo::ganttChartOf(window);
}

void Paint(kelvo::CGanttView* chart, QImage& image) {
  chart->viewport()->render(&image);
}

// Opening window 3 and painting the chart once.
void BM_FirstPaint(benchmark::State& state) {
  bench::OffscreenApp();
  Project& p = ProjectOf(static_cast<int>(state.range(0)));
  QImage image(800, 630, QImage::Format_RGB32);
  for (auto _ : state) {
    auto window = OpenWindow(p);
    Paint(Chart(window.get()), image);
    benchmark::DoNotOptimize(image.bits());
  }
  state.counters["rows"] = p.doc->db().act.tb.liveCount;
}

// From the middle of the project: a row down and a day right, repainted.
void BM_ScrollStep(benchmark::State& state) {
  bench::OffscreenApp();
  Project& p = ProjectOf(static_cast<int>(state.range(0)));
  auto window = OpenWindow(p);
  kelvo::CGanttView* chart = Chart(window.get());
  QImage image(800, 630, QImage::Format_RGB32);
  const int32_t middleRow = chart->scale().settings().rowCount / 2;
  const int32_t middleX =
      chart->scale().x(xjor::dateFromDayNumber(xjor::dayNumber(p.doc->info().start) + 300));
  chart->scrollTo(middleX, middleRow);
  Paint(chart, image);
  int64_t steps = 0;
  for (auto _ : state) {
    if (++steps % 200 == 0) chart->scrollTo(middleX, middleRow);
    chart->scrollView(Qt::Vertical, kelvo::ScrollAction::LineForward);
    chart->scrollView(Qt::Horizontal, kelvo::ScrollAction::LineForward);
    Paint(chart, image);
  }
}

// A bar being dragged: the drag position moves and the chart repaints.
void BM_DragRepaint(benchmark::State& state) {
  bench::OffscreenApp();
  Project& p = ProjectOf(static_cast<int>(state.range(0)));
  auto window = OpenWindow(p);
  kelvo::CGanttView* chart = Chart(window.get());
  QImage image(800, 630, QImage::Format_RGB32);
  const int32_t row = chart->scale().settings().rowCount / 2;
  chart->scrollTo(0, row);
  QByteArray record(p.doc->db().act.tb.recordSize, '\0');
  chart->sheet()->rows().read(uint32_t(row), record.data());
  ActRecord a;
  std::memcpy(&a, record.constData(), sizeof a);
  chart->scrollTo(chart->scale().x(a.start) - 200, row);
  kelvo::viewState().editTool = kelvo::tool::kDataSelect;
  const int32_t y = kelvo::currentBarTop(row, chart->scale(), chart->block()) - 10;
  const int32_t x = chart->scale().x(a.start) + 3;
  chart->dataToolPress(x, y, Qt::NoModifier);
  int32_t dx = 0;
  for (auto _ : state) {
    dx = (dx + 10) % 300;
    chart->dataToolDrag(x + dx, y);
    Paint(chart, image);
  }
  chart->dataToolCancel();
}

}  // namespace

BENCHMARK(BM_FirstPaint)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScrollStep)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DragRepaint)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
