// A window whose data the external editor serves: "외부 편집기로 보내기"
// (40087) and "외부 편집기에서 읽기" (40088). The converter commands ask the
// active view for its part of the request (kveditor.h lays the request out
// per kind) and tell it when edited data were read back.
#ifndef KELVO_EDITOR_SOURCE_H_
#define KELVO_EDITOR_SOURCE_H_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "kelvo/view_kind.h"
#include "kveditor.h"

struct TableBinding;

namespace kelvo {

// Whether the external editor sends the data of a view of `kind`: data
// sheets 0-8, 14 and 15, the classification tree 9, the map 11, the value
// sheet 17 and the period sheets 18 and 19.
constexpr bool editorSendsKind(ViewKind kind) {
  const int k = kindNumber(kind);
  return (k >= 0 && k <= 9) || k == 11 || k == 14 || k == 15 || (k >= 17 && k <= 19);
}
// Whether it reads edited data back into one: as sent, but not the summary
// sheets (7, 8, 15) nor the period sheets.
constexpr bool editorReadsKind(ViewKind kind) {
  const int k = kindNumber(kind);
  return (k >= 0 && k <= 6) || k == 9 || k == 11 || k == 14 || k == 17;
}

// The view's part of one external-editor call.
struct EditorRequest {
  int16_t kind = -1;                     // the view kind the converter sees
  uint16_t subKind = 0;                  // kind-dependent (kveditor.h)
  const void* viewValue = nullptr;       // the view's own structure, or null
  TableBinding* table = nullptr;         // the view's table, or null
  bool hasColumns = false;               // whether columns is passed at all
  std::vector<XKvEditorColumn> columns;  // in view order
  bool allRecords = true;                // send every record of the table ...
  std::vector<int32_t> records;          // ... or these, in view order
};

// Appends a view's column records (anything with a field number and a
// CP949 title) to request's columns.
template <class Columns>
void addEditorColumns(const Columns& columns, EditorRequest* request) {
  request->hasColumns = true;
  for (const auto& c : columns) {
    XKvEditorColumn col{};
    col.field = c.field;
    static_assert(sizeof c.title < sizeof col.title, "a column title fits");
    for (std::size_t i = 0; i < sizeof c.title && c.title[i]; ++i) col.title[i] = c.title[i];
    request->columns.push_back(col);
  }
}

class CEditorSource {
 public:
  virtual ~CEditorSource() = default;

  // The source that serves the command for this view (a sheet beside the
  // classification tree hands it to the tree). Null when none does.
  virtual CEditorSource* editorSource() { return this; }
  // Whether the view sends its data (read: reads edited data back) now.
  virtual bool editorEnabled(bool read) const = 0;
  // Commits what was typed and fills *request for a send or a read. What
  // viewValue points to belongs to the view and lives until the next call.
  // False: nothing to send.
  virtual bool editorRequest(bool read, EditorRequest* request) = 0;
  // After a successful read: the view keeps what the converter changed
  // through its structure. The caller then marks the document modified and
  // has every view refresh.
  virtual void editorDataRead() {}
};

}  // namespace kelvo

#endif  // KELVO_EDITOR_SOURCE_H_
