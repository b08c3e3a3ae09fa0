#include "text_layouts.h"

#include <QPainter>
#include <QTextLayout>

namespace kelvo {
namespace {

// Enough for every label of a few pages; beyond it the cache starts over.
constexpr int kMaxLayouts = 8192;

constexpr int kCoveredFlags = Qt::AlignLeft | Qt::AlignRight | Qt::AlignHCenter | Qt::AlignTop |
                              Qt::AlignBottom | Qt::AlignVCenter | Qt::TextDontClip;

bool covered(const QString& text, int flags, const QFont& font) {
  if ((flags & ~kCoveredFlags) || !(flags & Qt::TextDontClip)) return false;
  if (font.underline() || font.overline() || font.strikeOut()) return false;
  for (const QChar c : text)
    if (c == u'\n' || c == u'\r' || c == u'\t' || c == QChar::LineSeparator) return false;
  // Right alignment of right-to-left text leaves out leading spaces.
  return !(flags & Qt::AlignRight) || !text.startsWith(u' ');
}

}  // namespace

TextLayouts::TextLayouts() = default;
TextLayouts::~TextLayouts() = default;

void TextLayouts::begin(const QPainter& painter) {
  device_ = painter.device();
  requested_ = painter.font();
  const QFont font(requested_, device_);
  if (!(font == font_)) {
    layouts_.clear();
    font_ = font;
  }
}

void TextLayouts::draw(QPainter& painter, const QRectF& r, int flags, const QString& text) {
  if (text.isEmpty() || painter.pen().style() == Qt::NoPen) return;
  if (painter.device() != device_ || !(painter.font() == requested_)) begin(painter);
  if (!covered(text, flags, font_)) {
    painter.drawText(r, flags, text);
    return;
  }
  std::shared_ptr<QTextLayout>& layout = layouts_[text];
  if (!layout) {
    if (layouts_.size() > kMaxLayouts) {
      layouts_.clear();
      return draw(painter, r, flags, text);
    }
    // One line, laid out as drawText lays out an unwrapped text.
    layout = std::make_shared<QTextLayout>(text, font_);
    layout->setCacheEnabled(true);
    QTextOption option;
    option.setTextDirection(painter.layoutDirection());
    option.setAlignment(Qt::AlignLeft);
    layout->setTextOption(option);
    layout->beginLayout();
    QTextLine line = layout->createLine();
    if (line.isValid()) {
      line.setLineWidth(0x01000000);
      line.setPosition(QPointF(0, 0));
    }
    layout->endLayout();
  }
  if (layout->lineCount() != 1) {
    painter.drawText(r, flags, text);
    return;
  }
  const QTextLine line = layout->lineAt(0);
  const qreal height = line.ascent() + line.descent();
  qreal yoff = 0, xoff = 0;
  if (flags & Qt::AlignBottom)
    yoff = r.height() - height;
  else if (flags & Qt::AlignVCenter)
    yoff = (r.height() - height) / 2;
  if (flags & Qt::AlignRight)
    xoff = r.width() - line.horizontalAdvance();
  else if (flags & Qt::AlignHCenter)
    xoff = (r.width() - line.horizontalAdvance()) / 2;
  line.draw(&painter, QPointF(r.x() + xoff, r.y() + yoff));
}

}  // namespace kelvo
