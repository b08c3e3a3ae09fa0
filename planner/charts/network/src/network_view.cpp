// The network chart: settings, commands, path assignment and path edits,
// hit tests, selection and mouse edits. Painting is in network_paint.cpp.
#include "kelvo/network_view.h"

#include <QApplication>
#include <QFontMetricsF>
#include <algorithm>
#include <cstring>

#include "kelvo/drawing_objects.h"
#include "kelvo/network_label.h"
#include "kelvo/network_store.h"
#include "kelvo/plan_doc.h"
#include "text_layouts.h"
#include "xJorDbm2.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo {
namespace {

constexpr int kRefresh = 40022;
constexpr int kEditData = 40021;
constexpr int32_t kFrameHalfHeight = 5;  // the selection frame around a path's centre
constexpr int32_t kRelationHitDistance = 10;
constexpr uint16_t kActivitiesFirst = 0x80;  // "작업 먼저 선택" in the option word
constexpr int kRangeHoldsData = 20040;
constexpr int kNotFound = 20014;
constexpr int kAssignPaths = 10210;
constexpr int kEditPaths = 10213;
constexpr int kFindCode = 57636;
constexpr int kFindSpecial = 40113;

NetDialogs& dialogs() {
  static NetDialogs hooks;
  return hooks;
}

const ActOrderEntry* orderBegin(const ProjectDb& db) {
  return db.actOrder.data ? reinterpret_cast<const ActOrderEntry*>(db.actOrder.data) : nullptr;
}
const ActOrderEntry* orderEnd(const ProjectDb& db) {
  const ActOrderEntry* b = orderBegin(db);
  return b ? b + db.actOrder.count : nullptr;
}

bool contains(const std::vector<int32_t>& list, int32_t v) {
  return std::find(list.begin(), list.end(), v) != list.end();
}

void showRefusal(QWidget* parent, int message) {
  QApplication::beep();
  if (dialogs().showMessage) dialogs().showMessage(parent, message);
}

}  // namespace

void setNetDialogs(NetDialogs hooks) {
  dialogs() = std::move(hooks);
}

CNetView::CNetView(CPlanDoc* doc, QWidget* parent)
    : CTermView(doc, parent),
      block_(defaultNetBlock()),
      paper_(block_),
      formBlock_(block_),
      captions_(defaultSideCaptions()),
      texts_(std::make_unique<TextLayouts>()) {}

CNetView::~CNetView() = default;

TimeScaleSettings CNetView::defaultSettings() const {
  const CPlanDoc* doc = document();
  const bool open = doc && doc->isOpen();
  return defaultNetScale(open ? doc->info().start : 0, open ? doc->info().finish : 0);
}

QString CNetView::rowNumberTitle() const {
  return QStringLiteral("경로");
}

void CNetView::setBlock(const NetBlock& block) {
  block_ = block;
  block_.nodeWidth = std::max<int16_t>(1, block_.nodeWidth);
  measureLabels(&block_);
  viewport()->update();
}

int32_t CNetView::bodyRowCount() const {
  CPlanDoc* doc = document();
  const int32_t highest = doc && doc->isOpen() ? highestPath(&doc->db()) : 0;
  return std::max({storedSettings().rowCount, highest, int32_t{1}});
}

int32_t CNetView::textHeight() const {
  return std::max<int32_t>(1, std::abs(scale().settings().bodyFont.lfHeight));
}

NodeEdge CNetView::edge() const {
  return nodeEdge(block_, scale().settings().flags, textHeight());
}

