// "계획(목표) 일정 설정": where in the float the planned schedule is placed
// (0 "빠른 일정" .. 100 "늦은일정"), whether activities under way or done are
// left out, and whether only the selected activities are visited.
#ifndef KELVO_TARGET_SCHEDULE_DIALOG_H_
#define KELVO_TARGET_SCHEDULE_DIALOG_H_

#include <QDialog>

class QCheckBox;
class QSlider;
class QSpinBox;

namespace kelvo {

struct TargetScheduleChoice {
  int percent = 50;
  bool excludeStarted = true;
  bool selectedOnly = false;
};

class CTargetScheduleDlg : public QDialog {
  Q_OBJECT
 public:
  // selectionAvailable enables "현재 선택된 자료만 적용"; at the closing of
  // the first stage the whole project is planned and it stays off.
  CTargetScheduleDlg(bool selectionAvailable, QWidget* parent = nullptr);

  TargetScheduleChoice choice() const;

 private:
  QSlider* slider_;
  QSpinBox* number_;
  QCheckBox* exclude_;
  QCheckBox* selected_;
};

}  // namespace kelvo

#endif  // KELVO_TARGET_SCHEDULE_DIALOG_H_
