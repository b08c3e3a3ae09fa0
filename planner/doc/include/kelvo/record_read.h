// Reading a record by its slot without making it the table's current
// record: the current record belongs to the editing dispatch, which reports
// through it where an entry landed and which record a deletion removes, so
// views and builders that only look at records leave it alone.
#ifndef KELVO_RECORD_READ_H_
#define KELVO_RECORD_READ_H_

#include <cstdint>

#include "xjor/table.h"

namespace kelvo {

// Reads the live record in slot into buffer (the table's record size).
// False, and buffer unchanged, when the slot is out of range or not live.
// tb is not changed.
inline bool readRecordAt(const TableHandle& tb, int32_t slot, void* buffer) {
  TableHandle reader = tb;
  reader.current = slot;
  return xGetRec(&reader, buffer) != 0;
}

}  // namespace kelvo

#endif  // KELVO_RECORD_READ_H_
