// Printing of every view: the print format record, the print loop, print
// preparation over the view's extent and the page frame.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProgressDialog>
#include <QStandardPaths>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "kelvo/base_view.h"
#include "kelvo/messages.h"
#include "kelvo/option_slots.h"
#include "kelvo/plan_doc.h"
#include "kelvo/shell_settings.h"
#include "kelvo/strings.h"
#include "kelvo/text_fields.h"
#include "page_frame.h"
#include "xJorDbm2.h"
#include "xJorImg.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo {

namespace {

constexpr int kMsgMarginsTooLarge = 20013;
constexpr int kMsgPrinterSetup = 20042;
// Header texts start this far below the frame so that tall glyphs stay
// inside it.
constexpr int kTextInset = 5;

// A stored record may come from anywhere: keep sizes sane and texts
// terminated so the frame never reads past a field.
void sanitise(PrintFormat* f) {
  for (int16_t* v : {&f->marginTop, &f->marginBottom, &f->marginLeft, &f->marginRight,
                     &f->headerHeight, &f->footerHeight, &f->legendWidth, &f->footerTextOffset})
    *v = std::max<int16_t>(0, *v);
  for (int i = 0; i < 2; ++i) {
    f->headerText[i][79] = 0;
    f->footerText[i][79] = 0;
    f->headerFont[i].lfFaceName[LF_FACESIZE - 1] = 0;
    f->footerFont[i].lfFaceName[LF_FACESIZE - 1] = 0;
  }
}

}  // namespace

// --- The print format record ---------------------------------------------------

int CBaseView::printFormatSize() const {
  return kPrintFormatSize;
}

PrintRecord CBaseView::readPrintRecord() const {
  PrintRecord record{};
  record.gantt.common = defaultPrintFormat();
  LOGFONT& legend = record.gantt.legendFont;
  legend = record.gantt.common.footerFont[0];  // "굴림체" height -32
  int32_t stored = 0;
  const int item = kindItem(KindRecord::PrintFormat, viewKind());
  if (doc_ && doc_->isOpen() && item >= 0) {
    OptionFileRef* opt = &doc_->db().opt;
    const int size = std::clamp(printFormatSize(), kPrintFormatSize, int(sizeof record));
    stored = std::max<int32_t>(0, xOption(opt, XOPT_SIZE, item, nullptr, 0));
    PrintRecord raw{};
    // A record shorter than the common part is not one of ours: keep defaults.
    if (stored < kPrintFormatSize || xOption(opt, XOPT_READ, item, &raw, size) != 1) {
      stored = 0;
    } else {
      if (raw.gantt.legendFont.lfHeight == 0) raw.gantt.legendFont = legend;
      std::memcpy(&record, &raw, size);
      sanitise(&record.gantt.common);
      legend.lfFaceName[LF_FACESIZE - 1] = 0;
    }
  }
  completePrintRecord(&record, stored);
  return record;
}

PrintFormat CBaseView::readPrintFormat() const {
  return readPrintRecord().gantt.common;
}

GanttPrintFormat CBaseView::readLegendFormat() const {
  return readPrintRecord().gantt;
}

bool CBaseView::writePrintRecord(const PrintRecord& record) const {
  const int item = kindItem(KindRecord::PrintFormat, viewKind());
  if (!doc_ || !doc_->isOpen() || item < 0) return false;
  const int size = std::clamp(printFormatSize(), kPrintFormatSize, int(sizeof record));
  PrintRecord copy = record;  // the option call takes a writable buffer
  return xOption(&doc_->db().opt, XOPT_WRITE, item, &copy, size) != 0;
}

bool CBaseView::writePrintFormat(const PrintFormat& format) const {
  // The kind's own bytes after the common part stay as they are.
  PrintRecord record = readPrintRecord();
  record.gantt.common = format;
  return writePrintRecord(record);
}

// --- Preparation and pages -------------------------------------------------------

bool CBaseView::preparePrinting(const PrintFormat& format, PrintLayout* layout) {
  layout->page = {format.marginLeft, -format.marginTop, layout->paperWidth - format.marginRight,
                  -(layout->paperHeight - format.marginBottom)};
  layout->body = {layout->page.left, layout->page.top - format.headerHeight, layout->page.right,
                  layout->page.bottom + format.footerHeight};
  if (layout->body.width() <= 0 || layout->body.height() <= 0) {
    QApplication::beep();
    showMessage(this, kMsgMarginsTooLarge);
    return false;
  }
  const auto pages = [](int64_t extent, int64_t step) {
    return static_cast<int>(std::max<int64_t>(1, (extent + step - 1) / step));
  };
  layout->pagesAcross = pages(extentWidth(), layout->body.width());
  layout->pagesDown = pages(extentHeight(), layout->body.height());
  return true;
}

