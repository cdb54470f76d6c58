// Documents in files of the machine: the declared encoding on load and save.
#include <gtest/gtest.h>

#include "platform/tests/test_environment.h"
#include "util/run_time_error.h"
#include "xml/document.h"
#include "xml/tests/independent_codec.h"

namespace dav::xml {
namespace {

using testing::Convert;
using testing::Encoding;

std::string Cp949(std::string_view utf8) {
  std::string bytes;
  EXPECT_TRUE(Convert(Encoding::kCp949, Encoding::kUtf8, utf8, &bytes)) << utf8;
  return bytes;
}

constexpr const char* kKoreanDocument =
    "<?xml version=\"1.0\" encoding=\"ks_c_5601-1987\"?>"
    "<DocRoot><Configuration SpecVersion=\"1.0.0\"><FolderAccess>\r\n"
    "<Row ID=\"Path\" Value=\"C:\\바탕 화면\\똠방각하\" />\r\n"
    "<Row ID=\"Other\" Value=\"그림 😀 &amp; 끝\" />\r\n"
    "</FolderAccess></Configuration></DocRoot>";

class DocumentFileTest : public ::testing::Test {
 protected:
  DocumentFileTest() : env_(platform::testing::MakeTestEnvironment()) {}
  platform::FileSystem& files() { return env_->platform().files(); }
  std::string Path(const std::string& name) { return env_->scratchFolder() + "\\" + name; }
  std::string Bytes(const std::string& path) {
    std::string bytes;
    EXPECT_EQ(files().ReadAll(path, &bytes), platform::kErrorSuccess) << path;
    return bytes;
  }
  std::vector<std::string> Values(const Document& doc) {
    std::vector<std::string> values;
    for (const Node& row : doc.selectNodes("DocRoot/Configuration/FolderAccess/Row")) {
      values.push_back(row.attribute("Value").value_or("<none>"));
    }
    return values;
  }

