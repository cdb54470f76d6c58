#include "host/policy_rows.h"

#include "catalogue/access.h"
#include "catalogue/control_panel.h"
#include "catalogue/document_conventions.h"
#include "catalogue/start_menu.h"
#include "catalogue/window_skill.h"
#include "host/row_probe.h"

namespace dav::host {
namespace {

using catalogue::RowSpec;
using catalogue::SectionRows;

std::string IdOf(std::string_view key, std::string_view name) {
  return catalogue::LowerId(key) + "\n" + catalogue::LowerId(name);
}

std::vector<ApplierCall> Calls() {
  using namespace modDavIrizevez;
  return {
      {catalogue::StartMenuRows,
       {"WinXP", "WinOriginal"},
       false,
       [](auto& ctx, const auto& doc) {
         GetXMLStartMenu_WinXP(ctx, SelectInConfiguration(doc, "StartMenu/WinXP/Row"),
                               SelectInConfiguration(doc, "StartMenu/WinOriginal/Row"));
       }},
      {catalogue::StartMenuRows,
       {"Win7"},
       true,
       [](auto& ctx, const auto& doc) {
         GetXMLStartMenu_Win7(ctx, SelectInConfiguration(doc, "StartMenu/Win7/Row"));
       }},
      {catalogue::WinSkillRows,
       {""},
       false,
       [](auto& ctx, const auto& doc) {
         GetXMLWinSkill(ctx, SelectInConfiguration(doc, "WinSkill/Row"),
                        SelectInConfiguration(doc, "WinSkill/DisplayList"), false);
       }},
      {catalogue::ExplorerConfigRows,
       {""},
       false,
       [](auto& ctx, const auto& doc) {
         GetXMLExplorerConfig(ctx, SelectInConfiguration(doc, "ExplorerConfig/Row"), "", "");
       }},
      {catalogue::FileOptRows,
       {""},
       false,
       [](auto& ctx, const auto& doc) {
         GetXMLFileOpt(ctx, SelectInConfiguration(doc, "FileOpt/Row"));
       }},
      {catalogue::ControlMngrRows,
       {"WinXP"},
       false,
       [](auto& ctx, const auto& doc) {
         GetXMLControlPanel(ctx, SelectInConfiguration(doc, "ControlMngr/WinXP/CPLList"),
                            SelectInConfiguration(doc, "ControlMngr/WinXP/Row"));
       }},
      {catalogue::ControlMngrRows,
       {"Win7"},
       true,
       [](auto& ctx, const auto& doc) {
         GetXMLControlPanel(ctx, SelectInConfiguration(doc, "ControlMngr/Win7/CPLList"),
                            SelectInConfiguration(doc, "ControlMngr/Win7/Row"));
       }},
      {catalogue::UsedAccessRows,
       {""},
       false,
       [](auto& ctx, const auto& doc) {
         GetXMLUsedAccess(ctx, SelectInConfiguration(doc, "UsedAccess/Row"));
       }},
  };
}

// The rows of the call that list a value at that position, in the order the applier takes
// them, and the document holding them.
std::vector<const RowSpec*> RowsAt(const ApplierCall& call, std::size_t position,
                                   std::string* document) {
  const SectionRows& section = call.section();
  std::vector<const RowSpec*> rows;
  std::vector<ProbeRow> values;
  for (std::string_view form : call.forms) {
    for (const RowSpec& row : section.rows) {
      if (row.form != form || row.values[position].value.empty()) continue;
      rows.push_back(&row);
      values.push_back({row.form, row.id, std::string(row.values[position].value)});
    }
  }
  *document = ProbeDocument(section.name, call.forms, values);
  return rows;
}

}  // namespace

PolicyRows PolicyRows::Probe() {
  PolicyRows found;
  RowProbe probe;
  for (const ApplierCall& call : Calls()) {
    for (std::size_t position = 0; position < 3; ++position) {
      std::string text;
      const std::vector<const RowSpec*> rows = RowsAt(call, position, &text);
      if (rows.empty()) continue;
      const ProbeResult result = probe.Apply(call, text);
      const std::vector<ValueChange>& values = result.values;
      std::size_t next = 0;  // the rows are told in document order
      for (std::size_t m = 0; m < result.marks.size(); ++m) {
        while (next < rows.size() && catalogue::LowerId(rows[next]->id) != result.marks[m].id) {
          ++next;
        }
        if (next == rows.size()) break;
        const RowSpec& row = *rows[next++];
        const std::size_t end =
            m + 1 < result.marks.size() ? result.marks[m + 1].first : values.size();
        for (std::size_t v = result.marks[m].first; v < end; ++v) {
          PolicyRow& entry = found.rows_[IdOf(values[v].key, values[v].name)];
          if (entry.id.empty()) {
            const std::string section(call.section().name);
            entry.section = row.form.empty() ? section : section + "/" + std::string(row.form);
            entry.id = std::string(row.id);
          }
          entry.states.push_back({std::string(row.values[position].meaning), values[v].after});
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
