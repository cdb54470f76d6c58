// What an editor works with: the component's log (also its platform and folder), the UI
// that shows it, the display catalogue for the window editor's display lists, and the two
// values of the component's shared state that an editor leaves for the dispatcher.
#pragma once

#include <cstdint>

#include "catalogue/section_context.h"
#include "display/cls_available_info.h"
#include "util/log.h"

namespace dav::editors {

class FormUi;

// The apply choice of frmMsg.
inline constexpr std::int32_t kChoiceClosed = 2;
inline constexpr std::int32_t kChoiceRestartShell = 6;
inline constexpr std::int32_t kChoiceAfterReboot = 7;

struct EditorContext {
  util::Log& log;
  FormUi& ui;
  // The display modes; without a catalogue the window editor's display lists stay empty.
  clsAvailableInfo* display = nullptr;
  catalogue::DisplayRequest& displayRequest;
  std::int32_t& closingChoice;
};

}  // namespace dav::editors
