// The window of the splash picture and of the about box (template 1000): a
// picture, an OK button "확인" and two hyperlinks (ids 10000 and 10001).
#ifndef XJORLIB_SPLASH_WINDOW_H_
#define XJORLIB_SPLASH_WINDOW_H_

#include <QDialog>

#include "xJorImg.h"

class QPushButton;

namespace xjor {

class CHyperLink;

class CSplashWnd : public QDialog {
 public:
  enum class Mode { Splash, About };

  // Size of the window when no picture is loaded; the OK button and the
  // links sit at its bottom.
  static constexpr int kTemplateWidth = 360;
  static constexpr int kTemplateHeight = 200;
  // How long the splash stays up.
  static constexpr int kSplashMilliseconds = 2500;

  // Loads picturePath (UTF-8) and lays out the window for mode. In splash
  // mode the button and links are hidden and the captions unused.
  CSplashWnd(QWidget* parent, const QString& picturePath, Mode mode,
             const QString& webCaption = QString(), const QString& mailCaption = QString());
  ~CSplashWnd() override;

  const PictureRecord& picture() const { return picture_; }
  CHyperLink* link(int index) const { return links_[index]; }
  QPushButton* okButton() const { return ok_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void timerEvent(QTimerEvent* event) override;

 private:
  void layOut(Mode mode);

  PictureRecord picture_{};
  CHyperLink* links_[2] = {nullptr, nullptr};
  QPushButton* ok_ = nullptr;
};

}  // namespace xjor

#endif  // XJORLIB_SPLASH_WINDOW_H_
