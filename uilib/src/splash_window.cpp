#include "splash_window.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimerEvent>

#include "hyperlink_label.h"
#include "xJorLib.h"

namespace xjor {

namespace {

// The one splash of the process and the caller's flag that mirrors it.
QPointer<CSplashWnd> g_splash;
int32_t* g_splashFlag = nullptr;

void endSplash(CSplashWnd* splash) {
  if (g_splash != splash) return;
  g_splash = nullptr;
  if (g_splashFlag) *g_splashFlag = 0;
  g_splashFlag = nullptr;
}

QPoint initialCentre(QWidget* parent) {
  if (parent) return parent->window()->frameGeometry().center();
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    return screen->availableGeometry().center();
  return QPoint(CSplashWnd::kTemplateWidth / 2, CSplashWnd::kTemplateHeight / 2);
}

}  // namespace

CSplashWnd::CSplashWnd(QWidget* parent, const QString& picturePath, Mode mode,
                       const QString& webCaption, const QString& mailCaption)
    : QDialog(parent) {
  xLoadImg(&picture_, picturePath.toUtf8().constData());
  if (mode == Mode::Splash) {
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setAttribute(Qt::WA_DeleteOnClose);
  } else {
    setWindowTitle(QStringLiteral("Kelvo 정보"));
  }
  links_[0] = new CHyperLink(webCaption, this);
  links_[0]->setObjectName(QStringLiteral("10000"));
  links_[1] = new CHyperLink(mailCaption, this);
  links_[1]->setObjectName(QStringLiteral("10001"));
  ok_ = new QPushButton(QStringLiteral("확인"), this);
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  layOut(mode);
}

CSplashWnd::~CSplashWnd() {
  endSplash(this);
  xClearImg(&picture_);
}

void CSplashWnd::layOut(Mode mode) {
  // Template geometry: the links at the bottom left, OK at the bottom right.
  links_[0]->setGeometry(12, kTemplateHeight - 50, 200, 20);
  links_[1]->setGeometry(12, kTemplateHeight - 28, 200, 20);
  ok_->setGeometry(kTemplateWidth - 84, kTemplateHeight - 36, 72, 26);

  const bool hasPicture = picture_.handle != 0;
  const QSize size =
      hasPicture ? QSize(picture_.width, picture_.height) : QSize(kTemplateWidth, kTemplateHeight);
  setFixedSize(size);
  move(initialCentre(parentWidget()) - QPoint(size.width() / 2, size.height() / 2));

  if (mode == Mode::Splash) {
    for (CHyperLink* link : links_) link->hide();
    ok_->hide();
    return;
  }
  // The controls keep their distance from the bottom edge of the picture.
  // Without a picture the window keeps its template size, so nothing moves.
  const int shift = hasPicture ? picture_.height - kTemplateHeight : 0;
  for (CHyperLink* link : links_) {
    link->move(link->x(), link->y() + shift);
    link->resize(link->captionWidth() + 10, link->height());
  }
  ok_->move(ok_->x(), ok_->y() + shift);
}

void CSplashWnd::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  xDrawImg(&picture_, &painter, 0, 0, picture_.width, picture_.height);
}

void CSplashWnd::timerEvent(QTimerEvent* event) {
  killTimer(event->timerId());
  close();
}

}  // namespace xjor

using xjor::CSplashWnd;

extern "C" int32_t xShowSplashScreen(QWidget* parent, const char* picturePath,
                                     int32_t* visibleFlag) {
  if (xjor::g_splash) return 1;
  auto* splash = new CSplashWnd(parent, QString::fromUtf8(picturePath ? picturePath : ""),
                                CSplashWnd::Mode::Splash);
  xjor::g_splash = splash;
  xjor::g_splashFlag = visibleFlag;
  if (visibleFlag) *visibleFlag = 1;
  // Closing (timer, xHideSplashScreen) ends the splash at once; the object
  // itself goes with the next turn of the event loop.
  QObject::connect(splash, &QDialog::finished, splash, [splash] { xjor::endSplash(splash); });
  splash->show();
  splash->raise();
  splash->repaint();
  splash->startTimer(CSplashWnd::kSplashMilliseconds);
  return 1;
}

extern "C" void xHideSplashScreen(void) {
  CSplashWnd* splash = xjor::g_splash;
  if (!splash) return;
  QWidget* parent = splash->parentWidget();
  splash->close();
  if (parent) parent->update();
}

extern "C" void xShowAboutBox(QWidget* parent, const char* picturePath, const char* webCaption,
                              const char* mailCaption) {
  CSplashWnd box(parent, QString::fromUtf8(picturePath ? picturePath : ""), CSplashWnd::Mode::About,
                 QString::fromUtf8(webCaption ? webCaption : ""),
                 QString::fromUtf8(mailCaption ? mailCaption : ""));
  box.exec();
}
