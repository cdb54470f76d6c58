// Documents through davhost, end to end, as a person or the client drives the component:
// requests, applying the example PC room documents with and without the shell restart,
// protocols that are cut short, documents that do not parse, manager login and log-off.
#include <gtest/gtest.h>

#include <iconv.h>

#include <fstream>
#include <iterator>
#include <regex>

#include "host/tests/davhost_runner.h"

namespace dav::host::testing {
namespace {

const std::string kExamples = DAV_EXAMPLES_DIR;
const std::string kComponentFolder = "C:\\Program Files\\brisal client\\Components\\DavIrizevez";
const std::string kCommandPolicies = "HKCU\\Software\\Policies\\Microsoft\\Windows\\System";

std::string ReadHostFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The rows of a document, one per line: Row and CPLList elements as written.
std::vector<std::string> Rows(const std::string& text) {
  std::vector<std::string> rows;
  const std::regex row("<(Row|CPLList) [^>]*/>");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), row); it != std::sregex_iterator();
       ++it) {
    rows.push_back(it->str());
  }
  return rows;
}

// The example documents are stored in code page 949, as the component saves them.
std::string FromCp949(const std::string& bytes) {
  iconv_t cd = iconv_open("UTF-8", "CP949");
  std::string out(bytes.size() * 2, '\0');
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  char* to = out.data();
  std::size_t outLeft = out.size();
  const std::size_t result = iconv(cd, &in, &inLeft, &to, &outLeft);
  iconv_close(cd);
  EXPECT_NE(result, static_cast<std::size_t>(-1)) << "not code page 949";
  out.resize(out.size() - outLeft);
  return out;
}

class ComponentDocumentsTest : public MachineTest {
 protected:
  // A session's output; exit code 4 when the component is expected to log an error.
  std::string Session(const std::string& lines, int exitCode = 0) {
    const RunResult r = Run({"session"}, &lines);
    EXPECT_EQ(r.exitCode, exitCode) << r.err;
    return r.out;
  }
  // DisableCMD of the current user as "reg get" shows it, or "" when it is missing.
  std::string DisableCmd() {
    const std::string out = Ok({"reg", "get", kCommandPolicies});
    const auto at = out.find("DisableCMD");
    return at == std::string::npos ? "" : out.substr(out.find('(', at), 3);
  }
  // A file of the component folder copied to this computer; "<missing>" when absent.
  std::string ComponentFile(const std::string& name) {
    const std::string listing = Ok({"fs", "ls", kComponentFolder});
    if (listing.find(" " + name + "\n") == std::string::npos) return "<missing>";
    const std::filesystem::path copy = folder_.path() / name;
    Ok({"fs", "get", kComponentFolder + "\\" + name, copy.string()});
    return ReadHostFile(copy);
  }
  std::string Events() { return Ok({"events"}); }
};

TEST_F(ComponentDocumentsTest, RequestsReplyWithWholeDocumentsAndAppliedRowsComeBack) {
  const std::string request = Ok({"handle", "REQ_SYSCONF"});
  EXPECT_EQ(request.rfind("DavIrizevez\tGISC\t<?xml version=\"1.0\" encoding=\"ks_c_5601-1987\"?>"
                          "<DocRoot><Configuration SpecVersion=\"1.0.0\"><ControlMngr>",
                          0),
            0u)
      << request;
  EXPECT_NE(request.find("</FolderAccess>"), std::string::npos) << request;
  EXPECT_TRUE(request.ends_with("</Configuration></DocRoot>\n")) << "a whole document";
  EXPECT_EQ(Run({"handle", "req_sysconf"}).out, "") << "commands compare with letter case";

  const std::string doc = kExamples + "/SysConfig.qsf";
  EXPECT_EQ(Ok({"handle", "APL_SYSCONF", "--doc", doc, "--restart", "True"}),
            "NOTICE DavIrizevez APL_SYSCONF 1\n"
            "NOTICE DavIrizevez APL_SYSCONF 2\n"
            "NOTICE DavIrizevez APL_FASETTING 1\n");
  EXPECT_EQ(DisableCmd(), "(1)") << "the example blocks the command prompt";
  const std::string events = Events();
  EXPECT_EQ(Count(events, "process.end"), 1) << "explorer.exe ended: " << events;
  EXPECT_NE(events.find("the shell, started again"), std::string::npos) << events;

  const std::string saved = ComponentFile("SysConfig.qsf");
  EXPECT_EQ(saved.rfind("<?xml version=\"1.0\" encoding=\"ks_c_5601-1987\"?>", 0), 0u);
  EXPECT_NE(saved.find("DisplayName=\"\xb0\xfc\xb8\xae \xb5\xb5\xb1\xb8\""), std::string::npos)
      << "SysConfig.qsf is saved in code page 949 (관리 도구)";

  EXPECT_EQ(Rows(Ok({"handle", "REQ_SYSCONF"})), Rows(FromCp949(ReadHostFile(doc))))
      << "a document applied with APL_SYSCONF comes back with the same rows";
}

