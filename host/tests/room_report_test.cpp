// davhost room report end to end: real reports of simulated PCs put on one page, and the
// report files it refuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "host/tests/davhost_runner.h"

namespace dav::host::testing {
namespace {

namespace fs = std::filesystem;

const std::string kSystemPolicies =
    "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The cells of the overview table's row (0 the heading), without their markup.
std::vector<std::string> OverviewRow(const std::string& page, int row) {
  std::size_t at = page.find("<table class=\"room\">");
  for (int i = 0; i <= row && at != std::string::npos; ++i) at = page.find("<tr>", at + 1);
  std::vector<std::string> cells;
  if (at == std::string::npos) return cells;
  const std::size_t end = page.find("</tr>", at);
  for (std::size_t open = page.find("<t", at + 4); open < end; open = page.find("<t", open + 1)) {
    const std::size_t text = page.find('>', open) + 1;
    std::string cell = page.substr(text, page.find("</t", text) - text);
    if (cell.starts_with("<a "))
      cell = cell.substr(cell.find('>') + 1, cell.find("</a>") - cell.find('>') - 1);
    const bool drift = page.substr(open, text - open).find("drift") != std::string::npos;
    cells.push_back(drift ? "!" + cell : cell);
  }
  return cells;
}

class RoomReportTest : public MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    fs::create_directory(folder_.path() / "reports");
    for (const char* doc : {"SysConfig", "WinConfig"}) {
      Ok({"handle", std::string("APL_") + (doc[0] == 'S' ? "SYSCONF" : "WINCONF"), "--doc",
          std::string(DAV_EXAMPLES_DIR) + "/" + doc + ".qsf", "--restart", "False", "--quiet"});
    }
  }
  // The machine's report --json as reports/<name>.json.
  std::string Report(const std::string& name) {
    const std::string json = Ok({"report", "--json"});
    std::ofstream(folder_.path() / "reports" / (name + ".json"), std::ios::binary) << json;
    return json;
  }
  RunResult Room(std::vector<std::string> inputs) {
    inputs.insert(inputs.begin(), {"room", "report", "--html", Page()});
    return RunDavhost(inputs);
  }
  std::string Page() const { return (folder_.path() / "room.html").string(); }
  std::string Reports() const { return (folder_.path() / "reports").string(); }
};

TEST_F(RoomReportTest, OneRowPerPcOneColumnPerSectionAndEachPcsDriftBelow) {
  Report("a-pc");
  // Two policy rows of one section and a desktop icon drift on the second PC, whose name
  // Windows keeps in its registry; the first is in step and named by its file.
  Ok({"reg", "set", kSystemPolicies, "DisableRegistryTools", "REG_DWORD", "0"});
  Ok({"reg", "set", kSystemPolicies, "DisableTaskMgr", "REG_DWORD", "0"});
  Ok({"fs", "put", HostFile("icon", "icon"),
      "C:\\Documents and Settings\\user\\바탕 화면\\game.lnk"});
  Ok({"reg", "set", "HKLM\\SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName",
      "ComputerName", "REG_SZ", "<b>Lab & \"2\"</b>"});
  Report("b-pc");
  ASSERT_EQ(Room({Reports()}).exitCode, 0);
  const std::string page = ReadFile(Page());

  const std::vector<std::string> heading = OverviewRow(page, 0);
  const std::vector<std::string> first = OverviewRow(page, 1);
  const std::vector<std::string> second = OverviewRow(page, 2);
  ASSERT_EQ(first.size(), heading.size()) << page;
  ASSERT_EQ(second.size(), heading.size()) << page;
  EXPECT_EQ(first[0], "a-pc");
  EXPECT_EQ(first[2], "in step");
  EXPECT_EQ(second[0], "&lt;b&gt;Lab &amp; &quot;2&quot;&lt;/b&gt;");
  EXPECT_EQ(second[2], "!3 drifted");
  for (std::size_t column = 4; column < heading.size(); ++column) {
    const std::string& cell = second[column];
    if (heading[column] == "UsedAccess") {
      EXPECT_EQ(cell, "!2");
    } else if (heading[column] == "Icons") {
      EXPECT_EQ(cell, "!1");
    } else {
      EXPECT_EQ(cell, "0") << heading[column];
    }
    EXPECT_EQ(first[column], "0") << heading[column];
  }
  EXPECT_NE(std::find(heading.begin(), heading.end(), "UsedAccess"), heading.end()) << page;
  // Details without a click: the second PC's rows and icon are on the page.
  EXPECT_NE(page.find("<td>UsedAccess</td><td>TaskManager</td>"), std::string::npos) << page;
  EXPECT_NE(page.find("<td>game.lnk</td>"), std::string::npos) << page;
  EXPECT_EQ(page.find("<b>"), std::string::npos);
  EXPECT_EQ(page.find("<script"), std::string::npos);
  EXPECT_EQ(page.find("http"), std::string::npos) << "the page links nothing outside";
}

