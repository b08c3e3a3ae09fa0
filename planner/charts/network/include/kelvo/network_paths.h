// Where the network chart puts things: the path of every activity and the
// routing row of every relation, computed from the network without Qt or
// a project database. The chart's commands read the records into these
// plain lists, call the functions here and store what changed.
#ifndef KELVO_NETWORK_PATHS_H_
#define KELVO_NETWORK_PATHS_H_

#include <cstdint>
#include <string>
#include <vector>

namespace kelvo {

// Highest path or routing row a record can hold.
inline constexpr int32_t kMaxPath = 32767;

// One activity as path assignment sees it, in activity order (by path,
// then record number).
struct PathActivity {
  int16_t path = 0;    // stored path, <= 0 undecided
  uint16_t flags = 0;  // bit 15 starts the network; bits 0-5 path labels
  bool milestone = false;
  uint16_t start = 0;    // packed dates
  uint16_t anchor = 0;   // successor anchor day
  std::string workType;  // classification codes (CP949), empty = none
  std::string facility;
};

// One relation, in the order of the relation index by predecessor; pred
// and succ index the activity list.
struct PathRelation {
  int32_t pred = 0, succ = 0;
  int16_t kind = 0;  // 0 FS, 1 FF, 2 SS, 3 SF
  int16_t row = 0;   // stored routing row
};

// Classification names as path labels.
enum class LabelClass : uint8_t { None, WorkType, Facility };

// The settings of "PERT 경로 최적화".
struct PathOptions {
  bool allActivities = false;  // "모든 작업", else "미결정 작업"
  int32_t milestoneFrom = 1, milestoneTo = 1;
  int32_t startPath = 1;
  int32_t spacing = 1;                         // clamped to 1..8
  LabelClass byClass = LabelClass::None;       // "분류코드 적용"
  bool barLabels = false;                      // "작업 막대 표시"
  LabelClass nameBefore = LabelClass::None;    // before a path's first activity
  LabelClass nameOnBar = LabelClass::None;     // on the bars
  bool firstOnly = false;                      // "첫 작업 만"
  bool startDate = false, finishDate = false;  // "시작일", "완료일"
};

// What path assignment gives: the new path and flags of every activity
// and the new routing row of every relation (unchanged ones as they were),
// and the highest path now in use.
struct PathAssignment {
  std::vector<int16_t> paths;
  std::vector<uint16_t> flags;
  std::vector<int16_t> rows;
  int32_t highestPath = 0;
};

// Path assignment. With classification codes, each target activity's path
// is (its code's place among all distinct codes) x spacing + start path,
// or the first milestone path without a code. Otherwise target milestones
// take the first free milestone path, and chains (runs of finish-to-start
// relations walked from each network start, then from each activity no
// walk reached) take, in the order they were found, the first path from
// the start path in steps of the spacing where none of their activities
// overlaps one already placed. An activity occupies [start, max(anchor,
// start + 1)). Relations get the common path of their ends, else the mean
// of the two paths, moved to the rows between paths. Paths stay in
// 1..kMaxPath.
PathAssignment assignPaths(const std::vector<PathActivity>& activities,
                           const std::vector<PathRelation>& relations, const PathOptions& options);

// The routing row of a relation between paths pred and succ: their common
// path, else their truncated mean, plus one when it has the parity of the
// start path.
int16_t routingRow(int32_t pred, int32_t succ, int32_t startPath);

// "빈 경로 삽입/삭제" on the stored paths and routing rows, in place.
enum class PathEditResult { Done, RangeHoldsData, Overflow };
// Inserting adds count to every path and row >= position; it refuses
// (Overflow) when one would pass kMaxPath. Deleting refuses
// (RangeHoldsData) when a path or row lies in [position, position + count
// - 1], else subtracts count from those beyond. Nothing changes on refusal.
PathEditResult insertPaths(std::vector<int16_t>* paths, std::vector<int16_t>* rows,
                           int32_t position, int32_t count);
PathEditResult deletePaths(std::vector<int16_t>* paths, std::vector<int16_t>* rows,
                           int32_t position, int32_t count);

// How far a selection may move by whole paths: delta clamped so that every
// path in `paths` (and every row >= 1 in `rows`) stays within 1..kMaxPath.
int32_t clampPathMove(const std::vector<int16_t>& paths, const std::vector<int16_t>& rows,
                      int32_t delta);

}  // namespace kelvo

#endif  // KELVO_NETWORK_PATHS_H_
