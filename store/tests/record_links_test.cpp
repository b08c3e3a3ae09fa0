// Activities, relations and time-shared entries: checks, the indexes they
// keep (map cells, network links) and what renames and deletes carry.
#include "record_fixture.h"

namespace {

class RecordLinksTest : public RecordTest {
 protected:
  void SetUp() override {
    RecordTest::SetUp();
    Tree(0, "A1");
    ASSERT_EQ(Class(0, "A10102"), 0);
    Tree(1, "F1");
  }
  RelAnchorEntry Link(int32_t slot) {
    for (const RelAnchorEntry& e : Entries<RelAnchorEntry>(db_.relAnchor))
      if (e.record == slot) return e;
    ADD_FAILURE() << "no link for relation " << slot;
    return {};
  }
};

TEST_F(RecordLinksTest, ActivityChecksAndMapCells) {
  EXPECT_EQ(Activity(""), XQD_MSG_NO_CODE);
  EXPECT_EQ(Activity("X", "A10101", ""), XQD_MSG_NO_FACILITY);
  EXPECT_EQ(Activity("X", "", "F10101"), XQD_MSG_NO_WORK_TYPE);
  EXPECT_EQ(Activity("X", "A101", "F10101"), XQD_MSG_NO_WORK_TYPE);
  EXPECT_EQ(Activity("X", "A10101", "F101"), XQD_MSG_NO_FACILITY);
  ASSERT_EQ(Activity("X", "A10101", "F10101"), 0);
  EXPECT_EQ(Activity("X"), XQD_MSG_DUPLICATE);
  // One activity per map cell; activities outside the map are exempt.
  EXPECT_EQ(Activity("Y", "A10101", "F10101"), XQD_MSG_DUPLICATE);
  ASSERT_EQ(Activity("Y"), 0);
  ASSERT_EQ(Activity("Z"), 0);
  EXPECT_EQ(db_.wa1.count, 1u);
  EXPECT_EQ(EditAct("Y",
                    [](ActRecord* a) {
                      strcpy(a->wbsCode, "A10101");
                      strcpy(a->obsCode, "F10101");
                    }),
            XQD_MSG_DUPLICATE);
  ASSERT_EQ(EditAct("Y",
                    [](ActRecord* a) {
                      strcpy(a->wbsCode, "A10102");
                      strcpy(a->obsCode, "F10101");
                    }),
            0);
  // Editing an activity in place leaves its own cell alone.
  ASSERT_EQ(EditAct("Y", [](ActRecord* a) { a->quantity = 7; }), 0);
  // Moving it out of the map drops its cell entries.
  ASSERT_EQ(EditAct("Y",
                    [](ActRecord* a) {
                      a->wbsCode[0] = 0;
                      a->obsCode[0] = 0;
                    }),
            0);
  EXPECT_EQ(db_.wa2.count, 1u);
}

TEST_F(RecordLinksTest, RelationChecksAndTheReversePair) {
  ASSERT_EQ(Activity("A"), 0);
  ASSERT_EQ(Activity("B"), 0);
  ASSERT_EQ(Activity("C"), 0);
  EXPECT_EQ(Relation("Q", "B"), XQD_MSG_NO_PREDECESSOR);
  EXPECT_EQ(Relation("", "B"), XQD_MSG_NO_PREDECESSOR);
  EXPECT_EQ(Relation("A", "Q"), XQD_MSG_NO_SUCCESSOR);
  EXPECT_EQ(Relation("Q", "Q"), XQD_MSG_NO_PREDECESSOR);
  EXPECT_EQ(Relation("A", "A"), XQD_MSG_SAME_ACTIVITY);
  ASSERT_EQ(Relation("A", "B"), 0);
  EXPECT_EQ(Relation("A", "B"), XQD_MSG_DUPLICATE);
  EXPECT_EQ(Relation("B", "A"), XQD_MSG_DUPLICATE);
  ASSERT_EQ(Relation("B", "C"), 0);
  EXPECT_EQ(db_.relByPred.count, 2u);

  // The relation being edited is left out of its own checks: turning A->B
  // round is allowed, turning it onto B->C's reverse is not.
  RelRecord r = {};
  db_.rel.tb.current = 0;
  ASSERT_EQ(xGetRec(&db_.rel.tb, &r), 1);
  r.lag = 3;
  ASSERT_EQ(xInputRecRel(&db_, &r), 0);
  strcpy(r.pred, "C");
  strcpy(r.succ, "B");
  EXPECT_EQ(xInputRecRel(&db_, &r), XQD_MSG_DUPLICATE);
  strcpy(r.pred, "B");
  strcpy(r.succ, "A");
  ASSERT_EQ(xInputRecRel(&db_, &r), 0);
  std::vector<std::string> pairs;
  for (const RelCodeEntry& e : Entries<RelCodeEntry>(db_.relByPred))
    pairs.push_back(std::string(e.first) + ">" + e.second);
  EXPECT_EQ(pairs, (std::vector<std::string>{"B>A", "B>C"}));
}

TEST_F(RecordLinksTest, LinksTakeTheAnchorDaysOfTheRelationKind) {
  ASSERT_EQ(Activity("P"), 0);
  ASSERT_EQ(Activity("S"), 0);
  const ActRecord p = Act("P");
  ASSERT_NE(p.start, p.anchor);
  for (int16_t kind = 0; kind < 4; ++kind) {
    RelRecord r = {};
    strcpy(r.pred, "P");
    strcpy(r.succ, "S");
    r.kind = kind;
    r.row = 7;
    db_.rel.tb.current = 0;
    if (kind == 0) db_.rel.tb.current = -1;
    ASSERT_EQ(xInputRecRel(&db_, &r), 0);
    const RelAnchorEntry link = Link(0);
    EXPECT_EQ(link.row, 7);
    EXPECT_EQ(link.predAnchor, kind >= 2 ? p.start : p.anchor) << kind;
    EXPECT_EQ(link.succAnchor, kind == 0 || kind == 2 ? p.start : p.anchor) << kind;
  }
  // A new routing row moves the link to its new key.
  RelRecord r = {};
  db_.rel.tb.current = 0;
  ASSERT_EQ(xGetRec(&db_.rel.tb, &r), 1);
  r.row = 2;
  ASSERT_EQ(xInputRecRel(&db_, &r), 0);
  ASSERT_EQ(db_.relAnchor.count, 1u);
  EXPECT_EQ(Link(0).row, 2);
}

TEST_F(RecordLinksTest, ActivityChangesReachItsLinksRelationsAndDetails) {
  ASSERT_EQ(Resource("R1"), 0);
  ASSERT_EQ(Activity("A"), 0);
  ASSERT_EQ(Activity("B"), 0);
  ASSERT_EQ(Activity("C"), 0);
  ASSERT_EQ(Relation("A", "B", 0, 1), 0);
  ASSERT_EQ(Relation("B", "C", 2, 2), 0);
  ASSERT_EQ(Detail("B", "R1"), 0);

  // A later start moves the links of both relations.
  ASSERT_EQ(EditAct("B", [](ActRecord* a) { a->start = Day(2024, 2, 1); }), 0);
  EXPECT_EQ(Link(0).succAnchor, Day(2024, 2, 1));
  EXPECT_EQ(Link(1).predAnchor, Day(2024, 2, 1));
  ASSERT_EQ(EditAct("B", [](ActRecord* a) { a->path = 4; }), 0);
  EXPECT_EQ(Link(0).succPath, 4);
  EXPECT_EQ(Entries<ActOrderEntry>(db_.actOrder).back().path, 4);

  EXPECT_EQ(EditAct("B", [](ActRecord* a) { strcpy(a->code, "C"); }), XQD_MSG_DUPLICATE);
  ASSERT_EQ(EditAct("B", [](ActRecord* a) { strcpy(a->code, "B2"); }), 0);
  RelRecord r = {};
  db_.rel.tb.current = 0;
  ASSERT_EQ(xGetRec(&db_.rel.tb, &r), 1);
  EXPECT_STREQ(r.succ, "B2");
  db_.rel.tb.current = 1;
  ASSERT_EQ(xGetRec(&db_.rel.tb, &r), 1);
  EXPECT_STREQ(r.pred, "B2");
  OprRecord o = {};
  db_.opr.tb.current = 0;
  ASSERT_EQ(xGetRec(&db_.opr.tb, &o), 1);
  EXPECT_STREQ(o.actCode, "B2");
  EXPECT_EQ(Relation("C", "B2"), XQD_MSG_DUPLICATE);
}

TEST_F(RecordLinksTest, DeletingAnActivityRemovesEverythingThatNamesIt) {
  ASSERT_EQ(Resource("R1"), 0);
  for (const char* c : {"A", "B", "C", "D"}) ASSERT_EQ(Activity(c), 0);
  ASSERT_EQ(Relation("A", "B"), 0);
  ASSERT_EQ(Relation("B", "C"), 0);
  ASSERT_EQ(Relation("D", "B"), 0);
  ASSERT_EQ(Relation("A", "C"), 0);
  ASSERT_EQ(Detail("B", "R1"), 0);
  ASSERT_EQ(EditAct("B", [](ActRecord* a) { a->type = 2; }), 0);
  SpaEntry s = {ActSlot("B"), Day(2024, 1, 3), 4.5};
  ASSERT_EQ(xInputRecSpa(&db_, &s), 0);

  db_.act.tb.current = ActSlot("B");
  ASSERT_EQ(xDeleteRecAct(&db_), 1);
  EXPECT_EQ(Live(db_.rel), 1u);
  EXPECT_EQ(db_.relAnchor.count, 1u);
  EXPECT_EQ(Live(db_.opr), 0u);
  EXPECT_EQ(db_.spa.count, 0u);
  EXPECT_EQ(ActSlot("B"), -1);
  ASSERT_EQ(xDeleteRecAct(&db_), 0);  // the slot is deleted: nothing to do
  db_.rel.tb.current = -1;
  EXPECT_EQ(xDeleteRecRel(&db_), 0);
}

TEST_F(RecordLinksTest, TimeSharedEntries) {
  ASSERT_EQ(Activity("T"), 0);
  ASSERT_EQ(Activity("N"), 0);
  const int32_t t = ActSlot("T");
  SpaEntry s = {t, Day(2024, 1, 3), 1.0};
  EXPECT_EQ(xInputRecSpa(&db_, &s), XQD_MSG_NOT_TIME_SHARED);
  ASSERT_EQ(EditAct("T", [](ActRecord* a) { a->type = 2; }), 0);
  SpaEntry missing = {99, Day(2024, 1, 3), 1.0};
  EXPECT_EQ(xInputRecSpa(&db_, &missing), XQD_MSG_NOT_TIME_SHARED);
  SpaEntry bad = {t, static_cast<uint16_t>(Day(2024, 2, 30)), 1.0};
  EXPECT_EQ(xInputRecSpa(&db_, &bad), XQD_MSG_BAD_DATE);
  ASSERT_EQ(xInputRecSpa(&db_, &s), 0);
  EXPECT_EQ(db_.spa.current, XJOR_NONE);
  s.value = 2.0;
  EXPECT_EQ(xInputRecSpa(&db_, &s), XQD_MSG_DUPLICATE);
  SpaEntry second = {t, Day(2024, 1, 4), 3.0};
  ASSERT_EQ(xInputRecSpa(&db_, &second), 0);

  // Editing the current entry: same day overwrites, another day moves it.
  db_.spa.current = 0;
  ASSERT_EQ(xInputRecSpa(&db_, &s), 0);
  auto all = Entries<SpaEntry>(&db_.spa);
  ASSERT_EQ(all.size(), 2u);
  const double overwritten = all[0].value;
  EXPECT_EQ(overwritten, 2.0);
  db_.spa.current = 0;
  SpaEntry moved = {t, Day(2024, 1, 9), 5.0};
  ASSERT_EQ(xInputRecSpa(&db_, &moved), 0);
  all = Entries<SpaEntry>(&db_.spa);
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[0].day, Day(2024, 1, 4));
  EXPECT_EQ(all[1].day, Day(2024, 1, 9));
  // Moving the current entry onto another existing day is refused.
  db_.spa.current = 0;
  EXPECT_EQ(xInputRecSpa(&db_, &moved), XQD_MSG_DUPLICATE);
  EXPECT_EQ(Entries<SpaEntry>(&db_.spa).size(), 2u);