void CBaseView::pageOrigin(const PrintLayout& layout, int column, int row, int32_t* x,
                           int32_t* y) const {
  *x = column * layout.body.width();
  *y = -row * layout.body.height();
}

void CBaseView::printPage(QPainter& painter, const UnitMapper& paper, const PrintLayout& layout,
                          const PrintFormat& format) {
  int32_t ox = 0, oy = 0;
  pageOrigin(layout, layout.pageColumn, layout.pageRow, &ox, &oy);
  const QRectF bodyRect = paper.toDevice(layout.body);
  const UnitMapper content = paper.withOrigin(ox, oy, bodyRect.topLeft());
  const LogicalRect visible{ox, oy, ox + layout.body.width(), oy - layout.body.height()};
  painter.save();
  painter.setClipRect(bodyRect);
  if (!paintsObjectLayers()) drawObjectLayer(painter, content, visible, false);
  drawContent(painter, content, visible, true);
  if (!paintsObjectLayers()) drawObjectLayer(painter, content, visible, true);
  painter.restore();
  painter.setClipping(false);
  drawPageFrame(painter, paper, layout, format);
}

void CBaseView::drawLegend(QPainter&, const UnitMapper&, const LogicalRect&, const PrintFormat&) {}

// --- The print loop ------------------------------------------------------------------

bool CBaseView::printTo(QPrinter* printer) {
  if (!printer) return false;
  const PrintFormat format = readPrintFormat();
  printer->setFullPage(true);
  PrintLayout layout;
  const QRectF paper = printer->pageLayout().fullRect(QPageLayout::Millimeter);
  layout.paperWidth = static_cast<int32_t>(std::lround(paper.width() * 10));
  layout.paperHeight = static_cast<int32_t>(std::lround(paper.height() * 10));
  if (!preparePrinting(format, &layout)) return false;

  int first = 0, last = layout.pageCount() - 1;
  if (printer->printRange() == QPrinter::PageRange && printer->fromPage() > 0) {
    first = std::clamp(printer->fromPage() - 1, 0, last);
    last = std::clamp(printer->toPage() > 0 ? printer->toPage() - 1 : last, first, last);
  }

  QPainter painter;
  if (!painter.begin(printer)) {
    QApplication::beep();
    showMessage(this, kMsgPrinterSetup);
    return false;
  }
  // Between pages a progress box with the title and the printer lets the
  // user stop; it only shows for long jobs.
  QProgressDialog progress(
      QStringLiteral("%1\n%2").arg(
          doc_ ? doc_->title() : QStringLiteral("Kelvo"),
          printer->printerName().isEmpty() ? printer->outputFileName() : printer->printerName()),
      QString(), first, last + 1, this);
  progress.setWindowModality(Qt::WindowModal);
  progress.setMinimumDuration(2000);
  const UnitMapper paperMapper = UnitMapper::forDevice(printer);
  for (int n = first; n <= last; ++n) {
    progress.setValue(n);
    if (progress.wasCanceled()) {
      painter.end();
      return false;
    }
    if (n > first) printer->newPage();
    layout.pageColumn = n % layout.pagesAcross;
    layout.pageRow = n / layout.pagesAcross;
    printPage(painter, paperMapper, layout, format);
  }
  progress.setValue(last + 1);
  return painter.end();
}

namespace {

// Without any printer on the machine, printing writes a PDF into the
// documents folder, named after the project.
void fallBackToPdf(QPrinter* printer, const QString& title) {
  printer->setOutputFormat(QPrinter::PdfFormat);
  printer->setPageSize(QPageSize(QPageSize::A4));
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  QDir().mkpath(folder);
  printer->setOutputFileName(folder + '/' + title + QStringLiteral(".pdf"));
}

}  // namespace

bool CBaseView::printCommand(bool withDialog) {
  QPrinter printer(QPrinter::HighResolution);
  if (QPrinterInfo::availablePrinters().isEmpty())
    fallBackToPdf(&printer, doc_ ? doc_->title() : QStringLiteral("Kelvo"));
  if (withDialog) {
    QPrintDialog dialog(&printer, this);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    if (dialog.exec() != QDialog::Accepted) return false;
  }
  return printTo(&printer);
}

