// What a data sheet hands the spreadsheet converter's external editor
// (xExpTb send, xImpTb read; kvconvert.h) and what it gets back.
//
// The converter serves view kinds 0-8 (14 is taken as 4, 15 as 7); the
// request is laid out in kveditor.h (info null: the kind's project table).
//
// Sending writes a workbook of one sheet named after the kind into
// XKvEditorData::folder and returns its path in `sent`; the caller opens it
// with the desktop's default application. Reading takes the workbook the
// user chose (null or empty: the choice was cancelled, result -1), checks
// its first sheet's name and checks every row; with `rebuild` the rows are
// entered into a working copy first, and only when the store takes them all
// are the table and the tables that depend on it emptied. Rows whose key is
// registered update those records in the shown columns only, the others are
// added through the store.
#ifndef KVSHEET_H_
#define KVSHEET_H_

#include <stdint.h>

#include "kveditor.h"

#ifdef __cplusplus
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace kvsheet {

// The (first) sheet name of the workbook of a view kind (UTF-8): the data
// sheets 0-8, 14 and 15, the classification tree 9, the map 11, the value
// sheet 17 and the period sheets 18 and 19; empty for others.
inline std::string sheetNameOf(int viewKind) {
  static const char* const kNames[] = {"공종 분류",   "시설 분류", "자원",
                                       "작업조",      "작업",      "선후행 관계",
                                       "세부 작업조", "집계-작업", "집계-자원"};
  if (viewKind == 14) viewKind = 4;
  if (viewKind == 15) viewKind = 7;
  if (viewKind == 9) viewKind = 0;
  if (viewKind == 11) return "프로젝트 맵";
  if (viewKind == 17) return "기간별 수치시트";
  if (viewKind == 18 || viewKind == 19) return "기간별 시트";
  return viewKind >= 0 && viewKind <= 8 ? kNames[viewKind] : "";
}

// The workbooks (*.xlsx) in folder, the most recently written first, at
// most max of them: what the read dialog offers after sends into folder.
inline std::vector<std::string> recentWorkbooks(const std::string& folder, size_t max = 10) {
  namespace fs = std::filesystem;
  std::vector<std::pair<fs::file_time_type, std::string>> found;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->path().extension() == ".xlsx" && it->is_regular_file(ec))
      found.emplace_back(it->last_write_time(ec), it->path().string());
  }
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
    return a.first != b.first ? a.first > b.first : a.second < b.second;
  });
  std::vector<std::string> paths;
  for (size_t i = 0; i < found.size() && i < max; ++i) paths.push_back(found[i].second);
  return paths;
}

}  // namespace kvsheet
#endif

#endif  // KVSHEET_H_
