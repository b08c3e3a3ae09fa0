#include "setup_script.h"

#include <iconv.h>

#include <QFile>

#include "deploy_messages.h"

namespace deploy {

namespace {

constexpr int kMaxLineBytes = 260;

enum class Section {
  kNone,
  kSelection,
  kApplication,
  kFolders,
  kFiles,
  kRegistry,
  kPmInfo,
  kMime,
  kUnknown
};

Section sectionOf(const QString& name) {
  const QString n = name.toLower();
  if (n == QLatin1String("selection")) return Section::kSelection;
  if (n == QLatin1String("application")) return Section::kApplication;
  if (n == QLatin1String("folders")) return Section::kFolders;
  if (n == QLatin1String("files")) return Section::kFiles;
  if (n == QLatin1String("registry")) return Section::kRegistry;
  if (n == QLatin1String("pm info")) return Section::kPmInfo;
  if (n == QLatin1String("mime info")) return Section::kMime;
  return Section::kUnknown;
}

// Converts one CP949 line; false when it is not valid CP949.
bool fromCp949(const QByteArray& in, QString* out) {
  iconv_t cd = ::iconv_open("UTF-8", "CP949");
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  QByteArray buf(in.size() * 3 + 4, '\0');
  char* src = const_cast<char*>(in.constData());
  size_t srcLeft = static_cast<size_t>(in.size());
  char* dst = buf.data();
  size_t dstLeft = static_cast<size_t>(buf.size());
  const size_t r = ::iconv(cd, &src, &srcLeft, &dst, &dstLeft);
  ::iconv_close(cd);
  if (r == static_cast<size_t>(-1) || srcLeft != 0) return false;
  *out = QString::fromUtf8(buf.constData(), static_cast<int>(dst - buf.data()));
  return true;
}

// Trims characters below '!' at both ends.
QString trimmed(const QString& s) {
  int b = 0, e = static_cast<int>(s.size());
  while (b < e && s[b].unicode() < '!') ++b;
  while (e > b && s[e - 1].unicode() < '!') --e;
  return s.mid(b, e - b);
}

bool splitEntry(const QString& line, QString* key, QString* value) {
  const auto eq = line.indexOf(QLatin1Char('='));
  if (eq < 0) return false;
  *key = trimmed(line.left(eq));
  *value = trimmed(line.mid(eq + 1));
  return true;
}

// "n,text": n in 1..8 and the text from the third character on.
bool numbered(const QString& value, int* n, QString* text) {
  if (value.size() < 2 || value[1] != QLatin1Char(',')) return false;
  const int k = value[0].digitValue();
  if (k < 1 || k > 8) return false;
  *n = k;
  *text = value.mid(2);
  return true;
}

bool plainName(const QString& name) {
  if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) return false;
  for (QChar c : name)
    if (c.unicode() < ' ' || c == QLatin1Char('/') || c == QLatin1Char('\\')) return false;
  return true;
}

char firstChar(const QStringList& f, int i, char fallback) {
  if (i >= f.size() || f[i].isEmpty()) return fallback;
  return static_cast<char>(f[i][0].toUpper().toLatin1());
}

void addFilesLine(const QString& line, Script* s) {
  QString key, value;
  if (splitEntry(line, &key, &value)) {
    const bool disk = key.compare(QLatin1String("Disk"), Qt::CaseInsensitive) == 0;
    const bool check = key.compare(QLatin1String("CheckFile"), Qt::CaseInsensitive) == 0;
    if (disk || check) {
      // Consecutive key=value lines form one disk-change group.
      if (s->files.empty() || !s->files.back().diskChange) {
        s->files.push_back(FilesEntry{});
        s->files.back().diskChange = true;
      }
      (disk ? s->files.back().disk : s->files.back().checkFile) = value;
      return;
    }
  }
  QStringList f;
  if (!splitFields(line, &f)) f.clear();
  FilesEntry e;
  e.source = f.value(0);
  e.destination = f.value(1);
  const QString flags = f.value(2);
  e.archive = flags.size() >= 1 && flags[0].toUpper() == QLatin1Char('Y');
  const QChar rule = flags.size() >= 2 ? flags[1].toUpper() : QChar();
  e.overwrite = rule == QLatin1Char('Y') ? 'Y' : rule == QLatin1Char('N') ? 'N' : '?';
  // A line without a destination is kept: it counts as a failed file.
  s->files.push_back(e);
}

void addRegistryLine(const QString& line, Script* s) {
  QStringList f;
  if (!splitFields(line, &f)) return;  // unclosed quote
  RegistryLine r;
  r.key = f.value(0);
  r.name = f.value(1);
  r.value = f.value(2);
  r.type = firstChar(f, 3, 'S');
  r.flag = firstChar(f, 4, ' ');
  if (r.flag == 'D' ? r.key.isEmpty() : r.name.isEmpty()) return;
  s->registry.push_back(r);
}

}  // namespace

