// The batch value change: one item of a list of records computed from a
// formula of the query language. Every record is evaluated before anything
// is written, so a formula that fails on any record changes nothing.
#ifndef KELVO_BATCH_CHANGE_H_
#define KELVO_BATCH_CHANGE_H_

#include <cstdint>
#include <functional>
#include <span>

#include "xjor/field.h"
#include "xjor/table.h"

namespace kelvo {

inline constexpr int32_t kItemNotFound = 21024;      // "파일 항목을 찾을 수 없습니다."
inline constexpr int32_t kItemProtected = 20007;     // "수정할 수 없는  항목입니다."
inline constexpr int32_t kResultDoesNotFit = 21020;  // "요구하는 결과 값이 아닙니다."

// True for an item the batch change cannot write: flagged read-only, or of
// a type without value text (one character, raw bytes, unknown types).
bool isProtectedItem(const FieldDesc& field);

// True when `value` written with the field's decimals (sign included) fits
// its integer digits: no longer than width + decimals + 1 characters, or
// the width alone without decimals.
bool numberFitsField(double value, const FieldDesc& field);

// Enters the changed record of `slot` (the record input of its kind of data,
// with its derived dates); returns 0 or the message number of a refusal, in
// which case the record keeps its old values.
using BatchEnter = std::function<int32_t(uint32_t slot, void* record)>;

struct BatchResult {
  // 0 when every record was entered; else the message of the first failure:
  // the item or formula refused (nothing changed), an evaluation error on
  // some record (nothing changed), or the first record refused.
  int32_t message = 0;
  // Offset in the formula of a syntax error, else -1.
  int32_t errorPos = -1;
  // Position in the list of the record the first pass failed on, else -1.
  int32_t failedRecord = -1;
  bool changedNothing = false;  // refused before the first write
  int32_t entered = 0;
  int32_t refused = 0;  // refused by enter, or a result that does not fit
  int32_t skipped = 0;  // no longer live when their turn came
};

// Changes field `item` of table's records `slots` (each visited once, in
// the order given) to the value of `formula`. First pass: the item and the
// formula are checked (a date item needs a date result, a text item a text,
// every other item a number) and the formula is evaluated on every record;
// an evaluation error or a number that does not fit the item returns with
// nothing written. Second pass: each record is read
// again, evaluated, its item stored (dates as packed dates, texts through
// the field's input rules, numbers through their text so that the item's
// own digits and rounding apply) and handed to `enter`.
BatchResult runBatchChange(TableBinding* table, int32_t item, const char* formula,
                           std::span<const uint32_t> slots, const BatchEnter& enter);

}  // namespace kelvo

#endif  // KELVO_BATCH_CHANGE_H_
