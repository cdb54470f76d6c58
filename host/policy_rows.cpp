#include "host/policy_rows.h"

#include <functional>
#include <memory>

#include "catalogue/access.h"
#include "catalogue/control_panel.h"
#include "catalogue/document_conventions.h"
#include "catalogue/row_catalogue.h"
#include "catalogue/section_context.h"
#include "catalogue/start_menu.h"
#include "catalogue/window_skill.h"
#include "host/client_settings.h"
#include "host/command_error.h"
#include "host/throwaway_machine.h"
#include "host/value_encoding.h"
#include "platform/open_platform.h"
#include "registry/md_registry.h"
#include "registry/md_spm.h"
#include "util/log.h"
#include "xml/document.h"

namespace dav::host {
namespace {

using catalogue::RowSpec;
using catalogue::SectionRows;

std::string IdOf(std::string_view key, std::string_view name) {
  return catalogue::LowerId(key) + "\n" + catalogue::LowerId(name);
}

std::string Escaped(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '&')
      out += "&amp;";
    else if (c == '"')
      out += "&quot;";
    else if (c == '<')
      out += "&lt;";
    else
      out += c;
  }
  return out;
}

// The rows each applier is told about, with where each one's writes begin in the changes.
class RowMarks : public catalogue::RowObserver {
 public:
  explicit RowMarks(const MachineChanges& changes) : changes_(changes) {}
  void Applying(std::string_view, std::string_view id) override {
    marks.push_back({std::string(id), changes_.values.size()});
  }
  struct Mark {
    std::string id;
    std::size_t first;
  };
  std::vector<Mark> marks;

 private:
  const MachineChanges& changes_;
};

// One applier call: its section, the forms of the rows it takes (in the order it takes
// them) and how to call it on a document.
struct ApplierCall {
  const SectionRows& (*section)();
  std::vector<std::string_view> forms;  // "" for rows directly in the section
  bool win7 = false;
  std::function<void(catalogue::SectionContext&, const xml::Document&)> apply;
};

xml::NodeList Select(const xml::Document& doc, const std::string& steps) {
  return doc.selectNodes("DocRoot/Configuration/" + steps);
}

std::vector<ApplierCall> Calls() {
  using namespace modDavIrizevez;
  return {
      {catalogue::StartMenuRows,
       {"WinXP", "WinOriginal"},
       false,
       [](auto& ctx, const auto& doc) {
         GetXMLStartMenu_WinXP(ctx, Select(doc, "StartMenu/WinXP/Row"),
                               Select(doc, "StartMenu/WinOriginal/Row"));
       }},
      {catalogue::StartMenuRows,
       {"Win7"},
       true,
       [](auto& ctx, const auto& doc) {
         GetXMLStartMenu_Win7(ctx, Select(doc, "StartMenu/Win7/Row"));
       }},
      {catalogue::WinSkillRows,
       {""},
       false,
       [](auto& ctx, const auto& doc) {
         GetXMLWinSkill(ctx, Select(doc, "WinSkill/Row"), Select(doc, "WinSkill/DisplayList"),
                        false);
       }},
      {catalogue::ExplorerConfigRows,
       {""},
       false,
       [](auto& ctx, const auto& doc) {
         GetXMLExplorerConfig(ctx, Select(doc, "ExplorerConfig/Row"), "", "");
       }},
      {catalogue::FileOptRows,
       {""},
       false,
       [](auto& ctx, const auto& doc) { GetXMLFileOpt(ctx, Select(doc, "FileOpt/Row")); }},
      {catalogue::ControlMngrRows,
       {"WinXP"},
       false,
       [](auto& ctx, const auto& doc) {
         GetXMLControlPanel(ctx, Select(doc, "ControlMngr/WinXP/CPLList"),
                            Select(doc, "ControlMngr/WinXP/Row"));
       }},
      {catalogue::ControlMngrRows,
       {"Win7"},
       true,
       [](auto& ctx, const auto& doc) {
         GetXMLControlPanel(ctx, Select(doc, "ControlMngr/Win7/CPLList"),
                            Select(doc, "ControlMngr/Win7/Row"));
       }},
      {catalogue::UsedAccessRows,
       {""},
       false,
       [](auto& ctx, const auto& doc) { GetXMLUsedAccess(ctx, Select(doc, "UsedAccess/Row")); }},
  };
}

