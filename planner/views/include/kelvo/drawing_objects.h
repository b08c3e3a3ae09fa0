// Drawing objects: the 28-byte object record and the project-wide object
// table (a memory table of the project database, saved in the project file).
// Every object belongs to one view kind and to one of that view's two layers,
// behind the data or in front of it; its anchor is a position in the view's
// own coordinates. No widgets here: the views draw and edit through this.
#ifndef KELVO_DRAWING_OBJECTS_H_
#define KELVO_DRAWING_OBJECTS_H_

#include <cstdint>
#include <string>
#include <vector>

#include "kelvo/logical_rect.h"
#include "kelvo/view_kind.h"
#include "kelvo/view_position.h"
#include "xJorDbm2.h"
#include "xJorLib.h"

namespace kelvo {

// Object types (byte 0). Types 3..9 are the edit tools 3..9.
namespace shape {
inline constexpr uint8_t kText = 3;
inline constexpr uint8_t kHorizontalLine = 4;
inline constexpr uint8_t kVerticalLine = 5;
inline constexpr uint8_t kObliqueLine = 6;
inline constexpr uint8_t kRectangle = 7;
inline constexpr uint8_t kEllipse = 8;
inline constexpr uint8_t kPicture = 9;
inline constexpr uint8_t kContinuation = 99;
constexpr bool isHeadType(uint8_t type) {
  return type >= kText && type <= kPicture;
}
// Lines, rectangles and ellipses: the types whose style bytes are a style.
constexpr bool isStyled(uint8_t type) {
  return type >= kHorizontalLine && type <= kEllipse;
}
}  // namespace shape

// Fill codes (bytes 26-27): no fill, solid, else hatch 0..5 (horizontal,
// vertical, "\", "/", cross, diagonal cross).
namespace fillcode {
inline constexpr int16_t kNone = -2;
inline constexpr int16_t kSolid = -1;
inline constexpr int16_t kLastHatch = 5;
}  // namespace fillcode

// Pen styles 0..6: solid, dash, dot, dash-dot, dash-dot-dot, none, inside-frame.
namespace penstyle {
inline constexpr int16_t kSolid = 0;
inline constexpr int16_t kNone = 5;
inline constexpr int16_t kInsideFrame = 6;
}  // namespace penstyle

// Text alignment of a text object (bytes 18-19).
namespace textalign {
inline constexpr int16_t kLeft = 0;
inline constexpr int16_t kRight = 1;
inline constexpr int16_t kCentre = 2;
}  // namespace textalign

inline constexpr int kObjectRecordSize = 28;
inline constexpr int kContinuationData = 26;  // bytes a continuation record carries
inline constexpr int kPictureNameSize = 14;   // bytes 14..27, NUL included

#pragma pack(push, 1)
// One record of the object table. Text heads use bytes 18-23 for their
// alignment, continuation count and text length; picture heads bytes 14-27
// for the name of their picture file; continuation records carry 26 bytes
// of font and text from byte 2.
struct ObjectRecord {
  uint8_t type = 0;        // 0  shape::*
  uint8_t layer = 0;       // 1  view kind x 2, + 1 in front of the data
  ViewPosition anchor;     // 2
  int16_t width = 0;       // 10 signed, 0.1 mm
  int16_t height = 0;      // 12 signed, negative downward
  uint32_t lineColor = 0;  // 14 0x00BBGGRR; text colour for text
  int16_t lineStyle = 0;   // 18 penstyle; text: alignment
  int16_t lineWidth = 0;   // 20 0.1 mm; text: continuation records
  uint32_t fillColor = 0;  // 22 text: low 16 bits are the text length
  int16_t fill = 0;        // 26 fillcode / hatch

