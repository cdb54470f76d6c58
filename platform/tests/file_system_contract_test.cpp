// The file system as Windows gives it to the component: listings with attribute masks,
// names without regard to case, copies that never overwrite, read-only files, folders and
// whole-file writes. Each case runs in a scratch folder of its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/tests/test_environment.h"

namespace dav::platform {
namespace {

constexpr std::uint32_t kMaskPlainFiles = 0;
constexpr std::uint32_t kMaskFolders = kAttrDirectory;
constexpr std::uint32_t kMaskEverything = 55;  // read-only, hidden, system, directory, archive

class FileSystemContractTest : public ::testing::Test {
 protected:
  void SetUp() override { env_ = testing::MakeTestEnvironment(); }

  FileSystem& fs() { return env_->platform().files(); }
  std::string At(const std::string& name) { return env_->scratchFolder() + "\\" + name; }

  void Write(const std::string& name, const std::string& bytes, std::uint32_t attributes = 0) {
    ASSERT_EQ(fs().WriteAll(At(name), bytes), kErrorSuccess) << name;
    if (attributes != 0) {
      ASSERT_EQ(fs().SetAttributes(At(name), attributes), kErrorSuccess);
    }
  }

  std::string Read(const std::string& name) {
    std::string bytes;
    EXPECT_EQ(fs().ReadAll(At(name), &bytes), kErrorSuccess) << name;
    return bytes;
  }

  // The names a listing gives, in its order.
  std::vector<std::string> List(const std::string& pattern, std::uint32_t mask,
                                Status expected = kErrorSuccess) {
    std::vector<FileEntry> entries;
    EXPECT_EQ(fs().FindFiles(pattern, mask, &entries), expected) << pattern << " mask " << mask;
    std::vector<std::string> names;
    for (const FileEntry& entry : entries) names.push_back(entry.name);
    return names;
  }

  // "." and ".." (when listed) must come first; the rest may come in any order.
  static std::vector<std::string> DotsThenSorted(std::vector<std::string> names) {
    auto rest = std::find_if(names.begin(), names.end(),
                             [](const std::string& n) { return n != "." && n != ".."; });
    std::sort(rest, names.end());
    return names;
  }

