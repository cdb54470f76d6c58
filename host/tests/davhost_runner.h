// Runs the built davhost as a person would, capturing what it prints and its exit code.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace dav::host::testing {

struct RunResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// Runs davhost with the arguments (DAVHOST_MACHINE unset unless machineEnv is given), stdin
// from /dev/null or, when given, the input text.
RunResult RunDavhost(const std::vector<std::string>& arguments,
                     const std::string* machineEnv = nullptr, const std::string* input = nullptr);

// Runs davhost as the user nobody when the test runs as root (for whom no file is
// read-only), else as the test's user.
RunResult RunDavhostAsNobody(const std::vector<std::string>& arguments);

// Starts one davhost for each argument list at once (no DAVHOST_MACHINE, stdin from
// /dev/null) and waits for all of them.
std::vector<RunResult> RunDavhostTogether(const std::vector<std::vector<std::string>>& runs);

// A new empty folder, removed with everything in it when the object goes.
class TemporaryFolder {
 public:
  TemporaryFolder();
  ~TemporaryFolder();
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// A test with a new machine of its own, whose waits are skipped so that the component never
// sleeps, and davhost run against it.
class MachineTest : public ::testing::Test {
 protected:
  void SetUp() override;

  RunResult Run(std::vector<std::string> arguments, const std::string* input = nullptr);
  // The arguments that point davhost at this test's machine.
  std::vector<std::string> WithMachine(std::vector<std::string> arguments) const;
  // Runs a command that must succeed and gives what it printed.
  std::string Ok(const std::vector<std::string>& arguments, const std::string* input = nullptr);
  // A file of this computer in the test's folder, holding bytes; gives its path.
  std::string HostFile(const std::string& name, const std::string& bytes);

  TemporaryFolder folder_;
};

// A command that failed with exactly one "davhost: " line on stderr and nothing on stdout.
void ExpectOneErrorLine(const RunResult& r, const std::string& what);

// How often part occurs in text.
long Count(const std::string& text, const std::string& part);

}  // namespace dav::host::testing
