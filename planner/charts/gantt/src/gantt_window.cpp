#include "kelvo/gantt_window.h"

#include <QLabel>
#include <QSplitter>

#include "child_frame.h"
#include "kelvo/gantt_view.h"
#include "kelvo/kelvo_app.h"
#include "kelvo/period_band_widget.h"
#include "kelvo/plan_doc.h"
#include "kelvo/record_dialogs.h"
#include "kelvo/sheet_windows.h"
#include "kelvo/table_view.h"
#include "main_frame.h"

namespace kelvo {
namespace {

constexpr int kGanttWindow = windowNumber(DocWindow::Gantt);

// The sheet pane of the Gantt window: it tells the chart when its rows
// scroll, so that both panes show the same top row.
class CGanttSheet : public CTableView {
 public:
  using CTableView::CTableView;
  CGanttView* chart = nullptr;

  void scrollView(Qt::Orientation orientation, ScrollAction action, int thumb) override {
    CTableView::scrollView(orientation, action, thumb);
    if (chart && orientation == Qt::Vertical) chart->followSheet(topRow());
  }
  void updateScrollBars() override {
    CTableView::updateScrollBars();
    if (chart) chart->followSheet(topRow());
  }
};

void prepareKind(ViewKind kind) {
  viewState().nextViewKind = kind;
  viewState().nextWindow = static_cast<int16_t>(kGanttWindow);
}

}  // namespace

QWidget* makeGanttWindow(CPlanDoc* doc, const GanttWindowChoice& choice, QWidget* parent) {
  auto* outer = new QSplitter(Qt::Vertical, parent);
  outer->setObjectName(QStringLiteral("GanttWindow"));
  auto* upper = new QSplitter(Qt::Horizontal, outer);
  prepareKind(choice.summary ? ViewKind::GanttSummaryTable : ViewKind::GanttTable);
  auto* sheet = new CGanttSheet(doc, upper);
  sheet->setObjectName(QStringLiteral("GanttSheet"));
  prepareKind(choice.summary ? ViewKind::GanttSummaryChart : ViewKind::GanttChart);
  auto* chart = new CGanttView(doc, sheet, upper);
  chart->setObjectName(QStringLiteral("GanttChart"));
  // The chart prints the window, with the sheet's columns at its left.
  chart->setProperty("printsWindow", true);
  sheet->chart = chart;
  upper->addWidget(sheet);
  upper->addWidget(chart);
  upper->setSizes({1, 1});
  auto* lower = new QSplitter(Qt::Horizontal, outer);
  int right = choice.lowerRight;
  if (right == choice.lowerLeft) right = (right + 1) % 3;
  for (int pane : {choice.lowerLeft, right}) {
    (void)pane;
    auto* placeholder = new QWidget(lower);
    placeholder->setAutoFillBackground(true);
    lower->addWidget(placeholder);
  }
  outer->addWidget(upper);
  outer->addWidget(lower);
  outer->setSizes({7, 3});
  sheet->initialUpdate();
  chart->initialUpdate();
  attachPeriodBand(chart);
  return outer;
}

CGanttView* ganttChartOf(QWidget* window) {
  return window ? window->findChild<CGanttView*>(QStringLiteral("GanttChart")) : nullptr;
}

CTableView* ganttSheetOf(QWidget* window) {
  return window ? window->findChild<CTableView*>(QStringLiteral("GanttSheet")) : nullptr;
}

void registerGanttWindow(CKelvoApp& app) {
  // The program's chart opens the record dialogs: "작업 정보" on a
  // double-click, "선후행 관계" for a connection.
  GanttDialogs dialogs;
  dialogs.editActivity = [](QWidget* parent, CPlanDoc& doc, int slot) {
    return editActivity(parent, doc, slot);
  };
  dialogs.connect = [](QWidget* parent, CPlanDoc& doc, const QByteArray& pred,
                       const QByteArray& succ, int16_t routingRow) {
    RelationDialogOptions options;
    options.newRoutingRow = routingRow;
    return editRelationBetween(parent, doc, pred, succ, options) == RelationOutcome::Stored;
  };
  setGanttDialogs(std::move(dialogs));
  registerDocumentWindow(kGanttWindow, [&app](QWidget* parent) -> QWidget* {
    CPlanDoc* doc = app.document();
    GanttWindowChoice choice;
    if (CMainFrame* frame = app.mainFrame()) {
      const OptionBarState& st = frame->optionState();
      choice.summary = st.comboChoice.value(10505, 0) == 1;
      choice.lowerLeft = st.comboChoice.value(10506, 0);
      choice.lowerRight = st.comboChoice.value(10507, 1);
    }
    // Summary schedules need open summary data that is not a resource
    // summary; otherwise the window shows activities.
    if (choice.summary && (!doc || doc->openSummary() <= 0 || openSummaryIsResources(*doc)))
      choice.summary = false;
    ViewState& vs = viewState();
    if (!vs.router) vs.router = app.router();
    if (!vs.flags) vs.flags = &app.settings().flags;
    return makeGanttWindow(doc, choice, parent);
  });
}

}  // namespace kelvo
