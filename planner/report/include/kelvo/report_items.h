// Report items: drawing-object records of the user report's view kind. The
// body's items lie in the kind's back layer ('*'), the cover's in its front
// layer ('+'). An item's anchor holds x (32 bits), its band (16 bits) and y
// within the band (16 bits, negative downward). A text item's continuation
// data hold the 60-byte font, then a fixed 12-byte header saying where the
// text comes from, then the text or formula, then the condition.
#ifndef KELVO_REPORT_ITEMS_H_
#define KELVO_REPORT_ITEMS_H_

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "kelvo/drawing_objects.h"

namespace kelvo {

// The two sections: layer codes of view kind 21.
inline constexpr uint8_t kSectionBody = '*';   // 42, the back layer
inline constexpr uint8_t kSectionCover = '+';  // 43, the front layer

// Where a text item's text comes from.
namespace source {
inline constexpr uint8_t kText = 0;           // fixed text
inline constexpr uint8_t kFormula = 1;        // an expression over the record
inline constexpr uint8_t kSystem = 2;         // system item 0..12
inline constexpr uint8_t kSummaryField = 3;   // a field of the summary record
inline constexpr uint8_t kRelatedField = 6;   // a field of the related record
inline constexpr uint8_t kRelatedField2 = 8;  // the same, kept as written
}  // namespace source

// System items.
namespace sysitem {
inline constexpr uint8_t kToday = 0, kPageNumber = 1, kProjectCode = 2, kProjectName = 3,
                         kCompany = 4, kCurrency = 5, kProjectStart = 6, kProjectFinish = 7,
                         kPeriodStart = 8, kPeriodEnd = 9, kReferenceDate = 10, kRemarks = 11,
                         kManager = 12;
inline constexpr int kCount = 13;
}  // namespace sysitem

inline constexpr int kReportTextHeaderSize = 12;

#pragma pack(push, 1)
// The header after the font in a text item's continuation data.
struct ReportTextHeader {
  uint8_t source = source::kText;  // 0
  uint8_t systemItem = 0;          // 1
  int8_t decimals = 0;             // 2 digits after the point for numbers
  uint8_t reserved = 0;            // 3
  int16_t field = -1;              // 4 field index of sources 3, 6 and 8
  uint16_t textLength = 0;         // 6 bytes of text or formula
  uint16_t conditionLength = 0;    // 8 bytes of the condition after it
  uint16_t spare = 0;              // 10
};
#pragma pack(pop)
static_assert(sizeof(ReportTextHeader) == kReportTextHeaderSize, "the text header is 12 bytes");

// One item as the report draws it.
struct ReportItem {
  uint32_t record = 0;  // head index in the object table
  ObjectRecord head;    // kind, section, anchor, size, colours, style
  int32_t x = 0;        // from the page's left margin
  int16_t band = 0;
  int16_t y = 0;  // from the band's top, negative downward
  // Text items only.
  LOGFONT font{};
  ReportTextHeader header;
  std::string text;       // CP949: the fixed text, formula or item name
  std::string condition;  // CP949, empty = always
  bool isText() const { return head.type == shape::kText; }
};

// An item anchor and its parts.
ViewPosition reportAnchor(int32_t x, int16_t band, int16_t y);
inline int16_t anchorBand(const ViewPosition& p) {
  return int16_t(p.y & 0xFFFF);
}
inline int16_t anchorY(const ViewPosition& p) {
  return int16_t((p.y >> 16) & 0xFFFF);
}

// The records of a text item (head and continuation records) at anchor of the
// given size, colour and alignment. Text and condition are cut so that the
// whole payload stays within 65535 bytes.
ObjectRecords makeReportText(const ViewPosition& anchor, int16_t width, int16_t height,
                             COLORREF colour, int16_t alignment, const LOGFONT& font,
                             const ReportTextHeader& header, const std::string& text,
                             const std::string& condition);

// Reads the item whose head is at index. False when it is no usable head,
// or a text item whose header and lengths do not fit what its records hold.
bool readReportItem(const ObjectTable& table, uint32_t index, ReportItem* item);

// The items of a section, sorted by band and position (top to bottom, then
// left to right); items of equal place keep their drawing order. Damaged
// records are left out.
std::vector<ReportItem> reportItems(const ObjectTable& table, uint8_t section);

// Calls edit on every readable text item of both sections; an item for
// which it returns true is written back at its place with the header, text
// and condition edit left in it (position, size, colours and font kept).
// Returns how many items were written back.
int editReportTexts(ObjectTable& table, const std::function<bool(ReportItem&)>& edit);

}  // namespace kelvo

#endif  // KELVO_REPORT_ITEMS_H_
