#include "report_values.h"

#include <cstring>

#include "xJorDbm2.h"
#include "xQdDb100.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo {
namespace {

// Positions of the row kind, record number, level and codes in the two
// summary layouts.
struct RowLayout {
  int kind, record, level, workType, facility, activity, resource;
};
constexpr RowLayout kActivityRows{282, 284, 292, 294, 305, 327, -1};
constexpr RowLayout kResourceRows{60, 62, 70, 72, 83, 105, 126};

int16_t read16(const std::vector<char>& b, int at) {
  int16_t v = 0;
  if (at >= 0 && size_t(at) + 2 <= b.size()) std::memcpy(&v, b.data() + at, 2);
  return v;
}
int32_t read32(const std::vector<char>& b, int at) {
  int32_t v = -1;
  if (at >= 0 && size_t(at) + 4 <= b.size()) std::memcpy(&v, b.data() + at, 4);
  return v;
}
// The NUL-terminated code at `at` of a record of the given width.
std::string codeAt(const std::vector<char>& b, int at, size_t width) {
  if (at < 0 || size_t(at) >= b.size()) return {};
  const size_t n = std::min(width, b.size() - size_t(at));
  return std::string(b.data() + at, strnlen(b.data() + at, n));
}

QString cp949(const char* bytes, size_t width) {
  return xjor::fromCp949(bytes, int(strnlen(bytes, width)));
}
QString dateText(uint16_t date) {
  char buf[XJOR_DATE_TEXT_MAX];
  xTimeToStr(buf, date);
  return QString::fromLatin1(buf);
}

}  // namespace

QString systemItemText(const PrjInfo* info, int n, int pageNumber) {
  if (n == sysitem::kToday) {
    char buf[XJOR_DATE_TEXT_MAX];
    xGetTodayStr(buf);
    return QString::fromLatin1(buf);
  }
  if (n == sysitem::kPageNumber) return pageNumber > 0 ? QString::number(pageNumber) : QString();
  if (!info) return {};
  switch (n) {
    case sysitem::kProjectCode:
      return cp949(info->code, sizeof info->code);
    case sysitem::kProjectName:
      return cp949(info->title, sizeof info->title);
    case sysitem::kCompany:
      return cp949(info->company, sizeof info->company);
    case sysitem::kCurrency:
      return cp949(info->currency, sizeof info->currency);
    case sysitem::kProjectStart:
      return dateText(info->start);
    case sysitem::kProjectFinish:
      return dateText(info->finish);
    case sysitem::kPeriodStart:
      return dateText(info->periodStart);
    case sysitem::kPeriodEnd:
      return dateText(info->periodFinish);
    case sysitem::kReferenceDate:
      return dateText(info->dataDate);
    case sysitem::kRemarks:
      return cp949(info->remark, sizeof info->remark);
    case sysitem::kManager:
      return cp949(info->manager, sizeof info->manager);
    default:
      return {};
  }
}

ReportRecord::ReportRecord(ProjectDb* db, const PrjInfo* info, bool resource)
    : db_(db), info_(info), resource_(resource) {}

int16_t ReportRecord::kind() const {
  return read16(row_, resource_ ? kResourceRows.kind : kActivityRows.kind);
}
int16_t ReportRecord::level() const {
  return read16(row_, resource_ ? kResourceRows.level : kActivityRows.level);
}

