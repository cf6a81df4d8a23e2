// The parser's edge cases in one table: each row is a language, a text and
// either a fragment of the expected tree, the whole tree ("=..."), or the
// expected syntax error ("!message at line:col").
#include <gtest/gtest.h>

#include "tests/unit/script/TreeText.h"

namespace zentavo::testing {
namespace {

struct Row {
  const char* language;
  const char* text;
  const char* expect;
  bool positions;
  const char* why;
};

const char VD[] = "VadoziDaruro";
const char RPP[] = "R++Izozev";
const char DZ[] = "DarozOzuziz";
const char JS[] = "JScript";

const Row kRows[] = {
    // strings
    {VD, "begin s := 'It''s' end.", "string='It's'", false, "doubled quote is one quote"},
    {VD, "begin s := 'a'#13#10'b' end.", "string='a\r\nb'", false, "parts and codes join"},
    {VD, "begin s := #$41 end.", "expr(string='A')", false, "hex character code"},
    {VD, "begin s := #321 end.", "expr(string='A')", false, "only the low 8 bits of a code count"},
    {VD, "begin s := '&#65;' end.", "string='&#65;'", false,
     "an XML-looking literal stays five characters in the tree"},
    {VD, "begin s := 'a\"<b>' end.", "string='a\"<b>'", false, "quote and brackets survive escaping"},
    {RPP, "{ s = \"\\t\"; }", "string='t'", false, "unknown escape is the character itself"},
    {RPP, "{ s = \"\\x41\\x42\"; }", "string='AB'", false, "hex escapes"},
    {RPP, "{ s = \"a\\\\b\\\"c\\n\"; }", "string='a\\b\"c\n'", false, "backslash, quote, newline"},
    {RPP, "{ s = \"abc; }", "!Expression expected at 1:7", false,
     "unterminated string is no token"},
    {VD, "begin s := 'abc end.", "!Expression expected at 1:12", false,
     "unterminated Pascal string"},
    // numbers
    {RPP, "{ x = 0x1F; }", "expr(number=$1F)", false, "C hex prefix reaches the tree as $"},
    {VD, "begin x := $1F end.", "expr(number=$1F)", false, "Pascal hex"},
    {VD, "begin x := 1.5E3 + 2e-2 + 7 end.",
     "expr(number=1.5E3 op=+ number=2e-2 op=+ number=7)", false, "reals and an integer"},
    {VD, "begin x := 1e end.", "!';' expected at 1:13", false,
     "a malformed exponent is not consumed"},
    {VD, "begin x := [1..5] end.", "set(expr(number=1) range=. expr(number=5))", false,
     "1..5 reads as 1, the range dots, 5"},
    {VD, "begin case x of 1..5: y := 1 end end.",
     "caseselector(set(expr(number=1) range=. expr(number=5)) assignstmt(", false,
     "case range"},
    // comments
    {VD, "begin { a { b } c } end.", "!';' expected at 1:19", false,
     "block comments do not nest: c } is parsed"},
    {VD, "begin (* x *) y (* z *) end.", "=compoundstmt(callstmt(dsgn(node=y)))", false,
     "second block comment pair"},
    {VD, "begin // end.\r\nx end.", "=compoundstmt(callstmt(dsgn(node=x)))", false,
     "line comment runs to the line end"},
    {DZ, "x = 1'", "!End of line expected at 1:6", false,
     "no comment starts on the very last character"},
    {DZ, "x = 1'c", "=compoundstmt(assignstmt(dsgn(node=x) expr(number=1)))", false,
     "the same quote before the last character is a comment"},
    // positions
    {VD, "begin x := 12 end.", "expr@1:12-1:14(number=12@1:14)", true,
     "leaf pos after the token, expr pos at its first token, pos1 after its last"},
    {VD, "begin\r\n\tx := 1\r\nend.", "assignstmt@2:2(dsgn@2:2(node=x@2:3)", true,
     "a tab is one column; lines count line feeds"},
    {VD, "begin x := 1 end", "!'.' expected at 1:17", false, "missing final dot: at the end"},
    {VD, "begin x := 1 y := 2 end.", "!';' expected at 1:14", false,
     "the END keyword's error names the missing semicolon"},
    // program shape
    {VD, "begin end.", "=compoundstmt()", false, "empty main block"},
    {VD, "begin end. whatever ) (", "=compoundstmt()", false, "text after the final dot is ignored"},
    {VD, "", "=", false, "empty text is an empty program"},
    {VD, "  // only a comment\r\n", "=", false, "blank text is an empty program"},
    {DZ, "", "=", false, "empty DarozOzuziz text"},
    {JS, "", "=", false, "empty JScript text"},
    {JS, ")x = 1;", "!Statement expected at 1:1", false,
     "a first statement that cannot parse is an error, not an empty program"},
    {JS, "x = 1; ) y = 2;", "!Statement expected at 1:8", false,
     "text after the last statement that parses is an error"},
    {RPP, "{ x = 1; } y", "!Statement expected at 1:12", false,
     "text after the main block is an error"},
    {DZ, "x = 1\r\nNext\r\n", "!Statement expected at 2:1", false,
     "a line that starts no statement is an error"},
    {VD, "begin x := <Value> end.", "expr(dsgn(node=Get expr(string='Value')))", false,
     "report expression becomes Get('...')"},
    {VD, "begin x := <Tbl.'a>b'> end.", "dsgn(node=Get expr(string='Tbl.'a>b''))", false,
     "angle bracket in quotes does not close"},
    {VD, "begin x := <[a]<b>> end.", "string='[a]<b>'", false, "brackets balance"},
    {VD, "begin x := <abc end.", "!'>' expected at 1:21", false, "unclosed report expression"},
    // language switch and line ends
    {VD, "#language DarozOzuziz\r\nx = 1\r\n",
     "=compoundstmt(assignstmt(dsgn(node=x) expr(number=1)))", false,
     "#language on the first line switches the language"},
    {VD, "#language DarozOzuziz\nx = 1\n", "=compoundstmt(assignstmt(dsgn(node=x) expr(number=1)))",
     false, "the same with LF line ends"},
    {VD, "#language JScript\r\nx = 1;", "@2:1(", true, "positions still count the first line"},
    {DZ, "x = 1\ny = 2\n",
     "=compoundstmt(assignstmt(dsgn(node=x) expr(number=1)) assignstmt(dsgn(node=y) expr(number=2)))",
     false, "LF-only line ends are line ends"},
    {DZ, "x = 1", "=compoundstmt(assignstmt(dsgn(node=x) expr(number=1)))", false,
     "the end of the text ends the last line"},
    {DZ, "x = 1 ' set x\r\ny = 2\r\n",
     "=compoundstmt(assignstmt(dsgn(node=x) expr(number=1)) assignstmt(dsgn(node=y) expr(number=2)))",
     false, "a trailing comment leaves the line end to the statement"},
    {DZ, "' note\r\nx = 1\r\n", "=compoundstmt(assignstmt(dsgn(node=x) expr(number=1)))", false,
     "a comment on its own line is harmless"},
    {DZ, "x = 1\r\nremark = 2\r\n", "=compoundstmt(assignstmt(dsgn(node=x) expr(number=1)))", false,
     "a word starting with lower-case rem starts a comment"},
    {DZ, "Remark = 2\r\n", "=compoundstmt(assignstmt(dsgn(node=Remark) expr(number=2)))", false,
     "the comment marker is compared exactly"},
    {DZ, "x = 1 + _\r\n  2\r\n", "expr(number=1 op=+ number=2)", false,
     "continuation joins the next line"},
    {DZ, "x = 1 +\r\n2\r\n", "!End of line expected at 1:7", false,
     "without the continuation the line end ends the statement"},
    // keyword case
    {VD, "BEGIN x := 1 END.", "compoundstmt(assignstmt", false, "upper-case keywords"},
    {VD, "Begin If x Then y := 1 End.", "ifstmt(", false, "mixed-case keywords"},
    {JS, "IF (x) y = 1;", "ifstmt(", false, "JScript keywords in any case"},
    {DZ, "IF x THEN y = 1\r\n", "ifstmt(", false, "DarozOzuziz keywords in any case"},
    {RPP, "{ if (x) y = 1; }", "ifstmt(", false, "R++Izozev lower-case keyword"},
    {RPP, "{ If (x) y = 1; }", "!';' expected at 1:10", false,
     "R++Izozev If is an identifier, so this is a call followed by y"},
    {RPP, "{ x = 1; } ", "=compoundstmt(assignstmt(dsgn(node=x) expr(number=1)))", false,
     "trailing blanks are fine"},
};

TEST(SyntaxEdges, Table) {
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.why);
    ParseResult got = Parse(r.language, r.text, r.positions);
    std::string expect = r.expect;
    if (expect[0] == '!') {
      EXPECT_FALSE(got.ok) << r.why << ": tree " << got.tree;
      EXPECT_EQ(got.message, expect.substr(1)) << r.why;
    } else if (expect[0] == '=') {
      ASSERT_TRUE(got.ok) << r.why << ": " << got.message;
      EXPECT_EQ(got.tree, expect.substr(1)) << r.why;
    } else {
      ASSERT_TRUE(got.ok) << r.why << ": " << got.message;
      EXPECT_NE(got.tree.find(expect), std::string::npos) << r.why << "\n  tree: " << got.tree;
    }
  }
}

}  // namespace
}  // namespace zentavo::testing
