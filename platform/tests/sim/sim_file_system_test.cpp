// What only the simulated file system has: the host folders behind the drives, DOS
// attributes in an extended attribute, and a tree that nothing may leave.
#include "platform/sim/sim_file_system.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <fstream>

#include "platform/tests/sim/temp_folder.h"

namespace dav::platform::sim {
namespace {

namespace fs = std::filesystem;

class SimFileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(drives() / "C");
    fs::create_directories(root_ / "outside");
    HostWrite(root_ / "outside" / "secret.txt", "secret");
  }

  fs::path drives() const { return root_ / "drives"; }

  static void HostWrite(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  static std::string StoredAttribute(const fs::path& path) {
    char text[32] = {};
    ssize_t length = lgetxattr(path.c_str(), "user.DOSATTRIB", text, sizeof text);
    return length < 0 ? "(none)" : std::string(text, static_cast<std::size_t>(length));
  }
  // What a listing or a look-up answers, as one line: status, then each entry's name,
  // attributes and size.
  static std::string Answer(SimFileSystem& files, const std::string& pattern, std::uint32_t mask) {
    std::vector<FileEntry> found;
    std::string text = std::to_string(files.FindFiles(pattern, mask, &found));
    for (const FileEntry& entry : found) {
      text += " " + entry.name + ":" + std::to_string(entry.attributes) + ":" +
              std::to_string(entry.size);
    }
    return text;
  }
  static void Store(const fs::path& path, const std::string& text) {
    ASSERT_EQ(lsetxattr(path.c_str(), "user.DOSATTRIB", text.data(), text.size(), 0), 0);
  }

  testing::TempFolder temp_;
  const fs::path root_ = temp_.path();
  SimFileSystem files_{root_ / "drives"};
};

TEST_F(SimFileSystemTest, HostPathResolvesWithoutCaseAndStaysInTheDrive) {
  fs::create_directories(drives() / "C" / "Program Files" / "App");
  Status status = -1;
  EXPECT_EQ(files_.HostPath("c:\\PROGRAM FILES\\app", &status),
            drives() / "C" / "Program Files" / "App");
  EXPECT_EQ(status, kErrorSuccess);
  EXPECT_EQ(files_.HostPath("C:/program files/New Name.TXT", &status),
            drives() / "C" / "Program Files" / "New Name.TXT")
      << "a new name keeps the case it is given";
  EXPECT_EQ(files_.HostPath("C:\\", &status), drives() / "C");
  EXPECT_EQ(files_.HostPath("C:\\..\\..\\..\\x.txt", &status), drives() / "C" / "x.txt")
      << "\"..\" never climbs out of the drive";

  EXPECT_TRUE(files_.HostPath("D:\\x", &status).empty());
  EXPECT_EQ(status, kErrorPathNotFound) << "a drive without a folder does not exist";
  EXPECT_EQ(files_.MakeFolder("D:\\"), kErrorPathNotFound)
      << "the root of a missing drive is missing, not a folder already there";
  EXPECT_EQ(files_.MakeFolder("C:\\"), kErrorAlreadyExists);
  EXPECT_TRUE(files_.HostPath("C:\\missing\\x", &status).empty());
  EXPECT_EQ(status, kErrorPathNotFound);
}

TEST_F(SimFileSystemTest, SymbolicLinksAreRefusedNotFollowed) {
  fs::create_directory_symlink(root_ / "outside", drives() / "C" / "dirlink");
  fs::create_symlink(root_ / "outside" / "secret.txt", drives() / "C" / "filelink.txt");
  fs::create_directory_symlink(root_ / "outside", drives() / "D");
  std::string bytes;

  EXPECT_EQ(files_.ReadAll("C:\\dirlink\\secret.txt", &bytes), kErrorAccessDenied);
  EXPECT_EQ(files_.WriteAll("C:\\DirLink\\planted.txt", "x"), kErrorAccessDenied);
  EXPECT_FALSE(fs::exists(root_ / "outside" / "planted.txt"));
  EXPECT_EQ(files_.ReadAll("C:\\filelink.txt", &bytes), kErrorAccessDenied);
  EXPECT_EQ(files_.WriteAll("C:\\filelink.txt", "overwritten"), kErrorAccessDenied);
  EXPECT_EQ(files_.GetAttributes("D:\\secret.txt"), kInvalidAttributes) << "a linked drive";
  std::ifstream secret(root_ / "outside" / "secret.txt");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(secret), {}), "secret");

  std::vector<FileEntry> entries;
  EXPECT_EQ(files_.FindFiles("C:\\*", 55, &entries), kErrorFileNotFound) << "links are not listed";
  Status status = kErrorSuccess;
  EXPECT_TRUE(files_.HostPath("C:\\filelink.txt", &status).empty());
  EXPECT_EQ(status, kErrorAccessDenied);
}

