// Approving what a PC holds today through davhost: the approved items survive the
// component's next start, the ones added afterwards do not, and NAME limits the approval.
#include <gtest/gtest.h>

#include "host/tests/davhost_runner.h"

namespace dav::host::testing {
namespace {

const std::string kDesktop = "C:\\Documents and Settings\\user\\바탕 화면";
const std::string kAllUsers = "C:\\Documents and Settings\\All Users\\바탕 화면";
const std::string kBackup = "C:\\Program Files\\brisal client\\Components\\DavIrizevez\\DIBackup";
const std::string kStartup = "C:\\Documents and Settings\\user\\시작 메뉴\\프로그램\\시작프로그램";
const std::string kRun = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

class ApproveTest : public MachineTest {
 protected:
  void Put(const std::string& folder, const std::string& name) {
    Ok({"fs", "put", HostFile(name, "shortcut " + name), folder + "\\" + name});
  }
  // Which of the names a folder listing or a registry key shows.
  std::string Shown(const std::vector<std::string>& command,
                    const std::vector<std::string>& names) {
    const std::string listing = Run(command).out;
    std::string shown;
    for (const std::string& name : names) {
      if (listing.find(name) != std::string::npos) shown += (shown.empty() ? "" : " ") + name;
    }
    return shown;
  }
  std::string Icons(const std::string& folder) {
    return Shown({"fs", "ls", folder}, {"A.lnk", "B.lnk", "X.lnk", "Y.lnk", "Z.lnk"});
  }
};

TEST_F(ApproveTest, ApprovedIconsOutliveTheNextStartAndLaterOnesGo) {
  Put(kDesktop, "A.lnk");
  Put(kDesktop, "B.lnk");
  Ok({"desktop", "approve"});  // auto recover was off: it goes on with A and B
  EXPECT_EQ(Icons(kBackup), "A.lnk B.lnk");

  Put(kDesktop, "X.lnk");
  const std::string out = Ok({"desktop", "approve"});
  EXPECT_NE(out.find("X.lnk     user desktop"), std::string::npos) << out;
  EXPECT_EQ(out.find("A.lnk"), std::string::npos) << "A was approved before: " << out;
  EXPECT_EQ(Icons(kDesktop), "A.lnk B.lnk X.lnk") << "the approving start kept X";
  EXPECT_EQ(Icons(kBackup), "A.lnk B.lnk X.lnk");

  Put(kDesktop, "Y.lnk");
  Ok({"handle", "APL_PREVWS"});  // any start
  EXPECT_EQ(Icons(kDesktop), "A.lnk B.lnk X.lnk");
}

TEST_F(ApproveTest, NamesApproveOnlyThoseAndAnUnknownOneChangesNothing) {
  Put(kDesktop, "A.lnk");
  Ok({"desktop", "approve"});
  Put(kDesktop, "X.lnk");
  Put(kDesktop, "Z.lnk");

  ExpectOneErrorLine(Run({"desktop", "approve", "X.lnk", "Nope.lnk"}),
                     "no icon on the user's desktop named 'Nope.lnk'");
  EXPECT_EQ(Icons(kDesktop), "A.lnk X.lnk Z.lnk") << "nothing was started";

  const std::string plan = Ok({"desktop", "approve", "--plan", "X.lnk"});
  EXPECT_NE(plan.find(kBackup + "\\X.lnk"), std::string::npos) << plan;
  EXPECT_EQ(Icons(kBackup), "A.lnk") << "the plan changes a copy only";

  Ok({"desktop", "approve", "X.lnk"});
  EXPECT_EQ(Icons(kDesktop), "A.lnk X.lnk") << "Z kept no approval, so the apply removed it";
  EXPECT_EQ(Icons(kBackup), "A.lnk X.lnk");

  // The all users desktop is approved only when asked for.
  Put(kAllUsers, "Y.lnk");
  Ok({"desktop", "approve", "--all-users"});
  Put(kAllUsers, "Z.lnk");
  Ok({"desktop", "approve"});
  EXPECT_EQ(Icons(kAllUsers), "Y.lnk");
}

TEST_F(ApproveTest, ApprovedRunEntriesAndStartupItemsOutliveTheNextStart) {
  Ok({"reg", "set", kRun, "Alpha", "REG_SZ", "C:\\Alpha.exe"});
  Ok({"startup", "approve"});  // no store yet: protection goes on with Alpha
  Ok({"reg", "set", kRun, "Tool", "REG_SZ", "C:\\Tool.exe"});
  Put(kStartup, "Tool.lnk");
  const std::string out = Ok({"startup", "approve"});
  EXPECT_NE(out.find("Tool      HKEY_LOCAL_MACHINE_RUN"), std::string::npos) << out;
  EXPECT_NE(out.find("Tool.lnk  start-up folder"), std::string::npos) << out;

  Ok({"reg", "set", kRun, "Zed", "REG_SZ", "C:\\Zed.exe"});
  Put(kStartup, "Z.lnk");
  Ok({"handle", "APL_PREVWS"});
  EXPECT_EQ(Shown({"reg", "get", kRun}, {"Alpha", "Tool", "Zed"}), "Alpha Tool");
  EXPECT_EQ(Shown({"fs", "ls", kStartup}, {"Tool.lnk", "Z.lnk"}), "Tool.lnk");
}

TEST_F(ApproveTest, AnIconTheBackupRefusesIsNotApprovedAndNothingStarts) {
  Put(kDesktop, "A.lnk");
  Ok({"desktop", "approve"});
  Put(kDesktop, "X.lnk");
  Ok({"machine", "set", "faults", "read_only:" + kBackup});
  ExpectOneErrorLine(Run({"desktop", "approve"}), "the backup folder refused the copy");
  Ok({"machine", "set", "faults", ""});
  EXPECT_EQ(Icons(kDesktop), "A.lnk X.lnk") << "no start deleted X";
}

TEST_F(ApproveTest, RunEntryNamesMatchInAnyCaseAndLimitTheApproval) {
  Ok({"reg", "set", kRun, "Alpha", "REG_SZ", "C:\\Alpha.exe"});
  Ok({"startup", "approve"});
  Ok({"reg", "set", kRun, "Tool", "REG_SZ", "C:\\Tool.exe"});
  Ok({"reg", "set", kRun, "Other", "REG_SZ", "C:\\Other.exe"});
  Ok({"startup", "approve", "TOOL"});
  EXPECT_EQ(Shown({"reg", "get", kRun}, {"Alpha", "Tool", "Other"}), "Alpha Tool");
}

}  // namespace
}  // namespace dav::host::testing