void CNetView::measureLabels(NetBlock* block) const {
  // The box holds the longer template's longest line in letters "A" of the
  // chart's font; a line is that text's height.
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen()) return;
  const TableHandle& t = doc->db().act.tb;
  const int32_t ref = doc->db().space.refHandle;
  const auto width = [&](int field) { return int(xGetOutLeng(t.fields, field, ref)); };
  int chars = 0;
  for (const uint8_t* tmpl : {block->upperLabel, block->lowerLabel})
    chars = std::max(
        chars, labelLineChars(parseLabelTemplate(tmpl, kLabelTemplateSize, t.fieldCount), width));
  chars = std::max(1, chars);
  const QFontMetricsF metrics(xjor::fontFromLogFont(scale().settings().bodyFont),
                              xjor::measuringDevice());
  const QString sample(chars, QLatin1Char('A'));
  block->labelChars = int16_t(std::min(chars, 32767));
  block->labelWidth = int16_t(std::min(32767.0, metrics.horizontalAdvance(sample) + 1));
  block->labelLineHeight = int16_t(std::max(1.0, std::ceil(metrics.height())));
}

void CNetView::initialUpdate() {
  if (firstUpdate_) {
    firstUpdate_ = false;
    block_ = defaultNetBlock();
  }
  CTermView::initialUpdate();
  linksStale_ = true;
  captions_ = sideCaptions();
  block_.nodeWidth = std::max<int16_t>(1, block_.nodeWidth);
  measureLabels(&block_);
  const auto stale = [&](std::vector<int32_t>& list, bool activity) {
    list.erase(std::remove_if(list.begin(), list.end(),
                              [&](int32_t slot) {
                                ActRecord a;
                                RelRecord r;
                                return activity ? !readActivity(slot, &a) : !readRelation(slot, &r);
                              }),
               list.end());
  };
  stale(selActs_, true);
  stale(selRels_, false);
}

void CNetView::onUpdate(int hintCode, qintptr extra) {
  linksStale_ = true;  // any hint may follow a change of paths, rows or dates
  switch (hintCode) {
    case hint::kRepaint:
      // Paths may have grown with an edit elsewhere.
      if (bodyRowCount() != scale().settings().rowCount) setScaleSettings(storedSettings());
      viewport()->update();
      break;
    case hint::kDatesChanged:
      measureLabels(&block_);
      viewport()->update();
      break;
    case hint::kRefresh:
      initialUpdate();
      break;
    default:
      CTermView::onUpdate(hintCode, extra);
  }
}

bool CNetView::readActivity(int32_t slot, ActRecord* a) const {
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen() || slot < 0) return false;
  TableHandle& t = doc->db().act.tb;
  recordBuf_.resize(std::max<size_t>(t.recordSize, sizeof *a));
  const int32_t kept = t.current;
  t.current = slot;
  const bool ok = xGetRec(&t, recordBuf_.data()) != 0;
  t.current = kept;
  if (ok) std::memcpy(a, recordBuf_.data(), sizeof *a);
  return ok;
}

bool CNetView::readRelation(int32_t slot, RelRecord* r) const {
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen() || slot < 0) return false;
  TableHandle& t = doc->db().rel.tb;
  recordBuf_.resize(std::max<size_t>(t.recordSize, sizeof *r));
  const int32_t kept = t.current;
  t.current = slot;
  const bool ok = xGetRec(&t, recordBuf_.data()) != 0;
  t.current = kept;
  if (ok) std::memcpy(r, recordBuf_.data(), sizeof *r);
  return ok;
}

// --- Path assignment and path edits ----------------------------------------

namespace {

ActivityInput inputOf(CPlanDoc& doc) {
  ActivityInput in;
  in.projectStart = doc.info().start;
  in.workTypeLevels = doc.classDef(kClassWorkType).levels;
  in.facilityLevels = doc.classDef(kClassFacility).levels;
  return in;
}

}  // namespace

void CNetView::storeAfterEdit() {
  CPlanDoc* doc = document();
  doc->setModified();
  setScaleSettings(storedSettings());
  doc->updateAllViews(viewsOfEdit(ViewKind::Activities) | viewsOfEdit(ViewKind::Relations),
                      hint::kRepaint);
}