  std::unique_ptr<platform::testing::TestEnvironment> env_;
};

TEST_F(DocumentFileTest, KoreanDocumentIsSavedAsValidCp949AndLoadsBackUnchanged) {
  Document doc;
  ASSERT_TRUE(doc.loadXML(kKoreanDocument)) << doc.parseError().reason;
  doc.save(files(), Path("WinConfig.qsf"));

  const std::string bytes = Bytes(Path("WinConfig.qsf"));
  std::string decoded;
  ASSERT_TRUE(Convert(Encoding::kUtf8, Encoding::kCp949, bytes, &decoded))
      << "the saved file must be valid CP949 for an independent decoder";
  EXPECT_NE(decoded.find("C:\\바탕 화면\\똠방각하"), std::string::npos)
      << "Korean, the extended syllable 똠 included, is stored as CP949 characters:\n"
      << decoded;
  EXPECT_NE(decoded.find("그림 &#128512; &amp; 끝"), std::string::npos)
      << "a character CP949 lacks is stored as a character reference:\n"
      << decoded;
  EXPECT_NE(decoded.find("\"/>\r\n<Row"), std::string::npos) << "rows keep their CR LF";

  Document again;
  ASSERT_TRUE(again.load(files(), Path("WinConfig.qsf"))) << again.parseError().reason;
  EXPECT_EQ(Values(again), Values(doc));
  EXPECT_EQ(Values(again)[1], "그림 😀 & 끝");
}

// A text that already holds CR LF (from a character reference) keeps it. U+0080 is the
// byte 0x80 in code page 949 (Windows passes it through); U+0081, which the code page lacks,
// becomes a reference, never a raw byte (0x81 would start a double-byte character).
TEST_F(DocumentFileTest, SavedLineEndsAndCharactersOutsideTheCodePage) {
  Document doc;
  ASSERT_TRUE(
      doc.loadXML("<?xml version=\"1.0\" encoding=\"ks_c_5601-1987\"?>"
                  "<a v=\"\xC2\x80\xC2\x81\xEB\x98\x91\">x&#13;\ny\nz</a>"))
      << doc.parseError().reason;
  doc.save(files(), Path("crlf.qsf"));
  const std::string bytes = Bytes(Path("crlf.qsf"));
  EXPECT_NE(bytes.find("x\r\ny\r\nz"), std::string::npos) << "CR LF stays, LF becomes CR LF";
  EXPECT_EQ(bytes.find("\r\r"), std::string::npos) << bytes;
  EXPECT_NE(bytes.find("v=\"\x80&#129;" + Cp949("똑") + "\""), std::string::npos) << bytes;

  Document again;
  ASSERT_TRUE(again.load(files(), Path("crlf.qsf"))) << again.parseError().reason;
  EXPECT_EQ(again.documentElement().attribute("v"), "\xC2\x80\xC2\x81똑");
}

TEST_F(DocumentFileTest, FilesAreDecodedByTheirDeclarationOrByteOrderMark) {
  const std::string body = "<a v=\"똠방각하\"/>";
  struct Case {
    const char* what;
    std::string bytes;
  };
  std::string utf16;
  ASSERT_TRUE(Convert(Encoding::kUtf16Le, Encoding::kUtf8,
                      "<?xml version=\"1.0\" encoding=\"UTF-16\"?>" + body, &utf16));
  const Case cases[] = {
      {"ks_c_5601-1987", Cp949("<?xml version=\"1.0\" encoding=\"ks_c_5601-1987\"?>" + body)},
      {"euc-kr in capitals", Cp949("<?xml version='1.0' encoding='EUC-KR'?>" + body)},
      {"cp949", Cp949("<?xml version=\"1.0\" encoding=\"cp949\"?>" + body)},
      {"utf-8", "<?xml version=\"1.0\" encoding=\"utf-8\"?>" + body},
      {"no declaration means UTF-8", body},
      {"UTF-8 byte order mark", "\xEF\xBB\xBF" + body},
      {"UTF-16 with a byte order mark", "\xFF\xFE" + utf16},
      {"UTF-16 without a byte order mark", utf16},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(files().WriteAll(Path("in.qsf"), c.bytes), platform::kErrorSuccess);
    Document doc;
    ASSERT_TRUE(doc.load(files(), Path("in.qsf"))) << c.what << ": " << doc.parseError().reason;
    EXPECT_EQ(doc.documentElement().attribute("v"), "똠방각하") << c.what;
  }
}

TEST_F(DocumentFileTest, FileFaultsNameTheFileAndThePlace) {
  Document doc;
  EXPECT_FALSE(doc.load(files(), Path("missing.qsf")));
  EXPECT_EQ(doc.parseError().errorCode, kXmlFileUnreadable);
  EXPECT_EQ(doc.parseError().url, Path("missing.qsf"));

  // 0xFF is no lead byte of CP949: the load fails at that character instead of guessing.
  ASSERT_EQ(
      files().WriteAll(Path("bad.qsf"),
                       Cp949("<?xml version=\"1.0\" encoding=\"ks_c_5601-1987\"?>\r\n<a v=\"한") +
                           "\xFF" + "\"/>"),
      platform::kErrorSuccess);
  EXPECT_FALSE(doc.load(files(), Path("bad.qsf")));
  EXPECT_EQ(doc.parseError().errorCode, kXmlInvalidCharacter) << doc.parseError().reason;
  EXPECT_EQ(doc.parseError().line, 2);
  EXPECT_EQ(doc.parseError().linepos, 8);
  EXPECT_EQ(doc.parseError().url, Path("bad.qsf"));
}

TEST_F(DocumentFileTest, AFailedSaveRaises) {
  Document doc;
  ASSERT_TRUE(doc.loadXML("<a/>"));
  try {
    doc.save(files(), Path("no such folder\\a.qsf"));
    FAIL() << "saving into a missing folder must raise";
  } catch (const util::RunTimeError& e) {
    EXPECT_EQ(e.number(), util::kErrPathFileAccess);
  }
}

}  // namespace
}  // namespace dav::xml
