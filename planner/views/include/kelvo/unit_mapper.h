// The one mapping from the views' logical units (0.1 mm, y up) to device
// pixels, shared by screen, print preview and printer.
#ifndef KELVO_UNIT_MAPPER_H_
#define KELVO_UNIT_MAPPER_H_

#include <QPointF>
#include <QRectF>
#include <cstdint>

#include "kelvo/logical_rect.h"

class QPaintDevice;

namespace kelvo {

// Subtract the origin, negate y, scale by the device's own DPI / 254, and
// add the device offset. Screen, preview and printer all draw through it.
class UnitMapper {
 public:
  UnitMapper() = default;
  // dpiX, dpiY: the device's DPI (kept apart); (originX, originY) is the
  // logical point that lands on deviceOffset.
  UnitMapper(double dpiX, double dpiY, int32_t originX = 0, int32_t originY = 0,
             QPointF deviceOffset = {});
  // The mapping for device (its logical DPI, which is also what font point
  // sizes are resolved against).
  static UnitMapper forDevice(const QPaintDevice* device, int32_t originX = 0, int32_t originY = 0,
                              QPointF deviceOffset = {});

  double dpiX() const { return dpiX_; }
  double dpiY() const { return dpiY_; }
  int32_t originX() const { return originX_; }
  int32_t originY() const { return originY_; }
  QPointF deviceOffset() const { return offset_; }
  // The same mapping with another origin.
  UnitMapper withOrigin(int32_t originX, int32_t originY, QPointF deviceOffset) const;

  // Logical point / rectangle to device.
  QPointF toDevice(double x, double y) const;
  QRectF toDevice(const LogicalRect& rect) const;
  QRectF toDevice(double left, double top, double right, double bottom) const;
  // Device point to logical (rounded to the nearest unit).
  void toLogical(QPointF device, int32_t* x, int32_t* y) const;
  // Lengths: logical units to pixels and back.
  double pixelsX(double units) const { return units * dpiX_ / 254.0; }
  double pixelsY(double units) const { return units * dpiY_ / 254.0; }
  double unitsX(double pixels) const { return pixels * 254.0 / dpiX_; }
  double unitsY(double pixels) const { return pixels * 254.0 / dpiY_; }

 private:
  double dpiX_ = 254.0;
  double dpiY_ = 254.0;
  int32_t originX_ = 0;
  int32_t originY_ = 0;
  QPointF offset_;
};

}  // namespace kelvo

#endif  // KELVO_UNIT_MAPPER_H_
