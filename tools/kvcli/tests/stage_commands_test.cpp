// kvcli's processing commands on saved projects: what each prints, what it
// stores, and that the store's integrity check stays clean afterwards.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

struct Output {
  int status;
  std::string out;  // standard output and standard error together
};

Output kvcli(const std::string& args) {
  const std::string command = std::string(KELVO_BIN_DIR) + "/kvcli " + args + " 2>&1";
  Output run{-1, ""};
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class StageCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/kvcli_stage_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string file(const char* name) const { return (dir_ / name).string(); }

  std::filesystem::path dir_;
};

TEST_F(StageCommands, RegisterSummaryStoresTheRecordAndRefusesBadCompositions) {
  const std::string p = file("p.kvp");
  ASSERT_EQ(kvcli("new " + p).status, 0);
  Output run =
      kvcli("register-summary " + p +
            " 2 --title '공종별' --compose 0,1,10 --option activities --option '이정표 제외'"
            " --period week");
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(run.out, "집계 2 등록: 3개 구성 항목, 선택 0x491\n");
  const std::string saved = readFile(p);

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
  EXPECT_EQ(readFile(p), saved);

  run = kvcli("register-summary " + p + " 2 --title y --compose 10 --replace");
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(kvcli("check " + p).out, "ok\n");
}

}  // namespace
