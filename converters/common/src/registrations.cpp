// Converter registrations in the settings section "Convert".
#include <QSettings>
#include <QString>

#include "kvconverters.h"

namespace kvconv {

namespace {

QString q(const std::string& s) {
  return QString::fromStdString(s);
}

// A value as the text written by hand: an INI value with unquoted commas
// ("dbf,dBASE files") reads as a list of its parts, put together again here.
std::string textOf(const QSettings& settings, const QString& key) {
  const QVariant v = settings.value(key);
  if (v.typeId() == QMetaType::QStringList) return v.toStringList().join(',').toStdString();
  return v.toString().toStdString();
}

}  // namespace

std::string lowerExtension(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

Registrations readRegistrations(QSettings& settings) {
  Registrations regs;
  settings.beginGroup(QStringLiteral("Convert"));
  const int count = settings.value(QStringLiteral("Count"), 0).toInt();
  // A damaged count cannot make thousands of empty rows.
  for (int i = 0; i < count && i < 1000; ++i) {
    const std::string text = textOf(settings, QStringLiteral("Ext%1").arg(i));
    Entry e;
    const size_t comma = text.find(',');
    e.extension = text.substr(0, comma);
    if (comma != std::string::npos) e.title = text.substr(comma + 1);
    if (!e.extension.empty()) e.file = textOf(settings, q(e.extension));
    regs.entries.push_back(std::move(e));
  }
  regs.editor = textOf(settings, QStringLiteral("Def"));
  settings.endGroup();
  return regs;
}

void writeRegistrations(QSettings& settings, const Registrations& regs) {
  settings.remove(QStringLiteral("Convert"));
  settings.beginGroup(QStringLiteral("Convert"));
  settings.setValue(QStringLiteral("Count"), static_cast<int>(regs.entries.size()));
  settings.setValue(QStringLiteral("Def"), q(regs.editor));
  for (size_t i = 0; i < regs.entries.size(); ++i) {
    const Entry& e = regs.entries[i];
    settings.setValue(QStringLiteral("Ext%1").arg(i), q(e.extension + "," + e.title));
    if (!e.extension.empty()) settings.setValue(q(e.extension), q(e.file));
  }
  settings.endGroup();
  settings.sync();
}

std::string fileFilter(const Registrations& regs) {
  std::string filter;
  for (const Entry& e : regs.entries) filter += e.title + "|*." + e.extension + "|";
  return filter + "|";
}

std::string takeExtension(std::string& path, const Registrations& regs, int filterIndex) {
  const size_t slash = path.find_last_of('/');
  const size_t dot = path.find_last_of('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash) &&
      dot + 1 < path.size())
    return lowerExtension(path.substr(dot + 1));
  if (filterIndex < 1 || static_cast<size_t>(filterIndex) > regs.entries.size()) return {};
  const std::string ext = lowerExtension(regs.entries[filterIndex - 1].extension);
  if (ext.empty()) return {};
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) path += '.';
  path += ext;
  return ext;
}

}  // namespace kvconv
