// The view base as a user and the shell meet it: keys that scroll, update
// broadcasts filtered by view kind, the command router asking the active
// view first, edit tools and the long crosshair.
#include <QAction>
#include <QImage>
#include <QScrollBar>
#include <QTest>

#include "kelvo/commands.h"
#include "view_fixture.h"

using namespace kelvo;
using kelvo_test::TestView;
using kelvo_test::ViewTest;

namespace {

class BaseViewTest : public ViewTest {};

TEST_F(BaseViewTest, KindAndWindowAreTakenAtCreation) {
  auto view = makeView(ViewKind::Map, 2);
  kelvo::viewState().nextViewKind = ViewKind::Activities;
  EXPECT_EQ(view->viewKind(), ViewKind::Map);
  EXPECT_EQ(view->windowNumber(), 2);
}

TEST_F(BaseViewTest, KeysScrollByLinesPagesAndEnds) {
  auto view = makeView(ViewKind::Map);
  const LogicalRect c = view->computeClientRect();
  ASSERT_GT(c.height(), 100);
  ASSERT_GT(c.width(), 100);
  QTest::keyClick(view.get(), Qt::Key_Down);
  EXPECT_EQ(view->scrollY(), -50);
  QTest::keyClick(view.get(), Qt::Key_Right);
  EXPECT_EQ(view->scrollX(), 50);
  QTest::keyClick(view.get(), Qt::Key_PageDown);
  EXPECT_EQ(view->scrollY(), -50 - (c.height() - 50));
  QTest::keyClick(view.get(), Qt::Key_Up);
  EXPECT_EQ(view->scrollY(), -(c.height() - 50));
  // End goes to the bottom and back to the left end.
  QTest::keyClick(view.get(), Qt::Key_End);
  EXPECT_EQ(view->scrollY(), -(view->height - c.height()));
  EXPECT_EQ(view->scrollX(), 0);
  // Nothing moves past the bottom.
  QTest::keyClick(view.get(), Qt::Key_PageDown);
  EXPECT_EQ(view->scrollY(), -(view->height - c.height()));
  QTest::keyClick(view.get(), Qt::Key_Home);
  EXPECT_EQ(view->scrollY(), 0);
  EXPECT_EQ(view->scrollX(), 0);
  // Nor past the top or the left.
  QTest::keyClick(view.get(), Qt::Key_Up);
  QTest::keyClick(view.get(), Qt::Key_Left);
  EXPECT_EQ(view->scrollY(), 0);
  EXPECT_EQ(view->scrollX(), 0);
  // The scroll bar follows in logical units.
  QTest::keyClick(view.get(), Qt::Key_Down);
  EXPECT_EQ(view->verticalScrollBar()->value(), 50);
}

TEST_F(BaseViewTest, ExtentSmallerThanTheWindowDoesNotScroll) {
  auto view = makeView(ViewKind::Map);
  view->width = 100;
  view->height = 100;
  QTest::keyClick(view.get(), Qt::Key_PageDown);
  QTest::keyClick(view.get(), Qt::Key_Right);
  EXPECT_EQ(view->scrollX(), 0);
  EXPECT_EQ(view->scrollY(), 0);
}

TEST_F(BaseViewTest, ScrolledContentMovesOnScreen) {
  auto view = makeView(ViewKind::Map);
  // Square (0, 0) is red at the client origin; after scrolling 10 mm right
  // and down it is gone from there and square (1, 1) is at the origin.
  QImage before = view->viewport()->grab().toImage();
  EXPECT_EQ(QColor(before.pixel(2, 2)), QColor(Qt::red));
  view->setScrollOrigin(100, -100);
  QImage after = view->viewport()->grab().toImage();
  EXPECT_NE(QColor(after.pixel(2, 2)), QColor(Qt::red));
}

TEST_F(BaseViewTest, BroadcastsReachOnlyTheKindsInTheMask) {
  auto gantt = makeView(ViewKind::GanttChart, 3);
  auto sheet = makeView(ViewKind::Activities, 8);
  auto pane = makeView(ViewKind::Successors, 3);  // lower Gantt pane: beyond 32 bits
  doc_->updateAllViews(uint64_t{1} << 12, hint::kInitialUpdate);
  EXPECT_EQ(gantt->initialUpdates, 1);
  EXPECT_EQ(sheet->initialUpdates, 0);
  EXPECT_EQ(pane->initialUpdates, 0);
  doc_->updateAllViews(uint64_t{1} << 33, hint::kInitialUpdate);
  EXPECT_EQ(pane->initialUpdates, 1);
  EXPECT_EQ(gantt->initialUpdates, 1);
  doc_->updateAllViews(kAllViews, hint::kStoreSettings);
  EXPECT_EQ(gantt->stores, 1);
  EXPECT_EQ(sheet->stores, 1);
  EXPECT_EQ(pane->stores, 1);
  // Hints the base does not know reach nothing observable, and a repaint
  // does not re-read.
  doc_->updateAllViews(kAllViews, hint::kRepaint);
  doc_->updateAllViews(kAllViews, 99);
  EXPECT_EQ(gantt->initialUpdates, 1);
}

TEST_F(BaseViewTest, DuringAComputationTheLastImageIsShown) {
  auto view = makeView(ViewKind::Map);
  doc_->updateAllViews(kAllViews, hint::kComputationBegins);
  view->setScrollOrigin(100, -100);  // the data moves under the view
  EXPECT_EQ(QColor(view->viewport()->grab().toImage().pixel(2, 2)), QColor(Qt::red));
  // The computation's closing hint shows the new state.
  doc_->updateAllViews(kAllViews, hint::kDatesChanged);
  EXPECT_NE(QColor(view->viewport()->grab().toImage().pixel(2, 2)), QColor(Qt::red));
}

TEST_F(BaseViewTest, ClosingStoresTheSettingsOfItsOwnKindOnly) {
  auto a = makeView(ViewKind::Network, 4);
  auto b = makeView(ViewKind::Network, 4);
  auto other = makeView(ViewKind::PeriodChart, 6);
  a->prepareToClose();
  EXPECT_EQ(a->stores, 1);
  EXPECT_EQ(b->stores, 1);
  EXPECT_EQ(other->stores, 0);
}

// A document-level target behind the view: it claims the print command so
// the test can see who got it.
struct Behind : CommandTarget {
  int printed = 0;
  bool onCommand(int id) override {
    if (id == cmd::kLongCrosshair) ++printed;
    return true;
  }
  bool updateCommand(int id, CommandState& state) override {
    if (id != cmd::kLongCrosshair && id != cmd::kRefresh) return false;
    state.enabled = true;
    return true;
  }
};

TEST_F(BaseViewTest, RouterAsksTheActiveViewFirst) {
  CommandRouter router;
  Behind behind;
  router.setChain([&] { return std::vector<CommandTarget*>{&behind}; });
  viewState().router = &router;
  uint16_t flags = 0x600;
  viewState().flags = &flags;
  {
    auto view = makeView(ViewKind::Map, 2);
    view->activate();
    EXPECT_EQ(viewState().activeEditView, view.get());
    EXPECT_EQ(router.activeView(), view.get());
    // 40053 is the view's: the crosshair bit toggles, the target behind
    // never sees it.
    EXPECT_TRUE(router.dispatch(cmd::kLongCrosshair));
    EXPECT_EQ(flags, 0x400);
    EXPECT_EQ(behind.printed, 0);
    EXPECT_FALSE(router.state(cmd::kLongCrosshair).checked);
    router.dispatch(cmd::kLongCrosshair);
    EXPECT_TRUE(router.state(cmd::kLongCrosshair).checked);
    // What the view does not own goes on down the chain.
    EXPECT_TRUE(router.state(cmd::kRefresh).enabled);
    // Printing is offered by every view; drawing-object commands have no
    // selection to act on.
    EXPECT_TRUE(router.state(cmd::kPrintPreview).enabled);
    EXPECT_FALSE(router.state(cmd::kEditCopy).enabled);
    // Fit to paper only where the view takes it.
    EXPECT_FALSE(router.state(cmd::kFitToPaper).enabled);
  }
  // A destroyed view leaves neither the router nor the view state.
  EXPECT_EQ(router.activeView(), nullptr);
  EXPECT_EQ(viewState().activeEditView, nullptr);
  router.dispatch(cmd::kLongCrosshair);
  EXPECT_EQ(behind.printed, 1);
}

TEST_F(BaseViewTest, EditToolsAreChosenAndShownChecked) {
  CommandRouter router;
  viewState().router = &router;
  auto view = makeView(ViewKind::Map, 2);
  view->activate();
  EXPECT_TRUE(router.state(cmd::kToolFirst + tool::kDataSelect).checked);
  router.dispatch(cmd::kToolFirst + tool::kRectangle);
  EXPECT_EQ(viewState().editTool, tool::kRectangle);
  EXPECT_TRUE(router.state(cmd::kToolFirst + tool::kRectangle).checked);
  EXPECT_FALSE(router.state(cmd::kToolFirst + tool::kDataSelect).checked);
  // Activating the user report with a data tool switches to "문자".
  router.dispatch(cmd::kToolFirst + tool::kDataInput);
  auto report = makeView(ViewKind::UserReport, 10);
  report->activate();
  EXPECT_EQ(viewState().editTool, tool::kText);
}

TEST_F(BaseViewTest, StatusTextIsXAndMinusY) {
  auto view = makeView(ViewKind::Map);
  EXPECT_EQ(view->positionText(120, -340), QStringLiteral("120 - 340"));
  const ViewPosition p = view->pointToPosition(120, -340);
  int32_t x = 0, y = 0;
  view->positionToPoint(p, &x, &y);
  EXPECT_EQ(x, 120);
  EXPECT_EQ(y, -340);
}

TEST_F(BaseViewTest, LongCrosshairInvertsThroughThePointer) {
  uint16_t flags = 0x600 | optflag::kLongCrosshair;
  viewState().flags = &flags;
  auto view = makeView(ViewKind::Map);
  QTest::mouseMove(view->viewport(), QPoint(250, 170));
  QApplication::processEvents();
  EXPECT_EQ(view->crosshair(), QPoint(250, 170));
  QImage image = view->viewport()->grab().toImage();
  // Off the grid lines, a white pixel on the crosshair is inverted to black.
  EXPECT_EQ(QColor(image.pixel(255, 170)), QColor(Qt::black));
  EXPECT_EQ(QColor(image.pixel(250, 175)), QColor(Qt::black));
  EXPECT_EQ(QColor(image.pixel(255, 175)), QColor(Qt::white));
  // Views with flag bit 1 never draw it.
  view->setViewFlags(viewflag::kNoCrosshair);
  image = view->viewport()->grab().toImage();
  EXPECT_EQ(QColor(image.pixel(255, 170)), QColor(Qt::white));
}

}  // namespace

