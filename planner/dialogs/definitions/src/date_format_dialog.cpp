#include "date_format_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

#include "kelvo/date_constants.h"
#include "kelvo/date_settings_scope.h"
#include "kelvo/dialog_buttons.h"
#include "kelvo/plan_doc.h"
#include "kelvo/report_items.h"
#include "kelvo/strings.h"
#include "kelvo/text_fields.h"

namespace kelvo {
namespace {

constexpr int kWeekdayCaption = 104203;  // "일" .. "토"

}  // namespace

CDateFormatDlg::CDateFormatDlg(CPlanDoc& doc, QWidget* parent)
    : QDialog(parent), doc_(doc), shownDelimiter_(xGetDateDelimiter()) {
  setWindowTitle(loadString(1046));
  form_ = new QComboBox(this);
  form_->setObjectName(QStringLiteral("form"));
  for (int f = 0; f < 8; ++f) form_->addItem(loadString(104608).arg(f));
  form_->setCurrentIndex(xGetDateForm());
  delimiter_ = new QLineEdit(QString(QChar::fromLatin1(shownDelimiter_)).remove(QChar(0)), this);
  delimiter_->setObjectName(QStringLiteral("delimiter"));
  delimiter_->setMaxLength(1);
  example_ = new QLabel(this);
  example_->setObjectName(QStringLiteral("example"));
  ordinal_ = new QCheckBox(loadString(104604), this);
  ordinal_->setObjectName(QStringLiteral("ordinal"));
  ordinal_->setChecked(xIsOrdinalTime());
  // With no base set, the project start is proposed.
  baseDay_ = xGetOrdinalBase() ? xGetOrdinalBase() : doc.info().start;
  base_ = new QLineEdit(this);
  base_->setObjectName(QStringLiteral("ordinalBase"));
  monthStart_ = new QSpinBox(this);
  monthStart_->setObjectName(QStringLiteral("monthStart"));
  monthStart_->setRange(1, 28);
  monthStart_->setValue(xGetStartDayOfM());
  weekStart_ = new QComboBox(this);
  weekStart_->setObjectName(QStringLiteral("weekStart"));
  for (int d = 0; d < 7; ++d) weekStart_->addItem(loadString(kWeekdayCaption + d));
  const int week = xGetStartDayOfW();
  weekStart_->setCurrentIndex(week >= 0 && week <= 6 ? week : 0);

  auto* form = new QFormLayout;
  form->addRow(loadString(104601), form_);
  form->addRow(loadString(104602), delimiter_);
  form->addRow(loadString(104603), example_);
  form->addRow(QString(), ordinal_);
  form->addRow(loadString(104605), base_);
  form->addRow(loadString(104606), monthStart_);
  form->addRow(loadString(104607), weekStart_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(okCancelButtons(this));

  connect(form_, &QComboBox::currentIndexChanged, this, [this] {
    showBase();
    showExample();
  });
  connect(delimiter_, &QLineEdit::textEdited, this, &CDateFormatDlg::takeDelimiter);
  connect(ordinal_, &QCheckBox::toggled, this, &CDateFormatDlg::showExample);
  connect(base_, &QLineEdit::editingFinished, this, [this] {
    readBase();
    showExample();
  });
  showBase();
  showExample();
}

char CDateFormatDlg::delimiter() const {
  return shownDelimiter_;
}

void CDateFormatDlg::takeDelimiter() {
  const QString text = delimiter_->text();
  const char c = text.isEmpty() ? 0 : text.at(0).toLatin1();
  if (text.size() > 1 || (!text.isEmpty() && text.at(0).unicode() > 0x7E) || !isDateDelimiter(c)) {
    QApplication::beep();
    delimiter_->setText(QString(QChar::fromLatin1(shownDelimiter_)).remove(QChar(0)));
    return;
  }
  shownDelimiter_ = c;
  showBase();
  showExample();
}

void CDateFormatDlg::useChosenForm() const {
  xSetDateForm(form_->currentIndex());
  xSetDateDelimiter(delimiter());
  xSetOrdinalTime(0);
}

void CDateFormatDlg::readBase() {
  DateSettingsScope scope;
  useChosenForm();
  if (!parseDateText(base_->text(), &baseDay_)) baseDay_ = 0;
}

void CDateFormatDlg::showBase() {
  DateSettingsScope scope;
  useChosenForm();
  base_->setText(dateText(baseDay_));
}

void CDateFormatDlg::showExample() {
  DateSettingsScope scope;
  useChosenForm();
  if (ordinal_->isChecked() && baseDay_) {
    xSetOrdinalBase(baseDay_);
    xSetOrdinalTime(1);
  }
  example_->setText(dateText(xGetToday()));
}

void CDateFormatDlg::keepDateConstants(const DateInfo& before, const DateInfo& after) {
  if (!dateTextChanges(before, after)) return;
  rewriteStoredDateConstants(&doc_.db(), before, after);
  // The report's formulas and conditions.
  ObjectTable objects(&doc_.db().objects);
  editReportTexts(objects, [&](ReportItem& item) {
    const std::string text = item.header.source == source::kFormula
                                 ? rewriteDateConstants(item.text, before, after)
                                 : item.text;
    const std::string condition = rewriteDateConstants(item.condition, before, after);
    if (text == item.text && condition == item.condition) return false;
    item.text = text;
    item.condition = condition;
    return true;
  });
}

void CDateFormatDlg::accept() {
  readBase();
  const uint16_t base = baseDay_;
  doc_.updateAllViews(kAllViews, hint::kComputationBegins);
  DateInfo before;
  xGetDateInfo(&before);
  xSetDateForm(form_->currentIndex());
  xSetDateDelimiter(delimiter());
  // An empty or invalid base switches ordinal display off.
  xSetOrdinalTime(ordinal_->isChecked() && base != 0);
  xSetStartDayOfMW(monthStart_->value(), weekStart_->currentIndex());
  if (base) xSetOrdinalBase(base);
  DateInfo after;
  xGetDateInfo(&after);
  keepDateConstants(before, after);
  doc_.setModified();
  doc_.updateAllViews(kAllViews, hint::kDatesChanged);
  QDialog::accept();
}

}  // namespace kelvo
