#include "kelvo/object_paint.h"

#include <QFileInfo>
#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "xJorImg.h"
#include "xjorlib/qt_bridge.h"

namespace kelvo {

namespace {

// Geometry is reduced to the painted rectangle widened by this much before
// it meets the raster engine.
constexpr int32_t kMargin = 100;
constexpr double kHatchCell = 8.0;  // pixels at 96 dpi

struct Box {
  double left, top, right, bottom;  // logical, y up
};

Box widened(const LogicalRect& r) {
  return {double(r.left) - kMargin, double(r.top) + kMargin, double(r.right) + kMargin,
          double(r.bottom) - kMargin};
}

double clampX(double x, const Box& b) {
  return std::clamp(x, b.left, b.right);
}
double clampY(double y, const Box& b) {
  return std::clamp(y, b.bottom, b.top);
}

// Liang-Barsky: clips the segment to the box, keeping its direction.
bool clipSegment(double& x1, double& y1, double& x2, double& y2, const Box& b) {
  const double dx = x2 - x1, dy = y2 - y1;
  double t0 = 0, t1 = 1;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x1 - b.left, b.right - x1, y1 - b.bottom, b.top - y1};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0)
      t0 = std::max(t0, t);
    else
      t1 = std::min(t1, t);
    if (t0 > t1) return false;
  }
  const double ox = x1, oy = y1;
  x1 = ox + t0 * dx, y1 = oy + t0 * dy;
  x2 = ox + t1 * dx, y2 = oy + t1 * dy;
  return true;
}

bool outside(const LogicalRect& r, const Box& b) {
  return r.right < b.left || r.left > b.right || r.top < b.bottom || r.bottom > b.top;
}

// One hatch cell: lines of the pattern across a transparent square, set
// pixel by pixel so that every device gets the same pattern.
QPixmap hatchCell(int hatch, const QColor& colour, int size) {
  QPixmap cell(size, size);
  cell.fill(Qt::transparent);
  QPainter p(&cell);
  const int w = std::max(1, size / 8);
  const int m = size / 2;
  const bool horizontal = hatch == 0 || hatch == 4;
  const bool vertical = hatch == 1 || hatch == 4;
  const bool down = hatch == 2 || hatch == 5;  // "\": top-left to bottom-right
  const bool up = hatch == 3 || hatch == 5;    // "/"
  if (horizontal) p.fillRect(0, m, size, w, colour);
  if (vertical) p.fillRect(m, 0, w, size, colour);
  // Diagonals run corner to corner, so neighbouring cells join.
  for (int i = 0; i < size; ++i) {
    if (down) p.fillRect(i, i, w, w, colour);
    if (up) p.fillRect(i, size - w - i, w, w, colour);
  }
  return cell;
}

}  // namespace

QPen objectPen(int16_t style, int16_t width, COLORREF colour, const UnitMapper& mapper) {
  const double pixels = std::max(1.0, mapper.pixelsX(std::max<int16_t>(0, width)));
  QPen pen(xjor::colorFromRef(colour), pixels);
  pen.setCapStyle(Qt::FlatCap);
  pen.setJoinStyle(Qt::MiterJoin);
  // Dash patterns in pixels, divided by the width Qt multiplies them with,
  // so that wide pens stay dashed and look alike on every device.
  const double unit = std::max(1.0, mapper.pixelsX(10));
  auto dashes = [&](std::initializer_list<double> lengths) {
    QList<qreal> pattern;
    for (double l : lengths) pattern << std::max(0.5, l * unit / pixels);
    pen.setDashPattern(pattern);
  };
  switch (style) {
    case 1:
      dashes({6, 2});
      break;
    case 2:
      dashes({1, 1});
      break;
    case 3:
      dashes({6, 2, 1, 2});
      break;
    case 4:
      dashes({6, 2, 1, 2, 1, 2});
      break;
    case penstyle::kNone:
      pen.setStyle(Qt::NoPen);
      break;
    default:
      break;
  }
  return pen;
}

QBrush objectBrush(int16_t fill, COLORREF colour, const UnitMapper& mapper) {
  if (fill == fillcode::kSolid) return QBrush(xjor::colorFromRef(colour));
  if (fill < 0 || fill > fillcode::kLastHatch) return Qt::NoBrush;
  const int size = std::max(2, int(std::lround(kHatchCell * mapper.dpiX() / 96.0)));
  QBrush brush(hatchCell(fill, xjor::colorFromRef(colour), size));
  // The texture starts at the device origin on every page and screen.
  return brush;
}

