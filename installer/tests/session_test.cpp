// Whole installations into scratch folders: counting, unpacking, settings,
// menu entries, damaged media and removal.
#include <sys/stat.h>

#include <QSettings>

#include "deploy_fixture.h"
#include "deploy_messages.h"
#include "desktop_entries.h"

namespace {

using deploy_test::DeployTest;
using deploy_test::filesUnder;
using deploy_test::readBytes;
using deploy_test::writeBytes;

int modeOf(const QString& path) {
  struct stat st;
  return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & 0777) : -1;
}

const QByteArray kElf = QByteArray(
                            "\x7F"
                            "ELF",
                            4) +
                        QByteArray(40, '\1');

TEST_F(DeployTest, ArchiveMembersCountOneEachAndCompleteTheInstall) {
  makeArchive("PROG.NUB", {{"prog", kElf}, {"run.sh", "#!/bin/sh\n"}, {"data.ref", "ref"}});
  writeBytes(places_.installerDir + "readme.txt", "hello");
  const int outcome = install(
      "[Application]\nAppName=Kelvo 2000\nFileCount=4\n"
      "[Folders]\nsamples\n"
      "[Files]\nPROG.NUB . YY\nreadme.txt doc/ NY\n"
      "[Registry]\nSettings Folder ./samples S Y\n"
      "[PM Info]\nPMGroup=x,Kelvo\nprog=Kelvo\ndoc/readme.txt=Read me\n");
  EXPECT_EQ(outcome, deploy::kMsgComplete);
  EXPECT_EQ(readBytes(places_.target + "prog"), kElf);
  EXPECT_EQ(modeOf(places_.target + "prog"), 0755);
  EXPECT_EQ(modeOf(places_.target + "run.sh"), 0755);
  EXPECT_EQ(modeOf(places_.target + "data.ref"), 0644);
  EXPECT_EQ(readBytes(places_.target + "doc/readme.txt"), "hello");
  EXPECT_TRUE(QFileInfo(places_.target + "samples").isDir());
  EXPECT_EQ(ui_.percents.last(), 100);
  // Neither Setup.inf nor the codec is copied; the list of what was made is kept.
  EXPECT_EQ(filesUnder(places_.target),
            (QStringList{"Setup.lst", "data.ref", "doc/readme.txt", "prog", "run.sh"}));
  QSettings settings(QSettings::IniFormat, QSettings::UserScope, "JorSoft", "Kelvo 2000");
  EXPECT_EQ(settings.value("Settings/Folder").toString(), places_.target + "samples");

  const QString entry = places_.dataHome + "applications/jorsoft-kelvo-2000-1.desktop";
  const QByteArray desktop = readBytes(entry);
  EXPECT_TRUE(desktop.contains("Type=Application\n")) << desktop.constData();
  EXPECT_TRUE(desktop.contains("Exec=\"" + QFile::encodeName(places_.target) + "prog\"\n"));
  EXPECT_TRUE(desktop.contains("Categories=X-JorSoft-kelvo-2000;\n"));
  EXPECT_TRUE(readBytes(places_.dataHome + "applications/jorsoft-kelvo-2000-2.desktop")
                  .contains("Type=Link\nURL=file://"));
  EXPECT_TRUE(readBytes(places_.configHome + "menus/applications-merged/jorsoft-kelvo-2000.menu")
                  .contains("<Category>X-JorSoft-kelvo-2000</Category>"));

  // Removal takes back everything it made and nothing else.
  writeBytes(places_.target + "samples/mine.kvp", "user's own");
  EXPECT_EQ(deploy::removeInstalled(installed_, places_), 0);
  EXPECT_EQ(filesUnder(places_.target), QStringList{"samples/mine.kvp"});
  EXPECT_TRUE(filesUnder(places_.dataHome).isEmpty());
  EXPECT_TRUE(filesUnder(places_.configHome + "menus").isEmpty());
}

