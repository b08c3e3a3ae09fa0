#include <QPaintDevice>
#include <cmath>

#include "kelvo/base_view.h"

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

ViewPosition ViewPosition::time(uint16_t date, uint16_t xRemainder, uint16_t row,
                                int16_t yRemainder) {
  ViewPosition p;
  p.x =
      static_cast<int32_t>(static_cast<uint32_t>(date) | (static_cast<uint32_t>(xRemainder) << 16));
  p.y = static_cast<int32_t>(static_cast<uint32_t>(row) |
                             (static_cast<uint32_t>(static_cast<uint16_t>(yRemainder)) << 16));
  return p;
}

ViewState& viewState() {
  static ViewState state;
  return state;
}

uint16_t& optionFlags() {
  static uint16_t fallback = 0x600;
  ViewState& st = viewState();
  return st.flags ? *st.flags : fallback;
}

}  // namespace kelvo
