#include "kelvo/user_summary_items.h"

#include <algorithm>
#include <cstring>

namespace kelvo {
namespace {

constexpr size_t kMaxNameBytes = 31;

std::string nameOf(const FieldDesc& f) {
  return std::string(f.name, strnlen(f.name, sizeof f.name));
}

std::string trimmed(const std::string& s) {
  const size_t first = s.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

}  // namespace

bool readUserSummaryItems(const TableHandle& act, UserSummaryItems* items) {
  if (!act.fields || act.fieldCount <= kUserSummaryFields.back()) return false;
  for (size_t k = 0; k < items->size(); ++k) {
    const FieldDesc& f = act.fields[kUserSummaryFields[k]];
    (*items)[k] = {nameOf(f), f.width, f.decimals, (f.flags & XF_COMMA) != 0};
  }
  return true;
}

int applyUserSummaryItems(TableHandle* act, const UserSummaryItems& items) {
  if (!act->fields || act->fieldCount <= kUserSummaryFields.back()) return 0;
  std::array<std::string, kUserSummaryFields.size()> names;
  for (size_t k = 0; k < items.size(); ++k) {
    const std::string typed = trimmed(items[k].name);
    names[k] = typed.empty() ? nameOf(act->fields[kUserSummaryFields[k]]) : typed;
  }
  for (size_t k = 0; k < items.size(); ++k) {
    const std::string& name = names[k];
    if (name.size() > kMaxNameBytes || name.find_first_of("[]") != std::string::npos) return int(k);
    // Unique among the table's other fields and the two other items.
    for (int i = 0; i < act->fieldCount; ++i) {
      const auto item = std::find(kUserSummaryFields.begin(), kUserSummaryFields.end(), i);
      if (item == kUserSummaryFields.begin() + k) continue;
      const std::string other = item == kUserSummaryFields.end()
                                    ? nameOf(act->fields[i])
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
