#include "platform/sim/host_errors.h"

#include <errno.h>

namespace dav::platform::sim {

Status StatusFromErrno(int error) {
  switch (error) {
    case 0:
      return kErrorSuccess;
    case ENOENT:
      return kErrorFileNotFound;
    case ENOTDIR:
      return kErrorPathNotFound;
    case EEXIST:
      return kErrorAlreadyExists;
    case ENOTEMPTY:
      return kErrorDirNotEmpty;
    case ENAMETOOLONG:
      return kErrorInvalidName;
    case ENOSPC:
    case EDQUOT:
      return kErrorDiskFull;
    case EBUSY:
    case ETXTBSY:
      return kErrorSharingViolation;
    case ENOTSUP:
      return kErrorNotSupported;
    // Permissions, a read-only host file system, a symbolic link met with O_NOFOLLOW, a
    // folder where a file was expected, and whatever else: access is denied.
    default:
      return kErrorAccessDenied;
  }
}

}  // namespace dav::platform::sim