namespace {

class MouseTest : public ViewTest {
 protected:
  // The device point of logical (x, y) on the view's screen.
  QPoint at(const TestView& view, int32_t x, int32_t y) {
    return view.screenMapper().toDevice(x, y).toPoint();
  }
};

TEST_F(MouseTest, SeparatorDragRunsUnderItsOwnToolState) {
  auto view = makeView(ViewKind::Map);
  viewState().editTool = tool::kDataInput;
  QTest::mousePress(view->viewport(), Qt::LeftButton, {}, at(*view, 1000, -500));
  EXPECT_EQ(viewState().editTool, tool::kSeparatorDrag);
  EXPECT_EQ(viewState().toolBeforeDrag, tool::kDataInput);
  EXPECT_EQ(view->presses, 0);  // the separator took the click
  QMouseEvent move(QEvent::MouseMove, at(*view, 1500, -500),
                   view->viewport()->mapToGlobal(at(*view, 1500, -500)), Qt::NoButton,
                   Qt::LeftButton, {});
  QApplication::sendEvent(view->viewport(), &move);
  EXPECT_NEAR(view->dragX, 1500, 3);
  QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, at(*view, 1500, -500));
  EXPECT_EQ(view->ended, 1);
  EXPECT_EQ(view->applied, 1);
  EXPECT_EQ(viewState().editTool, tool::kDataInput);

