// The shell of the simulated PC: special folders come from the machine's table, change
// notifications go to the event journal.
#pragma once

#include <functional>
#include <string>

#include "platform/shell.h"
#include "platform/sim/machine_store.h"

namespace dav::platform::sim {

// Records one event of the machine's journal (kind, detail) with the machine's time.
using EventRecorder = std::function<void(const std::string& kind, const std::string& detail)>;

class SimShell : public Shell {
 public:
  SimShell(MachineStore& store, EventRecorder record) : store_(store), record_(std::move(record)) {}

  // A folder number the machine does not know gives kErrorInvalidParameter, as Windows
  // answers for a number it does not know.
  Status SpecialFolderPath(int csidl, std::string* path) override;
  Status SpecialFolderDisplayName(int csidl, std::string* name) override;
  // Knows "::{CLSID}" of My Documents, My Computer, My Network Places, the Recycle Bin and
  // Internet Explorer (the CLSID without regard to case); anything else gives
  // kErrorFileNotFound.
  Status ParsingNameDisplayName(std::string_view parsingName, std::string* name) override;
  // Records "shell.notify" with the event id in hex, and the flags when there are any.
  void ChangeNotify(std::int32_t eventId, std::uint32_t flags) override;

 private:
  MachineStore& store_;
  EventRecorder record_;
};

}  // namespace dav::platform::sim
