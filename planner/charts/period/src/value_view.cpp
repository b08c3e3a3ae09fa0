#include "kelvo/value_view.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <cstring>
#include <functional>

#include "kelvo/commands.h"
#include "kelvo/messages.h"
#include "kelvo/option_slots.h"
#include "kelvo/plan_doc.h"
#include "kelvo/project_digits.h"
#include "kelvo/sheet_rows.h"
#include "kelvo/summary_registry.h"
#include "xJorDbm2.h"
#include "xjor/text.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo {
namespace {

constexpr int kNoSeries = 20038;  // "자료를 찾을 수 없거나 기간 자료가 없습니다."
constexpr int kFind = 57636;
// The option bar's buttons.
constexpr int kOtherSheet = 10208;
constexpr int kReadSummary = 10209;
constexpr int kGenerateDays = 10215;
constexpr int kValueWidth = 15;

FieldDesc makeField(const char* name, int8_t type, int16_t width, int16_t offset) {
  FieldDesc f{};
  std::strncpy(f.name, name, sizeof f.name - 1);
  f.type = type;
  f.width = width;
  f.offset = offset;
  return f;
}

// Reads the series of summary row n (0: the total row) of the open summary.
bool summaryRowSeries(ProjectDb* db, int32_t n, bool resource, RowSeries* series) {
  if (n == 0) return readSummaryTotalSeries(db, series);
  TableBinding* table = sheetTable(db, ViewKind::Summary);
  if (!table || n < 0) return false;
  SheetRecord sheet{};
  const ViewKind kind = resource ? ViewKind::ResourceSummary : ViewKind::Summary;
  const bool stored = readSheetRecord(&db->opt, kind, &sheet);
  sheet.filter[sizeof sheet.filter - 1] = 0;
  SheetRows rows;
  rows.open(table, stored ? sheet.filter : "", stored ? sheet.order : nullptr);
  std::vector<uint8_t> record(size_t(table->tb.recordSize));
  if (uint32_t(n) > rows.count() || !rows.read(uint32_t(n - 1), record.data())) return false;
  return readSummaryRowSeries(db, record.data(), resource, series);
}

// A dialog whose OK runs a check first; the dialog stays open when it fails.
class CheckedDialog : public QDialog {
 public:
  using QDialog::QDialog;
  std::function<bool()> check;
  void accept() override {
    if (!check || check()) QDialog::accept();
  }
};

}  // namespace

int& currentValueSheet() {
  static int number = 0;
  return number;
}

CValueView::CValueView(CPlanDoc* doc, QWidget* parent) : CGridView(doc, parent) {
  // CP949 names: "날짜", "수치".
  fields_[0] = makeField("\xB3\xAF\xC2\xA5", XF_DATE, 8, 0);
  fields_[1] = makeField("\xBC\xF6\xC4\xA1", XF_DOUBLE, kValueWidth, 2);
}

// --- Sheet and settings ----------------------------------------------------------------

bool CValueView::openSheet(int n) {
  CPlanDoc* doc = document();
  if (n < 0 || n >= kValueSheetCount || !doc || !doc->isOpen()) return false;
  moveToRow(kCommitSilently);
  if (sheet_.number() >= 0) sheet_.store(&doc->db().opt);
  currentValueSheet() = n;
  sheet_.load(&doc->db().opt, n);
  setCurrent(0, currentColumn());
  clearSelection();
  refreshRows();
  emit sheetOpened(title());
  return true;
}

QString CValueView::title() const {
  return xjor::fromCp949(QByteArray::fromStdString(sheet_.title));
}

void CValueView::setTitle(const QString& title) {
  QByteArray bytes = xjor::toCp949(title);
  // The header holds 31 bytes and its end; a character is never split.
  bytes.truncate(xCharCut(bytes.constData(), int32_t(sizeof ValueSheetHeader::title) - 1));
  if (bytes.toStdString() == sheet_.title) return;
  sheet_.title = bytes.toStdString();
  if (document()) document()->setModified();
}

