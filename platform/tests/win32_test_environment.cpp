// The test environment on Windows (and under Wine): the real registry and file system, with a
// scratch key below HKEY_CURRENT_USER and a scratch folder in the temp folder that belong to
// one test and are removed after it. The real clock gives way to a FakeClock.
#include <chrono>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "platform/tests/test_environment.h"
#include "platform/win32/text.h"
#include "platform/win32/windows_api.h"
#include "platform/win32/windows_platform.h"

namespace dav::platform::testing {
namespace {

using namespace std::chrono_literals;

constexpr wchar_t kScratchKeyRoot[] = L"Software\\DavTest";
constexpr wchar_t kScratchFolderRoot[] = L"DavTest";

// A Monday morning, so that a test that forgets to set the clock still sees a plain day.
LocalTime FakeClockStart() {
  return LocalTime(std::chrono::local_days(std::chrono::year(2024) / 3 / 4).time_since_epoch()) +
         9h;
}

// Each scratch place is named "<process id>_<n>" with the first n that is not taken, so
// that tests running side by side never share one.
std::wstring ScratchName(unsigned n) {
  return std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(n);
}

std::wstring CreateScratchKey() {
  for (unsigned n = 0;; ++n) {
    const std::wstring path = std::wstring(kScratchKeyRoot) + L"\\" + ScratchName(n);
    HKEY key = nullptr;
    DWORD disposition = 0;
    const LONG status =
        RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, &disposition);
    if (status != ERROR_SUCCESS) {
      ADD_FAILURE() << "RegCreateKeyExW(HKCU\\" << win32::FromWide(path) << ") failed: " << status;
      return path;
    }
    RegCloseKey(key);
    if (disposition == REG_CREATED_NEW_KEY) return path;
  }
}

std::wstring CreateScratchFolder() {
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temp);
  const std::wstring root = std::wstring(temp) + kScratchFolderRoot;
  CreateDirectoryW(root.c_str(), nullptr);
  for (unsigned n = 0;; ++n) {
    const std::wstring path = root + L"\\" + ScratchName(n);
    if (CreateDirectoryW(path.c_str(), nullptr)) return path;
    const DWORD error = GetLastError();
    if (error != ERROR_ALREADY_EXISTS) {
      ADD_FAILURE() << "CreateDirectoryW(" << win32::FromWide(path) << ") failed: " << error;
      return path;
    }
  }
}

// Removes a folder with everything in it; read-only, hidden and system entries too.
void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  const HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + L"\\" + name;
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(find, &found));
    FindClose(find);
  }
  SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryW(folder.c_str());
}

class Win32TestEnvironment : public TestEnvironment {
 public:
  Win32TestEnvironment()
      : platform_(std::make_unique<win32::WindowsPlatform>()),
        keyPath_(CreateScratchKey()),
        folderPath_(CreateScratchFolder()),
        scratchKey_(win32::FromWide(keyPath_)),
        scratchFolder_(win32::FromWide(folderPath_)) {
    platform_->ReplaceClock(std::make_unique<FakeClock>(FakeClockStart()));
  }

  ~Win32TestEnvironment() override {
    // The platform first: it closes the keys that a test left open.
    platform_.reset();
    RegDeleteTreeW(HKEY_CURRENT_USER, keyPath_.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, keyPath_.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, kScratchKeyRoot);  // only when no other test uses it
    // The shared parent folder stays: removing it when it looks empty races with a test in
    // another process that has just created it and is about to make its own folder inside.
    RemoveTree(folderPath_);
  }

  Platform& platform() override { return *platform_; }
  const std::string& scratchKey() const override { return scratchKey_; }
  const std::string& scratchFolder() const override { return scratchFolder_; }

 private:
  std::unique_ptr<win32::WindowsPlatform> platform_;
  std::wstring keyPath_;
  std::wstring folderPath_;
  std::string scratchKey_;
  std::string scratchFolder_;
};

}  // namespace

std::unique_ptr<TestEnvironment> MakeTestEnvironment() {
  return std::make_unique<Win32TestEnvironment>();
}

}  // namespace dav::platform::testing
