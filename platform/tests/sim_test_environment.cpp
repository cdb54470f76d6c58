// The test environment of the simulated PC: a new machine in a new temporary folder, with
// a FakeClock, removed with everything in it afterwards.
//
// Making a machine (schema, settings, seeded registry, special folders) is the slow part, so
// a test program makes one template machine, scratch key and folder included, the first time
// it needs one, closes it, and gives every test a copy of its files (a closed database is one
// file: its write-ahead log is checkpointed and removed when the last connection goes).
#include <stdlib.h>

#include <filesystem>
#include <functional>
#include <string>

#include "platform/sim/machine.h"
#include "platform/tests/test_environment.h"

namespace dav::platform::testing {
namespace {

// 2024-03-01 09:00:00, a fixed start so that times in the event journal are predictable.
LocalTime TestStartTime() {
  using namespace std::chrono;
  return LocalTime{local_days{year{2024} / March / 1} + hours{9}};
}

std::filesystem::path MakeTemporaryFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "dav-machine-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    throw PlatformError("cannot create a temporary folder from " + pattern);
  }
  return pattern;
}

const std::string kScratchKey = "Software\\DavTest";
const std::string kScratchFolder = "C:\\DavTest";

// The folder of the template machine of this test program. ctest runs every test in a
// process of its own, so the template is kept between processes: its name carries the
// program's path and build (size and time of its executable), and a new build leaves the
// older template of the same program to be removed. It is made in a folder of its own and
// renamed into place, so that a process never sees half a template; when two processes make
// it at once, the first rename wins.
std::filesystem::path TemplateFolder() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  const auto size = std::filesystem::file_size(program, error);
  const auto built = std::filesystem::last_write_time(program, error).time_since_epoch().count();
  const std::string prefix =
      "dav-template-" + std::to_string(std::hash<std::string>{}(program.string()) % 1000000007);
  const std::string name =
      prefix + "-" +
      std::to_string(std::hash<std::string>{}(std::to_string(size) + "/" + std::to_string(built)));
  const std::filesystem::path temp = std::filesystem::temp_directory_path();
  const std::filesystem::path folder = temp / name;
  if (std::filesystem::exists(folder / "registry.db", error)) return folder;

  const std::filesystem::path making = MakeTemporaryFolder();
  try {
    auto machine = sim::Machine::Create(making);
    KeyHandle key = kNoKey;
    if (machine->registry().CreateKey(kHKeyCurrentUser, kScratchKey, &key) != kErrorSuccess) {
      throw PlatformError("cannot create the scratch key");
    }
    machine->registry().CloseKey(key);
    if (machine->files().MakeFolder(kScratchFolder) != kErrorSuccess) {
      throw PlatformError("cannot create the scratch folder");
    }
  } catch (...) {
    std::filesystem::remove_all(making, error);
    throw;
  }
  std::filesystem::rename(making, folder, error);
  if (error) std::filesystem::remove_all(making, error);  // another process was first
  for (const auto& entry : std::filesystem::directory_iterator(temp, error)) {
    const std::string other = entry.path().filename().string();
    if (other.starts_with(prefix + "-") && other != name) {
      std::filesystem::remove_all(entry.path(), error);
    }
  }
  return folder;
}

// A copy of the template machine's files in a new temporary folder.
std::filesystem::path CopyOfTemplate() {
  const std::filesystem::path folder = MakeTemporaryFolder();
  std::error_code error;
  std::filesystem::copy(TemplateFolder(), folder, std::filesystem::copy_options::recursive, error);
  if (error) {
    std::filesystem::remove_all(folder, error);
    throw PlatformError("cannot copy the template machine: " + error.message());
  }
  return folder;
}

class SimTestEnvironment : public TestEnvironment {
 public:
  SimTestEnvironment() : folder_(CopyOfTemplate()) {
    try {
      machine_ = sim::Machine::Open(folder_);
    } catch (...) {
      std::error_code ignored;
      std::filesystem::remove_all(folder_, ignored);
      throw;
    }
    machine_->ReplaceClock(std::make_unique<FakeClock>(TestStartTime()));
  }

  ~SimTestEnvironment() override {
    machine_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  Platform& platform() override { return *machine_; }
  const std::string& scratchKey() const override { return scratchKey_; }
  const std::string& scratchFolder() const override { return scratchFolder_; }

 private:
  std::filesystem::path folder_;
  std::unique_ptr<sim::Machine> machine_;
  const std::string scratchKey_ = kScratchKey;
  const std::string scratchFolder_ = kScratchFolder;
};

}  // namespace

std::unique_ptr<TestEnvironment> MakeTestEnvironment() {
  return std::make_unique<SimTestEnvironment>();
}

}  // namespace dav::platform::testing
