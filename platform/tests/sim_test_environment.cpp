// The test environment of the simulated PC: a new machine in a new temporary folder, with
// a FakeClock, removed with everything in it afterwards.
#include <stdlib.h>

#include <filesystem>
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

class SimTestEnvironment : public TestEnvironment {
 public:
  SimTestEnvironment() : folder_(MakeTemporaryFolder()) {
    machine_ = sim::Machine::Create(folder_);
    machine_->ReplaceClock(std::make_unique<FakeClock>(TestStartTime()));
    KeyHandle key = kNoKey;
    if (machine_->registry().CreateKey(kHKeyCurrentUser, scratchKey_, &key) != kErrorSuccess) {
      throw PlatformError("cannot create the scratch key");
    }
    machine_->registry().CloseKey(key);
    if (machine_->files().MakeFolder(scratchFolder_) != kErrorSuccess) {
      throw PlatformError("cannot create the scratch folder");
    }
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
  const std::string scratchKey_ = "Software\\DavTest";
  const std::string scratchFolder_ = "C:\\DavTest";
};

}  // namespace

std::unique_ptr<TestEnvironment> MakeTestEnvironment() {
  return std::make_unique<SimTestEnvironment>();
}

}  // namespace dav::platform::testing
