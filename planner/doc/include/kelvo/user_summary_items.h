// The activity table's three user summary items (the 38th to 40th fields,
// numeric fields the reference file defines): their names, digits and
// thousands separators, as "사용자 집계 항목" edits them. Only the
// descriptors change; the records keep their layout.
#ifndef KELVO_USER_SUMMARY_ITEMS_H_
#define KELVO_USER_SUMMARY_ITEMS_H_

#include <array>
#include <string>

#include "xJorDbm2.h"

namespace kelvo {

// Fields 38, 39 and 40 counted from 1: "사용자 항목1" to "사용자 항목3".
inline constexpr std::array<int, 3> kUserSummaryFields = {37, 38, 39};

struct UserSummaryItem {
  std::string name;  // CP949
  int width = 1;     // integer digits, 1..15
  int decimals = 0;  // 0..9
  bool thousands = false;
};
using UserSummaryItems = std::array<UserSummaryItem, kUserSummaryFields.size()>;

// The three items as the table's descriptors hold them. False when the
// table has fewer fields than the last of them.
bool readUserSummaryItems(const TableHandle& act, UserSummaryItems* items);

// Gives the three descriptors the items' names (trimmed; an empty name
// keeps the old one), widths (clamped to 1..15), decimals (0..9) and the
// thousands-separator flag; types, offsets and all other flag bits stay.
// Returns -1, or the index of the first item whose name is refused (longer
// than 31 bytes, holding '[' or ']', or the name of another field), and
// then changes nothing.
int applyUserSummaryItems(TableHandle* act, const UserSummaryItems& items);

}  // namespace kelvo

#endif  // KELVO_USER_SUMMARY_ITEMS_H_
