// The five numbered exports of the dBASE converter.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "kvdbfset.h"
#include "kvimport.h"
#include "table_files.h"

namespace {

using kvdbase::Table;

const char* pathOf(const XKvRequest* r) {
  return static_cast<const char*>(r->path);
}

// Says which file of the set failed and why (the caller shows 20024), and
// gives the failed result.
int32_t failed(const std::string& file, const std::string& why) {
  fprintf(stderr, "xKvDbf: %s: %s\n", file.c_str(), why.c_str());
  return 0;
}

int32_t notWritten(const std::string& file) {
  return failed(file, std::string("cannot be written: ") + strerror(errno ? errno : EIO));
}

// The set's table members in the order they are written and read: the
// time-shared member goes between the two lists.
struct Member {
  Table table;
  const char* tag;
};
const Member kFirstMembers[] = {{Table::Wbs, "Wbs"},
                                {Table::Obs, "Obs"},
                                {Table::Res, "Res"},
                                {Table::Crw, "Crw"},
                                {Table::Act, "Act"}};
const Member kLastMembers[] = {{Table::Rel, "Rel"}, {Table::Opr, "Opr"}};

}  // namespace

extern "C" {

int32_t xGetInfo(XKvRequest* r) {
  if (!r || !r->path || !r->info) return 0;
  std::string why;
  if (!kvdbf::readVersionFile(pathOf(r), r->info, why)) return failed(pathOf(r), why);
  kvdbf::completeDates(r->info, xGetToday());
  uint16_t start;
  memcpy(&start, static_cast<const char*>(r->info) + 142, 2);
  r->startDay = start;
  return 1;
}

int32_t xExpDB(XKvRequest* r) {
  if (!r || !r->path || !r->database || !r->scheme || !r->info) return 0;
  auto* db = static_cast<ProjectDb*>(r->database);
  const std::string path = pathOf(r);
  const uint16_t today = xGetToday();
  errno = 0;
  if (!kvdbf::writeVersionFile(path, r->info, today)) return notWritten(path);
  const std::string schemePath = kvdbf::memberPath(path, "Str");
  if (!kvdbf::writeSchemeFile(schemePath, *static_cast<XKvScheme*>(r->scheme), today))
    return notWritten(schemePath);
  for (const auto& f : kFirstMembers) {
    const std::string member = kvdbf::memberPath(path, f.tag);
    if (!kvdbase::exportTable(db, f.table, member, today)) return notWritten(member);
  }
  const std::string spaPath = kvdbf::memberPath(path, "Spa");
  if (!kvdbase::exportTimeShared(db, spaPath, today)) return notWritten(spaPath);
  for (const auto& f : kLastMembers) {
    const std::string member = kvdbf::memberPath(path, f.tag);
    if (!kvdbase::exportTable(db, f.table, member, today)) return notWritten(member);
  }
  const std::string settingsPath = kvdbf::memberPath(path, "Etc.opt");
  if (!xSaveMiscFormat(db, r->info, settingsPath.c_str())) return notWritten(settingsPath);
  return 1;
}

int32_t xImpDB(XKvRequest* r) {
  if (!r || !r->path || !r->database || !r->scheme || !r->info) return 0;
  auto* db = static_cast<ProjectDb*>(r->database);
  auto* scheme = static_cast<XKvScheme*>(r->scheme);
  const std::string path = pathOf(r);
  std::string why;
  const std::string schemePath = kvdbf::memberPath(path, "Str");
  if (!kvdbf::readSchemeFile(schemePath, scheme, why)) return failed(schemePath, why);

  // Settings first: the calendars must be in place before activities are
  // dated. Without a settings file the new project keeps its defaults.
  const std::string settingsPath = kvdbf::memberPath(path, "Etc.opt");
  if (!kvconv::readSettingsFile(db, r->info, settingsPath, why)) return failed(settingsPath, why);
  const auto* info = static_cast<const PrjInfo*>(r->info);
  xSetPrjDateInfo(db, info->calendarFrom, info->calendarTo);

  kvdbase::ImportContext ctx{db, scheme, r->startDay};
  for (const auto& f : kFirstMembers) {
    const std::string member = kvdbf::memberPath(path, f.tag);
    if (!kvdbase::importTable(ctx, f.table, member, why)) return failed(member, why);
  }
  const std::string spaPath = kvdbf::memberPath(path, "Spa");
  if (!kvdbase::importTimeShared(ctx, spaPath, why)) return failed(spaPath, why);
  for (const auto& f : kLastMembers) {
    const std::string member = kvdbf::memberPath(path, f.tag);
    if (!kvdbase::importTable(ctx, f.table, member, why)) return failed(member, why);
  }
  return 1;
}

// The dBASE converter has no external-editor function.
int32_t xExpTb(XKvRequest*) {
  return 0;
}

__attribute__((visibility("default"))) const XKvProc* xOrdinalTable(void) {
  static const XKvProc kTable[] = {nullptr, xGetInfo, xExpDB, xImpDB, xExpTb, xExpTb};
  return kTable;
}

}  // extern "C"
