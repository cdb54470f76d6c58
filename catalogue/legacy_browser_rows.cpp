// The rows of the legacy document's IExConfig, InternetOption and FileOrder sections
// (applied in legacy_browser_sections.cpp).
#include "catalogue/row_catalogue.h"

namespace dav::catalogue {
namespace {

using enum ValueNeed;

constexpr std::string_view kDocument = "DavIrizevez";

// A part of the browser's options dialog (HKCU ...\Internet Explorer\Control Panel): the
// Value, a number, is written as a DWORD.
constexpr RowSpec Option(std::string_view form, std::string_view id, std::string_view effect) {
  return {form,
          id,
          effect,
          kNumber,
          {{{"1", "locked"}, {"0", "usable"}}},
          "any other number: written as it is (not 0 locks)"};
}

constexpr RowSpec kIExConfig[] = {
    Option({}, "NoToolUse",
           "Blocks customising the browser's toolbars (NoToolbarCustomize, HKLM)."),
};

constexpr RowSpec kInternetOption[] = {
    Option("General", "NoGeneralPageUse", "The General page (GeneralTab)."),
    Option("General", "NoHomePageConfig", "The home page (HomePage)."),
    Option("General", "NoTmpIFileConfig", "Temporary Internet files (Settings)."),
    Option("General", "NoOpenPageListConfig", "The history (History)."),
    Option("General", "NoButtonColorConfig", "The Colors button (Colors)."),
    Option("General", "NoButtonLinkConfig", "Link colours (Links)."),
    Option("General", "NoFontConfig", "The Fonts button (Fonts)."),
    Option("General", "NoLanguageConfig", "The Languages button (Languages)."),
    Option("General", "NoUserFormConfig", "The Accessibility button (Accessibility)."),
    Option("Preservation", "PvPageDel", "The Security page (SecurityTab)."),
    Option("Preservation", "NoDefaultLevelConfig", "Security levels (SecChangeSettings)."),
    Option("Link", "DelLinkPage", "The Connections page (ConnectionsTab)."),
    Option("Link", "NoILinkConfig", "The connection wizard (Connwiz Admin Lock)."),
    Option("Link", "NoPVLConfig", "Connection settings (Connection Settings)."),
    Option("Link", "NoLANAutoConfig", "LAN automatic configuration (AutoConfig)."),
    Option("Link", "NoLANProxyConfig", "The LAN proxy (Proxy)."),
};

constexpr RowSpec kFileOrder[] = {
    {{},
     "DelList",
     "Recently-used lists cleared when applied, one digit per list, \"1\" clears it: 1 and 2 "
     "the media player's files and addresses, 3 and 4 RealPlayer clips, 5 Paint, 6 WordPad. "
     "The first DelList is kept as the client value DelList.",
     kAnything,
     {{{"000000", "nothing is cleared"}, {"111111", "every list is cleared"}}},
     {}},
    {{}, "RebootAutoDel", "Kept as the client value RebootAutoDel.", kAnything, {}, {}},
};

}  // namespace

const SectionRows& IExConfigRows() {
  static const SectionRows section{
      "IExConfig",
      kDocument,
      "GetXMLIExConfig",
      {},
      "The browser's window title and download folder, and its toolbars.",
      "ExConfig TitleBar=\"...\" DownFolder=\"...\" after the rows: the window title (the "
      "browser's own name removes it) and the download folder. An ExConfig without either "
      "attribute ends the applier.",
      true,
      kIExConfig};
  return section;
}

const SectionRows& InternetOptionRows() {
  static const SectionRows section{
      "InternetOption",
      kDocument,
      "GetXMLInternetOption",
      {},
      "Which parts of the browser's options dialog are locked. General, Preservation and Link "
      "are applied in that order by one call: a failing row ends all three.",
      {},
      true,
      kInternetOption};
  return section;
}

const SectionRows& FileOrderRows() {
  static const SectionRows section{
      "FileOrder",
      kDocument,
      "GetXMLFileOrder",
      {},
      "Recently-used lists to clear, and a clean-up choice kept in the client key.",
      {},
      true,
      kFileOrder};
  return section;
}

}  // namespace dav::catalogue
