#include "desktop_entries.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <QXmlStreamReader>

#include "safe_write.h"

namespace deploy {

namespace {

// The MIME types a shared-mime-info package declares; empty when the file
// is missing or is not such a package.
QStringList mimeTypesOf(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  QXmlStreamReader xml(&file);
  QStringList types;
  bool package = false;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    if (xml.name() == QLatin1String("mime-info")) package = true;
    if (package && xml.name() == QLatin1String("mime-type")) {
      const QString t = xml.attributes().value(QLatin1String("type")).toString();
      if (!t.isEmpty()) types.append(t);
    }
  }
  if (xml.hasError() || !package) return {};
  return types;
}

bool hasControl(const QString& s) {
  for (QChar c : s)
    if (c.unicode() < ' ') return true;
  return false;
}

// One desktop entry for `file`; empty when it cannot be expressed.
QByteArray itemEntry(const QString& caption, const QString& file, const QString& slug,
                     const QStringList& mimeTypes, const QString& icon) {
  QString text = QStringLiteral("[Desktop Entry]\nName=") + caption + QLatin1Char('\n');
  const QFileInfo info(file);
  if (info.isFile() && info.isExecutable()) {
    text += QStringLiteral("Type=Application\nExec=") + execArgument(file);
    if (!mimeTypes.isEmpty()) text += QStringLiteral(" %f");
    text +=
        QStringLiteral("\nTerminal=false\nCategories=X-JorSoft-") + slug + QStringLiteral(";\n");
    if (!mimeTypes.isEmpty())
      text +=
          QStringLiteral("MimeType=") + mimeTypes.join(QLatin1Char(';')) + QStringLiteral(";\n");
  } else {
    text += QStringLiteral("Type=Link\nURL=") +
            QString::fromLatin1(QUrl::fromLocalFile(file).toEncoded()) + QLatin1Char('\n');
  }
  if (!icon.isEmpty()) text += QStringLiteral("Icon=") + icon + QLatin1Char('\n');
  return text.toUtf8();
}

bool writeTracked(const QString& path, const QByteArray& bytes, QStringList* written) {
  if (!makeFolders(QFileInfo(path).path()) || !writeFile(path, bytes)) return false;
  written->append(path);
  return true;
}

}  // namespace

QString slugOf(const QString& appName) {
  QString slug;
  for (QChar c : appName) {
    const ushort u = c.unicode();
    if ((u >= 'a' && u <= 'z') || (u >= '0' && u <= '9'))
      slug += c;
    else if (u >= 'A' && u <= 'Z')
      slug += QChar(u + ('a' - 'A'));
    else
      slug += QLatin1Char('-');
  }
  return slug;
}

QString execArgument(const QString& path) {
  QString quoted = QStringLiteral("\"");
  for (QChar c : path) {
    if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
        c == QLatin1Char('\\'))
      quoted += QLatin1Char('\\');
    quoted += c;
  }
  quoted += QLatin1Char('"');
  quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
  return quoted;
}

void writeMenuEntries(const Script& script, const Places& places, QStringList* written) {
  const QString slug = slugOf(script.app.appName);
  const QString base = QStringLiteral("jorsoft-") + slug;
  QString package;
  QStringList mimeTypes;
  if (!script.mimePackage.isEmpty()) {
    package = resolveInside(places.target, script.mimePackage);
    if (!package.isEmpty()) mimeTypes = mimeTypesOf(package);
  }
  if (script.hasGroup && !hasControl(script.groupName)) {
    const QByteArray directory = (QStringLiteral("[Desktop Entry]\nType=Directory\nName=") +
                                  script.groupName + QLatin1Char('\n'))
                                     .toUtf8();
    const QByteArray menu =
        QByteArrayLiteral(
            "<!DOCTYPE Menu PUBLIC \"-//freedesktop//DTD Menu 1.0//EN\"\n"
            " \"http://www.freedesktop.org/standards/menu-spec/1.0/menu.dtd\">\n"
            "<Menu>\n  <Name>Applications</Name>\n  <Menu>\n    <Name>") +
        base.toUtf8() + "</Name>\n    <Directory>" + base.toUtf8() +
        ".directory</Directory>\n    <Include>\n      <Category>X-JorSoft-" + slug.toUtf8() +
        "</Category>\n    </Include>\n  </Menu>\n</Menu>\n";
    if (!writeTracked(places.dataHome + "desktop-directories/" + base + ".directory", directory,
                      written) ||
        !writeTracked(places.configHome + "menus/applications-merged/" + base + ".menu", menu,
                      written))
      return;
  }
  const QString handler = resolveInside(places.target, script.mimeHandler);
  const QString icon =
      script.icon.isEmpty() ? QString() : resolveInside(places.target, script.icon);
  int n = 0;
  for (const MenuItem& item : script.items) {
    ++n;
    const QString file = resolveInside(places.target, item.file);
    if (file.isEmpty() || !QFileInfo::exists(file) || hasControl(file) || hasControl(item.caption))
      continue;
    const bool handles = !handler.isEmpty() && file == handler;
    const QByteArray entry =
        itemEntry(item.caption, file, slug, handles ? mimeTypes : QStringList(),
                  handles && QFileInfo::exists(icon) ? icon : QString());
    writeTracked(places.dataHome + "applications/" + base + QStringLiteral("-%1.desktop").arg(n),
                 entry, written);
  }
  if (!mimeTypes.isEmpty()) {
    QFile in(package);
    if (in.open(QIODevice::ReadOnly))
      writeTracked(places.dataHome + "mime/packages/" + base + ".xml", in.readAll(), written);
  }
}

void refreshDesktopDatabases(const Places& places) {
  const struct {
    const char* program;
    QString folder;
  } tools[] = {{"update-desktop-database", places.dataHome + "applications"},
               {"update-mime-database", places.dataHome + "mime"}};
  for (const auto& t : tools) {
    const QString exe = QStandardPaths::findExecutable(QString::fromLatin1(t.program));
    if (exe.isEmpty() || !QFileInfo(t.folder).isDir()) continue;
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
    p.start(exe, {t.folder});
    p.waitForFinished(60000);
  }
}

}  // namespace deploy
