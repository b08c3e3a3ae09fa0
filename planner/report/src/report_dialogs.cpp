#include "report_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <vector>

#include "kelvo/property_sheet.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo {
namespace {

ReportDialogs& hooks() {
  static ReportDialogs d;
  return d;
}

QSpinBox* spin(QWidget* parent, int value, int max = 0xFFFF) {
  auto* box = new QSpinBox(parent);
  box->setRange(0, max);
  box->setValue(value);
  return box;
}

QDialogButtonBox* okCancel(QDialog* dialog) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

bool execTextDialog(QWidget* parent, const QStringList& fields, ReportTextInput* input) {
  QDialog d(parent);
  d.setWindowTitle(QStringLiteral("문자 형식"));
  auto* form = new QFormLayout;
  auto* text = new QLineEdit(input->text, &d);
  text->setObjectName(QStringLiteral("text"));
  auto* item = new QComboBox(&d);
  item->setObjectName(QStringLiteral("item"));
  item->addItem(QString(), -1);
  for (int n = 0; n < sysitem::kCount; ++n) item->addItem(systemItemName(n), n);
  for (int i = 0; i < fields.size(); ++i) item->addItem(fields[i], kReportFieldChoice + i);
  // The related record's fields, marked apart from the summary's.
  for (int i = 0; i < input->relatedFields.size(); ++i)
    item->addItem(QStringLiteral("* ") + input->relatedFields[i], kReportRelatedChoice + i);
  item->setCurrentIndex(std::max(0, item->findData(input->item)));
  auto* formula = new QLineEdit(input->formula, &d);
  formula->setObjectName(QStringLiteral("formula"));
  auto* condition = new QLineEdit(input->condition, &d);
  condition->setObjectName(QStringLiteral("condition"));
  auto* decimals = spin(&d, input->decimals, 10);
  decimals->setObjectName(QStringLiteral("decimals"));
  // "항목삽입 :" and "부호삽입 :" put a field name or an operator into the
  // formula at the caret.
  auto* insertField = new QComboBox(&d);
  insertField->addItem(QString());
  insertField->addItems(fields);
  insertField->addItems(input->relatedFields);
  auto* insertSign = new QComboBox(&d);
  insertSign->addItems({QString(), "+", "-", "*", "/", "%", "(", ")", "=", "!=", "<", ">",
                        "<=", ">=", "&", "|", ":"});
  QObject::connect(insertField, &QComboBox::activated, &d, [=](int i) {
    if (i > 0) formula->insert(QStringLiteral("[%1]").arg(insertField->itemText(i)));
  });
  QObject::connect(insertSign, &QComboBox::activated, &d, [=](int i) {
    if (i > 0) formula->insert(insertSign->itemText(i));
  });
  form->addRow(QStringLiteral("문자 :"), text);
  form->addRow(QStringLiteral("항목 :"), item);
  form->addRow(QStringLiteral("수식 :"), formula);
  form->addRow(QStringLiteral("조건식 :"), condition);
  form->addRow(QStringLiteral("숫자일 때 소수점 미만 자릿수 :"), decimals);
  form->addRow(QStringLiteral("항목삽입 :"), insertField);
  form->addRow(QStringLiteral("부호삽입 :"), insertSign);
  LOGFONT font = input->font;
  auto* fontButton = new QPushButton(QStringLiteral("글꼴..."), &d);
  QObject::connect(fontButton, &QPushButton::clicked, &d, [&] {
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, xjor::fontFromLogFont(font), &d);
    if (ok) xjor::fontToLogFont(chosen, &font);
  });
  form->addRow(fontButton);
  QRadioButton* align[3] = {new QRadioButton(QStringLiteral("왼쪽 정렬"), &d),
                            new QRadioButton(QStringLiteral("오른쪽 정렬"), &d),
                            new QRadioButton(QStringLiteral("가운데 정렬"), &d)};
  align[std::clamp<int>(input->alignment, 0, 2)]->setChecked(true);
  auto* alignRow = new QHBoxLayout;
  for (auto* a : align) alignRow->addWidget(a);
  form->addRow(alignRow);
  auto* layout = new QVBoxLayout(&d);
  layout->addLayout(form);
  layout->addWidget(okCancel(&d));
  if (d.exec() != QDialog::Accepted) return false;
  input->text = text->text();
  input->item = item->currentData().toInt();
  input->formula = formula->text();
  input->condition = condition->text();
  input->decimals = decimals->value();
  input->font = font;
  for (int16_t i = 0; i < 3; ++i)
    if (align[i]->isChecked()) input->alignment = i;
  return true;
}

