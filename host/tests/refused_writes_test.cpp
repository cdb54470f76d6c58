// What davhost tells an administrator after an apply: the writes the machine refused (the
// component goes on without them and logs nothing), the exit code plan foresees, and the
// hints where the component's own words do not help.
#include <gtest/gtest.h>

#include <filesystem>

#include "host/tests/davhost_runner.h"

namespace dav::host::testing {
namespace {

const std::string kSysConfig = DAV_EXAMPLES_DIR "/SysConfig.qsf";
const std::string kComponentFolder = "C:\\Program Files\\brisal client\\Components\\DavIrizevez";

class RefusedWritesTest : public MachineTest {
 protected:
  RunResult ApplySysConfig(const std::vector<std::string>& more = {}) {
    std::vector<std::string> arguments{"handle",   "APL_SYSCONF", "--doc",
                                       kSysConfig, "--restart",   "False"};
    arguments.insert(arguments.end(), more.begin(), more.end());
    return Run(arguments);
  }
};

TEST_F(RefusedWritesTest, EveryFaultOfTheMachineIsExitCode4AndNamesARefusedWrite) {
  RunResult r = ApplySysConfig();
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err.find("refused"), std::string::npos) << r.err;

  // Each fault with what the first named write must show.
  const std::vector<std::pair<std::string, std::string>> faults = {
      {"disk_full", ": registry input/output failed (error 1016)"},
      {"database_busy", ": registry input/output failed (error 1016)"},
      {"rename_fails", "SysConfig.qsf: in use by another process (error 32)"},
      {"read_only:" + kComponentFolder, ": access denied (error 5)"},
  };
  for (const auto& [fault, named] : faults) {
    Ok({"machine", "set", "faults", fault});
    r = ApplySysConfig();
    EXPECT_EQ(r.exitCode, 4) << fault << ":\n" << r.err;
    EXPECT_NE(r.err.find("davhost: warning: the machine refused "), std::string::npos)
        << fault << ":\n"
        << r.err;
    EXPECT_NE(r.err.find(named), std::string::npos) << fault << ":\n" << r.err;
    EXPECT_NE(r.err.find("writes refused\n"), std::string::npos)
        << fault << ": the change report counts them:\n"
        << r.err;
  }

  // The JSON document carries every one, and a session exits as handle does.
  Ok({"machine", "set", "faults", "database_busy"});
  r = ApplySysConfig({"--json"});
  EXPECT_EQ(r.exitCode, 4);
  EXPECT_NE(r.out.find("\"refused_writes\":[{\"write\":\""), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\"exit_code\":4}\n"), std::string::npos) << r.out;
  const std::string input = "APL_SYSCONF\t@" + kSysConfig + "\\x1dFalse\n";
  r = Run({"session"}, &input);
  EXPECT_EQ(r.exitCode, 4) << r.err;
  EXPECT_NE(r.err.find("davhost: warning: refused: "), std::string::npos) << r.err;
}

TEST_F(RefusedWritesTest, PlanExitsAsHandleWouldAndLeavesTheMachineAlone) {
  const std::string partial =
      HostFile("partial.qsf",
               "<?xml version=\"1.0\"?><DocRoot><Configuration><UsedAccess><Row ID=\"CmdPrompt\" "
               "Value=\"abc\" /></UsedAccess></Configuration></DocRoot>");
  const std::vector<std::vector<std::string>> commands = {
      {"APL_SYSCONF", "--doc", kSysConfig, "--restart", "False"},  // good
      {"APL_SYSCONF", "--doc", kSysConfig},                        // no second field
      {"APL_SYSCONF", "--doc", partial, "--restart", "False"},     // a row that fails
      {"REQ_NOTHING"},                                             // unknown
  };
  std::vector<int> codes;
  for (const std::vector<std::string>& command : commands) {
    std::vector<std::string> plan{"plan"};
    plan.insert(plan.end(), command.begin(), command.end());
    const RunResult planned = Run(plan);
    std::vector<std::string> handle{"handle"};
    handle.insert(handle.end(), command.begin(), command.end());
    const RunResult handled = Run(handle);
    EXPECT_EQ(planned.exitCode, handled.exitCode)
        << ::testing::PrintToString(command) << "\nplan:\n"
        << planned.err << "\nhandle:\n"
        << handled.err;
    codes.push_back(handled.exitCode);
  }
  EXPECT_EQ(codes, (std::vector<int>{0, 4, 4, 3})) << "the documents cover each exit code";

  // --json: one document, the changes before the exit code; the machine is not touched.
  Ok({"reg", "delete", "HKCU\\Software\\Policies\\Microsoft\\Windows\\System", "--recursive"});
  const RunResult json =
      Run({"plan", "APL_SYSCONF", "--doc", kSysConfig, "--restart", "False", "--json"});
  EXPECT_EQ(json.exitCode, 0) << json.err;
  EXPECT_EQ(Count(json.out, "\n"), 1) << json.out;
  EXPECT_EQ(json.out.rfind("{\"lifetime\":", 0), 0u) << json.out;
  EXPECT_NE(json.out.find("\"changes\":{\"values\":[{\"key\":"), std::string::npos) << json.out;
  EXPECT_NE(json.out.find("\"name\":\"DisableCMD\",\"before\":null,\"after\":{\"type\":"
                          "\"REG_DWORD\",\"data\":\"0x00000001 (1)\"}"),
            std::string::npos)
      << json.out;
  EXPECT_NE(json.out.find("},\"exit_code\":0}\n"), std::string::npos) << json.out;
  EXPECT_NE(Run({"reg", "get", "HKCU\\Software\\Policies\\Microsoft\\Windows\\System"}).exitCode, 0)
      << "plan changed the machine";
}

