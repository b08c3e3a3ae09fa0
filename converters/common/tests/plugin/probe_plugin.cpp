// An external-editor plug-in for the program's tests: each call appends a
// line to the file named by $KVPROBE_LOG describing the request as the
// converter sees it, and returns $KVPROBE_RESULT (default 1). A read of a
// value sheet (kind 17) adds 1 to the value of every entry and puts an
// entry for the day after the last one, as an edited workbook would.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "kvconvert.h"
#include "kveditor.h"

namespace {

std::string text(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string text(const char* format, ...) {
  char buf[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buf, sizeof buf, format, args);
  va_end(args);
  return buf;
}

std::string pointer(const void* p) {
  return p ? text("%p", p) : "null";
}

std::string describe(const char* call, const XKvRequest* r) {
  std::string s = text("%s kind=%d sub=%u", call, r->viewKind, unsigned(r->startDay)) +
                  " db=" + pointer(r->database) + " scheme=" + pointer(r->scheme) +
                  " info=" + pointer(r->info);
  s += " columns=";
  if (const auto* c = static_cast<const XKvEditorColumns*>(r->columns)) {
    for (int32_t i = 0; i < c->count; ++i)
      s += text("%s%d%s%s", i ? "," : "", c->column[i].field, c->column[i].title[0] ? ":" : "",
                c->column[i].title);
  } else {
    s += "none";
  }
  const auto* d = static_cast<const XKvEditorData*>(r->path);
  s += " records=";
  if (!d->records) s += "all";
  for (int32_t i = 0; d->records && i < d->recordCount; ++i)
    s += text("%s%d", i ? "," : "", d->records[i]);
  const void* v = reinterpret_cast<const void*>(r->viewValue);
  if (!v) return s;
  if (r->viewKind == 11) {
    const auto* m = static_cast<const XKvMapView*>(v);
    s += text(" mode=%d item=%d rows=%d", m->mode, m->item, m->rowCount);
    for (int32_t i = 0; i < m->rowCount; ++i) s += text("%s%s", i ? "," : ":", m->rowCode[i]);
    s += text(" columns=%d", m->columnCount);
    for (int32_t i = 0; i < m->columnCount; ++i) s += text("%s%s", i ? "," : ":", m->columnCode[i]);
    s += " cells=";
    for (int32_t i = 0; i < m->cellCount; ++i)
      s += text("%s%d/%d/%d", i ? "," : "", m->cell[i].column, m->cell[i].row, m->cell[i].record);
  } else if (r->viewKind == 17) {
    const auto* t = static_cast<const XKvValueTable*>(v);
    s += " values=";
    for (int32_t i = 0; i < t->count; ++i)
      s += text("%s%u:%g", i ? "," : "", unsigned(t->entry[i].day), t->entry[i].value);
  } else if (r->viewKind == 18 || r->viewKind == 19) {
    const auto* p = static_cast<const XKvPeriodSheet*>(v);
    s += text(" items=%d rows=", p->itemCount);
    for (int32_t i = 0; i < p->rowCount; ++i) {
      const XKvPeriodRow& row = p->row[i];
      double sum = 0;
      for (int32_t k = 0; k < row.count; ++k) sum += row.entry[k].value;
      s += text("%s%d/%d/%d/%g", i ? "," : "", row.record, row.item, row.count, sum);
    }
  }
  return s;
}

int32_t answer(const char* call, XKvRequest* r) {
  if (const char* log = std::getenv("KVPROBE_LOG")) {
    if (FILE* f = std::fopen(log, "a")) {
      std::fprintf(f, "%s\n", describe(call, r).c_str());
      std::fclose(f);
    }
  }
  const char* result = std::getenv("KVPROBE_RESULT");
  return result ? std::atoi(result) : 1;
}

int32_t expTb(XKvRequest* r) {
  return answer("send", r);
}

int32_t impTb(XKvRequest* r) {
  const int32_t result = answer("read", r);
  if (result > 0 && r->viewKind == 17 && r->viewValue) {
    const auto* t = reinterpret_cast<const XKvValueTable*>(r->viewValue);
    const auto* d = static_cast<const XKvEditorData*>(r->path);
    const int32_t count = t->count;
    std::vector<XKvValueEntry> rows(t->entry, t->entry + count);
    if (d->rebuild) t->clear(t->owner);
    uint16_t last = 0;
    for (const XKvValueEntry& e : rows) {
      t->put(t->owner, e.day, e.value + 1);
      if (e.day > last) last = e.day;
    }
    if (last) t->put(t->owner, uint16_t(last + 1), 7);
  }
  return result;
}

const XKvProc kTable[] = {nullptr, nullptr, nullptr, nullptr, expTb, impTb};

}  // namespace

extern "C" __attribute__((visibility("default"))) const XKvProc* xOrdinalTable(void) {
  return kTable;
}
