// Message boxes on the simulated PC: nobody is there to click, so each box is written to
// the event journal and answered with the machine's configured answer
// (setting "message_box_answer", IDOK by default), whatever buttons the style offers.
#pragma once

#include "platform/dialogs.h"
#include "platform/sim/machine_store.h"
#include "platform/sim/sim_shell.h"

namespace dav::platform::sim {

class SimDialogs : public Dialogs {
 public:
  SimDialogs(MachineStore& store, EventRecorder record)
      : store_(store), record_(std::move(record)) {}

  // Records "messagebox" with "<title> | style 0x<style> | <text>".
  int ShowMessage(std::string_view text, std::string_view title, std::uint32_t style) override;

 private:
  MachineStore& store_;
  EventRecorder record_;
};

}  // namespace dav::platform::sim
