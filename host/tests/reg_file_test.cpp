// The registry text form: what the registry editor writes and reads.
#include <gtest/gtest.h>

#include "host/reg_file_parser.h"
#include "host/reg_file_writer.h"
#include "host/utf16.h"

namespace dav::host {
namespace {

using namespace std::string_literals;

RegValue Value(std::string name, platform::ValueType type, std::string data) {
  RegValue v;
  v.name = std::move(name);
  v.type = type;
  v.data = std::move(data);
  return v;
}

std::vector<RegKeySection> Parse(const std::string& text) {
  std::vector<RegKeySection> sections;
  RegParseError error;
  EXPECT_TRUE(ParseRegFile(text, &sections, &error))
      << "line " << error.line << ": " << error.message << "\n"
      << text;
  return sections;
}

void ExpectSameSections(const std::vector<RegKeySection>& expected,
                        const std::vector<RegKeySection>& actual) {
  ASSERT_EQ(expected.size(), actual.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(expected[i].path, actual[i].path);
    EXPECT_EQ(expected[i].remove, actual[i].remove) << expected[i].path;
    ASSERT_EQ(expected[i].values.size(), actual[i].values.size()) << expected[i].path;
    for (std::size_t j = 0; j < expected[i].values.size(); ++j) {
      const RegValue& e = expected[i].values[j];
      const RegValue& a = actual[i].values[j];
      EXPECT_EQ(e.name, a.name) << expected[i].path;
      EXPECT_EQ(e.type, a.type) << "value '" << e.name << "'";
      EXPECT_EQ(e.data, a.data) << "value '" << e.name << "' of type " << e.type;
      EXPECT_EQ(e.remove, a.remove) << "value '" << e.name << "'";
    }
  }
}

// A tree with Korean names and every kind of value the writer distinguishes.
std::vector<RegKeySection> KoreanTree() {
  RegKeySection root{"HKEY_CURRENT_USER\\Software\\시작", false, {}, 0};
  root.values = {
      Value("", platform::kRegSz, "기본값\0"s),
      Value("프로그램", platform::kRegSz, "C:\\Program Files\\\"따옴표\"\0"s),
      Value("Path", platform::kRegExpandSz, "%SystemRoot%\\system32;%SystemRoot%\\바탕 화면\0"s),
      Value("목록", platform::kRegMultiSz, "첫째\0둘째\0\0"s),
      Value("Count", platform::kRegDword, "\x0a\x00\x00\x80"s),
      Value("Bytes", platform::kRegBinary, "\x00\xff\x10"s),
      Value("Empty", platform::kRegBinary, ""),
      Value("None", platform::kRegNone, "\x01\x02"s),
      Value("Quad", 11, "\x01\x00\x00\x00\x00\x00\x00\x00"s),
      Value("Short dword", platform::kRegDword, "\x01\x02"s),
      Value("Lines", platform::kRegSz, "one\r\ntwo\0"s),
      Value("Inner NUL", platform::kRegSz, "a\0b\0"s),
      Value("a\\b\"c", platform::kRegSz, "\0"s),
      Value("Emoji", platform::kRegExpandSz, "\xF0\x9F\x98\x80\0"s),
  };
  RegKeySection child{"HKEY_CURRENT_USER\\Software\\시작\\하위 키", false, {}, 0};
  child.values = {Value("x", platform::kRegSz, "\0"s)};
  RegKeySection empty{"HKEY_LOCAL_MACHINE\\Software\\Empty", false, {}, 0};
  return {root, child, empty};
}

TEST(RegFileTest, KoreanTreeWithEveryValueTypeRoundTrips) {
  const std::vector<RegKeySection> tree = KoreanTree();
  ExpectSameSections(tree, Parse(WriteRegFile(tree, LineEnd::kLf)));
  // As a .reg file on Windows: UTF-16LE with a BOM and CR LF.
  const std::string fileBytes = ToRegFileBytes(WriteRegFile(tree, LineEnd::kCrLf));
  ASSERT_EQ(fileBytes.substr(0, 2), "\xFF\xFE") << "a .reg file starts with the UTF-16LE BOM";
  ExpectSameSections(tree, Parse(fileBytes));
}

TEST(RegFileTest, WritesValuesAsTheRegistryEditorDoes) {
  const std::string text = WriteRegFile(KoreanTree(), LineEnd::kLf);
  const std::string expectedStart =
      "Windows Registry Editor Version 5.00\n"
      "\n"
      "[HKEY_CURRENT_USER\\Software\\시작]\n"
      "@=\"기본값\"\n"
      "\"프로그램\"=\"C:\\\\Program Files\\\\\\\"따옴표\\\"\"\n";
  EXPECT_EQ(text.substr(0, expectedStart.size()), expectedStart);
  EXPECT_NE(text.find("\n\"Count\"=dword:8000000a\n"), std::string::npos)
      << "a 4-byte DWORD is dword: with 8 lowercase hex digits";
  EXPECT_NE(text.find("\n\"Bytes\"=hex:00,ff,10\n"), std::string::npos);
  EXPECT_NE(text.find("\n\"Empty\"=hex:\n"), std::string::npos);
  EXPECT_NE(text.find("\n\"None\"=hex(0):01,02\n"), std::string::npos);
  EXPECT_NE(text.find("\n\"Quad\"=hex(b):01,00,00,00,00,00,00,00\n"), std::string::npos)
      << "other types are hex(N) with N in lowercase hex";
  EXPECT_NE(text.find("\n\"Short dword\"=hex(4):01,02\n"), std::string::npos)
      << "a DWORD that is not 4 bytes long cannot be written as dword:";
  EXPECT_NE(text.find("\n\"목록\"=hex(7):ab,cc,f8,c9,00,00,58,b4,f8,c9,00,00,00,00\n"),
            std::string::npos)
      << "REG_MULTI_SZ is written as UTF-16LE bytes";
  EXPECT_NE(text.find("\n\"Lines\"=hex(1):6f,00,6e,00,65,00,0d,00,0a,00,74,00,77,00,6f,00,00,00\n"),
            std::string::npos)
      << "a string with a line break cannot stay on one line; hex(1) keeps it";
  EXPECT_NE(text.find("\n\"a\\\\b\\\"c\"=\"\"\n"), std::string::npos)
      << "value names escape \\ and \" too";
  EXPECT_NE(text.find("\n\n[HKEY_LOCAL_MACHINE\\Software\\Empty]\n\n"), std::string::npos)
      << "every key section ends with a blank line";
  EXPECT_EQ(text.substr(text.size() - 3), "]\n\n") << "the file ends with a blank line";

  RegKeySection unterminated{"HKEY_CURRENT_USER\\T", false, {}};
  unterminated.values.push_back({"e", false, platform::kRegSz, "%S", 0});
  EXPECT_NE(WriteRegFile({unterminated}, LineEnd::kLf).find("\"e\"=hex(1):25,00,53,00\n"),
            std::string::npos)
      << "a string without its NUL is hex(1): \"text\" would read back with one";
}

TEST(RegFileTest, LongHexDataWrapsLikeTheRegistryEditor) {
  RegKeySection key{"HKEY_LOCAL_MACHINE\\T", false, {}, 0};
  key.values = {Value("Path", platform::kRegExpandSz,
                      "%SystemRoot%\\system32;%SystemRoot%;%SystemRoot%\\System32\\Wbem\0"s)};
  const std::string text = WriteRegFile({key}, LineEnd::kCrLf);
  // The registry editor's own export of this value begins with these two lines.
  EXPECT_NE(text.find("\"Path\"=hex(2):25,00,53,00,79,00,73,00,74,00,65,00,6d,00,52,00,6f,00,6f,"
                      "00,74,\\\r\n"
                      "  00,25,00,5c,00,73,00,79,00,73,00,74,00,65,00,6d,00,33,00,32,00,3b,00,"
                      "25,00,\\\r\n"),
            std::string::npos)
      << text;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    EXPECT_LE(end - start, 80u) << "line too long: " << text.substr(start, end - start);
    start = end + 2;
  }
}

TEST(RegFileTest, ReadsWhatPeopleWrite) {
  const auto sections = Parse(
      "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n"
      "\r\n"
      "; a comment\r\n"
      "[hklm\\Software\\A]\r\n"
      "\"spaced\" = \"v\" ; trailing comment\r\n"
      "\"bin\"=hex:01,\\\r\n"
      "   02,03\r\n"
      "\"gone\"=-\r\n"
      "@=dword:1\r\n"
      "[-HKCU\\Software\\Old]\r\n");
  ASSERT_EQ(sections.size(), 2u);
  EXPECT_EQ(sections[0].path, "HKEY_LOCAL_MACHINE\\Software\\A")
      << "short hive names are spelled out";
  ASSERT_EQ(sections[0].values.size(), 4u);
  EXPECT_EQ(sections[0].values[0].data, "v\0"s);
  EXPECT_EQ(sections[0].values[1].data, "\x01\x02\x03"s) << "hex data continue after ,\\";
  EXPECT_TRUE(sections[0].values[2].remove) << "\"name\"=- deletes the value";
  EXPECT_EQ(sections[0].values[3].name, "");
  EXPECT_EQ(sections[0].values[3].data, "\x01\x00\x00\x00"s);
  EXPECT_EQ(sections[0].values[3].line, 9);
  EXPECT_TRUE(sections[1].remove) << "[-KEY] deletes the key";
  EXPECT_EQ(sections[1].path, "HKEY_CURRENT_USER\\Software\\Old");
}

TEST(RegFileTest, SyntaxErrorsNameTheLine) {
  const std::string header = "Windows Registry Editor Version 5.00\n\n";
  struct Case {
    std::string text;
    int line;
    std::string what;
  };
  const std::vector<Case> cases = {
      {"REGEDIT4\n", 1, "missing header"},
      {"", 1, "empty file"},
      {header + "\"v\"=\"x\"\n", 3, "value before any key"},
      {header + "[HKEY_NOWHERE\\X]\n", 3, "unknown hive"},
      {header + "[HKCU\\A\\\\B]\n", 3, "empty key name"},
      {header + "[HKCU\\A\n", 3, "unclosed ["},
      {header + "[-HKEY_CURRENT_USER]\n", 3, "deleting a hive"},
      {header + "[HKCU\\A]\n\"v\" \"x\"\n", 4, "missing ="},
      {header + "[HKCU\\A]\n\"v\"=\"C:\\Windows\"\n", 4, "unknown escape"},
      {header + "[HKCU\\A]\n\"v\"=\"open\n", 4, "unterminated string"},
      {header + "[HKCU\\A]\n\"v\"=\"x\" y\n", 4, "text after the string"},
      {header + "[HKCU\\A]\n\"v\"=dword:123456789\n", 4, "dword too long"},
      {header + "[HKCU\\A]\n\"v\"=hex:01,\\\n  02,zz\n", 5, "bad byte on a continuation line"},
      {header + "[HKCU\\A]\n\"v\"=hex:01,\\\n", 4, "file ends in a continuation"},
      {header + "[HKCU\\A]\n\"v\"=hex(2):41,00,42\n", 4, "odd UTF-16 byte count"},
      {header + "[HKCU\\A]\n\"v\"=text\n", 4, "unknown value form"},
      {header + "[-HKCU\\A]\n\"v\"=\"x\"\n", 4, "value under a deleted key"},
      {header + "[HKCU\\A]\n\"\xff\"=\"x\"\n", 4, "invalid UTF-8"},
  };
  for (const Case& c : cases) {
    std::vector<RegKeySection> sections{{"untouched", false, {}, 0}};
    RegParseError error;
    EXPECT_FALSE(ParseRegFile(c.text, &sections, &error)) << c.what;
    EXPECT_EQ(error.line, c.line) << c.what << ": " << error.message;
    EXPECT_FALSE(error.message.empty()) << c.what;
    EXPECT_EQ(sections.size(), 1u) << c.what << ": nothing may be returned from a bad file";
  }
}

TEST(RegFileTest, Utf16ConversionKeepsCharactersOutsideTheBasicPlane) {
  const std::string text = "가\xF0\x9F\x98\x80z";
  std::string back;
  ASSERT_TRUE(Utf16LeToUtf8(Utf8ToUtf16Le(text), &back));
  EXPECT_EQ(back, text);
  EXPECT_EQ(Utf8ToUtf16Le("\xF0\x9F\x98\x80"), "\x3D\xD8\x00\xDE"s) << "a surrogate pair";
  EXPECT_EQ(Utf16Length(text), 4u) << "the registry editor counts UTF-16 units per line";
  EXPECT_FALSE(Utf16LeToUtf8("abc", &back)) << "odd byte count";
}

}  // namespace
}  // namespace dav::host
