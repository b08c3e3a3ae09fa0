// The Gantt chart: rows from the sheet pane, settings, commands and mouse
// edits. Bars, links and the legend are painted in gantt_paint.cpp.
#include "kelvo/gantt_view.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <algorithm>
#include <cstring>

#include "kelvo/engine_calendars.h"
#include "kelvo/gantt_window.h"
#include "kelvo/opt_chart_page.h"
#include "kelvo/opt_gantt_page.h"
#include "kelvo/opt_grid_page.h"
#include "kelvo/opt_term_page.h"
#include "kelvo/plan_doc.h"
#include "kelvo/strings.h"
#include "kelvo/table_view.h"
#include "xJorDbm2.h"
#include "xjor/packed_date.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo {
namespace {

// Commands the chart hands to its sheet pane.
// "선택 사항" (40098) and "자료 형식" (40099) stay with the chart: its settings
// and print format are the window's.
constexpr int kSheetCommands[] = {40022, 57636, 40113, 40086, 40087, 40088, 40021};
constexpr int kFindCommands[] = {57636, 40113};
// How near an end of the selection frame a press grabs that end.
constexpr int32_t kHandleZone = 6;

GanttDialogs& dialogs() {
  static GanttDialogs hooks;
  return hooks;
}

ActRecord activityOf(const QByteArray& record) {
  ActRecord a{};
  std::memcpy(&a, record.constData(), std::min<size_t>(sizeof a, record.size()));
  return a;
}

}  // namespace

void setGanttDialogs(GanttDialogs hooks) {
  dialogs() = std::move(hooks);
}

CGanttView::CGanttView(CPlanDoc* doc, CTableView* sheet, QWidget* parent)
    : CTermView(doc, parent), sheet_(sheet), block_(defaultGanttBlock()) {
  // Bit 7: row lines across the view; bit 8: summary schedules.
  setViewFlags(uint16_t(0x80 | (viewKind() == ViewKind::GanttSummaryChart ? 0x100 : 0)));
}

TimeScaleSettings CGanttView::defaultSettings() const {
  const CPlanDoc* doc = document();
  const bool open = doc && doc->isOpen();
  return defaultGanttScale(open ? doc->info().start : 0, shownProjectFinish(doc));
}

void CGanttView::setBlock(const GanttBlock& block) {
  block_ = block;
  block_.barHeight = std::max<int16_t>(1, block_.barHeight);
  viewport()->update();
}

int32_t CGanttView::recordRows() const {
  return sheet_ && sheet_->table() ? int32_t(sheet_->rows().count()) : 0;
}

int32_t CGanttView::bodyRowCount() const {
  return recordRows() + 1;
}

int32_t CGanttView::printedRowCount() const {
  return recordRows();
}

bool CGanttView::readRow(int32_t row, QByteArray* record) const {
  if (row < 0 || row >= recordRows()) return false;
  TableBinding* t = sheet_->table();
  record->resize(std::max<int>(t->tb.recordSize, sizeof(ActRecord)));
  record->fill(0);
  const int32_t kept = t->tb.current;
  const bool ok = sheet_->rows().read(uint32_t(row), record->data());
  t->tb.current = kept;
  return ok;
}

void CGanttView::mapRecords() {
  const uint32_t rows = uint32_t(recordRows());
  if (rows == mappedRows_) return;
  mappedRows_ = rows;
  rowOfRecord_.clear();
  for (uint32_t row = 0; row < rows; ++row) {
    const uint32_t record = sheet_->rows().record(row);
    if (record == XJOR_NONE) continue;
    if (record >= rowOfRecord_.size()) rowOfRecord_.resize(record + 1, -1);
    rowOfRecord_[record] = int32_t(row);
  }
}

void CGanttView::initialUpdate() {
  mappedRows_ = 0xFFFFFFFF;
  block_.barHeight = std::max<int16_t>(1, block_.barHeight);
  CTermView::initialUpdate();
  block_.barHeight = std::max<int16_t>(1, block_.barHeight);
  alignSheet();
}

void CGanttView::onUpdate(int hintCode, qintptr extra) {
  switch (hintCode) {
    case 0:
    case 6:
      // Records may have come or gone with an edit elsewhere.
      if (uint32_t(recordRows()) != mappedRows_) initialUpdate();
      viewport()->update();
      break;
    case 11:
      initialUpdate();
      break;
    case hint::kOptionBarChange:
      switchMode(ganttChoiceOfHint(extra).summary);
      break;
    default:
      CTermView::onUpdate(hintCode, extra);
  }
}

