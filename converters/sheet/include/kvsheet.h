// What a data sheet hands the spreadsheet converter's external editor
// (xExpTb send, xImpTb read; kvconvert.h) and what it gets back.
//
// For view kinds 0-8 (14 is taken as 4, 15 as 7) the request carries:
//   path      XKvEditorData*   the payload below
//   viewKind  the kind; startDay the data sub-kind; viewValue the view value
//   database  ProjectDb*, scheme XKvScheme* (as for every call)
//   columns   XKvEditorColumns*  the view's columns in view order
//   info      TableBinding*      the view's table (null: the kind's project table)
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

#ifdef __cplusplus
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>
extern "C" {
#endif

// One column of a data sheet: the field it shows (a number outside the
// table's fields leaves the column empty) and its own title (CP949, empty:
// the field's name).
typedef struct XKvEditorColumn {
  int32_t field;
  char title[64];
} XKvEditorColumn;

typedef struct XKvEditorColumns {
  int32_t count;
  const XKvEditorColumn* column;
} XKvEditorColumns;

typedef struct XKvEditorData {
  const char* folder;               // send: the folder the workbook goes into
  const char* workbook;             // read: the workbook the user chose
  const int32_t* records;           // send: the view's record set (slots) in view order;
  int32_t recordCount;              //       null: every live record in table order
  int32_t rebuild;                  // read: "자료 모두 삭제 후 재구성" is checked
  uint16_t projectStart;            // read: the project start, for new activities
  char sent[1024];                  // send: the path of the workbook written
  int32_t added, updated, refused;  // read: rows added, rows updating a record, rows refused
  char problem[256];                // read: the first refused row and why; send: the first
                                    // cell written in part (UTF-8); empty if none
} XKvEditorData;

#ifdef __cplusplus
}  // extern "C"

namespace kvsheet {

// The sheet name of a data-sheet kind (0-8, 14, 15; UTF-8), empty for
// others.
inline std::string sheetNameOf(int viewKind) {
  static const char* const kNames[] = {"공종 분류",   "시설 분류", "자원",
                                       "작업조",      "작업",      "선후행 관계",
                                       "세부 작업조", "집계-작업", "집계-자원"};
  if (viewKind == 14) viewKind = 4;
  if (viewKind == 15) viewKind = 7;
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
