// What the two source files of the object layer share: its sizes, the
// internal clipboard and the pictures whose failure was already told.
#ifndef KELVO_OBJECT_LAYER_INTERNAL_H_
#define KELVO_OBJECT_LAYER_INTERNAL_H_

#include <QString>
#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "kelvo/drawing_objects.h"

namespace kelvo::objlayer {

inline constexpr int32_t kHandle = 10;      // handle squares and the grab zone around them
inline constexpr int32_t kKeyStep = 10;     // one arrow key
inline constexpr int32_t kPasteInset = 10;  // pasted objects land this far inside the view
inline constexpr int kConfirmDeleteMessage = 20018;

// The internal clipboard (program-wide, kept until the next copy): each
// object as a logical point plus its records, and the selection's left-most
// x and top-most y.
struct ClipObject {
  int32_t x = 0, y = 0;
  ObjectRecords records;
  QString picture;  // the picture file to copy again on every paste
};
struct Clipboard {
  bool fromReport = false;
  int32_t headerX = 0, headerY = 0;
  std::vector<ClipObject> objects;
};
Clipboard& clipboard();

// Picture names whose failure to load was already told.
std::set<std::string>& toldPictures();

inline int16_t clamp16(int64_t v) {
  return int16_t(std::clamp<int64_t>(v, -32767, 32767));
}

}  // namespace kelvo::objlayer

#endif  // KELVO_OBJECT_LAYER_INTERNAL_H_
