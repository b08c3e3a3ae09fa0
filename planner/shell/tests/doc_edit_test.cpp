// The editing dispatch: refusals change nothing and come back as message
// numbers, accepted records mark the document and reach the views that show
// them, deletions cascade through the store, and the kinds the store has no
// input for (summary rows, the last tree level) are refused by the document.
#include "kelvo/doc_edit.h"

#include <cstring>
#include <vector>

#include "kelvo/plan_doc.h"
#include "kelvo/strings.h"
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

struct Hint {
  uint64_t mask;
  int hint;
  intptr_t extra;
};

class FakeTree : public ClassTreeLink {
 public:
  int level = 0;
  std::vector<int32_t> entered, deleted;
  int childLevel() const override { return level; }
  void codeEntered(int, int32_t record) override { entered.push_back(record); }
  void codeDeleted(int, int32_t record) override { deleted.push_back(record); }
};

class DocEditTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    ASSERT_EQ(xOpenRef(&ref_, (kelvo_test::binDir() + "/Kelvo.ref").toUtf8().constData()), 1);
    doc_ = std::make_unique<CPlanDoc>(dir_.path() + '/', ref_);
    doc_->setMessagePresenter([](int message) { showMessage(nullptr, message); });
    PrjInfo info = newProjectInfo();
    info.start = info.dataDate = day(2026, 3, 2);
    info.finish = day(2026, 12, 31);
    ASSERT_TRUE(doc_->newProject(info));
    int work[8] = {1, 2}, facility[8] = {2};
    QString names[8];
    ClassDef defs[2];
    ASSERT_TRUE(makeClassDef(work, names, &defs[0]));
    ASSERT_TRUE(makeClassDef(facility, names, &defs[1]));
    doc_->changeClassDefs(defs);
    doc_->setModified(false);
    QObject::connect(doc_.get(), &CPlanDoc::viewsUpdate,
                     [this](quint64 mask, int hint, qintptr extra) {
                       hints_.push_back({mask, hint, extra});
                     });
  }
  void TearDown() override {
    doc_.reset();
    xCloseFile(&ref_);
    ShellTest::TearDown();
  }

  EditResult code(ViewKind kind, const char* text, EditReport report = EditReport::Silent) {
    WbsRecord r{};
    setFieldText(r.code, sizeof r.code, text);
    return doc_->inputRecord(kind, -1, &r, -1, report);
  }
  // An activity record of the table's full length.
  EditResult activity(const char* text, const char* work, const char* facility, int16_t type = 0) {
    std::vector<char> buffer(doc_->db().act.tb.recordSize);
    ActRecord r{};
    setFieldText(r.code, sizeof r.code, text);
    setFieldText(r.wbsCode, sizeof r.wbsCode, work);
    setFieldText(r.obsCode, sizeof r.obsCode, facility);
    r.duration = r.remaining = 5;
    r.calendar = 1;
    r.type = type;
    std::memcpy(buffer.data(), &r, sizeof r);
    return doc_->inputRecord(ViewKind::Activities, -1, buffer.data(), 0);
  }
  EditResult relation(const char* pred, const char* succ) {
    RelRecord r{};
    setFieldText(r.pred, sizeof r.pred, pred);
    setFieldText(r.succ, sizeof r.succ, succ);
    return doc_->inputRecord(ViewKind::Relations, -1, &r);
  }

  int32_t ref_ = -1;
  std::unique_ptr<CPlanDoc> doc_;
  std::vector<Hint> hints_;
};

constexpr uint64_t bit(int kind) {
  return uint64_t{1} << kind;
}

}  // namespace

TEST_F(DocEditTest, RefusalReturnsTheStoreMessageAndChangesNothing) {
  EXPECT_EQ(code(ViewKind::WorkTypeSheet, "ABCD").message, XQD_MSG_LEVEL_LENGTH);
  EXPECT_EQ(code(ViewKind::WorkTypeSheet, "A12").message, XQD_MSG_NO_PARENT);
  EXPECT_EQ(doc_->db().wbs.tb.liveCount, 0u);
  EXPECT_FALSE(doc_->isModified());
  EXPECT_TRUE(hints_.empty());
  EXPECT_TRUE(messages_.empty()) << "a silent input shows nothing";

  EXPECT_FALSE(code(ViewKind::WorkTypeSheet, "", EditReport::Show).ok);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0], XQD_MSG_NO_CODE);
}

