#include "kelvo/opt_gantt_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <algorithm>

#include "gantt_shape_sample.h"

namespace kelvo {
namespace {

constexpr int kShapes = 5;  // ganttmark 0..4
const QSize kSample(60, 16);

struct FlagCheck {
  const char* caption;
  int bit;
};
constexpr FlagCheck kChecks[] = {{"도형 표시", 0},          {"자료 구분선 표시", 1},
                                 {"계획 일정 표시", 4},     {"계획/현재 일정 같은 줄 표시", 5},
                                 {"선후행 연결선 표시", 3}, {"여유일 표시", 12}};

}  // namespace

COptGanttPage::COptGanttPage(TimeScaleSettings* settings, GanttBlock* block,
                             const QStringList& fields, QWidget* parent)
    : CPropertyPage(QStringLiteral("도표"), parent),
      s_(settings),
      b_(block),
      barHeight_(new QSpinBox(this)),
      left_(new QComboBox(this)),
      right_(new QComboBox(this)) {
  auto* grid = new QGridLayout(this);
  barHeight_->setRange(1, 32767);
  grid->addWidget(new QLabel(QStringLiteral("막대 높이 :"), this), 0, 0);
  grid->addWidget(barHeight_, 0, 1);

  auto* shapeBox = new QGroupBox(QStringLiteral("막대 모양"), this);
  auto* shapeGrid = new QGridLayout(shapeBox);
  const char* kinds[] = {"일반 작업 :", "이정표 :", "계획 작업 :"};
  COLORREF* colours[] = {&b_->activityColor, &b_->milestoneColor, &b_->plannedColor};
  for (int i = 0; i < 3; ++i) {
    shapes_[i] = new QComboBox(shapeBox);
    shapes_[i]->setIconSize(kSample);
    shapeGrid->addWidget(new QLabel(QString::fromUtf8(kinds[i]), shapeBox), i, 0);
    shapeGrid->addWidget(shapes_[i], i, 1);
    auto* colour = colourButton(shapeBox, QStringLiteral("색깔..."), colours[i]);
    // The samples show the colour picked.
    connect(colour, &QPushButton::clicked, this, [this] { drawSamples(); });
    shapeGrid->addWidget(colour, i, 2);
  }
  grid->addWidget(shapeBox, 1, 0, 1, 3);

  for (QComboBox* combo : {left_, right_}) {
    combo->addItem(QStringLiteral("없음"));
    combo->addItems(fields);
  }
  grid->addWidget(new QLabel(QStringLiteral("막대 왼쪽 :"), this), 2, 0);
  grid->addWidget(left_, 2, 1);
  grid->addWidget(new QLabel(QStringLiteral("오른쪽 :"), this), 3, 0);
  grid->addWidget(right_, 3, 1);
  for (int i = 0; i < 6; ++i) {
    checks_[i] = new QCheckBox(QString::fromUtf8(kChecks[i].caption), this);
    grid->addWidget(checks_[i], 4 + i / 2, i % 2, 1, i % 2 ? 2 : 1);
  }
  grid->addWidget(colourButton(this, QStringLiteral("주공정 작업 색깔..."), &b_->criticalColor), 7,
                  0);
  grid->addWidget(colourButton(this, QStringLiteral("선후행 연결선 색깔..."), &b_->linkColor), 7,
                  1);
  grid->addWidget(fontField(this, QStringLiteral("글꼴..."), &s_->bodyFont, &s_->bodyTextColor), 8,
                  0);
  grid->setRowStretch(9, 1);
  load();
}

QCheckBox* COptGanttPage::check(int bit) const {
  for (int i = 0; i < 6; ++i)
    if (kChecks[i].bit == bit) return checks_[i];
  return nullptr;
}

void COptGanttPage::drawSamples() {
  const COLORREF colours[] = {b_->activityColor, b_->milestoneColor, b_->plannedColor};
  for (int i = 0; i < 3; ++i) {
    while (shapes_[i]->count() < kShapes) shapes_[i]->addItem(QString());
    for (int shape = 0; shape < kShapes; ++shape)
      shapes_[i]->setItemIcon(shape, QIcon(ganttShapeSample(shape, i == 1, colours[i], kSample)));
  }
}

void COptGanttPage::load() {
  drawSamples();
  barHeight_->setValue(b_->barHeight);
  const int16_t marks[] = {b_->activityMark, b_->milestoneMark, b_->plannedMark};
  for (int i = 0; i < 3; ++i)
    shapes_[i]->setCurrentIndex(marks[i] >= 0 && marks[i] < kShapes ? marks[i] : 0);
  left_->setCurrentIndex(std::clamp(b_->leftLabel + 1, 0, left_->count() - 1));
  right_->setCurrentIndex(std::clamp(b_->rightLabel + 1, 0, right_->count() - 1));
  for (int i = 0; i < 6; ++i) checks_[i]->setChecked(s_->flags & (1u << kChecks[i].bit));
}

void COptGanttPage::apply() {
  b_->barHeight = int16_t(barHeight_->value());
  b_->activityMark = int16_t(shapes_[0]->currentIndex());
  b_->milestoneMark = int16_t(shapes_[1]->currentIndex());
  b_->plannedMark = int16_t(shapes_[2]->currentIndex());
  b_->leftLabel = int16_t(left_->currentIndex() - 1);
  b_->rightLabel = int16_t(right_->currentIndex() - 1);
  for (int i = 0; i < 6; ++i)
    setFlagBit(&s_->flags, uint16_t(1u << kChecks[i].bit), checks_[i]->isChecked());
}

}  // namespace kelvo
