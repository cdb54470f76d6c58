#include "catalogue/document_lint.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>
#include <utility>

#include "catalogue/control_panel_applets.h"
#include "catalogue/document_conventions.h"
#include "catalogue/list_lint.h"
#include "catalogue/row_catalogue.h"
#include "catalogue/source_positions.h"
#include "platform/code_page.h"
#include "util/conversions.h"
#include "util/near_words.h"
#include "xml/document.h"
#include "xml/encoding.h"

namespace dav::catalogue {
namespace {

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

std::string JoinWords(const std::vector<std::string>& words) {
  std::string text;
  for (std::size_t i = 0; i < words.size(); ++i) text += (i ? ", " : "") + words[i];
  return text;
}

// True when the bytes are UTF-8 holding at least one character beyond ASCII.
bool LooksLikeUtf8(std::string_view bytes, std::size_t* firstWide) {
  bool wide = false;
  for (std::size_t i = 0; i < bytes.size();) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    std::size_t length = 1;
    if (byte >= 0xF0 && byte <= 0xF4) {
      length = 4;
    } else if (byte >= 0xE0) {
      length = 3;
    } else if (byte >= 0xC2 && byte < 0xE0) {
      length = 2;
    } else if (byte >= 0x80) {
      return false;
    }
    if (length > 1) {
      if (i + length > bytes.size()) return false;
      for (std::size_t k = 1; k < length; ++k) {
        if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
      }
      if (!wide) *firstWide = i;
      wide = true;
    }
    i += length;
  }
  return wide;
}

// One applier call's items (rows, applets, a DisplayList) in the order it takes them: a
// failing item ends the call, so the items after it are not applied.
struct Item {
  xml::Node node;
  std::string form;
  std::string id;                    // as written; empty without an ID
  std::optional<std::string> value;  // nullopt without a Value
  // What the item is: its applier reads each kind differently.
  enum class Kind { kRow, kApplet, kProgram, kDisplayList, kExConfig } kind = Kind::kRow;
  bool isRow() const { return kind == Kind::kRow; }
};

// What applies a document of that kind, as a finding names it.
std::string_view ApplyingCommand(DocumentKind kind) {
  switch (kind) {
    case DocumentKind::kWinConfig:
      return "APL_WINCONF";
    case DocumentKind::kSysConfig:
      return "APL_SYSCONF";
    case DocumentKind::kManager:
      return "APL_LOGIN";
    case DocumentKind::kLegacy:
      break;
  }
  return "The legacy document's applier";
}

std::string_view KindWords(DocumentKind kind) {
  switch (kind) {
    case DocumentKind::kWinConfig:
      return "the window document";
    case DocumentKind::kSysConfig:
      return "the system document";
    case DocumentKind::kManager:
      return "the manager's document (WinAdmin.qsf)";
    case DocumentKind::kLegacy:
      break;
  }
  return "the legacy document";
}

class Linter {
 public:
  Linter(std::string_view text, const MachineFacts& facts, DocumentKind kind)
      : text_(text), positions_(text), facts_(facts), kind_(kind) {}

  void Lint(const xml::Document& doc) {
    const xml::Node configuration = doc.selectSingleNode(kConfigurationPath);
    if (!configuration) {
      Add(Severity::kError, 1, 1, {}, {},
          "The document has no DocRoot/Configuration element: nothing in it is applied.");
      return;
    }
    for (const xml::Node& section : configuration.selectNodes("*")) LintSection(section);
    if (kind_ == DocumentKind::kWinConfig || kind_ == DocumentKind::kManager) {
      LintLoggedMissingSections(configuration);
    }
    if (kind_ == DocumentKind::kSysConfig || kind_ == DocumentKind::kLegacy) {
      LintQuietlyMissingSections(configuration);
    }
  }

  std::vector<LintFinding> findings;

  void Add(Severity severity, std::size_t line, std::size_t column, std::string section,
           std::string id, std::string message) {
    findings.push_back(
        {severity, line, column, std::move(section), std::move(id), std::move(message)});
  }

  // Line and column (characters) of a byte offset of the text.
  std::pair<std::size_t, std::size_t> Position(std::size_t offset) const {
    return positions_.At(offset);
  }

