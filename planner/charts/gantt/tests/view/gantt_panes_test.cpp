// The lower panes of window 3: they list the predecessors, successors or
// crew details of the activity current in the Gantt table, take new rows
// through the document, keep their layout in their own option items, and
// follow the option bar between lists and between activities and summary
// schedules.
#include <QLineEdit>

#include "gantt_fixture.h"
#include "kelvo/act_sub.h"
#include "kelvo/option_slots.h"
#include "kelvo/summary_build.h"

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
};

TEST_F(GanttPanesTest, PanesListTheRelationsOfTheCurrentActivity) {
  openWindow();
  ASSERT_EQ(pane(0)->viewKind(), ViewKind::Predecessors);
  ASSERT_EQ(pane(1)->viewKind(), ViewKind::Successors);
  selectActivity("C");
  EXPECT_EQ(listed(pane(0)), (std::vector<std::string>{"B frame", "D services"}));
  EXPECT_TRUE(listed(pane(1)).empty());
  selectActivity("A");
  EXPECT_TRUE(listed(pane(0)).empty());
  EXPECT_EQ(listed(pane(1)), (std::vector<std::string>{"B frame", "D services"}));
  // The table's entry row names no activity: both panes are empty and
  // read-only, without an entry row of their own.
  ASSERT_TRUE(sheet()->goToRow(sheet()->rowCount()));
  EXPECT_TRUE(pane(1)->activityCode().isEmpty());
  EXPECT_TRUE(pane(1)->records().empty());
  EXPECT_EQ(pane(1)->rowLabel(0), QString());
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
  EXPECT_EQ(pane(1)->viewKind(), ViewKind::Predecessors);
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
}

}  // namespace
}  // namespace kelvo_test
