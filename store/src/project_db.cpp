// Creating, initialising and closing the working set of a project.
#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "working_set.h"

namespace {

struct TableDef {
  const char* name;
  uint16_t size;
};
constexpr TableDef kTables[] = {{"wbs", XQD_WBS_SIZE}, {"obs", XQD_OBS_SIZE}, {"res", XQD_RES_SIZE},
                                {"crw", XQD_CRW_SIZE}, {"act", XQD_ACT_SIZE}, {"rel", XQD_REL_SIZE},
                                {"opr", XQD_OPR_SIZE}};

// Key descriptors: a type code per element (11 = string, followed by its
// maximum length), ended by 0. They must outlive the tables.
const KeyDesc kCodeKey[] = {11, 10, 0};
const KeyDesc kCodePairKey[] = {11, 10, 11, 10, 0};
const KeyDesc kSpaKey[] = {5, 12, 0};
const KeyDesc kActResKey[] = {11, 20, 11, 10, 0};
const KeyDesc kResActKey[] = {11, 10, 11, 20, 0};
const KeyDesc kActCodeKey[] = {11, 20, 0};
const KeyDesc kOrderKey[] = {4, 5, 0};
const KeyDesc kRelKey[] = {11, 20, 11, 20, 0};
const KeyDesc kObjectKey[] = {7, 0};

constexpr int16_t kGrowth = 100;

struct IndexDef {
  IndexTable ProjectDb::*member;
  const char* name;
  int16_t size;
  const KeyDesc* key;
};
constexpr IndexDef kIndexes[] = {
    {&ProjectDb::ire, "ire", 15, kCodeKey},     {&ProjectDb::cr1, "cr1", 26, kCodePairKey},
    {&ProjectDb::cr2, "cr2", 26, kCodePairKey}, {&ProjectDb::wa1, "wa1", 26, kCodePairKey},
    {&ProjectDb::wa2, "wa2", 26, kCodePairKey}, {&ProjectDb::spa, "spa", 14, kSpaKey},
    {&ProjectDb::op1, "op1", 36, kActResKey},   {&ProjectDb::op2, "op2", 36, kResActKey},
};

struct MemoryDef {
  MemTable ProjectDb::*member;
  int16_t size;
  const KeyDesc* key;
};
constexpr MemoryDef kMemories[] = {
    {&ProjectDb::wbsCodes, 15, kCodeKey},    {&ProjectDb::obsCodes, 15, kCodeKey},
    {&ProjectDb::actCodes, 31, kActCodeKey}, {&ProjectDb::actOrder, 10, kOrderKey},
    {&ProjectDb::relByPred, 46, kRelKey},    {&ProjectDb::relBySucc, 46, kRelKey},
    {&ProjectDb::relAnchor, 14, kOrderKey},  {&ProjectDb::objects, 28, kObjectKey},
};

// The record structs are the on-disk layouts.
static_assert(sizeof(PrjInfo) == XQD_INFO_SIZE && offsetof(PrjInfo, stage) == 140 &&
              offsetof(PrjInfo, calendarFrom) == 152 && offsetof(PrjInfo, remark) == 156 &&
              offsetof(PrjInfo, amountDecimals) == 197 && offsetof(PrjInfo, amountDigits) == 198);
static_assert(sizeof(WbsRecord) == XQD_WBS_SIZE && offsetof(WbsRecord, code) == 4 &&
              offsetof(WbsRecord, quantity) == 104 && offsetof(WbsRecord, duration) == 144);
static_assert(sizeof(ResRecord) == XQD_RES_SIZE && offsetof(ResRecord, unit) == 95);
static_assert(sizeof(CrewRecord) == XQD_CRW_SIZE && offsetof(CrewRecord, crewSize) == 48);
static_assert(sizeof(ActRecord) == XQD_ACT_SIZE && offsetof(ActRecord, contractWeight) == 38 &&
              offsetof(ActRecord, quantity) == 46 && offsetof(ActRecord, contractPrice) == 78 &&
              offsetof(ActRecord, freeFloat) == 102 && offsetof(ActRecord, anchor) == 114 &&
              offsetof(ActRecord, wbsCode) == 120 && offsetof(ActRecord, subcontractor) == 142 &&
              offsetof(ActRecord, remark) == 175 && offsetof(ActRecord, code) == 216 &&
              offsetof(ActRecord, title) == 237);
static_assert(sizeof(RelRecord) == XQD_REL_SIZE && offsetof(RelRecord, kind) == 44 &&
              offsetof(RelRecord, row) == 48);
static_assert(sizeof(OprRecord) == XQD_OPR_SIZE && offsetof(OprRecord, quantity) == 34);
static_assert(sizeof(CodeEntry) == 15 && sizeof(CodePairEntry) == 26 && sizeof(SpaEntry) == 14);
static_assert(sizeof(OprEntry) == 36 && sizeof(OprByResEntry) == 36);
static_assert(sizeof(ActCodeEntry) == 31 && sizeof(ActOrderEntry) == 10);
static_assert(sizeof(RelCodeEntry) == 46 && sizeof(RelAnchorEntry) == 14);

void MarkClosed(ProjectDb* db, int32_t refHandle) {
  memset(db, 0, sizeof *db);
  db->space.mainHandle = -1;
  db->space.refHandle = refHandle;
  for (TableBinding* t : xqd::RecordTables(db)) {
    t->db = &db->space;
    t->tb.handle = -1;
    t->tb.current = -1;
  }
  for (const IndexDef& s : kIndexes) (db->*s.member).handle = -1;
  db->opt.handle = -1;
  db->summary.table.db = &db->space;
  db->summary.table.tb.handle = -1;
  db->summary.table.tb.current = -1;
}

}  // namespace

