#include "platform/sim/real_clock.h"

#include <ctime>
#include <thread>

namespace dav::platform::sim {

LocalTime RealClock::Now() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t epochSeconds = system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&epochSeconds, &local);
  const auto day = local_days{year{local.tm_year + 1900} / (local.tm_mon + 1) / local.tm_mday};
  const auto millis = duration_cast<milliseconds>(now.time_since_epoch()) % 1000;
  return LocalTime{day + hours{local.tm_hour} + minutes{local.tm_min} + seconds{local.tm_sec} +
                   (millis.count() < 0 ? millis + 1000ms : millis)};
}

void RealClock::PumpMessages() {
  if (beforeWait_) beforeWait_();
  std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

}  // namespace dav::platform::sim
