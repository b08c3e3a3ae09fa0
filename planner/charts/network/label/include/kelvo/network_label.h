// The labels written above and below an activity's arrow, built from a
// 40-byte label template: field values padded to their output width,
// fields word-wrapped over several lines, literal texts and line breaks.
// Text is CP949; widths and lengths are in bytes.
#ifndef KELVO_NETWORK_LABEL_H_
#define KELVO_NETWORK_LABEL_H_

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace kelvo {

// Longest label text, in bytes.
inline constexpr size_t kMaxLabelBytes = 1022;

// Label template bytes; a byte below them names a field.
namespace labelbyte {
inline constexpr uint8_t kLiteral = 0xFC;
inline constexpr uint8_t kWrap = 0xFD;
inline constexpr uint8_t kNewLine = 0xFE;
inline constexpr uint8_t kEnd = 0xFF;
}  // namespace labelbyte

// One item of a template: a field (with the number of extra lines it
// wraps over), a literal text, or a line break.
struct LabelItem {
  enum Kind : uint8_t { Field, Literal, NewLine } kind = Field;
  int field = 0;
  int extraLines = 0;
  std::string text;
};

// Reads at most `size` bytes of a template, stopping at 0xFF: a byte below
// fieldCount (and below 0xFC) is a field, 0xFD bytes after it add wrapped
// lines, 0xFC starts a literal running to a NUL or the template's end, 0xFE
// breaks the line; other bytes are skipped.
std::vector<LabelItem> parseLabelTemplate(const uint8_t* bytes, size_t size, int fieldCount);

// Bytes item takes in a template: a field 1 plus its extra lines, a
// literal 0xFC, its text and a NUL, a line break 1.
size_t labelItemBytes(const LabelItem& item);
// Writes items as a template of size bytes: each item as above, then the
// closing 0xFF, repeated to the end as in a new chart's templates. Returns false, and leaves out
// alone, when they do not fit or a field number is 0xFC or more.
bool buildLabelTemplate(const std::vector<LabelItem>& items, uint8_t* out, size_t size);

// The characters per line of a template: its longest line, each field
// counting its output width (a wrapped field its width divided by its
// lines, rounded up), items separated by one blank. width(field) gives
// the output width.
int labelLineChars(const std::vector<LabelItem>& items, const std::function<int(int)>& width);
// Lines a template writes (wrapped fields count their lines).
int labelLineCount(const std::vector<LabelItem>& items);

// A field's value as written: its text and output width; numbers pad on
// the left, text on the right.
struct LabelValue {
  std::string text;
  int width = 0;
  bool number = false;
};
// The lines of a label, at most kMaxLabelBytes in all. A wrapped field is
// cut into pieces of lineChars bytes (never inside a double-byte
// character; a piece holds one character at least) over its lines; pieces
// beyond them are dropped.
std::vector<std::string> labelLines(const std::vector<LabelItem>& items,
                                    const std::function<LabelValue(int)>& value, int lineChars);

}  // namespace kelvo

#endif  // KELVO_NETWORK_LABEL_H_
