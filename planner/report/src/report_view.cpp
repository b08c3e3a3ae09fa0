#include "kelvo/report_view.h"

#include <QPainter>
#include <QPrinterInfo>
#include <algorithm>
#include <cmath>

#include "kelvo/object_layer.h"
#include "kelvo/object_paint.h"
#include "kelvo/plan_doc.h"
#include "kelvo/summary_registry.h"
#include "report_dialogs.h"
#include "report_values.h"
#include "xJorDbm2.h"
#include "xQdDb100.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo {
namespace {

const char* const kBandCaptions[band::kCount] = {
    "머리글",    "본문-공통",     "본문-공종분류", "본문-시설분류",   "본문-기타분류",
    "본문-작업", "본문-자원분류", "본문-자원",     "본문-세부작업조", "바닥글"};

const char* const kSystemItems[sysitem::kCount] = {
    "오늘 날짜", "페이지 번호", "프로젝트 코드", "프로젝트 명",    "발주처",
    "화폐 단위", "착공일",      "준공일",        "현 기간 시작일", "현 기간 종료일",
    "현 기준일", "비고",        "현장 대리인"};

constexpr int kCmdRefresh = 40022;

// Size of a new item made by a click (no drag).
constexpr int16_t kClickWidth = 400, kClickHeight = -50;

ReportSettings printerDefaults() {
  const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
  if (printer.isNull()) return defaultReportSettings(0, 0);
  const QSizeF mm = printer.defaultPageSize().size(QPageSize::Millimeter);
  return defaultReportSettings(int32_t(std::lround(mm.width() * 10)),
                               int32_t(std::lround(mm.height() * 10)));
}

}  // namespace

QString bandCaption(int n) {
  return n >= 0 && n < band::kCount ? QString::fromUtf8(kBandCaptions[n]) : QString();
}

QString systemItemName(int n) {
  return n >= 0 && n < sysitem::kCount ? QString::fromUtf8(kSystemItems[n]) : QString();
}

QString designText(const ReportItem& item, const QStringList& summaryFields,
                   const QStringList& relatedFields) {
  const ReportTextHeader& h = item.header;
  const QString text = xjor::fromCp949(item.text.data(), int(item.text.size()));
  switch (h.source) {
    case source::kText:
      return text;
    case source::kFormula:
      return QStringLiteral("=") + text;
    case source::kSystem:
      return QStringLiteral("<%1>").arg(systemItemName(h.systemItem));
    default:
      if (h.source == source::kSummaryField && h.field >= 0 && h.field < summaryFields.size())
        return QStringLiteral("[%1]").arg(summaryFields[h.field]);
      if (h.source != source::kSummaryField && h.field >= 0 && h.field < relatedFields.size())
        return QStringLiteral("[%1]").arg(relatedFields[h.field]);
      return QStringLiteral("[#%1]").arg(h.field);
  }
}

CRepView::CRepView(CPlanDoc* doc, bool cover, QWidget* parent)
    : CBaseView(doc, parent), cover_(cover) {
  // A page being designed has no use for the long crosshair.
  setViewFlags(viewFlags() | viewflag::kNoCrosshair);
  settings_ = printerDefaults();
  initialUpdate();
}

ObjectTable CRepView::table() const {
  CPlanDoc* doc = document();
  return ObjectTable(doc && doc->isOpen() ? &doc->db().objects : nullptr);
}

void CRepView::initialUpdate() {
  CPlanDoc* doc = document();
  if (doc && doc->isOpen()) settings_ = readReportSettings(&doc->db().opt, printerDefaults());
  reopenRecords();
  CBaseView::initialUpdate();
}

