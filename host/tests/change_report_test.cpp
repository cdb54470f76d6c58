// What davhost says a command did (the change report after handle) and would do (plan, on a
// throw-away copy of the machine), end to end.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "host/tests/davhost_runner.h"

namespace dav::host::testing {
namespace {

const std::string kExamples = DAV_EXAMPLES_DIR;

std::string Line(const std::string& text, const std::string& start) {
  const std::size_t at = text.find(start);
  if (at == std::string::npos) return "<none>";
  return text.substr(at, text.find('\n', at) - at);
}

class ChangeReportTest : public MachineTest {
 protected:
  // Every file of the machine folder with its bytes.
  std::map<std::string, std::string> MachineBytes() {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder_.path() / "m")) {
      if (!entry.is_regular_file()) continue;
      std::ifstream in(entry.path(), std::ios::binary);
      files[entry.path().string()] = {std::istreambuf_iterator<char>(in), {}};
    }
    return files;
  }
};

TEST_F(ChangeReportTest, AnErrorNamesItsSectionRowAndTheRowsThenSkipped) {
  // The component's folders and stores made first, so that only the document's changes
  // remain.
  Ok({"handle", "REQ_SYSCONF", "--quiet"});
  const std::string doc = HostFile(
      "stop.qsf",
      "<DocRoot><Configuration><UsedAccess><Row ID=\"CmdPrompt\" Value=\"1\" />"
      "<Row ID=\"NoDrives\" Value=\"1\" /><Row ID=\"DriveSettings\" Value=\"111\" />"
      "<Row ID=\"TaskManager\" Value=\"1\" /><Row ID=\"Display\" Value=\"1\" /></UsedAccess>"
      "</Configuration></DocRoot>");
  const RunResult r = Run({"handle", "APL_SYSCONF", "--doc", doc, "--restart", "False"});
  EXPECT_NE(r.err.find("davhost: error: UsedAccess DriveSettings: [err:modDavIrizevez."
                       "GetXMLUsedAccess] line 90, 13, Type mismatch. Not applied: TaskManager, "
                       "Display.\n"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(Line(r.err, "davhost: changes:"),
            "davhost: changes: 2 values set, 0 deleted, 2 keys created, 1 file changed, 0 ini "
            "entries")
      << "DisableCMD and its key in both hives, and SysConfig.qsf";

  // A failure on the section's last row: nothing is left to skip.
  const std::string last =
      HostFile("last.qsf",
               "<DocRoot><Configuration><UsedAccess><Row ID=\"CmdPrompt\" Value=\"1\" />"
               "<Row ID=\"NoDrives\" Value=\"1\" /><Row ID=\"DriveSettings\" Value=\"111\" />"
               "</UsedAccess></Configuration></DocRoot>");
  const RunResult atEnd = Run({"handle", "APL_SYSCONF", "--doc", last, "--restart", "False"});
  EXPECT_NE(atEnd.err.find("davhost: error: UsedAccess DriveSettings: [err:modDavIrizevez."
                           "GetXMLUsedAccess] line 90, 13, Type mismatch\n"),
            std::string::npos)
      << atEnd.err;

  const RunResult quiet =
      Run({"handle", "APL_SYSCONF", "--doc", doc, "--restart", "False", "--quiet"});
  EXPECT_EQ(Line(quiet.err, "davhost: changes:"), "<none>");
  EXPECT_NE(quiet.err.find("davhost: error: UsedAccess DriveSettings:"), std::string::npos)
      << "errors are still reported";
}

// Protected folders rewritten with fewer paths: the paths no longer there are named as gone.
TEST_F(ChangeReportTest, FolderAccessRewrittenWithFewerPathsNamesThePathsGone) {
  const auto document = [&](const std::string& name, const std::string& paths) {
    return HostFile(name,
                    "<DocRoot><Configuration><FolderAccess><Row ID=\"FolderAccess\" "
                    "Value=\"1\" /><Row ID=\"Path\" Value=\"" +
                        paths +
                        "\" /><Row ID=\"LowAccess\" Value=\"0\" /></FolderAccess>"
                        "</Configuration></DocRoot>");
  };
  Ok({"handle", "APL_SYSCONF", "--doc", document("three.qsf", "C:\\\\A|C:\\\\B|C:\\\\C"),
      "--restart", "False", "--quiet"});
  const RunResult r = Run({"handle", "APL_SYSCONF", "--doc", document("one.qsf", "C:\\\\A"),
                           "--restart", "False", "--verbose"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(Line(r.err, "davhost: changes:").find(", 2 ini entries"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("[value] 2  \"QzpcQw==\" -> (none)"), std::string::npos) << "C:\\C is gone\n"
                                                                                << r.err;
}

TEST_F(ChangeReportTest, PlanListsWhatApplyingThenDoesAndLeavesTheMachineAlone) {
  for (const std::string name : {"SysConfig", "WinConfig"}) {
    const std::string command = name == "SysConfig" ? "APL_SYSCONF" : "APL_WINCONF";
    const std::string doc = kExamples + "/" + name + ".qsf";
    const auto before = MachineBytes();
    const std::string plan = Ok({"plan", command, "--doc", doc, "--restart", "True"});
    const auto after = MachineBytes();
    EXPECT_EQ(after.size(), before.size()) << "plan added or removed files of the machine";
    for (const auto& [file, bytes] : before) {
      EXPECT_TRUE(after.count(file) && after.at(file) == bytes) << "plan changed " << file;
    }
    EXPECT_NE(plan.find("(none) -> 0x00000001 (1)"), std::string::npos) << plan;

    const RunResult apply = Run({"handle", command, "--doc", doc, "--restart", "True"});
    EXPECT_EQ(Line(apply.err, "davhost: changes:"), Line(plan, "davhost: changes:"))
        << name << ": the plan's counts are what applying did";
    const std::string again = Ok({"plan", command, "--doc", doc, "--restart", "True"});
    EXPECT_EQ(Line(again, "davhost: changes:")
                  .rfind("davhost: changes: 0 values set, 0 deleted, "
                         "0 keys created, ",
                         0),
              0u)
        << name << ": after applying, the registry is as the plan said\n"
        << again;
  }
}

// handle names each change with --verbose and in its JSON document; plain, the one line of
// counts stays.
TEST_F(ChangeReportTest, VerboseAndJsonNameWhatChanged) {
  const std::string doc = kExamples + "/SysConfig.qsf";
  const std::string cmdKey = "HKEY_CURRENT_USER\\Software\\Policies\\Microsoft\\Windows\\System";
  RunResult r = Run({"handle", "APL_SYSCONF", "--doc", doc, "--restart", "True", "--verbose"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  const std::string row = Line(r.err, "  " + cmdKey + " ");
  EXPECT_NE(row.find("DisableCMD"), std::string::npos) << r.err;
  EXPECT_NE(row.find("(none) -> 0x00000001 (1)"), std::string::npos) << row;
  EXPECT_NE(r.err.find("C:\\WINDOWS\\explorer.exe ("), std::string::npos) << r.err;

  Ok({"reg", "set", "HKCU\\Software\\Policies\\Microsoft\\Windows\\System", "DisableCMD",
      "REG_DWORD", "0"});
  r = Run({"handle", "APL_SYSCONF", "--doc", doc, "--restart", "False"});
  EXPECT_EQ(r.err.find(cmdKey), std::string::npos) << "no names without --verbose:\n" << r.err;
  EXPECT_EQ(Line(r.err, "davhost: changes:").rfind("davhost: changes: 1 value set, ", 0), 0u)
      << r.err;

  Ok({"reg", "set", "HKCU\\Software\\Policies\\Microsoft\\Windows\\System", "DisableCMD",
      "REG_DWORD", "0"});
  r = Run({"handle", "APL_SYSCONF", "--doc", doc, "--restart", "False", "--json"});
  std::string jsonKey;  // as JSON escapes it
  for (const char c : cmdKey) jsonKey += c == '\\' ? std::string("\\\\") : std::string(1, c);
  EXPECT_NE(r.out.find("{\"key\":\"" + jsonKey +
                       "\",\"name\":\"DisableCMD\",\"before\":{"
                       "\"type\":\"REG_DWORD\",\"data\":\"0x00000000 (0)\"},\"after\":{"
                       "\"type\":\"REG_DWORD\",\"data\":\"0x00000001 (1)\"}}"),
            std::string::npos)
      << r.out;
}

// A value set to the bytes it held counts as set only when its type changes; a value longer
// than a first read takes is reported whole.
TEST_F(ChangeReportTest, AValueWhoseTypeAloneChangesIsSetAndLongValuesAreReadWhole) {
  const std::string doc = kExamples + "/SysConfig.qsf";
  const std::string key = "HKCU\\Software\\Policies\\Microsoft\\Windows\\System";
  Ok({"handle", "APL_SYSCONF", "--doc", doc, "--restart", "True"});
  RunResult r = Run({"handle", "APL_SYSCONF", "--doc", doc, "--restart", "True"});
  EXPECT_EQ(Line(r.err, "davhost: changes:").rfind("davhost: changes: 0 values set, ", 0), 0u)
      << r.err;

  Ok({"reg", "set", key, "DisableCMD", "REG_BINARY", "01 00 00 00"});
  const std::string display = "HKLM\\Software\\quorel\\brisal client";
  Ok({"reg", "set", display, "Display", "REG_SZ", std::string(100, 'x')});
  r = Run({"handle", "APL_SYSCONF", "--doc", doc, "--restart", "True", "--verbose"});
  EXPECT_EQ(Line(r.err, "davhost: changes:").rfind("davhost: changes: 2 values set, ", 0), 0u)
      << r.err;
  const std::string row = Line(r.err, "  HKEY_LOCAL_MACHINE\\Software\\quorel\\brisal client ");
  EXPECT_NE(row.find(std::string(100, 'x') + " -> 800 x 600*"), std::string::npos) << row;
  EXPECT_NE(Line(r.err, "  HKEY_CURRENT_USER\\Software\\Policies\\Microsoft\\Windows\\System ")
                .find("-> 0x00000001 (1)"),
            std::string::npos)
      << r.err;
}

TEST_F(ChangeReportTest, TheSummaryCountsRunEntriesMovedBetweenLists) {
  const std::string run = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
  Ok({"reg", "set", run, "Alpha", "REG_SZ", "C:\\Alpha.exe"});
  Ok({"startup", "approve"});  // protection on with Alpha
  Ok({"reg", "set", run, "Tool", "REG_SZ", "C:\\Tool.exe"});
  RunResult r = Run({"handle", "APL_PREVWS"});
  EXPECT_EQ(Line(r.err, "davhost: changes:"),
            "davhost: changes: 1 value set, 1 deleted, 0 keys created, 0 files changed, 0 ini "
            "entries, 1 Run entry moved Run key -> off list");
  r = Run({"startup", "approve", "tool"});  // back from the off list, in any letter case
  EXPECT_NE(Line(r.err, "davhost: changes:").find(", 1 Run entry moved off list -> start list"),
            std::string::npos)
      << r.err;
}

}  // namespace
}  // namespace dav::host::testing
