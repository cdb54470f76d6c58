#include "catalogue/list_lint.h"

#include <array>
#include <cmath>
#include <set>
#include <string_view>
#include <utility>

#include "listdoc/md_type_define.h"
#include "platform/registry.h"
#include "util/conversions.h"

namespace dav::catalogue {
namespace {

constexpr std::string_view kRunPath = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr std::string_view kRunServicesPath =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunServices";

// The Run keys the start program manager keeps lists of.
constexpr std::array<std::pair<platform::KeyHandle, std::string_view>, 3> kManagedKeys = {{
    {platform::kHKeyLocalMachine, kRunPath},
    {platform::kHKeyLocalMachine, kRunServicesPath},
    {platform::kHKeyCurrentUser, kRunPath},
}};

bool Converts(bool (*convert)(std::string_view), std::string_view text) {
  try {
    return convert(text), true;
  } catch (...) {
    return false;
  }
}

bool IsBoolean(std::string_view text) {
  return Converts([](std::string_view t) { return util::ToBoolean(t); }, text);
}

bool IsSmallNumber(std::string_view text) {
  return Converts([](std::string_view t) { return util::ToInteger(t) != 0; }, text);
}

// What the apply then does, as a finding ends: the window document's steps, or the legacy
// document's quiet ones.
std::string StartProgramsLost(DocumentKind kind) {
  return kind == DocumentKind::kLegacy
             ? "the list is not read, and the start programs are left as they are."
             : "ApplyWinConfigXML logs the error at step 340 and leaves the start programs "
               "and their protection as they are.";
}

// Checks the attributes of one list entry that its reader takes in turn; returns false (and
// adds the finding) at the first one that is missing or does not convert.
bool ReadsThrough(const xml::Node& entry, std::span<const std::string_view> names,
                  bool (*converts)(std::string_view, std::string_view), const std::string& id,
                  const std::string& lost, std::vector<ListFinding>* findings) {
  for (std::string_view name : names) {
    const std::optional<std::string> value = entry.attribute(name);
    if (!value) {
      findings->push_back({entry, Severity::kError, id,
                           entry.nodeName() + " has no " + std::string(name) +
                               " attribute: the reader stops here; " + lost});
      return false;
    }
    if (!converts(name, *value)) {
      findings->push_back({entry, Severity::kError, id,
                           std::string(name) + " \"" + *value + "\" does not convert: the " +
                               "reader stops here; " + lost});
      return false;
    }
  }
  return true;
}

}  // namespace

std::vector<ListFinding> LintStartPrograms(const xml::Node& section, DocumentKind kind) {
  std::vector<ListFinding> findings;
  const std::string lost = StartProgramsLost(kind);
  const std::optional<std::string> isProtected = section.attribute("Protected");
  if (!isProtected || !IsBoolean(*isProtected)) {
    findings.push_back(
        {section,
         Severity::kError,
         {},
         std::string(isProtected ? "Protected \"" + *isProtected + "\" is not True or False: "
                                 : "StartProgramManager has no Protected "
                                   "attribute: ") +
             lost});
    return findings;
  }
  const auto converts = [](std::string_view name, std::string_view value) {
    if (name == "Checked" || name == "IsPrevStart" || name == "Deleted") return IsBoolean(value);
    return true;  // HKey takes its leading number; a text without one is 0
  };
  std::set<std::string> seen;
  for (const xml::Node& runKey : section.selectNodes("RunKeyList/RunKey")) {
    const std::string name = runKey.attribute("Name").value_or("");
    if (!ReadsThrough(runKey, mdTypeDefine::kRunKeyAttributes, converts, name, lost, &findings)) {
      return findings;
    }
    const double hkey = util::LeadingNumber(*runKey.attribute("HKey"));
    const std::string path = *runKey.attribute("Path");
    bool managed = false;
    for (const auto& [hive, keyPath] : kManagedKeys) {
      managed = managed ||
                (std::fabs(hkey - static_cast<double>(static_cast<std::int32_t>(hive))) < 0.5 &&
                 LowerId(path) == LowerId(keyPath));
    }
    if (!managed) {
      findings.push_back(
          {runKey, Severity::kWarning, name,
           "HKey \"" + *runKey.attribute("HKey") + "\" with Path \"" + path +
               "\" names no Run key the component manages (HKEY_LOCAL_MACHINE Run or "
               "RunServices, HKEY_CURRENT_USER Run, HKey -2147483646 or -2147483647): the "
               "entry is skipped."});
      continue;
    }
    const std::string key = std::to_string(hkey) + "|" + LowerId(path) + "|" + LowerId(name);
    if (!seen.insert(key).second) {
      findings.push_back({runKey, Severity::kWarning, name,
                          "Repeated RunKey of the same Run key and name: the entries are "
                          "applied in turn, so this later one wins."});
    }
  }
  if (kind == DocumentKind::kLegacy) {
    const auto boolean = [](std::string_view name, std::string_view value) {
      return name != "Checked" || IsBoolean(value);
    };
    for (const xml::Node& icon : section.selectNodes("IconList/Icon")) {
      if (!ReadsThrough(icon, mdTypeDefine::kIconAttributes, boolean,
                        icon.attribute("FileName").value_or(""), lost, &findings)) {
        break;
      }
    }
  }
  return findings;
}

namespace {

// The head of the icon list against the PC's special icons: the applier takes the first k
// entries (k = 4 when a replacement browser shortcut is configured, else 5) as the special
// icons by their place, and the entries from k on as the desktop files to keep.
void LintSpecialIcons(const xml::NodeList& icons, const std::vector<std::string>& specialIcons,
                      std::vector<ListFinding>* findings) {
  const std::size_t k = specialIcons.size();
  if (k == 0 || icons.empty()) return;
  constexpr std::string_view kBrowser = "Internet Explorer";
  const auto name = [&](std::size_t i) { return icons[i].attribute("FileName").value_or(""); };
  if (icons.size() < k) {
    findings->push_back(
        {icons[0], Severity::kWarning, name(0),
         "The list has " + std::to_string(icons.size()) +
             (icons.size() == 1 ? " entry" : " entries") + ", fewer than the " + std::to_string(k) +
             " special icons that head it on this PC: ApplyDesktopIconList sets no special "
             "icon and keeps, restores or removes no desktop file."});
    return;
  }
  for (std::size_t i = 0; i < k; ++i) {
    if (name(i) == specialIcons[i]) continue;
    if (i + 1 == k && k == 5 && name(i) != kBrowser) {
      findings->push_back(
          {icons[i], Severity::kError, name(i),
           "This PC has 5 special icons (no replacement browser shortcut), so this entry is "
           "taken as the \"Internet Explorer\" icon: that icon is left as it is, and the file " +
               name(i) +
               " is not among the files to keep: it is deleted from the desktop and its "
               "backup. The document was likely made on a PC with the replacement shortcut."});
    } else {
      findings->push_back({icons[i], Severity::kWarning, name(i),
                           "Entry " + std::to_string(i + 1) + " stands for the special icon \"" +
                               specialIcons[i] +
                               "\" on this PC, but its name differs: that icon is left as it "
                               "is."});
    }
  }
  if (k == 4 && icons.size() > 4 && name(4) == kBrowser) {
    findings->push_back(
        {icons[4], Severity::kWarning, name(4),
         "This PC has a replacement browser shortcut and 4 special icons, so this entry is "
         "taken as a desktop file of that name: the Internet Explorer icon is neither shown "
         "nor hidden. The document was likely made on a PC without the replacement shortcut."});
  }
}

}  // namespace

std::vector<ListFinding> LintDesktopIcons(const xml::Node& section,
                                          const std::vector<std::string>& specialIcons) {
  std::vector<ListFinding> findings;
  const std::string lost =
      "ApplyWinConfigXML logs the error at step 540, and step 550 applies the icons read "
      "before it";
  const std::optional<std::string> isProtected = section.attribute("Protected");
  if (!isProtected || !IsBoolean(*isProtected)) {
    findings.push_back(
        {section,
         Severity::kError,
         {},
         std::string(isProtected ? "Protected \"" + *isProtected + "\" is not True or False: "
                                 : "DesktopIconManager has no Protected attribute: ") +
             "ApplyWinConfigXML logs the error at step 540, and step 550 applies an empty, "
             "unprotected icon list: auto recover will be switched off."});
    return findings;
  }
  const auto converts = [](std::string_view name, std::string_view value) {
    return name != "Checked" || IsSmallNumber(value);
  };
  const xml::NodeList icons = section.selectNodes("IconList/Icon");
  LintSpecialIcons(icons, specialIcons, &findings);
  std::set<std::string> seen;
  for (std::size_t i = 0; i < icons.size(); ++i) {
    const xml::Node& icon = icons[i];
    const std::string name = icon.attribute("FileName").value_or("");
    const std::size_t after = icons.size() - i - 1;
    if (!ReadsThrough(icon, mdTypeDefine::kIconAttributes, converts, name,
                      lost + (after ? " (not the " + std::to_string(after) + " after it)." : "."),
                      &findings)) {
      break;
    }
    if (name.find_first_of("\\/:") != std::string::npos || name == "." || name == ".." ||
        name.empty()) {
      findings.push_back({icon, Severity::kWarning, name,
                          "The FileName names no file of the desktop folder itself: the icon "
                          "is not found there."});
    }
    if (!seen.insert(LowerId(name)).second) {
      findings.push_back(
          {icon, Severity::kWarning, name, "Repeated Icon: the later Checked wins."});
    }
  }
  return findings;
}

}  // namespace dav::catalogue
