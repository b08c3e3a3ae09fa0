#include "kelvo/unit_mapper.h"

#include <QPaintDevice>
#include <cmath>

namespace kelvo {

UnitMapper::UnitMapper(double dpiX, double dpiY, int32_t originX, int32_t originY,
                       QPointF deviceOffset)
    : dpiX_(dpiX > 0 ? dpiX : 96.0),
      dpiY_(dpiY > 0 ? dpiY : 96.0),
      originX_(originX),
      originY_(originY),
      offset_(deviceOffset) {}

UnitMapper UnitMapper::forDevice(const QPaintDevice* device, int32_t originX, int32_t originY,
                                 QPointF deviceOffset) {
  const double dx = device ? device->logicalDpiX() : 96.0;
  const double dy = device ? device->logicalDpiY() : 96.0;
  return UnitMapper(dx, dy, originX, originY, deviceOffset);
}

UnitMapper UnitMapper::withOrigin(int32_t originX, int32_t originY, QPointF deviceOffset) const {
  return UnitMapper(dpiX_, dpiY_, originX, originY, deviceOffset);
}

QPointF UnitMapper::toDevice(double x, double y) const {
  return {offset_.x() + pixelsX(x - originX_), offset_.y() + pixelsY(originY_ - y)};
}

QRectF UnitMapper::toDevice(double left, double top, double right, double bottom) const {
  return QRectF(toDevice(left, top), toDevice(right, bottom)).normalized();
}

QRectF UnitMapper::toDevice(const LogicalRect& rect) const {
  return toDevice(rect.left, rect.top, rect.right, rect.bottom);
}

void UnitMapper::toLogical(QPointF device, int32_t* x, int32_t* y) const {
  if (x) *x = originX_ + static_cast<int32_t>(std::lround(unitsX(device.x() - offset_.x())));
  if (y) *y = originY_ - static_cast<int32_t>(std::lround(unitsY(device.y() - offset_.y())));
}

}  // namespace kelvo
