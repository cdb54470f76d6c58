#include "host/room_reports.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <nlohmann/json.hpp>

#include "host/host_files.h"

namespace dav::host {
namespace {

using nlohmann::json;

class ReportReader {
 public:
  explicit ReportReader(const std::string& file) : file_(file) {}

  [[noreturn]] void NotAReport(const std::string& why) const {
    throw BadReportFile("'" + file_ + "' is not a davhost report: " + why);
  }

  // A member that must be there, of the type is checks.
  const json& Member(const json& object, const char* name, bool (json::*is)() const noexcept,
                     const char* what) const {
    const auto found = object.find(name);
    if (found == object.end() || !((*found).*is)()) {
      NotAReport(std::string("\"") + name + "\" is missing or not " + what);
    }
    return *found;
  }

  std::string Text(const json& object, const char* name) const {
    return Member(object, name, &json::is_string, "a text").get<std::string>();
  }

  // Each element of an array member; every element must be an object.
  void EachObject(const json& object, const char* name,
                  const std::function<void(const json&)>& take) const {
    for (const json& element : Member(object, name, &json::is_array, "a list")) {
      if (!element.is_object()) NotAReport(std::string("\"") + name + "\" holds a non-object");
      take(element);
    }
  }

 private:
  const std::string& file_;
};

std::string NameOfFile(const std::string& file) {
  std::string name = HostPathText(HostPath(file).filename());
  if (name.ends_with(".json")) name.resize(name.size() - 5);
  return name;
}

}  // namespace

PcReport ParseReport(const std::string& file, const std::string& text) {
  json doc;
  try {
    doc = json::parse(text);
  } catch (const json::parse_error& e) {
    throw BadReportFile("'" + file + "' is not JSON (byte " + std::to_string(e.byte) + ")");
  }
  const ReportReader read(file);
  if (!doc.is_object()) read.NotAReport("not an object");
  const json& drift = read.Member(doc, "drift", &json::is_object, "an object");

  PcReport report;
  report.file = file;
  // Reports written before they named the computer and the time have neither.
  if (doc.contains("computer")) report.name = read.Text(doc, "computer");
  if (report.name.empty()) report.name = NameOfFile(file);
  report.time = doc.contains("time") ? read.Text(doc, "time") : "-";

  DriftResult& d = report.drift;
  read.EachObject(drift, "documents", [&](const json& o) {
    d.documents.push_back({read.Text(o, "file"), read.Text(o, "state")});
  });
  read.EachObject(drift, "rows", [&](const json& o) {
    d.rows.push_back({read.Text(o, "section"), read.Text(o, "id"), read.Text(o, "meaning"),
                      read.Text(o, "applied"), read.Text(o, "now")});
  });
  read.EachObject(drift, "icons", [&](const json& o) {
    d.icons.push_back({read.Text(o, "where"), read.Text(o, "file"), read.Text(o, "state"),
                       read.Text(o, "next_start")});
  });
  read.EachObject(drift, "run_entries", [&](const json& o) {
    d.runEntries.push_back({read.Text(o, "key"), read.Text(o, "name"), read.Text(o, "command"),
                            read.Text(o, "next_start")});
  });
  read.EachObject(doc, "sections", [&](const json& o) {
    const std::string section = read.Text(o, "section");
    const bool known = std::any_of(d.current.begin(), d.current.end(),
                                   [&](const CurrentRow& row) { return row.section == section; });
    if (!known) d.current.push_back({section, "", "", ""});
  });
  for (const json& line : read.Member(doc, "log_errors", &json::is_array, "a list")) {
    if (!line.is_string()) read.NotAReport("\"log_errors\" holds a non-text");
    report.errors.push_back(line.get<std::string>());
  }
  d.anyRead = std::any_of(d.documents.begin(), d.documents.end(),
                          [](const SavedDocument& doc) { return doc.state == "compared"; });
  return report;
}

std::vector<PcReport> ReadReports(const std::vector<std::string>& paths) {
  std::vector<std::string> files;
  for (const std::string& path : paths) {
    std::error_code ec;
    if (!std::filesystem::is_directory(HostPath(path), ec)) {
      files.push_back(path);
      continue;
    }
    std::vector<std::string> inFolder;
    for (const auto& entry : std::filesystem::directory_iterator(HostPath(path), ec)) {
      const std::string name = HostPathText(entry.path().filename());
      if (name.ends_with(".json") && !entry.is_directory()) {
        inFolder.push_back(HostPathText(entry.path()));
      }
    }
    if (ec) throw BadReportFile("cannot read the folder '" + path + "': " + ec.message());
    if (inFolder.empty()) throw BadReportFile("the folder '" + path + "' holds no *.json report");
    std::sort(inFolder.begin(), inFolder.end());
    files.insert(files.end(), inFolder.begin(), inFolder.end());
  }
  std::vector<PcReport> reports;
  for (const std::string& file : files) {
    std::string text, error;
    if (!ReadHostFile(file, &text, &error)) throw BadReportFile(error);
    reports.push_back(ParseReport(file, text));
  }
  return reports;
}

}  // namespace dav::host
