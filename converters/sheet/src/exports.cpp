// The five numbered exports of the spreadsheet converter.
#include <cstdio>
#include <cstring>
#include <string>

#include "editor.h"
#include "project_book.h"
#include "xQdDb100.h"

namespace {

const char* pathOf(const XKvRequest* r) {
  return static_cast<const char*>(r->path);
}

}  // namespace

extern "C" {

int32_t xGetInfo(XKvRequest* r) {
  if (!r || !r->path || !r->info) return 0;
  std::string error;
  if (!kvsheet::readProjectInfo(pathOf(r), r->info, error)) {
    fprintf(stderr, "xKvXls: %s: %s\n", pathOf(r), error.c_str());
    return 0;
  }
  r->startDay = static_cast<const PrjInfo*>(r->info)->start;
  return 1;
}

int32_t xExpDB(XKvRequest* r) {
  if (!r || !r->path || !r->database || !r->scheme || !r->info) return 0;
  if (!kvsheet::exportProject(static_cast<ProjectDb*>(r->database),
                              *static_cast<const XKvScheme*>(r->scheme), r->info, pathOf(r))) {
    fprintf(stderr, "xKvXls: %s: cannot be written\n", pathOf(r));
    return 0;
  }
  return 1;
}

int32_t xImpDB(XKvRequest* r) {
  if (!r || !r->path || !r->database || !r->scheme || !r->info) return 0;
  std::string error;
  int refused = 0;
  if (!kvsheet::importProject(static_cast<ProjectDb*>(r->database),
                              static_cast<XKvScheme*>(r->scheme), r->info, r->startDay, pathOf(r),
                              &refused, error)) {
    fprintf(stderr, "xKvXls: %s: %s\n", pathOf(r), error.c_str());
    return 0;
  }
  return 1;
}

int32_t xExpTb(XKvRequest* r) {
  return r ? kvsheet::sendSheet(r) : 0;
}

int32_t xImpTb(XKvRequest* r) {
  return r ? kvsheet::readSheet(r) : 0;
}

__attribute__((visibility("default"))) const XKvProc* xOrdinalTable(void) {
  static const XKvProc kTable[] = {nullptr, xGetInfo, xExpDB, xImpDB, xExpTb, xImpTb};
  return kTable;
}

}  // extern "C"
