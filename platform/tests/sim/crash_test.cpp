// A registry write that returned success survives the death of the process that made it.
// A child process writes values as fast as it can and reports each successful write
// through a pipe; the parent kills it with SIGKILL in the middle of the stream, reopens
// the machine and looks for every reported value.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/sim/machine.h"
#include "platform/sim/sqlite_db.h"
#include "platform/tests/sim/temp_folder.h"

namespace dav::platform::sim {
namespace {

constexpr const char* kKeyPath = "Software\\CrashTest";
constexpr std::uint32_t kReportsBeforeKill = 300;

std::string ValueName(std::uint32_t n) {
  return "v" + std::to_string(n);
}

// The child: never returns; ends only by the parent's signal (or _exit on a failure).
[[noreturn]] void WriteUntilKilled(const std::filesystem::path& folder, int reportFd) {
  auto machine = Machine::Open(folder);
  KeyHandle key = kNoKey;
  if (machine->registry().CreateKey(kHKeyCurrentUser, kKeyPath, &key) != kErrorSuccess) _exit(2);
  for (std::uint32_t n = 0;; ++n) {
    std::string data(4, '\0');
    std::memcpy(data.data(), &n, sizeof n);
    if (machine->registry().SetValue(key, ValueName(n), kRegDword, data) != kErrorSuccess) _exit(3);
    if (write(reportFd, &n, sizeof n) != sizeof n) _exit(4);
  }
}

// Reads reports until the pipe closes, killing the writer once enough have arrived.
std::vector<std::uint32_t> CollectReports(int readFd, pid_t child) {
  std::vector<std::uint32_t> reports;
  std::uint32_t n = 0;
  std::size_t have = 0;
  bool killed = false;
  while (true) {
    const ssize_t got = read(readFd, reinterpret_cast<char*>(&n) + have, sizeof n - have);
    if (got <= 0) break;
    have += static_cast<std::size_t>(got);
    if (have < sizeof n) continue;
    reports.push_back(n);
    have = 0;
    if (!killed && reports.size() >= kReportsBeforeKill) {
      kill(child, SIGKILL);
      killed = true;
    }
  }
  return reports;
}

// The child for the torn-write test: rewrites the same values over and over with data of
// a new round each time, long enough to span several database pages.
constexpr std::uint32_t kRewrittenValues = 8;
constexpr std::size_t kLongData = 9000;

std::string RoundData(std::uint32_t round) {
  std::string data(kLongData, static_cast<char>('a' + round % 26));
  std::memcpy(data.data(), &round, sizeof round);
  return data;
}

[[noreturn]] void RewriteUntilKilled(const std::filesystem::path& folder, int reportFd) {
  auto machine = Machine::Open(folder);
  KeyHandle key = kNoKey;
  if (machine->registry().CreateKey(kHKeyCurrentUser, kKeyPath, &key) != kErrorSuccess) _exit(2);
  for (std::uint32_t n = 0;; ++n) {
    const std::uint32_t round = n / kRewrittenValues;
    if (machine->registry().SetValue(key, ValueName(n % kRewrittenValues), kRegBinary,
                                     RoundData(round)) != kErrorSuccess) {
      _exit(3);
    }
    if (write(reportFd, &n, sizeof n) != sizeof n) _exit(4);
  }
}

// Makes a machine in folder, runs writer(folder, reportFd) in a child process, kills it
// once enough writes are reported and returns the reports; the child must die by the signal.
void RunWriterUntilKilled(const std::filesystem::path& folder,
                          void (*writer)(const std::filesystem::path&, int),
                          std::vector<std::uint32_t>* reports) {
  Machine::Create(folder);  // made and closed before the fork
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(fds[0]);
    writer(folder, fds[1]);
    _exit(5);
  }
  close(fds[1]);
  *reports = CollectReports(fds[0], child);
  close(fds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
      << "the writer must die by the signal, not stop on its own (status " << status << ")";
  ASSERT_GE(reports->size(), kReportsBeforeKill);
}

TEST(CrashSafety, AKilledWriteLeavesTheOldOrTheNewValueWhole) {
  testing::TempFolder temp;
  std::vector<std::uint32_t> reports;
  ASSERT_NO_FATAL_FAILURE(RunWriterUntilKilled(temp.path(), RewriteUntilKilled, &reports));

  auto machine = Machine::Open(temp.path());
  KeyHandle key = kNoKey;
  ASSERT_EQ(machine->registry().OpenKey(kHKeyCurrentUser, kKeyPath, &key), kErrorSuccess);
  const std::uint32_t last = reports.back();
  for (std::uint32_t v = 0; v < kRewrittenValues; ++v) {
    std::string data(kLongData + 1, '\0');
    std::uint32_t size = static_cast<std::uint32_t>(data.size());
    ASSERT_EQ(machine->registry().QueryValue(key, ValueName(v), nullptr,
                                             reinterpret_cast<std::uint8_t*>(data.data()), &size),
              kErrorSuccess);
    data.resize(size);
    std::uint32_t round = 0;
    ASSERT_EQ(size, kLongData) << "value " << v;
    std::memcpy(&round, data.data(), sizeof round);
    EXPECT_EQ(data, RoundData(round)) << "value " << v << " holds parts of two writes";
    // The last reported write of this value, or the one after it that was under way.
    const std::uint32_t reported = (last - v) / kRewrittenValues;
    EXPECT_TRUE(round == reported || round == reported + 1)
        << "value " << v << " is of round " << round << ", the last reported was " << reported;
  }
  machine->registry().CloseKey(key);
}

TEST(CrashSafety, EveryReportedWriteSurvivesSigkill) {
  testing::TempFolder temp;
  std::vector<std::uint32_t> reports;
  ASSERT_NO_FATAL_FAILURE(RunWriterUntilKilled(temp.path(), WriteUntilKilled, &reports));

  auto machine = Machine::Open(temp.path());
  KeyHandle key = kNoKey;
  ASSERT_EQ(machine->registry().OpenKey(kHKeyCurrentUser, kKeyPath, &key), kErrorSuccess);
  for (const std::uint32_t n : reports) {
    std::uint32_t value = 0;
    std::uint32_t size = sizeof value;
    ASSERT_EQ(machine->registry().QueryValue(key, ValueName(n), nullptr,
                                             reinterpret_cast<std::uint8_t*>(&value), &size),
              kErrorSuccess)
        << "write " << n << " was reported done but is lost";
    EXPECT_EQ(value, n);
  }
  machine->registry().CloseKey(key);

  auto db = Database::Open(temp.path() / "registry.db", false);
  auto check = db->Prepare("PRAGMA integrity_check");
  ASSERT_TRUE(check.Step());
  EXPECT_EQ(check.Text(0), "ok");
}

}  // namespace
}  // namespace dav::platform::sim
