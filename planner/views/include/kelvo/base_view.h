// The view base every chart and grid view derives from: view kind and
// document window, the scroll origin, the document's update broadcasts, keyboard
// scrolling, the long crosshair, the edit tool, the commands all views share,
// and printing with the page frame, print preview and fit to paper.
#ifndef KELVO_BASE_VIEW_H_
#define KELVO_BASE_VIEW_H_

#include <QAbstractScrollArea>
#include <QPixmap>
#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "kelvo/commands.h"
#include "kelvo/logical_rect.h"
#include "kelvo/print_format.h"
#include "kelvo/unit_mapper.h"
#include "kelvo/view_kind.h"
#include "kelvo/view_position.h"
#include "kelvo/view_state.h"
#include "xJorLib.h"

class QPainter;
class QPrinter;

namespace kelvo {

class CPlanDoc;
class CPropertySheet;
class ObjectLayer;

// Commands the view base knows by number (those of the shell are in
// kelvo/commands.h).
namespace cmd {
inline constexpr int kToolFirst = 40000;  // 40000 + edit tool
inline constexpr int kToolLast = 40009;
inline constexpr int kShapeOrderFirst = 40010;  // 40010..40013 order
inline constexpr int kShapeAlignLast = 40017;   // 40014..40017 alignment
inline constexpr int kShapeStyle = 40018;
inline constexpr int kFitToPaper = 40023;
inline constexpr int kOptions = 40098;
inline constexpr int kDataFormat = 40099;
inline constexpr int kPrintDirect = 57608;
inline constexpr int kEditClear = 57632;
inline constexpr int kEditCopy = 57634;
inline constexpr int kEditCut = 57635;
inline constexpr int kEditPaste = 57637;
inline constexpr int kEditUndo = 57643;
}  // namespace cmd

// View flags (bits the base reads; derived classes own the others).
namespace viewflag {
inline constexpr uint16_t kNoCrosshair =
    0x2;  // no long crosshair, clicks left of x = 0 reach the view
}  // namespace viewflag

// Keyboard and scroll-bar requests, per direction.
enum class ScrollAction { LineBack, LineForward, PageBack, PageForward, ToStart, ToEnd, Thumb };

// Print state of a job: pages across and down, the page being printed, the
// page rectangle inside the margins (paper coordinates: origin at the
// paper's top-left corner, y up, so everything below it is negative), and
// the body rectangle between header and footer where the view prints.
struct PrintLayout {
  int pagesAcross = 1;
  int pagesDown = 1;
  int pageColumn = 0;
  int pageRow = 0;
  int32_t paperWidth = 0;   // 0.1 mm
  int32_t paperHeight = 0;  // 0.1 mm
  LogicalRect page;         // inside the margins (header and footer included)
  LogicalRect body;         // the view's printable rectangle
  int pageCount() const { return pagesAcross * pagesDown; }
};

class CBaseView : public QAbstractScrollArea, public CommandTarget {
  Q_OBJECT
 public:
  // Copies viewState().nextViewKind / nextWindow. doc may be null (nothing
  // is read from a project then; the view draws what it holds).
  explicit CBaseView(CPlanDoc* doc, QWidget* parent = nullptr);
  ~CBaseView() override;

  CPlanDoc* document() const { return doc_; }
  ViewKind viewKind() const { return viewKind_; }
  int windowNumber() const { return window_; }
  uint16_t viewFlags() const { return viewFlags_; }
  void setViewFlags(uint16_t flags) { viewFlags_ = flags; }

  // --- Coordinates --------------------------------------------------------
  // The logical point shown at the client area's origin.
  int32_t scrollX() const { return scrollX_; }
  int32_t scrollY() const { return scrollY_; }
  // Moves the scroll origin (no clamping here; derived views clamp) and
  // repaints when it changed.
  void setScrollOrigin(int32_t x, int32_t y);
  // The mapping used to paint the client area on screen (the viewport's DPI,
  // origin = scroll origin).
  UnitMapper screenMapper() const;
  // The client rectangle in logical units, refreshed before every paint.
  const LogicalRect& clientRect() const { return client_; }
  LogicalRect computeClientRect() const;

