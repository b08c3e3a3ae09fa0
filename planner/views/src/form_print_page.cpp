#include "kelvo/form_print_page.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "kelvo/base_view.h"
#include "kelvo/cp949_validator.h"
#include "kelvo/plan_doc.h"
#include "kelvo/strings.h"
#include "kelvo/text_fields.h"

namespace kelvo {

namespace {

constexpr int kStrDataFormatSheet = 552;  // "자료 형식"
constexpr int kPageTextSize = 80;         // header and footer texts, NUL included
constexpr int kDefaultLegendWidth = 600;  // when the legend is switched on

}  // namespace

CFormPrintPage::CFormPrintPage(const PrintRecord& record, PrintFormParts parts, PrintRecord* target,
                               const LabelTemplateHooks* paperLabels, QWidget* parent)
    : CPropertyPage(QStringLiteral("인쇄 형식"), parent), record_(record), target_(target) {
  PrintFormat& f = record_.gantt.common;
  auto* outer = new QVBoxLayout(this);

  auto* marginBox = new QGroupBox(QStringLiteral("인쇄 여백(0.1mm)"), this);
  auto* margins = new QHBoxLayout(marginBox);
  const char* marginNames[4] = {"marginTop", "marginBottom", "marginLeft", "marginRight"};
  const int16_t marginValues[4] = {f.marginTop, f.marginBottom, f.marginLeft, f.marginRight};
  const char* marginCaptions[4] = {"위:", "아래:", "왼쪽:", "오른쪽:"};
  for (int i = 0; i < 4; ++i) {
    margins->addWidget(new QLabel(QString::fromUtf8(marginCaptions[i]), marginBox));
    margins_[i] = number(marginNames[i], marginValues[i], 0);
    margins->addWidget(margins_[i]);
  }
  outer->addWidget(marginBox);

  // Header and footer: a height and two texts, each with its font and colour.
  const auto pageTexts = [&](const QString& caption, const char* prefix, int16_t height,
                             QSpinBox** heightBox, char(*texts)[kPageTextSize], LOGFONT* fonts,
                             uint32_t* colours, QLineEdit** edits) {
    auto* box = new QGroupBox(caption, this);
    auto* grid = new QGridLayout(box);
    grid->addWidget(new QLabel(QStringLiteral("높이:"), box), 0, 0);
    *heightBox = number(QByteArray(prefix).append("Height").constData(), height, 0);
    grid->addWidget(*heightBox, 0, 1);
    for (int i = 0; i < 2; ++i) {
      edits[i] =
          text(QByteArray(prefix).append("Text").append(char('1' + i)).constData(), texts[i]);
      grid->addWidget(edits[i], i + 1, 0, 1, 2);
      grid->addWidget(fontField(this, QStringLiteral("글꼴..."), &fonts[i], &colours[i],
                                QString::fromLatin1(prefix) + QStringLiteral("Font%1").arg(i + 1)),
                      i + 1, 2);
    }
    outer->addWidget(box);
  };
  pageTexts(QStringLiteral("머리글"), "header", f.headerHeight, &headerHeight_, f.headerText,
            f.headerFont, f.headerColor, headerText_);
  pageTexts(QStringLiteral("바닥글"), "footer", f.footerHeight, &footerHeight_, f.footerText,
            f.footerFont, f.footerColor, footerText_);

  auto* looks = new QHBoxLayout;
  QPushButton* frame = colourButton(this, QStringLiteral("외곽선 색깔..."), &f.frameColor);
  frame->setObjectName(QStringLiteral("frameColour"));
  looks->addWidget(frame);
  if (parts.legend) {
    legendShown_ = new QCheckBox(QStringLiteral("범례 표시"), this);
    legendShown_->setObjectName(QStringLiteral("legendShown"));
    legendShown_->setChecked(f.legendWidth > 0);
    legendWidth_ =
        number("legendWidth", f.legendWidth > 0 ? f.legendWidth : kDefaultLegendWidth, 1);
    legendWidth_->setEnabled(f.legendWidth > 0);
    connect(legendShown_, &QCheckBox::toggled, legendWidth_, &QWidget::setEnabled);
    QWidget* font = fontField(this, QStringLiteral("범례..."), &record_.gantt.legendFont,
                              &record_.gantt.legendColor, QStringLiteral("legendFont"));
    looks->addWidget(legendShown_);
    looks->addWidget(new QLabel(QStringLiteral("폭:"), this));
    looks->addWidget(legendWidth_);
    looks->addWidget(font);
  }
  looks->addStretch();
  outer->addLayout(looks);

  auto* checks = new QHBoxLayout;
  if (parts.rowColumn)
    checks->addWidget(flag(QStringLiteral("경로 인쇄"), "printRows", printflag::kRowColumn));
  if (parts.scale)
    checks->addWidget(flag(QStringLiteral("기간 인쇄"), "printScale", printflag::kRepeatScale));
  if (parts.ganttOnly)
    checks->addWidget(flag(QStringLiteral("간트만 인쇄"), "ganttOnly", printflag::kGanttOnly));
  checks->addStretch();
  outer->addLayout(checks);

  if (paperLabels && paperLabels->describe && paperLabels->edit) {
    labels_ = *paperLabels;
    auto* grid = new QGridLayout;
    const char* captions[2] = {"연결선 위쪽:", "연결선 아래쪽:"};
    for (int i = 0; i < 2; ++i) {
      uint8_t* tmpl = i == 0 ? record_.upperLabel : record_.lowerLabel;
      templateText_[i] = new QLabel(this);
      templateText_[i]->setObjectName(QStringLiteral("paperLabel%1").arg(i));
      templateText_[i]->setFrameShape(QFrame::StyledPanel);
      auto* edit = new QPushButton(QStringLiteral("수정..."), this);
      edit->setObjectName(QStringLiteral("editPaperLabel%1").arg(i));
      connect(edit, &QPushButton::clicked, this, [this, tmpl] {
        if (labels_.edit(this, tmpl)) showTemplates();
      });
      grid->addWidget(new QLabel(QString::fromUtf8(captions[i]), this), i, 0);
      grid->addWidget(templateText_[i], i, 1);
      grid->addWidget(edit, i, 2);
    }
    grid->setColumnStretch(1, 1);
    outer->addLayout(grid);
    showTemplates();
  }
  outer->addStretch();
}

QSpinBox* CFormPrintPage::number(const char* name, int value, int minimum) {
  auto* box = new QSpinBox(this);
  box->setObjectName(QString::fromLatin1(name));
  box->setRange(minimum, 32767);
  box->setValue(value);
  return box;
}

QLineEdit* CFormPrintPage::text(const char* name, const char* field) {
  auto* edit = new QLineEdit(fieldText(field, kPageTextSize), this);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setValidator(new Cp949Validator(kPageTextSize - 1, edit));
  return edit;
}

QCheckBox* CFormPrintPage::flag(const QString& caption, const char* name, uint16_t bit) {
  auto* box = new QCheckBox(caption, this);
  box->setObjectName(QString::fromLatin1(name));
  box->setChecked(record_.gantt.common.flags & bit);
  flags_.emplace_back(box, bit);
  return box;
}

void CFormPrintPage::showTemplates() {
  templateText_[0]->setText(labels_.describe(record_.upperLabel));
  templateText_[1]->setText(labels_.describe(record_.lowerLabel));
}

bool CFormPrintPage::validate() {
  return checkNumberFields(this);
}

void CFormPrintPage::apply() {
  PrintFormat& f = record_.gantt.common;
  int16_t* margins[4] = {&f.marginTop, &f.marginBottom, &f.marginLeft, &f.marginRight};
  for (int i = 0; i < 4; ++i) *margins[i] = int16_t(margins_[i]->value());
  f.headerHeight = int16_t(headerHeight_->value());
  f.footerHeight = int16_t(footerHeight_->value());
  for (int i = 0; i < 2; ++i) {
    setFieldText(f.headerText[i], kPageTextSize, headerText_[i]->text());
    setFieldText(f.footerText[i], kPageTextSize, footerText_[i]->text());
  }
  if (legendShown_) f.legendWidth = int16_t(legendShown_->isChecked() ? legendWidth_->value() : 0);
  for (const auto& [box, bit] : flags_)
    f.flags = uint16_t(box->isChecked() ? f.flags | bit : f.flags & ~bit);
  *target_ = record_;
}

// --- The view's "자료 형식" sheet ---------------------------------------------------

PrintFormParts CBaseView::printFormParts() const {
  PrintFormParts parts;
  parts.legend = printFormatSize() >= kGanttPrintFormatSize;
  parts.ganttOnly = printFormatSize() == kGanttPrintFormatSize;
  parts.rowColumn = printFormatSize() == kNetPrintFormatSize;
  return parts;
}

void CBaseView::addDataFormatPages(CPropertySheet* sheet, PrintRecord* record) {
  sheet->addPage(new CFormPrintPage(*record, printFormParts(), record));
}

bool CBaseView::dataFormatCommand() {
  PrintRecord record = readPrintRecord();
  CPropertySheet sheet(loadString(kStrDataFormatSheet), this);
  addDataFormatPages(&sheet, &record);
  if (sheet.exec() != QDialog::Accepted) return false;
  if (writePrintRecord(record)) doc_->setModified();
  return true;
}

}  // namespace kelvo