TEST_F(RoomReportTest, ThePcsLoggedErrorsReachItsRowAndDetails) {
  // Without the protocol's second field the component stops after applying and logs why.
  EXPECT_EQ(Run({"handle", "APL_SYSCONF", "--doc", std::string(DAV_EXAMPLES_DIR) + "/SysConfig.qsf",
                 "--quiet"})
                .exitCode,
            4);
  const std::string line =
      "[err:CCDavIrizevez.IClientComponent_Handle] line 50, 9, Subscript out of range";
  EXPECT_NE(Report("pc").find("\"log_errors\":[\"" + line + "\"]}"), std::string::npos)
      << "the one error line, without the log's time stamp";
  ASSERT_EQ(Room({Reports()}).exitCode, 0);
  const std::string page = ReadFile(Page());
  EXPECT_EQ(OverviewRow(page, 1)[3], "!1");
  EXPECT_NE(page.find("<pre class=\"bad\">" + line + "</pre>"), std::string::npos) << page;
}

TEST_F(RoomReportTest, FortyPcsFitOnOnePageUnderOneMegabyte) {
  Ok({"reg", "set", kSystemPolicies, "DisableTaskMgr", "REG_DWORD", "0"});
  const std::string json = Report("template");
  fs::remove(folder_.path() / "reports" / "template.json");
  for (int pc = 1; pc <= 40; ++pc) {
    std::ofstream(folder_.path() / "reports" / ("pc" + std::to_string(100 + pc) + ".json"),
                  std::ios::binary)
        << json;
  }
  ASSERT_EQ(Room({Reports()}).exitCode, 0);
  const std::string page = ReadFile(Page());
  EXPECT_LT(page.size(), 1000000u);
  EXPECT_EQ(Count(page, "<td class=\"drift\">1 drifted</td>"), 40);
  EXPECT_EQ(OverviewRow(page, 40)[0], "pc140");
}

TEST_F(RoomReportTest, AReportFileItCannotUseStopsItWithOneLineNamingTheFile) {
  const std::string good = (folder_.path() / "reports" / "good.json").string();
  Report("good");
  std::ofstream(Page()) << "the page before";
  struct Case {
    const char* what;
    std::string file;
    const char* text;  // nullptr: no such file
  };
  const std::string empty = (folder_.path() / "empty").string();
  fs::create_directory(empty);
  const std::string json = ReadFile(good);
  std::string noRows = json;
  noRows.replace(noRows.find("\"rows\""), 6, "\"rowz\"");
  for (const Case& c : {Case{"missing", HostFile("gone.json", ""), nullptr},
                        Case{"not JSON", HostFile("text.json", "PC1: in step"), ""},
                        Case{"not a report", HostFile("array.json", "[1, 2]"), ""},
                        Case{"without rows", HostFile("norows.json", noRows), ""},
                        Case{"wrong type", HostFile("type.json", "{\"drift\": \"yes\"}"), ""},
                        Case{"folder without reports", empty, ""}}) {
    if (!c.text) fs::remove(c.file);
    const RunResult r = Room({good, c.file});
    ExpectOneErrorLine(r, c.what);
    EXPECT_EQ(r.exitCode, 2) << c.what;
    EXPECT_NE(r.err.find(fs::path(c.file).filename().string()), std::string::npos) << r.err;
  }
  EXPECT_EQ(ReadFile(Page()), "the page before");
  for (const auto& entry : fs::directory_iterator(folder_.path())) {
    EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
  }
}

}  // namespace
}  // namespace dav::host::testing
