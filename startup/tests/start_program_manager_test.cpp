// The start program manager against the registry: snapshots while protection is off,
// enforcement while it is on, the switched-off records, and the lists as records.
#include "startup/start_program_manager.h"

#include <gtest/gtest.h>

#include "startup/tests/start_programs_fixture.h"

namespace dav::startup::testing {
namespace {

using NameList = std::vector<std::string>;
using platform::kRegDword;
using platform::kRegExpandSz;
using platform::kRegSz;

class StartProgramManagerTest : public ::testing::Test, public StartProgramsFixture {
 protected:
  void SetUp() override { spm.CreateSPMKey(); }
  StartProgramManager spm = Manager();
};

TEST_F(StartProgramManagerTest, ProtectionMovesANewRunEntryToTheOffListButNeverTheClientsOwn) {
  SetStore(StartList(kMachineRun), "Anti", "C:\\anti.exe");
  Set(kHKeyLocalMachine, kRun, "Anti", "C:\\anti.exe");
  Set(kHKeyLocalMachine, kRun, "Tool", "C:\\Tool\\tool.exe /min");
  Set(kHKeyLocalMachine, kRun, "QRLACC", "C:\\q\\qrlacc.exe");
  Set(kHKeyLocalMachine, kRun, "qrlSCH", "C:\\q\\sch.exe");
  spm.EditStartReg();
  EXPECT_EQ(Names(kHKeyLocalMachine, kRun), (NameList{"Anti", "QRLACC", "qrlSCH"}))
      << "only Tool leaves Run; the client's programs stay whatever their letter case";
  EXPECT_EQ(GetStore(OffList(kMachineRun), "Tool"), (Value{kRegSz, "C:\\Tool\\tool.exe /min"}));
  EXPECT_EQ(Names(kHKeyLocalMachine, OffList(kMachineRun)), NameList{"Tool"});
  EXPECT_EQ(Names(kHKeyLocalMachine, StartList(kMachineRun)), NameList{"Anti"});
}

TEST_F(StartProgramManagerTest, ADeletedStartEntryComesBackToItsKeyWithItsType) {
  Set(kHKeyCurrentUser, kRun, "Path", "%SystemRoot%\\p.exe", kRegExpandSz);
  Set(kHKeyCurrentUser, kRun, "qrlgc", "C:\\q\\gc.exe");
  spm.RefreshSPMStore();
  EXPECT_EQ(Names(kHKeyLocalMachine, StartList(kUserRun)), NameList{"Path"})
      << "the snapshot leaves the client's programs out";

  registry().DeleteKey(kHKeyCurrentUser, kRun);  // the user empties Run by hand
  spm.EditStartReg();
  EXPECT_EQ(Get(kHKeyCurrentUser, kRun, "Path"), (Value{kRegExpandSz, "%SystemRoot%\\p.exe"}));
  EXPECT_EQ(Get(kHKeyLocalMachine, kRun, "Path"), std::nullopt);
}

TEST_F(StartProgramManagerTest, ASnapshotFollowsEveryChangeOfARunKey) {
  Set(kHKeyLocalMachine, kRun, "A", "a.exe");
  Set(kHKeyLocalMachine, kRun, "B", "b.exe");
  spm.RefreshSPMStore();
  EXPECT_EQ(Names(kHKeyLocalMachine, StartList(kMachineRun)), (NameList{"A", "B"}));
  Set(kHKeyLocalMachine, kRun, "A", "a.exe /new", kRegExpandSz);
  spm.RefreshSPMStore();
  EXPECT_EQ(GetStore(StartList(kMachineRun), "A"), (Value{kRegExpandSz, "a.exe /new"}));
  Set(kHKeyLocalMachine, kRun, "C", "c.exe");
  spm.RefreshSPMStore();
  EXPECT_EQ(Names(kHKeyLocalMachine, StartList(kMachineRun)), (NameList{"A", "B", "C"}));
}

TEST_F(StartProgramManagerTest, OneDirectionPerCallSoAMixedKeyNeedsTwoCalls) {
  SetStore(StartList(kMachineRun), "A", "a.exe");
  SetStore(StartList(kMachineRun), "B", "b.exe");
  Set(kHKeyLocalMachine, kRun, "A", "a.exe");
  Set(kHKeyLocalMachine, kRun, "X", "x.exe");
  spm.EditStartReg();
  EXPECT_EQ(Names(kHKeyLocalMachine, kRun), (NameList{"A", "B", "X"}))
      << "as many entries as the start list: B comes back, X waits";
  spm.EditStartReg();
  EXPECT_EQ(Names(kHKeyLocalMachine, kRun), (NameList{"A", "B"}));
  EXPECT_EQ(Names(kHKeyLocalMachine, OffList(kMachineRun)), NameList{"X"});
}

TEST_F(StartProgramManagerTest, ValuesThatAreNoCommandLinesStayWhereTheyAre) {
  Set(kHKeyLocalMachine, kRun, "Flag", std::string("\x01\0\0\0", 4), kRegDword);
  Set(kHKeyLocalMachine, kRun, "Tool", "tool.exe");
  spm.EditStartReg();
  EXPECT_EQ(Names(kHKeyLocalMachine, kRun), NameList{"Flag"});
  EXPECT_EQ(Names(kHKeyLocalMachine, OffList(kMachineRun)), NameList{"Tool"});
  spm.RefreshSPMStore();
  EXPECT_EQ(Names(kHKeyLocalMachine, StartList(kMachineRun)), NameList{});
}

TEST_F(StartProgramManagerTest, ProtectionIsOffOnlyForZero) {
  EXPECT_TRUE(spm.EnableOpt()) << "missing";
  for (const auto& [text, on] : {std::pair{"1", true}, {"yes", true}, {"00", true}, {"0", false}}) {
    SetStore(places().storeKey, "EveryTime", text);
    EXPECT_EQ(spm.EnableOpt(), on) << text;
  }
  spm.EnableOpt(true);
  EXPECT_EQ(GetStore(places().storeKey, "EveryTime"), (Value{kRegSz, "1"}));
  spm.EnableOpt(false);
  EXPECT_EQ(GetStore(places().storeKey, "EveryTime"), (Value{kRegSz, "0"}));
}

mdTypeDefine::UType_SPMData Record(const std::string& name, const std::string& command,
                                   const LiveKey& live, bool prev, bool start,
                                   bool deleted = false) {
  return {
      name,   command, start, prev, std::string(live.path), static_cast<std::int32_t>(live.hive),
      deleted};
}

TEST_F(StartProgramManagerTest, ListReadsTheStartListThenTheOffList) {
  SetStore(OffList(kMachineRun), "Off", "off.exe");
  SetStore(StartList(kUserRun), "One", "one.exe");
  SetStore(StartList(kUserRun), "Two", "two.exe");
  const std::vector<mdTypeDefine::UType_SPMData> expected = {
      Record("One", "one.exe", kUserRun, true, true),
      Record("Two", "two.exe", kUserRun, true, true),
      Record("Off", "off.exe", kMachineRun, false, false)};
  EXPECT_EQ(spm.List(), expected);
  EXPECT_EQ(expected[0].spmRegHKey, -2147483647);
  EXPECT_EQ(expected[2].spmRegHKey, -2147483646);
}

TEST_F(StartProgramManagerTest, EditedRecordsMoveBetweenTheLists) {
  SetStore(StartList(kMachineRun), "Off", "%ProgramFiles%\\off.exe", kRegExpandSz);
  SetStore(StartList(kMachineRun), "Same", "same.exe");
  SetStore(OffList(kMachineRunServices), "On", "on.exe");
  SetStore(OffList(kUserRun), "qrltrans", "trans.exe");
  SetStore(OffList(kUserRun), "Gone", "gone.exe");
  Set(kHKeyCurrentUser, kRun, "Gone", "gone.exe");
  spm.List({Record("Off", "%ProgramFiles%\\off.exe", kMachineRun, true, false),
            Record("Same", "same.exe", kMachineRun, true, true),
            Record("New", "new.exe", kMachineRun, true, true),
            Record("On", "on.exe", kMachineRunServices, false, true),
            Record("qrltrans", "trans.exe", kUserRun, false, true),
            Record("Gone", "gone.exe", kUserRun, false, false, true)});

  EXPECT_EQ(Names(kHKeyLocalMachine, StartList(kMachineRun)), NameList{"Same"})
      << "an unchanged record the store lacks (a document of another PC) is left alone";
  EXPECT_EQ(GetStore(OffList(kMachineRun), "Off"), (Value{kRegExpandSz, "%ProgramFiles%\\off.exe"}))
      << "an entry switched off keeps its type";
  EXPECT_EQ(Names(kHKeyLocalMachine, StartList(kMachineRunServices)), NameList{"On"});
  EXPECT_EQ(Names(kHKeyLocalMachine, OffList(kMachineRunServices)), NameList{});
  EXPECT_EQ(Get(kHKeyCurrentUser, kRun, "qrltrans"), (Value{kRegSz, "trans.exe"}))
      << "the client's own program goes straight into its Run key";
  EXPECT_EQ(Names(kHKeyLocalMachine, StartList(kUserRun)), NameList{});
  EXPECT_EQ(Names(kHKeyLocalMachine, OffList(kUserRun)), NameList{})
      << "a deleted entry leaves its list";
  EXPECT_EQ(Names(kHKeyCurrentUser, kRun), NameList{"qrltrans"}) << "and its Run key";
  EXPECT_EQ(Names(kHKeyLocalMachine, kRun), NameList{}) << "the live keys follow later";
}

TEST_F(StartProgramManagerTest, ADeletedRecordLeavesBothListsWhereverItWasHandedOutFrom) {
  // Handed out as starting, but moved to the off list since (an apply cut short, then the
  // enforcement of the next start).
  SetStore(OffList(kUserRun), "Messenger", "msg.exe");
  SetStore(StartList(kMachineRun), "Tool", "tool.exe");
  spm.List({Record("Messenger", "msg.exe", kUserRun, true, true, true),
            Record("Tool", "tool.exe", kMachineRun, false, false, true)});
  EXPECT_EQ(Names(kHKeyLocalMachine, OffList(kUserRun)), NameList{});
  EXPECT_EQ(Names(kHKeyLocalMachine, StartList(kMachineRun)), NameList{});
}

TEST_F(StartProgramManagerTest, ARecordOfAnotherKeyIsLoggedAndSkipped) {
  auto odd = Record("Odd", "odd.exe", kUserRun, false, true);
  odd.spmRegPath = std::string(kRunServicesPath);  // RunServices of the user: not managed
  spm.List({odd});
  for (const LiveKey& live : kLiveKeys) {
    EXPECT_EQ(Names(kHKeyLocalMachine, StartList(live)), NameList{}) << live.label;
  }
  EXPECT_EQ(Names(kHKeyCurrentUser, std::string(kRunServicesPath)), NameList{});
  EXPECT_NE(LogText().find("\"Odd\" (HKey -2147483647, Path \"" + std::string(kRunServicesPath) +
                           "\") names no managed Run key; skipped"),
            std::string::npos)
      << LogText();
}

TEST_F(StartProgramManagerTest, SwitchedOffRecordsJoinTheOffListAndLeaveWhenItLacksThem) {
  SwitchedOff("Kept", "HKLM", kRun, "kept.exe");
  SwitchedOff("Mine", "HKCU", "Software\\Microsoft\\Windows\\CurrentVersion\\run", "mine.exe");
  SwitchedOff("Once", "HKCU", "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce", "o.exe");
  SetStore(StartList(kMachineRun), "Stale", "stale.exe");
  SetStore(OffList(kMachineRun), "Old", "old.exe");
  spm.RefreshSPMStore();
  EXPECT_EQ(Names(kHKeyLocalMachine, StartList(kMachineRun)), NameList{}) << "start lists emptied";
  EXPECT_EQ(Names(kHKeyLocalMachine, OffList(kMachineRun)), (NameList{"Kept", "Old"}))
      << "off lists kept and joined";
  EXPECT_EQ(GetStore(OffList(kUserRun), "Mine"), (Value{kRegSz, "mine.exe"}));
  EXPECT_NE(LogText().find("startupreg \"Once\""), std::string::npos)
      << "a record of RunOnce has no list: " << LogText();

  SwitchedOff("Gone", "HKLM", kRun, "gone.exe");
  spm.EditSRDel();
  EXPECT_FALSE(HasRecord("Gone")) << "not in the off list: switched off no more";
  EXPECT_TRUE(HasRecord("Kept"));
  EXPECT_TRUE(HasRecord("Mine"));
  EXPECT_TRUE(HasRecord("Once")) << "a record the manager does not own is left alone";
}

TEST_F(StartProgramManagerTest, Windows9xKeepsSwitchedOffEntriesInTheRunMinusKeys) {
  StartProgramManager spm9x = Manager(false);
  const std::string disabled(kUserRun.disabledPath);
  Set(kHKeyCurrentUser, disabled, "Old", "old.exe");
  Set(kHKeyCurrentUser, disabled, "qrlgc", "gc.exe");
  spm9x.RefreshSPMStore();
  EXPECT_EQ(Names(kHKeyLocalMachine, OffList(kUserRun)), NameList{"Old"});

  Set(kHKeyCurrentUser, disabled, "New", "new.exe");
  spm9x.EditStartReg();
  EXPECT_EQ(Names(kHKeyCurrentUser, disabled), (NameList{"Old"}))
      << "entries the off list lacks leave Run-, the client's own one included";
  EXPECT_EQ(GetStore(OffList(kUserRun), "qrlgc"), std::nullopt);
}

}  // namespace
}  // namespace dav::startup::testing