void CRepView::reopenRecords() {
  records_.clear();
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen() || doc->openSummary() <= 0 || doc->db().summary.table.tb.handle < 0)
    return;
  ProjectDb& db = doc->db();
  std::string filter;
  const int32_t size = xOption(&db.opt, XOPT_SIZE, kReportFilterItem, nullptr, 0);
  if (size > 0) {
    filter.assign(size_t(size), '\0');
    if (xOption(&db.opt, XOPT_READ, kReportFilterItem, filter.data(), uint32_t(size)) == 0)
      filter.clear();
    filter.resize(strnlen(filter.c_str(), filter.size()));
  }
  MemTable set{};
  // An empty condition selects every record.
  if (xOpenRset(&db.summary.table, &set, filter.c_str(), nullptr)) {
    const auto* members = reinterpret_cast<const uint32_t*>(set.data);
    records_.assign(members, members + (set.data ? set.count : 0));
  }
  xmCloseTb(&set);
}

std::vector<ReportPage> CRepView::pages() const {
  std::vector<ReportRow> rows;
  CPlanDoc* doc = document();
  if (doc && doc->isOpen() && !records_.empty()) {
    ReportRecord record(&doc->db(), &doc->info(), resourceSummary());
    for (uint32_t slot : records_) {
      const bool ok = record.read(slot);
      rows.push_back({ok ? record.kind() : int16_t(-1), ok ? record.level() : int16_t(0)});
    }
  }
  return assignReportPages(rows, settings_);
}

bool CRepView::resourceSummary() const {
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen() || doc->openSummary() <= 0) return false;
  const auto reg = readSummaryRegistration(&doc->db(), doc->openSummary());
  return reg && (reg->flags & kSummaryOfResources);
}

void CRepView::setSettings(const ReportSettings& settings) {
  settings_ = settings;
  viewport()->update();
}

void CRepView::showCover(bool cover) {
  if (cover == cover_) return;
  objects().cancel();
  cover_ = cover;
  viewport()->update();
}

void CRepView::storeSettings() {
  CPlanDoc* doc = document();
  if (doc && doc->isOpen()) writeReportSettings(&doc->db().opt, settings_);
}

void CRepView::onUpdate(int hint, qintptr extra) {
  switch (hint) {
    case hint::kSummaryRebuilt:
      reopenRecords();
      viewport()->update();
      return;
    case hint::kRefresh:
      viewport()->update();
      return;
    case kReportSectionHint:
      showCover(extra == 1);
      return;
    default:
      CBaseView::onUpdate(hint, extra);
  }
}

// --- Design geometry ---

int32_t CRepView::designBandTop(int b) const {
  int32_t top = settings_.marginTop;
  for (int k = 0; k < std::clamp(b, 0, band::kCount); ++k) top += settings_.bandHeight[k];
  return -top;
}

void CRepView::itemPoint(int32_t x, int16_t b, int16_t y, int32_t* px, int32_t* py) const {
  *px = kBandStrip + settings_.marginLeft + x;
  *py = (cover_ ? -int32_t(settings_.marginTop) : designBandTop(b)) + y;
}

ViewPosition CRepView::pointToPosition(int32_t x, int32_t y) const {
  const int32_t rx = x - kBandStrip - settings_.marginLeft;
  if (cover_) return reportAnchor(rx, 0, int16_t(std::clamp(y + settings_.marginTop, -32767, 0)));
  // The band under the point; above the header the header, below the
  // footer the footer. Bands of no height take nothing.
  int b = band::kHeader;
  for (int k = 0; k < band::kCount; ++k) {
    if (settings_.bandHeight[k] == 0) continue;
    b = k;
    if (y > designBandTop(k) - settings_.bandHeight[k]) break;
  }
  const int32_t within = std::clamp(y - designBandTop(b), -int32_t(settings_.bandHeight[b]), 0);
  return reportAnchor(rx, int16_t(b), int16_t(within));
}

void CRepView::positionToPoint(const ViewPosition& p, int32_t* x, int32_t* y) const {
  itemPoint(p.x, anchorBand(p), anchorY(p), x, y);
}

// --- Design view ---

