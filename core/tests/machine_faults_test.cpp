// The component on a PC that misbehaves: a full disk, a component folder it may not write,
// a registry database kept busy by another process, a rename that fails. Every command
// still returns to the host, a failure the component can log is logged in its own words,
// and nothing saved before the command is lost: the saved documents, the folder access file
// and the registry values stay whole.
#include <gtest/gtest.h>

#include <iostream>

#include "core/tests/component_fixture.h"
#include "core/tests/machine_snapshot.h"
#include "platform/sim/faults.h"
#include "platform/sim/machine.h"

namespace dav::core::testing {
namespace {

std::string Document(const std::string& body) {
  return "<?xml version=\"1.0\" encoding=\"ks_c_5601-1987\"?><DocRoot><Configuration "
         "SpecVersion=\"1.0.0\">" +
         body + "</Configuration></DocRoot>";
}

std::string SystemDocument(const std::string& flag, const std::string& paths) {
  return Document("<UsedAccess><Row ID=\"CmdPrompt\" Value=\"" + flag +
                  "\" /><Row ID=\"TaskManager\" Value=\"" + flag +
                  "\" /></UsedAccess><FolderAccess><Row ID=\"FolderAccess\" Value=\"" + flag +
                  "\" /><Row ID=\"Path\" Value=\"" + paths + "\" /></FolderAccess>");
}

std::string WindowDocument(const std::string& flag, const std::string& title) {
  return Document("<WinSkill><Row ID=\"NetworkDriveSet\" Value=\"" + flag +
                  "\" /><DisplayList DPFirst=\"1024 x 768\" ColorQuality=\"32 bit\" Hz=\"60 Hz\" "
                  "/></WinSkill><ExplorerConfig TitleBar=\"" +
                  title + "\" DownFolder=\"\"><Row ID=\"TitleBar\" Value=\"" + flag +
                  "\" /></ExplorerConfig><FileOpt><Row ID=\"RebootWinOpt\" Value=\"" + flag +
                  "\" /></FileOpt>");
}

class MachineFaultsTest : public ::testing::Test, public ComponentFixture {
 protected:
  void SetUp() override {
    component_ = MakeComponent();
    component_->IClientComponent_Initialize(sharedHost(), false);
    component_->IClientComponent_Handle("REQ_NOTHING", "");
    component_->IClientComponent_Handle("APL_SYSCONF", SystemDocument("1", "C:\\a|C:\\b") +
                                                           "\x1d"
                                                           "False");
    component_->IClientComponent_Handle("APL_WINCONF", WindowDocument("1", "잠금") +
                                                           "\x1d"
                                                           "False");
    files_ = Files();
    values_ = SectionValues(platform(), HostKey());
    host().calls.clear();
  }

  platform::sim::Faults& faults() {
    return dynamic_cast<platform::sim::Machine&>(platform()).faults();
  }

  std::map<std::string, std::string> Files() {
    std::map<std::string, std::string> files;
    for (const char* name : {"SysConfig.qsf", "WinConfig.qsf", "qrlSysConfig.ini"}) {
      files[name] = FileBytes(platform(), component_->componentFolder() + "\\" + name);
    }
    return files;
  }

  // New documents through every command that applies or produces one.
  void RunCommands() {
    component_->IClientComponent_Handle("APL_SYSCONF", SystemDocument("0", "D:\\c") +
                                                           "\x1d"
                                                           "True");
    component_->IClientComponent_Handle("APL_WINCONF", WindowDocument("0", "열림") +
                                                           "\x1d"
                                                           "True");
    component_->IClientComponent_Handle("REQ_SYSCONF", "");
    component_->IClientComponent_Handle("REQ_WINCONF", "");
    component_->IClientComponent_Handle("APL_LOGOFF", "NoKillExplorer");
    EXPECT_EQ(host().Count("PostNotice DavIrizevez APL_SYSCONF 2"), 1) << "the command ended";
    EXPECT_EQ(host().Count("PostNotice DavIrizevez APL_WINCONF 2"), 1);
    EXPECT_EQ(host().Count("PostNotice DavIrizevez APL_FAENABLE 1"), 1);
    long replies = 0;
    for (const std::string& call : host().calls) replies += call.rfind("SendReply ", 0) == 0;
    EXPECT_EQ(replies, 2) << "both requests are answered";
  }

  void Report(const std::string& kind) {
    EXPECT_GT(faults().injected().count(kind), 0u) << kind << " was never met";
    for (const auto& [name, count] : faults().injected()) {
      std::cout << "faults injected: " << name << " " << count << "\n";
    }
  }

  std::unique_ptr<CCDavIrizevez> component_;
  std::map<std::string, std::string> files_;
  std::map<std::string, std::string> values_;
};

TEST_F(MachineFaultsTest, AFullDiskLosesNothing) {
  faults().settings.diskFull = true;
  RunCommands();
  Report("disk_full");
  faults().settings.diskFull = false;
  EXPECT_EQ(Files(), files_);
  EXPECT_EQ(SectionValues(platform(), HostKey()), values_);
}

TEST_F(MachineFaultsTest, AComponentFolderThatMayNotBeWrittenKeepsItsFiles) {
  faults().settings.readOnlyFolder = component_->componentFolder();
  RunCommands();
  Report("read_only");
  faults().settings.readOnlyFolder.clear();
  EXPECT_EQ(Files(), files_);
}

TEST_F(MachineFaultsTest, ABusyRegistryChangesNoValue) {
  faults().settings.databaseBusy = true;
  RunCommands();
  Report("database_busy");
  faults().settings.databaseBusy = false;
  EXPECT_EQ(SectionValues(platform(), HostKey()), values_);
  EXPECT_NE(Files().at("qrlSysConfig.ini"), files_.at("qrlSysConfig.ini"))
      << "the files took the new documents";
}

TEST_F(MachineFaultsTest, AFailedRenameKeepsTheOldFilesAndIsLogged) {
  faults().settings.renameFails = true;
  RunCommands();
  Report("rename_fails");
  faults().settings.renameFails = false;
  EXPECT_EQ(Files(), files_);
  const std::string log = LogText(*component_);
  EXPECT_NE(log.find("[err:CCDavIrizevez.ApplySysConfigXML] line 410, "), std::string::npos) << log;
  EXPECT_NE(log.find("[err:CCDavIrizevez.ApplyWinConfigXML] line 620, "), std::string::npos) << log;
}

}  // namespace
}  // namespace dav::core::testing