int CNetView::assignPaths(const PathOptions& options) {
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen()) return 0;
  const NetworkRecords records = readNetwork(&doc->db());
  const PathAssignment assignment = kelvo::assignPaths(records.acts, records.rels, options);
  const int message = storePathChanges(&doc->db(), inputOf(*doc), changesOf(records, assignment));
  if (options.barLabels) {
    TimeScaleSettings s = storedSettings();
    s.flags =
        uint16_t((s.flags | netflag::kBarMode) & ~(netflag::kUpperLabels | netflag::kLowerLabels));
    setScaleSettings(s);
  }
  doc->undo().clear();
  storeAfterEdit();
  initialUpdate();
  if (message) showRefusal(this, message);
  return message;
}

void CNetView::moveObjectRows(int32_t firstRow, int32_t delta) {
  ObjectTable table(&document()->db().objects);
  for (bool front : {false, true}) {
    const ObjectTable::Range range = table.layer(layerCode(viewKind(), front));
    for (uint32_t i = range.first; i < range.end; ++i) {
      ObjectRecord r = table.at(i);
      // Continuation records of a text carry text where heads keep anchors.
      if (!shape::isHeadType(r.type) || r.anchor.row() < firstRow) continue;
      const int32_t row = std::clamp<int32_t>(r.anchor.row() + delta, 0, 0xFFFF);
      r.anchor = ViewPosition::time(r.anchor.date(), r.anchor.xRemainder(), uint16_t(row),
                                    r.anchor.yRemainder());
      table.put(i, r);
    }
  }
}

int CNetView::editPaths(int32_t position, int32_t count, bool insert, bool withObjects) {
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen() || count <= 0 || position < 1) return 0;
  const NetworkRecords records = readNetwork(&doc->db());
  PathAssignment now;
  for (const PathActivity& a : records.acts) {
    now.paths.push_back(a.path);
    now.flags.push_back(a.flags);
  }
  for (const PathRelation& r : records.rels) now.rows.push_back(r.row);
  const PathEditResult result = insert ? insertPaths(&now.paths, &now.rows, position, count)
                                       : deletePaths(&now.paths, &now.rows, position, count);
  if (result != PathEditResult::Done) {
    const int message = result == PathEditResult::RangeHoldsData ? kRangeHoldsData : -1;
    if (message > 0)
      showRefusal(this, message);
    else
      QApplication::beep();
    return message;
  }
  const int message = storePathChanges(&doc->db(), inputOf(*doc), changesOf(records, now));
  // Objects below the position move with the paths (path p is row p - 1);
  // those inside deleted rows stay where they are.
  if (withObjects)
    moveObjectRows(insert ? position - 1 : position - 1 + count, insert ? count : -count);
  TimeScaleSettings s = storedSettings();
  s.rowCount = insert ? s.rowCount + count
                      : std::max({s.rowCount - count, highestPath(&doc->db()), int32_t{1}});
  setScaleSettings(s);
  doc->undo().clear();
  storeAfterEdit();
  if (message) showRefusal(this, message);
  return message;
}

// --- Selection and hit tests -----------------------------------------------

bool CNetView::frameOf(int32_t slot, Frame* frame) const {
  ActRecord a;
  if (!readActivity(slot, &a) || a.path <= 0 || a.start == 0) return false;
  frame->left = scale().x(a.start);
  frame->right = std::max(frame->left, scale().x(a.anchor ? a.anchor : a.start));
  frame->centre = pathCentre(a.path, scale());
  return true;
}

int32_t CNetView::activityAt(int32_t x, int32_t y) const {
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen() || y > 0) return -1;
  const ProjectDb& db = doc->db();
  const int32_t half = block_.nodeWidth / 2;
  const int32_t path = pathAt(y, scale());
  const ActOrderEntry* from =
      std::lower_bound(orderBegin(db), orderEnd(db), path - 1,
                       [](const ActOrderEntry& e, int32_t p) { return e.path < p; });
  for (const ActOrderEntry* e = from; e != orderEnd(db) && e->path <= path + 1; ++e) {
    if (e->path <= 0 || e->start == 0) continue;
    const int32_t left = scale().x(e->start) - half;
    const int32_t right = std::max(scale().x(e->start), scale().x(e->anchor)) + half;
    const int32_t centre = pathCentre(e->path, scale());
    if (x >= left && x <= right && std::abs(y - centre) <= kFrameHalfHeight + half)
      return e->record;
  }
  return -1;
}

