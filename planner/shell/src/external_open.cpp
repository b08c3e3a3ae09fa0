// Opening an external file (command 40114): a project built by a converter
// plug-in from a file of another system.
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <cstring>

#include "kelvo/kelvo_app.h"
#include "kelvo/plan_doc.h"
#include "kelvo/profile.h"
#include "kelvo/strings.h"
#include "kvconverters.h"
#include "main_frame.h"
#include "messages.h"
#include "xJorLib.h"

namespace kelvo {

static_assert(sizeof(XKvScheme) == 2 * sizeof(ClassDef), "the scheme is both definitions");

bool CKelvoApp::openExternal() {
  if (!closeProject()) return false;
  QSettings& settings = profile_->settings();
  const kvconv::Registrations regs = kvconv::readRegistrations(settings);
  if (regs.entries.empty()) {
    showMessage(frame_.get(), XKV_MSG_NONE_REGISTERED);
    return false;
  }
  // The registrations' filter is "title|*.ext|...||"; Qt wants "title (*.ext);;...".
  QStringList filters;
  for (const kvconv::Entry& e : regs.entries)
    filters << QStringLiteral("%1 (*.%2)")
                   .arg(QString::fromStdString(e.title), QString::fromStdString(e.extension));
  QString selected;
  const QString chosen = QFileDialog::getOpenFileName(
      frame_.get(), QString(), QString(), filters.join(QStringLiteral(";;")), &selected);
  if (chosen.isEmpty()) return false;
  std::string path = QFile::encodeName(chosen).toStdString();
  const std::string extension =
      kvconv::takeExtension(path, regs, int(filters.indexOf(selected)) + 1);
  return importProjectFile(path, extension);
}

bool CKelvoApp::importProjectFile(const std::string& path, const std::string& extension) {
  if (!closeProject()) return false;
  PrjInfo info{};
  ClassDef defs[2]{};
  std::unique_ptr<ProjectDb> db;
  XKvRequest request{};
  request.path = path.c_str();
  request.scheme = defs;
  request.info = &info;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const kvconv::Outcome outcome = kvconv::importProject(
      profile_->settings(), QFile::encodeName(options_.programFolder).toStdString(), extension,
      request, [&] {
        db = doc_->makeDatabase();
        request.database = db.get();
        return db != nullptr;
      });
  QApplication::restoreOverrideCursor();
  if (outcome.message != 0 || outcome.result == 0) {
    // Whatever the import opened goes with its working files.
    if (db) xCloseDB(db.get());
    for (int slot = 0; slot < 8; ++slot) xFreeWork(slot);
    if (outcome.message) showMessage(frame_.get(), outcome.message);
    return false;
  }
  // The imported project has no password: its block is scrambled as empty.
  std::memset(info.password, 0, sizeof info.password);
  xEncodePassword(info.password, info.code, 0);
  doc_->adoptProject(std::move(db), info, defs);
  projectOpened();
  return true;
}

}  // namespace kelvo
