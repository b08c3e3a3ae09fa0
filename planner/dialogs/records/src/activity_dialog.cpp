#include "activity_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

#include "kelvo/base_view.h"
#include "kelvo/dialog_buttons.h"
#include "kelvo/engine_calendars.h"
#include "kelvo/messages.h"
#include "kelvo/plan_doc.h"
#include "kelvo/project_digits.h"
#include "kelvo/strings.h"
#include "kelvo/text_fields.h"
#include "kelvo/time_shared.h"
#include "record_strings.h"

namespace kelvo {

namespace {

// Byte positions of the activity record that the dialog edits.
namespace pos {
constexpr int kFlags = 0, kDuration = 2, kRemaining = 4, kTotalFloat = 6, kStart = 8;
constexpr int kFinish = 10, kEarlyStart = 12, kEarlyFinish = 14, kLateStart = 16;
constexpr int kLateFinish = 18, kActualStart = 20, kActualFinish = 22;
constexpr int kPlannedDuration = 24, kPlannedStart = 26, kPlannedFinish = 28;
constexpr int kContractWeight = 38, kExecutionWeight = 42, kQuantity = 46;
constexpr int kContractPrice = 78, kExecutionPrice = 86, kInputPrice = 94, kFreeFloat = 102;
constexpr int kConstraintDate = 104, kConstraintType = 106, kCalendar = 108, kPath = 110;
constexpr int kKind = 112, kWorkType = 120, kFacility = 131, kSubcontractor = 142;
constexpr int kUserCode = 153, kManager = 164, kRemark = 175, kCode = 216, kTitle = 237;
}  // namespace pos

constexpr int kMilestoneKind = 1, kTimeSharedKind = 2;

// Flag bits of the check boxes 10300..10307, in control order.
constexpr uint16_t kFlagBits[8] = {0x2000, 0x1000, 0x0010, 0x0020, 0x0001, 0x0002, 0x0004, 0x0008};
constexpr uint16_t kAllFlagBits = 0x303F;

QString controlName(int control) {
  return QStringLiteral("c%1").arg(control);
}

// A list of the choices first..first+count-1 of the string table, showing
// `stored`; a stored number outside the list is shown as an extra item of
// its own, so that it is kept unless the user chooses another.
QComboBox* choiceList(int firstString, int count, int stored, QWidget* parent) {
  auto* combo = new QComboBox(parent);
  for (int i = 0; i < count; ++i) combo->addItem(loadString(firstString + i), i);
  if (stored < 0 || stored >= count) combo->addItem(QString::number(stored), stored);
  combo->setCurrentIndex(combo->findData(stored));
  return combo;
}

int choiceOf(const QComboBox* combo) {
  return combo->currentData().toInt();
}

}  // namespace

CActivityDialog::CActivityDialog(CPlanDoc& doc, int32_t slot, const QByteArray& record,
                                 QWidget* parent)
    : QDialog(parent), doc_(doc), slot_(slot), loaded_(record) {
  setWindowTitle(loadString(str::kActivityDialog));
  build();
}

QLineEdit* CActivityDialog::addText(int control, int offset, int maxBytes) {
  QLineEdit* edit = byteLimitedEdit(maxBytes, this);
  edit->setObjectName(controlName(control));
  edit->setText(fieldText(doc_.db().act.tb, doc_.db().space.refHandle, loaded_, offset));
  return edit;
}

QLineEdit* CActivityDialog::addShown(int control, const QString& text) {
  auto* edit = new QLineEdit(text, this);
  edit->setObjectName(controlName(control));
  edit->setReadOnly(true);
  edit->setFocusPolicy(Qt::NoFocus);
  return edit;
}

QLineEdit* CActivityDialog::addDate(int control, int offset) {
  auto* edit = new QLineEdit(dateText(getDate(loaded_, offset)), this);
  edit->setObjectName(controlName(control));
  return edit;
}

void CActivityDialog::build() {
  const TableHandle& tb = doc_.db().act.tb;
  const int32_t ref = doc_.db().space.refHandle;
  const bool added = slot_ < 0;
  auto shown = [&](int control, int offset) {
    return addShown(control, fieldText(tb, ref, loaded_, offset));
  };
  auto label = [this](int id) { return new QLabel(loadString(id), this); };

  code_ = addText(actctl::kCode, pos::kCode, 20);
  code_->setReadOnly(!added);
  title_ = addText(actctl::kTitle, pos::kTitle, 60);
  kind_ = choiceList(str::kKindFirst, 3, get16(loaded_, pos::kKind), this);
  calendar_ = new QComboBox(this);
  for (int i = 0; i <= 8; ++i) calendar_->addItem(QString::number(i), i);
  const int16_t storedCalendar = get16(loaded_, pos::kCalendar);
  if (storedCalendar < 0 || storedCalendar > 8)
    calendar_->addItem(QString::number(storedCalendar), storedCalendar);
  calendar_->setCurrentIndex(calendar_->findData(storedCalendar));
  duration_ = widenedSpin(0, 999, get16(loaded_, pos::kDuration), this);
  remaining_ = widenedSpin(0, 999, get16(loaded_, pos::kRemaining), this);
  constraintType_ =
      choiceList(str::kConstraintFirst, 7, get16(loaded_, pos::kConstraintType), this);
  constraintDate_ = addDate(actctl::kConstraintDate, pos::kConstraintDate);
  start_ = addDate(actctl::kStart, pos::kStart);
  finish_ = addDate(actctl::kFinish, pos::kFinish);
  actualStart_ = addDate(actctl::kActualStart, pos::kActualStart);
  actualFinish_ = addDate(actctl::kActualFinish, pos::kActualFinish);
  // The path stays as stored (0 = not placed yet) unless the user sets one.
  path_ = widenedSpin(1, 999, get16(loaded_, pos::kPath), this);
  kind_->setObjectName(controlName(actctl::kKind));
  calendar_->setObjectName(controlName(actctl::kCalendar));
  duration_->setObjectName(controlName(actctl::kDuration));
  remaining_->setObjectName(controlName(actctl::kRemaining));
  constraintType_->setObjectName(controlName(actctl::kConstraintType));
  path_->setObjectName(controlName(actctl::kPath));
  for (QSpinBox* spin : {duration_, remaining_, path_}) spin->setKeyboardTracking(false);

  texts_ = {{addText(actctl::kWorkType, pos::kWorkType, 10), pos::kWorkType},
            {addText(actctl::kFacility, pos::kFacility, 10), pos::kFacility},
            {addText(actctl::kSubcontractor, pos::kSubcontractor, 10), pos::kSubcontractor},
            {addText(actctl::kUserCode, pos::kUserCode, 10), pos::kUserCode},
            {addText(actctl::kManager, pos::kManager, 10), pos::kManager},
            {addText(actctl::kRemark, pos::kRemark, 40), pos::kRemark},
            {title_, pos::kTitle}};
  numbers_ = {{addText(actctl::kQuantity, pos::kQuantity, 24), pos::kQuantity},
              {addText(actctl::kContractPrice, pos::kContractPrice, 24), pos::kContractPrice},
              {addText(actctl::kExecutionPrice, pos::kExecutionPrice, 24), pos::kExecutionPrice},
              {addText(actctl::kInputPrice, pos::kInputPrice, 24), pos::kInputPrice}};
  for (auto& n : numbers_) n.edit->setAlignment(Qt::AlignRight);

  const uint16_t flags = static_cast<uint16_t>(get16(loaded_, pos::kFlags));
  for (int i = 0; i < 8; ++i) {
    flags_[i] = new QCheckBox(loadString(str::kFlagFirst + i), this);
    flags_[i]->setObjectName(controlName(actctl::kFlagFirst + i));
    flags_[i]->setChecked(flags & kFlagBits[i]);
  }

  // Layout: identity and kind on top, dates in the middle, codes and
  // amounts below, label options last.
  auto* grid = new QGridLayout;
  int row = 0;
  grid->addWidget(label(str::kActivityLabels + 0), row, 0);
  grid->addWidget(code_, row, 1);
  grid->addWidget(label(str::kActivityLabels + 2), row, 2);
  grid->addWidget(kind_, row, 3);
  grid->addWidget(label(str::kActivityLabels + 3), row, 4);
  grid->addWidget(calendar_, row++, 5);
  grid->addWidget(label(str::kActivityLabels + 1), row, 0);
  grid->addWidget(title_, row++, 1, 1, 5);
  grid->addWidget(label(str::kActivityLabels + 4), row, 0);
  grid->addWidget(duration_, row, 1);
  grid->addWidget(label(str::kActivityLabels + 5), row, 2);
  grid->addWidget(remaining_, row, 3);
  grid->addWidget(label(str::kActivityLabels + 17), row, 4);
  grid->addWidget(path_, row++, 5);
  grid->addWidget(label(str::kActivityLabels + 9), row, 0);
  grid->addWidget(start_, row, 1);
  grid->addWidget(label(str::kActivityLabels + 10), row, 2);
  grid->addWidget(finish_, row, 3);
  grid->addWidget(label(str::kActivityLabels + 11), row, 4);
  grid->addWidget(shown(10109, pos::kTotalFloat), row++, 5);
  // Early, late, actual and planned dates side by side.
  grid->addWidget(label(str::kActivityLabels + 13), row, 0);
  grid->addWidget(addShown(10111, dateText(getDate(loaded_, pos::kEarlyStart))), row, 1);
  grid->addWidget(addShown(10112, dateText(getDate(loaded_, pos::kEarlyFinish))), row, 3);
  grid->addWidget(label(str::kActivityLabels + 12), row, 4);
  grid->addWidget(shown(10110, pos::kFreeFloat), row++, 5);
  grid->addWidget(label(str::kActivityLabels + 14), row, 0);
  grid->addWidget(addShown(10113, dateText(getDate(loaded_, pos::kLateStart))), row, 1);
  grid->addWidget(addShown(10114, dateText(getDate(loaded_, pos::kLateFinish))), row++, 3);
  grid->addWidget(label(str::kActivityLabels + 15), row, 0);
  grid->addWidget(actualStart_, row, 1);
  grid->addWidget(actualFinish_, row++, 3);
  grid->addWidget(label(str::kActivityLabels + 16), row, 0);
  grid->addWidget(addShown(10117, dateText(getDate(loaded_, pos::kPlannedStart))), row, 1);
  grid->addWidget(addShown(10118, dateText(getDate(loaded_, pos::kPlannedFinish))), row, 3);
  grid->addWidget(addShown(10119, QString::number(get16(loaded_, pos::kPlannedDuration))), row++,
                  5);

  auto* constraint = new QGroupBox(loadString(str::kActivityLabels + 6), this);
  auto* constraintRow = new QGridLayout(constraint);
  constraintRow->addWidget(label(str::kActivityLabels + 7), 0, 0);
  constraintRow->addWidget(constraintType_, 0, 1);
  constraintRow->addWidget(label(str::kActivityLabels + 8), 0, 2);
  constraintRow->addWidget(constraintDate_, 0, 3);
  grid->addWidget(constraint, row++, 0, 1, 6);

  for (int i = 0; i < 6; i += 2) {
    grid->addWidget(label(str::kActivityLabels + 18 + i), row, 0);
    grid->addWidget(texts_[i].edit, row, 1);
    grid->addWidget(label(str::kActivityLabels + 19 + i), row, 2);
    grid->addWidget(texts_[i + 1].edit, row++, 3, 1, 3);
  }
  grid->addWidget(label(str::kActivityLabels + 24), row, 0);
  grid->addWidget(numbers_[0].edit, row, 1);
  grid->addWidget(label(str::kActivityLabels + 25), row, 2);
  grid->addWidget(numbers_[1].edit, row++, 3);
  grid->addWidget(label(str::kActivityLabels + 26), row, 0);
  grid->addWidget(numbers_[2].edit, row, 1);
  grid->addWidget(label(str::kActivityLabels + 27), row, 2);
  grid->addWidget(numbers_[3].edit, row++, 3);
  // The weights are computed from the amounts and only shown here.
  const ProjectDigits digits = projectDigits(&doc_.db(), doc_.info());
  float executionWeight = 0;
  std::memcpy(&executionWeight, loaded_.constData() + pos::kExecutionWeight,
              sizeof executionWeight);
  grid->addWidget(label(str::kActivityLabels + 28), row, 0);
  grid->addWidget(shown(10128, pos::kContractWeight), row, 1);
  grid->addWidget(label(str::kActivityLabels + 29), row, 2);
  grid->addWidget(addShown(10130, QString::number(executionWeight, 'f', digits.weight)), row++, 3);

  auto* labels = new QGridLayout;
  for (int i = 0; i < 8; ++i) labels->addWidget(flags_[i], i / 4, i % 4);
  grid->addLayout(labels, row++, 0, 1, 6);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(okCancelButtons(this));

  for (QWidget* w : std::initializer_list<QWidget*>{code_, kind_, calendar_, duration_, remaining_,
                                                    constraintType_, constraintDate_, start_,
                                                    finish_, actualStart_, actualFinish_, path_})
    values_.remember(w);
  for (auto& t : texts_) values_.remember(t.edit);
  for (auto& n : numbers_) values_.remember(n.edit);
  for (QCheckBox* box : flags_) values_.remember(box);

  connect(calendar_, &QComboBox::activated, this, &CActivityDialog::calendarChosen);
  connect(kind_, &QComboBox::activated, this, &CActivityDialog::kindChosen);
  connect(duration_, &QSpinBox::valueChanged, this, &CActivityDialog::durationEdited);
  // Dates are recomputed when the user has finished typing one, and only
  // when something was typed.
  auto onTyped = [this](QLineEdit* edit, void (CActivityDialog::*rule)()) {
    auto typed = std::make_shared<bool>(false);
    connect(edit, &QLineEdit::textEdited, this, [typed] { *typed = true; });
    connect(edit, &QLineEdit::editingFinished, this, [this, typed, rule] {
      if (!*typed) return;
      *typed = false;
      (this->*rule)();
    });
  };
  onTyped(start_, &CActivityDialog::startEdited);
  onTyped(finish_, &CActivityDialog::finishEdited);
  onTyped(actualFinish_, &CActivityDialog::actualFinishEdited);
}

// --- Live recomputation ---------------------------------------------------------------------

void CActivityDialog::setFinishFromDuration() {
  uint16_t start = 0;
  if (!dateOf(start_, &start) || start == 0) return;
  EngineCalendars calendars;
  const int calendar = choiceOf(calendar_);
  const int32_t last = std::max(calendars.offset(calendar, start) + duration_->value() - 1, 0);
  const QSignalBlocker block(finish_);
  finish_->setText(dateText(calendars.dayAt(calendar, last)));
}

void CActivityDialog::showDuration(int duration) {
  const QSignalBlocker block(duration_);
  duration_->setValue(std::max(duration, duration_->minimum()));
  if (duration_->value() > 0 && choiceOf(kind_) == kMilestoneKind) {
    const QSignalBlocker blockKind(kind_);
    kind_->setCurrentIndex(kind_->findData(0));
  }
}

void CActivityDialog::calendarChosen() {
  setFinishFromDuration();
}

void CActivityDialog::kindChosen() {
  if (choiceOf(kind_) != kMilestoneKind) return;
  showDuration(0);
  setFinishFromDuration();
}

void CActivityDialog::durationEdited() {
  showDuration(duration_->value());
  setFinishFromDuration();
}

void CActivityDialog::startEdited() {
  setFinishFromDuration();
}

void CActivityDialog::finishEdited() {
  uint16_t start = 0, finish = 0;
  if (!dateOf(start_, &start) || !dateOf(finish_, &finish) || !start || !finish) return;
  EngineCalendars calendars;
  const int calendar = choiceOf(calendar_);
  // A finish before the start shows the spin's minimum; the finish stays
  // as typed and the store's rules treat it on OK.
  showDuration(calendars.offset(calendar, finish) - calendars.offset(calendar, start) + 1);
}

void CActivityDialog::actualFinishEdited() {
  uint16_t actualFinish = 0;
  if (!dateOf(actualFinish_, &actualFinish) || actualFinish == 0) return;
  const QSignalBlocker block(remaining_);
  remaining_->setValue(std::max(0, remaining_->minimum()));
}

// --- OK -----------------------------------------------------------------------------------------

bool CActivityDialog::checkDates() {
  bool anyActual = false;
  for (QLineEdit* edit : {constraintDate_, start_, finish_, actualStart_, actualFinish_}) {
    if (!values_.changed(edit)) continue;
    uint16_t day = 0;
    if (!typedDate(edit, doc_.info(), &day)) return false;
    anyActual |= edit == actualStart_ || edit == actualFinish_;
  }
  uint16_t actualStart = 0, actualFinish = 0;
  dateOf(actualStart_, &actualStart);
  dateOf(actualFinish_, &actualFinish);
  if (anyActual && actualStart && actualFinish && actualFinish < actualStart) {
    refuseDate(actualFinish_);
    return false;
  }
  return true;
}

bool CActivityDialog::writeChanges(QByteArray& record) {
  const TableHandle& tb = doc_.db().act.tb;
  const int32_t ref = doc_.db().space.refHandle;
  bool any = false;
  auto changed = [&](QWidget* w) {
    const bool c = values_.changed(w);
    any |= c;
    return c;
  };
  for (auto& t : texts_)
    if (changed(t.edit)) storeFieldText(tb, ref, record, t.offset, t.edit->text());
  for (auto& n : numbers_)
    if (changed(n.edit)) storeFieldText(tb, ref, record, n.offset, n.edit->text());
  if (changed(kind_)) put16(record, pos::kKind, static_cast<int16_t>(choiceOf(kind_)));
  if (changed(calendar_)) put16(record, pos::kCalendar, static_cast<int16_t>(choiceOf(calendar_)));
  if (changed(duration_)) put16(record, pos::kDuration, static_cast<int16_t>(duration_->value()));
  if (changed(remaining_))
    put16(record, pos::kRemaining, static_cast<int16_t>(remaining_->value()));
  if (changed(constraintType_))
    put16(record, pos::kConstraintType, static_cast<int16_t>(choiceOf(constraintType_)));
  if (changed(path_)) put16(record, pos::kPath, static_cast<int16_t>(path_->value()));
  const std::pair<QLineEdit*, int> dates[] = {{constraintDate_, pos::kConstraintDate},
                                              {start_, pos::kStart},
                                              {finish_, pos::kFinish},
                                              {actualStart_, pos::kActualStart},
                                              {actualFinish_, pos::kActualFinish}};
  for (const auto& [edit, offset] : dates) {
    if (!changed(edit)) continue;
    uint16_t day = 0;
    dateOf(edit, &day);  // checked by checkDates()
    put16(record, offset, static_cast<int16_t>(day));
  }
  bool flagsChanged = false;
  for (QCheckBox* box : flags_) flagsChanged |= changed(box);
  if (flagsChanged) {
    uint16_t flags = static_cast<uint16_t>(get16(record, pos::kFlags)) & ~kAllFlagBits;
    for (int i = 0; i < 8; ++i)
      if (flags_[i]->isChecked()) flags |= kFlagBits[i];
    // The facility name wins over the work-type name on either side.
    if (flags & 0x0002) flags &= ~0x0001;
    if (flags & 0x0008) flags &= ~0x0004;
    put16(record, pos::kFlags, static_cast<int16_t>(flags));
  }
  return any;
}

bool CActivityDialog::askTimeSharedDeletion(const QByteArray& record) {
  if (slot_ < 0 || get16(loaded_, pos::kKind) != kTimeSharedKind ||
      get16(record, pos::kKind) == kTimeSharedKind)
    return true;
  if (!(optionFlags() & optflag::kConfirmDelete)) return true;
  if (timeSharedEntries(doc_.db(), slot_).empty()) return true;
  return askQuestion(this, kStrMsgDeleteAsk, true) == QMessageBox::Yes;
}

void CActivityDialog::accept() {
  if (!doc_.isOpen()) return QDialog::reject();
  const bool added = slot_ < 0;
  QByteArray record = loaded_;
  // An existing activity is read again: the view's copy may be older than
  // the table.
  if (!added && !readSlot(doc_.db().act.tb, slot_, &record)) {
    showMessage(this, kStrMsgActivityMissing);
    return;
  }
  if (!checkDates()) return;
  const bool any = writeChanges(record);
  if (added)
    storeFieldText(doc_.db().act.tb, doc_.db().space.refHandle, record, pos::kCode,
                   code_->text().trimmed());
  if (!any && !added) return QDialog::accept();
  if (!askTimeSharedDeletion(record)) return;
  const EditResult result =
      doc_.inputRecord(ViewKind::Activities, added ? -1 : slot_, record.data(), 0);
  if (!result) {
    if (result.message) showMessage(this, result.message);
    return;
  }
  stored_ = true;
  slot_ = result.slot;
  QDialog::accept();
}

}  // namespace kelvo
