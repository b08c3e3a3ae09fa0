// Loading a converter plug-in by path and binding its numbered exports.
#include <dlfcn.h>
#include <unistd.h>

#include <QSettings>
#include <QString>

#include "kvconverters.h"

namespace kvconv {

std::string programFolder() {
  char buf[4096];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return ".";
  std::string path(buf, static_cast<size_t>(n));
  const size_t slash = path.find_last_of('/');
  return slash == 0 ? "/" : path.substr(0, slash);
}

Plugin::~Plugin() {
  if (handle_) dlclose(handle_);
}

bool Plugin::load(const std::string& folder, const std::string& file) {
  // Registrations name a file in the programs' folder and nothing else.
  if (file.empty() || file.find('/') != std::string::npos || file == "." || file == "..")
    return false;
  const std::string path = folder + "/" + file;
  void* h = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!h) return false;
  auto tableFn = reinterpret_cast<XKvOrdinalTableFn>(dlsym(h, "xOrdinalTable"));
  const XKvProc* table = tableFn ? tableFn() : nullptr;
  if (!table) {
    dlclose(h);
    return false;
  }
  if (handle_) dlclose(handle_);
  handle_ = h;
  table_ = table;
  return true;
}

XKvProc Plugin::proc(int ordinal) const {
  if (!table_ || ordinal < XKV_GET_INFO || ordinal > XKV_IMP_TB) return nullptr;
  return table_[ordinal];
}

}  // namespace kvconv