 private:
  void AddAt(Severity severity, const xml::Node& node, const std::string& section,
             const std::string& id, std::string message) {
    std::ptrdiff_t offset = node.sourceOffset();
    // The element's name follows its "<"; the finding points at the "<".
    if (offset > 0 && text_[static_cast<std::size_t>(offset) - 1] == '<') --offset;
    const auto [line, column] = Position(offset < 0 ? 0 : static_cast<std::size_t>(offset));
    Add(severity, line, column, section, id, std::move(message));
  }

  // The sections whose absence the window document's applier (ApplyWinConfigXML) or the
  // manager's (ApplyManagerLogin) logs as an error (run-time error 91), and what it then does
  // not do.
  void LintLoggedMissingSections(const xml::Node& configuration) {
    const bool window = kind_ == DocumentKind::kWinConfig;
    const std::string applier = window ? "ApplyWinConfigXML" : "ApplyManagerLogin";
    const std::string kind = window ? "The window document" : "The manager's document";
    const int titleStep = window ? 450 : 480;
    const auto missing = [&](std::string_view section, const std::string& steps,
                             std::string_view then) {
      if (configuration.selectSingleNode(section)) return;
      AddAt(Severity::kError, configuration, std::string(section), {},
            kind + " has no " + std::string(section) + " section: " + applier +
                " logs error 91 (Object variable or With block variable not set) at " + steps +
                ", and " + std::string(then));
    };
    if (window) {
      missing("StartProgramManager", "step 340",
              "the start programs and their protection are left as they are.");
    }
    missing("ExplorerConfig",
            "steps " + std::to_string(titleStep) + " and " + std::to_string(titleStep + 10),
            "a TitleBar or DownFolder row other than \"0\" sets an empty window title or "
            "download folder.");
    if (window) {
      missing("DesktopIconManager", "step 540",
              "step 550 applies an empty, unprotected icon list: auto recover will be switched "
              "off.");
    }
    if (window && !configuration.selectSingleNode("WinSkill/DisplayList")) {
      const xml::Node skill = configuration.selectSingleNode("WinSkill");
      AddAt(Severity::kError, skill ? skill : configuration, "WinSkill", {},
            "The window document has no WinSkill/DisplayList: applied with a shell restart "
            "(APL_WINCONF field 1 True, davhost --restart True, or the editor's choice 6), the "
            "display change finds no display mode to set and IClientComponent_Handle logs "
            "error 13 (Type mismatch): the shell is not restarted and the stage-2 notice is "
            "not posted.");
    }
    const xml::Node explorer = configuration.selectSingleNode("ExplorerConfig");
    if (!explorer) return;
    const std::pair<const char*, const char*> attributes[] = {
        {"TitleBar", ", and a TitleBar row other than \"0\" sets an empty window title."},
        {"DownFolder", ", and a DownFolder row other than \"0\" sets an empty download folder."}};
    int step = titleStep;
    for (const auto& [attribute, then] : attributes) {
      if (!explorer.attribute(attribute)) {
        AddAt(Severity::kError, explorer, "ExplorerConfig", {},
              "ExplorerConfig has no " + std::string(attribute) + " attribute: " + applier +
                  " logs error 91 at step " + std::to_string(step) + then);
      }
      step += 10;
    }
  }

  // The system and legacy documents' appliers take a missing section as one without rows and
  // log nothing: what it would have set stays as the PC has it.
  void LintQuietlyMissingSections(const xml::Node& configuration) {
    std::string kind(KindWords(kind_));
    kind[0] = static_cast<char>(std::toupper(kind[0]));
    const std::string applier = kind_ == DocumentKind::kLegacy
                                    ? "ApplyWindowSettingXML (davhost legacy apply)"
                                    : std::string(ApplyingCommand(kind_));
    for (std::string_view name : CompositionOf(kind_).sections) {
      if (configuration.selectSingleNode(name)) continue;
      const std::string what = name == "StartProgramManager"  ? "start programs"
                               : name == "DesktopIconManager" ? "desktop icons"
                                                              : std::string(name) + " settings";
      AddAt(Severity::kWarning, configuration, std::string(name), {},
            kind + " has no " + std::string(name) + " section: " + applier +
                " applies nothing of it and logs nothing; the PC keeps its own " + what + ".");
    }
  }

