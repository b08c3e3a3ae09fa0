#include "next_stage_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "kelvo/dialog_buttons.h"
#include "kelvo/messages.h"
#include "kelvo/plan_doc.h"
#include "kelvo/progress_stages.h"
#include "kelvo/project_stages.h"
#include "kelvo/strings.h"
#include "kelvo/text_fields.h"

namespace kelvo {

CNextStageDlg::CNextStageDlg(const PrjInfo& info, QWidget* parent) : QDialog(parent), info_(info) {
  setWindowTitle(loadString(1082));
  const QString tilde = loadString(108205);
  auto* grid = new QGridLayout;
  auto shown = [&](int row, int caption, const QString& text, const char* name) {
    grid->addWidget(new QLabel(loadString(caption), this), row, 0);
    auto* label = new QLabel(text, this);
    label->setObjectName(QLatin1String(name));
    grid->addWidget(label, row, 1, 1, 3);
  };
  shown(0, 108201, stageText(int{info.stage}), "currentStage");
  shown(1, 108202,
        info.periodStart || info.periodFinish
            ? dateText(info.periodStart) + QStringLiteral(" ") + tilde + QStringLiteral(" ") +
                  dateText(info.periodFinish)
            : QString(),
        "currentPeriod");
  shown(2, 108203, stageText(info.stage + 1), "nextStage");
  grid->addWidget(new QLabel(loadString(108204), this), 3, 0);
  startEdit_ = new QLineEdit(dateText(info.dataDate), this);
  startEdit_->setObjectName(QStringLiteral("periodStart"));
  finishEdit_ = new QLineEdit(this);
  finishEdit_->setObjectName(QStringLiteral("periodFinish"));
  grid->addWidget(startEdit_, 3, 1);
  grid->addWidget(new QLabel(tilde, this), 3, 2);
  grid->addWidget(finishEdit_, 3, 3);
  newFile_ = new QCheckBox(loadString(108206), this);
  newFile_->setObjectName(QStringLiteral("newFile"));
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(newFile_);
  layout->addWidget(okCancelButtons(this));
}

bool CNextStageDlg::newFile() const {
  return newFile_->isChecked();
}

void CNextStageDlg::accept() {
  uint16_t from = 0, to = 0;
  // A text that is no date counts as no date; the stage closing's own check
  // then names the field.
  if (!parseDateText(startEdit_->text(), &from)) from = 0;
  if (!parseDateText(finishEdit_->text(), &to)) to = 0;
  PrjInfo trial = info_;
  const int checked = closeProjectStage(&trial, from, to);
  if (checked != kStageClosed) {
    showMessage(this, kStrMsgBadDate);
    QLineEdit* wrong = checked == kStageBadStart ? startEdit_ : finishEdit_;
    wrong->setFocus();
    wrong->selectAll();
    return;
  }
  start_ = from;
  finish_ = to;
  QDialog::accept();
}

}  // namespace kelvo
