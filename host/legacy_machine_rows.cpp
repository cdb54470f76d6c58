#include "host/legacy_machine_rows.h"

#include <algorithm>

#include "catalogue/control_panel.h"
#include "catalogue/document_conventions.h"
#include "catalogue/legacy_browser_sections.h"
#include "catalogue/legacy_drive_sections.h"
#include "catalogue/legacy_system_sections.h"
#include "host/hive_names.h"
#include "host/registry_tree.h"
#include "host/value_encoding.h"

namespace dav::host {
namespace {

using catalogue::RowSpec;

// A free-text Value no PC holds by chance; where it lands is where the row writes.
constexpr std::string_view kMarker = "C:\\davhost-probe-4d1f";

// The legacy appliers as the component calls them on a legacy document, without the lists
// (applets, programs, the browser's window) that are no rows.
std::vector<ApplierCall> LegacyCalls(const std::string& componentKey) {
  using namespace modDavIrizevez;
  return {
      {catalogue::SysMngrRows,
       {""},
       false,
       [componentKey](auto& ctx, const auto& doc) {
         GetXMLSysMngr(ctx, SelectInConfiguration(doc, "SysMngr/Row"), componentKey);
       }},
      {catalogue::WindowShellRows,
       {""},
       false,
       [](auto& ctx, const auto& doc) {
         GetXMLWindowShell(ctx, SelectInConfiguration(doc, "WindowShell/Row"));
       }},
      {catalogue::FolderSetRows,
       {""},
       false,
       [](auto& ctx, const auto& doc) {
         GetXMLFolderSet(ctx, SelectInConfiguration(doc, "FolderSet/Row"));
       }},
      {catalogue::DisplayConfigRows,
       {""},
       false,
       [](auto& ctx, const auto& doc) {
         GetXMLDisplay(ctx, SelectInConfiguration(doc, "DisplayConfig/Row"));
       }},
      {catalogue::DiskMngrRows,
       {""},
       false,
       [](auto& ctx, const auto& doc) {
         GetXMLDiskMngr(ctx, SelectInConfiguration(doc, "DiskMngr/Row"));
       }},
      {catalogue::LegacyControlMngrRows,
       {""},
       false,
       [](auto& ctx, const auto& doc) {
         GetXMLControlMngr(ctx, SelectInConfiguration(doc, "ControlMngr/CPLList"),
                           SelectInConfiguration(doc, "ControlMngr/Row"));
       }},
      {catalogue::DisplayControlRows,
       {""},
       false,
       [](auto& ctx, const auto& doc) {
         GetXMLDisplayControl(ctx, SelectInConfiguration(doc, "DisplayControl/Row"));
       }},
      {catalogue::NPConfigRows,
       {""},
       false,
       [](auto& ctx, const auto& doc) {
         GetXMLNPConfig(ctx, SelectInConfiguration(doc, "NPConfig/Row"));
       }},
      {catalogue::AppwizRows,
       {""},
       false,
       [](auto& ctx, const auto& doc) {
         GetXMLAppwiz(ctx, SelectInConfiguration(doc, "Appwiz/AppList"),
                      SelectInConfiguration(doc, "Appwiz/Row"));
       }},
      {catalogue::IExConfigRows,
       {""},
       false,
       [](auto& ctx, const auto& doc) {
         GetXMLIExConfig(ctx, SelectInConfiguration(doc, "IExConfig/Row"),
                         SelectInConfiguration(doc, "IExConfig/ExConfig"));
       }},
      {catalogue::InternetOptionRows,
       {"General", "Preservation", "Link"},
       false,
       [](auto& ctx, const auto& doc) {
         GetXMLInternetOption(ctx, SelectInConfiguration(doc, "InternetOption/General/Row"),
                              SelectInConfiguration(doc, "InternetOption/Preservation/Row"),
                              SelectInConfiguration(doc, "InternetOption/Link/Row"));
       }},
      {catalogue::FileOrderRows,
       {""},
       false,
       [](auto& ctx, const auto& doc) {
         GetXMLFileOrder(ctx, SelectInConfiguration(doc, "FileOrder/Row"));
       }},
  };
}

std::string IdOf(const ValueChange& value) {
  return catalogue::LowerId(value.key) + "\n" + catalogue::LowerId(value.name);
}

}  // namespace

LegacyMachineRows::LegacyMachineRows(platform::Platform& machine, std::string componentKey)
    : machine_(machine), calls_(LegacyCalls(componentKey)) {}

std::string LegacyMachineRows::ValueOf(std::string_view section, const RowSpec& row,
                                       const std::string& fresh) {
  const auto call = std::find_if(calls_.begin(), calls_.end(),
                                 [&](const ApplierCall& c) { return c.section().name == section; });
  if (call == calls_.end()) return fresh;
  const bool freeText = row.otherValues.empty() && row.need != catalogue::ValueNeed::kDriveText;
  return freeText ? FreeText(*call, row, fresh) : Listed(*call, row, fresh);
}

// The marker's writes: each value that holds it must hold the same text in its place on
// the machine, the text around it as the applier put it.
std::string LegacyMachineRows::FreeText(const ApplierCall& call, const RowSpec& row,
                                        const std::string& fresh) {
  const std::string text =
      ProbeDocument(call.section().name, call.forms, {{row.form, row.id, std::string(kMarker)}});
  std::optional<std::string> found;
  bool fits = true;
  bool held = false;
  for (const ValueChange& value : probe_.Apply(call, text).values) {
    if (!value.after || !platform::IsStringType(value.after->type)) continue;
    const std::size_t at = value.after->data.find(kMarker);
    if (at == std::string::npos) continue;
    const std::string prefix = value.after->data.substr(0, at);
    const std::string suffix = value.after->data.substr(at + kMarker.size());
    const std::optional<RegistryData> now = Read(value.key, value.name);
    held = held || now.has_value();
    if (!now || now->type != value.after->type ||
        now->data.size() < prefix.size() + suffix.size() || !now->data.starts_with(prefix) ||
        !now->data.ends_with(suffix)) {
      fits = false;
      continue;
    }
    const std::string middle =
        now->data.substr(prefix.size(), now->data.size() - prefix.size() - suffix.size());
    if (found && *found != middle) fits = false;
    found = middle;
  }
  if (found && fits) return *found;
  // A row never applied here leaves nothing to read; a PC that keeps its own value where a
  // row with a fresh value writes was changed by hand.
  if (held && !fresh.empty()) Warn(call, row, fresh);
  return fresh;
}

// Each listed value is applied after another one, so that a value it deletes is seen
// deleted; the row takes the first value whose writes the machine holds, compared where
// the values' writes differ (a lone value: everywhere it writes). A row whose values all
// leave the machine's values as they are tells nothing, and keeps the fresh value.
std::string LegacyMachineRows::Listed(const ApplierCall& call, const RowSpec& row,
                                      const std::string& fresh) {
  std::vector<std::string> candidates;
  for (const catalogue::ValueMeaning& listed : row.values) {
    if (!listed.value.empty()) candidates.emplace_back(listed.value);
  }
  if (candidates.empty()) candidates.push_back(fresh);
  std::vector<std::map<std::string, ValueChange>> writes(candidates.size());
  for (std::size_t step = 0; step <= candidates.size(); ++step) {
    const std::size_t index = (step + candidates.size() - 1) % candidates.size();
    const std::string text =
        ProbeDocument(call.section().name, call.forms, {{row.form, row.id, candidates[index]}});
    std::map<std::string, ValueChange> written;
    for (ValueChange& value : probe_.Apply(call, text).values) {
      written[IdOf(value)] = std::move(value);
    }
    if (step > 0) writes[index] = std::move(written);
  }
  const auto telling = [&](const std::string& id, const ValueChange& value) {
    if (candidates.size() == 1) return true;
    return std::any_of(writes.begin(), writes.end(), [&](const auto& other) {
      const auto found = other.find(id);
      return found == other.end() || found->second.after != value.after;
    });
  };
  bool held = false;
  for (std::size_t c = 0; c < candidates.size(); ++c) {
    bool matches = true;
    bool told = false;
    for (const auto& [id, value] : writes[c]) {
      if (!telling(id, value)) continue;
      told = true;
      const std::optional<RegistryData> now = Read(value.key, value.name);
      held = held || now.has_value();
      if (now != value.after) matches = false;
    }
    if (told && matches) return candidates[c];
  }
  // Nothing where the row writes: it was never applied here, and the PC is as Windows left
  // it.
  if (held) Warn(call, row, fresh);
  return fresh;
}

// The value as the machine holds it, string data decoded to UTF-8.
std::optional<RegistryData> LegacyMachineRows::Read(const std::string& key,
                                                    const std::string& name) {
  KeyPath path;
  std::string error;
  if (!ParseKeyPath(key, &path, &error)) return std::nullopt;
  platform::Registry& registry = machine_.registry();
  ScopedKey open(registry);
  if (registry.OpenKey(path.hive, path.subKey, open.out()) != platform::kErrorSuccess) {
    return std::nullopt;
  }
  platform::ValueType type = platform::kRegNone;
  std::uint32_t size = 0;
  if (registry.QueryValue(open.get(), name, &type, nullptr, &size) != platform::kErrorSuccess) {
    return std::nullopt;
  }
  std::string data(size, '\0');
  if (registry.QueryValue(open.get(), name, &type, reinterpret_cast<std::uint8_t*>(data.data()),
                          &size) != platform::kErrorSuccess) {
    return std::nullopt;
  }
  data.resize(size);
  return RegistryData{type, DecodeValueData(machine_.system().AnsiCodePage(), type, data)};
}

void LegacyMachineRows::Warn(const ApplierCall& call, const RowSpec& row,
                             const std::string& fresh) {
  const std::string section(call.section().name);
  warnings_.push_back((row.form.empty() ? section : section + "/" + std::string(row.form)) + " / " +
                      std::string(row.id) +
                      ": the machine holds what none of the row's values writes (changed by "
                      "hand?); the fresh PC's value \"" +
                      fresh + "\" is kept");
}

}  // namespace dav::host
