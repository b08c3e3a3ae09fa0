// kvcli's processing commands on saved projects: what each prints, what it
// stores, and that the store's integrity check stays clean afterwards.
#include <filesystem>
#include <string>

#include "kvcli_runner.h"

namespace {

using StageCommands = ScratchTest;

TEST_F(StageCommands, RegisterSummaryStoresTheRecordAndRefusesBadCompositions) {
  const std::string p = file("p.kvp");
  ASSERT_EQ(kvcli("new " + p).status, 0);
  ASSERT_EQ(kvcli("classes " + p + " work 1 2").status, 0);
  ASSERT_EQ(kvcli("classes " + p + " facility 2").status, 0);
  CliRun run =
      kvcli("register-summary " + p +
            " 2 --title '공종별' --compose 0,1,10 --option activities --option '이정표 제외'"
            " --period week");
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(run.out, "집계 2 등록: 3개 구성 항목, 선택 0x491\n");
  std::string saved = readFile(p);

  run = kvcli("register-summary " + p + " 2 --title x --compose 0");
  EXPECT_EQ(run.status, 3) << run.out;
  EXPECT_NE(run.out.find("같은 등록 번호의 집계파일이 있습니다."), std::string::npos);
  run = kvcli("register-summary " + p + " 3 --title x --compose 1,0");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("이미 선택했거나 분류단계의 순서가 맞지 않습니다."), std::string::npos)
      << run.out;
  run = kvcli("register-summary " + p + " 3 --title x --compose 20,21");
  EXPECT_NE(run.out.find("기타 분류는 이미 선택했습니다."), std::string::npos) << run.out;
  EXPECT_EQ(kvcli("register-summary " + p + " 49 --title x --compose 0").status, 1);
  EXPECT_EQ(kvcli("register-summary " + p + " 3 --title x --compose 0,x").status, 1);
  EXPECT_EQ(kvcli("register-summary " + p + " 3 --title x --compose 0 --option bogus").status, 1);
  // A title with a character CP949 lacks, and a good one just too long.
  run = kvcli("register-summary " + p + " 3 --title 'a\U0001F600b' --compose 0");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "CP949로 나타낼 수 없는 문자가 있습니다.\n");
  run = kvcli("register-summary " + p + " 3 --title " + std::string(41, 'x') + " --compose 0");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "집계 제목은 40자까지 입력할 수 있습니다.\n");
  EXPECT_EQ(readFile(p), saved);

  // No composition: activity rows alone, which the summary builds.
  run = kvcli("register-summary " + p + " 4 --title z");
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(run.out.rfind("집계 4 등록: 0개 구성 항목", 0), 0u) << run.out;
  run = kvcli("summary " + p + " 4");
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(kvcli("register-summary " + p + " 5 --title z --compose 0,").status, 1);
  saved = readFile(p);

  run = kvcli("register-summary " + p + " 2 --title y --compose 10 --replace");
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(kvcli("check " + p).out, "ok\n");
}

TEST_F(StageCommands, EveryCommandOnAGeneratedProjectKeepsTheIndexesExact) {
  const std::string p = file("gen.kvp");
  ASSERT_EQ(kvcli("gen " + p + " --activities 200 --relations 300 --seed 3").status, 0);
  ASSERT_EQ(kvcli("schedule " + p + " --data-date 00-01-10").status, 0);
  const char* commands[] = {
      "baseline {} --percent 0",
      "baseline {} --percent 30 --activity A000001 --activity A000002",
      "baseline {} --percent 100 --include-started",
      "next-stage {} --from 00-01-10 --to 00-02-04",
      "derive {} --option spread-quantities --option durations --option contract-prices"
      " --option execution-prices --option input-prices --option skip-completed"
      " --option contract-weights --option execution-weights --option progress"
      " --option crew-inputs --option round-up --resource-class L",
      "actuals {}",
      "rewrite-codes {}",
      "next-stage {} --from 00-02-07 --to 00-03-03",
  };
  for (const char* command : commands) {
    std::string args = command;
    args.replace(args.find("{}"), 2, p);
    const CliRun run = kvcli(args);
    EXPECT_EQ(run.status, 0) << args << "\n" << run.out;
    EXPECT_EQ(kvcli("check " + p).out, "ok\n") << args;
  }
  const CliRun info = kvcli("info " + p);
  EXPECT_NE(info.out.find("data-date: 00-03-06\n"), std::string::npos) << info.out;
}

