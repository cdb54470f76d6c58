#include "platform/win32/shell.h"

#include "platform/win32/text.h"
#include "platform/win32/windows_api.h"

#include <objbase.h>
#include <shlobj.h>

namespace dav::platform::win32 {
namespace {

// A failed HRESULT as a status: Windows errors wrapped in an HRESULT give their own number,
// other failures stay the HRESULT.
Status FromHresult(HRESULT result) {
  if (SUCCEEDED(result)) return kErrorSuccess;
  if (HRESULT_FACILITY(result) == FACILITY_WIN32) return HRESULT_CODE(result);
  return static_cast<Status>(result);
}

// An item identifier list that the shell allocated, freed when it goes out of scope.
class ItemIdList {
 public:
  ItemIdList() = default;
  ~ItemIdList() { CoTaskMemFree(list_); }
  ItemIdList(const ItemIdList&) = delete;
  ItemIdList& operator=(const ItemIdList&) = delete;

  LPITEMIDLIST* out() { return &list_; }
  LPCITEMIDLIST get() const { return list_; }

 private:
  LPITEMIDLIST list_ = nullptr;
};

// The desktop folder, released when it goes out of scope.
class DesktopFolder {
 public:
  DesktopFolder() { result_ = SHGetDesktopFolder(&folder_); }
  ~DesktopFolder() {
    if (folder_ != nullptr) folder_->Release();
  }
  DesktopFolder(const DesktopFolder&) = delete;
  DesktopFolder& operator=(const DesktopFolder&) = delete;

  HRESULT result() const { return result_; }
  IShellFolder* operator->() const { return folder_; }

 private:
  IShellFolder* folder_ = nullptr;
  HRESULT result_ = E_FAIL;
};

// GetDisplayNameOf with SHGDN_INFOLDER, in whichever of its three forms the folder answers:
// a wide string (which the shell allocator frees), an ANSI string inside the item identifier,
// or an ANSI string inline.
Status DisplayNameOf(DesktopFolder& desktop, LPCITEMIDLIST item, std::string* name) {
  STRRET answer{};
  const HRESULT result = desktop->GetDisplayNameOf(item, SHGDN_INFOLDER, &answer);
  if (FAILED(result)) return FromHresult(result);
  switch (answer.uType) {
    case STRRET_WSTR: {
      *name = FromWide(answer.pOleStr != nullptr ? answer.pOleStr : L"");
      IMalloc* allocator = nullptr;
      if (SUCCEEDED(SHGetMalloc(&allocator))) {
        allocator->Free(answer.pOleStr);
        allocator->Release();
      }
      break;
    }
    case STRRET_OFFSET:
      *name = FromAnsi(reinterpret_cast<const char*>(item) + answer.uOffset);
      break;
    case STRRET_CSTR:
      *name = FromAnsi(answer.cStr);
      break;
    default:
      name->clear();
      break;
  }
  return kErrorSuccess;
}

}  // namespace

Win32Shell::Win32Shell() {
  const HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  comJoined_ = SUCCEEDED(result);
}

Win32Shell::~Win32Shell() {
  if (comJoined_) CoUninitialize();
}

Status Win32Shell::SpecialFolderPath(int csidl, std::string* path) {
  path->clear();
  ItemIdList item;
  const HRESULT result = SHGetSpecialFolderLocation(nullptr, csidl, item.out());
  if (FAILED(result)) return FromHresult(result);
  char buffer[MAX_PATH + 1] = {};
  // A virtual folder has no file-system path; it is found all the same. Wine answers for
  // some of them (My Network Places) with their parsing name "::{...}", which is no path
  // either.
  if (SHGetPathFromIDListA(item.get(), buffer) && std::string_view(buffer).substr(0, 2) != "::") {
    *path = FromAnsi(buffer);
  }
  return kErrorSuccess;
}

Status Win32Shell::SpecialFolderDisplayName(int csidl, std::string* name) {
  name->clear();
  DesktopFolder desktop;
  if (FAILED(desktop.result())) return FromHresult(desktop.result());
  ItemIdList item;
  const HRESULT result = SHGetSpecialFolderLocation(nullptr, csidl, item.out());
  if (FAILED(result)) return FromHresult(result);
  return DisplayNameOf(desktop, item.get(), name);
}

Status Win32Shell::ParsingNameDisplayName(std::string_view parsingName, std::string* name) {
  name->clear();
  DesktopFolder desktop;
  if (FAILED(desktop.result())) return FromHresult(desktop.result());
  std::wstring wide = ToWide(parsingName);
  ItemIdList item;
  const HRESULT result =
      desktop->ParseDisplayName(nullptr, nullptr, wide.data(), nullptr, item.out(), nullptr);
  if (FAILED(result)) return FromHresult(result);
  return DisplayNameOf(desktop, item.get(), name);
}

void Win32Shell::ChangeNotify(std::int32_t eventId, std::uint32_t flags) {
  SHChangeNotify(eventId, flags, nullptr, nullptr);
}

}  // namespace dav::platform::win32
