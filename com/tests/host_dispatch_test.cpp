// The host called by name: through IDispatch when it can name its members, through
// IDispatchEx when it answers GetIDsOfNames with E_NOTIMPL (a script's class), with the
// argument types a host's methods expect and the host's failures handed back.
#include "com/host_dispatch.h"

#include <gtest/gtest.h>

#include "com/tests/fake_script_object.h"

namespace dav::com {
namespace {

using testing::AnswerText;
using testing::FakeScriptObject;

class DispatchHostTest : public ::testing::TestWithParam<bool> {
 protected:
  DispatchHostTest() : app_(GetParam()), channel_(GetParam()) {
    testing::MakeHost(app_, channel_, "C:\\Program Files\\브리살", "2.6.1");
  }

  FakeScriptObject app_;
  FakeScriptObject channel_;
  DispatchHost host_{ComPtr<IDispatch>::Share(&app_)};
};

TEST_P(DispatchHostTest, PostNoticePassesTwoTextsAndTheStage) {
  ASSERT_EQ(host_.PostNotice("DavIrizevez", "APL_WINCONF", 2), S_OK);
  ASSERT_EQ(app_.calls.size(), 1u);
  const auto& arguments = app_.calls[0].arguments;
  ASSERT_EQ(arguments.size(), 3u) << "component, code, stage";
  EXPECT_EQ(arguments[0].type, VT_BSTR);
  EXPECT_EQ(arguments[0].text, "DavIrizevez");
  EXPECT_EQ(arguments[1].text, "APL_WINCONF");
  EXPECT_EQ(arguments[2].type, VT_I4);
  EXPECT_EQ(arguments[2].text, "2");
}

TEST_P(DispatchHostTest, TextsComeBackAsUtf8) {
  std::string folder, key, version;
  ASSERT_EQ(host_.GetClientFolder(&folder), S_OK);
  ASSERT_EQ(host_.GetClientRegistryKey(&key), S_OK);
  ASSERT_EQ(host_.GetSpecVersion(&version), S_OK);
  EXPECT_EQ(folder, "C:\\Program Files\\브리살");
  EXPECT_EQ(key, "Software\\quorel\\brisal client");
  EXPECT_EQ(version, "2.6.1");
}

TEST_P(DispatchHostTest, SendReplyPassesTextAndFlagsByReference) {
  std::unique_ptr<core::ReplyChannel> channel;
  ASSERT_EQ(host_.GetReplyChannel(&channel), S_OK);
  ASSERT_NE(channel, nullptr) << "the object GetReplyChannel answered is the channel";
  std::string text = "DavIrizevez\tGIWC\t<DocRoot 이름=\"값\"/>";
  std::int32_t flags = 0;
  ASSERT_EQ(channel->SendReply(text, flags), S_OK);
  ASSERT_EQ(channel_.calls.size(), 1u);
  const auto& arguments = channel_.calls[0].arguments;
  ASSERT_EQ(arguments.size(), 2u);
  EXPECT_EQ(arguments[0].type, VT_BSTR | VT_BYREF);
  EXPECT_EQ(arguments[0].text, text);
  EXPECT_EQ(arguments[1].type, VT_I4 | VT_BYREF);
  EXPECT_EQ(arguments[1].text, "0");
}

TEST_P(DispatchHostTest, HostFailuresAreReturned) {
  // A script's Err.Raise 5 arrives as an exception carrying 0x800A0005.
  app_.members["postnotice"].raised = static_cast<HRESULT>(0x800A0005);
  EXPECT_EQ(host_.PostNotice("DavIrizevez", "APL_SYSCONF", 1), static_cast<HRESULT>(0x800A0005));
  app_.members.erase("getspecversion");
  std::string version = "unchanged";
  EXPECT_EQ(host_.GetSpecVersion(&version), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(version, "unchanged");
}

TEST_P(DispatchHostTest, AChannelThatIsNoObjectIsNoChannel) {
  app_.members["getreplychannel"] = {AnswerText("not an object")};
  std::unique_ptr<core::ReplyChannel> channel;
  EXPECT_EQ(host_.GetReplyChannel(&channel), S_OK);
  EXPECT_EQ(channel, nullptr);
}

INSTANTIATE_TEST_SUITE_P(HostObjects, DispatchHostTest, ::testing::Values(false, true),
                         [](const auto& info) {
                           return info.param ? "NamesThroughIDispatch" : "ScriptClass";
                         });

}  // namespace
}  // namespace dav::com
