// Logical units (0.1 mm, y up) to device pixels and back, at two DPIs.
#include <gtest/gtest.h>

#include <QImage>

#include "kelvo/base_view.h"
#include "shell_fixture.h"
#include "test_view.h"

namespace kelvo {
namespace {

TEST(UnitMapperTest, TenMillimetresAtTwoResolutions) {
  // 254 dpi: one pixel per unit; 600 x 300 dpi: x and y scale apart.
  const UnitMapper fine(254, 254);
  EXPECT_EQ(fine.toDevice(100, -100), QPointF(100, 100));
  const UnitMapper print(600, 300);
  EXPECT_DOUBLE_EQ(print.toDevice(254, 0).x(), 600.0);
  EXPECT_DOUBLE_EQ(print.toDevice(0, -254).y(), 300.0);
  // y up: a point above the origin lands above the device origin.
  EXPECT_LT(print.toDevice(0, 10).y(), 0.0);
}

TEST(UnitMapperTest, OriginAndOffsetAndRoundTrip) {
  const UnitMapper m(96, 96, 500, -200, QPointF(10, 20));
  // The origin lands on the device offset.
  EXPECT_EQ(m.toDevice(500, -200), QPointF(10, 20));
  int32_t x = 0, y = 0;
  m.toLogical(m.toDevice(1234, -567), &x, &y);
  EXPECT_EQ(x, 1234);
  EXPECT_EQ(y, -567);
  const QRectF r = m.toDevice(LogicalRect{500, -200, 754, -454});
  EXPECT_NEAR(r.width(), 96.0, 1e-9);
  EXPECT_NEAR(r.height(), 96.0, 1e-9);
  EXPECT_EQ(r.topLeft(), QPointF(10, 20));
}

TEST(UnitMapperTest, DeviceDpiDecidesTheScale) {
  for (int dpi : {96, 300}) {
    QImage image(10, 10, QImage::Format_RGB32);
    image.setDotsPerMeterX(static_cast<int>(dpi / 0.0254 + 0.5));
    image.setDotsPerMeterY(static_cast<int>(dpi / 0.0254 + 0.5));
    const UnitMapper m = UnitMapper::forDevice(&image);
    EXPECT_NEAR(m.toDevice(254, 0).x(), dpi, 0.5) << dpi;
  }
}

TEST(ViewPositionTest, TimeFormPacksFourWords) {
  const ViewPosition p = ViewPosition::time(0x1234, 7, 42, -13);
  EXPECT_EQ(p.date(), 0x1234);
  EXPECT_EQ(p.xRemainder(), 7);
  EXPECT_EQ(p.row(), 42);
  EXPECT_EQ(p.yRemainder(), -13);
  unsigned char bytes[8];
  std::memcpy(bytes, &p, 8);
  const unsigned char expected[8] = {0x34, 0x12, 7, 0, 42, 0, 0xF3, 0xFF};
  EXPECT_EQ(std::memcmp(bytes, expected, 8), 0);
}

}  // namespace
}  // namespace kelvo
