// Texts written on the chart, shaped once and kept: a large network repaints
// the same labels on every scroll step, and shaping them again each time is
// most of a page's cost.
#ifndef KELVO_NETWORK_TEXT_LAYOUTS_H_
#define KELVO_NETWORK_TEXT_LAYOUTS_H_

#include <QFont>
#include <QHash>
#include <QString>
#include <memory>

class QPaintDevice;
class QPainter;
class QRectF;
class QTextLayout;

namespace kelvo {

class TextLayouts {
 public:
  TextLayouts();
  ~TextLayouts();

  // Resolves the painter's font for its device; a paint calls it first, as
  // the device's resolution may have changed since the last one.
  void begin(const QPainter& painter);

  // Draws text in rect as painter.drawText(rect, flags, text) does, with
  // the same pixels, reusing the text's layout from earlier calls. Texts
  // and flags the cache does not cover (line breaks, tabs, clipping,
  // decorated fonts) are passed to drawText.
  void draw(QPainter& painter, const QRectF& rect, int flags, const QString& text);

 private:
  const QPaintDevice* device_ = nullptr;  // of the last begin
  QFont requested_;                       // the painter's font at the last begin
  QFont font_;                            // the device font of the kept layouts
  QHash<QString, std::shared_ptr<QTextLayout>> layouts_;
};

}  // namespace kelvo

#endif  // KELVO_NETWORK_TEXT_LAYOUTS_H_