// A machine davhost may only read is planned on all the same, snapshots and all.
TEST_F(RefusedWritesTest, PlanWorksOnAReadOnlyMachine) {
  namespace fs = std::filesystem;
  Ok({"machine", "snapshot", "kept"});
  const fs::path machine = folder_.path() / "m";
  fs::permissions(folder_.path(), fs::perms::owner_all | fs::perms::group_read |
                                      fs::perms::group_exec | fs::perms::others_read |
                                      fs::perms::others_exec);
  for (const fs::path& path : {machine, machine / "registry.db"}) {
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
  }
  // Snapshots nobody may read are none of plan's business.
  fs::permissions(machine / "snapshots", fs::perms::all, fs::perm_options::remove);
  const RunResult r = RunDavhostAsNobody({"--machine", machine.string(), "plan", "APL_SYSCONF",
                                          "--doc", kSysConfig, "--restart", "False"});
  fs::permissions(machine / "snapshots", fs::perms::owner_all, fs::perm_options::add);
  fs::permissions(machine, fs::perms::owner_write, fs::perm_options::add);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("DisableCMD"), std::string::npos) << r.out;
}

TEST_F(RefusedWritesTest, HintsWhereTheComponentSaysNothingUseful) {
  // A login with no manager document lifts nothing.
  RunResult r = Run({"handle", "APL_LOGIN"});
  EXPECT_NE(r.err.find("davhost: warning: APL_LOGIN applies the manager's document " +
                       kComponentFolder + "\\WinAdmin.qsf, and there is none"),
            std::string::npos)
      << r.err;
  Ok({"fs", "put", DAV_EXAMPLES_DIR "/WinAdmin.qsf", kComponentFolder});
  r = Run({"handle", "APL_LOGIN"});
  EXPECT_EQ(r.err.find("there is none"), std::string::npos) << r.err;

  // The second field, missing or there.
  r = Run({"handle", "APL_WINCONF", "--doc", DAV_EXAMPLES_DIR "/WinConfig.qsf"});
  EXPECT_NE(r.err.find("APL_WINCONF without the protocol's second field"), std::string::npos)
      << r.err;
  r = Run(
      {"handle", "APL_WINCONF", "--doc", DAV_EXAMPLES_DIR "/WinConfig.qsf", "--restart", "False"});
  EXPECT_EQ(r.err.find("second field"), std::string::npos) << r.err;

  // A display mode the adapter does not offer, once.
  const std::string odd =
      HostFile("odd.qsf",
               "<?xml version=\"1.0\"?><DocRoot><Configuration><WinSkill><DisplayList "
               "DPFirst=\"1366 x 777\" ColorQuality=\"32 bit\" Hz=\"60 Hz\" /></WinSkill>"
               "</Configuration></DocRoot>");
  r = Run({"handle", "APL_WINCONF", "--doc", odd, "--restart", "True"});
  EXPECT_EQ(Count(r.err,
                  "davhost: warning: the display adapter refused the mode 1366 x 777, 32 "
                  "bit, 60 Hz\n"),
            1)
      << r.err;
}

}  // namespace
}  // namespace dav::host::testing
