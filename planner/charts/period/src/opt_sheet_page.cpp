#include "kelvo/opt_sheet_page.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>

#include "kelvo/cp949_validator.h"
#include "kelvo/sheet_view.h"
#include "kelvo/text_fields.h"

namespace kelvo {
namespace {

const char* const kItemNames[] = {"수량",     "계약금액",   "계약진도율",
                                  "실행금액", "실행진도율", "투입금액"};
const char* const kSeriesNames[] = {"계획", "실적", "예상", "실적+예상"};
const char* const kPeriodNames[] = {"당기", "누계"};
// The width the row-number column gets when numbering is turned on again.
constexpr int kNumberWidth = 84;

QString nameOf(const char* const* names, int count, int index) {
  return index >= 0 && index < count ? QString::fromUtf8(names[index]) : QString::number(index);
}

QComboBox* combo(QWidget* parent, const char* const* names, int count) {
  auto* box = new QComboBox(parent);
  for (int i = 0; i < count; ++i) box->addItem(QString::fromUtf8(names[i]));
  return box;
}

QPushButton* pushButton(QWidget* parent, const char* caption, void (COptSheetPage::*act)(),
                        COptSheetPage* page) {
  auto* b = new QPushButton(QString::fromUtf8(caption), parent);
  QObject::connect(b, &QPushButton::clicked, page, act);
  return b;
}

}  // namespace

COptSheetPage::COptSheetPage(TimeScaleSettings* settings, PeriodSheetBlock* block,
                             std::vector<ValueItem>* items, bool resource, QWidget* parent)
    : CPropertyPage(QStringLiteral("도표"), parent),
      s_(settings),
      block_(block),
      target_(items),
      list_(new QTreeWidget(this)),
      item_(combo(this, kItemNames, resource ? 1 : 6)),
      series_(combo(this, kSeriesNames, 4)),
      period_(combo(this, kPeriodNames, 2)),
      rowTitle_(new QLineEdit(this)),
      rowHeight_(new QSpinBox(this)),
      titleWidth_(new QSpinBox(this)),
      sheetTitle_(new QLineEdit(this)),
      numbers_(new QCheckBox(QStringLiteral("번호 매김"), this)) {
  auto* grid = new QGridLayout(this);
  list_->setHeaderLabels({QStringLiteral("표시할 값"), QStringLiteral("종류"),
                          QStringLiteral("기간"), QStringLiteral("표시명")});
  list_->setRootIsDecorated(false);
  list_->header()->setStretchLastSection(true);
  grid->addWidget(list_, 0, 0, 1, 4);
  grid->addWidget(new QLabel(QStringLiteral("표시할 값"), this), 1, 0);
  grid->addWidget(new QLabel(QStringLiteral("종류"), this), 1, 1);
  grid->addWidget(new QLabel(QStringLiteral("기간"), this), 1, 2);
  grid->addWidget(new QLabel(QStringLiteral("표시명"), this), 1, 3);
  grid->addWidget(item_, 2, 0);
  grid->addWidget(series_, 2, 1);
  grid->addWidget(period_, 2, 2);
  rowTitle_->setValidator(new Cp949Validator(int(sizeof(ValueItem::title)) - 1, rowTitle_));
  grid->addWidget(rowTitle_, 2, 3);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(pushButton(this, "수정", &COptSheetPage::modifyRow, this));
  buttons->addWidget(pushButton(this, "첨가", &COptSheetPage::appendRow, this));
  buttons->addWidget(pushButton(this, "삽입", &COptSheetPage::insertRow, this));
  buttons->addWidget(pushButton(this, "삭제", &COptSheetPage::deleteRow, this));
  grid->addLayout(buttons, 3, 0, 1, 4);
  rowHeight_->setRange(1, 32767);
  titleWidth_->setRange(0, 32767);
  grid->addWidget(new QLabel(QStringLiteral("자료 높이 :"), this), 4, 0);
  grid->addWidget(rowHeight_, 4, 1);
  grid->addWidget(new QLabel(QStringLiteral("값 표시 제목 영역 폭 :"), this), 4, 2);
  grid->addWidget(titleWidth_, 4, 3);
  sheetTitle_->setValidator(
      new Cp949Validator(int(sizeof(PeriodSheetBlock::title)) - 1, sheetTitle_));
  grid->addWidget(new QLabel(QStringLiteral("제목 :"), this), 5, 0);
  grid->addWidget(sheetTitle_, 5, 1, 1, 3);
  grid->addWidget(numbers_, 6, 0);
  grid->addWidget(
      fontField(this, QStringLiteral("자료 글꼴..."), &s_->bodyFont, &s_->bodyTextColor), 6, 3);
  connect(list_, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* current) { showItem(list_->indexOfTopLevelItem(current)); });
  items_ = *target_;
  fillList();
  load();
}