bool ReportRecord::read(uint32_t slot) {
  TableHandle& tb = db_->summary.table.tb;
  row_.assign(tb.recordSize, 0);
  tb.current = int32_t(slot);
  if (!xGetRec(&tb, row_.data())) return false;
  const RowLayout& at = resource_ ? kResourceRows : kActivityRows;
  // The related table of the row's kind and the code fields that must match.
  struct Match {
    int rowAt;
    int recordAt;
    size_t width;
  };
  std::vector<Match> match;
  const int16_t k = kind();
  relatedTable_ = nullptr;
  if (k == 0) {
    relatedTable_ = &db_->wbs;
    match = {{at.workType, 4, 11}};
  } else if (k == 1) {
    relatedTable_ = &db_->obs;
    match = {{at.facility, 4, 11}};
  } else if (k == 4) {
    relatedTable_ = &db_->act;
    match = {{at.activity, 216, 21}};
  } else if (resource_ && k == 2) {
    relatedTable_ = &db_->res;
    match = {{at.resource, 2, 11}};
  } else if (resource_ && k == 6) {
    relatedTable_ = &db_->opr;
    match = {{at.activity, 2, 21}, {at.resource, 23, 11}};
  }
  if (!relatedTable_) {
    related_.clear();
    return true;
  }
  TableHandle& rt = relatedTable_->tb;
  related_.assign(rt.recordSize, 0);
  const int32_t record = read32(row_, at.record);
  rt.current = record;
  bool found = record >= 0 && xGetRec(&rt, related_.data());
  // A stale record number after deletions would print another record's data.
  for (const Match& m : match)
    found = found && codeAt(row_, m.rowAt, m.width) == codeAt(related_, m.recordAt, m.width);
  if (!found) std::fill(related_.begin(), related_.end(), 0);
  return true;
}

bool ReportRecord::evaluate(const std::string& expression, int32_t expected, QueryValue* result) {
  TableBinding* bindings[2] = {&db_->summary.table, relatedTable_};
  const void* records[2] = {row_.data(), related_.data()};
  QueryCtx q{};
  q.text = expression.c_str();
  q.bindings = bindings;
  q.records = records;
  q.bindingCount = relatedTable_ ? 2 : 1;
  // Printing shows no messages: an expression that fails prints nothing.
  const int32_t saved = xGetDbError();
  xSetDbError(0);
  const bool ok = xCheckSyntax(expected, &q) && xGetDbError() == 0;
  xSetDbError(saved);
  if (ok) *result = q.result;
  return ok;
}

bool ReportRecord::shows(const ReportItem& item) {
  if (item.condition.empty()) return true;
  QueryValue v{};
  return evaluate(item.condition, XJOR_QV_BOOLEAN, &v) && v.u.boolean.value != 0;
}

QString ReportRecord::text(const ReportItem& item, int pageNumber) {
  const ReportTextHeader& h = item.header;
  switch (h.source) {
    case source::kText:
      return xjor::fromCp949(item.text.data(), int(item.text.size()));
    case source::kSystem:
      return systemItemText(info_, h.systemItem, pageNumber);
    case source::kFormula: {
      QueryValue v{};
      if (row_.empty() || !evaluate(item.text, -1, &v)) return {};
      if (v.type == XJOR_QV_NUMBER) {
        char buf[96];
        xNumToStr(buf, v.u.number, 24, std::clamp<int>(h.decimals, 0, 10), XJOR_NUM_COMMA);
        return QString::fromLatin1(buf).trimmed();
      }
      if (v.type == XJOR_QV_DATE) return dateText(v.u.date);
      if (v.type == XJOR_QV_STRING)
        return xjor::fromCp949(v.u.string.text, int(std::max(0, v.u.string.length)));
      return {};
    }
    default: {
      // A field of the summary record (3) or of the related record (6, 8).
      const bool own = h.source == source::kSummaryField;
      TableBinding* t = own ? &db_->summary.table : relatedTable_;
      const std::vector<char>& rec = own ? row_ : related_;
      if (!t || rec.empty() || h.field < 0 || h.field >= t->tb.fieldCount) return {};
      char out[XF_VALUE_BUFFER];
      xGetValue(t->tb.fields, db_->space.refHandle, out, rec.data(), h.field, -1);
      return xjor::fromCp949(out, int(strnlen(out, sizeof out))).trimmed();
    }
  }
}

}  // namespace kelvo
