// XML document: escaping, attribute access, the reader's edge cases, the
// writer's layout, and unloading subtrees into the temporary file.
#include <gtest/gtest.h>

#include <filesystem>

#include "report/frxXML.h"

namespace zentavo {
namespace {

TEST(XMLEscaping, EscapesAndReadsBack) {
  struct Row {
    const char* value;
    const char* escaped;
    const char* why;
  };
  const Row rows[] = {
      {"a<b", "a&#60;b", "less-than becomes a reference"},
      {"x\r\ny", "x&#13;&#10;y", "line breaks become references"},
      {"say \"hi\"", "say &#34;hi&#34;", "quotation marks"},
      {"a & b", "a & b", "an ampersand before a blank stays"},
      {"&amp;", "&amp;", "a named entity other than quot stays as it is"},
      {"&#65;", "&#38;#65;", "a literal reference must not read back as A"},
      {"&quot;", "&#38;quot;", "the six characters &quot; must not read back as a quote"},
      {"tail&", "tail&", "a final ampersand stays"},
      {"\xC7\xFE", "\xC7\xFE", "single-byte Turkish letters are written as they are"},
      {"", "", "empty"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.why);
    EXPECT_EQ(StrToXML(r.value), r.escaped);
    EXPECT_EQ(XMLToStr(StrToXML(r.value)), r.value);
  }
}

TEST(XMLEscaping, Unescapes) {
  struct Row {
    const char* text;
    const char* value;
    const char* why;
  };
  const Row rows[] = {
      {"&#65;", "A", "decimal reference"},
      {"&#321;", "A", "only the low 8 bits count"},
      {"&quot;x", "\"x", "quot entity"},
      {"&amp;", "&amp;", "other entities stay"},
      {"&#65", "&#65", "no semicolon up to the end: stays"},
      {"a&#13;&#10;b", "a\r\nb", "line break"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.why);
    EXPECT_EQ(XMLToStr(r.text), r.value);
  }
  try {
    XMLToStr("&#1x;");
    FAIL() << "a reference with non-digits must fail";
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "'1x' is not a valid integer value");
  }
}

TEST(XMLItem, PropAndSetProp) {
  TfrxXMLItem item;
  item.Text = "DataSetName=\"ds\" Name=\"Memo1\"";
  EXPECT_EQ(item.Prop("Name"), "Memo1");      // whole names only
  EXPECT_EQ(item.Prop("name"), "Memo1");      // case ignored
  EXPECT_EQ(item.Prop("Missing"), "");
  item.Text = "Left=\"1\" Top=\"2\" Width=\"3\"";
  item.SetProp("Top", "5");
  EXPECT_EQ(item.Text, "Left=\"1\" Top=\"5\" Width=\"3\"");
  item.SetProp("Height", "a<b");
  EXPECT_EQ(item.Text, "Left=\"1\" Top=\"5\" Width=\"3\" Height=\"a&#60;b\"");
  EXPECT_EQ(item.Prop("Height"), "a<b");
  TfrxXMLItem empty;
  empty.SetProp("Top", "1");
  EXPECT_EQ(empty.Text, "Top=\"1\"");
  TfrxXMLItem broken;
  broken.Text = "Name=\"unclosed";
  EXPECT_EQ(broken.Prop("Name"), "");
}

TEST(XMLItem, ChildrenFindAndMove) {
  TfrxXMLItem root;
  TfrxXMLItem* pages = root.FindItem("previewpages");
  EXPECT_EQ(root.Count(), 1);
  EXPECT_EQ(root.FindItem("PreviewPages"), pages);
  TfrxXMLItem* a = root.Add();
  a->Name = "a";
  root.AddItem(pages);  // already a child: moves to the end
  EXPECT_EQ(root.IndexOf(pages), 1);
  EXPECT_EQ(root.Count(), 2);
  TfrxXMLItem other;
  other.AddItem(a);  // moves between parents
  EXPECT_EQ(root.Count(), 1);
  EXPECT_EQ(a->Parent(), &other);
  delete pages;  // a child freed directly leaves its parent's list
  EXPECT_EQ(root.Count(), 0);
}

std::string Load(const std::string& text, TfrxXMLDocument& doc) {
  try {
    doc.LoadFromString(text);
    return "";
  } catch (const std::exception& e) {
    return e.what();
  }
}

TEST(XMLReader, Documents) {
  struct Row {
    const char* text;
    const char* error;  // empty: loads
    int children;
    const char* why;
  };
  const Row rows[] = {
      {"<?xml version=\"1.0\"?><r><a/><b x=\"1\"/></r>", "", 2, "empty children with and without attributes"},
      {"<!-- c --><?xml?><r><!-- <x> --><a/></r>", "", 1, "comments anywhere, also holding <"},
      {"<?xml?><r><a/><!-- a --->b --><c/></r>", "", 2, "three dashes do not close a comment"},
      {"<?xml?><r><a></r>", "Invalid file format", 0, "child closed by the parent's end tag"},
      {"<?xml?><r><a/>", "", 1, "element open at the end of input is accepted"},
      {"<r/>", "Invalid file format", 0, "no declaration"},
      {"<?xml?><r <a/></r>", "Invalid file format", 0, "< inside a tag"},
      {"<?xml?><r x=\"1", "Invalid file format", 0, "input ends inside a tag"},
      {"<?xml?><R><a/></r>", "", 1, "end tag compared ignoring case"},
      {"", "Invalid file format", 0, "empty input"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.why);
    TfrxXMLDocument doc;
    EXPECT_EQ(Load(r.text, doc), r.error);
    if (*r.error == 0) {
      EXPECT_EQ(doc.Root().Count(), r.children);
    }
  }
}

TEST(XMLReader, DeepNestingIsRefused) {
  std::string text = "<?xml?>";
  for (int i = 0; i < 100000; ++i) text += "<a>";
  TfrxXMLDocument doc;
  EXPECT_NE(Load(text, doc), "");
}

TEST(XMLReader, TagsLongerThanTheBuffer) {
  std::string value(10000, 'v');
  TfrxXMLDocument doc;
  ASSERT_EQ(Load("<?xml?><r a=\"" + value + "\"/>", doc), "");
  EXPECT_EQ(doc.Root().Prop("a"), value);
}

TEST(XMLWriter, AutoIndentLayout) {
  TfrxXMLDocument doc;
  doc.AutoIndent = true;
  doc.Root().Name = "r";
  doc.Root().Add()->Name = "c";
  EXPECT_EQ(doc.SaveToString(), "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<r>\r\n  <c/>\r\n</r>\r\n");
  doc.AutoIndent = false;
  EXPECT_EQ(doc.SaveToString(), "<?xml version=\"1.0\" encoding=\"utf-8\"?><r><c/></r>");
}

TEST(XMLDocument, UnloadedItemsComeBack) {
  TfrxXMLDocument doc;
  doc.Root().Name = "pages";
  TfrxXMLItem* page = doc.Root().Add();
  page->Name = "page";
  page->Text = "n=\"1\"";
  page->Unloadable = true;
  for (int i = 0; i < 3; ++i) {
    TfrxXMLItem* obj = page->Add();
    obj->Name = "obj";
    obj->SetProp("i", std::to_string(i));
  }
  doc.UnloadItem(*page);
  EXPECT_FALSE(page->Loaded);
  EXPECT_EQ(page->Count(), 0);
  std::string temp = doc.TempFile();
  EXPECT_TRUE(std::filesystem::exists(temp));
  // Saving writes the unloaded children in full and leaves them unloaded.
  std::string saved = doc.SaveToString();
  EXPECT_NE(saved.find("<obj i=\"2\"/>"), std::string::npos);
  EXPECT_NE(saved.find("ld=\"0\""), std::string::npos);
  EXPECT_FALSE(page->Loaded);
  doc.LoadItem(*page);
  EXPECT_TRUE(page->Loaded);
  ASSERT_EQ(page->Count(), 3);
  EXPECT_EQ(page->Items(2)->Prop("i"), "2");
  EXPECT_EQ(page->Text, "n=\"1\"");
  doc.Clear();
  EXPECT_FALSE(std::filesystem::exists(temp));
}

TEST(XMLDocument, PartialLoadLeavesMarkedSubtreesOnTheStream) {
  std::string text = "<?xml?><r><p ld=\"0\" n=\"1\"><o/><o/></p><q/></r>";
  TfrxXMLDocument doc;
  doc.LoadFromStreamPartial(std::make_unique<TMemoryStream>(text));
  TfrxXMLItem* p = doc.Root().Items(0);
  EXPECT_FALSE(p->Loaded);
  EXPECT_EQ(p->Count(), 0);
  EXPECT_EQ(p->Text, "n=\"1\"");
  doc.LoadItem(*p);
  EXPECT_EQ(p->Count(), 2);
  // Without partial loading the mark is dropped and the children stay.
  TfrxXMLDocument full;
  full.LoadFromString(text);
  EXPECT_EQ(full.Root().Items(0)->Count(), 2);
  EXPECT_EQ(full.Root().Items(0)->Text, "n=\"1\"");
}

TEST(XMLDocument, UnloadingAfterAPartialLoadKeepsBothKinds) {
  std::string text = "<?xml?><r><p ld=\"0\"><o a=\"1\"/></p><q><o a=\"2\"/></q></r>";
  TfrxXMLDocument doc;
  doc.LoadFromStreamPartial(std::make_unique<TMemoryStream>(text));
  TfrxXMLItem* p = doc.Root().Items(0);
  TfrxXMLItem* q = doc.Root().Items(1);
  q->Unloadable = true;
  doc.UnloadItem(*q);  // creates the temporary file
  doc.LoadItem(*p);
  doc.LoadItem(*q);
  ASSERT_EQ(p->Count(), 1);
  ASSERT_EQ(q->Count(), 1);
  EXPECT_EQ(p->Items(0)->Prop("a"), "1");
  EXPECT_EQ(q->Items(0)->Prop("a"), "2");
}

TEST(XMLItem, OffsetKeepsFortyBits) {
  TfrxXMLItem item;
  item.SetOffset((std::uint64_t{0x12} << 32) | 0xFFFFFFF0u);
  EXPECT_EQ(item.Offset(), (std::uint64_t{0x12} << 32) | 0xFFFFFFF0u);
}

}  // namespace
}  // namespace zentavo
