#include "kelvo/profile.h"

#include <QSettings>

namespace kelvo {
namespace {

QString keyPath(const QString& section, const QString& key) {
  return section + '/' + key;
}

}  // namespace

CProfile::CProfile()
    : settings_(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                            QStringLiteral("JorSoft"),
                                            QStringLiteral("Kelvo 2000"))) {}

CProfile::CProfile(const QString& iniPath)
    : settings_(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {}

CProfile::~CProfile() = default;

int CProfile::getInt(const QString& section, const QString& key, int def) const {
  const QVariant value = settings_->value(keyPath(section, key));
  if (!value.isValid()) return def;
  bool ok = false;
  const int n = value.toString().trimmed().toInt(&ok);
  return ok ? n : def;
}

QString CProfile::getString(const QString& section, const QString& key, const QString& def) const {
  const QVariant value = settings_->value(keyPath(section, key));
  return value.isValid() ? value.toString() : def;
}

bool CProfile::writeInt(const QString& section, const QString& key, int value) {
  settings_->setValue(keyPath(section, key), value);
  return flush();
}

bool CProfile::writeString(const QString& section, const QString& key, const QString& value) {
  settings_->setValue(keyPath(section, key), value);
  return flush();
}

QString CProfile::fileName() const {
  return settings_->fileName();
}

bool CProfile::flush() {
  settings_->sync();
  return settings_->status() == QSettings::NoError;
}

}  // namespace kelvo
