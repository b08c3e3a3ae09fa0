// "작업 정보" on the sample project: live dates on the activity's calendar,
// what OK writes back, and the refusals that keep the dialog open.
#include "activity_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>

#include "kelvo/text_fields.h"
#include "record_fixture.h"

using namespace kelvo;
using kelvo_test::RecordDialogTest;

namespace {

class ActivityDialogTest : public RecordDialogTest {
 protected:
  std::unique_ptr<CActivityDialog> open(const char* code) {
    const int32_t slot = activitySlot(code);
    auto dialog = std::make_unique<CActivityDialog>(*doc_, slot, record(db().act, slot));
    dialog->show();
    return dialog;
  }
  static QString text(QDialog* d, int control) {
    return d->findChild<QLineEdit*>(QStringLiteral("c%1").arg(control))->text();
  }
  static QSpinBox* spin(QDialog* d, int control) {
    return d->findChild<QSpinBox*>(QStringLiteral("c%1").arg(control));
  }
  static QComboBox* combo(QDialog* d, int control) {
    return d->findChild<QComboBox*>(QStringLiteral("c%1").arg(control));
  }
  // Chooses item `index` of a list as a user does (the list reports it).
  static void choose(QComboBox* list, int index) {
    list->setCurrentIndex(index);
    emit list->activated(index);
  }
  static QString name(int control) { return QStringLiteral("c%1").arg(control); }
};

// A longer duration moves the finish on the activity's six-day calendar,
// and kvcli's analysis of the saved project gives the same dates.
TEST_F(ActivityDialogTest, DurationMovesFinishAsTheAnalysisDoes) {
  auto d = open("A1050");  // 10 days from 2026-04-02 on calendar 1
  spin(d.get(), actctl::kDuration)->setValue(14);
  // Sundays are off: 14 working days from Thursday 2 April end on 17 April.
  EXPECT_EQ(text(d.get(), actctl::kFinish), dateText(date(2026, 4, 17)));
  d->accept();
  ASSERT_EQ(d->result(), QDialog::Accepted);
  const ActRecord a = activity("A1050");
  EXPECT_EQ(a.duration, 14);
  EXPECT_EQ(a.finish, date(2026, 4, 17));
  EXPECT_EQ(kvcliDates(save("changed.kvp"), "A1050"),
            (QStringList{dateText(a.start), dateText(a.finish)}));
}

TEST_F(ActivityDialogTest, LiveRulesFollowTheUsersEdits) {
  auto d = open("A1050");
  // Calendar days instead of the six-day week: the same 10 days end sooner.
  choose(combo(d.get(), actctl::kCalendar), 0);
  EXPECT_EQ(text(d.get(), actctl::kFinish), dateText(date(2026, 4, 11)));
  choose(combo(d.get(), actctl::kCalendar), 1);
  EXPECT_EQ(text(d.get(), actctl::kFinish), dateText(date(2026, 4, 13)));
  // A typed finish gives the duration; one before the start shows 0 and
  // stays as typed.
  type(d.get(), qPrintable(name(actctl::kFinish)), dateText(date(2026, 4, 6)));
  EXPECT_EQ(spin(d.get(), actctl::kDuration)->value(), 4);
  type(d.get(), qPrintable(name(actctl::kFinish)), dateText(date(2026, 3, 20)));
  EXPECT_EQ(spin(d.get(), actctl::kDuration)->value(), 0);
  EXPECT_EQ(text(d.get(), actctl::kFinish), dateText(date(2026, 3, 20)));
  // A new start keeps the duration.
  spin(d.get(), actctl::kDuration)->setValue(3);
  type(d.get(), qPrintable(name(actctl::kStart)), dateText(date(2026, 4, 4)));
  EXPECT_EQ(text(d.get(), actctl::kFinish), dateText(date(2026, 4, 7)));
  // A milestone has no duration; a duration makes it a normal activity.
  choose(combo(d.get(), actctl::kKind), 1);
  EXPECT_EQ(spin(d.get(), actctl::kDuration)->value(), 0);
  EXPECT_EQ(text(d.get(), actctl::kFinish), dateText(date(2026, 4, 3)));
  spin(d.get(), actctl::kDuration)->setValue(2);
  EXPECT_EQ(combo(d.get(), actctl::kKind)->currentIndex(), 0);
  // An actual finish means nothing remains.
  type(d.get(), qPrintable(name(actctl::kActualFinish)), dateText(date(2026, 4, 5)));
  EXPECT_EQ(spin(d.get(), actctl::kRemaining)->value(), 0);
  // Leaving a date field without typing recomputes nothing.
  spin(d.get(), actctl::kDuration)->blockSignals(true);
  spin(d.get(), actctl::kDuration)->setValue(9);
  spin(d.get(), actctl::kDuration)->blockSignals(false);
  auto* start = d->findChild<QLineEdit*>(name(actctl::kStart));
  emit start->editingFinished();
  EXPECT_EQ(text(d.get(), actctl::kFinish), dateText(date(2026, 4, 6)));
}

// OK writes only what changed: values beyond the spin ranges, a path of 0
// and the other flag bits survive an edit of the name.
TEST_F(ActivityDialogTest, OkWritesOnlyWhatChanged) {
  const int32_t slot = activitySlot("A1060");
  QByteArray r = record(db().act, slot);
  ActRecord a;
  std::memcpy(&a, r.constData(), sizeof a);
  a.duration = 1200;
  a.remaining = 1200;
  a.path = 0;
  a.flags |= 0x0400 | 0x0001;
  std::memcpy(r.data(), &a, sizeof a);
  ASSERT_TRUE(doc_->inputRecord(ViewKind::Activities, slot, r.data(), -1));
  const ActRecord before = activity("A1060");

  auto d = open("A1060");
  EXPECT_EQ(spin(d.get(), actctl::kDuration)->value(), 1200);
  EXPECT_EQ(spin(d.get(), actctl::kPath)->value(), 0);
  type(d.get(), qPrintable(name(actctl::kTitle)), QStringLiteral("지하 1층 골조"));
  // The facility name on the left wins over the work-type name.
  d->findChild<QCheckBox*>(name(actctl::kFlagFirst + 5))->setChecked(true);
  d->accept();
  ASSERT_EQ(d->result(), QDialog::Accepted);
  const ActRecord after = activity("A1060");
  EXPECT_EQ(fieldText(after.title, sizeof after.title), QStringLiteral("지하 1층 골조"));
  EXPECT_EQ(after.duration, 1200);
  EXPECT_EQ(after.path, 0);
  EXPECT_EQ(after.finish, before.finish);
  EXPECT_EQ(after.flags & 0x0403, 0x0402);
}

// Typed codes are stored as the sheets store them, and a quantity is
// rounded to the quantity decimals.
TEST_F(ActivityDialogTest, TextsAndNumbersAreStoredAsTheSheetsStoreThem) {
  auto d = open("A1070");
  type(d.get(), qPrintable(name(actctl::kManager)), QStringLiteral(" KIM "));
  type(d.get(), qPrintable(name(actctl::kQuantity)), QStringLiteral("12.34567"));
  d->accept();
  ASSERT_EQ(d->result(), QDialog::Accepted);
  const ActRecord a = activity("A1070");
  EXPECT_STREQ(a.managerCode, "KIM");
  EXPECT_DOUBLE_EQ(a.quantity, 12.346);
}

TEST_F(ActivityDialogTest, RefusalsKeepTheDialogOpen) {
  const ActRecord before = activity("A1080");
  const struct {
    const char* what;
    int control;
    QString text;
  } cases[] = {
      {"start outside the calendars", actctl::kStart, dateText(date(2029, 1, 8))},
      {"actual finish before actual start", actctl::kActualFinish, dateText(date(2026, 5, 1))},
      {"a finish that is not a date", actctl::kFinish, QStringLiteral("26-13-45")},
  };
  for (const auto& c : cases) {
    messages_.clear();
    auto d = open("A1080");
    type(d.get(), qPrintable(name(actctl::kActualStart)), dateText(date(2026, 5, 4)));
    type(d.get(), qPrintable(name(c.control)), c.text);
    d->accept();
    EXPECT_TRUE(d->isVisible()) << c.what;
    EXPECT_EQ(messages_, std::vector<int>{21015}) << c.what;
  }
  // The store's own refusal: a work-type code that is not registered.
  messages_.clear();
  auto d = open("A1080");
  type(d.get(), qPrintable(name(actctl::kWorkType)), QStringLiteral("Z9"));
  d->accept();
  EXPECT_TRUE(d->isVisible());
  EXPECT_EQ(messages_, std::vector<int>{20032});
  const ActRecord after = activity("A1080");
  EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
}

TEST_F(ActivityDialogTest, NewActivityTakesTheTrimmedCode) {
  QByteArray prepared(db().act.tb.recordSize, '\0');
  CActivityDialog d(*doc_, -1, prepared);
  d.show();
  type(&d, qPrintable(name(actctl::kCode)), QStringLiteral("  N100 "));
  type(&d, qPrintable(name(actctl::kTitle)), QStringLiteral("신규"));
  d.accept();
  ASSERT_EQ(d.result(), QDialog::Accepted);
  EXPECT_EQ(d.slot(), activitySlot("N100"));
  // A second one with the same code is refused by the store.
  CActivityDialog again(*doc_, -1, prepared);
  again.show();
  type(&again, qPrintable(name(actctl::kCode)), QStringLiteral("N100"));
  again.accept();
  EXPECT_TRUE(again.isVisible());
  EXPECT_EQ(messages_, std::vector<int>{21025});
}

}  // namespace
