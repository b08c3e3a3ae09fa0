// The installer's windows: the backdrop behind everything, the folder
// dialog, the modeless progress dialog, the disk-change dialog and the
// system selection dialog.
#ifndef DEPLOY_GUI_DEPLOY_WINDOWS_H_
#define DEPLOY_GUI_DEPLOY_WINDOWS_H_

#include <QDialog>
#include <QWidget>
#include <functional>

class QLabel;
class QLineEdit;
class QProgressBar;
class QButtonGroup;

namespace deploy {

// A window filling the screen in the desktop colour with the application's
// title written large, as set-up programs have always looked.
class BackdropWindow : public QWidget {
 public:
  explicit BackdropWindow(const QString& title);

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  QString title_;
};

// Asks for the target folder. `check` runs on OK with the typed folder and
// returns 0 to accept or a message number to show while the dialog stays.
class FolderDialog : public QDialog {
 public:
  FolderDialog(QWidget* parent, const QString& title, const QString& appName, const QString& folder,
               std::function<int(const QString&)> check);
  QString folder() const;
  void accept() override;

 private:
  QString appName_;
  QLineEdit* edit_;
  std::function<int(const QString&)> check_;
};

// Shows the target folder, the file being installed and the percentage.
// Cancel calls `onCancel`; the dialog itself stays until closed.
class ProgressDialog : public QDialog {
 public:
  ProgressDialog(QWidget* parent, const QString& title, const QString& target,
                 std::function<void()> onCancel);
  void show(const QString& fileName, int percent);
  void reject() override;

 private:
  QLabel* file_;
  QLabel* percent_;
  QProgressBar* bar_;
  std::function<void()> onCancel_;
};

// Asks for disk `disk` to be inserted.
class DiskDialog : public QDialog {
 public:
  DiskDialog(QWidget* parent, const QString& title, const QString& disk);
};

// Lets the person choose one of up to eight systems.
class SelectionDialog : public QDialog {
 public:
  SelectionDialog(QWidget* parent, const QString& title, const QStringList& names);
  // The chosen system, 1-based.
  int choice() const;

 private:
  QButtonGroup* group_;
};

// Qt's own buttons and dialogs (Yes/No, the folder browser) in Korean, as
// the rest of the installer. Once per process.
void installKoreanQtTexts();

// Beeps and shows message `id` with an exclamation icon.
void warn(QWidget* parent, const QString& title, int id);

}  // namespace deploy

#endif  // DEPLOY_GUI_DEPLOY_WINDOWS_H_
