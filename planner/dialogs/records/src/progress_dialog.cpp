#include "progress_dialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <utility>

#include "kelvo/dialog_buttons.h"
#include "kelvo/messages.h"
#include "kelvo/plan_doc.h"
#include "kelvo/project_digits.h"
#include "kelvo/strings.h"
#include "kelvo/text_fields.h"
#include "kelvo/time_shared.h"
#include "record_strings.h"
#include "xJorDbm2.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo {

namespace {

// Byte positions of the activity and crew-detail records used here.
constexpr int kDuration = 2, kRemaining = 4, kActualStart = 20, kActualFinish = 22;
constexpr int kQuantity = 46, kContractPrice = 78, kExecutionPrice = 86, kInputPrice = 94;
constexpr int kKind = 112, kCode = 216, kTitle = 237;
constexpr int kCrewInput = 42;
constexpr int kTimeSharedKind = 2;

QString label(int index) {
  return loadString(str::kProgressLabels + index);
}

// The crew details of activity `code` (CP949, as stored), walking "op1".
std::vector<int32_t> crewDetailsOf(ProjectDb& db, const char* code) {
  std::vector<int32_t> out;
  IndexTable& op1 = db.op1;
  if (op1.handle < 0) return out;
  OprEntry key{};
  xCopyChars(key.first, code, sizeof key.first - 1);
  xiSeek(&op1, &key);
  for (OprEntry e{}; op1.current < op1.count && xiGet(&op1, &e) == 1 &&
                     std::strncmp(e.first, key.first, sizeof e.first) == 0;
       ++op1.current)
    out.push_back(e.record);
  op1.current = XJOR_NONE;
  return out;
}

QString resourceName(ProjectDb& db, const char* code) {
  CodeEntry key{}, found{};
  xCopyChars(key.code, code, sizeof key.code - 1);
  QByteArray record;
  if (db.ire.handle < 0 || xiSeek(&db.ire, &key) != 1 || xiGet(&db.ire, &found) != 1 ||
      !readSlot(db.res.tb, found.record, &record))
    return {};
  ResRecord r;
  std::memcpy(&r, record.constData(), std::min<size_t>(sizeof r, record.size()));
  return fieldText(r.title, sizeof r.title);
}

}  // namespace

CProgressDialog::CProgressDialog(CPlanDoc& doc, std::vector<int32_t> records, QWidget* parent)
    : QDialog(parent), doc_(doc), records_(std::move(records)) {
  setWindowTitle(loadString(str::kProgressDialog));
  build();
  // The first activity that is still there.
  size_t first = 0;
  QByteArray probe;
  while (first < records_.size() && !readSlot(doc_.db().act.tb, records_[first], &probe)) ++first;
  showActivity(first);
}

