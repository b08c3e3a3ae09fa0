#include "kelvo/digit_settings.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "kelvo/batch_change.h"
#include "kelvo/project_digits.h"
#include "xQdDb100.h"

namespace kelvo {
namespace {

constexpr uint32_t kClassBits[kDigitRows] = {kDurationDigitsClass, kQuantityDigitsClass,
                                             kPriceDigitsClass, kAmountDigitsClass,
                                             kWeightDigitsClass};

// The seven tables of the project and the open summary file.
std::vector<TableHandle*> projectTables(ProjectDb* db) {
  std::vector<TableHandle*> tables = {&db->wbs.tb, &db->obs.tb, &db->res.tb, &db->crw.tb,
                                      &db->act.tb, &db->rel.tb, &db->opr.tb};
  if (db->summary.number > 0 && db->summary.table.tb.handle != -1)
    tables.push_back(&db->summary.table.tb);
  return tables;
}

// A summary file keeps its descriptors in its trailer (the descriptors,
// then a 16-byte header ending with the field count): they are written
// over in place, so that the file carries them when the project is saved.
// A trailer that does not hold this table's field count is left alone.
void rewriteSummaryTrailer(TableHandle* tb) {
  constexpr off_t kHeader = 16;
  const off_t end = lseek(tb->handle, 0, SEEK_END);
  const off_t fieldBytes = off_t(tb->fieldCount) * off_t(sizeof(FieldDesc));
  if (end < kHeader + fieldBytes) return;
  uint8_t count[2];
  if (pread(tb->handle, count, 2, end - 2) != 2) return;
  if ((count[0] | count[1] << 8) != tb->fieldCount) return;
  if (pwrite(tb->handle, tb->fields, size_t(fieldBytes), end - kHeader - fieldBytes) != fieldBytes)
    xSetDbError(21014);
}

// The field as the settings of its class would make it.
FieldDesc withDigits(FieldDesc f, int row, const DigitSetting& s) {
  const int sign = (f.flags & kSignedField) ? 1 : 0;
  if (row != kWeightRow) f.width = static_cast<int16_t>(s.width + sign);
  if (row != kDurationRow) f.decimals = static_cast<int8_t>(s.decimals);
  return f;
}

int rowOf(const FieldDesc& f) {
  for (int row = 0; row < kDigitRows; ++row)
    if (f.flags & kClassBits[row]) return row;
  return -1;
}

}  // namespace

uint32_t digitClassBit(int row) {
  return row >= 0 && row < kDigitRows ? kClassBits[row] : 0;
}

DigitSettings currentDigitSettings(const ProjectDb* db, const PrjInfo& info) {
  DigitSettings s{};
  std::array<bool, kDigitRows> found{};
  for (TableHandle* tb : projectTables(const_cast<ProjectDb*>(db))) {
    for (int i = 0; tb->fields && i < tb->fieldCount; ++i) {
      const FieldDesc& f = tb->fields[i];
      const int row = rowOf(f);
      if (row < 0 || found[row]) continue;
      found[row] = true;
      s[row] = {f.width - ((f.flags & kSignedField) ? 1 : 0), f.decimals};
    }
  }
  s[kAmountRow] = {info.amountDigits, info.amountDecimals};
  return s;
}

DigitSettings clampDigits(const DigitSettings& wanted, const DigitSettings& current) {
  DigitSettings s = wanted;
  for (int row = 0; row < kDigitRows; ++row) {
    DigitSetting& d = s[row];
    switch (row) {
      case kDurationRow:
        if (d.width <= 0 || d.width > 5) d.width = 5;
        d.decimals = 0;
        break;
      case kWeightRow:
        d.width = current[row].width;
        d.decimals = std::clamp(d.decimals, 0, 4);
        break;
      default:
        d.width = std::clamp(d.width, 1, 15);
        d.decimals = std::clamp(d.decimals, 0, 9);
    }
  }
  return s;
}

int refusedDigitRow(const ProjectDb* db, const DigitSettings& wanted, const DigitSettings& current,
                    int* smallest) {
  ProjectDb* p = const_cast<ProjectDb*>(db);
  for (int row = 0; row < kDigitRows; ++row) {
    if (wanted[row].width >= current[row].width) continue;
    // The widest value, in integer digits, among the values that fit now.
    int needed = 0;
    for (TableHandle* tb : projectTables(p)) {
      std::vector<char> rec(tb->recordSize);
      std::vector<int> fields;
      for (int i = 0; tb->fields && i < tb->fieldCount; ++i)
        if (rowOf(tb->fields[i]) == row) fields.push_back(i);
      if (fields.empty()) continue;
      const int32_t saved = tb->current;
      tb->current = -1;
      char text[XF_VALUE_BUFFER];
      while (xMoveNext(tb)) {
        xGetRec(tb, rec.data());
        for (int i : fields) {
          const FieldDesc& f = tb->fields[i];
          xGetValue(tb->fields, -1, text, rec.data(), i, XF_PLAIN);
          const double v = std::atof(text);
          if (!numberFitsField(v, f)) continue;
          for (int w = wanted[row].width; w <= current[row].width; ++w) {
            DigitSetting s{w, wanted[row].decimals};
            if (numberFitsField(v, withDigits(f, row, s))) {
              needed = std::max(needed, w);
              break;
            }
          }
        }
      }
      tb->current = saved;
    }
    if (needed > wanted[row].width) {
      *smallest = needed;
      return row;
    }
  }
  return -1;
}

void applyDigits(ProjectDb* db, PrjInfo* info, const DigitSettings& settings) {
  for (TableHandle* tb : projectTables(db)) {
    bool changed = false;
    for (int i = 0; tb->fields && i < tb->fieldCount; ++i) {
      const int row = rowOf(tb->fields[i]);
      if (row < 0) continue;
      const FieldDesc now = withDigits(tb->fields[i], row, settings[row]);
      changed = changed || std::memcmp(&now, &tb->fields[i], sizeof now) != 0;
      tb->fields[i] = now;
    }
    if (changed && tb == &db->summary.table.tb) rewriteSummaryTrailer(tb);
  }
  info->amountDigits = static_cast<int16_t>(settings[kAmountRow].width);
  info->amountDecimals = static_cast<uint8_t>(settings[kAmountRow].decimals);
}

}  // namespace kelvo
