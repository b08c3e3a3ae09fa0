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

bool execOptionsDialog(QWidget* parent, ReportSettings* s) {
  QDialog d(parent);
  d.setWindowTitle(QStringLiteral("사용자 보고서"));
  auto* form = new QFormLayout;
  const std::pair<uint16_t, const char*> flags[] = {
      {reportflag::kBody, "본체 인쇄"},
      {reportflag::kCover, "겉표지 인쇄"},
      {reportflag::kNumberFromCover, "겉표지부터 번호 매김"},
      {reportflag::kOutline, "외곽선 표시"}};
  std::vector<std::pair<uint16_t, QCheckBox*>> boxes;
  for (auto [bit, caption] : flags) {
    auto* box = new QCheckBox(QString::fromUtf8(caption), &d);
    box->setChecked(s->flags & bit);
    form->addRow(box);
    boxes.push_back({bit, box});
  }
  QSpinBox* heights[band::kCount];
  for (int k = 0; k < band::kCount; ++k) {
    heights[k] = spin(&d, s->bandHeight[k], 9999);
    form->addRow(bandCaption(k), heights[k]);
  }
  auto* breakLevel = spin(&d, s->breakLevel, 9);
  auto* firstPage = spin(&d, s->firstPage, 9999);
  form->addRow(QStringLiteral("페이지 넘김 분류단계 :"), breakLevel);
  form->addRow(QStringLiteral("페이지 시작 번호 :"), firstPage);
  auto* layout = new QVBoxLayout(&d);
  layout->addLayout(form);
  layout->addWidget(okCancel(&d));
  if (d.exec() != QDialog::Accepted) return false;
  s->flags &= uint16_t(~0xF);
  for (auto [bit, box] : boxes)
    if (box->isChecked()) s->flags |= bit;
  for (int k = 0; k < band::kCount; ++k) s->bandHeight[k] = uint16_t(heights[k]->value());
  s->breakLevel = uint16_t(breakLevel->value());
  s->firstPage = uint16_t(firstPage->value());
  return true;
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
