// The time-scaled view: a calendar axis across the top (years, months, days
// or weeks), a body of equal rows below it, non-working days shaded, divider
// lines and the data-date line. It scrolls by days and rows, converts points
// to (date, row) positions and back, drags the scale and row separators, and
// prints pages across and down with the scale repeated on each. The views
// on a time axis (Gantt, network, period sheet and chart) derive from it.
#ifndef KELVO_TERM_VIEW_H_
#define KELVO_TERM_VIEW_H_

#include <functional>
#include <vector>

#include "kelvo/base_view.h"
#include "kelvo/time_pages.h"
#include "kelvo/time_scale.h"

namespace kelvo {

// The last day the time axes show by default: the project finish, or the
// latest activity start when that is later. The analysis keeps a
// milestone's finish (and so the project finish) on the day before its
// start, so a final milestone would otherwise fall just past the axis.
uint16_t shownProjectFinish(const CPlanDoc* doc);

class CTermView : public CBaseView {
  Q_OBJECT
 public:
  explicit CTermView(CPlanDoc* doc, QWidget* parent = nullptr);

  // The axis as it is now (sizes clamped, dates made valid).
  const TimeScale& scale() const { return scale_; }
  // Replaces the settings (the option pages, fit to paper) and lays the
  // view out again.
  void setScaleSettings(const TimeScaleSettings& settings);
  // The first body row shown (-1 before the first initial update).
  int32_t topRow() const { return topRow_; }
  // The x shown at the body's left edge.
  int32_t scrollPosition() const { return xPos_; }
  // Scrolls to x (moved back to the start of its day) and top row (clamped).
  void scrollTo(int32_t x, int32_t row);
  // The project's data date (0 without a project).
  uint16_t dataDate() const;

  // --- CBaseView -----------------------------------------------------------
  void initialUpdate() override;
  void storeSettings() override;
  void onUpdate(int hintCode, qintptr extra) override;
  void drawContent(QPainter& painter, const UnitMapper& mapper, const LogicalRect& visible,
                   bool printing) override;
  void scrollView(Qt::Orientation orientation, ScrollAction action, int thumb = 0) override;
  void updateScrollBars() override;
  int32_t extentWidth() const override { return scale_.totalWidth(); }
  int32_t extentHeight() const override;
  ViewPosition pointToPosition(int32_t x, int32_t y) const override;
  void positionToPoint(const ViewPosition& position, int32_t* x, int32_t* y) const override;
  QString positionText(int32_t x, int32_t y) const override;
  bool hitSeparator(int32_t x, int32_t y) override;
  void placeDataItem(int32_t x, int32_t y) override;
  void endSeparatorDrag(int32_t x, int32_t y, bool apply) override;
  void drawRubberBand(QPainter& painter, const UnitMapper& mapper) override;
  // Left of the row-number column's right edge.
  bool inRowNumberColumn(int32_t x) const override;
  bool preparePrinting(const PrintFormat& format, PrintLayout* layout) override;
  void printPage(QPainter& painter, const UnitMapper& paper, const PrintLayout& layout,
                 const PrintFormat& format) override;
  void pageOrigin(const PrintLayout& layout, int column, int row, int32_t* x,
                  int32_t* y) const override;
  COLORREF crosshairColor() const override;
  // The print form adds "기간 인쇄" (the scale on every page).
  PrintFormParts printFormParts() const override;
  // Fit to paper: the strip is reserved when it prints on every page. The
  // axis is narrowed (step width and days), the rows and fonts scaled, so
  // that the whole chart, with what the derived view prints before it,
  // fills the pages asked for; drawing objects keep their dates and rows.
  bool canFitToPaper() const override { return true; }
  void fitReserved(int32_t* width, int32_t* height) const override;
  void applyFitToPaper(int pagesAcross, int pagesDown, int32_t printableWidth,
                       int32_t printableHeight) override;
  // Drawing objects show while scale flag bit 0 is set.
  bool objectsShown() const override;

