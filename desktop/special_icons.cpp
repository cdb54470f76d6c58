#include "desktop/special_icons.h"

#include <string_view>

#include "platform/shell.h"
#include "util/mod_main.h"
#include "util/procedure.h"
#include "util/report_failure.h"
#include "util/run_time_error.h"

namespace dav::desktop {
namespace {

using mdTypeDefine::UType_DIData;
using platform::kHKeyClassesRoot;
using platform::kHKeyCurrentUser;
using platform::kHKeyLocalMachine;

constexpr const char* kMyComputer = "{20D04FE0-3AEA-1069-A2D8-08002B30309D}";
constexpr const char* kMyDocuments = "{450D8FBA-AD25-11D0-98A8-0800361B1103}";
constexpr const char* kMyNetwork = "{208D2C60-3AEA-1069-A2D7-08002B30309D}";
constexpr const char* kInternetExplorer = "{871C5380-42A0-1069-A2EA-08002B30309D}";
constexpr const char* kInternetExplorerName = "Internet Explorer";

constexpr const char* kNonEnum = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\NonEnum";
constexpr const char* kExplorerPolicies =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
constexpr const char* kNewStartPanel =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\HideDesktopIcons\\NewStartPanel";
constexpr const char* kClassicStartMenu =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\HideDesktopIcons\\ClassicStartMenu";
// My Documents on the desktop of Windows 9x, and the Recycle Bin, are keys of the desktop's
// name space.
constexpr const char* kMyDocumentsNameSpace =
    "Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\Desktop\\NameSpace\\"
    "{450d8fba-ad25-11d0-98a8-0800361b1103}";
constexpr const char* kMyDocumentsParsingName = "::{450d8fba-ad25-11d0-98a8-0800361b1103}";
constexpr const char* kRecycleBinNameSpace =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Desktop\\NameSpace\\"
    "{645FF040-5081-101B-9F08-00AA002F954E}";
// Internet Explorer's shell folder on Windows 9x.
constexpr const char* kInternetExplorerShellFolder =
    "CLSID\\{871C5380-42A0-1069-A2EA-08002B30309D}\\ShellFolder";

// A shell folder's "Attributes": shown, and hidden with the not-enumerated bit.
constexpr std::int32_t kAttributesShown = static_cast<std::int32_t>(0xF0400174u);
constexpr std::int32_t kAttributesHidden = static_cast<std::int32_t>(0xF0500174u);
constexpr std::int32_t kNotEnumerated = 0x00100000;

std::string ShellFolderKey(const char* clsid) {
  return std::string("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\CLSID\\") + clsid +
         "\\ShellFolder";
}

std::string Full(const char* hive, const char* key) {
  return std::string(hive) + "\\" + key;
}

std::string TrimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

}  // namespace

SpecialIcons::SpecialIcons(util::Log& log, const std::string& diStoreKey)
    : log_(log), diStoreKey_(diStoreKey), registry_(log), spm_(log) {}

bool SpecialIcons::IsWinNT() {
  return modMain::UF_IsWinNT(log_);
}

std::string SpecialIcons::ClientIniFile() {
  return log_.platform().system().SystemDirectory() + "\\" + kClientIniFile;
}

std::string SpecialIcons::GetSpecialFolderName(std::optional<int> folder) {
  int line = 10;
  try {
    platform::Shell& shell = log_.platform().shell();
    std::string name;
    platform::Status status = platform::kErrorSuccess;
    if (folder) {
      line = 20;
      status = shell.SpecialFolderDisplayName(*folder, &name);
    } else {
      line = 30;
      if (!registry_.RegKeyExist(Full("HKEY_LOCAL_MACHINE", kMyDocumentsNameSpace))) return {};
      line = 40;
      status = shell.ParsingNameDisplayName(kMyDocumentsParsingName, &name);
    }
    if (status != platform::kErrorSuccess) {
      throw util::RunTimeError(util::kErrAutomation, {},
                               "the shell gave no display name: error " + std::to_string(status));
    }
    line = 50;
    return modMain::Strz2Str(name);
  } catch (...) {
    const util::Failure failure = util::CurrentFailure();
    log_.ReportError("CCDavIrizevez.GetSpecialFolderName", failure.number,
                     "Line : " + std::to_string(line) + " " + failure.description, false);
    return {};  // not reached
  }
}

std::int16_t SpecialIcons::StoredChoice(const char* storeValue) {
  return registry_.ReadDWORD(kHKeyLocalMachine, diStoreKey_, storeValue, 1) == 1 ? 1 : 0;
}

std::int16_t SpecialIcons::ShownOnNT(const char* clsid) {
  const bool shown = registry_.ReadDWORD(kHKeyCurrentUser, ShellFolderKey(clsid), "Attributes",
                                         kAttributesShown) == kAttributesShown &&
                     registry_.ReadDWORD(kHKeyCurrentUser, kNewStartPanel, clsid, 0) == 0 &&
                     registry_.ReadDWORD(kHKeyCurrentUser, kNonEnum, clsid, 0) == 0;
  return shown ? 1 : 0;
}

void SpecialIcons::LoadSpecialIcons(IconList& list, bool isProtected) {
  util::ReportingFailures(log_, "CCDavIrizevez.LoadSpecialIcons", [&] {
    const bool nt = IsWinNT();
    std::int16_t flag = -1;  // Windows 9x: My Computer cannot be hidden
    if (nt) flag = isProtected ? StoredChoice("MyCom") : ShownOnNT(kMyComputer);
    list.push_back({GetSpecialFolderName(platform::kCsidlDrives), flag});

    if (isProtected) {
      flag = StoredChoice("MyDoc");
    } else if (nt) {
      flag = ShownOnNT(kMyDocuments);
    } else {
      flag = registry_.RegKeyExist(Full("HKEY_LOCAL_MACHINE", kMyDocumentsNameSpace)) ? 1 : 0;
    }
    list.push_back(
        {nt ? GetSpecialFolderName(platform::kCsidlPersonal) : GetSpecialFolderName(std::nullopt),
         flag});

    if (isProtected) {
      flag = StoredChoice("MyNet");
    } else if (nt) {
      flag =
          registry_.ReadValue(Full("HKEY_CURRENT_USER", kClassicStartMenu), kMyNetwork, "") == "1"
              ? 0
              : 1;
    } else {
      flag =
          registry_.ReadValue(Full("HKEY_CURRENT_USER", kExplorerPolicies), "NoNetHood", "") == "1"
              ? 0
              : 1;
    }
    list.push_back({GetSpecialFolderName(platform::kCsidlNetwork), flag});

    if (isProtected) {
      flag = StoredChoice("Trash");
    } else {
      flag = registry_.RegKeyExist(Full("HKEY_LOCAL_MACHINE", kRecycleBinNameSpace)) ? 1 : 0;
    }
    list.push_back({GetSpecialFolderName(platform::kCsidlBitBucket), flag});

    if (specialIconCount_ == 5) {
      flag = isProtected ? StoredChoice("IE") : (IEIconVisible() ? 1 : 0);
      list.push_back({kInternetExplorerName, flag});
    }
  });
}

void SpecialIcons::WriteShellFolderValues(const char* clsid, std::int32_t hidden,
                                          std::int32_t attributes) {
  registry_.WriteDWORD(kHKeyCurrentUser, kNonEnum, clsid, hidden);
  registry_.WriteDWORD(kHKeyCurrentUser, kNewStartPanel, clsid, hidden);
  registry_.WriteDWORD(kHKeyCurrentUser, ShellFolderKey(clsid), "Attributes", attributes);
}

// An icon of the desktop's name space is shown by its key there and hidden by its absence.
void SpecialIcons::ShowNameSpaceKey(const char* key, bool show) {
  if (!show) {
    spm_.DeleteRegKey(kHKeyLocalMachine, key);
    return;
  }
  platform::KeyHandle created = platform::kNoKey;
  if (spm_.CreateRegKey(kHKeyLocalMachine, key, created)) {
    log_.platform().registry().CloseKey(created);
  }
}

void SpecialIcons::ShowSpecialIcon(const UType_DIData& entry, bool show, bool isProtected) {
  util::ReportingFailures(log_, "CCDavIrizevez.ShowSpecialIcon", [&] {
    const std::int32_t hidden = show ? 0 : 1;
    const std::int32_t store = show ? 1 : 0;
    const std::int32_t attributes = show ? kAttributesShown : kAttributesHidden;
    const bool nt = IsWinNT();
    const std::string& name = entry.diFileName;
    const char* storeValue = nullptr;

    if (name == GetSpecialFolderName(platform::kCsidlDrives)) {
      if (nt) WriteShellFolderValues(kMyComputer, hidden, attributes);
      storeValue = "MyCom";
    } else if (name == (nt ? GetSpecialFolderName(platform::kCsidlPersonal)
                           : GetSpecialFolderName(std::nullopt))) {
      if (nt) {
        WriteShellFolderValues(kMyDocuments, hidden, attributes);
      } else {
        ShowNameSpaceKey(kMyDocumentsNameSpace, show);
      }
      storeValue = "MyDoc";
    } else if (name == GetSpecialFolderName(platform::kCsidlNetwork)) {
      const std::string text = std::to_string(hidden);
      if (nt) {
        registry_.WriteValue(Full("HKEY_CURRENT_USER", kClassicStartMenu), kMyNetwork, text, 4);
        registry_.WriteValue(Full("HKEY_CURRENT_USER", kNewStartPanel), kMyNetwork, text, 4);
      } else {
        registry_.WriteValue(Full("HKEY_CURRENT_USER", kExplorerPolicies), "NoNetHood", text, 4);
      }
      storeValue = "MyNet";
    } else if (name == GetSpecialFolderName(platform::kCsidlBitBucket)) {
      ShowNameSpaceKey(kRecycleBinNameSpace, show);
      storeValue = "Trash";
    } else if (name == kInternetExplorerName) {
      ShowIEIcon(show);
      storeValue = "IE";
    }
    if (storeValue != nullptr && isProtected) {
      registry_.WriteDWORD(kHKeyLocalMachine, diStoreKey_, storeValue, store);
    }
    log_.platform().shell().ChangeNotify(platform::kShcneAssocChanged, 0);
  });
}

void SpecialIcons::ShowIEIcon(bool show) {
  util::ReportingFailures(log_, "CCDavIrizevez.ShowIEIcon", [&] {
    // The policy that removes the icon altogether is always lifted.
    registry_.WriteDWORD(kHKeyCurrentUser, kExplorerPolicies, "NoInternetIcon", 0);
    registry_.WriteDWORD(kHKeyLocalMachine, kExplorerPolicies, "NoInternetIcon", 0);
    if (IsWinNT()) {
      const std::int32_t hidden = show ? 0 : 1;
      registry_.WriteDWORD(kHKeyCurrentUser, kClassicStartMenu, kInternetExplorer, hidden);
      registry_.WriteDWORD(kHKeyCurrentUser, kNewStartPanel, kInternetExplorer, hidden);
    } else {
      std::int32_t attributes =
          registry_.ReadDWORD(kHKeyClassesRoot, kInternetExplorerShellFolder, "Attributes", 0);
      if (attributes == 0) attributes = 36;
      attributes = show ? (attributes & ~kNotEnumerated) : (attributes | kNotEnumerated);
      registry_.WriteDWORD(kHKeyClassesRoot, kInternetExplorerShellFolder, "Attributes",
                           attributes);
    }
  });
}

bool SpecialIcons::IEIconVisible() {
  return util::ReportingFailures(log_, "CCDavIrizevez.IEIconVisible", [&] {
    if (IsWinNT()) {
      const std::string hidden =
          registry_.ReadValue(Full("HKEY_CURRENT_USER", kClassicStartMenu), kInternetExplorer, "");
      return hidden.empty() || hidden == "0";
    }
    return (registry_.ReadDWORD(kHKeyClassesRoot, kInternetExplorerShellFolder, "Attributes", 0) &
            kNotEnumerated) == 0;
  });
}

std::string SpecialIcons::GetIEShortcutName() {
  platform::Platform& platform = log_.platform();
  const std::string file = ClientIniFile();
  const std::string extension = modMain::ReadIniString(platform, file, "settings", "qrlieex", "");
  const std::string inUse = modMain::ReadIniString(platform, file, "settings", "qrllnk", "");
  if (inUse == "1" && !extension.empty()) return "Internet Explorer." + extension;
  return {};
}

std::vector<std::string> SpecialIcons::GetQuorelAdURLIcon() {
  std::vector<std::string> names;
  try {
    const std::string file = ClientIniFile();
    for (int n = 0;; ++n) {
      const std::string name = TrimBlanks(modMain::Strz2Str(modMain::ReadIniString(
          log_.platform(), file, "urlname", "member" + std::to_string(n), "")));
      if (name.empty()) break;
      names.push_back(name + ".url");
    }
  } catch (...) {
    const util::Failure failure = util::CurrentFailure();
    log_.ReportError("CCDavIrizevez.GetQuorelAdURLIcon", failure.number, failure.description, true);
  }
  return names;
}

std::vector<std::string> SpecialIcons::LoadFilteringList() {
  return util::ReportingFailures(log_, "CCDavIrizevez.LoadFilteringList", [&] {
    std::vector<std::string> filter;
    const std::string shortcut = GetIEShortcutName();
    if (!shortcut.empty()) {
      specialIconCount_ = 4;
      filter.push_back(shortcut);
    } else {
      specialIconCount_ = 5;
    }
    for (std::string& name : GetQuorelAdURLIcon()) filter.push_back(std::move(name));
    return filter;
  });
}

}  // namespace dav::desktop
