// Classification codes, resources, crews and crew details: their checks,
// renames carried through every record that uses a code, and cascades.
#include "record_fixture.h"

namespace {

class RecordCodesTest : public RecordTest {};

TEST_F(RecordCodesTest, ClassificationChecksInOrder) {
  EXPECT_EQ(Class(0, ""), XQD_MSG_NO_CODE);
  EXPECT_EQ(Class(0, "A"), XQD_MSG_LEVEL_LENGTH);      // no level of 1 character
  EXPECT_EQ(Class(0, "A1234"), XQD_MSG_LEVEL_LENGTH);  // nor of 5
  EXPECT_EQ(Class(0, "A101"), XQD_MSG_NO_PARENT);
  EXPECT_EQ(Class(0, "A1"), 0);
  EXPECT_EQ(Class(0, "A101"), 0);
  EXPECT_EQ(Class(0, "A1"), XQD_MSG_DUPLICATE);
  // Eleven characters never fit a code field: cut to ten, no level matches.
  EXPECT_EQ(Class(0, "A101010101X"), XQD_MSG_LEVEL_LENGTH);
  WbsRecord w = {};
  db_.wbs.tb.current = db_.wbsCodes.count > 0 ? 1 : -1;
  ASSERT_EQ(xGetRec(&db_.wbs.tb, &w), 1);
  EXPECT_EQ(w.level, 1);
  EXPECT_EQ(Live(db_.wbs), 2u);
  // The level definition itself is checked: more than eight levels or a
  // level past ten characters matches nothing.
  levels_ = {9, {0, 2, 4, 6, 8, 10, 12, 14}, {2, 2, 2, 2, 2, 2, 2, 2}};
  EXPECT_EQ(Class(0, "B1"), 0);
  levels_ = {1, {0}, {0}};
  EXPECT_EQ(Class(0, "C1"), XQD_MSG_LEVEL_LENGTH);
}

TEST_F(RecordCodesTest, RenamingAWorkTypeCarriesItsSubtree) {
  Tree(0, "A1");
  Tree(0, "A2");
  ASSERT_EQ(Class(0, "A10102"), 0);
  Tree(1, "F1");
  ASSERT_EQ(Resource("R1"), 0);
  ASSERT_EQ(Crew("A10101", "R1"), 0);
  ASSERT_EQ(Crew("A20101", "R1"), 0);
  ASSERT_EQ(Activity("X", "A10102", "F10101"), 0);
  ASSERT_EQ(Activity("Y", "A20101", "F10101"), 0);

  const int32_t slot = 0;  // A1
  ASSERT_EQ(Class(0, "B1", slot), 0);
  std::vector<std::string> codes;
  for (const CodeEntry& e : Entries<CodeEntry>(db_.wbsCodes)) codes.push_back(e.code);
  EXPECT_EQ(codes,
            (std::vector<std::string>{"A2", "A201", "A20101", "B1", "B101", "B10101", "B10102"}));
  EXPECT_STREQ(Act("X").wbsCode, "B10102");
  EXPECT_STREQ(Act("Y").wbsCode, "A20101");
  std::vector<std::string> crews;
  for (const CodePairEntry& e : Entries<CodePairEntry>(&db_.cr2)) crews.push_back(e.second);
  EXPECT_EQ(crews, (std::vector<std::string>{"A20101", "B10101"}));
}

TEST_F(RecordCodesTest, RenamingAFacilityCarriesItIntoActivitiesOnly) {
  Tree(0, "A1");
  Tree(1, "F1");
  ASSERT_EQ(Activity("X", "A10101", "F10101"), 0);
  EXPECT_EQ(Class(1, "G10101", 2), XQD_MSG_NO_PARENT);
  ASSERT_EQ(Class(1, "F10102", 2), 0);
  EXPECT_STREQ(Act("X").obsCode, "F10102");
  EXPECT_STREQ(Act("X").wbsCode, "A10101");
}

TEST_F(RecordCodesTest, RenamesThatWouldBreakTheTreeAreRefusedWholesale) {
  Tree(0, "A1");                 // slots 0, 1, 2
  ASSERT_EQ(Class(0, "C1"), 0);  // 3
  // A1 has codes below it: it cannot change its length.
  EXPECT_EQ(Class(0, "C102", 0), XQD_MSG_LEVEL_LENGTH);
  EXPECT_EQ(Class(0, "C1", 0), XQD_MSG_DUPLICATE);
  // A code below the new name already exists (a file made elsewhere may
  // hold one without its parent): nothing at all is renamed.
  WbsRecord orphan = {};
  orphan.level = 1;
  strcpy(orphan.code, "D101");
  Add(&db_.wbs, &orphan);  // slot 4
  CodeEntry e = {"D101", 4};
  AddMem(&db_.wbsCodes, &e);
  const std::vector<uint8_t> before(db_.wbsCodes.data,
                                    db_.wbsCodes.data + db_.wbsCodes.count * sizeof(CodeEntry));
  EXPECT_EQ(Class(0, "D1", 0), XQD_MSG_DUPLICATE);
  EXPECT_EQ(std::vector<uint8_t>(db_.wbsCodes.data,
                                 db_.wbsCodes.data + db_.wbsCodes.count * sizeof(CodeEntry)),
            before);
  // Nor can a code become its own child: its parent would vanish with it.
  EXPECT_EQ(Class(0, "C101", 3), XQD_MSG_NO_PARENT);
  // A code without codes below it may change its level under an existing
  // parent; its record takes the new level.
  ASSERT_EQ(Class(0, "C101", 2), 0);  // A10101 -> C101
  WbsRecord w = {};
  db_.wbs.tb.current = 2;
  ASSERT_EQ(xGetRec(&db_.wbs.tb, &w), 1);
  EXPECT_EQ(w.level, 1);
  EXPECT_STREQ(w.code, "C101");
}

TEST_F(RecordCodesTest, DeletingAClassificationCodeTakesItsSubtreeAndUsers) {
  Tree(0, "A1");
  ASSERT_EQ(Class(0, "A10102"), 0);
  Tree(0, "A2");
  Tree(1, "F1");
  ASSERT_EQ(Class(1, "F10102"), 0);
  ASSERT_EQ(Resource("R1"), 0);
  ASSERT_EQ(Crew("A10101", "R1"), 0);
  ASSERT_EQ(Crew("A20101", "R1"), 0);
  ASSERT_EQ(Activity("X", "A10101", "F10101"), 0);
  ASSERT_EQ(Activity("Y", "A10102", "F10101"), 0);
  ASSERT_EQ(Activity("Z", "A20101", "F10102"), 0);
  ASSERT_EQ(Relation("X", "Z"), 0);
  ASSERT_EQ(Relation("Z", "Y"), 0);

  db_.wbs.tb.current = 1;  // A101
  ASSERT_EQ(xDeleteRecWbs(&db_, 0), 1);
  EXPECT_EQ(db_.wbs.tb.current, 1);
  EXPECT_EQ(Live(db_.wbs), 4u);  // A1, A2, A201, A20101
  EXPECT_EQ(Live(db_.crw), 1u);
  EXPECT_EQ(Live(db_.act), 1u);
  EXPECT_EQ(Live(db_.rel), 0u);
  EXPECT_EQ(ActSlot("Z"), 2);

  // Deleting a facility code deletes the activities placed on it.
  db_.obs.tb.current = 3;  // F10102
  ASSERT_EQ(xDeleteRecWbs(&db_, 1), 1);
  EXPECT_EQ(Live(db_.act), 0u);
  EXPECT_EQ(Live(db_.obs), 3u);
  db_.obs.tb.current = -1;
  EXPECT_EQ(xDeleteRecWbs(&db_, 1), 0);
}

TEST_F(RecordCodesTest, ResourceRenameAndDeleteReachCrewsAndDetails) {
  Tree(0, "A1");
  Tree(1, "F1");
  EXPECT_EQ(Resource(""), XQD_MSG_NO_CODE);
  ASSERT_EQ(Resource("R1"), 0);
  ASSERT_EQ(Resource("R2"), 0);
  EXPECT_EQ(Resource("R1"), XQD_MSG_DUPLICATE);
  ASSERT_EQ(Activity("X", "A10101", "F10101"), 0);
  ASSERT_EQ(Crew("A10101", "R1"), 0);
  ASSERT_EQ(Detail("X", "R1"), 0);
  ASSERT_EQ(Detail("X", "R2"), 0);

  ResRecord r = {};
  db_.res.tb.current = 0;
  ASSERT_EQ(xGetRec(&db_.res.tb, &r), 1);
  strcpy(r.code, "R2");
  EXPECT_EQ(xInputRecRes(&db_, &r), XQD_MSG_DUPLICATE);
  strcpy(r.code, "R9");
  ASSERT_EQ(xInputRecRes(&db_, &r), 0);
  std::vector<std::string> op2;
  for (const OprByResEntry& e : Entries<OprByResEntry>(&db_.op2)) op2.push_back(e.first);
  EXPECT_EQ(op2, (std::vector<std::string>{"R2", "R9"}));
  CrewRecord c = {};
  db_.crw.tb.current = 0;
  ASSERT_EQ(xGetRec(&db_.crw.tb, &c), 1);
  EXPECT_STREQ(c.resCode, "R9");

  db_.res.tb.current = 0;
  ASSERT_EQ(xDeleteRecRes(&db_), 1);
  EXPECT_EQ(Live(db_.crw), 0u);
  EXPECT_EQ(Live(db_.opr), 1u);
  EXPECT_EQ(db_.op1.count, 1u);
}

TEST_F(RecordCodesTest, CrewAndDetailChecks) {
  Tree(0, "A1");
  Tree(1, "F1");
  ASSERT_EQ(Resource("R1"), 0);
  EXPECT_EQ(Crew("A101", "R1"), XQD_MSG_NO_WORK_TYPE);  // not final-level
  EXPECT_EQ(Crew("A10109", "R1"), XQD_MSG_NO_WORK_TYPE);
  EXPECT_EQ(Crew("A10101", "R7"), XQD_MSG_NO_RESOURCE);
  ASSERT_EQ(Crew("A10101", "R1"), 0);
  EXPECT_EQ(Crew("A10101", "R1"), XQD_MSG_DUPLICATE);

  ASSERT_EQ(Activity("X"), 0);
  EXPECT_EQ(Detail("Q", "R1"), XQD_MSG_NO_ACTIVITY);
  EXPECT_EQ(Detail("", "R1"), XQD_MSG_NO_ACTIVITY);
  EXPECT_EQ(Detail("X", "R7"), XQD_MSG_NO_RESOURCE);
  ASSERT_EQ(Detail("X", "R1"), 0);
  EXPECT_EQ(Detail("X", "R1"), XQD_MSG_DUPLICATE);

  // Editing a crew's quantities keeps its slot; changing its pair re-enters
  // it; editing one onto another's pair is refused.
  ASSERT_EQ(Resource("R2"), 0);
  ASSERT_EQ(Crew("A10101", "R2"), 0);
  CrewRecord c = {};
  db_.crw.tb.current = 0;
  ASSERT_EQ(xGetRec(&db_.crw.tb, &c), 1);
  c.unitQuantity = 2.5;
  ASSERT_EQ(xInputRecCrew(&db_, &c, 3), 0);
  EXPECT_EQ(db_.crw.tb.current, 0);
  strcpy(c.resCode, "R2");
  EXPECT_EQ(xInputRecCrew(&db_, &c, 3), XQD_MSG_DUPLICATE);
  ASSERT_EQ(Resource("R3"), 0);
  strcpy(c.resCode, "R3");
  ASSERT_EQ(xInputRecCrew(&db_, &c, 3), 0);
  EXPECT_EQ(Live(db_.crw), 2u);
  ASSERT_EQ(xDeleteRecCrew(&db_), 1);
  EXPECT_EQ(Live(db_.crw), 1u);
  db_.opr.tb.current = 0;
  ASSERT_EQ(xDeleteRecOpr(&db_), 1);
  EXPECT_EQ(db_.op2.count, 0u);
}

TEST_F(RecordCodesTest, CodesFillingTheirFieldAreCutInsideIt) {
  ResRecord r;
  memset(&r, 0, sizeof r);
  memset(r.code, 'R', sizeof r.code);  // eleven bytes, no NUL
  db_.res.tb.current = -1;
  ASSERT_EQ(xInputRecRes(&db_, &r), 0);
  EXPECT_EQ(std::string(r.code), std::string(10, 'R'));
  // A double-byte character that would straddle the end is left out.
  memset(r.code, 0, sizeof r.code);
  memcpy(r.code, "ABCDEFGHI\xB0\xA1", 11);
  db_.res.tb.current = -1;
  ASSERT_EQ(xInputRecRes(&db_, &r), 0);
  EXPECT_STREQ(r.code, "ABCDEFGHI");

  ActRecord a;
  memset(&a, 0, sizeof a);
  memset(a.code, 'X', sizeof a.code);
  db_.act.tb.current = -1;
  ASSERT_EQ(xInputRecAct(&db_, &a, Day(2024, 1, 1), 3, 3, 0), 0);
  EXPECT_EQ(std::string(a.code), std::string(20, 'X'));
  RelRecord rel;
  memset(&rel, 'X', sizeof rel);
  rel.kind = 0;
  rel.lag = 0;
  rel.row = 0;
  db_.rel.tb.current = -1;
  EXPECT_EQ(xInputRecRel(&db_, &rel), XQD_MSG_SAME_ACTIVITY);
  EXPECT_EQ(db_.relByPred.count, 0u);
}

TEST_F(RecordCodesTest, CheckNamesADamagedIndexAndRebuildMendsIt) {
  Tree(0, "A1");
  Tree(1, "F1");
  ASSERT_EQ(Resource("R1"), 0);
  ASSERT_EQ(Activity("X", "A10101", "F10101"), 0);
  ASSERT_EQ(Activity("Y"), 0);
  ASSERT_EQ(Relation("X", "Y", 1), 0);
  char report[200] = "";
  ASSERT_EQ(xCheckIndexes(&db_, report, sizeof report), 1) << report;

  // A relation link that lost its predecessor's anchor day.
  reinterpret_cast<RelAnchorEntry*>(db_.relAnchor.data)->predAnchor = 0;
  EXPECT_EQ(xCheckIndexes(&db_, report, sizeof report), 0);
  EXPECT_STREQ(report, "relation anchors: 1 entries, 1 expected, first difference at entry 0");
  // A missing map cell entry.
  db_.wa2.current = 0;
  ASSERT_EQ(xiDel(&db_.wa2), 1);
  ASSERT_EQ(xRebuildIndexes(&db_), 1);
  EXPECT_EQ(xCheckIndexes(&db_, report, sizeof report), 1) << report;
  EXPECT_EQ(db_.wa2.count, 1u);

  // A time-shared entry for an activity that is not time-shared.
  SpaEntry stray = {0, Day(2024, 1, 2), 1.0};
  AddIndex(&db_.spa, &stray);
  EXPECT_EQ(xCheckIndexes(&db_, report, sizeof report), 0);
  EXPECT_STREQ(report, "spa: entry 0 names an activity that is not time-shared");
  db_.spa.current = 0;
  xiDel(&db_.spa);
}

}  // namespace
