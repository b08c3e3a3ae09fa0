// Internal helpers over the working set of a project database: member
// paths and the tables, indexes and memory tables in file order.
#ifndef XQD_WORKING_SET_H_
#define XQD_WORKING_SET_H_

#include <string>
#include <vector>

#include "project_layout.h"
#include "xQdDb100.h"

namespace xqd {

// stem + name: the path of a member of the project's scratch family.
std::string MemberPath(const ProjectDb* db, const char* name);

// "a20".."a29".
std::string WorkFileName(int i);

// The record tables in creation order: wbs, obs, res, crw, act, rel, opr.
std::vector<TableBinding*> RecordTables(ProjectDb* db);

// One saved image of the table sections: exactly one pointer is set. The
// order matches TableImages().
struct ImageRef {
  TableHandle* table = nullptr;
  IndexTable* index = nullptr;
  MemTable* memory = nullptr;
};
std::vector<ImageRef> ImagesInFileOrder(ProjectDb* db);

// Gives the memory table an empty block of its record size and key.
void ResetObjects(ProjectDb* db);

}  // namespace xqd

#endif  // XQD_WORKING_SET_H_
