// The map's part of the external editor: the selected cells' records, the
// codes of the rows and columns and the item shown in the cells.
#include "kelvo/map_view.h"
#include "kelvo/plan_doc.h"
#include "kelvo/summary_build.h"

namespace kelvo {

static_assert(sizeof(MapCode) == 11, "a list of codes is an array of 11-byte codes");

bool CMapView::editorEnabled(bool read) const {
  const CPlanDoc* doc = document();
  if (!doc || !doc->isOpen() || !layout_.table) return false;
  return !read || layout_.mode != MapMode::Summary;
}

bool CMapView::editorRequest(bool, EditorRequest* request) {
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen() || !layout_.table) return false;
  ProjectDb& db = doc->db();
  request->kind = int16_t(kindNumber(ViewKind::Map));
  switch (layout_.mode) {
    case MapMode::Activities:
      request->subKind = uint16_t(kindNumber(ViewKind::Activities));
      request->table = &db.act;
      break;
    case MapMode::Resources:
      request->subKind = uint16_t(kindNumber(ViewKind::Crews));
      request->table = &db.crw;
      break;
    case MapMode::Summary:
      // An activity summary's rows begin with the activity head.
      request->subKind = uint16_t(kindNumber(layout_.table->recordSize >= kActRowFixed
                                                 ? ViewKind::Summary
                                                 : ViewKind::ResourceSummary));
      request->table = &db.summary.table;
      break;
  }
  const std::vector<MapCell>& cells = selected_.empty() ? layout_.cells : selected_;
  editorCells_.clear();
  request->allRecords = false;
  for (const MapCell& c : cells) {
    editorCells_.push_back({c.column, c.row, c.record});
    request->records.push_back(c.record);
  }
  // The cells show one item: it is the one column.
  request->hasColumns = true;
  if (item_ >= 0) request->columns.push_back(XKvEditorColumn{item_, {}});
  editorView_ = XKvMapView{};
  editorView_.mode = int32_t(layout_.mode);
  editorView_.item = item_;
  editorView_.cellCount = int32_t(editorCells_.size());
  editorView_.cell = editorCells_.data();
  editorView_.rowCount = rowCount();
  editorView_.rowCode = reinterpret_cast<const char(*)[11]>(layout_.rows.codes.data());
  editorView_.columnCount = columnCount();
  editorView_.columnCode = reinterpret_cast<const char(*)[11]>(layout_.columns.codes.data());
  request->viewValue = &editorView_;
  return true;
}

}  // namespace kelvo
