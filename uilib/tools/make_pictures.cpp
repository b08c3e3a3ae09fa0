// Draws the splash/about picture "Dizire.zur" (PNG data) and the print logo
// "Kelvo.jpg" into the folder given as the first argument.
#include <QApplication>
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

namespace {

// Schedule bars: the product's own picture of a plan.
void drawBars(QPainter& p, QRectF area, const QColor& bar, const QColor& link) {
  const double rows[][2] = {{0.00, 0.30}, {0.18, 0.55}, {0.40, 0.62}, {0.55, 0.90}, {0.70, 1.00}};
  const double rowHeight = area.height() / 5;
  for (int i = 0; i < 5; ++i) {
    const QRectF r(area.left() + rows[i][0] * area.width(),
                   area.top() + i * rowHeight + rowHeight * 0.25,
                   (rows[i][1] - rows[i][0]) * area.width(), rowHeight * 0.5);
    p.fillRect(r, bar);
    if (i < 4) {
      p.setPen(QPen(link, 1.5));
      const QPointF from(r.right(), r.center().y());
      const QPointF to(area.left() + rows[i + 1][0] * area.width(), r.bottom() + rowHeight * 0.25);
      p.drawLine(from, QPointF(to.x() + 4, from.y()));
      p.drawLine(QPointF(to.x() + 4, from.y()), QPointF(to.x() + 4, to.y()));
    }
  }
}

QImage splash() {
  QImage image(480, 300, QImage::Format_RGB32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, 236);
  sky.setColorAt(0, QColor(18, 40, 84));
  sky.setColorAt(1, QColor(36, 92, 150));
  p.fillRect(0, 0, 480, 236, sky);
  p.fillRect(0, 236, 480, 64, QColor(246, 244, 236));
  p.fillRect(0, 232, 480, 4, QColor(232, 160, 32));
  drawBars(p, QRectF(250, 40, 200, 150), QColor(232, 160, 32), QColor(200, 220, 240));
  QFont title(QStringLiteral("NanumGothic"));
  title.setPixelSize(52);
  title.setBold(true);
  p.setFont(title);
  p.setPen(Qt::white);
  p.drawText(QRectF(28, 60, 240, 64), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Kelvo"));
  QFont subtitle(QStringLiteral("NanumGothic"));
  subtitle.setPixelSize(18);
  p.setFont(subtitle);
  p.setPen(QColor(220, 230, 245));
  p.drawText(QRectF(30, 128, 240, 28), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("건설 공정 계획 · 관리"));
  p.drawText(QRectF(30, 156, 240, 28), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("2000"));
  QFont maker(QStringLiteral("NanumGothic"));
  maker.setPixelSize(12);
  p.setFont(maker);
  p.setPen(QColor(150, 170, 200));
  p.drawText(QRectF(30, 200, 420, 20), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("© JorSoft"));
  return image;
}

QImage logo() {
  QImage image(240, 80, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  drawBars(p, QRectF(8, 10, 64, 60), QColor(232, 160, 32), QColor(36, 92, 150));
  QFont title(QStringLiteral("NanumGothic"));
  title.setPixelSize(40);
  title.setBold(true);
  p.setFont(title);
  p.setPen(QColor(18, 40, 84));
  p.drawText(QRectF(84, 8, 150, 64), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Kelvo"));
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
  const bool ok = splash().save(folder + QStringLiteral("/Dizire.zur"), "PNG") &&
                  logo().save(folder + QStringLiteral("/Kelvo.jpg"), "JPEG", 90);
  return ok ? 0 : 1;
}
