// The reports of many PCs (each the output of davhost report --json, however it was
// collected) read back for the room report.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "host/drift_check.h"

namespace dav::host {

// One PC's report.
struct PcReport {
  std::string file;  // as it was named on the command line or found in a folder
  std::string name;  // the computer's name, or the file's name without ".json" when the
                     // report holds none
  std::string time;  // when the PC wrote it, by its own clock
  // documents, rows, icons and runEntries of the report; current holds one row per section
  // the PC reported (section name only), in the report's order.
  DriftResult drift;
  std::vector<std::string> errors;  // the last error lines of the component's logs
};

// A file that is missing, unreadable, not JSON or not a report: the message names it.
class BadReportFile : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One report from the text of the file named file.
PcReport ParseReport(const std::string& file, const std::string& text);

// The reports of the paths in order: a file is read as one report, a folder gives its
// "*.json" files in name order. A folder without any is an error too.
std::vector<PcReport> ReadReports(const std::vector<std::string>& paths);

}  // namespace dav::host
