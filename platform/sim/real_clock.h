// The clocks of the simulated PC. RealClock is the host's local time; there is no message
// queue to pump, so PumpMessages only sleeps a little (about 10 ms), which keeps a caller
// that waits for time to pass from spinning. SkippingClock is the host's time too, but a
// pump moves it on by 100 ms instead of sleeping, so that a wait of the component ends at
// once; a machine whose "waits" setting is "skip" uses it. Tests in-process use FakeClock.
#pragma once

#include <chrono>
#include <functional>

#include "platform/clock.h"

namespace dav::platform::sim {

class RealClock : public Clock {
 public:
  // beforeWait runs at each pump before the sleep, so that the owner lets go of what it holds.
  explicit RealClock(std::function<void()> beforeWait = {}) : beforeWait_(std::move(beforeWait)) {}
  LocalTime Now() override;
  void PumpMessages() override;

 private:
  std::function<void()> beforeWait_;
};

class SkippingClock : public Clock {
 public:
  LocalTime Now() override { return real_.Now() + skipped_; }
  void PumpMessages() override { skipped_ += std::chrono::milliseconds(100); }

 private:
  RealClock real_;
  std::chrono::milliseconds skipped_{0};
};

}  // namespace dav::platform::sim
