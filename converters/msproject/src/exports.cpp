// The five numbered exports of the Microsoft Project XML converter.
#include <cstdio>
#include <string>

#include "msp_project.h"

namespace {

const char* pathOf(const XKvRequest* r) {
  return static_cast<const char*>(r->path);
}

int32_t failed(const char* path, const std::string& why) {
  fprintf(stderr, "xKvMsp: %s: %s\n", path, why.c_str());
  return 0;
}

}  // namespace

extern "C" {

int32_t xGetInfo(XKvRequest* r) {
  if (!r || !r->path || !r->info) return 0;
  std::string error;
  auto* info = static_cast<PrjInfo*>(r->info);
  if (!kvmsp::readProjectInfo(pathOf(r), info, error)) return failed(pathOf(r), error);
  r->startDay = info->start;
  return 1;
}

int32_t xExpDB(XKvRequest* r) {
  if (!r || !r->path || !r->database || !r->scheme || !r->info) return 0;
  std::string error;
  if (!kvmsp::exportProject(static_cast<ProjectDb*>(r->database),
                            *static_cast<const XKvScheme*>(r->scheme),
                            *static_cast<const PrjInfo*>(r->info), pathOf(r), error))
    return failed(pathOf(r), error);
  return 1;
}

int32_t xImpDB(XKvRequest* r) {
  if (!r || !r->path || !r->database || !r->scheme || !r->info) return 0;
  std::string error;
  int refused = 0;
  if (!kvmsp::importProject(static_cast<ProjectDb*>(r->database),
                            static_cast<XKvScheme*>(r->scheme), static_cast<PrjInfo*>(r->info),
                            r->startDay, pathOf(r), &refused, error))
    return failed(pathOf(r), error);
  return 1;
}

// The XML converter has no external-editor function.
int32_t xExpTb(XKvRequest*) {
  return 0;
}

__attribute__((visibility("default"))) const XKvProc* xOrdinalTable(void) {
  static const XKvProc kTable[] = {nullptr, xGetInfo, xExpDB, xImpDB, xExpTb, xExpTb};
  return kTable;
}

}  // extern "C"
