// Runs the built davhost as a person would, capturing what it prints and its exit code.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

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

}  // namespace dav::host::testing
