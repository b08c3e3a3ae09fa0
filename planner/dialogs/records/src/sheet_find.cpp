#include "kelvo/sheet_find.h"

#include <cstring>

namespace kelvo {
namespace {

// Copies a code into a NUL-padded key field of width bytes (width - 1
// characters at most, cut at a character boundary).
void putCode(char* field, int width, const char* code) {
  std::memset(field, 0, width);
  if (code) xCopyChars(field, code, width - 1);
}

template <typename Entry>
bool seekMem(MemTable* m, const Entry& key, Entry* found) {
  if (!m->data || xmSeek(m, &key) != 1) return false;
  std::memcpy(found, m->data + static_cast<size_t>(m->current) * m->recordSize, sizeof *found);
  return true;
}

}  // namespace

int findCodeLength(ViewKind kind) {
  switch (kind) {
    case ViewKind::Activities:
    case ViewKind::Relations:
    case ViewKind::GanttChart:
    case ViewKind::GanttTable:
    case ViewKind::Network:
      return 20;
    case ViewKind::ValueSheet:
      return 12;
    default:
      return 10;
  }
}

uint32_t findCodeRecord(ProjectDb* db, ViewKind kind, const char* code, const char* second) {
  switch (kind) {
    case ViewKind::WorkTypeSheet:
    case ViewKind::FacilitySheet:
    case ViewKind::WorkTypeTree:
    case ViewKind::FacilityTree: {
      CodeEntry key{}, found{};
      putCode(key.code, sizeof key.code, code);
      MemTable* m = (kind == ViewKind::WorkTypeSheet || kind == ViewKind::WorkTypeTree)
                        ? &db->wbsCodes
                        : &db->obsCodes;
      return seekMem(m, key, &found) ? static_cast<uint32_t>(found.record) : XJOR_NONE;
    }
    case ViewKind::Resources: {
      CodeEntry key{}, found{};
      putCode(key.code, sizeof key.code, code);
      if (db->ire.handle < 0 || xiSeek(&db->ire, &key) != 1 || xiGet(&db->ire, &found) != 1)
        return XJOR_NONE;
      return static_cast<uint32_t>(found.record);
    }
    case ViewKind::GanttChart:
    case ViewKind::Network:
      // The charts find a relation when a successor is given, else an
      // activity.
      if (kind == ViewKind::Network && second && *second)
        return findCodeRecord(db, ViewKind::Relations, code, second);
      [[fallthrough]];
    case ViewKind::Activities:
    case ViewKind::GanttTable: {
      ActCodeEntry key{}, found{};
      putCode(key.code, sizeof key.code, code);
      return seekMem(&db->actCodes, key, &found) ? static_cast<uint32_t>(found.record) : XJOR_NONE;
    }
    case ViewKind::Relations: {
      RelCodeEntry key{}, found{};
      putCode(key.first, sizeof key.first, code);
      putCode(key.second, sizeof key.second, second);
      return seekMem(&db->relByPred, key, &found) ? static_cast<uint32_t>(found.record) : XJOR_NONE;
    }
    default:
      return XJOR_NONE;
  }
}

std::vector<FoundActivity> specialActivities(ProjectDb* db, SpecialClass cls) {
  std::vector<FoundActivity> out;
  MemTable& codes = db->actCodes;
  TableHandle& tb = db->act.tb;
  if (!codes.data || tb.handle < 0) return out;
  std::vector<uint8_t> buffer(tb.recordSize > sizeof(ActRecord) ? tb.recordSize
                                                                : sizeof(ActRecord));
  for (uint32_t i = 0; i < codes.count; ++i) {
    ActCodeEntry e;
    std::memcpy(&e, codes.data + static_cast<size_t>(i) * codes.recordSize, sizeof e);
    tb.current = e.record;
    if (!xGetRec(&tb, buffer.data())) continue;
    ActRecord a;
    std::memcpy(&a, buffer.data(), sizeof a);
    const bool starts = a.flags & 0x8000, ends = a.flags & 0x4000;
    bool match = false;
    switch (cls) {
      case SpecialClass::Start:
        match = starts && !ends;
        break;
      case SpecialClass::End:
        match = ends && !starts;
        break;
      case SpecialClass::Independent:
        match = starts && ends;
        break;
      case SpecialClass::Milestone:
        match = a.type == 1;
        break;
      case SpecialClass::TimeShared:
        match = a.type == 2;
        break;
    }
    if (!match) continue;
    a.code[sizeof a.code - 1] = 0;
    a.title[sizeof a.title - 1] = 0;
    out.push_back({static_cast<uint32_t>(e.record), a.code, a.title});
  }
  tb.current = -1;
  return out;
}

}  // namespace kelvo
