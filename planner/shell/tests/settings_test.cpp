// Settings kept between runs: profile values, the option word, the first
// window, folders and the main window placement.
#include <QDir>

#include "kelvo/commands.h"
#include "kelvo/profile.h"
#include "kelvo/shell_settings.h"
#include "kelvo/strings.h"
#include "shell_fixture.h"

using namespace kelvo;
using kelvo_test::ShellTest;

class SettingsTest : public ShellTest {};

TEST_F(SettingsTest, ProfileReadsBackAndFallsBackOnMissingOrNonNumbers) {
  CProfile profile(path("k.ini"));
  EXPECT_EQ(profile.getInt("Settings", "Flags", 1536), 1536);
  EXPECT_TRUE(profile.writeInt("Settings", "Flags", 0x60F));
  EXPECT_TRUE(profile.writeString("Settings", "Bad", "abc"));
  EXPECT_TRUE(profile.writeString("Folders", "Project", "/x/y z/"));
  CProfile again(path("k.ini"));
  EXPECT_EQ(again.getInt("Settings", "Flags", 0), 0x60F);
  EXPECT_EQ(again.getInt("Settings", "Bad", 7), 7);
  EXPECT_EQ(again.getString("Folders", "Project"), "/x/y z/");
  EXPECT_EQ(again.getString("Folders", "Form", "dflt"), "dflt");
}

TEST_F(SettingsTest, IniViewOutsideTwoToFourIsTwo) {
  for (int stored : {0, 1, 5, -3, 99}) EXPECT_EQ(clampIniView(stored), 2) << stored;
  for (int stored : {2, 3, 4}) EXPECT_EQ(clampIniView(stored), stored);
  CProfile profile(path("v.ini"));
  profile.writeInt("Settings", "IniView", 5);
  EXPECT_EQ(loadShellSettings(profile).iniView, 2);
  profile.writeInt("Settings", "IniView", 4);
  EXPECT_EQ(loadShellSettings(profile).iniView, 4);
}

TEST_F(SettingsTest, FlagsDefaultAndUnknownBitsKept) {
  CProfile profile(path("f.ini"));
  EXPECT_EQ(loadShellSettings(profile).flags, 0x600);
  storeFlags(profile, 0xF00F);
  EXPECT_EQ(loadShellSettings(profile).flags, 0xF00F);
}

TEST_F(SettingsTest, FoldersGetTrailingSeparatorAndLoseBlanks) {
  EXPECT_EQ(normaliseFolder("  /home/a/projects  "), "/home/a/projects/");
  EXPECT_EQ(normaliseFolder("/home/a/"), "/home/a/");
  EXPECT_EQ(normaliseFolder("C:\\kelvo\\"), "C:\\kelvo\\");
  EXPECT_EQ(normaliseFolder("   "), "");
  EXPECT_EQ(normaliseFolder(""), "");
}

TEST_F(SettingsTest, UnreachableFolderIsResetAndLastFolderBecomesCurrent) {
  CProfile profile(path("d.ini"));
  QDir().mkpath(path("proj"));
  QDir().mkpath(path("temp"));
  profile.writeString("Folders", "Project", path("proj/"));
  profile.writeString("Folders", "Form", path("missing/"));
  profile.writeString("Folders", "Temp", path("temp/"));
  const ShellSettings s = loadShellSettings(profile);
  EXPECT_EQ(s.folders[kFolderProject], path("proj/"));
  EXPECT_EQ(s.folders[kFolderForm], defaultFolder(kFolderForm));
  EXPECT_EQ(profile.getString("Folders", "Form"), defaultFolder(kFolderForm));
  EXPECT_TRUE(s.folders[kFolderForm].endsWith("/JorSoft/Kelvo/Form/"));
  EXPECT_EQ(QDir::currentPath() + '/', path("temp/"));
  // The scratch folder is the user's alone.
  const QFileInfo temp(defaultFolder(kFolderTemp));
  EXPECT_EQ(temp.permissions() & (QFile::ReadGroup | QFile::ReadOther), 0);
}

TEST_F(SettingsTest, WindowPosNeedsTenNumbers) {
  EXPECT_FALSE(parseWindowPos(""));
  EXPECT_FALSE(parseWindowPos("0,1,-1,-1,-8,-8,10,20,810"));        // nine
  EXPECT_FALSE(parseWindowPos("0,1,-1,-1,-8,-8,10,20,810,x"));      // not a number
  EXPECT_FALSE(parseWindowPos("0,1,-1,-1,-8,-8,10,20,810,620,5"));  // eleven
  const auto p = parseWindowPos("2,3,-1,-1,-8,-8,10,20,810,620");
  ASSERT_TRUE(p);
  EXPECT_EQ(p->flags, 2u);
  EXPECT_EQ(p->showCmd, 3u);
  EXPECT_EQ(p->normal, QRect(10, 20, 800, 600));
  EXPECT_EQ(formatWindowPos(*p), "2,3,-1,-1,-8,-8,10,20,810,620");
}

TEST(StringTable, MessagesAndCaptionsByNumber) {
  EXPECT_STREQ(stringText(20002), "시스템 파일(Kelvo.ref)이 없습니다.");
  EXPECT_STREQ(stringText(20015), "비밀번호를 잘 못 입력했습니다.");
  EXPECT_STREQ(stringText(21006), "파일 형식이 올바르지 않습니다.");
  EXPECT_STREQ(stringText(57344), "Kelvo 2000");
  for (int id = 21000; id <= 21025; ++id) EXPECT_NE(stringText(id), nullptr) << id;
  for (int n = 0; n < 11; ++n) EXPECT_NE(stringText(496 + n), nullptr) << n;
  EXPECT_EQ(stringText(20001), nullptr);
  EXPECT_EQ(loadString(20001), "#20001");
  EXPECT_EQ(plainCommandText(loadString(40080)), "일정 분석");
  EXPECT_EQ(plainCommandText(loadString(40040)), "자료 시트");
}