void CValueView::initialUpdate() {
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen()) {
    setRowCount(0);
    updateGrid();
    return;
  }
  OptionFileRef* opt = &doc->db().opt;
  if (!formatRead_) {
    formatRead_ = true;
    GridFormat format = defaultGridFormat();
    const int item = kindItem(KindRecord::Settings, viewKind());
    if (xOption(opt, XOPT_SIZE, item, nullptr, 0) == int32_t(sizeof format))
      xOption(opt, XOPT_READ, item, &format, sizeof format);
    clampGridFormat(&format);
    setFormat(format);
    std::vector<ColumnRecord> columns = readColumns(opt, viewKind(), 2, 2);
    if (columns.size() != 2) {
      columns.assign(2, ColumnRecord{});
      columns[0] = {0, 228, kAlignRight, {}};
      columns[1] = {1, 276, kAlignRight, {}};
    }
    setColumns(columns);
  }
  sheet_.load(opt, currentValueSheet());
  refreshRows();
  emit sheetOpened(title());
}

void CValueView::refreshRows() {
  rowChanged_ = false;
  setRowCount(int(sheet_.entries().size()));
  if (currentRow() > rowCount()) setCurrent(rowCount(), currentColumn());
  loadRow();
  updateGrid();
  viewport()->update();
}

void CValueView::refreshSheet() {
  // The sheet is read again from the project: what was typed or generated
  // since it was last stored goes there first instead of being lost.
  moveToRow(kCommitSilently);
  CPlanDoc* doc = document();
  if (doc && doc->isOpen() && sheet_.number() == currentValueSheet()) sheet_.store(&doc->db().opt);
  initialUpdate();
}

void CValueView::storeSettings() {
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen() || !formatRead_) return;
  OptionFileRef* opt = &doc->db().opt;
  GridFormat format = this->format();
  format.columnCount = 2;
  xOption(opt, XOPT_WRITE, kindItem(KindRecord::Settings, viewKind()), &format, sizeof format);
  writeColumns(opt, viewKind(), columns());
  sheet_.store(opt);
}

void CValueView::onUpdate(int hintCode, qintptr extra) {
  switch (hintCode) {
    case hint::kStoreSettings:
      moveToRow(kCommitSilently);
      storeSettings();
      break;
    case hint::kInitialUpdate:
      moveToRow(kCommitSilently);
      initialUpdate();
      break;
    case hint::kRefresh:
      refreshSheet();
      break;
    case hint::kSettingsRewritten:
      // A loaded layout: the format and columns are read again.
      formatRead_ = false;
      initialUpdate();
      break;
    default:
      CGridView::onUpdate(hintCode, extra);
  }
}

bool CValueView::onCommand(int id) {
  switch (id) {
    case cmd::kRefresh:
      refreshSheet();
      return true;
    case cmd::kEditClear: {
      // The selected rows, or the current one, leave both tables.
      std::vector<int> rows(selectedRows().begin(), selectedRows().end());
      if (rows.empty() && currentRow() < rowCount()) rows.push_back(currentRow());
      if (rows.empty()) return true;
      sheet_.removeRows(rows);
      clearSelection();
      if (document()) document()->setModified();
      refreshRows();
      return true;
    }
    case kOtherSheet: {
      bool ok = false;
      const int n = QInputDialog::getInt(this, QString::fromUtf8("다른 수치시트 열기"),
                                         QString::fromUtf8("수치시트 번호 :"), sheet_.number(), 0,
                                         kValueSheetCount - 1, 1, &ok);
      if (ok) openSheet(n);
      return true;
    }
    case kReadSummary:
      readFromSummaryDialog();
      return true;
    case kGenerateDays:
      generateDialog();
      return true;
    case kFind: {
      bool ok = false;
      const QString text =
          QInputDialog::getText(this, QString::fromUtf8("찾기"), QString::fromUtf8("날짜 :"),
                                QLineEdit::Normal, QString(), &ok);
      if (ok) findDay(xStrToTime(xjor::toCp949(text).constData()));
      return true;
    }
    default:
      return CGridView::onCommand(id);
  }
}

bool CValueView::updateCommand(int id, CommandState& state) {
  if (id == kFind || id == cmd::kRefresh || id == kOtherSheet || id == kReadSummary ||
      id == kGenerateDays) {
    state.enabled = true;
    return true;
  }
  return CGridView::updateCommand(id, state);
}

