// The batch value change over activity records: nothing is written unless
// every record evaluates, refusals are counted and reported once, and each
// changed record goes through the record input.
#include "kelvo/batch_change.h"

#include "project_fixture.h"

namespace kelvo::testing {
namespace {

class BatchChangeTest : public ProjectFixture {
 protected:
  void SetUp() override {
    ProjectFixture::SetUp();
    if (HasFatalFailure()) return;
    // Each activity has a (work type, facility) pair of its own: 40 x 25.
    addCode(0, "A", "a");
    addCode(1, "1", "east");
    char code[16], wbs[16], obs[16];
    for (int i = 1; i <= 40; ++i) {
      std::snprintf(wbs, sizeof wbs, "A%02d", i);
      addCode(0, wbs, "w");
    }
    for (int i = 1; i <= 25; ++i) {
      std::snprintf(obs, sizeof obs, "1%02d", i);
      addCode(1, obs, "f");
    }
    for (int i = 0; i < 1000; ++i) {
      std::snprintf(code, sizeof code, "X%04d", i);
      std::snprintf(wbs, sizeof wbs, "A%02d", 1 + i / 25);
      std::snprintf(obs, sizeof obs, "1%02d", 1 + i % 25);
      // Record 500 has a quantity whose double does not fit a duration.
      const int32_t slot = addActivity(code, 1 + i % 9, wbs, obs, i == 500 ? 20000 : i);
      ASSERT_GE(slot, 0) << code;
      slots.push_back(static_cast<uint32_t>(slot));
    }
  }
  int32_t field(const char* name) {
    return xGetFldOrdinal(name, db.act.tb.fields, db.act.tb.fieldCount);
  }
  BatchResult run(const char* item, const char* formula) {
    return runBatchChange(&db.act, field(item), formula, slots, [this](uint32_t slot, void* rec) {
      db.act.tb.current = static_cast<int32_t>(slot);
      return xInputRecAct(&db, rec, info.start, 2, 2, 0);
    });
  }
  std::vector<uint32_t> slots;
};

// Field names in CP949: 소요일수, 수량, 특기사항.
#define DU "\xBC\xD2\xBF\xE4\xC0\xCF\xBC\xF6"
#define QTY "\xBC\xF6\xB7\xAE"
#define REMARK "\xC6\xAF\xB1\xE2\xBB\xE7\xC7\xD7"

TEST_F(BatchChangeTest, FailureOnOneRecordChangesNothing) {
  const BatchResult r = run(DU, "[" QTY "]*2");
  EXPECT_EQ(r.message, kResultDoesNotFit);
  EXPECT_EQ(r.failedRecord, 500);
  EXPECT_TRUE(r.changedNothing);
  EXPECT_EQ(r.entered, 0);
  for (int i = 0; i < 1000; ++i)
    ASSERT_EQ(activity(static_cast<int32_t>(slots[i])).duration, 1 + i % 9) << i;
}

TEST_F(BatchChangeTest, QuantityFromAnotherItemKeepsDatesConsistent) {
  const BatchResult r = run(DU, "[" DU "] + 1");
  ASSERT_EQ(r.message, 0) << r.message;
  EXPECT_EQ(r.entered, 1000);
  const ActRecord a = activity(static_cast<int32_t>(slots[12]));
  EXPECT_EQ(a.duration, 1 + 12 % 9 + 1);
  // Re-entered with its dates derived: 5 working days from Monday 6 March.
  EXPECT_EQ(a.finish, packDate(2023, 3, 10));
}

TEST_F(BatchChangeTest, RefusalsAndItemChecks) {
  // A text item needs a text, a date item a date.
  EXPECT_EQ(run(REMARK, "[" QTY "]+1").message, 21020);
  EXPECT_TRUE(run(REMARK, "[" QTY "]+1").changedNothing);
  EXPECT_EQ(run(REMARK, "\"ok\"").entered, 1000);
  EXPECT_EQ(run("NO_SUCH", "1").message, kItemNotFound);
  // Records the record input refuses keep their old values; the others are
  // entered and the first refusal is reported.
  const auto refuseTwo = [this](uint32_t slot, void* rec) -> int32_t {
    if (slot == slots[3]) return 20001;
    if (slot == slots[7]) return 20002;
    db.act.tb.current = static_cast<int32_t>(slot);
    return xInputRecAct(&db, rec, info.start, 2, 2, 0);
  };
  const BatchResult r = runBatchChange(&db.act, field(DU), "[" DU "] + 1", slots, refuseTwo);
  EXPECT_EQ(r.message, 20001);
  EXPECT_FALSE(r.changedNothing);
  EXPECT_EQ(r.refused, 2);
  EXPECT_EQ(r.entered, 998);
  EXPECT_EQ(activity(static_cast<int32_t>(slots[3])).duration, 1 + 3);
  EXPECT_EQ(activity(static_cast<int32_t>(slots[4])).duration, 1 + 4 + 1);
  FieldDesc readOnly = db.act.tb.fields[field(DU)];
  readOnly.flags |= XF_READONLY;
  EXPECT_TRUE(isProtectedItem(readOnly));
}

#undef DU
#undef QTY
#undef REMARK

}  // namespace
}  // namespace kelvo::testing
