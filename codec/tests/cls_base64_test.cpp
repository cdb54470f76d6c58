#include "codec/cls_base64.h"

#include <gtest/gtest.h>

#include "codec/base64_wrappers.h"
#include "platform/code_page.h"
#include "platform/tests/test_environment.h"

namespace dav::codec {
namespace {

std::vector<std::uint8_t> Bytes(std::string_view text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

std::vector<std::uint8_t> Counting(std::size_t n) {
  std::vector<std::uint8_t> bytes(n);
  for (std::size_t i = 0; i < n; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
  return bytes;
}

class Base64Test : public ::testing::Test {
 protected:
  Base64Test() : env_(platform::testing::MakeTestEnvironment()), base64_(env_->platform()) {}
  std::unique_ptr<platform::testing::TestEnvironment> env_;
  clsBase64 base64_;
};

TEST_F(Base64Test, PaddingOfShortTexts) {
  EXPECT_EQ(base64_.Encode64("abc"), "YWJj");
  EXPECT_EQ(base64_.Encode64("ab"), "YWI=");
  EXPECT_EQ(base64_.Encode64("a"), "YQ==");
  EXPECT_EQ(base64_.Encode64(""), "");
  EXPECT_EQ(base64_.Decode64(""), "");
  EXPECT_EQ(base64_.EncodeArray64(Bytes("\xFB\xFF")), "+/8=") << "the last two letters";
}

TEST_F(Base64Test, LinesOf76CharactersWithCrLf) {
  const std::string one = base64_.EncodeArray64(Counting(57));
  EXPECT_EQ(one.size(), 76u);
  EXPECT_EQ(one.find('\r'), std::string::npos) << "76 characters stay on one line";

  const std::string two = base64_.EncodeArray64(Counting(58));
  ASSERT_EQ(two.size(), 76u + 2 + 4);
  EXPECT_EQ(two.substr(76, 2), "\r\n");
  EXPECT_EQ(two.substr(0, 76), one) << "the first line is the same as for 57 bytes";
  EXPECT_EQ(two.substr(78).back(), '=') << "the last line carries the padding, no line end";

  const std::string exact = base64_.EncodeArray64(Counting(114));
  ASSERT_EQ(exact.size(), 76u + 2 + 76 + 2) << "an exact multiple of 76 ends with one CR LF";
  EXPECT_EQ(exact.substr(76, 2), "\r\n");
  EXPECT_EQ(exact.substr(154), "\r\n");
}

TEST_F(Base64Test, DecoderDropsCrLfPairsAndPaddingButCountsOtherStrangersAsZero) {
  const std::vector<std::uint8_t> data = Counting(200);
  const std::string lines = base64_.EncodeArray64(data);
  ASSERT_NE(lines.find("\r\n"), std::string::npos);
  EXPECT_EQ(base64_.DecodeArray64(lines), data) << "CR LF line breaks are removed";

  std::string lfOnly;
  for (char c : lines) {
    if (c != '\r') lfOnly += c;
  }
  EXPECT_NE(base64_.DecodeArray64(lfOnly), data) << "a lone LF counts as a character of value 0";

  EXPECT_NE(base64_.DecodeArray64("YW Jj"), Bytes("abc")) << "a blank counts as a character";
  EXPECT_EQ(base64_.DecodeArray64("YW Jj").size(), 3u) << "five characters give three bytes";
  EXPECT_EQ(base64_.DecodeArray64("Y=W=Jj"), Bytes("abc")) << "every = is removed wherever it is";
  EXPECT_EQ(base64_.DecodeArray64("YWJjZ"), Bytes("abc")) << "one character left gives no byte";
  EXPECT_EQ(base64_.DecodeArray64("YWI"), Bytes("ab"));
}

TEST_F(Base64Test, KoreanTextRoundTripsThroughTheAnsiCodePage) {
  ASSERT_EQ(env_->platform().system().AnsiCodePage(), 949u);
  const std::string text = "폴더 접근 C:\\바탕 화면\\똠";
  const std::string encoded = base64_.Encode64(text);
  std::string ansi;
  ASSERT_TRUE(platform::EncodeCodePage(949, text, &ansi));
  EXPECT_EQ(base64_.DecodeArray64(encoded), Bytes(ansi))
      << "the encoded bytes are those of code page 949, not UTF-8";
  EXPECT_EQ(base64_.Decode64(encoded), text);
  EXPECT_EQ(modMain::Base64Decode(env_->platform(), modMain::Base64Encode(env_->platform(), text)),
            text);
}

}  // namespace
}  // namespace dav::codec
