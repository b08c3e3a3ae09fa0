// Path assignment, path insertion and deletion, selecting and dragging
// activities between paths (stored, undoable, kept through save and
// reopen), and connecting two activities with the data-input tool.
#include <QApplication>
#include <QMouseEvent>

#include "kelvo/drawing_objects.h"
#include "kelvo/network_store.h"
#include "network_fixture.h"

namespace kelvo_test {
namespace {

class NetworkEditTest : public NetworkTest {
 protected:
  void drag(int32_t fromX, int32_t fromY, int32_t toX, int32_t toY) {
    QWidget* target = chart_->viewport();
    const QPointF a = at(fromX, fromY), b = at(toX, toY);
    QMouseEvent press(QEvent::MouseButtonPress, a, target->mapToGlobal(a), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QMouseEvent move(QEvent::MouseMove, b, target->mapToGlobal(b), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, b, target->mapToGlobal(b), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
  }
  int16_t rowOf(const char* pred, const char* succ) {
    const auto* e = reinterpret_cast<const RelCodeEntry*>(db().relByPred.data);
    for (uint32_t i = 0; i < db().relByPred.count; ++i) {
      if (std::strcmp(e[i].first, pred) || std::strcmp(e[i].second, succ)) continue;
      RelRecord r;
      db().rel.tb.current = e[i].record;
      xGetRec(&db().rel.tb, &r);
      return r.row;
    }
    return -1;
  }
  std::vector<int16_t> paths() {
    return {activity("A").path, activity("B").path, activity("C").path, activity("D").path};
  }
  bool indexesInStep() { return xCheckIndexes(&db(), nullptr, 0) == 1; }
};

using Paths = std::vector<int16_t>;

TEST_F(NetworkEditTest, PathAssignmentStoresPathsRowsAndTheNodeAndLinkTables) {
  openWindow();
  // A -> B -> C is chain 0 (C, a milestone, was placed first on path 1 and
  // fits); D runs beside B and takes path 2. Rows: shared path 1, else
  // (1 + 2) / 2 = 1 moved to 2.
  EXPECT_EQ(paths(), (Paths{1, 1, 1, 2}));
  EXPECT_EQ(rowOf("A", "B"), 1);
  EXPECT_EQ(rowOf("B", "C"), 1);
  EXPECT_EQ(rowOf("A", "D"), 2);
  EXPECT_EQ(rowOf("D", "C"), 2);
  EXPECT_TRUE(indexesInStep());
  EXPECT_TRUE(doc_->isModified());
  // Dates are left alone.
  EXPECT_EQ(activity("B").start, day(2026, 3, 7));
  EXPECT_EQ(activity("D").anchor, day(2026, 3, 10));
  // With bar labels the chart turns to bar mode without upper and lower
  // labels, and the first activity of each path gets the name before it.
  kelvo::PathOptions o;
  o.allActivities = true;
  o.spacing = 2;
  o.barLabels = true;
  o.nameBefore = kelvo::LabelClass::WorkType;
  ASSERT_EQ(chart_->assignPaths(o), 0);
  EXPECT_EQ(paths(), (Paths{1, 1, 1, 3}));
  EXPECT_EQ(activity("A").flags & 0x3F, 0x01);
  EXPECT_EQ(activity("B").flags & 0x3F, 0);
  EXPECT_EQ(activity("D").flags & 0x3F, 0x01);
  const uint16_t flags = chart_->scale().settings().flags;
  EXPECT_TRUE(flags & kelvo::netflag::kBarMode);
  EXPECT_FALSE(flags & (kelvo::netflag::kUpperLabels | kelvo::netflag::kLowerLabels));
}

TEST_F(NetworkEditTest, DraggingMovesAPathSurvivesSaveAndReopenAndUndoes) {
  openWindow();
  kelvo::viewState().editTool = kelvo::tool::kDataSelect;
  const int32_t rh = chart_->scale().settings().rowHeight;
  // Less than a row: nothing moves, nothing is stored.
  const int32_t dX = xOf(7) + 30;
  drag(dX, centre(2), dX, centre(2) - rh + 5);
  EXPECT_EQ(chart_->selectedActivities(), std::vector<int32_t>{slotOf("D")});
  EXPECT_EQ(activity("D").path, 2);
  // Two rows down: D goes to path 4; its relation rows stay.
  drag(dX, centre(2), dX, centre(2) - 2 * rh - 5);
  EXPECT_EQ(activity("D").path, 4);
  EXPECT_EQ(rowOf("D", "C"), 2);
  EXPECT_TRUE(indexesInStep());
  // Saved and opened again, D is still on path 4.
  const QString file = path(QStringLiteral("moved.kvp"));
  ASSERT_TRUE(doc_->saveProject(file));
  chart_.reset();
  ASSERT_TRUE(doc_->openProject(file));
  EXPECT_EQ(activity("D").path, 4);
  chart_.reset(kelvo::makeNetworkWindow(doc_.get(), nullptr));
  EXPECT_GE(chart_->scale().settings().rowCount, 4);
  // After reopening, a click on D's line up to C finds that relation.
  chart_->resize(1000, 500);
  chart_->show();
  const int32_t rel = chart_->relationAt(chart_->scale().x(day(2026, 3, 10)), centre(2) + 10);
  ASSERT_GE(rel, 0);
  RelRecord r;
  db().rel.tb.current = rel;
  xGetRec(&db().rel.tb, &r);
  EXPECT_STREQ(r.pred, "D");
}

TEST_F(NetworkEditTest, UndoTakesAMoveBackAndMovesStayWithinThePaths) {
  openWindow();
  chart_->showActivity(slotOf("D"));
  EXPECT_EQ(chart_->moveSelection(3), 3);
  EXPECT_EQ(activity("D").path, 5);
  EXPECT_TRUE(chart_->onCommand(kelvo::cmd::kEditUndo));
  EXPECT_EQ(activity("D").path, 2);
  EXPECT_TRUE(chart_->onCommand(kelvo::cmd::kEditUndo));  // and again: redo
  EXPECT_EQ(activity("D").path, 5);
  // Up past path 1 stops at path 1.
  EXPECT_EQ(chart_->moveSelection(-9), -4);
  EXPECT_EQ(activity("D").path, 1);
  EXPECT_TRUE(indexesInStep());
}

TEST_F(NetworkEditTest, InsertingAndDeletingEmptyPaths) {
  openWindow();
  const int32_t rows = chart_->scale().settings().rowCount;
  ASSERT_EQ(chart_->editPaths(2, 3, true), 0);
  EXPECT_EQ(paths(), (Paths{1, 1, 1, 5}));
  EXPECT_EQ(rowOf("A", "D"), 5);
  EXPECT_EQ(rowOf("A", "B"), 1);
  EXPECT_EQ(chart_->scale().settings().rowCount, rows + 3);
  // Paths 4..5 hold D: refused, nothing changes.
  EXPECT_EQ(chart_->editPaths(4, 2, false), 20040);
  EXPECT_EQ(paths(), (Paths{1, 1, 1, 5}));
  // The empty paths 2..4 go again.
  ASSERT_EQ(chart_->editPaths(2, 3, false), 0);
  EXPECT_EQ(paths(), (Paths{1, 1, 1, 2}));
  EXPECT_EQ(rowOf("D", "C"), 2);
  EXPECT_EQ(chart_->scale().settings().rowCount, rows);
  EXPECT_TRUE(indexesInStep());
  // With "도형 연동" the chart's objects below the position move along: a
  // rectangle on row 2 (path 3) goes down two rows, one on row 0 stays;
  // deleting the rows again brings it back.
  kelvo::ObjectTable objects(&db().objects);
  const uint8_t layer = kelvo::layerCode(kelvo::ViewKind::Network, false);
  kelvo::ObjectRecord box;
  box.type = 7;
  box.anchor = kelvo::ViewPosition::time(day(2026, 3, 5), 0, 2, -5);
  kelvo::ObjectRecord top = box;
  top.anchor = kelvo::ViewPosition::time(day(2026, 3, 5), 0, 0, -5);
  ASSERT_GE(objects.append(layer, {box, top}), 0);
  const auto rowsOfObjects = [&] {
    const kelvo::ObjectTable::Range r = objects.layer(layer);
    std::vector<int> rows;
    for (uint32_t i = r.first; i < r.end; ++i) rows.push_back(objects.at(i).anchor.row());
    std::sort(rows.begin(), rows.end());
    return rows;
  };
  ASSERT_EQ(chart_->editPaths(3, 2, true, true), 0);
  EXPECT_EQ(rowsOfObjects(), (std::vector<int>{0, 4}));
  ASSERT_EQ(chart_->editPaths(3, 2, false, true), 0);
  EXPECT_EQ(rowsOfObjects(), (std::vector<int>{0, 2}));
  // An insertion that would pass path 32767 is refused.
  EXPECT_EQ(chart_->editPaths(1, 32767, true), -1);
  EXPECT_EQ(paths(), (Paths{1, 1, 1, 2}));
}

TEST_F(NetworkEditTest, ClicksAndBandsSelectDataItemsOnly) {
  openWindow();
  kelvo::viewState().editTool = kelvo::tool::kDataSelect;
  // A click on B's arrow selects B; a click on the A -> D line (down from
  // A's end at 7 March to path 2) selects that relation alone.
  drag(xOf(8), centre(1), xOf(8), centre(1));
  EXPECT_EQ(chart_->selectedActivities(), std::vector<int32_t>{slotOf("B")});
  const int32_t xAD = xOf(7);
  drag(xAD + 3, centre(1) - 20, xAD + 3, centre(1) - 20);
  EXPECT_TRUE(chart_->selectedActivities().empty());
  ASSERT_EQ(chart_->selectedRelations().size(), 1u);
  // A band around path 2 from 6 to 11 March takes D (its start node) and
  // the relations whose row segments lie on path 2 inside it.
  drag(xOf(6), centre(2) + 20, xOf(11), centre(2) - 20);
  EXPECT_EQ(chart_->selectedActivities(), std::vector<int32_t>{slotOf("D")});
  EXPECT_FALSE(chart_->selectedRelations().empty());
  // With "작업 먼저 선택" the band skips relations.
  kelvo::optionFlags() |= 0x80;
  drag(xOf(6), centre(2) + 20, xOf(11), centre(2) - 20);
  EXPECT_TRUE(chart_->selectedRelations().empty());
  kelvo::optionFlags() &= uint16_t(~0x80);
}

TEST_F(NetworkEditTest, DataInputConnectsTwoActivities) {
  openWindow();
  kelvo::viewState().editTool = kelvo::tool::kDataInput;
  const uint32_t count = db().relByPred.count;
  // From B (path 1) to D (path 2): a new relation routed on row
  // (1 + 2) / 2 = 1.
  drag(xOf(8), centre(1), xOf(8), centre(2));
  ASSERT_EQ(db().relByPred.count, count + 1);
  EXPECT_EQ(rowOf("B", "D"), 1);
  // A -> D is registered already: the store refuses, nothing is added; a
  // release on empty space relates nothing.
  drag(xOf(3), centre(1), xOf(8), centre(2));
  drag(xOf(8), centre(1), xOf(20), centre(6));
  EXPECT_EQ(db().relByPred.count, count + 1);
}

}  // namespace
}  // namespace kelvo_test

namespace kelvo_test {
namespace {

TEST_F(NetworkEditTest, OptionBarCommandsAndFindersGoThroughTheirDialogs) {
  openWindow();
  int shown = 0;
  kelvo::NetDialogs hooks;
  hooks.showMessage = [&](QWidget*, int message) { shown = message; };
  hooks.pathEdit = [](QWidget*, kelvo::PathEditRequest* r) {
    r->position = 2, r->count = 1, r->insert = true;
    return true;
  };
  int32_t found = -1;
  hooks.find = [&](QWidget*, kelvo::CPlanDoc&, int, int32_t* slot, bool* relation) {
    *slot = found;
    *relation = false;
    return true;
  };
  kelvo::setNetDialogs(hooks);
  EXPECT_TRUE(chart_->onCommand(10213));
  EXPECT_EQ(activity("D").path, 3);
  // A finder that finds nothing beeps, says so and keeps the selection.
  chart_->showActivity(slotOf("B"));
  EXPECT_TRUE(chart_->onCommand(57636));
  EXPECT_EQ(shown, 20014);
  EXPECT_EQ(chart_->selectedActivities(), std::vector<int32_t>{slotOf("B")});
  found = slotOf("D");
  EXPECT_TRUE(chart_->onCommand(40113));
  EXPECT_EQ(chart_->selectedActivities(), std::vector<int32_t>{slotOf("D")});
  kelvo::setNetDialogs({});
}

}  // namespace
}  // namespace kelvo_test
