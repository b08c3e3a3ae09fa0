#include "schedule_dialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "kelvo/dialog_buttons.h"
#include "kelvo/plan_doc.h"
#include "kelvo/project_schedule.h"
#include "kelvo/strings.h"
#include "kelvo/messages.h"
#include "kelvo/text_fields.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo {
namespace {

// Shows the analysis' progress in the dialog while it runs.
class DialogListener : public ScheduleListener {
 public:
  DialogListener(QLabel** counters, QLabel* caption, QProgressBar* bar)
      : counters_(counters), caption_(caption), bar_(bar) {}

  void progress(int, const char* caption, int32_t position, int32_t range) override {
    caption_->setText(QString::fromUtf8(caption));
    bar_->setRange(0, range > 0 ? range : 1);
    bar_->setValue(position);
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  }
  void counters(const ScheduleCounts& c) override {
    const int32_t values[5] = {c.activities, c.relations, c.startActivities, c.endActivities,
                               c.independentActivities};
    for (int i = 0; i < 5; ++i) counters_[i]->setNum(int(values[i]));
  }

 private:
  QLabel** counters_;
  QLabel* caption_;
  QProgressBar* bar_;
};

}  // namespace

CScheduleDlg::CScheduleDlg(CPlanDoc* doc, QWidget* parent) : QDialog(parent), doc_(doc) {
  setWindowTitle(loadString(1019));
  date_ = new QLineEdit(dateText(doc->info().dataDate), this);
  date_->setObjectName(QStringLiteral("dataDate"));
  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(loadString(101901), this), 0, 0);
  grid->addWidget(date_, 0, 1);

  progressPart_ = new QWidget(this);
  auto* part = new QGridLayout(progressPart_);
  part->setContentsMargins(0, 0, 0, 0);
  for (int i = 0; i < 5; ++i) {
    counters_[i] = new QLabel(QStringLiteral("0"), progressPart_);
    counters_[i]->setObjectName(QStringLiteral("counter%1").arg(i));
    counters_[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    counters_[i]->setMinimumWidth(60);
    part->addWidget(counters_[i], i, 0);
    part->addWidget(new QLabel(loadString(101902 + i), progressPart_), i, 1);
  }
  caption_ = new QLabel(progressPart_);
  caption_->setObjectName(QStringLiteral("caption"));
  progress_ = new QProgressBar(progressPart_);
  progress_->setObjectName(QStringLiteral("progress"));
  progress_->setValue(0);
  part->addWidget(caption_, 5, 0, 1, 2);
  part->addWidget(progress_, 6, 0, 1, 2);
  progressPart_->hide();

  auto* buttons = okCancelButtons(this);
  cancel_ = buttons->button(QDialogButtonBox::Cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(progressPart_);
  layout->addWidget(buttons);
}

void CScheduleDlg::accept() {
  if (hasRun()) {
    QDialog::accept();
    return;
  }
  uint16_t date = 0;
  if (!parseDateText(date_->text(), &date) || date == 0) {
    showMessage(this, kStrMsgBadDate);
    date_->setFocus();
    date_->selectAll();
    return;
  }
  run(date);
}

void CScheduleDlg::run(uint16_t dataDate) {
  doc_->info().dataDate = dataDate;
  doc_->updateAllViews(kAllViews, hint::kComputationBegins);
  progressPart_->show();
  date_->setEnabled(false);
  cancel_->setEnabled(false);
  adjustSize();
  DialogListener listener(counters_, caption_, progress_);
  const ScheduleOutcome out = scheduleProject(&doc_->db(), &doc_->info(), dataDate, &listener);
  outcome_ = out.result;
  if (out.result == kScheduleDone) {
    caption_->setText(loadString(kStrDone));
    const std::string warning = calendarRangeWarning(out.outsideCalendarRange);
    if (warning.empty()) {
      QApplication::beep();
    } else {
      showMessageText(this, QString::fromStdString(warning));  // beeps itself
    }
    return;
  }
  if (!out.caption.empty())
    caption_->setText(xjor::fromCp949(out.caption.data(), int(out.caption.size())));
  showMessage(this, out.result);
}

}  // namespace kelvo