void CProgressDialog::build() {
  auto shown = [this](const char* name) {
    auto* l = new QLabel(this);
    l->setObjectName(QString::fromLatin1(name));
    l->setFrameShape(QFrame::StyledPanel);
    l->setMinimumWidth(110);
    return l;
  };
  auto edit = [this](const char* name, int maxBytes) {
    QLineEdit* e = byteLimitedEdit(maxBytes, this);
    e->setObjectName(QString::fromLatin1(name));
    return e;
  };
  code_ = shown("code");
  title_ = shown("title");
  duration_ = shown("duration");
  remaining_ = new QSpinBox(this);
  remaining_->setObjectName(QStringLiteral("remaining"));
  remaining_->setKeyboardTracking(false);
  actualStart_ = edit("actualStart", 20);
  actualFinish_ = edit("actualFinish", 20);
  quantity_ = shown("quantity");
  contractPrice_ = shown("contractPrice");
  executionPrice_ = shown("executionPrice");
  inputPrice_ = edit("inputPrice", 24);
  inputPrice_->setAlignment(Qt::AlignRight);

  auto* grid = new QGridLayout;
  auto row = [&](int r, int labelIndex, QWidget* w, int column = 0) {
    grid->addWidget(new QLabel(label(labelIndex), this), r, column);
    grid->addWidget(w, r, column + 1);
  };
  row(0, 0, code_);
  row(0, 1, title_, 2);
  row(1, 2, duration_);
  row(1, 3, remaining_, 2);
  row(2, 4, actualStart_);
  row(2, 5, actualFinish_, 2);
  row(3, 6, quantity_);
  row(3, 7, contractPrice_, 2);
  row(4, 8, executionPrice_);
  row(4, 9, inputPrice_, 2);

  crews_ = new QTreeWidget(this);
  crews_->setObjectName(QStringLiteral("crews"));
  crews_->setRootIsDecorated(false);
  crews_->setHeaderLabels({label(10), label(11), label(12), label(13)});
  crewInput_ = edit("crewInput", 24);
  auto* setCrew = new QPushButton(label(14), this);
  setCrew->setObjectName(QStringLiteral("setCrew"));
  connect(setCrew, &QPushButton::clicked, this, &CProgressDialog::setCrewInput);
  auto* crewRow = new QHBoxLayout;
  crewRow->addWidget(setCrew);
  crewRow->addWidget(crewInput_);

  auto* shared = new QGroupBox(this);
  timeSharedBox_ = shared;
  timeShared_ = new QTreeWidget(shared);
  timeShared_->setObjectName(QStringLiteral("timeShared"));
  timeShared_->setRootIsDecorated(false);
  timeShared_->setHeaderLabels({label(15), label(16)});
  sharedDay_ = edit("sharedDay", 20);
  sharedQuantity_ = edit("sharedQuantity", 24);
  auto* sharedLayout = new QGridLayout(shared);
  sharedLayout->addWidget(timeShared_, 0, 0, 1, 5);
  sharedLayout->addWidget(sharedDay_, 1, 0);
  sharedLayout->addWidget(sharedQuantity_, 1, 1);
  const std::pair<int, bool (CProgressDialog::*)()> actions[] = {
      {17, &CProgressDialog::addTimeShared},
      {18, &CProgressDialog::changeTimeShared},
      {19, &CProgressDialog::deleteTimeShared}};
  int column = 2;
  for (const auto& [index, action] : actions) {
    auto* button = new QPushButton(label(index), shared);
    button->setObjectName(QStringLiteral("shared%1").arg(index));
    connect(button, &QPushButton::clicked, this, [this, action = action] { (this->*action)(); });
    sharedLayout->addWidget(button, 1, column++);
  }
  connect(timeShared_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
    if (!item) return;
    sharedDay_->setText(item->text(0));
    sharedQuantity_->setText(item->text(1));
  });

  auto* buttons = okCancelButtons(this);
  previous_ = buttons->addButton(label(20), QDialogButtonBox::ActionRole);
  next_ = buttons->addButton(label(21), QDialogButtonBox::ActionRole);
  previous_->setObjectName(QStringLiteral("previous"));
  next_->setObjectName(QStringLiteral("next"));
  previous_->setVisible(records_.size() > 1);
  next_->setVisible(records_.size() > 1);
  connect(previous_, &QPushButton::clicked, this, [this] { step(-1); });
  connect(next_, &QPushButton::clicked, this, [this] { step(1); });

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(crews_);
  layout->addLayout(crewRow);
  layout->addWidget(shared);
  layout->addWidget(buttons);

  // An actual finish means the work is done.
  connect(actualFinish_, &QLineEdit::editingFinished, this, [this] {
    uint16_t day = 0;
    if (actualFinish_->isModified() && dateOf(actualFinish_, &day) && day) {
      actualFinish_->setModified(false);
      const QSignalBlocker block(remaining_);
      remaining_->setValue(std::max(0, remaining_->minimum()));
    }
  });
}

