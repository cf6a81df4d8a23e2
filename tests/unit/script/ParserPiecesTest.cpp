// The lexer's positions and report expressions, the language registry and
// its cache, units, and the depth limit of the walk.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <stdexcept>

#include "script/fs_iparser.h"
#include "tests/unit/script/TreeText.h"

namespace zentavo::testing {
namespace {

TEST(FsLexer, PositionsAndLineColumns) {
  TfsParser p;
  p.SetText("ab\r\ncd\n\nx");
  struct Row {
    int position;
    const char* xy;
    const char* why;
  };
  const Row rows[] = {
      {1, "1:1", "start"},
      {3, "1:3", "the carriage return is a column of its line"},
      {4, "1:4", "the line feed belongs to the line it ends"},
      {5, "2:1", "after the line feed"},
      {8, "3:1", "an empty line"},
      {9, "4:1", "last line"},
      {10, "4:2", "end of the text"},
  };
  for (const Row& r : rows) {
    p.SetPosition(r.position);
    EXPECT_EQ(p.GetXYPosition(), r.xy) << r.why;
  }
  EXPECT_EQ(p.GetPositionFromXY(1, 2), 5);
  EXPECT_EQ(p.GetPositionFromXY(2, 4), 10);
  EXPECT_EQ(p.GetPositionFromXY(1, 0), -1) << "line below 1";
  EXPECT_EQ(p.GetPositionFromXY(1, 5), -1) << "line beyond the text";
}

TEST(FsLexer, TokensAndSettings) {
  TfsParser p;
  p.SetText("<[Tbl.\"x]\"]> rest");
  p.SetPosition(2);
  EXPECT_EQ(p.GetFRString(), "[Tbl.\"x]\"]") << "a bracket inside double quotes does not count";
  EXPECT_EQ(p.GetChar(), ">");

  p.SetText("  \xFE" "ey");  // "şey" in Windows-1254
  EXPECT_EQ(p.GetWord(), "") << "Turkish letters are no identifier characters by default";
  p.AddIdentChar(static_cast<unsigned char>('\xFE'));
  p.SetPosition(1);
  EXPECT_EQ(p.GetWord(), "\xFE" "ey");

  p.Reset();
  p.AddKeyword("begin");
  EXPECT_TRUE(p.IsKeyword("BEGIN"));
  p.CaseSensitive = true;
  EXPECT_FALSE(p.IsKeyword("BEGIN"));
  EXPECT_TRUE(p.IsKeyword("begin"));

  p.Reset();
  p.SkipChar = "_";
  p.SkipEOL = false;
  std::string many(100000, '_');
  p.SetText(many + "\r\nx");
  p.SkipSpaces();  // a long run of continuations must not recurse
  EXPECT_EQ(p.GetWord(), "x");
}

TEST(FsLanguages, RegistryAndCache) {
  for (const char* name : {"VadoziDaruro", "R++Izozev", "DarozOzuziz", "JScript"})
    EXPECT_FALSE(GetLanguageGrammar(name).empty()) << name;
  EXPECT_FALSE(GetLanguageGrammar("vadozidaruro").empty()) << "names ignore case";
  try {
    GetLanguageGrammar("Cobol");
    FAIL() << "unknown language";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Language 'Cobol' not found");
  }
  EXPECT_EQ(GetCompiledGrammar("JScript"), GetCompiledGrammar("jscript"))
      << "a language is read once and then shared";
  EXPECT_EQ(GetCompiledGrammar("JScript")->DisplayName(), "JScript");

  const std::string tiny =
      "<?xml version=\"1.0\"?><language text=\"Tiny\"><parser><keywords><go/></keywords>"
      "<errors><err1 text=\"go expected\"/></errors></parser>"
      "<program><keyword text=\"go\" err=\"err1\" add=\"go\"/></program></language>";
  RegisterLanguage("Tiny", tiny);
  EXPECT_EQ(Parse("Tiny", "GO").tree, "go=GO");
  EXPECT_EQ(Parse("Tiny", "stop").message, "go expected at 1:1");
  auto first = GetCompiledGrammar("Tiny");
  RegisterLanguage("TINY", tiny.substr(0, tiny.find("<program>")) +
                               "<program><undefined/></program></language>");
  EXPECT_NE(GetCompiledGrammar("Tiny"), first) << "registering again replaces the cached grammar";
  EXPECT_EQ(RegisteredLanguages().size(), 5u) << "replaced, not appended";
  try {
    Parse("Tiny", "go");
    FAIL() << "undefined rule";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Invalid language definition");
  }
  RegisterLanguage("Broken", "<language>");
  EXPECT_THROW(GetCompiledGrammar("Broken"), std::runtime_error) << "not a grammar document";
}

TEST(FsLanguages, ShippedGrammarsHaveTheirKeywords) {
  struct Row {
    const char* language;
    int keywords;
    const char* lowerOnly;  // a keyword that must be in the list
  };
  const Row rows[] = {
      {"VadoziDaruro", 40, "xor"}, {"R++Izozev", 19, "define"},
      {"DarozOzuziz", 40, "addressof"}, {"JScript", 22, "import"}};
  for (const Row& r : rows) {
    TfsXMLDocument doc;
    doc.LoadFromString(GetLanguageGrammar(r.language));
    const TfsXMLItem& keywords = *doc.Root().FindItem("parser")->FindItem("keywords");
    EXPECT_EQ(keywords.Count(), r.keywords) << r.language;
    EXPECT_GE(keywords.Find(r.lowerOnly), 0) << r.language;
    EXPECT_EQ(doc.Root().Prop("text"), r.language);
  }
}

TEST(FsUnits, EachUnitOnceAndErrorsNameTheirUnit) {
  std::map<std::string, std::string> units = {
      {"A", "uses 'B', 'C'; begin a := 1 end."},
      {"B", "uses 'C'; begin b := 1 end."},
      {"C", "begin c := 1 end."},
      {"Bad", "begin c := end."},
      {"Empty", ""},
  };
  int requests = 0;
  TfsParseTarget target;
  target.OnGetUnit = [&](const std::string& name, std::string& text) {
    ++requests;
    text = units[name];
  };
  ParseResult r = Parse("VadoziDaruro", "uses 'A', 'C'; begin end.", false, &target);
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_EQ(requests, 3) << "C is named three times and read once";
  // C (named later in the clause) is inserted before A; inside A, C is
  // already included, and B's C too.
  EXPECT_EQ(r.tree.find("uses(program(compoundstmt(assignstmt(dsgn(node=c)"), 0u) << r.tree;
  EXPECT_NE(r.tree.find("uses(program(uses(program(compoundstmt(assignstmt(dsgn(node=b)"),
            std::string::npos)
      << r.tree;
  EXPECT_EQ(r.tree.find("node=c", r.tree.find("node=c") + 1), std::string::npos) << "C once";

  ParseResult empty = Parse("VadoziDaruro", "uses 'Empty'; begin end.", false, &target);
  EXPECT_EQ(empty.tree, "uses() compoundstmt()") << "an empty unit leaves an empty uses element";

  TfsParseTarget bad;
  bad.OnGetUnit = target.OnGetUnit;
  ParseResult failed = Parse("VadoziDaruro", "uses 'Bad'; begin end.", false, &bad);
  EXPECT_EQ(failed.message, "Expression expected at 1:12") << "position within the unit";
  EXPECT_EQ(bad.ErrorUnit, "Bad");
}

TEST(FsUnits, UnitsFromFilesAndMissingFiles) {
  std::string path = std::string(ZENTAVO_BINARY_DIR) + "/fs_unit_test.pas";
  {
    std::ofstream out(path, std::ios::binary);
    out << "begin u := 1 end.";
  }
  ParseResult r = Parse("VadoziDaruro", "uses '" + path + "'; begin end.");
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_EQ(r.tree.find("uses(program(compoundstmt(assignstmt(dsgn(node=u)"), 0u) << r.tree;
  std::remove(path.c_str());
  EXPECT_THROW(Parse("VadoziDaruro", "uses '" + path + "'; begin end."), std::runtime_error);
}

TEST(FsUnits, SelfIncludingChainIsBounded) {
  TfsParseTarget target;
  int counter = 0;
  // Every unit names a new unit: the chain must end in an error, not a crash.
  target.OnGetUnit = [&](const std::string&, std::string& text) {
    text = "uses 'U" + std::to_string(++counter) + "'; begin end.";
  };
  EXPECT_THROW(Parse("VadoziDaruro", "uses 'U0'; begin end.", false, &target), std::runtime_error);
}

TEST(FsDepth, DeepNestingIsAnErrorNotAStackOverflow) {
  auto repeat = [](const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
  };
  const int n = 100000;
  struct Row {
    const char* language;
    std::string text;
    const char* why;
  };
  const Row rows[] = {
      {"VadoziDaruro", "begin x := " + repeat("(", n) + "1" + repeat(")", n) + " end.", "parentheses"},
      {"VadoziDaruro", repeat("begin ", n) + repeat("end ", n) + ".", "blocks"},
      {"VadoziDaruro", "begin " + repeat("if x then ", n) + "y := 1 end.", "if chains"},
      {"VadoziDaruro", "begin x := " + repeat("not ", n) + "y end.", "prefix operators"},
      {"R++Izozev", repeat("{", n) + repeat("}", n), "braces"},
      {"DarozOzuziz", repeat("If x Then\r\n", n), "block ifs"},
      {"JScript", "x = " + repeat("[", n) + ";", "sets"},
      {"JScript", "x = " + repeat("a[", n) + ";", "indexes"},
  };
  for (const Row& r : rows) {
    ParseResult got = Parse(r.language, r.text);
    EXPECT_FALSE(got.ok) << r.why;
    EXPECT_EQ(got.message.rfind("Program nested too deeply at ", 0), 0u) << r.why << ": " << got.message;
  }
  ParseResult fine = Parse("VadoziDaruro", "begin x := " + repeat("(", 100) + "1" + repeat(")", 100) + " end.");
  EXPECT_TRUE(fine.ok) << "ordinary nesting stays well inside the limit: " << fine.message;
}

TEST(FsLineEnds, DarozOzuzizWithLfParsesLikeCrLf) {
  const std::string crlf =
      "Dim i\r\nIf i > 1 Then\r\n  i = 1 ' one\r\nElse\r\n  i = _\r\n 2\r\nEnd If\r\n"
      "For i = 1 To 3\r\n  Print(i)\r\nNext\r\n";
  std::string lf;
  for (char c : crlf)
    if (c != '\r') lf += c;
  ParseResult a = Parse("DarozOzuziz", crlf, true);
  ParseResult b = Parse("DarozOzuziz", lf, true);
  ASSERT_TRUE(a.ok) << a.message;
  ASSERT_TRUE(b.ok) << b.message;
  EXPECT_EQ(a.tree, b.tree);
}

}  // namespace
}  // namespace zentavo::testing

