// Selection and text of a document loaded from text.
#include "xml/document.h"

#include <gtest/gtest.h>

#include "util/run_time_error.h"

namespace dav::xml {
namespace {

constexpr const char* kControlPanel =
    "<?xml version=\"1.0\" encoding=\"ks_c_5601-1987\"?>\r\n"
    "<DocRoot><Configuration SpecVersion=\"1.0.0\"><ControlMngr>\r\n"
    "<WinXP>\r\n<Row ID=\"Display\" Value=\"1\" />\r\n<Row ID=\"Mouse\" Value=\"0\" "
    "/>\r\n</WinXP>\r\n"
    "<Win7>\r\n<Row ID=\"Display\" Value=\"0\" />\r\n</Win7>\r\n"
    "</ControlMngr></Configuration></DocRoot>";

std::vector<std::string> Ids(const NodeList& rows) {
  std::vector<std::string> ids;
  for (const Node& row : rows) ids.push_back(row.attribute("ID").value_or("<none>"));
  return ids;
}

TEST(DocumentTest, PathsSelectRowsOfOneFormOrOfEveryFormWithADoubledSlash) {
  Document doc;
  ASSERT_TRUE(doc.loadXML(kControlPanel)) << doc.parseError().reason;
  EXPECT_EQ(Ids(doc.selectNodes("DocRoot/Configuration/ControlMngr/WinXP/Row")),
            (std::vector<std::string>{"Display", "Mouse"}));
  EXPECT_EQ(Ids(doc.selectNodes("DocRoot/Configuration/ControlMngr//Row")),
            (std::vector<std::string>{"Display", "Mouse", "Display"}))
      << "a doubled slash selects the rows of both generations, in document order";
  EXPECT_TRUE(doc.selectNodes("DocRoot/Configuration/StartMenu/Row").empty());
  EXPECT_TRUE(doc.selectSingleNode("DocRoot/Configuration/StartMenu").isNull());
  EXPECT_EQ(doc.documentElement().nodeName(), "DocRoot");
  EXPECT_EQ(doc.declaredEncoding(), "ks_c_5601-1987");
}

TEST(DocumentTest, AttributeTextAndMissingAttributes) {
  Document doc;
  ASSERT_TRUE(doc.loadXML(kControlPanel));
  const Node configuration = doc.selectSingleNode("DocRoot/Configuration");
  EXPECT_EQ(configuration.selectSingleNode("@SpecVersion").text(), "1.0.0");
  EXPECT_EQ(configuration.attribute("SpecVersion"), "1.0.0");
  EXPECT_EQ(configuration.attribute("Missing"), std::nullopt);

  const Node missing = configuration.selectSingleNode("@Missing");
  EXPECT_TRUE(missing.isNull());
  try {
    missing.text();
    FAIL() << "reading the text of an attribute that is not there must raise";
  } catch (const util::RunTimeError& e) {
    EXPECT_EQ(e.number(), util::kErrObjectNotSet);
  }
  EXPECT_THROW(doc.selectNodes("DocRoot/["), util::RunTimeError) << "a malformed path raises";
}

TEST(DocumentTest, EscapedValuesArriveUnescapedAndTheXmlTextKeepsThem) {
  Document doc;
  ASSERT_TRUE(doc.loadXML(
      "<a v=\"R&amp;D &lt;test&gt; &quot;q&quot; it's &#xB611;\">\r\n<b>x&amp;y</b>\r\n</a>"));
  EXPECT_EQ(doc.documentElement().attribute("v"), "R&D <test> \"q\" it's 똑");
  ASSERT_TRUE(doc.loadXML("<a v=\"it&apos;s\">&apos;</a>"))
      << "&apos; is one of the five entities: " << doc.parseError().reason;
  EXPECT_EQ(doc.documentElement().attribute("v"), "it's");
  ASSERT_TRUE(doc.loadXML(
      "<a v=\"R&amp;D &lt;test&gt; &quot;q&quot; it's &#xB611;\">\r\n<b>x&amp;y</b>\r\n</a>"));
  EXPECT_EQ(doc.documentElement().text(), "\nx&y\n")
      << "element text joins the text of its descendants";
  EXPECT_EQ(doc.xml(),
            "<a v=\"R&amp;D &lt;test> &quot;q&quot; it's 똑\">\r\n<b>x&amp;y</b>\r\n</a>")
      << "the document's text keeps CR LF line ends and escapes what must be escaped";
}

// The parser takes a declaration that runs on over elements to the next "?>", and "--"
// inside a comment; the document's own text would then not load again.
TEST(DocumentTest, TheDeclarationAndCommentsAreChecked) {
  Document doc;
  for (const char* text :
       {"<?xml e=\"0\" />\r\n<a v=\"1\" ?>\r\n<b/>",
        "<?xml encoding=\"utf-8\" version=\"1.0\"?><a/>",
        "<?xml version=\"1.0\" version=\"1.0\"?><a/>", "<a/><?xml version=\"1.0\"?>",
        "<a><?XML version=\"1.0\"?></a>", "<a><!-- x -- y --></a>", "<a><!-- x ---></a>"}) {
    EXPECT_FALSE(doc.loadXML(text)) << text;
    EXPECT_EQ(doc.parseError().errorCode, kXmlBadMarkup) << text;
  }
  for (const char* text :
       {"<?xml version='1.0' encoding=\"utf-8\" standalone='yes' ?><a/>",
        "\xEF\xBB\xBF<?xml version=\"1.0\"?><a><?xml-stylesheet x?><!--> - --></a>"}) {
    EXPECT_TRUE(doc.loadXML(text)) << text << ": " << doc.parseError().reason;
  }
}

TEST(DocumentTest, AFailedLoadEmptiesTheDocument) {
  Document doc;
  ASSERT_TRUE(doc.loadXML("<a/>"));
  EXPECT_FALSE(doc.loadXML("<a>"));
  EXPECT_TRUE(doc.documentElement().isNull());
  EXPECT_EQ(doc.xml(), "");
  EXPECT_TRUE(doc.loadXML("<b/>"));
  EXPECT_EQ(doc.parseError().errorCode, kXmlNoError) << "a later good load clears the error";
}

}  // namespace
}  // namespace dav::xml
