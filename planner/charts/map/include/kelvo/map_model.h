// The project map as plain data, without widgets: its stored settings
// block, the displayed levels, the sorted code lists of rows and columns,
// the cell table that places records on the crossings, and the geometry
// of cells, headings and relation lines in logical units (0.1 mm, y up;
// cell (row r, column c) spans x c*w .. (c+1)*w and y -r*h .. -(r+1)*h).
#ifndef KELVO_MAP_MODEL_H_
#define KELVO_MAP_MODEL_H_

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "xJorLib.h"

namespace kelvo {

// What the cells show: activities (work type x facility), crew
// requirements (work type x resource) or the rows of the open summary.
enum class MapMode : int { Activities = 0, Resources = 1, Summary = 2 };

// The map's settings block (186 bytes, the map's settings record).
#pragma pack(push, 1)
struct MapSettings {
  uint16_t flags;         // mapflag::*; other bits are kept as read
  int16_t nameWidth;      // width of the heading-name column, 0 = none
  int16_t cellWidth;      // 52
  int16_t cellHeight;     // 52
  LOGFONT headingFont;    // "굴림체", -32, character set 1
  LOGFONT cellFont;       // the same
  COLORREF headingText;   // 0x000080
  COLORREF cellText;      // 0x800000
  COLORREF relationLine;  // 0x008000
  COLORREF grid;          // 0x808080
  COLORREF headingFill;   // 0xFFFFC0
  COLORREF cellFill[3];   // by colour class: 0xF0F0F0, 0x00FFFF, 0x00FF00
  int16_t headingItem;    // field of the classification record in the name column
  int16_t colourChoice;   // 0 none, 1 critical, 2 progress, 3..5 a code field
  char colourCode[2][11];
};
#pragma pack(pop)
static_assert(sizeof(MapSettings) == 186, "the map settings block is 186 bytes");
static_assert(offsetof(MapSettings, headingText) == 128, "colours follow the two fonts");
static_assert(offsetof(MapSettings, headingItem) == 160, "items follow the colours");

namespace mapflag {
inline constexpr uint16_t kObjects = 0x0001;  // drawing objects shown
inline constexpr uint16_t kNoCrosshair = 0x0002;
inline constexpr uint16_t kRelations = 0x0008;  // relation lines and relation editing
}  // namespace mapflag

// The block of a new map.
MapSettings defaultMapSettings();
// Sizes of a block read from a file brought into range: cell sizes
// 1..32767, the name width 0..32767.
void clampMapSettings(MapSettings* settings);

// Displayed levels of one side (16 bytes): eight 0-based level numbers,
// -1 in unused entries.
struct MapLevels {
  int16_t level[8];
};
static_assert(sizeof(MapLevels) == 16, "a level record is 16 bytes");
// All `count` levels of a classification (count 0..8).
MapLevels allLevels(int count);
// The number of entries before the first -1 or the first level outside
// 0..classLevels-1.
int levelCount(const MapLevels& levels, int classLevels);

// A code of the lists (at most 10 characters, NUL-terminated).
struct MapCode {
  char text[11];
  friend bool operator==(const MapCode& a, const MapCode& b) {
    return __builtin_strncmp(a.text, b.text, sizeof a.text) == 0;
  }
};
using MapCodeList = std::vector<MapCode>;
inline constexpr size_t kMaxMapCodes = 32767;

// A code from bytes (cut at 10 characters).
MapCode mapCode(const char* text);
// Sorts the list byte by byte, drops empty and repeated codes and keeps
// at most kMaxMapCodes.
void normalizeCodeList(MapCodeList* list);
// The index of code in a normalized list, or -1.
int32_t findCode(const MapCodeList& list, const char* code);

// A record to place: its row code, column code and record number.
struct MapSource {
  MapCode row;
  MapCode column;
  int32_t record;
};

// One entry of the cell table.
struct MapCell {
  int16_t column;
  int16_t row;
  int32_t record;
};

// The cell table: every source whose two codes are both in the lists gets
// the cell of their indexes; ordered by row, then column; when two sources
// reach one cell, the earlier in `sources` keeps it.
std::vector<MapCell> buildCellTable(const MapCodeList& rows, const MapCodeList& columns,
                                    std::span<const MapSource> sources);

// The entry at (row, column) of a cell table, or null.
const MapCell* findCell(const std::vector<MapCell>& cells, int32_t row, int32_t column);
// The entries whose row lies in firstRow..lastRow and column in
// firstColumn..lastColumn, in table order.
std::vector<MapCell> cellsInRange(const std::vector<MapCell>& cells, int32_t firstRow,
                                  int32_t lastRow, int32_t firstColumn, int32_t lastColumn);

// Heading sizes of a side showing `levels` levels: 52 units for each
// level from the outer edge, the innermost 180 (with no level, nothing).
std::vector<int32_t> headingSizes(int levels);

// A run of consecutive codes that share the code of one displayed level;
// the heading of that level spans them.
struct HeadingGroup {
  int32_t first;  // index of the first code
  int32_t last;   // index of the last code
  int length;     // bytes of the shared prefix (the level's code length)
};
// The groups of one displayed level whose codes are `length` bytes long.
std::vector<HeadingGroup> headingGroups(const MapCodeList& codes, int length);

// Operation 13 of the map: column, x remainder, row, y remainder of a
// logical point (floor division: the headings give -1).
struct MapPlace {
  int32_t column, xRemainder, row, yRemainder;
};
MapPlace mapPlace(int32_t x, int32_t y, int cellWidth, int cellHeight);

// A relation line from the predecessor's cell to the successor's: the
// ends on the cells' middle heights, the predecessor end at 2/3 of the
// width for FS and FF (1/3 else), the successor end at 2/3 for FF and SF
// (1/3 else); a filled arrowhead 10 long and 20 wide at the successor end,
// horizontal when both cells share a row.
struct MapRelationLine {
  int32_t x1, y1, x2, y2;
  int32_t headX[3], headY[3];  // tip first
};
MapRelationLine relationLine(int32_t predRow, int32_t predColumn, int32_t succRow,
                             int32_t succColumn, int kind, int cellWidth, int cellHeight);

// The colour class (0, 1, 2) of a record under the colour choice:
// critical (float below 1), progress (actual finish 2, actual start 1) on
// activity heads; choices 3..5 compare the code at 109 + 11 x choice with
// the two colour codes (empty codes match nothing). `activityHead` says
// whether the record starts with the activity head (bytes 0..77).
int colourClass(const MapSettings& settings, const void* record, size_t recordSize,
                bool activityHead, bool activityRecord);

// Pages of `count` cells of `cell` units on pages of `room` units: whole
// cells per page, at least one.
int32_t cellsPerPage(int32_t room, int32_t cell);
int32_t pagesFor(int32_t count, int32_t perPage);

}  // namespace kelvo

#endif  // KELVO_MAP_MODEL_H_
