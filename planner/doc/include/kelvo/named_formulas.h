// Named formulas kept with the project: the batch value change's list and
// the data sheet's named conditions, one list per kind of data. They live
// in the working file "a20" (an index table of 146-byte records sorted by
// list, kind and title), which the project file carries. The file is opened
// for each call and closed again, so a save always finds it complete.
#ifndef KELVO_NAMED_FORMULAS_H_
#define KELVO_NAMED_FORMULAS_H_

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "xQdDb100.h"

namespace kelvo {

inline constexpr uint16_t kConditionList = 0;     // the data sheet's "출력 조건"
inline constexpr uint16_t kBatchFormulaList = 1;  // "항목값 일괄변경"
inline constexpr char kNamedFormulaFile[] = "a20";

#pragma pack(push, 1)
struct NamedFormula {
  uint16_t list = 0;
  uint16_t kind = 0;       // kind of data, see namedFormulaKind
  char title[40] = {};     // CP949, NUL-terminated, at most 39 bytes
  char formula[100] = {};  // CP949, NUL-terminated, at most 99 bytes
  uint16_t item = 0;       // ordinal of the item the formula changes
};
#pragma pack(pop)
static_assert(sizeof(NamedFormula) == 146, "a named formula is 146 bytes");

// The kind of data a view of kind number `viewKind` shows, as the lists are
// kept: sheets 0..8 as they are, the trees 9 and 10 as 0 and 1, the Gantt
// sheet 14 as 4, its summary sheet 15 as 7, the Gantt panes 32 and 33 as 5
// and 34 as 6. -1 for views that keep no list.
int namedFormulaKind(int viewKind);

// The entries of (list, kind) in title order. Empty when none are stored.
std::vector<NamedFormula> readNamedFormulas(ProjectDb* db, uint16_t list, uint16_t kind);

// Stores f with its title trimmed of blanks: an entry of the same list,
// kind and title is replaced, otherwise f is added. False when the title is
// empty after trimming or the file cannot be written.
bool registerNamedFormula(ProjectDb* db, NamedFormula f);

// Removes the entry of (list, kind) titled `title` (trimmed). False when
// there is none.
bool deleteNamedFormula(ProjectDb* db, uint16_t list, uint16_t kind, const std::string& title);

// Calls edit on every stored entry and writes back those for which it
// returns true; keys (list, kind, title) must not change. Returns how many
// were written.
int editNamedFormulas(ProjectDb* db, const std::function<bool(NamedFormula&)>& edit);

}  // namespace kelvo

#endif  // KELVO_NAMED_FORMULAS_H_
