#include "scratch_project.h"

#include <string>

namespace kvsheet {

namespace {

bool copyLayout(TableHandle& from, TableHandle& to) {
  FieldList fl{};
  if (!xTb2Fld(&fl, &from)) return false;
  const bool ok = xModFldStr(&to, &fl) != 0;
  xFreeBuffer(fl.fields);
  return ok;
}

bool copyRecords(TableHandle& from, TableHandle& to) {
  kvconv::KeepCurrent keep(from);
  std::vector<char> rec(from.recordSize);
  from.current = -1;
  while (xMoveNext(&from)) {
    if (!xGetRec(&from, rec.data())) continue;
    to.current = -1;
    if (!xAddRec(&to, rec.data())) return false;
  }
  to.current = -1;
  return true;
}

}  // namespace

ScratchProject::~ScratchProject() {
  if (db_) xCloseDB(db_.get());
}

bool ScratchProject::open(ProjectDb* from, const std::vector<kvconv::Table>& copied) {
  const std::string main(from->space.path);
  const size_t slash = main.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "./" : main.substr(0, slash + 1);
  db_ = std::make_unique<ProjectDb>();
  if (!xCreateDB(db_.get(), nullptr, folder.c_str(), nullptr)) return false;
  db_->space.refHandle = from->space.refHandle;
  using kvconv::Table;
  for (Table t :
       {Table::Wbs, Table::Obs, Table::Res, Table::Crw, Table::Act, Table::Rel, Table::Opr}) {
    if (!copyLayout(kvconv::bindingOf(from, t).tb, kvconv::bindingOf(db_.get(), t).tb))
      return false;
  }
  for (Table t : copied)
    if (!copyRecords(kvconv::bindingOf(from, t).tb, kvconv::bindingOf(db_.get(), t).tb))
      return false;
  return xRebuildIndexes(db_.get()) != 0;
}

}  // namespace kvsheet
