// The real Windows PC: every platform interface over the Windows API.
#pragma once

#include "platform/platform.h"
#include "platform/win32/dialogs.h"
#include "platform/win32/file_system.h"
#include "platform/win32/ini_files.h"
#include "platform/win32/registry.h"
#include "platform/win32/shell.h"
#include "platform/win32/system_info.h"

namespace dav::platform::win32 {

class WindowsPlatform : public Platform {
 public:
  WindowsPlatform();

  Registry& registry() override { return registry_; }
  FileSystem& files() override { return files_; }
  IniFiles& ini() override { return ini_; }
  SystemInfo& system() override { return system_; }
  Shell& shell() override { return shell_; }
  Dialogs& dialogs() override { return dialogs_; }

 private:
  Win32Registry registry_;
  Win32FileSystem files_;
  Win32IniFiles ini_;
  Win32SystemInfo system_;
  Win32Shell shell_;
  Win32Dialogs dialogs_;
};

}  // namespace dav::platform::win32
