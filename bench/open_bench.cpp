// Kelvo on a generated and scheduled project of 100,000 and of 999,999
// activities, offscreen: opening the file to the first painted activity
// sheet and to the first painted Gantt window, then a scroll step and a drag
// repaint in the middle of each. Everything is measured in processor time of
// the process (the machine is shared with compilers), a repaint as the mean
// of 50. The larger size reports its growth over the smaller.
//
// The projects are made with kvcli under $KELVO_BENCH_DIR (else the
// temporary folder) and removed at the end; the larger takes about 600 MB.
#include <benchmark/benchmark.h>

#include <QImage>
#include <filesystem>
#include <map>
#include <string>

#include "generated_projects.h"
#include "kelvo/gantt_model.h"
#include "kelvo/gantt_view.h"
#include "kelvo/gantt_window.h"
#include "kelvo/table_view.h"
#include "kelvo/view_state.h"
#include "planner_project.h"

namespace {

namespace fs = std::filesystem;
using bench::binFolder;
using bench::cpuSeconds;

fs::path scratch() {
  return bench::scratchFolder("open");
}

// The project file of n activities, generated and scheduled once.
std::string projectFile(int n) {
  static std::map<int, std::string> made;
  auto it = made.find(n);
  if (it != made.end()) return it->second;
  const std::string file = (scratch() / ("p" + std::to_string(n) + ".kvp")).string();
  const std::string kvcli = (binFolder() / "kvcli").string();
  const std::string make = kvcli + " gen " + file + " --activities " + std::to_string(n) +
                           " --relations " + std::to_string(n * 3 / 2) + " > /dev/null && " +
                           kvcli + " schedule " + file + " > /dev/null 2>&1";
  return made[n] = std::system(make.c_str()) == 0 ? file : std::string();
}

// A document over the working folder of the scratch folder.
struct Document {
  int32_t ref = -1;
  std::unique_ptr<kelvo::CPlanDoc> doc;
  Document() {
    xOpenRef(&ref, (binFolder() / "Kelvo.ref").c_str());
    fs::create_directories(scratch() / "work");
    doc = std::make_unique<kelvo::CPlanDoc>(
        QString::fromStdString((scratch() / "work").string() + "/"), ref);
  }
  ~Document() {
    doc.reset();
    xCloseFile(&ref);
  }
};

std::unique_ptr<kelvo::CTableView> openSheet(kelvo::CPlanDoc* doc) {
  kelvo::viewState().nextViewKind = kelvo::ViewKind::Activities;
  kelvo::viewState().nextWindow = 1;
  auto view = std::make_unique<kelvo::CTableView>(doc);
  view->resize(1280, 800);
  view->initialUpdate();
  return view;
}

std::unique_ptr<QWidget> openGantt(kelvo::CPlanDoc* doc) {
  std::unique_ptr<QWidget> window(kelvo::makeGanttWindow(doc, {}, nullptr));
  window->resize(1600, 900);
  return window;
}

// Processor seconds of one call of step, averaged over `times`.
template <class Step>
double meanSeconds(int times, Step step) {
  const double t0 = cpuSeconds();
  for (int i = 0; i < times; ++i) step();
  return (cpuSeconds() - t0) / times;
}

struct Figures {
  double openSheet = 0, openGantt = 0;  // processor seconds
  double sheetScroll = 0, ganttScroll = 0, ganttDrag = 0;
  bool ok = false;
};

Figures measure(int n) {
  Figures f;
  const std::string file = projectFile(n);
  if (file.empty()) return f;
  QImage image(1280, 800, QImage::Format_RGB32);
  Document d;
  double t = cpuSeconds();
  if (!d.doc->openProject(QString::fromStdString(file))) return f;
  {
    auto sheet = openSheet(d.doc.get());
    sheet->viewport()->render(&image);
    f.openSheet = cpuSeconds() - t;
    const int middle = sheet->rowCount() / 2;
    while (sheet->topRow() + sheet->visibleRows() < middle) {
      sheet->scrollView(Qt::Vertical, kelvo::ScrollAction::PageForward);
      if (sheet->topRow() == 0) break;
    }
    f.sheetScroll = meanSeconds(50, [&] {
      sheet->scrollView(Qt::Vertical, kelvo::ScrollAction::LineForward);
      sheet->viewport()->render(&image);
    });
  }
  d.doc->closeProject();

  t = cpuSeconds();
  if (!d.doc->openProject(QString::fromStdString(file))) return f;
  auto window = openGantt(d.doc.get());
  kelvo::CGanttView* chart = kelvo::ganttChartOf(window.get());
  chart->viewport()->render(&image);
  f.openGantt = cpuSeconds() - t;
  const int32_t row = chart->scale().settings().rowCount / 2;
  QByteArray record(d.doc->db().act.tb.recordSize, '\0');
  chart->sheet()->rows().read(uint32_t(row), record.data());
  ActRecord a;
  std::memcpy(&a, record.constData(), sizeof a);
  chart->scrollTo(chart->scale().x(a.start) - 200, row);
  chart->viewport()->render(&image);
  f.ganttScroll = meanSeconds(50, [&] {
    chart->scrollView(Qt::Vertical, kelvo::ScrollAction::LineForward);
    chart->viewport()->render(&image);
  });
  chart->scrollTo(chart->scale().x(a.start) - 200, row);
  kelvo::viewState().editTool = kelvo::tool::kDataSelect;
  const int32_t y = kelvo::currentBarTop(row, chart->scale(), chart->block()) - 10;
  const int32_t x = chart->scale().x(a.start) + 3;
  chart->dataToolPress(x, y, Qt::NoModifier);
  int32_t dx = 0;
  f.ganttDrag = meanSeconds(50, [&] {
    dx = (dx + 10) % 300;
    chart->dataToolDrag(x + dx, y);
    chart->viewport()->render(&image);
  });
  chart->dataToolCancel();
  window.reset();
  d.doc->closeProject();
  f.ok = true;
  return f;
}

const Figures& figures(int n) {
  static std::map<int, Figures> done;
  auto it = done.find(n);
  if (it == done.end()) it = done.emplace(n, measure(n)).first;
  return it->second;
}

constexpr int kSmall = 100000;

void BM_OpenAndRepaint(benchmark::State& state) {
  bench::OffscreenApp();
  const int n = static_cast<int>(state.range(0));
  const Figures& f = figures(n);
  for (auto _ : state) state.SetIterationTime(f.openSheet + f.openGantt);
  if (!f.ok) state.SkipWithError("the project could not be made or opened");
  const std::pair<const char*, double Figures::*> items[] = {
      {"open_sheet_s", &Figures::openSheet},
      {"open_gantt_s", &Figures::openGantt},
      {"sheet_scroll_ms", &Figures::sheetScroll},
      {"gantt_scroll_ms", &Figures::ganttScroll},
      {"gantt_drag_ms", &Figures::ganttDrag}};
  const Figures* small = n != kSmall ? &figures(kSmall) : nullptr;
  for (const auto& [name, member] : items) {
    const bool ms = std::string(name).ends_with("_ms");
    state.counters[name] = f.*member * (ms ? 1000 : 1);
    if (small && small->*member > 0) {
      state.counters[std::string(name).substr(0, std::string(name).rfind('_')) + "_growth"] =
          f.*member / (small->*member);
    }
  }
  if (small) state.counters["growth_nlogn"] = bench::nlognGrowth(kSmall, n);
}
BENCHMARK(BM_OpenAndRepaint)
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