void CGanttView::alignSheet() {
  if (!sheet_ || following_) return;
  following_ = true;
  GridFormat f = sheet_->format();
  const auto header = uint16_t(stripHeight());
  const auto row = uint16_t(scale().settings().rowHeight);
  if (f.headerHeight != header || f.rowHeight != row) {
    f.headerHeight = header;
    f.rowHeight = row;
    sheet_->changeFormat(f);
  }
  if (sheet_->topRow() != topRow())
    sheet_->scrollView(Qt::Vertical, ScrollAction::Thumb, std::max<int32_t>(0, topRow()));
  following_ = false;
}

void CGanttView::followSheet(int top) {
  if (following_ || top == topRow()) return;
  following_ = true;
  scrollTo(scrollPosition(), top);
  following_ = false;
}

void CGanttView::switchMode(bool summary) {
  const ViewKind table = summary ? ViewKind::GanttSummaryTable : ViewKind::GanttTable;
  const ViewKind chart = summary ? ViewKind::GanttSummaryChart : ViewKind::GanttChart;
  if (sheet_ && sheet_->viewKind() != table) {
    sheet_->changeKind(table);
    sheet_->initialUpdate();
  }
  if (viewKind() == chart) return;
  storeSettings();
  setViewKind(chart);
  setViewFlags(uint16_t((viewFlags() & ~0x100) | (summary ? 0x100 : 0)));
  selRow_ = -1;
  drag_ = Drag::None;
  block_ = defaultGanttBlock();
  forgetSettings();
  initialUpdate();
}

void CGanttView::rowsMoved() {
  alignSheet();
}

// --- Printing --------------------------------------------------------------

bool CGanttView::preparePrinting(const PrintFormat& format, PrintLayout* layout) {
  setLeadingPages(0);
  if (sheet_ && !(format.flags & printflag::kGanttOnly)) {
    // The sheet's pages come first; the chart starts right after the
    // sheet's last columns, on the same page when there is room.
    // Its header stands beside the time scale, so it is printed exactly
    // when the scale is.
    PrintLayout sheetLayout = *layout;
    sheet_->setPrintsHeader(format.flags & printflag::kRepeatScale);
    if (!sheet_->preparePrinting(format, &sheetLayout)) return false;
    const int pages = sheetLayout.pagesAcross;
    setLeadingPages(pages, sheet_->printedWidth(pages - 1));
  }
  return CTermView::preparePrinting(format, layout);
}

void CGanttView::printPage(QPainter& painter, const UnitMapper& paper, const PrintLayout& layout,
                           const PrintFormat& format) {
  if (layout.pageColumn < firstChartPage()) {
    sheet_->printPage(painter, paper, layout, format);
    return;
  }
  if (layout.pageColumn < leadingPages()) sheet_->printColumns(painter, paper, layout);
  CTermView::printPage(painter, paper, layout, format);
}

// --- Commands --------------------------------------------------------------

bool CGanttView::onCommand(int id) {
  if (id == cmd::kOptions) {
    optionsCommand();
    return true;
  }
  if (sheet_ && std::find(std::begin(kSheetCommands), std::end(kSheetCommands), id) !=
                    std::end(kSheetCommands)) {
    sheet_->activate();
    return sheet_->onCommand(id);
  }
  if (id == cmd::kEditClear && deleteBarCommand()) return true;
  if (id == cmd::kEditUndo && document() && document()->undo().canUndo(this)) {
    document()->undo().undo(this);
    viewport()->update();
    if (sheet_) sheet_->viewport()->update();
    return true;
  }
  return CTermView::onCommand(id);
}

