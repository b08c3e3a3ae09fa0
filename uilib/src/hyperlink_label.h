// A label that shows an address underlined and opens it when clicked.
#ifndef XJORLIB_HYPERLINK_LABEL_H_
#define XJORLIB_HYPERLINK_LABEL_H_

#include <QColor>
#include <QLabel>

namespace xjor {

class CHyperLink : public QLabel {
 public:
  // Colours of the three states; pointed-at wins over visited.
  static constexpr QRgb kNormal = 0xFF0000FF;   // blue
  static constexpr QRgb kVisited = 0xFF800080;  // purple
  static constexpr QRgb kPointed = 0xFFFF0000;  // red

  explicit CHyperLink(const QString& address, QWidget* parent = nullptr);

  bool isVisited() const { return visited_; }
  bool isPointed() const { return pointed_; }
  QColor currentColor() const;
  // Width of the caption in the label's underlined font, in pixels.
  int captionWidth() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void setPointed(bool pointed);

  bool pointed_ = false;
  bool visited_ = false;
};

}  // namespace xjor

#endif  // XJORLIB_HYPERLINK_LABEL_H_
