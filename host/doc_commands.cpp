#include "host/doc_commands.h"

#include <iostream>
#include <memory>

#include "catalogue/document_summary.h"
#include "host/command_error.h"
#include "host/text_table.h"
#include "xml/document.h"

namespace dav::host {
namespace {

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

void RunCheck(HostContext& context, const std::string& path) {
  xml::Document doc;
  if (!doc.load(context.platform().files(), path)) {
    const xml::ParseError& e = doc.parseError();
    std::cout << "Err (errorCode) -> " << e.errorCode << "\n"
              << "Err (filepos) -> " << e.filepos << "\n"
              << "Err (Line) -> " << e.line << "\n"
              << "Err (linepos) -> " << e.linepos << "\n"
              << "Err (reason) -> " << VisibleText(e.reason) << "\n"
              << "Err (srcText) -> " << VisibleText(e.srcText) << "\n"
              << "Err (URL) -> " << VisibleText(e.url) << "\n";
    throw CommandError("'" + path +
                       "' does not load; the component would neither apply nor save it");
  }

  const catalogue::DocumentSummary summary = catalogue::SummarizeDocument(doc);
  std::cout << path << ": "
            << (summary.kind
                    ? std::string(catalogue::CompositionOf(*summary.kind).name) + " document"
                    : std::string("document of no known kind"))
            << ", encoding "
            << (summary.encoding.empty() ? "UTF-8 (none declared)" : summary.encoding)
            << ", SpecVersion " << (summary.specVersion.empty() ? "(none)" : summary.specVersion)
            << "\n";
  std::vector<TableRow> rows;
  for (const catalogue::SectionSummary& s : summary.sections) rows.push_back({s.name, Counts(s)});
  std::cout << FormatTable(rows, 2);
  if (summary.problems.empty()) return;
  std::cout << "problems:\n";
  for (const std::string& problem : summary.problems) std::cout << "  " << problem << "\n";
  throw CommandError(Plural(summary.problems.size(), "problem") + " in '" + path + "'");
}

}  // namespace

void AddDocCommands(CLI::App& app, HostContext& context) {
  CLI::App* doc = app.add_subcommand("doc", "Inspect configuration documents");
  doc->require_subcommand(1);

  auto path = std::make_shared<std::string>();
  CLI::App* check = doc->add_subcommand(
      "check",
      "Load a document file as the component would; print its sections and row counts, or the "
      "seven parse-error fields");
  check->add_option("WINPATH", *path, "Windows path of the document (.qsf)")->required();
  check->callback([&context, path] { RunCheck(context, *path); });
}

}  // namespace dav::host