bool execPaperDialog(QWidget* parent, const ReportPaper& now, ReportPaper* next) {
  QDialog d(parent);
  d.setWindowTitle(QStringLiteral("보고서 확대/축소"));
  auto* grid = new QGridLayout;
  const QString rows[] = {QStringLiteral("용지 폭"),   QStringLiteral("용지 높이"),
                          QStringLiteral("위쪽 여백"), QStringLiteral("아래쪽 여백"),
                          QStringLiteral("왼쪽 여백"), QStringLiteral("오른쪽 여백")};
  int32_t ReportPaper::*const members[] = {&ReportPaper::width, &ReportPaper::height,
                                           &ReportPaper::top,   &ReportPaper::bottom,
                                           &ReportPaper::left,  &ReportPaper::right};
  grid->addWidget(new QLabel(QStringLiteral("현재 (0.1 mm)")), 0, 1);
  grid->addWidget(new QLabel(QStringLiteral("변경 (0.1 mm)")), 0, 2);
  QSpinBox* edits[6];
  for (int i = 0; i < 6; ++i) {
    grid->addWidget(new QLabel(rows[i], &d), i + 1, 0);
    grid->addWidget(new QLabel(QString::number(now.*members[i]), &d), i + 1, 1);
    edits[i] = spin(&d, next->*members[i]);
    grid->addWidget(edits[i], i + 1, 2);
  }
  auto* layout = new QVBoxLayout(&d);
  layout->addLayout(grid);
  layout->addWidget(okCancel(&d));
  if (d.exec() != QDialog::Accepted) return false;
  for (int i = 0; i < 6; ++i) next->*members[i] = edits[i]->value();
  return true;
}

// "사용자 보고서", the report's page of its "선택 사항" sheet: what prints,
// the band heights, page breaks and numbering, margins and outline colour.
class CRepOptPage : public CPropertyPage {
 public:
  CRepOptPage(ReportSettings* settings, QWidget* parent = nullptr)
      : CPropertyPage(QStringLiteral("사용자 보고서"), parent),
        s_(settings),
        outline_(settings->outlineColor) {
    setObjectName(QStringLiteral("reportOptions"));
    auto* form = new QFormLayout(this);
    const std::pair<uint16_t, const char*> flags[] = {
        {reportflag::kBody, "본체 인쇄"},
        {reportflag::kCover, "겉표지 인쇄"},
        {reportflag::kNumberFromCover, "겉표지부터 번호 매김"},
        {reportflag::kOutline, "외곽선 표시"}};
    for (auto [bit, caption] : flags) {
      auto* box = new QCheckBox(QString::fromUtf8(caption), this);
      box->setChecked(s_->flags & bit);
      form->addRow(box);
      boxes_.push_back({bit, box});
    }
    form->addRow(colourButton(this, QStringLiteral("외곽선 색..."), &outline_));
    for (int k = 0; k < band::kCount; ++k) {
      heights_[k] = spin(this, s_->bandHeight[k], 9999);
      form->addRow(bandCaption(k), heights_[k]);
    }
    breakLevel_ = spin(this, s_->breakLevel, 9);
    breakLevel_->setObjectName(QStringLiteral("breakLevel"));
    firstPage_ = spin(this, s_->firstPage, 9999);
    firstPage_->setObjectName(QStringLiteral("firstPage"));
    form->addRow(QStringLiteral("페이지 넘김 분류단계 :"), breakLevel_);
    form->addRow(QStringLiteral("페이지 시작 번호 :"), firstPage_);
    const char* margins[] = {"위쪽 여백", "아래쪽 여백", "왼쪽 여백", "오른쪽 여백"};
    for (int m = 0; m < 4; ++m) {
      margins_[m] = spin(this, *marginOf(s_, m), 9999);
      margins_[m]->setObjectName(QStringLiteral("margin%1").arg(m));
      form->addRow(QString::fromUtf8(margins[m]), margins_[m]);
    }
  }

  void apply() override {
    s_->flags &= uint16_t(~0xF);
    for (auto [bit, box] : boxes_)
      if (box->isChecked()) s_->flags |= bit;
    for (int k = 0; k < band::kCount; ++k) s_->bandHeight[k] = uint16_t(heights_[k]->value());
    s_->breakLevel = uint16_t(breakLevel_->value());
    s_->firstPage = uint16_t(firstPage_->value());
    for (int m = 0; m < 4; ++m) *marginOf(s_, m) = uint16_t(margins_[m]->value());
    s_->outlineColor = outline_;
  }

 private:
  static uint16_t* marginOf(ReportSettings* s, int m) {
    uint16_t* margins[] = {&s->marginTop, &s->marginBottom, &s->marginLeft, &s->marginRight};
    return margins[m];
  }

  ReportSettings* s_;
  COLORREF outline_;
  std::vector<std::pair<uint16_t, QCheckBox*>> boxes_;
  QSpinBox* heights_[band::kCount];
  QSpinBox* breakLevel_;
  QSpinBox* firstPage_;
  QSpinBox* margins_[4];
};

bool execOptionsDialog(QWidget* parent, ReportSettings* s) {
  CPropertySheet sheet(QStringLiteral("선택 사항"), parent);
  sheet.addPage(new CRepOptPage(s));
  return sheet.exec() == QDialog::Accepted;
}

}  // namespace

void setReportDialogs(ReportDialogs dialogs) {
  hooks() = std::move(dialogs);
}

bool runReportTextDialog(QWidget* parent, const QStringList& fields, ReportTextInput* input) {
  return hooks().text ? hooks().text(parent, fields, input) : execTextDialog(parent, fields, input);
}
bool runReportPaperDialog(QWidget* parent, const ReportPaper& now, ReportPaper* next) {
  return hooks().paper ? hooks().paper(parent, now, next) : execPaperDialog(parent, now, next);
}
bool runReportOptionsDialog(QWidget* parent, ReportSettings* settings) {
  return hooks().options ? hooks().options(parent, settings) : execOptionsDialog(parent, settings);
}

}  // namespace kelvo
