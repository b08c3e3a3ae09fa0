// The window option bar: the combo lists, check boxes and buttons of one
// document window, rebuilt when the window number changes. The choices of
// its combo boxes and check boxes are kept program-wide.
#ifndef KELVO_OPTION_BAR_H_
#define KELVO_OPTION_BAR_H_

#include <QHash>
#include <QToolBar>
#include <cstdint>
#include <functional>

namespace kelvo {

class CommandRouter;

// Program-wide option-bar choices: one value per control id.
struct OptionBarState {
  QHash<int, int> comboChoice;  // 10500..10509
  QHash<int, bool> checked;     // 10300, 10301, 10303
  uint16_t* flags = nullptr;    // option word: 10302 toggles bit 7
  // Whether summary schedules (10505) may be chosen: summary data is open
  // and is not a resource summary.
  std::function<bool()> summarySchedulesAllowed;
  // Opens the current document window again, for the choices that change
  // what it is made of (10500, 10501, 10504).
  std::function<void()> reopenWindow;
  // The Gantt window's mode (10505) or the list of a lower pane (10506,
  // 10507) changed: the open window switches its panes.
  std::function<void()> ganttChoiceChanged;
};

// Builds the bar of document window `number` (template 1100 + number).
// Buttons are the router's actions; combos start at the kept choices and
// write changes back into state.
QToolBar* makeOptionBar(int number, OptionBarState* state, CommandRouter* router, QWidget* parent);

// Keeps choice for combo id in state and shows it on bar's combo (when the
// bar has one) without acting on it again.
void showComboChoice(OptionBarState* state, QToolBar* bar, int id, int choice);

}  // namespace kelvo

#endif  // KELVO_OPTION_BAR_H_
