#include "batch_run.h"

#include <QDir>
#include <cstdio>

#include "deploy_messages.h"
#include "deploy_start.h"
#include "desktop_entries.h"
#include "install_list.h"
#include "install_session.h"

namespace deploy {

namespace {

void say(const QString& text) {
  std::fprintf(stderr, "xDeploy: %s\n", text.toLocal8Bit().constData());
}

class BatchQuestions : public InstallQuestions {
 public:
  explicit BatchQuestions(bool overwrite) : overwrite_(overwrite) {}
  bool overwrite(const QString&) override { return overwrite_; }
  bool waitForDisk(const QString& disk, const std::function<bool()>& present) override {
    if (present()) return true;
    say(messageText(kMsgInsertDisk) + QStringLiteral(" (") + disk + QLatin1Char(')'));
    return false;
  }
  void progress(const QString&, int) override {}
  void notice(int message) override { say(messageText(message)); }

 private:
  bool overwrite_;
};

int refuse(int message) {
  say(messageText(message));
  return 2;
}

}  // namespace

int runBatch(Places places, const BatchOptions& options) {
  Script script;
  if (int m = loadScript(places.mediaDir, true, &script)) return refuse(m);
  if (script.hasSelection) {
    const Script selection = script;
    if (int m = loadChosenSystem(selection, options.system, &places, &script)) return refuse(m);
  }
  const QString typed =
      options.target.isEmpty()
          ? defaultTarget(script.app.iniPath, script.app.appName, QDir::homePath())
          : options.target;
  QStringList made;
  if (int m = prepareTarget(script.app, typed, &places, &made)) return refuse(m);
  BatchQuestions questions(options.overwrite);
  InstallSession session(script, places, questions);
  session.addCreatedFolders(made);
  while (session.step()) {
  }
  say(messageText(session.outcome()));
  return session.outcome() == kMsgComplete ? 0 : 1;
}

int runRemove(Places places, const QString& target) {
  places.target = asFolder(QDir::cleanPath(target));
  InstallList list;
  if (!list.load(InstallList::pathIn(places.target))) {
    say(QStringLiteral("%1에 설치 목록(Setup.lst)이 없습니다.").arg(places.target));
    return 1;
  }
  const int failures = removeInstalled(list, places);
  refreshDesktopDatabases(places);
  return failures == 0 ? 0 : 1;
}

}  // namespace deploy
