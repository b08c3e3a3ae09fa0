// Looking up records for the finder commands of the sheets: a code in the
// index that belongs to the sheet's table, and the activities of one
// special class (start, end, independent, milestone, time-shared).
#ifndef KELVO_SHEET_FIND_H_
#define KELVO_SHEET_FIND_H_

#include <cstdint>
#include <string>
#include <vector>

#include "kelvo/view_kind.h"
#include "xQdDb100.h"

namespace kelvo {

// Whether a sheet of this kind offers the code finder (view flag 0x200).
inline bool hasCodeSearch(ViewKind kind) {
  return kind == ViewKind::WorkTypeSheet || kind == ViewKind::FacilitySheet ||
         kind == ViewKind::Resources || kind == ViewKind::Activities ||
         kind == ViewKind::Relations || kind == ViewKind::GanttTable;
}
// Whether a sheet of this kind offers the special-activity finder.
inline bool hasSpecialSearch(ViewKind kind) {
  return kind == ViewKind::Activities || kind == ViewKind::GanttTable;
}

// Characters the code finder accepts in a view of `kind`: 20 for activity
// and relation codes (the activity, relation and Gantt sheets, the Gantt
// and network charts), 12 in the value sheet, 10 for classification and
// resource codes.
int findCodeLength(ViewKind kind);

// Whether the code finder of a view of `kind` also asks for a successor's
// code: the relation sheet and the network chart.
inline bool findsSuccessor(ViewKind kind) {
  return kind == ViewKind::Relations || kind == ViewKind::Network;
}

// The record number of code (CP949) in the table of view kind, looked up
// in the classification code table (classification sheets, also beside the
// tree), the resource code index, the activity code table (activity sheets
// and the charts) or, with the successor code `second`, the relation table
// by predecessor (the relation sheet, and the network chart when `second`
// is not empty). XJOR_NONE when it is not there or the kind has no code
// search.
uint32_t findCodeRecord(ProjectDb* db, ViewKind kind, const char* code,
                        const char* second = nullptr);

enum class SpecialClass { Start = 0, End = 1, Independent = 2, Milestone = 3, TimeShared = 4 };

struct FoundActivity {
  uint32_t record;
  std::string code;   // CP949
  std::string title;  // CP949
};

// The activities of one class in code order: start activities have flag
// bit 15 set and bit 14 clear, end activities bit 14 without bit 15,
// independent ones both; milestones and time-shared activities by kind.
std::vector<FoundActivity> specialActivities(ProjectDb* db, SpecialClass cls);

}  // namespace kelvo

#endif  // KELVO_SHEET_FIND_H_
