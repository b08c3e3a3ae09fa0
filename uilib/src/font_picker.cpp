#include "font_picker.h"

#include <string.h>

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "xJorLib.h"
#include "xjorlib/qt_bridge.h"

namespace xjor {

CFontPicker::CFontPicker(QWidget* parent, const QFont& font, const QColor& color)
    : QDialog(parent), color_(color) {
  setWindowTitle(QStringLiteral("글꼴"));
  // Qt's font chooser, embedded as a page of this dialog.
  fonts_ = new QFontDialog(font, this);
  fonts_->setWindowFlags(Qt::Widget);
  fonts_->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
  colorButton_ = new QPushButton(QStringLiteral("색(&C)..."), this);
  connect(colorButton_, &QPushButton::clicked, this, &CFontPicker::chooseColor);
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(QStringLiteral("확인"), QDialogButtonBox::AcceptRole)->setDefault(true);
  buttons->addButton(QStringLiteral("취소"), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(colorButton_);
  bottom->addStretch();
  bottom->addWidget(buttons);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(fonts_);
  layout->addLayout(bottom);
  showColor();
}

QFont CFontPicker::selectedFont() const {
  return fonts_->currentFont();
}

void CFontPicker::chooseColor() {
  QColorDialog dialog(color_, this);
  dialog.setOption(QColorDialog::DontUseNativeDialog);
  if (dialog.exec() != QDialog::Accepted) return;
  color_ = dialog.selectedColor();
  showColor();
}

void CFontPicker::showColor() {
  QPixmap swatch(16, 16);
  swatch.fill(color_);
  colorButton_->setIcon(QIcon(swatch));
}

}  // namespace xjor

using xjor::CFontPicker;

extern "C" int32_t xFontDlg(QWidget* owner, LOGFONT* font, COLORREF* color, char* faceName,
                            int32_t* pointSize) {
  if (!font) return 0;
  // A stored Windows face ("굴림체") is shown as its stand-in, which is what
  // the font list holds; when the user keeps the stand-in, the record keeps
  // the stored name.
  const QFont stored = xjor::fontFromLogFont(*font);
  QFont shown = stored;
  shown.setFamily(QFontInfo(stored).family());
  CFontPicker picker(owner, shown, xjor::colorFromRef(color ? *color : 0));
  if (picker.exec() != QDialog::Accepted) return 0;

  const QFont chosen = picker.selectedFont();
  LOGFONT result = *font;
  xjor::fontToLogFont(chosen, &result);
  if (chosen.family() == shown.family() && shown.family() != stored.family())
    memcpy(result.lfFaceName, font->lfFaceName, LF_FACESIZE);
  *font = result;
  if (color) *color = xjor::colorToRef(picker.selectedColor());
  if (faceName) {
    memcpy(faceName, result.lfFaceName, LF_FACESIZE);
    faceName[LF_FACESIZE - 1] = '\0';
  }
  if (pointSize)
    *pointSize = static_cast<int32_t>(std::floor(chosen.pointSizeF() * 10 + 1e-6)) / 10;
  if (owner) owner->update();
  return 1;
}
