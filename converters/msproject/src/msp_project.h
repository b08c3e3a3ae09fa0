// A whole project as a Microsoft Project XML file, both ways, with the
// project's settings file beside it.
#ifndef KVMSP_MSP_PROJECT_H_
#define KVMSP_MSP_PROJECT_H_

#include <string>

#include "kvconvert.h"
#include "kvmspdi.h"
#include "xQdDb100.h"

namespace kvmsp {

// Working minutes of one day of the project: day counts become durations,
// slack and lags on it.
constexpr int kMinutesPerDay = 480;

// The project as the file model: information, calendars, the two
// classifications as outline codes 1 and 2, work types as summary tasks with
// their activities below them, relations as links, resources, crews as
// assignments of the work types' summary tasks and crew details as
// assignments of the activities. created and saved stamp the file.
Project modelOfProject(ProjectDb* db, const XKvScheme& scheme, const PrjInfo& info,
                       const std::string& stamp);

// Writes the file at path (replacing a file there only once it is complete)
// and the settings file beside it. False, with a reason in error.
bool exportProject(ProjectDb* db, const XKvScheme& scheme, const PrjInfo& info,
                   const std::string& path, std::string& error);

// The project information the file carries, into info, with its dates
// completed. False, with a reason in error, when the file cannot be read.
bool readProjectInfo(const std::string& path, PrjInfo* info, std::string& error);

// Fills the new project db from the file at path: the settings file first
// when there is one (else the file's calendars), the classification schemes
// and codes, resources, crews, activities, relations and crew details
// through the store. What the store refuses is reported on standard error
// (table, task or record, reason) and counted in *refused; the rest is
// imported. False, with error, when the file cannot be read.
bool importProject(ProjectDb* db, XKvScheme* scheme, PrjInfo* info, uint16_t projectStart,
                   const std::string& path, int* refused, std::string& error);

// Texts between the records' CP949 and the file's UTF-8. cp949Into cuts to
// width bytes at a character boundary and writes '?' for what CP949 lacks.
std::string utf8Of(const char* cp949, size_t width);
void cp949Into(const std::string& utf8, char* out, int width);

}  // namespace kvmsp

#endif  // KVMSP_MSP_PROJECT_H_
