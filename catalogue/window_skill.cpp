#include "catalogue/window_skill.h"

#include <array>
#include <cstdint>
#include <optional>

#include "catalogue/document_conventions.h"
#include "catalogue/registry_places.h"
#include "util/conversions.h"
#include "util/mod_main.h"
#include "util/procedure.h"
#include "util/run_time_error.h"

namespace dav::modDavIrizevez {
namespace {

using catalogue::kBrowserKey;
using catalogue::kBrowserMainKey;
using catalogue::kExplorerPolicies;
using catalogue::kKeyboardKey;
using catalogue::kSectionModule;
using catalogue::SectionContext;
using platform::kHKeyCurrentUser;
using platform::kHKeyLocalMachine;

constexpr const char* kKeyboardIndicators = "InitialKeyboardIndicators";
constexpr const char* kWindowTitle = "Window Title";
constexpr const char* kDownloadDirectory = "Download Directory";
constexpr std::array<const char*, 7> kBrowserTabs = {"GeneralTab",  "SecurityTab", "ConnectionsTab",
                                                     "AdvancedTab", "ContentTab",  "PrivacyTab",
                                                     "ProgramsTab"};

// The six clean-up flags of "RebootWinOpt", by position.
constexpr std::array<std::string_view, 6> kFileOptRows = {"Garbage", "TempFile", "TempFolder",
                                                          "Cookie",  "History",  "Doc"};
constexpr std::array<std::string_view, 6> kFileOptIds = {"garbage", "tempfile", "tempfolder",
                                                         "cookie",  "history",  "doc"};
constexpr const char* kNothingCleaned = "000000";

std::string ReadClient(SectionContext& ctx, std::string_view name, std::string_view fallback) {
  return ctx.registry.ReadString(kHKeyLocalMachine, catalogue::kClientKey, name, fallback);
}

void WriteText(SectionContext& ctx, platform::KeyHandle hive, std::string_view key,
               std::string_view name, std::string text) {
  ctx.spm.SetRegValue(hive, key, name, platform::kRegSz, text);
}

void WriteClient(SectionContext& ctx, std::string_view name, std::string text) {
  WriteText(ctx, kHKeyLocalMachine, catalogue::kClientKey, name, std::move(text));
}

// A stored text escaped for an attribute: the client values and the browser's settings come
// from earlier documents and users and may hold quotes, "&" or "<".
std::string Escaped(SectionContext& ctx, std::string_view text) {
  return catalogue::ProtectValue(modMain::XMLValueReplace(ctx.log, text));
}

std::string RemoveAll(std::string text, std::string_view what) {
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at)) {
    text.erase(at, what.size());
  }
  return text;
}

// The n-th character (from 1) of a UTF-8 text; empty past the end.
std::string CharacterAt(std::string_view text, std::size_t n) {
  std::size_t start = 0;
  for (std::size_t i = 1;; ++i) {
    if (start >= text.size()) return {};
    std::size_t end = start + 1;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) ++end;
    if (i == n) return std::string(text.substr(start, end - start));
    start = end;
  }
}

bool Is(const catalogue::Row& row, std::string_view lowercaseId) {
  return row.id == lowercaseId;
}

std::string WinSkillText(SectionContext& ctx, util::Procedure& proc) {
  const std::string crlf(catalogue::kCrLf);
  proc.Line(10);
  std::string text = "<WinSkill>" + crlf;
  text += catalogue::RowText("RebootDisplay", Escaped(ctx, ReadClient(ctx, "RebootDisplay", "0")));
  proc.Line(20);
  const catalogue::DisplayMode mode = ctx.currentDisplayMode();
  text += catalogue::ReplaceQuotePlaceholders(
      "<DisplayList DPFirst=㎮" + std::to_string(mode.width) + " x " + std::to_string(mode.height) +
      "㎮ ColorQuality=㎮" + std::to_string(mode.colorBits) + " bit㎮ Hz=㎮" +
      std::to_string(mode.refresh) + " Hz㎮ />" + crlf);
  proc.Line(30);
  const std::string numLock =
      ctx.registry.ReadString(kHKeyCurrentUser, kKeyboardKey, kKeyboardIndicators, "0");
  text += catalogue::RowText("NumLockStatus", numLock == "0" ? "0" : "1");
  const std::int32_t noConnect =
      ctx.registry.ReadDWORD(kHKeyLocalMachine, kExplorerPolicies, "NoNetConnectDisconnect", 0);
  text += catalogue::RowText("NetworkDriveSet", noConnect == 1 ? "1" : "0");
  text += catalogue::RowText(
      "NetworkIconDel",
      std::to_string(ctx.registry.ReadDWORD(kHKeyLocalMachine, kExplorerPolicies, "NoNetHood", 0)));
  text += catalogue::RowText("NoPrinterDriverDel",
                             std::to_string(ctx.registry.ReadDWORD(
                                 kHKeyCurrentUser, kExplorerPolicies, "NoDeletePrinter", 0)));
  return text + "</WinSkill>" + crlf;
}

