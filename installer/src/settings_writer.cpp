#include "settings_writer.h"

#include <stdlib.h>

#include <QSettings>

namespace deploy {

namespace {

long parseLong(const QString& text) {
  const QByteArray b = text.toUtf8();
  return ::strtol(b.constData(), nullptr, 10);
}

QString expandTarget(const QString& value, const QString& target) {
  if (value.startsWith(QLatin1String("./")) || value.startsWith(QLatin1String(".\\")))
    return target + value.mid(2);
  return value;
}

}  // namespace

bool applyRegistry(const QString& appName, const QString& target,
                   const std::vector<RegistryLine>& lines) {
  QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("JorSoft"),
                     appName);
  for (const RegistryLine& line : lines) {
    QString group = line.key;
    group.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (line.flag == 'D') {
      if (!group.isEmpty()) settings.remove(group);
      continue;
    }
    const QString key = group.isEmpty() ? line.name : group + QLatin1Char('/') + line.name;
    const QVariant existing = settings.value(key);
    if (line.type == 'I') {
      const long value = parseLong(line.value);
      bool valid = false;
      const long old = existing.toString().toLong(&valid);
      if (line.flag == 'Y' || !existing.isValid() || !valid || old == value)
        settings.setValue(key, static_cast<qlonglong>(value));
    } else {
      const QString value = expandTarget(line.value, target);
      if (line.flag == 'Y' || existing.toString().isEmpty()) settings.setValue(key, value);
    }
  }
  settings.sync();
  return settings.status() == QSettings::NoError;
}

}  // namespace deploy
