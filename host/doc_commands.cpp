#include "host/doc_commands.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>

#include "catalogue/document_diff.h"
#include "catalogue/document_lint.h"
#include "catalogue/document_summary.h"
#include "catalogue/row_catalogue.h"
#include "desktop/special_icons.h"
#include "host/command_error.h"
#include "host/doc_json.h"
#include "host/doc_new_command.h"
#include "host/doc_reference.h"
#include "host/text_table.h"
#include "platform/code_page.h"
#include "platform/display.h"
#include "platform/file_system.h"
#include "platform/system_info.h"
#include "util/log.h"
#include "xml/document.h"
#include "xml/encoding.h"

namespace dav::host {
namespace {

struct CheckOptions {
  std::string path;
  std::string kind;  // "window", "system", "legacy"; empty: guessed from the sections
  bool machinePath = false;
  bool json = false;
};

std::string Plural(std::size_t n, const std::string& word) {
  return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

std::string Counts(const catalogue::SectionSummary& s) {
  // A list section has no rows of its own; it shows only its entries.
  std::string text = s.rows || (!s.runKeys && !s.icons) ? Plural(s.rows, "row") : "";
  if (!s.parts.empty()) {
    text += " (";
    for (std::size_t i = 0; i < s.parts.size(); ++i) {
      text += (i ? ", " : "") + s.parts[i].first + " " + std::to_string(s.parts[i].second);
    }
    text += ")";
  }
  if (s.runKeys) text += (text.empty() ? "" : ", ") + std::to_string(s.runKeys) + " RunKey";
  if (s.icons) text += (text.empty() ? "" : ", ") + std::to_string(s.icons) + " Icon";
  return text;
}

std::string ReadHostFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    throw CommandError("cannot read '" + path +
                       "' (a file of this computer; use "
                       "--machine-path for a file on the machine)");
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The machine's code page, display modes and special desktop icons, for the checks that
// depend on them.
catalogue::MachineFacts FactsOf(platform::Platform& machine) {
  catalogue::MachineFacts facts;
  const std::uint32_t codePage = machine.system().AnsiCodePage();
  facts.codePageHolds = [codePage](std::string_view text) {
    std::string bytes;
    return platform::EncodeCodePage(codePage, text, &bytes);
  };
  platform::DisplayMode mode;
  for (std::uint32_t n = 0; machine.display().ModeSettings(n, &mode); ++n) {
    facts.displayModes.push_back(
        {static_cast<long>(mode.pelsWidth), static_cast<long>(mode.pelsHeight),
         static_cast<long>(mode.bitsPerPel), static_cast<long>(mode.displayFrequency)});
  }
  // The special icons as the component lists them, unprotected: read from the shell's values,
  // without the store. Nothing is logged or written.
  util::Log log(machine, "C:\\");
  util::Log::Mute mute(log);
  const std::string noStore;
  desktop::SpecialIcons specials(log, noStore);
  specials.LoadFilteringList();
  desktop::IconList icons;
  specials.LoadSpecialIcons(icons, false);
  for (const auto& icon : icons) facts.specialIcons.push_back(icon.diFileName);
  return facts;
}

std::string_view SeverityName(catalogue::Severity severity) {
  return severity == catalogue::Severity::kError ? "error" : "warning";
}

// "UsedAccess DriveSettings: " for a row, "UsedAccess: " for a section, "" for the file.
std::string Place(const catalogue::LintFinding& f) {
  if (f.section.empty()) return {};
  return f.section + (f.id.empty() ? "" : " " + VisibleText(f.id)) + ": ";
}

// Sections and row counts, as the document loads; problems the linter does not cover
// (start program and icon lists) follow as notes.
void PrintSummary(const CheckOptions& options, const xml::Document& doc,
                  catalogue::DocumentKind kind) {
  const catalogue::DocumentSummary summary = catalogue::SummarizeDocument(doc);
  std::cout << options.path << ": " << catalogue::CompositionOf(kind).name << " document ("
            << (options.kind.empty() ? "guessed from its sections" : "as --kind says") << ")"
            << ", encoding "
            << (summary.encoding.empty() ? "UTF-8 (none declared)" : summary.encoding)
            << ", SpecVersion " << (summary.specVersion.empty() ? "(none)" : summary.specVersion)
            << "\n";
  std::vector<TableRow> rows;
  for (const catalogue::SectionSummary& s : summary.sections) rows.push_back({s.name, Counts(s)});
  std::cout << FormatTable(rows, 2);
}

void PrintParseError(const xml::ParseError& e) {
  std::cout << "Err (errorCode) -> " << e.errorCode << "\n"
            << "Err (filepos) -> " << e.filepos << "\n"
            << "Err (Line) -> " << e.line << "\n"
            << "Err (linepos) -> " << e.linepos << "\n"
            << "Err (reason) -> " << VisibleText(e.reason) << "\n"
            << "Err (srcText) -> " << VisibleText(e.srcText) << "\n"
            << "Err (URL) -> " << VisibleText(e.url) << "\n";
}

std::string FindingsJson(const CheckOptions& options,
                         const std::vector<catalogue::LintFinding>& findings, int status) {
  std::string list = "[";
  for (const catalogue::LintFinding& f : findings) {
    if (list.size() > 1) list += ",\n  ";
    list += JsonObject()
                .Text("severity", SeverityName(f.severity))
                .Field("line", std::to_string(f.line))
                .Field("column", std::to_string(f.column))
                .Text("section", f.section)
                .Text("id", f.id)
                .Text("message", f.message)
                .str();
  }
  return JsonObject()
             .Text("file", options.path)
             .Field("status", std::to_string(status))
             .Field("findings", list + "]")
             .str() +
         "\n";
}

void RunCheck(HostContext& context, const CheckOptions& options) {
  std::string bytes;
  if (options.machinePath) {
    const platform::Status status = context.platform().files().ReadAll(options.path, &bytes);
    if (status != platform::kErrorSuccess) {
      throw CommandError("cannot read '" + options.path + "' on the machine (Windows error " +
                         std::to_string(status) + ")");
    }
  } else {
    bytes = ReadHostFile(options.path);
  }
  std::optional<catalogue::DocumentKind> kind;
  if (options.kind == "window") kind = catalogue::DocumentKind::kWinConfig;
  if (options.kind == "system") kind = catalogue::DocumentKind::kSysConfig;
  if (options.kind == "legacy") kind = catalogue::DocumentKind::kLegacy;
  if (options.kind == "manager") kind = catalogue::DocumentKind::kManager;
  const std::vector<catalogue::LintFinding> findings =
      catalogue::LintDocument(bytes, FactsOf(context.platform()), kind);
  const int status = catalogue::LintStatus(findings);
  if (options.json) {
    std::cout << FindingsJson(options, findings, status);
    throw CommandExit(status);
  }
  xml::Document doc;
  std::string utf8;
  std::optional<xml::ParseError> fault = xml::DecodeDocumentBytes(bytes, &utf8);
  if (!fault && !doc.loadXML(utf8)) fault = doc.parseError();
  const bool empty = catalogue::IsEmptyDocument(bytes);
  if (fault && !empty) {
    fault->url = options.path;
    PrintParseError(*fault);
  } else if (!fault) {
    PrintSummary(options, doc, kind ? *kind : catalogue::GuessDocumentKind(doc));
  }
  for (const catalogue::LintFinding& f : findings) {
    // The seven fields above already say why the file does not load.
    if (fault && !empty && f.severity == catalogue::Severity::kError) continue;
    std::cout << options.path << ":" << f.line << ":" << f.column << ": "
              << SeverityName(f.severity) << ": " << Place(f) << VisibleText(f.message) << "\n";
  }
  if (empty) {
    std::cerr << "davhost: '" << options.path
              << "' is an empty document; the component would neither apply nor save it\n";
  } else if (status == 2 && fault) {
    std::cerr << "davhost: '" << options.path
              << "' does not load; the component would neither apply nor save it\n";
  } else if (status != 0) {
    std::size_t errors = 0;
    for (const catalogue::LintFinding& f : findings)
      errors += f.severity == catalogue::Severity::kError;
    std::cerr << "davhost: " << Plural(errors, "error") << ", "
              << Plural(findings.size() - errors, "warning") << " in '" << options.path << "'\n";
  }
  throw CommandExit(status);
}

// A document file of this computer, decoded and parsed as the component would.
xml::Document LoadHostDocument(const std::string& path) {
  std::string utf8;
  xml::Document doc;
  std::optional<xml::ParseError> fault = xml::DecodeDocumentBytes(ReadHostFile(path), &utf8);
  if (!fault && !doc.loadXML(utf8)) fault = doc.parseError();
  if (fault) {
    std::cerr << "davhost: '" << path << "' does not load: line " << fault->line << ", column "
              << fault->linepos << ": " << VisibleText(fault->reason) << "\n";
    throw CommandExit(2);
  }
  return doc;
}

std::string Shown(const std::optional<std::string>& value) {
  return value ? "\"" + VisibleText(*value) + "\"" : "(none)";
}

void RunDiff(const std::string& first, const std::string& second) {
  const std::vector<catalogue::EntryDifference> differences =
      catalogue::DiffDocuments(LoadHostDocument(first), LoadHostDocument(second));
  for (const catalogue::EntryDifference& d : differences) {
    std::cout << d.place << (d.id.empty() ? "" : " " + VisibleText(d.id)) << ": ";
    if (!d.second) {
      std::cout << "only in " << first << " (" << Shown(d.first) << ")\n";
    } else if (!d.first) {
      std::cout << "only in " << second << " (" << Shown(d.second) << ")\n";
    } else {
      std::cout << Shown(d.first) << " -> " << Shown(d.second) << "\n";
    }
  }
  throw CommandExit(differences.empty() ? 0 : 1);
}

void RunReference(const std::string& name, bool json) {
  std::vector<const catalogue::SectionRows*> sections;
  for (const catalogue::SectionRows* section : catalogue::AllSectionRows()) {
    if (name.empty() || section->name == name) sections.push_back(section);
  }
  if (sections.empty()) {
    std::string known;
    for (const catalogue::SectionRows* section : catalogue::AllSectionRows()) {
      known += (known.empty() ? "" : ", ") + std::string(section->name);
    }
    throw CommandError("no section '" + name + "' in the reference (sections: " + known + ")");
  }
  if (json) {
    std::cout << "[";
    for (std::size_t i = 0; i < sections.size(); ++i) {
      std::cout << (i ? ",\n " : "") << ReferenceJson(*sections[i]);
    }
    std::cout << "]\n";
    return;
  }
  for (std::size_t i = 0; i < sections.size(); ++i) {
    std::cout << (i ? "\n" : "") << ReferenceText(*sections[i]);
  }
}

}  // namespace

void AddDocCommands(CLI::App& app, HostContext& context) {
  CLI::App* doc = app.add_subcommand("doc", "Look up, check and compare configuration documents");
  doc->require_subcommand(1);

  auto check = std::make_shared<CheckOptions>();
  CLI::App* checkCommand = doc->add_subcommand(
      "check",
      "Check a document before it is applied: parse errors, and for every row what will not do "
      "what it says (line:column, section, row ID). Exit 0 clean, 1 warnings, 2 errors (the "
      "file does not load, or an applier would stop)");
  checkCommand->add_option("FILE", check->path, "The document (.qsf), a file of this computer")
      ->required();
  checkCommand->add_flag("--machine-path", check->machinePath,
                         "FILE is a Windows path on the machine (C:\\...)");
  checkCommand->add_flag("--json", check->json, "Print the findings as JSON");
  checkCommand
      ->add_option("--kind", check->kind,
                   "Check it as this kind of document: window (APL_WINCONF), system "
                   "(APL_SYSCONF), legacy (the older document of APL_PREVWS and davhost "
                   "legacy) or manager (WinAdmin.qsf); default: guessed from its sections, and "
                   "said in the first line")
      ->check(CLI::IsMember({"window", "system", "legacy", "manager"}));
  checkCommand->callback([&context, check] { RunCheck(context, *check); });

#if DAV_PLATFORM_SIM
  AddDocNewCommand(*doc, context);
#endif

  auto section = std::make_shared<std::string>();
  auto json = std::make_shared<bool>(false);
  CLI::App* reference = doc->add_subcommand(
      "reference",
      "Print the sections a document may hold, their rows, what each row does and its values");
  reference->add_option("SECTION", *section, "Only this section (UsedAccess, StartMenu ...)");
  reference->add_flag("--json", *json, "Print it as JSON");
  reference->callback([section, json] { RunReference(*section, *json); });

  auto files = std::make_shared<std::pair<std::string, std::string>>();
  CLI::App* diff = doc->add_subcommand(
      "diff",
      "Compare two documents row by row (section, ID, value in A -> value in B; rows only in "
      "one), ignoring layout, encoding, row order and the letter case of IDs. Exit 0 when they "
      "are equal, 1 when they differ, 2 when one does not load");
  diff->add_option("A", files->first, "The first document, a file of this computer")->required();
  diff->add_option("B", files->second, "The second document, a file of this computer")->required();
  diff->callback([files] { RunDiff(files->first, files->second); });
}

}  // namespace dav::host
