// The boundary between the component and the PC-management client that loads it (the host).
//
// The host creates the component, hands it its application object in
// IClientComponent_Initialize and then passes it commands as strings. The component reaches
// the host only through that object: for the host's folder and registry key, for the
// version text that picks the document sections, and to post notices and send replies.
//
// Host operations answer with a status in the manner of a COM call: kHostOk (or any value
// that is not negative) for success, a negative HRESULT for a failure. The component turns
// a failure into a run-time error of the calling procedure (see host_object.h), whose
// handler logs it and goes on or ends as that procedure does.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace dav::core {

using HResult = std::int32_t;

inline constexpr HResult kHostOk = 0;
// E_FAIL, what a host that cannot carry out an operation typically answers.
inline constexpr HResult kHostFail = static_cast<HResult>(0x80004005u);

inline constexpr bool HostSucceeded(HResult status) {
  return status >= 0;
}

// Where a reply goes. The component asks the host for a fresh channel for every reply and
// releases it afterwards; the reply is complete when SendReply returns.
class ReplyChannel {
 public:
  virtual ~ReplyChannel() = default;

  // text: the whole reply ("DavIrizevez" TAB code TAB document); flags: always 0. Both are
  // passed by reference, as the host's interface declares them.
  virtual HResult SendReply(std::string& text, std::int32_t& flags) = 0;
};

// The host's application object. Only these five of its operations are used.
class HostApplication {
 public:
  virtual ~HostApplication() = default;

  // A notice for the host: which component posts it, its code and the stage (1 before a
  // document is applied, 2 after). Returns when the host has taken the notice.
  virtual HResult PostNotice(const std::string& component, const std::string& code,
                             std::int32_t stage) = 0;

  // A new reply channel in *channel.
  virtual HResult GetReplyChannel(std::unique_ptr<ReplyChannel>* channel) = 0;

  // The host's installation folder, without a trailing backslash.
  virtual HResult GetClientFolder(std::string* folder) = 0;

  // The host's key path below HKEY_LOCAL_MACHINE, without hive name or trailing backslash.
  virtual HResult GetClientRegistryKey(std::string* key) = 0;

  // The version text: "2.5.1" selects the WinXP sections, "2.6.1" the Win7 sections.
  virtual HResult GetSpecVersion(std::string* version) = 0;
};

// The interface the host loads the component by. None of the operations lets a failure
// reach the host, except Terminate, whose failure is the call's failure.
class IClientComponent {
 public:
  virtual ~IClientComponent() = default;

  // Keeps the host's application object and prepares the component. Never fails towards
  // the host: a failing step is logged and the next one runs.
  virtual void IClientComponent_Initialize(std::shared_ptr<HostApplication> app,
                                           bool debugMode) = 0;

  // Runs one host command (cmd names it, StrProtocol carries its data). Commands that are not
  // known are ignored; a failing command is logged and ends.
  virtual void IClientComponent_Handle(const std::string& cmd, const std::string& StrProtocol) = 0;

  // Logs the end and releases what the component holds, the host's object included.
  virtual void IClientComponent_Terminate() = 0;

  virtual std::string Company() const = 0;
  virtual std::string Name() const = 0;
  // "major.minor.revision" of the component's build.
  virtual std::string Version() const = 0;
  virtual bool Installed() const = 0;
};

}  // namespace dav::core
