// The process-wide error word of the engine.
#include "xjor/table.h"

namespace {
int32_t g_error_word = 0;
}

extern "C" int32_t xGetDbError(void) {
  return g_error_word;
}

extern "C" int32_t xSetDbError(int32_t code) {
  g_error_word = code;
  return code;
}
