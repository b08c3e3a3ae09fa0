// A position in a view's own coordinates, as drawing objects store their
// anchors (8 bytes).
#ifndef KELVO_VIEW_POSITION_H_
#define KELVO_VIEW_POSITION_H_

#include <cstdint>

namespace kelvo {

// On most views a logical point (x, y); on a time-scaled view the date, x
// remainder, row and y remainder as four 16-bit values packed
// little-endian into the same bytes.
#pragma pack(push, 1)
struct ViewPosition {
  int32_t x = 0;
  int32_t y = 0;

  static constexpr ViewPosition time(uint16_t date, uint16_t xRemainder, uint16_t row,
                                     int16_t yRemainder) {
    ViewPosition p;
    p.x = static_cast<int32_t>(static_cast<uint32_t>(date) |
                               (static_cast<uint32_t>(xRemainder) << 16));
    p.y = static_cast<int32_t>(static_cast<uint32_t>(row) |
                               (static_cast<uint32_t>(static_cast<uint16_t>(yRemainder)) << 16));
    return p;
  }
  constexpr uint16_t date() const { return static_cast<uint16_t>(x & 0xFFFF); }
  constexpr uint16_t xRemainder() const { return static_cast<uint16_t>((x >> 16) & 0xFFFF); }
  constexpr uint16_t row() const { return static_cast<uint16_t>(y & 0xFFFF); }
  constexpr int16_t yRemainder() const { return static_cast<int16_t>((y >> 16) & 0xFFFF); }
};
#pragma pack(pop)
static_assert(sizeof(ViewPosition) == 8, "a view position is 8 bytes");

}  // namespace kelvo

#endif  // KELVO_VIEW_POSITION_H_