void paintObject(QPainter& painter, const UnitMapper& mapper, const ObjectRecords& records,
                 int32_t x, int32_t y, const LogicalRect& visible, const PictureSource& pictures) {
  if (records.empty()) return;
  const ObjectRecord& head = records[0];
  const Box box = widened(visible);
  const LogicalRect r = objectRect(head, x, y);
  painter.save();
  switch (head.type) {
    case shape::kHorizontalLine:
    case shape::kVerticalLine:
    case shape::kObliqueLine: {
      double x1 = x, y1 = y, x2 = x, y2 = y;
      if (head.type == shape::kHorizontalLine) x2 += head.width;
      if (head.type == shape::kVerticalLine) y2 += head.height;
      if (head.type == shape::kObliqueLine) x2 += head.width, y2 += head.height;
      if (head.type == shape::kObliqueLine) {
        if (!clipSegment(x1, y1, x2, y2, box)) break;
      } else {
        if (outside(r, box)) break;
        x1 = clampX(x1, box), x2 = clampX(x2, box);
        y1 = clampY(y1, box), y2 = clampY(y2, box);
      }
      painter.setPen(objectPen(head.lineStyle, head.lineWidth, head.lineColor, mapper));
      painter.drawLine(mapper.toDevice(x1, y1), mapper.toDevice(x2, y2));
      break;
    }
    case shape::kRectangle:
    case shape::kEllipse: {
      if (outside(r, box)) break;
      QPen pen = objectPen(head.lineStyle, head.lineWidth, head.lineColor, mapper);
      QRectF device;
      if (head.type == shape::kRectangle)
        device = mapper.toDevice(clampX(r.left, box), clampY(r.top, box), clampX(r.right, box),
                                 clampY(r.bottom, box));
      else
        device = mapper.toDevice(r);
      if (head.lineStyle == penstyle::kInsideFrame && pen.style() != Qt::NoPen) {
        const double half = pen.widthF() / 2;
        device.adjust(half, half, -half, -half);
      }
      painter.setPen(pen);
      painter.setBrush(objectBrush(head.fill, head.fillColor, mapper));
      if (head.type == shape::kRectangle)
        painter.drawRect(device);
      else
        painter.drawEllipse(device);
      break;
    }
    case shape::kText: {
      if (outside(r, box) || records.size() < 4) break;
      std::vector<uint8_t> data;
      for (size_t i = 1; i < records.size(); ++i) {
        const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&records[i]) + 2;
        data.insert(data.end(), bytes, bytes + kContinuationData);
      }
      LOGFONT font;
      std::memcpy(&font, data.data(), sizeof font);
      font.lfFaceName[LF_FACESIZE - 1] = 0;
      const size_t length = std::min<size_t>(head.textLength(), data.size() - sizeof font);
      const QString text = xjor::fromCp949(
          QByteArray(reinterpret_cast<const char*>(data.data()) + sizeof font, int(length)));
      painter.setFont(xjor::fontFromLogFont(font));
      painter.setPen(xjor::colorFromRef(head.lineColor));
      int flags = Qt::TextWordWrap | Qt::AlignTop;
      if (head.lineStyle == textalign::kRight)
        flags |= Qt::AlignRight;
      else if (head.lineStyle == textalign::kCentre)
        flags |= Qt::AlignHCenter;
      else
        flags |= Qt::AlignLeft;
      painter.drawText(mapper.toDevice(r), flags, text);
      break;
    }
    case shape::kPicture: {
      if (outside(r, box)) break;
      const QRectF device = mapper.toDevice(r);
      const std::string name = head.pictureName();
      const QString path = pictures.path ? pictures.path(name) : QString();
      PictureRecord picture{};
      if (!path.isEmpty() && xLoadImg(&picture, path.toUtf8().constData())) {
        xDrawImg(&picture, &painter, int32_t(std::lround(device.left())),
                 int32_t(std::lround(device.top())), int32_t(std::lround(device.right())),
                 int32_t(std::lround(device.bottom())));
        xClearImg(&picture);
        break;
      }
      // The object stays where it was placed and can be selected: a frame
      // with a cross shows where the picture belongs.
      painter.setPen(QPen(Qt::darkGray, 0));
      painter.setBrush(Qt::NoBrush);
      painter.drawRect(device);
      painter.drawLine(device.topLeft(), device.bottomRight());
      painter.drawLine(device.bottomLeft(), device.topRight());
      if (pictures.failed) {
        const QString reason =
            path.isEmpty() || !QFileInfo::exists(path)
                ? QStringLiteral("그림 파일이 없습니다: %1").arg(QString::fromLatin1(name.c_str()))
                : QStringLiteral("그림 파일을 읽을 수 없습니다: %1")
                      .arg(QString::fromLatin1(name.c_str()));
        pictures.failed(name, reason);
      }
      break;
    }
    default:
      break;
  }
  painter.restore();
}

}  // namespace kelvo