TEST_F(ComponentDocumentsTest, WindowDocumentChangesDisplayAndShellOnlyWhenAsked) {
  const std::string doc = kExamples + "/WinConfig.qsf";
  const std::string input = "APL_WINCONF\t@" + doc + "\\x1dFalse\n";
  EXPECT_EQ(Session(input),
            "NOTICE DavIrizevez APL_WINCONF 1\n"
            "NOTICE ZezOvezorara APL_GARBAGE 1\n"
            "NOTICE ZezOvezorara APL_TEMPFILE 1\n"
            "NOTICE ZezOvezorara APL_TEMPFOLDER 1\n"
            "NOTICE ZezOvezorara APL_HISTORY 1\n"
            "NOTICE DavIrizevez APL_WINCONF 2\n")
      << "the clean-ups the example asks for go to ZezOvezorara, Doc \"0\" does not";
  EXPECT_EQ(Events(), "") << "False: no display change and no shell restart";
  EXPECT_NE(ComponentFile("WinConfig.qsf"), "<missing>");

  Ok({"handle", "APL_WINCONF", "--doc", doc, "--restart", "True"});
  const std::string events = Events();
  // Two changes at the start, which sets again the mode the first application kept for every
  // start (the example's RebootDisplay is "1"), and two of the command itself.
  EXPECT_EQ(Count(events, "display.change"), 4) << events;
  EXPECT_EQ(Count(events, "1280x1024x32@60"), 4) << "the example's DisplayList: " << events;
  EXPECT_EQ(Count(events, "process.end"), 1) << events;
  EXPECT_LT(events.find("display.change"), events.find("process.end"))
      << "the display changes before the shell restarts";
}

TEST_F(ComponentDocumentsTest, CutShortOrBrokenProtocolsChangeOnlyWhatTheyReached) {
  const std::string doc = kExamples + "/SysConfig.qsf";
  // Field 0 alone: applied and saved, but the missing field 1 ends the command.
  EXPECT_EQ(Session("APL_SYSCONF\t@" + doc + "\n", 4), "NOTICE DavIrizevez APL_SYSCONF 1\n");
  EXPECT_EQ(DisableCmd(), "(1)");
  EXPECT_NE(Ok({"log"}).find("[err:CCDavIrizevez.IClientComponent_Handle] line 50, 9, "),
            std::string::npos);
  const std::string saved = ComponentFile("SysConfig.qsf");
  ASSERT_NE(saved, "<missing>");

  // An empty protocol applies nothing; a document that does not parse changes and saves
  // nothing.
  const std::string before = Ok({"reg", "export"});
  EXPECT_EQ(Session("APL_SYSCONF\t\n"
                    "APL_SYSCONF\t<DocRoot><UsedAccess><Row ID=\"CmdPrompt\" Value=\"0\" />"
                    "</DocRoot>\\x1dTrue\n",
                    4),
            "NOTICE DavIrizevez APL_SYSCONF 1\n"
            "NOTICE DavIrizevez APL_SYSCONF 1\n"
            "NOTICE DavIrizevez APL_SYSCONF 2\n"
            "NOTICE DavIrizevez APL_FASETTING 1\n");
  EXPECT_EQ(Ok({"reg", "export"}), before);
  EXPECT_EQ(ComponentFile("SysConfig.qsf"), saved) << "the last good document stays saved";
  EXPECT_EQ(Count(Ok({"log"}), "\tErr (errorCode) -> 11"), 1) << "the tag mismatch is logged";
}