namespace zentavo::testing {
namespace {

TEST(FsSyntaxTree, SavedTreeReadsBackUnchangedWithTypesLast) {
  TfsParseTarget target;
  TfsILParser parser(target);
  parser.LoadLanguage("R++Izozev");
  ASSERT_TRUE(parser.BuildSyntaxTree(
      "{ s = \"&#65; &quot; <a> \\\"q\\\" \\x01\\n\"; t = <Tbl.\"a>b\">; }"))
      << target.ErrorMsg;
  TfsXMLDocument& tree = parser.SyntaxTree();
  const TfsXMLItem& types = *tree.Root()[tree.Root().Count() - 1];
  EXPECT_EQ(types.Name, "types");
  ASSERT_EQ(types.Count(), 5);
  EXPECT_EQ(types[0]->Name, "int");
  EXPECT_EQ(types[0]->Prop("type"), "integer");

  std::string saved = tree.SaveToString();
  EXPECT_EQ(saved.rfind("<?xml version=\"1.0\"?><program>", 0), 0u) << saved;
  TfsXMLDocument again;
  again.LoadFromString(saved);
  EXPECT_EQ(TreeText(again.Root(), true), TreeText(tree.Root(), true));
  EXPECT_NE(TreeText(again.Root()).find("string='&#65; &quot; <a> \"q\" \x01\n'"), std::string::npos)
      << TreeText(again.Root());
}

}  // namespace
}  // namespace zentavo::testing

namespace zentavo::testing {
namespace {

TEST(FsSyntaxTree, ExtendedIdentCharsAdmitTurkishNames) {
  const std::string text = "begin \xFE" "ey := 1 end.";  // "şey" in Windows-1254
  TfsParseTarget plain;
  EXPECT_FALSE(Parse("VadoziDaruro", text, false, &plain).ok);
  TfsParseTarget extended;
  extended.ExtendedIdentChars = true;
  ParseResult r = Parse("VadoziDaruro", text, false, &extended);
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_EQ(r.tree, "compoundstmt(assignstmt(dsgn(node=\xFE" "ey) expr(number=1)))");
}

}  // namespace
}  // namespace zentavo::testing
