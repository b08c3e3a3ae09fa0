#include "kelvo/gantt_window.h"

#include <QSplitter>
#include <algorithm>
#include <functional>

#include "kelvo/act_sub.h"
#include "kelvo/document_windows.h"
#include "kelvo/gantt_view.h"
#include "kelvo/kelvo_app.h"
#include "kelvo/period_band_widget.h"
#include "kelvo/plan_doc.h"
#include "kelvo/record_dialogs.h"
#include "kelvo/sheet_windows.h"
#include "kelvo/table_view.h"

namespace kelvo {
namespace {

constexpr int kGanttWindow = windowNumber(DocWindow::Gantt);
constexpr int kModeCombo = 10505;  // the option bar's "작업 일정" / "집계 일정"
constexpr uint64_t kPaneKinds =
    kindBits({ViewKind::Predecessors, ViewKind::Successors, ViewKind::PaneCrewDetails,
              ViewKind::TimeShared, ViewKind::PaneCrews});
constexpr uint64_t kWindowKinds =
    kPaneKinds | kindBits({ViewKind::GanttChart, ViewKind::GanttSummaryChart, ViewKind::GanttTable,
                           ViewKind::GanttSummaryTable});

// The sheet pane of the Gantt window: it tells the chart when its rows
// scroll, so that both panes show the same top row, and the lower panes
// when its current row moves to another record or what it holds changed.
class CGanttSheet : public CTableView {
 public:
  using CTableView::CTableView;
  CGanttView* chart = nullptr;
  // What the window shows (kept from hint 17).
  GanttWindowChoice choice;
  // Told when summary schedules fall back to activities, so that the
  // option bar shows the mode the window is in.
  std::function<void()> modeFellBack;

  void onUpdate(int hintCode, qintptr extra) override {
    if (hintCode == hint::kOptionBarChange) choice = ganttChoiceOfHint(extra);
    if (hintCode == hint::kSummaryRebuilt && viewKind() == ViewKind::GanttSummaryTable &&
        !showsSummarySchedules()) {
      // The open summary data is gone or holds resources: the window goes
      // back to activity schedules, its panes keeping their lists.
      GanttWindowChoice activities = choice;
      activities.summary = false;
      if (modeFellBack) modeFellBack();
      document()->updateAllViews(kWindowKinds, hint::kStoreSettings);
      switchGanttWindow(document(), activities);
      return;
    }
    CTableView::onUpdate(hintCode, extra);
  }

  void scrollView(Qt::Orientation orientation, ScrollAction action, int thumb) override {
    CTableView::scrollView(orientation, action, thumb);
    if (chart && orientation == Qt::Vertical) chart->followSheet(topRow());
  }
  void updateScrollBars() override {
    CTableView::updateScrollBars();
    if (chart) chart->followSheet(topRow());
  }
  // "선택 사항" and "자료 형식" edit the window's settings and print format,
  // which are the chart's, whichever pane is active.
  static bool chartsCommand(int id) { return id == cmd::kOptions || id == cmd::kDataFormat; }
  bool updateCommand(int id, CommandState& state) override {
    if (chartsCommand(id) && chart) return chart->updateCommand(id, state);
    return CTableView::updateCommand(id, state);
  }
  void initialUpdate() override {
    CTableView::initialUpdate();
    tellPanes(true);
  }
  bool moveToRow(int row) override {
    const bool typed = rowChanged();
    const bool moved = CTableView::moveToRow(row);
    tellPanes(typed && !rowChanged());
    return moved;
  }
  bool onCommand(int id) override {
    if (chartsCommand(id) && chart) return chart->onCommand(id);
    const bool done = CTableView::onCommand(id);
    tellPanes(false);
    return done;
  }

