// Hooks the table sheets into the document frame: window 0 (classification
// sheet), 1 (resources), 8 (data sheet: activities, relations, crews, crew
// details by the option bar's choice) and 9 (summary sheet).
#ifndef KELVO_SHEET_WINDOWS_H_
#define KELVO_SHEET_WINDOWS_H_

#include <optional>

class QWidget;

#include "kelvo/view_kind.h"

namespace kelvo {

class CKelvoApp;
class CPlanDoc;

// The view kind a sheet window shows: window 0 by the classification chosen
// (combo 10500: 0 work types, 1 facilities), 1 resources, 8 by combo 10504
// (activities, relations, crews, crew details), 9 the open summary (a
// resource summary has its own kind). Other windows show no sheet: nullopt.
std::optional<ViewKind> sheetKindForWindow(int window, int choice, bool resourceSummary);

// Whether the summary file open in doc summarises resources (its
// registration's subject is "자원 집계").
bool openSummaryIsResources(CPlanDoc& doc);

// Window 0 with the tree shown: a splitter with the classification tree
// (200 pixels) at the left and the sheet of viewState().nextViewKind (9 or
// 10) at the right, which the window prints.
QWidget* makeClassTreeWindow(CPlanDoc* doc, QWidget* parent);

// Registers the factories of the four windows and the document frame's
// content closer, which has every view of a window that goes store its
// settings. Call once, before the program's first document frame is made.
void registerSheetWindows(CKelvoApp& app);

}  // namespace kelvo

#endif  // KELVO_SHEET_WINDOWS_H_