std::string ExplorerConfigText(SectionContext& ctx, util::Procedure& proc) {
  const std::string crlf(catalogue::kCrLf);
  proc.Line(40);
  const std::string title =
      ctx.registry.ReadString(kHKeyCurrentUser, kBrowserMainKey, kWindowTitle, "");
  const std::string folder =
      ctx.registry.ReadString(kHKeyCurrentUser, kBrowserKey, kDownloadDirectory, "");
  std::string text = catalogue::ReplaceQuotePlaceholders("<ExplorerConfig TitleBar=㎮" +
                                                         Escaped(ctx, title) + "㎮ DownFolder=㎮" +
                                                         Escaped(ctx, folder) + "㎮ >" + crlf);
  proc.Line(50);
  for (const char* row : {"TitleBar", "DownFolder", "IEOpt"}) {
    text += catalogue::RowText(row, Escaped(ctx, ReadClient(ctx, row, "0")));
  }
  return text + "</ExplorerConfig>" + crlf;
}

std::string FileOptText(SectionContext& ctx, util::Procedure& proc) {
  const std::string crlf(catalogue::kCrLf);
  proc.Line(60);
  const std::string stored = ReadClient(ctx, "RebootWinOpt", kNothingCleaned);
  std::string text = "<FileOpt>" + crlf;
  text += catalogue::RowText("RebootWinOpt", stored.find('1') != std::string::npos ? "1" : "0");
  for (std::size_t i = 0; i < kFileOptRows.size(); ++i) {
    text += catalogue::RowText(kFileOptRows[i], Escaped(ctx, CharacterAt(stored, i + 1)));
  }
  return text + "</FileOpt>" + crlf;
}

void ApplyWinSkillRow(SectionContext& ctx, const catalogue::Row& row) {
  if (Is(row, "rebootdisplay")) {
    WriteClient(ctx, "RebootDisplay", row.value);
  } else if (Is(row, "numlockstatus")) {
    if (row.value == "1") {
      WriteText(ctx, kHKeyCurrentUser, kKeyboardKey, kKeyboardIndicators, "2");
    } else {
      ctx.registry.DeleteValue(kHKeyCurrentUser, kKeyboardKey, kKeyboardIndicators);
    }
  } else if (Is(row, "networkdriveset")) {
    if (row.value == "1") {
      ctx.registry.WriteDWORD(kHKeyLocalMachine, kExplorerPolicies, "NoNetConnectDisconnect", 1);
    } else {
      ctx.registry.DeleteValue(kHKeyLocalMachine, kExplorerPolicies, "NoNetConnectDisconnect");
    }
  } else if (Is(row, "networkicondel")) {
    ctx.registry.WriteDWORD(kHKeyLocalMachine, kExplorerPolicies, "NoNetHood",
                            util::ToLong(row.value));
  } else if (Is(row, "noprinterdriverdel")) {
    ctx.registry.WriteDWORD(kHKeyCurrentUser, kExplorerPolicies, "NoDeletePrinter",
                            util::ToLong(row.value));
  }
}

std::string RequiredAttribute(const xml::Node& node, std::string_view name) {
  std::optional<std::string> value = node.attribute(name);
  if (!value) throw util::RunTimeError(94);  // Invalid use of Null
  return std::move(*value);
}

// Reads a DisplayList element into a display request: "800 x 600", "16 bit", "75 Hz". The
// parts must be numbers, because the mode is set from them now and at every start.
catalogue::DisplayRequest ReadDisplayList(const xml::Node& node, util::Procedure& proc) {
  proc.Line(20);
  const std::string resolution = RequiredAttribute(node, "DPFirst");
  const std::string colour = RequiredAttribute(node, "ColorQuality");
  const std::string rate = RequiredAttribute(node, "Hz");
  proc.Line(30);
  const std::size_t by = resolution.find(" x ");
  if (by == std::string::npos) throw util::RunTimeError(util::kErrSubscript);
  catalogue::DisplayRequest request;
  request.width = resolution.substr(0, by);
  const std::string rest = resolution.substr(by + 3);
  request.height = rest.substr(0, rest.find(" x "));
  request.colorBits = RemoveAll(colour, " bit");
  request.refresh = RemoveAll(rate, " Hz");
  util::ToLong(request.width);
  util::ToLong(request.height);
  util::ToInteger(request.colorBits);
  util::ToLong(request.refresh);
  return request;
}

}  // namespace

void KeepDisplayList(catalogue::SectionContext& ctx, const xml::Node& displayList,
                     util::Procedure& proc) {
  const catalogue::DisplayRequest request = ReadDisplayList(displayList, proc);
  proc.Line(40);
  WriteClient(
      ctx, "DisplayList",
      request.width + " x " + request.height + "*" + request.colorBits + "*" + request.refresh);
  ctx.requests.display = request;
}