TEST_F(StageCommands, BadPeriodOrOptionChangesNothing) {
  const std::string p = file("p.kvp");
  ASSERT_EQ(kvcli("gen " + p + " --activities 20 --relations 20").status, 0);
  ASSERT_EQ(kvcli("schedule " + p).status, 0);
  const std::string saved = readFile(p);
  CliRun run = kvcli("next-stage " + p + " --from 00-02-30 --to 00-03-31");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "날짜 형식이 올바르지 않습니다. (--from)\n");
  run = kvcli("next-stage " + p + " --from 00-03-01 --to 00-02-28");
  EXPECT_EQ(run.out, "날짜 형식이 올바르지 않습니다. (--to)\n");
  EXPECT_EQ(kvcli("baseline " + p + " --percent 101").status, 1);
  EXPECT_EQ(kvcli("derive " + p + " --option nothing").status, 1);
  EXPECT_EQ(kvcli("derive " + p + " --option progress --activity NOSUCH").status, 1);
  EXPECT_EQ(kvcli("derive " + p).status, 1);
  EXPECT_EQ(readFile(p), saved);

  // The closed stage stays in its own file; the next one goes on in another.
  const std::string next = file("next.kvp");
  run = kvcli("next-stage " + p + " --from 00-01-03 --to 00-01-28 --save-as " + next);
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(run.out,
            "계획 단계 -> 진행 1단계: 기간 00-01-03 ~ 00-01-28, 기준일 00-01-31\n"
            "계획 일정 설정: 20개 작업\n");
  EXPECT_EQ(readFile(p), saved);
  const CliRun info = kvcli("info " + next);
  EXPECT_NE(info.out.find("stage: 1\n"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("data-date: 00-01-31\n"), std::string::npos) << info.out;
}

// A project with both classifications loaded from CSV: the derived values
// and the rewrite from the map as a user sees them in the dumps.
TEST_F(StageCommands, DeriveAndRewriteOnAClassifiedProject) {
  const std::string p = file("p.kvp");
  ASSERT_EQ(kvcli("new " + p + " --start 23-03-06 --data-date 23-03-06").status, 0);
  ASSERT_EQ(kvcli("classes " + p + " work 1 2").status, 0);
  ASSERT_EQ(kvcli("classes " + p + " facility 1 2").status, 0);
  const struct {
    const char *table, *csv;
  } rows[] = {
      {"wbs", "CODE,TITLE,CQ,DQ\nA,struct,0,0\nA01,con,10,2\n"},
      {"obs", "CODE,TITLE\n1,east\n101,F1\n102,F2\n103,F3\n"},
      {"act",
       "CODE,TITLE,DU,W_CODE,O_CODE,CU\nX1,x1,5,A01,101,1\nX2,x2,5,A01,102,1\n"
       "X3,x3,5,A01,103,1\nFREE,free,3,,,0\n"},
      {"rel", "P_CODE,S_CODE\nX1,X2\nFREE,X1\n"},
      {"res", "CODE\nL01\n"},
      {"opr", "A_CODE,R_CODE,QTY\nX1,L01,2.4\nFREE,L01,1\n"},
  };
  for (const auto& r : rows) {
    writeFile(file("in.csv"), r.csv);
    ASSERT_EQ(kvcli(std::string("load ") + p + " " + r.table + " " + file("in.csv")).status, 0)
        << r.table;
  }
  CliRun run = kvcli("derive " + p + " --option spread-quantities --option contract-weights");
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(run.out.rfind("수량 3, 소요일수 0 (거부 0), 단가 0, 계약 보할 4, 실행 보할 0\n", 0), 0u)
      << run.out;
  run = kvcli("rewrite-codes " + p);
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(run.out, "작업코드 3개, 작업명 3개 재작성\n");
  EXPECT_EQ(kvcli("check " + p).out, "ok\n");

  const std::string acts = kvcli("dump " + p + " act").out;
  // Quantity decimals 3: 10 over three equal durations.
  EXPECT_NE(acts.find("\nA01101,east F1 con,5,"), std::string::npos) << acts;
  EXPECT_NE(acts.find(",3.334,1,0,0,33.34,"), std::string::npos) << acts;
  EXPECT_NE(acts.find(",3.333,1,0,0,33.33,"), std::string::npos) << acts;
  EXPECT_NE(acts.find("\nFREE,free,3,"), std::string::npos) << acts;
  EXPECT_EQ(kvcli("dump " + p + " rel").out,
            "P_CODE,S_CODE,TYPE,LAG,PATH\nA01101,A01102,FS,0,0\nFREE,A01101,FS,0,0\n");
  EXPECT_EQ(kvcli("dump " + p + " opr").out,
            "A_CODE,R_CODE,QTY,AQ\nA01101,L01,2.400,0.000\nFREE,L01,1.000,0.000\n");
}

}  // namespace
