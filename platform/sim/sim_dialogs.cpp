#include "platform/sim/sim_dialogs.h"

#include <cstdio>
#include <cstdlib>

#include "platform/sim/machine_settings.h"

namespace dav::platform::sim {

int SimDialogs::ShowMessage(std::string_view text, std::string_view title, std::uint32_t style) {
  char styleText[16];
  std::snprintf(styleText, sizeof styleText, "0x%X", style);
  std::string detail(title);
  detail += " | style ";
  detail += styleText;
  detail += " | ";
  detail += text;
  record_("messagebox", detail);
  return std::atoi(store_.Setting(setting::kMessageBoxAnswer).c_str());
}

}  // namespace dav::platform::sim
