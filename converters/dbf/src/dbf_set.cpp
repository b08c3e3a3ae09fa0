// The version file, the scheme file and the member names of a file set.
#include <cstring>

#include "kvdbf.h"
#include "kvdbfset.h"
#include "xjor/packed_date.h"

namespace kvdbf {

namespace {

// Version file columns and their places in the project information block.
struct InfoText {
  const char* name;
  uint16_t length;  // column width = characters kept
  int offset;
};
constexpr InfoText kTexts[] = {{"CODE", 10, 0},
                               {"TITLE", 60, 11},
                               {"MANAGER", 10, 72},
                               {"COMPANY", 40, 92},
                               {"CURRENCY", 6, 133}};
constexpr InfoText kRemark = {"REMARK", 40, 156};
constexpr int kStage = 140;
constexpr const char* kDateNames[] = {"START", "FINISH", "TIME_NOW", "THIS_FR", "THIS_TO"};
constexpr int kDateOffsets[] = {142, 144, 146, 148, 150};
constexpr int kVersion = 100;
constexpr size_t kVersionColumns = 13;

uint16_t u16(const void* info, int at) {
  uint16_t v;
  memcpy(&v, static_cast<const char*>(info) + at, 2);
  return v;
}

void setU16(void* info, int at, uint16_t v) {
  memcpy(static_cast<char*>(info) + at, &v, 2);
}

// A text of the block (NUL-terminated within its field of length + 1).
std::string_view textAt(const void* info, const InfoText& t) {
  const char* p = static_cast<const char*>(info) + t.offset;
  return {p, strnlen(p, t.length)};
}

void setText(void* info, const InfoText& t, const std::string& value) {
  char* p = static_cast<char*>(info) + t.offset;
  memset(p, 0, t.length + 1u);
  memcpy(p, value.data(), cutCp949(value, t.length));
}

std::vector<Column> versionColumns() {
  std::vector<Column> c = {{"VERSION", 'N', 4}};
  for (const InfoText& t : kTexts) c.push_back({t.name, 'C', t.length});
  c.push_back({"STEP", 'N', 3});
  for (const char* d : kDateNames) c.push_back({d, 'D', 8});
  c.push_back({kRemark.name, 'C', kRemark.length});
  return c;
}

uint16_t packed(int y, int m, int d) {
  return xjor::packDate(y, m, d);
}

}  // namespace

std::string memberPath(const std::string& versionPath, const std::string& tag) {
  const size_t slash = versionPath.find_last_of('/');
  size_t dot = versionPath.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
    dot = versionPath.size();
  if (tag.find('.') != std::string::npos) return versionPath.substr(0, dot) + tag;
  return versionPath.substr(0, dot) + tag + versionPath.substr(dot);
}

bool writeVersionFile(const std::string& path, const void* info, uint16_t today) {
  Writer w;
  if (!w.create(path, versionColumns(), today)) return false;
  size_t col = 0;
  w.setInt(col++, kVersion);
  for (const InfoText& t : kTexts) w.setText(col++, textAt(info, t));
  w.setInt(col++, static_cast<int16_t>(u16(info, kStage)));
  for (int at : kDateOffsets) w.setDate(col++, u16(info, at));
  w.setText(col, textAt(info, kRemark));
  return w.append() && w.close();
}

bool readVersionFile(const std::string& path, void* info, std::string& why) {
  Reader r;
  if (!r.open(path)) {
    why = r.error();
    return false;
  }
  std::string refused;
  if (r.columnCount() != kVersionColumns)
    refused = std::to_string(r.columnCount()) + " columns, not " + std::to_string(kVersionColumns);
  else if (!r.seek(0) || !r.live())
    refused = "no live first record";
  else if (r.integer(0) != kVersion)
    refused = "VERSION " + std::to_string(r.integer(0)) + ", not " + std::to_string(kVersion);
  if (!refused.empty()) {
    why = refused;
    return false;
  }
  size_t col = 1;
  for (const InfoText& t : kTexts) setText(info, t, r.text(col++));
  setU16(info, kStage, static_cast<uint16_t>(r.integer(col++)));
  for (int at : kDateOffsets) setU16(info, at, r.date(col++));
  setText(info, kRemark, r.text(col));
  return true;
}

void completeDates(void* info, uint16_t today) {
  uint16_t dataDate = u16(info, 146), start = u16(info, 142), finish = u16(info, 144);
  if (!dataDate) dataDate = packed(xjor::packedYear(today), 1, 1);
  if (!start) start = dataDate;
  if (!finish) finish = packed(xjor::packedYear(start), 12, 31);
  if (start > finish) std::swap(start, finish);
  setU16(info, 146, dataDate);
  setU16(info, 142, start);
  setU16(info, 144, finish);
}

bool writeSchemeFile(const std::string& path, const XKvScheme& scheme, uint16_t today) {
  Writer w;
  if (!w.create(path,
                {{"TABLE_NO", 'N', 1}, {"LEVEL", 'N', 1}, {"LENGTH", 'N', 1}, {"TITLE", 'C', 20}},
                today))
    return false;
  for (int table = 0; table < 2; ++table) {
    const XKvSchemeBlock& b = scheme.block[table];
    for (int level = 0; level < b.levels && level < 8; ++level) {
      w.setInt(0, table + 1);
      w.setInt(1, level + 1);
      w.setInt(2, b.length[level]);
      w.setText(3, std::string_view(b.name[level], strnlen(b.name[level], 20)));
      if (!w.append()) return false;
    }
  }
  return w.close();
}

void countLevels(XKvSchemeBlock* b) {
  int count = 0, sum = 0;
  while (count < 8 && b->length[count] >= 1 && sum + b->length[count] <= XKV_SCHEME_MAX_CODE) {
    b->start[count] = static_cast<int16_t>(sum);
    sum += b->length[count];
    ++count;
  }
  b->levels = static_cast<int16_t>(count);
  for (int i = count; i < 8; ++i) {
    b->start[i] = b->length[i] = 0;
    memset(b->name[i], 0, sizeof b->name[i]);
  }
}

bool readSchemeFile(const std::string& path, XKvScheme* scheme, std::string& why) {
  Reader r;
  if (!r.open(path)) {
    why = r.error();
    return false;
  }
  if (r.columnCount() != 4) {
    why = std::to_string(r.columnCount()) + " columns, not 4";
    return false;
  }
  memset(scheme, 0, sizeof *scheme);
  for (uint32_t i = 0; r.seek(i); ++i) {
    if (!r.live()) continue;
    const int64_t table = r.integer(0), level = r.integer(1);
    if (table < 1 || table > 2 || level < 1 || level > 8) continue;
    XKvSchemeBlock& b = scheme->block[table - 1];
    b.length[level - 1] = static_cast<int16_t>(r.integer(2));
    const std::string name = r.text(3);
    memset(b.name[level - 1], 0, sizeof b.name[level - 1]);
    memcpy(b.name[level - 1], name.data(), cutCp949(name, 20));
  }
  countLevels(&scheme->block[0]);
  countLevels(&scheme->block[1]);
  return true;
}

}  // namespace kvdbf
