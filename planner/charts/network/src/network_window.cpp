#include "kelvo/network_window.h"

#include <QMessageBox>
#include <QVBoxLayout>

#include "kelvo/document_windows.h"
#include "kelvo/find_dialogs.h"
#include "kelvo/kelvo_app.h"
#include "kelvo/message_text.h"
#include "kelvo/network_dialogs.h"
#include "kelvo/network_view.h"
#include "kelvo/period_band_widget.h"
#include "kelvo/plan_doc.h"
#include "kelvo/record_dialogs.h"
#include "kelvo/sheet_find.h"

namespace kelvo {
namespace {

constexpr int kNetworkWindow = windowNumber(DocWindow::Network);
constexpr int kFindSpecialCommand = 40113;

}  // namespace

CNetView* makeNetworkWindow(CPlanDoc* doc, QWidget* parent) {
  viewState().nextViewKind = ViewKind::Network;
  viewState().nextWindow = static_cast<int16_t>(kNetworkWindow);
  auto* chart = new CNetView(doc, parent);
  chart->setObjectName(QStringLiteral("NetworkChart"));
  chart->initialUpdate();
  return chart;
}

void registerNetworkWindow(CKelvoApp& app) {
  NetDialogs dialogs;
  dialogs.editActivity = [](QWidget* parent, CPlanDoc& doc, int slot) {
    return editActivity(parent, doc, slot);
  };
  dialogs.editRelation = [](QWidget* parent, CPlanDoc& doc, int slot) {
    return editRelation(parent, doc, slot);
  };
  dialogs.connect = [](QWidget* parent, CPlanDoc& doc, const QByteArray& pred,
                       const QByteArray& succ, int16_t row) {
    RelationDialogOptions options;
    options.showDisplayFlag = true;
    options.newRoutingRow = row;
    return editRelationBetween(parent, doc, pred, succ, options) == RelationOutcome::Stored;
  };
  dialogs.showMessage = [](QWidget* parent, int message) {
    QMessageBox::warning(parent, QStringLiteral("Kelvo"), QString::fromUtf8(messageText(message)));
  };
  dialogs.pathOptions = askPathOptions;
  dialogs.pathEdit = askPathEdit;
  dialogs.find = [](QWidget* parent, CPlanDoc& doc, int command, int32_t* slot, bool* relation) {
    *relation = false;
    if (command == kFindSpecialCommand) {
      SpecialFindDialog dialog(&doc.db(), parent);
      if (dialog.exec() != QDialog::Accepted) return false;
      const uint32_t record = dialog.chosenRecord();
      *slot = record == XJOR_NONE ? -1 : int32_t(record);
      return true;
    }
    CodeFindDialog dialog(ViewKind::Network, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    const QByteArray second = dialog.secondCode();
    const uint32_t record =
        findCodeRecord(&doc.db(), ViewKind::Network, dialog.code().constData(), second.constData());
    *relation = !second.isEmpty();
    *slot = record == XJOR_NONE ? -1 : int32_t(record);
    return true;
  };
  setNetDialogs(std::move(dialogs));
  registerDocumentWindow(kNetworkWindow, [&app](QWidget* parent) -> QWidget* {
    ViewState& vs = viewState();
    if (!vs.router) vs.router = app.router();
    if (!vs.flags) vs.flags = &app.settings().flags;
    // The chart over its period band, which shows while the scale asks for it.
    auto* column = new QWidget(parent);
    column->setObjectName(QStringLiteral("NetworkWindow"));
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    CNetView* chart = makeNetworkWindow(app.document(), column);
    layout->addWidget(chart);
    attachPeriodBand(chart);
    return column;
  });
}

}  // namespace kelvo
