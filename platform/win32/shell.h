// The shell through shell32: special folders, display names and change notification.
#pragma once

#include "platform/shell.h"

namespace dav::platform::win32 {

class Win32Shell : public Shell {
 public:
  // The shell's folder objects are COM objects: the shell joins COM on this thread for as
  // long as it lives.
  Win32Shell();
  ~Win32Shell() override;
  Win32Shell(const Win32Shell&) = delete;
  Win32Shell& operator=(const Win32Shell&) = delete;

  Status SpecialFolderPath(int csidl, std::string* path) override;
  Status SpecialFolderDisplayName(int csidl, std::string* name) override;
  Status ParsingNameDisplayName(std::string_view parsingName, std::string* name) override;
  void ChangeNotify(std::int32_t eventId, std::uint32_t flags) override;

 private:
  bool comJoined_ = false;
};

}  // namespace dav::platform::win32
