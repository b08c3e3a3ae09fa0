// kvcli register, converters, export and import: the converter registrations
// in the user's settings and whole-project exchange through the plug-ins,
// by the same registry and loader the main program uses.
#include <QSettings>
#include <QString>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "commands.h"
#include "kelvo/message_text.h"
#include "kvconverters.h"
#include "project_session.h"
#include "xjor/option.h"

namespace kvcli {

namespace {

static_assert(sizeof(XKvScheme) == 2 * sizeof(ClassDefinition));
static_assert(sizeof(PrjInfo) == XQD_INFO_SIZE);

// The main program's settings: INI under the user's XDG config folder.
QSettings userSettings() {
  return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("JorSoft"),
                   QStringLiteral("Kelvo 2000"));
}

// An extension key must survive the "Ext%d" text ("ext,title") and name a
// settings key of its own.
bool usableExtension(const std::string& ext) {
  return !ext.empty() && ext.find_first_of(",./\\=[] \t") == std::string::npos;
}

// Reports the message of a failed converter operation; 0 when there is none.
int report(const kvconv::Outcome& outcome) {
  return outcome.message ? fail(outcome.message) : 0;
}

}  // namespace

int registerConverter(const std::string& extension, const std::string& title,
                      const std::string& library, bool editor) {
  const std::string ext = kvconv::lowerExtension(extension);
  if (!usableExtension(ext) || library.empty() || library.find('/') != std::string::npos) {
    std::fprintf(stderr, "확장자나 변환파일 이름이 올바르지 않습니다.\n");
    return 1;
  }
  QSettings settings = userSettings();
  kvconv::Registrations regs = kvconv::readRegistrations(settings);
  // A registered extension is edited in place (the dialog's "수정"); a new
  // one goes last ("첨가").
  bool found = false;
  for (kvconv::Entry& e : regs.entries) {
    if (kvconv::lowerExtension(e.extension) == ext) {
      e = {ext, title, library};
      found = true;
    }
  }
  if (!found) regs.entries.push_back({ext, title, library});
  if (editor) regs.editor = ext;
  kvconv::writeRegistrations(settings, regs);
  if (settings.status() != QSettings::NoError) {
    std::fprintf(stderr, "%s: %s\n", settings.fileName().toLocal8Bit().constData(),
                 kelvo::messageText(20028));
    return 1;
  }
  return 0;
}

int listConverters() {
  QSettings settings = userSettings();
  const kvconv::Registrations regs = kvconv::readRegistrations(settings);
  for (const kvconv::Entry& e : regs.entries) {
    const bool isEditor = !e.extension.empty() && e.extension == regs.editor;
    std::printf("%s\t%s\t%s%s\n", e.extension.c_str(), e.title.c_str(), e.file.c_str(),
                isEditor ? "\teditor" : "");
  }
  return 0;
}

int exportProject(const std::string& file, const std::string& target) {
  // A converter writes its version file at the target: never over the
  // project being exported.
  std::error_code ec;
  if (std::filesystem::equivalent(file, target, ec)) {
    std::fprintf(stderr, "%s: 보낼 파일이 프로젝트 파일과 같습니다.\n", target.c_str());
    return 1;
  }
  ProjectSession s;
  if (int m = s.open(file)) return fail(m);
  // The saved project's option file is current: the classification scheme
  // is read from it as the document holds it.
  XKvScheme scheme;
  std::memset(&scheme, 0, sizeof scheme);
  xOption(&s.db.opt, XOPT_READ, XQD_CLASSES_OPTION, &scheme, sizeof scheme);
  std::string path = target;
  const std::string ext = kvconv::takeExtension(path, {}, 0);
  XKvRequest request{};
  request.path = path.c_str();
  request.database = &s.db;
  request.scheme = &scheme;
  request.info = &s.info;
  QSettings settings = userSettings();
  return report(kvconv::exportProject(settings, kvconv::programFolder(), ext, request));
}

int importProject(const std::string& source, const std::string& file) {
  std::string path = source;
  const std::string ext = kvconv::takeExtension(path, {}, 0);
  ProjectSession s;
  XKvScheme scheme;
  std::memset(&scheme, 0, sizeof scheme);
  XKvRequest request{};
  request.path = path.c_str();
  request.scheme = &scheme;
  request.info = &s.info;
  QSettings settings = userSettings();
  const kvconv::Outcome outcome =
      kvconv::importProject(settings, kvconv::programFolder(), ext, request, [&] {
        // Starting the working set clears the information xGetInfo read.
        const PrjInfo read = s.info;
        const bool made = s.create() == 0;
        s.info = read;
        request.database = &s.db;
        return made;
      });
  // A failed import leaves nothing behind: the session's working folder
  // goes with it and the project file is never written.
  if (outcome.message) return report(outcome);
  if (!xOption(&s.db.opt, XOPT_WRITE, XQD_CLASSES_OPTION, &scheme, sizeof scheme))
    return fail(21000);
  // Like the program's import: the new project has no password.
  s.clearPassword();
  if (int m = s.save(file)) return fail(m);
  return 0;
}

int convertCommand(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "converters") return argc == 2 ? listConverters() : usage();
  if (command == "register") {
    const bool editor = argc == 6 && std::strcmp(argv[5], "--editor") == 0;
    if (argc != 5 && !editor) return usage();
    return registerConverter(argv[2], argv[3], argv[4], editor);
  }
  if (command == "export") return argc == 4 ? exportProject(argv[2], argv[3]) : usage();
  if (command == "import") return argc == 4 ? importProject(argv[2], argv[3]) : usage();
  return -1;
}

}  // namespace kvcli
