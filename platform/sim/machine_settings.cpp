#include "platform/sim/machine_settings.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdint>

#include "platform/code_page.h"
#include "platform/sim/faults.h"

namespace dav::platform::sim {
namespace {

bool ParseUnsigned(std::string_view text, std::uint32_t* number) {
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *number);
  return error == std::errc() && end == text.data() + text.size();
}

std::string CheckVersion(std::string_view value) {
  // Three numbers separated by dots, as "5.1.2600".
  int parts = 0;
  std::size_t pos = 0;
  while (true) {
    const std::size_t dot = std::min(value.find('.', pos), value.size());
    std::uint32_t number = 0;
    if (!ParseUnsigned(value.substr(pos, dot - pos), &number)) break;
    ++parts;
    if (dot == value.size()) return parts == 3 ? "" : "must be major.minor.build, as 5.1.2600";
    pos = dot + 1;
  }
  return "must be major.minor.build, as 5.1.2600";
}

std::string CheckWindowsFolder(std::string_view value) {
  const bool drive = value.size() >= 3 && std::isalpha(static_cast<unsigned char>(value[0])) &&
                     value[1] == ':' && value[2] == '\\';
  return drive ? "" : "must be a full Windows path, as C:\\WINDOWS\\system32";
}

std::string CheckUserName(std::string_view value) {
  if (value.empty()) return "must not be empty";
  if (value.find_first_of("\\/:*?\"<>|") != std::string_view::npos) {
    return "must not contain any of \\ / : * ? \" < > |";
  }
  return "";
}

std::string CheckNumberIn(std::string_view value, std::uint32_t low, std::uint32_t high) {
  std::uint32_t number = 0;
  if (ParseUnsigned(value, &number) && number >= low && number <= high) return "";
  return "must be a number from " + std::to_string(low) + " to " + std::to_string(high);
}

}  // namespace

const std::vector<SettingDefault>& DefaultSettings() {
  static const std::vector<SettingDefault> kDefaults = {
      {setting::kPlatformId, "2"},
      {setting::kVersion, "5.1.2600"},
      {setting::kServicePack, "Service Pack 3"},
      {setting::kCodePage, "949"},
      {setting::kUserName, "user"},
      {setting::kSystemDirectory, "C:\\WINDOWS\\system32"},
      {setting::kShortDate, "yyyy-MM-dd"},
      {setting::kTimeFormat, "tt h:mm:ss"},
      {setting::kAm, "오전"},
      {setting::kPm, "오후"},
      {setting::kMessageBoxAnswer, "1"},
      {setting::kClientFolder, "C:\\Program Files\\brisal client"},
      {setting::kClientKey, "Software\\quorel\\brisal client"},
      {setting::kSpecVersion, "2.5.1"},
      {setting::kWaits, "real"},
      {setting::kFaults, ""},
  };
  return kDefaults;
}

std::string CheckSetting(std::string_view name, std::string_view value) {
  std::string problem;
  if (name == setting::kPlatformId) {
    problem = CheckNumberIn(value, 1, 2);
  } else if (name == setting::kVersion) {
    problem = CheckVersion(value);
  } else if (name == setting::kCodePage) {
    std::uint32_t codePage = 0;
    if (!ParseUnsigned(value, &codePage) || !IsCodePageSupported(codePage)) {
      problem = "must be a code page this machine can convert, as 949";
    }
  } else if (name == setting::kUserName) {
    problem = CheckUserName(value);
  } else if (name == setting::kSystemDirectory) {
    problem = CheckWindowsFolder(value);
  } else if (name == setting::kShortDate || name == setting::kTimeFormat) {
    if (value.empty()) problem = "must not be empty";
  } else if (name == setting::kMessageBoxAnswer) {
    problem = CheckNumberIn(value, 1, 7);
  } else if (name == setting::kClientFolder) {
    problem = CheckWindowsFolder(value);
  } else if (name == setting::kClientKey) {
    if (value.empty() || value.front() == '\\' || value.back() == '\\' ||
        value.rfind("HKEY_", 0) == 0 || value.rfind("HKLM\\", 0) == 0) {
      problem = "must be a key path without a hive name or a backslash at either end";
    }
  } else if (name == setting::kWaits) {
    if (value != "real" && value != "skip") problem = "must be real or skip";
  } else if (name == setting::kFaults) {
    FaultSettings faults;
    problem = ParseFaultSettings(value, &faults);
  } else if (name != setting::kServicePack && name != setting::kAm && name != setting::kPm &&
             name != setting::kSpecVersion) {
    std::string known;
    for (const auto& entry : DefaultSettings())
      known += (known.empty() ? "" : ", ") + std::string(entry.name);
    return "unknown machine setting '" + std::string(name) + "' (known: " + known + ")";
  }
  if (problem.empty()) return problem;
  return "machine setting '" + std::string(name) + "' " + problem + ", not '" + std::string(value) +
         "'";
}

}  // namespace dav::platform::sim