  // A picture's file name (bytes 14..27, at most 13 characters).
  std::string pictureName() const;
  void setPictureName(const std::string& name);
  // The text length of a text head.
  uint16_t textLength() const { return static_cast<uint16_t>(fillColor & 0xFFFF); }
};
#pragma pack(pop)
static_assert(sizeof(ObjectRecord) == kObjectRecordSize, "an object record is 28 bytes");

// The layer code of a view kind: kind x 2, plus 1 for the front layer.
constexpr uint8_t layerCode(ViewKind kind, bool front) {
  return static_cast<uint8_t>(kindNumber(kind) * 2 + (front ? 1 : 0));
}
constexpr bool isFrontLayer(uint8_t code) {
  return code & 1;
}

// Continuation records a text of length bytes needs after its head: the
// 60-byte font and the text, 26 bytes a record, with one to spare.
constexpr int continuationsFor(int length) {
  return (length + 59) / kContinuationData + 1;
}

// True when name has the form picture files are stored under: eight
// upper-case hex digits, a dot and three lower-case letters.
bool isPictureFileName(const std::string& name);

// One object as the clipboard and the undo steps keep it: the head and its
// continuation records.
using ObjectRecords = std::vector<ObjectRecord>;

// The head and continuation records of a text object at anchor with the
// given extent, colour and alignment, holding font and the CP949 text (cut
// to 65535 bytes).
ObjectRecords makeTextObject(const ViewPosition& anchor, int16_t width, int16_t height,
                             COLORREF colour, int16_t alignment, const LOGFONT& font,
                             const std::string& text);

// The normalised rectangle of an object whose anchor is at logical point
// (x, y): left <= right, top >= bottom.
LogicalRect objectRect(const ObjectRecord& head, int32_t x, int32_t y);

// Whether a click at (px, py) hits the object anchored at (x, y): a line
// within slack units of its segment, other shapes inside their rectangle.
bool objectHit(const ObjectRecord& head, int32_t x, int32_t y, int32_t px, int32_t py,
               int32_t slack = 10);

// A view of the project's object table. It does not own the memory table;
// records of one layer are contiguous and in drawing order, continuation
// records always follow their head with its layer code.
class ObjectTable {
 public:
  explicit ObjectTable(MemTable* table) : table_(table) {}

  uint32_t count() const { return table_ && table_->data ? table_->count : 0; }
  ObjectRecord at(uint32_t index) const;
  // Rewrites the record at index (false when index is past the end).
  bool put(uint32_t index, const ObjectRecord& record);

  // The records of a layer: [first, end).
  struct Range {
    uint32_t first = 0;
    uint32_t end = 0;
  };
  Range layer(uint8_t code) const;

  // Records the object at index spans: 1 for a head that is not text; for a
  // text head 1 + the continuation records that really follow it (same
  // layer, type 99, inside the table). 0 when index is no usable head: not
  // a head type, or a text whose font and text do not fit its records.
  uint32_t span(uint32_t index) const;
  // The font and CP949 text of the text head at index (false when it is
  // none or damaged). The length is clamped to what the records hold.
  bool readText(uint32_t index, LOGFONT* font, std::string* text) const;

  // Inserts records at index (index = count appends), every record in
  // layer code. False when memory ran out; the table is then as before.
  bool insert(uint32_t index, const ObjectRecords& records, uint8_t code);
  // Appends the object to the end of layer code; returns its head's index
  // (or -1 when it could not be stored).
  int64_t append(uint8_t code, const ObjectRecords& records);
  // Removes the object at index with its continuation records and returns
  // them (empty when index is no head).
  ObjectRecords take(uint32_t index);
  // The object at index with its continuation records, copied.
  ObjectRecords copy(uint32_t index) const;

  // Order commands over a selection listed in descending record order.
  // Objects keep their relative order. Returns the new head indexes, in
  // descending order.
  enum class Move { ToFront, ToBack, IntoFrontLayer, IntoBackLayer };
  std::vector<uint32_t> reorder(const std::vector<uint32_t>& descending, Move move,
                                uint8_t backCode);

  // The whole table's bytes, and putting them back (undo keeps these).
  std::vector<uint8_t> snapshot() const;
  bool restore(const std::vector<uint8_t>& bytes);

 private:
  uint32_t seekLayer(uint8_t code) const;
  MemTable* table_;
};

}  // namespace kelvo

#endif  // KELVO_DRAWING_OBJECTS_H_