QStringList CRepView::summaryFieldNames() const {
  QStringList names;
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen() || doc->db().summary.table.tb.handle < 0) return names;
  const TableHandle& tb = doc->db().summary.table.tb;
  for (int i = 0; i < tb.fieldCount; ++i)
    names << xjor::fromCp949(tb.fields[i].name, int(strnlen(tb.fields[i].name, 32)));
  return names;
}

QStringList CRepView::relatedFieldNames(int band) const {
  QStringList names;
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen()) return names;
  ProjectDb& db = doc->db();
  const bool resource = resourceSummary();
  const TableBinding* related = band == 2               ? &db.wbs
                                : band == 3             ? &db.obs
                                : band == 5             ? &db.act
                                : band == 7 && resource ? &db.res
                                : band == 8 && resource ? &db.opr
                                                        : nullptr;
  if (!related) return names;
  const TableHandle& tb = related->tb;
  for (int i = 0; tb.fields && i < tb.fieldCount; ++i)
    names << xjor::fromCp949(tb.fields[i].name, int(strnlen(tb.fields[i].name, 32)));
  return names;
}

void CRepView::drawContent(QPainter& painter, const UnitMapper& mapper, const LogicalRect& visible,
                           bool printing) {
  if (printing) return;  // paper goes through printPage
  const int32_t left = kBandStrip, right = kBandStrip + settings_.paperWidth;
  const int32_t bottom = -int32_t(settings_.paperHeight);
  painter.fillRect(mapper.toDevice(visible), QColor(0xC0, 0xC0, 0xC0));
  painter.fillRect(mapper.toDevice(LogicalRect{left, 0, right, bottom}), Qt::white);
  painter.setPen(QPen(Qt::black, 0));
  painter.drawRect(mapper.toDevice(LogicalRect{left, 0, right, bottom}));
  const LogicalRect printable{left + settings_.marginLeft, -int32_t(settings_.marginTop),
                              right - settings_.marginRight, bottom + settings_.marginBottom};
  painter.setPen(QPen(QColor(0x80, 0x80, 0x80), 0, Qt::DashLine));
  painter.drawRect(mapper.toDevice(printable));
  QFont captionFont = xjor::fontFromLogFont(currentStyle().textFont);
  captionFont.setPixelSize(std::max(1, int(mapper.pixelsY(30))));
  painter.setFont(captionFont);
  if (cover_) {
    painter.setPen(Qt::black);
    painter.drawText(mapper.toDevice(LogicalRect{0, printable.top, kBandStrip, printable.top - 60}),
                     Qt::AlignLeft | Qt::AlignTop, QStringLiteral("겉표지"));
  } else {
    for (int k = 0; k < band::kCount; ++k) {
      const int32_t top = designBandTop(k), h = settings_.bandHeight[k];
      painter.setPen(QPen(QColor(0xA0, 0xA0, 0xA0), 0));
      painter.drawLine(mapper.toDevice(left, top), mapper.toDevice(right, top));
      if (h == 0) continue;
      painter.setPen(Qt::black);
      painter.drawText(mapper.toDevice(LogicalRect{4, top, kBandStrip - 4, top - std::max(h, 40)}),
                       Qt::AlignLeft | Qt::AlignTop, bandCaption(k));
    }
    const int32_t last = designBandTop(band::kCount);
    painter.setPen(QPen(QColor(0xA0, 0xA0, 0xA0), 0));
    painter.drawLine(mapper.toDevice(left, last), mapper.toDevice(right, last));
  }
  const QStringList fields = summaryFieldNames();
  PictureSource pictures;
  pictures.path = [this](const std::string& name) { return objects().picturePath(name); };
  for (const ReportItem& item : reportItems(table(), cover_ ? kSectionCover : kSectionBody)) {
    int32_t x = 0, y = 0;
    itemPoint(item.x, item.band, item.y, &x, &y);
    if (!item.isText()) {
      paintObject(painter, mapper, table().copy(item.record), x, y, visible, pictures);
      continue;
    }
    const QByteArray shown = xjor::toCp949(designText(item, fields, relatedFieldNames(item.band)));
    const ObjectRecords records = makeTextObject(
        item.head.anchor, item.head.width, item.head.height, item.head.lineColor,
        item.head.lineStyle, item.font, std::string(shown.constData(), size_t(shown.size())));
    paintObject(painter, mapper, records, x, y, visible, pictures);
  }
}