void CBaseView::printPreviewCommand() {
  QPrinter printer(QPrinter::HighResolution);
  if (QPrinterInfo::availablePrinters().isEmpty())
    fallBackToPdf(&printer, doc_ ? doc_->title() : QStringLiteral("Kelvo"));
  QPrintPreviewDialog dialog(&printer, this);
  // Each request reads the print format again, so the preview shows the
  // settings as they are at that moment.
  connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
          [this](QPrinter* target) { printTo(target); });
  dialog.exec();
}

// --- Page texts ------------------------------------------------------------------------

QString CBaseView::expandPageText(const char* templ, int length) const {
  const PrjInfo* info = doc_ && doc_->isOpen() ? &doc_->info() : nullptr;
  return expandPageTemplate(templ, length, info);
}

QString expandPageTemplate(const char* templ, int length, const PrjInfo* info) {
  QString out;
  QByteArray run;  // CP949 bytes not yet converted
  const auto flush = [&] {
    out += xjor::fromCp949(run);
    run.clear();
  };
  const auto field = [&](const char* f, size_t size) {
    flush();
    out += fieldText(f, size);
  };
  const auto date = [&](uint16_t d) {
    flush();
    out += dateText(d);
  };
  for (int i = 0; i < length && templ[i]; ++i) {
    const char c = templ[i];
    if (c != '&') {
      run += c;
      continue;
    }
    if (i + 1 >= length || !templ[i + 1]) break;  // a lone '&' at the end writes nothing
    const char code = templ[++i];
    if (!info) {
      if (!std::strchr("123456789MR", code)) run += code;
      continue;
    }
    switch (code) {
      case '1':
        field(info->code, sizeof info->code);
        break;
      case '2':
        field(info->title, sizeof info->title);
        break;
      case '3':
        field(info->company, sizeof info->company);
        break;
      case '4':
        field(info->currency, sizeof info->currency);
        break;
      case '5':
        date(info->start);
        break;
      case '6':
        date(info->finish);
        break;
      case '7':
        date(info->periodStart);
        break;
      case '8':
        date(info->periodFinish);
        break;
      case '9':
        date(info->dataDate);
        break;
      case 'M':
        field(info->manager, sizeof info->manager);
        break;
      case 'R':
        field(info->remark, sizeof info->remark);
        break;
      default:
        run += code;
        break;
    }
  }
  flush();
  return out;
}

// --- The page frame ----------------------------------------------------------------------

namespace {

LOGFONT frameFont(int height, bool italic) {
  LOGFONT lf;
  std::memset(&lf, 0, sizeof lf);
  lf.lfHeight = height;
  lf.lfWeight = 400;
  lf.lfItalic = italic ? 1 : 0;
  lf.lfCharSet = 1;
  std::memcpy(lf.lfFaceName, "\xB1\xBC\xB8\xB2\xC3\xBC", 7);  // "굴림체"
  return lf;
}

// Width and height of text in 0.1 mm, measured on the 254-dpi device.
QSizeF measure(const QFont& font, const QString& text) {
  const QFontMetricsF fm(font, xjor::measuringDevice());
  return {fm.horizontalAdvance(text), fm.height()};
}

void drawLine(QPainter& p, const UnitMapper& m, double x1, double y1, double x2, double y2) {
  p.drawLine(m.toDevice(x1, y1), m.toDevice(x2, y2));
}

// Draws up to two texts centred between left and right, stacked downward
// from top with gap units between them.
void drawStacked(QPainter& p, const UnitMapper& m, const QString texts[2], const LOGFONT fonts[2],
                 const uint32_t colours[2], double left, double right, double top, double gap) {
  double y = top;
  for (int i = 0; i < 2; ++i) {
    if (texts[i].isEmpty()) continue;
    const QFont font = xjor::fontFromLogFont(fonts[i]);
    const double h = measure(font, texts[i]).height();
    p.setFont(font);
    p.setPen(xjor::colorFromRef(colours[i]));
    p.drawText(m.toDevice(left, y, right, y - h), Qt::AlignHCenter | Qt::AlignTop, texts[i]);
    y -= h + gap;
  }
}

}  // namespace

