#include "kelvo/processing_commands.h"

#include <QApplication>
#include <QComboBox>
#include <QStatusBar>
#include <set>

#include "actual_work_dialog.h"
#include "kelvo/commands.h"
#include "kelvo/kelvo_app.h"
#include "kelvo/messages.h"
#include "kelvo/plan_doc.h"
#include "kelvo/project_actuals.h"
#include "kelvo/project_digits.h"
#include "kelvo/project_map_rewrite.h"
#include "kelvo/project_numeric.h"
#include "kelvo/project_stages.h"
#include "kelvo/strings.h"
#include "kelvo/table_view.h"
#include "kelvo/view_kind.h"
#include "next_stage_dialog.h"
#include "numeric_items_dialog.h"
#include "summary_build_dialog.h"
#include "target_schedule_dialog.h"
#include "work_progress.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo {
namespace {

constexpr int kSendToEditor = 40087;
constexpr int kNoConverter = 20027;  // "등록된 변환 프로그램이 없습니다."
constexpr int kCrewSheetChoice = 2;  // combo 10504: "작업조 시트"

// The activities chosen in the active view: the chosen rows of an activity
// sheet or of the Gantt window's activity pane (its current row when none
// is chosen); nothing when the active view is no such sheet.
std::optional<std::vector<int32_t>> activeSelection(CKelvoApp& app) {
  auto* sheet = dynamic_cast<CTableView*>(app.router()->activeView());
  if (!sheet || sheet->document() != app.document() ||
      (sheet->viewKind() != ViewKind::Activities && sheet->viewKind() != ViewKind::GanttTable))
    return std::nullopt;
  std::vector<int32_t> records;
  std::set<int> rows = sheet->selectedRows();
  if (rows.empty() && sheet->currentRow() >= 0) rows.insert(sheet->currentRow());
  for (int row : rows)
    if (row >= 0 && uint32_t(row) < sheet->rows().count())
      records.push_back(int32_t(sheet->rows().record(uint32_t(row))));
  return records;
}

class CProcessingCommands : public CommandTarget {
 public:
  CProcessingCommands(CKelvoApp& app, ActivitySelection selection)
      : app_(app), selection_(std::move(selection)) {
    if (!selection_) selection_ = [this] { return activeSelection(app_); };
  }

  bool updateCommand(int id, CommandState& state) override {
    switch (id) {
      case cmd::kSetTarget:
      case cmd::kNextStage:
      case cmd::kAutoItems:
      case cmd::kActualWork:
      case cmd::kRewriteCodes:
      case cmd::kBuildSummary:
        state.enabled = app_.document() && processingCommandEnabled(id, *app_.document());
        return true;
      default:
        return false;
    }
  }

  bool onCommand(int id) override {
    CPlanDoc* doc = app_.document();
    if (!doc || !processingCommandEnabled(id, *doc)) return false;
    switch (id) {
      case cmd::kSetTarget:
        return setTarget(*doc);
      case cmd::kNextStage:
        return nextStage(*doc);
      case cmd::kAutoItems:
        return numericItems(*doc);
      case cmd::kActualWork:
        return actualWork(*doc);
      case cmd::kRewriteCodes:
        return rewriteCodes(*doc);
      case cmd::kBuildSummary: {
        CSummaryBuildDlg dialog(doc, window());
        return dialog.exec() == QDialog::Accepted;
      }
      default:
        return false;
    }
  }

 private:
  QWidget* window() const { return app_.mainWindow(); }

  void showStatus(const QString& text) { app_.showStatusText(text); }

  // Work that changed the project: modified, the views re-read dates and
  // values, menus and title follow. An undo step kept from an earlier edit
  // would put back values from before the work, so it is dropped.
  void changed(CPlanDoc& doc) {
    doc.undo().clear();
    doc.setModified();
    doc.updateAllViews(kAllViews, hint::kDatesChanged);
    app_.router()->refresh();
  }

  bool setTarget(CPlanDoc& doc) {
    const auto selected = selection_();
    CTargetScheduleDlg dialog(selected.has_value(), window());
    if (dialog.exec() != QDialog::Accepted) return false;
    const TargetScheduleChoice c = dialog.choice();
    const std::vector<int32_t> records = c.selectedOnly ? *selected : std::vector<int32_t>{};
    // A choice of nothing visits nothing, never every activity.
    if (c.selectedOnly && records.empty()) return false;
    doc.updateAllViews(kAllViews, hint::kComputationBegins);
    int32_t written;
    {
      WorkProgress progress(window(), loadString(108306));
      written =
          planProjectSchedule(&doc.db(), c.percent, c.excludeStarted, records, progress.listener());
    }
    if (written == kPlanStopped) {
      doc.updateAllViews(kAllViews, hint::kRepaint);
      return false;
    }
    changed(doc);
    showStatus(loadString(108307).arg(written));
    return true;
  }

