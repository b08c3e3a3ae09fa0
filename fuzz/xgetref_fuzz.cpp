// Reference files of any content: list reads and reference-field values
// must fail cleanly and never read past a buffer.
#include <stdint.h>
#include <string.h>
#include <sys/mman.h>
#include <unistd.h>

#include "xJorDbm2.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  int32_t ref = memfd_create("ref", 0);
  if (ref < 0) return 0;
  if (size > 0 && write(ref, data, size) != static_cast<ssize_t>(size)) {
    close(ref);
    return 0;
  }
  for (int32_t list = -1; list <= XREF_LISTS; ++list) {
    RefList r = {0, 0, nullptr};
    if (xGetRef(ref, list, &r)) xFreeBuffer(r.entries);
  }
  // A reference field on every list, read by index and set by text.
  FieldDesc fd;
  memset(&fd, 0, sizeof fd);
  fd.type = XF_REF;
  fd.flags = XF_TRIM | XF_UPPER;
  unsigned char record[2];
  char out[XF_VALUE_BUFFER];
  for (int16_t list = 0; list < XREF_LISTS; ++list) {
    fd.width = list;
    static const uint16_t kIndexes[] = {0, 1, 2, 0xFFFF};
    for (uint16_t index : kIndexes) {
      memcpy(record, &index, 2);
      xGetValue(&fd, ref, out, record, 0, -1);
      xSetValue(&fd, ref, out, record, 0);
    }
    xGetOutLeng(&fd, 0, ref);
  }
  close(ref);
  return 0;
}
