#include "codec_binding.h"

#include <dlfcn.h>

#include <QFile>

namespace deploy {

bool CodecBinding::load(const QString& folder) {
  unload();
  const QByteArray path = QFile::encodeName(folder + QStringLiteral("libxNubPack.so"));
  handle_ = ::dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) return false;
  using Table = const XApProc* (*)();
  auto table = reinterpret_cast<Table>(::dlsym(handle_, "xOrdinalTable"));
  const XApProc* t = table ? table() : nullptr;
  if (!t || !t[2] || !t[3] || !t[4] || !t[5]) {
    unload();
    return false;
  }
  decode_ = reinterpret_cast<int (*)(int)>(t[2]);
  findFirst_ = reinterpret_cast<const XApHeader* (*)(int)>(t[3]);
  findNext_ = reinterpret_cast<const XApHeader* (*)()>(t[4]);
  findClose_ = reinterpret_cast<void (*)()>(t[5]);
  lastError_ = reinterpret_cast<int (*)()>(::dlsym(handle_, "xApLastError"));
  return true;
}

void CodecBinding::unload() {
  if (handle_) ::dlclose(handle_);
  handle_ = nullptr;
  decode_ = nullptr;
  findFirst_ = nullptr;
  findNext_ = nullptr;
  findClose_ = nullptr;
  lastError_ = nullptr;
}

}  // namespace deploy
