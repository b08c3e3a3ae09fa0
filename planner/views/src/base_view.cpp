#include "kelvo/base_view.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "kelvo/format_file.h"
#include "kelvo/object_layer.h"
#include "kelvo/plan_doc.h"
#include "kelvo/status_panes.h"
#include "xJorLib.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo {

namespace {

constexpr int32_t kLineStep = 50;  // logical units of one scroll line
constexpr int kCrosshairLength = 10000;

bool isShapeCommand(int id) {
  return (id >= cmd::kShapeOrderFirst && id <= cmd::kShapeStyle) || id == cmd::kEditClear ||
         id == cmd::kEditCopy || id == cmd::kEditCut || id == cmd::kEditPaste ||
         id == cmd::kEditUndo;
}

}  // namespace

CBaseView::CBaseView(CPlanDoc* doc, QWidget* parent)
    : QAbstractScrollArea(parent),
      doc_(doc),
      viewKind_(viewState().nextViewKind),
      window_(viewState().nextWindow),
      objects_(std::make_unique<ObjectLayer>(this)) {
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setMouseTracking(true);
  viewport()->setAutoFillBackground(false);
  if (doc_) {
    connect(doc_, &CPlanDoc::viewsUpdate, this, &CBaseView::receiveUpdate);
    // A document that goes first leaves nothing to release at the end.
    connect(doc_, &QObject::destroyed, this, [this] { doc_ = nullptr; });
  }
  // What the pointer is over goes to the status bar's position pane.
  connect(this, &CBaseView::positionChanged, this,
          [](const QString& text) { setPointStatus(text); });
}

CBaseView::~CBaseView() {
  // Nothing is stored here (the frame calls prepareToClose first); only the
  // program-wide pointers to this view are dropped so they never dangle.
  ViewState& st = viewState();
  // An undo step of this view refers to it: it goes with the view.
  if (doc_) doc_->undo().release(this);
  if (st.activeEditView == this) st.activeEditView = nullptr;
  if (st.router && st.router->activeView() == static_cast<CommandTarget*>(this))
    st.router->setActiveView(nullptr);
  if (st.editTool == tool::kSeparatorDrag && separatorDrag_) st.editTool = st.toolBeforeDrag;
}

// --- Coordinates ------------------------------------------------------------

void CBaseView::setScrollOrigin(int32_t x, int32_t y) {
  if (x == scrollX_ && y == scrollY_) return;
  scrollX_ = x;
  scrollY_ = y;
  client_ = computeClientRect();
  updateScrollBars();
  viewport()->update();
}

UnitMapper CBaseView::screenMapper() const {
  return UnitMapper::forDevice(viewport(), scrollX_, scrollY_);
}

LogicalRect CBaseView::computeClientRect() const {
  const UnitMapper m = screenMapper();
  LogicalRect r;
  m.toLogical(QPointF(0, 0), &r.left, &r.top);
  m.toLogical(QPointF(viewport()->width(), viewport()->height()), &r.right, &r.bottom);
  return r;
}

// --- Update broadcasts ------------------------------------------------------

void CBaseView::receiveUpdate(quint64 mask, int hint, qintptr extra) {
  if (!isViewKindNumber(kindNumber(viewKind_)) || !(mask & kindBit(viewKind_))) return;
  if (hint == hint::kComputationBegins) {
    // The data is about to change under the view: keep showing what it
    // showed until the computation reports back.
    if (frozen_.isNull()) frozen_ = viewport()->grab();
  } else {
    frozen_ = QPixmap();
  }
  onUpdate(hint, extra);
}

void CBaseView::onUpdate(int hintCode, qintptr) {
  switch (hintCode) {
    case hint::kRepaint:
    case hint::kDatesChanged:
      viewport()->update();
      break;
    case hint::kInitialUpdate:
      initialUpdate();
      break;
    case hint::kStoreSettings:
      storeSettings();
      break;
    default:
      break;
  }
}

void CBaseView::initialUpdate() {
  client_ = computeClientRect();
  updateScrollBars();
  viewport()->update();
}

void CBaseView::storeSettings() {}

void CBaseView::prepareToClose() {
  cancelOperation();
  if (doc_)
    broadcastOwnKind(hint::kStoreSettings);
  else
    storeSettings();
}

bool CBaseView::editTextObject(int32_t, int32_t, int32_t, int32_t, int64_t) {
  return false;
}

void CBaseView::setViewKind(ViewKind kind) {
  if (!isViewKindNumber(kindNumber(kind))) return;
  viewKind_ = kind;
}

