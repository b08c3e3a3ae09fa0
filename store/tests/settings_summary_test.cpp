// Settings files, summary files and the calendars kept in the option file.
#include "store_fixture.h"
#include "xjor/packed_date.h"

namespace {

constexpr auto D = xjor::packDate;

TEST_F(StoreTest, SettingsFileCarriesEverythingButTables) {
  FillProject(&db_);
  strcpy(reinterpret_cast<char*>(info_), "SET");
  const std::string path = (root_ / "NEtc.opt").string();
  ASSERT_EQ(xSaveMiscFormat(&db_, info_, path.c_str()), 1);
  const std::vector<uint8_t> b = ReadBytes(path);
  EXPECT_EQ(std::vector<uint8_t>(b.begin(), b.begin() + 4),
            (std::vector<uint8_t>{0x6E, 0x45, 0x64, 0x00}));
  EXPECT_EQ(U32At(b, 4), 320u);
  EXPECT_EQ(U32At(b, 8), 320u + 4 + U32At(b, 320));
  EXPECT_EQ(memcmp(&b[120], info_, 200), 0);
  for (int at = 12; at < 44; at += 4) EXPECT_EQ(U32At(b, at), 0u) << at;
  EXPECT_NE(U32At(b, 80), 0u);  // a20

  ProjectDb& other = *NewDb();
  ASSERT_EQ(xInitializeDB(&other, nullptr), 1);
  WbsRecord w = {};
  strcpy(w.code, "Z9");
  Add(&other.wbs, &w);
  uint8_t info[XQD_INFO_SIZE] = {};
  ASSERT_EQ(xReadMiscFormat(&other, info, path.c_str()), 1);
  EXPECT_STREQ(reinterpret_cast<char*>(info), "SET");
  EXPECT_EQ(other.wbs.tb.liveCount, 1u);  // tables untouched
  EXPECT_EQ(other.wbs.tb.fieldCount, 10);
  EXPECT_EQ(other.objects.count, 2u);
  EXPECT_EQ(ReadBytes(Member(&other, "0000001A.bmp")).size(), 16u);
  EXPECT_EQ(ReadBytes(Member(&other, "a20")).size(), 14u);
  uint8_t registration[82];
  EXPECT_EQ(xOption(&other.opt, XOPT_READ, XQD_OPT_SUMMARY + 3, registration, 82), 1);

  // A project file is not a settings file.
  const std::string project = (root_ / "p.kvp").string();
  ASSERT_EQ(xSaveDB(&db_, info_, project.c_str(), 0), 1);
  EXPECT_EQ(xReadMiscFormat(&other, info, project.c_str()), 0);
  EXPECT_EQ(xReadMiscFormat(&other, info, (root_ / "missing.opt").c_str()), 0);
}

TEST_F(StoreTest, SummaryFilesAreFoundByTheirTrailer) {
  FillProject(&db_);
  int16_t current = 0;
  ASSERT_EQ(xOpenSumFile(&db_, &current, 3), 1);
  EXPECT_EQ(current, 3);
  const TableHandle& tb = db_.summary.table.tb;
  EXPECT_EQ(tb.liveCount, 2u);
  EXPECT_EQ(tb.recordSize, 19);
  ASSERT_EQ(tb.fieldCount, 2);
  EXPECT_STREQ(tb.fields[1].name, "QTY");
  EXPECT_EQ(tb.fields[1].offset, 11);
  db_.summary.table.tb.current = 1;
  uint8_t row[19];
  ASSERT_EQ(xGetRec(&db_.summary.table.tb, row), 1);
  EXPECT_EQ(memcmp(row, "row", 3), 0);

  // A missing number leaves the open summary open.
  EXPECT_EQ(xOpenSumFile(&db_, &current, 7), 0);
  EXPECT_EQ(current, 3);
  EXPECT_NE(db_.summary.table.tb.handle, -1);

  // Closing keeps the file; a damaged trailer is refused.
  xCloseSumFile(&db_, &current);
  EXPECT_EQ(current, 0);
  ASSERT_TRUE(fs::exists(Member(&db_, "3")));
  std::vector<uint8_t> bytes = ReadBytes(Member(&db_, "3"));
  PutU32At(&bytes, bytes.size() - 8, 0x40000000);  // slot count
  WriteBytes(Member(&db_, "4"), bytes);
  EXPECT_EQ(xOpenSumFile(&db_, &current, 4), 0);
  WriteBytes(Member(&db_, "5"), {1, 2, 3});
  EXPECT_EQ(xOpenSumFile(&db_, &current, 5), 0);
  EXPECT_EQ(current, 0);
}

TEST_F(StoreTest, ClosingRemovesEveryWorkingFile) {
  ProjectDb& other = *NewDb();
  FillProject(&other);
  int16_t current = 0;
  ASSERT_EQ(xOpenSumFile(&other, &current, 3), 1);
  ASSERT_TRUE(fs::exists(Member(&other, "3")));
  const std::string stem = Member(&other, "");
  xCloseDB(&other);
  for (const std::string& name : FilesIn(work_)) {
    EXPECT_NE(name.rfind(fs::path(stem).filename().string(), 0), 0u) << name;
  }
  EXPECT_EQ(other.space.mainHandle, -1);
  EXPECT_EQ(other.summary.number, 0);
}

TEST_F(StoreTest, CalendarsAreExtendedToTheProjectSpan) {
  const uint16_t inside[3] = {D(2000, 1, 4), D(2000, 1, 5), D(2000, 1, 7)};
  const uint16_t spanning[2] = {D(1999, 12, 1), D(2000, 3, 1)};
  const uint16_t three = 3, two = 2, claimsMore = 9;
  PutOption(&db_, XQD_OPT_CALENDAR_COUNT + 0, &three, 2);
  PutOption(&db_, XQD_OPT_CALENDAR_DAYS + 0, inside, sizeof inside);
  PutOption(&db_, XQD_OPT_CALENDAR_COUNT + 1, &two, 2);
  PutOption(&db_, XQD_OPT_CALENDAR_DAYS + 1, spanning, sizeof spanning);
  PutOption(&db_, XQD_OPT_CALENDAR_COUNT + 2, &claimsMore, 2);
  PutOption(&db_, XQD_OPT_CALENDAR_DAYS + 2, inside, sizeof inside);
  DateInfo form = {3, 0, 0, 1, 1, '/', 0};
  PutOption(&db_, XQD_OPT_DATE_INFO, &form, sizeof form);
  for (int i = 0; i < 8; ++i) xFreeWork(i);

  ASSERT_EQ(xSetPrjDateInfo(&db_, D(2000, 1, 1), D(2000, 1, 31)), 1);
  EXPECT_EQ(xGetDateForm(), 3);
  EXPECT_EQ(xGetDateDelimiter(), '/');
  ASSERT_EQ(xGetWorkCount(0), 5);
  EXPECT_EQ(xGetWork(0)[0], D(1999, 12, 31));  // calendar day before the start
  EXPECT_EQ(xGetWork(0)[1], D(2000, 1, 4));
  EXPECT_EQ(xGetWork(0)[4], D(2000, 2, 1));  // calendar day after the finish
  EXPECT_EQ(xGetWorkCount(1), 2);            // already spans the project
  EXPECT_EQ(xGetWorkCount(2), 5);            // a count above the stored days
  EXPECT_EQ(xGetWorkCount(3), 0);

  // A bound of 0 adds nothing.
  ASSERT_EQ(xSetPrjDateInfo(&db_, 0, 0), 1);
  EXPECT_EQ(xGetWorkCount(0), 3);

  // Saving writes the engine's lists back; an empty calendar clears its list.
  xFreeWork(1);
  ASSERT_EQ(xSavePrjDateInfo(&db_), 1);
  uint16_t count = 99;
  ASSERT_EQ(xOption(&db_.opt, XOPT_READ, XQD_OPT_CALENDAR_COUNT + 1, &count, 2), 1);
  EXPECT_EQ(count, 0);
  uint16_t day;
  EXPECT_EQ(xOption(&db_.opt, XOPT_READ, XQD_OPT_CALENDAR_DAYS + 1, &day, 2), 0);
  uint16_t days[3] = {};
  ASSERT_EQ(xOption(&db_.opt, XOPT_READ, XQD_OPT_CALENDAR_DAYS + 0, days, 6), 1);
  EXPECT_EQ(days[2], D(2000, 1, 7));
  for (int i = 0; i < 8; ++i) xFreeWork(i);
  DateInfo plain = {0, 0, 0, 1, 1, '-', 0};
  xSetDateInfo(&plain);
}

}  // namespace