  // --- Update broadcasts --------------------------------------------------
  // What a broadcast from the document does to this view: ignored unless bit
  // viewKind() of mask is set, else onUpdate(hint, extra). From hint 8 (a
  // long computation begins) until the next hint the view repaints only
  // from its last image.
  void receiveUpdate(quint64 mask, int hint, qintptr extra);
  // Saves the view's settings (hint 2 to its own kind); the frame calls it
  // on every live view before deleting it.
  void prepareToClose();
  // Makes this the active edit view and the router's first target.
  void activate();

  // --- Printing -----------------------------------------------------------
  // The print format record of this view kind, read from the project's
  // option file (record 164 + kind) over the defaults.
  PrintFormat readPrintFormat() const;
  // Writes the record back (false when no project is open or it fails).
  bool writePrintFormat(const PrintFormat& format) const;
  // The legend font and colour a time-scaled chart keeps after the common
  // part of its print format; a shorter record, or one without a legend
  // font, gives "굴림체" height -32 in black.
  GanttPrintFormat readLegendFormat() const;
  // The whole record of this kind, of which printFormatSize() bytes are
  // stored: the defaults, the stored bytes over them (a legend font of
  // height 0 keeps the default), then completePrintRecord for the parts a
  // shorter stored record lacks.
  PrintRecord readPrintRecord() const;
  // Writes the first printFormatSize() bytes of record (false when no
  // project is open or it fails).
  bool writePrintRecord(const PrintRecord& record) const;
  // "자료 형식" (40099): the pages of addDataFormatPages over a copy of the
  // print format record; on OK the record is stored and the document
  // marked modified. True on OK.
  bool dataFormatCommand();
  // What the view's "인쇄 형식" page offers. Base: the legend for records
  // of 664 bytes or more, "간트만 인쇄" for the Gantt's 664 and "경로 인쇄"
  // for the network's 828.
  virtual PrintFormParts printFormParts() const;
  // Adds the pages of the view's "자료 형식" sheet; record is the working
  // copy stored on OK. Base: "인쇄 형식" alone.
  virtual void addDataFormatPages(CPropertySheet* sheet, PrintRecord* record);
  // Prints every page (or the printer's page range) onto printer. Returns
  // false when preparation refused (message shown) or printing failed.
  bool printTo(QPrinter* printer);
  // Prints with the print dialog (withDialog) or straight to the default
  // printer (a PDF named after the project in the documents folder when the
  // machine has no printer).
  bool printCommand(bool withDialog);
  // Opens the print preview.
  void printPreviewCommand();
  // The page frame of the current page (header, footer, frame, mark).
  void drawPageFrame(QPainter& painter, const UnitMapper& paper, const PrintLayout& layout,
                     const PrintFormat& format);
  // A header or footer template with its ampersand codes replaced from the
  // open project's information.
  QString expandPageText(const char* templ, int length) const;

  // Fit to paper (40023): the page-count dialog, the save question and then
  // applyFitToPaper. Returns true when the view was rescaled; when the user
  // asked to save first and the save did not happen, nothing is scaled.
  bool fitToPaperCommand();

  // Format files (40117): the "형식파일 열기" dialog for the view's format
  // kind (the chart's for a Gantt sheet pane). The view's settings are
  // stored in the project first, so a file holds what the user sees.
  bool formatFilesCommand();
  // Loads the format file at path into the view's kind: the file is checked
  // whole (a damaged one beeps and changes nothing), its blocks go to the
  // kind's option records, its drawing objects replace the kind's when
  // withObjects (the file's time-scale dates are then taken too), and the
  // views of the kind read their settings again. False when refused.
  bool loadFormatFile(const std::string& path, bool withObjects);
  // The bytes of a format file of the view's layout titled title (CP949),
  // with the kind's drawing objects when withObjects.
  std::vector<uint8_t> formatFileBytes(const std::string& title, bool withObjects);
  // The number of fields of the table the kind's columns and sort keys
  // name, -1 when the view does not know: a loaded layout drops the column
  // and sort keys naming no field. Base: -1.
  virtual int formatFieldCount() const { return -1; }