void CProgressDialog::showActivity(size_t index) {
  current_ = index;
  ProjectDb& db = doc_.db();
  if (index >= records_.size() || !readSlot(db.act.tb, records_[index], &record_)) {
    record_.clear();
    setEnabled(false);
    return;
  }
  const TableHandle& tb = db.act.tb;
  const int32_t ref = db.space.refHandle;
  code_->setText(fieldText(tb, ref, record_, kCode));
  title_->setText(fieldText(tb, ref, record_, kTitle));
  duration_->setText(QString::number(get16(record_, kDuration)));
  const int16_t remaining = get16(record_, kRemaining);
  remaining_->setRange(std::min<int>(0, remaining), std::max<int>(999, remaining));
  remaining_->setValue(remaining);
  actualStart_->setText(dateText(getDate(record_, kActualStart)));
  actualFinish_->setText(dateText(getDate(record_, kActualFinish)));
  quantity_->setText(fieldText(tb, ref, record_, kQuantity));
  contractPrice_->setText(fieldText(tb, ref, record_, kContractPrice));
  executionPrice_->setText(fieldText(tb, ref, record_, kExecutionPrice));
  inputPrice_->setText(fieldText(tb, ref, record_, kInputPrice));
  timeSharedBox_->setVisible(get16(record_, kKind) == kTimeSharedKind);
  for (QWidget* w :
       std::initializer_list<QWidget*>{remaining_, actualStart_, actualFinish_, inputPrice_})
    values_.remember(w);
  readLists();
}

void CProgressDialog::readLists() {
  ProjectDb& db = doc_.db();
  crews_->clear();
  ActRecord a;
  std::memcpy(&a, record_.constData(), sizeof a);
  a.code[sizeof a.code - 1] = 0;
  for (int32_t slot : crewDetailsOf(db, a.code)) {
    QByteArray opr;
    if (!readSlot(db.opr.tb, slot, &opr)) continue;
    OprRecord o;
    std::memcpy(&o, opr.constData(), sizeof o);
    o.resCode[sizeof o.resCode - 1] = 0;
    auto* item = new QTreeWidgetItem(
        crews_, {fieldText(o.resCode, sizeof o.resCode), resourceName(db, o.resCode),
                 kelvo::fieldText(db.opr.tb, db.space.refHandle, opr, 34),
                 kelvo::fieldText(db.opr.tb, db.space.refHandle, opr, kCrewInput)});
    item->setData(0, Qt::UserRole, slot);
  }
  timeShared_->clear();
  const ProjectDigits digits = projectDigits(&db, doc_.info());
  for (const SpaEntry& e : timeSharedEntries(db, currentSlot())) {
    auto* item = new QTreeWidgetItem(
        timeShared_, {dateText(e.day), QString::number(e.value, 'f', digits.quantity)});
    item->setData(0, Qt::UserRole, e.day);
  }
}

// --- Storing the activity ---------------------------------------------------------------------

bool CProgressDialog::checkDates() {
  // Work cannot have been done after the data date.
  const uint16_t dataDate = doc_.info().dataDate;
  for (QLineEdit* edit : {actualStart_, actualFinish_}) {
    uint16_t day = 0;
    if (values_.changed(edit) && !typedDate(edit, doc_.info(), &day, dataDate)) return false;
  }
  uint16_t actualStart = 0, actualFinish = 0;
  dateOf(actualStart_, &actualStart);
  dateOf(actualFinish_, &actualFinish);
  if (actualStart && actualFinish && actualFinish < actualStart &&
      (values_.changed(actualStart_) || values_.changed(actualFinish_))) {
    refuseDate(actualFinish_);
    return false;
  }
  return true;
}

bool CProgressDialog::storeActivity() {
  if (record_.isEmpty() || !doc_.isOpen()) return true;
  QByteArray record;
  if (!readSlot(doc_.db().act.tb, currentSlot(), &record)) return true;  // gone meanwhile
  if (!checkDates()) return false;
  bool any = false;
  if (values_.changed(remaining_)) {
    put16(record, kRemaining, static_cast<int16_t>(remaining_->value()));
    any = true;
  }
  for (auto [edit, offset] :
       {std::pair{actualStart_, kActualStart}, {actualFinish_, kActualFinish}}) {
    if (!values_.changed(edit)) continue;
    uint16_t day = 0;
    dateOf(edit, &day);  // checked by checkDates()
    put16(record, offset, static_cast<int16_t>(day));
    any = true;
  }
  if (values_.changed(inputPrice_)) {
    storeFieldText(doc_.db().act.tb, doc_.db().space.refHandle, record, kInputPrice,
                   inputPrice_->text());
    any = true;
  }
  if (!any) return true;
  const EditResult result = doc_.inputRecord(ViewKind::Activities, currentSlot(), record.data(), 0);
  if (!result) {
    if (result.message) showMessage(this, result.message);
    return false;
  }
  storedAny_ = true;
  return true;
}

