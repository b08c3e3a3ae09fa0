// kvcli summary, dump FILE summary N and series on a small classified
// project: what each prints, what is saved and how bad requests end.
#include <string>

#include "kvcli_runner.h"

namespace {

class SummaryCommands : public ScratchTest {
 protected:
  void SetUp() override {
    ScratchTest::SetUp();
    p_ = file("p.kvp");
    ASSERT_EQ(kvcli("new " + p_ + " --start 23-03-06 --data-date 23-03-06").status, 0);
    ASSERT_EQ(kvcli("classes " + p_ + " work 1 2").status, 0);
    ASSERT_EQ(kvcli("classes " + p_ + " facility 2").status, 0);
    write("wbs.csv", "CODE,TITLE\nA,earth\nA01,dig\nA02,fill\n");
    write("obs.csv", "CODE,TITLE\nF1,one\nF2,two\n");
    write("act.csv",
          "CODE,TITLE,DU,W_CODE,O_CODE,QTY,CU\n"
          "X1,first,5,A01,F1,10,100\n"
          "X2,second,3,A02,F1,4,50\n"
          "X3,third,2,A01,F2,6,100\n");
    write("rel.csv", "P_CODE,S_CODE\nX1,X2\nX1,X3\n");
    for (const char* t : {"wbs", "obs", "act", "rel"}) {
      const CliRun run = kvcli("load " + p_ + " " + t + " " + file(t) + ".csv");
      ASSERT_EQ(run.status, 0) << t << run.out;
    }
    ASSERT_EQ(kvcli("schedule " + p_).status, 0);
  }
  void write(const std::string& name, const std::string& text) { writeFile(file(name), text); }

  std::string p_;
};

TEST_F(SummaryCommands, BuildDumpAndSeries) {
  ASSERT_EQ(kvcli("register-summary " + p_ +
                  " 1 --title t --compose 0,1 --option activities --option periods --period week")
                .status,
            0);
  CliRun run = kvcli("summary " + p_ + " 1 --quiet");
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(run.out, "집계 1: 7개 행\n");
  run = kvcli("dump " + p_ + " summary 1");
  ASSERT_EQ(run.status, 0) << run.out;
  // Header, A, A01, X1, X3, A02, X2 and the total row.
  size_t lines = 0;
  for (char c : run.out) lines += c == '\n';
  EXPECT_EQ(lines, 8u) << run.out;
  EXPECT_EQ(run.out.find("명칭,"), 0u) << run.out;
  EXPECT_NE(run.out.find("\n합 계,"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\nfirst,"), std::string::npos) << run.out;

  // Row 3 is X1: five calendar days from Monday 6 March, finishing on
  // Friday 10 March; its plan and its expected finish fall on the next
  // week boundary, Monday 13 (a new project's weeks start on Monday).
  run = kvcli("series " + p_ + " 1 3");
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(run.out.find("block,day,quantity,contract,"), 0u) << run.out;
  EXPECT_EQ(run.out.substr(run.out.find('\n') + 1),
            "0,23-03-13,10,1000,100,0,0,0\n2,23-03-13,10,1000,100,0,0,0\n");
  EXPECT_EQ(kvcli("check " + p_).out, "ok\n");
}

// A generated project with work types: 10 letters over 300 work types,
// each activity under its own, and the total row.
TEST_F(ScratchTest, GeneratedWorkTypesMakeASummaryWithWeeklySeries) {
  const std::string g = file("gen.kvp");
  ASSERT_EQ(kvcli("gen " + g + " --activities 700 --relations 900 --work-types").status, 0);
  EXPECT_EQ(kvcli("check " + g).out, "ok\n");
  ASSERT_EQ(kvcli("schedule " + g).status, 0);
  ASSERT_EQ(kvcli("register-summary " + g +
                  " 1 --title w --compose 0,1 --option activities --option periods --period week")
                .status,
            0);
  const CliRun run = kvcli("summary " + g + " 1 --quiet");
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(run.out, "집계 1: 1011개 행\n");
}

TEST_F(SummaryCommands, BadRequestsEndWithAMessage) {
  CliRun run = kvcli("summary " + p_ + " 5 --quiet");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("등록된 집계자료가 없거나 파일을 만들 수 없습니다."), std::string::npos)
      << run.out;
  run = kvcli("summary " + p_ + " --all --quiet");
  EXPECT_EQ(run.status, 3);
  EXPECT_EQ(kvcli("summary " + p_ + " 49").status, 1);
  EXPECT_NE(kvcli("dump " + p_ + " summary 2").status, 0);
  EXPECT_NE(kvcli("series " + p_ + " 1 1").status, 0);
  ASSERT_EQ(kvcli("register-summary " + p_ + " 2 --title t --compose 0").status, 0);
  ASSERT_EQ(kvcli("summary " + p_ + " --all --quiet").status, 0);
  // Summaries without period series have none to show.
  run = kvcli("series " + p_ + " 2 1");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("자료를 찾을 수 없거나 기간 자료가 없습니다."), std::string::npos)
      << run.out;
}

TEST_F(SummaryCommands, RegistrationKeepsToTheProjectsLevelsAndItsOwnFile) {
  ASSERT_EQ(kvcli("register-summary " + p_ + " 1 --title old --compose 0").status, 0);
  ASSERT_EQ(kvcli("summary " + p_ + " 1 --quiet").status, 0);
  const std::string built = kvcli("dump " + p_ + " summary 1").out;
  // Work type has levels 0 and 1, facility level 0 only.
  for (const char* compose : {"0,2", "0,11", "0,15"}) {
    const CliRun run =
        kvcli("register-summary " + p_ + " 1 --title new --replace --compose " + compose);
    EXPECT_EQ(run.status, 1) << compose;
    EXPECT_NE(run.out.find("분류체계에 없는 분류단계입니다."), std::string::npos) << run.out;
  }
  EXPECT_EQ(kvcli("dump " + p_ + " summary 1").out, built);
  // Replaced, the summary built under the old registration is gone rather
  // than shown under the new title until a build succeeds.
  ASSERT_EQ(kvcli("register-summary " + p_ + " 1 --title new --replace --compose 1").status, 0);
  EXPECT_EQ(kvcli("dump " + p_ + " summary 1").status, 1);
  ASSERT_EQ(kvcli("summary " + p_ + " 1 --quiet").status, 0);
  EXPECT_NE(kvcli("dump " + p_ + " summary 1").out, built);
}

}  // namespace
