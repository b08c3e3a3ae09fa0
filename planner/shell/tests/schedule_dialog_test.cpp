// The schedule analysis dialog on a small project: a bad date, the run with
// its counters, the second OK, and what the document is told.
#include "schedule_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cstring>

#include "kelvo/plan_doc.h"
#include "kelvo/text_fields.h"
#include "shell_fixture.h"
#include "xJorDbm2.h"
#include "xjor/packed_date.h"

using namespace kelvo;
using kelvo_test::ShellTest;

namespace {

uint16_t day(int y, int m, int d) {
  return xjor::packDate(y, m, d);
}

class ScheduleDialogTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    ASSERT_EQ(xOpenRef(&ref_, (kelvo_test::binDir() + "/Kelvo.ref").toUtf8().constData()), 1);
    doc_ = std::make_unique<CPlanDoc>(dir_.path() + '/', ref_);
    PrjInfo info = newProjectInfo();
    info.dataDate = day(2026, 3, 2);
    ASSERT_TRUE(doc_->newProject(info));
    // Calendar 1: Monday to Friday of March and April 2026.
    std::vector<uint16_t> days;
    for (uint16_t d = day(2026, 3, 1); d <= day(2026, 4, 30); ++d)
      if (xIsValidT(d) && xGetDayOfWeek(d) % 6 != 0) days.push_back(d);
    uint16_t* work = xSetWork(0, int32_t(days.size()));
    std::memcpy(work, days.data(), days.size() * 2);
  }
  void TearDown() override {
    doc_.reset();
    xCloseFile(&ref_);
    ShellTest::TearDown();
  }

  int32_t addActivity(const char* code, int16_t duration) {
    ProjectDb& db = doc_->db();
    std::vector<uint8_t> bytes(db.act.tb.recordSize, 0);
    ActRecord r{};
    std::strcpy(r.code, code);
    r.flags = 0x3000;
    r.duration = r.remaining = duration;
    r.calendar = 1;
    r.path = int16_t(db.act.tb.liveCount + 1);
    std::memcpy(bytes.data(), &r, sizeof r);
    EXPECT_EQ(xAddRec(&db.act.tb, bytes.data()), 1);
    const int32_t record = db.act.tb.current;
    ActCodeEntry e{};
    std::strcpy(e.code, code);
    e.path = r.path;
    e.record = record;
    EXPECT_EQ(xmAdd(&db.actCodes, &e), 1);
    ActOrderEntry o = {r.path, record, 0, 0};
    EXPECT_EQ(xmAdd(&db.actOrder, &o), 1);
    return record;
  }
  void addRelation(const char* pred, const char* succ, int16_t kind) {
    ProjectDb& db = doc_->db();
    RelRecord r{};
    std::strcpy(r.pred, pred);
    std::strcpy(r.succ, succ);
    r.kind = kind;
    r.row = int16_t(db.rel.tb.liveCount + 1);
    std::vector<uint8_t> bytes(db.rel.tb.recordSize, 0);
    std::memcpy(bytes.data(), &r, sizeof r);
    ASSERT_EQ(xAddRec(&db.rel.tb, bytes.data()), 1);
    const int32_t record = db.rel.tb.current;
    RelAnchorEntry e = {r.row, record, 0, 0, 0, 0};
    ASSERT_EQ(xmAdd(&db.relAnchor, &e), 1);
    RelCodeEntry byPred{}, bySucc{};
    std::strcpy(byPred.first, pred);
    std::strcpy(byPred.second, succ);
    std::strcpy(bySucc.first, succ);
    std::strcpy(bySucc.second, pred);
    byPred.record = bySucc.record = record;
    ASSERT_EQ(xmAdd(&db.relByPred, &byPred), 1);
    ASSERT_EQ(xmAdd(&db.relBySucc, &bySucc), 1);
  }
  ActRecord activity(int32_t record) {
    ProjectDb& db = doc_->db();
    std::vector<uint8_t> bytes(db.act.tb.recordSize);
    db.act.tb.current = record;
    EXPECT_EQ(xGetRec(&db.act.tb, bytes.data()), 1);
    ActRecord r;
    std::memcpy(&r, bytes.data(), sizeof r);
    return r;
  }

  int32_t ref_ = -1;
  std::unique_ptr<CPlanDoc> doc_;
};

}  // namespace