  bool nextStage(CPlanDoc& doc) {
    CNextStageDlg dialog(doc.info(), window());
    if (dialog.exec() != QDialog::Accepted) return false;
    // At the first closing the planned schedule is fixed over the whole
    // project first.
    TargetScheduleChoice plan;
    if (doc.info().stage == 0) {
      CTargetScheduleDlg planDialog(false, window());
      if (planDialog.exec() != QDialog::Accepted) return false;
      plan = planDialog.choice();
    }
    // The closed stage keeps its own file and the work goes on under a new
    // name; a failed or cancelled save leaves the stage open.
    if (dialog.newFile()) {
      if (!app_.onCommand(cmd::kSave) || !app_.onCommand(cmd::kSaveAs)) return false;
    }
    doc.updateAllViews(kAllViews, hint::kComputationBegins);
    int result;
    {
      WorkProgress progress(window(), loadString(108306));
      result =
          advanceProjectStage(&doc.db(), &doc.info(), dialog.periodStart(), dialog.periodFinish(),
                              plan.percent, plan.excludeStarted, nullptr, progress.listener());
    }
    if (result != kStageClosed) {
      doc.updateAllViews(kAllViews, hint::kRepaint);
      // The dialog checked the period; only a cancel gets here.
      return false;
    }
    doc.setProjectInfo(doc.info());
    changed(doc);
    return true;
  }

  bool numericItems(CPlanDoc& doc) {
    const auto selected = selection_();
    CNumericItemsDlg dialog(selected.has_value(), window());
    if (dialog.exec() != QDialog::Accepted || !dialog.anyChosen()) return false;
    const std::vector<int32_t> records = dialog.selectedOnly() ? *selected : std::vector<int32_t>{};
    if (dialog.selectedOnly() && records.empty()) return false;
    doc.updateAllViews(kAllViews, hint::kComputationBegins);
    NumericItemCounts c;
    {
      WaitCursor wait;
      c = deriveNumericItems(&doc.db(), doc.info(), dialog.options(), records);
    }
    changed(doc);
    showStatus(loadString(108414)
                   .arg(c.quantities)
                   .arg(c.durations)
                   .arg(c.prices)
                   .arg(c.contractWeights)
                   .arg(c.executionWeights)
                   .arg(c.progress)
                   .arg(c.sharedEntries)
                   .arg(c.crewDetails));
    if (c.durationsRefused) showMessageText(window(), loadString(22303).arg(c.durationsRefused));
    return true;
  }

  bool actualWork(CPlanDoc& doc) {
    CActualWorkDlg dialog(window());
    if (dialog.exec() != QDialog::Accepted) return false;
    if (dialog.compute()) {
      doc.updateAllViews(kAllViews, hint::kComputationBegins);
      ActualWorkCounts c;
      {
        WaitCursor wait;
        c = computeProjectActualWork(&doc.db(), projectDigits(&doc.db(), doc.info()).quantity);
      }
      changed(doc);
      showStatus(loadString(108508).arg(c.workTypes).arg(c.crews).arg(c.details));
    }
    if (dialog.sendToEditor()) sendCrews();
    return true;
  }

  // The crews go to the external editor as the data sheet sends them: the
  // crew sheet is shown and its send command run.
  void sendCrews() {
    if (!app_.requestWindow(8)) return;
    if (QWidget* frame = app_.mainWindow()) {
      auto* table = frame->findChild<QComboBox*>(QStringLiteral("ctl10504"));
      if (table && table->currentIndex() != kCrewSheetChoice)
        table->setCurrentIndex(kCrewSheetChoice);
    }
    QApplication::processEvents();
    if (!app_.router()->dispatch(kSendToEditor)) showMessage(window(), kNoConverter);
  }

  bool rewriteCodes(CPlanDoc& doc) {
    if (askQuestionText(window(), QString::fromUtf8(kMapRewriteQuestion)) != QMessageBox::Yes)
      return false;
    doc.updateAllViews(kAllViews, hint::kComputationBegins);
    MapRewriteOutcome out;
    {
      WaitCursor wait;
      out = rewriteCodesFromMap(&doc.db(), doc.info());
    }
    if (!out.clashes.empty()) {
      doc.updateAllViews(kAllViews, hint::kRepaint);
      QString text = loadString(22300);
      for (const auto& clash : out.clashes) {
        text += QStringLiteral("\n") + xjor::fromCp949(clash[0].data(), int(clash[0].size())) + ':';
        for (size_t i = 1; i < clash.size(); ++i)
          text += ' ' + xjor::fromCp949(clash[i].data(), int(clash[i].size()));
      }
      showMessageText(window(), text);
      return false;
    }
    changed(doc);
    showStatus(loadString(22304).arg(out.codes).arg(out.names));
    if (out.indexesFailed) showMessage(window(), 22302);
    if (out.refused) showMessageText(window(), loadString(22301).arg(out.refused));
    return true;
  }

  CKelvoApp& app_;
  ActivitySelection selection_;
};

}  // namespace

bool processingCommandEnabled(int id, const CPlanDoc& doc) {
  if (!doc.isOpen()) return false;
  switch (id) {
    case cmd::kActualWork:
      return doc.info().stage > 0;
    case cmd::kSetTarget:
    case cmd::kNextStage:
    case cmd::kAutoItems:
    case cmd::kRewriteCodes:
    case cmd::kBuildSummary:
      return true;
    default:
      return false;
  }
}

void registerProcessingCommands(CKelvoApp& app, ActivitySelection selection) {
  CommandRouter* router = app.router();
  auto* commands = new CProcessingCommands(app, std::move(selection));
  router->setChain([chain = router->chain(), commands] {
    std::vector<CommandTarget*> targets = chain ? chain() : std::vector<CommandTarget*>{};
    targets.push_back(commands);
    return targets;
  });
}

}  // namespace kelvo
