// Applying and producing whole documents through the component: the section order and
// paths, what a re-application from the saved file skips, the saved copies, and documents
// that do not parse.
#include <gtest/gtest.h>

#include "core/component.h"
#include "core/tests/component_fixture.h"
#include "registry/md_registry.h"
#include "xml/document.h"

namespace dav::core::testing {
namespace {

const char kSystemPolicies[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
const char kCommandPolicies[] = "Software\\Policies\\Microsoft\\Windows\\System";
const char kExplorerPolicies[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

std::string Document(const std::string& body) {
  return "<?xml version=\"1.0\" encoding=\"ks_c_5601-1987\"?><DocRoot><Configuration "
         "SpecVersion=\"1.0.0\">" +
         body + "</Configuration></DocRoot>";
}

std::string UsedAccess(const std::string& cmdPrompt, const std::string& taskManager) {
  return "<UsedAccess><Row ID=\"CMDPROMPT\" Value=\"" + cmdPrompt +
         "\" /><Row ID=\"TaskManager\" Value=\"" + taskManager + "\" /></UsedAccess>";
}

const std::string kCleanUpEverything =
    "<FileOpt><Row ID=\"RebootWinOpt\" Value=\"1\" /><Row ID=\"Garbage\" Value=\"1\" />"
    "<Row ID=\"TempFile\" Value=\"1\" /><Row ID=\"TempFolder\" Value=\"0\" />"
    "<Row ID=\"History\" Value=\"1\" /><Row ID=\"Doc\" Value=\"1\" /></FileOpt>";

class DocumentApplyTest : public ::testing::Test, public ComponentFixture {
 protected:
  void SetUp() override {
    component_ = MakeComponent();
    component_->IClientComponent_Initialize(sharedHost(), false);
  }
  // Fixes the generation: the first command asks the host for its version text.
  void Generation(const std::string& version) {
    host().specVersion = version;
    component_->IClientComponent_Handle("REQ_NOTHING", "");
  }
  std::int32_t Dword(platform::KeyHandle hive, const char* key, const char* name) {
    util::Log log(platform(), component_->componentFolder());
    return mdRegistry(log).ReadDWORD(hive, key, name, -1);
  }
  std::string Saved(const std::string& name) {
    std::string bytes;
    if (platform().files().ReadAll(component_->componentFolder() + "\\" + name, &bytes) !=
        platform::kErrorSuccess) {
      return "<missing>";
    }
    return bytes;
  }
  std::vector<std::string> Notices() {
    std::vector<std::string> notices;
    for (const std::string& call : host().calls) {
      if (call.rfind("PostNotice ", 0) == 0) notices.push_back(call);
    }
    return notices;
  }

  std::unique_ptr<CCDavIrizevez> component_;
};

TEST_F(DocumentApplyTest, SystemDocumentIsAppliedAndSavedInTheKoreanCodePage) {
  Generation("2.5.1");
  component_->ApplySysConfigXML(
      Document(UsedAccess("1", "0") + "<FolderAccess><Row ID=\"FolderAccess\" Value=\"1\" />"
                                      "<Row ID=\"Path\" Value=\"C:\\보안\" /></FolderAccess>"),
      "", false);
  EXPECT_EQ(Dword(platform::kHKeyCurrentUser, kCommandPolicies, "DisableCMD"), 1)
      << "a case-insensitive CmdPrompt row must block the command prompt";
  EXPECT_EQ(Dword(platform::kHKeyCurrentUser, kSystemPolicies, "DisableTaskMgr"), 0);
  EXPECT_TRUE(component_->state().requests.closing.commandPrompt);

  const std::string saved = Saved("SysConfig.qsf");
  EXPECT_EQ(saved.rfind("<?xml version=\"1.0\" encoding=\"ks_c_5601-1987\"?>", 0), 0u) << saved;
  EXPECT_NE(saved.find("C:\\\xba\xb8\xbe\xc8"), std::string::npos)
      << "SysConfig.qsf must hold 보안 in code page 949: " << saved;
  EXPECT_EQ(Saved("WinConfig.qsf"), "<missing>");
}

TEST_F(DocumentApplyTest, DocumentThatDoesNotParseChangesAndSavesNothing) {
  Generation("2.5.1");
  component_->ApplySysConfigXML(Document(UsedAccess("0", "0")), "", false);
  const std::string before = Saved("SysConfig.qsf");
  component_->ApplySysConfigXML(Document(UsedAccess("1", "1")) + "<DocRoot>", "", false);
  component_->ApplyWinConfigXML("<DocRoot><Configuration>", "", false);

  EXPECT_EQ(Dword(platform::kHKeyCurrentUser, kCommandPolicies, "DisableCMD"), 0)
      << "a document with two roots must not be applied at all";
  EXPECT_EQ(Saved("SysConfig.qsf"), before) << "nor saved over the last good one";
  EXPECT_EQ(Saved("WinConfig.qsf"), "<missing>");
  const std::string log = LogText(*component_);
  std::size_t at = 0;
  for (const char* field :
       {"errorCode", "filepos", "Line", "linepos", "reason", "srcText", "URL"}) {
    const std::string line = std::string("\tErr (") + field + ") -> ";
    EXPECT_NE(at = log.find(line, at), std::string::npos) << "missing, in order: " << line << log;
  }
  EXPECT_NE(DebugText(*component_).find("XML 내용 : "), std::string::npos);
}

TEST_F(DocumentApplyTest, ReapplyingFromTheSavedFileSkipsWhatOnlyAFreshDocumentChanges) {
  Generation("2.5.1");
  const std::string windowDoc = Document(kCleanUpEverything);
  component_->ApplyWinConfigXML(windowDoc, "", false);
  EXPECT_EQ(Notices(),
            (std::vector<std::string>{
                "PostNotice ZezOvezorara APL_GARBAGE 1", "PostNotice ZezOvezorara APL_TEMPFILE 1",
                "PostNotice ZezOvezorara APL_HISTORY 1", "PostNotice ZezOvezorara APL_DOC 1"}))
      << "each clean-up asked for with \"1\" becomes a notice, in the fixed order";

  host().calls.clear();
  const std::string savedPath = component_->componentFolder() + "\\WinConfig.qsf";
  component_->ApplyWinConfigXML("", savedPath, true);
  EXPECT_TRUE(Notices().empty()) << "log-off must not ask for the clean-ups again";

  // Folder access is kept only from a fresh document.
  const std::string ini = component_->componentFolder() + "\\qrlSysConfig.ini";
  component_->ApplySysConfigXML(
      Document("<FolderAccess><Row ID=\"Path\" Value=\"C:\\a\" /></FolderAccess>"), "", false);
  std::string fresh;
  ASSERT_EQ(platform().files().ReadAll(ini, &fresh), platform::kErrorSuccess);
  component_->ApplySysConfigXML(
      Document("<FolderAccess><Row ID=\"Path\" Value=\"C:\\b\" /></FolderAccess>"), "", true);
  std::string reapplied;
  platform().files().ReadAll(ini, &reapplied);
  EXPECT_EQ(reapplied, fresh) << "a re-applied system document must leave folder access alone";
}

TEST_F(DocumentApplyTest, BlankTextLoadsThePathAndSavesIt) {
  Generation("2.5.1");
  const std::string path = component_->componentFolder() + "\\elsewhere.qsf";
  platform().files().WriteAll(path, Document(UsedAccess("1", "1")));
  component_->ApplySysConfigXML("   ", path, true);
  EXPECT_EQ(Dword(platform::kHKeyCurrentUser, kSystemPolicies, "DisableTaskMgr"), 1);
  EXPECT_NE(Saved("SysConfig.qsf"), "<missing>")
      << "blanks are a text for the save, so the loaded file is saved";
}

TEST_F(DocumentApplyTest, FormStepPicksOneControlPanelFormOrBoth) {
  const std::string doc = Document(
      "<ControlMngr><WinXP><Row ID=\"NoControlPanel\" Value=\"1\" /></WinXP>"
      "<Win7><Row ID=\"NoControlPanel\" Value=\"0\" /></Win7></ControlMngr>");
  Generation("2.5.1");
  component_->ApplySysConfigXML(doc, "", false);
  EXPECT_EQ(Dword(platform::kHKeyLocalMachine, kExplorerPolicies, "NoControlPanel"), 1)
      << "with the WinXP flag only the WinXP rows apply";

  auto neither = MakeComponent("Neither");
  auto host = MakeHost();
  host->specVersion = "3.0";
  neither->IClientComponent_Initialize(host, false);
  neither->IClientComponent_Handle("REQ_NOTHING", "");
  neither->ApplySysConfigXML(doc, "", false);
  EXPECT_EQ(Dword(platform::kHKeyLocalMachine, kExplorerPolicies, "NoControlPanel"), 0)
      << "with neither flag the rows of both forms apply, in document order";
}

TEST_F(DocumentApplyTest, AnIconSectionNotReadWholeChangesNoIcon) {
  const CCDavIrizevez::Fields& fields = component_->fields();
  const auto has = [&](const std::string& path) {
    return platform().files().GetAttributes(path) != platform::kInvalidAttributes;
  };
  // Approved icons: on the desktop and in the backup. The names are the test's own, as under
  // Wine the desktop is the prefix user's; and not shortcuts, which Wine's desktop window
  // opens as they appear (to draw them), so that a write at that moment is refused.
  const std::vector<std::string> names = {"dav-half-A.url", "dav-half-B.url", "dav-half-C.url"};
  for (const std::string& name : names) {
    for (const std::string* folder : {&fields.userDesktopFolder, &fields.desktopBackupFolder}) {
      ASSERT_EQ(platform().files().WriteAll(*folder + "\\" + name, name), platform::kErrorSuccess);
    }
  }
  // A produced section whose second file lost its Checked attribute.
  std::string icons;
  for (const char* special : {"1", "2", "3", "4", "5"}) {
    icons += "<Icon FileName=\"special " + std::string(special) + "\" Checked=\"1\" />";
  }
  icons += "<Icon FileName=\"" + names[0] + "\" Checked=\"1\" /><Icon FileName=\"" + names[1] +
           "\" /><Icon FileName=\"" + names[2] + "\" Checked=\"1\" />";
  component_->ApplyWinConfigXML(Document("<DesktopIconManager Protected=\"True\"><IconList>" +
                                         icons + "</IconList></DesktopIconManager>"),
                                "", false);

  for (const std::string& name : names) {
    EXPECT_TRUE(has(fields.userDesktopFolder + "\\" + name)) << name << " left the desktop";
    EXPECT_TRUE(has(fields.desktopBackupFolder + "\\" + name)) << name << " left the backup";
    platform().files().Delete(fields.userDesktopFolder + "\\" + name);
  }
  util::Log log(platform(), component_->componentFolder());
  EXPECT_EQ(
      mdRegistry(log).ReadDWORD(platform::kHKeyLocalMachine,
                                HostKey() + "\\Components\\DavIrizevez.CCDavIrizevez\\DIManager",
                                "EnableAutoRecover", -1),
      -1)
      << "auto recover is not switched either";
  EXPECT_NE(LogText(*component_).find("[err:CCDavIrizevez.ApplyWinConfigXML] line 540, 91"),
            std::string::npos)
      << LogText(*component_);
  EXPECT_NE(Saved("WinConfig.qsf"), "<missing>") << "the rest of the document still applies";
}

}  // namespace
}  // namespace dav::core::testing
