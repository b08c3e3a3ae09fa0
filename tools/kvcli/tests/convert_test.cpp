// kvcli register, converters, export and import: the registrations land in
// the user's settings file, and failures carry the converter messages.
#include <algorithm>
#include <filesystem>
#include <string>

#include "kvcli_runner.h"

namespace {

namespace fs = std::filesystem;

class KvcliConvert : public ScratchTest {
 protected:
  void SetUp() override {
    ScratchTest::SetUp();
    fs::create_directories(dir_ / "config");
    fs::create_directories(dir_ / "tmp");
  }

  // kvcli with a settings folder and a scratch folder of the test's own.
  CliRun kvcli(const std::string& args) const {
    return ::kvcli(args, isolatedEnvironment(dir_ / "config", dir_ / "tmp"));
  }
  fs::path settingsFile() const { return dir_ / "config" / "JorSoft" / "Kelvo 2000.ini"; }
};

TEST_F(KvcliConvert, RegistrationsAreKeptInTheUsersSettings) {
  CliRun run = kvcli("converters");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "");

  EXPECT_EQ(kvcli("register DBF 'dBASE III 파일' xKvDbf.so").status, 0);
  EXPECT_EQ(kvcli("register tst Test xKvTest.so --editor").status, 0);
  run = kvcli("converters");
  EXPECT_EQ(run.out, "dbf\tdBASE III 파일\txKvDbf.so\ntst\tTest\txKvTest.so\teditor\n");
  const std::string ini = readFile(settingsFile());
  for (const char* line : {"[Convert]", "Count=2", "Def=tst", "dbf=xKvDbf.so", "tst=xKvTest.so"})
    EXPECT_NE(ini.find(line), std::string::npos) << line << "\n" << ini;
  EXPECT_NE(ini.find("Ext1=\"tst,Test\""), std::string::npos) << ini;

  // A registered extension is edited in place and keeps its row.
  EXPECT_EQ(kvcli("register dbf dBASE xKvDbf2.so --editor").status, 0);
  EXPECT_EQ(kvcli("converters").out, "dbf\tdBASE\txKvDbf2.so\teditor\ntst\tTest\txKvTest.so\n");

  // Names that would break the "Ext%d" text or leave the programs' folder.
  for (const char* bad : {"'d,bf' T xKvDbf.so", "'.dbf' T xKvDbf.so", "'' T xKvDbf.so",
                          "dbf T ../xKvDbf.so", "dbf T ''", "dbf T xKvDbf.so --other"})
    EXPECT_EQ(kvcli(std::string("register ") + bad).status, 1) << bad;
  EXPECT_EQ(kvcli("converters").out, "dbf\tdBASE\txKvDbf2.so\teditor\ntst\tTest\txKvTest.so\n");
}

TEST_F(KvcliConvert, FailuresGiveTheConverterMessages) {
  const std::string p = file("p.kvp");
  ASSERT_EQ(kvcli("new " + p + " --start 24-03-04").status, 0);
  CliRun run = kvcli("export " + p + " " + file("out.dbf"));
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "등록된 변환 프로그램이 없습니다.\n");
  run = kvcli("import " + file("in.dbf") + " " + file("q.kvp"));
  EXPECT_EQ(run.out, "등록된 변환 프로그램이 없습니다.\n");

  ASSERT_EQ(kvcli("register dbf dBASE xKvDbf.so").status, 0);
  ASSERT_EQ(kvcli("register gone Missing xKvGone.so").status, 0);
  // Not registered, no extension at all, a library that is not there.
  for (const char* target : {"out.xyz", "out", "out.gone"}) {
    run = kvcli("export " + p + " " + file(target));
    EXPECT_EQ(run.status, 1) << target;
    EXPECT_EQ(run.out, "변환 프로그램을 찾을 수 없습니다.\n") << target;
  }
  // The converter fails: a set that is not there.
  // The converter names the file it could not read before the message.
  run = kvcli("import " + file("in.DBF") + " " + file("q.kvp"));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("in.DBF"), std::string::npos) << run.out;
  const std::string message =
      "변환 프로그램이나 외부 편집기 파일을 실행할 수 없습니다.\n"
      "또는 자료를 보내거나 읽어들일 수 있는 상태가 아닙니다.\n";
  EXPECT_EQ(run.out.substr(run.out.size() - std::min(run.out.size(), message.size())), message);
  EXPECT_FALSE(fs::exists(file("q.kvp")));
  EXPECT_TRUE(fs::is_empty(dir_ / "tmp"));

  // A converter registered for the project's own extension cannot write
  // over the project.
  ASSERT_EQ(kvcli("register kvp Self xKvDbf.so").status, 0);
  const std::string before = readFile(p);
  run = kvcli("export " + p + " " + p);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(readFile(p), before);

  // The extension is looked up in lower case.
  EXPECT_EQ(kvcli("export " + p + " " + file("OUT.DBF")).status, 0);
  EXPECT_TRUE(fs::exists(file("OUTAct.DBF")));
}

}  // namespace
