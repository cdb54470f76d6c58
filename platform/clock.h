// Time of day and the message pump. Everything that waits goes through here, so that a
// test drives time with FakeClock and never sleeps.
#pragma once

#include <chrono>

namespace dav::platform {

// Local wall-clock time (the machine's time zone), to the millisecond.
using LocalTime = std::chrono::local_time<std::chrono::milliseconds>;

class Clock {
 public:
  virtual ~Clock() = default;

  virtual LocalTime Now() = 0;

  // Lets pending window messages run once (DoEvents), then returns. A caller that waits
  // calls it in a loop while it watches Now().
  virtual void PumpMessages() = 0;
};

// A clock that stands still until told otherwise; each PumpMessages moves it on by a
// fixed step, so a loop that waits for time to pass ends without sleeping.
class FakeClock : public Clock {
 public:
  explicit FakeClock(LocalTime start, std::chrono::milliseconds pumpStep = std::chrono::milliseconds(100))
      : now_(start), pumpStep_(pumpStep) {}

  LocalTime Now() override { return now_; }
  void PumpMessages() override {
    ++pumps_;
    now_ += pumpStep_;
  }

  void Set(LocalTime t) { now_ = t; }
  void Advance(std::chrono::milliseconds d) { now_ += d; }
  long pumps() const { return pumps_; }

 private:
  LocalTime now_;
  std::chrono::milliseconds pumpStep_;
  long pumps_ = 0;
};

}  // namespace dav::platform