  void LintSection(const xml::Node& node) {
    const std::string name = node.nodeName();
    const DocumentComposition& composition = CompositionOf(kind_);
    // The manager's document is applied by the window and system documents' appliers.
    const SectionRows* section =
        kind_ == DocumentKind::kManager
            ? FindSectionRows(name, CompositionOf(DocumentKind::kWinConfig).name)
            : FindSectionRows(name, composition.name);
    if (section == nullptr && kind_ == DocumentKind::kManager) {
      section = FindSectionRows(name, CompositionOf(DocumentKind::kSysConfig).name);
    }
    if (section == nullptr) {
      const auto holds = [&](const DocumentComposition& c) {
        return std::find(c.sections.begin(), c.sections.end(), name) != c.sections.end();
      };
      if (holds(composition)) {
        std::vector<ListFinding> listed;
        if (name == "StartProgramManager") listed = LintStartPrograms(node, kind_);
        if (name == "DesktopIconManager" && kind_ == DocumentKind::kWinConfig) {
          listed = LintDesktopIcons(node, facts_.specialIcons);
        }
        for (ListFinding& f : listed) {
          AddAt(f.severity, f.node, name, f.id, std::move(f.message));
        }
        return;
      }
      for (const DocumentComposition& other : AllCompositions()) {
        if (!holds(other)) continue;
        AddAt(Severity::kWarning, node, name, {},
              std::string(ApplyingCommand(kind_)) + " ignores it; it belongs in " +
                  std::string(KindWords(other.kind)) + ".");
        return;
      }
      std::vector<std::string_view> known;
      for (const DocumentComposition& c : AllCompositions()) {
        known.insert(known.end(), c.sections.begin(), c.sections.end());
      }
      std::string message = "Unknown section: it is ignored.";
      if (std::string near = NearestWord(name, known); !near.empty()) {
        message += " Did you mean " + near + "? (section names are case-sensitive)";
      }
      AddAt(Severity::kWarning, node, name, {}, std::move(message));
      return;
    }
    std::vector<std::string_view> forms;
    for (const RowSpec& row : section->rows) {
      if (!row.form.empty() && std::find(forms.begin(), forms.end(), row.form) == forms.end()) {
        forms.push_back(row.form);
      }
    }
    // The applier calls: one per form, except that WinXP and WinOriginal share one, and a
    // section whose forms one call applies (in the table's order of forms) has one.
    const bool oneCall = name == "InternetOption";
    std::map<std::string, std::vector<Item>> calls;
    std::vector<std::string> callOrder;
    auto callOf = [&](const std::string& form) -> std::vector<Item>& {
      const std::string key = oneCall ? "" : form == "WinOriginal" ? "WinXP" : form;
      if (!calls.count(key)) callOrder.push_back(key);
      return calls[key];
    };
    callOf("");
    // Elements the applier takes before all rows of the section, and after them.
    std::vector<Item> leading;
    std::vector<Item> trailing;
    const bool legacy = kind_ == DocumentKind::kLegacy;
    for (const xml::Node& child : node.selectNodes("*")) {
      const std::string childName = child.nodeName();
      if (childName == "Row") {
        callOf("").push_back(ReadItem(child, ""));
      } else if (std::find(forms.begin(), forms.end(), childName) != forms.end()) {
        std::vector<Item>& call = callOf(childName);
        // The applets come first: the applier takes them before the rows.
        for (const xml::Node& applet : child.selectNodes("CPLList")) {
          Item item = ReadItem(applet, childName);
          item.kind = Item::Kind::kApplet;
          call.push_back(std::move(item));
        }
        for (const xml::Node& row : child.selectNodes("Row")) {
          call.push_back(ReadItem(row, childName));
        }
      } else if (childName == "DisplayList" && name == "WinSkill") {
        callOf("").push_back({child, "", "DisplayList", std::string(), Item::Kind::kDisplayList});
      } else if (childName == "DisplayList" && name == "DisplayConfig") {
        trailing.push_back({child, "", "DisplayList", std::string(), Item::Kind::kDisplayList});
      } else if (childName == "ExConfig" && name == "IExConfig") {
        trailing.push_back({child, "", "ExConfig", std::string(), Item::Kind::kExConfig});
      } else if ((childName == "CPLList" && legacy && name == "ControlMngr") ||
                 (childName == "AppList" && name == "Appwiz")) {
        Item item = ReadItem(child, "");
        item.kind = childName == "CPLList" ? Item::Kind::kApplet : Item::Kind::kProgram;
        leading.push_back(std::move(item));
      } else {
        std::string message =
            "Element " + childName + " is not read by " + std::string(section->applier) + ".";
        if (!forms.empty()) {
          std::vector<std::string_view> known(forms.begin(), forms.end());
          if (std::string near = NearestWord(childName, known); !near.empty()) {
            message += " Did you mean " + near + "?";
          }
        }
        AddAt(Severity::kWarning, child, name, {}, std::move(message));
      }
    }
    std::vector<Item>& sectionCall = calls[""];
    sectionCall.insert(sectionCall.begin(), leading.begin(), leading.end());
    sectionCall.insert(sectionCall.end(), trailing.begin(), trailing.end());
    if (oneCall) {
      std::stable_sort(sectionCall.begin(), sectionCall.end(), [&](const Item& a, const Item& b) {
        return std::find(forms.begin(), forms.end(), a.form) <
               std::find(forms.begin(), forms.end(), b.form);
      });
    }
    for (const std::string& key : callOrder) LintCall(*section, calls[key]);
    if (name == "UsedAccess") LintDriveRows(sectionCall, name, "nodrives", "noviewondrive");
    if (name == "DiskMngr") LintDriveRows(sectionCall, name, "hidedrive", "noadmissiondrive");
  }