 protected:
  // The back layer goes over the shading and under the dividers and the
  // body; the front layer over the body and the data-date line.
  bool paintsObjectLayers() const override { return true; }
  // 17. Draws rows firstRow..lastRow of the body; body is the logical
  // rectangle of the body on this screen or page.
  virtual void drawBody(QPainter& painter, const UnitMapper& mapper, const LogicalRect& body,
                        int32_t firstRow, int32_t lastRow, bool printing) = 0;
  // The number of body rows (read at every initial update).
  virtual int32_t bodyRowCount() const = 0;
  // Rows that print (the Gantt chart leaves its sheet's entry row out).
  virtual int32_t printedRowCount() const { return bodyRowCount(); }
  // The derived view's block stored after the 172 bytes (null: none).
  virtual void* ownBlock() { return nullptr; }
  virtual int ownBlockSize() const { return 0; }
  // The settings of a view that has none stored yet.
  virtual TimeScaleSettings defaultSettings() const;
  // Fit to paper: the derived view scales the widths it keeps itself (its
  // table's columns) by the horizontal factor. Base: nothing.
  virtual void scaleOwnWidths(double /*factor*/) {}
  // Tells the derived view that the top row or the row and scale heights
  // changed (the Gantt chart keeps its sheet pane in step).
  virtual void rowsMoved() {}
  // A title the scale strip shows over the left table ("": none).
  virtual QString stripTitle() const { return {}; }
  // The row-number column left of the axis, when the view has one: it
  // stays at the left edge while the axis scrolls and prints at the left
  // of every page, with its title in the scale strip and each row's text
  // centred in it. Base: no column (a view may draw its own left of x = 0).
  virtual bool showsRowNumbers() const { return false; }
  virtual QString rowNumberTitle() const { return {}; }
  // The text of body row `row` (from 0). Base: row + 1.
  virtual QString rowNumberText(int32_t row) const;
  // Where the row-number column ends on screen: the axis's left edge when
  // the view shows the column, else x = 0.
  int32_t rowNumberEdge() const;
  // Whether a job with format prints the column: views that offer "경로
  // 인쇄" on their print form print it when print flag bit 1 asks, the
  // others whenever they show it.
  bool printsRowNumbers(const PrintFormat& format) const;
  void scrollContentsBy(int dx, int dy) override;

  // Takes the settings edited in a "선택 사항" sheet that ended with OK:
  // keeps the previous block as the undo step, marks the document modified,
  // re-runs the initial update and stores the view's settings (hint 2 to
  // its kind). A derived view sets its own edited blocks first; swapOwn,
  // if given, is called on undo and redo to swap them with what it kept.
  void commitScaleOptions(const TimeScaleSettings& edited, std::function<void()> swapOwn = {});
  // The stored settings (what setScaleSettings last took).
  const TimeScaleSettings& storedSettings() const { return stored_; }
  // Height of the scale strip: three scale rows.
  int32_t stripHeight() const { return 3 * scale_.settings().scaleRowHeight; }
  // Pages across that the derived view prints before the time axis (the
  // Gantt chart's sheet); set in its preparePrinting before calling ours.
  // With sharedWidth (0 < sharedWidth < the printable width) the last of
  // them is shared: it holds sharedWidth units of the derived view's own,
  // and the chart begins right after them on the same page.
  void setLeadingPages(int pages, int32_t sharedWidth = 0) {
    leadingPages_ = pages;
    sharedWidth_ = sharedWidth;
  }
  int leadingPages() const { return leadingPages_; }
  // The page across where the chart begins (the shared page, if any).
  int firstChartPage() const { return leadingPages_ - (sharedWidth_ > 0 ? 1 : 0); }
  int32_t sharedWidth() const { return sharedWidth_; }
  // The page request of a print job whose page bodies are width x height.
  TimePageRequest pageRequest(const PrintFormat& format, int32_t width, int32_t height) const;
  // Makes the next initial update read the stored settings again (a view
  // that changed its kind reads the new kind's records).
  void forgetSettings() {
    settingsRead_ = false;
    topRow_ = -1;
  }

 private:
  void readSettings();
  void rebuildScale();
  void applyOrigin();
  void drawStrip(QPainter& painter, const UnitMapper& strip, int32_t left, int32_t right);
  void drawShading(QPainter& painter, const UnitMapper& mapper, const LogicalRect& body);
  // The row-number column from x = left, its rows and its corner of the
  // strip (strip: the strip's mapping, or null when it is not drawn).
  void drawRowNumbers(QPainter& painter, const UnitMapper& mapper, const UnitMapper* strip,
                      int32_t left, const LogicalRect& body, int32_t firstRow, int32_t lastRow);

  TimeScaleSettings stored_{};
  TimeScale scale_;
  bool settingsRead_ = false;
  int32_t topRow_ = -1;
  int32_t xPos_ = 0;
  bool syncing_ = false;
  // Separator drag: 1 scale row height, 2 row height, 3 row-number column
  // width, 4 left table width; the dragged edge (y for 1-2, x for 3-4).
  int dragKind_ = 0;
  int32_t dragAt_ = 0;
  // Print job: its pages, and the page being printed.
  TimePagePlan pages_;
  TimePage page_;
  int leadingPages_ = 0;
  int32_t sharedWidth_ = 0;
};

}  // namespace kelvo

#endif  // KELVO_TERM_VIEW_H_
