// Opens arbitrary bytes as a dBASE III table and reads every field of every
// record in every form the importers use.
#include <stddef.h>
#include <stdint.h>

#include <string>

#include "kvdbf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kvdbf::Reader r;
  if (!r.openBytes(std::string(reinterpret_cast<const char*>(data), size))) return 0;
  for (uint32_t i = 0; r.seek(i); ++i) {
    if (!r.live()) continue;
    for (size_t c = 0; c < r.columnCount(); ++c) {
      (void)r.text(c);
      (void)r.integer(c);
      (void)r.number(c);
      (void)r.date(c);
      (void)kvdbf::cutCp949(r.raw(c), r.columns()[c].length / 2);
    }
  }
  return 0;
}