TEST_F(DeployTest, CountingDecidesBetweenCompleteAndIncomplete) {
  makeArchive("A.NUB", {{"one", "1"}, {"two", "2"}, {"three", "3"}});
  const QByteArray tail = "[Files]\nA.NUB . YY\n[Registry]\nS Done 1 I Y\n[PM Info]\nPMGroup=,K\n";
  EXPECT_EQ(install("[Application]\nAppName=K\nFileCount=4\n" + tail), deploy::kMsgIncomplete);
  EXPECT_EQ(done_, 3);
  // One fewer than FileCount: neither settings nor menus.
  EXPECT_TRUE(filesUnder(places_.configHome).isEmpty());
  EXPECT_TRUE(filesUnder(places_.dataHome).isEmpty());

  // A reinstall with rule 'N' keeps the files and still counts them; so
  // does the person's No to message 18.
  writeBytes(places_.target + "one", "mine");
  EXPECT_EQ(install("[Application]\nAppName=K\nFileCount=3\n[Files]\nA.NUB . YN\n"),
            deploy::kMsgComplete);
  EXPECT_EQ(readBytes(places_.target + "one"), "mine");
  EXPECT_EQ(install("[Application]\nAppName=K\nFileCount=3\n[Files]\nA.NUB . Y?\n"),
            deploy::kMsgComplete);
  EXPECT_EQ(ui_.asked, (QStringList{"one", "two", "three"}));
  EXPECT_EQ(readBytes(places_.target + "one"), "mine");
  ui_.overwriteAnswer = true;
  EXPECT_EQ(install("[Application]\nAppName=K\nFileCount=3\n[Files]\nA.NUB . Y?\n"),
            deploy::kMsgComplete);
  EXPECT_EQ(readBytes(places_.target + "one"), "1");
}

TEST_F(DeployTest, SettingsValuesKeepWhatTheUserHasUnlessForced) {
  {
    QSettings s(QSettings::IniFormat, QSettings::UserScope, "JorSoft", "K");
    s.setValue("Opt/Kept", 7);
    s.setValue("Opt/Forced", 7);
    s.setValue("Opt/Text", "mine");
    s.setValue("Opt/Garbage", "abc");
    s.setValue("Gone/x", 1);
  }
  writeBytes(places_.installerDir + "f", "f");
  EXPECT_EQ(install("[Application]\nAppName=K\n[Files]\nf . NY\n[Registry]\n"
                    "Opt Kept 9 I N\nOpt Forced 9 I Y\nOpt Text new S N\nOpt Garbage 5 I N\n"
                    "Opt New 12abc I N\nGone x y S D\n"),
            deploy::kMsgComplete);
  QSettings s(QSettings::IniFormat, QSettings::UserScope, "JorSoft", "K");
  EXPECT_EQ(s.value("Opt/Kept").toInt(), 7);
  EXPECT_EQ(s.value("Opt/Forced").toInt(), 9);
  EXPECT_EQ(s.value("Opt/Text").toString(), "mine");
  EXPECT_EQ(s.value("Opt/Garbage").toInt(), 5);
  EXPECT_EQ(s.value("Opt/New").toInt(), 12);
  EXPECT_FALSE(s.contains("Gone/x"));
}

TEST_F(DeployTest, WindowsFolderDestinationsLandInTheSystemFolder) {
  writeBytes(places_.installerDir + "font.ttf", "font");
  EXPECT_EQ(install("[Application]\nAppName=K\n[Files]\nfont.ttf W]fonts\\ NY\n"),
            deploy::kMsgComplete);
  EXPECT_EQ(readBytes(places_.systemDir + "fonts/font.ttf"), "font");
}