  std::unique_ptr<testing::TestEnvironment> env_;
};

using Names = std::vector<std::string>;

TEST_F(FileSystemContractTest, AttributeMasksChooseWhatAListingGives) {
  Write("plain.txt", "p");
  Write("readonly.txt", "r", kAttrReadOnly);
  Write("hidden.txt", "h", kAttrHidden);
  Write("system.txt", "s", kAttrSystem);
  ASSERT_EQ(fs().MakeDirectory(At("Sub")), kErrorSuccess);
  const std::string all = At("*.*");

  EXPECT_EQ(DotsThenSorted(List(all, kMaskPlainFiles)), (Names{"plain.txt", "readonly.txt"}))
      << "mask 0 lists plain files, read-only ones included, and no hidden, system or folder";
  EXPECT_EQ(DotsThenSorted(List(all, kMaskFolders)),
            (Names{".", "..", "Sub", "plain.txt", "readonly.txt"}))
      << "mask 16 adds folders, \".\" and \"..\" first";
  EXPECT_EQ(DotsThenSorted(List(all, kMaskEverything)),
            (Names{".", "..", "Sub", "hidden.txt", "plain.txt", "readonly.txt", "system.txt"}))
      << "mask 55 lists every kind of entry";
  EXPECT_EQ(DotsThenSorted(List(At("*"), kMaskEverything)), DotsThenSorted(List(all, 55)))
      << "\"*\" and \"*.*\" list the same entries";

  std::vector<FileEntry> entries;
  ASSERT_EQ(fs().FindFiles(all, kMaskEverything, &entries), kErrorSuccess);
  for (const FileEntry& entry : entries) {
    if (entry.name == "readonly.txt") {
      EXPECT_EQ(entry.attributes & (kAttrReadOnly | kAttrDirectory), kAttrReadOnly);
      EXPECT_EQ(entry.size, 1u);
    }
    if (entry.name == "hidden.txt") {
      EXPECT_NE(entry.attributes & kAttrHidden, 0u);
    }
    if (entry.name == "Sub" || entry.name == "." || entry.name == "..") {
      EXPECT_NE(entry.attributes & kAttrDirectory, 0u) << entry.name << " is a folder";
    }
  }
}

TEST_F(FileSystemContractTest, PatternsMatchAsFindFirstFileDoes) {
  Write("file.txt", "abc");
  Write("noext", "");
  ASSERT_EQ(fs().MakeDirectory(At("Sub")), kErrorSuccess);

  EXPECT_EQ(DotsThenSorted(List(At("*.*"), kMaskPlainFiles)), (Names{"file.txt", "noext"}))
      << "\"*.*\" also matches a name without a dot";
  EXPECT_EQ(List(At("?ILE.*"), kMaskPlainFiles), Names{"file.txt"}) << "\"?\" and case";
  EXPECT_EQ(List(At("noext.*"), kMaskPlainFiles), Names{"noext"}) << "a trailing \".*\"";
  List(At("*.t"), kMaskEverything, kErrorFileNotFound);
  EXPECT_EQ(List(At("SUB"), kMaskFolders), Names{"Sub"})
      << "a name without wildcards finds that entry, under the name it is stored with";
  EXPECT_EQ(List(At("sub\\..\\FILE.TXT"), kMaskPlainFiles), Names{"file.txt"});
  EXPECT_TRUE(List(At("Sub"), kMaskPlainFiles).empty())
      << "a folder found but left out by the mask is no failure";
  EXPECT_EQ(DotsThenSorted(List(At("Sub\\*"), kMaskFolders)), (Names{".", ".."}))
      << "an empty folder below the root still lists \".\" and \"..\"";

  List(At("*.xyz"), kMaskEverything, kErrorFileNotFound);
  List(At("missing\\*.*"), kMaskEverything, kErrorPathNotFound);
  List(At("S*\\*.*"), kMaskEverything, kErrorInvalidName);

  Names root = List("C:\\*", kMaskEverything);
  EXPECT_EQ(std::count(root.begin(), root.end(), "."), 0) << "a drive's root has no \".\"";
  EXPECT_EQ(std::count(root.begin(), root.end(), ".."), 0);
}

TEST_F(FileSystemContractTest, PathsIgnoreLetterCase) {
  Write("Mixed.txt", "one");
  EXPECT_EQ(Read("MIXED.TXT"), "one");
  std::string bytes;
  std::string slashes = At("mixed.txt");
  std::replace(slashes.begin(), slashes.end(), '\\', '/');
  EXPECT_EQ(fs().ReadAll(slashes, &bytes), kErrorSuccess) << "\"/\" separates like \"\\\"";

  Write("MIXED.TXT", "two");
  EXPECT_EQ(Read("mixed.txt"), "two");
  EXPECT_EQ(List(At("*.txt"), kMaskPlainFiles), Names{"Mixed.txt"})
      << "writing under another case replaces the file and keeps its name";

  ASSERT_EQ(fs().MakeDirectory(At("NewFolder")), kErrorSuccess);
  Write("newfolder\\inner.txt", "x");
  EXPECT_EQ(List(At("NEWFOLDER"), kMaskFolders), Names{"NewFolder"});
  EXPECT_EQ(fs().MakeDirectory(At("NEWFOLDER")), kErrorAlreadyExists);
}

TEST_F(FileSystemContractTest, AttributesAreReadAndSet) {
  Write("file.txt", "x");
  ASSERT_EQ(fs().MakeDirectory(At("Folder")), kErrorSuccess);
  EXPECT_EQ(fs().GetAttributes(At("missing")), kInvalidAttributes);
  EXPECT_EQ(fs().GetAttributes(At("missing\\deeper")), kInvalidAttributes);
  EXPECT_EQ(fs().GetAttributes(At("a?b")), kInvalidAttributes) << "a wildcard is no name";
  EXPECT_EQ(fs().GetAttributes(At("file.txt")) & kAttrDirectory, 0u);
  EXPECT_NE(fs().GetAttributes(At("folder")) & kAttrDirectory, 0u);

  ASSERT_EQ(fs().SetAttributes(At("file.txt"), kAttrReadOnly | kAttrHidden | kAttrSystem),
            kErrorSuccess);
  EXPECT_EQ(fs().GetAttributes(At("file.txt")) & 0x17u, kAttrReadOnly | kAttrHidden | kAttrSystem);
  ASSERT_EQ(fs().SetAttributes(At("file.txt"), kAttrNormal), kErrorSuccess);
  EXPECT_EQ(fs().GetAttributes(At("file.txt")) & 0x17u, 0u) << "normal clears every attribute";
  ASSERT_EQ(fs().SetAttributes(At("Folder"), 0), kErrorSuccess);
  EXPECT_NE(fs().GetAttributes(At("Folder")) & kAttrDirectory, 0u)
      << "a folder stays a folder whatever attributes are set";
  EXPECT_EQ(fs().SetAttributes(At("missing"), 0), kErrorFileNotFound);
}

TEST_F(FileSystemContractTest, CopyWithFailIfExistsNeverOverwrites) {
  Write("source.txt", "new content", kAttrHidden | kAttrReadOnly);
  Write("existing.txt", "old");
  ASSERT_EQ(fs().MakeDirectory(At("Folder")), kErrorSuccess);

  EXPECT_EQ(fs().Copy(At("source.txt"), At("existing.txt"), true), kErrorFileExists);
  EXPECT_EQ(Read("existing.txt"), "old") << "fail-if-exists leaves the target alone";
  EXPECT_EQ(fs().Copy(At("source.txt"), At("Folder"), true), kErrorFileExists);

  ASSERT_EQ(fs().Copy(At("SOURCE.TXT"), At("copy.txt"), true), kErrorSuccess);
  EXPECT_EQ(Read("copy.txt"), "new content");
  EXPECT_EQ(fs().GetAttributes(At("copy.txt")) & 0x17u, kAttrHidden | kAttrReadOnly)
      << "a copy keeps the source's attributes";

  EXPECT_EQ(fs().Copy(At("missing.txt"), At("other.txt"), true), kErrorFileNotFound);
  EXPECT_EQ(fs().Copy(At("Folder"), At("other"), true), kErrorAccessDenied)
      << "a folder cannot be copied as a file";
  EXPECT_EQ(fs().Copy(At("source.txt"), At("missing\\copy.txt"), true), kErrorPathNotFound);
}

TEST_F(FileSystemContractTest, DeleteRefusesReadOnlyFilesAndFolders) {
  Write("locked.txt", "x", kAttrReadOnly | kAttrHidden);
  ASSERT_EQ(fs().MakeDirectory(At("Folder")), kErrorSuccess);

  EXPECT_EQ(fs().Delete(At("locked.txt")), kErrorAccessDenied);
  EXPECT_NE(fs().GetAttributes(At("locked.txt")), kInvalidAttributes) << "still there";
  ASSERT_EQ(fs().SetAttributes(At("locked.txt"), kAttrNormal), kErrorSuccess);
  EXPECT_EQ(fs().Delete(At("locked.txt")), kErrorSuccess) << "deletable once attributes clear";
  EXPECT_EQ(fs().GetAttributes(At("locked.txt")), kInvalidAttributes);

  EXPECT_EQ(fs().Delete(At("Folder")), kErrorAccessDenied) << "DeleteFile never removes a folder";
  EXPECT_EQ(fs().Delete(At("missing.txt")), kErrorFileNotFound);
  EXPECT_EQ(fs().Delete(At("missing\\file.txt")), kErrorPathNotFound);
}

TEST_F(FileSystemContractTest, FoldersAreMadeAndRemovedOneLevelAtATime) {
  EXPECT_EQ(fs().MakeDirectory(At("a\\b")), kErrorPathNotFound) << "the parent must exist";
  ASSERT_EQ(fs().MakeDirectory(At("a")), kErrorSuccess);
  EXPECT_EQ(fs().MakeDirectory(At("a")), kErrorAlreadyExists);
  Write("file.txt", "x");
  EXPECT_EQ(fs().MakeDirectory(At("file.txt")), kErrorAlreadyExists) << "a file is in the way";

  Write("a\\inner.txt", "x");
  EXPECT_EQ(fs().RemoveDirectory(At("a")), kErrorDirNotEmpty);
  ASSERT_EQ(fs().Delete(At("a\\inner.txt")), kErrorSuccess);
  EXPECT_EQ(fs().RemoveDirectory(At("A")), kErrorSuccess);
  EXPECT_EQ(fs().GetAttributes(At("a")), kInvalidAttributes);
  EXPECT_EQ(fs().RemoveDirectory(At("a")), kErrorFileNotFound);
  EXPECT_EQ(fs().RemoveDirectory(At("file.txt")), kErrorDirectory) << "a file is no folder";
}

TEST_F(FileSystemContractTest, WriteAllReplacesTheWholeFile) {
  Write("doc.xml", std::string(1000, 'x'));
  Write("doc.xml", "short");
  EXPECT_EQ(Read("doc.xml"), "short") << "nothing of the longer old content may remain";

  ASSERT_EQ(fs().SetAttributes(At("doc.xml"), kAttrHidden), kErrorSuccess);
  Write("doc.xml", "again");
  EXPECT_NE(fs().GetAttributes(At("doc.xml")) & kAttrHidden, 0u)
      << "replacing a file keeps its attributes";
  EXPECT_EQ(List(At("*"), kMaskEverything).size(), 3u) << "no temporary file is left behind";

  ASSERT_EQ(fs().SetAttributes(At("doc.xml"), kAttrReadOnly), kErrorSuccess);
  EXPECT_EQ(fs().WriteAll(At("doc.xml"), "refused"), kErrorAccessDenied);
  EXPECT_EQ(fs().Append(At("doc.xml"), "refused"), kErrorAccessDenied);
  EXPECT_EQ(Read("doc.xml"), "again") << "a read-only file is not written";

  EXPECT_EQ(fs().WriteAll(At("missing\\doc.xml"), "x"), kErrorPathNotFound);
  ASSERT_EQ(fs().MakeDirectory(At("Folder")), kErrorSuccess);
  EXPECT_EQ(fs().WriteAll(At("Folder"), "x"), kErrorAccessDenied) << "a folder is no file";
}

TEST_F(FileSystemContractTest, AppendCreatesThenAppends) {
  ASSERT_EQ(fs().Append(At("log.txt"), "one\r\n"), kErrorSuccess);
  ASSERT_EQ(fs().Append(At("LOG.TXT"), "two\r\n"), kErrorSuccess);
  EXPECT_EQ(Read("log.txt"), "one\r\ntwo\r\n");
  std::string bytes;
  EXPECT_EQ(fs().ReadAll(At("missing.txt"), &bytes), kErrorFileNotFound);
  EXPECT_EQ(fs().Append(At("missing\\log.txt"), "x"), kErrorPathNotFound);
}

}  // namespace
}  // namespace dav::platform
