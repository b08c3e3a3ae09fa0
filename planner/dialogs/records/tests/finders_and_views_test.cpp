// The finders as every view uses them, the question before a time-shared
// activity loses its entries, and each dialog as a user sees it.
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QTreeWidget>

#include "activity_dialog.h"
#include "kelvo/base_view.h"
#include "kelvo/find_dialogs.h"
#include "kelvo/time_shared.h"
#include "progress_dialog.h"
#include "record_fixture.h"
#include "relation_dialog.h"

using namespace kelvo;
using kelvo_test::RecordDialogTest;

namespace {

class FinderTest : public RecordDialogTest {};

TEST_F(FinderTest, CodeFinderOfEachView) {
  const struct {
    ViewKind kind;
    int length;
    bool successor;
  } views[] = {{ViewKind::WorkTypeSheet, 10, false}, {ViewKind::Resources, 10, false},
               {ViewKind::Activities, 20, false},    {ViewKind::Relations, 20, true},
               {ViewKind::GanttChart, 20, false},    {ViewKind::Network, 20, true},
               {ViewKind::ValueSheet, 12, false}};
  for (const auto& v : views) {
    EXPECT_EQ(findCodeLength(v.kind), v.length) << kindNumber(v.kind);
    CodeFindDialog d(v.kind);
    EXPECT_EQ(d.findChild<QLineEdit*>("second") != nullptr, v.successor) << kindNumber(v.kind);
  }
  // The charts find activities; the network chart finds a relation when a
  // successor is given.
  EXPECT_EQ(findCodeRecord(&db(), ViewKind::GanttChart, "A1050"), uint32_t(activitySlot("A1050")));
  EXPECT_EQ(findCodeRecord(&db(), ViewKind::Network, "A1050", ""), uint32_t(activitySlot("A1050")));
  EXPECT_EQ(findCodeRecord(&db(), ViewKind::Network, "A1020", "A1030"),
            uint32_t(relationSlot("A1020", "A1030")));
  EXPECT_EQ(findCodeRecord(&db(), ViewKind::Network, "A1030", "A1020"), XJOR_NONE);
}

TEST_F(FinderTest, SpecialFinderListsMilestonesInCodeOrder) {
  const std::vector<FoundActivity> found = specialActivities(&db(), SpecialClass::Milestone);
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(found.front().code, "A1000");
  EXPECT_EQ(found.back().code, "A1620");
}

// Turning a time-shared activity with entries into another kind asks first
// when deletions are confirmed; No keeps the dialog open and the entries.
TEST_F(FinderTest, LeavingTimeSharedAsksBeforeEntriesGo) {
  const int32_t slot = activitySlot("A1040");
  QByteArray r = record(db().act, slot);
  put16(r, 112, 2);
  ASSERT_TRUE(doc_->inputRecord(ViewKind::Activities, slot, r.data(), -1));
  SpaEntry e{slot, date(2026, 3, 30), 5};
  db().spa.current = XJOR_NONE;
  ASSERT_TRUE(doc_->inputRecord(ViewKind::TimeShared, -1, &e, -1));
  optionFlags() |= optflag::kConfirmDelete;
  for (int answer : {QMessageBox::No, QMessageBox::Yes}) {
    answer_ = answer;
    messages_.clear();
    CActivityDialog d(*doc_, slot, record(db().act, slot));
    d.show();
    auto* kind = d.findChild<QComboBox*>("c10500");
    kind->setCurrentIndex(0);
    emit kind->activated(0);
    d.accept();
    EXPECT_EQ(messages_, std::vector<int>{20018});
    EXPECT_EQ(d.isVisible(), answer == QMessageBox::No);
    EXPECT_EQ(timeSharedEntries(db(), slot).size(), answer == QMessageBox::No ? 1u : 0u);
  }
}

// Each dialog drawn as the user sees it: captions present and the picture
// not blank. With KELVO_SHOT_DIR set, the pictures are kept there.
TEST_F(FinderTest, EachDialogDraws) {
  const int32_t act = activitySlot("A1020"), rel = relationSlot("A1020", "A1030");
  CActivityDialog a(*doc_, act, record(db().act, act));
  CRelationDialog r(*doc_, rel, record(db().rel, rel), {.showDisplayFlag = true});
  CProgressDialog p(*doc_, {act, activitySlot("A1030")});
  CodeFindDialog f(ViewKind::Network);
  SpecialFindDialog s(&db());
  const std::pair<QDialog*, const char*> dialogs[] = {{&a, "activity"},
                                                      {&r, "relation"},
                                                      {&p, "progress"},
                                                      {&f, "find_code"},
                                                      {&s, "find_special"}};
  const QString shots = qEnvironmentVariable("KELVO_SHOT_DIR");
  for (const auto& [dialog, name] : dialogs) {
    dialog->show();
    const QImage image = dialog->grab().toImage();
    ASSERT_FALSE(image.isNull()) << name;
    // More than the background: the controls drew something.
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 3)
      for (int x = 0; x < image.width(); x += 3) colours.insert(image.pixel(x, y));
    EXPECT_GT(colours.size(), 4) << name;
    if (!shots.isEmpty()) image.save(shots + "/issue24_" + name + ".png");
  }
  EXPECT_EQ(a.windowTitle(), QStringLiteral("작업 정보"));
  EXPECT_EQ(r.windowTitle(), QStringLiteral("선후행 관계"));
  EXPECT_EQ(p.windowTitle(), QStringLiteral("진행 자료 정보"));
  EXPECT_EQ(r.findChild<QLabel*>("succName")->text(), QStringLiteral("터파기 및 잔토 처리"));
}

}  // namespace