void CBaseView::broadcastOwnKind(int hintCode) {
  if (!isViewKindNumber(kindNumber(viewKind_))) return;
  if (doc_)
    doc_->updateAllViews(kindBit(viewKind_), hintCode);
  else
    onUpdate(hintCode, 0);
}

void CBaseView::activate() {
  ViewState& st = viewState();
  if (st.activeEditView != this) {
    if (st.activeEditView) st.activeEditView->cancelOperation();
    st.activeEditView = this;
    if (viewKind_ == ViewKind::UserReport &&
        (st.editTool == tool::kDataSelect || st.editTool == tool::kDataInput))
      st.editTool = tool::kText;
  }
  if (st.router) {
    st.router->setActiveView(this);
    st.router->refresh();
  }
}

// --- Scrolling --------------------------------------------------------------

int32_t CBaseView::extentWidth() const {
  return 0;
}
int32_t CBaseView::extentHeight() const {
  return 0;
}

void CBaseView::scrollView(Qt::Orientation orientation, ScrollAction action, int thumb) {
  const LogicalRect c = computeClientRect();
  const bool horizontal = orientation == Qt::Horizontal;
  const int32_t page =
      std::max<int32_t>(kLineStep, (horizontal ? c.width() : c.height()) - kLineStep);
  const int32_t limit =
      std::max<int32_t>(0, horizontal ? extentWidth() - c.width() : extentHeight() - c.height());
  // Position along the axis: x, or the distance below y = 0.
  const int32_t pos = horizontal ? scrollX_ : -scrollY_;
  int32_t next = pos;
  switch (action) {
    case ScrollAction::LineBack:
      next = pos - kLineStep;
      break;
    case ScrollAction::LineForward:
      next = pos + kLineStep;
      break;
    case ScrollAction::PageBack:
      next = pos - page;
      break;
    case ScrollAction::PageForward:
      next = pos + page;
      break;
    case ScrollAction::ToStart:
      next = 0;
      break;
    case ScrollAction::ToEnd:
      next = limit;
      break;
    case ScrollAction::Thumb:
      next = thumb;
      break;
  }
  next = std::clamp<int32_t>(next, 0, limit);
  if (next == pos) return;
  if (horizontal)
    setScrollOrigin(next, scrollY_);
  else
    setScrollOrigin(scrollX_, -next);
}

void CBaseView::updateScrollBars() {
  // A view that reports no extent keeps its bars as it sets them itself.
  if (extentWidth() <= 0 && extentHeight() <= 0) return;
  const LogicalRect c = computeClientRect();
  syncingBars_ = true;
  horizontalScrollBar()->setRange(0, std::max<int32_t>(0, extentWidth() - c.width()));
  horizontalScrollBar()->setPageStep(std::max<int32_t>(1, c.width()));
  horizontalScrollBar()->setSingleStep(kLineStep);
  horizontalScrollBar()->setValue(scrollX_);
  verticalScrollBar()->setRange(0, std::max<int32_t>(0, extentHeight() - c.height()));
  verticalScrollBar()->setPageStep(std::max<int32_t>(1, c.height()));
  verticalScrollBar()->setSingleStep(kLineStep);
  verticalScrollBar()->setValue(-scrollY_);
  syncingBars_ = false;
}

void CBaseView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  client_ = computeClientRect();
  updateScrollBars();
}

void CBaseView::scrollContentsBy(int, int) {
  if (syncingBars_) return;
  // The scroll bars were moved by the user: their values are logical units.
  scrollView(Qt::Horizontal, ScrollAction::Thumb, horizontalScrollBar()->value());
  scrollView(Qt::Vertical, ScrollAction::Thumb, verticalScrollBar()->value());
}

