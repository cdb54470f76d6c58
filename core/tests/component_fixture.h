// A fresh PC with a fake clock, a component folder and a host whose registry key below
// HKEY_LOCAL_MACHINE belongs to the test alone (removed afterwards, so the tests also run
// against the real registry under Wine). The Run keys that the component keeps in step and
// the client key are set aside for the test and restored afterwards.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "core/component.h"
#include "core/tests/fake_host.h"
#include "platform/tests/test_environment.h"
#include "startup/tests/start_programs_fixture.h"
#include "util/ansi_text.h"

namespace dav::core::testing {

class ComponentFixture {
 public:
  ComponentFixture()
      : env_(platform::testing::MakeTestEnvironment()),
        runKeys_(platform().registry(), startup::testing::ManagedKeys()),
        clientValues_(platform().registry(), {{platform::kHKeyLocalMachine, kClientKey}}) {
    using namespace std::chrono;
    platform().ReplaceClock(std::make_unique<platform::FakeClock>(
        platform::LocalTime{local_days{year{2026} / 12 / 8} + hours{15} + minutes{4}}));
    host_ = MakeHost();
  }
  ~ComponentFixture() {
    startup::testing::DeleteTree(platform().registry(), platform::kHKeyLocalMachine, HostKey());
    // The parent is only deleted once no other test has a key below it.
    platform().registry().DeleteKey(platform::kHKeyLocalMachine, "Software\\DavTest");
  }

  platform::Platform& platform() { return env_->platform(); }

  // Below HKEY_LOCAL_MACHINE: where the sections keep their state as text values.
  static constexpr const char* kClientKey = "Software\\quorel\\brisal client";

  // A key path of the test's own below HKEY_LOCAL_MACHINE.
  const std::string& HostKey() const { return env_->scratchKey(); }

  // A host answering with the test's key.
  std::shared_ptr<FakeHost> MakeHost() {
    auto host = std::make_shared<FakeHost>();
    host->clientKey = HostKey();
    return host;
  }
  FakeHost& host() { return *host_; }
  std::shared_ptr<FakeHost> sharedHost() { return host_; }

  // A component over a folder of the scratch folder (made here).
  std::unique_ptr<CCDavIrizevez> MakeComponent(const std::string& name = "DavIrizevez") {
    const std::string folder = env_->scratchFolder() + "\\" + name;
    platform().files().MakeFolder(folder);
    return std::make_unique<CCDavIrizevez>(platform(), folder);
  }

  // Sets a REG_SZ value of the component key below the host key.
  void SetComponentValue(const std::string& name, const std::string& value) {
    platform::KeyHandle key = platform::kNoKey;
    platform().registry().CreateKey(platform::kHKeyLocalMachine,
                                    HostKey() + "\\Components\\DavIrizevez.CCDavIrizevez", &key);
    platform().registry().SetValue(key, name, platform::kRegSz, value);
    platform().registry().CloseKey(key);
  }

  // Today's log or debug log of a component folder, decoded, or "<missing>".
  std::string LogText(const CCDavIrizevez& component) {
    return Read(component.componentFolder() + "\\log\\DavIrizevez261208.log");
  }
  std::string DebugText(const CCDavIrizevez& component) {
    return Read(component.componentFolder() + "\\New_Debug_2026-12-08.log");
  }

 private:
  std::string Read(const std::string& path) {
    std::string bytes;
    if (platform().files().ReadAll(path, &bytes) != platform::kErrorSuccess) return "<missing>";
    return util::FromAnsi(platform(), bytes);
  }

  std::unique_ptr<platform::testing::TestEnvironment> env_;
  startup::testing::SetAsideKeys runKeys_;
  // The client key holds what the sections keep and what every start reads again (the
  // display mode, the clean-up requests): each test starts without it.
  startup::testing::SetAsideKeys clientValues_;
  std::shared_ptr<FakeHost> host_;
};

}  // namespace dav::core::testing
