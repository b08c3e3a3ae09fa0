// Document window 3: the Gantt sheet pane (upper left), the chart (upper
// right) sharing its rows, and the two sub-tables of the selected activity
// below them.
#ifndef KELVO_GANTT_WINDOW_H_
#define KELVO_GANTT_WINDOW_H_

#include <cstdint>

#include "kelvo/view_kind.h"

class QWidget;

namespace kelvo {

class CKelvoApp;
class CPlanDoc;
class CActSub;
class CGanttView;
class CTableView;

// What window 3 shows: summary schedules (true) or activities, and the
// lists of the lower panes (0 predecessors, 1 successors, 2 crew details,
// 3 time-shared entries, 4 crews; the right one moves on when both are the
// same).
struct GanttWindowChoice {
  bool summary = false;
  int lowerLeft = 0;
  int lowerRight = 1;
};

// The kind of the lower pane on side (0 left, 1 right): 32 + its list; the
// right pane moves to the next list when both would show the same.
ViewKind paneKind(const GanttWindowChoice& choice, int side);

// The choice as the extra value of hint 17, and back.
intptr_t ganttChoiceHint(const GanttWindowChoice& choice);
GanttWindowChoice ganttChoiceOfHint(intptr_t extra);

// Switches an open window 3 to choice (hint 17 to its panes): the sheet
// and the chart between activities and summary schedules, the lower panes
// to their lists.
void switchGanttWindow(CPlanDoc* doc, const GanttWindowChoice& choice);

// Builds the window's content: a splitter of the sheet (kind 14 or 15)
// and the chart (12 or 13) over the two lower panes, each initialised.
QWidget* makeGanttWindow(CPlanDoc* doc, const GanttWindowChoice& choice, QWidget* parent);

// The chart and the sheet pane of a window made by makeGanttWindow.
CGanttView* ganttChartOf(QWidget* window);
CTableView* ganttSheetOf(QWidget* window);
// The lower pane on side (0 left, 1 right).
CActSub* ganttPaneOf(QWidget* window, int side);

// Registers window 3 with the document frame, reading the option bar's
// choices (10505 mode, 10506 and 10507 the lower panes).
void registerGanttWindow(CKelvoApp& app);

}  // namespace kelvo

#endif  // KELVO_GANTT_WINDOW_H_