void CBaseView::keyPressEvent(QKeyEvent* event) {
  // Scrolling by keys is ignored while a mouse operation holds the pointer.
  if (QWidget::mouseGrabber() || dataDrag_ || separatorDrag_ || objects_->busy()) {
    if (event->key() == Qt::Key_Escape) cancelOperation();
    event->accept();
    return;
  }
  if (objects_->key(event->key(), event->modifiers()) ||
      dataKey(event->key(), event->modifiers())) {
    event->accept();
    return;
  }
  switch (event->key()) {
    case Qt::Key_PageUp:
      scrollView(Qt::Vertical, ScrollAction::PageBack);
      break;
    case Qt::Key_PageDown:
      scrollView(Qt::Vertical, ScrollAction::PageForward);
      break;
    case Qt::Key_Home:
      scrollView(Qt::Vertical, ScrollAction::ToStart);
      scrollView(Qt::Horizontal, ScrollAction::ToStart);
      break;
    case Qt::Key_End:
      scrollView(Qt::Vertical, ScrollAction::ToEnd);
      scrollView(Qt::Horizontal, ScrollAction::ToStart);
      break;
    case Qt::Key_Up:
      scrollView(Qt::Vertical, ScrollAction::LineBack);
      break;
    case Qt::Key_Down:
      scrollView(Qt::Vertical, ScrollAction::LineForward);
      break;
    case Qt::Key_Left:
      scrollView(Qt::Horizontal, ScrollAction::LineBack);
      break;
    case Qt::Key_Right:
      scrollView(Qt::Horizontal, ScrollAction::LineForward);
      break;
    default:
      QAbstractScrollArea::keyPressEvent(event);
      return;
  }
  event->accept();
}

// --- Painting ---------------------------------------------------------------

void CBaseView::paintEvent(QPaintEvent*) {
  client_ = computeClientRect();
  QPainter painter(viewport());
  if (!frozen_.isNull()) {
    painter.fillRect(viewport()->rect(), Qt::white);
    painter.drawPixmap(0, 0, frozen_);
    return;
  }
  painter.fillRect(viewport()->rect(), Qt::white);
  const UnitMapper mapper = screenMapper();
  if (!paintsObjectLayers()) drawObjectLayer(painter, mapper, client_, false);
  drawContent(painter, mapper, client_, false);
  if (!paintsObjectLayers()) drawObjectLayer(painter, mapper, client_, true);
  painter.setClipping(false);
  // Overlays, last: the operation in progress, then the crosshair.
  if (dataDrag_ || separatorDrag_) drawRubberBand(painter, mapper);
  if (viewState().activeEditView == this) {
    drawSelectionHandles(painter, mapper);
    objects_->paintOverlay(painter, mapper);
  }
  if (crosshairShown() && crosshair_.x() >= 0) {
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    painter.setPen(QPen(xjor::colorFromRef(crosshairColor()), 0));
    painter.drawLine(QPoint(0, crosshair_.y()), QPoint(kCrosshairLength, crosshair_.y()));
    painter.drawLine(QPoint(crosshair_.x(), 0), QPoint(crosshair_.x(), kCrosshairLength));
    painter.restore();
  }
}

bool CBaseView::crosshairShown() const {
  return (optionFlags() & optflag::kLongCrosshair) && !(viewFlags_ & viewflag::kNoCrosshair);
}

COLORREF CBaseView::crosshairColor() const {
  return 0x808000;
}

void CBaseView::moveCrosshair(QPoint device) {
  const QPoint old = crosshair_;
  crosshair_ = device;
  if (!crosshairShown()) return;
  const int w = viewport()->width(), h = viewport()->height();
  for (const QPoint& p : {old, device}) {
    if (p.x() < 0) continue;
    viewport()->update(QRect(0, p.y() - 1, w, 3));
    viewport()->update(QRect(p.x() - 1, 0, 3, h));
  }
}

void CBaseView::leaveEvent(QEvent* event) {
  moveCrosshair(QPoint(-1, -1));
  QAbstractScrollArea::leaveEvent(event);
}

bool CBaseView::objectsShown() const {
  return true;
}

void CBaseView::drawObjectLayer(QPainter& painter, const UnitMapper& mapper,
                                const LogicalRect& body, bool front, int32_t shiftX,
                                int32_t shiftY) {
  if (objectsShown()) objects_->paintLayer(painter, mapper, body, front, shiftX, shiftY);
}

// --- Mouse --------------------------------------------------------------------

void CBaseView::mousePressEvent(QMouseEvent* event) {
  activate();
  int32_t x = 0, y = 0;
  screenMapper().toLogical(event->position(), &x, &y);
  if (event->button() == Qt::RightButton) {
    if (dataDrag_ || separatorDrag_ || objects_->busy())
      cancelOperation();
    else
      rightButton(event->globalPosition().toPoint());
    return;
  }
  if (event->button() != Qt::LeftButton) return;
  ViewState& st = viewState();
  if (hitSeparator(x, y)) {
    separatorDrag_ = true;
    st.toolBeforeDrag = st.editTool;
    st.editTool = tool::kSeparatorDrag;
    placeDataItem(x, y);
    viewport()->update();
    return;
  }
  // The row-number column does not take clicks unless the view asks for
  // them.
  if (inRowNumberColumn(x) && !(viewFlags_ & viewflag::kNoCrosshair)) return;
  if (st.editTool == tool::kDataSelect || st.editTool == tool::kDataInput) {
    // The data tools select drawing objects too; a press on the selection
    // moves or resizes it instead of reaching the data.
    if (objects_->pressWithDataTool(x, y, event->modifiers())) return;
    dataDrag_ = true;
    dataToolPress(x, y, event->modifiers());
  } else if (st.editTool >= tool::kShapeSelect && st.editTool <= tool::kPicture) {
    objects_->press(x, y, event->modifiers());
  }
}

