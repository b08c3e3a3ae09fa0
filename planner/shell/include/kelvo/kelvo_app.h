// The application: start-up (single instance, splash, settings, Kelvo.ref,
// the first project), the project commands of the shell, the document
// windows, and exit.
#ifndef KELVO_KELVO_APP_H_
#define KELVO_KELVO_APP_H_

#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>

#include "kelvo/commands.h"
#include "kelvo/shell_settings.h"
#include "xJorLib.h"

class QWidget;

namespace kelvo {

class CMainFrame;
class CPlanDoc;
class CProfile;

struct AppOptions {
  QString programFolder;  // empty: the running program's folder
  QString profilePath;    // empty: the user's settings file
  bool singleInstance = true;
  bool splash = true;
};

class CKelvoApp : public QObject, public CommandTarget {
  Q_OBJECT
 public:
  explicit CKelvoApp(AppOptions options = {}, QObject* parent = nullptr);
  ~CKelvoApp() override;

  // Runs the start-up steps with the command-line arguments (without the
  // program name). Returns false when the program should end at once
  // (another instance runs, or Kelvo.ref is missing).
  bool startup(const QStringList& args);
  // Stores the option word, closes the project and deletes temporary files.
  void shutdown();
  // Instead of startup: prints document window `window` (0..10) of the
  // project file `file` into the PDF `out` with the window's stored print
  // settings, without a main window or any question. Returns the exit
  // code: 0, or 1 after the system's message went to standard error.
  int printToPdf(int window, const QString& out, const QString& file);

  // Opening a project file by any route: information check, password,
  // closing the open project, reading. Returns true when it is open.
  bool openFile(const QString& path);
  // New project: information dialog, then a fresh project.
  bool newProject();
  // Closes the open project after offering to save it; false when the user
  // cancelled (the project stays open).
  bool closeProject();
  // Saves into path (the project's own when empty); reports failures.
  bool saveAs(const QString& path);
  // Builds a project from an external file through the converter
  // registered for extension, after closing the open project. On success
  // the new, unsaved project is open and modified; on failure the message
  // is shown and everything the import made is removed.
  bool importProjectFile(const std::string& path, const std::string& extension);
  // Writes the open project to an external file through the converter
  // registered for extension; a failure is shown. Nothing of the project
  // changes.
  bool exportProjectFile(const std::string& path, const std::string& extension);
  // Shows document window n (the document's checks first).
  bool requestWindow(int number);

  CMainFrame* mainFrame() const { return frame_.get(); }
  // The main window as a widget (the parent of the program's dialogs);
  // null before startup and after shutdown.
  QWidget* mainWindow() const;
  // Shows text in the main window's status bar (nothing without one).
  void showStatusText(const QString& text);
  // The kept choice of option-bar combo id (10500..10509), or fallback
  // when none was made yet or there is no main window.
  int optionBarChoice(int id, int fallback = 0) const;
  // Whether a choice of combo id is kept, and keeps one, shown on the bar's
  // combo without acting on it (nothing without a main window).
  bool hasOptionBarChoice(int id) const;
  void setOptionBarChoice(int id, int choice);
  // Called when the option bar switches the Gantt window's mode or lower
  // panes (10505..10507); null removes it.
  void setGanttChoiceChanged(std::function<void()> changed);
  CPlanDoc* document() const { return doc_.get(); }
  CommandRouter* router() const { return router_; }
  ShellSettings& settings() { return settings_; }
  CProfile& profile() { return *profile_; }
  const QStringList& recentFiles() const { return recent_; }
  const LOGFONT& defaultFont() const { return defaultFont_; }
  bool splashShowing() const { return splashFlag_ != 0; }

  bool onCommand(int id) override;
  bool updateCommand(int id, CommandState& state) override;

 private:
  bool offerSave();
  bool openExternal();
  bool saveExternal();
  bool openChosenProject();
  void projectOpened();
  // The kinds without a stored layout take the Form folder's Default files.
  void applyDefaultLayouts();
  void projectClosed();
  void addRecent(const QString& path);
  void refreshStatus();
  bool runDocumentCommand(int id);

  AppOptions options_;
  std::unique_ptr<CProfile> profile_;
  ShellSettings settings_;
  CommandRouter* router_;
  std::unique_ptr<CMainFrame> frame_;
  std::unique_ptr<CPlanDoc> doc_;
  QStringList recent_;
  LOGFONT defaultFont_{};
  int32_t refHandle_ = -1;
  int32_t splashFlag_ = 0;
};

}  // namespace kelvo

#endif  // KELVO_KELVO_APP_H_
