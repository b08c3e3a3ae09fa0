// The planning document over the project store: new, save, reopen, close,
// the classification change and the option slots.
#include <QFile>
#include <cstring>

#include "kelvo/option_slots.h"
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

class DocumentTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    ASSERT_EQ(xOpenRef(&ref_, (kelvo_test::binDir() + "/Kelvo.ref").toUtf8().constData()), 1);
    doc_ = std::make_unique<CPlanDoc>(dir_.path() + '/', ref_);
  }
  void TearDown() override {
    doc_.reset();
    xCloseFile(&ref_);
    ShellTest::TearDown();
  }

  PrjInfo sampleInfo() {
    PrjInfo info = newProjectInfo();
    setFieldText(info.code, sizeof info.code, "P-01");
    setFieldText(info.title, sizeof info.title, "사옥 신축 공사");
    info.start = day(2026, 3, 2);
    info.finish = day(2026, 12, 31);
    info.dataDate = day(2026, 3, 2);
    return info;
  }

  ClassDef levels(std::initializer_list<int> lengths) {
    int l[8] = {};
    QString names[8];
    int i = 0;
    for (int n : lengths) names[i] = QStringLiteral("단계%1").arg(i + 1), l[i++] = n;
    ClassDef def;
    EXPECT_TRUE(makeClassDef(l, names, &def));
    return def;
  }

  // Puts one record straight into a table.
  template <typename Record>
  void addRecord(TableHandle* tb, Record record) {
    ASSERT_EQ(xAddRec(tb, &record), 1);
  }

  int32_t ref_ = -1;
  std::unique_ptr<CPlanDoc> doc_;
};

}  // namespace

TEST_F(DocumentTest, EmptyDatesBecomeFirstOfJanuaryAndLastOfDecember) {
  PrjInfo info = newProjectInfo();
  EXPECT_EQ(info.amountDigits, 12);
  fillMissingDates(&info, day(2026, 7, 15));
  EXPECT_EQ(info.dataDate, day(2026, 1, 1));
  EXPECT_EQ(info.start, day(2026, 1, 1));
  EXPECT_EQ(info.finish, day(2026, 12, 31));
  // A given start decides the finish's year.
  PrjInfo later = newProjectInfo();
  later.start = day(2027, 5, 3);
  fillMissingDates(&later, day(2026, 7, 15));
  EXPECT_EQ(later.dataDate, day(2026, 1, 1));
  EXPECT_EQ(later.finish, day(2027, 12, 31));
}

TEST_F(DocumentTest, ClassDefinitionStopsAtFirstEmptyLevelAndRefusesMoreThanTen) {
  const ClassDef def = levels({2, 3, 2});
  EXPECT_EQ(def.levels, 3);
  EXPECT_EQ(def.start[2], 5);
  EXPECT_EQ(def.length[3], 0);
  int l[8] = {2, 0, 5};
  QString names[8] = {"가", "나", "다"};
  ClassDef gap;
  ASSERT_TRUE(makeClassDef(l, names, &gap));
  EXPECT_EQ(gap.levels, 1);
  EXPECT_EQ(gap.name[1][0], 0);
  int tooLong[8] = {6, 5};
  ClassDef kept = def;
  EXPECT_FALSE(makeClassDef(tooLong, names, &kept));
  EXPECT_EQ(std::memcmp(&kept, &def, sizeof def), 0);
  ClassDef renamed = def;
  renamed.name[0][0] = 'X';
  EXPECT_FALSE(classStructureDiffers(def, renamed));
  EXPECT_TRUE(classStructureDiffers(def, levels({2, 3})));
  EXPECT_TRUE(classStructureDiffers(def, levels({2, 3, 1})));
}

