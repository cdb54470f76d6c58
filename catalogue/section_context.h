// What the section producers (XMLString<Section>) and appliers (GetXML<Section>) work with:
// the log and registry layer, which generation of the sections applies, and the requests
// that applying a document leaves for the commands that follow (the display mode to set,
// the clean-ups to ask the host for, the windows to close). The component owns the
// requests in its state and hands them in; nothing here is global.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "registry/md_registry.h"
#include "registry/md_spm.h"
#include "util/log.h"

namespace dav::catalogue {

// The display mode a document asks for, as the texts the document gives (width, height,
// colour bits, refresh rate); empty until a document sets it.
struct DisplayRequest {
  std::string width;
  std::string height;
  std::string colorBits;
  std::string refresh;
};

// The clean-up tasks a document asks the host for; "1" means asked for.
struct CleanUpRequests {
  std::string garbage;
  std::string tempFiles;
  std::string tempFolders;
  std::string history;
  std::string documents;
};

// The windows and programs that are blocked and so closed when the shell restarts.
struct WindowClosingFlags {
  bool systemProperties = false;
  bool commandPrompt = false;
  bool registryEditor = false;
  bool taskManager = false;
};

struct SectionRequests {
  DisplayRequest display;
  CleanUpRequests cleanUp;
  WindowClosingFlags closing;
};

// The display mode in use, as the display catalogue reports it.
struct DisplayMode {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int16_t colorBits = 0;
  std::int32_t refresh = 0;
};

// Told by the appliers which row they are about to apply, so that a host can say which row
// an applier's logged failure belongs to and which rows it then left out. The component's
// own log lines stay as they are.
class RowObserver {
 public:
  virtual ~RowObserver() = default;
  // applier: "GetXMLUsedAccess"; id: the row's ID as the applier reads it (lowercased).
  virtual void Applying(std::string_view applier, std::string_view id) = 0;
};

struct SectionContext {
  util::Log& log;  // also the platform and the component folder
  mdRegistry& registry;
  mdSPM& spm;
  // Which form of the generation-dependent sections applies: WinXP, Win7, or neither.
  bool winXP = false;
  bool win7 = false;
  // True on the Windows NT family.
  bool isWinNT = true;
  SectionRequests& requests;
  // The display mode in use (the display catalogue's GetInitScreenInfo).
  std::function<DisplayMode()> currentDisplayMode;
  // Told of each row before it is applied; none by default.
  RowObserver* rowObserver = nullptr;
};

inline void NoteRow(SectionContext& ctx, std::string_view applier, std::string_view id) {
  if (ctx.rowObserver) ctx.rowObserver->Applying(applier, id);
}

// The client key below HKEY_LOCAL_MACHINE, where the component keeps its own settings as
// text values.
inline constexpr const char* kClientKey = "Software\\quorel\\brisal client";

}  // namespace dav::catalogue
