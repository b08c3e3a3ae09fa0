// "다음 단계로 진행": shows the current stage and period and the next stage,
// asks for the next period (start, by default the data date, and finish)
// and whether the next stage goes on in a new project file. OK checks the
// period as the stage closing will (message and focus on the wrong date).
#ifndef KELVO_NEXT_STAGE_DIALOG_H_
#define KELVO_NEXT_STAGE_DIALOG_H_

#include <QDialog>
#include <cstdint>

#include "xQdDb100.h"

class QCheckBox;
class QLineEdit;

namespace kelvo {

class CNextStageDlg : public QDialog {
  Q_OBJECT
 public:
  CNextStageDlg(const PrjInfo& info, QWidget* parent = nullptr);

  uint16_t periodStart() const { return start_; }
  uint16_t periodFinish() const { return finish_; }
  bool newFile() const;

  void accept() override;

 private:
  PrjInfo info_;
  QLineEdit* startEdit_;
  QLineEdit* finishEdit_;
  QCheckBox* newFile_;
  uint16_t start_ = 0, finish_ = 0;
};

}  // namespace kelvo

#endif  // KELVO_NEXT_STAGE_DIALOG_H_
