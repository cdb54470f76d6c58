#include "platform/sim/sim_shell.h"

#include <cstdio>

namespace dav::platform::sim {
namespace {

struct ShellObject {
  const char* clsid;
  int csidl;
};

constexpr ShellObject kShellObjects[] = {
    {"{450D8FBA-AD25-11D0-98A8-0800361B1103}", kCsidlPersonal},
    {"{20D04FE0-3AEA-1069-A2D8-08002B30309D}", kCsidlDrives},
    {"{208D2C60-3AEA-1069-A2D7-08002B30309D}", kCsidlNetwork},
    {"{645FF040-5081-101B-9F08-00AA002F954E}", kCsidlBitBucket},
    {"{871C5380-42A0-1069-A2EA-08002B30309D}", kCsidlInternet},
};

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto upper = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; };
    if (upper(a[i]) != upper(b[i])) return false;
  }
  return true;
}

}  // namespace

Status SimShell::SpecialFolderPath(int csidl, std::string* path) {
  const auto folder = store_.FindSpecialFolder(csidl);
  if (!folder) return kErrorInvalidParameter;
  *path = folder->path;
  return kErrorSuccess;
}

Status SimShell::SpecialFolderDisplayName(int csidl, std::string* name) {
  const auto folder = store_.FindSpecialFolder(csidl);
  if (!folder) return kErrorInvalidParameter;
  *name = folder->displayName;
  return kErrorSuccess;
}

Status SimShell::ParsingNameDisplayName(std::string_view parsingName, std::string* name) {
  constexpr std::string_view kPrefix = "::";
  if (parsingName.substr(0, kPrefix.size()) != kPrefix) return kErrorFileNotFound;
  const std::string_view clsid = parsingName.substr(kPrefix.size());
  for (const auto& object : kShellObjects) {
    if (EqualsIgnoringCase(clsid, object.clsid))
      return SpecialFolderDisplayName(object.csidl, name);
  }
  return kErrorFileNotFound;
}

void SimShell::ChangeNotify(std::int32_t eventId, std::uint32_t flags) {
  char detail[48];
  if (flags == 0) {
    std::snprintf(detail, sizeof detail, "0x%08X", static_cast<std::uint32_t>(eventId));
  } else {
    std::snprintf(detail, sizeof detail, "0x%08X flags 0x%X", static_cast<std::uint32_t>(eventId),
                  flags);
  }
  record_("shell.notify", detail);
}

}  // namespace dav::platform::sim