int32_t CNetView::relationAt(int32_t x, int32_t y) const {
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen()) return -1;
  const MemTable& links = doc->db().relAnchor;
  const auto* e = reinterpret_cast<const RelAnchorEntry*>(links.data);
  const LogicalRect& c = clientRect();
  for (uint32_t i = 0; e && i < links.count; ++i) {
    const NetLink link{e[i].predPath, e[i].succPath, e[i].row, e[i].predAnchor, e[i].succAnchor};
    const NetRoute route =
        routeRelation(link, scale(), edge(), std::min(c.left, x), std::max(c.top, y),
                      std::max(c.right, x), std::min(c.bottom, y));
    if (route.count && distanceToRoute(route, x, y) <= kRelationHitDistance) return e[i].record;
  }
  return -1;
}

void CNetView::clearSelection() {
  selActs_.clear();
  selRels_.clear();
  viewport()->update();
}

void CNetView::showActivity(int32_t slot) {
  Frame f;
  if (!frameOf(slot, &f)) return;
  selActs_.assign(1, slot);
  selRels_.clear();
  viewState().editTool = tool::kDataSelect;
  const LogicalRect& c = clientRect();
  const int32_t rh = scale().settings().rowHeight;
  const int32_t row = pathAt(f.centre, scale()) - 1;
  const int32_t rows = std::max<int32_t>(1, (c.top - c.bottom - stripHeight()) / rh);
  int32_t top = topRow();
  if (row < top || row >= top + rows) top = std::max<int32_t>(0, row - rows / 2);
  int32_t x = scrollPosition();
  if (f.left < x || f.right > x + c.width()) x = std::max<int32_t>(0, f.left - c.width() / 4);
  scrollTo(x, top);
  viewport()->update();
}

void CNetView::selectInBand(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen()) return;
  const int32_t l = std::min(x0, x1), r = std::max(x0, x1);
  const int32_t b = std::min(y0, y1), t = std::max(y0, y1);
  const auto inside = [&](int32_t x, int32_t y) { return x >= l && x <= r && y >= b && y <= t; };
  selActs_.clear();
  selRels_.clear();
  const ProjectDb& db = doc->db();
  for (const ActOrderEntry* e = orderBegin(db); e != orderEnd(db); ++e)
    if (e->path > 0 && e->start != 0 && inside(scale().x(e->start), pathCentre(e->path, scale())))
      selActs_.push_back(e->record);
  if (optionFlags() & kActivitiesFirst) return;
  const auto* e = reinterpret_cast<const RelAnchorEntry*>(db.relAnchor.data);
  for (uint32_t i = 0; e && i < db.relAnchor.count; ++i) {
    if (e[i].predPath <= 0 || e[i].succPath <= 0) continue;
    const int32_t y = pathCentre(e[i].row > 0 ? e[i].row : e[i].predPath, scale());
    if (inside(scale().x(e[i].predAnchor), y) && inside(scale().x(e[i].succAnchor), y))
      selRels_.push_back(e[i].record);
  }
}

