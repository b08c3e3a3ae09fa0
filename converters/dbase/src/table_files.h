// One project table as one dBASE file, both ways.
#ifndef KVDBASE_TABLE_FILES_H_
#define KVDBASE_TABLE_FILES_H_

#include <stdint.h>

#include <string>
#include <vector>

#include "kvconvert.h"
#include "kvdbf.h"
#include "kvtables.h"
#include "xQdDb100.h"

namespace kvdbase {

using kvconv::bindingOf;
using kvconv::Table;

// The dBASE column of every field of the table, named by the exchange names
// of the table (user fields "USER1", ...).
std::vector<kvdbf::Column> columnsOf(const TableHandle& tb, Table t);

// Writes every live record of the table (classification codes in code
// order, others in table order). The table's current record is kept.
bool exportTable(ProjectDb* db, Table t, const std::string& path, uint16_t today);

// Writes the time-shared entries in index order.
bool exportTimeShared(ProjectDb* db, const std::string& path, uint16_t today);

// Everything the record inputs need besides the records.
struct ImportContext {
  ProjectDb* db;
  const XKvScheme* scheme;
  uint16_t projectStart;
  int refused = 0;  // records the store refused, all tables
};

// Reads the file into the (empty) table: adapts the table's field structure
// to the columns, appends the live records raw, then enters each again
// through the store's input for the table. Fails, with the reason in why,
// when the file cannot be read whole or has fewer columns than the table
// has fields.
bool importTable(ImportContext& ctx, Table t, const std::string& path, std::string& why);

// Enters the time-shared entries of the file. A missing file is no entries;
// one that cannot be read whole fails, with the reason in why.
bool importTimeShared(ImportContext& ctx, const std::string& path, std::string& why);

}  // namespace kvdbase

#endif  // KVDBASE_TABLE_FILES_H_