TEST_F(DocumentTest, SaveAndReopenKeepsDefinitionsCalendarsAndSummary) {
  ASSERT_TRUE(doc_->newProject(sampleInfo()));
  doc_->classDef(0) = levels({2, 2, 3});
  doc_->classDef(1) = levels({1, 2});
  uint16_t* days = xSetWork(1, 3);
  ASSERT_NE(days, nullptr);
  days[0] = day(2026, 3, 2), days[1] = day(2026, 3, 3), days[2] = day(2026, 3, 5);
  int16_t summary = 0;
  ProjectDb& db = doc_->db();
  ASSERT_EQ(xCreateSumFile(&db, &summary, 3, db.act.tb.recordSize, db.act.tb.fieldCount,
                           db.act.tb.fields),
            1);
  ASSERT_EQ(xFinishSumFile(&db), 1);
  char registration[82] = "summary 3";  // summary building registers what it made
  ASSERT_NE(xOption(&db.opt, XOPT_WRITE, XQD_OPT_SUMMARY + 3, registration, sizeof registration),
            0);
  doc_->setOpenSummary(summary);
  doc_->setModified();
  ASSERT_TRUE(doc_->saveProject(path("p.kvp")));
  EXPECT_FALSE(doc_->isModified());
  const ClassDef work = doc_->classDef(0), facility = doc_->classDef(1);
  doc_->closeProject();
  EXPECT_EQ(xGetWorkCount(1), 0);

  double lastFraction = 0;
  ASSERT_TRUE(doc_->openProject(path("p.kvp"), [&](double f) { lastFraction = f; }));
  EXPECT_EQ(lastFraction, 1.0);
  EXPECT_EQ(std::memcmp(&doc_->classDef(0), &work, sizeof work), 0);
  EXPECT_EQ(std::memcmp(&doc_->classDef(1), &facility, sizeof facility), 0);
  EXPECT_EQ(doc_->openSummary(), 3);
  ASSERT_GE(xGetWorkCount(1), 3);
  const uint16_t* back = xGetWork(1);
  EXPECT_TRUE(std::find(back, back + xGetWorkCount(1), day(2026, 3, 5)) != back + xGetWorkCount(1));
  EXPECT_EQ(doc_->statusText(), "P-01 사옥 신축 공사");
}

TEST_F(DocumentTest, DamagedFileLeavesOpenProjectAndFailedSaveKeepsFile) {
  ASSERT_TRUE(doc_->newProject(sampleInfo()));
  ASSERT_TRUE(doc_->saveProject(path("good.kvp")));
  QFile good(path("good.kvp"));
  ASSERT_TRUE(good.open(QIODevice::ReadOnly));
  const QByteArray bytes = good.readAll();
  good.close();
  QFile bad(path("bad.kvp"));
  ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
  bad.write(bytes.left(bytes.size() / 2));  // header intact, body cut off
  bad.close();

  EXPECT_FALSE(doc_->openProject(path("bad.kvp")));
  EXPECT_TRUE(doc_->isOpen());
  EXPECT_EQ(doc_->path(), path("good.kvp"));
  EXPECT_EQ(doc_->statusText(), "P-01 사옥 신축 공사");

  // Saving into a folder that does not exist fails and touches nothing.
  EXPECT_FALSE(doc_->saveProject(path("no/such/dir/x.kvp")));
  EXPECT_EQ(doc_->path(), path("good.kvp"));
  QFile again(path("good.kvp"));
  ASSERT_TRUE(again.open(QIODevice::ReadOnly));
  EXPECT_EQ(again.readAll(), bytes);
}