  static Item ReadItem(const xml::Node& node, const std::string& form) {
    return {node, form, node.attribute("ID").value_or(""), node.attribute("Value")};
  }

  // The IDs of the items after the one at `index`, as a reader names them. A long tail is
  // cut short with its count, so a document of many failing rows gets findings of bounded
  // length (and is checked in time that grows with its rows, not with their square).
  static std::string Skipped(const std::vector<Item>& call, std::size_t index) {
    constexpr std::size_t kNamedAtMost = 8;
    constexpr std::size_t kLookedAtAtMost = 64;
    std::vector<std::string> ids;
    std::size_t i = index + 1;
    for (; i < call.size() && i <= index + kLookedAtAtMost && ids.size() < kNamedAtMost; ++i) {
      const std::string id = call[i].id.empty() ? "(a row without ID)" : call[i].id;
      if (std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
    }
    if (ids.empty()) return "";
    const std::size_t rest = call.size() - i;
    return " Not applied after it: " + JoinWords(ids) +
           (rest ? " and the " + std::to_string(rest) + " rows after them" : "") + ".";
  }

  void Stops(const SectionRows& section, const std::vector<Item>& call, std::size_t index,
             const std::string& why) {
    const Item& item = call[index];
    AddAt(Severity::kError, item.node, std::string(section.name), item.id,
          why + " " + std::string(section.applier) + " stops here." + Skipped(call, index));
  }

  void LintCall(const SectionRows& section, const std::vector<Item>& call) {
    std::map<std::string, std::size_t> seen;  // lowercased form/ID -> line of its last row
    const std::string name(section.name);
    for (std::size_t i = 0; i < call.size(); ++i) {
      const Item& item = call[i];
      if (item.kind == Item::Kind::kDisplayList) {
        LintDisplayList(section, call, i);
        continue;
      }
      if (item.kind == Item::Kind::kExConfig) {
        LintExConfig(section, call, i);
        continue;
      }
      if (!item.node.attribute("ID") || !item.value) {
        Stops(section, call, i,
              std::string("The ") + ItemWord(item) + " has no " +
                  (item.node.attribute("ID") ? "Value" : "ID") + " attribute:");
        continue;
      }
      const std::string key =
          item.form + "/" + (item.isRow() ? "" : ItemWord(item) + ":") + LowerId(item.id);
      const std::size_t line = Position(Offset(item.node)).first;
      if (auto earlier = seen.find(key); earlier != seen.end()) {
        AddAt(Severity::kWarning, item.node, name, item.id,
              "Repeated (also on line " + std::to_string(earlier->second) +
                  "): the rows are applied in turn, so this later one wins.");
      }
      seen[key] = line;
      CheckCodePage(item, name);
      if (item.isRow()) {
        LintRow(section, call, i);
      } else if (item.kind == Item::Kind::kProgram) {
        LintProgram(section, call, i);
      } else {
        LintApplet(section, call, i);
      }
    }
  }

  static std::string ItemWord(const Item& item) {
    switch (item.kind) {
      case Item::Kind::kApplet:
        return "applet";
      case Item::Kind::kProgram:
        return "program";
      default:
        break;
    }
    return "row";
  }

  // An ExConfig element: both attributes are read, and a missing one ends the applier.
  void LintExConfig(const SectionRows& section, const std::vector<Item>& call, std::size_t index) {
    for (const char* attribute : {"TitleBar", "DownFolder"}) {
      if (!call[index].node.attribute(attribute)) {
        Stops(section, call, index,
              "ExConfig has no " + std::string(attribute) +
                  " attribute: the browser's title and download folder are not set, and");
        return;
      }
    }
  }

  // An AppList element: its Value is read as a number, its ID names a sub-key.
  void LintProgram(const SectionRows& section, const std::vector<Item>& call, std::size_t index) {
    const Item& item = call[index];
    if (!MeetsNeed(ValueNeed::kNumber, *item.value)) {
      Stops(section, call, index, "Value " + Quoted(*item.value) + " is not a number:");
      return;
    }
    if (item.id.empty() || item.id.find('\\') != std::string::npos) {
      AddAt(Severity::kWarning, item.node, std::string(section.name), item.id,
            "The program ID names no sub-key of the UnInstall key: the program is skipped.");
    }
  }

  std::size_t Offset(const xml::Node& node) const {
    const std::ptrdiff_t offset = node.sourceOffset();
    return offset < 0 ? 0 : static_cast<std::size_t>(offset);
  }

  void CheckCodePage(const Item& item, const std::string& section) {
    if (!facts_.codePageHolds || facts_.codePageHolds(*item.value)) return;
    AddAt(Severity::kWarning, item.node, section, item.id,
          "The Value holds characters the machine's code page cannot hold: they are stored as "
          "\"?\".");
  }

  void LintRow(const SectionRows& section, const std::vector<Item>& call, std::size_t index) {
    const Item& item = call[index];
    const std::string name(section.name);
    const RowSpec* row = FindRow(section, item.form, item.id);
    if (row == nullptr) {
      if (name == "ControlMngr") {
        const ValueNeed need =
            kind_ == DocumentKind::kLegacy ? ValueNeed::kSmallNumber : ValueNeed::kNumber;
        if (!MeetsNeed(need, *item.value)) {
          Stops(section, call, index, "Value " + Quoted(*item.value) + " is not a number:");
          return;
        }
        AddAt(Severity::kWarning, item.node, name, item.id,
              "Unknown ID: it is written as an Explorer policy value named " +
                  Quoted(LowerId(item.id)) + ".");
        return;
      }
      std::vector<std::string_view> known;
      for (const RowSpec& r : section.rows) {
        if (r.form == item.form) known.push_back(r.id);
      }
      std::string message = "Unknown ID: the row is ignored.";
      if (std::string near = NearestWord(item.id, known); !near.empty()) {
        message += " Did you mean " + near + "?";
      }
      AddAt(Severity::kWarning, item.node, name, item.id, std::move(message));
      return;
    }
    const std::string& value = *item.value;
    if (!MeetsNeed(row->need, value)) {
      Stops(section, call, index,
            row->need == ValueNeed::kDriveText
                ? "Value " + Quoted(value) + " is not 26 digits (one per drive, A: first):"
            : row->need == ValueNeed::kSmallNumber
                ? "Value " + Quoted(value) + " is not a number from -32768 to 32767:"
                : "Value " + Quoted(value) + " is not a number:");
      return;
    }
    if (row->need == ValueNeed::kDriveText &&
        (value.size() != 26 || value.find_first_not_of("01") != std::string::npos)) {
      AddAt(Severity::kWarning, item.node, name, item.id,
            "Value " + Quoted(value) +
                " is not 26 characters of \"0\" and \"1\": a digit above 1 counts its drive's "
                "bit that many times, and characters after the 26th are ignored.");
      return;
    }
    if (!row->otherValues.empty() && FindValue(*row, value) == nullptr) {
      std::vector<std::string> listed;
      for (const ValueMeaning& known : row->values) {
        if (!known.meaning.empty()) listed.push_back(Quoted(known.value));
      }
      AddAt(Severity::kWarning, item.node, name, item.id,
            "Value " + Quoted(value) + " is none of " + JoinWords(listed) +
                "; it is taken as: " + std::string(row->otherValues) + ".");
    }
  }

  void LintApplet(const SectionRows& section, const std::vector<Item>& call, std::size_t index) {
    const Item& item = call[index];
    const std::string name(section.name);
    std::vector<std::string_view> known;
    if (item.form == "WinXP" || item.form.empty()) {
      for (const XPApplet& applet : XPApplets()) known.push_back(applet.id);
    } else {
      for (const Win7Applet& applet : Win7Applets()) known.push_back(applet.id);
    }
    const bool listed = std::any_of(known.begin(), known.end(), [&](std::string_view id) {
      return LowerId(id) == LowerId(item.id);
    });
    const bool numbered = item.form == "WinXP" || item.form.empty();  // the XP applets
    const ValueNeed need = item.form.empty() ? ValueNeed::kSmallNumber : ValueNeed::kNumber;
    if (numbered && !MeetsNeed(need, *item.value)) {
      Stops(section, call, index, "Value " + Quoted(*item.value) + " is not a number:");
      return;
    }
    if (!listed) {
      std::string message = "Applet not in the " + (item.form.empty() ? "WinXP" : item.form) +
                            " list; it is applied by its ID "
                            "all the same.";
      if (std::string near = NearestWord(item.id, known); !near.empty()) {
        message += " Did you mean " + near + "?";
      }
      AddAt(Severity::kWarning, item.node, name, item.id, std::move(message));
    }
  }

  void LintDisplayList(const SectionRows& section, const std::vector<Item>& call,
                       std::size_t index) {
    const xml::Node& node = call[index].node;
    const std::string name(section.name);
    for (const char* attribute : {"DPFirst", "ColorQuality", "Hz"}) {
      if (!node.attribute(attribute)) {
        Stops(section, call, index,
              "DisplayList has no " + std::string(attribute) +
                  " attribute: no display mode is "
                  "set, and");
        return;
      }
    }
    const std::string resolution = *node.attribute("DPFirst");
    const std::size_t by = resolution.find(" x ");
    OfferedMode mode;
    try {
      if (by == std::string::npos) throw 0;
      std::string rest = resolution.substr(by + 3);
      mode.width = util::ToLong(resolution.substr(0, by));
      mode.height = util::ToLong(rest.substr(0, rest.find(" x ")));
      auto strip = [](std::string text, std::string_view what) {
        for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what)) {
          text.erase(at, what.size());
        }
        return text;
      };
      mode.colorBits = util::ToInteger(strip(*node.attribute("ColorQuality"), " bit"));
      mode.refresh = util::ToLong(strip(*node.attribute("Hz"), " Hz"));
    } catch (...) {
      Stops(section, call, index,
            "DisplayList does not name a mode as \"1024 x 768\", \"32 bit\", \"60 Hz\": no "
            "display mode is set, and");
      return;
    }
    if (facts_.displayModes.empty()) return;
    const bool offered =
        std::any_of(facts_.displayModes.begin(), facts_.displayModes.end(), [&](const auto& m) {
          return m.width == mode.width && m.height == mode.height &&
                 m.colorBits == mode.colorBits && m.refresh == mode.refresh;
        });
    if (!offered) {
      AddAt(Severity::kWarning, node, name, "DisplayList",
            "The machine's display adapter does not offer " + resolution + ", " +
                std::to_string(mode.colorBits) + " bit, " + std::to_string(mode.refresh) +
                " Hz: the display mode will not change.");
    }
  }

