// What the converter plug-ins' imports share: the project's settings file
// that travels beside an exchange file, and fitting a project table's field
// layout to the columns of a file made elsewhere.
#ifndef KVIMPORT_H_
#define KVIMPORT_H_

#include <string>
#include <vector>

#include "xQdDb100.h"

namespace kvconv {

// The settings file kept beside an exchange file: its name with the
// extension replaced by "opt" ("Plan.xlsx" -> "Plan.opt"; no extension:
// ".opt" appended).
std::string settingsPathOf(const std::string& exchangePath);

// Reads the settings file at path into db (xReadMiscFormat) and takes its
// calendar range and amount settings into info (takeSettings). A file that
// does not exist leaves the new project's defaults and gives true; one that
// exists but cannot be read whole gives false, with the reason in why.
bool readSettingsFile(ProjectDb* db, void* info, const std::string& path, std::string& why);

// What an external file says about one of its columns, in dBASE terms:
// type 'C' text (also 'L', 'M'), 'N' or 'F' number, 'D' date; length in
// bytes (0: not known) and decimals.
struct ColumnShape {
  std::string name;
  char type = 'C';
  int length = 0;
  int decimals = 0;
};

// Adapts the table's fields to the columns, column i to field i by
// position: integer fields (4, 5) take the column's length as display
// width; float and double fields its decimals and the length less the
// decimals and the point; widenable text fields (flag bit 31) its length,
// at most 1024. A column of length 0 leaves its field as it is. Each
// column past the table's fields becomes a user field named like it: text
// of its length, a date, or a number (with decimals: float below length 8,
// else double; without: 16-bit integer up to length 4, 32-bit up to 9,
// else double); other types are passed over. columnOf gets, for each field
// of the new layout, the column it is read from. False (the table
// unchanged) when the new layout cannot be applied.
bool adaptFields(TableHandle& tb, const std::vector<ColumnShape>& columns,
                 std::vector<size_t>& columnOf);

}  // namespace kvconv

#endif  // KVIMPORT_H_
