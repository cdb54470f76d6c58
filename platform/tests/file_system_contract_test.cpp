// The file system as Windows gives it to the component: listings with attribute masks,
// names without regard to case, copies that never overwrite, read-only files, folders and
// whole-file writes. Each case runs in a scratch folder of its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/tests/test_environment.h"

namespace dav::platform {
namespace {

using Names = std::vector<std::string>;
constexpr std::uint32_t kEverything = 55;  // read-only, hidden, system, directory, archive
// The attributes compared; archive is left out, because Wine reports it on every file.
constexpr std::uint32_t kVisibleBits = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrDirectory;

class FileSystemContractTest : public ::testing::Test {
 protected:
  void SetUp() override { env_ = testing::MakeTestEnvironment(); }

  FileSystem& fs() { return env_->platform().files(); }
  std::string At(const std::string& name) { return env_->scratchFolder() + "\\" + name; }
  std::uint32_t Attributes(const std::string& name) {
    return fs().GetAttributes(At(name)) & kVisibleBits;
  }

  void Write(const std::string& name, const std::string& bytes, std::uint32_t attributes = 0) {
    ASSERT_EQ(fs().WriteAll(At(name), bytes), kErrorSuccess) << name;
    if (attributes != 0) {
      ASSERT_EQ(fs().SetAttributes(At(name), attributes), kErrorSuccess) << name;
    }
  }

  std::string Read(const std::string& name) {
    std::string bytes;
    EXPECT_EQ(fs().ReadAll(At(name), &bytes), kErrorSuccess) << name;
    return bytes;
  }

  // The names a listing gives: "." and ".." must come first, the rest are sorted here
  // because their order is the file system's.
  Names List(const std::string& pattern, std::uint32_t mask, Status expected = kErrorSuccess) {
    std::vector<FileEntry> entries;
    EXPECT_EQ(fs().FindFiles(At(pattern), mask, &entries), expected) << pattern << " mask " << mask;
    Names names;
    for (const FileEntry& entry : entries) names.push_back(entry.name);
    auto rest = std::find_if(names.begin(), names.end(),
                             [](const std::string& n) { return n != "." && n != ".."; });
    std::sort(rest, names.end());
    return names;
  }