bool CGanttView::deleteBarCommand() {
  if (!sheet_ || !activities()) return false;
  const int tool = viewState().editTool;
  if (tool == tool::kDataSelect) {
    // The selected bar's activity goes as its sheet row would: the same
    // question, and the sheet's rows follow.
    if (selRow_ < 0 || selRow_ >= recordRows()) return true;
    sheet_->selectOnly(selRow_);
    if (sheet_->deleteSelected()) {
      // The sheet drops the row only after the document has told the views.
      selRow_ = -1;
      initialUpdate();
    }
    viewport()->update();
    return true;
  }
  if (tool == tool::kDataInput) {
    // The Delete key goes to the sheet's editor.
    if (sheet_->editorShown()) {
      QKeyEvent key(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
      QApplication::sendEvent(sheet_->lineEditor(), &key);
    }
    return true;
  }
  return false;
}

bool CGanttView::updateCommand(int id, CommandState& state) {
  if (id == cmd::kEditClear && sheet_ && activities()) {
    const int tool = viewState().editTool;
    if (tool == tool::kDataSelect) {
      state.enabled = selRow_ >= 0 && selRow_ < recordRows();
      return true;
    }
    if (tool == tool::kDataInput) {
      state.enabled = sheet_->editorShown();
      return true;
    }
  }
  if (id == cmd::kOptions) {
    state.enabled = true;
    return true;
  }
  if (sheet_ && std::find(std::begin(kSheetCommands), std::end(kSheetCommands), id) !=
                    std::end(kSheetCommands)) {
    const bool find = std::find(std::begin(kFindCommands), std::end(kFindCommands), id) !=
                      std::end(kFindCommands);
    if (find && !activities()) {
      state.enabled = false;
      return true;
    }
    return sheet_->updateCommand(id, state);
  }
  return CTermView::updateCommand(id, state);
}

void CGanttView::optionsCommand() {
  TimeScaleSettings settings = storedSettings();
  GanttBlock block = block_;
  GridFormat format = sheet_ ? sheet_->format() : defaultGridFormat();
  BandOptions band(this);
  QStringList fields;
  if (const TableBinding* t = sheet_ ? sheet_->table() : nullptr)
    for (int i = 0; i < t->tb.fieldCount; ++i)
      fields << xjor::fromCp949(t->tb.fields[i].name,
                                int(strnlen(t->tb.fields[i].name, sizeof t->tb.fields[i].name)));
  CPropertySheet sheet(loadString(kStrOptionsSheet), this);
  sheet.setPagesShareCopy(true);
  sheet.addPage(new COptGridPage(&format));
  sheet.addPage(new COptTermPage(&settings));
  sheet.addPage(new COptGanttPage(&settings, &block, fields));
  sheet.addPage(band.makePage(&settings));
  if (sheet.exec() != QDialog::Accepted) return;
  // The two panes keep their rows aligned: the chart's rows are the sheet's,
  // the sheet's header spans the scale strip.
  settings.rowHeight = int16_t(std::clamp<int>(format.rowHeight, 1, 32767));
  format.headerHeight = uint16_t(std::clamp(3 * int(settings.scaleRowHeight), 1, 65535));
  block_ = block;
  if (sheet_) {
    sheet_->changeFormat(format);
    sheet_->storeSettings();
  }
  band.commit();
  commitScaleOptions(settings);
}

// --- Mouse edits -----------------------------------------------------------

bool CGanttView::selectionFrame(int32_t row, int32_t* left, int32_t* right, int32_t* top) const {
  QByteArray record;
  if (!activities() || !readRow(row, &record)) return false;
  const ActRecord a = activityOf(record);
  if (a.start == 0) return false;
  *left = scale().x(a.start);
  *right = a.anchor ? scale().x(a.anchor) : scale().x(dayAfter(a.finish));
  *right = std::max(*left, *right);
  *top = currentBarTop(row, scale(), block_);
  return true;
}

void CGanttView::dataToolPress(int32_t x, int32_t y, Qt::KeyboardModifiers) {
  drag_ = Drag::None;
  if (!activities() || y > 0) return;
  const int32_t row = scale().rowAt(y);
  if (row >= recordRows()) return;
  pressX_ = dragX_ = x;
  dragY_ = y;
  pressRow_ = row;
  if (viewState().editTool == tool::kDataInput) {
    drag_ = Drag::Connect;
    return;
  }
  selRow_ = row;
  if (sheet_) sheet_->goToRow(row);
  int32_t left = 0, right = 0, top = 0;
  if (selectionFrame(row, &left, &right, &top)) {
    const int32_t zone = std::max<int32_t>(kHandleZone, block_.barHeight / 4);
    if (std::abs(x - left) <= zone)
      drag_ = Drag::Start;
    else if (std::abs(x - right) <= zone)
      drag_ = Drag::Finish;
    else if (x > left && x < right && y <= top && y >= top - block_.barHeight)
      drag_ = Drag::Move;
  }
  viewport()->update();
}

void CGanttView::dataToolDrag(int32_t x, int32_t y) {
  if (drag_ == Drag::None) return;
  dragX_ = x;
  dragY_ = y;
  viewport()->update();
}

void CGanttView::dataToolRelease(int32_t x, int32_t y) {
  const Drag drag = drag_;
  drag_ = Drag::None;
  viewport()->update();
  if (drag == Drag::Connect) {
    const int32_t row = scale().rowAt(y);
    if (y <= 0 && row < recordRows() && row != pressRow_) connectRows(pressRow_, row);
  } else if (drag != Drag::None && x != pressX_) {
    storeDrag(drag, x);
  }
}

void CGanttView::dataToolCancel() {
  drag_ = Drag::None;
  viewport()->update();
}

void CGanttView::storeDrag(Drag drag, int32_t x) {
  QByteArray record;
  CPlanDoc* doc = document();
  if (!doc || !readRow(selRow_, &record)) return;
  ActRecord a = activityOf(record);
  const TimeScaleSettings& s = scale().settings();
  // The day whose start is nearest the moved edge; an edge beyond either
  // end of the axis still counts its days (never before the first).
  const auto dayNear = [&](int32_t edge) {
    const int64_t units = int64_t{edge} - scale().timeLeft() + s.stepWidth / s.stepDays / 2;
    const int64_t days = std::max<int64_t>(0, units * s.stepDays / s.stepWidth);
    return xjor::dateFromDayNumber(int32_t(xjor::dayNumber(s.startDate) + days));
  };
  const int32_t delta = x - pressX_;
  EngineCalendars calendars;
  const int cal = a.calendar;
  const auto offset = [&](uint16_t day) { return calendars.offset(cal, day); };
  const uint16_t finish = shownFinish(a.duration, a.start, a.finish);
  int32_t left = 0, right = 0, top = 0;
  if (!selectionFrame(selRow_, &left, &right, &top)) return;
  if (drag == Drag::Start && a.duration > 0) {
    // Left handle: a new start, the finish kept.
    a.start = std::min(dayNear(left + delta), finish);
    a.duration = int16_t(offset(finish) - offset(a.start) + 1);
  } else if (drag == Drag::Finish && a.duration > 0) {
    // Right handle: a new anchor day; the finish is the working day before.
    const uint16_t anchor = dayNear(right + delta);
    uint16_t newFinish = calendars.dayAt(cal, offset(anchor) - 1);
    if (newFinish < a.start) newFinish = a.start;
    a.finish = newFinish;
    a.duration = int16_t(offset(newFinish) - offset(a.start) + 1);
  } else {
    // The body: the whole activity moves, its duration kept.
    a.start = dayNear(left + delta);
    const int32_t last = offset(a.start) + std::max<int32_t>(a.duration, 1) - 1;
    a.finish = a.duration > 0 ? calendars.dayAt(cal, last) : a.start;
    if (a.actualFinish != 0) a.actualFinish = calendars.dayAt(cal, last);
  }
  std::memcpy(record.data(), &a, sizeof a);
  const int32_t slot = int32_t(sheet_->rows().record(uint32_t(selRow_)));
  // Stored as the activity dialog stores it: dates derived, no constraint.
  if (doc->inputRecord(ViewKind::GanttTable, slot, record.data(), 0, EditReport::Show)) {
    sheet_->viewport()->update();
    viewport()->update();
  }
}

void CGanttView::connectRows(int32_t from, int32_t to) {
  QByteArray first, second;
  CPlanDoc* doc = document();
  if (!doc || !readRow(from, &first) || !readRow(to, &second)) return;
  const ActRecord p = activityOf(first), s = activityOf(second);
  if (std::strncmp(p.code, s.code, sizeof p.code) == 0) return;
  const int16_t path = p.path && s.path ? int16_t((p.path + s.path) / 2) : 0;
  const QByteArray pred(p.code, int(strnlen(p.code, sizeof p.code)));
  const QByteArray succ(s.code, int(strnlen(s.code, sizeof s.code)));
  bool stored = false;
  if (dialogs().connect) {
    stored = dialogs().connect(this, *doc, pred, succ, path);
  } else {
    QByteArray rel(std::max<int>(doc->db().rel.tb.recordSize, sizeof(RelRecord)), '\0');
    RelRecord r{};
    std::memcpy(r.pred, p.code, sizeof r.pred);
    std::memcpy(r.succ, s.code, sizeof r.succ);
    r.row = path;
    std::memcpy(rel.data(), &r, sizeof r);
    stored = bool(doc->inputRecord(ViewKind::Relations, -1, rel.data(), -1, EditReport::Show));
  }
  if (stored) {
    doc->setModified();
    viewport()->update();
  }
}

void CGanttView::dataDoubleClick(int32_t, int32_t y) {
  CPlanDoc* doc = document();
  if (!doc || !activities() || y > 0 || !dialogs().editActivity) return;
  const int32_t row = scale().rowAt(y);
  if (row >= recordRows()) return;
  if (dialogs().editActivity(this, *doc, int(sheet_->rows().record(uint32_t(row))))) {
    sheet_->viewport()->update();
    viewport()->update();
  }
}

}  // namespace kelvo
