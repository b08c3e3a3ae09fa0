#include "kelvo/field_editor.h"

#include <QComboBox>
#include <QLineEdit>
#include <cstring>

#include "kelvo/cp949_validator.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo {
namespace {

constexpr int kValueChars = 192;  // the editor shows at most this much of a value

}  // namespace

QString fieldText(const FieldDesc* fields, int32_t ref, const char* record, int field) {
  char out[XF_VALUE_BUFFER];
  out[0] = 0;
  xGetValue(fields, ref, out, record, field, -1);
  return xjor::fromCp949(out, static_cast<int>(strnlen(out, XF_VALUE_MAX)));
}

void loadFieldEditor(QLineEdit* edit, QComboBox* list, const FieldDesc* fields, int field,
                     int32_t ref, const char* record) {
  const FieldDesc& f = fields[field];
  if (f.type == XF_REF) {
    list->clear();
    RefList entries{};
    if (ref >= 0 && xGetRef(ref, f.width, &entries)) {
      for (int i = 0; i < entries.count; ++i) {
        const char* e = entries.entries + i * (entries.width + 1);
        list->addItem(xjor::fromCp949(e, static_cast<int>(strnlen(e, entries.width + 1))));
      }
      xFreeBuffer(entries.entries);
    }
    uint16_t stored = 0;
    std::memcpy(&stored, record + f.offset, sizeof stored);
    list->setCurrentIndex(stored < list->count() ? stored : -1);
    list->setEnabled(!(f.flags & XF_READONLY));
    return;
  }
  auto* validator = dynamic_cast<Cp949Validator*>(const_cast<QValidator*>(edit->validator()));
  if (!validator) {
    validator = new Cp949Validator(-1, edit);
    edit->setValidator(validator);
  }
  validator->setMaxBytes(f.type == XF_STRING ? f.width : kValueChars);
  edit->setText(fieldText(fields, ref, record, field).left(kValueChars));
  edit->setReadOnly(f.flags & XF_READONLY);
  edit->selectAll();
}

bool storeFieldEditor(QLineEdit* edit, QComboBox* list, const FieldDesc* fields, int field,
                      int32_t ref, char* record) {
  const FieldDesc& f = fields[field];
  if (f.flags & XF_READONLY) return false;
  if (f.type == XF_REF) {
    const int chosen = list->currentIndex();
    uint16_t stored = 0;
    std::memcpy(&stored, record + f.offset, sizeof stored);
    if (chosen < 0 || chosen == stored) return false;
    const uint16_t value = static_cast<uint16_t>(chosen);
    std::memcpy(record + f.offset, &value, sizeof value);
    return true;
  }
  const QString now = edit->text();
  if (now == fieldText(fields, ref, record, field)) return false;
  // Whatever does not parse is stored as the engine's conversion makes it.
  const QByteArray bytes = xjor::toCp949(now);
  xSetValue(fields, ref, bytes.constData(), record, field);
  return true;
}

}  // namespace kelvo
