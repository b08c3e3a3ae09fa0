#include "kelvo/project_digits.h"

#include <algorithm>
#include <optional>

#include "xQdDb100.h"

namespace kelvo {

namespace {

std::optional<int> decimalsOf(const TableHandle& tb, uint32_t digitClass) {
  if (!tb.fields) return std::nullopt;
  for (int16_t i = 0; i < tb.fieldCount; ++i) {
    if (tb.fields[i].flags & digitClass) return tb.fields[i].decimals;
  }
  return std::nullopt;
}

int decimalsOf(const ProjectDb* db, uint32_t digitClass, int fallback) {
  auto found = decimalsOf(db->act.tb, digitClass);
  if (!found) found = decimalsOf(db->wbs.tb, digitClass);
  return found.value_or(fallback);
}

}  // namespace

ProjectDigits projectDigits(const ProjectDb* db, const PrjInfo& info) {
  ProjectDigits d;
  d.quantity = std::clamp(decimalsOf(db, kQuantityDigitsClass, d.quantity), 0, 9);
  d.weight = std::clamp(decimalsOf(db, kWeightDigitsClass, d.weight), 0, 4);
  d.amount = std::clamp<int>(info.amountDecimals, 0, 9);
  return d;
}

}  // namespace kelvo