// Damaged media: refused with the messages of the installer, nothing written
// outside the target, nothing half-written under a final name.
TEST_F(DeployTest, DamagedMediaIsRefused) {
  makeArchive("A.NUB", {{"one", QByteArray(5000, 'x')}, {"two", QByteArray(5000, 'y')}});
  QByteArray whole = readBytes(places_.installerDir + "A.NUB");
  writeBytes(places_.installerDir + "A.NUB", whole.left(whole.size() - 7));  // cut
  writeBytes(places_.installerDir + "f", "f");
  const QByteArray app = "[Application]\nAppName=K\nFileCount=1\n";
  const QByteArray menus = "[Registry]\nS x 1 I Y\n[PM Info]\nPMGroup=,K\n";
  EXPECT_EQ(install(app + "[Files]\nA.NUB . YY\nf . NY\n" + menus), deploy::kMsgIncomplete);
  EXPECT_EQ(ui_.notices, QList<int>{deploy::kMsgBadDisk});
  EXPECT_EQ(filesUnder(places_.target), QStringList{"Setup.lst"}) << "stopped at the damage";

  // Paths leading out of the media or the target.
  QDir().mkpath(root_ + "elsewhere");
  for (const char* line : {"../secret . NY", "f ../../elsewhere/f NY", "/etc/hostname . NY",
                           "f W]..\\..\\elsewhere\\ NY"}) {
    writeBytes(root_ + "secret", "s");
    EXPECT_EQ(install(app + "[Files]\n" + line + "\n" + menus), deploy::kMsgIncomplete) << line;
  }
  // A disk that never comes.
  EXPECT_EQ(install(app + "[Files]\nDisk=Disk 2\nCheckFile=DISK2.TAG\nf . NY\n" + menus),
            deploy::kMsgIncomplete);
  EXPECT_EQ(ui_.disks, QStringList{"Disk 2"});

  EXPECT_EQ(filesUnder(places_.target), QStringList{"Setup.lst"});
  EXPECT_TRUE(filesUnder(root_ + "elsewhere").isEmpty());
  EXPECT_TRUE(filesUnder(places_.dataHome).isEmpty());
  EXPECT_TRUE(filesUnder(places_.configHome).isEmpty());
  EXPECT_TRUE(filesUnder(places_.systemDir).isEmpty());
}

TEST_F(DeployTest, CancelStopsAfterTheCurrentStep) {
  makeArchive("A.NUB", {{"one", "1"}, {"two", "2"}});
  writeBytes(places_.installerDir + "Setup.inf",
             "[Application]\nAppName=K\nFileCount=2\n[Files]\nA.NUB . YY\n");
  ASSERT_TRUE(deploy::readScript(places_.installerDir + "Setup.inf", true, &script_));
  deploy::InstallSession session(script_, places_, ui_);
  ASSERT_TRUE(session.step());  // folders
  ASSERT_TRUE(session.step());  // opens the archive
  ASSERT_TRUE(session.step());  // first member
  session.cancel();
  EXPECT_FALSE(session.step());
  EXPECT_EQ(session.outcome(), deploy::kMsgIncomplete);
  EXPECT_EQ(session.installed().files, QStringList{places_.target + "one"});
}

TEST_F(DeployTest, ProjectFilesOpenWithTheHandlerEntry) {
  writeBytes(places_.installerDir + "prog", kElf);
  writeBytes(places_.installerDir + "types.xml",
             "<?xml version=\"1.0\"?>\n<mime-info "
             "xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
             "  <mime-type type=\"application/x-test-project\"><glob pattern=\"*.tp\"/>"
             "</mime-type>\n</mime-info>\n");
  writeBytes(places_.installerDir + "icon.svg", "<svg/>");
  EXPECT_EQ(install("[Application]\nAppName=K\nFileCount=3\n[Files]\nprog \"a b$/\" NY\n"
                    "types.xml . NY\nicon.svg . NY\n"
                    "[PM Info]\na b$/prog=Prog\n"
                    "[MIME Info]\nPackage=types.xml\nHandler=a b$/prog\nIcon=icon.svg\n"),
            deploy::kMsgComplete);
  const QByteArray entry = readBytes(places_.dataHome + "applications/jorsoft-k-1.desktop");
  EXPECT_TRUE(entry.contains("MimeType=application/x-test-project;\n")) << entry.constData();
  EXPECT_TRUE(entry.contains("a b\\\\$/prog\" %f\n")) << entry.constData();
  EXPECT_TRUE(entry.contains("Icon=" + QFile::encodeName(places_.target) + "icon.svg\n"));
  EXPECT_EQ(readBytes(places_.dataHome + "mime/packages/jorsoft-k.xml"),
            readBytes(places_.target + "types.xml"));
}

}  // namespace
