#include "platform/sim/machine_seed.h"

#include <string>

#include "platform/code_page.h"
#include "platform/shell.h"

namespace dav::platform::sim {
namespace {

constexpr const char* kUserProfile = "C:\\Documents and Settings\\user";
constexpr const char* kAllUsers = "C:\\Documents and Settings\\All Users";
constexpr const char* kCurrentVersion = "Software\\Microsoft\\Windows\\CurrentVersion";

struct ShellFolderValue {
  KeyHandle hive;
  const char* name;
  int csidl;
};

// Where Windows XP records each special folder: the user's folders below
// HKEY_CURRENT_USER, the folders of all users below HKEY_LOCAL_MACHINE.
constexpr ShellFolderValue kShellFolderValues[] = {
    {kHKeyCurrentUser, "Desktop", kCsidlDesktopDirectory},
    {kHKeyCurrentUser, "Start Menu", kCsidlStartMenu},
    {kHKeyCurrentUser, "Programs", kCsidlPrograms},
    {kHKeyCurrentUser, "Startup", kCsidlStartup},
    {kHKeyCurrentUser, "Personal", kCsidlPersonal},
    {kHKeyCurrentUser, "AppData", kCsidlAppData},
    {kHKeyCurrentUser, "Local AppData", kCsidlLocalAppData},
    {kHKeyCurrentUser, "Favorites", kCsidlFavorites},
    {kHKeyCurrentUser, "Recent", kCsidlRecent},
    {kHKeyCurrentUser, "Fonts", kCsidlFonts},
    {kHKeyLocalMachine, "Common Desktop", kCsidlCommonDesktopDirectory},
    {kHKeyLocalMachine, "Common Start Menu", kCsidlCommonStartMenu},
    {kHKeyLocalMachine, "Common Programs", kCsidlCommonPrograms},
    {kHKeyLocalMachine, "Common Startup", kCsidlCommonStartup},
    {kHKeyLocalMachine, "Common AppData", kCsidlCommonAppData},
};

void Check(Status status, const std::string& what) {
  if (status != kErrorSuccess) {
    throw PlatformError("cannot " + what + " on the new machine (error " + std::to_string(status) +
                        ")");
  }
}

// Creates the key and sets one REG_SZ value in it (when name is given).
void WriteString(Registry& registry, KeyHandle hive, const std::string& path, const char* name,
                 const std::string& text, std::uint32_t codePage) {
  KeyHandle key = kNoKey;
  Check(registry.CreateKey(hive, path, &key), "create key " + path);
  if (name != nullptr) {
    std::string bytes;
    EncodeCodePage(codePage, text, &bytes);
    const Status status = registry.SetValue(key, name, kRegSz, bytes);
    registry.CloseKey(key);
    Check(status, "write " + path + "\\" + name);
  } else {
    registry.CloseKey(key);
  }
}

const SpecialFolder* Find(const std::vector<SpecialFolder>& folders, int csidl) {
  for (const auto& folder : folders) {
    if (folder.csidl == csidl) return &folder;
  }
  return nullptr;
}

}  // namespace

std::vector<SpecialFolder> DefaultSpecialFolders() {
  const std::string user = kUserProfile;
  const std::string all = kAllUsers;
  const std::string startMenu = "\\시작 메뉴";
  const std::string programs = startMenu + "\\프로그램";
  const std::string startup = programs + "\\시작프로그램";
  return {
      {kCsidlDesktop, user + "\\바탕 화면", "바탕 화면"},
      {kCsidlInternet, "", "Internet Explorer"},
      {kCsidlPrograms, user + programs, "프로그램"},
      {kCsidlControls, "", "제어판"},
      {kCsidlPrinters, "", "프린터 및 팩스"},
      {kCsidlPersonal, user + "\\My Documents", "내 문서"},
      {kCsidlFavorites, user + "\\즐겨찾기", "즐겨찾기"},
      {kCsidlStartup, user + startup, "시작프로그램"},
      {kCsidlRecent, user + "\\Recent", "Recent"},
      {kCsidlBitBucket, "", "휴지통"},
      {kCsidlStartMenu, user + startMenu, "시작 메뉴"},
      {kCsidlDesktopDirectory, user + "\\바탕 화면", "바탕 화면"},
      {kCsidlDrives, "", "내 컴퓨터"},
      {kCsidlNetwork, "", "내 네트워크 환경"},
      {kCsidlFonts, "C:\\WINDOWS\\Fonts", "글꼴"},
      {kCsidlCommonStartMenu, all + startMenu, "시작 메뉴"},
      {kCsidlCommonPrograms, all + programs, "프로그램"},
      {kCsidlCommonStartup, all + startup, "시작프로그램"},
      {kCsidlCommonDesktopDirectory, all + "\\바탕 화면", "바탕 화면"},
      {kCsidlAppData, user + "\\Application Data", "Application Data"},
      {kCsidlLocalAppData, user + "\\Local Settings\\Application Data", "Application Data"},
      {kCsidlCommonAppData, all + "\\Application Data", "Application Data"},
      {kCsidlWindows, "C:\\WINDOWS", "WINDOWS"},
      {kCsidlSystem, "C:\\WINDOWS\\system32", "system32"},
      {kCsidlProgramFiles, "C:\\Program Files", "Program Files"},
  };
}

void CreateSpecialFolders(FileSystem& files, const std::vector<SpecialFolder>& folders) {
  for (const auto& folder : folders) {
    if (folder.path.empty()) continue;
    // One level at a time below the drive: "C:\A", "C:\A\B", ...
    std::size_t pos = folder.path.find('\\');
    while (pos != std::string::npos) {
      pos = folder.path.find('\\', pos + 1);
      const std::string level = folder.path.substr(0, pos);
      const Status status = files.MakeFolder(level);
      if (status != kErrorSuccess && status != kErrorAlreadyExists) {
        Check(status, "create folder " + level);
      }
    }
  }
}

void SeedRegistry(Registry& registry, const std::vector<SpecialFolder>& folders,
                  std::uint32_t codePage) {
  const std::string explorer = std::string(kCurrentVersion) + "\\Explorer";
  for (const auto& value : kShellFolderValues) {
    const SpecialFolder* folder = Find(folders, value.csidl);
    if (folder == nullptr || folder->path.empty()) continue;
    // Both keys hold the plain path as REG_SZ, which is how the component writes them too.
    for (const char* key : {"\\Shell Folders", "\\User Shell Folders"}) {
      WriteString(registry, value.hive, explorer + key, value.name, folder->path, codePage);
    }
  }
  if (const SpecialFolder* programFiles = Find(folders, kCsidlProgramFiles)) {
    WriteString(registry, kHKeyLocalMachine, kCurrentVersion, "ProgramFilesDir", programFiles->path,
                codePage);
  }
  // The desktop's name space lists My Documents and the Recycle Bin on a new XP PC.
  for (const char* clsid :
       {"{450D8FBA-AD25-11D0-98A8-0800361B1103}", "{645FF040-5081-101B-9F08-00AA002F954E}"}) {
    WriteString(registry, kHKeyLocalMachine, explorer + "\\Desktop\\NameSpace\\" + clsid, nullptr,
                "", codePage);
  }
  const std::string run = std::string(kCurrentVersion) + "\\Run";
  WriteString(registry, kHKeyLocalMachine, run, nullptr, "", codePage);
  WriteString(registry, kHKeyCurrentUser, run, nullptr, "", codePage);
}

}  // namespace dav::platform::sim
