// The project map of an open project, without widgets: the lists of row
// and column codes with their displayed levels (stored in the project's
// option file), the cell table built from the mode's table, and the map
// places written into the activities.
#ifndef KELVO_MAP_LAYOUT_H_
#define KELVO_MAP_LAYOUT_H_

#include <cstdint>
#include <vector>

#include "kelvo/map_model.h"
#include "xQdDb100.h"

namespace kelvo {

// Option items of the stored lists and levels of a mode.
int rowListItem(MapMode mode);      // 15, 19 in summary mode
int columnListItem(MapMode mode);   // 16 + mode
int rowLevelItem(MapMode mode);     // 20, 24 in summary mode
int columnLevelItem(MapMode mode);  // 21 + mode

// A stored code list (a saved memory table of 11-byte codes), normalized;
// empty when the item is missing or damaged.
MapCodeList readCodeList(OptionFileRef* opt, int item);
// Stores a list; an empty one deletes the item (the map then shows every
// code). False when the write failed.
bool writeCodeList(OptionFileRef* opt, int item, const MapCodeList& list);
// A stored level record; all -1 when the item is missing.
MapLevels readMapLevels(OptionFileRef* opt, int item);
bool writeMapLevels(OptionFileRef* opt, int item, const MapLevels& levels);

// One side of the map: its codes and, per displayed level, the length of
// that level's codes (outermost first; the last is the codes' own length).
struct MapSide {
  MapCodeList codes;
  std::vector<int> levelLengths;
  // The codes were chosen (read from the file or narrowed by a command),
  // not every code of the level.
  bool chosen = false;
};

// Everything the map shows in one mode.
struct MapLayout {
  MapMode mode = MapMode::Activities;
  MapSide rows, columns;
  MapLevels rowLevels{}, columnLevels{};
  std::vector<MapCell> cells;
  // The table the cells' record numbers point into (null: none open).
  TableHandle* table = nullptr;
};

// Builds the map of `mode` from the project: the displayed levels (the
// stored ones when valid, else every level of the classification), the
// stored code lists or, for an empty one, every code of the deepest
// displayed level (resource columns: every resource; summary mode: every
// code the summary rows carry), and the cell table. In activity mode the
// map places of the activities are brought up to date (writeMapPlaces).
// `classes` are the work-type and facility level definitions.
MapLayout buildMapLayout(ProjectDb& db, const ClassLevels classes[2], MapMode mode);

// Rebuilds only the cell table (and map places) of a layout whose lists
// are set.
void rebuildCells(ProjectDb& db, MapLayout* layout);

// The records of the mode's table as (row code, column code, record) in
// table order: activities (work type, facility), crews (work type,
// resource), summary rows (their first two codes).
std::vector<MapSource> mapSources(ProjectDb& db, MapMode mode);

// The record number of a work-type code in the classification table (its
// code index), or -1 when the code is not registered.
int32_t workTypeRecord(const ProjectDb& db, const MapCode& code);

// Writes column + 1 and row + 1 of each activity's cell at bytes 116 and
// 118 (0 and 0 for an activity off the map), touching only records whose
// bytes change. Returns the number of records written.
int writeMapPlaces(ProjectDb& db, const std::vector<MapCell>& cells);

// "선택 행 보기" / "선택 열 보기": keeps only the rows (columns) whose
// indexes are given, marks that side chosen and rebuilds the cells.
// Nothing changes for an empty choice.
void keepRows(ProjectDb& db, MapLayout* layout, const std::vector<int32_t>& rows);
void keepColumns(ProjectDb& db, MapLayout* layout, const std::vector<int32_t>& columns);

// A relation between two activities on the map: their cells and its kind.
struct MapLink {
  int16_t predRow, predColumn, succRow, succColumn;
  int16_t kind;
};
// Every relation whose two activities are both in `cells` (activity
// mode), in the order of the relation table.
std::vector<MapLink> mapLinks(ProjectDb& db, const std::vector<MapCell>& cells);

// Stores the layout's lists and levels (the settings record is the
// view's).
void storeMapLists(ProjectDb& db, const MapLayout& layout);

}  // namespace kelvo

#endif  // KELVO_MAP_LAYOUT_H_
