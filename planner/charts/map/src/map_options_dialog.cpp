#include "kelvo/map_options_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cstring>

#include "kelvo/property_sheet.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo {
namespace {

QSpinBox* sizeBox(int value, int minimum, QWidget* parent) {
  auto* box = new QSpinBox(parent);
  box->setRange(minimum, 32767);
  box->setValue(value);
  return box;
}

}  // namespace

MapOptionsDialog::MapOptionsDialog(const MapSettings& settings, const QStringList& headingItems,
                                   QWidget* parent)
    : QDialog(parent), settings_(settings) {
  setWindowTitle(QStringLiteral("선택 사항"));
  auto* outer = new QVBoxLayout(this);
  objects_ = new QCheckBox(QStringLiteral("도형 표시"), this);
  objects_->setChecked(settings.flags & mapflag::kObjects);
  relations_ = new QCheckBox(QStringLiteral("선후행관계 표시"), this);
  relations_->setChecked(settings.flags & mapflag::kRelations);
  outer->addWidget(objects_);
  outer->addWidget(relations_);

  auto* sizes = new QFormLayout;
  nameWidth_ = sizeBox(settings.nameWidth, 0, this);
  cellWidth_ = sizeBox(settings.cellWidth, 1, this);
  cellHeight_ = sizeBox(settings.cellHeight, 1, this);
  sizes->addRow(QStringLiteral("공종 분류 항목 표시 폭"), nameWidth_);
  // A stored item the table does not have stays as it is unless another is
  // chosen.
  headingItem_ = new QComboBox(this);
  headingItem_->setObjectName(QStringLiteral("headingItem"));
  headingItem_->addItems(headingItems);
  const bool known = settings.headingItem >= 0 && settings.headingItem < headingItems.size();
  headingItem_->setCurrentIndex(known ? settings.headingItem : -1);
  sizes->addRow(QStringLiteral("공종 분류 항목"), headingItem_);
  auto* cell = new QHBoxLayout;
  cell->addWidget(cellWidth_);
  cell->addWidget(cellHeight_);
  sizes->addRow(QStringLiteral("자료(셀) 폭/높이 (0.1mm)"), cell);
  outer->addLayout(sizes);

  auto* looks = new QGridLayout;
  looks->addWidget(fontField(this, QStringLiteral("분류명칭..."), &settings_.headingFont), 0, 0);
  looks->addWidget(fontField(this, QStringLiteral("자료내용..."), &settings_.cellFont), 0, 1);
  looks->addWidget(colourButton(this, QStringLiteral("선후행관계..."), &settings_.relationLine), 1,
                   0);
  looks->addWidget(colourButton(this, QStringLiteral("구분선..."), &settings_.grid), 1, 1);
  looks->addWidget(colourButton(this, QStringLiteral("분류바탕..."), &settings_.headingFill), 2, 0);
  outer->addLayout(looks);

  auto* colouring = new QFormLayout;
  colouring_ = new QComboBox(this);
  colouring_->setObjectName(QStringLiteral("colouring"));
  colouring_->addItems({QStringLiteral("없음"), QStringLiteral("주공정"), QStringLiteral("진행"),
                        QStringLiteral("SUBCON"), QStringLiteral("U_CODE"),
                        QStringLiteral("MANAGER")});
  colouring_->setCurrentIndex(
      settings.colourChoice >= 0 && settings.colourChoice <= 5 ? settings.colourChoice : 0);
  colouring->addRow(QStringLiteral("작업 색깔 구분"), colouring_);
  auto* codes = new QHBoxLayout;
  for (int k = 0; k < 2; ++k) {
    codes_[k] = new QLineEdit(
        xjor::fromCp949(settings.colourCode[k], int(strnlen(settings.colourCode[k], 10))), this);
    codes_[k]->setMaxLength(10);
    codes_[k]->setObjectName(QStringLiteral("colourCode%1").arg(k));
    codes->addWidget(codes_[k]);
  }
  colouring->addRow(QStringLiteral("코드 :"), codes);
  outer->addLayout(colouring);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("확인"));
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("취소"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  outer->addWidget(buttons);
}

MapSettings MapOptionsDialog::settings() const {
  MapSettings s = settings_;
  const auto bit = [&](QCheckBox* box, uint16_t flag) {
    s.flags = box->isChecked() ? (s.flags | flag) : (s.flags & ~flag);
  };
  bit(objects_, mapflag::kObjects);
  bit(relations_, mapflag::kRelations);
  s.nameWidth = int16_t(nameWidth_->value());
  if (headingItem_->currentIndex() >= 0) s.headingItem = int16_t(headingItem_->currentIndex());
  s.cellWidth = int16_t(cellWidth_->value());
  s.cellHeight = int16_t(cellHeight_->value());
  s.colourChoice = int16_t(colouring_->currentIndex());
  for (int k = 0; k < 2; ++k) {
    std::memset(s.colourCode[k], 0, sizeof s.colourCode[k]);
    const QByteArray code = xjor::toCp949(codes_[k]->text()).left(10);
    std::memcpy(s.colourCode[k], code.constData(), size_t(code.size()));
  }
  return s;
}

bool editMapOptions(QWidget* parent, const QStringList& headingItems, MapSettings* settings) {
  MapOptionsDialog dialog(*settings, headingItems, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  *settings = dialog.settings();
  return true;
}

}  // namespace kelvo
