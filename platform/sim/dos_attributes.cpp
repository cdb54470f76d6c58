#include "platform/sim/dos_attributes.h"

#include <errno.h>
#include <sys/xattr.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/file_system.h"
#include "platform/sim/host_errors.h"

namespace dav::platform::sim {
namespace {

constexpr std::uint32_t kSettable = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive;

}  // namespace

std::uint32_t ReadDosAttributes(const std::filesystem::path& host, bool isDirectory) {
  const std::uint32_t typeBit = isDirectory ? kAttrDirectory : 0;
  char text[32] = {};
  ssize_t length = lgetxattr(host.c_str(), kDosAttributeName, text, sizeof text - 1);
  while (length > 0 && text[length - 1] == '\0') --length;  // some writers store the 0 too
  if (length <= 2 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X')) {
    return isDirectory ? kAttrDirectory : kAttrArchive;
  }
  char* end = nullptr;
  unsigned long stored = std::strtoul(text + 2, &end, 16);
  if (end != text + length) return isDirectory ? kAttrDirectory : kAttrArchive;
  std::uint32_t attributes = (static_cast<std::uint32_t>(stored) & kSettable) | typeBit;
  return attributes == 0 ? kAttrNormal : attributes;
}

bool IsPlainArchiveFile(std::uint32_t attributes) {
  return (attributes & kSettable) == kAttrArchive;
}

Status WriteDosAttributes(const std::filesystem::path& host, bool isDirectory,
                          std::uint32_t attributes) {
  std::uint32_t stored = (attributes & kSettable) | (isDirectory ? kAttrDirectory : 0);
  char text[32];
  int length = std::snprintf(text, sizeof text, "0x%x", static_cast<unsigned>(stored));
  if (lsetxattr(host.c_str(), kDosAttributeName, text, static_cast<std::size_t>(length), 0) != 0) {
    return StatusFromErrno(errno);
  }
  return kErrorSuccess;
}

}  // namespace dav::platform::sim