bool splitFields(const QString& line, QStringList* fields) {
  fields->clear();
  int i = 0;
  const int n = static_cast<int>(line.size());
  while (i < n) {
    while (i < n && (line[i] == QLatin1Char(' ') || line[i] == QLatin1Char('\t'))) ++i;
    if (i >= n) break;
    QString field;
    if (line[i] == QLatin1Char('"')) {
      const auto close = line.indexOf(QLatin1Char('"'), i + 1);
      if (close < 0) return false;
      field = line.mid(i + 1, close - i - 1);
      i = static_cast<int>(close) + 1;
    } else {
      const int start = i;
      while (i < n && line[i] != QLatin1Char(' ') && line[i] != QLatin1Char('\t')) ++i;
      field = line.mid(start, i - start);
    }
    fields->append(field);
  }
  return true;
}

bool parseScript(const QByteArray& bytes, bool topLevel, Script* out) {
  *out = Script{};
  Section current = Section::kNone;
  Section reached = Section::kNone;  // the furthest section taken so far
  bool first = true;
  int sysCount = -1;
  for (QByteArray raw : bytes.split('\n')) {
    if (raw.endsWith('\r')) raw.chop(1);
    if (raw.size() > kMaxLineBytes) return false;
    QString line;
    if (!fromCp949(raw, &line)) return false;
    line = trimmed(line);
    if (line.isEmpty() || line.startsWith(QLatin1Char(';'))) continue;
    if (line.startsWith(QLatin1Char('['))) {
      const auto close = line.indexOf(QLatin1Char(']'));
      Section s = sectionOf(close > 0 ? line.mid(1, close - 1) : line.mid(1));
      if (first) {
        const bool ok = s == Section::kApplication || (topLevel && s == Section::kSelection);
        if (!ok) return false;
        first = false;
        out->hasSelection = s == Section::kSelection;
      } else if (s == Section::kSelection || s == Section::kApplication) {
        s = Section::kUnknown;
      }
      if (s != Section::kUnknown && s > reached) {
        reached = s;
        current = s;
      } else {
        current = Section::kUnknown;
      }
      continue;
    }
    if (first) return false;  // text before the first section
    QString key, value;
    switch (current) {
      case Section::kSelection:
        if (!splitEntry(line, &key, &value)) break;
        if (key.compare(QLatin1String("Title"), Qt::CaseInsensitive) == 0) {
          out->selection.title = value;
        } else if (key.compare(QLatin1String("SysCount"), Qt::CaseInsensitive) == 0) {
          sysCount = value.toInt();
        } else {
          int n;
          QString text;
          const bool name = key.compare(QLatin1String("SysName"), Qt::CaseInsensitive) == 0;
          const bool path = key.compare(QLatin1String("SysPath"), Qt::CaseInsensitive) == 0;
          if ((name || path) && numbered(value, &n, &text))
            (name ? out->selection.names : out->selection.paths)[n - 1] = text;
        }
        break;
      case Section::kApplication:
        if (!splitEntry(line, &key, &value)) break;
        if (key.compare(QLatin1String("AppName"), Qt::CaseInsensitive) == 0) {
          out->app.appName = value;
        } else if (key.compare(QLatin1String("Title"), Qt::CaseInsensitive) == 0) {
          out->app.title = value;
        } else if (key.compare(QLatin1String("SpaceNeeded"), Qt::CaseInsensitive) == 0) {
          out->app.spaceNeededKb = std::max<qint64>(0, value.toLongLong());
        } else if (key.compare(QLatin1String("FileCount"), Qt::CaseInsensitive) == 0) {
          out->app.fileCount = std::max(1, value.toInt());
        } else if (key.compare(QLatin1String("IniPath"), Qt::CaseInsensitive) == 0) {
          out->app.iniPath = value;
        }
        break;
      case Section::kFolders:
        out->folders.append(line);
        break;
      case Section::kFiles:
        addFilesLine(line, out);
        break;
      case Section::kRegistry:
        addRegistryLine(line, out);
        break;
      case Section::kPmInfo:
        if (!splitEntry(line, &key, &value)) break;
        if (key.compare(QLatin1String("PMGroup"), Qt::CaseInsensitive) == 0) {
          out->hasGroup = true;
          const auto comma = value.indexOf(QLatin1Char(','));
          out->groupName = trimmed(comma < 0 ? value : value.mid(comma + 1));
        } else {
          out->items.push_back(MenuItem{key, value});
        }
        break;
      case Section::kMime:
        if (!splitEntry(line, &key, &value)) break;
        if (key.compare(QLatin1String("Package"), Qt::CaseInsensitive) == 0)
          out->mimePackage = value;
        if (key.compare(QLatin1String("Handler"), Qt::CaseInsensitive) == 0)
          out->mimeHandler = value;
        if (key.compare(QLatin1String("Icon"), Qt::CaseInsensitive) == 0) out->icon = value;
        break;
      default:
        break;
    }
  }
  if (first) return false;  // no section at all
  if (out->hasSelection) {
    if (sysCount <= 0) return false;
    out->selection.count = std::min(sysCount, 8);
    for (auto& p : out->selection.paths)
      if (p.isEmpty()) p = QStringLiteral("1/");
    return true;
  }
  if (!plainName(out->app.appName)) return false;
  if (out->app.title.isEmpty()) out->app.title = defaultTitle();
  return true;
}

bool readScript(const QString& path, bool topLevel, Script* out) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  return parseScript(file.readAll(), topLevel, out);
}

}  // namespace deploy