// --- Items ---

bool CRepView::editTextObject(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int64_t replace) {
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen()) return true;
  ReportTextInput input;
  input.font = currentStyle().textFont;
  input.alignment = int16_t(optionFlags() & 0x3);
  ReportItem old;
  const bool editing = replace >= 0 && readReportItem(table(), uint32_t(replace), &old);
  if (replace >= 0 && !editing) return true;
  if (editing) {
    input.font = old.font;
    input.alignment = old.head.lineStyle;
    input.decimals = old.header.decimals;
    input.condition = xjor::fromCp949(old.condition.data(), int(old.condition.size()));
    const QString text = xjor::fromCp949(old.text.data(), int(old.text.size()));
    switch (old.header.source) {
      case source::kText:
        input.text = text;
        break;
      case source::kFormula:
        input.formula = text;
        break;
      case source::kSystem:
        input.item = old.header.systemItem;
        break;
      case source::kSummaryField:
        input.item = kReportFieldChoice + old.header.field;
        break;
      default:
        input.item = kReportRelatedChoice + old.header.field;
    }
  }
  // The band the item lies in decides its related record.
  const ViewPosition at = editing ? old.head.anchor : pointToPosition(x0, y0);
  input.relatedFields = relatedFieldNames(anchorBand(at));
  if (!runReportTextDialog(this, summaryFieldNames(), &input)) return true;
  ReportTextHeader h;
  h.decimals = int8_t(std::clamp(input.decimals, 0, 10));
  QString text;
  if (input.item >= kReportRelatedChoice) {
    h.source = source::kRelatedField;
    h.field = int16_t(input.item - kReportRelatedChoice);
  } else if (input.item >= kReportFieldChoice) {
    h.source = source::kSummaryField;
    h.field = int16_t(input.item - kReportFieldChoice);
  } else if (input.item >= 0) {
    h.source = source::kSystem;
    h.systemItem = uint8_t(input.item);
  } else if (!input.formula.trimmed().isEmpty()) {
    h.source = source::kFormula;
    text = input.formula;
  } else {
    h.source = source::kText;
    text = input.text;
  }
  ViewPosition anchor = old.head.anchor;
  int16_t width = old.head.width, height = old.head.height;
  COLORREF colour = editing ? old.head.lineColor : currentStyle().textColor;
  if (!editing) {
    anchor = pointToPosition(x0, y0);
    width = int16_t(std::clamp(x1 - x0, -32767, 32767));
    height = int16_t(std::clamp(y1 - y0, -32767, 32767));
    if (width == 0 || height == 0) width = kClickWidth, height = kClickHeight;
  }
  const QByteArray t = xjor::toCp949(text), c = xjor::toCp949(input.condition.trimmed());
  const ObjectRecords records = makeReportText(
      anchor, width, height, colour, input.alignment, input.font, h,
      std::string(t.constData(), size_t(t.size())), std::string(c.constData(), size_t(c.size())));
  currentStyle().textFont = input.font;
  objects().putObject(records, replace);
  return true;
}

// --- Commands ---

void CRepView::keepSettingsUndo() {
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen()) return;
  doc->undo().keep(this, [this, doc, kept = settings_,
                          objects = ObjectTable(&doc->db().objects).snapshot()]() mutable {
    if (!doc->isOpen()) return false;
    ObjectTable live(&doc->db().objects);
    std::vector<uint8_t> now = live.snapshot();
    if (!live.restore(objects)) return false;
    objects = std::move(now);
    std::swap(kept, settings_);
    this->objects().clearSelection();
    doc->setModified();
    viewport()->update();
    return true;
  });
}