int32_t CNetView::moveSelection(int32_t delta) {
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen() || delta == 0) return 0;
  PathChanges change;
  for (int32_t slot : selActs_) {
    ActRecord a;
    if (!readActivity(slot, &a)) continue;
    change.actSlots.push_back(slot);
    change.paths.push_back(a.path);
  }
  for (int32_t slot : selRels_) {
    RelRecord r;
    // A row of 0 or less follows its predecessor's path and stays.
    if (!readRelation(slot, &r) || r.row <= 0) continue;
    change.relSlots.push_back(slot);
    change.rows.push_back(r.row);
  }
  delta = clampPathMove(change.paths, change.rows, delta);
  if (delta == 0) return 0;
  const PathChanges old = change;
  for (int16_t& p : change.paths) p = int16_t(p + delta);
  for (int16_t& r : change.rows) r = int16_t(r + delta);
  ProjectDb* db = &doc->db();
  const ActivityInput input = inputOf(*doc);
  if (const int message = storePathChanges(db, input, change)) {
    showRefusal(this, message);
    return 0;
  }
  // One undo step swaps the kept values with the stored ones.
  auto kept = std::make_shared<PathChanges>(old);
  CPlanDoc* d = doc;
  doc->undo().keep(this, [d, db, input, kept] {
    if (!d->isOpen() || &d->db() != db) return false;
    PathChanges now = currentValues(db, *kept);
    if (storePathChanges(db, input, *kept) != 0) return false;
    *kept = std::move(now);
    d->setModified();
    d->updateAllViews(viewsOfEdit(ViewKind::Activities) | viewsOfEdit(ViewKind::Relations),
                      hint::kRepaint);
    return true;
  });
  storeAfterEdit();
  return delta;
}

// --- Commands --------------------------------------------------------------

bool CNetView::onCommand(int id) {
  CPlanDoc* doc = document();
  if (id == kRefresh && doc && doc->isOpen()) {
    xRebuildIndexes(&doc->db());
    initialUpdate();
    return true;
  }
  if (id == cmd::kEditUndo && doc && doc->undo().canUndo(this)) {
    doc->undo().undo(this);
    setScaleSettings(storedSettings());
    return true;
  }
  if ((id == kAssignPaths || id == kEditPaths) && doc && doc->isOpen()) {
    if (id == kAssignPaths && dialogs().pathOptions && dialogs().pathOptions(this, &pathOptions_))
      assignPaths(pathOptions_);
    if (id == kEditPaths && dialogs().pathEdit && dialogs().pathEdit(this, &pathEdit_))
      editPaths(pathEdit_.position, pathEdit_.count, pathEdit_.insert, pathEdit_.withObjects);
    return true;
  }
  if ((id == kFindCode || id == kFindSpecial) && doc && doc->isOpen()) {
    findCommand(id);
    return true;
  }
  if (id == cmd::kOptions && doc && doc->isOpen()) {
    optionsCommand();
    return true;
  }
  if (id == kEditData) {
    if (!selActs_.empty() && dialogs().editActivity && doc)
      dialogs().editActivity(this, *doc, selActs_.front());
    else if (!selRels_.empty() && dialogs().editRelation && doc)
      dialogs().editRelation(this, *doc, selRels_.front());
    viewport()->update();
    return true;
  }
  return CTermView::onCommand(id);
}

void CNetView::findCommand(int command) {
  int32_t slot = -1;
  bool relation = false;
  if (!dialogs().find || !dialogs().find(this, *document(), command, &slot, &relation)) return;
  if (slot < 0) {
    showRefusal(this, kNotFound);
    return;
  }
  if (!relation) {
    showActivity(slot);
    return;
  }
  selActs_.clear();
  selRels_.assign(1, slot);
  viewState().editTool = tool::kDataSelect;
  viewport()->update();
}

bool CNetView::updateCommand(int id, CommandState& state) {
  if (id == kAssignPaths || id == kEditPaths || id == kFindCode || id == kFindSpecial) {
    state.enabled = document() && document()->isOpen();
    return true;
  }
  if (id == kRefresh || id == cmd::kOptions) {
    state.enabled = document() && document()->isOpen();
    return true;
  }
  if (id == cmd::kEditUndo && document() && document()->undo().canUndo(this)) {
    state.enabled = true;
    return true;
  }
  if (id == kEditData) {
    state.enabled = !selActs_.empty() || !selRels_.empty();
    return true;
  }
  return CTermView::updateCommand(id, state);
}

