// The same programs in the four languages print the same: one builder
// serves them all, so a construct that works in one must work in each.
#include <gtest/gtest.h>

#include "tests/unit/scriptrun/RunHarness.h"

namespace zentavo::testing {
namespace {

struct Program {
  const char* what;
  const char* vd;   // VadoziDaruro
  const char* rpp;  // R++Izozev
  const char* dz;   // DarozOzuziz
  const char* js;   // JScript
  const char* expected;
};

const Program kPrograms[] = {
    {"counting loop with a sum",
     "var i, s: Integer; begin s := 0; for i := 1 to 10 do s := s + i; WriteLn(s) end.",
     "int i, s; { s = 0; for (i = 1; i <= 10; i++) s += i; WriteLn(s); }",
     "Dim i, s\r\ns = 0\r\nFor i = 1 To 10\r\n  s = s + i\r\nNext\r\nWriteLn(s)\r\n",
     "var i, s = 0; for (i = 1; i <= 10; i++) s += i; WriteLn(s);", "55\n"},
    {"recursive function with return",
     "function F(n: Integer): Integer; begin if n <= 1 then Result := 1 else Result := n * F(n - 1) end; "
     "begin WriteLn(F(6)) end.",
     "int F(int n) { if (n <= 1) return 1; return n * F(n - 1); } { WriteLn(F(6)); }",
     "Function F(n)\r\n  If n <= 1 Then\r\n    Return 1\r\n  End If\r\n  Return n * F(n - 1)\r\nEnd Function\r\n"
     "WriteLn(F(6))\r\n",
     "function F(n) { if (n <= 1) return 1; return n * F(n - 1); } WriteLn(F(6));", "720\n"},
    {"while with break, then a caught error",
     "var i: Integer; begin i := 0; while True do begin i := i + 1; if i > 3 then break end; "
     "try RaiseException('x') except WriteLn(i) end end.",
     "int i = 0; { while (true) { i++; if (i > 3) break; } try { RaiseException(\"x\"); } except { WriteLn(i); } }",
     "i = 0\r\nWhile True\r\n  i = i + 1\r\n  If i > 3 Then Break\r\nWend\r\nTry\r\n  RaiseException(\"x\")\r\n"
     "Catch\r\n  WriteLn(i)\r\nEnd Try\r\n",
     "var i = 0; while (true) { i++; if (i > 3) break; } try { RaiseException(\"x\"); } except { WriteLn(i); }",
     "4\n"},
    {"loop with the condition after the body",
     "var i: Integer; begin i := 10; repeat i := i - 3 until i < 0; WriteLn(i) end.",
     "int i = 10; { do i = i - 3; while (i >= 0); WriteLn(i); }",
     "i = 10\r\nDo\r\n  i = i - 3\r\nLoop Until i < 0\r\nWriteLn(i)\r\n",
     "var i = 10; do i = i - 3; while (i >= 0); WriteLn(i);", "-2\n"},
    {"case selection",
     "var i: Integer; begin for i := 1 to 3 do case i of 1: WriteLn('a'); 2..3: WriteLn('b') end end.",
     "int i; { for (i = 1; i <= 3; i++) switch (i) { case 1: WriteLn(\"a\"); case 2..3: WriteLn(\"b\"); } }",
     "For i = 1 To 3\r\n  Select Case i\r\n  Case 1: WriteLn(\"a\")\r\n  Case 2..3: WriteLn(\"b\")\r\n  End Select\r\nNext\r\n",
     "var i; for (i = 1; i <= 3; i++) switch (i) { case 1: WriteLn(\"a\"); case 2..3: WriteLn(\"b\"); }",
     "a\nb\nb\n"},
};

TEST(Languages, SameOutputInAllFour) {
  const char* names[] = {"VadoziDaruro", "R++Izozev", "DarozOzuziz", "JScript"};
  for (const Program& p : kPrograms) {
    const char* texts[] = {p.vd, p.rpp, p.dz, p.js};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(RunScript(names[i], texts[i]), p.expected) << names[i] << ": " << p.what;
  }
}

struct LangCase {
  const char* language;
  const char* what;
  const char* program;
  const char* expected;
};

const LangCase kSpecific[] = {
    {"DarozOzuziz", "step counting down", "For i = 10 To 1 Step -3\r\n  WriteLn(i)\r\nNext\r\n", "10\n7\n4\n1\n"},
    {"DarozOzuziz", "undeclared names become variables", "x = 2\r\nWriteLn(x * 3)\r\n", "6\n"},
    {"R++Izozev", "undeclared names are errors", "{ x = 1; }", "Undeclared identifier: 'x' at 1:4"},
    {"R++Izozev", "only the name with an initializer is initialized", "int a = 1, b; { WriteLn(a); WriteLn(b); }",
     "1\n0\n"},
    {"R++Izozev", "continue in a three-part loop still runs the step",
     "int i; { for (i = 0; i < 4; i++) { if (i == 1) continue; WriteLn(i); } }", "0\n2\n3\n"},
    {"R++Izozev", "compound assignments", "int i = 5; { i += 3; i -= 1; i *= 2; WriteLn(i); i++; i--; i--; WriteLn(i); }",
     "14\n13\n"},
    {"R++Izozev", "by-reference parameter", "void P(int &x) { x = x * 10; } int k = 4; { P(k); WriteLn(k); }", "40\n"},
    {"JScript", "function without a type returns a variant", "function G(a, b) { return a + b; } WriteLn(G(\"x\", \"y\"));",
     "xy\n"},
};

TEST(Languages, LanguageSpecific) {
  for (const LangCase& c : kSpecific) EXPECT_EQ(RunScript(c.language, c.program), c.expected) << c.language << ": " << c.what;
}

// One declaration of many names: every name is declared, with the type and
// the initializer its language gives it, wherever it stands in the list.
TEST(Languages, DeclarationsOfManyNames) {
  const int kNames = 5000;
  std::string names;
  for (int i = 0; i < kNames; ++i) names += (i ? ", v" : "v") + std::to_string(i);
  const std::string last = "v" + std::to_string(kNames - 1);
  struct Case {
    const char* language;
    std::string program;
    const char* expected;
    const char* why;
  };
  const Case cases[] = {
      {"VadoziDaruro", "var " + names + ": Integer = 7;\nbegin v0 := v0 + 1; WriteLn(v0); WriteLn(v2500 + " + last + ") end.",
       "8\n14\n", "the type and the initializer after the names apply to every name"},
      {"VadoziDaruro", "var " + names + ": String;\nbegin WriteLn(" + last + " + 'x') end.", "x\n",
       "a string type gives every name the empty string"},
      {"R++Izozev", "int " + names + " = 3;\n{ WriteLn(v0); WriteLn(" + last + "); }", "0\n3\n",
       "only the name the initializer follows is initialized"},
      {"JScript", "var " + names + ";\nv4999 = 2; WriteLn(v4999 * 3);", "6\n",
       "names without a type hold Null until assigned"},
      {"DarozOzuziz", "Dim " + names + "\r\n" + last + " = 4\r\nWriteLn(" + last + " * 2)\r\n", "8\n",
       "every name of a Dim is declared"},
      {"VadoziDaruro", "var " + names + ", V17: Integer;\nbegin end.", "Identifier redeclared: 'V17' at 1:",
       "a name repeated at the end of a long list is still found"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    const std::string out = RunScript(c.language, c.program);
    EXPECT_EQ(out.substr(0, std::string(c.expected).size()), c.expected) << c.language;
  }
}

}  // namespace
}  // namespace zentavo::testing