TEST_F(SimFileSystemTest, DosAttributesLiveInTheExtendedAttribute) {
  const fs::path file = drives() / "C" / "file.txt";
  const fs::path folder = drives() / "C" / "Folder";
  HostWrite(file, "x");
  fs::create_directory(folder);
  EXPECT_EQ(files_.GetAttributes("C:\\file.txt"), kAttrArchive) << "a file without a value";
  EXPECT_EQ(files_.GetAttributes("C:\\Folder"), kAttrDirectory) << "a folder without a value";

  ASSERT_EQ(files_.SetAttributes("C:\\file.txt", kAttrReadOnly | kAttrHidden | kAttrNormal),
            kErrorSuccess);
  EXPECT_EQ(StoredAttribute(file), "0x3");
  ASSERT_EQ(files_.SetAttributes("C:\\folder", kAttrHidden), kErrorSuccess);
  EXPECT_EQ(StoredAttribute(folder), "0x12");

  Store(file, "0x0");
  EXPECT_EQ(files_.GetAttributes("C:\\file.txt"), kAttrNormal) << "no bit set reads as normal";
  Store(file, "0x16");
  EXPECT_EQ(files_.GetAttributes("C:\\file.txt"), kAttrHidden | kAttrSystem)
      << "a stored directory bit does not make a file a folder";
  Store(file, "junk");
  EXPECT_EQ(files_.GetAttributes("C:\\file.txt"), kAttrArchive) << "an unreadable value";
}

TEST_F(SimFileSystemTest, ReadOnlyRefusalsThatWineRunningAsRootDoesNotMake) {
  ASSERT_EQ(files_.MakeFolder("C:\\Locked"), kErrorSuccess);
  ASSERT_EQ(files_.SetAttributes("C:\\Locked", kAttrReadOnly), kErrorSuccess);
  EXPECT_EQ(files_.RemoveFolder("C:\\Locked"), kErrorAccessDenied) << "a read-only folder";
  EXPECT_EQ(files_.RemoveFolder("C:\\"), kErrorAccessDenied) << "a drive's root stays";
}

TEST_F(SimFileSystemTest, ListingsSortAndLeaveOutNamesWindowsCannotHave) {
  for (const char* name :
       {"b.txt", "A.txt", "c.txt", "bad:name", "trailing.", "\xFF", ".dav-write-x1"}) {
    HostWrite(drives() / "C" / name, "");
  }
  std::vector<FileEntry> entries;
  ASSERT_EQ(files_.FindFiles("C:\\*", 55, &entries), kErrorSuccess);
  std::vector<std::string> names;
  for (const FileEntry& entry : entries) names.push_back(entry.name);
  EXPECT_EQ(names, (std::vector<std::string>{"A.txt", "b.txt", "c.txt"}))
      << "sorted without regard to case; no unnameable entries or temporary files";
}

