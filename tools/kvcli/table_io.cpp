// kvcli load and dump: one project table to and from UTF-8 CSV, columns
// named by the table's field names or by the dBASE column names.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "commands.h"
#include "csv_rows.h"
#include "kelvo/message_text.h"
#include "project_session.h"
#include "xjor/field.h"
#include "xjor/option.h"
#include "xjor/table.h"
#include "xjor/text.h"

namespace kvcli {

namespace {

const std::vector<std::string> kCodeColumns = {"CODE", "TITLE", "SIZE", "UNIT", "CQ",
                                               "CU",   "EU",    "AU",   "DQ",   "DU"};
const std::vector<std::string> kActColumns = {
    "CODE",   "TITLE", "DU",      "RDU",      "START",   "FINISH", "ES",         "EF",
    "LS",     "LF",    "TF",      "FF",       "AS",      "AF",     "CONST_DATE", "CONST_TYPE",
    "CAL_NO", "O_DU",  "O_START", "O_FINISH", "O_ES",    "O_EF",   "O_LS",       "O_LF",
    "PATH",   "TYPE",  "W_CODE",  "O_CODE",   "MANAGER", "SUBCON", "U_CODE",     "QTY",
    "CU",     "EU",    "AU",      "WGT",      "REMARK",  "VALUE1", "VALUE2",     "VALUE3"};

struct TableChoice {
  TableBinding* table = nullptr;
  const std::vector<std::string>* columns = nullptr;
};

TableChoice chooseTable(ProjectDb& db, const std::string& name) {
  static const std::vector<std::string> crw = {"W_CODE", "R_CODE", "UQ", "AQ", "AUQ", "CQ"};
  static const std::vector<std::string> rel = {"P_CODE", "S_CODE", "TYPE", "LAG", "PATH"};
  static const std::vector<std::string> opr = {"A_CODE", "R_CODE", "QTY", "AQ"};
  if (name == "wbs") return {&db.wbs, &kCodeColumns};
  if (name == "obs") return {&db.obs, &kCodeColumns};
  if (name == "res") return {&db.res, &kCodeColumns};
  if (name == "crw") return {&db.crw, &crw};
  if (name == "act") return {&db.act, &kActColumns};
  if (name == "rel") return {&db.rel, &rel};
  if (name == "opr") return {&db.opr, &opr};
  return {};
}

int unknownTable(const std::string& name) {
  std::fprintf(stderr, "알 수 없는 자료 파일입니다: %s (wbs obs res crw act rel opr)\n",
               name.c_str());
  return 1;
}

// The column name of field i: the dBASE name, or "USER%d" beyond the list.
std::string columnName(const TableChoice& t, int32_t i) {
  const int32_t named = static_cast<int32_t>(t.columns->size());
  return i < named ? (*t.columns)[i] : "USER" + std::to_string(i - named + 1);
}

// The field a header names (field name or column name), or -1.
int32_t fieldOf(const TableChoice& t, const std::string& header) {
  const TableHandle& tb = t.table->tb;
  char cp949[256];
  if (xUtf8ToCp949(header.c_str(), cp949, sizeof cp949) >= 0) {
    const int32_t byName = xGetFldOrdinal(cp949, tb.fields, tb.fieldCount);
    if (byName >= 0) return byName;
  }
  for (int32_t i = 0; i < tb.fieldCount; ++i) {
    if (columnName(t, i) == header) return i;
  }
  return -1;
}

// Splits CSV text into records of fields: commas separate, double quotes
// enclose fields that hold commas, quotes or line breaks ("" is a quote).
// Returns false when a quote is never closed.
bool parseCsv(const std::string& text, std::vector<std::vector<std::string>>& rows) {
  std::vector<std::string> row;
  std::string field;
  bool quoted = false, any = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        field += c;
      }
    } else if (c == '"') {
      quoted = any = true;
    } else if (c == ',') {
      row.push_back(field);
      field.clear();
      any = true;
    } else if (c == '\n' || c == '\r') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      if (any || !field.empty()) {
        row.push_back(field);
        rows.push_back(row);
      }
      row.clear();
      field.clear();
      any = false;
    } else {
      field += c;
      any = true;
    }
  }
  if (any || !field.empty()) {
    row.push_back(field);
    rows.push_back(row);
  }
  return !quoted;
}

