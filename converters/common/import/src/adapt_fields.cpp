// Fitting a project table's fields to the columns of an external file.
#include "kvimport.h"
#include "xjor/text.h"

namespace kvconv {

namespace {
// Longest text a field of a converted table may hold.
constexpr int kMaxTextWidth = 1024;
}  // namespace

bool adaptFields(TableHandle& tb, const std::vector<ColumnShape>& cols,
                 std::vector<size_t>& columnOf) {
  FieldList fl{};
  if (!xTb2Fld(&fl, &tb)) return false;
  columnOf.clear();
  for (int i = 0; i < fl.count; ++i) {
    columnOf.push_back(static_cast<size_t>(i));
    if (static_cast<size_t>(i) >= cols.size() || cols[i].length < 1) continue;  // nothing known
    const ColumnShape& c = cols[i];
    char name[32];
    int32_t type, width, decimals;
    uint32_t flags;
    xGetFld(&fl, i, name, &type, &flags, &width, &decimals);
    if (type == XF_INT16 || type == XF_INT32) {
      width = c.length;
    } else if (type == XF_FLOAT || type == XF_DOUBLE) {
      decimals = c.decimals;
      width = c.decimals ? c.length - c.decimals - 1 : c.length;
    } else if (type == XF_STRING && (flags & 0x80000000u)) {
      width = c.length < kMaxTextWidth ? c.length : kMaxTextWidth;
    } else {
      continue;
    }
    if (width < 1) width = 1;
    xModFld(&fl, i, name, type, flags, width, decimals);
  }
  for (size_t i = static_cast<size_t>(fl.count); i < cols.size(); ++i) {
    const ColumnShape& c = cols[i];
    int type, width = c.length, decimals = 0;
    switch (c.type) {
      case 'C':
      case 'L':
      case 'M':
        type = XF_STRING;
        if (width > kMaxTextWidth) width = kMaxTextWidth;
        break;
      case 'D':
        type = XF_DATE;
        width = 8;
        break;
      case 'N':
      case 'F':
        if (c.decimals) {
          type = c.length < 8 ? XF_FLOAT : XF_DOUBLE;
          decimals = c.decimals;
          width = c.length - c.decimals - 1;
        } else {
          type = c.length <= 4 ? XF_INT16 : c.length <= 9 ? XF_INT32 : XF_DOUBLE;
        }
        break;
      default:
        continue;  // other column kinds have no field
    }
    if (width < 1) width = 1;
    // Names longer than a descriptor holds are cut at a character boundary.
    const std::string name = c.name.substr(0, static_cast<size_t>(xCharCut(c.name.c_str(), 31)));
    if (!xAddFld(&fl, -1, name.c_str(), type, XF_PLAIN, width, decimals)) {
      xFreeBuffer(fl.fields);
      return false;
    }
    columnOf.push_back(i);
  }
  const int32_t ok = xModFldStr(&tb, &fl);
  xFreeBuffer(fl.fields);
  return ok != 0;
}

}  // namespace kvconv