TEST_F(SimFileSystemTest, LettersCaseLookUpsKeepUpWithNewAndOutsideEntries) {
  const fs::path folder = drives() / "C" / "Many";
  fs::create_directories(folder);
  HostWrite(folder / "Old.lnk", "o");
  EXPECT_EQ(files_.GetAttributes("C:\\Many\\missing.lnk"), kInvalidAttributes);  // indexes
  ASSERT_EQ(files_.WriteAll("C:\\Many\\New.lnk", "n"), kErrorSuccess);
  ASSERT_EQ(files_.Copy("C:\\Many\\new.lnk", "C:\\Many\\Copy.lnk", true), kErrorSuccess);
  ASSERT_EQ(files_.MakeFolder("C:\\Many\\Sub"), kErrorSuccess);
  EXPECT_EQ(files_.HostPath("C:\\many\\NEW.LNK", nullptr), folder / "New.lnk");
  EXPECT_EQ(files_.HostPath("C:\\many\\COPY.LNK", nullptr), folder / "Copy.lnk");
  EXPECT_EQ(files_.HostPath("C:\\many\\sub", nullptr), folder / "Sub");
  EXPECT_EQ(files_.Copy("C:\\Many\\old.lnk", "C:\\Many\\COPY.lnk", true), kErrorFileExists)
      << "a copy never makes a second entry of a name in another letter case";

  // From outside: a new entry and a removed one, the folder's times moved on as time goes by.
  HostWrite(folder / "Outside.lnk", "x");
  fs::remove(folder / "Old.lnk");
  const timespec earlier[2] = {{1000000000, 0}, {1000000000, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, folder.c_str(), earlier, 0), 0);
  EXPECT_EQ(files_.HostPath("C:\\many\\OUTSIDE.LNK", nullptr), folder / "Outside.lnk");
  EXPECT_EQ(files_.GetAttributes("C:\\Many\\OLD.LNK"), kInvalidAttributes);
  ASSERT_EQ(files_.Delete("C:\\Many\\NEW.LNK"), kErrorSuccess);
  EXPECT_EQ(files_.GetAttributes("C:\\Many\\new.lnk"), kInvalidAttributes);
}

// Folders resolved once are remembered; a folder that went away (through this file system
// or from outside) and came back in another letter case, or as a file, is resolved afresh.
TEST_F(SimFileSystemTest, RememberedFoldersFollowFoldersThatWentAway) {
  fs::create_directories(drives() / "C" / "Top" / "Deep");
  ASSERT_EQ(files_.WriteAll("C:\\top\\deep\\a.txt", "a"), kErrorSuccess);

  fs::remove_all(drives() / "C" / "Top" / "Deep");  // from outside
  fs::create_directories(drives() / "C" / "Top" / "DEEP");
  ASSERT_EQ(files_.WriteAll("C:\\top\\deep\\b.txt", "b"), kErrorSuccess);
  EXPECT_TRUE(fs::exists(drives() / "C" / "Top" / "DEEP" / "b.txt"));

  ASSERT_EQ(files_.Delete("C:\\top\\deep\\b.txt"), kErrorSuccess);
  ASSERT_EQ(files_.RemoveFolder("C:\\top\\deep"), kErrorSuccess);
  ASSERT_EQ(files_.MakeFolder("C:\\top\\Deep"), kErrorSuccess);
  ASSERT_EQ(files_.WriteAll("C:\\TOP\\DEEP\\c.txt", "c"), kErrorSuccess);
  EXPECT_TRUE(fs::exists(drives() / "C" / "Top" / "Deep" / "c.txt"));

  fs::remove_all(drives() / "C" / "Top" / "Deep");
  HostWrite(drives() / "C" / "Top" / "Deep", "now a file");
  EXPECT_EQ(files_.WriteAll("C:\\top\\deep\\d.txt", "d"), kErrorPathNotFound);
}

