#include "kelvo/map_window.h"

#include <QComboBox>
#include <QInputDialog>
#include <QSignalBlocker>

#include "kelvo/document_windows.h"
#include "kelvo/find_dialogs.h"
#include "kelvo/kelvo_app.h"
#include "kelvo/map_options_dialog.h"
#include "kelvo/map_view.h"
#include "kelvo/plan_doc.h"
#include "kelvo/record_dialogs.h"
#include "kelvo/strings.h"

namespace kelvo {
namespace {

constexpr int kMapWindow = windowNumber(DocWindow::Map);
constexpr int kItemCombo = 10502;

// Fills the option bar's item list with the fields of the view's table and
// shows the view's item; a choice there becomes the view's item.
void connectItemCombo(CKelvoApp& app, CMapView* view) {
  QWidget* frame = app.mainWindow();
  auto* combo =
      frame ? frame->findChild<QComboBox*>(QStringLiteral("ctl%1").arg(kItemCombo)) : nullptr;
  if (!combo) return;
  {
    const QSignalBlocker block(combo);
    combo->clear();
    combo->addItem(loadString(kStrNoDisplayedItem));
    combo->addItems(view->itemNames());
    combo->setCurrentIndex(view->displayedItem() + 1);
  }
  app.setOptionBarChoice(kItemCombo, combo->currentIndex());
  QObject::connect(combo, &QComboBox::currentIndexChanged, view,
                   [view](int index) { view->chooseDisplayedItem(index - 1); });
}

}  // namespace

CMapView* makeMapWindow(CPlanDoc* doc, MapMode mode, QWidget* parent) {
  viewState().nextViewKind = ViewKind::Map;
  viewState().nextWindow = static_cast<int16_t>(kMapWindow);
  auto* view = new CMapView(doc, mode, parent);
  view->setObjectName(QStringLiteral("MapView"));
  view->initialUpdate();
  return view;
}

void registerMapWindow(CKelvoApp& app) {
  MapDialogs dialogs;
  dialogs.editActivity = [](QWidget* parent, CPlanDoc& doc, int slot) {
    return editActivity(parent, doc, slot);
  };
  dialogs.connect = [](QWidget* parent, CPlanDoc& doc, const QByteArray& pred,
                       const QByteArray& succ) {
    return editRelationBetween(parent, doc, pred, succ) == RelationOutcome::Stored;
  };
  dialogs.askValue = [](QWidget* parent, const QString& caption, QString* value) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent, caption, caption, QLineEdit::Normal, *value, &ok);
    if (ok) *value = text;
    return ok;
  };
  dialogs.askKind = [](QWidget* parent) {
    RelationKindDialog dialog(parent);
    return dialog.exec() == QDialog::Accepted ? dialog.kind() : -1;
  };
  dialogs.options = [](QWidget* parent, const QStringList& headingItems, MapSettings* settings) {
    return editMapOptions(parent, headingItems, settings);
  };
  setMapDialogs(std::move(dialogs));
  registerDocumentWindow(kMapWindow, [&app](QWidget* parent) -> QWidget* {
    CPlanDoc* doc = app.document();
    MapMode mode = MapMode(std::clamp(app.optionBarChoice(10503), 0, 2));
    // The summary mode needs open summary data.
    if (mode == MapMode::Summary && (!doc || doc->openSummary() <= 0)) mode = MapMode::Activities;
    ViewState& vs = viewState();
    if (!vs.router) vs.router = app.router();
    if (!vs.flags) vs.flags = &app.settings().flags;
    CMapView* view = makeMapWindow(doc, mode, parent);
    // The item is the mode's own, kept in the project; the bar shows it.
    connectItemCombo(app, view);
    return view;
  });
}

}  // namespace kelvo