  // Rows that only say what a later DriveSettings row writes: without one after them they
  // write nothing.
  void LintDriveRows(const std::vector<Item>& rows, const std::string& section,
                     std::string_view first, std::string_view second) {
    std::size_t lastDriveSettings = 0;  // one past its index; 0 when there is none
    for (std::size_t i = 0; i < rows.size(); ++i) {
      if (rows[i].isRow() && LowerId(rows[i].id) == "drivesettings") lastDriveSettings = i + 1;
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const std::string id = LowerId(rows[i].id);
      if (!rows[i].isRow() || (id != first && id != second)) continue;
      const bool followed = lastDriveSettings > i + 1;
      if (!followed && rows[i].value && *rows[i].value != "0") {
        AddAt(Severity::kWarning, rows[i].node, section, rows[i].id,
              "No DriveSettings row follows: " + rows[i].id +
                  " only says which drives a later DriveSettings row names, so nothing is "
                  "written.");
      }
    }
  }

  std::string_view text_;
  SourcePositions positions_;
  const MachineFacts& facts_;
  DocumentKind kind_;
};

}  // namespace

std::string NearestWord(std::string_view word, const std::vector<std::string_view>& known) {
  std::string best;
  std::size_t bestDistance = std::max<std::size_t>(2, word.size() / 3) + 1;
  for (std::string_view candidate : known) {
    if (const std::size_t distance = util::EditDistance(word, candidate); distance < bestDistance) {
      bestDistance = distance;
      best = std::string(candidate);
    }
  }
  return best;
}

