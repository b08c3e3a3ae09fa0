// The processing commands driven through their dialogs as a user would, on
// the sample project, against the same operations run by kvcli on a second
// copy: the saved tables must dump alike.
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <cstring>
#include <vector>

#include "child_frame.h"
#include "kelvo/commands.h"
#include "kelvo/summary_registry.h"
#include "kelvo/table_view.h"
#include "kelvo/text_fields.h"
#include "main_frame.h"
#include "processing_fixture.h"
#include "xJorDbm2.h"

using namespace kelvo;
using kelvo_test::dump;
using kelvo_test::dumpInfo;
using kelvo_test::kvcli;
using kelvo_test::ProcessingTest;
using kelvo_test::whenModal;

namespace {

template <class W>
W* child(QDialog* d, const char* name) {
  auto* w = d->findChild<W*>(name);
  EXPECT_NE(w, nullptr) << name;
  return w;
}

void check(QDialog* d, const char* name, bool on = true) {
  child<QCheckBox>(d, name)->setChecked(on);
}

// The project's stage line and the tables a stage touches, as kvcli prints
// them.
QString stageDump(const QString& file) {
  QString info = dumpInfo(file);
  for (const char* table : {"act", "opr", "crw", "wbs"}) info += dump(file, table);
  return info;
}

}  // namespace

// "현재 선택된 자료만 적용" visits the activities chosen in the activity sheet
// only, as kvcli's --activity does.
TEST_F(ProcessingTest, PlannedScheduleOfTheChosenActivitiesMatchesKvcli) {
  const QString gui = sample("gui"), cli = sample("cli");
  if (gui.isEmpty()) GTEST_SKIP() << "no sample project in the build";
  auto app = start(gui);
  ASSERT_TRUE(app->requestWindow(8));
  auto* sheet = qobject_cast<CTableView*>(app->mainFrame()->childFrame()->content());
  ASSERT_NE(sheet, nullptr);
  app->router()->setActiveView(sheet);
  sheet->selectOnly(5);
  // The chosen activity's code, for kvcli.
  TableHandle& acts = app->document()->db().act.tb;
  std::vector<char> bytes(acts.recordSize);
  const int32_t current = acts.current;
  acts.current = int32_t(sheet->rows().record(5));
  ASSERT_EQ(xGetRec(&acts, bytes.data()), 1);
  acts.current = current;
  ActRecord chosen;
  std::memcpy(&chosen, bytes.data(), sizeof chosen);
  const QString code = fieldText(chosen.code, sizeof chosen.code);
  whenModal([](QDialog* d) {
    child<QSpinBox>(d, "percent")->setValue(100);
    auto* selected = child<QCheckBox>(d, "selectedOnly");
    EXPECT_TRUE(selected->isEnabled());
    selected->setChecked(true);
    d->accept();
  });
  ASSERT_TRUE(app->router()->dispatch(cmd::kSetTarget));
  ASSERT_TRUE(app->onCommand(cmd::kSave));
  kvcli({"baseline", cli, "--percent", "100", "--activity", code});
  EXPECT_EQ(dump(gui, "act"), dump(cli, "act"));
  EXPECT_NE(dump(gui, "act"), dump(sample("fresh"), "act"));
}

// Planned schedule, stage closing (with a refused period first), numeric
// items and actual-work figures, one after another as a project goes.
TEST_F(ProcessingTest, StagesAndDerivedDataMatchKvcli) {
  const QString gui = sample("gui"), cli = sample("cli");
  if (gui.isEmpty()) GTEST_SKIP() << "no sample project in the build";
  auto app = start(gui);
  CommandRouter* router = app->router();
  EXPECT_FALSE(router->state(cmd::kActualWork).enabled);  // planning stage

  whenModal([](QDialog* d) {
    child<QSpinBox>(d, "percent")->setValue(30);
    EXPECT_FALSE(child<QCheckBox>(d, "selectedOnly")->isChecked());
    d->accept();
  });
  ASSERT_TRUE(router->dispatch(cmd::kSetTarget));
  EXPECT_TRUE(app->document()->isModified());
  ASSERT_TRUE(app->onCommand(cmd::kSave));
  kvcli({"baseline", cli, "--percent", "30"});
  EXPECT_EQ(dump(gui, "act"), dump(cli, "act"));

  // A finish before the start is refused with the dialog kept; then the
  // planned schedule of the first closing is asked for.
  bool planAsked = false;
  whenModal([&](QDialog* d) {
    child<QLineEdit>(d, "periodFinish")->setText("26-03-02");
    d->accept();
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(messages_, std::vector<int>{21015});
    child<QLineEdit>(d, "periodFinish")->setText("26-03-31");
    whenModal([&](QDialog* plan) {
      planAsked = child<QSpinBox>(plan, "percent") != nullptr;
      plan->accept();
    });
    d->accept();
  });
  ASSERT_TRUE(router->dispatch(cmd::kNextStage));
  EXPECT_TRUE(planAsked);
  EXPECT_EQ(app->document()->info().stage, 1);
  EXPECT_TRUE(router->state(cmd::kActualWork).enabled);
  ASSERT_TRUE(app->onCommand(cmd::kSave));
  kvcli({"next-stage", cli, "--from", "26-03-03", "--to", "26-03-31", "--percent", "50"});
  EXPECT_EQ(stageDump(gui), stageDump(cli));

  whenModal([](QDialog* d) {
    for (const char* name : {"spreadQuantities", "durationsFromDaily", "contractPrices",
                             "contractWeights", "actualDates", "crewInputs", "roundUp"})
      check(d, name);
    d->accept();
  });
  ASSERT_TRUE(router->dispatch(cmd::kAutoItems));
  ASSERT_TRUE(app->onCommand(cmd::kSave));
  kvcli({"derive", cli, "--option", "spread-quantities", "--option", "durations", "--option",
         "contract-prices", "--option", "contract-weights", "--option", "progress", "--option",
         "crew-inputs", "--option", "round-up"});
  EXPECT_EQ(stageDump(gui), stageDump(cli));
  EXPECT_NE(dump(gui, "opr"), dump(sample("fresh"), "opr"));  // the inputs did move

  whenModal([](QDialog* d) {
    EXPECT_TRUE(child<QCheckBox>(d, "compute")->isChecked());
    EXPECT_EQ(child<QListWidget>(d, "results")->count(), 5);
    d->accept();
  });
  ASSERT_TRUE(router->dispatch(cmd::kActualWork));
  ASSERT_TRUE(app->onCommand(cmd::kSave));
  kvcli({"actuals", cli});
  EXPECT_EQ(stageDump(gui), stageDump(cli));

  // Sending the crews shows the crew sheet and runs its send, which says
  // that no external editor is registered.
  messages_.clear();
  whenModal([](QDialog* d) {
    check(d, "compute", false);
    check(d, "sendToEditor");
    d->accept();
  });
  ASSERT_TRUE(router->dispatch(cmd::kActualWork));
  auto* sheet = qobject_cast<CTableView*>(app->mainFrame()->childFrame()->content());
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(sheet->viewKind(), ViewKind::Crews);
  EXPECT_EQ(messages_, std::vector<int>{20027});
}

