#include "kelvo/map_model.h"

#include <algorithm>
#include <cstring>

namespace kelvo {
namespace {

constexpr int32_t kArrowLength = 10;
constexpr int32_t kArrowHalfWidth = 10;

LOGFONT defaultFont() {
  LOGFONT f{};
  f.lfHeight = -32;
  f.lfCharSet = 1;
  // "굴림체" in CP949.
  const char face[] = "\xB1\xBC\xB8\xB2\xC3\xBC";
  std::memcpy(f.lfFaceName, face, sizeof face);
  return f;
}

bool codeLess(const MapCode& a, const MapCode& b) {
  return std::strncmp(a.text, b.text, sizeof a.text) < 0;
}

int32_t floorDiv(int32_t a, int32_t b) {
  const int32_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// The cell table's order: by row, then column.
bool cellOrder(const MapCell& a, const MapCell& b) {
  return a.row != b.row ? a.row < b.row : a.column < b.column;
}

template <typename T>
T readAt(const void* record, size_t offset) {
  T v;
  std::memcpy(&v, static_cast<const char*>(record) + offset, sizeof v);
  return v;
}

}  // namespace

MapSettings defaultMapSettings() {
  MapSettings s{};
  s.flags = 11;
  s.nameWidth = 0;
  s.cellWidth = 52;
  s.cellHeight = 52;
  s.headingFont = defaultFont();
  s.cellFont = defaultFont();
  s.headingText = 0x000080;
  s.cellText = 0x800000;
  s.relationLine = 0x008000;
  s.grid = 0x808080;
  s.headingFill = 0xFFFFC0;
  s.cellFill[0] = 0xF0F0F0;
  s.cellFill[1] = 0x00FFFF;
  s.cellFill[2] = 0x00FF00;
  return s;
}

void clampMapSettings(MapSettings* s) {
  s->cellWidth = std::max<int16_t>(1, s->cellWidth);
  s->cellHeight = std::max<int16_t>(1, s->cellHeight);
  s->nameWidth = std::max<int16_t>(0, s->nameWidth);
  s->colourCode[0][10] = s->colourCode[1][10] = 0;
}

MapLevels allLevels(int count) {
  MapLevels l;
  for (int i = 0; i < 8; ++i) l.level[i] = int16_t(i < count ? i : -1);
  return l;
}

int levelCount(const MapLevels& levels, int classLevels) {
  int n = 0;
  while (n < 8 && levels.level[n] >= 0 && levels.level[n] < classLevels) ++n;
  return n;
}

MapCode mapCode(const char* text) {
  MapCode c{};
  std::strncpy(c.text, text, sizeof c.text - 1);
  return c;
}

void normalizeCodeList(MapCodeList* list) {
  for (MapCode& c : *list) c.text[sizeof c.text - 1] = 0;
  std::erase_if(*list, [](const MapCode& c) { return c.text[0] == 0; });
  std::sort(list->begin(), list->end(), codeLess);
  list->erase(std::unique(list->begin(), list->end(),
                          [](const MapCode& a, const MapCode& b) {
                            return std::strcmp(a.text, b.text) == 0;
                          }),
              list->end());
  if (list->size() > kMaxMapCodes) list->resize(kMaxMapCodes);
}

int32_t findCode(const MapCodeList& list, const char* code) {
  const MapCode key = mapCode(code);
  const auto at = std::lower_bound(list.begin(), list.end(), key, codeLess);
  if (at == list.end() || std::strcmp(at->text, key.text) != 0) return -1;
  return int32_t(at - list.begin());
}

std::vector<MapCell> buildCellTable(const MapCodeList& rows, const MapCodeList& columns,
                                    std::span<const MapSource> sources) {
  std::vector<MapCell> cells;
  cells.reserve(sources.size());
  for (const MapSource& s : sources) {
    const int32_t row = findCode(rows, s.row.text);
    if (row < 0) continue;
    const int32_t column = findCode(columns, s.column.text);
    if (column < 0) continue;
    cells.push_back({int16_t(column), int16_t(row), s.record});
  }
  // Stable, so that the first source of a cell stays in front of any later
  // one, which is then dropped.
  std::stable_sort(cells.begin(), cells.end(), cellOrder);
  cells.erase(std::unique(cells.begin(), cells.end(),
                          [](const MapCell& a, const MapCell& b) {
                            return a.row == b.row && a.column == b.column;
                          }),
              cells.end());
  return cells;
}

const MapCell* findCell(const std::vector<MapCell>& cells, int32_t row, int32_t column) {
  if (row < 0 || column < 0 || row > INT16_MAX || column > INT16_MAX) return nullptr;
  const MapCell key{int16_t(column), int16_t(row), 0};
  const auto at = std::lower_bound(cells.begin(), cells.end(), key, cellOrder);
  return at != cells.end() && at->row == row && at->column == column ? &*at : nullptr;
}

std::vector<MapCell> cellsInRange(const std::vector<MapCell>& cells, int32_t firstRow,
                                  int32_t lastRow, int32_t firstColumn, int32_t lastColumn) {
  std::vector<MapCell> out;
  firstRow = std::max(firstRow, 0);
  firstColumn = std::max(firstColumn, 0);
  if (lastRow < firstRow || lastColumn < firstColumn) return out;
  for (int32_t row = firstRow; row <= std::min<int32_t>(lastRow, INT16_MAX); ++row) {
    const MapCell key{int16_t(std::min<int32_t>(firstColumn, INT16_MAX)), int16_t(row), 0};
    auto it = std::lower_bound(cells.begin(), cells.end(), key, cellOrder);
    if (it == cells.end()) break;
    // Rows without cells are skipped in one step.
    if (it->row > row) {
      row = it->row - 1;
      continue;
    }
    for (; it != cells.end() && it->row == row && it->column <= lastColumn; ++it)
      out.push_back(*it);
  }
  return out;
}

std::vector<int32_t> headingSizes(int levels) {
  std::vector<int32_t> sizes(size_t(std::max(levels, 0)), 52);
  if (!sizes.empty()) sizes.back() = 180;
  return sizes;
}

std::vector<HeadingGroup> headingGroups(const MapCodeList& codes, int length) {
  std::vector<HeadingGroup> groups;
  for (int32_t i = 0; i < int32_t(codes.size()); ++i) {
    if (!groups.empty()) {
      HeadingGroup& g = groups.back();
      if (std::strncmp(codes[size_t(g.first)].text, codes[size_t(i)].text, size_t(length)) == 0) {
        g.last = i;
        continue;
      }
    }
    groups.push_back({i, i, length});
  }
  return groups;
}

MapPlace mapPlace(int32_t x, int32_t y, int cellWidth, int cellHeight) {
  MapPlace p;
  p.column = floorDiv(x, cellWidth);
  p.xRemainder = x - p.column * cellWidth;
  p.row = floorDiv(-y, cellHeight);
  p.yRemainder = -(-y - p.row * cellHeight);
  return p;
}

MapRelationLine relationLine(int32_t predRow, int32_t predColumn, int32_t succRow,
                             int32_t succColumn, int kind, int cellWidth, int cellHeight) {
  const bool leavesAtFinish = kind == 0 || kind == 1;
  const bool reachesFinish = kind == 1 || kind == 3;
  MapRelationLine l;
  l.x1 = predColumn * cellWidth + (leavesAtFinish ? 2 * cellWidth / 3 : cellWidth / 3);
  l.y1 = -predRow * cellHeight - cellHeight / 2;
  l.x2 = succColumn * cellWidth + (reachesFinish ? 2 * cellWidth / 3 : cellWidth / 3);
  l.y2 = -succRow * cellHeight - cellHeight / 2;
  l.headX[0] = l.x2;
  l.headY[0] = l.y2;
  if (predRow == succRow) {
    const int32_t back = l.x2 >= l.x1 ? -kArrowLength : kArrowLength;
    l.headX[1] = l.headX[2] = l.x2 + back;
    l.headY[1] = l.y2 + kArrowHalfWidth;
    l.headY[2] = l.y2 - kArrowHalfWidth;
  } else {
    const int32_t back = l.y2 < l.y1 ? kArrowLength : -kArrowLength;
    l.headY[1] = l.headY[2] = l.y2 + back;
    l.headX[1] = l.x2 - kArrowHalfWidth;
    l.headX[2] = l.x2 + kArrowHalfWidth;
  }
  return l;
}

int colourClass(const MapSettings& s, const void* record, size_t recordSize, bool activityHead,
                bool activityRecord) {
  const int choice = s.colourChoice;
  if ((choice == 1 || choice == 2) && activityHead && recordSize >= 24) {
    if (choice == 1) return readAt<int16_t>(record, 6) < 1 ? 1 : 0;
    if (readAt<uint16_t>(record, 22) != 0) return 2;
    return readAt<uint16_t>(record, 20) != 0 ? 1 : 0;
  }
  if (choice >= 3 && choice <= 5 && activityRecord) {
    const size_t at = 109 + 11 * size_t(choice);
    if (recordSize < at + 11) return 0;
    const char* code = static_cast<const char*>(record) + at;
    for (int k = 0; k < 2; ++k)
      if (s.colourCode[k][0] != 0 && std::strncmp(code, s.colourCode[k], 11) == 0) return k + 1;
  }
  return 0;
}

int32_t cellsPerPage(int32_t room, int32_t cell) {
  return std::max<int32_t>(1, cell > 0 ? room / cell : 1);
}

int32_t pagesFor(int32_t count, int32_t perPage) {
  return std::max<int32_t>(1, (count + perPage - 1) / std::max<int32_t>(perPage, 1));
}

}  // namespace kelvo