void CBaseView::drawPageFrame(QPainter& painter, const UnitMapper& paper, const PrintLayout& layout,
                              const PrintFormat& format) {
  painter.save();
  const LogicalRect& page = layout.page;
  const LogicalRect& body = layout.body;
  QPen framePen(xjor::colorFromRef(format.frameColor));
  framePen.setWidthF(std::max(1.0, paper.pixelsX(2)));
  painter.setPen(framePen);
  painter.setBrush(Qt::NoBrush);
  // The frame runs round header, body and footer together.
  painter.drawRect(paper.toDevice(body.left, body.top + format.headerHeight, body.right,
                                  body.bottom - format.footerHeight));

  if (format.headerHeight > 0) {
    drawLine(painter, paper, page.left, body.top, page.right, body.top);
    // Date box on the right: today's date over the page numbers.
    const QFont boxFont = xjor::fontFromLogFont(frameFont(29, false));
    char today[64] = {};
    xGetTodayStr(today);
    const QString dateStr = QString::fromLatin1(today);
    const QString pagesStr =
        QString::asprintf("%d/%d - %d/%d", layout.pageColumn + 1, layout.pagesAcross,
                          layout.pageRow + 1, layout.pagesDown);
    const double boxWidth =
        std::max(measure(boxFont, dateStr).width(), measure(boxFont, pagesStr).width()) + 20;
    const double boxLeft = page.right - boxWidth;
    const double middle = page.top - format.headerHeight / 2.0;
    drawLine(painter, paper, boxLeft, page.top, boxLeft, body.top);
    painter.setFont(boxFont);
    painter.setPen(Qt::black);
    painter.drawText(paper.toDevice(boxLeft, page.top, page.right, middle),
                     Qt::AlignHCenter | Qt::AlignBottom, dateStr);
    painter.drawText(paper.toDevice(boxLeft, middle, page.right, body.top), Qt::AlignCenter,
                     pagesStr);
    painter.setPen(framePen);

    // The logo on the left, scaled to the header height less 6 units.
    double textLeft = page.left;
    PictureRecord logo{};
    const QString logoPath = programFolder() + QStringLiteral("Kelvo.jpg");
    if (format.headerHeight > 6 && xLoadImg(&logo, logoPath.toUtf8().constData()) &&
        logo.height > 0) {
      const double h = format.headerHeight - 6;
      const double w = h * logo.width / logo.height;
      const QRectF r =
          paper.toDevice(page.left + 3, page.top - 3, page.left + 3 + w, page.top - 3 - h);
      xDrawImg(&logo, &painter, static_cast<int32_t>(r.left()), static_cast<int32_t>(r.top()),
               static_cast<int32_t>(r.right()), static_cast<int32_t>(r.bottom()));
      xClearImg(&logo);
      textLeft = page.left + 3 + w + 3;
      drawLine(painter, paper, textLeft, page.top, textLeft, body.top);
    }
    const QString texts[2] = {expandPageText(format.headerText[0], 80),
                              expandPageText(format.headerText[1], 80)};
    drawStacked(painter, paper, texts, format.headerFont, format.headerColor, textLeft, boxLeft,
                page.top - kTextInset, 10);
    painter.setPen(framePen);
  }

  if (format.footerHeight > 0) {
    drawLine(painter, paper, page.left, body.bottom, page.right, body.bottom);
    const double legendLeft = format.legendWidth > 0 ? page.right - format.legendWidth : page.right;
    if (format.legendWidth > 0 && format.footerTextOffset != 0)
      drawLine(painter, paper, legendLeft, body.bottom, legendLeft, page.bottom);
    const QString texts[2] = {expandPageText(format.footerText[0], 80),
                              expandPageText(format.footerText[1], 80)};
    drawStacked(painter, paper, texts, format.footerFont, format.footerColor, page.left, legendLeft,
                body.bottom - (format.footerHeight - format.footerTextOffset) / 2.0, 10);
    if (format.legendWidth > 0) {
      const LogicalRect box{static_cast<int32_t>(legendLeft), body.bottom, page.right, page.bottom};
      drawLegend(painter, paper, box, format);
    }
  }

  // The mark at the bottom-left of the body.
  const QFont markFont = xjor::fontFromLogFont(frameFont(29, true));
  const QString mark = QStringLiteral("K");
  const QSizeF ms = measure(markFont, mark);
  painter.setFont(markFont);
  painter.setPen(Qt::black);
  painter.drawText(paper.toDevice(body.left + 5, body.bottom + 5 + ms.height(),
                                  body.left + 5 + ms.width() + 5, body.bottom + 5),
                   Qt::AlignLeft | Qt::AlignBottom, mark);
  painter.restore();
}

}  // namespace kelvo
