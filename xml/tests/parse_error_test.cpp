// A text that is not XML: which fault is reported, and where.
#include <gtest/gtest.h>

#include "util/tests/util_test_support.h"
#include "xml/document.h"

namespace dav::xml {
namespace {

struct BadText {
  const char* what;
  std::string text;
  std::int32_t code;
  std::int32_t line;
  std::int32_t linepos;
  const char* srcText;
};

class ParseErrorTest : public ::testing::TestWithParam<BadText> {};

TEST_P(ParseErrorTest, ReportsTheFaultWithItsLineAndPosition) {
  const BadText& c = GetParam();
  Document doc;
  ASSERT_FALSE(doc.loadXML(c.text)) << c.what << " must not load";
  const ParseError& e = doc.parseError();
  EXPECT_EQ(e.errorCode, c.code) << c.what << ": " << e.reason;
  EXPECT_EQ(e.line, c.line) << c.what;
  EXPECT_EQ(e.linepos, c.linepos) << c.what << " (source line: " << e.srcText << ")";
  EXPECT_EQ(e.srcText, c.srcText) << c.what;
  EXPECT_FALSE(e.reason.empty()) << c.what;
  EXPECT_EQ(e.url, "") << "a document loaded from text has no URL";
}

INSTANTIATE_TEST_SUITE_P(
    NotXml, ParseErrorTest,
    ::testing::Values(
        BadText{"an element left open", "<DocRoot>\r\n<Row ID=\"a\" Value=\"1\">\r\n</DocRoot>",
                kXmlTagMismatch, 3, 3, "</DocRoot>"},
        BadText{"plain text", "not a document", kXmlNoRootElement, 1, 15, "not a document"},
        BadText{"empty text", "", kXmlNoRootElement, 1, 1, ""},
        BadText{"a second root element", "<a/>\r\n<b/>", kXmlMultipleRoots, 2, 1, "<b/>"},
        BadText{"text after the root", "<a/>\r\n  junk", kXmlTextOutsideRoot, 2, 3, "  junk"},
        BadText{"a bare ampersand", "<a>\r\n R&D</a>", kXmlBadReference, 2, 3, " R&D</a>"},
        BadText{"a bare ampersand in a value", "<a v=\"R&D\"/>", kXmlBadReference, 1, 8,
                "<a v=\"R&D\"/>"},
        BadText{"a repeated attribute", "<a x=\"1\" x=\"2\"/>", kXmlDuplicateAttribute, 1, 10,
                "<a x=\"1\" x=\"2\"/>"},
        BadText{"< in a value", "<a x=\"a<b\"/>", kXmlLessThanInAttribute, 1, 8, "<a x=\"a<b\"/>"},
        BadText{"a reference to a control character", "<a>&#1;</a>", kXmlBadReference, 1, 4,
                "<a>&#1;</a>"},
        BadText{"a reference beyond Unicode", "<a>&#1234567;</a>", kXmlBadReference, 1, 4,
                "<a>&#1234567;</a>"},
        BadText{"a control character", "<a>\x01</a>", kXmlInvalidCharacter, 1, 4, "<a>\x01</a>"},
        BadText{"an external entity",
                "<!DOCTYPE a [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>\r\n<a>&x;</a>",
                kXmlBadReference, 2, 4, "<a>&x;</a>"},
        BadText{"Korean text before the fault", "<a>\r\n<b>한글</c></a>", kXmlTagMismatch, 2, 8,
                "<b>한글</c></a>"},
        BadText{"a lone CR ends a line", "<a>\r<b x=1/></a>", kXmlBadAttribute, 2, 6,
                "<b x=1/></a>"}));

class ParseErrorLogTest : public ::testing::Test, public util::testing::UtilFixture {};

TEST_F(ParseErrorLogTest, SevenLinesInOrder) {
  ParseError e;
  e.errorCode = kXmlTagMismatch;
  e.filepos = 12;
  e.line = 2;
  e.linepos = 8;
  e.reason = "The end tag does not match.";
  e.srcText = "<b>한글</c></a>";
  e.url = "C:\\DavTest\\WinConfig.qsf";
  LogParseError(*log, e);
  const std::string stamp = "[2026-12-08 15:04:05]\t";
  EXPECT_EQ(ReadText(log->LogFilePath()),
            stamp + "Err (errorCode) -> 11\r\n" + stamp + "Err (filepos) -> 12\r\n" + stamp +
                "Err (Line) -> 2\r\n" + stamp + "Err (linepos) -> 8\r\n" + stamp +
                "Err (reason) -> The end tag does not match.\r\n" + stamp +
                "Err (srcText) -> <b>한글</c></a>\r\n" + stamp +
                "Err (URL) -> C:\\DavTest\\WinConfig.qsf\r\n");
}

}  // namespace
}  // namespace dav::xml
