// A rectangle in the views' logical units (0.1 mm, y up).
#ifndef KELVO_LOGICAL_RECT_H_
#define KELVO_LOGICAL_RECT_H_

#include <cstdint>

namespace kelvo {

// y grows upwards: top >= bottom on a normal rectangle.
struct LogicalRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  int32_t width() const { return right - left; }
  int32_t height() const { return top - bottom; }  // positive when top is above bottom
};

}  // namespace kelvo

#endif  // KELVO_LOGICAL_RECT_H_
