// Document windows 5 "기간별 시트", 6 "기간별 도표" and 7 "기간별 수치시트".
#ifndef KELVO_PERIOD_WINDOWS_H_
#define KELVO_PERIOD_WINDOWS_H_

class QWidget;

namespace kelvo {

class CKelvoApp;
class CPlanDoc;

// The content of window 5: the period sheet (kind 19 for a resource
// summary, else 18) with its period band under it; window 6: the period
// chart; window 7: the value sheet of the current sheet number. Each is
// initialised.
QWidget* makePeriodSheetWindow(CPlanDoc* doc, QWidget* parent);
QWidget* makePeriodChartWindow(CPlanDoc* doc, QWidget* parent);
QWidget* makeValueSheetWindow(CPlanDoc* doc, QWidget* parent);

// Registers windows 5, 6 and 7 with the document frame.
void registerPeriodWindows(CKelvoApp& app);

}  // namespace kelvo

#endif  // KELVO_PERIOD_WINDOWS_H_