bool CValueView::findDay(uint16_t day) {
  const int row = sheet_.find(day);
  if (row < 0) return false;
  moveToRow(kCommitSilently);
  selectOnly(row);
  return true;
}

// --- Generating and reading --------------------------------------------------------------

int CValueView::generateDays(uint16_t start, uint16_t finish, DayStep step, int* field) {
  const int bad = checkGenerateRange(start, finish);
  if (bad) {
    if (field) *field = bad - 1;
    return kBadDate;
  }
  moveToRow(kCommitSilently);
  if (sheet_.generate(start, finish, step, xGetStartDayOfM(), xGetStartDayOfW()) > 0 && document())
    document()->setModified();
  refreshRows();
  return 0;
}

bool CValueView::generateDialog() {
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen()) return false;
  CheckedDialog dialog(this);
  dialog.setWindowTitle(QString::fromUtf8("기준일 자동 생성"));
  auto* form = new QFormLayout(&dialog);
  char text[32];
  xTimeToStr(text, doc->info().start);
  auto* start = new QLineEdit(QString::fromLatin1(text), &dialog);
  start->setObjectName(QStringLiteral("start"));
  xTimeToStr(text, doc->info().finish);
  auto* finish = new QLineEdit(QString::fromLatin1(text), &dialog);
  finish->setObjectName(QStringLiteral("finish"));
  auto* unit = new QComboBox(&dialog);
  unit->setObjectName(QStringLiteral("unit"));
  unit->addItems(
      {QString::fromUtf8("1 개월"), QString::fromUtf8("1 주"), QString::fromUtf8("1 일")});
  form->addRow(QString::fromUtf8("시작일 :"), start);
  form->addRow(QString::fromUtf8("완료일 :"), finish);
  form->addRow(QString::fromUtf8("단위 :"), unit);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  form->addRow(buttons);
  connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  bool added = false;
  dialog.check = [&] {
    int field = 0;
    const uint16_t from = xStrToTime(xjor::toCp949(start->text()).constData());
    const uint16_t to = xStrToTime(xjor::toCp949(finish->text()).constData());
    const DayStep steps[] = {DayStep::Month, DayStep::Week, DayStep::Day};
    const int result =
        generateDays(from, to, steps[std::clamp(unit->currentIndex(), 0, 2)], &field);
    if (result) {
      showMessage(&dialog, result);
      (field == 0 ? start : finish)->setFocus();
      return false;
    }
    added = true;
    return true;
  };
  dialog.exec();
  return added;
}

namespace {

// Fills sheet from its link's summary row: false (sheet unchanged) when the
// summary cannot be opened or the row has no series. A summary other than
// the open one is opened for the read only.
bool fillFromSummary(CPlanDoc* doc, ValueSheet* sheet, const ValueSheetLink& link) {
  ProjectDb& db = doc->db();
  int16_t current = doc->openSummary();
  const int16_t before = current;
  const int16_t wanted = link.summary > 0 ? link.summary : before;
  if (wanted <= 0 || (wanted != current && !xOpenSumFile(&db, &current, wanted))) return false;
  const bool resource = summaryIsResources(&db);
  RowSeries series;
  const bool found = summaryRowSeries(&db, link.row, resource, &series);
  if (wanted != before && (before <= 0 || !xOpenSumFile(&db, &current, before))) {
    // The summary that was open cannot come back: none is open now.
    xCloseSumFile(&db, &current);
    doc->setOpenSummary(0);
    doc->updateAllViews(kAllViews, hint::kSummaryRebuilt);
  }
  if (!found) return false;
  sheet->setEntries(entriesFromSeries(sheet->entries(), series, resource, link));
  sheet->decimals =
      periodDecimals(resource ? 0 : link.item, resource, projectDigits(&db, doc->info()));
  return true;
}

}  // namespace

int CValueView::readFromSummary(const ValueSheetLink& link) {
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen() || sheet_.number() < 0) return kNoSeries;
  // What was typed since goes in first, so the read cannot lose it.
  moveToRow(kCommitSilently);
  storeSettings();
  if (!fillFromSummary(doc, &sheet_, link)) return kNoSeries;
  sheet_.store(&doc->db().opt);
  writeValueLink(&doc->db().opt, sheet_.number(), link);
  doc->setModified();
  refreshRows();
  return 0;
}

