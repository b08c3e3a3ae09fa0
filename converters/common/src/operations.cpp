// The whole-project and external-editor call sequences.
#include <QSettings>
#include <QString>
#include <cstring>

#include "kvconverters.h"

namespace kvconv {

namespace {

Outcome failedUnlessSet(int32_t result) {
  return {result, result == 0 ? XKV_MSG_FAILED : 0};
}

}  // namespace

Outcome loadFor(QSettings& settings, const std::string& folder, const std::string& extension,
                Plugin& plugin) {
  const std::string key = lowerExtension(extension);
  std::string file;
  if (!key.empty() && key.find('/') == std::string::npos) {
    settings.beginGroup(QStringLiteral("Convert"));
    file = settings.value(QString::fromStdString(key)).toString().toStdString();
    settings.endGroup();
  }
  if (file.empty() || !plugin.load(folder, file)) return {0, XKV_MSG_NOT_FOUND};
  return {1, 0};
}

namespace {

// Steps shared by both whole-project directions: something registered, the
// plug-in loaded, the request told about it.
Outcome prepare(QSettings& settings, const std::string& folder, const std::string& extension,
                XKvRequest& request, Plugin& plugin, std::string& key) {
  if (readRegistrations(settings).entries.empty()) return {0, XKV_MSG_NONE_REGISTERED};
  key = lowerExtension(extension);
  Outcome loaded = loadFor(settings, folder, key, plugin);
  if (loaded.message) return loaded;
  request.library = plugin.handle();
  request.extension = key.c_str();
  return {1, 0};
}

int32_t call(const Plugin& plugin, int ordinal, XKvRequest& request) {
  XKvProc f = plugin.proc(ordinal);
  return f ? f(&request) : 0;
}

// The library handle and the key do not outlive the operation.
Outcome finish(XKvRequest& request, int32_t result) {
  request.library = nullptr;
  request.extension = nullptr;
  return failedUnlessSet(result);
}

}  // namespace

Outcome exportProject(QSettings& settings, const std::string& folder, const std::string& extension,
                      XKvRequest& request) {
  Plugin plugin;
  std::string key;
  Outcome ready = prepare(settings, folder, extension, request, plugin, key);
  if (ready.message) return ready;
  return finish(request, call(plugin, XKV_EXP_DB, request));
}

Outcome importProject(QSettings& settings, const std::string& folder, const std::string& extension,
                      XKvRequest& request, const std::function<bool()>& createDatabase) {
  Plugin plugin;
  std::string key;
  Outcome ready = prepare(settings, folder, extension, request, plugin, key);
  if (ready.message) return ready;
  auto* info = static_cast<unsigned char*>(request.info);
  memset(info, 0, 200);
  info[198] = 12;
  info[199] = 0;
  int32_t result = call(plugin, XKV_GET_INFO, request);
  if (result) result = createDatabase() ? call(plugin, XKV_IMP_DB, request) : 0;
  return finish(request, result);
}

Outcome editorCall(QSettings& settings, const std::string& folder, int ordinal,
                   XKvRequest& request) {
  const std::string key = readRegistrations(settings).editor;
  if (key.empty()) return {0, XKV_MSG_NONE_REGISTERED};
  Plugin plugin;
  Outcome loaded = loadFor(settings, folder, key, plugin);
  if (loaded.message) return loaded;
  const std::string lowered = lowerExtension(key);
  request.library = plugin.handle();
  request.extension = lowered.c_str();
  const int32_t result =
      ordinal == XKV_EXP_TB || ordinal == XKV_IMP_TB ? call(plugin, ordinal, request) : 0;
  return finish(request, result);
}

}  // namespace kvconv
