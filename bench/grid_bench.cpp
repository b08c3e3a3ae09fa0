// The activity sheet of a large project: the time from opening the sheet to
// its first paint, and the time of one page repaint while scrolling from
// the top to the bottom. The sheet reads only the rows it shows, so both
// should hardly depend on the size of the project: the baseline is the same
// sheet over 1,000 activities, and the reported ratios compare against it.
// Runs offscreen (QT_QPA_PLATFORM=offscreen is set here).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>

#include "kelvo/option_slots.h"
#include "kelvo/plan_doc.h"
#include "kelvo/table_view.h"
#include "planner_project.h"
#include "xQdDb100.h"
#include "xjor/packed_date.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

// One project of n activities, made once per size.
struct Project : bench::NewProject {
  explicit Project(int n) : NewProject(xjor::packDate(2026, 3, 2), 0) {
    ProjectDb& db = doc->db();
    std::vector<char> bytes(db.act.tb.recordSize);
    xBeginInputBatch(&db);
    for (int i = 0; i < n; ++i) {
      ActRecord a;
      std::memset(&a, 0, sizeof a);
      std::snprintf(a.code, sizeof a.code, "A%06d", i);
      std::snprintf(a.title, sizeof a.title, "activity %d", i);
      a.duration = a.remaining = int16_t(1 + i % 20);
      std::fill(bytes.begin(), bytes.end(), 0);
      std::memcpy(bytes.data(), &a, sizeof a);
      db.act.tb.current = -1;
      xInputRecAct(&db, bytes.data(), info.start, 0, 0, -1);
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

std::unique_ptr<kelvo::CTableView> OpenSheet(Project& p) {
  kelvo::viewState().nextViewKind = kelvo::ViewKind::Activities;
  kelvo::viewState().nextWindow = 8;
  auto view = std::make_unique<kelvo::CTableView>(p.doc.get());
  view->resize(1280, 800);
  view->initialUpdate();
  return view;
}

void Paint(kelvo::CTableView& view, QImage& image) {
  view.viewport()->render(&image);
}

// Opening the sheet and painting it once.
void BM_FirstPaint(benchmark::State& state) {
  bench::OffscreenApp();
  Project& p = ProjectOf(static_cast<int>(state.range(0)));
  QImage image(1280, 800, QImage::Format_RGB32);
  for (auto _ : state) {
    auto view = OpenSheet(p);
    Paint(*view, image);
    benchmark::DoNotOptimize(image.bits());
  }
  state.counters["rows"] = p.doc->db().act.tb.liveCount;
}

// Opening the sheet with a stored order (activity code, descending) and
// painting it once: the record set is sorted as it is built.
void BM_FirstPaintOrdered(benchmark::State& state) {
  bench::OffscreenApp();
  Project& p = ProjectOf(static_cast<int>(state.range(0)));
  ProjectDb& db = p.doc->db();
  kelvo::SheetRecord stored{};
  const bool had = kelvo::readSheetRecord(&db.opt, kelvo::ViewKind::Activities, &stored);
  kelvo::SheetRecord ordered = stored;
  if (!had) ordered.format = kelvo::defaultGridFormat();
  ordered.order[0] = 1;
  ordered.order[1] = 10000;  // field 0, the activity code, descending
  kelvo::writeSheetRecord(&db.opt, kelvo::ViewKind::Activities, ordered);
  QImage image(1280, 800, QImage::Format_RGB32);
  for (auto _ : state) {
    auto view = OpenSheet(p);
    Paint(*view, image);
    benchmark::DoNotOptimize(image.bits());
    if (view->rowLabel(0) != "1" ||
        view->cellText(0) != QStringLiteral("A%1").arg(state.range(0) - 1, 6, 10, QChar('0')))
      state.SkipWithError("the sheet is not in descending code order");
  }
  if (had)
    kelvo::writeSheetRecord(&db.opt, kelvo::ViewKind::Activities, stored);
  else
    xOption(&db.opt, XOPT_DELETE,
            kelvo::kindItem(kelvo::KindRecord::Settings, kelvo::ViewKind::Activities), nullptr, 0);
}

// Scrolling a page down and repainting, from the top to the bottom.
void BM_PageRepaint(benchmark::State& state) {
  bench::OffscreenApp();
  Project& p = ProjectOf(static_cast<int>(state.range(0)));
  auto view = OpenSheet(p);
  QImage image(1280, 800, QImage::Format_RGB32);
  Paint(*view, image);
  int64_t pages = 0;
  for (auto _ : state) {
    if (view->topRow() + view->visibleRows() > view->rowCount())
      view->scrollView(Qt::Vertical, kelvo::ScrollAction::ToStart);
    view->scrollView(Qt::Vertical, kelvo::ScrollAction::PageForward);
    Paint(*view, image);
    ++pages;
  }
  state.counters["rows/page"] = view->visibleRows();
  state.counters["pages"] = static_cast<double>(pages);
}

// Scrolling the whole sheet once from top to bottom, page by page.
void BM_ScrollTopToBottom(benchmark::State& state) {
  bench::OffscreenApp();
  Project& p = ProjectOf(static_cast<int>(state.range(0)));
  QImage image(1280, 800, QImage::Format_RGB32);
  double worst = 0;
  int64_t pages = 0;
  for (auto _ : state) {
    auto view = OpenSheet(p);
    Paint(*view, image);
    pages = 0;
    while (view->topRow() + view->visibleRows() <= view->rowCount()) {
      const auto t = Clock::now();
      view->scrollView(Qt::Vertical, kelvo::ScrollAction::PageForward);
      Paint(*view, image);
      worst = std::max(worst, Seconds(t));
      ++pages;
    }
  }
  state.counters["pages"] = static_cast<double>(pages);
  state.counters["worst_page_ms"] = worst * 1000;
}

}  // namespace

BENCHMARK(BM_FirstPaint)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstPaintOrdered)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageRepaint)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScrollTopToBottom)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
