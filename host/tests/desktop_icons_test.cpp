// Desktop icons end to end through davhost: a window document approves the desktop, a user
// changes it, and the component's next start puts it back; davhost desktop shows beforehand
// what that start will do.
#include <gtest/gtest.h>

#include "host/tests/davhost_runner.h"

namespace dav::host::testing {
namespace {

const std::string kDesktop = "C:\\Documents and Settings\\user\\바탕 화면";
const std::string kBackup = "C:\\Program Files\\brisal client\\Components\\DavIrizevez\\DIBackup";

// A window document with only the desktop icon section.
std::string IconDocument(const std::string& icons) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><DocRoot><Configuration SpecVersion=\"1.0.0\">"
         "<DesktopIconManager Protected=\"True\"><IconList>"
         "<Icon FileName=\"내 컴퓨터\" Checked=\"1\" /><Icon FileName=\"내 문서\" Checked=\"1\" />"
         "<Icon FileName=\"내 네트워크 환경\" Checked=\"0\" /><Icon FileName=\"휴지통\" "
         "Checked=\"1\" /><Icon FileName=\"Internet Explorer\" Checked=\"1\" />" +
         icons + "</IconList></DesktopIconManager></Configuration></DocRoot>";
}

class DesktopIconsTest : public MachineTest {
 protected:
  // Applies a window document that holds only some sections: the component logs the missing
  // explorer settings as errors (exit code 4) and applies the rest.
  void ApplyPartial(const std::string& document) {
    const RunResult r = Run({"handle", "APL_WINCONF", "--doc", document, "--restart", "False"});
    EXPECT_EQ(r.exitCode, 4) << r.err;
    EXPECT_NE(r.err.find("ApplyWinConfigXML] line 450"), std::string::npos) << r.err;
  }

  // The names a folder listing shows, one per line of "fs ls".
  std::string Names(const std::string& folder) {
    const std::string listing = Ok({"fs", "ls", folder});
    std::string names;
    for (const char* name : {"A.lnk", "B.lnk", "C.lnk"}) {
      if (listing.find(std::string(" ") + name + "\n") != std::string::npos) {
        names += std::string(names.empty() ? "" : " ") + name;
      }
    }
    return names;
  }
  void PutIcon(const std::string& name) {
    Ok({"fs", "put", HostFile(name, "shortcut " + name), kDesktop + "\\" + name});
  }
};

TEST_F(DesktopIconsTest, TheNextStartPutsTheApprovedDesktopBack) {
  PutIcon("A.lnk");
  PutIcon("B.lnk");
  const std::string document =
      HostFile("icons.qsf", IconDocument("<Icon FileName=\"A.lnk\" Checked=\"1\" />"
                                         "<Icon FileName=\"B.lnk\" Checked=\"1\" />"));
  ApplyPartial(document);
  EXPECT_EQ(Names(kBackup), "A.lnk B.lnk") << "the approved icons are backed up";
  EXPECT_NE(Ok({"reg", "get",
                "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
                "HideDesktopIcons\\NewStartPanel"})
                .find("{208D2C60-3AEA-1069-A2D7-08002B30309D}"),
            std::string::npos)
      << "the network icon was hidden";

  // A user adds an icon and deletes an approved one.
  PutIcon("C.lnk");
  Ok({"fs", "rm", kDesktop + "\\A.lnk"});
  const std::string preview = Ok({"desktop"});
  EXPECT_NE(preview.find("Auto recover       on"), std::string::npos) << preview;
  EXPECT_NE(preview.find("user    C.lnk  no        deleted"), std::string::npos) << preview;
  EXPECT_NE(preview.find("backup  A.lnk  yes       restored"), std::string::npos) << preview;
  EXPECT_NE(preview.find("내 네트워크 환경   hidden"), std::string::npos) << preview;
  EXPECT_EQ(Names(kDesktop), "B.lnk C.lnk") << "davhost desktop changes nothing";

  // Any start of the component recovers; the produced document holds the approved desktop.
  const std::string reply = Ok({"handle", "REQ_WINCONF"});
  EXPECT_EQ(Names(kDesktop), "A.lnk B.lnk");
  const std::size_t begin = reply.find("<DesktopIconManager");
  const std::size_t end = reply.find("</DesktopIconManager>");
  ASSERT_NE(end, std::string::npos) << reply;
  const std::string section = reply.substr(begin, end - begin);
  EXPECT_NE(section.find("Protected=\"True\""), std::string::npos) << section;
  EXPECT_NE(section.find("<Icon FileName=\"내 네트워크 환경\" Checked=\"0\" />"), std::string::npos)
      << section;
  EXPECT_NE(section.find("<Icon FileName=\"A.lnk\" Checked=\"1\" />"), std::string::npos);

  // Applied again, the produced section changes nothing.
  const std::string before = Ok({"reg", "export", "HKLM"}) + Ok({"reg", "export", "HKCU"});
  const std::string produced =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?><DocRoot>"
      "<Configuration SpecVersion=\"1.0.0\">" +
      section + "</DesktopIconManager></Configuration></DocRoot>";
  ApplyPartial(HostFile("produced.qsf", produced));
  EXPECT_EQ(Names(kDesktop), "A.lnk B.lnk");
  EXPECT_EQ(Names(kBackup), "A.lnk B.lnk");
  EXPECT_EQ(Ok({"reg", "export", "HKLM"}) + Ok({"reg", "export", "HKCU"}), before);
}

TEST_F(DesktopIconsTest, ABackupCopyDifferingOnlyInLetterCaseIsNotRestored) {
  PutIcon("A.lnk");
  ApplyPartial(HostFile("icons.qsf", IconDocument("<Icon FileName=\"A.lnk\" Checked=\"1\" />")));
  Ok({"fs", "rm", kDesktop + "\\A.lnk"});
  Ok({"fs", "put", HostFile("a.LNK", "renamed"), kDesktop + "\\a.LNK"});
  const std::string preview = Ok({"desktop"});
  EXPECT_NE(preview.find("user    a.LNK  yes       kept"), std::string::npos) << preview;
  EXPECT_NE(preview.find("backup  A.lnk  yes       already there"), std::string::npos) << preview;

  // As predicted: the next start leaves the desktop as it is.
  Ok({"handle", "REQ_WINCONF"});
  const std::string listing = Ok({"fs", "ls", kDesktop});
  EXPECT_NE(listing.find(" a.LNK\n"), std::string::npos) << listing;
  EXPECT_EQ(listing.find(" A.lnk\n"), std::string::npos) << listing;
}

}  // namespace
}  // namespace dav::host::testing