// Enters one record through the project's input rules for its table.
int32_t inputRecord(ProjectDb& db, TableBinding* table, void* record, const ClassDefinition* cls,
                    uint16_t projectStart, int16_t dateMode) {
  const ClassLevels levels[2] = {xClassLevelsOf(&cls[0]), xClassLevelsOf(&cls[1])};
  table->tb.current = -1;
  if (table == &db.wbs) return xInputRecWbs(&db, record, 0, &levels[0]);
  if (table == &db.obs) return xInputRecWbs(&db, record, 1, &levels[1]);
  if (table == &db.res) return xInputRecRes(&db, record);
  if (table == &db.crw) return xInputRecCrew(&db, record, levels[0].count);
  if (table == &db.act)
    return xInputRecAct(&db, record, projectStart, levels[0].count, levels[1].count, dateMode);
  if (table == &db.rel) return xInputRecRel(&db, record);
  return xInputRecOpr(&db, record);
}

}  // namespace

int load(const std::string& file, const std::string& tableName, const std::string& csvPath,
         int16_t dateMode) {
  std::ifstream in(csvPath, std::ios::binary);
  if (!in) {
    const int32_t cause = xMapErrno(errno);
    std::fprintf(stderr, "%s: %s\n", csvPath.c_str(), kelvo::messageText(cause ? cause : 21000));
    return 1;
  }
  std::stringstream text;
  text << in.rdbuf();
  std::string csv = text.str();
  if (csv.compare(0, 3, "\xEF\xBB\xBF") == 0) csv.erase(0, 3);  // byte order mark
  std::vector<std::vector<std::string>> rows;
  if (!parseCsv(csv, rows)) {
    std::fprintf(stderr, "%s: %s\n", csvPath.c_str(), kelvo::messageText(21021));
    return 1;
  }

  ProjectSession s;
  if (int m = s.open(file)) return fail(m);
  const TableChoice t = chooseTable(s.db, tableName);
  if (!t.table) return unknownTable(tableName);
  if (rows.empty()) {
    std::fprintf(stderr, "%s: 항목 이름 줄이 없습니다.\n", csvPath.c_str());
    return 1;
  }
  std::vector<int32_t> fieldOfColumn;
  for (const std::string& header : rows[0]) {
    const int32_t f = fieldOf(t, header);
    if (f < 0) {
      std::fprintf(stderr, "%s: %s\n", header.c_str(), kelvo::messageText(21024));
      return 1;
    }
    fieldOfColumn.push_back(f);
  }

  ClassDefinition cls[2];
  xReadClassDefinitions(&s.db, cls);
  TableHandle& tb = t.table->tb;
  std::vector<uint8_t> record(tb.recordSize);
  std::vector<char> cp949;
  int refused = 0, entered = 0;
  xBeginInputBatch(&s.db);
  for (size_t r = 1; r < rows.size(); ++r) {
    std::fill(record.begin(), record.end(), 0);
    for (size_t c = 0; c < rows[r].size() && c < fieldOfColumn.size(); ++c) {
      cp949.assign(rows[r][c].size() + 4, '\0');
      if (xUtf8ToCp949(rows[r][c].c_str(), cp949.data(), static_cast<int32_t>(cp949.size())) < 0)
        cp949[0] = '\0';
      xSetValue(tb.fields, s.db.space.refHandle, cp949.data(), record.data(), fieldOfColumn[c]);
    }
    if (int32_t m = inputRecord(s.db, t.table, record.data(), cls, s.info.start, dateMode)) {
      // Row numbers count the header as row 1, as a spreadsheet shows them.
      std::fprintf(stderr, "%zu행: %s\n", r + 1, kelvo::messageText(m));
      ++refused;
    } else {
      ++entered;
    }
  }
  xEndInputBatch(&s.db);
  if (int m = s.save(file)) return fail(m);
  std::printf("입력 %d, 제외 %d\n", entered, refused);
  return refused ? 3 : 0;
}

int dump(const std::string& file, const std::string& tableName) {
  ProjectSession s;
  if (int m = s.open(file)) return fail(m);
  const TableChoice t = chooseTable(s.db, tableName);
  if (!t.table) return unknownTable(tableName);
  TableHandle& tb = t.table->tb;
  std::string line;
  for (int32_t i = 0; i < tb.fieldCount; ++i) line += (i ? "," : "") + columnName(t, i);
  std::printf("%s\n", line.c_str());
  printRecords(tb, s.db.space.refHandle);
  return 0;
}

}  // namespace kvcli
