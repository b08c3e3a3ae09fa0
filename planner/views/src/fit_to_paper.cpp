// Fit to paper: the page-count dialog, the save question, and the view's
// own rescaling.
#include <QApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "fit_to_paper_dialog.h"
#include "kelvo/base_view.h"
#include "kelvo/dialog_buttons.h"
#include "kelvo/messages.h"
#include "kelvo/plan_doc.h"
#include "kelvo/strings.h"

namespace kelvo {

namespace {
constexpr int kMsgSaveFirst = 20020;
constexpr int kMsgMarginsTooLarge = 20013;
constexpr int kMsgPrinterSetup = 20042;
}  // namespace

CFitToPaperDialog::CFitToPaperDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(plainCommandText(loadString(cmd::kFitToPaper)));
  auto* form = new QFormLayout;
  across_ = new QSpinBox(this);
  down_ = new QSpinBox(this);
  across_->setObjectName(QStringLiteral("pagesAcross"));
  down_->setObjectName(QStringLiteral("pagesDown"));
  for (QSpinBox* spin : {across_, down_}) {
    spin->setRange(1, 9);
    spin->setValue(1);
  }
  form->addRow(loadString(kStrPagesAcross), across_);
  form->addRow(loadString(kStrPagesDown), down_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(okCancelButtons(this));
}

int CFitToPaperDialog::pagesAcross() const {
  return std::max(1, across_->value());
}
int CFitToPaperDialog::pagesDown() const {
  return std::max(1, down_->value());
}

bool CBaseView::fitToPaperCommand() {
  // The printable size comes from the default printer's paper (A4 when the
  // machine has none) and the view's print format.
  QPrinter printer(QPrinter::HighResolution);
  if (QPrinterInfo::availablePrinters().isEmpty()) printer.setPageSize(QPageSize(QPageSize::A4));
  const QRectF paper = printer.pageLayout().fullRect(QPageLayout::Millimeter);
  if (!(paper.width() > 0 && paper.height() > 0)) {
    QApplication::beep();
    showMessage(this, kMsgPrinterSetup);
    return false;
  }
  const PrintFormat format = readPrintFormat();
  const int32_t paperW = static_cast<int32_t>(std::lround(paper.width() * 10));
  const int32_t paperH = static_cast<int32_t>(std::lround(paper.height() * 10));
  int32_t reservedW = 0, reservedH = 0;
  fitReserved(&reservedW, &reservedH);
  const int32_t printableW = paperW - format.marginLeft - format.marginRight - reservedW;
  const int32_t printableH = paperH - format.marginTop - format.marginBottom - format.headerHeight -
                             format.footerHeight - reservedH;
  if (printableW <= 0 || printableH <= 0) {
    QApplication::beep();
    showMessage(this, kMsgMarginsTooLarge);
    return false;
  }

  CFitToPaperDialog dialog(this);
  for (;;) {
    if (dialog.exec() != QDialog::Accepted) return false;
    const int answer = askQuestion(this, kMsgSaveFirst, false, true);
    if (answer == QMessageBox::Cancel) continue;  // back to the dialog, nothing changed
    if (answer == QMessageBox::Yes) {
      // The user wants a copy to fall back on: without it nothing is scaled.
      const ViewState& st = viewState();
      bool saved = false;
      if (st.saveProject)
        saved = st.saveProject();
      else if (doc_ && doc_->isOpen() && !doc_->path().isEmpty())
        saved = doc_->saveProject(doc_->path());
      if (!saved) return false;
    }
    break;
  }
  cancelOperation();
  applyFitToPaper(dialog.pagesAcross(), dialog.pagesDown(), printableW, printableH);
  // A step kept before the rescale would put back sizes of the old scale.
  if (doc_) doc_->undo().release(this);
  // The new sizes are project settings: the project must be saved again.
  if (doc_ && doc_->isOpen()) doc_->setModified();
  broadcastOwnKind(hint::kDatesChanged);
  initialUpdate();
  return true;
}

}  // namespace kelvo
