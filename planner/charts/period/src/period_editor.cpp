// The period views' part of the external editor: the period sheet sends its
// rows' values by period; the value sheet sends its entries and takes the
// values read back.
#include "kelvo/plan_doc.h"
#include "kelvo/sheet_view.h"
#include "kelvo/value_view.h"

namespace kelvo {

// --- Period sheet --------------------------------------------------------------------------

bool CSheetView::editorEnabled(bool read) const {
  return !read && document() && document()->isOpen() && rows_.table();
}

bool CSheetView::editorRequest(bool read, EditorRequest* request) {
  if (!editorEnabled(read)) return false;
  request->kind = int16_t(kindNumber(viewKind()));
  // The display bits: drawing objects and row lines.
  request->subKind = uint16_t(scale().settings().flags & 0x3);
  request->table = rows_.table();
  addEditorColumns(columns_, request);
  request->allRecords = false;
  for (uint32_t r = 0; r < rows_.count(); ++r) request->records.push_back(int32_t(rows_.record(r)));
  // Every row's values first, then the rows pointing into them.
  editorRows_.clear();
  editorValues_.clear();
  std::vector<size_t> firsts;
  const int32_t count = bodyRowCount();
  for (int32_t row = 0; row < count; ++row) {
    firsts.push_back(editorValues_.size());
    for (const PeriodValue& v : rowValues(row)) editorValues_.push_back({v.day, v.value});
  }
  firsts.push_back(editorValues_.size());
  const int32_t itemCount = int32_t(items_.size());
  for (int32_t row = 0; row < count; ++row)
    editorRows_.push_back({int32_t(rows_.record(uint32_t(row / itemCount))), row % itemCount,
                           int32_t(firsts[size_t(row) + 1] - firsts[size_t(row)]),
                           editorValues_.data() + firsts[size_t(row)]});
  editorSheet_ = {itemCount, items_.data(), count, editorRows_.data()};
  request->viewValue = &editorSheet_;
  return true;
}

// --- Value sheet ---------------------------------------------------------------------------

namespace {

void clearEntries(void* owner) {
  static_cast<ValueSheet*>(owner)->setEntries({});
}

// The read-back row: the value of the entry of that day, or a new entry.
int32_t putEntry(void* owner, uint16_t day, double value) {
  auto* sheet = static_cast<ValueSheet*>(owner);
  const int row = sheet->find(day);
  return sheet->commit(row >= 0 ? row : int(sheet->entries().size()), day, value);
}

}  // namespace

bool CValueView::editorEnabled(bool) const {
  return document() && document()->isOpen() && sheet_.number() >= 0;
}

bool CValueView::editorRequest(bool read, EditorRequest* request) {
  if (!editorEnabled(read)) return false;
  moveToRow(kCommitSilently);
  request->kind = int16_t(kindNumber(ViewKind::ValueSheet));
  request->subKind = uint16_t(sheet_.decimals);
  addEditorColumns(columns(), request);
  editorEntries_.clear();
  for (const PeriodValue& v : sheet_.entries()) editorEntries_.push_back({v.day, v.value});
  editorTable_ = {int32_t(editorEntries_.size()), editorEntries_.data(), &sheet_, clearEntries,
                  putEntry};
  request->viewValue = &editorTable_;
  return true;
}

void CValueView::editorDataRead() {
  // The refresh that follows reads the sheet from the project: what was
  // read goes there first.
  if (document() && document()->isOpen()) sheet_.store(&document()->db().opt);
  refreshRows();
}

}  // namespace kelvo
