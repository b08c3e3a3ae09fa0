// Every table layout of the system reference file Kelvo.ref, in one place:
// the field descriptors of the seven project tables (lists 10-16), of the
// activity and resource summary rows (lists 17, 18) and the text lists that
// reference fields (type 13) point into.
#ifndef MKREF_TABLE_LAYOUTS_H_
#define MKREF_TABLE_LAYOUTS_H_

#include <stdint.h>

#include <span>

namespace mkref {

// Field types of the engine's descriptors.
enum FieldType : int8_t {
  kInt16 = 4,
  kInt32 = 5,
  kFloat = 9,
  kDouble = 10,
  kText = 11,
  kDate = 12,
  kRef = 13,
};

// Flag bits of a descriptor.
enum FieldFlag : uint32_t {
  kRelied = 0x00000001,          // the program relies on it: never deleted, nothing inserted before
  kComputed = 0x00000002,        // computed by the program, not typed by the user
  kTrim = 0x00000010,            // input trimmed of blanks
  kThousands = 0x00000020,       // shown with thousands separators
  kSigned = 0x00000200,          // may be negative: one column more than its digits, for the sign
  kWeightDigits = 0x04000000,    // decimals of rates and weights
  kAmountDigits = 0x08000000,    // digits of amounts
  kPriceDigits = 0x10000000,     // digits of unit prices
  kQuantityDigits = 0x20000000,  // digits of quantities
  kDurationDigits = 0x40000000,  // width of durations
  kReshapable = 0x80000000,      // relied on, yet its format may change
};

// One field: its name as UTF-8 (written as CP949, at most 31 bytes), where it
// lies in the record and how it is typed. For kRef fields width is the number
// of the text list the stored index points into.
struct LayoutField {
  const char* name;
  int16_t offset;
  FieldType type;
  int16_t width;
  int8_t decimals;
  uint32_t flags;
};

// The descriptor list of one table or summary row.
struct TableLayout {
  int list;               // reference list number
  const char* table;      // table member name ("act", ...) or a summary label
  uint16_t recordLength;  // bytes of one record (summary rows: without the name)
  std::span<const LayoutField> fields;
};

// A text list: NUL-terminated entries of at most `width` bytes.
struct TextList {
  int list;
  uint16_t width;
  std::span<const char* const> entries;
};

std::span<const TableLayout> TableLayouts();
std::span<const TextList> TextLists();

}  // namespace mkref

#endif  // MKREF_TABLE_LAYOUTS_H_
