#include "band_page_parts.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDoubleValidator>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <cstring>

#include "band_paint.h"
#include "kelvo/text_fields.h"
#include "kelvo/value_sheet.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo {
namespace {

constexpr int kPreviewWidth = 60, kPreviewHeight = 14;

QLineEdit* numberEdit(QWidget* page) {
  auto* edit = new QLineEdit(page);
  auto* validator = new QDoubleValidator(edit);
  validator->setLocale(QLocale::c());
  edit->setValidator(validator);
  return edit;
}

// The line styles 0..4 drawn across their items.
QIcon lineStyleIcon(int style) {
  QPixmap pixmap(kPreviewWidth, kPreviewHeight);
  pixmap.fill(Qt::white);
  QPainter p(&pixmap);
  p.setPen(QPen(Qt::black, 1, seriesPenStyle(int16_t(style))));
  p.drawLine(2, kPreviewHeight / 2, kPreviewWidth - 3, kPreviewHeight / 2);
  return QIcon(pixmap);
}

// The hatches 0..5 filling their items.
QIcon hatchIcon(int hatch) {
  QPixmap pixmap(kPreviewWidth, kPreviewHeight);
  pixmap.fill(Qt::white);
  QPainter p(&pixmap);
  BandSeries s{};
  s.fill = int16_t(hatch);
  s.fillColor = xjor::colorToRef(Qt::black);
  p.fillRect(pixmap.rect(), seriesBrush(s, UnitMapper(96, 96)));
  p.setPen(Qt::black);
  p.drawRect(0, 0, kPreviewWidth - 1, kPreviewHeight - 1);
  return QIcon(pixmap);
}

QComboBox* previewCombo(QWidget* page, int count, QIcon (*icon)(int)) {
  auto* combo = new QComboBox(page);
  combo->setIconSize(QSize(kPreviewWidth, kPreviewHeight));
  for (int i = 0; i < count; ++i) combo->addItem(icon(i), QString());
  return combo;
}

void refuseField(QLineEdit* edit) {
  QApplication::beep();
  edit->setFocus();
  edit->selectAll();
}

}  // namespace

ValueSheetChooser valueSheetChooser(OptionFileRef* opt) {
  return [opt](QWidget* parent, int current) {
    QStringList items;
    std::vector<int> numbers;
    int at = 0;
    for (int n = 0; opt && n < kValueSheetCount; ++n) {
      ValueSheet sheet;
      if (!sheet.load(opt, n) || sheet.entries().empty()) continue;
      if (n == current) at = int(numbers.size());
      numbers.push_back(n);
      items << QStringLiteral("%1: %2").arg(n + 1).arg(
          xjor::fromCp949(sheet.title.data(), int(sheet.title.size())));
    }
    if (numbers.empty()) return -1;
    bool ok = false;
    const QString item =
        QInputDialog::getItem(parent, QStringLiteral("수치 시트 선택"),
                              QStringLiteral("수치 시트 :"), items, at, false, &ok);
    const int index = int(items.indexOf(item));
    return ok && index >= 0 ? numbers[size_t(index)] : -1;
  };
}

// --- AxisFields ----------------------------------------------------------------------

AxisFields::AxisFields(QWidget* page, QGridLayout* grid, int row, Target target)
    : QObject(page), t_(target), decimals_(new QSpinBox(page)), unit_(new QLineEdit(page)) {
  const char* captions[] = {"최소값 :", "최대값 :", "큰단위 눈금값 :", "작은단위 눈금값 :"};
  for (int i = 0; i < 4; ++i) {
    values_[i] = numberEdit(page);
    grid->addWidget(new QLabel(QString::fromUtf8(captions[i]), page), row + i / 2, (i % 2) * 2);
    grid->addWidget(values_[i], row + i / 2, (i % 2) * 2 + 1);
  }
  decimals_->setRange(0, 9);
  grid->addWidget(new QLabel(QStringLiteral("소수점 미만 자릿수 :"), page), row + 2, 0);
  grid->addWidget(decimals_, row + 2, 1);
  grid->addWidget(new QLabel(QStringLiteral("단위 :"), page), row + 2, 2);
  grid->addWidget(unit_, row + 2, 3);
  load();
}

void AxisFields::load() {
  const double* values[] = {t_.minimum, t_.maximum, t_.major, t_.minor};
  for (int i = 0; i < 4; ++i) values_[i]->setText(QString::number(*values[i], 'g', 15));
  decimals_->setValue(*t_.decimals);
  unit_->setText(fieldText(t_.unit, 16));
}

bool AxisFields::validate() {
  for (QLineEdit* edit : values_) {
    bool ok = false;
    edit->text().trimmed().toDouble(&ok);
    if (!ok) {
      refuseField(edit);
      return false;
    }
  }
  return true;
}

void AxisFields::apply() {
  double* values[] = {t_.minimum, t_.maximum, t_.major, t_.minor};
  for (int i = 0; i < 4; ++i) {
    bool ok = false;
    const double v = values_[i]->text().trimmed().toDouble(&ok);
    if (ok) *values[i] = v;
  }
  *t_.decimals = int16_t(decimals_->value());
  // At most 15 bytes, cut at a character boundary.
  setFieldText(t_.unit, 16, unit_->text());
}

// --- SeriesEditor --------------------------------------------------------------------