int CValueView::readAllLinked() {
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen()) return 0;
  moveToRow(kCommitSilently);
  storeSettings();
  OptionFileRef* opt = &doc->db().opt;
  int read = 0;
  for (int n = 0; n < kValueSheetCount; ++n) {
    ValueSheetLink link;
    if (xOption(opt, XOPT_SIZE, kOptValueHeader + n, nullptr, 0) <= 0 ||
        !readValueLink(opt, n, &link))
      continue;
    ValueSheet sheet;
    if (!sheet.load(opt, n) || !fillFromSummary(doc, &sheet, link)) continue;
    sheet.store(opt);
    ++read;
  }
  if (read) doc->setModified();
  sheet_.load(opt, sheet_.number());
  refreshRows();
  return read;
}

void CValueView::readFromSummaryDialog() {
  CPlanDoc* doc = document();
  if (!doc || !doc->isOpen() || sheet_.number() < 0) return;
  OptionFileRef* opt = &doc->db().opt;
  ValueSheetLink link{};
  if (!readValueLink(opt, sheet_.number(), &link)) link.summary = doc->openSummary();
  CheckedDialog dialog(this);
  dialog.setWindowTitle(QString::fromUtf8("집계자료에서 읽기"));
  auto* form = new QFormLayout(&dialog);
  auto* summary = new QSpinBox(&dialog);
  summary->setObjectName(QStringLiteral("summary"));
  summary->setRange(1, kSummaryNumberMax);
  summary->setValue(std::max<int>(1, link.summary));
  form->addRow(QString::fromUtf8("집계 파일 : #"), summary);
  auto* whole = new QRadioButton(QString::fromUtf8("프로젝트 전체 집계"), &dialog);
  auto* one = new QRadioButton(QString::fromUtf8("특정 집계자료"), &dialog);
  auto* row = new QSpinBox(&dialog);
  row->setObjectName(QStringLiteral("row"));
  row->setRange(1, 999999);
  row->setValue(std::max(1, link.row));
  (link.row > 0 ? one : whole)->setChecked(true);
  form->addRow(whole);
  form->addRow(one);
  form->addRow(QString::fromUtf8("자료번호 :"), row);
  auto* item = new QComboBox(&dialog);
  item->setObjectName(QStringLiteral("item"));
  for (const char* name : {"수량", "계약금액", "계약진도율", "실행금액", "실행진도율", "투입금액"})
    item->addItem(QString::fromUtf8(name));
  item->setCurrentIndex(std::clamp<int>(link.item, 0, 5));
  form->addRow(item);
  auto* series = new QComboBox(&dialog);
  series->setObjectName(QStringLiteral("series"));
  for (const char* name : {"계획", "실적", "예상", "실적+예상"})
    series->addItem(QString::fromUtf8(name));
  series->setCurrentIndex(std::clamp<int>(link.series, 0, 3));
  form->addRow(series);
  auto* period = new QRadioButton(QString::fromUtf8("당기"), &dialog);
  auto* running = new QRadioButton(QString::fromUtf8("누계"), &dialog);
  (link.cumulative ? running : period)->setChecked(true);
  form->addRow(period, running);
  auto* rebuild = new QCheckBox(QString::fromUtf8("자료 모두 삭제 후 재구성"), &dialog);
  rebuild->setChecked(link.rebuild);
  form->addRow(rebuild);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QPushButton* unlink =
      buttons->addButton(QString::fromUtf8("집계자료와 연결 끊기"), QDialogButtonBox::ActionRole);
  QPushButton* all = buttons->addButton(QString::fromUtf8("집계자료와 연결된 모든 수치시트 읽기"),
                                        QDialogButtonBox::ActionRole);
  form->addRow(buttons);
  connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  connect(unlink, &QPushButton::clicked, &dialog, [&] {
    xOption(opt, XOPT_DELETE, kOptValueLink + sheet_.number(), nullptr, 0);
    doc->setModified();
    dialog.reject();
  });
  connect(all, &QPushButton::clicked, &dialog, [&] {
    readAllLinked();
    dialog.reject();
  });
  connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  dialog.check = [&] {
    ValueSheetLink chosen{};
    chosen.summary = int16_t(summary->value());
    chosen.item = int16_t(item->currentIndex());
    chosen.series = int16_t(series->currentIndex());
    chosen.cumulative = running->isChecked() ? 1 : 0;
    chosen.row = one->isChecked() ? row->value() : 0;
    chosen.rebuild = rebuild->isChecked() ? 1 : 0;
    if (const int result = readFromSummary(chosen)) {
      showMessage(&dialog, result);
      return false;
    }
    return true;
  };
  dialog.exec();
}

