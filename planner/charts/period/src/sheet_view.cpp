#include "kelvo/sheet_view.h"

#include <QPainter>
#include <algorithm>
#include <cstring>

#include "kelvo/commands.h"
#include "kelvo/opt_chart_page.h"
#include "kelvo/opt_sheet_page.h"
#include "kelvo/opt_term_page.h"
#include "kelvo/option_slots.h"
#include "kelvo/plan_doc.h"
#include "kelvo/project_digits.h"
#include "kelvo/strings.h"
#include "kelvo/text_fields.h"
#include "xJorDbm2.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo {
namespace {

constexpr int32_t kTextGap = 10;     // values end this far left of their day
constexpr int32_t kTextRoom = 3000;  // room a value text may take to its left
constexpr int32_t kCellIndent = 10;
constexpr uint16_t kDefaultBaseWidth = 260;

// The record set's order and filter (option slot kind - 10, 126 bytes).
#pragma pack(push, 1)
struct RowSource {
  uint16_t order[13];
  char filter[100];
};
#pragma pack(pop)
static_assert(sizeof(RowSource) == 126, "the row source is 126 bytes");

ValueItem makeItem(int item, int series, int cumulative) {
  ValueItem v{};
  v.item = int16_t(item);
  v.series = int16_t(series);
  v.cumulative = int16_t(cumulative);
  return v;
}

QString cellText(const TableHandle& tb, int32_t ref, const char* record, int field) {
  char out[XF_VALUE_BUFFER];
  out[0] = 0;
  xGetValue(tb.fields, ref, out, record, field, -1);
  return xjor::fromCp949(out, int(strnlen(out, XF_VALUE_MAX)));
}

}  // namespace

QString valueItemCaption(const ValueItem& item) {
  static const char* const kItems[] = {"수량",     "계약금액",   "계약진도율",
                                       "실행금액", "실행진도율", "투입금액"};
  static const char* const kSeries[] = {"계획", "실적", "예상", "실적+예상"};
  if (item.item < 0 || item.item > 5 || item.series < 0 || item.series > 3) return {};
  return QStringLiteral("%1 %2 %3")
      .arg(QString::fromUtf8(kItems[item.item]), QString::fromUtf8(kSeries[item.series]),
           QString::fromUtf8(item.cumulative ? "누계" : "당기"));
}

QString valueItemTitle(const ValueItem& item) {
  const QString own = fieldText(item.title, sizeof item.title);
  return own.isEmpty() ? valueItemCaption(item) : own;
}

CSheetView::CSheetView(CPlanDoc* doc, QWidget* parent) : CTermView(doc, parent) {}

TimeScaleSettings CSheetView::defaultSettings() const {
  TimeScaleSettings s = CTermView::defaultSettings();
  s.flags |= scaleflag::kRowLines;
  return s;
}

void CSheetView::followSummaryKind() {
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen() || doc->openSummary() <= 0) return;
  const ViewKind kind =
      summaryIsResources(&doc->db()) ? ViewKind::PeriodResourceSheet : ViewKind::PeriodSheet;
  if (kind == viewKind()) return;
  // The old kind keeps its settings; the new kind reads its own.
  storeSettings();
  setViewKind(kind);
  forgetSettings();
  block_ = PeriodSheetBlock{};
  dataRead_ = false;
}

void CSheetView::openData() {
  rows_.close();
  cachedRecord_ = -1;
  CPlanDoc* doc = document();
  const bool open = doc && doc->isOpen() && doc->openSummary() > 0;
  resource_ = open && summaryIsResources(&doc->db());
  TableBinding* table = open ? sheetTable(&doc->db(), ViewKind::Summary) : nullptr;
  if (!dataRead_) {
    dataRead_ = true;
    items_.clear();
    columns_.clear();
    if (block_.itemCount == 0 && block_.baseWidth == 0) block_.baseWidth = kDefaultBaseWidth;
    OptionFileRef* opt = doc && doc->isOpen() ? &doc->db().opt : nullptr;
    const int itemRecord = kindItem(KindRecord::ValueItems, viewKind());
    const int count = std::min<int>(block_.itemCount, kMaxValueItems);
    if (opt && count > 0 &&
        xOption(opt, XOPT_SIZE, itemRecord, nullptr, 0) >= int32_t(count * sizeof(ValueItem))) {
      items_.resize(size_t(count));
      if (xOption(opt, XOPT_READ, itemRecord, items_.data(), count * sizeof(ValueItem)) != 1)
        items_.clear();
    }
    if (items_.empty()) items_ = {makeItem(0, kSeriesPlan, 0), makeItem(0, kSeriesActual, 0)};
    if (opt && table)
      columns_ = readColumns(opt, viewKind(), block_.columnCount, table->tb.fieldCount);
    if (columns_.empty() && table) {
      // The name is what tells the rows apart.
      const int nameAt = resource_ ? kResRowNameAt : kActRowNameAt;
      int name = 0;
      for (int i = 0; i < table->tb.fieldCount; ++i)
        if (table->tb.fields[i].offset == nameAt) name = i;
      ColumnRecord c{};
      c.field = int16_t(name);
      c.width = 500;
      c.align = kAlignLeft;
      if (table->tb.fieldCount > 0) columns_.push_back(c);
    }
  }
  if (table) {
    RowSource source{};
    OptionFileRef* opt = &doc->db().opt;
    const int item = kindItem(KindRecord::RowSource, viewKind());
    const bool stored = xOption(opt, XOPT_SIZE, item, nullptr, 0) == int32_t(sizeof source) &&
                        xOption(opt, XOPT_READ, item, &source, sizeof source) == 1;
    source.filter[sizeof source.filter - 1] = 0;
    rows_.open(table, stored ? source.filter : "", stored ? source.order : nullptr);
  }
  int32_t width = block_.baseWidth;
  for (const ColumnRecord& c : columns_) width += std::max<int16_t>(0, c.width);
  TimeScaleSettings s = storedSettings();
  s.leftTableWidth = int16_t(std::min<int32_t>(width, 32767));
  setScaleSettings(s);
}

