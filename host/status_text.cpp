#include "host/status_text.h"

namespace dav::host {
namespace {

const char* Describe(platform::Status status) {
  switch (status) {
    case platform::kErrorFileNotFound:
      return "not found";
    case platform::kErrorPathNotFound:
      return "path not found";
    case platform::kErrorAccessDenied:
      return "access denied";
    case platform::kErrorDiskFull:
      return "disk full";
    case platform::kErrorSharingViolation:
      return "in use by another process";
    case platform::kErrorInvalidHandle:
      return "invalid handle";
    case platform::kErrorNotSupported:
      return "not supported";
    case platform::kErrorBadNetPath:
      return "network path not found";
    case platform::kErrorFileExists:
    case platform::kErrorAlreadyExists:
      return "already exists";
    case platform::kErrorInvalidParameter:
      return "invalid parameter";
    case platform::kErrorInvalidName:
      return "invalid file name";
    case platform::kErrorDirNotEmpty:
      return "folder not empty";
    case platform::kErrorCantRead:
    case platform::kErrorCantWrite:
    case platform::kErrorRegistryIoFailed:
      return "registry input/output failed";
    case platform::kErrorKeyDeleted:
      return "key was deleted";
    default:
      return "failed";
  }
}

}  // namespace

std::string StatusText(platform::Status status) {
  return std::string(Describe(status)) + " (error " + std::to_string(status) + ")";
}

}  // namespace dav::host
