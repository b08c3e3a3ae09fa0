// Date constants ("@...@") of stored expressions are read under the date
// settings in force. When the date form, delimiter or ordinal mode
// changes, the stored expressions are rewritten so that each constant still
// names the same day.
#ifndef KELVO_DATE_CONSTANTS_H_
#define KELVO_DATE_CONSTANTS_H_

#include <string>

#include "xQdDb100.h"

namespace kelvo {

// True when dates written under `from` may read differently under `to`
// (form, delimiter, ordinal mode, or the ordinal base in ordinal mode).
bool dateTextChanges(const DateInfo& from, const DateInfo& to);

// expr with every date constant read under `from` written again under `to`.
// A constant that does not read as a date under `from`, and "@@", stay as
// typed; quoted strings and [item names] are never touched. The engine's
// settings are the same afterwards.
std::string rewriteDateConstants(const std::string& expr, const DateInfo& from, const DateInfo& to);

// Rewrites the date constants of the expressions the project keeps: the
// filters of the sheets' records 100 + kind, the period sheets' row filters
// (items 8 and 9), the report's filter (item 153) and the named formulas
// and conditions of "a20". An expression whose new text would not fit its
// 100-byte field is left as it was. Returns how many were rewritten.
int rewriteStoredDateConstants(ProjectDb* db, const DateInfo& from, const DateInfo& to);

}  // namespace kelvo

#endif  // KELVO_DATE_CONSTANTS_H_