// A summary registered and built in the dialog equals kvcli's; a rebuild
// reaches the summary sheet that shows it; a refused composition entry and
// a declined overwrite change nothing.
TEST_F(ProcessingTest, SummaryBuildMatchesKvcliAndReachesTheSheet) {
  const QString gui = sample("gui"), cli = sample("cli");
  if (gui.isEmpty()) GTEST_SKIP() << "no sample project in the build";
  auto app = start(gui);
  CPlanDoc* doc = app->document();
  whenModal([&](QDialog* d) {
    child<QLineEdit>(d, "title")->setText("공종별 집계");
    auto* levels = child<QListWidget>(d, "levels");
    auto* composition = child<QListWidget>(d, "composition");
    for (int row : {0, 1}) {
      levels->setCurrentRow(row);
      child<QPushButton>(d, "append")->click();
    }
    levels->setCurrentRow(0);  // the first work-type level again: refused
    child<QPushButton>(d, "append")->click();
    EXPECT_EQ(composition->count(), 2);
    EXPECT_EQ(messages_, std::vector<int>{0});
    check(d, "activities");
    check(d, "periods");
    d->accept();
  });
  ASSERT_TRUE(app->router()->dispatch(cmd::kBuildSummary));
  EXPECT_EQ(doc->openSummary(), 1);
  ASSERT_TRUE(app->onCommand(cmd::kSave));
  kvcli({"register-summary", cli, "1", "--title", "공종별 집계", "--compose", "0,1", "--option",
         "activities", "--period", "month"});
  kvcli({"summary", cli, "1", "--quiet"});
  EXPECT_EQ(kvcli({"dump", gui, "summary", "1"}), kvcli({"dump", cli, "summary", "1"}));

  ASSERT_TRUE(app->requestWindow(9));
  auto* sheet = qobject_cast<CTableView*>(app->mainFrame()->childFrame()->content());
  ASSERT_NE(sheet, nullptr);
  const int before = sheet->rowCount();
  EXPECT_EQ(before, int(doc->db().summary.table.tb.liveCount));

  // Declining the overwrite keeps the dialog and the summary.
  answer_ = QMessageBox::No;
  whenModal([&](QDialog* d) {
    // The registration is listed and shown again.
    auto* registered = child<QListWidget>(d, "registered");
    EXPECT_EQ(registered->count(), 1);
    if (registered->count() > 0) {
      EXPECT_EQ(registered->item(0)->text(), "1. 공종별 집계");
    }
    auto* composition = child<QListWidget>(d, "composition");
    EXPECT_EQ(composition->count(), 2);
    composition->setCurrentRow(1);
    child<QPushButton>(d, "remove")->click();
    d->accept();
    EXPECT_TRUE(d->isVisible());
    answer_ = QMessageBox::Yes;
    d->accept();
  });
  ASSERT_TRUE(app->router()->dispatch(cmd::kBuildSummary));
  EXPECT_NE(sheet->rowCount(), before);
  EXPECT_EQ(sheet->rowCount(), int(doc->db().summary.table.tb.liveCount));
  EXPECT_EQ(readSummaryRegistration(&doc->db(), 1)->composition, std::vector<int16_t>{0});
}

// The rewrite from the map asks first: No changes nothing, Yes does what
// kvcli does.
TEST_F(ProcessingTest, RewriteFromTheMapMatchesKvcli) {
  const QString gui = sample("gui"), cli = sample("cli");
  if (gui.isEmpty()) GTEST_SKIP() << "no sample project in the build";
  auto app = start(gui);
  answer_ = QMessageBox::No;
  EXPECT_FALSE(app->router()->dispatch(cmd::kRewriteCodes));
  EXPECT_FALSE(app->document()->isModified());
  answer_ = QMessageBox::Yes;
  ASSERT_TRUE(app->router()->dispatch(cmd::kRewriteCodes));
  ASSERT_TRUE(app->onCommand(cmd::kSave));
  kvcli({"rewrite-codes", cli});
  for (const char* table : {"act", "rel", "opr"}) EXPECT_EQ(dump(gui, table), dump(cli, table));
  EXPECT_NE(dump(gui, "act"), dump(sample("fresh"), "act"));
}