void CProgressDialog::accept() {
  if (storeActivity()) QDialog::accept();
}

bool CProgressDialog::step(int direction) {
  if (!storeActivity()) return false;
  QByteArray probe;
  for (int64_t i = static_cast<int64_t>(current_) + direction;
       i >= 0 && i < static_cast<int64_t>(records_.size()); i += direction) {
    if (!readSlot(doc_.db().act.tb, records_[i], &probe)) continue;  // deleted meanwhile
    showActivity(static_cast<size_t>(i));
    return true;
  }
  // Nothing further: stay, showing what was stored.
  showActivity(current_);
  return false;
}

// --- Crew details and time-shared entries ----------------------------------------------------

bool CProgressDialog::setCrewInput() {
  QTreeWidgetItem* item = crews_->currentItem();
  if (!item || !doc_.isOpen()) return false;
  ProjectDb& db = doc_.db();
  const int32_t slot = item->data(0, Qt::UserRole).toInt();
  QByteArray opr;
  if (!readSlot(db.opr.tb, slot, &opr)) return false;
  // The field's decimals are the quantity decimals: it rounds as it stores.
  storeFieldText(db.opr.tb, db.space.refHandle, opr, kCrewInput, crewInput_->text());
  const EditResult result = doc_.inputRecord(ViewKind::CrewDetails, slot, opr.data(), -1);
  if (!result) {
    if (result.message) showMessage(this, result.message);
    return false;
  }
  storedAny_ = true;
  // The lists show the store, read again; the same crew detail stays chosen.
  const int row = crews_->indexOfTopLevelItem(item);
  readLists();
  crews_->setCurrentItem(crews_->topLevelItem(row));
  return true;
}

bool CProgressDialog::readTimeSharedInput(SpaEntry* entry) {
  uint16_t day = 0;
  if (!typedDate(sharedDay_, doc_.info(), &day)) return false;
  if (!day) {
    refuseDate(sharedDay_);
    return false;
  }
  double value = 0;
  xStrToNum(xjor::toCp949(sharedQuantity_->text()).constData(), &value, 0, 0);
  xRound(&value, projectDigits(&doc_.db(), doc_.info()).quantity);
  entry->activity = currentSlot();
  entry->day = day;
  entry->value = value;
  return true;
}

bool CProgressDialog::enterTimeShared(bool replacing) {
  if (!doc_.isOpen() || currentSlot() < 0) return false;
  SpaEntry entry{};
  if (!readTimeSharedInput(&entry)) return false;
  ProjectDb& db = doc_.db();
  db.spa.current = XJOR_NONE;
  if (replacing) {
    QTreeWidgetItem* item = timeShared_->currentItem();
    if (!item) return false;
    selectTimeSharedEntry(db, currentSlot(),
                          static_cast<uint16_t>(item->data(0, Qt::UserRole).toUInt()));
  }
  const EditResult result = doc_.inputRecord(ViewKind::TimeShared, -1, &entry, -1);
  if (!result) {
    if (result.message) showMessage(this, result.message);
    return false;
  }
  storedAny_ = true;
  readLists();
  return true;
}

bool CProgressDialog::addTimeShared() {
  return enterTimeShared(false);
}

bool CProgressDialog::changeTimeShared() {
  return enterTimeShared(true);
}

bool CProgressDialog::deleteTimeShared() {
  QTreeWidgetItem* item = timeShared_->currentItem();
  if (!item || !doc_.isOpen()) return false;
  if (!selectTimeSharedEntry(doc_.db(), currentSlot(),
                             static_cast<uint16_t>(item->data(0, Qt::UserRole).toUInt())))
    return false;
  const EditResult result = doc_.deleteRecord(ViewKind::TimeShared);
  if (!result) {
    if (result.message) showMessage(this, result.message);
    return false;
  }
  storedAny_ = true;
  readLists();
  return true;
}

}  // namespace kelvo
