// Machine snapshots: an administrator tries a lock-down, sees what it changed, and goes back;
// a restore that is cut off leaves either the old or the restored machine.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "host/tests/davhost_runner.h"
#include "host/utf16.h"

namespace dav::host::testing {
namespace {

class SnapshotTest : public MachineTest {
 protected:
  void SetUp() override {
    MachineTest::SetUp();
    Ok({"fs", "mkdir", "C:\\Data"});
    Ok({"fs", "put", HostFile("a.txt", "one"), "C:\\Data"});
    Ok({"fs", "put", HostFile("app.ini", "[Main]\r\nColour=red\r\nSize=1\r\n"), "C:\\Data"});
    Ok({"reg", "set", "HKCU\\Software\\T", "v", "REG_SZ", "처음"});
    Ok({"machine", "snapshot", "before"});
    // The trial: a lock-down, a changed value, files and attributes changed.
    Ok({"handle", "APL_SYSCONF", "--doc", DAV_EXAMPLES_DIR "/SysConfig.qsf", "--restart", "False"});
    Ok({"reg", "set", "HKCU\\Software\\T", "v", "REG_SZ", "나중"});
    Ok({"fs", "put", HostFile("app.ini", "[Main]\r\nColour=blue\r\n"), "C:\\Data"});
    Ok({"fs", "attrib", "C:\\Data\\a.txt", "+R"});
    Ok({"fs", "put", HostFile("b.txt", "two"), "C:\\Data"});
  }

  RunResult RestoreStoppingAt(const char* point) {
    setenv("DAVHOST_TEST_RESTORE_STOP", point, 1);
    RunResult r = Run({"machine", "restore", "before"});
    unsetenv("DAVHOST_TEST_RESTORE_STOP");
    return r;
  }

