// Maps failures of system calls to the engine's error word. Every engine
// layer that makes its own file calls includes this header.
#ifndef XJOR_PLATFORM_ERROR_H_
#define XJOR_PLATFORM_ERROR_H_

#include <stdint.h>

// Translates err (an errno value, 0 = success) to an engine code
// (0 or 21000..21014), stores it in the error word and returns it.
int32_t xjorMapErrno(int err);

// Translates without touching the error word.
int32_t xjorErrnoCode(int err);

#endif  // XJOR_PLATFORM_ERROR_H_