// --- Mouse edits -----------------------------------------------------------

void CNetView::dataToolPress(int32_t x, int32_t y, Qt::KeyboardModifiers) {
  drag_ = Drag::None;
  pressX_ = dragX_ = x;
  pressY_ = dragY_ = y;
  if (y > 0) return;
  const int32_t act = activityAt(x, y);
  if (viewState().editTool == tool::kDataInput) {
    if (act >= 0) {
      drag_ = Drag::Connect;
      pressSlot_ = act;
    }
    return;
  }
  const int32_t rel = act < 0 ? relationAt(x, y) : -1;
  if (act >= 0) {
    if (!contains(selActs_, act)) selActs_.assign(1, act), selRels_.clear();
    drag_ = Drag::Move;
  } else if (rel >= 0) {
    if (!contains(selRels_, rel)) selRels_.assign(1, rel), selActs_.clear();
    drag_ = Drag::Move;
  } else {
    selActs_.clear();
    selRels_.clear();
    drag_ = Drag::Band;
  }
  viewport()->update();
}

void CNetView::dataToolDrag(int32_t x, int32_t y) {
  if (drag_ == Drag::None) return;
  dragX_ = x;
  dragY_ = y;
  viewport()->update();
}

void CNetView::dataToolRelease(int32_t x, int32_t y) {
  const Drag drag = drag_;
  drag_ = Drag::None;
  viewport()->update();
  if (drag == Drag::Band) {
    selectInBand(pressX_, pressY_, x, y);
  } else if (drag == Drag::Move) {
    // Down the screen is up the path numbers; only whole rows count.
    const int32_t rows = (pressY_ - y) / scale().settings().rowHeight;
    moveSelection(rows);
  } else if (drag == Drag::Connect) {
    const int32_t to = activityAt(x, y);
    if (to >= 0 && to != pressSlot_) connect(pressSlot_, to);
  }
}

void CNetView::dataToolCancel() {
  drag_ = Drag::None;
  viewport()->update();
}

void CNetView::connect(int32_t fromSlot, int32_t toSlot) {
  ActRecord p, s;
  CPlanDoc* doc = document();
  if (!doc || !readActivity(fromSlot, &p) || !readActivity(toSlot, &s)) return;
  const int16_t row = p.path > 0 && s.path > 0 ? int16_t((p.path + s.path) / 2) : 0;
  const QByteArray pred(p.code, int(strnlen(p.code, sizeof p.code)));
  const QByteArray succ(s.code, int(strnlen(s.code, sizeof s.code)));
  bool stored = false;
  if (dialogs().connect) {
    stored = dialogs().connect(this, *doc, pred, succ, row);
  } else {
    QByteArray rel(std::max<int>(doc->db().rel.tb.recordSize, sizeof(RelRecord)), '\0');
    RelRecord r{};
    std::memcpy(r.pred, p.code, sizeof r.pred);
    std::memcpy(r.succ, s.code, sizeof r.succ);
    r.row = row;
    std::memcpy(rel.data(), &r, sizeof r);
    stored = bool(doc->inputRecord(ViewKind::Relations, -1, rel.data(), -1, EditReport::Show));
  }
  if (stored) viewport()->update();
}

void CNetView::dataDoubleClick(int32_t x, int32_t y) {
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen() || y > 0) return;
  const int32_t act = activityAt(x, y);
  bool stored = false;
  if (act >= 0 && dialogs().editActivity) {
    stored = dialogs().editActivity(this, *doc, act);
  } else if (act < 0 && dialogs().editRelation) {
    const int32_t rel = relationAt(x, y);
    if (rel >= 0) stored = dialogs().editRelation(this, *doc, rel);
  }
  if (stored) setScaleSettings(storedSettings());
}

}  // namespace kelvo
