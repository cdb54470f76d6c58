// The host's failure statuses become run-time errors of the caller; replies each get a
// channel of their own.
#include "core/host_object.h"

#include <gtest/gtest.h>

#include "core/tests/fake_host.h"
#include "util/run_time_error.h"

namespace dav::core::testing {
namespace {

TEST(HostObject, EveryReplyGetsAFreshChannel) {
  auto host = std::make_shared<FakeHost>();
  HostObject object(host);
  object.SendReply("DavIrizevez\tGISC\t<DocRoot/>");
  object.SendReply("second");
  EXPECT_EQ(host->calls, (std::vector<std::string>{"GetReplyChannel",
                                                   "SendReply DavIrizevez\tGISC\t<DocRoot/> 0",
                                                   "GetReplyChannel", "SendReply second 0"}))
      << "the reply channel is asked for anew for every reply, with flags 0";
}

TEST(HostObject, FailureStatusOrMissingObjectRaisesInTheCaller) {
  auto host = std::make_shared<FakeHost>();
  HostObject object(host);
  for (const char* operation : {"PostNotice", "GetReplyChannel", "SendReply", "GetClientFolder",
                                "GetClientRegistryKey", "GetSpecVersion"}) {
    host->failing = {operation};
    try {
      object.PostNotice("DavIrizevez", "APL_SYSCONF", 1);
      object.SendReply("text");
      object.GetClientFolder();
      object.GetClientRegistryKey();
      object.GetSpecVersion();
      ADD_FAILURE() << "a failing " << operation << " was taken for success";
    } catch (const util::RunTimeError& e) {
      EXPECT_EQ(e.number(), kHostFail) << operation;
      EXPECT_EQ(e.description(), "Automation error") << operation;
    }
  }

  object.Release();
  try {
    object.GetClientFolder();
    ADD_FAILURE() << "a released host object was called";
  } catch (const util::RunTimeError& e) {
    EXPECT_EQ(e.number(), util::kErrObjectNotSet);
  }
}

}  // namespace
}  // namespace dav::core::testing
