// Whole projects through kvcli export and import with the dBASE converter:
// round trips, an independent reader and writer (python3 with dbfread, and
// a set written byte by byte), and damaged sets.
#include <cstdio>
#include <vector>

#include "dbase_fixture.h"
#include "xjor/packed_date.h"

namespace {

const char* const kTables[] = {"wbs", "obs", "res", "crw", "act", "rel", "opr"};

const char* const kFailed =
    "변환 프로그램이나 외부 편집기 파일을 실행할 수 없습니다.\n"
    "또는 자료를 보내거나 읽어들일 수 있는 상태가 아닙니다.\n";

std::string DayText(uint16_t d) {
  char t[16];
  snprintf(t, sizeof t, "%02d-%02d-%02d", xjor::packedYear(d) % 100, xjor::packedMonth(d),
           xjor::packedDay(d));
  return t;
}

class DbaseCli : public DbaseTest {
 protected:
  void SetUp() override {
    DbaseTest::SetUp();
    fs::create_directories(root_ / "config");
    fs::create_directories(root_ / "tmp");
    ASSERT_EQ(Kvcli("register dbf 'dBASE III' xKvDbf.so").status, 0);
  }

  // kvcli with a settings folder and a scratch folder of the test's own.
  CliRun Kvcli(const std::string& args) const {
    return kvcli(args, isolatedEnvironment(root_ / "config", root_ / "tmp"));
  }
  CliRun Python(const std::string& script, const std::string& args) const {
    return runCommand("/usr/bin/python3 " + std::string(KELVO_SOURCE_DIR) +
                      "/converters/dbase/tests/" + script + " " + args);
  }

  // Opens a project file, lets change work on it and saves it again.
  template <typename Change>
  void Edit(const std::string& path, Change change) {
    ProjectDb* db = &dbs_.emplace_back();
    ASSERT_EQ(xCreateDB(db, nullptr, (root_.string() + "/work/").c_str(), nullptr), 1);
    db->space.refHandle = ref_;
    PrjInfo info;
    ASSERT_EQ(xReadDB(db, &info, path.c_str()), 1);
    change(db, &info);
    ASSERT_EQ(xSaveDB(db, &info, path.c_str(), 0), 1);
    xCloseDB(db);
  }

  // The time-shared entries as "code,date,value" lines, in index order.
  std::string TimeShared(const std::string& path) {
    std::string lines;
    Edit(path, [&](ProjectDb* db, PrjInfo*) {
      std::vector<char> rec(db->act.tb.recordSize);
      for (uint32_t i = 0; i < db->spa.count; ++i) {
        SpaEntry e;
        db->spa.current = i;
        ASSERT_EQ(xiGet(&db->spa, &e), 1);
        db->act.tb.current = e.activity;
        ASSERT_EQ(xGetRec(&db->act.tb, rec.data()), 1);
        char value[32];
        snprintf(value, sizeof value, "%.3f", e.value);
        lines += std::string(rec.data() + offsetof(ActRecord, code)) + "," + DayText(e.day) + "," +
                 value + "\n";
      }
    });
    return lines;
  }

  // Everything kvcli shows of a project, into folder: TABLE.csv, info.txt
  // and spa.csv.
  void Show(const std::string& project, const fs::path& folder) {
    fs::create_directories(folder);
    for (const char* t : kTables) {
      const CliRun dump = Kvcli("dump " + project + " " + t);
      ASSERT_EQ(dump.status, 0) << dump.out;
      writeFile(folder / (std::string(t) + ".csv"), dump.out);
    }
    writeFile(folder / "info.txt", Kvcli("info " + project).out);
    writeFile(folder / "spa.csv", TimeShared(project));
  }

