// Message boxes through user32.
#pragma once

#include "platform/dialogs.h"

namespace dav::platform::win32 {

class Win32Dialogs : public Dialogs {
 public:
  int ShowMessage(std::string_view text, std::string_view title, std::uint32_t style) override;
};

}  // namespace dav::platform::win32
