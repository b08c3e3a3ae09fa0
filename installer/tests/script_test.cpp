// Reading Setup.inf and resolving its paths.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "deploy_paths.h"
#include "setup_script.h"

namespace {

using deploy::parseScript;
using deploy::Script;

QByteArray cp949(const char* utf8) {
  // "설치" in CP949, for the texts below that need Korean bytes.
  QByteArray out(utf8);
  out.replace("{설치}", QByteArray("\xBC\xB3\xC4\xA1"));
  return out;
}

TEST(Script, RefusesMediaThatIsNotAScript) {
  // "AppName=" and 253 letters make a line of 261 bytes.
  const QByteArray longLine = "[Application]\nAppName=" + QByteArray(253, 'a') + "\n";
  const struct {
    const char* what;
    QByteArray text;
  } cases[] = {
      {"empty", ""},
      {"another first section", "[Files]\na b YY\n[Application]\nAppName=K\n"},
      {"text before any section", "AppName=K\n[Application]\n"},
      {"line over 260 bytes", longLine},
      {"not CP949", "[Application]\nAppName=K\nTitle=\xFF\xFF\n"},
      {"no AppName", "[Application]\nTitle=T\n"},
      {"AppName with a folder", "[Application]\nAppName=../K\n"},
      {"SysCount of 0", "[Selection]\nSysCount=0\n"},
  };
  for (const auto& c : cases) {
    Script s;
    EXPECT_FALSE(parseScript(c.text, true, &s)) << c.what;
  }
  Script s;
  EXPECT_FALSE(parseScript("[Selection]\nSysCount=1\n", false, &s)) << "a sub-script selects";
  EXPECT_TRUE(parseScript("[Application]\r\nAppName=" + QByteArray(252, 'a') + "\r\n", true, &s))
      << "260 bytes and a CR";
}

TEST(Script, ReadsSectionsAsAForwardReader) {
  Script s;
  ASSERT_TRUE(parseScript(cp949("  ; comment\r\n[Application]\r\nAppName = Kelvo 2000\r\n"
                                "Title={설치}\r\nFileCount=0\r\nSpaceNeeded=-5\r\n"
                                "[Files]\r\nKELVO.NUB . YY\r\nDisk=Disk 2\r\nCheckFile=D2.NUB\r\n"
                                "D2.NUB sub\\ NN\r\nlonely\r\n"
                                "[Folders]\r\nsamples\r\n"
                                "[PM Info]\r\nPMGroup=x,Kelvo\r\nKelvo=\xBC\xB3\xC4\xA1\r\n"
                                "[Oddity]\r\nignored=1\r\n"),
                          true, &s));
  EXPECT_EQ(s.app.appName, "Kelvo 2000");
  EXPECT_EQ(s.app.title, QString::fromUtf8("설치"));
  EXPECT_EQ(s.app.fileCount, 1);
  EXPECT_EQ(s.app.spaceNeededKb, 0);
  // [Folders] after [Files] comes too late: a forward reader has passed it.
  EXPECT_TRUE(s.folders.isEmpty());
  ASSERT_EQ(s.files.size(), 4u);
  EXPECT_TRUE(s.files[0].archive);
  EXPECT_EQ(s.files[0].overwrite, 'Y');
  EXPECT_TRUE(s.files[1].diskChange);
  EXPECT_EQ(s.files[1].disk, "Disk 2");
  EXPECT_EQ(s.files[1].checkFile, "D2.NUB");
  EXPECT_EQ(s.files[2].overwrite, 'N');
  EXPECT_FALSE(s.files[2].archive);
  EXPECT_TRUE(s.files[3].destination.isEmpty()) << "kept, to count as a failure";
  EXPECT_EQ(s.groupName, "Kelvo");
  ASSERT_EQ(s.items.size(), 1u);
  EXPECT_EQ(s.items[0].caption, QString::fromUtf8("설치"));
}

TEST(Script, SelectionAndRegistryLines) {
  Script s;
  ASSERT_TRUE(
      parseScript("[Selection]\nTitle=Pick\nSysCount=10\nSysName=1,One\n"
                  "SysName=9,Nine\nSysPath=2,two\\\n",
                  true, &s));
  EXPECT_EQ(s.selection.count, 8);
  EXPECT_EQ(s.selection.names[0], "One");
  EXPECT_EQ(s.selection.paths[0], "1/");
  EXPECT_EQ(s.selection.paths[1], "two\\");

  ASSERT_TRUE(
      parseScript("[Application]\nAppName=K\n[Registry]\n"
                  "\"Key With Blank\" Name \"a value\" S Y\n"
                  "Key Name \"unclosed S Y\n"
                  "Key \"\" v S Y\n"
                  "\"\" x y S D\n"
                  "Old x y S D\n",
                  true, &s));
  ASSERT_EQ(s.registry.size(), 2u);
  EXPECT_EQ(s.registry[0].key, "Key With Blank");
  EXPECT_EQ(s.registry[0].value, "a value");
  EXPECT_EQ(s.registry[0].flag, 'Y');
  EXPECT_EQ(s.registry[1].key, "Old");
  EXPECT_EQ(s.registry[1].flag, 'D');
}

TEST(Paths, ScriptPathsStayInsideTheirFolder) {
  QTemporaryDir dir;
  const QString base = dir.path() + "/base/";
  QDir().mkpath(base + "in");
  QDir().mkpath(dir.path() + "/outside");
  QFile::link(dir.path() + "/outside", base + "escape");
  QFile::link(base + "in", base + "inner");
  EXPECT_EQ(deploy::resolveInside(base, "in\\a.txt"), base + "in/a.txt");
  EXPECT_EQ(deploy::resolveInside(base, "inner/a.txt"), base + "inner/a.txt");
  for (const char* refused :
       {"", "/etc/passwd", "C:\\x", "../x", "in/../../x", "in\\..\\x", "escape/x", "escape"})
    EXPECT_TRUE(deploy::resolveInside(base, refused).isEmpty()) << refused;

  deploy::Places p;
  p.target = base;
  p.systemDir = dir.path() + "/sys/";
  EXPECT_EQ(deploy::resolveDestination(p, "W]fonts\\a"), p.systemDir + "fonts/a");
  EXPECT_EQ(deploy::resolveDestination(p, "."), base);
  EXPECT_TRUE(deploy::resolveDestination(p, "W]..\\x").isEmpty());
}

TEST(Paths, DefaultTarget) {
  const QString home = "/home/u";
  EXPECT_EQ(deploy::defaultTarget("", "Kelvo", home), "/home/u/Kelvo/");
  EXPECT_EQ(deploy::defaultTarget("/opt/kelvo", "Kelvo", home), "/opt/kelvo/");
  EXPECT_EQ(deploy::defaultTarget("C:\\KELVO\\2000", "Kelvo", home), "/home/u/KELVO/2000/");
  EXPECT_EQ(deploy::defaultTarget("apps/k", "Kelvo", home), "/home/u/apps/k/");
}

}  // namespace
