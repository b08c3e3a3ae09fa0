#include "kelvo/map_layout.h"

#include <algorithm>
#include <cstring>

#include "kelvo/summary_build.h"

namespace kelvo {
namespace {

constexpr int16_t kCodeBytes = 11;
// The first two codes of a summary row (activity and resource rows).
constexpr size_t kActRowCodes = kActRowCodesAt, kResRowCodes = kResRowCodesAt;

// Length of the codes of level `level` of a classification.
int levelLength(const ClassLevels& c, int level) {
  return c.start[level] + c.length[level];
}

// The displayed levels of a classification side: the stored ones when at
// least one is valid, else all.
MapLevels displayedLevels(OptionFileRef* opt, int item, const ClassLevels& c) {
  const MapLevels stored = readMapLevels(opt, item);
  const int n = levelCount(stored, c.count);
  if (n == 0) return allLevels(c.count);
  MapLevels l = allLevels(0);
  std::copy_n(stored.level, n, l.level);
  return l;
}

std::vector<int> lengthsOf(const MapLevels& levels, const ClassLevels& c) {
  std::vector<int> out;
  for (int i = 0; i < levelCount(levels, c.count); ++i)
    out.push_back(levelLength(c, levels.level[i]));
  return out;
}

// Codes of a record table at `offset` whose length is `length` (any length
// when length < 0), sorted.
MapCodeList tableCodes(TableBinding& t, size_t offset, int length) {
  MapCodeList list;
  TableHandle* tb = &t.tb;
  std::vector<char> buf(size_t(tb->recordSize) + 1);
  tb->current = -1;
  while (xMoveNext(tb)) {
    if (!xGetRec(tb, buf.data())) continue;
    const MapCode c = mapCode(buf.data() + offset);
    if (length < 0 || int(std::strlen(c.text)) == length) list.push_back(c);
  }
  normalizeCodeList(&list);
  return list;
}

bool summaryOpen(const ProjectDb& db) {
  return db.summary.number > 0 && db.summary.table.tb.handle >= 0;
}

// Summary rows keep their codes after the activity head or the resource
// head; the row layout tells by its size.
size_t summaryCodes(const ProjectDb& db) {
  return db.summary.table.tb.recordSize >= kActRowFixed ? kActRowCodes : kResRowCodes;
}

MapSide classSide(ProjectDb& db, MapMode mode, bool rows, const ClassLevels& c,
                  const MapLevels& levels) {
  MapSide side;
  side.codes = readCodeList(&db.opt, rows ? rowListItem(mode) : columnListItem(mode));
  side.chosen = !side.codes.empty();
  side.levelLengths = lengthsOf(levels, c);
  if (side.codes.empty() && !side.levelLengths.empty())
    side.codes =
        tableCodes(rows ? db.wbs : db.obs, offsetof(WbsRecord, code), side.levelLengths.back());
  return side;
}

}  // namespace

int rowListItem(MapMode mode) {
  return mode == MapMode::Summary ? 19 : 15;
}
int columnListItem(MapMode mode) {
  return 16 + int(mode);
}
int rowLevelItem(MapMode mode) {
  return mode == MapMode::Summary ? 24 : 20;
}
int columnLevelItem(MapMode mode) {
  return 21 + int(mode);
}

MapCodeList readCodeList(OptionFileRef* opt, int item) {
  MapCodeList list;
  MemTable m{};
  xmOpenTb(&m, kCodeBytes, nullptr, 100);
  if (xOption(opt, XOPT_READ_TABLE, item, &m, 0) == item && m.data) {
    list.resize(m.count);
    std::memcpy(list.data(), m.data, size_t(m.count) * kCodeBytes);
  }
  xmCloseTb(&m);
  normalizeCodeList(&list);
  return list;
}

bool writeCodeList(OptionFileRef* opt, int item, const MapCodeList& list) {
  if (list.empty()) {
    xOption(opt, XOPT_DELETE, item, nullptr, 0);
    return true;
  }
  MemTable m{};
  m.recordSize = kCodeBytes;
  m.count = uint32_t(list.size());
  m.data = reinterpret_cast<uint8_t*>(const_cast<MapCode*>(list.data()));
  return xOption(opt, XOPT_WRITE_TABLE, item, &m, 0) == item;
}

MapLevels readMapLevels(OptionFileRef* opt, int item) {
  MapLevels l = allLevels(0);
  if (xOption(opt, XOPT_SIZE, item, nullptr, 0) >= int32_t(sizeof l))
    if (!xOption(opt, XOPT_READ, item, &l, sizeof l)) l = allLevels(0);
  return l;
}

bool writeMapLevels(OptionFileRef* opt, int item, const MapLevels& levels) {
  MapLevels copy = levels;
  return xOption(opt, XOPT_WRITE, item, &copy, sizeof copy) != 0;
}

std::vector<MapSource> mapSources(ProjectDb& db, MapMode mode) {
  std::vector<MapSource> out;
  TableHandle* tb = nullptr;
  size_t rowAt = 0, columnAt = 0;
  switch (mode) {
    case MapMode::Activities:
      tb = &db.act.tb, rowAt = offsetof(ActRecord, wbsCode),
      columnAt = offsetof(ActRecord, obsCode);
      break;
    case MapMode::Resources:
      tb = &db.crw.tb, rowAt = offsetof(CrewRecord, wbsCode),
      columnAt = offsetof(CrewRecord, resCode);
      break;
    case MapMode::Summary:
      if (!summaryOpen(db)) return out;
      tb = &db.summary.table.tb, rowAt = summaryCodes(db), columnAt = rowAt + kCodeBytes;
      break;
  }
  if (size_t(tb->recordSize) < columnAt + kCodeBytes) return out;
  out.reserve(tb->liveCount);
  std::vector<char> buf(size_t(tb->recordSize) + 1);
  tb->current = -1;
  while (xMoveNext(tb)) {
    if (!xGetRec(tb, buf.data())) continue;
    out.push_back({mapCode(buf.data() + rowAt), mapCode(buf.data() + columnAt), tb->current});
  }
  return out;
}

int32_t workTypeRecord(const ProjectDb& db, const MapCode& code) {
  const auto* begin = reinterpret_cast<const CodeEntry*>(db.wbsCodes.data);
  const auto* end = begin ? begin + db.wbsCodes.count : nullptr;
  const auto at = std::lower_bound(begin, end, code, [](const CodeEntry& e, const MapCode& c) {
    return std::strncmp(e.code, c.text, sizeof e.code) < 0;
  });
  return at != end && std::strncmp(at->code, code.text, sizeof at->code) == 0 ? at->record : -1;
}

int writeMapPlaces(ProjectDb& db, const std::vector<MapCell>& cells) {
  TableHandle* tb = &db.act.tb;
  // Record number -> column + 1 and row + 1, 0 for records off the map.
  std::vector<std::pair<int16_t, int16_t>> place;
  for (const MapCell& c : cells) {
    if (c.record < 0) continue;
    if (size_t(c.record) >= place.size()) place.resize(size_t(c.record) + 1, {0, 0});
    place[size_t(c.record)] = {int16_t(c.column + 1), int16_t(c.row + 1)};
  }
  int written = 0;
  std::vector<char> buf(size_t(tb->recordSize) + 1);
  tb->current = -1;
  while (xMoveNext(tb)) {
    if (!xGetRec(tb, buf.data())) continue;
    const size_t r = size_t(tb->current);
    const auto want = r < place.size() ? place[r] : std::pair<int16_t, int16_t>{0, 0};
    int16_t have[2];
    std::memcpy(have, buf.data() + offsetof(ActRecord, mapColumn), sizeof have);
    if (have[0] == want.first && have[1] == want.second) continue;
    const int16_t now[2] = {want.first, want.second};
    std::memcpy(buf.data() + offsetof(ActRecord, mapColumn), now, sizeof now);
    if (xPutRec(tb, buf.data())) ++written;
  }
  return written;
}

std::vector<MapLink> mapLinks(ProjectDb& db, const std::vector<MapCell>& cells) {
  std::vector<MapLink> links;
  // Record number -> its cell (index + 1, 0 = off the map).
  std::vector<uint32_t> cellOf;
  for (size_t i = 0; i < cells.size(); ++i) {
    const size_t r = size_t(std::max(cells[i].record, 0));
    if (r >= cellOf.size()) cellOf.resize(r + 1, 0);
    cellOf[r] = uint32_t(i + 1);
  }
  const auto find = [&](const char* code) -> const MapCell* {
    ActCodeEntry key{};
    std::strncpy(key.code, code, sizeof key.code - 1);
    if (!xmSeek(&db.actCodes, &key)) return nullptr;
    ActCodeEntry e;
    std::memcpy(&e, db.actCodes.data + size_t(db.actCodes.current) * sizeof e, sizeof e);
    const size_t r = size_t(std::max(e.record, 0));
    return r < cellOf.size() && cellOf[r] ? &cells[cellOf[r] - 1] : nullptr;
  };
  TableHandle* tb = &db.rel.tb;
  std::vector<char> buf(size_t(tb->recordSize) + 1);
  tb->current = -1;
  while (xMoveNext(tb)) {
    if (!xGetRec(tb, buf.data())) continue;
    RelRecord r;
    std::memcpy(&r, buf.data(), sizeof r);
    r.pred[sizeof r.pred - 1] = r.succ[sizeof r.succ - 1] = 0;
    const MapCell* p = find(r.pred);
    const MapCell* q = p ? find(r.succ) : nullptr;
    if (q) links.push_back({p->row, p->column, q->row, q->column, r.kind});
  }
  return links;
}

void rebuildCells(ProjectDb& db, MapLayout* layout) {
  const std::vector<MapSource> sources = mapSources(db, layout->mode);
  layout->cells = buildCellTable(layout->rows.codes, layout->columns.codes, sources);
  if (layout->mode == MapMode::Activities) writeMapPlaces(db, layout->cells);
}

MapLayout buildMapLayout(ProjectDb& db, const ClassLevels classes[2], MapMode mode) {
  MapLayout l;
  l.mode = mode;
  if (mode == MapMode::Summary) {
    // The summary's rows carry codes of the levels it was built at: the
    // sides list the codes found there, one level each.
    l.rowLevels = l.columnLevels = allLevels(1);
    l.rows.codes = readCodeList(&db.opt, rowListItem(mode));
    l.columns.codes = readCodeList(&db.opt, columnListItem(mode));
    l.rows.chosen = !l.rows.codes.empty();
    l.columns.chosen = !l.columns.codes.empty();
    const std::vector<MapSource> sources = mapSources(db, mode);
    if (l.rows.codes.empty())
      for (const MapSource& s : sources) l.rows.codes.push_back(s.row);
    if (l.columns.codes.empty())
      for (const MapSource& s : sources) l.columns.codes.push_back(s.column);
    normalizeCodeList(&l.rows.codes);
    normalizeCodeList(&l.columns.codes);
    l.rows.levelLengths = {10};
    l.columns.levelLengths = {10};
    l.cells = buildCellTable(l.rows.codes, l.columns.codes, sources);
    l.table = summaryOpen(db) ? &db.summary.table.tb : nullptr;
    return l;
  }
  l.rowLevels = displayedLevels(&db.opt, rowLevelItem(mode), classes[0]);
  l.rows = classSide(db, mode, true, classes[0], l.rowLevels);
  if (mode == MapMode::Activities) {
    l.columnLevels = displayedLevels(&db.opt, columnLevelItem(mode), classes[1]);
    l.columns = classSide(db, mode, false, classes[1], l.columnLevels);
    l.table = &db.act.tb;
  } else {
    l.columnLevels = allLevels(1);
    l.columns.codes = readCodeList(&db.opt, columnListItem(mode));
    l.columns.chosen = !l.columns.codes.empty();
    if (l.columns.codes.empty())
      l.columns.codes = tableCodes(db.res, offsetof(ResRecord, code), -1);
    l.columns.levelLengths = {10};
    l.table = &db.crw.tb;
  }
  rebuildCells(db, &l);
  return l;
}

namespace {
bool keepOnly(MapSide* side, const std::vector<int32_t>& indexes) {
  MapCodeList kept;
  for (int32_t i : indexes)
    if (i >= 0 && size_t(i) < side->codes.size()) kept.push_back(side->codes[size_t(i)]);
  if (kept.empty()) return false;
  normalizeCodeList(&kept);
  side->codes = std::move(kept);
  side->chosen = true;
  return true;
}
}  // namespace

void keepRows(ProjectDb& db, MapLayout* layout, const std::vector<int32_t>& rows) {
  if (keepOnly(&layout->rows, rows)) rebuildCells(db, layout);
}

void keepColumns(ProjectDb& db, MapLayout* layout, const std::vector<int32_t>& columns) {
  if (keepOnly(&layout->columns, columns)) rebuildCells(db, layout);
}

void storeMapLists(ProjectDb& db, const MapLayout& l) {
  // A list of every code is not stored, so that codes entered later show.
  writeCodeList(&db.opt, rowListItem(l.mode), l.rows.chosen ? l.rows.codes : MapCodeList{});
  writeCodeList(&db.opt, columnListItem(l.mode),
                l.columns.chosen ? l.columns.codes : MapCodeList{});
  writeMapLevels(&db.opt, rowLevelItem(l.mode), l.rowLevels);
  writeMapLevels(&db.opt, columnLevelItem(l.mode), l.columnLevels);
}

}  // namespace kelvo
