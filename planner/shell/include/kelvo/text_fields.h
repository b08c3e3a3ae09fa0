// Moving text between Qt widgets and the fixed CP949 fields of records.
#ifndef KELVO_TEXT_FIELDS_H_
#define KELVO_TEXT_FIELDS_H_

#include <QString>
#include <cstddef>
#include <cstdint>

namespace kelvo {

// The NUL-terminated CP949 text of a fixed field of `size` bytes.
QString fieldText(const char* field, size_t size);
// Stores text into a field of `size` bytes (at most size - 1 bytes and a
// NUL, the rest zeroed), never splitting a double-byte character.
void setFieldText(char* field, size_t size, const QString& text);
// Bytes text takes in CP949.
int cp949Length(const QString& text);

// A packed date as text in the current date form ("" for no date).
QString dateText(uint16_t date);
// Reads a date typed in the current form: true with *date set (0 for an
// empty text), false when the text is not a date.
bool parseDateText(const QString& text, uint16_t* date);

}  // namespace kelvo

#endif  // KELVO_TEXT_FIELDS_H_
