// The JSON of --json: what a script's parser needs to read every text davhost may print.
#include "host/json_text.h"

#include <gtest/gtest.h>

namespace dav::host {
namespace {

TEST(JsonText, EscapesWhatJsonNeedsAndKeepsKoreanAndBrokenBytesValid) {
  EXPECT_EQ(JsonString("a\"b\\c\nd\re\tf"), R"("a\"b\\c\nd\re\tf")");
  EXPECT_EQ(JsonString(std::string("\x01\x1d\x7f", 3)), R"("\u0001\u001D\u007F")");
  EXPECT_EQ(JsonString("바탕 화면"), "\"바탕 화면\"");
  EXPECT_EQ(JsonString("\xb0\xa1"
                       "a"),
            "\"\xEF\xBF\xBD\xEF\xBF\xBD"
            "a\"")
      << "code page 949 bytes are no UTF-8: each becomes U+FFFD";
  EXPECT_EQ(JsonString(std::string("a\0b", 3)), R"("a\u0000b")");
}

TEST(JsonText, ObjectsKeepTheirOrderAndNamesStayUnique) {
  Json document = Json::MakeObject();
  document.Set("b", 1);
  document.Set("a", Json::Array{true, nullptr, "x"});
  document.Set("b", -2);
  document["c"] = Json::MakeArray();
  document["c"].Push(1);
  EXPECT_EQ(document.Dump(), "{\"b\":-2,\"a\":[true,null,\"x\"],\"c\":[1]}\n");
}

TEST(JsonText, TableRowsBecomeObjectsNamedByTheHeading) {
  EXPECT_EQ(RowsAsJson({{"Folder", "Next start"}, {"C:\\a", "keep"}, {"b"}}).Dump(),
            "[{\"folder\":\"C:\\\\a\",\"next_start\":\"keep\"},"
            "{\"folder\":\"b\",\"next_start\":\"\"}]\n");
}

}  // namespace
}  // namespace dav::host
