// The view kinds (what a view shows) and the document windows (where). A frame sets the kind just
// before it creates a view; the document's update broadcasts carry a mask with bit k for view kind
// k; each kind keeps its own settings records in the project's option file; and the editing
// dispatch takes the kind of the view (or dialog) whose record it enters.
#ifndef KELVO_VIEW_KIND_H_
#define KELVO_VIEW_KIND_H_

#include <cstdint>
#include <initializer_list>

namespace kelvo {

enum class ViewKind : int16_t {
  WorkTypeSheet = 0,         // classification sheet, work types
  FacilitySheet = 1,         // classification sheet, facilities
  Resources = 2,             // resource sheet
  Crews = 3,                 // "작업조 시트"
  Activities = 4,            // "작업 시트"
  Relations = 5,             // "선후행 관계 시트"
  CrewDetails = 6,           // "세부 작업조 시트"
  Summary = 7,               // "집계 시트" of the open summary data
  ResourceSummary = 8,       // the same for a resource summary
  WorkTypeTree = 9,          // work-type sheet beside the classification tree
  FacilityTree = 10,         // facility sheet beside the classification tree
  Map = 11,                  // "프로젝트 맵"
  GanttChart = 12,           // Gantt chart of the activities
  GanttSummaryChart = 13,    // Gantt chart of summary schedules
  GanttTable = 14,           // Gantt window's sheet pane, activities
  GanttSummaryTable = 15,    // Gantt window's sheet pane, summary schedules
  Network = 16,              // "PERT 도표"
  ValueSheet = 17,           // "기간별 수치시트"
  PeriodSheet = 18,          // "기간별 시트"
  PeriodResourceSheet = 19,  // "기간별 시트" of a resource summary
  PeriodChart = 20,          // "기간별 도표"
  UserReport = 21,           // "사용자 보고서"
  Predecessors = 32,         // lower Gantt pane "선행 작업"
  Successors = 33,           // lower Gantt pane "후행 작업"
  PaneCrewDetails = 34,      // lower Gantt pane "세부 작업조"
  TimeShared = 35,  // lower Gantt pane "시분할 작업"; the progress dialog's entries too
  PaneCrews = 36,   // lower Gantt pane "작업조" (the crews of the activity's work type)
};

// Kinds are below 64 so that a mask of 64 bits names any set of them.
inline constexpr int kViewKindLimit = 64;

// The stored number of a kind (option records, format files, masks).
constexpr int kindNumber(ViewKind kind) {
  return static_cast<int>(kind);
}

// The kind with a stored number; numbers outside 0..63 are not kinds, and
// callers check with isViewKindNumber first.
constexpr ViewKind viewKindOf(int number) {
  return static_cast<ViewKind>(number);
}
constexpr bool isViewKindNumber(int number) {
  return number >= 0 && number < kViewKindLimit;
}

// The mask bit of a kind, and of several.
constexpr uint64_t kindBit(ViewKind kind) {
  return uint64_t{1} << kindNumber(kind);
}
constexpr uint64_t kindBits(std::initializer_list<ViewKind> kinds) {
  uint64_t mask = 0;
  for (ViewKind k : kinds) mask |= kindBit(k);
  return mask;
}

// Kinds of summary data: rewritten in place only, never added or deleted
// (their sheets are read-only).
constexpr bool isSummaryKind(ViewKind kind) {
  return kind == ViewKind::Summary || kind == ViewKind::ResourceSummary ||
         kind == ViewKind::GanttSummaryTable;
}

// The sheets beside the classification tree.
constexpr bool isTreeKind(ViewKind kind) {
  return kind == ViewKind::WorkTypeTree || kind == ViewKind::FacilityTree;
}

// The sheet panes of the Gantt window.
constexpr bool isGanttTableKind(ViewKind kind) {
  return kind == ViewKind::GanttTable || kind == ViewKind::GanttSummaryTable;
}

// The lower panes of the Gantt window (32 + the option bar's choice).
constexpr bool isGanttPaneKind(ViewKind kind) {
  return kindNumber(kind) >= kindNumber(ViewKind::Predecessors) &&
         kindNumber(kind) <= kindNumber(ViewKind::PaneCrews);
}
// The number of lists a lower pane offers.
inline constexpr int kGanttPaneLists = 5;

// The eleven document windows: the number is the tab index, command
// 40032 + number, caption string 496 + number and option bar 1100 + number.
enum class DocWindow : int {
  Classification = 0,  // "분류표"
  Resources = 1,       // "자원"
  Map = 2,             // "프로젝트 맵"
  Gantt = 3,           // "Gantt 도표"
  Network = 4,         // "PERT 도표"
  PeriodSheet = 5,     // "기간별 시트"
  PeriodChart = 6,     // "기간별 도표"
  ValueSheet = 7,      // "기간별 수치시트"
  DataSheet = 8,       // "자료 시트"
  SummarySheet = 9,    // "집계 시트"
  UserReport = 10,     // "사용자 보고서"
};

constexpr int windowNumber(DocWindow window) {
  return static_cast<int>(window);
}

// The windows that show the open summary data (a summary is chosen before
// they open).
constexpr bool showsSummaryData(int window) {
  return window == windowNumber(DocWindow::PeriodSheet) ||
         window == windowNumber(DocWindow::SummarySheet) ||
         window == windowNumber(DocWindow::UserReport);
}

}  // namespace kelvo

#endif  // KELVO_VIEW_KIND_H_