// A warning when a file declares a code page but its bytes are UTF-8.
std::optional<LintFinding> MisdeclaredUtf8(std::string_view bytes) {
  constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
  const std::string declared = xml::DeclaredEncoding(bytes);
  const std::optional<std::uint32_t> codePage = xml::CodePageOfEncoding(declared);
  std::size_t firstWide = 0;
  if (declared.empty() || !codePage || *codePage == platform::kCodePageUtf8 ||
      *codePage == xml::kCodePageUtf16 || bytes.starts_with(kUtf8Bom) ||
      !LooksLikeUtf8(bytes, &firstWide)) {
    return std::nullopt;
  }
  std::size_t line = 1;
  for (std::size_t i = 0; i < firstWide; ++i) line += bytes[i] == '\n';
  return LintFinding{Severity::kWarning,
                     line,
                     1,
                     {},
                     {},
                     "The file declares " + declared +
                         " but its bytes look like UTF-8: its text is read as " + declared +
                         " and comes out garbled. Save it in " + declared +
                         ", or declare encoding=\"utf-8\"."};
}

bool IsEmptyDocument(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  return bytes.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

DocumentKind GuessDocumentKind(const xml::Document& doc) {
  std::vector<std::string> names;
  if (const xml::Node configuration = doc.selectSingleNode(kConfigurationPath)) {
    for (const xml::Node& section : configuration.selectNodes("*")) {
      names.push_back(section.nodeName());
    }
  }
  DocumentKind best = DocumentKind::kWinConfig;
  std::size_t bestCount = 0;
  for (const DocumentComposition& c : AllCompositions()) {
    const auto count = static_cast<std::size_t>(
        std::count_if(names.begin(), names.end(), [&](const std::string& name) {
          return std::find(c.sections.begin(), c.sections.end(), name) != c.sections.end();
        }));
    if (count > bestCount) {
      best = c.kind;
      bestCount = count;
    }
  }
  return best;
}

std::vector<LintFinding> LintDocument(std::string_view bytes, const MachineFacts& facts,
                                      std::optional<DocumentKind> kind) {
  std::vector<LintFinding> findings;
  if (IsEmptyDocument(bytes)) {
    findings.push_back({Severity::kError,
                        1,
                        1,
                        {},
                        {},
                        "Empty document: the file holds no text, so nothing in it is applied "
                        "(the component logs that it has no root element)."});
    return findings;
  }
  if (std::optional<LintFinding> misdeclared = MisdeclaredUtf8(bytes)) {
    findings.push_back(std::move(*misdeclared));
  }
  std::string utf8;
  xml::Document doc;
  std::optional<xml::ParseError> fault = xml::DecodeDocumentBytes(bytes, &utf8);
  std::string what = "does not decode";
  if (!fault && !doc.loadXML(utf8)) {
    fault = doc.parseError();
    what = "does not parse (error " + std::to_string(fault->errorCode) + ")";
  }
  if (fault) {
    findings.push_back(
        {Severity::kError,
         static_cast<std::size_t>(std::max(fault->line, 1)),
         static_cast<std::size_t>(std::max(fault->linepos, 1)),
         {},
         {},
         "The document " + what + ": " + fault->reason + " Nothing in it is applied."});
    return findings;
  }
  if (utf8.starts_with("\xEF\xBB\xBF")) utf8.erase(0, 3);
  Linter linter(utf8, facts, kind ? *kind : GuessDocumentKind(doc));
  linter.findings = std::move(findings);
  linter.Lint(doc);
  std::stable_sort(linter.findings.begin(), linter.findings.end(),
                   [](const LintFinding& a, const LintFinding& b) {
                     return std::pair(a.line, a.column) < std::pair(b.line, b.column);
                   });
  return std::move(linter.findings);
}

int LintStatus(const std::vector<LintFinding>& findings) {
  int status = 0;
  for (const LintFinding& f : findings)
    status = std::max(status, f.severity == Severity::kError ? 2 : 1);
  return status;
}

}  // namespace dav::catalogue