// --- Rows and cells ------------------------------------------------------------------------

void CValueView::loadRow() {
  rowChanged_ = false;
  const auto& entries = sheet_.entries();
  const bool exists = currentRow() >= 0 && size_t(currentRow()) < entries.size();
  day_ = exists ? entries[size_t(currentRow())].day : 0;
  value_ = exists ? entries[size_t(currentRow())].value : 0;
}

bool CValueView::moveToRow(int row) {
  if (commitCell()) rowChanged_ = true;
  if (rowChanged_) {
    const int result = sheet_.commit(currentRow(), day_, value_);
    if (result) {
      // The row stays current with what was typed.
      if (row != kCommitSilently) showMessage(this, result);
      if (row == kCommitSilently) loadRow();
      placeEditor();
      viewport()->update();
      return false;
    }
    rowChanged_ = false;
    if (document()) document()->setModified();
    setRowCount(int(sheet_.entries().size()));
    updateGrid();
  }
  if (row < 0) return true;
  setCurrent(row, currentColumn());
  loadRow();
  return true;
}

bool CValueView::moveToColumn(int column) {
  if (commitCell()) rowChanged_ = true;
  if (column < 0) return true;
  setCurrent(currentRow(), column);
  return true;
}

const FieldDesc* CValueView::fieldDesc(int field) const {
  return field == 0 || field == 1 ? &fields_[field] : nullptr;
}

QString CValueView::rowLabel(int row) {
  labelled_ = row;
  return row >= rowCount() ? QStringLiteral(">") : QString::number(row + 1);
}

QString CValueView::textOf(int field, uint16_t day, double value) const {
  if (field == 0) {
    if (day == 0) return {};
    char text[32];
    xTimeToStr(text, day);
    return QString::fromLatin1(text);
  }
  char text[64];
  xNumToStr(text, value, kValueWidth, sheet_.decimals, 0);
  return QString::fromLatin1(text).trimmed();
}

QString CValueView::cellText(int field) {
  if (labelled_ == currentRow() && (rowChanged_ || labelled_ >= rowCount()))
    return rowChanged_ ? textOf(field, day_, value_) : QString();
  if (labelled_ < 0 || labelled_ >= rowCount()) return {};
  const PeriodValue& e = sheet_.entries()[size_t(labelled_)];
  return textOf(field, e.day, e.value);
}

void CValueView::loadEditor(QLineEdit* edit, QComboBox*, const FieldDesc& field) {
  const int index = &field == &fields_[0] ? 0 : 1;
  const bool blank = currentRow() >= rowCount() && !rowChanged_;
  edit->setText(blank ? QString() : textOf(index, day_, value_));
  edit->setReadOnly(false);
  edit->selectAll();
}

bool CValueView::storeEditor(QLineEdit* edit, QComboBox*, const FieldDesc& field) {
  const int index = &field == &fields_[0] ? 0 : 1;
  const bool blank = currentRow() >= rowCount() && !rowChanged_;
  const QString shown = blank ? QString() : textOf(index, day_, value_);
  if (edit->text() == shown) return false;
  const QByteArray bytes = xjor::toCp949(edit->text());
  if (index == 0) {
    day_ = xStrToTime(bytes.constData());
  } else {
    double v = 0;
    xStrToNum(bytes.constData(), &v, kValueWidth, sheet_.decimals);
    value_ = v;
  }
  return true;
}

}  // namespace kelvo
