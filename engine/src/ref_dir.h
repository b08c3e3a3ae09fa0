// Directory lookups of the reference file shared by the reference calls and
// the reference fields.
#ifndef XJOR_REF_DIR_H_
#define XJOR_REF_DIR_H_

#include <stdint.h>

namespace refdir {

struct Entry {
  uint16_t width;   // entry size minus 1
  uint16_t count;   // entries
  uint32_t offset;  // list data
};

// Reads directory entry list of the reference file. False when the list is
// out of range, absent, or its data does not lie inside the file.
bool read(int32_t handle, int32_t list, Entry* entry);

}  // namespace refdir

#endif  // XJOR_REF_DIR_H_
