// Printing the report page by page: the cover, or the header, the footer and
// the body bands of the page's summary records.
#include <QPainter>
#include <algorithm>

#include "kelvo/object_layer.h"
#include "kelvo/object_paint.h"
#include "kelvo/plan_doc.h"
#include "kelvo/report_view.h"
#include "report_values.h"
#include "xQdDb100.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo {

bool CRepView::preparePrinting(const PrintFormat&, PrintLayout* layout) {
  printPages_ = pages();
  layout->pagesAcross = 1;
  layout->pagesDown = std::max(1, int(printPages_.size()));
  layout->page = LogicalRect{0, 0, layout->paperWidth, -layout->paperHeight};
  layout->body = layout->page;
  return true;
}

void CRepView::printPage(QPainter& painter, const UnitMapper& paper, const PrintLayout& layout,
                         const PrintFormat&) {
  const int index = layout.pageRow;
  if (index < 0 || index >= int(printPages_.size())) return;
  const ReportPage page = printPages_[size_t(index)];
  const ReportSettings& s = settings_;
  // The report's paper sits in the middle of the sheet it is printed on.
  const int32_t ox = std::max(0, (layout.paperWidth - s.paperWidth) / 2);
  const int32_t oy = -std::max(0, (layout.paperHeight - s.paperHeight) / 2);
  const int32_t left = ox + s.marginLeft;
  const LogicalRect printable{left, oy - s.marginTop, ox + s.paperWidth - s.marginRight,
                              oy - s.paperHeight + s.marginBottom};
  if (printable.left >= printable.right || printable.top <= printable.bottom) return;
  painter.save();
  if (s.flags & reportflag::kOutline) {
    painter.setPen(QPen(xjor::colorFromRef(s.outlineColor), 0));
    painter.drawRect(paper.toDevice(printable));
  }
  painter.setClipRect(paper.toDevice(printable));

  CPlanDoc* doc = document();
  const bool open = doc && doc->isOpen();
  const ObjectTable objectTable(open ? &doc->db().objects : nullptr);
  const int number = reportPageNumber(s, printPages_, index);
  std::unique_ptr<ReportRecord> record;
  if (open) record = std::make_unique<ReportRecord>(&doc->db(), &doc->info(), resourceSummary());
  PictureSource pictures;
  pictures.path = [this](const std::string& name) { return objects().picturePath(name); };
  const LogicalRect visible = printable;

  // Draws the items of band b with the band's top at y.
  const auto drawBand = [&](const std::vector<ReportItem>& items, int b, int32_t top,
                            bool withRecord) {
    for (const ReportItem& item : items) {
      if (item.band != b) continue;
      const int32_t x = left + item.x, y = top + item.y;
      if (!item.isText()) {
        paintObject(painter, paper, objectTable.copy(item.record), x, y, visible, pictures);
        continue;
      }
      if (withRecord && !record->shows(item)) continue;
      const QString text = record ? record->text(item, number) : QString();
      if (text.isEmpty()) continue;
      const QByteArray bytes = xjor::toCp949(text);
      paintObject(painter, paper,
                  makeTextObject(item.head.anchor, item.head.width, item.head.height,
                                 item.head.lineColor, item.head.lineStyle, item.font,
                                 std::string(bytes.constData(), size_t(bytes.size()))),
                  x, y, visible, pictures);
    }
  };

  if (page.cover()) {
    const std::vector<ReportItem> items = reportItems(objectTable, kSectionCover);
    drawBand(items, 0, oy - s.marginTop, false);
  } else {
    const std::vector<ReportItem> items = reportItems(objectTable, kSectionBody);
    if (s.bandHeight[band::kHeader]) drawBand(items, band::kHeader, oy - s.marginTop, false);
    drawBand(items, band::kFooter, oy - footerTop(s), false);
    int32_t at = oy - bodyTop(s);
    for (int32_t i = std::max(0, page.first); record && i < page.end; ++i) {
      if (size_t(i) >= records_.size() || !record->read(records_[size_t(i)])) continue;
      const int own = reportBand(record->kind());
      if (s.bandHeight[band::kCommon]) drawBand(items, band::kCommon, at, true);
      if (s.bandHeight[own]) drawBand(items, own, at, true);
      at -= rowHeight(s, record->kind());
    }
  }
  painter.restore();
  painter.setClipping(false);
}

}  // namespace kelvo
