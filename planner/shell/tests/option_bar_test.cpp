// The window option bars: their lists, the choices kept across re-creation
// and the rules that tie choices together.
#include "option_bar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QToolBar>
#include <memory>

#include "kelvo/commands.h"
#include "shell_fixture.h"

using namespace kelvo;
using kelvo_test::ShellTest;

class OptionBarTest : public ShellTest {
 protected:
  std::unique_ptr<QToolBar> bar(int number) {
    return std::unique_ptr<QToolBar>(makeOptionBar(number, &state_, &router_, nullptr));
  }
  QComboBox* combo(QToolBar* b, int id) {
    return b->findChild<QComboBox*>(QStringLiteral("ctl%1").arg(id));
  }
  OptionBarState state_;
  CommandRouter router_;
  uint16_t flags_ = 0x600;
  bool summaryOpen_ = false;
};

TEST_F(OptionBarTest, ChoicesSurviveRecreationAndLowerPanesDiffer) {
  {
    auto gantt = bar(3);
    EXPECT_EQ(combo(gantt.get(), 10506)->currentIndex(), 0);
    EXPECT_EQ(combo(gantt.get(), 10507)->currentIndex(), 1);
    combo(gantt.get(), 10506)->setCurrentIndex(1);  // same as the right pane
    EXPECT_EQ(combo(gantt.get(), 10507)->currentIndex(), 2);
    combo(gantt.get(), 10507)->setCurrentIndex(1);
    EXPECT_EQ(combo(gantt.get(), 10506)->currentIndex(), 2);
    // Five lists: "작업조" is the last, after which the other pane wraps.
    ASSERT_EQ(combo(gantt.get(), 10506)->count(), 5);
    combo(gantt.get(), 10506)->setCurrentIndex(4);
    combo(gantt.get(), 10507)->setCurrentIndex(4);
    EXPECT_EQ(combo(gantt.get(), 10506)->currentIndex(), 0);
    combo(gantt.get(), 10506)->setCurrentIndex(2);
    combo(gantt.get(), 10507)->setCurrentIndex(1);
  }
  auto again = bar(3);
  EXPECT_EQ(combo(again.get(), 10506)->currentIndex(), 2);
  EXPECT_EQ(combo(again.get(), 10507)->currentIndex(), 1);
  auto sheet = bar(5);
  EXPECT_EQ(combo(sheet.get(), 10509)->count(), 9);
  EXPECT_EQ(combo(sheet.get(), 10509)->itemText(8), "1 일");
}

TEST_F(OptionBarTest, SummarySchedulesNeedSummaryDataAndCheckBoxTogglesFlag) {
  state_.flags = &flags_;
  state_.summarySchedulesAllowed = [this] { return summaryOpen_; };
  auto gantt = bar(3);
  combo(gantt.get(), 10505)->setCurrentIndex(1);
  EXPECT_EQ(combo(gantt.get(), 10505)->currentIndex(), 0);
  EXPECT_EQ(state_.comboChoice.value(10505), 0);
  summaryOpen_ = true;
  combo(gantt.get(), 10505)->setCurrentIndex(1);
  EXPECT_EQ(state_.comboChoice.value(10505), 1);

  auto pert = bar(4);
  auto* box = pert->findChild<QCheckBox*>("ctl10302");
  ASSERT_NE(box, nullptr);
  EXPECT_FALSE(box->isChecked());
  box->setChecked(true);
  EXPECT_EQ(flags_, 0x680);
  auto pert2 = bar(4);
  EXPECT_TRUE(pert2->findChild<QCheckBox*>("ctl10302")->isChecked());
}

TEST_F(OptionBarTest, ChoicesThatChangeTheWindowsMakeupReopenItAtOnce) {
  int reopened = 0;
  state_.reopenWindow = [&] { ++reopened; };
  auto classes = bar(0);
  combo(classes.get(), 10500)->setCurrentIndex(1);  // facility codes
  combo(classes.get(), 10501)->setCurrentIndex(1);  // sheet only
  EXPECT_EQ(reopened, 2);
  auto data = bar(8);
  combo(data.get(), 10504)->setCurrentIndex(3);  // crew details
  EXPECT_EQ(reopened, 3);
  EXPECT_EQ(state_.comboChoice.value(10504), 3);
  auto map = bar(2);
  combo(map.get(), 10503)->setCurrentIndex(1);  // resources on the map
  EXPECT_EQ(reopened, 4);
  // Choices the views follow themselves leave the window as it is.
  auto gantt = bar(3);
  combo(gantt.get(), 10506)->setCurrentIndex(2);
  EXPECT_EQ(reopened, 4);
}
