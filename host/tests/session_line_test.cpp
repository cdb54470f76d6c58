// Session lines: how a line of stdin becomes a command and its protocol.
#include "host/session_line.h"

#include <gtest/gtest.h>

namespace dav::host {
namespace {

SessionLine Parse(const std::string& text) {
  SessionLine line;
  std::string error;
  EXPECT_TRUE(ParseSessionLine(text, &line, &error)) << "'" << text << "': " << error;
  return line;
}

std::string ErrorOf(const std::string& text) {
  SessionLine line;
  std::string error;
  EXPECT_FALSE(ParseSessionLine(text, &line, &error)) << "'" << text << "' was accepted";
  return error;
}

TEST(SessionLine, EscapesAndDocumentFiles) {
  SessionLine line = Parse("APL_WINCONF\t<DocRoot a=\"x\\ty\"/>\\r\\n\\x1dTrue\r");
  EXPECT_EQ(line.command, "APL_WINCONF");
  EXPECT_EQ(line.protocol, "<DocRoot a=\"x\ty\"/>\r\n\x1dTrue")
      << "\\t \\r \\n \\x1d are undone; the CR of a Windows line end is not part of the protocol";
  EXPECT_EQ(Parse("APL_X\tC:\\\\new\tmore").protocol, "C:\\new\tmore")
      << "\\\\ is one backslash, and only the first TAB separates the command";
  EXPECT_TRUE(Parse("   ").blank);

  line = Parse("APL_WINCONF\t@docs/Win Config.qsf\\x1dTrue");
  EXPECT_EQ(line.documentFile, "docs/Win Config.qsf");
  EXPECT_EQ(line.protocol, "\x1dTrue") << "what follows the file's text";
  line = Parse("APL_X\t\\x40literal");
  EXPECT_EQ(line.documentFile + "|" + line.protocol, "|@literal") << "an escaped @ is text";
}

TEST(SessionLine, BadLinesSayWhy) {
  EXPECT_NE(ErrorOf("APL_X\tC:\\Temp").find("unknown escape \\T"), std::string::npos)
      << "a lone backslash must not silently vanish from a path";
  EXPECT_NE(ErrorOf("APL_X\tend\\").find("backslash ends the line"), std::string::npos);
  EXPECT_NE(ErrorOf("APL_X\t\\xg0").find("two hexadecimal digits"), std::string::npos);
  EXPECT_NE(ErrorOf("APL_X\t@\\x1dTrue").find("file"), std::string::npos);
  EXPECT_NE(ErrorOf("\tprotocol").find("no command"), std::string::npos);
}

}  // namespace
}  // namespace dav::host
