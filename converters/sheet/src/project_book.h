// A whole project as a workbook of nine sheets, both ways.
#ifndef KVSHEET_PROJECT_BOOK_H_
#define KVSHEET_PROJECT_BOOK_H_

#include <string>

#include "kvconvert.h"
#include "xQdDb100.h"

namespace kvsheet {

// Writes the project workbook at path (replacing a file there only once it
// is complete) and the settings file beside it. False on any failure. A
// text that is not all CP949 is written in part and reported on standard
// error with its sheet and cell.
bool exportProject(ProjectDb* db, const XKvScheme& scheme, const void* info,
                   const std::string& path);

// Reads the project information of the workbook at path into info (only
// the fields the sheet carries) and completes its dates. Refuses, with a
// reason in error, a file that is no workbook, a workbook of 8 sheets or
// fewer, or one whose first sheet is not the project information.
bool readProjectInfo(const std::string& path, void* info, std::string& error);

// Fills the new project db from the workbook at path: settings file first
// (then the calendars are installed), the classification schemes and codes,
// then the tables by sheet position; sheets whose name does not match are
// passed over. Rows the store refuses are counted into *refused and
// reported on standard error. False (error says why) when the workbook
// cannot be read.
bool importProject(ProjectDb* db, XKvScheme* scheme, void* info, uint16_t projectStart,
                   const std::string& path, int* refused, std::string& error);

}  // namespace kvsheet

#endif  // KVSHEET_PROJECT_BOOK_H_