void CSheetView::scaleOwnWidths(double factor) {
  const auto scaled = [factor](int32_t width) {
    return std::clamp<int32_t>(int32_t(width * factor), 0, 32767);
  };
  block_.baseWidth = uint16_t(scaled(block_.baseWidth));
  for (ColumnRecord& c : columns_)
    if (c.width > 0) c.width = int16_t(scaled(c.width));
}

QString CSheetView::stripTitle() const {
  return fieldText(block_.title, sizeof block_.title);
}

QString CSheetView::rowNumberText(int32_t row) const {
  const int32_t items = int32_t(items_.size());
  if (items == 0 || row % items != 0) return {};
  return QString::number(row / items + 1);
}

void CSheetView::setItems(std::vector<ValueItem> items) {
  items_ = std::move(items);
  setScaleSettings(storedSettings());
  viewport()->update();
}

int32_t CSheetView::bodyRowCount() const {
  if (items_.empty()) return 0;
  const int64_t rows = int64_t{rows_.count()} * int64_t(items_.size());
  return int32_t(std::min<int64_t>(rows, INT32_MAX / 2));
}

void CSheetView::initialUpdate() {
  if (topRow() < 0) {
    // First time: the settings (with the sheet block) are read first.
    CTermView::initialUpdate();
  }
  openData();
  CTermView::initialUpdate();
}

int CSheetView::formatFieldCount() const {
  CPlanDoc* doc = document();
  const bool open = doc && doc->isOpen() && doc->openSummary() > 0;
  TableBinding* t = open ? sheetTable(&doc->db(), ViewKind::Summary) : nullptr;
  return t ? t->tb.fieldCount : -1;
}

void CSheetView::storeSettings() {
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen() || !dataRead_) return;
  block_.itemCount = uint16_t(items_.size());
  block_.columnCount = uint16_t(columns_.size());
  CTermView::storeSettings();
  OptionFileRef* opt = &doc->db().opt;
  xOption(opt, XOPT_WRITE, kindItem(KindRecord::ValueItems, viewKind()), items_.data(),
          uint32_t(items_.size() * sizeof(ValueItem)));
  writeColumns(opt, viewKind(), columns_);
}

void CSheetView::onUpdate(int hintCode, qintptr extra) {
  switch (hintCode) {
    case hint::kSummaryRebuilt:
      followSummaryKind();
      initialUpdate();
      break;
    case hint::kRefresh:
      initialUpdate();
      break;
    case hint::kSettingsRewritten:
      // A loaded layout: the sheet block, columns and items are read again.
      block_ = PeriodSheetBlock{};
      dataRead_ = false;
      CTermView::onUpdate(hintCode, extra);
      break;
    default:
      CTermView::onUpdate(hintCode, extra);
  }
}

bool CSheetView::onCommand(int id) {
  if (id == cmd::kRefresh) {
    initialUpdate();
    return true;
  }
  if (id == cmd::kOptions) {
    optionsCommand();
    return true;
  }
  return CTermView::onCommand(id);
}

bool CSheetView::updateCommand(int id, CommandState& state) {
  if (id == cmd::kOptions) {
    state.enabled = true;
    return true;
  }
  return CTermView::updateCommand(id, state);
}

void CSheetView::optionsCommand() {
  TimeScaleSettings settings = storedSettings();
  PeriodSheetBlock block = block_;
  std::vector<ValueItem> items = items_;
  BandOptions band(this);
  CPropertySheet sheet(loadString(kStrOptionsSheet), this);
  sheet.setPagesShareCopy(true);
  sheet.addPage(new COptTermPage(&settings));
  sheet.addPage(new COptSheetPage(&settings, &block, &items, resource_));
  sheet.addPage(band.makePage(&settings));
  if (sheet.exec() != QDialog::Accepted) return;
  band.commit();
  std::swap(block_, block);
  std::swap(items_, items);
  cachedRecord_ = -1;
  // Undo swaps the sheet's rows back together with its scale settings.
  commitScaleOptions(settings, [this, block, items]() mutable {
    std::swap(block_, block);
    std::swap(items_, items);
    cachedRecord_ = -1;
  });
}

