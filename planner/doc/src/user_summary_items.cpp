#include "kelvo/user_summary_items.h"

#include <algorithm>
#include <cstring>

#include "field_text.h"

namespace kelvo {
namespace {

constexpr size_t kMaxNameBytes = 31;

}  // namespace

bool readUserSummaryItems(const TableHandle& act, UserSummaryItems* items) {
  if (!act.fields || act.fieldCount <= kUserSummaryFields.back()) return false;
  for (size_t k = 0; k < items->size(); ++k) {
    const FieldDesc& f = act.fields[kUserSummaryFields[k]];
    (*items)[k] = {fieldName(f), f.width, f.decimals, (f.flags & XF_COMMA) != 0};
  }
  return true;
}

int applyUserSummaryItems(TableHandle* act, const UserSummaryItems& items) {
  if (!act->fields || act->fieldCount <= kUserSummaryFields.back()) return 0;
  std::array<std::string, kUserSummaryFields.size()> names;
  for (size_t k = 0; k < items.size(); ++k) {
    const std::string typed = trimBlanks(items[k].name);
    names[k] = typed.empty() ? fieldName(act->fields[kUserSummaryFields[k]]) : typed;
  }
  for (size_t k = 0; k < items.size(); ++k) {
    const std::string& name = names[k];
    if (name.size() > kMaxNameBytes || name.find_first_of("[]") != std::string::npos) return int(k);
    // Unique among the table's other fields and the two other items.
    for (int i = 0; i < act->fieldCount; ++i) {
      const auto item = std::find(kUserSummaryFields.begin(), kUserSummaryFields.end(), i);
      if (item == kUserSummaryFields.begin() + k) continue;
      const std::string other = item == kUserSummaryFields.end()
                                    ? fieldName(act->fields[i])
                                    : names[size_t(item - kUserSummaryFields.begin())];
      if (other == name) return int(k);
    }
  }
  for (size_t k = 0; k < items.size(); ++k) {
    FieldDesc& f = act->fields[kUserSummaryFields[k]];
    std::memset(f.name, 0, sizeof f.name);
    std::memcpy(f.name, names[k].data(), names[k].size());
    f.width = int16_t(std::clamp(items[k].width, 1, 15));
    f.decimals = int8_t(std::clamp(items[k].decimals, 0, 9));
    f.flags = items[k].thousands ? (f.flags | XF_COMMA) : (f.flags & ~uint32_t(XF_COMMA));
  }
  return -1;
}

}  // namespace kelvo
