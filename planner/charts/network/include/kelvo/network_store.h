// The network chart's data in the project: reading the activities and
// relations into the lists path assignment works on, and storing changed
// paths, path-label flags and routing rows through the store's record
// input (activities without touching their dates, then relations), which
// keeps the node and link tables in step.
#ifndef KELVO_NETWORK_STORE_H_
#define KELVO_NETWORK_STORE_H_

#include <cstdint>
#include <vector>

#include "kelvo/network_paths.h"
#include "xQdDb100.h"

namespace kelvo {

// The network as lists: activities in activity order (by path, then
// record), relations in the order of the relation index by predecessor,
// each with its record slot.
struct NetworkRecords {
  std::vector<int32_t> actSlots;
  std::vector<PathActivity> acts;
  std::vector<int32_t> relSlots;
  std::vector<PathRelation> rels;
};
// Reads the open project's network. Relations whose ends are not found
// are left out.
NetworkRecords readNetwork(ProjectDb* db);

// What the store needs to enter activities.
struct ActivityInput {
  uint16_t projectStart = 0;
  int16_t workTypeLevels = 0, facilityLevels = 0;
};

// A change of stored values: the activities' paths and flags, the
// relations' rows (slots as in NetworkRecords).
struct PathChanges {
  std::vector<int32_t> actSlots;
  std::vector<int16_t> paths;
  std::vector<uint16_t> flags;  // empty: flags unchanged
  std::vector<int32_t> relSlots;
  std::vector<int16_t> rows;
};

// The changes path assignment makes to the records read (only records
// whose values differ).
PathChanges changesOf(const NetworkRecords& records, const PathAssignment& assignment);

// The values the records of `changes` hold now: storing the result undoes
// storing `changes`.
PathChanges currentValues(ProjectDb* db, const PathChanges& changes);

// Stores the changes in one input batch. Returns 0, or the message number
// of the first record the store refused (the records before it stay
// stored).
int storePathChanges(ProjectDb* db, const ActivityInput& input, const PathChanges& changes);

// The highest path any activity holds (0 when none).
int32_t highestPath(ProjectDb* db);

}  // namespace kelvo

#endif  // KELVO_NETWORK_STORE_H_