void COptSheetPage::fillList() {
  const int current = list_->currentItem() ? list_->indexOfTopLevelItem(list_->currentItem()) : 0;
  list_->clear();
  for (const ValueItem& v : items_) {
    auto* row = new QTreeWidgetItem(list_);
    row->setText(0, nameOf(kItemNames, 6, v.item));
    row->setText(1, nameOf(kSeriesNames, 4, v.series));
    row->setText(2, nameOf(kPeriodNames, 2, v.cumulative ? 1 : 0));
    row->setText(3, fieldText(v.title, sizeof v.title));
  }
  if (!items_.empty())
    list_->setCurrentItem(list_->topLevelItem(std::min<int>(current, int(items_.size()) - 1)));
}

void COptSheetPage::showItem(int row) {
  if (row < 0 || row >= int(items_.size())) return;
  const ValueItem& v = items_[size_t(row)];
  item_->setCurrentIndex(std::clamp<int>(v.item, 0, item_->count() - 1));
  series_->setCurrentIndex(std::clamp<int>(v.series, 0, 3));
  period_->setCurrentIndex(v.cumulative ? 1 : 0);
  rowTitle_->setText(fieldText(v.title, sizeof v.title));
}

ValueItem COptSheetPage::editedItem() const {
  ValueItem v{};
  v.item = int16_t(item_->currentIndex());
  v.series = int16_t(series_->currentIndex());
  v.cumulative = int16_t(period_->currentIndex());
  setFieldText(v.title, sizeof v.title, rowTitle_->text());
  return v;
}

void COptSheetPage::modifyRow() {
  const int row = list_->indexOfTopLevelItem(list_->currentItem());
  if (row < 0) return QApplication::beep();
  items_[size_t(row)] = editedItem();
  fillList();
}

void COptSheetPage::appendRow() {
  if (int(items_.size()) >= kMaxValueItems) return QApplication::beep();
  items_.push_back(editedItem());
  fillList();
  list_->setCurrentItem(list_->topLevelItem(int(items_.size()) - 1));
}

void COptSheetPage::insertRow() {
  if (int(items_.size()) >= kMaxValueItems) return QApplication::beep();
  const int row = std::max(0, list_->indexOfTopLevelItem(list_->currentItem()));
  items_.insert(items_.begin() + row, editedItem());
  fillList();
  list_->setCurrentItem(list_->topLevelItem(row));
}

void COptSheetPage::deleteRow() {
  const int row = list_->indexOfTopLevelItem(list_->currentItem());
  if (row < 0) return QApplication::beep();
  items_.erase(items_.begin() + row);
  fillList();
}

void COptSheetPage::load() {
  rowHeight_->setValue(s_->rowHeight);
  titleWidth_->setValue(block_->baseWidth);
  sheetTitle_->setText(fieldText(block_->title, sizeof block_->title));
  numbers_->setChecked(s_->rowNumberWidth > 0);
}

bool COptSheetPage::validate() {
  if (!items_.empty()) return true;
  QApplication::beep();
  list_->setFocus();
  return false;
}

void COptSheetPage::apply() {
  *target_ = items_;
  s_->rowHeight = int16_t(rowHeight_->value());
  if (!numbers_->isChecked())
    s_->rowNumberWidth = 0;
  else if (s_->rowNumberWidth <= 0)
    s_->rowNumberWidth = kNumberWidth;
  block_->baseWidth = uint16_t(titleWidth_->value());
  setFieldText(block_->title, sizeof block_->title, sheetTitle_->text());
}

}  // namespace kelvo
