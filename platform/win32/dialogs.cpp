#include "platform/win32/dialogs.h"

#include "platform/win32/text.h"
#include "platform/win32/windows_api.h"

namespace dav::platform::win32 {

int Win32Dialogs::ShowMessage(std::string_view text, std::string_view title, std::uint32_t style) {
  return MessageBoxA(nullptr, ToAnsi(text).c_str(), ToAnsi(title).c_str(), style);
}

}  // namespace dav::platform::win32
