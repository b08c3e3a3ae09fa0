#include "kelvo/opt_term_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "kelvo/messages.h"
#include "kelvo/strings.h"
#include "kelvo/text_fields.h"

namespace kelvo {
namespace {

constexpr int kSizeMax = 32767;

// Refuses the field: beep, the bad-date message, focus and selection on it.
bool refuse(QWidget* page, QLineEdit* field) {
  showMessage(page, kStrMsgBadDate);
  field->setFocus();
  field->selectAll();
  return false;
}

bool readSize(const QLineEdit* edit, int* value) {
  bool ok = false;
  *value = edit->text().trimmed().toInt(&ok);
  return ok && *value >= 1 && *value <= kSizeMax;
}

}  // namespace

QStringList dividerChoices() {
  return {QStringLiteral("없음"),   QStringLiteral("1 년"),   QStringLiteral("6 개월"),
          QStringLiteral("4 개월"), QStringLiteral("3 개월"), QStringLiteral("2 개월"),
          QStringLiteral("1 개월"), QStringLiteral("1 주"),   QStringLiteral("1 일")};
}

COptTermPage::COptTermPage(TimeScaleSettings* settings, QWidget* parent)
    : CPropertyPage(QStringLiteral("기간 표시"), parent),
      s_(settings),
      start_(new QLineEdit(this)),
      end_(new QLineEdit(this)),
      stepWidth_(new QLineEdit(this)),
      stepDays_(new QLineEdit(this)),
      rowHeight_(new QSpinBox(this)),
      divider_(new QComboBox(this)),
      calendar_(new QSpinBox(this)),
      dataDate_(new QCheckBox(QStringLiteral("현재 기준일 표시"), this)),
      dayLines_(new QCheckBox(QStringLiteral("일/주 단위 눈금줄 표시"), this)) {
  rowHeight_->setRange(1, kSizeMax);
  calendar_->setRange(0, 8);
  divider_->addItems(dividerChoices());

  auto* grid = new QGridLayout(this);
  int row = 0;
  auto* dates = new QHBoxLayout;
  dates->addWidget(start_);
  dates->addWidget(new QLabel(QStringLiteral("~"), this));
  dates->addWidget(end_);
  grid->addWidget(new QLabel(QStringLiteral("표시 기간 :"), this), row, 0);
  grid->addLayout(dates, row++, 1, 1, 2);
  auto* step = new QHBoxLayout;
  step->addWidget(stepWidth_);
  step->addWidget(new QLabel(QStringLiteral("0.1mm/"), this));
  step->addWidget(stepDays_);
  step->addWidget(new QLabel(QStringLiteral("일"), this));
  grid->addWidget(new QLabel(QStringLiteral("단위 눈금 :"), this), row, 0);
  grid->addLayout(step, row++, 1, 1, 2);
  grid->addWidget(new QLabel(QStringLiteral("1줄 높이 :"), this), row, 0);
  grid->addWidget(rowHeight_, row++, 1);
  grid->addWidget(new QLabel(QStringLiteral("구분선 :"), this), row, 0);
  grid->addWidget(divider_, row++, 1);
  grid->addWidget(new QLabel(QStringLiteral("휴일 달력번호 :"), this), row, 0);
  grid->addWidget(calendar_, row++, 1);
  grid->addWidget(dataDate_, row++, 0, 1, 2);
  grid->addWidget(dayLines_, row++, 0, 1, 2);

  // The buttons edit the working copy itself: Cancel drops it whole.
  auto* buttons = new QGridLayout;
  buttons->addWidget(fontField(this, QStringLiteral("글꼴..."), &s_->scaleFont, &s_->scaleTextColor,
                               QStringLiteral("scaleFont")),
                     0, 0);
  buttons->addWidget(colourButton(this, QStringLiteral("바탕색..."), &s_->scaleBackground), 0, 1);
  buttons->addWidget(colourButton(this, QStringLiteral("구분선 색깔..."), &s_->gridColor), 1, 0);
  buttons->addWidget(colourButton(this, QStringLiteral("현재 기준일 색깔..."), &s_->dataDateColor),
                     1, 1);
  buttons->addWidget(colourButton(this, QStringLiteral("휴일 색깔..."), &s_->shadingColor), 2, 0);
  grid->addLayout(buttons, row++, 0, 1, 3);
  grid->setRowStretch(row, 1);
  load();
}

void COptTermPage::load() {
  start_->setText(dateText(s_->startDate));
  end_->setText(dateText(s_->endDate));
  stepWidth_->setText(QString::number(s_->stepWidth));
  stepDays_->setText(QString::number(s_->stepDays));
  rowHeight_->setValue(s_->scaleRowHeight);
  divider_->setCurrentIndex(s_->divider >= 0 && s_->divider <= 8 ? s_->divider : 0);
  calendar_->setValue(s_->shadingCalendar);
  dataDate_->setChecked(s_->flags & scaleflag::kDataDateLine);
  dayLines_->setChecked(s_->flags & scaleflag::kThreeRows);
}

bool COptTermPage::validate() {
  uint16_t start = 0, end = 0;
  if (!parseDateText(start_->text(), &start)) return refuse(this, start_);
  if (!parseDateText(end_->text(), &end)) return refuse(this, end_);
  if (start != 0 && end != 0 && end < start) return refuse(this, end_);
  int value = 0;
  if (!readSize(stepWidth_, &value)) return refuse(this, stepWidth_);
  if (!readSize(stepDays_, &value)) return refuse(this, stepDays_);
  return true;
}

void COptTermPage::apply() {
  parseDateText(start_->text(), &s_->startDate);
  parseDateText(end_->text(), &s_->endDate);
  int value = 0;
  if (readSize(stepWidth_, &value)) s_->stepWidth = int16_t(value);
  if (readSize(stepDays_, &value)) s_->stepDays = int16_t(value);
  s_->scaleRowHeight = int16_t(rowHeight_->value());
  s_->divider = int16_t(divider_->currentIndex());
  s_->shadingCalendar = int16_t(calendar_->value());
  setFlagBit(&s_->flags, scaleflag::kDataDateLine, dataDate_->isChecked());
  setFlagBit(&s_->flags, scaleflag::kThreeRows, dayLines_->isChecked());
}

}  // namespace kelvo
