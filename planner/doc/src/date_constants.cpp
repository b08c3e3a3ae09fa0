#include "kelvo/date_constants.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "kelvo/date_settings_scope.h"
#include "kelvo/named_formulas.h"
#include "xJorDbm2.h"

namespace kelvo {
namespace {

// Filters are 100-byte fields, NUL included.
constexpr size_t kFilterBytes = 100;
// Sheet kinds whose record 100 + kind is a sheet record: the filter lies
// after the grid format (150 bytes) and the record order (26 bytes).
constexpr int kSheetKinds[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 14, 15, 17};
constexpr size_t kSheetFilterAt = 176;
// The period sheets' row source: the order (26 bytes), then the filter.
constexpr int kRowSourceItems[] = {8, 9};
constexpr size_t kRowSourceFilterAt = 26;
constexpr int kReportFilterItem = 153;

// Rewrites the NUL-terminated text of `size` bytes at `text` in place.
// False when nothing changed or the new text would not fit.
bool rewriteField(char* text, size_t size, const DateInfo& from, const DateInfo& to) {
  const std::string old(text, strnlen(text, size));
  const std::string now = rewriteDateConstants(old, from, to);
  if (now == old || now.size() >= size) return false;
  std::memset(text, 0, size);
  std::memcpy(text, now.data(), now.size());
  return true;
}

// Rewrites the filter at byte `at` of option item `item`, when it is stored
// with the whole field.
bool rewriteItem(OptionFileRef* opt, int item, size_t at, const DateInfo& from,
                 const DateInfo& to) {
  const int32_t size = xOption(opt, XOPT_SIZE, item, nullptr, 0);
  if (size <= 0 || size_t(size) < at + kFilterBytes) return false;
  std::vector<char> bytes(static_cast<size_t>(size));
  if (xOption(opt, XOPT_READ, item, bytes.data(), uint32_t(size)) != 1) return false;
  if (!rewriteField(bytes.data() + at, kFilterBytes, from, to)) return false;
  return xOption(opt, XOPT_WRITE, item, bytes.data(), uint32_t(size)) != 0;
}

}  // namespace

bool dateTextChanges(const DateInfo& from, const DateInfo& to) {
  return from.form != to.form || from.delimiter != to.delimiter ||
         (from.ordinalMode != 0) != (to.ordinalMode != 0) ||
         (to.ordinalMode && from.ordinalBase != to.ordinalBase);
}

std::string rewriteDateConstants(const std::string& expr, const DateInfo& from,
                                 const DateInfo& to) {
  DateSettingsScope scope;
  std::string out;
  out.reserve(expr.size());
  size_t i = 0;
  while (i < expr.size()) {
    const char c = expr[i];
    // Quoted text and item names are copied through to their end.
    const char close = c == '"' ? '"' : c == '\'' ? '\'' : c == '[' ? ']' : c == '@' ? '@' : 0;
    if (!close) {
      out += c;
      ++i;
      continue;
    }
    const size_t end = expr.find(close, i + 1);
    if (end == std::string::npos) {
      out.append(expr, i, std::string::npos);
      break;
    }
    const std::string inner = expr.substr(i + 1, end - i - 1);
    std::string shown = inner;
    if (c == '@' && !inner.empty() && inner.size() < XJOR_DATE_TEXT_MAX) {
      DateInfo settings = from;
      xSetDateInfo(&settings);
      const uint16_t day = xStrToTime(inner.c_str());
      if (day != 0) {
        settings = to;
        xSetDateInfo(&settings);
        char text[XJOR_DATE_TEXT_MAX] = {};
        xTimeToStr(text, day);
        shown = text;
      }
    }
    out += c;
    out += shown;
    out += close;
    i = end + 1;
  }
  return out;
}

int rewriteStoredDateConstants(ProjectDb* db, const DateInfo& from, const DateInfo& to) {
  if (!dateTextChanges(from, to)) return 0;
  int rewritten = 0;
  for (int kind : kSheetKinds)
    rewritten += rewriteItem(&db->opt, 100 + kind, kSheetFilterAt, from, to);
  for (int item : kRowSourceItems)
    rewritten += rewriteItem(&db->opt, item, kRowSourceFilterAt, from, to);
  // The report keeps its filter as bare text; it may grow to a whole field.
  const int32_t size = xOption(&db->opt, XOPT_SIZE, kReportFilterItem, nullptr, 0);
  if (size > 0) {
    std::vector<char> text(std::max<size_t>(size_t(size), kFilterBytes), 0);
    if (xOption(&db->opt, XOPT_READ, kReportFilterItem, text.data(), uint32_t(size)) == 1 &&
        rewriteField(text.data(), text.size(), from, to))
      rewritten +=
          xOption(&db->opt, XOPT_WRITE, kReportFilterItem, text.data(), uint32_t(text.size())) != 0;
  }
  rewritten += editNamedFormulas(
      db, [&](NamedFormula& f) { return rewriteField(f.formula, sizeof f.formula, from, to); });
  return rewritten;
}

}  // namespace kelvo