// While this process alone writes, look-ups are answered from memory; each change made
// through the file system corrects what it touched, and the end of that time forgets all.
TEST_F(SimFileSystemTest, SoleWriterMemoryFollowsOwnChangesAndEndsWithIt) {
  fs::create_directories(drives() / "C" / "Work" / "Gone");
  HostWrite(drives() / "C" / "Work" / "a.txt", "aaa");
  const auto size = [&](const char* path) -> std::int64_t {
    std::vector<FileEntry> found;
    if (files_.FindFiles(path, kAttrHidden | kAttrReadOnly | kAttrDirectory, &found) !=
            kErrorSuccess ||
        found.empty()) {
      return -1;
    }
    return static_cast<std::int64_t>(found[0].size);
  };
  files_.SetSoleWriter(true);
  EXPECT_EQ(files_.GetAttributes("C:\\Work\\a.txt"), kAttrArchive);
  EXPECT_EQ(size("C:\\Work\\b.txt"), -1);
  EXPECT_EQ(files_.GetAttributes("C:\\Work\\Gone\\x.txt"), kInvalidAttributes);

  ASSERT_EQ(files_.SetAttributes("C:\\Work\\a.txt", kAttrHidden), kErrorSuccess);
  EXPECT_EQ(files_.GetAttributes("C:\\Work\\a.txt"), kAttrHidden);
  ASSERT_EQ(files_.Copy("C:\\Work\\a.txt", "C:\\Work\\b.txt", true), kErrorSuccess);
  EXPECT_EQ(size("C:\\Work\\b.txt"), 3) << "a copy is seen where a miss was remembered";
  EXPECT_EQ(size("C:\\WORK\\B.TXT"), 3) << "and in the folder's names, in any letter case";
  ASSERT_EQ(files_.Append("C:\\Work\\b.txt", "bb"), kErrorSuccess);
  EXPECT_EQ(size("C:\\Work\\b.txt"), 5) << "an append moves the remembered size on";
  ASSERT_EQ(files_.WriteAll("C:\\Work\\b.txt", "c"), kErrorSuccess);
  EXPECT_EQ(size("C:\\Work\\b.txt"), 1);
  ASSERT_EQ(files_.Delete("C:\\Work\\b.txt"), kErrorSuccess);
  EXPECT_EQ(size("C:\\Work\\b.txt"), -1);
  ASSERT_EQ(files_.RemoveFolder("C:\\Work\\Gone"), kErrorSuccess);
  ASSERT_EQ(files_.MakeFolder("C:\\Work\\Gone"), kErrorSuccess);
  ASSERT_EQ(files_.WriteAll("C:\\Work\\Gone\\x.txt", "x"), kErrorSuccess);
  EXPECT_EQ(files_.GetAttributes("C:\\Work\\Gone\\x.txt"), kAttrArchive);

  EXPECT_EQ(files_.GetAttributes("C:\\Work\\a.txt"), kAttrHidden);
  files_.SetSoleWriter(false);
  fs::remove(drives() / "C" / "Work" / "a.txt");  // from outside, between two commands
  files_.SetSoleWriter(true);
  EXPECT_EQ(files_.GetAttributes("C:\\Work\\a.txt"), kInvalidAttributes);
}

// Paths resolved while sole are remembered as given; a name made or removed since, in any
// letter case, must not be hidden by them.
TEST_F(SimFileSystemTest, RememberedPathsSeeNamesMadeInAnotherCase) {
  fs::create_directories(drives() / "C" / "Work");
  files_.SetSoleWriter(true);
  EXPECT_EQ(files_.GetAttributes("C:\\Work\\new.txt"), kInvalidAttributes);
  ASSERT_EQ(files_.WriteAll("C:\\WORK\\NEW.TXT", "x"), kErrorSuccess);
  EXPECT_EQ(files_.GetAttributes("C:\\Work\\new.txt"), kAttrArchive);
  ASSERT_EQ(files_.Append("C:\\Work\\new.txt", "y"), kErrorSuccess);
  EXPECT_FALSE(fs::exists(drives() / "C" / "Work" / "new.txt")) << "appended to NEW.TXT";

  EXPECT_EQ(files_.GetAttributes("C:\\Work\\Sub"), kInvalidAttributes);
  ASSERT_EQ(files_.MakeFolder("C:\\work\\SUB"), kErrorSuccess);
  EXPECT_EQ(files_.GetAttributes("C:\\Work\\Sub"), kAttrDirectory);
  ASSERT_EQ(files_.Delete("C:\\work\\new.TXT"), kErrorSuccess);
  EXPECT_EQ(files_.GetAttributes("C:\\Work\\new.txt"), kInvalidAttributes);
  ASSERT_EQ(files_.Append("C:\\Work\\New.txt", "z"), kErrorSuccess);
  EXPECT_EQ(files_.GetAttributes("C:\\Work\\new.txt"), kAttrArchive) << "made by an append";
  ASSERT_EQ(files_.Delete("C:\\Work\\New.txt"), kErrorSuccess);
  ASSERT_EQ(files_.Append("C:\\Work\\new.txt", "w"), kErrorSuccess);
  EXPECT_TRUE(fs::exists(drives() / "C" / "Work" / "new.txt"))
      << "a name made again keeps the case it is given";
  EXPECT_EQ(files_.GetAttributes("C:\\Work\\copy.txt"), kInvalidAttributes);
  ASSERT_EQ(files_.Copy("C:\\Work\\new.txt", "C:\\WORK\\COPY.TXT", true), kErrorSuccess);
  EXPECT_EQ(files_.GetAttributes("C:\\Work\\copy.txt"), kAttrArchive) << "made by a copy";
}

