// VadoziDaruro programs with their exact output, or the compile error as
// "message at line:col", or the run-time error that reached the host. A
// name's position is where the parser leaves it: just after the name.
#include <gtest/gtest.h>

#include "tests/unit/scriptrun/RunHarness.h"

namespace zentavo::testing {
namespace {

struct Case {
  const char* what;  // what the row catches
  const char* program;
  const char* expected;
};

constexpr const char* VD = "VadoziDaruro";

const Case kStatements[] = {
    {"assignment and integer arithmetic", "var i: Integer; begin i := 7 * 6 - 2; WriteLn(i) end.", "40\n"},
    {"div and mod truncate toward zero", "begin WriteLn(-7 div 2); WriteLn(-7 mod 2) end.", "-3\n-1\n"},
    {"string concatenation", "var s: String; begin s := 'ab'; s := s + 'c'; WriteLn(s + '!') end.", "abc!\n"},
    {"if with else", "var i: Integer; begin i := 3; if i > 2 then WriteLn('big') else WriteLn('small') end.",
     "big\n"},
    {"for runs three rounds and leaves the last value",
     "var i: Integer; begin for i := 1 to 3 do WriteLn(i); WriteLn(i) end.", "1\n2\n3\n3\n"},
    {"for with start above end does not run and leaves i",
     "var i: Integer; begin i := 9; for i := 3 to 1 do WriteLn(i); WriteLn(i) end.", "9\n"},
    {"assigning the loop variable keeps the round count",
     "var i, n: Integer; begin n := 0; for i := 1 to 3 do begin i := 10; n := n + 1 end; WriteLn(n) end.",
     "3\n"},
    {"downto", "var i: Integer; begin for i := 3 downto 1 do WriteLn(i) end.", "3\n2\n1\n"},
    {"while with continue re-tests the condition",
     "var i: Integer; begin i := 0; while i < 5 do begin i := i + 1; if i mod 2 = 0 then continue; "
     "WriteLn(i) end end.",
     "1\n3\n5\n"},
    {"repeat until", "var i: Integer; begin i := 0; repeat i := i + 2 until i >= 5; WriteLn(i) end.", "6\n"},
    {"break leaves only the inner loop",
     "var i, j: Integer; begin for i := 1 to 2 do for j := 1 to 5 do begin if j = 2 then break; "
     "WriteLn(i * 10 + j) end end.",
     "11\n21\n"},
    {"case runs only the first matching selector",
     "var i: Integer; begin i := 3; case i of 1..3: WriteLn('a'); 3: WriteLn('b') else WriteLn('c') end end.",
     "a\n"},
    {"case else", "begin case 9 of 1: WriteLn('a') else WriteLn('other') end end.", "other\n"},
    {"in with a set", "var i: Integer; begin i := 4; if i in [1, 3..5] then WriteLn('yes') end.", "yes\n"},
    {"string character read and write",
     "var s: String; begin s := 'abc'; s[2] := 'x'; WriteLn(s); WriteLn(s[3]) end.", "axc\nc\n"},
    {"two-dimensional array", "var a: array[1..2, 0..1] of Integer; begin a[2, 1] := 5; a[1, 0] := a[2, 1] + 1; "
     "WriteLn(a[1, 0] * a[2, 1]) end.", "30\n"},
    {"constant", "const Max = 4; begin WriteLn(Max * 2) end.", "8\n"},
    {"initializer runs at the declaration for every name",
     "var a, b: Integer = 5; begin WriteLn(a + b) end.", "10\n"},
    {"library functions", "begin WriteLn(IntToStr(Length('abcd'))); WriteLn(Copy('merhaba', 2, 3)) end.",
     "4\nerh\n"},
    {"compound rewrite keeps string order", "var s: String; begin s := 'b'; s := 'a' + s; WriteLn(s) end.",
     "ab\n"},
};

const Case kProcedures[] = {
    {"call above the declaration", "begin P end. ", "Undeclared identifier: 'P' at 1:8"},
    {"forward call in program text",
     "procedure A; begin B end; procedure B; begin WriteLn('b') end; begin A end.", "b\n"},
    {"var parameter", "procedure Inc2(var x: Integer); begin x := x + 2 end; var i: Integer; "
     "begin i := 1; Inc2(i); WriteLn(i) end.", "3\n"},
    {"value parameter is a copy", "procedure P(x: Integer); begin x := 5 end; var i: Integer; "
     "begin i := 1; P(i); WriteLn(i) end.", "1\n"},
    {"recursive factorial restores the outer frame",
     "function F(n: Integer): Integer; begin if n <= 1 then Result := 1 else Result := n * F(n - 1) end; "
     "begin WriteLn(F(10)) end.", "3628800\n"},
    {"recursive fib", "function Fib(n: Integer): Integer; begin if n < 2 then Result := n else "
     "Result := Fib(n - 1) + Fib(n - 2) end; begin WriteLn(Fib(15)) end.", "610\n"},
    {"by-reference argument down a recursion keeps the callee's result",
     "procedure Count(n: Integer; var c: Integer); begin c := c + 1; if n > 0 then Count(n - 1, c) end; "
     "var k: Integer; begin k := 0; Count(3, k); WriteLn(k) end.", "4\n"},
    {"Result keeps the previous call's value",
     "function F(b: Boolean): Integer; begin if b then Result := 7 end; "
     "begin WriteLn(F(True)); WriteLn(F(False)) end.", "7\n7\n"},
    {"exit inside nested loops ends the procedure only",
     "procedure P; var i, j: Integer; begin for i := 1 to 3 do for j := 1 to 3 do begin WriteLn(j); "
     "if j = 2 then exit end end; begin P; WriteLn('after') end.", "1\n2\nafter\n"},
    {"a nested procedure is unknown outside",
     "procedure A; procedure B; begin end; begin B end; begin B end.", "Undeclared identifier: 'B' at 1:58"},
    {"default parameter", "procedure P(a: Integer; b: Integer = 3); begin WriteLn(a + b) end; begin P(1) end.",
     "4\n"},
    {"deep recursion is an error, not a crash",
     "procedure R; begin R end; begin R end.", "error: Stack overflow"},
    {"caught stack overflow leaves the frames usable",
     "var d: Integer; procedure R(n: Integer); begin d := n; R(n + 1) end; "
     "function F(n: Integer): Integer; begin if n = 0 then Result := 0 else Result := n + F(n - 1) end; "
     "begin try R(1) except end; WriteLn(F(4)) end.", "10\n"},
};

const Case kTry[] = {
    {"except catches and continues",
     "begin try RaiseException('x'); WriteLn('no') except WriteLn('caught') end; WriteLn('on') end.",
     "caught\non\n"},
    {"finally runs and the error goes on",
     "begin try RaiseException('boom') finally WriteLn('fin') end; WriteLn('no') end.", "fin\nerror: boom"},
    {"exit in try finally runs the whole handler",
     "procedure P; begin try exit finally WriteLn('a'); WriteLn('b') end; WriteLn('no') end; "
     "begin P; WriteLn('c') end.", "a\nb\nc\n"},
    {"break in try finally inside a loop runs the whole handler, then ends the loop",
     "var i: Integer; begin for i := 1 to 3 do try break finally WriteLn('a'); WriteLn('b') end; WriteLn(i) end.",
     "a\nb\n1\n"},
    {"division by zero is caught",
     "var i: Integer; begin i := 0; try WriteLn(1 div i) except WriteLn('div') end end.", "div\n"},
    {"error inside a recursion caught outside restores the frames",
     "function F(n: Integer): Integer; begin if n = 0 then RaiseException('x'); Result := n; F(n - 1) end; "
     "function G(n: Integer): Integer; begin Result := n; try F(n) except end; Result := Result * 10 end; "
     "begin WriteLn(G(3)) end.", "30\n"},
    {"break outside a loop does not leak into a later loop",
     "procedure P; begin break end; var i: Integer; begin P; for i := 1 to 2 do WriteLn(i) end.", "1\n2\n"},
};

const Case kErrors[] = {
    {"undeclared identifier", "begin\n  x := 1\nend.", "Undeclared identifier: 'x' at 2:4"},
    {"redeclared", "var a: Integer; a: String; begin end.", "Identifier redeclared: 'a' at 1:18"},
    {"real into integer", "var x: Integer; begin x := 1.5 end.", "Incompatible types: 'Integer', 'Extended' at 1:28"},
    {"integer into real is accepted", "var f: Extended; begin f := 2; WriteLn(f) end.", "2\n"},
    {"unknown type", "var x: Foo; begin end.", "Unknown type: 'Foo' at 1:11"},
    {"operands that do not combine", "var b: Boolean; begin b := 1 + True end.", "Incompatible types at 1:31"},
    {"too many arguments", "procedure P(a: Integer); begin end; begin P(1, 2) end.",
     "Too many actual parameters at 1:44"},
    {"not enough arguments", "procedure P(a: Integer); begin end; begin P end.",
     "Not enough actual parameters at 1:44"},
    {"constant cannot be assigned", "const C = 1; begin C := 2 end.", "Left side cannot be assigned to at 1:20"},
    {"loop variable must be a numeric variable", "var s: String; begin for s := 1 to 2 do end.",
     "For loop variable must be numeric variable at 1:27"},
    {"member of a string", "var s: String; begin s.Foo := 1 end.",
     "Strings doesn't have properties or methods at 1:27"},
    {"a number is never an object", "var v: Variant; begin v := 5; v.Name := 'x' end.",
     "error: Object reference required"},
    {"late-bound automation", "var o: Variant; begin o := CreateOleObject('Word.Application'); o.Visible := True end.",
     "error: Automation is not supported on this platform"},
    {"with on a value that is no object handle",
     "var v: Variant; begin v := 5; with v do Name := 'x' end.", "error: Object reference required"},
    {"with on a string is refused", "var s: String; begin with s do Name := 'x' end.",
     "Class type required at 1:27"},
    {"constants never run script code",
     "function F: Integer; begin WriteLn('ran'); Result := 1 end; const C = F; begin end.",
     "Constant expression expected at 1:72"},
};

void RunTable(const char* table, const Case* cases, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i)
    EXPECT_EQ(RunScript(VD, cases[i].program), cases[i].expected) << table << ": " << cases[i].what;
}

TEST(VadoziDaruro, Statements) { RunTable("statements", kStatements, std::size(kStatements)); }
TEST(VadoziDaruro, Procedures) { RunTable("procedures", kProcedures, std::size(kProcedures)); }
TEST(VadoziDaruro, TryBlocks) { RunTable("try", kTry, std::size(kTry)); }
TEST(VadoziDaruro, CompileAndRunErrors) { RunTable("errors", kErrors, std::size(kErrors)); }

}  // namespace
}  // namespace zentavo::testing
