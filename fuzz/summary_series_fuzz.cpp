// Period series of a summary row from hostile bytes. The first four bytes
// name the row's series position and whether the summary counts resources;
// the rest is the file. A series is refused or read as three blocks of
// entries with a period day each, never reading outside the file.
#include <stdlib.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "kelvo/summary_build.h"
#include "xQdDb100.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  uint32_t position;
  std::memcpy(&position, data, 4);
  const bool resource = position & 0x80000000u;
  position &= 0xFFFFu;
  const int fd = memfd_create("summary_series_fuzz", 0);
  if (fd < 0) abort();
  if (size > 4 && write(fd, data + 4, size - 4) != static_cast<ssize_t>(size - 4)) abort();
  static ProjectDb db;  // only the open summary file is used
  TableHandle& tb = db.summary.table.tb;
  tb.handle = fd;
  tb.slotCount = size > 4 ? data[4] % 4 : 0;
  tb.recordSize = 8;
  kelvo::RowSeries series;
  if (kelvo::readRowSeries(&db, position, resource, series)) {
    for (const auto& block : series.block) {
      for (const kelvo::SeriesEntry& e : block) {
        if (e.day == 0) abort();
      }
    }
  }
  tb.handle = -1;
  close(fd);
  return 0;
}
