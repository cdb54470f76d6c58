// handle -o FILE: the document a request produces, saved on this computer in the encoding
// its declaration names, so that `handle APL_SYSCONF --doc FILE` applies it again.
// REQ_SYSCONF and REQ_WINCONF (and their _SAVE forms) produce their document as the reply
// "DavIrizevez" TAB code TAB document; MAKE_QSF saves it in the component folder as
// WinSetInitial.qsf, which is copied as it is.
#pragma once

#include <string>
#include <vector>

#include "host/host_output.h"
#include "platform/platform.h"

namespace dav::host {

bool ProducesDocument(const std::string& cmd);

// Passes everything on to out but the replies, which it keeps.
class ReplyKeeper : public HostOutput {
 public:
  explicit ReplyKeeper(HostOutput& out) : out_(out) {}
  void Notice(const std::string& component, const std::string& code, std::int32_t stage) override {
    out_.Notice(component, code, stage);
  }
  void Reply(const std::string& text) override { replies_.push_back(text); }
  void CommandStarts(const std::string& cmd) override { out_.CommandStarts(cmd); }
  void CommandEnded(const CommandOutcome& outcome) override { out_.CommandEnded(outcome); }
  void Warning(const std::string& text) override { out_.Warning(text); }
  const std::vector<std::string>& replies() const { return replies_; }

 private:
  HostOutput& out_;
  std::vector<std::string> replies_;
};

// Writes the produced document to hostFile; a CommandError when there is none (the command
// failed: its logged errors say why). Returns the encoding it was written in.
std::string SaveProducedDocument(platform::Platform& platform, const std::string& componentFolder,
                                 const std::string& cmd, const std::vector<std::string>& replies,
                                 const std::string& hostFile);

}  // namespace dav::host
