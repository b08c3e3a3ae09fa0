#include "hyperlink_label.h"

#include <QMouseEvent>
#include <QPainter>

#include "address.h"

namespace xjor {

CHyperLink::CHyperLink(const QString& address, QWidget* parent) : QLabel(address, parent) {
  QFont underlined = font();
  underlined.setUnderline(true);
  setFont(underlined);
  setCursor(Qt::PointingHandCursor);
  setAutoFillBackground(false);  // the picture beneath shows through
}

QColor CHyperLink::currentColor() const {
  return QColor::fromRgb(pointed_ ? kPointed : visited_ ? kVisited : kNormal);
}

int CHyperLink::captionWidth() const {
  return fontMetrics().horizontalAdvance(text());
}

void CHyperLink::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setFont(font());
  painter.setPen(currentColor());
  painter.drawText(contentsRect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text());
}

void CHyperLink::enterEvent(QEnterEvent*) {
  setPointed(true);
}

void CHyperLink::leaveEvent(QEvent*) {
  setPointed(false);
}

void CHyperLink::mousePressEvent(QMouseEvent* event) {
  event->accept();
}

void CHyperLink::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint())) return;
  setPointed(false);
  if (openAddress(text())) {
    visited_ = true;
    update();
  } else {
    reportUnopenableLink(window());
  }
}

void CHyperLink::setPointed(bool pointed) {
  if (pointed_ == pointed) return;
  pointed_ = pointed;
  update();
}

}  // namespace xjor