const ValueItem* CSheetView::itemOf(int32_t row) const {
  if (items_.empty() || row < 0) return nullptr;
  return &items_[size_t(row) % items_.size()];
}

bool CSheetView::seriesOf(uint32_t row, RowSeries* series) const {
  if (int64_t(row) == cachedRecord_) {
    *series = cached_;
    return true;
  }
  const TableBinding* table = rows_.table();
  if (!table || !document()) return false;
  std::vector<uint8_t> record(size_t(table->tb.recordSize));
  if (!rows_.read(row, record.data())) return false;
  readSummaryRowSeries(&document()->db(), record.data(), resource_, &cached_);
  cachedRecord_ = row;
  *series = cached_;
  return true;
}

std::vector<PeriodValue> CSheetView::rowValues(int32_t row) const {
  const ValueItem* item = itemOf(row);
  RowSeries series;
  if (!item || !seriesOf(uint32_t(row / int32_t(items_.size())), &series)) return {};
  return periodValues(series, *item, resource_);
}

QString CSheetView::valueText(int32_t row, double value) const {
  const ValueItem* item = itemOf(row);
  if (!item || !document() || !document()->isOpen()) return {};
  const int decimals =
      periodDecimals(item->item, resource_, projectDigits(&document()->db(), document()->info()));
  char buf[64];
  xNumToStr(buf, value, 15, decimals, XJOR_NUM_COMMA);
  return QString::fromLatin1(buf).trimmed();
}

void CSheetView::drawBody(QPainter& painter, const UnitMapper& mapper, const LogicalRect& body,
                          int32_t firstRow, int32_t lastRow, bool) {
  const TimeScale& sc = scale();
  const TimeScaleSettings& s = sc.settings();
  const QPen grid(xjor::colorFromRef(s.gridColor), 0);
  const QPen text = painter.pen();
  const TableBinding* table = rows_.table();
  const int32_t ref = document() && document()->isOpen() ? document()->db().space.refHandle : -1;
  std::vector<char> record(table ? size_t(table->tb.recordSize) : 0);
  const int32_t timeLeft = sc.timeLeft();
  for (int32_t row = firstRow; row <= lastRow; ++row) {
    const int32_t top = sc.rowTop(row), bottom = sc.rowTop(row + 1);
    painter.setPen(grid);
    painter.drawLine(mapper.toDevice(std::max(body.left, 0), bottom),
                     mapper.toDevice(body.right, bottom));
    painter.setPen(text);
    const int32_t itemRow = row % int32_t(items_.size());
    // The left table: the record's fields on its first row, the item's
    // title on every row.
    if (body.left < timeLeft) {
      int32_t x = 0;
      if (itemRow == 0 && table &&
          rows_.read(uint32_t(row / int32_t(items_.size())), record.data())) {
        for (const ColumnRecord& c : columns_) {
          const Qt::Alignment align = c.align == kAlignRight    ? Qt::AlignRight
                                      : c.align == kAlignCentre ? Qt::AlignHCenter
                                                                : Qt::AlignLeft;
          painter.drawText(mapper.toDevice(x + kCellIndent, top, x + c.width - kCellIndent, bottom),
                           align | Qt::AlignVCenter,
                           cellText(table->tb, ref, record.data(), c.field));
          x += c.width;
        }
      } else {
        for (const ColumnRecord& c : columns_) x += c.width;
      }
      painter.drawText(mapper.toDevice(x + kCellIndent, top, timeLeft - kCellIndent, bottom),
                       Qt::AlignLeft | Qt::AlignVCenter, valueItemTitle(items_[size_t(itemRow)]));
      painter.setPen(grid);
      painter.drawLine(mapper.toDevice(timeLeft, top), mapper.toDevice(timeLeft, bottom));
      painter.setPen(text);
    }
    // The values, each ending just left of its day, from 10 units under
    // the row's top.
    painter.save();
    painter.setClipRect(mapper.toDevice(std::max(body.left, timeLeft), top, body.right, bottom),
                        Qt::IntersectClip);
    for (const PeriodValue& v : rowValues(row)) {
      const int32_t x = sc.x(v.day);
      if (x - kTextGap < body.left || x - kTextGap - kTextRoom > body.right) continue;
      painter.drawText(
          mapper.toDevice(x - kTextGap - kTextRoom, top - kTextGap, x - kTextGap, bottom),
          Qt::AlignRight | Qt::AlignTop, valueText(row, v.value));
    }
    painter.restore();
  }
}

}  // namespace kelvo
