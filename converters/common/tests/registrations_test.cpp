// Registrations in the settings file, as the dialog writes and reads them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include "kvconverters.h"

namespace {

class Registry : public ::testing::Test {
 protected:
  Registry() : settings_(dir_.filePath("Kelvo 2000.conf"), QSettings::IniFormat) {}
  QTemporaryDir dir_;
  QSettings settings_;
};

TEST_F(Registry, WrittenSectionReadsBackWithItsKeys) {
  kvconv::Registrations regs;
  regs.entries = {{"dbf", "dBASE 파일", "xKvDbf.so"}, {"xlsx", "Excel, 통합 문서", "xKvXls.so"}};
  regs.editor = "xlsx";
  kvconv::writeRegistrations(settings_, regs);

  EXPECT_EQ(settings_.value("Convert/Count").toInt(), 2);
  EXPECT_EQ(settings_.value("Convert/Def").toString(), "xlsx");
  EXPECT_EQ(settings_.value("Convert/Ext1").toString(), "xlsx,Excel, 통합 문서");
  EXPECT_EQ(settings_.value("Convert/dbf").toString(), "xKvDbf.so");

  const kvconv::Registrations back = kvconv::readRegistrations(settings_);
  ASSERT_EQ(back.entries.size(), 2u);
  EXPECT_EQ(back.entries[1].title, "Excel, 통합 문서");  // everything after the first comma
  EXPECT_EQ(back.entries[1].file, "xKvXls.so");
  EXPECT_EQ(back.editor, "xlsx");
}

TEST_F(Registry, RewritingDropsEntriesNoLongerListed) {
  kvconv::writeRegistrations(settings_, {{{"dbf", "d", "xKvDbf.so"}, {"xls", "x", "a.so"}}, ""});
  kvconv::writeRegistrations(settings_, {{{"dbf", "d", "xKvDbf.so"}}, ""});
  EXPECT_FALSE(settings_.contains("Convert/xls"));
  EXPECT_FALSE(settings_.contains("Convert/Ext1"));
}

TEST_F(Registry, OddEntriesStillRead) {
  settings_.setValue("Convert/Count", 3);
  settings_.setValue("Convert/Ext0", "dbf");  // no comma: empty title
  settings_.setValue("Convert/dbf", "xKvDbf.so");
  settings_.setValue("Convert/Ext1", "txt,");
  const kvconv::Registrations regs = kvconv::readRegistrations(settings_);
  ASSERT_EQ(regs.entries.size(), 3u);  // Count beyond the Ext keys
  EXPECT_EQ(regs.entries[0].extension, "dbf");
  EXPECT_EQ(regs.entries[0].title, "");
  EXPECT_EQ(regs.entries[0].file, "xKvDbf.so");
  EXPECT_EQ(regs.entries[2].extension, "");
  EXPECT_EQ(regs.entries[2].title, "");
  EXPECT_EQ(regs.editor, "");
}

TEST_F(Registry, HandWrittenLinesReadAndSurviveARewrite) {
  // Unquoted values with commas, as a user types them into the file.
  {
    QFile f(settings_.fileName());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(
        "[Convert]\nCount=2\nDef=xlsx\nExt0=dbf,dBASE files\n"
        "Ext1=\"xlsx,Excel, \xED\x86\xB5\xED\x95\xA9\"\ndbf=xKvDbf.so\nxlsx=xKvXls.so\n");
  }
  QSettings settings(settings_.fileName(), QSettings::IniFormat);
  kvconv::Registrations regs = kvconv::readRegistrations(settings);
  ASSERT_EQ(regs.entries.size(), 2u);
  EXPECT_EQ(regs.entries[0].extension, "dbf");
  EXPECT_EQ(regs.entries[0].title, "dBASE files");
  EXPECT_EQ(regs.entries[0].file, "xKvDbf.so");
  EXPECT_EQ(regs.entries[1].title, "Excel, 통합");
  EXPECT_EQ(regs.entries[1].file, "xKvXls.so");
  // What a registration does next: both entries are still there after it.
  regs.entries.push_back({"csv", "CSV", "xKvCsv.so"});
  kvconv::writeRegistrations(settings, regs);
  const kvconv::Registrations back = kvconv::readRegistrations(settings);
  ASSERT_EQ(back.entries.size(), 3u);
  EXPECT_EQ(back.entries[0].file, "xKvDbf.so");
  EXPECT_EQ(back.entries[1].file, "xKvXls.so");
  EXPECT_EQ(back.editor, "xlsx");
}

TEST(FileDialog, FilterAndExtensionOfTheChosenEntry) {
  const kvconv::Registrations regs{{{"dbf", "dBASE", "a"}, {"XLSX", "Sheet", "b"}}, ""};
  EXPECT_EQ(kvconv::fileFilter(regs), "dBASE|*.dbf|Sheet|*.XLSX||");
  EXPECT_EQ(kvconv::fileFilter({}), "|");

  std::string path = "/home/u/out";
  EXPECT_EQ(kvconv::takeExtension(path, regs, 2), "xlsx");
  EXPECT_EQ(path, "/home/u/out.xlsx");
  path = "/home/u.v/out";  // a dot in a folder name is no extension
  EXPECT_EQ(kvconv::takeExtension(path, regs, 1), "dbf");
  EXPECT_EQ(path, "/home/u.v/out.dbf");
  path = "/home/u/Plan.DBF";
  EXPECT_EQ(kvconv::takeExtension(path, regs, 2), "dbf");
  EXPECT_EQ(path, "/home/u/Plan.DBF");
  path = "/home/u/out";
  EXPECT_EQ(kvconv::takeExtension(path, regs, 3), "");
  EXPECT_EQ(path, "/home/u/out");
}

}  // namespace