std::string XMLStringWinSkill(catalogue::SectionContext& ctx) {
  util::Procedure proc(ctx.log, kSectionModule, "XMLStringWinSkill");
  try {
    std::string text = WinSkillText(ctx, proc);
    text += ExplorerConfigText(ctx, proc);
    return text + FileOptText(ctx, proc);
  } catch (...) {
    proc.LogFailure();
    return {};
  }
}

void GetXMLWinSkill(catalogue::SectionContext& ctx, const xml::NodeList& rows,
                    const xml::NodeList& displayLists, bool managerLogin) {
  util::Procedure proc(ctx.log, kSectionModule, "GetXMLWinSkill");
  try {
    proc.Line(10);
    catalogue::ForEachRow(rows, [&](const catalogue::Row& row) {
      catalogue::NoteRow(ctx, "GetXMLWinSkill", row.id);
      ApplyWinSkillRow(ctx, row);
    });
    // The manager's documents never change the display mode the user's document asked for.
    if (managerLogin || displayLists.empty()) return;
    // With several elements the last one wins.
    KeepDisplayList(ctx, displayLists.back(), proc);
  } catch (...) {
    proc.LogFailure();
  }
}

void GetXMLExplorerConfig(catalogue::SectionContext& ctx, const xml::NodeList& rows,
                          std::string_view titleBar, std::string_view downFolder) {
  util::Procedure proc(ctx.log, kSectionModule, "GetXMLExplorerConfig");
  try {
    proc.Line(10);
    catalogue::ForEachRow(rows, [&](const catalogue::Row& row) {
      catalogue::NoteRow(ctx, "GetXMLExplorerConfig", row.id);
      if (Is(row, "titlebar")) {
        WriteClient(ctx, "TitleBar", row.value);
        if (row.value != "0") {
          WriteText(ctx, kHKeyCurrentUser, kBrowserMainKey, kWindowTitle, std::string(titleBar));
        } else {
          ctx.registry.DeleteValue(kHKeyCurrentUser, kBrowserMainKey, kWindowTitle);
        }
      } else if (Is(row, "downfolder")) {
        WriteClient(ctx, "DownFolder", row.value);
        // "0" leaves the browser's own choice: an empty folder, not a missing value.
        WriteText(ctx, kHKeyCurrentUser, kBrowserKey, kDownloadDirectory,
                  row.value != "0" ? std::string(downFolder) : std::string());
      } else if (Is(row, "ieopt")) {
        const std::int32_t locked = util::ToLong(row.value);
        for (const char* tab : kBrowserTabs) {
          ctx.registry.WriteDWORD(kHKeyCurrentUser, catalogue::kBrowserOptionsKey, tab, locked);
        }
        WriteClient(ctx, "IEOpt", row.value);
      }
    });
  } catch (...) {
    proc.LogFailure();
  }
}

void GetXMLFileOpt(catalogue::SectionContext& ctx, const xml::NodeList& rows) {
  util::Procedure proc(ctx.log, kSectionModule, "GetXMLFileOpt");
  try {
    proc.Line(10);
    if (rows.empty()) return;
    catalogue::CleanUpRequests& requests = ctx.requests.cleanUp;
    // Each flag keeps its own position whatever the rows' order, so that a missing or
    // misplaced row can never move a clean-up request onto another kind of file.
    std::string packed = kNothingCleaned;
    std::string rebootWinOpt = "0";
    std::string tempFile;
    std::string cookie;
    bool tempFilesRow = false;
    const std::array<std::string*, 6> valueOf = {&requests.garbage,     &tempFile,
                                                 &requests.tempFolders, &cookie,
                                                 &requests.history,     &requests.documents};
    proc.Line(20);
    catalogue::ForEachRow(rows, [&](const catalogue::Row& row) {
      catalogue::NoteRow(ctx, "GetXMLFileOpt", row.id);
      if (Is(row, "rebootwinopt")) rebootWinOpt = row.value;
      for (std::size_t i = 0; i < kFileOptIds.size(); ++i) {
        if (!Is(row, kFileOptIds[i])) continue;
        packed[i] = row.value == "1" ? '1' : '0';
        *valueOf[i] = row.value;
        tempFilesRow = tempFilesRow || valueOf[i] == &tempFile || valueOf[i] == &cookie;
      }
    });
    proc.Line(30);
    // Cookies are cleaned with the temporary files. The request follows its rows like the
    // other four, so that a later document with both "0" asks for no clean-up.
    if (tempFilesRow) requests.tempFiles = (tempFile == "1" || cookie == "1") ? "1" : "0";
    proc.Line(40);
    if (rebootWinOpt == "0") packed = kNothingCleaned;
    proc.Line(50);
    WriteClient(ctx, "RebootWinOpt", packed);
  } catch (...) {
    proc.LogFailure();
  }
}

}  // namespace dav::modDavIrizevez
