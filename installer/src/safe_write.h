// Installed files never appear half-written under their final name: each is
// written to a temporary file beside it and renamed over it when complete.
#ifndef DEPLOY_SAFE_WRITE_H_
#define DEPLOY_SAFE_WRITE_H_

#include <QByteArray>
#include <QString>

namespace deploy {

// A temporary file beside a destination, created exclusively.
class PendingFile {
 public:
  // Creates the temporary file in the folder of `destination` (which must
  // exist). Check fd() >= 0 for success.
  explicit PendingFile(const QString& destination);
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;
  // Removes the temporary file unless commit() succeeded.
  ~PendingFile();

  int fd() const { return fd_; }
  // Closes the file, gives it mode 0755 when it starts like an ELF file or a
  // script ("#!") and 0644 otherwise, and renames it to the destination.
  // False (and the temporary file removed) on any failure.
  bool commit();

 private:
  QString destination_;
  QByteArray temp_;
  int fd_ = -1;
  bool done_ = false;
};

// Copies `source` to `destination` through a PendingFile.
bool copyFile(const QString& source, const QString& destination);

// Writes `bytes` to `destination` through a PendingFile, mode 0644.
bool writeFile(const QString& destination, const QByteArray& bytes);

// Creates `folder` and its missing parents with mode 0755. Appends each
// folder it made to `made` (outermost first) when `made` is given.
bool makeFolders(const QString& folder, QStringList* made = nullptr);

}  // namespace deploy

#endif  // DEPLOY_SAFE_WRITE_H_
