// Painting drawing objects and their styles through QPainter: pens of the
// seven styles, solid and hatched brushes, and each object type, alike on
// screen, in the preview and on paper (sizes follow the device's DPI).
#ifndef KELVO_OBJECT_PAINT_H_
#define KELVO_OBJECT_PAINT_H_

#include <QBrush>
#include <QPen>
#include <QString>
#include <functional>

#include "kelvo/drawing_objects.h"
#include "kelvo/unit_mapper.h"

class QPainter;

namespace kelvo {

// A pen of style 0..6 (solid, dash, dot, dash-dot, dash-dot-dot, none,
// inside-frame), width in 0.1 mm (at least one device pixel) and colour.
// Dashes stay dashed at every width; inside-frame draws solid.
QPen objectPen(int16_t style, int16_t width, COLORREF colour, const UnitMapper& mapper);

// The brush of fill code fill (fillcode::kNone, kSolid, or hatch 0..5) in
// colour. A hatch is a texture whose cell is 8 pixels at 96 dpi, scaled to
// the device's DPI, with transparent gaps.
QBrush objectBrush(int16_t fill, COLORREF colour, const UnitMapper& mapper);

// Draws the object whose head is records[0] with its top-left anchor at the
// logical point (x, y). visible is the logical rectangle being painted:
// straight lines and rectangles are clamped to it widened by 100 units,
// oblique lines clipped to it, and other shapes wholly outside it skipped.
// picturePath gives the file of a picture object (empty: none); a picture
// that cannot be loaded draws a framed placeholder with a cross and
// calls pictureFailed with the reason.
struct PictureSource {
  std::function<QString(const std::string& name)> path;
  std::function<void(const std::string& name, const QString& reason)> failed;
};
void paintObject(QPainter& painter, const UnitMapper& mapper, const ObjectRecords& records,
                 int32_t x, int32_t y, const LogicalRect& visible, const PictureSource& pictures);

}  // namespace kelvo

#endif  // KELVO_OBJECT_PAINT_H_
