// A converter plug-in for the tests. The request's path text names the
// result: "fail-info", "fail-imp", "fail-exp" give 0 at that step; for the
// editor calls the path text is the result as a number.
#include <cstdlib>
#include <cstring>

#include "kvconvert.h"

namespace {

bool is(const XKvRequest* r, const char* text) {
  return r->path && std::strcmp(static_cast<const char*>(r->path), text) == 0;
}

int32_t getInfo(XKvRequest* r) {
  if (is(r, "fail-info")) return 0;
  auto* info = static_cast<char*>(r->info);
  // The caller cleared the record, set the amount digits and named the key.
  if (info[0] != 0 || info[198] != 12) return 0;
  if (!r->extension || std::strcmp(r->extension, "tst") != 0 || !r->library) return 0;
  std::strcpy(info, "INFO");
  r->startDay = 1234;
  return 1;
}

int32_t expDb(XKvRequest* r) {
  return is(r, "fail-exp") ? 0 : 1;
}

int32_t impDb(XKvRequest* r) {
  if (is(r, "fail-imp")) return 0;
  std::strcpy(static_cast<char*>(r->info), r->startDay == 1234 ? "IMPORTED" : "NO START");
  return 1;
}

int32_t editor(XKvRequest* r) {
  return std::atoi(static_cast<const char*>(r->path));
}

const XKvProc kTable[] = {nullptr, getInfo, expDb, impDb, editor, nullptr};

}  // namespace

extern "C" __attribute__((visibility("default"))) const XKvProc* xOrdinalTable(void) {
  return kTable;
}
