// A platform with a fake clock and a component folder for the tests of this folder.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "platform/tests/test_environment.h"
#include "util/ansi_text.h"
#include "util/log.h"

namespace dav::util::testing {

inline platform::LocalTime At(std::chrono::year_month_day day, int h, int m, int s) {
  return platform::LocalTime{std::chrono::local_days{day} + std::chrono::hours(h) +
                             std::chrono::minutes(m) + std::chrono::seconds(s)};
}

struct UtilFixture {
  UtilFixture() : env(platform::testing::MakeTestEnvironment()) {
    auto fake =
        std::make_unique<platform::FakeClock>(At(std::chrono::year{2026} / 12 / 8, 15, 4, 5));
    clock = fake.get();
    env->platform().ReplaceClock(std::move(fake));
    log = std::make_unique<Log>(env->platform(), env->scratchFolder());
  }

  platform::Platform& platform() { return env->platform(); }
  const std::string& folder() const { return env->scratchFolder(); }

  // A file's text decoded from the machine's code page, or "<missing>".
  std::string ReadText(const std::string& path) {
    std::string bytes;
    if (platform().files().ReadAll(path, &bytes) != platform::kErrorSuccess) return "<missing>";
    return FromAnsi(platform(), bytes);
  }
  bool Exists(const std::string& path) {
    return platform().files().GetAttributes(path) != platform::kInvalidAttributes;
  }

  std::unique_ptr<platform::testing::TestEnvironment> env;
  platform::FakeClock* clock = nullptr;
  std::unique_ptr<Log> log;
};

}  // namespace dav::util::testing
