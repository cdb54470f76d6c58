// The real clock: Windows' local time and its message queue.
#pragma once

#include "platform/clock.h"

namespace dav::platform::win32 {

class Win32Clock : public Clock {
 public:
  LocalTime Now() override;

  // Dispatches the pending messages, then waits a moment for new ones, so that a caller
  // that pumps in a loop until a time has passed does not spin a core.
  void PumpMessages() override;
};

}  // namespace dav::platform::win32
