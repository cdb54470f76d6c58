#include "catalogue/document_conventions.h"

#include <array>

#include "util/run_time_error.h"

namespace dav::catalogue {
namespace {

constexpr std::string_view kProtectedPlaceholder = "&#13230;";  // U+33AE

constexpr auto kWinConfigSections =
    std::to_array<std::string_view>({"StartMenu", "StartProgramManager", "WinSkill",
                                     "ExplorerConfig", "FileOpt", "DesktopIconManager"});
constexpr auto kSysConfigSections =
    std::to_array<std::string_view>({"ControlMngr", "UsedAccess", "FolderAccess"});
constexpr auto kLegacySections = std::to_array<std::string_view>(
    {"SysMngr", "WindowShell", "StartMenu", "FolderSet", "StartProgramManager", "DisplayConfig",
     "DesktopIconManager", "DiskMngr", "ControlMngr", "DisplayControl", "NPConfig", "Appwiz",
     "IExConfig", "InternetOption", "FileOrder"});

constexpr auto kManagerSections = std::to_array<std::string_view>(
    {"ControlMngr", "UsedAccess", "StartMenu", "WinSkill", "ExplorerConfig", "FileOpt"});

constexpr std::array<DocumentComposition, 4> kCompositions = {{
    {DocumentKind::kWinConfig, "WinConfig", "WinConfig.qsf", kWinConfigSections},
    {DocumentKind::kSysConfig, "SysConfig", "SysConfig.qsf", kSysConfigSections},
    {DocumentKind::kLegacy, "DavIrizevez", "DavIrizevez.qsf", kLegacySections},
    {DocumentKind::kManager, "WinAdmin", "WinAdmin.qsf", kManagerSections},
}};

std::string ReplaceAll(std::string_view text, std::string_view what, std::string_view with) {
  std::string out;
  out.reserve(text.size());
  std::size_t from = 0;
  for (std::size_t at = text.find(what); at != std::string_view::npos; at = text.find(what, from)) {
    out.append(text.substr(from, at - from));
    out.append(with);
    from = at + what.size();
  }
  out.append(text.substr(from));
  return out;
}

std::string RequiredAttribute(const xml::Node& row, std::string_view name) {
  std::optional<std::string> value = row.attribute(name);
  if (!value) {
    throw util::RunTimeError(util::kErrObjectNotSet, "Row",
                             util::StandardMessage(util::kErrObjectNotSet));
  }
  return std::move(*value);
}

}  // namespace

std::string SectionRowsPath(std::string_view section) {
  return std::string(kConfigurationPath) + "/" + std::string(section) + "/Row";
}

std::string SectionRowsPath(std::string_view section, std::string_view form) {
  return std::string(kConfigurationPath) + "/" + std::string(section) + "/" + std::string(form) +
         "/Row";
}

std::string LowerId(std::string_view id) {
  std::string lower(id);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

Row ReadRow(const xml::Node& row) {
  Row result;
  result.id = LowerId(RequiredAttribute(row, "ID"));
  result.value = RequiredAttribute(row, "Value");
  return result;
}

std::string ReplaceQuotePlaceholders(std::string_view text) {
  return ReplaceAll(text, kQuotePlaceholder, "\"");
}

std::string ProtectValue(std::string_view value) {
  return ReplaceAll(value, kQuotePlaceholder, kProtectedPlaceholder);
}

std::string RowText(std::string_view id, std::string_view value) {
  return "<Row ID=\"" + ProtectValue(id) + "\" Value=\"" + ProtectValue(value) + "\" />" +
         std::string(kCrLf);
}

const DocumentComposition& CompositionOf(DocumentKind kind) {
  for (const DocumentComposition& c : kCompositions) {
    if (c.kind == kind) return c;
  }
  return kCompositions.front();
}

std::span<const DocumentComposition> AllCompositions() {
  return kCompositions;
}

}  // namespace dav::catalogue
