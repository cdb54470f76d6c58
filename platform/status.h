// Status codes of the platform layer. They are Windows' own error numbers, so that a
// backend over the real API passes them through unchanged and the simulated PC answers
// exactly as Windows would. Names avoid the Windows macros (ERROR_*) on purpose.
#pragma once

#include <cstdint>

namespace dav::platform {

using Status = std::int32_t;

inline constexpr Status kErrorSuccess = 0;
inline constexpr Status kErrorFileNotFound = 2;
inline constexpr Status kErrorPathNotFound = 3;
inline constexpr Status kErrorAccessDenied = 5;
inline constexpr Status kErrorInvalidHandle = 6;
inline constexpr Status kErrorNoMoreFiles = 18;
inline constexpr Status kErrorSharingViolation = 32;
inline constexpr Status kErrorNotSupported = 50;
inline constexpr Status kErrorBadNetPath = 53;
inline constexpr Status kErrorFileExists = 80;
inline constexpr Status kErrorInvalidParameter = 87;
inline constexpr Status kErrorDiskFull = 112;
inline constexpr Status kErrorInsufficientBuffer = 122;
inline constexpr Status kErrorInvalidName = 123;
inline constexpr Status kErrorDirNotEmpty = 145;
inline constexpr Status kErrorBadPathname = 161;
inline constexpr Status kErrorAlreadyExists = 183;
inline constexpr Status kErrorMoreData = 234;
inline constexpr Status kErrorNoMoreItems = 259;
inline constexpr Status kErrorDirectory = 267;  // a directory name was expected
inline constexpr Status kErrorCantWrite = 1013;
inline constexpr Status kErrorCantRead = 1012;
inline constexpr Status kErrorRegistryIoFailed = 1016;
inline constexpr Status kErrorKeyDeleted = 1018;

}  // namespace dav::platform