  std::unique_ptr<testing::TestEnvironment> env_;
};

TEST_F(FileSystemContractTest, AttributeMasksChooseWhatAListingGives) {
  Write("plain.txt", "p");
  Write("readonly.txt", "r", kAttrReadOnly);
  Write("hidden.txt", "h", kAttrHidden);
  Write("system.txt", "s", kAttrSystem);
  ASSERT_EQ(fs().MakeFolder(At("Sub")), kErrorSuccess);

  EXPECT_EQ(List("*.*", 0), (Names{"plain.txt", "readonly.txt"}))
      << "mask 0: plain files, read-only ones too, no hidden, system or folder";
  EXPECT_EQ(List("*.*", kAttrDirectory), (Names{".", "..", "Sub", "plain.txt", "readonly.txt"}))
      << "mask 16 adds the folders, \".\" and \"..\" first";
  EXPECT_EQ(List("*", kEverything),
            (Names{".", "..", "Sub", "hidden.txt", "plain.txt", "readonly.txt", "system.txt"}))
      << "mask 55 lists every kind of entry";

  std::vector<FileEntry> entries;
  ASSERT_EQ(fs().FindFiles(At("readonly.txt"), 0, &entries), kErrorSuccess);
  ASSERT_EQ(entries.size(), 1u) << "a name without wildcards finds that one entry";
  EXPECT_EQ(entries[0].attributes & kVisibleBits, kAttrReadOnly);
  EXPECT_EQ(entries[0].size, 1u);
  EXPECT_TRUE(List("Sub", 0).empty()) << "found but left out by the mask is no failure";
}

TEST_F(FileSystemContractTest, PatternsMatchAsFindFirstFileDoes) {
  Write("file.txt", "abc");
  Write("noext", "");
  ASSERT_EQ(fs().MakeFolder(At("Sub")), kErrorSuccess);

  EXPECT_EQ(List("*.*", 0), (Names{"file.txt", "noext"})) << "\"*.*\" matches names without dot";
  EXPECT_EQ(List("?ILE.*", 0), Names{"file.txt"}) << "\"?\" is one character; case is ignored";
  EXPECT_EQ(List("noext.*", 0), Names{"noext"}) << "a trailing \".*\" matches the name's end";
  EXPECT_EQ(List("SUB", kAttrDirectory), Names{"Sub"}) << "the name as stored, not as asked";
  EXPECT_EQ(List("sub\\..\\FILE.TXT", 0), Names{"file.txt"});
  EXPECT_EQ(List("Sub\\*", kAttrDirectory), (Names{".", ".."})) << "an empty folder below root";
  // Windows also matches a pattern against 8.3 short names, so that "*.htm" finds "b.html".
  // The simulated PC has no short names and the component never lists with such a pattern,
  // so no case here depends on them.

  List("*.t", kEverything, kErrorFileNotFound);
  List("missing\\*.*", kEverything, kErrorPathNotFound);
  List("S*\\*.*", kEverything, kErrorInvalidName);
  std::vector<FileEntry> root;
  ASSERT_EQ(fs().FindFiles("C:\\*", kEverything, &root), kErrorSuccess);
  for (const FileEntry& entry : root) {
    EXPECT_TRUE(entry.name != "." && entry.name != "..") << "a drive's root has no dots";
  }
}

TEST_F(FileSystemContractTest, PathsIgnoreLetterCase) {
  Write("Mixed.txt", "one");
  std::string slashes = At("MIXED.TXT");
  std::replace(slashes.begin(), slashes.end(), '\\', '/');
  std::string bytes;
  EXPECT_EQ(fs().ReadAll(slashes, &bytes), kErrorSuccess) << "another case, \"/\" for \"\\\"";
  EXPECT_EQ(bytes, "one");

  Write("mixed.TXT", "two");
  EXPECT_EQ(List("*.txt", 0), Names{"Mixed.txt"}) << "replaced under its stored name";
  EXPECT_EQ(Read("MIXED.txt"), "two");
  ASSERT_EQ(fs().MakeFolder(At("NewFolder")), kErrorSuccess);
  Write("newfolder\\inner.txt", "x");
  EXPECT_EQ(List("NEWFOLDER", kAttrDirectory), Names{"NewFolder"});
  EXPECT_EQ(fs().MakeFolder(At("NEWFOLDER")), kErrorAlreadyExists);
}

TEST_F(FileSystemContractTest, CopyLeavesExistingAndProtectedTargetsAlone) {
  Write("source.txt", "new content", kAttrHidden | kAttrReadOnly);
  Write("existing.txt", "old");
  ASSERT_EQ(fs().MakeFolder(At("Folder")), kErrorSuccess);

  EXPECT_EQ(fs().Copy(At("source.txt"), At("existing.txt"), true), kErrorFileExists);
  EXPECT_EQ(Read("existing.txt"), "old") << "fail-if-exists leaves the target alone";
  ASSERT_EQ(fs().Copy(At("SOURCE.TXT"), At("copy.txt"), true), kErrorSuccess);
  EXPECT_EQ(Read("copy.txt"), "new content");
  EXPECT_EQ(Attributes("copy.txt"), kAttrHidden | kAttrReadOnly) << "the copy keeps attributes";
  Write("archived.txt", "x", kAttrReadOnly | kAttrArchive);
  ASSERT_EQ(fs().Copy(At("archived.txt"), At("archived copy.txt"), true), kErrorSuccess);
  EXPECT_EQ(Attributes("archived copy.txt"), kAttrReadOnly) << "read-only beside archive";

  EXPECT_EQ(fs().Copy(At("missing.txt"), At("other.txt"), true), kErrorFileNotFound);
  EXPECT_EQ(fs().Copy(At("Folder"), At("other"), true), kErrorAccessDenied) << "a folder source";
  EXPECT_EQ(fs().Copy(At("source.txt"), At("missing\\copy.txt"), true), kErrorPathNotFound);

  // Without fail-if-exists CopyFileA overwrites, but not a read-only or a hidden file.
  for (const std::uint32_t attribute : {kAttrReadOnly, kAttrHidden}) {
    Write("target.txt", "old", attribute);
    EXPECT_EQ(fs().Copy(At("existing.txt"), At("target.txt"), false), kErrorAccessDenied)
        << "CopyFileA onto a file with attribute " << attribute;
    EXPECT_EQ(Read("target.txt"), "old") << "a refused copy leaves the target alone";
    ASSERT_EQ(fs().SetAttributes(At("target.txt"), kAttrNormal), kErrorSuccess);
  }
  EXPECT_EQ(fs().Copy(At("existing.txt"), At("target.txt"), false), kErrorSuccess);
  EXPECT_EQ(Read("target.txt"), "old") << "a plain file is overwritten";
}

TEST_F(FileSystemContractTest, DeleteRefusesReadOnlyFilesAndFolders) {
  Write("locked.txt", "x", kAttrReadOnly | kAttrHidden);
  ASSERT_EQ(fs().MakeFolder(At("Folder")), kErrorSuccess);
  EXPECT_EQ(fs().Delete(At("locked.txt")), kErrorAccessDenied);
  EXPECT_EQ(Read("locked.txt"), "x") << "a refused delete leaves the file";
  ASSERT_EQ(fs().SetAttributes(At("locked.txt"), kAttrNormal), kErrorSuccess);
  EXPECT_EQ(Attributes("locked.txt"), 0u) << "normal clears every attribute";
  EXPECT_EQ(fs().Delete(At("locked.txt")), kErrorSuccess) << "deletable once attributes clear";
  EXPECT_EQ(fs().GetAttributes(At("locked.txt")), kInvalidAttributes);
  EXPECT_EQ(fs().SetAttributes(At("locked.txt"), 0), kErrorFileNotFound);

  ASSERT_EQ(fs().SetAttributes(At("Folder"), kAttrNormal), kErrorSuccess);
  EXPECT_EQ(Attributes("folder"), kAttrDirectory) << "a folder stays a folder";
  EXPECT_EQ(fs().Delete(At("Folder")), kErrorAccessDenied) << "DeleteFile never removes a folder";
  EXPECT_EQ(fs().Delete(At("missing.txt")), kErrorFileNotFound);
  EXPECT_EQ(fs().Delete(At("missing\\file.txt")), kErrorPathNotFound);
}

TEST_F(FileSystemContractTest, FoldersAreMadeAndRemovedOneLevelAtATime) {
  EXPECT_EQ(fs().MakeFolder(At("a\\b")), kErrorPathNotFound) << "the parent must exist";
  ASSERT_EQ(fs().MakeFolder(At("a")), kErrorSuccess);
  Write("a\\inner.txt", "x");
  EXPECT_EQ(fs().MakeFolder(At("a\\inner.txt")), kErrorAlreadyExists) << "a file in the way";
  EXPECT_EQ(fs().RemoveFolder(At("a")), kErrorDirNotEmpty);
  EXPECT_EQ(fs().RemoveFolder(At("a\\inner.txt")), kErrorDirectory) << "a file is no folder";
  ASSERT_EQ(fs().Delete(At("a\\inner.txt")), kErrorSuccess);
  EXPECT_EQ(fs().RemoveFolder(At("A")), kErrorSuccess);
  EXPECT_EQ(fs().RemoveFolder(At("a")), kErrorFileNotFound);
  EXPECT_EQ(fs().GetAttributes(At("a\\b")), kInvalidAttributes) << "below a missing folder";
  EXPECT_EQ(fs().GetAttributes(At("a?b")), kInvalidAttributes) << "a wildcard is no name";
}

TEST_F(FileSystemContractTest, WholeFileWritesAndAppends) {
  Write("doc.xml", std::string(1000, 'x'), kAttrHidden);
  Write("doc.xml", "short");
  EXPECT_EQ(Read("doc.xml"), "short") << "nothing of the longer old content may remain";
  EXPECT_EQ(Attributes("doc.xml"), kAttrHidden) << "replacing a file keeps its attributes";
  EXPECT_EQ(List("*", kEverything).size(), 3u) << "no temporary file is left behind";
  ASSERT_EQ(fs().SetAttributes(At("doc.xml"), kAttrReadOnly), kErrorSuccess);
  EXPECT_EQ(fs().WriteAll(At("doc.xml"), "refused"), kErrorAccessDenied);
  EXPECT_EQ(Read("doc.xml"), "short") << "a read-only file is not replaced";
  EXPECT_EQ(fs().WriteAll(At("missing\\doc.xml"), "x"), kErrorPathNotFound);

  ASSERT_EQ(fs().Append(At("log.txt"), "one\r\n"), kErrorSuccess) << "append creates the file";
  ASSERT_EQ(fs().Append(At("LOG.TXT"), "two\r\n"), kErrorSuccess);
  EXPECT_EQ(Read("log.txt"), "one\r\ntwo\r\n");
  EXPECT_EQ(fs().Append(At("missing\\log.txt"), "x"), kErrorPathNotFound);
  ASSERT_EQ(fs().SetAttributes(At("log.txt"), kAttrReadOnly), kErrorSuccess);
  EXPECT_EQ(fs().Append(At("log.txt"), "three"), kErrorAccessDenied)
      << "a read-only file cannot be opened for appending";
  EXPECT_EQ(Read("log.txt"), "one\r\ntwo\r\n");
}

// A reader of a growing log reads what follows the size it saw last, on both sides of the
// file's end.
TEST_F(FileSystemContractTest, ReadingFromAnOffsetGivesWhatFollowsItAndTheSize) {
  Write("log.txt", "one\r\ntwo\r\n");
  const auto from = [&](std::uint64_t offset, std::uint64_t expectedSize = 10) {
    std::string bytes = "stale";
    std::uint64_t size = 0;
    EXPECT_EQ(fs().ReadFrom(At("LOG.txt"), offset, &bytes, &size), kErrorSuccess) << offset;
    EXPECT_EQ(size, expectedSize) << offset;
    return bytes;
  };
  EXPECT_EQ(from(0), "one\r\ntwo\r\n");
  EXPECT_EQ(from(5), "two\r\n");
  EXPECT_EQ(from(9), "\n") << "the last byte";
  EXPECT_EQ(from(10), "") << "at the end";
  EXPECT_EQ(from(11), "") << "past the end";
  EXPECT_EQ(from(std::numeric_limits<std::uint64_t>::max()), "") << "only the size";
  ASSERT_EQ(fs().Append(At("log.txt"), "3"), kErrorSuccess);
  EXPECT_EQ(from(10, 11), "3");

  std::string bytes = "stale";
  std::uint64_t size = 7;
  EXPECT_EQ(fs().ReadFrom(At("missing.txt"), 0, &bytes, &size), kErrorFileNotFound);
  EXPECT_EQ(bytes, "");
  EXPECT_EQ(size, 0u);
}

TEST_F(FileSystemContractTest, AFileNameWithASeparatorAfterItNamesNoFile) {
  Write("a.txt", "x");
  EXPECT_EQ(fs().Delete(At("a.txt\\")), kErrorInvalidName) << "DeleteFileA of \"a.txt\\\"";
  EXPECT_EQ(fs().Delete(At("missing.txt\\")), kErrorFileNotFound);
  std::string bytes;
  EXPECT_EQ(fs().ReadAll(At("a.txt\\"), &bytes), kErrorInvalidName) << "CreateFileA to read";
  EXPECT_EQ(fs().Copy(At("a.txt\\"), At("b.txt"), true), kErrorInvalidName) << "CopyFileA from";
  EXPECT_EQ(fs().Copy(At("a.txt"), At("b.txt\\"), true), kErrorInvalidName) << "CopyFileA to";
  EXPECT_EQ(fs().Append(At("a.txt\\"), "y"), kErrorInvalidName) << "CreateFileA to append";
  EXPECT_EQ(fs().Append(At("new.txt\\"), "y"), kErrorInvalidName) << "CreateFileA to append";
  EXPECT_EQ(fs().SetAttributes(At("a.txt\\"), kAttrHidden), kErrorInvalidName);
  EXPECT_EQ(fs().RemoveFolder(At("a.txt\\")), kErrorInvalidName);
  EXPECT_EQ(fs().MakeFolder(At("a.txt\\")), kErrorAlreadyExists) << "the file is in the way";
  // A whole-file write puts its temporary file into the folder the path names.
  EXPECT_EQ(fs().WriteAll(At("a.txt\\"), "z"), kErrorPathNotFound);
  EXPECT_EQ(fs().WriteAll(At("w.txt\\"), "z"), kErrorPathNotFound);
  EXPECT_EQ(List("*", kEverything), (Names{".", "..", "a.txt"})) << "nothing was made or deleted";
  EXPECT_EQ(Read("a.txt"), "x");
}

}  // namespace
}  // namespace dav::platform