TEST_F(ComponentDocumentsTest, ManagerLoginLiftsTheLockDownAndLogOffPutsItBack) {
  EXPECT_EQ(Ok({"handle", "APL_PREVWS"}), "");
  EXPECT_EQ(Ok({"handle", "APL_WINSET"}), "");
  EXPECT_EQ(Count(Events(), "process.end"), 1) << "APL_WINSET without documents still restarts";
  const std::string before = Ok({"reg", "export"});
  EXPECT_EQ(Ok({"handle", "APL_PREVWS"}), "");
  EXPECT_EQ(Ok({"reg", "export"}), before) << "APL_PREVWS without its files does nothing";

  Session("APL_SYSCONF\t@" + kExamples + "/SysConfig.qsf\\x1d0\n");
  Session("APL_WINCONF\t@" + kExamples + "/WinConfig.qsf\\x1d0\n");
  const std::vector<std::string> displayList = {
      "reg", "get", "HKLM\\Software\\quorel\\brisal client", "DisplayList"};
  EXPECT_EQ(Ok(displayList), "1280 x 1024*32*60\n");
  Ok({"fs", "put", kExamples + "/WinAdmin.qsf", kComponentFolder});
  const std::string eventsBefore = Events();

  // Every start from now on asks for the clean-ups that the applied window document keeps
  // for reboots, before the command's own notices.
  const std::string startCleanUps =
      "NOTICE ZezOvezorara APL_GARBAGE 1\nNOTICE ZezOvezorara APL_TEMPFILE 1\n"
      "NOTICE ZezOvezorara APL_TEMPFOLDER 1\nNOTICE ZezOvezorara APL_HISTORY 1\n";
  EXPECT_EQ(Ok({"handle", "APL_LOGIN", "NoKillExplorer"}),
            startCleanUps + "NOTICE DavIrizevez APL_FADISABLE 1\n");
  EXPECT_EQ(DisableCmd(), "(0)") << "the manager's document unblocks the command prompt";
  std::string events = Events().substr(eventsBefore.size());
  EXPECT_NE(events.find("messagebox"), std::string::npos) << events;
  EXPECT_NE(events.find("관리자 로그인 | style 0x40 | [관리자 로그인] 후 PC를 재부팅하면,"),
            std::string::npos)
      << "the warning: information icon, OK button: " << events;
  EXPECT_EQ(Count(events, "process.end"), 0) << "NoKillExplorer keeps the shell";
  EXPECT_EQ(Ok(displayList), "1280 x 1024*32*60\n")
      << "the manager's display list (1024 x 768) leaves the user's display mode as it was";

  EXPECT_EQ(Ok({"handle", "APL_LOGOFF", "nokillexplorer"}), "NOTICE DavIrizevez APL_FAENABLE 1\n")
      << "the manager's document keeps no clean-ups for reboots";
  EXPECT_EQ(DisableCmd(), "(1)") << "log-off applies the saved SysConfig.qsf again";
  events = Events().substr(eventsBefore.size());
  EXPECT_EQ(Count(events, "process.end"), 1) << "only the exact word keeps the shell: " << events;

  Ok({"handle", "MAKE_QSF"});
  const std::string initial = ComponentFile("WinSetInitial.qsf");
  EXPECT_NE(initial.find("<ControlMngr>"), std::string::npos) << initial;
  EXPECT_NE(initial.find("<WinSkill>"), std::string::npos) << initial;
}

}  // namespace
}  // namespace dav::host::testing