bool CRepView::resizeReport(const ReportPaper& next) {
  const ReportSettings& s = settings_;
  const double oldW = double(s.paperWidth) - s.marginLeft - s.marginRight;
  const double oldH = double(s.paperHeight) - s.marginTop - s.marginBottom;
  const double newW = double(next.width) - next.left - next.right;
  const double newH = double(next.height) - next.top - next.bottom;
  if (oldW <= 0 || oldH <= 0 || newW <= 0 || newH <= 0 || next.width > 0xFFFF ||
      next.height > 0xFFFF)
    return false;
  const double fx = newW / oldW, fy = newH / oldH;
  keepSettingsUndo();
  ReportSettings n = s;
  n.paperWidth = uint16_t(next.width);
  n.paperHeight = uint16_t(next.height);
  n.marginTop = uint16_t(std::clamp(next.top, 0, 0xFFFF));
  n.marginBottom = uint16_t(std::clamp(next.bottom, 0, 0xFFFF));
  n.marginLeft = uint16_t(std::clamp(next.left, 0, 0xFFFF));
  n.marginRight = uint16_t(std::clamp(next.right, 0, 0xFFFF));
  for (uint16_t& h : n.bandHeight) h = uint16_t(std::clamp<long>(std::lround(h * fy), 0, 0xFFFF));
  // Items keep their place on the page in proportion; texts scale their
  // fonts with the smaller factor so that they stay inside their boxes.
  ObjectTable t = table();
  const auto scale16 = [](int v, double f) {
    return int16_t(std::clamp<long>(std::lround(v * f), -32767, 32767));
  };
  for (uint8_t section : {kSectionBody, kSectionCover}) {
    for (const ReportItem& item : reportItems(t, section)) {
      ObjectRecord head = t.at(item.record);
      head.anchor = reportAnchor(int32_t(std::lround(item.x * fx)), item.band, scale16(item.y, fy));
      head.width = scale16(head.width, fx);
      head.height = scale16(head.height, fy);
      t.put(item.record, head);
      if (!item.isText()) continue;
      LOGFONT font = item.font;
      font.lfHeight = int32_t(std::lround(font.lfHeight * std::min(fx, fy)));
      std::string payload(reinterpret_cast<const char*>(&item.header), sizeof item.header);
      payload += item.text + item.condition;
      ObjectRecords records = makeTextObject(head.anchor, head.width, head.height, head.lineColor,
                                             head.lineStyle, font, payload);
      t.take(item.record);
      t.insert(item.record, records, head.layer);
    }
  }
  settings_ = n;
  objects().clearSelection();
  if (CPlanDoc* doc = document()) doc->setModified();
  viewport()->update();
  return true;
}

bool CRepView::onCommand(int id) {
  switch (id) {
    case kCmdRefresh:
      initialUpdate();
      return true;
    case cmd::kFitToPaper: {
      const ReportPaper now{settings_.paperWidth,   settings_.paperHeight, settings_.marginTop,
                            settings_.marginBottom, settings_.marginLeft,  settings_.marginRight};
      ReportPaper next = now;
      if (runReportPaperDialog(this, now, &next)) resizeReport(next);
      return true;
    }
    case cmd::kOptions: {
      ReportSettings s = settings_;
      if (runReportOptionsDialog(this, &s) && !(s == settings_)) {
        keepSettingsUndo();
        settings_ = s;
        if (CPlanDoc* doc = document()) doc->setModified();
        viewport()->update();
      }
      return true;
    }
    default:
      return CBaseView::onCommand(id);
  }
}

bool CRepView::updateCommand(int id, CommandState& state) {
  if (id == kCmdRefresh || id == cmd::kFitToPaper || id == cmd::kOptions) {
    state.enabled = document() && document()->isOpen();
    return true;
  }
  return CBaseView::updateCommand(id, state);
}

}  // namespace kelvo