  // An activity that stops being time-shared loses its entries.
  ASSERT_EQ(EditAct("T", [](ActRecord* a) { a->type = 0; }), 0);
  EXPECT_EQ(db_.spa.count, 0u);
}

TEST_F(RecordLinksTest, RefusalsChangeNothing) {
  ASSERT_EQ(Activity("A", "A10101", "F10101"), 0);
  ASSERT_EQ(Activity("B"), 0);
  ASSERT_EQ(Relation("A", "B"), 0);
  const std::vector<uint8_t> acts(db_.actCodes.data,
                                  db_.actCodes.data + db_.actCodes.count * sizeof(ActCodeEntry));
  ActRecord a = Act("A");
  const int32_t slot = db_.act.tb.current;
  ActRecord edit = a;
  strcpy(edit.code, "B");
  edit.start = Day(2024, 3, 1);
  EXPECT_EQ(xInputRecAct(&db_, &edit, Day(2024, 1, 1), 3, 3, 1), XQD_MSG_DUPLICATE);
  EXPECT_STREQ(edit.code, "B");  // the caller's record is left as it was
  EXPECT_EQ(edit.start, Day(2024, 3, 1));
  EXPECT_EQ(Act("A").start, a.start);
  EXPECT_EQ(Act("A").constraintType, a.constraintType);
  EXPECT_EQ(std::vector<uint8_t>(db_.actCodes.data,
                                 db_.actCodes.data + db_.actCodes.count * sizeof(ActCodeEntry)),
            acts);
  EXPECT_EQ(slot, ActSlot("A"));
}