SeriesEditor::SeriesEditor(QWidget* page, QGridLayout* grid, int row, BandSeries* series,
                           int16_t* count, bool bars, ValueSheetChooser chooser)
    : QObject(page),
      series_(series),
      count_(count),
      chooser_(std::move(chooser)),
      buttons_(new QButtonGroup(this)),
      sheet_(new QLabel(page)),
      width_(new QSpinBox(page)) {
  auto* numbers = new QHBoxLayout;
  for (int i = 0; i < kBandSeriesMax; ++i) {
    auto* button = new QPushButton(QString::number(i + 1), page);
    button->setCheckable(true);
    buttons_->addButton(button, i);
    numbers->addWidget(button);
  }
  buttons_->button(0)->setChecked(true);
  connect(buttons_, &QButtonGroup::idClicked, this, &SeriesEditor::choose);
  grid->addLayout(numbers, row++, 0, 1, 4);

  auto* pick = new QPushButton(QStringLiteral("수치 시트 선택..."), page);
  auto* clear = new QPushButton(QStringLiteral("선택 해제"), page);
  connect(pick, &QPushButton::clicked, this, [this, page] {
    BandSeries& s = series_[chosen_];
    const int n = chooser_ ? chooser_(page, s.sheet) : -1;
    if (n < 0) return;
    s.sheet = int16_t(n);
    showSheet();
  });
  connect(clear, &QPushButton::clicked, this, [this] {
    series_[chosen_].sheet = -1;
    showSheet();
  });
  grid->addWidget(new QLabel(QStringLiteral("수치 시트 :"), page), row, 0);
  grid->addWidget(sheet_, row, 1);
  grid->addWidget(pick, row, 2);
  grid->addWidget(clear, row++, 3);

  width_->setRange(0, 32767);
  if (!bars) {
    lineStyle_ = previewCombo(page, 5, lineStyleIcon);
    grid->addWidget(new QLabel(QStringLiteral("선의 종류 :"), page), row, 0);
    grid->addWidget(lineStyle_, row++, 1);
  }
  grid->addWidget(new QLabel(bars ? QStringLiteral("선 굵기 :") : QStringLiteral("굵기 :"), page),
                  row, 0);
  grid->addWidget(width_, row, 1);
  auto* lineColour = new QPushButton(QStringLiteral("선 색깔..."), page);
  connect(lineColour, &QPushButton::clicked, this,
          [this, page] { xColorDlg(page, &series_[chosen_].lineColor); });
  grid->addWidget(lineColour, row++, 2);
  if (bars) {
    fillType_ = new QComboBox(page);
    fillType_->addItems({QStringLiteral("없음"), QStringLiteral("단색"), QStringLiteral("무늬")});
    fillPattern_ = previewCombo(page, 6, hatchIcon);
    connect(fillType_, &QComboBox::currentIndexChanged, this,
            [this](int type) { fillPattern_->setEnabled(type == 2); });
    auto* fillColour = new QPushButton(QStringLiteral("채움 색깔..."), page);
    connect(fillColour, &QPushButton::clicked, this,
            [this, page] { xColorDlg(page, &series_[chosen_].fillColor); });
    grid->addWidget(new QLabel(QStringLiteral("채움 유형:"), page), row, 0);
    grid->addWidget(fillType_, row, 1);
    grid->addWidget(fillColour, row++, 2);
    grid->addWidget(new QLabel(QStringLiteral("채움 형식:"), page), row, 0);
    grid->addWidget(fillPattern_, row++, 1);
  }
  load();
}

void SeriesEditor::showSheet() {
  const int16_t n = series_[chosen_].sheet;
  sheet_->setText(n >= 0 && n < kValueSheetCount ? QString::number(n + 1) : QString());
}

void SeriesEditor::load() {
  const BandSeries& s = series_[chosen_];
  showSheet();
  if (lineStyle_)
    lineStyle_->setCurrentIndex(s.lineStyle >= 0 && s.lineStyle <= 4 ? s.lineStyle : 0);
  width_->setValue(s.lineWidth);
  if (fillType_) {
    fillType_->setCurrentIndex(s.fill == -2 ? 0 : s.fill < 0 || s.fill > 5 ? 1 : 2);
    fillPattern_->setCurrentIndex(s.fill >= 0 && s.fill <= 5 ? s.fill : 0);
    fillPattern_->setEnabled(fillType_->currentIndex() == 2);
  }
}

void SeriesEditor::store() {
  BandSeries& s = series_[chosen_];
  if (lineStyle_) s.lineStyle = int16_t(lineStyle_->currentIndex());
  s.lineWidth = int16_t(width_->value());
  if (fillType_) {
    const int type = fillType_->currentIndex();
    s.fill = int16_t(type == 0 ? -2 : type == 1 ? -1 : fillPattern_->currentIndex());
  }
}

void SeriesEditor::choose(int index) {
  if (index < 0 || index >= kBandSeriesMax) return;
  store();
  chosen_ = index;
  buttons_->button(index)->setChecked(true);
  load();
}

void SeriesEditor::apply() {
  store();
  int16_t count = 0;
  for (int i = 0; i < kBandSeriesMax; ++i)
    if (series_[i].sheet >= 0) count = int16_t(i + 1);
  *count_ = count;
}

}  // namespace kelvo