  // --- Drawing objects ----------------------------------------------------
  // The view's drawing-object layer: selection, tools, clipboard, undo.
  ObjectLayer& objects() const { return *objects_; }
  // Whether the view shows its drawing objects now. Base: true.
  virtual bool objectsShown() const;
  // Paints the view's objects of one layer (front = in front of the data)
  // through mapper, inside body and only right of x = 0 and below y = 0;
  // nothing when objectsShown() is false. (shiftX, shiftY) moves every
  // object's logical point (a printed page whose origin differs from the
  // screen's).
  void drawObjectLayer(QPainter& painter, const UnitMapper& mapper, const LogicalRect& body,
                       bool front, int32_t shiftX = 0, int32_t shiftY = 0);
  // The one layer of the view's objects that the tools select, create in and
  // edit (0 behind the data, 1 in front), or -1 for both. Base: -1.
  virtual int objectLayerInUse() const { return -1; }
  // Makes a text object with the view's own dialog: a new one over the
  // dragged rectangle (x0, y0)-(x1, y1) when replace < 0, else the object
  // whose head is at replace is edited. Returns false when the view leaves
  // text objects to the layer's own dialog. Base: false.
  virtual bool editTextObject(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int64_t replace);

  // --- Commands -----------------------------------------------------------
  bool onCommand(int id) override;
  bool updateCommand(int id, CommandState& state) override;

  // --- Virtual operations, in slot order ---------------------------------
  // 1. Draws the handles of the selected drawing objects.
  virtual void drawSelectionHandles(QPainter& painter, const UnitMapper& mapper);
  // 2. Hit-tests the selection's handles at a logical point; sets handle
  // 0..8 (4 = inside, read row by row from the top-left). Base: false.
  virtual bool hitSelectionHandle(int32_t x, int32_t y, int* handle);
  // 3. Hit-tests the view's resizable separators; true starts a separator
  // drag (the view keeps what it drags). Base: false.
  virtual bool hitSeparator(int32_t x, int32_t y);
  // 4-7. The data tools: click, drag, release, cancel. Base: nothing.
  virtual void dataToolPress(int32_t x, int32_t y, Qt::KeyboardModifiers modifiers);
  virtual void dataToolDrag(int32_t x, int32_t y);
  virtual void dataToolRelease(int32_t x, int32_t y);
  virtual void dataToolCancel();
  // 8. Places or moves the view's own item under the pointer (separator
  // drags report the pointer here). Base: nothing.
  virtual void placeDataItem(int32_t x, int32_t y);
  // 9-12. Further data-edit hooks: double click, pointer moving without a
  // button, a key the view may take before scrolling (true = taken), and
  // the end of a separator drag (apply = false when cancelled). Base:
  // nothing / false.
  virtual void dataDoubleClick(int32_t x, int32_t y);
  virtual void dataHover(int32_t x, int32_t y);
  virtual bool dataKey(int key, Qt::KeyboardModifiers modifiers);
  virtual void endSeparatorDrag(int32_t x, int32_t y, bool apply);
  // 13. Logical point to position in the view's coordinates. Base: the point.
  virtual ViewPosition pointToPosition(int32_t x, int32_t y) const;
  // 14. Position to logical point. Base: the point.
  virtual void positionToPoint(const ViewPosition& position, int32_t* x, int32_t* y) const;
  // 15. Position text for the status bar. Base: "%d - %d" with x and -y.
  virtual QString positionText(int32_t x, int32_t y) const;
  // 16. Draws the rubber band of the tool in use. Base: nothing.
  virtual void drawRubberBand(QPainter& painter, const UnitMapper& mapper);
  // Whether a click at logical x falls in the row-number column, which
  // takes no clicks unless view flag bit 1 is set. Base: x < 0.
  virtual bool inRowNumberColumn(int32_t x) const { return x < 0; }

  // --- Further virtual operations ----------------------------------------
  // Draws the view's content in device space through mapper: on screen the
  // client area (printing = false), on paper the body of the current page.
  // visible is the logical rectangle to fill.
  virtual void drawContent(QPainter& painter, const UnitMapper& mapper, const LogicalRect& visible,
                           bool printing) = 0;
  // Reads data and settings again (hint 1, and after fit to paper).
  // Base: repaint.
  virtual void initialUpdate();
  // Reacts to a broadcast meant for this view kind. Base: 0 and 6 repaint,
  // 1 initial update, 2 storeSettings(); others nothing.
  virtual void onUpdate(int hint, qintptr extra);
  // Stores the view's settings in the project. Base: nothing.
  virtual void storeSettings();
  // The logical extent the base scrolls over: x from 0 to width, y from 0
  // down to -height. Base: 0 x 0.
  virtual int32_t extentWidth() const;
  virtual int32_t extentHeight() const;
  // One scroll step. Base: lines of 50 units, pages of the client size less
  // 50, clamped to the extent; derived views scroll by days or rows.
  virtual void scrollView(Qt::Orientation orientation, ScrollAction action, int thumb = 0);
  // Brings the scroll bars in line with the origin and the extent (called
  // after every origin change and resize). Base: bars in logical units over
  // the extent less the client size, and nothing at all for a view whose
  // extent is 0 x 0; views that scroll by rows or days override it
  // together with scrollContentsBy.
  virtual void updateScrollBars();

