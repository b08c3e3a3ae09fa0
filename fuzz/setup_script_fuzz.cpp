// Set-up scripts from hostile bytes: reading never fails badly, and every
// path the script names either is refused or stays inside its folder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "deploy_paths.h"
#include "setup_script.h"

namespace {

void check_inside(const QString& base, const QString& relative) {
  const QString path = deploy::resolveInside(base, relative);
  if (path.isEmpty()) return;
  if (!deploy::isInside(path, base) || path.contains(QLatin1String("/../")) ||
      path.endsWith(QLatin1String("/..")))
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<int>(size));
  for (bool topLevel : {true, false}) {
    deploy::Script script;
    if (!deploy::parseScript(bytes, topLevel, &script)) continue;
    const QString base = QStringLiteral("/nonexistent-media/");
    for (const deploy::FilesEntry& e : script.files) {
      check_inside(base, e.source);
      check_inside(base, e.destination);
      check_inside(base, e.checkFile);
    }
    for (const QString& folder : script.folders) check_inside(base, folder);
    for (int i = 0; i < script.selection.count; ++i) check_inside(base, script.selection.paths[i]);
  }
  return 0;
}
