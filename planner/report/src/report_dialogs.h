// The report's dialogs: "문자 형식" for text items, "보고서 확대/축소" and the
// "선택 사항" sheet with the report's page. Each runs the test's answer when
// one was set.
#ifndef KELVO_REPORT_DIALOGS_H_
#define KELVO_REPORT_DIALOGS_H_

#include <QStringList>

#include "kelvo/report_view.h"

class QWidget;

namespace kelvo {

// fields: the names of the summary record's fields, for "항목 :" and
// "항목삽입 :".
bool runReportTextDialog(QWidget* parent, const QStringList& fields, ReportTextInput* input);
bool runReportPaperDialog(QWidget* parent, const ReportPaper& now, ReportPaper* next);
bool runReportOptionsDialog(QWidget* parent, ReportSettings* settings);

}  // namespace kelvo

#endif  // KELVO_REPORT_DIALOGS_H_
