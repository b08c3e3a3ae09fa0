// errno values grouped by meaning onto the engine's file error codes.
#include "platform_error.h"

#include <errno.h>

#include "xjor/table.h"

int32_t xjorErrnoCode(int err) {
  switch (err) {
    case 0:
      return 0;
    case ENOENT:
    case EBADF:
      return 21002;  // file not found (or no such handle)
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EXDEV:
      return 21003;  // bad path name
    case EMFILE:
    case ENFILE:
      return 21004;  // too many open files
    case EACCES:
    case EPERM:
    case EROFS:
    case EEXIST:
    case EISDIR:
      return 21005;  // access denied
    case EBUSY:
    case ENOTEMPTY:
      return 21007;  // directory in use / not empty
    case ESPIPE:
    case EOVERFLOW:
    case EFBIG:
      return 21009;  // seek failed
    case EIO:
    case ENXIO:
      return 21010;  // hardware error
    case EWOULDBLOCK:
    case ETXTBSY:
      return 21011;  // another process holds the file
    case EDEADLK:
    case ENOLCK:
      return 21012;  // lock violation
    case ENOSPC:
    case EDQUOT:
      return 21013;  // disk full
    case ENOMEM:
      return 21001;  // out of memory
    default:
      return 21000;
  }
}

int32_t xjorMapErrno(int err) {
  return xSetDbError(xjorErrnoCode(err));
}

extern "C" int32_t xMapErrno(int32_t err) {
  return xjorMapErrno(err);
}