TEST_F(ScheduleDialogTest, RunsOnFirstOkAndClosesOnSecond) {
  const int32_t a = addActivity("A", 3);
  const int32_t b = addActivity("B", 2);
  addActivity("C", 1);
  addRelation("A", "B", 0);
  std::vector<int> hints;
  QObject::connect(doc_.get(), &CPlanDoc::viewsUpdate,
                   [&](quint64, int h, qintptr) { hints.push_back(h); });

  CScheduleDlg dialog(doc_.get());
  auto* date = dialog.findChild<QLineEdit*>("dataDate");
  EXPECT_EQ(date->text(), dateText(day(2026, 3, 2)));
  date->setText("2026-13-45");
  dialog.accept();
  EXPECT_EQ(messages_, std::vector<int>{21015});
  EXPECT_FALSE(dialog.hasRun());

  date->setText(dateText(day(2026, 3, 4)));
  dialog.accept();  // runs
  ASSERT_TRUE(dialog.hasRun());
  EXPECT_EQ(dialog.result(), 0);
  EXPECT_EQ(dialog.caption()->text(), "완료되었습니다.");
  EXPECT_EQ(dialog.counter(0)->text(), "3");
  EXPECT_EQ(dialog.counter(1)->text(), "1");
  EXPECT_EQ(dialog.counter(2)->text(), "1");
  EXPECT_EQ(dialog.counter(3)->text(), "1");
  EXPECT_EQ(dialog.counter(4)->text(), "1");
  for (QPushButton* button : dialog.findChildren<QPushButton*>())
    if (button->text() == "취소") {
      EXPECT_FALSE(button->isEnabled());
    }
  EXPECT_EQ(hints, std::vector<int>{8});
  EXPECT_EQ(doc_->info().dataDate, day(2026, 3, 4));

  // Dates written: A Wed 4 .. Fri 6 March, B Mon 9 .. Tue 10 March.
  EXPECT_EQ(activity(a).earlyStart, day(2026, 3, 4));
  EXPECT_EQ(activity(a).earlyFinish, day(2026, 3, 6));
  EXPECT_EQ(activity(b).earlyStart, day(2026, 3, 9));
  EXPECT_EQ(activity(b).earlyFinish, day(2026, 3, 10));
  EXPECT_EQ(doc_->info().start, day(2026, 3, 4));
  EXPECT_EQ(doc_->info().finish, day(2026, 3, 10));

  dialog.accept();  // second OK
  EXPECT_EQ(dialog.QDialog::result(), QDialog::Accepted);
}

TEST_F(ScheduleDialogTest, LoopIsReportedAndProjectDatesKept) {
  addActivity("S", 1);
  addActivity("P", 2);
  addActivity("Q", 2);
  addRelation("S", "P", 0);
  addRelation("P", "Q", 0);
  addRelation("Q", "P", 0);
  addActivity("E", 1);
  addRelation("Q", "E", 0);
  doc_->info().start = day(2026, 3, 2);
  doc_->info().finish = day(2026, 12, 31);
  CScheduleDlg dialog(doc_.get());
  dialog.accept();
  EXPECT_EQ(dialog.result(), 20017);
  EXPECT_EQ(messages_, std::vector<int>{20017});
  EXPECT_TRUE(dialog.caption()->text().contains(" - "));
  EXPECT_EQ(doc_->info().start, day(2026, 3, 2));
  EXPECT_EQ(doc_->info().finish, day(2026, 12, 31));
}

TEST_F(ScheduleDialogTest, DatesPastTheCalendarRangeAreWarnedOnce) {
  doc_->info().calendarFrom = day(2026, 3, 1);
  doc_->info().calendarTo = day(2026, 4, 30);
  addActivity("B", 2);
  addActivity("A", 60);  // runs into June, where weekends would count
  addRelation("B", "A", 0);
  std::vector<QString> shown;
  setMessageHook([&](int, const QString& text) {
    shown.push_back(text);
    return QMessageBox::Ok;
  });
  CScheduleDlg dialog(doc_.get());
  dialog.accept();
  ASSERT_TRUE(dialog.hasRun());
  EXPECT_EQ(dialog.caption()->text(), "완료되었습니다.");
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_TRUE(shown[0].startsWith("1개의 작업이 달력의 적용 기간을 벗어났습니다."))
      << shown[0].toStdString();
}
