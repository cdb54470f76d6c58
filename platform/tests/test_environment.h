// What a contract test runs against: a platform with a registry key and a folder that
// belong to the test alone. Each backend provides MakeTestEnvironment: a fresh simulated
// machine in a temporary folder, or scratch places on the real (or Wine's) Windows.
#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"

namespace dav::platform::testing {

class TestEnvironment {
 public:
  virtual ~TestEnvironment() = default;

  virtual Platform& platform() = 0;

  // A key path below HKEY_CURRENT_USER, existing and empty, removed afterwards.
  virtual const std::string& scratchKey() const = 0;

  // A Windows path of a folder, existing and empty, removed afterwards.
  virtual const std::string& scratchFolder() const = 0;
};

std::unique_ptr<TestEnvironment> MakeTestEnvironment();

}  // namespace dav::platform::testing