  // True when the machine is as the snapshot has it.
  bool AsBefore() { return Ok({"machine", "diff", "before"}).empty(); }
};

TEST_F(SnapshotTest, DiffNamesWhatChangedAndRestoreGoesBack) {
  EXPECT_NE(Ok({"machine", "snapshots"}).find("before  "), std::string::npos);
  const std::string diff = Ok({"machine", "diff", "before", "--full"});
  for (const std::string line :
       {"changed  value   HKEY_CURRENT_USER\\Software\\T\\v", "REG_SZ 처음 -> REG_SZ 나중",
        "added    value   HKEY_CURRENT_USER\\Software\\Policies\\Microsoft\\Windows\\System\\"
        "DisableCMD",
        "changed  ini     C:\\Data\\app.ini [Main] Colour", "red -> blue",
        "removed  ini     C:\\Data\\app.ini [Main] Size",
        "changed  file    C:\\Data\\a.txt "
        "(attributes)",
        "----A -> R---A", "added    file    C:\\Data\\b.txt"}) {
    EXPECT_NE(diff.find(line), std::string::npos) << line << " in\n" << diff;
  }
  // Without --full every line fits 100 columns; the long ones are cut in the middle.
  const std::string cut = Ok({"machine", "diff", "before"});
  EXPECT_NE(
      cut.find("added    value   HKEY_CURRENT_USE\u2026crosoft\\Windows\\System\\DisableCMD  "),
      std::string::npos)
      << cut;
  for (std::size_t start = 0; start < cut.size();) {
    const std::size_t end = cut.find('\n', start);
    EXPECT_LE(DisplayWidth(cut.substr(start, end - start)), 100u) << cut.substr(start, end - start);
    start = end + 1;
  }
  EXPECT_EQ(Ok({"machine", "restore", "before"}),
            "Restored the machine to the snapshot 'before'\n");
  EXPECT_TRUE(AsBefore());
  EXPECT_EQ(Ok({"reg", "get", "HKCU\\Software\\T", "v"}), "처음\n");
  EXPECT_EQ(Ok({"fs", "ls", "C:\\Data\\a.txt"}).substr(0, 5), "----A")
      << "DOS attributes come back";
  EXPECT_EQ(Run({"handle", "APL_PREVWS"}).exitCode, 0) << "the restored machine runs";

  ExpectOneErrorLine(Run({"machine", "snapshot", "before"}), "a name taken");
  ExpectOneErrorLine(Run({"machine", "snapshot", "../x"}), "a name with a path");
  ExpectOneErrorLine(Run({"machine", "restore", "none"}), "a missing snapshot");
}

TEST_F(SnapshotTest, DiffNamesTheDocumentRowThatWritesAPolicyValue) {
  const std::string explorer = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
  Ok({"machine", "snapshot", "locked"});
  Ok({"reg", "delete", "HKCU" + explorer, "NoFolderOptions"});
  Ok({"reg", "set", "HKLM" + explorer, "NoFolderOptions", "REG_DWORD", "1"});  // no row's
  Ok({"reg", "set", "HKCU\\Software\\T", "v", "REG_SZ", "셋째"});
  const std::string diff = Ok({"machine", "diff", "locked"});
  EXPECT_NE(diff.find("Explorer\\NoFolderOptions                REG_DWORD 0x00000001 (1)\n"
                      "                  UsedAccess / ClassicViewState: allowed (the policy is "
                      "deleted)\n"),
            std::string::npos)
      << diff;
  EXPECT_EQ(Count(diff, "UsedAccess"), 1) << diff;
}

TEST_F(SnapshotTest, CutOffRestoreLeavesTheOldOrTheRestoredMachine) {
  EXPECT_NE(RestoreStoppingAt("staged").exitCode, 0);
  EXPECT_FALSE(AsBefore()) << "cut off before its commit point: the old machine";
  EXPECT_EQ(Ok({"reg", "get", "HKCU\\Software\\T", "v"}), "나중\n");

  EXPECT_NE(RestoreStoppingAt("committed").exitCode, 0);
  EXPECT_TRUE(AsBefore()) << "cut off after it: the next command finds the restored machine";

  Ok({"reg", "set", "HKCU\\Software\\T", "v", "REG_SZ", "또"});
  EXPECT_NE(RestoreStoppingAt("database").exitCode, 0);
  EXPECT_TRUE(AsBefore()) << "cut off between the database and the drives";
}

// The side paths of snapshots and plans: a value whose type alone changed is a change, a
// snapshot name may not start with a dot (the snapshots' own staging folders do), and a plan
// leaves no copy of the machine behind.
class MachineCopyTest : public MachineTest {};

TEST_F(MachineCopyTest, TypeChangesDotNamesAndThePlansCopy) {
  Ok({"reg", "set", "HKCU\\Software\\T", "path", "REG_SZ", "%WINDIR%"});
  Ok({"machine", "snapshot", "before"});
  Ok({"reg", "set", "HKCU\\Software\\T", "path", "REG_EXPAND_SZ", "%WINDIR%"});
  const std::string diff = Ok({"machine", "diff", "before", "--full"});
  EXPECT_NE(diff.find("REG_SZ %WINDIR% -> REG_EXPAND_SZ %WINDIR%"), std::string::npos) << diff;

  ExpectOneErrorLine(Run({"machine", "snapshot", ".hidden"}), "a name starting with a dot");

  const std::filesystem::path temporary = folder_.path() / "tmp";
  std::filesystem::create_directories(temporary);
  setenv("TMPDIR", temporary.c_str(), 1);
  const RunResult plan = Run(
      {"plan", "APL_SYSCONF", "--doc", DAV_EXAMPLES_DIR "/SysConfig.qsf", "--restart", "False"});
  unsetenv("TMPDIR");
  EXPECT_EQ(plan.exitCode, 0) << plan.err;
  EXPECT_TRUE(std::filesystem::is_empty(temporary)) << "the plan's copy of the machine is gone";
}

}  // namespace
}  // namespace dav::host::testing