namespace xqd {

std::string MemberPath(const ProjectDb* db, const char* name) {
  const int stem = db->space.stemLength;
  return std::string(db->space.path, stem > 0 && stem < 260 ? stem : 0) + name;
}

std::string WorkFileName(int i) {
  return "a" + std::to_string(20 + i);
}

std::vector<TableBinding*> RecordTables(ProjectDb* db) {
  return {&db->wbs, &db->obs, &db->res, &db->crw, &db->act, &db->rel, &db->opr};
}

std::vector<ImageRef> ImagesInFileOrder(ProjectDb* db) {
  auto t = [](TableBinding& b) { return ImageRef{&b.tb, nullptr, nullptr}; };
  auto i = [](IndexTable& x) { return ImageRef{nullptr, &x, nullptr}; };
  auto m = [](MemTable& x) { return ImageRef{nullptr, nullptr, &x}; };
  return {t(db->wbs),      m(db->wbsCodes),  t(db->obs),       m(db->obsCodes),  t(db->res),
          i(db->ire),      t(db->crw),       i(db->cr1),       i(db->cr2),       t(db->act),
          m(db->actCodes), m(db->actOrder),  i(db->wa1),       i(db->wa2),       i(db->spa),
          t(db->rel),      m(db->relByPred), m(db->relBySucc), m(db->relAnchor), t(db->opr),
          i(db->op1),      i(db->op2)};
}

void ResetObjects(ProjectDb* db) {
  xmCloseTb(&db->objects);
  xmOpenTb(&db->objects, 28, kObjectKey, kGrowth);
}

}  // namespace xqd

extern "C" int32_t xCreateDB(ProjectDb* db, void* /*info*/, const char* folder,
                             const char* prefix) {
  MarkClosed(db, -1);
  if (!xOpenDb(&db->space, folder, prefix)) return 0;
  std::vector<TableBinding*> tables = xqd::RecordTables(db);
  for (size_t i = 0; i < tables.size(); ++i) {
    if (!xOpenTb(&db->space, &tables[i]->tb, kTables[i].name, kTables[i].size)) return 0;
  }
  if (!xOpenOpt(&db->space, &db->opt, "opt", XQD_OPTION_SLOTS)) return 0;
  for (const IndexDef& s : kIndexes) {
    if (!xiOpenTb(&db->space, &(db->*s.member), s.name, s.size, s.key)) return 0;
  }
  for (const MemoryDef& s : kMemories) xmOpenTb(&(db->*s.member), s.size, s.key, kGrowth);
  return 1;
}

extern "C" int32_t xInitializeDB(ProjectDb* db, void* /*info*/) {
  std::vector<TableBinding*> tables = xqd::RecordTables(db);
  for (size_t i = 0; i < tables.size(); ++i) {
    RefList list = {0, 0, nullptr};
    if (!xGetRef(db->space.refHandle, XQD_REF_WBS + static_cast<int32_t>(i), &list)) return 0;
    const bool fits = list.width == sizeof(FieldDesc) - 1;
    FieldDesc* fields =
        fits ? static_cast<FieldDesc*>(malloc(list.count * sizeof(FieldDesc) + 1)) : nullptr;
    if (fields != nullptr) memcpy(fields, list.entries, list.count * sizeof(FieldDesc));
    xFreeBuffer(list.entries);
    if (fields == nullptr) return 0;
    // A descriptor outside the record would let value conversion run past it.
    for (uint16_t f = 0; f < list.count; ++f) {
      if (fields[f].offset < 0 ||
          fields[f].offset + xSizeOfData(&fields[f], 0xFFFFFFFFu) > tables[i]->tb.recordSize) {
        free(fields);
        return 0;
      }
    }
    free(tables[i]->tb.fields);
    tables[i]->tb.fields = fields;
    tables[i]->tb.fieldCount = static_cast<int16_t>(list.count);
  }
  return 1;
}

extern "C" void xCloseDB(ProjectDb* db) {
  xCloseSumFile(db, nullptr);
  for (TableBinding* t : xqd::RecordTables(db)) {
    if (t->tb.handle != -1) xCloseTb(&db->space, &t->tb);
  }
  for (const IndexDef& s : kIndexes) {
    IndexTable& x = db->*s.member;
    if (x.handle != -1) xCloseTemp(&db->space, &x.handle, s.name);
  }
  for (const MemoryDef& s : kMemories) xmCloseTb(&(db->*s.member));
  if (db->opt.handle != -1) xCloseTemp(&db->space, &db->opt.handle, "opt");
  if (db->space.mainHandle != -1) {
    xCloseFile(&db->space.mainHandle);
    xDelDbTemp(&db->space);
  }
  MarkClosed(db, db->space.refHandle);
}