TEST_F(DocEditTest, AcceptedInputMarksModifiedAndTellsOtherViews) {
  const EditResult made = code(ViewKind::WorkTypeSheet, "A");
  ASSERT_TRUE(made.ok);
  EXPECT_EQ(made.message, 0);
  EXPECT_TRUE(doc_->isModified());
  ASSERT_EQ(hints_.size(), 1u);
  EXPECT_EQ(hints_[0].hint, hint::kRefresh) << "a new record changes the record sets";
  EXPECT_EQ(hints_[0].extra, kindNumber(ViewKind::WorkTypeSheet));
  EXPECT_FALSE(hints_[0].mask & bit(0)) << "the sheet that entered it updates itself";
  EXPECT_TRUE(hints_[0].mask & bit(9));
  EXPECT_TRUE(hints_[0].mask & bit(4));

  // The record stays current: entering it again changes it in place.
  WbsRecord r{};
  ASSERT_EQ(xGetRec(&doc_->db().wbs.tb, &r), 1);
  setFieldText(r.title, sizeof r.title, "토목");
  ASSERT_TRUE(doc_->inputRecord(ViewKind::WorkTypeSheet, made.slot, &r).ok);
  EXPECT_EQ(doc_->db().wbs.tb.liveCount, 1u);
  EXPECT_EQ(hints_.back().hint, hint::kRepaint);

  // The facility sheet edits the other table whatever the current class.
  ASSERT_TRUE(code(ViewKind::FacilitySheet, "B1").ok);
  EXPECT_EQ(doc_->db().obs.tb.liveCount, 1u);
  EXPECT_EQ(doc_->db().wbs.tb.liveCount, 1u);
}

TEST_F(DocEditTest, ActivityDeletionTakesItsRelationsAlong) {
  ASSERT_TRUE(code(ViewKind::WorkTypeSheet, "A").ok);
  ASSERT_TRUE(code(ViewKind::WorkTypeSheet, "A01").ok);
  ASSERT_TRUE(code(ViewKind::WorkTypeSheet, "A02").ok);
  ASSERT_TRUE(code(ViewKind::FacilitySheet, "F1").ok);
  ASSERT_TRUE(activity("ACT-1", "A01", "F1").ok);
  ASSERT_TRUE(activity("ACT-2", "A02", "F1").ok);
  // A work type above the last level is refused with the store's number.
  EXPECT_EQ(activity("ACT-3", "A", "F1").message, XQD_MSG_NO_WORK_TYPE);
  ASSERT_TRUE(relation("ACT-1", "ACT-2").ok);
  EXPECT_EQ(relation("ACT-2", "ACT-1").message, XQD_MSG_DUPLICATE);

  // The activity entered with date mode 0 got its finish from its duration.
  ActRecord first{};
  doc_->db().act.tb.current = -1;
  ASSERT_EQ(xMoveNext(&doc_->db().act.tb), 1);
  ASSERT_EQ(xGetRec(&doc_->db().act.tb, &first), 1);
  EXPECT_NE(first.finish, 0);

  hints_.clear();
  ASSERT_TRUE(doc_->deleteRecord(ViewKind::Activities).ok);
  EXPECT_EQ(doc_->db().act.tb.liveCount, 1u);
  EXPECT_EQ(doc_->db().rel.tb.liveCount, 0u);
  ASSERT_EQ(hints_.size(), 1u);
  EXPECT_EQ(hints_[0].hint, hint::kRefresh);
  EXPECT_TRUE(hints_[0].mask & bit(5)) << "relation sheets lost rows too";
  char report[200] = {};
  EXPECT_EQ(xCheckIndexes(&doc_->db(), report, sizeof report), 1) << report;

  // Deleting again with nothing current does nothing.
  hints_.clear();
  EXPECT_TRUE(doc_->deleteRecord(ViewKind::Relations).ok);
  EXPECT_TRUE(hints_.empty());
}

TEST_F(DocEditTest, SummaryRowsAreOnlyRewritten) {
  char row[64] = {};
  EXPECT_EQ(doc_->inputRecord(ViewKind::Summary, -1, row, -1, EditReport::Show).message,
            kStrMsgSummaryFixed)
      << "no summary open";
  EXPECT_EQ(doc_->deleteRecord(ViewKind::GanttSummaryTable, EditReport::Show).message,
            kStrMsgSummaryFixed);
  EXPECT_EQ(messages_, (std::vector<int>{kStrMsgSummaryFixed, kStrMsgSummaryFixed}));
  EXPECT_FALSE(doc_->isModified());

  // With summary rows open, the current one is written in place; a new row
  // is refused and so is deleting one.
  ProjectDb& db = doc_->db();
  FieldDesc field{};
  std::strcpy(field.name, "NAME");
  field.type = 11;
  field.width = 10;
  int16_t current = 0;
  ASSERT_EQ(xCreateSumFile(&db, &current, 2, 11, 1, &field), 1);
  char first[11] = "first", second[11] = "second";
  ASSERT_EQ(xAddRec(&db.summary.table.tb, first), 1);
  ASSERT_EQ(xAddRec(&db.summary.table.tb, second), 1);
  db.summary.table.tb.current = 0;
  char edited[11] = "edited";
  EXPECT_TRUE(doc_->inputRecord(ViewKind::Summary, 0, edited).ok);
  EXPECT_TRUE(doc_->isModified());
  char back[11] = {};
  ASSERT_EQ(xGetRec(&db.summary.table.tb, back), 1);
  EXPECT_STREQ(back, "edited");
  EXPECT_EQ(db.summary.table.tb.liveCount, 2u);
  EXPECT_EQ(doc_->inputRecord(ViewKind::ResourceSummary, -1, edited).message, kStrMsgSummaryFixed);
  db.summary.table.tb.current = 1;
  EXPECT_FALSE(doc_->deleteRecord(ViewKind::Summary).ok);
  EXPECT_EQ(db.summary.table.tb.liveCount, 2u);
  xCloseSumFile(&db, &current);
}