// While sole, one name is found through the remembered paths; whatever the pattern, the
// answer must be the one a fresh look gives: status, stored name, attributes, size and mask.
TEST_F(SimFileSystemTest, FindingOneNameWhileSoleAnswersAsAFreshLookDoes) {
  fs::create_directories(drives() / "C" / "Work" / "Sub");
  HostWrite(drives() / "C" / "Work" / "File.txt", "abc");
  SimFileSystem fresh(drives());
  ASSERT_EQ(fresh.SetAttributes("C:\\Work\\File.txt", kAttrHidden | kAttrReadOnly), kErrorSuccess);
  files_.SetSoleWriter(true);
  for (const char* pattern :
       {"C:\\work\\FILE.TXT", "C:\\Work\\File.txt. ", "C:\\Work\\Sub\\..\\file.txt",
        "C:\\Work\\sub", "C:\\Work\\Sub\\", "C:\\Work\\File.txt\\", "C:\\", "C:\\.",
        "C:\\Work\\missing", "C:\\Missing\\x", "C:\\Work\\a|b", "D:\\x", "C:"}) {
    for (const std::uint32_t mask : {0u, kAttrHidden, kAttrDirectory}) {
      const std::string expected = Answer(fresh, pattern, mask);
      EXPECT_EQ(Answer(files_, pattern, mask), expected) << pattern << " mask " << mask;
      EXPECT_EQ(Answer(files_, pattern, mask), expected)
          << pattern << " mask " << mask << ", again";
    }
  }
}

// While sole, a folder listed before is listed from memory; every change this file system
// makes in it must show in the next listing as a fresh read shows it.
TEST_F(SimFileSystemTest, AFolderListedAgainWhileSoleShowsEveryChangeMadeInIt) {
  fs::create_directories(drives() / "C" / "Work");
  HostWrite(drives() / "C" / "Work" / "b.txt", "b");
  SimFileSystem fresh(drives());
  files_.SetSoleWriter(true);
  const auto expectSameListing = [&](const std::string& after) {
    EXPECT_EQ(Answer(files_, "C:\\Work\\*", kAttrDirectory),
              Answer(fresh, "C:\\Work\\*", kAttrDirectory))
        << "after " << after;
  };
  expectSameListing("nothing");
  ASSERT_EQ(files_.WriteAll("C:\\Work\\A.txt", "aa"), kErrorSuccess);
  expectSameListing("a file made before the others");
  ASSERT_EQ(files_.WriteAll("C:\\Work\\b.txt", "bbb"), kErrorSuccess);
  expectSameListing("a file written again");
  ASSERT_EQ(files_.Copy("C:\\Work\\b.txt", "C:\\Work\\c.txt", true), kErrorSuccess);
  ASSERT_EQ(files_.MakeFolder("C:\\Work\\Sub"), kErrorSuccess);
  ASSERT_EQ(files_.Append("C:\\Work\\d.log", "x"), kErrorSuccess);
  expectSameListing("a copy, a folder and an append");
  ASSERT_EQ(files_.Delete("C:\\Work\\b.txt"), kErrorSuccess);
  expectSameListing("a delete");
  ASSERT_EQ(files_.RemoveFolder("C:\\Work\\Sub"), kErrorSuccess);
  expectSameListing("a folder removed");
}

}  // namespace
}  // namespace dav::platform::sim
