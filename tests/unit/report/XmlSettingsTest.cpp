// The report's and the script's XML documents are one implementation with two
// settings: every row runs through both, and the rows where they differ say why.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "report/frxXML.h"
#include "script/fs_xml.h"

namespace zentavo {
namespace {

enum class Op {
  kValue,    // SetProp("v", input) on an empty root "r": the attribute text written
  kProp,     // load the document, then Prop("v") of the root
  kLoad,     // load the document: the tree, then " !message" when the load failed
  kPartial,  // as kLoad, with partial loading
  kSave,     // load the document and save it again
  kFind,     // load the document, then Find(arg) on the root
  kDepth,    // load the document: "ok" or the message
};

// Name[attribute text], "~" when the children are left unloaded, (children).
std::string Dump(const XmlItem& item) {
  std::string out = item.Name;
  if (!item.Text.empty()) out += "[" + item.Text + "]";
  if (item.Unloadable && !item.Loaded) out += "~";
  if (item.Count() > 0) {
    out += "(";
    for (int i = 0; i < item.Count(); ++i) out += (i > 0 ? " " : "") + Dump(*item.Items(i));
    out += ")";
  }
  return out;
}

std::string Nested(int depth) {
  std::string text = "<?xml version=\"1.0\"?>";
  for (int i = 0; i < depth; ++i) text += "<a>";
  for (int i = 0; i < depth; ++i) text += "</a>";
  return text;
}

struct Row {
  Op op;
  std::string input;
  std::string report;  // outcome with the report's settings
  std::string script;  // outcome with the script's settings
  const char* why;     // and, where the outcomes differ, why
  const char* arg = "";
};

std::string Outcome(XmlDocument& doc, const Row& r) {
  try {
    switch (r.op) {
      case Op::kValue: {
        doc.Root().Name = "r";
        doc.Root().SetProp("v", r.input);
        std::string text = doc.Root().Text;
        // Whatever was written must read back as the very same bytes.
        doc.LoadFromString(doc.SaveToString());
        if (doc.Root().Prop("v") != r.input) return text + " (reads back as " + doc.Root().Prop("v") + ")";
        return text;
      }
      case Op::kProp:
        doc.LoadFromString(r.input);
        return doc.Root().Prop("v");
      case Op::kLoad:
        doc.LoadFromString(r.input);
        return Dump(doc.Root());
      case Op::kPartial:
        doc.LoadFromStreamPartial(std::make_unique<TMemoryStream>(r.input));
        return Dump(doc.Root());
      case Op::kSave:
        doc.LoadFromString(r.input);
        return doc.SaveToString();
      case Op::kFind:
        doc.LoadFromString(r.input);
        return std::to_string(doc.Root().Find(r.arg));
      case Op::kDepth:
        doc.LoadFromString(r.input);
        return "ok";
    }
  } catch (const std::exception& e) {
    if (r.op == Op::kLoad || r.op == Op::kPartial) return Dump(doc.Root()) + " !" + e.what();
    return std::string("!") + e.what();
  }
  return "unknown op";
}

const std::string kBad = "Invalid file format";
const std::string kTooDeep = "!Invalid file format: elements nested too deeply";

TEST(XmlSettings, ReportAndScriptDocumentsSideBySide) {
  const Row rows[] = {
      // escaping: one StrToXML for both, so stored templates keep their bytes
      {Op::kValue, "a<b>", "v=\"a&#60;b&#62;\"", "v=\"a&#60;b&#62;\"", "angle brackets become references"},
      {Op::kValue, "x\r\ny", "v=\"x&#13;&#10;y\"", "v=\"x&#13;&#10;y\"", "line ends become references"},
      {Op::kValue, "say \"hi\"", "v=\"say &#34;hi&#34;\"", "v=\"say &#34;hi&#34;\"", "quotes become references"},
      {Op::kValue, "a & b", "v=\"a & b\"", "v=\"a & b\"",
       "a bare ampersand stays: it cannot start a reference (the script used to write &#38;)"},
      {Op::kValue, "&#65;", "v=\"&#38;#65;\"", "v=\"&#38;#65;\"", "an ampersand before # would read back as a reference"},
      {Op::kValue, "&quot;", "v=\"&#38;quot;\"", "v=\"&#38;quot;\"",
       "an ampersand before quot; would read back as a quote"},
      {Op::kValue, "tail&", "v=\"tail&\"", "v=\"tail&\"", "a final ampersand stays"},
      {Op::kValue, "t\tz", "v=\"t\tz\"", "v=\"t\tz\"",
       "other control characters are written as they are (the script used to escape them)"},
      {Op::kValue, "\xDE\xFD", "v=\"\xDE\xFD\"", "v=\"\xDE\xFD\"", "Windows-1254 letters are written as they are"},
      // references
      {Op::kProp, "<?xml?><r v=\"&#65;\"/>", "A", "A", "decimal reference"},
      {Op::kProp, "<?xml?><r v=\"&#321;\"/>", "A", "A", "only the low 8 bits of the number count"},
      {Op::kProp, "<?xml?><r v=\"&quot;x\"/>", "\"x", "\"x", "&quot; is the one named reference"},
      {Op::kProp, "<?xml?><r v=\"&amp;\"/>", "&amp;", "&amp;", "other names stay as they are"},
      {Op::kProp, "<?xml?><r v=\"&#65\"/>", "&#65", "&#65", "no semicolon up to the end: the text stays"},
      {Op::kProp, "<?xml?><r v=\"&#1x;\"/>", "!'1x' is not a valid integer value",
       "!'1x' is not a valid integer value", "a reference that is no number is an error"},
      // headers
      {Op::kSave, "<?xml version=\"1.0\"?><r/>", "<?xml version=\"1.0\" encoding=\"utf-8\"?><r/>",
       "<?xml version=\"1.0\"?><r/>", "differs: templates declare their encoding, grammars and trees never did"},
      {Op::kLoad, "<?xml version=\"1.0\" encoding=\"windows-1254\"?><r/>", "r", "r",
       "the rest of the declaration is not examined"},
      {Op::kLoad, "<r/>", " !" + kBad, " !" + kBad, "the declaration is required"},
      // comments
      {Op::kLoad, "<!-- c --><?xml?><r><!-- <x> --><a/></r>", "r(a)", "r(a)",
       "comments anywhere, before the declaration too, and holding <"},
      {Op::kLoad, "<?xml?><r><a/><!-- a --->b --><c/></r>", "r(a c)", "r(a c)", "three dashes do not close a comment"},
      // empty elements
      {Op::kLoad, "<?xml?><r><a/><b x=\"1\"/></r>", "r(a b[x=\"1\"])", "r(a b[x=\"1\"])",
       "empty elements with and without attributes"},
      {Op::kLoad, "<?xml?><r><a/ ><b x=\"1\" /></r>", "r(a b[x=\"1\" ])", "r(a b[x=\"1\" ])",
       "one blank before the > is dropped; one before the / stays in the attribute text"},
      // name case in Find
      {Op::kFind, "<?xml?><r><x/><Page/></r>", "1", "1", "ASCII letters fold in both", "PAGE"},
      {Op::kFind, "<?xml?><r><\xDE" "ube/></r>", "-1", "0",
       "differs: the script folds Windows-1254 letters (\xDE/\xFE), the report only ASCII ones", "\xFE" "ube"},
      {Op::kFind, "<?xml?><r><I/></r>", "-1", "-1", "I folds as ASCII: never to the dotless \xFD", "\xFD"},
      {Op::kLoad, "<?xml?><\xC7><a/></\xE7>", "\xC7(a) !" + kBad, "\xC7(a) !" + kBad,
       "end tags compare ASCII case in both; only Find follows the setting"},
      // ld="0"
      {Op::kLoad, "<?xml?><r><p ld=\"0\" n=\"1\"><o/></p></r>", "r(p[n=\"1\"](o))", "r(p[ld=\"0\" n=\"1\"](o))",
       "differs: the report takes its unload mark out; to the script ld is an attribute like any other"},
      {Op::kPartial, "<?xml?><r><p n=\"1\" LD=\"0\"><o/></p><q/></r>", "r(p[n=\"1\"]~ q)",
       "r(p[n=\"1\" LD=\"0\"](o) q)", "differs: only the report leaves marked children on the stream"},
      {Op::kPartial, "<?xml?><r><p ld=\"0\"/></r>", "r(p[ld=\"0\"])", "r(p[ld=\"0\"])",
       "an element in the empty form keeps the mark as text"},
      {Op::kLoad, "<?xml?><r><p old=\"0\"><o/></p></r>", "r(p[old=\"0\"](o))", "r(p[old=\"0\"](o))",
       "the mark is a whole attribute name, not the end of one"},
      // depth
      {Op::kDepth, Nested(256), "ok", "ok", "the report's deepest document"},
      {Op::kDepth, Nested(257), kTooDeep, "ok", "differs: syntax trees nest far deeper than templates"},
      {Op::kDepth, Nested(10000), kTooDeep, "ok", "the script's deepest document"},
      {Op::kDepth, Nested(10001), kTooDeep, kTooDeep, "deeper is refused by both"},
      // malformed input
      {Op::kLoad, "<?xml?><r><a/><b><c/></r>", "r(a) !" + kBad, "r(a) !" + kBad,
       "an end tag for another element; only complete elements stay"},
      {Op::kLoad, "<?xml?><r><a/><b", "r(a) !" + kBad, "r(a) !" + kBad, "the input ends inside a tag"},
      {Op::kLoad, "<?xml?><r <a/></r>", " !" + kBad, " !" + kBad, "< inside a tag"},
      {Op::kLoad, "<?xml?><r><a><b/>", "r(a(b))", "r(a(b))", "elements left open at the end are accepted"},
      {Op::kLoad, "<?xml?><R><a/></r>", "R(a)", "R(a)", "end tags ignore ASCII case"},
      {Op::kLoad, "", " !" + kBad, " !" + kBad, "empty input"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.why);
    TfrxXMLDocument report;
    TfsXMLDocument script;
    EXPECT_EQ(Outcome(report, r), r.report) << "report settings";
    EXPECT_EQ(Outcome(script, r), r.script) << "script settings";
  }
}

TEST(XmlSettings, ItemsFindNamesAsTheirDocument) {
  // Children made by Add, by the reader and by Assign compare names as the
  // document the tree belongs to; a free item compares as it was made.
  TfsXMLDocument script;
  script.LoadFromString("<?xml version=\"1.0\"?><r><s><\xC7/></s></r>");
  XmlItem* s = script.Root().Items(0);
  EXPECT_EQ(s->Find("\xE7"), 0) << "read by the script's document";
  s->Add()->Add()->Name = "\xDE";
  EXPECT_EQ(s->Items(1)->Find("\xFE"), 0) << "added under the script's document";

  TfrxXMLDocument report;
  report.Root().Assign(script.Root());
  EXPECT_EQ(report.Root().Items(0)->Find("\xE7"), -1) << "copied into the report's document";
  EXPECT_EQ(report.Root().Items(0)->Find("\xC7"), 0);

  TfsXMLItem free{kFsXMLSettings.nameCase};
  free.Add()->Name = "\xDE";
  EXPECT_EQ(free.Find("\xFE"), 0);
  TfrxXMLItem plain;
  plain.Add()->Name = "\xDE";
  EXPECT_EQ(plain.Find("\xFE"), -1);
}

}  // namespace
}  // namespace zentavo
