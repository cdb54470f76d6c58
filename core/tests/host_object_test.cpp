// The host's failure statuses become run-time errors of the caller; replies each get a
// channel of their own.
#include "core/host_object.h"

#include <gtest/gtest.h>

#include "core/tests/fake_host.h"
#include "util/run_time_error.h"

namespace dav::core::testing {
namespace {

TEST(HostObject, RepliesGetFreshChannelsAndFailuresRaiseInTheCaller) {
  auto host = std::make_shared<FakeHost>();
  HostObject object(host);
  object.SendReply("DavIrizevez\tGISC\t<DocRoot/>");
  object.SendReply("second");
  EXPECT_EQ(host->calls, (std::vector<std::string>{"GetReplyChannel",
                                                   "SendReply DavIrizevez\tGISC\t<DocRoot/> 0",
                                                   "GetReplyChannel", "SendReply second 0"}))
      << "the reply channel is asked for anew for every reply, with flags 0";

  for (const char* operation : {"GetReplyChannel", "SendReply"}) {
    host->failing = {operation};
    try {
      object.SendReply("text");
      ADD_FAILURE() << "a failing " << operation << " was taken for success";
    } catch (const util::RunTimeError& e) {
      EXPECT_EQ(e.number(), kHostFail) << operation;
    }
  }
  object.Release();
  EXPECT_THROW(object.GetClientFolder(), util::RunTimeError) << "a released host object";
}

}  // namespace
}  // namespace dav::core::testing
