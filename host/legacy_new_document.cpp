#include "host/legacy_new_document.h"

#include <algorithm>
#include <vector>

#include "catalogue/document_conventions.h"
#include "catalogue/legacy_browser_sections.h"
#include "catalogue/row_catalogue.h"
#include "host/command_error.h"
#include "util/xml_escape.h"
#include "xml/document.h"

namespace dav::host {
namespace {

constexpr std::string_view kCrLf = "\r\n";

// The rows whose lock-free value is not "0": the web view of folders is Windows' own, and
// "0" switches autorun off for every drive type.
struct Exception {
  std::string_view section;
  std::string_view id;
  std::string_view value;
};
constexpr Exception kExceptions[] = {{"WindowShell", "WindowViewState", "1"},
                                     {"DiskMngr", "AutorunUse", "1"},
                                     {"FileOrder", "DelList", "000000"}};

// The value of a row on a PC nothing is locked down on; empty to leave the row out.
std::string FreshValue(std::string_view section, const catalogue::RowSpec& row) {
  for (const Exception& e : kExceptions) {
    if (e.section == section && e.id == row.id) return std::string(e.value);
  }
  if (row.need == catalogue::ValueNeed::kDriveText) return std::string(26, '0');
  if (section == "FolderSet" && row.values[0].value.empty()) return {};
  return "0";
}

// The element's text in the document, from its "<" to the end of its closing tag (or of the
// element itself when it has none).
std::string ElementText(const std::string& text, const xml::Node& node) {
  std::size_t start = static_cast<std::size_t>(std::max<std::ptrdiff_t>(node.sourceOffset(), 1));
  if (text[start - 1] == '<') --start;
  const std::string name = node.nodeName();
  const std::size_t open = text.find('>', start);
  if (open != std::string::npos && text[open - 1] == '/')
    return text.substr(start, open + 1 - start);
  const std::string close = "</" + name + ">";
  const std::size_t end = text.find(close, start);
  if (end == std::string::npos) throw CommandError("the window document's " + name + " is cut off");
  return text.substr(start, end + close.size() - start);
}

std::string Attribute(const xml::Node& node, std::string_view name) {
  return util::EscapeAttributeValue(node.attribute(name).value_or(""));
}

// A section of rows from the catalogue, its forms (sub-sections) in the table's order.
std::string CatalogueSection(std::string_view name, const std::string& extra,
                             const LegacyRowValue& rowValue) {
  const catalogue::SectionRows* rows = catalogue::FindSectionRows(name, "DavIrizevez");
  std::string body;
  std::vector<std::string_view> forms;
  if (rows != nullptr) {
    for (const catalogue::RowSpec& row : rows->rows) {
      if (std::find(forms.begin(), forms.end(), row.form) == forms.end()) forms.push_back(row.form);
    }
    for (std::string_view form : forms) {
      if (!form.empty()) body += "<" + std::string(form) + ">" + std::string(kCrLf);
      for (const catalogue::RowSpec& row : rows->rows) {
        if (row.form != form) continue;
        const std::string fresh = FreshValue(name, row);
        const std::string value = rowValue ? rowValue(name, row, fresh) : fresh;
        if (!value.empty()) body += catalogue::RowText(row.id, value);
      }
      if (!form.empty()) body += "</" + std::string(form) + ">" + std::string(kCrLf);
    }
  }
  return "<" + std::string(name) + ">" + std::string(kCrLf) + body + extra + "</" +
         std::string(name) + ">" + std::string(kCrLf);
}

// The Windows XP applets of the system document, each element as it stands there.
std::string Applets(const std::string& systemDocument) {
  if (systemDocument.empty()) return {};
  xml::Document system;
  if (!system.loadXML(systemDocument)) {
    throw CommandError("the system document does not load: " + system.parseError().reason);
  }
  std::string text;
  for (const xml::Node& applet : system.selectNodes(std::string(catalogue::kConfigurationPath) +
                                                    "/ControlMngr/WinXP/CPLList")) {
    text += ElementText(systemDocument, applet) + std::string(kCrLf);
  }
  return text;
}

}  // namespace

std::string LegacyDocumentFrom(const std::string& windowDocument, const LegacyRowValue& rowValue,
                               const std::string& systemDocument) {
  xml::Document window;
  if (!window.loadXML(windowDocument)) {
    throw CommandError("the window document does not load: " + window.parseError().reason);
  }
  const std::string base(catalogue::kConfigurationPath);
  const auto node = [&](const std::string& path) {
    const xml::Node found = window.selectSingleNode(base + "/" + path);
    if (!found) throw CommandError("the window document has no " + path);
    return found;
  };
  const xml::Node display = node("WinSkill/DisplayList");
  const xml::Node explorer = node("ExplorerConfig");
  std::string body;
  for (std::string_view section :
       catalogue::CompositionOf(catalogue::DocumentKind::kLegacy).sections) {
    if (section == "StartMenu") {
      // The legacy applier reads the WinXP and WinOriginal forms only.
      body += "<StartMenu>" + std::string(kCrLf) +
              ElementText(windowDocument, node("StartMenu/WinXP")) + std::string(kCrLf) +
              ElementText(windowDocument, node("StartMenu/WinOriginal")) + std::string(kCrLf) +
              "</StartMenu>" + std::string(kCrLf);
    } else if (section == "StartProgramManager" || section == "DesktopIconManager") {
      body += ElementText(windowDocument, node(std::string(section))) + std::string(kCrLf);
    } else if (section == "DisplayConfig") {
      body +=
          CatalogueSection(section,
                           "<DisplayList DPFirst=\"" + Attribute(display, "DPFirst") +
                               "\" ColorQuality=\"" + Attribute(display, "ColorQuality") +
                               "\" Hz=\"" + Attribute(display, "Hz") + "\" />" + std::string(kCrLf),
                           rowValue);
    } else if (section == "IExConfig") {
      // No title in the window document is the browser's own; in the legacy document that
      // is said with the browser's name (an empty TitleBar would set an empty title).
      std::string title = Attribute(explorer, "TitleBar");
      if (title.empty()) title = util::EscapeAttributeValue(modDavIrizevez::kBrowserName);
      body += CatalogueSection(section,
                               "<ExConfig TitleBar=\"" + title + "\" DownFolder=\"" +
                                   Attribute(explorer, "DownFolder") + "\" />" + std::string(kCrLf),
                               rowValue);
    } else if (section == "ControlMngr") {
      body += CatalogueSection(section, Applets(systemDocument), rowValue);
    } else {
      body += CatalogueSection(section, {}, rowValue);
    }
  }
  const std::size_t declarationEnd =
      windowDocument.starts_with("<?xml") ? windowDocument.find("?>") : std::string::npos;
  const std::string declaration = declarationEnd == std::string::npos
                                      ? std::string()
                                      : windowDocument.substr(0, declarationEnd + 2);
  const std::string version =
      window.selectSingleNode(base).attribute("SpecVersion").value_or("1.0.0");
  return declaration + "<DocRoot><Configuration SpecVersion=\"" + version + "\">" +
         std::string(kCrLf) + body + "</Configuration></DocRoot>";
}

}  // namespace dav::host
