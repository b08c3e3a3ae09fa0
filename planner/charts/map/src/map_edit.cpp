#include "kelvo/map_edit.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <string>

#include "kelvo/plan_doc.h"
#include "kelvo/summary_build.h"

namespace kelvo {
namespace {

// An activity's record as it was, to be put back by the undo step.
struct KeptRecord {
  int32_t slot;
  std::vector<char> bytes;
};

// One undo step over every record of a block edit: it swaps the kept
// records with the live ones, all of them, so running it again redoes.
void keepBlockUndo(CPlanDoc& doc, ViewKind kind, std::vector<KeptRecord> kept) {
  doc.undo().keep(nullptr, [&doc, kind, kept = std::move(kept)]() mutable {
    TableHandle* tb = doc.isOpen() ? editTable(doc.db(), kind) : nullptr;
    if (!tb) return false;
    for (KeptRecord& k : kept) {
      std::vector<char> now(k.bytes.size());
      tb->current = k.slot;
      if (!xGetRec(tb, now.data())) return false;
      if (!doc.inputRecord(kind, k.slot, k.bytes.data(), -1, EditReport::Show)) return false;
      k.bytes = std::move(now);
    }
    // Each input kept a step of its own; this one stays instead.
    doc.undo().clear();
    return true;
  });
}

// The slot of the relation from pred to succ, or -1.
int32_t relationSlot(ProjectDb& db, const char* pred, const char* succ) {
  RelCodeEntry key{};
  std::strncpy(key.first, pred, sizeof key.first - 1);
  std::strncpy(key.second, succ, sizeof key.second - 1);
  if (!xmSeek(&db.relByPred, &key)) return -1;
  RelCodeEntry found;
  std::memcpy(&found, db.relByPred.data + size_t(db.relByPred.current) * sizeof found,
              sizeof found);
  return found.record;
}

bool readActivity(ProjectDb& db, int32_t slot, ActRecord* a, std::vector<char>* buf) {
  buf->assign(db.act.tb.recordSize + 1u, 0);
  db.act.tb.current = slot;
  if (!xGetRec(&db.act.tb, buf->data())) return false;
  std::memcpy(a, buf->data(), sizeof *a);
  a->code[sizeof a->code - 1] = 0;
  return true;
}

}  // namespace

ViewKind mapEditKind(const CPlanDoc& doc, MapMode mode) {
  switch (mode) {
    case MapMode::Activities:
      return ViewKind::Activities;
    case MapMode::Resources:
      return ViewKind::Crews;
    case MapMode::Summary:
      break;
  }
  const ProjectDb& db = const_cast<CPlanDoc&>(doc).db();
  return db.summary.table.tb.recordSize >= kActRowFixed ? ViewKind::Summary
                                                        : ViewKind::ResourceSummary;
}

ItemEdit itemEditKind(MapMode mode, const FieldDesc& field) {
  if (field.flags & XF_READONLY) return ItemEdit::ReadOnly;
  // Items the analysis or the crew details compute, and codes and names
  // that a batch cannot sensibly give every record.
  static constexpr int16_t kActivityComputed[] = {4,  6,  12, 14, 16, 18,  24,  26,
                                                  28, 30, 32, 34, 36, 102, 216, 237};
  static constexpr int16_t kCrewComputed[] = {32};
  const auto has = [&](auto& list) {
    return std::find(std::begin(list), std::end(list), field.offset) != std::end(list);
  };
  if (mode == MapMode::Activities && has(kActivityComputed)) return ItemEdit::Computed;
  if (mode == MapMode::Resources && has(kCrewComputed)) return ItemEdit::Computed;
  return ItemEdit::Allowed;
}

BlockEditResult setItemOfRecords(CPlanDoc& doc, MapMode mode, const std::vector<int32_t>& records,
                                 int field, const QByteArray& value) {
  BlockEditResult result;
  if (!doc.isOpen()) return result;
  const ViewKind kind = mapEditKind(doc, mode);
  TableHandle* tb = editTable(doc.db(), kind);
  if (!tb || field < 0 || field >= tb->fieldCount) return result;
  const int32_t ref = doc.db().space.refHandle;
  std::vector<KeptRecord> kept;
  for (int32_t slot : records) {
    std::vector<char> record(tb->recordSize + 1u, 0);
    tb->current = slot;
    if (!xGetRec(tb, record.data())) continue;
    KeptRecord before{slot, record};
    // As the sheet stores a typed cell: the text parsed into the field,
    // activities with their dates derived from what changed.
    xSetValue(tb->fields, ref, value.constData(), record.data(), field);
    const EditResult r = doc.inputRecord(kind, slot, record.data(),
                                         kind == ViewKind::Activities ? 0 : -1, EditReport::Show);
    if (!r) {
      result.message = r.message;
      break;
    }
    kept.push_back(std::move(before));
    ++result.stored;
  }
  if (!kept.empty()) keepBlockUndo(doc, kind, std::move(kept));
  return result;
}

int linkSelectedCells(CPlanDoc& doc, std::vector<MapCell> selected, int kind) {
  if (!doc.isOpen() || selected.size() < 2) return -1;
  ProjectDb& db = doc.db();
  std::sort(selected.begin(), selected.end(), [](const MapCell& a, const MapCell& b) {
    return a.column != b.column ? a.column < b.column : a.row < b.row;
  });
  int skipped = 0;
  std::vector<char> buf, rel(db.rel.tb.recordSize + 1u, 0);
  for (size_t i = 1; i < selected.size(); ++i) {
    const MapCell& upper = selected[i - 1];
    const MapCell& lower = selected[i];
    if (upper.column != lower.column) continue;
    ActRecord a, b;
    if (!readActivity(db, upper.record, &a, &buf) || !readActivity(db, lower.record, &b, &buf))
      continue;
    RelRecord r{};
    const int32_t slot = relationSlot(db, a.code, b.code);
    if (slot >= 0) {
      db.rel.tb.current = slot;
      if (!xGetRec(&db.rel.tb, rel.data())) continue;
      std::memcpy(&r, rel.data(), sizeof r);
      if (r.kind == kind) continue;
    } else {
      std::fill(rel.begin(), rel.end(), 0);
      std::memcpy(r.pred, a.code, sizeof r.pred);
      std::memcpy(r.succ, b.code, sizeof r.succ);
    }
    r.kind = int16_t(kind);
    std::memcpy(rel.data(), &r, sizeof r);
    if (!doc.inputRecord(ViewKind::Relations, slot, rel.data(), -1)) ++skipped;
  }
  return skipped;
}

int copySelectedRelations(CPlanDoc& doc, const std::vector<MapCell>& selected,
                          const std::vector<MapCell>& cells, int32_t dRows, int32_t dColumns) {
  if (!doc.isOpen() || selected.size() < 2 || (dRows == 0 && dColumns == 0)) return -1;
  ProjectDb& db = doc.db();
  // The selected activities by code, and the code of each target activity.
  std::vector<char> buf;
  std::map<std::string, const MapCell*> source;
  for (const MapCell& c : selected) {
    ActRecord a;
    if (readActivity(db, c.record, &a, &buf)) source[std::string(a.code, strnlen(a.code, 20))] = &c;
  }
  const auto targetCode = [&](const MapCell& c, ActRecord* a) {
    const MapCell* t = findCell(cells, c.row + dRows, c.column + dColumns);
    return t && readActivity(db, t->record, a, &buf);
  };
  // The relations to copy first: adding them changes the table walked.
  std::vector<RelRecord> copies;
  std::vector<char> rel(db.rel.tb.recordSize + 1u, 0);
  db.rel.tb.current = -1;
  while (xMoveNext(&db.rel.tb)) {
    if (!xGetRec(&db.rel.tb, rel.data())) continue;
    RelRecord r;
    std::memcpy(&r, rel.data(), sizeof r);
    const auto pred = source.find(std::string(r.pred, strnlen(r.pred, 20)));
    const auto succ = source.find(std::string(r.succ, strnlen(r.succ, 20)));
    ActRecord a, b;
    if (pred == source.end() || succ == source.end() || !targetCode(*pred->second, &a) ||
        !targetCode(*succ->second, &b))
      continue;
    RelRecord copy{};
    std::memcpy(copy.pred, a.code, sizeof copy.pred);
    std::memcpy(copy.succ, b.code, sizeof copy.succ);
    copy.kind = r.kind;
    copy.lag = r.lag;
    copies.push_back(copy);
  }
  if (copies.empty()) return -1;
  int skipped = 0;
  for (const RelRecord& r : copies) {
    std::fill(rel.begin(), rel.end(), 0);
    std::memcpy(rel.data(), &r, sizeof r);
    if (!doc.inputRecord(ViewKind::Relations, -1, rel.data(), -1)) ++skipped;
  }
  return skipped;
}

int deleteRelationsFrom(CPlanDoc& doc, const std::vector<int32_t>& records) {
  if (!doc.isOpen()) return 0;
  ProjectDb& db = doc.db();
  int deleted = 0;
  std::vector<char> buf;
  for (int32_t slot : records) {
    ActRecord a;
    if (!readActivity(db, slot, &a, &buf)) continue;
    // The relations of one predecessor lie together in the index; each
    // deletion changes it, so the first one is looked up again.
    for (;;) {
      RelCodeEntry key{};
      std::strncpy(key.first, a.code, sizeof key.first - 1);
      xmSeek(&db.relByPred, &key);
      const uint32_t at = db.relByPred.current;
      if (at == XJOR_NONE || at >= db.relByPred.count) break;
      RelCodeEntry e;
      std::memcpy(&e, db.relByPred.data + size_t(at) * sizeof e, sizeof e);
      if (std::strncmp(e.first, a.code, sizeof e.first) != 0) break;
      db.rel.tb.current = e.record;
      if (!doc.deleteRecord(ViewKind::Relations)) break;
      ++deleted;
    }
  }
  return deleted;
}

}  // namespace kelvo