void CBaseView::mouseMoveEvent(QMouseEvent* event) {
  int32_t x = 0, y = 0;
  screenMapper().toLogical(event->position(), &x, &y);
  emit positionChanged(positionText(x, y));
  moveCrosshair(event->position().toPoint());
  if (separatorDrag_) {
    placeDataItem(x, y);
    viewport()->update();
  } else if (dataDrag_) {
    dataToolDrag(x, y);
  } else if (objects_->busy()) {
    objects_->drag(x, y);
  } else {
    const int current = viewState().editTool;
    if (current == tool::kShapeSelect ||
        (current <= tool::kDataInput && !objects_->selection().empty())) {
      // The cursor tells what a press on the selection would do.
      static const Qt::CursorShape kShapes[9] = {
          Qt::SizeFDiagCursor, Qt::SizeVerCursor, Qt::SizeBDiagCursor,
          Qt::SizeHorCursor,   Qt::SizeAllCursor, Qt::SizeHorCursor,
          Qt::SizeBDiagCursor, Qt::SizeVerCursor, Qt::SizeFDiagCursor};
      const int handle = objects_->handleAt(x, y);
      viewport()->setCursor(handle >= 0 ? kShapes[handle] : Qt::ArrowCursor);
    }
    dataHover(x, y);
  }
}

void CBaseView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  int32_t x = 0, y = 0;
  screenMapper().toLogical(event->position(), &x, &y);
  if (separatorDrag_) {
    separatorDrag_ = false;
    viewState().editTool = viewState().toolBeforeDrag;
    endSeparatorDrag(x, y, true);
    viewport()->update();
  } else if (dataDrag_) {
    dataDrag_ = false;
    dataToolRelease(x, y);
    objects_->selectAfterDataTool(x, y);
  } else if (objects_->busy()) {
    objects_->release(x, y);
  }
}

void CBaseView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  int32_t x = 0, y = 0;
  screenMapper().toLogical(event->position(), &x, &y);
  if (inRowNumberColumn(x) && !(viewFlags_ & viewflag::kNoCrosshair)) return;
  if (objects_->doubleClick(x, y)) return;
  dataDoubleClick(x, y);
}

void CBaseView::focusInEvent(QFocusEvent* event) {
  activate();
  QAbstractScrollArea::focusInEvent(event);
}

void CBaseView::rightButton(QPoint globalPosition) {
  CommandRouter* router = viewState().router;
  if (optionFlags() & optflag::kRightButtonIsEsc) {
    if (!router || !router->dispatch(cmd::kCancelState)) cancelOperation();
    return;
  }
  if (!router) return;
  // Menu 133: the commands a user reaches for most while working in a view.
  constexpr int kSep = 0;
  constexpr int kFrequent[] = {cmd::kEditUndo,
                               kSep,
                               cmd::kEditCut,
                               cmd::kEditCopy,
                               cmd::kEditPaste,
                               cmd::kEditClear,
                               kSep,
                               cmd::kModifyData,
                               cmd::kDeleteAtCursor,
                               cmd::kRefresh,
                               kSep,
                               cmd::kPrintPreview,
                               cmd::kPrint};
  auto* menu = new QMenu(this);
  menu->setObjectName(QStringLiteral("menu133"));
  menu->setAttribute(Qt::WA_DeleteOnClose);
  router->refresh();
  for (int id : kFrequent) {
    if (id == kSep)
      menu->addSeparator();
    else
      menu->addAction(router->action(id));
  }
  menu->popup(globalPosition);
}

void CBaseView::cancelOperation() {
  if (separatorDrag_) {
    separatorDrag_ = false;
    viewState().editTool = viewState().toolBeforeDrag;
    endSeparatorDrag(0, 0, false);
    viewport()->update();
  }
  if (dataDrag_) {
    dataDrag_ = false;
    dataToolCancel();
    viewport()->update();
  }
  objects_->cancel();
}

// --- Commands -----------------------------------------------------------------

