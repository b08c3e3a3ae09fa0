// A throwaway project database beside an open one, on which a change that
// empties tables is tried first: the open project is touched only once the
// store has taken every row on the copy.
#ifndef KVSHEET_SCRATCH_PROJECT_H_
#define KVSHEET_SCRATCH_PROJECT_H_

#include <memory>
#include <vector>

#include "kvtables.h"

namespace kvsheet {

class ScratchProject {
 public:
  ScratchProject() = default;
  ~ScratchProject();
  ScratchProject(const ScratchProject&) = delete;
  ScratchProject& operator=(const ScratchProject&) = delete;

  // Creates the copy in the working folder of `from`, with the field layouts
  // of all seven tables and the records of the tables in `copied` (their
  // indexes rebuilt); the other tables stay empty. False when any working
  // file cannot be made.
  bool open(ProjectDb* from, const std::vector<kvconv::Table>& copied);
  ProjectDb* db() { return db_.get(); }

 private:
  std::unique_ptr<ProjectDb> db_;  // the bindings point into it: never moved
};

}  // namespace kvsheet

#endif  // KVSHEET_SCRATCH_PROJECT_H_