  // Escape ends a drag without applying it.
  QTest::mousePress(view->viewport(), Qt::LeftButton, {}, at(*view, 1000, -500));
  QTest::keyClick(view.get(), Qt::Key_Escape);
  EXPECT_EQ(view->ended, 2);
  EXPECT_EQ(view->applied, 1);
  EXPECT_EQ(viewState().editTool, tool::kDataInput);
}

TEST_F(MouseTest, DataToolsTakeClicksRightOfTheRowColumnOnly) {
  auto view = makeView(ViewKind::Map);
  view->setScrollOrigin(-200, 0);  // 20 mm of row-number column on screen
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at(*view, -100, -300));
  EXPECT_EQ(view->presses, 0);
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at(*view, 300, -300));
  EXPECT_EQ(view->presses, 1);
  // With view flag bit 1 the column takes clicks too.
  view->setViewFlags(viewflag::kNoCrosshair);
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at(*view, -100, -300));
  EXPECT_EQ(view->presses, 2);
  // A shape tool does not reach the data tools.
  viewState().editTool = tool::kRectangle;
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at(*view, 300, -300));
  EXPECT_EQ(view->presses, 2);
  // 32768 cancels a data operation in progress.
  viewState().editTool = tool::kDataSelect;
  QTest::mousePress(view->viewport(), Qt::LeftButton, {}, at(*view, 300, -300));
  view->onCommand(cmd::kCancelState);
  EXPECT_EQ(view->cancels, 1);
}

}  // namespace
