#include "xjorlib/command_icons.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>
#include <algorithm>

namespace xjor {

namespace {

QString iconPath(int commandId) {
  return QStringLiteral(":/icons/%1.svg").arg(commandId);
}

}  // namespace

QIcon commandIcon(int commandId) {
  static QHash<int, QIcon> cache;
  if (auto it = cache.constFind(commandId); it != cache.constEnd()) return *it;
  QIcon icon;
  const QString path = iconPath(commandId);
  if (QFile::exists(path)) {
    QSvgRenderer renderer(path);
    // Each size drawn from the outline itself, not scaled from another size.
    for (int size : {16, 24, 32}) {
      QPixmap pixmap(size, size);
      pixmap.fill(Qt::transparent);
      QPainter painter(&pixmap);
      painter.setRenderHint(QPainter::Antialiasing);
      renderer.render(&painter, QRectF(0, 0, size, size));
      painter.end();
      icon.addPixmap(pixmap);
    }
  }
  cache.insert(commandId, icon);
  return icon;
}

QList<int> commandsWithIcons() {
  QList<int> ids;
  for (const QString& name : QDir(QStringLiteral(":/icons")).entryList({QStringLiteral("*.svg")}))
    ids << name.section(u'.', 0, 0).toInt();
  std::sort(ids.begin(), ids.end());
  return ids;
}

}  // namespace xjor
