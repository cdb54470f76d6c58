// Copies that never overwrite and deletes that clear attributes first, on either backend.
#include "fileutil/file_folder.h"

#include <gtest/gtest.h>

#include "fileutil/tests/folder_test_support.h"

namespace dav::fileutil {
namespace {

using platform::kAttrHidden;
using platform::kAttrReadOnly;
using platform::kAttrSystem;

class FileFolderTest : public ::testing::Test, public dav::testing::FolderFixture {};

TEST_F(FileFolderTest, CopyFileAndFolderNeverOverwritesNorCopiesHiddenFiles) {
  const std::string from = Folder("from");
  const std::string to = Folder("to");
  Write(from + "\\a.lnk", "new");
  Write(to + "\\a.lnk", "old");
  Write(from + "\\hidden.lnk", "h", kAttrHidden);
  Write(from + "\\system.lnk", "s", kAttrSystem);
  Write(from + "\\readonly.lnk", "r", kAttrReadOnly);

  CopyFileAndFolder(log(), from + "\\a.lnk", to + "\\a.lnk");
  EXPECT_EQ(Read(to + "\\a.lnk"), "old") << "an existing target stays as it is";
  for (const char* name : {"hidden.lnk", "system.lnk", "readonly.lnk", "missing.lnk"}) {
    CopyFileAndFolder(log(), from + "\\" + name, to + "\\" + name);
  }
  CopyFileAndFolder(log(), "", to + "\\b.lnk");
  CopyFileAndFolder(log(), from + "\\a.lnk", "");
  EXPECT_EQ(List(to), (Names{"a.lnk", "readonly.lnk"}))
      << "a plain (also read-only) file is copied, a hidden or system one is not";
}

TEST_F(FileFolderTest, CopyFolderCopiesTheTreeAndKeepsWhatIsThere) {
  const std::string from = Folder("from\\Tools\\Sub");
  Write(At("from\\Tools\\a.txt"), "a");
  Write(from + "\\b.txt", "b", kAttrHidden);
  Folder("to\\Tools");
  Write(At("to\\Tools\\a.txt"), "kept");

  CopyFileAndFolder(log(), At("from\\Tools"), At("to\\Tools"));
  EXPECT_EQ(Read(At("to\\Tools\\a.txt")), "kept");
  EXPECT_EQ(Read(At("to\\Tools\\Sub\\b.txt")), "b") << "inside a folder hidden files go along";

  CopyFolder(log(), At("from\\Tools"), At("new"));
  EXPECT_EQ(List(At("new")), (Names{"Sub", "a.txt"})) << "a missing target is made";
  EXPECT_EQ(List(At("new\\Sub")), (Names{"b.txt"}));
}

TEST_F(FileFolderTest, DeleteFileForceRemovesProtectedFilesAndFolders) {
  const std::string desktop = Folder("desktop");
  Write(desktop + "\\locked.lnk", "x", kAttrReadOnly | kAttrHidden);
  Folder("desktop\\Tree\\Inner");
  Write(At("desktop\\Tree\\Inner\\s.txt"), "s", kAttrSystem | kAttrReadOnly);
  files().SetAttributes(At("desktop\\Tree"), kAttrReadOnly);

  DeleteFileForce(log(), desktop + "\\locked.lnk");
  DeleteFileForce(log(), desktop + "\\Tree");
  DeleteFileForce(log(), desktop + "\\missing.lnk");
  DeleteFileForce(log(), "");
  EXPECT_EQ(List(desktop), Names{});
  const std::string text = LogText();
  EXPECT_EQ(Count(text, "### DeleteFileAndFolderForce "), 2u) << text;
  EXPECT_NE(text.find("### DeleteFileAndFolderForce " + desktop + "\\locked.lnk"),
            std::string::npos)
      << text;
}

TEST_F(FileFolderTest, DeleteFolderEmptiesOrRemovesTheFolder) {
  const std::string backup = Folder("backup\\Sub");
  Write(At("backup\\one.lnk"), "1", kAttrReadOnly);
  Write(At("backup\\two.lnk"), "2", kAttrHidden);
  Write(backup + "\\three.lnk", "3");

  DeleteFolder(log(), At("backup"), true, false);
  EXPECT_EQ(List(At("backup")), Names{}) << "keep: the folder stays, empty";

  Write(At("backup\\again.lnk"), "a");
  DeleteFolder(log(), At("backup"), false, false);
  EXPECT_FALSE(Exists(At("backup"))) << "without keep the folder goes too";

  DeleteFolder(log(), At("missing"), false, false);
  EXPECT_EQ(LogText(), "") << "nothing to delete logs nothing";
  EXPECT_EQ(DebugText(), "");
}

}  // namespace
}  // namespace dav::fileutil
