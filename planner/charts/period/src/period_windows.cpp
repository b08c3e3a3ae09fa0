#include "kelvo/period_windows.h"

#include <QBoxLayout>
#include <QLineEdit>

#include "kelvo/chart_view.h"
#include "kelvo/cp949_validator.h"
#include "kelvo/document_windows.h"
#include "kelvo/kelvo_app.h"
#include "kelvo/period_band_widget.h"
#include "kelvo/plan_doc.h"
#include "kelvo/sheet_view.h"
#include "kelvo/value_view.h"

namespace kelvo {
namespace {

void prepare(ViewKind kind, DocWindow window) {
  viewState().nextViewKind = kind;
  viewState().nextWindow = static_cast<int16_t>(windowNumber(window));
}

// The option bar's title edit shows the open sheet's title and gives it
// what is typed (only text CP949 can hold, at most 31 bytes).
void connectTitleEdit(QWidget* frame, CValueView* sheet) {
  auto* edit = frame->findChild<QLineEdit*>(QStringLiteral("ctl10100"));
  if (!edit) return;
  if (!edit->validator())
    edit->setValidator(new Cp949Validator(int(sizeof ValueSheetHeader::title) - 1, edit));
  edit->setText(sheet->title());
  QObject::connect(sheet, &CValueView::sheetOpened, edit, &QLineEdit::setText);
  QObject::connect(edit, &QLineEdit::textEdited, sheet, &CValueView::setTitle);
}

}  // namespace

QWidget* makePeriodSheetWindow(CPlanDoc* doc, QWidget* parent) {
  const bool resources =
      doc && doc->isOpen() && doc->openSummary() > 0 && summaryIsResources(&doc->db());
  prepare(resources ? ViewKind::PeriodResourceSheet : ViewKind::PeriodSheet,
          DocWindow::PeriodSheet);
  auto* column = new QWidget(parent);
  column->setObjectName(QStringLiteral("PeriodSheetWindow"));
  auto* layout = new QVBoxLayout(column);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* sheet = new CSheetView(doc, column);
  sheet->setObjectName(QStringLiteral("PeriodSheet"));
  layout->addWidget(sheet);
  sheet->initialUpdate();
  attachPeriodBand(sheet);
  return column;
}

QWidget* makePeriodChartWindow(CPlanDoc* doc, QWidget* parent) {
  prepare(ViewKind::PeriodChart, DocWindow::PeriodChart);
  auto* chart = new CChartView(doc, parent);
  chart->setObjectName(QStringLiteral("PeriodChart"));
  chart->initialUpdate();
  return chart;
}

QWidget* makeValueSheetWindow(CPlanDoc* doc, QWidget* parent) {
  prepare(ViewKind::ValueSheet, DocWindow::ValueSheet);
  auto* sheet = new CValueView(doc, parent);
  sheet->setObjectName(QStringLiteral("ValueSheet"));
  sheet->initialUpdate();
  return sheet;
}

void registerPeriodWindows(CKelvoApp& app) {
  using Maker = QWidget* (*)(CPlanDoc*, QWidget*);
  const std::pair<DocWindow, Maker> windows[] = {{DocWindow::PeriodSheet, makePeriodSheetWindow},
                                                 {DocWindow::PeriodChart, makePeriodChartWindow},
                                                 {DocWindow::ValueSheet, makeValueSheetWindow}};
  for (auto [window, make] : windows) {
    registerDocumentWindow(windowNumber(window), [&app, make](QWidget* parent) -> QWidget* {
      ViewState& vs = viewState();
      if (!vs.router) vs.router = app.router();
      if (!vs.flags) vs.flags = &app.settings().flags;
      QWidget* content = make(app.document(), parent);
      if (auto* sheet = qobject_cast<CValueView*>(content); sheet && app.mainWindow())
        connectTitleEdit(app.mainWindow(), sheet);
      return content;
    });
  }
}

}  // namespace kelvo