TEST_F(DocEditTest, TreeRefusesCodesBelowTheLastLevelAndHearsOfChanges) {
  FakeTree tree;
  doc_->setClassTreeLink(&tree);
  ASSERT_TRUE(code(ViewKind::WorkTypeTree, "A").ok);
  ASSERT_EQ(tree.entered.size(), 1u);
  EXPECT_EQ(tree.entered[0], doc_->db().wbs.tb.current);

  tree.level = 2;  // a final-level code is selected: nothing goes below it
  EXPECT_EQ(code(ViewKind::WorkTypeTree, "A01").message, kStrMsgLastLevel);
  EXPECT_EQ(doc_->db().wbs.tb.liveCount, 1u);

  tree.level = 1;
  ASSERT_TRUE(code(ViewKind::WorkTypeTree, "A01").ok);
  const int32_t slot = doc_->db().wbs.tb.current;
  ASSERT_TRUE(doc_->deleteRecord(ViewKind::WorkTypeTree).ok);
  EXPECT_EQ(tree.deleted, (std::vector<int32_t>{slot}));
  EXPECT_EQ(doc_->db().wbs.tb.liveCount, 1u);
  doc_->setClassTreeLink(nullptr);
}

TEST_F(DocEditTest, TimeSharedEntriesGoInAndOutOfTheirIndex) {
  ASSERT_TRUE(code(ViewKind::WorkTypeSheet, "A").ok);
  ASSERT_TRUE(code(ViewKind::WorkTypeSheet, "A01").ok);
  ASSERT_TRUE(code(ViewKind::FacilitySheet, "F1").ok);
  ASSERT_TRUE(activity("TS", "A01", "F1", 2).ok);
  const int32_t slot = doc_->db().act.tb.current;

  SpaEntry entry{slot, day(2026, 3, 3), 12.5};
  doc_->db().spa.current = XJOR_NONE;
  ASSERT_TRUE(doc_->inputRecord(ViewKind::TimeShared, -1, &entry).ok);
  EXPECT_EQ(doc_->db().spa.count, 1u);
  SpaEntry bad{slot, 0xFFFF, 1};
  EXPECT_EQ(doc_->inputRecord(ViewKind::TimeShared, -1, &bad).message, XQD_MSG_BAD_DATE);

  // A changed entry keeps the old one as the undo step; undo again redoes.
  const auto stored = [&] {
    SpaEntry e{};
    doc_->db().spa.current = 0;
    xiGet(&doc_->db().spa, &e);
    return e;
  };
  SpaEntry changed{slot, day(2026, 3, 4), 20};
  doc_->db().spa.current = 0;
  ASSERT_TRUE(doc_->inputRecord(ViewKind::TimeShared, -1, &changed).ok);
  EXPECT_EQ(stored().day, day(2026, 3, 4));
  ASSERT_TRUE(doc_->undo().undo(nullptr));
  EXPECT_EQ(stored().day, day(2026, 3, 3));
  EXPECT_EQ(stored().value, 12.5);
  ASSERT_TRUE(doc_->undo().undo(nullptr));
  EXPECT_EQ(stored().value, 20);
  EXPECT_EQ(doc_->db().spa.count, 1u);

  doc_->db().spa.current = 0;
  ASSERT_TRUE(doc_->deleteRecord(ViewKind::TimeShared).ok);
  EXPECT_EQ(doc_->db().spa.count, 0u);
}

TEST_F(DocEditTest, NothingOpenNothingDone) {
  WbsRecord r{};
  EXPECT_FALSE(doc_->inputRecord(viewKindOf(99), -1, &r).ok) << "unknown kind";
  EXPECT_FALSE(doc_->deleteRecord(viewKindOf(99)).ok);
  doc_->closeProject();
  const EditResult result = doc_->inputRecord(ViewKind::WorkTypeSheet, -1, &r);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.message, 0);
  EXPECT_FALSE(doc_->deleteRecord(ViewKind::Activities).ok);
}