  // Print preparation: given the printer's paper and the print format,
  // computes the page and body rectangles and the page counts. Returns false
  // (after the message) when the margins leave no room. Base: pages over
  // the extent.
  virtual bool preparePrinting(const PrintFormat& format, PrintLayout* layout);
  // Prints page n (0-based, n = row x pagesAcross + column) into the body:
  // base draws drawContent with the page's origin, then the page frame.
  virtual void printPage(QPainter& painter, const UnitMapper& paper, const PrintLayout& layout,
                         const PrintFormat& format);
  // The logical point shown at the top-left of the body on page
  // (column, row). Base: steps of the body width and height.
  virtual void pageOrigin(const PrintLayout& layout, int column, int row, int32_t* x,
                          int32_t* y) const;
  // Draws the view's legend into the footer's legend box. Base: nothing.
  virtual void drawLegend(QPainter& painter, const UnitMapper& paper, const LogicalRect& box,
                          const PrintFormat& format);
  // Size of this kind's print format record in the option file (598, 664
  // for the Gantt kinds, 828 for the network).
  virtual int printFormatSize() const;

  // Fit to paper: whether the view takes 40023, the logical space the row
  // column and scale take from the body (subtracted before the dialog's
  // printable size), and the rescaling itself (printable sizes in logical
  // units, pages at least 1). Base: no, 0 x 0, nothing.
  virtual bool canFitToPaper() const;
  virtual void fitReserved(int32_t* width, int32_t* height) const;
  virtual void applyFitToPaper(int pagesAcross, int pagesDown, int32_t printableWidth,
                               int32_t printableHeight);

  // The colour of the long crosshair (the data-date colour on time-scaled
  // views). Base: 0x808000.
  virtual COLORREF crosshairColor() const;
  // Long crosshair position (x = -1: not drawn), device pixels of the
  // viewport.
  QPoint crosshair() const { return crosshair_; }

 signals:
  // The status-bar text for the pointer (operation 15).
  void positionChanged(const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void resizeEvent(QResizeEvent* event) override;

  // Makes the view show another kind of data (kinds 0..63; others are ignored):
  // from now on it hears the broadcasts for that kind and reads and writes
  // that kind's print format. The derived view reloads what it shows.
  void setViewKind(ViewKind kind);

  // Fills what a stored record of storedBytes (0: none) lacks of this
  // kind's record. Base: nothing.
  virtual void completePrintRecord(PrintRecord* /*record*/, int /*storedBytes*/) const {}

  // Ends a data-tool or separator drag in progress (32768 and cancel mode).
  void cancelOperation();
  // The right button outside a drag: the Esc key (32768) when the option
  // word says so, else the pop-up menu of frequent commands (menu 133) at
  // the pointer.
  void rightButton(QPoint globalPosition);
  // Sends hint to every view of this view's kind through the document.
  void broadcastOwnKind(int hint);
  bool separatorDragging() const { return separatorDrag_; }
  // True when drawContent calls drawObjectLayer itself where each layer
  // belongs (behind the bars, over the shading). Otherwise the base paints
  // the back layer before drawContent and the front layer after it, on
  // screen and on paper. Base: false.
  virtual bool paintsObjectLayers() const { return false; }

 private:
  bool crosshairShown() const;
  void moveCrosshair(QPoint device);

  CPlanDoc* doc_;
  int32_t scrollX_ = 0;
  int32_t scrollY_ = 0;
  LogicalRect client_;
  ViewKind viewKind_ = ViewKind::WorkTypeSheet;
  int16_t window_ = 0;
  uint16_t viewFlags_ = 0;
  QPoint crosshair_{-1, -1};
  bool dataDrag_ = false;
  bool separatorDrag_ = false;
  bool syncingBars_ = false;
  QPixmap frozen_;  // the last image while a computation runs
  std::unique_ptr<ObjectLayer> objects_;
};

}  // namespace kelvo

#endif  // KELVO_BASE_VIEW_H_