bool CBaseView::updateCommand(int id, CommandState& state) {
  const ViewState& st = viewState();
  if (id == cmd::kCancelState) {
    state.enabled = true;
    return true;
  }
  if (id >= cmd::kToolFirst && id <= cmd::kToolLast) {
    const int current = st.editTool == tool::kSeparatorDrag ? st.toolBeforeDrag : st.editTool;
    state.enabled = state.checkable = true;
    state.checked = current == id - cmd::kToolFirst;
    return true;
  }
  if (objects_->updateCommand(id, state)) return true;
  if (isShapeCommand(id)) {
    // Nothing to act on: no drawing objects selected, nothing copied.
    state.enabled = false;
    return true;
  }
  if (id == cmd::kLongCrosshair) {
    state.enabled = state.checkable = true;
    state.checked = optionFlags() & optflag::kLongCrosshair;
    return true;
  }
  if (id == cmd::kPrint || id == cmd::kPrintDirect || id == cmd::kPrintPreview) {
    state.enabled = true;
    return true;
  }
  if (id == cmd::kFitToPaper && canFitToPaper()) {
    state.enabled = true;
    return true;
  }
  if (id == cmd::kFormatFiles) {
    // Kinds 0..21; the lower Gantt panes have no files of their own.
    state.enabled = hasFormatFiles(formatKindOf(viewKind()));
    return true;
  }
  if (id == cmd::kDataFormat) {
    state.enabled = doc_ && doc_->isOpen();
    return true;
  }
  return false;
}

bool CBaseView::onCommand(int id) {
  if (id == cmd::kCancelState) {
    cancelOperation();
    return true;
  }
  if (objects_->onCommand(id)) return true;
  if (id >= cmd::kToolFirst && id <= cmd::kToolLast) {
    cancelOperation();
    viewState().editTool = id - cmd::kToolFirst;
    return true;
  }
  if (id == cmd::kLongCrosshair) {
    optionFlags() ^= optflag::kLongCrosshair;
    viewport()->update();
    return true;
  }
  if (id == cmd::kPrint) return printCommand(true);
  if (id == cmd::kPrintDirect) return printCommand(false);
  if (id == cmd::kPrintPreview) {
    printPreviewCommand();
    return true;
  }
  if (id == cmd::kFitToPaper && canFitToPaper()) return fitToPaperCommand();
  if (id == cmd::kFormatFiles && hasFormatFiles(formatKindOf(viewKind())))
    return formatFilesCommand();
  if (id == cmd::kDataFormat && doc_ && doc_->isOpen()) {
    dataFormatCommand();
    return true;
  }
  return false;
}

// --- Virtual operations: base behaviour ----------------------------------------

void CBaseView::drawSelectionHandles(QPainter&, const UnitMapper&) {}
bool CBaseView::hitSelectionHandle(int32_t, int32_t, int*) {
  return false;
}
bool CBaseView::hitSeparator(int32_t, int32_t) {
  return false;
}
void CBaseView::dataToolPress(int32_t, int32_t, Qt::KeyboardModifiers) {}
void CBaseView::dataToolDrag(int32_t, int32_t) {}
void CBaseView::dataToolRelease(int32_t, int32_t) {}
void CBaseView::dataToolCancel() {}
void CBaseView::placeDataItem(int32_t, int32_t) {}
void CBaseView::dataDoubleClick(int32_t, int32_t) {}
void CBaseView::dataHover(int32_t, int32_t) {}
bool CBaseView::dataKey(int, Qt::KeyboardModifiers) {
  return false;
}
void CBaseView::endSeparatorDrag(int32_t, int32_t, bool) {}

ViewPosition CBaseView::pointToPosition(int32_t x, int32_t y) const {
  ViewPosition p;
  p.x = x;
  p.y = y;
  return p;
}

void CBaseView::positionToPoint(const ViewPosition& position, int32_t* x, int32_t* y) const {
  if (x) *x = position.x;
  if (y) *y = position.y;
}

QString CBaseView::positionText(int32_t x, int32_t y) const {
  return QString::asprintf("%d - %d", x, -y);
}

void CBaseView::drawRubberBand(QPainter&, const UnitMapper&) {}

bool CBaseView::canFitToPaper() const {
  return false;
}

void CBaseView::fitReserved(int32_t* width, int32_t* height) const {
  if (width) *width = 0;
  if (height) *height = 0;
}

void CBaseView::applyFitToPaper(int, int, int32_t, int32_t) {}

}  // namespace kelvo
