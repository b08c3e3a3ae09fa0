// The five numbered exports of the dBASE converter.
#include <cstring>

#include "kvdbfset.h"
#include "table_files.h"

namespace {

using kvdbase::Table;

const char* pathOf(const XKvRequest* r) {
  return static_cast<const char*>(r->path);
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
  if (!kvdbf::readVersionFile(pathOf(r), r->info)) return 0;
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
  if (!kvdbf::writeVersionFile(path, r->info, today)) return 0;
  if (!kvdbf::writeSchemeFile(kvdbf::memberPath(path, "Str"), *static_cast<XKvScheme*>(r->scheme),
                              today))
    return 0;
  for (const auto& f : kFirstMembers)
    if (!kvdbase::exportTable(db, f.table, kvdbf::memberPath(path, f.tag), today)) return 0;
  if (!kvdbase::exportTimeShared(db, kvdbf::memberPath(path, "Spa"), today)) return 0;
  for (const auto& f : kLastMembers)
    if (!kvdbase::exportTable(db, f.table, kvdbf::memberPath(path, f.tag), today)) return 0;
  return xSaveMiscFormat(db, r->info, kvdbf::memberPath(path, "Etc.opt").c_str()) ? 1 : 0;
}

int32_t xImpDB(XKvRequest* r) {
  if (!r || !r->path || !r->database || !r->scheme || !r->info) return 0;
  auto* db = static_cast<ProjectDb*>(r->database);
  auto* scheme = static_cast<XKvScheme*>(r->scheme);
  const std::string path = pathOf(r);
  if (!kvdbf::readSchemeFile(kvdbf::memberPath(path, "Str"), scheme)) return 0;

  // Settings first: the calendars must be in place before activities are
  // dated. Without a settings file the new project keeps its defaults.
  char settings[XQD_INFO_SIZE] = {};
  if (xReadMiscFormat(db, settings, kvdbf::memberPath(path, "Etc.opt").c_str()))
    kvconv::takeSettings(r->info, settings);
  const auto* info = static_cast<const PrjInfo*>(r->info);
  xSetPrjDateInfo(db, info->calendarFrom, info->calendarTo);

  kvdbase::ImportContext ctx{db, scheme, r->startDay};
  for (const auto& f : kFirstMembers)
    if (!kvdbase::importTable(ctx, f.table, kvdbf::memberPath(path, f.tag))) return 0;
  if (!kvdbase::importTimeShared(ctx, kvdbf::memberPath(path, "Spa"))) return 0;
  for (const auto& f : kLastMembers)
    if (!kvdbase::importTable(ctx, f.table, kvdbf::memberPath(path, f.tag))) return 0;
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
