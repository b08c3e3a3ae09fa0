// The lower panes of window 3: they list the predecessors, successors or
// crew details of the activity current in the Gantt table, take new rows
// through the document, keep their layout in their own option items, and
// follow the option bar between lists and between activities and summary
// schedules.
#include <QLineEdit>

#include "gantt_fixture.h"
#include "kelvo/act_sub.h"
#include "kelvo/field_editor.h"
#include "kelvo/option_slots.h"
#include "kelvo/summary_build.h"
#include "kelvo/time_shared.h"

namespace kelvo_test {
namespace {

using kelvo::ViewKind;

class GanttPanesTest : public GanttTest {
 protected:
  kelvo::CActSub* pane(int side) { return kelvo::ganttPaneOf(window_.get(), side); }
  void selectActivity(const char* code) {
    if (sheet()->currentRow() == rowOf(code)) return;
    ASSERT_TRUE(sheet()->goToRow(rowOf(code)));
  }
  // "code name" of each row of a pane.
  std::vector<std::string> listed(kelvo::CActSub* p) {
    std::vector<std::string> out;
    for (int r = 0; r < int(p->records().size()); ++r) {
      p->rowLabel(r);
      out.push_back((p->cellText(p->columns()[0].field) + ' ' + p->cellText(-1)).toStdString());
    }
    return out;
  }
  bool itemStored(int item) { return xOption(&db().opt, XOPT_SIZE, item, nullptr, 0) > 0; }
  // Types text into a cell of a pane and commits the row.
  bool typeInto(kelvo::CActSub* p, int row, int column, const QString& text) {
    if (p->currentRow() != row && !p->goToRow(row)) return false;
    if (p->currentColumn() != column && !p->goToColumn(column)) return false;
    if (!p->editorShown()) return false;
    p->lineEditor()->setText(text);
    return p->moveToRow(kelvo::kCommitOnly);
  }
  // Time-shared activity E of work type AA01 and facility F01, with
  // resources R1 and R2; the panes show crews (left) and time-shared
  // entries (right), the data-input tool on.
  void openCrewsAndEntries() {
    ASSERT_EQ(addClass(0, "AA"), 0);
    ASSERT_EQ(addClass(0, "AA01"), 0);
    ASSERT_EQ(addClass(1, "F01"), 0);
    ASSERT_EQ(addResource("R1"), 0);
    ASSERT_EQ(addResource("R2"), 0);
    std::string bytes(db().act.tb.recordSize, '\0');
    ActRecord a{};
    std::strcpy(a.code, "E");
    std::strcpy(a.title, "pour");
    std::strcpy(a.wbsCode, "AA01");
    std::strcpy(a.obsCode, "F01");
    a.duration = a.remaining = 4;
    a.type = 2;
    std::memcpy(bytes.data(), &a, sizeof a);
    db().act.tb.current = -1;
    ASSERT_EQ(xInputRecAct(&db(), bytes.data(), doc_->info().start, 2, 1, 0), 0);
    kelvo::GanttWindowChoice choice;
    choice.lowerLeft = 4;
    choice.lowerRight = 3;
    openWindow(choice);
    kelvo::viewState().editTool = kelvo::tool::kDataInput;
    kelvo::optionFlags() &= uint16_t(~kelvo::optflag::kConfirmDelete);
  }
  int32_t slotOf(const char* code) { return int32_t(sheet()->rows().record(rowOf(code))); }
  // A day as the pane shows it (and so takes it typed).
  QString dayText(uint16_t d) {
    SpaEntry e{};
    e.day = d;
    return kelvo::fieldText(kelvo::timeSharedFields(), ref_, reinterpret_cast<const char*>(&e), 0);
  }
  std::vector<std::pair<uint16_t, double>> entriesOf(const char* code) {
    std::vector<std::pair<uint16_t, double>> out;
    for (const SpaEntry& e : kelvo::timeSharedEntries(db(), slotOf(code)))
      out.emplace_back(e.day, e.value);
    return out;
  }
};

TEST_F(GanttPanesTest, PanesListTheRelationsOfTheCurrentActivity) {
  openWindow();
  ASSERT_EQ(pane(0)->viewKind(), ViewKind::Predecessors);
  ASSERT_EQ(pane(1)->viewKind(), ViewKind::Successors);
  selectActivity("C");
  EXPECT_EQ(listed(pane(0)), (std::vector<std::string>{"B frame", "D services"}));
  EXPECT_TRUE(listed(pane(1)).empty());
  const QString shots = qEnvironmentVariable("KELVO_SHOT_DIR");
  if (!shots.isEmpty()) window_->grab().save(shots + QStringLiteral("/issue25_panes.png"));
  selectActivity("A");
  EXPECT_TRUE(listed(pane(0)).empty());
  EXPECT_EQ(listed(pane(1)), (std::vector<std::string>{"B frame", "D services"}));
  // The table's entry row names no activity: both panes are empty and
  // read-only, without an entry row of their own.
  ASSERT_TRUE(sheet()->goToRow(sheet()->rowCount()));
  EXPECT_TRUE(pane(1)->activityCode().isEmpty());
  EXPECT_TRUE(pane(1)->records().empty());
  EXPECT_EQ(pane(1)->rowLabel(0), QString());
  // With an activity, the entry row is marked as in every sheet.
  selectActivity("A");
  EXPECT_EQ(pane(0)->rowLabel(0), QStringLiteral(">"));
}

TEST_F(GanttPanesTest, ANewRowIsARelationOfTheCurrentActivity) {
  openWindow();
  kelvo::viewState().editTool = kelvo::tool::kDataInput;
  selectActivity("B");
  kelvo::CActSub* successors = pane(1);
  ASSERT_EQ(listed(successors), (std::vector<std::string>{"C handover"}));
  // The entry row comes with B as the predecessor: typing D relates B to D.
  ASSERT_TRUE(successors->goToRow(1));
  ASSERT_EQ(successors->currentColumn(), 0);
  ASSERT_TRUE(successors->editorShown());
  successors->lineEditor()->setText("D");
  EXPECT_TRUE(successors->moveToRow(kelvo::kCommitOnly));
  EXPECT_EQ(listed(successors), (std::vector<std::string>{"C handover", "D services"}));
  // The predecessors pane of D hears of it through the document.
  selectActivity("D");
  EXPECT_EQ(listed(pane(0)), (std::vector<std::string>{"A foundation", "B frame"}));
  // A code that is no activity is refused: the row stays with its edit.
  selectActivity("B");
  ASSERT_TRUE(successors->goToRow(2));
  ASSERT_TRUE(successors->editorShown());
  successors->lineEditor()->setText("ZZ");
  EXPECT_FALSE(successors->moveToRow(kelvo::kCommitOnly));
  EXPECT_FALSE(messages_.empty());
  EXPECT_EQ(successors->records().size(), 2u);
  // F4 deletes the current row's relation.
  kelvo::optionFlags() &= uint16_t(~kelvo::optflag::kConfirmDelete);
  successors->onCommand(kelvo::cmd::kCancelState);
  ASSERT_TRUE(successors->moveToRow(0));
  EXPECT_TRUE(successors->deleteAtCursor());
  EXPECT_EQ(listed(successors), (std::vector<std::string>{"D services"}));
  // Undo enters the deleted relation again.
  successors->onCommand(kelvo::cmd::kEditUndo);
  EXPECT_EQ(listed(successors), (std::vector<std::string>{"C handover", "D services"}));
}

TEST_F(GanttPanesTest, CrewsOfTheActivitysWorkTypeAreEditedInTheirPane) {
  openCrewsAndEntries();
  kelvo::CActSub* crews = pane(0);
  ASSERT_EQ(crews->viewKind(), ViewKind::PaneCrews);
  // An activity without a work type has no crews and no entry row.
  selectActivity("A");
  EXPECT_EQ(crews->rowLabel(0), QString());
  selectActivity("E");
  ASSERT_TRUE(typeInto(crews, 0, 0, "R2"));
  ASSERT_TRUE(typeInto(crews, 1, 0, "R1"));
  EXPECT_EQ(listed(crews), (std::vector<std::string>{"R2 resource R2", "R1 resource R1"}));
  auto crew = [&](int row) {
    CrewRecord c{};
    db().crw.tb.current = int32_t(crews->records()[row]);
    EXPECT_EQ(xGetRec(&db().crw.tb, &c), 1);
    return c;
  };
  EXPECT_STREQ(crew(1).wbsCode, "AA01");
  EXPECT_STREQ(crew(1).resCode, "R1");
  // The unit quantity is the crew's, and undo takes it back.
  ASSERT_TRUE(typeInto(crews, 1, 2, "2.5"));
  EXPECT_DOUBLE_EQ(crew(1).unitQuantity, 2.5);
  crews->onCommand(kelvo::cmd::kEditUndo);
  EXPECT_DOUBLE_EQ(crew(1).unitQuantity, 0);
  // A resource that is not registered is refused with the store's message.
  EXPECT_FALSE(typeInto(crews, 2, 0, "R9"));
  EXPECT_EQ(messages_.back(), XQD_MSG_NO_RESOURCE);
  const QString shots = qEnvironmentVariable("KELVO_SHOT_DIR");
  if (!shots.isEmpty()) window_->grab().save(shots + QStringLiteral("/issue25_crews_entries.png"));
}

TEST_F(GanttPanesTest, TimeSharedEntriesAreEnteredChangedAndDeletedTogether) {
  openCrewsAndEntries();
  kelvo::CActSub* entries = pane(1);
  ASSERT_EQ(entries->viewKind(), ViewKind::TimeShared);
  selectActivity("E");
  ASSERT_TRUE(entries->records().empty());
  ASSERT_EQ(entries->currentRow(), 0);
  ASSERT_TRUE(entries->goToColumn(1));
  entries->lineEditor()->setText("4");
  ASSERT_TRUE(typeInto(entries, 0, 0, dayText(day(2026, 3, 4))));
  ASSERT_TRUE(typeInto(entries, 1, 0, dayText(day(2026, 3, 3))));
  // Listed by day, as stored.
  using Entries = std::vector<std::pair<uint16_t, double>>;
  EXPECT_EQ(entriesOf("E"), (Entries{{day(2026, 3, 3), 0}, {day(2026, 3, 4), 4}}));
  EXPECT_EQ(entries->records(), (std::vector<uint32_t>{day(2026, 3, 3), day(2026, 3, 4)}));
  const QString shots = qEnvironmentVariable("KELVO_SHOT_DIR");
  if (!shots.isEmpty()) window_->grab().save(shots + QStringLiteral("/issue25_entries.png"));
  // A changed quantity replaces the entry of its day; undo brings it back.
  ASSERT_TRUE(typeInto(entries, 1, 1, "6"));
  EXPECT_EQ(entriesOf("E"), (Entries{{day(2026, 3, 3), 0}, {day(2026, 3, 4), 6}}));
  entries->onCommand(kelvo::cmd::kEditUndo);
  EXPECT_EQ(entriesOf("E"), (Entries{{day(2026, 3, 3), 0}, {day(2026, 3, 4), 4}}));
  // A second entry for a day is refused.
  EXPECT_FALSE(typeInto(entries, 2, 0, dayText(day(2026, 3, 3))));
  EXPECT_EQ(messages_.back(), XQD_MSG_DUPLICATE);
  entries->onCommand(kelvo::cmd::kCancelState);
  // Both rows selected, one delete and one undo.
  kelvo::viewState().editTool = kelvo::tool::kDataSelect;
  const int rh = entries->format().rowHeight;
  entries->dataToolPress(20, -rh / 2, Qt::NoModifier);
  entries->dataToolPress(20, -rh - rh / 2, Qt::ControlModifier);
  ASSERT_EQ(entries->selectedRows().size(), 2u);
  EXPECT_TRUE(entries->onCommand(kelvo::cmd::kEditClear));
  EXPECT_TRUE(entriesOf("E").empty());
  EXPECT_TRUE(entries->records().empty());
  entries->onCommand(kelvo::cmd::kEditUndo);
  EXPECT_EQ(entriesOf("E"), (Entries{{day(2026, 3, 3), 0}, {day(2026, 3, 4), 4}}));
  EXPECT_EQ(entries->records().size(), 2u);
}

TEST_F(GanttPanesTest, CrewDetailsShowTheResourceNames) {
  ASSERT_EQ(addResource("R1"), 0);
  OprRecord o{};
  std::strcpy(o.actCode, "A");
  std::strcpy(o.resCode, "R1");
  o.quantity = 3;
  db().opr.tb.current = -1;
  ASSERT_EQ(xInputRecOpr(&db(), &o), 0);
  kelvo::GanttWindowChoice choice;
  choice.lowerLeft = 2;
  choice.lowerRight = 2;  // the same list: the right pane moves on
  openWindow(choice);
  EXPECT_EQ(pane(0)->viewKind(), ViewKind::PaneCrewDetails);
  EXPECT_EQ(pane(1)->viewKind(), ViewKind::TimeShared);
  selectActivity("A");
  EXPECT_EQ(listed(pane(0)), (std::vector<std::string>{"R1 resource R1"}));
}

TEST_F(GanttPanesTest, LayoutIsKeptInThePanesOwnItemsOnly) {
  openWindow();
  const int width = pane(0)->columns()[1].width;
  EXPECT_EQ(width, 660);  // 40 characters
  pane(0)->applyResize(kelvo::DragKind::Column, 1, 400);
  pane(0)->storeSettings();
  EXPECT_TRUE(itemStored(kelvo::kindItem(kelvo::KindRecord::PaneFormat, ViewKind::Predecessors)));
  EXPECT_EQ(
      xOption(&db().opt, XOPT_SIZE,
              kelvo::kindItem(kelvo::KindRecord::PaneColumns, ViewKind::Predecessors), nullptr, 0),
      4 * 46);
  // Items 132 + k and 164 + k belong to the sheets of kinds 0-2.
  for (int item : {132, 133, 134, 164, 165, 166}) EXPECT_FALSE(itemStored(item)) << item;
  openWindow();
  EXPECT_EQ(pane(0)->columns()[1].width, 400);
  EXPECT_EQ(pane(0)->columns()[1].field, -1);
}

TEST_F(GanttPanesTest, TheOptionBarSwitchesListsAndModes) {
  openWindow();
  kelvo::GanttWindowChoice choice;
  choice.lowerLeft = 1;
  choice.lowerRight = 2;
  kelvo::switchGanttWindow(doc_.get(), choice);
  EXPECT_EQ(pane(0)->viewKind(), ViewKind::Successors);
  EXPECT_EQ(pane(1)->viewKind(), ViewKind::PaneCrewDetails);
  selectActivity("A");
  EXPECT_EQ(listed(pane(0)), (std::vector<std::string>{"B frame", "D services"}));
}

// Summary schedules of a summary built over work types AA > AA01: the
// chart draws the rolled-up rows, the panes list nothing, and the switch
// back shows the activities again.
TEST_F(GanttPanesTest, SummarySchedulesOfABuiltSummary) {
  ASSERT_EQ(addClass(0, "AA"), 0);
  ASSERT_EQ(addClass(0, "AA01"), 0);
  std::vector<char> buf(db().act.tb.recordSize);
  for (int32_t slot = 0; slot < 4; ++slot) {
    db().act.tb.current = slot;
    ASSERT_EQ(xGetRec(&db().act.tb, buf.data()), 1);
    std::strcpy(reinterpret_cast<ActRecord*>(buf.data())->wbsCode, "AA01");
    ASSERT_EQ(xPutRec(&db().act.tb, buf.data()), 1);
  }
  ASSERT_EQ(xRebuildIndexes(&db()), 1);
  // The build reads the classifications from the option file.
  kelvo::ClassDef defs[2] = {doc_->classDef(0), doc_->classDef(1)};
  ASSERT_EQ(xOption(&db().opt, XOPT_WRITE, kelvo::kOptClassDefs, defs, sizeof defs), 1);
  kelvo::SummaryRegistration r{1, kelvo::kSummaryActivities, {0, 1}, "work"};
  int16_t current = 0;
  ASSERT_EQ(kelvo::buildSummary(&db(), doc_->info(), r, &current), kelvo::kSummaryDone);
  doc_->setOpenSummary(current);
  openWindow();
  selectActivity("C");
  ASSERT_EQ(pane(0)->records().size(), 2u);
  kelvo::GanttWindowChoice choice;
  choice.summary = true;
  kelvo::switchGanttWindow(doc_.get(), choice);
  EXPECT_EQ(chart()->viewKind(), ViewKind::GanttSummaryChart);
  EXPECT_EQ(sheet()->viewKind(), ViewKind::GanttSummaryTable);
  EXPECT_TRUE(chart()->viewFlags() & 0x100);
  EXPECT_TRUE(pane(0)->records().empty());
  EXPECT_TRUE(pane(0)->activityCode().isEmpty());
  // AA, AA01, the four activities and the total.
  ASSERT_EQ(sheet()->rowCount(), 7);
  kelvo::TimeScaleSettings s = chart()->scale().settings();
  s.stepWidth = 60;
  chart()->setScaleSettings(s);
  const QImage image = grabChart("issue25_summary.png");
  // Work type AA runs from A's start (2 March) through the 9th; C's mark
  // stands on the 10th in its own row.
  EXPECT_NE(image.pixelColor(at(xOf(3, 5), barMiddle(0))), QColor(Qt::white));
  EXPECT_EQ(image.pixelColor(at(xOf(3, 10) + 30, barMiddle(0))), QColor(Qt::white));
  // A drag does nothing on summary schedules.
  kelvo::viewState().editTool = kelvo::tool::kDataSelect;
  chart()->dataToolPress(xOf(3, 5), barMiddle(0), Qt::NoModifier);
  EXPECT_EQ(chart()->selectedRow(), -1);
  // Back to activities: the kinds, the rows and the panes return.
  kelvo::switchGanttWindow(doc_.get(), {});
  EXPECT_EQ(chart()->viewKind(), ViewKind::GanttChart);
  EXPECT_EQ(sheet()->viewKind(), ViewKind::GanttTable);
  EXPECT_EQ(sheet()->rowCount(), 4);
  selectActivity("C");
  EXPECT_EQ(pane(0)->records().size(), 2u);
  // Summary schedules again; then the summary data goes (hint 10): the
  // window falls back to activities and its panes keep their lists.
  choice.lowerLeft = 2;
  kelvo::switchGanttWindow(doc_.get(), choice);
  ASSERT_EQ(sheet()->viewKind(), ViewKind::GanttSummaryTable);
  doc_->setOpenSummary(0);
  doc_->updateAllViews(kelvo::kAllViews, kelvo::hint::kSummaryRebuilt);
  EXPECT_EQ(sheet()->viewKind(), ViewKind::GanttTable);
  EXPECT_EQ(chart()->viewKind(), ViewKind::GanttChart);
  EXPECT_EQ(sheet()->rowCount(), 4);
  EXPECT_EQ(pane(0)->viewKind(), ViewKind::PaneCrewDetails);
}

}  // namespace
}  // namespace kelvo_test
