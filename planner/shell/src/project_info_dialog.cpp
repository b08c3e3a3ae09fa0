#include "project_info_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstring>

#include "kelvo/dialog_buttons.h"
#include "kelvo/plan_doc.h"
#include "kelvo/strings.h"
#include "kelvo/messages.h"
#include "kelvo/text_fields.h"
#include "xJorLib.h"

namespace kelvo {
namespace {

QLineEdit* textEdit(QWidget* parent, const char* name, const QString& text, int maxBytes) {
  auto* edit = new QLineEdit(text, parent);
  edit->setObjectName(QLatin1String(name));
  edit->setMaxLength(maxBytes);
  return edit;
}

QLineEdit* dateEdit(QWidget* parent, const char* name, uint16_t date) {
  auto* edit = new QLineEdit(dateText(date), parent);
  edit->setObjectName(QLatin1String(name));
  edit->setMaxLength(XJOR_DATE_TEXT_MAX - 1);
  edit->setFixedWidth(100);
  return edit;
}

}  // namespace

CProjectInfoDlg::CProjectInfoDlg(const PrjInfo& info, QWidget* parent)
    : QDialog(parent), info_(info) {
  setWindowTitle(loadString(1001));
  // The password is scrambled with the project code: keep it plain while the
  // code may change.
  std::memcpy(plainPassword_, info_.password, sizeof plainPassword_);
  if (plainPassword_[0] || std::memcmp(plainPassword_, "\0\0\0\0\0\0\0\0", 8) != 0)
    xEncodePassword(plainPassword_, info_.code, 1);

  code_ = textEdit(this, "code", fieldText(info.code, 11), 10);
  title_ = textEdit(this, "title", fieldText(info.title, 61), 60);
  company_ = textEdit(this, "company", fieldText(info.company, 41), 40);
  currency_ = textEdit(this, "currency", fieldText(info.currency, 7), 6);
  start_ = dateEdit(this, "start", info.start);
  finish_ = dateEdit(this, "finish", info.finish);
  periodStart_ = dateEdit(this, "periodStart", info.periodStart);
  periodFinish_ = dateEdit(this, "periodFinish", info.periodFinish);
  dataDate_ = dateEdit(this, "dataDate", info.dataDate);
  remark_ = textEdit(this, "remark", fieldText(info.remark, 41), 40);
  manager_ = textEdit(this, "manager", fieldText(info.manager, 11), 10);

  auto* grid = new QGridLayout;
  int row = 0;
  auto line = [&](int label, QWidget* a, QWidget* b = nullptr) {
    grid->addWidget(new QLabel(loadString(label), this), row, 0);
    if (!b) {
      grid->addWidget(a, row, 1, 1, 3);
    } else {
      grid->addWidget(a, row, 1);
      grid->addWidget(new QLabel(loadString(100112), this), row, 2, Qt::AlignCenter);
      grid->addWidget(b, row, 3);
    }
    ++row;
  };
  line(100101, code_);
  line(100102, title_);
  line(100110, manager_);
  line(100103, company_);
  line(100104, currency_);
  line(100105, start_, finish_);
  line(100106, periodStart_, periodFinish_);
  line(100107, dataDate_);
  auto* stage = new QLabel(stageText(info.stage), this);
  stage->setObjectName(QStringLiteral("stage"));
  line(100109, stage);
  line(100111, new QLabel(loadString(kStrPeriodUnit), this));
  line(100108, remark_);

  auto* buttons = okCancelButtons(this);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(buttons);
}

void CProjectInfoDlg::accept() {
  PrjInfo edited = info_;
  QLineEdit* dates[] = {start_, finish_, periodStart_, periodFinish_, dataDate_};
  uint16_t* fields[] = {&edited.start, &edited.finish, &edited.periodStart, &edited.periodFinish,
                        &edited.dataDate};
  for (int i = 0; i < 5; ++i) {
    if (!parseDateText(dates[i]->text(), fields[i])) {
      showMessage(this, kStrMsgBadDate);
      dates[i]->setFocus();
      dates[i]->selectAll();
      return;
    }
  }
  setFieldText(edited.code, sizeof edited.code, code_->text().trimmed());
  setFieldText(edited.title, sizeof edited.title, title_->text());
  setFieldText(edited.company, sizeof edited.company, company_->text());
  setFieldText(edited.currency, sizeof edited.currency, currency_->text());
  setFieldText(edited.remark, sizeof edited.remark, remark_->text());
  setFieldText(edited.manager, sizeof edited.manager, manager_->text());
  fillMissingDates(&edited, xGetToday());
  std::memcpy(edited.password, plainPassword_, sizeof edited.password);
  xEncodePassword(edited.password, edited.code, 0);
  info_ = edited;
  QDialog::accept();
}

}  // namespace kelvo
