// The real Windows PC: every platform interface over the Windows API.
#pragma once

#include "platform/platform.h"
#include "platform/win32/dialogs.h"
#include "platform/win32/display.h"
#include "platform/win32/file_system.h"
#include "platform/win32/ini_files.h"
#include "platform/win32/processes.h"
#include "platform/win32/registry.h"
#include "platform/win32/shell.h"
#include "platform/win32/system_info.h"
#include "platform/win32/top_level_windows.h"

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
  Display& display() override { return display_; }
  Processes& processes() override { return processes_; }
  TopLevelWindows& windows() override { return windows_; }

 private:
  Win32Registry registry_;
  Win32FileSystem files_;
  Win32IniFiles ini_;
  Win32SystemInfo system_;
  Win32Shell shell_;
  Win32Dialogs dialogs_;
  Win32Display display_;
  Win32Processes processes_;
  Win32TopLevelWindows windows_;
};

}  // namespace dav::platform::win32
