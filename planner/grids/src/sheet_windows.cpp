#include "kelvo/sheet_windows.h"

#include <QSplitter>

#include "kelvo/document_windows.h"
#include "kelvo/kelvo_app.h"
#include "kelvo/plan_doc.h"
#include "kelvo/summary_registry.h"
#include "kelvo/table_view.h"
#include "kelvo/wbs_tree.h"

namespace kelvo {

std::optional<ViewKind> sheetKindForWindow(int window, int choice, bool resourceSummary) {
  switch (window) {
    case windowNumber(DocWindow::Classification):
      return choice == 1 ? ViewKind::FacilitySheet : ViewKind::WorkTypeSheet;
    case windowNumber(DocWindow::Resources):
      return ViewKind::Resources;
    case windowNumber(DocWindow::DataSheet): {
      constexpr ViewKind kinds[] = {ViewKind::Activities, ViewKind::Relations, ViewKind::Crews,
                                    ViewKind::CrewDetails};
      return kinds[choice >= 0 && choice < 4 ? choice : 0];
    }
    case windowNumber(DocWindow::SummarySheet):
      return resourceSummary ? ViewKind::ResourceSummary : ViewKind::Summary;
    default:
      return std::nullopt;
  }
}

bool openSummaryIsResources(CPlanDoc& doc) {
  if (!doc.isOpen() || doc.openSummary() <= 0) return false;
  // The registration's subject bit says what the summary rolls up; its
  // composition only names the classifications that group the rows.
  const auto reg = readSummaryRegistration(&doc.db(), doc.openSummary());
  return reg && (reg->flags & kSummaryOfResources);
}

QWidget* makeClassTreeWindow(CPlanDoc* doc, QWidget* parent) {
  auto* splitter = new QSplitter(Qt::Horizontal, parent);
  auto* sheet = new CTableView(doc);
  sheet->initialUpdate();
  // The window prints its sheet.
  sheet->setProperty("printsWindow", true);
  auto* tree = new CWbsTree(doc, sheet);
  splitter->addWidget(tree);
  splitter->addWidget(sheet);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({200, 600});
  return splitter;
}

void registerSheetWindows(CKelvoApp& app) {
  for (int window : {0, 1, 8, 9}) {
    registerDocumentWindow(window, [&app, window](QWidget* parent) -> QWidget* {
      CPlanDoc* doc = app.document();
      const int choice = app.optionBarChoice(window == 0 ? 10500 : 10504);
      // "분류 구조표 보기" (the default) or "분류표 시트 보기".
      const bool tree = window == 0 && app.optionBarChoice(10501) == 0;
      const bool resources = window == 9 && doc && openSummaryIsResources(*doc);
      ViewState& vs = viewState();
      // The views route commands and read the option word through the
      // program-wide state; wire it to the program's when nobody has yet.
      if (!vs.router) vs.router = app.router();
      if (!vs.flags) vs.flags = &app.settings().flags;
      // "Save first?" (fit to paper) saves as the program's save command
      // does: into the project's file, or under a name asked for when it
      // has none yet, with a failure reported.
      if (!vs.saveProject)
        vs.saveProject = [&app] {
          CPlanDoc* d = app.document();
          return d && d->isOpen() && app.onCommand(cmd::kSave);
        };
      vs.nextViewKind = *sheetKindForWindow(window, choice, resources);
      vs.nextWindow = static_cast<int16_t>(window);
      if (tree) {
        vs.nextViewKind = choice == 1 ? ViewKind::FacilityTree : ViewKind::WorkTypeTree;
        return makeClassTreeWindow(doc, parent);
      }
      auto* view = new CTableView(doc, parent);
      view->initialUpdate();
      return view;
    });
  }
  // A window's views store their settings while the project is still open,
  // before the frame deletes them on a window switch, a close or the exit.
  // Any view of the content is asked, not only the sheets.
  setContentCloser([](QWidget* content) {
    if (auto* view = qobject_cast<CBaseView*>(content)) view->prepareToClose();
    for (CBaseView* view : content->findChildren<CBaseView*>()) view->prepareToClose();
  });
  // A window prints through its own view, or the view of a splitter that
  // says it prints for the window (the Gantt chart beside its sheet), else
  // the first one.
  setContentPrinter([](QWidget* content, QPrinter* printer) {
    auto* view = qobject_cast<CBaseView*>(content);
    if (!view) {
      const auto views = content->findChildren<CBaseView*>();
      for (CBaseView* v : views)
        if (v->property("printsWindow").toBool()) view = v;
      if (!view && !views.isEmpty()) view = views.first();
    }
    if (!view) return -1;
    return view->printTo(printer) ? 1 : 0;
  });
}

}  // namespace kelvo
