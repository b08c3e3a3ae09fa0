// kvcli as scripts use it: exit statuses, printed results and messages.
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "kvcli_runner.h"

namespace {

using Kvcli = ScratchTest;

TEST_F(Kvcli, GeneratedProjectIsScheduledSavedAndStaysConsistent) {
  const std::string p = file("gen.kvp");
  ASSERT_EQ(kvcli("gen " + p + " --activities 300 --relations 450 --seed 7").status, 0);
  CliRun info = kvcli("info " + p);
  ASSERT_EQ(info.status, 0) << info.out;
  EXPECT_NE(info.out.find("activities: 300\n"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("relations: 450\n"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("password: none\n"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("\nfinish: \n"), std::string::npos) << info.out;

  const CliRun run = kvcli("schedule " + p + " --data-date 00-01-10");
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_NE(run.out.find("300개의 작업\n450개의 선후행 괸계\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("완료되었습니다.\n"), std::string::npos) << run.out;
  // Saved: the project's dates and data date changed, the indexes are exact.
  info = kvcli("info " + p);
  EXPECT_NE(info.out.find("data-date: 00-01-10\n"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("\nstart: 00-01-10\n"), std::string::npos) << info.out;
  EXPECT_EQ(info.out.find("\nfinish: \n"), std::string::npos) << info.out;
  EXPECT_EQ(kvcli("check " + p).status, 0);
}

TEST_F(Kvcli, NewProjectTakesTheInformationDialogsDefaults) {
  const std::string p = file("new.kvp");
  ASSERT_EQ(kvcli("new " + p + " --code P-01 --name '서울 공사' --start 24-03-04").status, 0);
  const CliRun info = kvcli("info " + p);
  EXPECT_NE(info.out.find("code: P-01\nname: 서울 공사\n"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("\nstart: 24-03-04\nfinish: 24-12-31\n"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("amount-digits: 12\n"), std::string::npos) << info.out;
  // Kelvo opens it without asking: the empty password is stored scrambled.
  EXPECT_NE(info.out.find("password: none\n"), std::string::npos) << info.out;

  const CliRun bad = kvcli("new " + file("bad.kvp") + " --finish 24-02-30");
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.out.find("날짜 형식이 올바르지 않습니다."), std::string::npos) << bad.out;
  EXPECT_FALSE(std::filesystem::exists(file("bad.kvp")));
}

TEST_F(Kvcli, CalendarIsStoredAsTheCalendarDialogStoresIt) {
  const std::string p = file("cal.kvp");
  ASSERT_EQ(kvcli("new " + p + " --start 24-01-01").status, 0);
  // 2024: 262 weekdays, less a Friday holiday.
  CliRun run =
      kvcli("calendar " + p + " 1 --from 24-01-01 --to 24-12-31 --off sat,sun --holiday 24-03-01");
  EXPECT_EQ(run.status, 0) << run.out;
  // 53 Mondays off; the range starts on one, so the day before it goes in front.
  run = kvcli("calendar " + p + " 2 --from 24-01-01 --to 24-12-31 --off mon");
  EXPECT_EQ(run.status, 0) << run.out;
  const CliRun info = kvcli("info " + p);
  EXPECT_NE(info.out.find("calendar-1: 261\ncalendar-2: 314\n"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("calendar-from: 24-01-01\ncalendar-to: 24-12-31\n"), std::string::npos)
      << info.out;
  EXPECT_EQ(kvcli("calendar " + p + " 1 --from 24-01-01 --to 24-13-31").status, 1);
  EXPECT_EQ(kvcli("calendar " + p + " 9 --from 24-01-01 --to 24-12-31").status, 1);
  EXPECT_EQ(kvcli("calendar " + p + " 1 --from 24-01-01 --to 24-12-31 --off xyz").status, 1);
}

TEST_F(Kvcli, ClassificationLevelsAreStoredAndCheckedLikeTheDialog) {
  const std::string p = file("classes.kvp");
  ASSERT_EQ(kvcli("new " + p).status, 0);
  EXPECT_EQ(kvcli("classes " + p + " work 2:대분류 2:중분류 3").status, 0);
  EXPECT_EQ(kvcli("classes " + p + " facility 4").status, 0);
  const CliRun info = kvcli("info " + p);
  EXPECT_NE(info.out.find("work-levels: 2:대분류 2:중분류 3\nfacility-levels: 4\n"),
            std::string::npos)
      << info.out;
  const CliRun tooLong = kvcli("classes " + p + " work 6 6");
  EXPECT_EQ(tooLong.status, 1);
  EXPECT_NE(tooLong.out.find("길이의 합계를 10 이하로 해야 합니다."), std::string::npos);
  // With activities in the project, changing levels would empty them: refused.
  const std::string g = file("gen.kvp");
  ASSERT_EQ(kvcli("gen " + g + " --activities 3 --relations 1").status, 0);
  EXPECT_EQ(kvcli("classes " + g + " work 2 2").status, 1);
}

TEST_F(Kvcli, AnalysisMessageGivesStatusThree) {
  const std::string p = file("lonely.kvp");
  ASSERT_EQ(kvcli("gen " + p + " --activities 5 --relations 0").status, 0);
  const CliRun run = kvcli("schedule " + p);
  EXPECT_EQ(run.status, 3);
  EXPECT_NE(run.out.find("5개의 독립 작업\n시작 작업이 없습니다.\n"), std::string::npos) << run.out;
}

TEST_F(Kvcli, BadInputIsReportedWithTheSystemsMessages) {
  const std::string p = file("gen.kvp");
  ASSERT_EQ(kvcli("gen " + p + " --activities 20 --relations 30").status, 0);
  CliRun run = kvcli("schedule " + p + " --data-date 00-13-01");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("날짜 형식이 올바르지 않습니다."), std::string::npos) << run.out;

  run = kvcli("info " + file("missing.kvp"));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("파일을 찾을 수 없습니다."), std::string::npos) << run.out;

  std::ofstream(file("junk.kvp")) << "not a project";
  run = kvcli("schedule " + file("junk.kvp"));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("파일 형식이 올바르지 않습니다."), std::string::npos) << run.out;

  // A project cut short never crashes the tool.
  const auto size = std::filesystem::file_size(p);
  for (uintmax_t keep : {size / 2, size - 1, uintmax_t{300}}) {
    std::filesystem::copy_file(p, file("cut.kvp"),
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::resize_file(file("cut.kvp"), keep);
    for (const char* command : {"info ", "schedule ", "check "}) {
      run = kvcli(command + file("cut.kvp"));
      EXPECT_TRUE(run.status == 1 || run.status == 0 || run.status == 3)
          << command << keep << ": " << run.status << " " << run.out;
    }
  }
}

// The user's project file: reached through a link, private, or something
// that is not a file at all; and a save that cannot be completed.
TEST_F(Kvcli, UsersFilesKeepTheirLinkAndModeAndFailuresSayWhy) {
  const std::string p = file("gen.kvp"), link = file("link.kvp");
  ASSERT_EQ(kvcli("gen " + p + " --activities 20 --relations 30").status, 0);
  std::filesystem::create_symlink(p, link);
  std::filesystem::permissions(
      p, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  CliRun run = kvcli("schedule " + link + " --data-date 00-01-10");
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(std::filesystem::status(p).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  EXPECT_NE(kvcli("info " + link).out.find("data-date: 00-01-10\n"), std::string::npos);

  ASSERT_EQ(mkfifo(file("pipe.kvp").c_str(), 0600), 0);
  run = runCommand("timeout 20 " + std::string(KELVO_BIN_DIR) + "/kvcli info " + file("pipe.kvp"));
  EXPECT_EQ(run.status, 1) << run.out;
  EXPECT_NE(run.out.find("파일 형식이 올바르지 않습니다."), std::string::npos) << run.out;

  const std::string before = readFile(p);
  // Room for each working file, not for the whole project.
  run = runCommand("prlimit --fsize=" + std::to_string(before.size() - 2048) + " " + KELVO_BIN_DIR +
                   "/kvcli schedule " + p + " --data-date 00-01-11");
  EXPECT_EQ(run.status, 1) << run.out;
  EXPECT_NE(run.out.find("파일 위치를 옮길 수 없습니다."), std::string::npos) << run.out;
  EXPECT_EQ(readFile(p), before);
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(file(""))) {
    names.insert(e.path().filename().string());
  }
  EXPECT_EQ(names, (std::set<std::string>{"gen.kvp", "link.kvp", "pipe.kvp"}));
}

TEST_F(Kvcli, LoadThenDumpRoundTripsAndReportsRefusedRows) {
  const std::string p = file("p.kvp"), q = file("q.kvp");
  ASSERT_EQ(kvcli("new " + p + " --start 26-01-05 --data-date 26-01-05").status, 0);
  // Header by dBASE column names and by field name; quoted text with a comma
  // and a quote; an empty code and a repeated code are refused.
  writeFile(file("act.csv"),
            "\xEF\xBB\xBF"
            "CODE,TITLE,DU\r\n"
            "A1,첫 작업,5\r\n"
            "A2,\"둘, \"\"작업\"\"\",3\r\n"
            ",빈 코드,1\r\n"
            "A1,again,2\r\n");
  CliRun load = kvcli("load " + p + " act " + file("act.csv"));
  EXPECT_EQ(load.status, 3) << load.out;
  EXPECT_NE(load.out.find("입력 2, 제외 2"), std::string::npos) << load.out;
  EXPECT_NE(load.out.find("4행: 코드를 입력하세요."), std::string::npos) << load.out;
  EXPECT_NE(load.out.find("5행: 이미 존재하는 코드입니다."), std::string::npos) << load.out;
  writeFile(file("rel.csv"), "P_CODE,S_CODE,TYPE,LAG\nA1,A2,0,2\nA1,A9,0,0\n");
  load = kvcli("load " + p + " rel " + file("rel.csv"));
  EXPECT_EQ(load.status, 3) << load.out;
  EXPECT_NE(load.out.find("3행: 후행작업코드가 등록되어 있지 않습니다."), std::string::npos)
      << load.out;
  EXPECT_EQ(kvcli("check " + p).out, "ok\n");

  const CliRun acts = kvcli("dump " + p + " act");
  ASSERT_EQ(acts.status, 0) << acts.out;
  EXPECT_EQ(acts.out.rfind("CODE,TITLE,DU,RDU,START,FINISH,", 0), 0u) << acts.out;
  EXPECT_NE(acts.out.find("\nA1,첫 작업,5,"), std::string::npos) << acts.out;
  EXPECT_NE(acts.out.find("\nA2,\"둘, \"\"작업\"\"\",3,"), std::string::npos) << acts.out;
  EXPECT_EQ(acts.out.find("again"), std::string::npos) << acts.out;
  const CliRun rels = kvcli("dump " + p + " rel");
  EXPECT_EQ(rels.out.rfind("P_CODE,S_CODE,TYPE,LAG,PATH\n", 0), 0u) << rels.out;
  EXPECT_NE(rels.out.find("\nA1,A2,"), std::string::npos) << rels.out;

  // Every field of the dump loads into another project and dumps the same.
  ASSERT_EQ(kvcli("new " + q + " --start 26-01-05 --data-date 26-01-05").status, 0);
  writeFile(file("acts.csv"), acts.out);
  writeFile(file("rels.csv"), rels.out);
  EXPECT_EQ(kvcli("load " + q + " act " + file("acts.csv") + " --date-mode -1").status, 0);
  EXPECT_EQ(kvcli("load " + q + " rel " + file("rels.csv")).status, 0);
  EXPECT_EQ(kvcli("dump " + q + " act").out, acts.out);
  EXPECT_EQ(kvcli("dump " + q + " rel").out, rels.out);
  EXPECT_EQ(kvcli("check " + q).out, "ok\n");
}

TEST_F(Kvcli, LoadRefusesUnknownFieldsAndTablesWithoutChangingTheProject) {
  const std::string p = file("p.kvp");
  ASSERT_EQ(kvcli("new " + p).status, 0);
  writeFile(file("bad.csv"), "CODE,BOGUS\nA1,x\n");
  CliRun load = kvcli("load " + p + " act " + file("bad.csv"));
  EXPECT_EQ(load.status, 1);
  EXPECT_NE(load.out.find("BOGUS: 파일 항목을 찾을 수 없습니다.\n"), std::string::npos) << load.out;
  // An unknown table is named, in the program's language, not answered with
  // the usage.
  for (const char* command : {"load ", "dump "}) {
    load = kvcli(command + p + " nosuch " + file("bad.csv"));
    EXPECT_EQ(load.status, 1);
    EXPECT_EQ(load.out.rfind("알 수 없는 자료 파일입니다: nosuch (", 0), 0u) << load.out;
  }
  writeFile(file("open.csv"), "CODE,TITLE\nA1,\"never closed\nA2,x\n");
  load = kvcli("load " + p + " act " + file("open.csv"));
  EXPECT_EQ(load.status, 1);
  EXPECT_NE(load.out.find("문자 인용 부호의 쌍이 맞지 않습니다."), std::string::npos) << load.out;
  load = kvcli("load " + p + " act " + file("missing.csv"));
  EXPECT_EQ(load.status, 1);
  EXPECT_NE(load.out.find("파일을 찾을 수 없습니다."), std::string::npos) << load.out;
  const CliRun dump = kvcli("dump " + p + " act");
  EXPECT_EQ(dump.status, 0);
  EXPECT_EQ(dump.out.find("A1"), std::string::npos) << dump.out;
}

}  // namespace

namespace {

// The dumped line of activity `code` (its CSV row), empty when there is none.
std::string activityLine(const std::string& dump, const std::string& code) {
  const size_t at = dump.find("\n" + code + ",");
  if (at == std::string::npos) return {};
  return dump.substr(at + 1, dump.find('\n', at + 1) - at - 1);
}

TEST_F(Kvcli, AnalysisResultsAreStoredAndShownWhole) {
  // Far past its "finish no later than" date, B's total float is -15002
  // days: the sign needs a column of its own.
  const std::string p = file("late.kvp");
  ASSERT_EQ(kvcli("new " + p + " --start 00-01-03 --data-date 00-01-03").status, 0);
  writeFile(file("act.csv"), "CODE,DU,CONST_DATE,CONST_TYPE\nA,15000,,\nB,5,00-01-05,4\n");
  writeFile(file("rel.csv"), "P_CODE,S_CODE\nA,B\n");
  ASSERT_EQ(kvcli("load " + p + " act " + file("act.csv")).status, 0);
  ASSERT_EQ(kvcli("load " + p + " rel " + file("rel.csv")).status, 0);
  ASSERT_EQ(kvcli("schedule " + p).status, 0);
  const std::string b = activityLine(kvcli("dump " + p + " act").out, "B");
  EXPECT_NE(b.find(",-15002,"), std::string::npos) << b;

  // A run that would need days after 2107-12-31 stores nothing and says so.
  const std::string q = file("far.kvp");
  ASSERT_EQ(kvcli("new " + q + " --start 79-06-01 --data-date 79-06-01").status, 0);
  writeFile(file("act.csv"), "CODE,DU\nA,30000\nB,1\nC,32767\n");
  writeFile(file("rel.csv"), "P_CODE,S_CODE\nA,B\nB,C\n");
  ASSERT_EQ(kvcli("load " + q + " act " + file("act.csv")).status, 0);
  ASSERT_EQ(kvcli("load " + q + " rel " + file("rel.csv")).status, 0);
  const std::string before = kvcli("dump " + q + " act").out;
  const CliRun run = kvcli("schedule " + q);
  EXPECT_EQ(run.status, 3) << run.out;
  EXPECT_NE(run.out.find("계산한 날짜가 처리할 수 있는 범위(2107-12-31)를 넘습니다."),
            std::string::npos)
      << run.out;
  EXPECT_EQ(run.out.find("완료되었습니다."), std::string::npos) << run.out;
  EXPECT_EQ(kvcli("dump " + q + " act").out, before);
}

TEST_F(Kvcli, AnalysisWarnsOfActivitiesBeyondTheCalendarRange) {
  const std::string p = file("range.kvp");
  ASSERT_EQ(kvcli("new " + p + " --start 26-01-05 --data-date 26-01-05").status, 0);
  ASSERT_EQ(kvcli("calendar " + p + " 1 --from 26-01-01 --to 26-02-27 --off sat,sun").status, 0);
  // A runs weeks past the range (where Saturdays and Sundays would count);
  // B and C stay inside; D's calendar has no working days set, so it counts
  // calendar days anyway.
  writeFile(file("act.csv"), "CODE,DU,CAL_NO\nA,60,1\nB,5,1\nC,3,1\nD,90,2\n");
  writeFile(file("rel.csv"), "P_CODE,S_CODE\nB,A\nB,C\n");
  ASSERT_EQ(kvcli("load " + p + " act " + file("act.csv")).status, 0);
  ASSERT_EQ(kvcli("load " + p + " rel " + file("rel.csv")).status, 0);
  const CliRun run = kvcli("schedule " + p);
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_NE(run.out.find("완료되었습니다.\n1개의 작업이 달력의 적용 기간을 벗어났습니다."),
            std::string::npos)
      << run.out;
}

}  // namespace
