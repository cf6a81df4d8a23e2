// The script engine's XML documents: escaping that round-trips, the reading
// rules it shares with the report's documents, and deep trees without recursion.
#include <gtest/gtest.h>

#include <stdexcept>

#include "script/fs_xml.h"

namespace zentavo {
namespace {

TEST(FsXml, EscapingRoundTripsEveryValue) {
  struct Row {
    std::string value;
    std::string escaped;
    const char* why;
  };
  const Row rows[] = {
      {"a<b>c", "a&#60;b&#62;c", "angle brackets"},
      {"x\r\ny", "x&#13;&#10;y", "line ends"},
      {"say \"hi\"", "say &#34;hi&#34;", "quotes"},
      {"&#65;", "&#38;#65;", "an ampersand before # is escaped so a reference-looking value stays"},
      {"&quot;", "&#38;quot;", "&quot; is kept as written, not turned into a quote"},
      {"a & b", "a & b", "an ampersand that cannot start a reference stays as it is"},
      {"&#", "&#38;#", "an ampersand before # is escaped even where no reference could follow"},
      {std::string("t\tz\0", 4), std::string("t\tz\0", 4), "other control characters are written unchanged"},
      {"\xFE\xFD\xF0", "\xFE\xFD\xF0", "Windows-1254 letters are written unchanged"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(fsxml::StrToXML(r.value), r.escaped) << r.why;
    EXPECT_EQ(fsxml::XMLToStr(fsxml::StrToXML(r.value)), r.value) << r.why;
  }
}

TEST(FsXml, XMLToStrReadsReferences) {
  struct Row {
    const char* in;
    const char* out;
    const char* why;
  };
  const Row rows[] = {
      {"&#65;", "A", "decimal reference"},
      {"&#321;", "A", "only the low 8 bits count"},
      {"&quot;x", "\"x", "the one named entity"},
      {"&amp;", "&amp;", "other names stay"},
      {"a &", "a &", "ampersand at the end"},
      {"&#65", "&#65", "no semicolon: left as written"},
  };
  for (const Row& r : rows) EXPECT_EQ(fsxml::XMLToStr(r.in), r.out) << r.why;
  EXPECT_THROW(fsxml::XMLToStr("&#x41;"), std::runtime_error) << "non-decimal digits";
}

TEST(FsXml, ReadsWritesAndFinds) {
  TfsXMLDocument doc;
  doc.LoadFromString(
      "<!-- c --><?xml version=\"1.0\"?><root a=\"1\"><!-- skip --><e/><f DataSetName=\"x\" "
      "Name=\"&#60;y&#62;\"/><g><h/></g></root>");
  TfsXMLItem& root = doc.Root();
  EXPECT_EQ(root.Name, "root");
  ASSERT_EQ(root.Count(), 3);
  EXPECT_EQ(root[1]->Prop("name"), "<y>") << "whole names, ignoring case";
  EXPECT_EQ(root[1]->Prop("DataSetName"), "x");
  EXPECT_EQ(root[1]->Prop("Missing"), "");
  EXPECT_EQ(root.Find("G"), 2);
  EXPECT_EQ(root.FindItem("g"), root[2]);
  TfsXMLItem* created = root.FindItem("new");
  EXPECT_EQ(root.Count(), 4) << "FindItem appends a missing child";
  EXPECT_EQ(root.FindItem("new"), created);
  EXPECT_EQ((*root[2])[0]->Root(), &root);

  TfsXMLDocument copy;
  copy.Root().Assign(root);
  EXPECT_EQ(copy.SaveToString(), doc.SaveToString());
  EXPECT_EQ(doc.SaveToString(),
            "<?xml version=\"1.0\"?><root a=\"1\"><e/><f DataSetName=\"x\" Name=\"&#60;y&#62;\"/><g><h/></g>"
            "<new/></root>");

  TfsXMLDocument indented;
  indented.LoadFromString("<?xml version=\"1.0\"?><r><c/></r>");
  indented.AutoIndent = true;
  EXPECT_EQ(indented.SaveToString(), "<?xml version=\"1.0\"?>\r\n<r>\r\n  <c/>\r\n</r>\r\n");
}

TEST(FsXml, MalformedDocumentsAreRejected) {
  struct Row {
    const char* text;
    const char* why;
  };
  const Row rows[] = {
      {"<root/>", "no declaration"},
      {"<?xml version=\"1.0\"?><a><b></a>", "child closed by the parent's end tag"},
      {"<?xml version=\"1.0\"?><a <b>", "< inside a tag"},
      {"<?xml version=\"1.0\"?><a", "end of input inside a tag"},
  };
  for (const Row& r : rows) {
    TfsXMLDocument doc;
    EXPECT_THROW(doc.LoadFromString(r.text), std::runtime_error) << r.why;
  }
  TfsXMLDocument open;
  EXPECT_NO_THROW(open.LoadFromString("<?xml version=\"1.0\"?><a><b>")) << "left open is accepted";
  EXPECT_EQ(open.Root().Count(), 1);
}

TEST(FsXml, DeepTreesAreBoundedAndFreedWithoutRecursion) {
  std::string deep = "<?xml version=\"1.0\"?>";
  for (int i = 0; i < kFsXMLSettings.maxDepth + 5; ++i) deep += "<a>";
  TfsXMLDocument doc;
  EXPECT_THROW(doc.LoadFromString(deep), std::runtime_error);

  // A chain far deeper than any stack could recurse through: built, copied,
  // written, and freed (twice: the copy and the original).
  const int kChain = 200000;
  TfsXMLDocument chain;
  chain.Root().Name = "a";
  TfsXMLItem* item = &chain.Root();
  for (int i = 0; i < kChain; ++i) {
    item = item->Add();
    item->Name = "a";
  }
  TfsXMLDocument copy;
  copy.Root().Assign(chain.Root());
  std::string written = copy.SaveToString();
  EXPECT_EQ(written, chain.SaveToString());
  // Every level but the innermost has an opening and a closing tag.
  EXPECT_EQ(written.size(), std::string("<?xml version=\"1.0\"?>").size() + kChain * 7 + 4);
}

}  // namespace
}  // namespace zentavo
