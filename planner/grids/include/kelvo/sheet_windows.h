// Hooks the table sheets into the document frame: window 0 (classification
// sheet), 1 (resources), 8 (data sheet: activities, relations, crews, crew
// details by the option bar's choice) and 9 (summary sheet).
#ifndef KELVO_SHEET_WINDOWS_H_
#define KELVO_SHEET_WINDOWS_H_

namespace kelvo {

class CKelvoApp;
class CPlanDoc;

// The view kind a sheet window shows: window 0 by the classification chosen
// (combo 10500: 0 work types, 1 facilities), 1 resources (2), 8 by combo
// 10504 (activities 4, relations 5, crews 3, crew details 6), 9 the open
// summary (7, or 8 for a resource summary). -1 for other windows.
int sheetKindForWindow(int window, int choice, bool resourceSummary);

// Whether the summary file open in doc summarises resources (its
// registration's subject is "자원 집계").
bool openSummaryIsResources(CPlanDoc& doc);

// Registers the factories of the four windows. Call once, before the
// program's first document frame is made.
void registerSheetWindows(CKelvoApp& app);

}  // namespace kelvo

#endif  // KELVO_SHEET_WINDOWS_H_
