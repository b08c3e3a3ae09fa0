#include "kelvo/sheet_rows.h"

#include <cstring>

#include "kelvo/record_read.h"

namespace kelvo {

TableBinding* sheetTable(ProjectDb* db, ViewKind kind) {
  TableBinding* t = nullptr;
  switch (kind) {
    case ViewKind::WorkTypeSheet:
    case ViewKind::WorkTypeTree:
      t = &db->wbs;
      break;
    case ViewKind::FacilitySheet:
    case ViewKind::FacilityTree:
      t = &db->obs;
      break;
    case ViewKind::Resources:
      t = &db->res;
      break;
    case ViewKind::Crews:
      t = &db->crw;
      break;
    case ViewKind::Activities:
    case ViewKind::GanttTable:
      t = &db->act;
      break;
    case ViewKind::Relations:
      t = &db->rel;
      break;
    case ViewKind::CrewDetails:
      t = &db->opr;
      break;
    case ViewKind::Summary:
    case ViewKind::ResourceSummary:
    case ViewKind::GanttSummaryTable:
      t = &db->summary.table;
      break;
    default:
      return nullptr;
  }
  return t->tb.handle < 0 ? nullptr : t;
}

SheetRows::~SheetRows() {
  close();
}

bool SheetRows::open(TableBinding* table, const char* filter, const uint16_t* order) {
  close();
  table_ = table;
  const uint16_t* sort = order && order[0] > 0 ? order : nullptr;
  const bool ok = xOpenRset(table, &set_, filter ? filter : "", sort) != 0;
  table->tb.current = -1;
  return ok;
}

bool SheetRows::openRecords(TableBinding* table, const std::vector<int32_t>& records) {
  close();
  table_ = table;
  xmOpenTb(&set_, sizeof(uint32_t), nullptr, 100);
  for (int32_t r : records)
    if (r >= 0 && !append(static_cast<uint32_t>(r))) return false;
  return true;
}

void SheetRows::close() {
  xmCloseTb(&set_);
  std::memset(&set_, 0, sizeof set_);
  table_ = nullptr;
}

uint32_t SheetRows::record(uint32_t row) const {
  if (row >= set_.count || !set_.data) return XJOR_NONE;
  uint32_t r;
  std::memcpy(&r, set_.data + static_cast<size_t>(row) * sizeof r, sizeof r);
  return r;
}

bool SheetRows::read(uint32_t row, void* buffer) const {
  const uint32_t r = record(row);
  if (r == XJOR_NONE || !table_) return false;
  return readRecordAt(table_->tb, static_cast<int32_t>(r), buffer);
}

int64_t SheetRows::rowOf(uint32_t r) const {
  for (uint32_t i = 0; i < set_.count; ++i)
    if (record(i) == r) return i;
  return -1;
}

bool SheetRows::append(uint32_t r) {
  if (set_.recordSize == 0) xmOpenTb(&set_, sizeof(uint32_t), nullptr, 100);
  set_.current = set_.count;
  return xmIns(&set_, &r) != 0;
}

void SheetRows::remove(uint32_t row) {
  if (row >= set_.count) return;
  set_.current = row;
  xmDel(&set_);
}

void SheetRows::setRecord(uint32_t row, uint32_t r) {
  if (row < set_.count) std::memcpy(set_.data + static_cast<size_t>(row) * sizeof r, &r, sizeof r);
}

int shownDateOffset(const char* record, int offset) {
  // Finish and start positions of the record head: current, early, late,
  // actual and planned dates.
  constexpr struct {
    int finish, start, duration;
  } kPairs[] = {{10, 8, 2}, {14, 12, 2}, {18, 16, 2}, {22, 20, 2}, {28, 26, 24}};
  for (const auto& p : kPairs) {
    if (p.finish != offset) continue;
    int16_t duration = 0;
    uint16_t start = 0;
    std::memcpy(&duration, record + p.duration, sizeof duration);
    std::memcpy(&start, record + p.start, sizeof start);
    return duration == 0 && start != 0 ? p.start : offset;
  }
  return offset;
}

}  // namespace kelvo
