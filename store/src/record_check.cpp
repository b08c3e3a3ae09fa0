// The integrity check of the indexes kept by the record operations, the
// rebuild from the record tables, and input batches.
#include <stdio.h>

#include <algorithm>
#include <map>
#include <string>

#include "record_common.h"

using namespace xqd;

namespace {

template <class E>
void Put(std::vector<Entry>* list, const E& e) {
  list->emplace_back(reinterpret_cast<const char*>(&e), sizeof e);
}

// Visits every live record of a table in slot order.
template <class F>
void EachRecord(TableBinding* t, F visit) {
  CurrentGuard keep(t);
  std::vector<uint8_t> buf(t->tb.recordSize);
  t->tb.current = -1;
  while (xMoveNext(&t->tb) == 1) {
    const int32_t slot = t->tb.current;
    if (xGetRec(&t->tb, buf.data()) == 1) visit(buf.data(), slot);
    t->tb.current = slot;
  }
}

// What every index (but "spa") holds when built from the record tables.
std::vector<std::vector<Entry>> Rebuild(ProjectDb* db) {
  std::vector<std::vector<Entry>> want(kIndexCount);
  EachRecord(&db->wbs, [&](const uint8_t* p, int32_t slot) {
    Put(&want[kWbsCodes], MakeCodeEntry(reinterpret_cast<const WbsRecord*>(p)->code, slot));
  });
  EachRecord(&db->obs, [&](const uint8_t* p, int32_t slot) {
    Put(&want[kObsCodes], MakeCodeEntry(reinterpret_cast<const WbsRecord*>(p)->code, slot));
  });
  EachRecord(&db->res, [&](const uint8_t* p, int32_t slot) {
    Put(&want[kIre], MakeCodeEntry(reinterpret_cast<const ResRecord*>(p)->code, slot));
  });
  EachRecord(&db->crw, [&](const uint8_t* p, int32_t slot) {
    const CrewRecord* r = reinterpret_cast<const CrewRecord*>(p);
    Put(&want[kCr1], MakePairEntry(r->wbsCode, r->resCode, slot));
    Put(&want[kCr2], MakePairEntry(r->resCode, r->wbsCode, slot));
  });
  std::map<std::string, ActCodeEntry> activities;
  EachRecord(&db->act, [&](const uint8_t* p, int32_t slot) {
    const ActRecord* r = reinterpret_cast<const ActRecord*>(p);
    const ActCodeEntry code = MakeActCodeEntry(*r, slot);
    activities[std::string(code.code)] = code;
    Put(&want[kActCodes], code);
    Put(&want[kActOrder], MakeActOrderEntry(*r, slot));
    if (r->wbsCode[0] != '\0') {
      Put(&want[kWa1], MakePairEntry(r->wbsCode, r->obsCode, slot));
      Put(&want[kWa2], MakePairEntry(r->obsCode, r->wbsCode, slot));
    }
  });
  EachRecord(&db->rel, [&](const uint8_t* p, int32_t slot) {
    const RelRecord* r = reinterpret_cast<const RelRecord*>(p);
    Put(&want[kRelByPred], MakeRelEntry(r->pred, r->succ, slot));
    Put(&want[kRelBySucc], MakeRelEntry(r->succ, r->pred, slot));
    auto find = [&](const char* code) {
      auto it = activities.find(std::string(code, strnlen(code, kActivityCode)));
      return it == activities.end() ? ActCodeEntry{} : it->second;
    };
    Put(&want[kRelAnchor], MakeAnchorEntry(*r, slot, find(r->pred), find(r->succ)));
  });
  EachRecord(&db->opr, [&](const uint8_t* p, int32_t slot) {
    const OprRecord* r = reinterpret_cast<const OprRecord*>(p);
    Put(&want[kOp1], MakeOp1Entry(*r, slot));
    Put(&want[kOp2], MakeOp2Entry(*r, slot));
  });
  for (int id = 0; id < kIndexCount; ++id) {
    std::stable_sort(want[id].begin(), want[id].end(), [&](const Entry& a, const Entry& b) {
      return CompareEntries(db, static_cast<IndexId>(id), a.data(), b.data()) < 0;
    });
  }
  return want;
}

void Report(char* out, int32_t size, const std::string& text) {
  if (out != nullptr && size > 0) snprintf(out, size, "%s", text.c_str());
}

// Every time-shared entry names a live time-shared activity on a valid
// day, in strictly ascending key order.
std::string CheckTimeShared(ProjectDb* db) {
  const std::vector<Entry> entries = AllEntries(db, kSpa);
  CurrentGuard keep(&db->act);
  for (size_t i = 0; i < entries.size(); ++i) {
    const SpaEntry* e = reinterpret_cast<const SpaEntry*>(entries[i].data());
    RecordBuffer act;
    const std::string where = "spa: entry " + std::to_string(i);
    if (!ReadRecord(&db->act, e->activity, &act)) return where + " names no activity";
    if (act.as<ActRecord>()->type != 2) return where + " names an activity that is not time-shared";
    if (!xIsValidT(e->day)) return where + " has no valid date";
    if (i > 0 && CompareEntries(db, kSpa, entries[i - 1].data(), e) >= 0)
      return where + " is out of order";
  }
  return "";
}

}  // namespace

extern "C" int32_t xCheckIndexes(ProjectDb* db, char* report, int32_t reportSize) {
  const std::vector<std::vector<Entry>> want = Rebuild(db);
  for (int id = 0; id < kIndexCount; ++id) {
    if (id == kSpa) continue;
    const std::vector<Entry> have = AllEntries(db, static_cast<IndexId>(id));
    if (have == want[id]) continue;
    size_t i = 0;
    while (i < have.size() && i < want[id].size() && have[i] == want[id][i]) ++i;
    Report(report, reportSize,
           std::string(IndexName(static_cast<IndexId>(id))) + ": " + std::to_string(have.size()) +
               " entries, " + std::to_string(want[id].size()) +
               " expected, first difference at entry " + std::to_string(i));
    return 0;
  }
  const std::string spa = CheckTimeShared(db);
  if (!spa.empty()) {
    Report(report, reportSize, spa);
    return 0;
  }
  Report(report, reportSize, "");
  return 1;
}

extern "C" int32_t xRebuildIndexes(ProjectDb* db) {
  const std::vector<std::vector<Entry>> want = Rebuild(db);
  bool ok = true;
  for (int id = 0; id < kIndexCount; ++id) {
    if (id != kSpa) ok = ReplaceAllEntries(db, static_cast<IndexId>(id), want[id]) && ok;
  }
  return ok ? 1 : 0;
}

extern "C" int32_t xBeginInputBatch(ProjectDb* db) {
  BeginBatch(db);
  return 1;
}

extern "C" int32_t xEndInputBatch(ProjectDb* db) {
  return EndBatch(db) ? 1 : 0;
}
