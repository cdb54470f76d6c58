// davhost drift end to end: the example documents applied, then a user's changes behind the
// lock-down, read back without changing the PC.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "host/tests/davhost_runner.h"

namespace dav::host::testing {
namespace {

namespace fs = std::filesystem;

const std::string kSystemPolicies =
    "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
const std::string kRun = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::string kUserDesktop = "C:\\Documents and Settings\\user\\바탕 화면";

// Every file of a folder with its bytes, by path below the folder. SQLite's shared-memory
// index of the registry is left out: any reader of the registry rewrites it.
std::map<std::string, std::string> FilesBelow(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    const std::string name = fs::relative(entry.path(), folder).string();
    if (name.ends_with("-shm")) continue;
    if (!entry.is_regular_file()) {
      files[name + "/"] = "";
      continue;
    }
    std::ifstream in(entry.path(), std::ios::binary);
    files[name] = {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  return files;
}

class DriftTest : public MachineTest {
 protected:
  void ApplyExamples() {
    for (const char* command : {"APL_SYSCONF", "APL_WINCONF"}) {
      const std::string doc =
          std::string(DAV_EXAMPLES_DIR) +
          (command == std::string("APL_SYSCONF") ? "/SysConfig.qsf" : "/WinConfig.qsf");
      Ok({"handle", command, "--doc", doc, "--restart", "False", "--quiet"});
    }
  }

  // Two policy values, a desktop icon and a Run entry, as a user with rights changes them.
  void UserChanges() {
    Ok({"reg", "set", kSystemPolicies, "DisableRegistryTools", "REG_DWORD", "0"});
    Ok({"reg", "set", kSystemPolicies, "DisableTaskMgr", "REG_DWORD", "0"});
    Ok({"fs", "put", HostFile("game.lnk", "icon"), kUserDesktop + "\\game.lnk"});
    Ok({"reg", "set", kRun, "Game", "REG_SZ", "C:\\game.exe"});
  }
};

TEST_F(DriftTest, NamesExactlyTheUsersFourChangesAndLeavesThePcAsItWas) {
  ApplyExamples();
  RunResult r = Run({"drift"});
  EXPECT_EQ(r.exitCode, 0) << "just applied, the PC is in step with its documents:\n" << r.out;
  EXPECT_NE(r.out.find("In step"), std::string::npos) << r.out;

  UserChanges();
  const auto before = FilesBelow(folder_.path() / "m");
  const std::string registryBefore = Ok({"reg", "export"});
  r = Run({"drift", "--json"});
  EXPECT_EQ(r.exitCode, 1) << r.err;
  const auto after = FilesBelow(folder_.path() / "m");
  for (const auto& [name, bytes] : after) {
    EXPECT_TRUE(before.contains(name) && before.at(name) == bytes) << "drift changed " << name;
  }
  EXPECT_EQ(after.size(), before.size()) << "drift added or removed files";
  EXPECT_EQ(Ok({"reg", "export"}), registryBefore);

  EXPECT_NE(r.out.find("\"drifted\":4,"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("{\"section\":\"UsedAccess\",\"id\":\"RegEdition\",\"meaning\":\"Blocks the "
                       "registry editor"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("\"applied\":\"1 (blocked)\",\"now\":\"0 (allowed)\"}"), std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("\"id\":\"TaskManager\""), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("{\"where\":\"desktop\",\"file\":\"game.lnk\",\"state\":\"present, not "
                       "approved\",\"next_start\":\"-\"}"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("{\"key\":\"HKEY_LOCAL_MACHINE_RUN\",\"name\":\"Game\",\"command\":"
                       "\"C:\\\\game.exe\",\"next_start\":\"switched off\"}"),
            std::string::npos)
      << r.out;

  // A start of the component switches the Run entry off; the policies and the icon (auto
  // recover is off in the example) stay changed.
  Ok({"handle", "REQ_SYSCONF", "--quiet"});
  r = Run({"drift", "--json"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.out.find("\"drifted\":3,"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("\"name\":\"Game\""), std::string::npos) << r.out;
}

std::string ReadExample(const std::string& name) {
  std::ifstream in(std::string(DAV_EXAMPLES_DIR) + "/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Replace(std::string& text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  ASSERT_NE(at, std::string::npos) << from;
  text.replace(at, from.size(), to);
}

TEST_F(DriftTest, ProtectedDesktopAndStartListAreComparedWithWhatTheNextStartRestores) {
  ApplyExamples();
  // The example window document with auto recover on, one approved icon (after the five
  // special icons that head the list) and one start program switched on (its flags change,
  // so the apply writes it into the Run key).
  std::string doc = ReadExample("WinConfig.qsf");
  Replace(doc, "<StartProgramManager Protected=\"True\">\r\n",
          "<StartProgramManager Protected=\"True\">\r\n<RunKeyList>\r\n<RunKey "
          "HKey=\"-2147483646\" Path=\"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\" "
          "Name=\"Kept\" Command=\"C:\\kept.exe\" IsPrevStart=\"False\" Checked=\"True\" "
          "Deleted=\"False\" />\r\n</RunKeyList>\r\n");
  std::string icons = "<DesktopIconManager Protected=\"True\">\r\n<IconList>\r\n";
  for (const char* name : {"s1", "s2", "s3", "s4", "s5", "kept.lnk"}) {
    icons += "<Icon FileName=\"" + std::string(name) + "\" Checked=\"1\" />\r\n";
  }
  Replace(doc, "<DesktopIconManager Protected=\"False\">\r\n", icons + "</IconList>\r\n");
  Ok({"fs", "put", HostFile("kept.lnk", "icon"), kUserDesktop + "\\kept.lnk"});
  Ok({"handle", "APL_WINCONF", "--doc", HostFile("protected.qsf", doc), "--restart", "False",
      "--quiet"});
  RunResult r = Run({"drift"});
  EXPECT_EQ(r.exitCode, 0) << r.out;

  // The approved icon and the listed Run entry go, another icon comes: the next start
  // restores the two and deletes the newcomer.
  Ok({"fs", "rm", kUserDesktop + "\\kept.lnk"});
  Ok({"fs", "put", HostFile("new.lnk", "icon"), kUserDesktop + "\\new.lnk"});
  Ok({"reg", "delete", kRun, "Kept"});
  r = Run({"drift", "--json"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.out.find("\"file\":\"kept.lnk\",\"state\":\"approved, missing\",\"next_start\":"
                       "\"restored\""),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("\"file\":\"new.lnk\",\"state\":\"present, not approved\",\"next_start\":"
                       "\"deleted\""),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("\"name\":\"Kept\",\"command\":\"C:\\\\kept.exe\",\"next_start\":"
                       "\"written back\""),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("\"drifted\":3,"), std::string::npos) << r.out;
}

TEST_F(DriftTest, WithoutSavedDocumentsThereIsNothingToCompare) {
  const RunResult r = Run({"drift"});
  ExpectOneErrorLine(r, "drift before any document was applied");
  EXPECT_EQ(r.exitCode, 2);
}

}  // namespace
}  // namespace dav::host::testing

namespace dav::host::testing {
namespace {

TEST_F(DriftTest, ReportPageShowsTextFromThePcAndDocumentsAsTextOnly) {
  ApplyExamples();
  // Windows refuses "<" and ">" in file names, so markup reaches the page through a
  // document's text; an icon's name brings "&" and "'".
  std::string doc = ReadExample("WinConfig.qsf");
  const std::size_t title = doc.find("TitleBar=\"");
  ASSERT_NE(title, std::string::npos);
  doc.insert(title + 10, "&lt;img src=x onerror=alert(1)&gt;");
  Ok({"handle", "APL_WINCONF", "--doc", HostFile("title.qsf", doc), "--restart", "False",
      "--quiet"});
  Ok({"fs", "put", HostFile("icon", "icon"), kUserDesktop + "\\Tom & Jerry's.lnk"});
  Ok({"reg", "set", kSystemPolicies, "DisableTaskMgr", "REG_DWORD", "0"});

  const std::string page = (folder_.path() / "pc.html").string();
  EXPECT_EQ(Run({"report", "--html", page}).exitCode, 0);
  std::ifstream in(page, std::ios::binary);
  const std::string html{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  EXPECT_NE(html.find("&lt;img src=x onerror=alert(1)&gt;"), std::string::npos) << html;
  EXPECT_NE(html.find("<td>Tom &amp; Jerry&#39;s.lnk</td>"), std::string::npos) << html;
  EXPECT_EQ(html.find("<img"), std::string::npos);
  EXPECT_EQ(html.find("<script"), std::string::npos);
  EXPECT_EQ(html.find("http"), std::string::npos) << "the page links nothing outside";
  // The drifted row is marked, with what was applied beside the value now.
  EXPECT_NE(html.find("<tr class=\"drift\"><td>UsedAccess</td><td>TaskManager</td>"),
            std::string::npos)
      << html;
  EXPECT_EQ(Count(html, "<tr class=\"drift\">"), 2) << "the task manager row and the new icon";
}

}  // namespace
}  // namespace dav::host::testing

namespace dav::host::testing {
namespace {

TEST_F(DriftTest, SpecialIconsAreComparedWithTheSavedChoiceAndTheStoreRestoresThem) {
  // The PC's own window document, with My Computer (the list's first entry) hidden and the
  // desktop protected, so that the store keeps the choice for the next start.
  const std::string produced = (folder_.path() / "win.qsf").string();
  Ok({"handle", "REQ_WINCONF", "-o", produced});
  std::ifstream in(produced, std::ios::binary);
  std::string doc{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  Replace(doc, "<DesktopIconManager Protected=\"False\">",
          "<DesktopIconManager Protected=\"True\">");
  const std::size_t first = doc.find("<Icon ");
  ASSERT_NE(first, std::string::npos) << doc;
  const std::size_t checked = doc.find("Checked=\"1\"", first);
  ASSERT_LT(checked, doc.find("/>", first)) << doc;
  doc.replace(checked, 11, "Checked=\"0\"");
  Ok({"handle", "APL_WINCONF", "--doc", HostFile("icons.qsf", doc), "--restart", "False",
      "--quiet"});
  RunResult r = Run({"drift"});
  EXPECT_EQ(r.exitCode, 0) << "just applied, hidden and shown icons are as chosen:\n" << r.out;

  // A user shows My Computer again and removes the Recycle Bin from the desktop.
  const std::string version = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion";
  const std::string myComputer = "{20D04FE0-3AEA-1069-A2D8-08002B30309D}";
  Ok({"reg", "set", version + "\\Policies\\NonEnum", myComputer, "REG_DWORD", "0"});
  Ok({"reg", "set", version + "\\Explorer\\HideDesktopIcons\\NewStartPanel", myComputer,
      "REG_DWORD", "0"});
  Ok({"reg", "set", version + "\\Explorer\\CLSID\\" + myComputer + "\\ShellFolder", "Attributes",
      "REG_DWORD", "0xF0400174"});
  Ok({"reg", "delete",
      "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Desktop\\NameSpace\\"
      "{645FF040-5081-101B-9F08-00AA002F954E}"});
  r = Run({"drift", "--json"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.out.find("{\"where\":\"special icon\",\"file\":\"내 컴퓨터\",\"state\":\"shown, "
                       "applied hidden\",\"next_start\":\"hidden\"}"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("{\"where\":\"special icon\",\"file\":\"휴지통\",\"state\":\"hidden, "
                       "applied shown\",\"next_start\":\"shown\"}"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("\"drifted\":2,"), std::string::npos) << r.out;
  EXPECT_NE(Ok({"report"}).find("<tr class=\"drift\"><td>휴지통</td><td>hidden, applied shown"),
            std::string::npos);
}

}  // namespace
}  // namespace dav::host::testing
