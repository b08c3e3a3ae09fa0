// The file set of a project written as dBASE tables: member names, the
// version file (project information) and the classification scheme file.
// Project information is the 200-byte block of the project store; the
// scheme is XKvScheme of kvconvert.h.
#ifndef KVDBFSET_H_
#define KVDBFSET_H_

#include <stdint.h>

#include <string>

#include "kvconvert.h"

namespace kvdbf {

// The member of the set named by tag: "Plan.dbf" with "Wbs" is "PlanWbs.dbf";
// tag "Etc.opt" replaces the dot and extension ("PlanEtc.opt"). A name
// without an extension gets the tag at its end.
std::string memberPath(const std::string& versionPath, const std::string& tag);

// Writes the version file: one record of 13 columns, "VERSION" 100 and the
// project information. today is the date of last update.
bool writeVersionFile(const std::string& path, const void* info, uint16_t today);
// Reads the version file into info (only the fields the file carries are
// set). Refuses, with the reason in why, a file that cannot be read whole,
// one without exactly 13 columns, a first record that is missing or
// deleted, or a "VERSION" other than 100.
bool readVersionFile(const std::string& path, void* info, std::string& why);
// Completes imported project information: no data date gives 1 January of
// today's year, no start the data date, no finish 31 December of the
// start's year; a start after the finish is swapped with it.
void completeDates(void* info, uint16_t today);

// Writes one record per defined level, work types (1) then facilities (2).
bool writeSchemeFile(const std::string& path, const XKvScheme& scheme, uint16_t today);
// Reads the scheme file (exactly 4 columns; else false, with the reason in
// why) into scheme: records with
// "TABLE_NO" 1-2 and "LEVEL" 1-8 give the level's length and name; then
// each classification keeps its levels from level 1 while each is at least
// 1 long and the lengths so far add up to at most XKV_SCHEME_MAX_CODE
// (at most 8 levels), with starts summed; the rest is cleared.
bool readSchemeFile(const std::string& path, XKvScheme* scheme, std::string& why);
// The level counting of readSchemeFile on a block whose lengths and names
// are set.
void countLevels(XKvSchemeBlock* block);

}  // namespace kvdbf

#endif  // KVDBFSET_H_
