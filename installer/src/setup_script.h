// Setup.inf: the text script that drives an installation, read whole into
// memory and converted from CP949 before anything is installed.
//
// Lines are trimmed of characters below '!'; empty lines and lines starting
// with ';' are skipped; "[name]" starts a section; "key=value" entries are
// split at the first '='. Sections are taken in a fixed order ([Selection] or
// [Application], [Folders], [Files], [Registry], [PM Info], [MIME Info]); a
// known section met after a later one, and any unknown section, is skipped
// with its lines, as a forward reader would.
#ifndef DEPLOY_SETUP_SCRIPT_H_
#define DEPLOY_SETUP_SCRIPT_H_

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace deploy {

// A distribution offering up to eight alternative systems.
struct Selection {
  QString title;
  int count = 0;     // 1..8
  QString names[8];  // labels of choices 1..count
  QString paths[8];  // sub-folders holding each system's Setup.inf
};

struct Application {
  QString appName;
  QString title;  // never empty after parsing
  qint64 spaceNeededKb = 0;
  int fileCount = 1;  // at least 1
  QString iniPath;
};

// One [Files] line, or one disk-change group of key=value lines.
struct FilesEntry {
  bool diskChange = false;
  QString disk, checkFile;      // disk-change group
  QString source, destination;  // file line, separators as written
  bool archive = false;         // first flag 'Y'
  char overwrite = '?';         // 'Y' always, 'N' never, '?' ask
};

struct RegistryLine {
  QString key, name, value;
  char type = 'S';  // 'I' integer, anything else string
  char flag = ' ';  // 'D' delete the key, 'Y' always write, else keep existing
};

struct MenuItem {
  QString file;  // the installed file, relative to the target
  QString caption;
};

struct Script {
  bool hasSelection = false;
  Selection selection;
  Application app;
  QStringList folders;
  std::vector<FilesEntry> files;
  std::vector<RegistryLine> registry;
  bool hasGroup = false;
  QString groupName;  // "PMGroup" = path,name: the name part
  std::vector<MenuItem> items;
  QString mimePackage;  // [MIME Info] Package: installed XML, target-relative
  QString mimeHandler;  // [MIME Info] Handler: the [PM Info] file that opens them
  QString icon;         // [MIME Info] Icon: installed icon for the handler's entry
};

// Parses a whole script. `topLevel` allows [Selection] as the first section;
// a sub-script must start with [Application]. Returns false (message 16)
// when a line is longer than 260 bytes or not valid CP949, when the first
// section is another one, when SysCount is 0 or less, or when AppName is
// not a plain file name. Lines that are merely unusable are skipped.
bool parseScript(const QByteArray& bytes, bool topLevel, Script* out);

// Reads and parses the file at `path`; false as parseScript, or when the
// file cannot be read.
bool readScript(const QString& path, bool topLevel, Script* out);

// Splits a line into blank- or tab-separated fields; a field may be enclosed
// in double quotes to hold blanks. False for an unclosed quote.
bool splitFields(const QString& line, QStringList* fields);

}  // namespace deploy

#endif  // DEPLOY_SETUP_SCRIPT_H_
