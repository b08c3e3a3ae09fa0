// Undoes what a test's program left in program-wide state.
#ifndef GRIDS_TESTS_PROGRAM_WIRING_H_
#define GRIDS_TESTS_PROGRAM_WIRING_H_

#include "child_frame.h"
#include "kelvo/base_view.h"

namespace kelvo_test {

// The program-wide view state, the sheet windows' factories and the content
// closer point into an application that is gone once a test ends: clear
// them for the next test.
inline void forgetProgramWiring() {
  kelvo::ViewState& vs = kelvo::viewState();
  vs.router = nullptr;
  vs.flags = nullptr;
  vs.saveProject = nullptr;
  vs.activeEditView = nullptr;
  vs.editTool = kelvo::tool::kDataSelect;
  for (int window : {0, 1, 8, 9}) kelvo::registerDocumentWindow(window, nullptr);
  kelvo::setContentCloser(nullptr);
}

}  // namespace kelvo_test

#endif  // GRIDS_TESTS_PROGRAM_WIRING_H_
