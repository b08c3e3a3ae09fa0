// The external editor for the data sheets (payloads in kvsheet.h).
#ifndef KVSHEET_EDITOR_H_
#define KVSHEET_EDITOR_H_

#include "kvconvert.h"

namespace kvsheet {

// Writes the view's columns and rows as a one-sheet workbook into the
// payload's folder. Returns 1, or 0 when the request does not describe a
// data sheet or the workbook cannot be written.
int32_t sendSheet(XKvRequest* r);

// Reads the chosen workbook back into the view's table. Returns 1 on
// success, -1 when no workbook was chosen, 0 when the workbook does not fit
// the window (wrong first sheet; with "rebuild", a row that fails its checks
// or that the store refuses on a working copy)
// or cannot be read; the payload's problem text tells why.
int32_t readSheet(XKvRequest* r);

}  // namespace kvsheet

#endif  // KVSHEET_EDITOR_H_
