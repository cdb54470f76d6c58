// What davhost accepts on its command line: key paths, value data, attribute changes.
#include <gtest/gtest.h>

#include "host/attribute_text.h"
#include "host/hive_names.h"
#include "host/text_table.h"
#include "host/value_text.h"
#include "platform/file_system.h"

namespace dav::host {
namespace {

using namespace std::string_literals;

TEST(KeyPathTest, HiveNamesLongShortAndAnyCase) {
  const std::vector<std::pair<std::string, platform::KeyHandle>> accepted = {
      {"HKEY_CLASSES_ROOT\\.txt", platform::kHKeyClassesRoot},
      {"hkcr\\.txt", platform::kHKeyClassesRoot},
      {"HKCU\\Software", platform::kHKeyCurrentUser},
      {"hkey_local_machine\\Software", platform::kHKeyLocalMachine},
      {"HKU\\.DEFAULT", platform::kHKeyUsers},
      {"HKEY_PERFORMANCE_DATA", platform::kHKeyPerformanceData},
  };
  for (const auto& [text, hive] : accepted) {
    KeyPath path;
    std::string error;
    ASSERT_TRUE(ParseKeyPath(text, &path, &error)) << text << ": " << error;
    EXPECT_EQ(path.hive, hive) << text;
  }
  KeyPath path;
  std::string error;
  ASSERT_TRUE(ParseKeyPath("HKLM\\Software\\시작\\", &path, &error));
  EXPECT_EQ(path.Full(), "HKEY_LOCAL_MACHINE\\Software\\시작") << "one trailing \\ is dropped";

  for (const std::string bad : {"HKLN\\Software", "Software\\X", "", "HKCU\\\\X", "HKCU\\X\\\\Y",
                                "HKEY_CURRENT_CONFIG\\X"}) {
    EXPECT_FALSE(ParseKeyPath(bad, &path, &error)) << "'" << bad << "' must be refused";
  }
}

TEST(ValueTextTest, DwordDecimalOrHexWithinThirtyTwoBits) {
  std::string data;
  std::string error;
  ASSERT_TRUE(ParseValueArgument(platform::kRegDword, "4294967295", &data, &error));
  EXPECT_EQ(data, "\xff\xff\xff\xff"s);
  ASSERT_TRUE(ParseValueArgument(platform::kRegDword, "0x0A", &data, &error));
  EXPECT_EQ(data, "\x0a\x00\x00\x00"s) << "DWORD data are little-endian";
  EXPECT_EQ(FormatValueData(platform::kRegDword, data), "0x0000000a (10)");
  for (const std::string bad : {"4294967296", "-1", "0x", "12abc", "", "0x100000000"}) {
    EXPECT_FALSE(ParseValueArgument(platform::kRegDword, bad, &data, &error))
        << "'" << bad << "' is not a DWORD";
  }
}

TEST(ValueTextTest, BinaryAndMultiStringForms) {
  std::string data;
  std::string error;
  for (const std::string form : {"0a ff 10", "0a,ff,10", "0aff10", "0A FF 10"}) {
    ASSERT_TRUE(ParseValueArgument(platform::kRegBinary, form, &data, &error)) << form;
    EXPECT_EQ(data, "\x0a\xff\x10"s) << form;
  }
  for (const std::string bad : {"0a f", "zz", "0 a", "0x0a"}) {
    EXPECT_FALSE(ParseValueArgument(platform::kRegBinary, bad, &data, &error))
        << "'" << bad << "' is not hex bytes";
  }
  ASSERT_TRUE(ParseValueArgument(platform::kRegMultiSz, "첫째\\0둘째", &data, &error));
  EXPECT_EQ(data, "첫째\0둘째\0\0"s) << "parts end in NUL and the list in one more";
  EXPECT_EQ(FormatValueData(platform::kRegMultiSz, data), "첫째\\0둘째");
  ASSERT_TRUE(ParseValueArgument(platform::kRegMultiSz, "", &data, &error));
  EXPECT_EQ(data, "\0"s) << "an empty list";
  for (const std::string bad : {"a\\0\\0b", "a\\0", "\\0a"}) {
    EXPECT_FALSE(ParseValueArgument(platform::kRegMultiSz, bad, &data, &error))
        << "'" << bad << "': an empty part would end the list early for every reader";
  }
  platform::ValueType type = 0;
  EXPECT_TRUE(ParseValueTypeName("reg_expand_sz", &type));
  EXPECT_EQ(type, platform::kRegExpandSz);
  EXPECT_FALSE(ParseValueTypeName("REG_QWORD", &type)) << "reg set offers five types only";
  EXPECT_FALSE(ParseValueTypeName("SZ", &type));
}

TEST(AttributeTextTest, ChangesAndLetters) {
  std::uint32_t attributes = platform::kAttrArchive;
  std::string error;
  ASSERT_TRUE(ApplyAttributeChanges({"+R", "+h", "-A"}, &attributes, &error)) << error;
  EXPECT_EQ(attributes, platform::kAttrReadOnly | platform::kAttrHidden);
  EXPECT_EQ(AttributeLetters(attributes | platform::kAttrDirectory), "RH-D-");
  EXPECT_FALSE(ApplyAttributeChanges({"+R", "-R"}, &attributes, &error));
  EXPECT_FALSE(ApplyAttributeChanges({"+D"}, &attributes, &error))
      << "the folder bit is not an attribute one can set";
  EXPECT_FALSE(ApplyAttributeChanges({"R"}, &attributes, &error));
  std::uint32_t mask = 0;
  EXPECT_TRUE(ParseAttributeMask("0x37", &mask));
  EXPECT_EQ(mask, 55u);
  EXPECT_FALSE(ParseAttributeMask("hidden", &mask));
}

TEST(VisibleTextTest, BrokenUtf8BytesAreEscapedOneByOneAndTheRestStaysReadable) {
  EXPECT_EQ(VisibleText("한글 C:\\x"), "한글 C:\\x") << "Korean and backslashes unchanged";
  EXPECT_EQ(VisibleText("\xb0\xfc\xb8\xae\xc0\xda"), "\\xB0\\xFC\\xB8\\xAE\\xC0\\xDA")
      << "the CP949 bytes of 관리자 in a text read as UTF-8";
  EXPECT_EQ(VisibleText("\xc7\xd1\xb1\xdb"), "\\xC7ѱ\\xDB")
      << "bytes that happen to form a UTF-8 character (D1 B1) show as that character";
  EXPECT_EQ(VisibleText("\xed\x95x"), "\\xED\\x95x") << "a cut-off character before ASCII";
  EXPECT_EQ(VisibleText("\xc0\x80"), "\\xC0\\x80") << "an overlong NUL";
  EXPECT_EQ(VisibleText("\xed\xa0\x80"), "\\xED\\xA0\\x80") << "a UTF-16 surrogate";
  EXPECT_EQ(VisibleText("\xe0\xa0"), "\\xE0\\xA0") << "a sequence cut off by the end";
  EXPECT_EQ(VisibleText(std::string("a\0b\x1f\x7f", 5)), "a\\x00b\\x1F\\x7F");
  EXPECT_EQ(VisibleText(VisibleText("\r\x1b")), "\\r\\x1B") << "escaping twice changes nothing";
}

TEST(TextTableTest, EscapedCellsKeepTheColumnsAligned) {
  EXPECT_EQ(FormatTable({{"a\tb", "x"}, {"한", "y"}}, 1), " a\\tb  x\n 한    y\n")
      << "widths are those of the escaped cells";
}

TEST(TextTableTest, CutToWidthKeepsWholeCharactersAndMarksTheCut) {
  EXPECT_EQ(CutToWidth("abcdef", 6), "abcdef") << "a text that fits exactly stays whole";
  EXPECT_EQ(CutToWidth("abcdefg", 6), "abcde\u2026");
  EXPECT_EQ(CutToWidth("한글한글", 6), "한글\u2026") << "5 columns left: two wide characters";
  EXPECT_EQ(CutToWidth("a한글", 4), "a한\u2026");
  EXPECT_EQ(CutToWidth("a한글", 3), "a\u2026") << "no half of a wide character";
  EXPECT_EQ(CutToWidth("HKCU\\Software\\Policies\\Name", 13, true), "HKCU\u2026ies\\Name")
      << "a third before the cut, the rest after it";
  EXPECT_EQ(CutToWidth("C:\\가나다라", 8, true), "C:\u2026다라");
}

}  // namespace
}  // namespace dav::host
