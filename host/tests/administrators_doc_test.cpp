// The walk-through for administrators (docs/administrators.md) run as written: its documents
// are written to files, its commands run in order on a new machine, and every output line
// and exit code it shows must be what davhost prints.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "host/tests/davhost_runner.h"

namespace dav::host::testing {
namespace {

const std::string kWalkThrough = std::string(DAV_DOCS_DIR) + "/administrators.md";

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
    text.replace(at, from.size(), to);
    at += to.size();
  }
  return text;
}

struct Example {
  std::vector<std::string> arguments;
  std::vector<std::string> expected;  // lines, "..." left out
  int exitCode = -1;                  // -1: not shown
};

class AdministratorsDocTest : public MachineTest {};

TEST_F(AdministratorsDocTest, EveryExampleRunsAsShown) {
  std::ifstream in(kWalkThrough);
  ASSERT_TRUE(in) << kWalkThrough;
  const std::vector<std::string> lines = Lines({std::istreambuf_iterator<char>(in), {}});
  std::map<std::string, std::string> files;  // name in the text -> file of this computer
  std::string lastFileName;
  std::size_t examples = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    for (const char* ending : {".qsf`", ".txt`"}) {
      if (const std::size_t at = lines[i].find(ending); at != std::string::npos) {
        const std::size_t start = lines[i].rfind('`', at);
        lastFileName = lines[i].substr(start + 1, at + 4 - start - 1);
      }
    }
    // A document (xml) or an editor script (text) named just before it.
    if (lines[i] == "```xml" || lines[i] == "```text") {
      std::string text;
      for (++i; lines[i] != "```"; ++i) text += lines[i] + "\n";
      files[lastFileName] = HostFile(lastFileName, text);
      continue;
    }
    if (lines[i] != "```console") continue;
    std::vector<Example> block;
    for (++i; lines[i] != "```"; ++i) {
      const std::string& line = lines[i];
      if (line.starts_with("$ davhost ")) {
        Example example;
        std::istringstream words(line.substr(10));
        for (std::string word; words >> word;) {
          if (word.ends_with(".qsf") && !files.count(word)) {
            // A file the command makes, in the test's folder.
            files[word] = (folder_.path() / word).string();
          }
          const std::string script = word.starts_with("script:") ? word.substr(7) : "";
          example.arguments.push_back(files.count(word)     ? files[word]
                                      : files.count(script) ? "script:" + files[script]
                                                            : word);
        }
        block.push_back(std::move(example));
      } else if (line.starts_with("[exit ")) {
        block.back().exitCode = std::stoi(line.substr(6));
      } else if (line != "...") {
        block.back().expected.push_back(line);
      }
    }
    for (const Example& example : block) {
      ++examples;
      const RunResult r = Run(example.arguments);
      std::string out = r.out;
      std::string err = r.err;
      for (const auto& [name, path] : files) {
        out = ReplaceAll(out, path, name);
        err = ReplaceAll(err, path, name);
      }
      const std::vector<std::string> printed = Lines(out + err);
      const std::string command = "davhost " + example.arguments[0] + " " + example.arguments[1];
      for (const std::string& line : example.expected) {
        EXPECT_NE(std::find(printed.begin(), printed.end(), line), printed.end())
            << command << " does not print:\n"
            << line << "\nbut:\n"
            << out << err;
      }
      if (example.exitCode >= 0) {
        EXPECT_EQ(r.exitCode, example.exitCode) << command;
      }
    }
  }
  EXPECT_GE(examples, 5u) << "the walk-through lost its examples";
}

}  // namespace
}  // namespace dav::host::testing