namespace {

TEST_F(StoreTest, ClassDefinitionsAreReadWholeOrNotAtAll) {
  ProjectDb& db = *NewDb();
  ASSERT_EQ(xInitializeDB(&db, nullptr), 1);
  ClassDefinition defs[2];
  memset(defs, 0x5A, sizeof defs);
  EXPECT_EQ(xReadClassDefinitions(&db, defs), 0);
  EXPECT_EQ(defs[1].levels, 0) << "nothing stored leaves both definitions empty";

  // Bytes as the option item keeps them: count, starts, lengths, names.
  uint8_t bytes[404] = {};
  bytes[202] = 2;                             // facility: two levels
  bytes[202 + 4] = 2;                         // start of level 1
  bytes[202 + 18] = 2;                        // length of level 0
  bytes[202 + 20] = 3;                        // length of level 1
  memcpy(bytes + 202 + 34 + 21, "Floor", 6);  // name of level 1
  ASSERT_EQ(xOption(&db.opt, XOPT_WRITE, XQD_CLASSES_OPTION, bytes, sizeof bytes), 1);
  ASSERT_EQ(xReadClassDefinitions(&db, defs), 1);
  EXPECT_EQ(defs[0].levels, 0);
  EXPECT_STREQ(defs[1].name[1], "Floor");
  const ClassLevels l = xClassLevelsOf(&defs[1]);
  EXPECT_EQ(l.count, 2);
  EXPECT_EQ(l.start[1], 2);
  EXPECT_EQ(l.length[0], 2);
  EXPECT_EQ(l.length[1], 3);
}

}  // namespace
