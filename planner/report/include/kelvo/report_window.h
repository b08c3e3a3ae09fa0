// Document window 10 "사용자 보고서": registers the user report with the
// program and makes its view.
#ifndef KELVO_REPORT_WINDOW_H_
#define KELVO_REPORT_WINDOW_H_

#include <QWidget>

namespace kelvo {

class CKelvoApp;
class CPlanDoc;
class CRepView;

// The report view of window 10 (kind 21), showing the body or the cover.
CRepView* makeReportWindow(CPlanDoc* doc, bool cover, QWidget* parent);
// Registers window 10; its option bar's combo 10508 chooses body or cover.
void registerReportWindow(CKelvoApp& app);

}  // namespace kelvo

#endif  // KELVO_REPORT_WINDOW_H_
