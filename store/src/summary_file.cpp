// Summary files: record tables in the working folder named by their number,
// whose field descriptors and 16-byte table header follow their contents.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "file_io.h"
#include "working_set.h"

namespace {

constexpr uint32_t kTrailerHeader = 16;

uint32_t U32(const uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

bool FieldsFit(const FieldDesc* fields, int16_t count, uint16_t recordSize) {
  for (int16_t i = 0; i < count; ++i) {
    if (fields[i].offset < 0 ||
        fields[i].offset + xSizeOfData(&fields[i], 0xFFFFFFFFu) > recordSize) {
      return false;
    }
  }
  return true;
}

bool IsRegularFile(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

FieldDesc* CopyFields(const FieldDesc* fields, int16_t count) {
  FieldDesc* copy = static_cast<FieldDesc*>(malloc(count * sizeof(FieldDesc) + 1));
  if (copy != nullptr && count > 0) memcpy(copy, fields, count * sizeof(FieldDesc));
  return copy;
}

}  // namespace

extern "C" void xCloseSumFile(ProjectDb* db, int16_t* current) {
  TableHandle& tb = db->summary.table.tb;
  if (tb.handle != -1) xCloseFile(&tb.handle);
  free(tb.fields);
  memset(&tb, 0, sizeof tb);
  tb.handle = -1;
  tb.current = -1;
  db->summary.table.db = &db->space;
  db->summary.number = 0;
  if (current != nullptr) *current = 0;
}

extern "C" int32_t xCreateSumFile(ProjectDb* db, int16_t* current, int16_t number,
                                  uint16_t recordLength, int16_t fieldCount,
                                  const FieldDesc* fields) {
  if (number < 1 || number > XQD_SUMMARY_MAX || fieldCount < 0 || recordLength == 0 ||
      (fieldCount > 0 && fields == nullptr) || !FieldsFit(fields, fieldCount, recordLength)) {
    return 0;
  }
  FieldDesc* copy = CopyFields(fields, fieldCount);
  if (copy == nullptr) return 0;
  xCloseSumFile(db, current);
  SummaryFile& s = db->summary;
  snprintf(s.name, sizeof s.name, "%d", number);
  if (!xOpenTb(&db->space, &s.table.tb, s.name, recordLength)) {
    free(copy);
    s.table.tb.handle = -1;
    return 0;
  }
  s.table.tb.fields = copy;
  s.table.tb.fieldCount = fieldCount;
  s.number = number;
  if (current != nullptr) *current = number;
  return 1;
}

extern "C" int32_t xOpenSumFile(ProjectDb* db, int16_t* current, int16_t number) {
  if (number < 1 || number > XQD_SUMMARY_MAX) return 0;
  char name[8];
  snprintf(name, sizeof name, "%d", number);
  if (!IsRegularFile(xqd::MemberPath(db, name))) return 0;
  // A file is open for writing only once: reopening the open one closes it first.
  if (db->summary.number == number) xCloseSumFile(db, current);
  int32_t fd = xOpenTemp(&db->space, name, 1);
  if (fd == -1) return 0;
  // The trailer must describe slots and descriptors that lie inside the file.
  const int64_t size = xqd::FileSize(fd);
  uint8_t head[kTrailerHeader];
  bool ok = size >= kTrailerHeader && xqd::ReadAt(fd, size - kTrailerHeader, head, sizeof head);
  const uint32_t live = ok ? U32(head) : 0, freeHead = ok ? U32(head + 4) : 0;
  const uint32_t slots = ok ? U32(head + 8) : 0;
  const uint16_t recordSize = ok ? static_cast<uint16_t>(head[12] | head[13] << 8) : 0;
  const int16_t fieldCount = ok ? static_cast<int16_t>(head[14] | head[15] << 8) : -1;
  const uint64_t fieldBytes = fieldCount >= 0 ? fieldCount * sizeof(FieldDesc) : 0;
  ok = ok && fieldCount >= 0 && recordSize > 0 && live <= slots &&
       (freeHead == 0xFFFFFFFFu || freeHead < slots) &&
       static_cast<uint64_t>(slots) * (recordSize + 4u) + fieldBytes + kTrailerHeader <=
           static_cast<uint64_t>(size);
  FieldDesc* fields = ok ? static_cast<FieldDesc*>(malloc(fieldBytes + 1)) : nullptr;
  ok = fields != nullptr &&
       xqd::ReadAt(fd, size - kTrailerHeader - fieldBytes, fields, fieldBytes) &&
       FieldsFit(fields, fieldCount, recordSize);
  if (!ok) {
    free(fields);
    xCloseFile(&fd);
    return 0;
  }
  xCloseSumFile(db, current);
  SummaryFile& s = db->summary;
  memcpy(s.name, name, sizeof name);
  TableHandle& tb = s.table.tb;
  tb.handle = fd;
  tb.liveCount = live;
  tb.freeHead = freeHead;
  tb.slotCount = slots;
  tb.recordSize = recordSize;
  tb.fieldCount = fieldCount;
  tb.current = -1;
  tb.fields = fields;
  tb.name = s.name;
  s.number = number;
  if (current != nullptr) *current = number;
  return 1;
}

extern "C" int32_t xFinishSumFile(ProjectDb* db) {
  TableHandle& tb = db->summary.table.tb;
  if (tb.handle == -1) return 0;
  const int64_t end = xqd::FileSize(tb.handle);
  const uint64_t slotBytes = static_cast<uint64_t>(tb.slotCount) * (tb.recordSize + 4u);
  if (end < 0 || static_cast<uint64_t>(end) < slotBytes) return 0;
  uint8_t head[kTrailerHeader];
  const uint32_t words[3] = {tb.liveCount, tb.freeHead, tb.slotCount};
  for (int w = 0; w < 3; ++w) {
    for (int i = 0; i < 4; ++i) head[4 * w + i] = static_cast<uint8_t>(words[w] >> (8 * i));
  }
  head[12] = static_cast<uint8_t>(tb.recordSize);
  head[13] = static_cast<uint8_t>(tb.recordSize >> 8);
  head[14] = static_cast<uint8_t>(tb.fieldCount);
  head[15] = static_cast<uint8_t>(tb.fieldCount >> 8);
  const size_t fieldBytes = tb.fieldCount * sizeof(FieldDesc);
  return xqd::WriteAt(tb.handle, end, tb.fields, fieldBytes) &&
         xqd::WriteAt(tb.handle, end + fieldBytes, head, sizeof head);
}