 private:
  // Hint 11 to the lower panes when the current record or the row count
  // changed, or always when committed says a row went in.
  void tellPanes(bool committed) {
    const uint32_t record =
        currentRow() < rowCount() ? rows().record(uint32_t(currentRow())) : XJOR_NONE;
    const bool changed = committed || record != lastRecord_ || rowCount() != lastRows_;
    lastRecord_ = record;
    lastRows_ = rowCount();
    if (changed && document()) document()->updateAllViews(kPaneKinds, hint::kRefresh);
  }
  bool showsSummarySchedules();
  uint32_t lastRecord_ = XJOR_NONE;
  int lastRows_ = -1;
};

// Whether the open summary data can be shown as summary schedules: it
// exists and is an activity summary.
bool summarySchedulesOpen(CPlanDoc* doc) {
  return doc && doc->isOpen() && doc->openSummary() > 0 && !openSummaryIsResources(*doc);
}

bool CGanttSheet::showsSummarySchedules() {
  return summarySchedulesOpen(document());
}

// A lower pane; its list follows the option bar (hint 17).
class CGanttPane : public CActSub {
 public:
  using CActSub::CActSub;
  void onUpdate(int hintCode, qintptr extra) override {
    if (hintCode == hint::kOptionBarChange) {
      const GanttWindowChoice choice = ganttChoiceOfHint(extra);
      changeKind(paneKind(choice, side()));
      initialUpdate();
      return;
    }
    CActSub::onUpdate(hintCode, extra);
  }
};

void prepareKind(ViewKind kind) {
  viewState().nextViewKind = kind;
  viewState().nextWindow = static_cast<int16_t>(kGanttWindow);
}

// The choices on the option bar, summary schedules only where the open
// summary data allows them.
GanttWindowChoice currentChoice(CKelvoApp& app) {
  CPlanDoc* doc = app.document();
  GanttWindowChoice choice;
  choice.summary = app.optionBarChoice(kModeCombo) == 1;
  choice.lowerLeft = app.optionBarChoice(10506, 0);
  choice.lowerRight = app.optionBarChoice(10507, 1);
  if (choice.summary && !summarySchedulesOpen(doc)) choice.summary = false;
  return choice;
}

// Puts the option bar's mode (10505) back to activity schedules.
void showActivitySchedules(CKelvoApp& app) { app.setOptionBarChoice(kModeCombo, 0); }

}  // namespace

ViewKind paneKind(const GanttWindowChoice& choice, int side) {
  const int left = std::clamp(choice.lowerLeft, 0, kGanttPaneLists - 1);
  int list = side == 0 ? left : std::clamp(choice.lowerRight, 0, kGanttPaneLists - 1);
  if (side != 0 && list == left) list = (list + 1) % kGanttPaneLists;
  return viewKindOf(kindNumber(ViewKind::Predecessors) + list);
}

intptr_t ganttChoiceHint(const GanttWindowChoice& choice) {
  return (choice.summary ? 1 : 0) | (std::clamp(choice.lowerLeft, 0, kGanttPaneLists - 1) << 4) |
         (std::clamp(choice.lowerRight, 0, kGanttPaneLists - 1) << 8);
}

GanttWindowChoice ganttChoiceOfHint(intptr_t extra) {
  GanttWindowChoice choice;
  choice.summary = extra & 1;
  choice.lowerLeft = std::clamp(int((extra >> 4) & 0xF), 0, kGanttPaneLists - 1);
  choice.lowerRight = std::clamp(int((extra >> 8) & 0xF), 0, kGanttPaneLists - 1);
  return choice;
}

void switchGanttWindow(CPlanDoc* doc, const GanttWindowChoice& choice) {
  if (doc) doc->updateAllViews(kWindowKinds, hint::kOptionBarChange, ganttChoiceHint(choice));
}

QWidget* makeGanttWindow(CPlanDoc* doc, const GanttWindowChoice& choice, QWidget* parent) {
  auto* outer = new QSplitter(Qt::Vertical, parent);
  outer->setObjectName(QStringLiteral("GanttWindow"));
  auto* upper = new QSplitter(Qt::Horizontal, outer);
  prepareKind(choice.summary ? ViewKind::GanttSummaryTable : ViewKind::GanttTable);
  auto* sheet = new CGanttSheet(doc, upper);
  sheet->setObjectName(QStringLiteral("GanttSheet"));
  sheet->choice = choice;
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
  CActSub* panes[2];
  for (int side : {0, 1}) {
    prepareKind(paneKind(choice, side));
    panes[side] = new CGanttPane(doc, sheet, side, lower);
    lower->addWidget(panes[side]);
  }
  outer->addWidget(upper);
  outer->addWidget(lower);
  outer->setSizes({7, 3});
  sheet->initialUpdate();
  chart->initialUpdate();
  for (CActSub* pane : panes) pane->initialUpdate();
  attachPeriodBand(chart);
  return outer;
}

CGanttView* ganttChartOf(QWidget* window) {
  return window ? window->findChild<CGanttView*>(QStringLiteral("GanttChart")) : nullptr;
}

CTableView* ganttSheetOf(QWidget* window) {
  return window ? window->findChild<CTableView*>(QStringLiteral("GanttSheet")) : nullptr;
}

CActSub* ganttPaneOf(QWidget* window, int side) {
  return window ? window->findChild<CActSub*>(QStringLiteral("GanttPane%1").arg(side)) : nullptr;
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
    ViewState& vs = viewState();
    if (!vs.router) vs.router = app.router();
    if (!vs.flags) vs.flags = &app.settings().flags;
    // The option bar switches the open window's mode and lower panes.
    app.setGanttChoiceChanged([&app] { switchGanttWindow(app.document(), currentChoice(app)); });
    QWidget* window = makeGanttWindow(app.document(), currentChoice(app), parent);
    if (auto* sheet = window->findChild<CGanttSheet*>(QStringLiteral("GanttSheet")))
      sheet->modeFellBack = [&app] { showActivitySchedules(app); };
    return window;
  });
}

}  // namespace kelvo
