// The classifications of a file that carries none: its outline of summary
// tasks becomes the work-type classification and each task's place under
// its summary the facility one.
#ifndef KVMSP_SUMMARY_OUTLINE_H_
#define KVMSP_SUMMARY_OUTLINE_H_

#include "kvmspdi.h"

namespace kvmsp {

struct SummaryOutline {
  int levels = 0;   // work-type levels made (0 = the file keeps its own)
  int deepest = 0;  // summary levels in the file; above levels, folded
};

// For a file without outline code 1 and with summary tasks: adds outline
// code 1 from the summary outline (parents by OutlineLevel in file order,
// each level coded by its place among its siblings, numbered from 1 and
// zero-padded to the level's width). As many levels are kept as fit the
// classification (8 levels, 10 characters); a deeper summary stands for
// its ancestor on the deepest kept level. A task takes the final-level code
// of its summary; a summary above the final level gets a final-level code
// of zeros below it for the tasks directly under it. Without outline code 2
// the file also gets a one-level facility code numbering the tasks of each
// work type (1, 2, ...), so that no two tasks share a (work type, facility)
// pair. Tasks outside any summary keep no codes. Summary tasks carry their
// own work-type value (for crews).
SummaryOutline classifyBySummaries(Project& project);

}  // namespace kvmsp

#endif  // KVMSP_SUMMARY_OUTLINE_H_
