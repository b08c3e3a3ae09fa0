// "집계자료 만들기": the registration of a summary (number, title, subject,
// order, composition of classification levels, options and period unit)
// and the build of it, or the rebuild of every registered summary. A build
// runs under a progress dialog with Cancel; a cancel, a refusal or a failure
// keeps the dialog open and the project as it was.
#ifndef KELVO_SUMMARY_BUILD_DIALOG_H_
#define KELVO_SUMMARY_BUILD_DIALOG_H_

#include <QDialog>
#include <vector>

#include "kelvo/progress_stages.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace kelvo {

class CPlanDoc;

class CSummaryBuildDlg : public QDialog {
  Q_OBJECT
 public:
  CSummaryBuildDlg(CPlanDoc* doc, QWidget* parent = nullptr);

  // The registration as the controls give it.
  SummaryRegistration registration() const;
  // Shows a registration in the controls.
  void showRegistration(const SummaryRegistration& registration);

  // Builds the registration shown; closes with OK when it was built.
  void accept() override;
  // "등록된 모든 집계자료 재계산".
  void rebuildAll();

  // Places the level chosen in the level list at the end of the
  // composition (append) or before the composition entry chosen (insert);
  // a refused entry is reported. Removes the chosen composition entry.
  void addLevel(bool insert);
  void removeEntry();

 private:
  void loadNumber(int number);
  // The registered summaries, "n. title", the one under the number chosen.
  void fillRegistered();
  void followSubject();
  void addEntry(int16_t entry, int at);
  QString entryName(int16_t entry) const;
  // After a build: the open summary recorded, modified, hint 10, closed.
  void built(int16_t current);

  CPlanDoc* doc_;
  QSpinBox* number_;
  QLineEdit* title_;
  QRadioButton* resourceSummary_;
  QRadioButton* resourceFirst_;
  QButtonGroup* subject_;
  QButtonGroup* order_;
  QListWidget* registered_;
  QListWidget* levels_;
  QListWidget* composition_;
  std::vector<QCheckBox*> options_;  // flag bits 4..12 in order
  QComboBox* period_;
  QPushButton* rebuildAll_;
};

}  // namespace kelvo

#endif  // KELVO_SUMMARY_BUILD_DIALOG_H_
