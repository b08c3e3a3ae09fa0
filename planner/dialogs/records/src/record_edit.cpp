#include "record_edit.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <algorithm>

#include "kelvo/cp949_validator.h"
#include "kelvo/messages.h"
#include "kelvo/strings.h"
#include "kelvo/text_fields.h"
#include "xJorDbm2.h"
#include "xjor/packed_date.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo {

namespace {

QVariant valueOf(const QWidget* control) {
  if (auto* spin = qobject_cast<const QSpinBox*>(control)) return spin->value();
  if (auto* edit = qobject_cast<const QLineEdit*>(control)) return edit->text();
  if (auto* combo = qobject_cast<const QComboBox*>(control)) return combo->currentIndex();
  if (auto* button = qobject_cast<const QAbstractButton*>(control)) return button->isChecked();
  return {};
}

}  // namespace

void LoadedValues::remember(QWidget* control) {
  values_[control] = valueOf(control);
}

bool LoadedValues::changed(QWidget* control) const {
  const auto it = values_.find(control);
  return it == values_.end() || it->second != valueOf(control);
}

QSpinBox* widenedSpin(int lo, int hi, int stored, QWidget* parent) {
  auto* spin = new QSpinBox(parent);
  spin->setRange(std::min(lo, stored), std::max(hi, stored));
  spin->setValue(stored);
  return spin;
}

QLineEdit* byteLimitedEdit(int maxBytes, QWidget* parent) {
  auto* edit = new QLineEdit(parent);
  edit->setValidator(new Cp949Validator(maxBytes, edit));
  return edit;
}

bool readSlot(TableHandle& tb, int32_t slot, QByteArray* record) {
  if (slot < 0) return false;
  record->fill(0, tb.recordSize);
  const int32_t kept = tb.current;
  tb.current = slot;
  const bool ok = xGetRec(&tb, record->data()) != 0;
  tb.current = kept;
  return ok;
}

int fieldAt(const TableHandle& tb, int offset) {
  for (int i = 0; tb.fields && i < tb.fieldCount; ++i)
    if (tb.fields[i].offset == offset) return i;
  return -1;
}

QString fieldText(const TableHandle& tb, int32_t refHandle, const QByteArray& record, int offset) {
  const int i = fieldAt(tb, offset);
  if (i < 0) return {};
  char out[XF_VALUE_MAX + 1] = {};
  xGetValue(tb.fields, refHandle, out, record.constData(), i, -1);
  return xjor::fromCp949(out, static_cast<int>(std::strlen(out))).trimmed();
}

bool storeFieldText(const TableHandle& tb, int32_t refHandle, QByteArray& record, int offset,
                    const QString& text) {
  const int i = fieldAt(tb, offset);
  if (i < 0) return false;
  const QByteArray bytes = xjor::toCp949(text);
  xSetValue(tb.fields, refHandle, bytes.constData(), record.data(), i);
  return true;
}

bool inCalendarRange(const PrjInfo& info, uint16_t day) {
  const int32_t n = xjor::dayNumber(day);
  if (info.calendarFrom && n < xjor::dayNumber(info.calendarFrom) - 1) return false;
  if (info.calendarTo && n > xjor::dayNumber(info.calendarTo) + 1) return false;
  return true;
}

bool dateOf(const QLineEdit* edit, uint16_t* day) {
  return parseDateText(edit->text(), day);
}

bool typedDate(QLineEdit* edit, const PrjInfo& info, uint16_t* day, uint16_t latest) {
  if (dateOf(edit, day) && (!*day || (inCalendarRange(info, *day) && (!latest || *day <= latest))))
    return true;
  refuseDate(edit);
  return false;
}

void refuseDate(QLineEdit* edit) {
  showMessage(edit->window(), kStrMsgBadDate);
  edit->setFocus();
  edit->selectAll();
}

}  // namespace kelvo
