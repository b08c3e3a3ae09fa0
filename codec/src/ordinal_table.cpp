// The numbered exports, for callers that bind by ordinal.
#include "xNubPack.h"

namespace {

template <typename F>
XApProc as_proc(F* f) {
  return reinterpret_cast<XApProc>(f);
}

const XApProc kOrdinals[] = {
    nullptr,                 // 0: unused
    as_proc(&xApEncode),     // 1
    as_proc(&xApDecode),     // 2
    as_proc(&xApFindFirst),  // 3
    as_proc(&xApFindNext),   // 4
    as_proc(&xApFindClose),  // 5
};

}  // namespace

extern "C" const XApProc* xOrdinalTable(void) {
  return kOrdinals;
}
