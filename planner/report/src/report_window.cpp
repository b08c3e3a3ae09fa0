#include "kelvo/report_window.h"

#include "kelvo/document_windows.h"
#include "kelvo/kelvo_app.h"
#include "kelvo/plan_doc.h"
#include "kelvo/report_view.h"

namespace kelvo {

CRepView* makeReportWindow(CPlanDoc* doc, bool cover, QWidget* parent) {
  viewState().nextViewKind = ViewKind::UserReport;
  viewState().nextWindow = int16_t(windowNumber(DocWindow::UserReport));
  auto* view = new CRepView(doc, cover, parent);
  view->setObjectName(QStringLiteral("RepView"));
  return view;
}

void registerReportWindow(CKelvoApp& app) {
  registerDocumentWindow(windowNumber(DocWindow::UserReport), [&app](QWidget* parent) -> QWidget* {
    const bool cover = app.optionBarChoice(10508) == 1;
    ViewState& vs = viewState();
    if (!vs.router) vs.router = app.router();
    if (!vs.flags) vs.flags = &app.settings().flags;
    return makeReportWindow(app.document(), cover, parent);
  });
}

}  // namespace kelvo
