#include "option_bar.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStringList>
#include <initializer_list>

#include "kelvo/commands.h"
#include "kelvo/strings.h"

namespace kelvo {
namespace {

struct ComboDef {
  int id;
  QStringList items;
};

QList<ComboDef> combosOf(int number) {
  const QStringList divider = {"없음",   "1 년",   "6 개월", "4 개월", "3 개월",
                               "2 개월", "1 개월", "1 주",   "1 일"};
  // The lists of the Gantt window's lower panes, kinds 32 to 36 in order.
  const QStringList lower = {"선행 작업", "후행 작업", "세부 작업조", "시분할 작업", "작업조"};
  switch (number) {
    case 0:
      return {{10500, {"공종 분류", "시설 분류"}},
              {10501, {"분류 구조표 보기", "분류표 시트 보기"}}};
    case 2:
      return {{10503, {"작업 보기", "자원 보기", "집계 자료"}},
              {10502, {loadString(kStrNoDisplayedItem)}}};
    case 3:
      return {{10505, {"작업 일정", "집계 일정"}}, {10506, lower}, {10507, lower}};
    case 5:
    case 6:
      return {{10509, divider}};
    case 8:
      return {{10504, {"작업 시트", "선후행 관계 시트", "작업조 시트", "세부 작업조 시트"}}};
    case 10:
      return {{10508, {"보고서 본체", "보고서 겉표지"}}};
    default:
      return {};
  }
}

QList<int> buttonsOf(int number) {
  switch (number) {
    case 0:
      return {10200, 10201};
    case 1:
      return {10202};
    case 2:
      return {10203, 10204, 10205, 10206, 10207};
    case 3:
      return {10207};
    case 4:
      return {10210, 10213, 10207};
    case 5:
      return {10211, 10212};
    case 6:
      return {10214, 10211, 10212};
    case 7:
      return {10208, 10209, 10215};
    case 8:
      return {10207};
    case 9:
      return {10211, 10212};
    default:
      return {};
  }
}

// Keeps a combo's choice and applies the rules that tie choices together.
void comboChanged(OptionBarState* state, QToolBar* bar, QComboBox* combo, int id, int index) {
  if (id == 10505 && index == 1 &&
      !(state->summarySchedulesAllowed && state->summarySchedulesAllowed())) {
    const QSignalBlocker block(combo);
    combo->setCurrentIndex(0);
    index = 0;
  }
  state->comboChoice[id] = index;
  // The map's mode (10503) is made anew too: the closing view stores the
  // old mode's lists and the new one builds its own.
  // The report's 10508 (body or cover) too: the closing view stores its settings.
  if ((id == 10500 || id == 10501 || id == 10503 || id == 10504 || id == 10508) &&
      state->reopenWindow)
    state->reopenWindow();
  if (id == 10506 || id == 10507) {
    // The two lower panes never show the same list: the other one moves on.
    const int other = id == 10506 ? 10507 : 10506;
    if (state->comboChoice.value(other) == index) {
      showComboChoice(state, bar, other, (index + 1) % combo->count());
    }
  }
  if (id >= 10505 && id <= 10507 && state->ganttChoiceChanged) state->ganttChoiceChanged();
}

}  // namespace

void showComboChoice(OptionBarState* state, QToolBar* bar, int id, int choice) {
  state->comboChoice[id] = choice;
  if (!bar) return;
  if (auto* combo = bar->findChild<QComboBox*>(QStringLiteral("ctl%1").arg(id))) {
    const QSignalBlocker block(combo);
    combo->setCurrentIndex(choice);
  }
}

QToolBar* makeOptionBar(int number, OptionBarState* state, CommandRouter* router, QWidget* parent) {
  auto* bar = new QToolBar(parent);
  bar->setObjectName(QStringLiteral("OptionBar%1").arg(1100 + number));
  bar->setMovable(false);
  bar->setFloatable(false);
  for (const ComboDef& def : combosOf(number)) {
    auto* combo = new QComboBox(bar);
    combo->setObjectName(QStringLiteral("ctl%1").arg(def.id));
    combo->addItems(def.items);
    int choice = state->comboChoice.value(def.id, 0);
    if (def.id == 10507 && !state->comboChoice.contains(def.id)) choice = 1;
    combo->setCurrentIndex(qBound(0, choice, int(def.items.size()) - 1));
    state->comboChoice[def.id] = combo->currentIndex();
    QObject::connect(combo, &QComboBox::currentIndexChanged, bar,
                     [state, bar, combo, id = def.id](int index) {
                       comboChanged(state, bar, combo, id, index);
                     });
    bar->addWidget(combo);
  }
  if (number == 4) {
    auto* box = new QCheckBox(QStringLiteral("작업 먼저 선택"), bar);
    box->setObjectName(QStringLiteral("ctl10302"));
    box->setChecked(state->flags && (*state->flags & 0x80));
    QObject::connect(box, &QCheckBox::toggled, bar, [state](bool) {
      if (state->flags) *state->flags ^= 0x80;
    });
    bar->addWidget(box);
  }
  if (number == 7) {
    // The value sheet's title; the window fills it and takes what is typed.
    auto* title = new QLineEdit(bar);
    title->setObjectName(QStringLiteral("ctl10100"));
    title->setFixedWidth(title->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 34);
    bar->addWidget(title);
  }
  for (int id : buttonsOf(number)) {
    QAction* act = router->action(id);
    act->setText(loadString(id));
    bar->addAction(act);
  }
  return bar;
}

}  // namespace kelvo