// The rows of the call that list a value at that position, in the order the applier takes
// them, and the document holding them.
std::vector<const RowSpec*> RowsAt(const ApplierCall& call, std::size_t position,
                                   std::string* document) {
  const SectionRows& section = call.section();
  std::vector<const RowSpec*> rows;
  std::string body;
  for (std::string_view form : call.forms) {
    std::string text;
    for (const RowSpec& row : section.rows) {
      if (row.form != form || row.values[position].value.empty()) continue;
      rows.push_back(&row);
      text += "<Row ID=\"" + Escaped(row.id) + "\" Value=\"" + Escaped(row.values[position].value) +
              "\" />";
    }
    body +=
        form.empty() ? text : "<" + std::string(form) + ">" + text + "</" + std::string(form) + ">";
  }
  *document = "<DocRoot><Configuration><" + std::string(section.name) + ">" + body + "</" +
              std::string(section.name) + "></Configuration></DocRoot>";
  return rows;
}

}  // namespace

PolicyRows PolicyRows::Probe() {
  PolicyRows found;
  const ThrowawayMachine scratch(nullptr, "rows");
  std::unique_ptr<platform::Platform> machine = platform::OpenPlatform(scratch.path(), true);
  if (!machine) throw CommandError("cannot open a scratch machine");
  const ClientSettings settings = ResolveClientSettings(*machine, {});
  const std::uint32_t codePage = machine->system().AnsiCodePage();
  for (const ApplierCall& call : Calls()) {
    for (std::size_t position = 0; position < 3; ++position) {
      std::string text;
      const std::vector<const RowSpec*> rows = RowsAt(call, position, &text);
      if (rows.empty()) continue;
      xml::Document doc;
      if (!doc.loadXML(text)) continue;
      RecordingPlatform recording(*machine);
      util::Log log(recording, settings.ComponentFolder());
      const util::Log::Mute mute(log);
      mdRegistry registry(log);
      mdSPM spm(log);
      catalogue::SectionRequests requests;
      catalogue::SectionContext ctx{
          log,       registry, spm,      !call.win7,
          call.win7, true,     requests, [] {
            return catalogue::DisplayMode{}; }};
      RowMarks marks(recording.changes());
      ctx.rowObserver = &marks;
      try {
        call.apply(ctx, doc);
      } catch (...) {
        // An applier that ends early has still noted the rows it applied.
      }
      const std::vector<ValueChange>& values = recording.changes().values;
      std::size_t next = 0;  // the rows are told in document order
      for (std::size_t m = 0; m < marks.marks.size(); ++m) {
        while (next < rows.size() && catalogue::LowerId(rows[next]->id) != marks.marks[m].id) {
          ++next;
        }
        if (next == rows.size()) break;
        const RowSpec& row = *rows[next++];
        const std::size_t end =
            m + 1 < marks.marks.size() ? marks.marks[m + 1].first : values.size();
        for (std::size_t v = marks.marks[m].first; v < end; ++v) {
          PolicyRow& entry = found.rows_[IdOf(values[v].key, values[v].name)];
          if (entry.id.empty()) {
            const std::string section(call.section().name);
            entry.section = row.form.empty() ? section : section + "/" + std::string(row.form);
            entry.id = std::string(row.id);
          }
          std::optional<RegistryData> after = values[v].after;
          if (after) after->data = DecodeValueData(codePage, after->type, after->data);
          entry.states.push_back({std::string(row.values[position].meaning), std::move(after)});
        }
      }
    }
  }
  return found;
}

const PolicyRow* PolicyRows::Find(std::string_view key, std::string_view name) const {
  const auto found = rows_.find(IdOf(key, name));
  return found == rows_.end() ? nullptr : &found->second;
}

std::string DescribeRow(const PolicyRow& row, const std::optional<RegistryData>& now) {
  std::string text = row.section + " / " + row.id;
  for (const auto& [meaning, state] : row.states) {
    if (state == now) return text + ": " + meaning;
  }
  return text;
}

}  // namespace dav::host
