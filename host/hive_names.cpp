#include "host/hive_names.h"

#include <array>
#include <cctype>

namespace dav::host {
namespace {

struct HiveSpelling {
  std::string_view longName;
  std::string_view shortName;  // empty when Windows has none
  platform::KeyHandle handle;
};

constexpr std::array<HiveSpelling, 5> kHives = {{
    {"HKEY_CLASSES_ROOT", "HKCR", platform::kHKeyClassesRoot},
    {"HKEY_CURRENT_USER", "HKCU", platform::kHKeyCurrentUser},
    {"HKEY_LOCAL_MACHINE", "HKLM", platform::kHKeyLocalMachine},
    {"HKEY_USERS", "HKU", platform::kHKeyUsers},
    {"HKEY_PERFORMANCE_DATA", "", platform::kHKeyPerformanceData},
}};

}  // namespace

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) !=
        std::toupper(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

std::string KeyPath::Full() const {
  std::string full(HiveName(hive));
  if (!subKey.empty()) full += "\\" + subKey;
  return full;
}

std::string_view HiveName(platform::KeyHandle hive) {
  for (const auto& h : kHives) {
    if (h.handle == hive) return h.longName;
  }
  return {};
}

bool ParseKeyPath(std::string_view text, KeyPath* path, std::string* error) {
  if (!text.empty() && text.back() == '\\') text.remove_suffix(1);
  const std::size_t slash = text.find('\\');
  const std::string_view hiveText = text.substr(0, slash);
  const std::string_view rest =
      slash == std::string_view::npos ? std::string_view{} : text.substr(slash + 1);

  const HiveSpelling* hive = nullptr;
  for (const auto& h : kHives) {
    if (EqualsIgnoringCase(hiveText, h.longName) ||
        (!h.shortName.empty() && EqualsIgnoringCase(hiveText, h.shortName))) {
      hive = &h;
    }
  }
  if (hive == nullptr) {
    *error = "unknown registry hive '" + std::string(hiveText) +
             "' (use HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS or "
             "HKCR, HKCU, HKLM, HKU)";
    return false;
  }
  if (slash != std::string_view::npos) {
    if (rest.empty() || rest.front() == '\\' || rest.find("\\\\") != std::string_view::npos) {
      *error = "empty key name in '" + std::string(text) + "'";
      return false;
    }
  }
  path->hive = hive->handle;
  path->subKey = std::string(rest);
  return true;
}

}  // namespace dav::host
