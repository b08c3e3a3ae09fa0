#include "kelvo/batch_change.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "xjor/numfmt.h"
#include "xjor/query.h"

namespace kelvo {
namespace {

// Digits a numeric result is written with before the item's own input
// rules round and cut it.
constexpr int kResultIntegerDigits = 15, kResultDecimals = 9;

int32_t expectedResult(int8_t type) {
  switch (type) {
    case XF_DATE:
      return XJOR_QV_DATE;
    case XF_STRING:
    case XF_REF:
      return XJOR_QV_STRING;
    default:
      return XJOR_QV_NUMBER;
  }
}

bool readSlot(TableHandle& tb, uint32_t slot, void* buffer) {
  tb.current = static_cast<int32_t>(slot);
  return xGetRec(&tb, buffer) != 0;
}

// Evaluates the checked formula on the record in the bound buffer; false
// when the evaluation set the error word.
bool evaluate(QueryCtx& q) {
  xSetDbError(0);
  xExeQuery(&q);
  return xGetDbError() == 0;
}

// Stores the result into field `item` of `record`; false when a number
// does not fit the item.
bool store(const QueryValue& result, const FieldDesc* fields, int32_t item, void* record) {
  const FieldDesc& f = fields[item];
  char text[XF_VALUE_BUFFER];
  switch (result.type) {
    case XJOR_QV_DATE:
      std::memcpy(static_cast<char*>(record) + f.offset, &result.u.date, sizeof(uint16_t));
      return true;
    case XJOR_QV_STRING: {
      const int32_t n = std::min<int32_t>(result.u.string.length, XF_VALUE_MAX - 1);
      std::memcpy(text, result.u.string.text, static_cast<size_t>(std::max(n, 0)));
      text[std::max(n, 0)] = 0;
      xSetValue(fields, -1, text, record, item);
      return true;
    }
    default:
      if (!numberFitsField(result.u.number, f)) return false;
      xNumToStr(text, result.u.number, kResultIntegerDigits, kResultDecimals, XF_PLAIN);
      xSetValue(fields, -1, text, record, item);
      return true;
  }
}

}  // namespace

bool isProtectedItem(const FieldDesc& field) {
  if (field.flags & XF_READONLY) return true;
  return field.type < XF_INT8 || field.type > XF_REF;
}

bool numberFitsField(double value, const FieldDesc& field) {
  // Integer items hold what their type holds, whatever their digits.
  static constexpr struct {
    int8_t type;
    double low, high;
  } kRanges[] = {
      {XF_INT8, -128, 127}, {XF_INT16, -32768, 32767}, {XF_INT32, -2147483648.0, 2147483647.0},
      {XF_UINT8, 0, 255},   {XF_UINT16, 0, 65535},     {XF_UINT32, 0, 4294967295.0}};
  for (const auto& r : kRanges)
    if (field.type == r.type && (value < r.low - 0.5 || value > r.high + 0.5)) return false;
  char text[64];
  xNumToStr(text, value, kResultIntegerDigits, field.decimals, XF_PLAIN);
  const char* p = text;
  while (*p == ' ') ++p;
  const size_t limit = field.decimals > 0 ? field.width + field.decimals + 1 : field.width;
  return std::strlen(p) <= limit;
}

BatchResult runBatchChange(TableBinding* table, int32_t item, const char* formula,
                           std::span<const uint32_t> slots, const BatchEnter& enter) {
  BatchResult r;
  r.changedNothing = true;
  TableHandle& tb = table->tb;
  if (item < 0 || item >= tb.fieldCount) {
    r.message = kItemNotFound;
    return r;
  }
  if (isProtectedItem(tb.fields[item])) {
    r.message = kItemProtected;
    return r;
  }
  std::vector<char> buffer(tb.recordSize), changed(tb.recordSize);
  TableBinding* bindings[] = {table};
  const void* records[] = {buffer.data()};
  QueryCtx q{};
  q.text = formula;
  q.bindings = bindings;
  q.records = records;
  q.bindingCount = 1;
  // The check evaluates once: on the first record, so that it sees real
  // values.
  if (!slots.empty()) readSlot(tb, slots.front(), buffer.data());
  xSetDbError(0);
  if (!xCheckSyntax(expectedResult(tb.fields[item].type), &q)) {
    r.message = xGetDbError();
    r.errorPos = static_cast<int32_t>(q.result.u.boolean.errorPos);
    return r;
  }
  const int32_t savedCurrent = tb.current;
  const FieldDesc& target = tb.fields[item];
  for (size_t i = 0; i < slots.size(); ++i) {
    if (!readSlot(tb, slots[i], buffer.data())) continue;
    const int32_t failure =
        !evaluate(q) ? xGetDbError()
        : q.result.type == XJOR_QV_NUMBER && !numberFitsField(q.result.u.number, target)
            ? kResultDoesNotFit
            : 0;
    if (failure) {
      r.message = failure;
      r.failedRecord = static_cast<int32_t>(i);
      tb.current = savedCurrent;
      return r;
    }
  }
  r.changedNothing = false;
  for (uint32_t slot : slots) {
    if (!readSlot(tb, slot, buffer.data())) {
      ++r.skipped;
      continue;
    }
    int32_t refusal = 0;
    std::memcpy(changed.data(), buffer.data(), buffer.size());
    if (!evaluate(q))
      refusal = xGetDbError();
    else if (!store(q.result, tb.fields, item, changed.data()))
      refusal = kResultDoesNotFit;
    else
      refusal = enter(slot, changed.data());
    if (refusal == 0) {
      ++r.entered;
    } else {
      ++r.refused;
      if (r.message == 0) r.message = refusal;
    }
  }
  return r;
}

}  // namespace kelvo
