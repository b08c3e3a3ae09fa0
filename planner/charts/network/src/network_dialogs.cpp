#include "kelvo/network_dialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "kelvo/commands.h"
#include "kelvo/view_state.h"

namespace kelvo {
namespace {

constexpr int kScheduleAnalysis = 40080;  // "일정 분석(&S)..."

QSpinBox* spin(QWidget* parent, int lo, int hi, int value, const char* name) {
  auto* box = new QSpinBox(parent);
  box->setRange(lo, hi);
  box->setValue(std::clamp(value, lo, hi));
  box->setObjectName(QString::fromLatin1(name));
  return box;
}

// A pair of exclusive choices: the first or the second is checked.
QButtonGroup* choice(QWidget* parent, QHBoxLayout* row, const char* first, const char* second,
                     bool secondChecked) {
  auto* group = new QButtonGroup(parent);
  auto* a = new QRadioButton(QString::fromUtf8(first), parent);
  auto* b = new QRadioButton(QString::fromUtf8(second), parent);
  group->addButton(a, 0);
  group->addButton(b, 1);
  (secondChecked ? b : a)->setChecked(true);
  row->addWidget(a);
  row->addWidget(b);
  return group;
}

QDialogButtonBox* okCancel(QDialog* dialog) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("확인"));
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("취소"));
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

}  // namespace

bool askPathOptions(QWidget* parent, PathOptions* o) {
  QDialog dialog(parent);
  dialog.setWindowTitle(QStringLiteral("PERT 경로 최적화"));
  auto* layout = new QVBoxLayout(&dialog);
  auto* targetRow = new QHBoxLayout;
  QButtonGroup* target = choice(&dialog, targetRow, "미결정 작업", "모든 작업", o->allActivities);
  layout->addLayout(targetRow);
  auto* form = new QFormLayout;
  auto* milestones = new QHBoxLayout;
  QSpinBox* from = spin(&dialog, 1, 9999, o->milestoneFrom, "milestoneFrom");
  QSpinBox* to = spin(&dialog, 1, 9999, o->milestoneTo, "milestoneTo");
  milestones->addWidget(from);
  milestones->addWidget(new QLabel(QStringLiteral("~"), &dialog));
  milestones->addWidget(to);
  form->addRow(QStringLiteral("이정표 :"), milestones);
  QSpinBox* start = spin(&dialog, 1, 9999, o->startPath, "startPath");
  form->addRow(QStringLiteral("시작 경로 :"), start);
  QSpinBox* spacing = spin(&dialog, 1, 8, o->spacing, "spacing");
  form->addRow(QStringLiteral("배치 간격 :"), spacing);
  layout->addLayout(form);

  auto* byClass = new QCheckBox(QStringLiteral("분류코드 적용"), &dialog);
  byClass->setChecked(o->byClass != LabelClass::None);
  auto* classRow = new QHBoxLayout;
  classRow->addWidget(byClass);
  QButtonGroup* cls =
      choice(&dialog, classRow, "공종 분류", "시설 분류", o->byClass == LabelClass::Facility);
  layout->addLayout(classRow);

  auto* bars = new QCheckBox(QStringLiteral("작업 막대 표시"), &dialog);
  bars->setChecked(o->barLabels);
  layout->addWidget(bars);
  const auto labelRow = [&](LabelClass current) {
    auto* row = new QHBoxLayout;
    auto* on = new QCheckBox(&dialog);
    on->setChecked(current != LabelClass::None);
    row->addWidget(on);
    QButtonGroup* group = choice(&dialog, row, "공종명", "시설명", current == LabelClass::Facility);
    layout->addLayout(row);
    return std::pair{on, group};
  };
  auto [beforeOn, before] = labelRow(o->nameBefore);
  auto [onBarOn, onBar] = labelRow(o->nameOnBar);
  auto* extras = new QHBoxLayout;
  auto* firstOnly = new QCheckBox(QStringLiteral("첫 작업 만"), &dialog);
  auto* startDate = new QCheckBox(QStringLiteral("시작일"), &dialog);
  auto* finishDate = new QCheckBox(QStringLiteral("완료일"), &dialog);
  firstOnly->setChecked(o->firstOnly);
  startDate->setChecked(o->startDate);
  finishDate->setChecked(o->finishDate);
  extras->addWidget(firstOnly);
  extras->addWidget(startDate);
  extras->addWidget(finishDate);
  layout->addLayout(extras);

  auto* analyse = new QPushButton(QStringLiteral("일정분석..."), &dialog);
  QObject::connect(analyse, &QPushButton::clicked, &dialog, [] {
    if (CommandRouter* router = viewState().router) router->dispatch(kScheduleAnalysis);
  });
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(analyse);
  bottom->addWidget(okCancel(&dialog));
  layout->addLayout(bottom);
  if (dialog.exec() != QDialog::Accepted) return false;

  const auto labelOf = [](QCheckBox* on, QButtonGroup* g) {
    return !on->isChecked()      ? LabelClass::None
           : g->checkedId() == 1 ? LabelClass::Facility
                                 : LabelClass::WorkType;
  };
  o->allActivities = target->checkedId() == 1;
  o->milestoneFrom = from->value();
  o->milestoneTo = to->value();
  o->startPath = start->value();
  o->spacing = spacing->value();
  o->byClass = labelOf(byClass, cls);
  o->barLabels = bars->isChecked();
  o->nameBefore = labelOf(beforeOn, before);
  o->nameOnBar = labelOf(onBarOn, onBar);
  o->firstOnly = firstOnly->isChecked();
  o->startDate = startDate->isChecked();
  o->finishDate = finishDate->isChecked();
  return true;
}

bool askPathEdit(QWidget* parent, PathEditRequest* r) {
  QDialog dialog(parent);
  dialog.setWindowTitle(QStringLiteral("빈 경로 삽입/삭제"));
  auto* layout = new QVBoxLayout(&dialog);
  auto* form = new QFormLayout;
  QSpinBox* position = spin(&dialog, 1, 32767, r->position, "position");
  QSpinBox* count = spin(&dialog, 1, 32767, r->count, "count");
  form->addRow(QStringLiteral("위치 :"), position);
  form->addRow(QStringLiteral("개수 :"), count);
  layout->addLayout(form);
  auto* modeRow = new QHBoxLayout;
  QButtonGroup* mode = choice(&dialog, modeRow, "삽입", "삭제", !r->insert);
  layout->addLayout(modeRow);
  auto* objects = new QCheckBox(QStringLiteral("도형 연동"), &dialog);
  objects->setChecked(r->withObjects);
  layout->addWidget(objects);
  layout->addWidget(okCancel(&dialog));
  if (dialog.exec() != QDialog::Accepted) return false;
  r->position = position->value();
  r->count = count->value();
  r->insert = mode->checkedId() == 0;
  r->withObjects = objects->isChecked();
  return true;
}

}  // namespace kelvo
