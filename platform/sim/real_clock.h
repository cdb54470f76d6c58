// The clock of the simulated PC when nothing replaces it: the host's local time. There is
// no message queue to pump, so PumpMessages only sleeps a little (about 10 ms), which keeps
// a caller that waits for time to pass from spinning. Tests use FakeClock instead.
#pragma once

#include "platform/clock.h"

namespace dav::platform::sim {

class RealClock : public Clock {
 public:
  LocalTime Now() override;
  void PumpMessages() override;
};

}  // namespace dav::platform::sim
