// "선후행 관계" and "진행 자료 정보" on the sample project, and OK without a
// change leaving the saved project as it was.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTreeWidget>

#include "activity_dialog.h"
#include "progress_dialog.h"
#include "record_fixture.h"
#include "relation_dialog.h"

using namespace kelvo;
using kelvo_test::RecordDialogTest;

namespace {

class RelationDialogTest : public RecordDialogTest {
 protected:
  std::unique_ptr<CRelationDialog> openNew(const char* pred, const char* succ,
                                           RelationDialogOptions options = {}) {
    QByteArray r(db().rel.tb.recordSize, '\0');
    RelRecord rel{};
    std::strcpy(rel.pred, pred);
    std::strcpy(rel.succ, succ);
    std::memcpy(r.data(), &rel, sizeof rel);
    auto d = std::make_unique<CRelationDialog>(*doc_, -1, r, options);
    d->show();
    return d;
  }
  std::unique_ptr<CRelationDialog> open(const char* pred, const char* succ,
                                        RelationDialogOptions options = {}) {
    const int32_t slot = relationSlot(pred, succ);
    auto d = std::make_unique<CRelationDialog>(*doc_, slot, record(db().rel, slot), options);
    d->show();
    return d;
  }
};

TEST_F(RelationDialogTest, ShowsTheActivitiesAndStoresKindLagAndRow) {
  auto d = open("A1020", "A1030");  // SS 5
  EXPECT_EQ(d->findChild<QLabel*>("predName")->text(), QStringLiteral("흙막이 (H-파일 및 토류판)"));
  EXPECT_TRUE(d->findChild<QRadioButton*>("SS")->isChecked());
  EXPECT_FALSE(d->findChild<QCheckBox*>("display")->isVisibleTo(d.get()));
  EXPECT_TRUE(d->deleteButton()->isVisibleTo(d.get()));
  d->findChild<QRadioButton*>("FS")->click();
  d->findChild<QSpinBox*>("lag")->setValue(-2);
  d->accept();
  ASSERT_EQ(d->result(), QDialog::Accepted);
  const RelRecord r = relation("A1020", "A1030");
  EXPECT_EQ(r.kind, 0);
  EXPECT_EQ(r.lag, -2);
  EXPECT_EQ(r.row, 0);  // not edited: kept, not raised to the spin's 1
}

TEST_F(RelationDialogTest, DisplayFlagOnlyFromTheNetworkChart) {
  auto d = open("A1010", "A1020", {.showDisplayFlag = true});
  ASSERT_TRUE(d->findChild<QCheckBox*>("display")->isVisibleTo(d.get()));
  d->findChild<QCheckBox*>("display")->setChecked(true);
  d->accept();
  EXPECT_EQ(relation("A1010", "A1020").flags & 0x0008, 0x0008);
}

TEST_F(RelationDialogTest, NewRelationsAndRefusals) {
  auto fresh = openNew("A1010", "A1040", {.newRoutingRow = 3});
  EXPECT_FALSE(fresh->deleteButton()->isVisibleTo(fresh.get()));
  fresh->accept();
  ASSERT_EQ(fresh->result(), QDialog::Accepted);
  EXPECT_EQ(relation("A1010", "A1040").row, 3);

  const struct {
    const char *pred, *succ;
    int message;
  } refused[] = {{"A1030", "A1020", 21025},  // the reverse of A1020 -> A1030
                 {"A1040", "A1040", 20004},  // to itself
                 {"A1040", "ZZZ", 20006}};
  for (const auto& c : refused) {
    messages_.clear();
    auto d = openNew(c.pred, c.succ);
    d->accept();
    EXPECT_TRUE(d->isVisible()) << c.pred << "->" << c.succ;
    EXPECT_EQ(messages_, std::vector<int>{c.message}) << c.pred << "->" << c.succ;
  }
}

TEST_F(RelationDialogTest, DeleteRemovesTheRelation) {
  auto d = open("A1030", "A1040");
  d->deleteButton()->click();
  EXPECT_EQ(d->result(), CRelationDialog::kDeleted);
  EXPECT_EQ(relationSlot("A1030", "A1040"), -1);
}

// Opening every dialog and pressing OK changes nothing: the document stays
// unmodified and the saved project is the same file byte for byte.
TEST_F(RelationDialogTest, OkWithoutChangeLeavesTheFileAsItWas) {
  const QString before = save("before.kvp");
  const int32_t act = activitySlot("A1050"), rel = relationSlot("A1020", "A1030");
  CActivityDialog a(*doc_, act, record(db().act, act));
  a.accept();
  CRelationDialog r(*doc_, rel, record(db().rel, rel), {.showDisplayFlag = true});
  r.accept();
  CProgressDialog p(*doc_, {act, activitySlot("A1060")});
  EXPECT_TRUE(p.step(1));
  p.accept();
  EXPECT_EQ(a.result(), QDialog::Accepted);
  EXPECT_FALSE(a.stored() || r.stored() || p.storedAny());
  EXPECT_FALSE(doc_->isModified());
  const QString after = save("after.kvp");
  QFile f1(before), f2(after);
  ASSERT_TRUE(f1.open(QIODevice::ReadOnly) && f2.open(QIODevice::ReadOnly));
  EXPECT_TRUE(f1.readAll() == f2.readAll());
}

class ProgressDialogTest : public RecordDialogTest {};

TEST_F(ProgressDialogTest, ActualDatesAreCheckedAgainstTheDataDate) {
  // The data date of the sample is 2026-03-03; move it on so that work
  // can have been done.
  PrjInfo info = doc_->info();
  info.dataDate = date(2026, 3, 20);
  doc_->setProjectInfo(info);
  CProgressDialog d(*doc_, {activitySlot("A1010"), activitySlot("A1020")});
  d.show();
  type(&d, "actualStart", dateText(date(2026, 3, 3)));
  type(&d, "actualFinish", dateText(date(2026, 3, 25)));  // after the data date
  EXPECT_FALSE(d.step(1));
  EXPECT_EQ(d.currentSlot(), activitySlot("A1010"));
  EXPECT_EQ(messages_, std::vector<int>{21015});
  type(&d, "actualFinish", dateText(date(2026, 3, 2)));  // before the actual start
  EXPECT_FALSE(d.step(1));
  type(&d, "actualFinish", dateText(date(2026, 3, 9)));
  EXPECT_EQ(d.findChild<QSpinBox*>("remaining")->value(), 0);
  EXPECT_TRUE(d.step(1));
  EXPECT_EQ(d.currentSlot(), activitySlot("A1020"));
  const ActRecord a = activity("A1010");
  EXPECT_EQ(a.actualStart, date(2026, 3, 3));
  EXPECT_EQ(a.actualFinish, date(2026, 3, 9));
  EXPECT_EQ(a.remaining, 0);
  // A remaining duration on its own starts the activity on its start.
  d.findChild<QSpinBox*>("remaining")->setValue(10);
  d.accept();
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_EQ(activity("A1020").remaining, 10);
  EXPECT_EQ(activity("A1020").actualStart, activity("A1020").start);
}

TEST_F(ProgressDialogTest, CrewInputAndTimeSharedEntries) {
  // A1020 has two crew details: E01 and L01.
  const int32_t slot = activitySlot("A1020");
  CProgressDialog d(*doc_, {slot});
  d.show();
  auto* crews = d.findChild<QTreeWidget*>("crews");
  ASSERT_EQ(crews->topLevelItemCount(), 2);
  crews->setCurrentItem(crews->topLevelItem(1));
  type(&d, "crewInput", QStringLiteral("7.12345"));
  ASSERT_TRUE(d.setCrewInput());
  EXPECT_EQ(crews->topLevelItem(1)->text(3), QStringLiteral("7.123"));
  EXPECT_FALSE(d.findChild<QTreeWidget*>("timeShared")->isVisibleTo(&d));

  // Made time-shared, the activity takes dated quantities.
  QByteArray r = record(db().act, slot);
  put16(r, 112, 2);
  ASSERT_TRUE(doc_->inputRecord(ViewKind::Activities, slot, r.data(), -1));
  CProgressDialog shared(*doc_, {slot});
  shared.show();
  auto* list = shared.findChild<QTreeWidget*>("timeShared");
  ASSERT_TRUE(list->isVisibleTo(&shared));
  type(&shared, "sharedDay", dateText(date(2026, 3, 12)));
  type(&shared, "sharedQuantity", QStringLiteral("4.5"));
  ASSERT_TRUE(shared.addTimeShared());
  type(&shared, "sharedDay", dateText(date(2026, 3, 11)));
  ASSERT_TRUE(shared.addTimeShared());
  ASSERT_FALSE(shared.addTimeShared());  // that day has an entry already
  EXPECT_EQ(messages_, std::vector<int>{21025});
  ASSERT_EQ(list->topLevelItemCount(), 2);
  EXPECT_EQ(list->topLevelItem(0)->text(0), dateText(date(2026, 3, 11)));
  list->setCurrentItem(list->topLevelItem(1));
  type(&shared, "sharedQuantity", QStringLiteral("6"));
  ASSERT_TRUE(shared.changeTimeShared());
  list->setCurrentItem(list->topLevelItem(0));
  ASSERT_TRUE(shared.deleteTimeShared());
  ASSERT_EQ(list->topLevelItemCount(), 1);
  EXPECT_EQ(list->topLevelItem(0)->text(0), dateText(date(2026, 3, 12)));
  EXPECT_EQ(list->topLevelItem(0)->text(1), QStringLiteral("6.000"));
}

}  // namespace
