// One Windows PC as the component sees it: the simulated machine or the real system.
// The backend is chosen when the project is built; everything above this layer talks to
// a Platform and nothing else.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/display.h"
#include "platform/file_system.h"
#include "platform/ini_files.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/system_info.h"
#include "platform/top_level_windows.h"

namespace dav::platform {

// A platform that cannot be opened at all (a missing or damaged machine folder).
class PlatformError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class Platform {
 public:
  explicit Platform(std::unique_ptr<Clock> clock) : clock_(std::move(clock)) {}
  virtual ~Platform() = default;
  Platform(const Platform&) = delete;
  Platform& operator=(const Platform&) = delete;

  virtual Registry& registry() = 0;
  virtual FileSystem& files() = 0;
  virtual IniFiles& ini() = 0;
  virtual SystemInfo& system() = 0;
  virtual Shell& shell() = 0;
  virtual Dialogs& dialogs() = 0;
  virtual Display& display() = 0;
  virtual Processes& processes() = 0;
  virtual TopLevelWindows& windows() = 0;

  // The caller is about to wait for something outside the platform (a person, another
  // process, time): a backend lets go of what it holds meanwhile. Nothing by default.
  virtual void Idle() {}

  Clock& clock() { return *clock_; }
  // Tests put a FakeClock in place of the real one.
  void ReplaceClock(std::unique_ptr<Clock> clock) { clock_ = std::move(clock); }

 private:
  std::unique_ptr<Clock> clock_;
};

}  // namespace dav::platform
