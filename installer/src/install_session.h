// One installation, advanced one step at a time from the message loop's idle
// turns: folders, then one [Files] line or one archive member per step, and
// at the end the settings values and menu entries of a complete install.
#ifndef DEPLOY_INSTALL_SESSION_H_
#define DEPLOY_INSTALL_SESSION_H_

#include <QString>
#include <functional>

#include "codec_binding.h"
#include "deploy_paths.h"
#include "install_list.h"
#include "setup_script.h"

namespace deploy {

// What the session asks of the person installing (or of a batch run).
class InstallQuestions {
 public:
  virtual ~InstallQuestions() = default;
  // Message 18 for `fileName`: true to overwrite.
  virtual bool overwrite(const QString& fileName) = 0;
  // Disk `disk` is needed; `present` tells whether its check file is there
  // now. Returns true once it is, false when the person gives up.
  virtual bool waitForDisk(const QString& disk, const std::function<bool()>& present) = 0;
  // The file being installed and the percentage done (0-100).
  virtual void progress(const QString& fileName, int percent) = 0;
  // A message that stops the installation (16: damaged media).
  virtual void notice(int message) = 0;
};

class InstallSession {
 public:
  enum State { kStart = 0, kFiles = 1, kMembers = 2, kAborted = 99, kDone = 100 };

  // `places.target` must exist (the folder dialog makes it). The session
  // keeps references to all three arguments.
  InstallSession(const Script& script, const Places& places, InstallQuestions& questions);
  ~InstallSession();

  // Runs one step. Returns false once the installation has ended; finish()
  // has then run.
  bool step();
  // Stops after the current step (the person answered Yes to message 23).
  void cancel() { cancelled_ = true; }

  State state() const { return state_; }
  // Message 21 when complete, 22 otherwise; valid once step() returned false.
  int outcome() const { return outcome_; }
  int filesDone() const { return done_; }
  int filesFailed() const { return failed_; }
  const InstallList& installed() const { return list_; }
  // Folders created by the folder dialog, to be listed with the rest.
  void addCreatedFolders(const QStringList& folders) { list_.folders += folders; }

 private:
  void begin();
  void nextLine();
  void nextMember();
  void installPlain(const FilesEntry& entry);
  void openArchive(const FilesEntry& entry);
  void closeArchive();
  // Applies the overwrite rule to an existing destination: true to write.
  // A file kept by the rule or by the person's No counts as installed.
  bool mayWrite(const QString& destination, char rule, const QString& shownName);
  void report(const QString& shownName);
  void abort(int message);
  void finish();

  const Script& script_;
  const Places& places_;
  InstallQuestions& questions_;
  CodecBinding codec_;
  State state_ = kStart;
  size_t line_ = 0;
  int archive_ = -1;
  QString memberFolder_;
  char memberRule_ = '?';
  const XApHeader* member_ = nullptr;
  int done_ = 0;
  int failed_ = 0;
  bool cancelled_ = false;
  int outcome_ = 0;
  InstallList list_;
};

}  // namespace deploy

#endif  // DEPLOY_INSTALL_SESSION_H_
