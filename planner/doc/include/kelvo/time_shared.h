// The time-shared entries of one activity, read from the "spa" index.
#ifndef KELVO_TIME_SHARED_H_
#define KELVO_TIME_SHARED_H_

#include <cstdint>
#include <vector>

#include "xQdDb100.h"

namespace kelvo {

// The entries of the activity in record slot `activity`, in day order; the
// index's current entry is left at none.
std::vector<SpaEntry> timeSharedEntries(ProjectDb& db, int32_t activity);

// Makes the entry of (activity, day) the index's current one, the entry an
// input replaces and a deletion removes; false when there is none.
bool selectTimeSharedEntry(ProjectDb& db, int32_t activity, uint16_t day);

}  // namespace kelvo

#endif  // KELVO_TIME_SHARED_H_