TEST_F(RecordLinksTest, BatchesGiveTheSameTablesAsSingleInputs) {
  ProjectDb* other = NewDb();
  ASSERT_EQ(xInitializeDB(other, info_), 1);
  auto enter = [&](ProjectDb* db) {
    cur_ = db;
    Tree(0, "A1");
    Tree(1, "F1");
    for (int i = 0; i < 6000; ++i) {
      const std::string code = "K" + std::to_string((i * 7919) % 6000);
      ASSERT_EQ(Activity(code.c_str()), 0);
    }
    for (int i = 0; i < 5999; ++i) {
      const std::string p = "K" + std::to_string(i), s = "K" + std::to_string(i + 1);
      ASSERT_EQ(Relation(p.c_str(), s.c_str(), i % 4, static_cast<int16_t>(i % 5)), 0);
    }
    EXPECT_EQ(Relation("K5", "K4"), XQD_MSG_DUPLICATE);
    cur_ = &db_;
  };
  ASSERT_EQ(xBeginInputBatch(other), 1);
  enter(other);
  // Deletes inside a batch work on the merged tables.
  other->act.tb.current = 0;
  ASSERT_EQ(xDeleteRecAct(other), 1);
  ASSERT_EQ(xEndInputBatch(other), 1);
  ProjectDb* single = NewDb();
  ASSERT_EQ(xInitializeDB(single, info_), 1);
  enter(single);
  single->act.tb.current = 0;
  ASSERT_EQ(xDeleteRecAct(single), 1);
  ExpectIntact(other);
  for (MemTable ProjectDb::*m : {&ProjectDb::actCodes, &ProjectDb::actOrder, &ProjectDb::relByPred,
                                 &ProjectDb::relBySucc, &ProjectDb::relAnchor}) {
    const MemTable &x = other->*m, &y = single->*m;
    ASSERT_EQ(x.count, y.count);
    EXPECT_EQ(memcmp(x.data, y.data, x.count * x.recordSize), 0);
  }
}

}  // namespace
