// What the record dialogs share: the values their controls were loaded
// with (so that OK writes back only what the user or a recomputation
// changed), spin boxes whose range never cuts a stored value, and reading
// and writing the fields of a record by their byte position.
#ifndef KELVO_RECORDS_RECORD_EDIT_H_
#define KELVO_RECORDS_RECORD_EDIT_H_

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <cstdint>
#include <cstring>
#include <unordered_map>

#include "xQdDb100.h"

class QLineEdit;
class QSpinBox;
class QWidget;

namespace kelvo {

// The value each control showed when the dialog loaded the record.
class LoadedValues {
 public:
  // Notes the control's present value as its loaded value.
  void remember(QWidget* control);
  // True when the control now shows another value than it was loaded with
  // (a control never remembered counts as changed).
  bool changed(QWidget* control) const;

 private:
  std::unordered_map<const QWidget*, QVariant> values_;
};

// A spin box over lo..hi widened to include `stored`, showing `stored`: a
// value outside the usual range is shown and kept, never clamped.
QSpinBox* widenedSpin(int lo, int hi, int stored, QWidget* parent);

// A line edit that takes at most maxBytes CP949 bytes (text CP949 cannot
// hold is refused as it is typed).
QLineEdit* byteLimitedEdit(int maxBytes, QWidget* parent);

// Little-endian 16-bit values at a byte position of a record.
inline int16_t get16(const QByteArray& record, int offset) {
  int16_t v = 0;
  std::memcpy(&v, record.constData() + offset, sizeof v);
  return v;
}
inline void put16(QByteArray& record, int offset, int16_t value) {
  std::memcpy(record.data() + offset, &value, sizeof value);
}
inline uint16_t getDate(const QByteArray& record, int offset) {
  return static_cast<uint16_t>(get16(record, offset));
}

// The record in `slot` of table tb, read into *record (sized to the
// table's records); false when the slot holds no live record. The table's
// current record is left as it was.
bool readSlot(TableHandle& tb, int32_t slot, QByteArray* record);

// The index of the field of tb that starts at byte `offset`, -1 if none.
int fieldAt(const TableHandle& tb, int offset);
// The field at `offset` as the sheets show it (empty when there is none).
QString fieldText(const TableHandle& tb, int32_t refHandle, const QByteArray& record, int offset);
// Stores text into the field at `offset` as the sheets do: the field's
// width, trimming, case and rounding decimals apply. False when no field
// starts there.
bool storeFieldText(const TableHandle& tb, int32_t refHandle, QByteArray& record, int offset,
                    const QString& text);

// True when day (non-zero) lies within the project's calendar range, the
// calendar day before its first day and after its last day included (the
// installed calendars cover just that); an open bound admits every day.
bool inCalendarRange(const PrjInfo& info, uint16_t day);

// Reads a date control: true with *day set (0 for an empty text) when the
// text is a date, false when it is not.
bool dateOf(const QLineEdit* edit, uint16_t* day);

// Reads a date the user typed, for storing: true with *day set (0 for an
// empty text) when the text is a date that the calendars reach and, with
// `latest` non-zero, not after `latest`. Otherwise refuses it (refuseDate)
// and returns false: a typing slip must not silently clear a stored date,
// and a day the calendars do not reach would be counted wrongly.
bool typedDate(QLineEdit* edit, const PrjInfo& info, uint16_t* day, uint16_t latest = 0);
// Shows "날짜 형식이 올바르지 않습니다." with a beep and puts the focus on the
// control, its text selected.
void refuseDate(QLineEdit* edit);

}  // namespace kelvo

#endif  // KELVO_RECORDS_RECORD_EDIT_H_
