// External files through the converter plug-ins: opening one (command
// 40114) builds a new project from a file of another system, saving one
// (40115) writes the open project out.
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
#include "kelvo/messages.h"
#include "xJorLib.h"

namespace kelvo {

static_assert(sizeof(XKvScheme) == 2 * sizeof(ClassDef), "the scheme is both definitions");

namespace {

// Asks for an external file among the registered kinds: the path, with the
// extension of the chosen filter appended when none was typed, and that
// extension. Empty when there is no converter (message shown) or the user
// cancelled.
std::pair<std::string, std::string> chooseExternalFile(QWidget* parent, QSettings& settings,
                                                       bool forSaving) {
  const kvconv::Registrations regs = kvconv::readRegistrations(settings);
  if (regs.entries.empty()) {
    showMessage(parent, XKV_MSG_NONE_REGISTERED);
    return {};
  }
  // The registrations' filter is "title|*.ext|...||"; Qt wants "title (*.ext);;...".
  QStringList filters;
  for (const kvconv::Entry& e : regs.entries)
    filters << QStringLiteral("%1 (*.%2)")
                   .arg(QString::fromStdString(e.title), QString::fromStdString(e.extension));
  QString selected;
  const QString filter = filters.join(QStringLiteral(";;"));
  const QString chosen =
      forSaving ? QFileDialog::getSaveFileName(parent, QString(), QString(), filter, &selected)
                : QFileDialog::getOpenFileName(parent, QString(), QString(), filter, &selected);
  if (chosen.isEmpty()) return {};
  std::string path = QFile::encodeName(chosen).toStdString();
  const std::string extension =
      kvconv::takeExtension(path, regs, int(filters.indexOf(selected)) + 1);
  return {path, extension};
}

}  // namespace

bool CKelvoApp::openExternal() {
  if (!closeProject()) return false;
  const auto [path, extension] = chooseExternalFile(frame_.get(), profile_->settings(), false);
  return !path.empty() && importProjectFile(path, extension);
}

bool CKelvoApp::saveExternal() {
  if (!doc_->isOpen()) return false;
  const auto [path, extension] = chooseExternalFile(frame_.get(), profile_->settings(), true);
  return !path.empty() && exportProjectFile(path, extension);
}

bool CKelvoApp::exportProjectFile(const std::string& path, const std::string& extension) {
  if (!doc_->isOpen()) return false;
  doc_->prepareToWrite();
  ClassDef defs[2] = {doc_->classDef(kClassWorkType), doc_->classDef(kClassFacility)};
  XKvRequest request{};
  request.path = path.c_str();
  request.database = &doc_->db();
  request.scheme = defs;
  request.info = &doc_->info();
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const kvconv::Outcome outcome = kvconv::exportProject(
      profile_->settings(), QFile::encodeName(options_.programFolder).toStdString(), extension,
      request);
  QApplication::restoreOverrideCursor();
  if (outcome.message) showMessage(frame_.get(), outcome.message);
  return outcome.message == 0 && outcome.result != 0;
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