  // A project with every kind of record: both classifications with their
  // levels, resources, crews, activities of every kind with constraints,
  // actual dates and calendars, relations of the four kinds, crew details,
  // time-shared entries and two working calendars; then scheduled.
  void BuildProject(const std::string& p);
};

void DbaseCli::BuildProject(const std::string& p) {
  ASSERT_EQ(Kvcli("new " + p + " --code P-01 --name '서울 신청사 공사' --start 24-03-04 " +
                  "--data-date 24-03-04")
                .status,
            0);
  ASSERT_EQ(Kvcli("classes " + p + " work 2:대분류 3:중분류").status, 0);
  ASSERT_EQ(Kvcli("classes " + p + " facility 1:동 2:층").status, 0);
  ASSERT_EQ(
      Kvcli("calendar " + p + " 1 --from 24-01-01 --to 25-12-31 --off sat,sun --holiday 24-03-01")
          .status,
      0);
  ASSERT_EQ(Kvcli("calendar " + p + " 2 --from 24-01-01 --to 25-12-31 --off sun").status, 0);
  const std::pair<const char*, const char*> csv[] = {
      {"wbs",
       "CODE,TITLE,SIZE,UNIT,CQ,CU,EU,AU\n"
       "A1,토공사,,,,,,\n"
       "A1001,터파기,\"깊이 2m, 폭 1m\",m3,1250.5,15000,14000,13500\n"
       "A1002,되메우기,,m3,800,9000,8500,8000\n"
       "B2,철근콘크리트,,,,,,\n"
       "B2001,거푸집,유로폼,m2,3400.25,22000,21000,20500\n"},
      {"obs", "CODE,TITLE\n1,본관\n101,지하1층\n102,지상1층\n2,별관\n201,별관 1층\n"},
      {"res", "CODE,TITLE,SIZE,UNIT\nR1,보통인부,,인\nR2,굴삭기,0.7m3,대\nR3,철근공,,인\n"},
      {"crw",
       "W_CODE,R_CODE,UQ,AQ,AUQ,CQ\n"
       "A1001,R1,0.125,10,0.1,3\nA1001,R2,0.05,4,0.04,1\nB2001,R3,0.3,20,0.25,5\n"},
      {"act",
       "CODE,TITLE,DU,AS,AF,CONST_DATE,CONST_TYPE,CAL_NO,TYPE,W_CODE,O_CODE,MANAGER,SUBCON,"
       "U_CODE,QTY,CU,EU,AU,REMARK,VALUE1,VALUE2,VALUE3\n"
       "A-010,착공,0,24-03-04,24-03-04,,제약 없음,1,이정표,,,김철수,,U1,0,0,0,0,시작,0,0,0\n"
       "A-020,\"터파기, 본관\",12,24-03-05,,,제약 없음,1,보통,A1001,101,김철수,대한건설,U1,"
       "1250.5,15000,14000,13500,\"비고 \"\"1\"\"\",1,2,3\n"
       "A-030,되메우기,5,,,24-04-01,일찍 시작 못함,2,보통,A1002,101,,대한건설,,800,9000,8500,"
       "8000,,0,0,0\n"
       "A-040,거푸집 설치,20,,,,제약 없음,1,시분할,B2001,201,이영희,,U2,3400.25,22000,21000,"
       "20500,,100000000000,0,-5\n"
       "A-050,별관 정리,7,,,24-06-28,늦게 못 끝냄,0,보통,A1001,102,,,,10,0,0,0,,0,0,0\n"
       "A-060,준공,0,,,,제약 없음,1,이정표,,,,,,0,0,0,0,,0,0,0\n"},
      {"rel",
       "P_CODE,S_CODE,TYPE,LAG\nA-010,A-020,FS,0\nA-020,A-030,SS,3\nA-020,A-040,FF,-2\n"
       "A-030,A-050,SF,5\nA-040,A-060,FS,1\nA-050,A-060,FS,0\n"},
      {"opr", "A_CODE,R_CODE,QTY,AQ\nA-020,R1,150,120.5\nA-020,R2,60,58\nA-040,R3,1020,0\n"},
  };
  for (const auto& [table, text] : csv) {
    writeFile(root_ / "load.csv", text);
    const CliRun load = Kvcli("load " + p + " " + table + " " + Path("load.csv"));
    ASSERT_EQ(load.status, 0) << table << ": " << load.out;
  }
  // What kvcli cannot enter: the rest of the information block, the
  // time-shared entries of A-040 and user fields of the activities.
  Edit(p, [](ProjectDb* db, PrjInfo* info) {
    FieldList fl{};
    ASSERT_EQ(xTb2Fld(&fl, &db->act.tb), 1);
    xAddFld(&fl, -1, "\xBA\xF1\xB0\xED", XF_STRING, XF_PLAIN, 20, 0);  // 비고
    xAddFld(&fl, -1, "FLOORS", XF_INT16, XF_PLAIN, 3, 0);
    xAddFld(&fl, -1, "AMOUNT", XF_DOUBLE, XF_PLAIN, 10, 2);
    xAddFld(&fl, -1, "CHECKED", XF_DATE, XF_PLAIN, 8, 0);
    ASSERT_EQ(xModFldStr(&db->act.tb, &fl), 1);
    xFreeBuffer(fl.fields);
    std::vector<char> rec(db->act.tb.recordSize);
    const FieldDesc* f = db->act.tb.fields + db->act.tb.fieldCount - 4;
    db->act.tb.current = -1;
    for (int16_t n = 1; xMoveNext(&db->act.tb); ++n) {
      ASSERT_EQ(xGetRec(&db->act.tb, rec.data()), 1);
      snprintf(rec.data() + f[0].offset, 21, "\xB3\xBB\xBF\xEB %d", n);  // 내용
      memcpy(rec.data() + f[1].offset, &n, 2);
      const double amount = n * 1234.5;
      memcpy(rec.data() + f[2].offset, &amount, 8);
      const uint16_t day = Day(2024, 4, n);
      memcpy(rec.data() + f[3].offset, &day, 2);
      ASSERT_EQ(xPutRec(&db->act.tb, rec.data()), 1);
    }
    strcpy(info->manager, "\xB1\xE8");  // 김
    strcpy(info->company, "ACME");
    strcpy(info->currency, "KRW");
    strcpy(info->remark, "REMARK 1");
    info->periodStart = Day(2024, 3, 1);
    info->periodFinish = Day(2024, 3, 31);
    ActCodeEntry key{};
    strcpy(key.code, "A-040");
    ASSERT_EQ(xmSeek(&db->actCodes, &key), 1);
    ActCodeEntry found;
    memcpy(&found, db->actCodes.data + db->actCodes.current * db->actCodes.recordSize,
           sizeof found);
    for (const SpaEntry& e : {SpaEntry{found.record, Day(2024, 3, 5), 120.25},
                              SpaEntry{found.record, Day(2024, 3, 12), 0.5}}) {
      db->spa.current = XJOR_NONE;
      ASSERT_EQ(xInputRecSpa(db, &e), 0);
    }
  });
  const CliRun run = Kvcli("schedule " + p + " --data-date 24-03-04");
  ASSERT_EQ(run.status, 0) << run.out;
  ASSERT_EQ(Kvcli("check " + p).out, "ok\n");
}

TEST_F(DbaseCli, RoundTripGivesTheSameProject) {
  const std::string a = Path("a.kvp"), b = Path("b.kvp");
  BuildProject(a);
  if (HasFatalFailure()) return;
  fs::create_directories(root_ / "set");
  CliRun run = Kvcli("export " + a + " " + Path("set/Plan.dbf"));
  ASSERT_EQ(run.status, 0) << run.out;
  run = Kvcli("import " + Path("set/Plan.dbf") + " " + b);
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(run.out, "");  // nothing refused
  run = Kvcli("schedule " + b + " --data-date 24-03-04");
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(Kvcli("check " + b).out, "ok\n");

  Show(a, root_ / "shown-a");
  Show(b, root_ / "shown-b");
  for (const char* name : {"wbs", "obs", "res", "crw", "act", "rel", "opr", "info", "spa"}) {
    const std::string file = std::string(name) + (std::string(name) == "info" ? ".txt" : ".csv");
    EXPECT_EQ(readFile(root_ / "shown-a" / file), readFile(root_ / "shown-b" / file)) << name;
  }
  // The project is not trivially empty.
  const std::string acts = readFile(root_ / "shown-b" / "act.csv");
  EXPECT_NE(acts.find("\nA-030,되메우기,5,5,24-04-01,"), std::string::npos) << acts;
  EXPECT_NE(acts.find(",24-06-28,늦게 못 끝냄,"), std::string::npos) << acts;
  EXPECT_NE(acts.find(",100000000000,0,-5,내용 4,4,4938.00,24-04-04\n"), std::string::npos) << acts;
  EXPECT_EQ(readFile(root_ / "shown-b" / "spa.csv"),
            "A-040,24-03-05,120.250\nA-040,24-03-12,0.500\n");
  const std::string info = readFile(root_ / "shown-b" / "info.txt");
  EXPECT_NE(info.find("calendar-1: 522\ncalendar-2: 627\n"), std::string::npos) << info;
  EXPECT_NE(info.find("work-levels: 2:대분류 3:중분류\nfacility-levels: 1:동 2:층\n"),
            std::string::npos)
      << info;
}

TEST_F(DbaseCli, ExportedSetReadsTheSameInDbfread) {
  const std::string a = Path("a.kvp");
  BuildProject(a);
  if (HasFatalFailure()) return;
  CliRun run = Kvcli("export " + a + " " + Path("Plan.dbf"));
  ASSERT_EQ(run.status, 0) << run.out;
  Show(a, root_ / "shown");
  run = Python("dbf_compare.py", Path("Plan.dbf") + " " + Path("shown"));
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(run.out, "");
}

TEST_F(DbaseCli, SetWrittenByAnotherProgramImports) {
  ASSERT_EQ(Python("dbf_write_set.py", Path("x.dbf")).status, 0);
  const CliRun run = Kvcli("import " + Path("x.dbf") + " " + Path("x.kvp"));
  ASSERT_EQ(run.status, 0) << run.out;
  // The entry of an activity that is not in the set is refused and told.
  EXPECT_NE(run.out.find("1 entr"), std::string::npos) << run.out;
  Show(Path("x.kvp"), root_ / "shown");
  const std::string info = readFile(root_ / "shown" / "info.txt");
  EXPECT_EQ(info.rfind("code: X-1\nname: 부산 물류센터\nmanager: 박\ncompany: 한빛\n", 0), 0u)
      << info;
  // No finish in the file: the end of the start's year.
  EXPECT_NE(info.find("start: 25-05-12\nfinish: 25-12-31\ndata-date: 25-05-12\n"),
            std::string::npos)
      << info;
  EXPECT_NE(info.find("work-levels: 1:대 2:소\nfacility-levels: 2:구역\n"), std::string::npos)
      << info;
  EXPECT_EQ(readFile(root_ / "shown" / "res.csv"),
            "CODE,TITLE,SIZE,UNIT\nM1,레미콘,25-240-15,m3\nL1,형틀목공,,인\n");
  EXPECT_EQ(readFile(root_ / "shown" / "crw.csv"),
            "W_CODE,R_CODE,UQ,AQ,AUQ,CQ\nA01,L1,0.500,60.250,0.000,2\n");
  const std::string acts = readFile(root_ / "shown" / "act.csv");
  EXPECT_NE(acts.find(",VALUE3,USER1\nS-1,흙막이 설치,10,10,25-05-12,"), std::string::npos) << acts;
  EXPECT_NE(acts.find(",A01,Z1,,,,120.500,"), std::string::npos) << acts;
  EXPECT_NE(acts.find(",0,0,0,123456789012\nS-3,굴착 2구역,8,"), std::string::npos) << acts;
  EXPECT_NE(acts.find(",시분할,A02,Z2,,,,900.000,0,0,0,0.00,야간 작업,"), std::string::npos)
      << acts;
  EXPECT_EQ(acts.find("지워진"), std::string::npos) << acts;
  EXPECT_EQ(readFile(root_ / "shown" / "rel.csv"),
            "P_CODE,S_CODE,TYPE,LAG,PATH\nS-1,S-3,SS,2,0\nS-3,S-4,FS,0,0\nS-1,S-4,FF,-1,0\n");
  EXPECT_EQ(readFile(root_ / "shown" / "spa.csv"), "S-3,25-05-14,112.500\n");
  EXPECT_EQ(Kvcli("check " + Path("x.kvp")).out, "ok\n");
}

TEST_F(DbaseCli, DamagedSetsFailAndLeaveNothingBehind) {
  // A project already at the target stays as it was.
  ASSERT_EQ(Kvcli("new " + Path("kept.kvp") + " --code KEEP").status, 0);
  const std::string kept = readFile(root_ / "kept.kvp");
  for (const char* damage :
       {"short-header", "record-length", "no-fields", "many-fields", "missing-member"}) {
    fs::remove_all(root_ / "set");
    fs::create_directories(root_ / "set");
    ASSERT_EQ(Python("dbf_write_set.py", Path("set/x.dbf") + " " + damage).status, 0) << damage;
    CliRun run = Kvcli("import " + Path("set/x.dbf") + " " + Path("new.kvp"));
    EXPECT_EQ(run.status, 1) << damage;
    EXPECT_NE(run.out.find(kFailed), std::string::npos) << damage << ": " << run.out;
    EXPECT_FALSE(fs::exists(root_ / "new.kvp")) << damage;
    run = Kvcli("import " + Path("set/x.dbf") + " " + Path("kept.kvp"));
    EXPECT_EQ(run.status, 1) << damage;
    EXPECT_EQ(readFile(root_ / "kept.kvp"), kept) << damage;
    EXPECT_TRUE(fs::is_empty(root_ / "tmp")) << damage;
  }
  // The same set undamaged imports; without its time-shared file it has
  // no entries (it has no settings file either: defaults).
  ASSERT_EQ(Python("dbf_write_set.py", Path("set/x.dbf")).status, 0);
  fs::remove(root_ / "set" / "xSpa.dbf");
  EXPECT_EQ(Kvcli("import " + Path("set/x.dbf") + " " + Path("new.kvp")).status, 0);
  EXPECT_EQ(TimeShared(Path("new.kvp")), "");
}

}  // namespace
