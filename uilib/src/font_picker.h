// The font dialog with a colour button that xFontDlg shows.
#ifndef XJORLIB_FONT_PICKER_H_
#define XJORLIB_FONT_PICKER_H_

#include <QColor>
#include <QDialog>
#include <QFont>

class QFontDialog;
class QPushButton;

namespace xjor {

class CFontPicker : public QDialog {
 public:
  CFontPicker(QWidget* parent, const QFont& font, const QColor& color);

  QFont selectedFont() const;
  QColor selectedColor() const { return color_; }
  QFontDialog* fontChooser() const { return fonts_; }
  QPushButton* colorButton() const { return colorButton_; }

 private:
  void chooseColor();
  void showColor();

  QFontDialog* fonts_;
  QPushButton* colorButton_;
  QColor color_;
};

}  // namespace xjor

#endif  // XJORLIB_FONT_PICKER_H_
