// "일정 분석": asks for the data date, runs the schedule analysis on the
// open project and shows its counters, phase captions and progress. The
// first OK runs the analysis, the second closes the dialog.
#ifndef KELVO_SCHEDULE_DIALOG_H_
#define KELVO_SCHEDULE_DIALOG_H_

#include <QDialog>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QWidget;

namespace kelvo {

class CPlanDoc;

class CScheduleDlg : public QDialog {
  Q_OBJECT
 public:
  CScheduleDlg(CPlanDoc* doc, QWidget* parent = nullptr);

  // 0 or the message number of the last run; -1 before any run.
  int result() const { return outcome_; }
  bool hasRun() const { return outcome_ >= 0; }

  void accept() override;

  // Counter labels: activities, relations, start, end, independent.
  QLabel* counter(int i) const { return counters_[i]; }
  QLabel* caption() const { return caption_; }

 private:
  void run(uint16_t dataDate);

  CPlanDoc* doc_;
  int outcome_ = -1;
  QLineEdit* date_;
  QLabel* counters_[5];
  QLabel* caption_;
  QProgressBar* progress_;
  QWidget* progressPart_;
  QPushButton* cancel_;
};

}  // namespace kelvo

#endif  // KELVO_SCHEDULE_DIALOG_H_