TEST_F(DocumentTest, ClassificationChangeEmptiesOnlyWhatDependsOnIt) {
  ASSERT_TRUE(doc_->newProject(sampleInfo()));
  doc_->classDef(0) = levels({2, 3});
  doc_->classDef(1) = levels({2, 2});
  ProjectDb& db = doc_->db();
  WbsRecord wbs{};
  std::strcpy(wbs.code, "01");
  addRecord(&db.wbs.tb, wbs);
  WbsRecord obs{};
  std::strcpy(obs.code, "A1");
  ASSERT_EQ(xAddRec(&db.obs.tb, &obs), 1);
  ActRecord act{};
  std::strcpy(act.code, "ACT-1");
  addRecord(&db.act.tb, act);
  RelRecord rel{};
  addRecord(&db.rel.tb, rel);
  CodeEntry entry{};
  std::strcpy(entry.code, "01");
  ASSERT_EQ(xmAdd(&db.wbsCodes, &entry), 1);

  std::vector<std::pair<quint64, int>> hints;
  QObject::connect(doc_.get(), &CPlanDoc::viewsUpdate,
                   [&](quint64 mask, int h, qintptr) { hints.emplace_back(mask, h); });

  // A new level name only: nothing is deleted, no refresh.
  ClassDef renamed[2] = {doc_->classDef(0), doc_->classDef(1)};
  std::strcpy(renamed[0].name[0], "NEW");
  doc_->changeClassDefs(renamed);
  EXPECT_EQ(db.wbs.tb.liveCount, 1u);
  EXPECT_EQ(db.act.tb.liveCount, 1u);
  EXPECT_TRUE(hints.empty());
  EXPECT_STREQ(doc_->classDef(0).name[0], "NEW");
  EXPECT_TRUE(doc_->isModified());

  // A shorter work-type level: its codes, activities and relations go, the
  // facility codes stay.
  const ClassDef shorter[2] = {levels({2, 2}), doc_->classDef(1)};
  doc_->changeClassDefs(shorter);
  EXPECT_EQ(db.wbs.tb.liveCount, 0u);
  EXPECT_EQ(db.wbsCodes.count, 0u);
  EXPECT_EQ(db.act.tb.liveCount, 0u);
  EXPECT_EQ(db.rel.tb.liveCount, 0u);
  EXPECT_EQ(db.obs.tb.liveCount, 1u);
  ASSERT_EQ(hints.size(), 1u);
  EXPECT_EQ(hints[0].second, hint::kRefresh);
  // The emptied tables take records again.
  addRecord(&db.act.tb, act);
  EXPECT_EQ(db.act.tb.liveCount, 1u);
  EXPECT_EQ(xmAdd(&db.wbsCodes, &entry), 1);
}

TEST(OptionSlots, NoTwoOwnersShareAnItem) {
  const auto table = optionSlotTable();
  for (size_t i = 0; i < table.size(); ++i)
    for (size_t j = i + 1; j < table.size(); ++j) {
      const auto& a = table[i];
      const auto& b = table[j];
      EXPECT_TRUE(a.first + a.count <= b.first || b.first + b.count <= a.first)
          << a.owner << " / " << b.owner;
    }
  for (const auto& s : table) EXPECT_LE(s.first + s.count, XQD_OPTION_SLOTS) << s.owner;
}

// Items of the records kept per view kind, and the kinds that keep none: the
// lower Gantt panes have only their own two records, so the sheet path can
// never reach the column records or print formats of kinds 0-2.
TEST(OptionSlots, KindRecordsLandOnTheirItems) {
  using K = ViewKind;
  using R = KindRecord;
  const struct {
    R record;
    K kind;
    int item;
  } cases[] = {
      {R::Settings, K::Activities, 104},
      {R::Settings, K::Map, 111},
      {R::Settings, K::UserReport, 121},
      {R::Columns, K::ValueSheet, 149},
      {R::PrintFormat, K::Network, 180},
      {R::PaneFormat, K::Predecessors, 380},
      {R::PaneColumns, K::PaneCrewDetails, 392},
      {R::Band, K::GanttChart, 10},
      {R::Band, K::Network, 12},
      {R::Band, K::PeriodResourceSheet, 14},
      {R::Band, K::PeriodChart, 152},
      {R::ValueItems, K::PeriodSheet, 6},
      {R::RowSource, K::PeriodResourceSheet, 9},
      {R::RowSource, K::UserReport, 153},
      {R::Settings, K::Predecessors, -1},
      {R::Columns, K::Successors, -1},
      {R::PrintFormat, K::PaneCrewDetails, -1},
      {R::Columns, K::PeriodChart, -1},
      {R::PaneFormat, K::Activities, -1},
      {R::Settings, viewKindOf(64), -1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(kindItem(c.record, c.kind), c.item)
        << static_cast<int>(c.record) << " of kind " << kindNumber(c.kind);
}
