// Every item of the project option file with its owner and size, so that no
// two parts of the program write the same item. Items kept per view kind
// are reached only through kindItem(), which knows which kinds own a record
// of each sort: a kind without one gets no item, so it cannot read or
// overwrite another kind's record.
#ifndef KELVO_OPTION_SLOTS_H_
#define KELVO_OPTION_SLOTS_H_

#include <cstdint>
#include <span>

#include "kelvo/view_kind.h"

namespace kelvo {

struct OptionSlotRange {
  int first;      // first item
  int count;      // consecutive items
  uint32_t size;  // bytes of each item, 0 = variable
  const char* owner;
};

inline constexpr int kOptClassDefs = 1;     // two ClassDef records, 404 bytes
inline constexpr int kOptSideCaptions = 2;  // captions of the time scale's side areas
inline constexpr int kOptOpenSummary = 4;   // u16 open summary number
inline constexpr int kOptResourceClasses = 5;
inline constexpr int kOptMapItem = 25;
inline constexpr int kOptChartBlock = 29;     // the period chart's bar block
inline constexpr int kOptValueEntries = 200;  // + value sheet number 0..49
inline constexpr int kOptValueHeader = 250;   // + value sheet number
inline constexpr int kOptValueLink = 300;     // + value sheet number
inline constexpr int kValueSheets = 50;

// The sorts of records a view kind keeps.
enum class KindRecord {
  Settings,     // 100 + k: grid format block, time scale, map or report settings
  Columns,      // 132 + k: a sheet's column records
  PrintFormat,  // 164 + k
  PaneFormat,   // 348 + k: a lower Gantt pane's grid format block
  PaneColumns,  // 358 + k: its column records
  Band,         // the period-band block of a time-scaled view
  ValueItems,   // a period sheet's value items
  RowSource,    // filter and order of a period sheet's or the report's rows
};

// The option item of kind's record of that sort, or -1 when the kind keeps
// no such record.
int kindItem(KindRecord record, ViewKind kind);

// Every item, one row per range; the records kept per view kind appear one
// row per kind that owns one.
std::span<const OptionSlotRange> optionSlotTable();

}  // namespace kelvo

#endif  // KELVO_OPTION_SLOTS_H_
