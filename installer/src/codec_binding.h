// The archive codec as the installer uses it: loaded at run time from the
// installer's own folder, its functions taken by ordinal.
#ifndef DEPLOY_CODEC_BINDING_H_
#define DEPLOY_CODEC_BINDING_H_

#include <QString>

#include "xNubPack.h"

namespace deploy {

class CodecBinding {
 public:
  CodecBinding() = default;
  CodecBinding(const CodecBinding&) = delete;
  CodecBinding& operator=(const CodecBinding&) = delete;
  ~CodecBinding() { unload(); }

  // Loads "libxNubPack.so" from `folder` (ending in '/') and binds ordinals
  // 2 xApDecode, 3 xApFindFirst, 4 xApFindNext and 5 xApFindClose. False
  // when the library or an entry point is missing.
  bool load(const QString& folder);
  void unload();
  bool loaded() const { return handle_ != nullptr; }

  const XApHeader* findFirst(int archive) const { return findFirst_(archive); }
  const XApHeader* findNext() const { return findNext_(); }
  void findClose() const { findClose_(); }
  int decode(int target) const { return decode_(target); }
  // The reason the last call failed; XAP_OK when the library cannot say.
  int lastError() const { return lastError_ ? lastError_() : XAP_OK; }

 private:
  void* handle_ = nullptr;
  int (*decode_)(int) = nullptr;
  const XApHeader* (*findFirst_)(int) = nullptr;
  const XApHeader* (*findNext_)() = nullptr;
  void (*findClose_)() = nullptr;
  int (*lastError_)() = nullptr;
};

}  // namespace deploy

#endif  // DEPLOY_CODEC_BINDING_H_
