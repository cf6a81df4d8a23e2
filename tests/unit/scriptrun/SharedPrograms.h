// Programs written in each script language that has the constructs they use,
// all printing the same lines. The VadoziDaruro texts also compile with
// fpc -Mdelphi and tests/unit/scriptrun_fpc/fpc_prelude.inc, the R++Izozev
// texts as C++ with tests/unit/scriptrun_gxx/gxx_prelude.hpp, and the JScript
// texts run under node with tests/unit/scriptrun_node/node_prelude.js; the
// rows that say so are compared with those compilers' output (scriptrun_fpc,
// scriptrun_gxx, scriptrun_node), and every row is checked in scriptrun
// against the lines the compilers printed.
//
// Left out of the shared subset on purpose, because the script languages
// define them otherwise than C++ and JavaScript do:
// - "&&" and "||" bind like multiplication and addition, tighter than the
//   comparisons (Pascal's order): shared programs bracket every comparison;
// - "/" divides as reals even between integers; integer division is "div";
// - "break" inside a switch leaves the enclosing loop (a case has no fall-through
//   to stop), so shared switches leave a case with continue or return only;
// - ">>" shifts the 32 bits as unsigned (-16 >> 2 is 1073741820);
// - strings compare by the Turkish alphabet with case deciding last ("Z" > "a");
// - strings index from 1; JScript strings have no members (s.length), the
//   library functions are used instead;
// - "+" of a string and a number adds them as numbers ("1" + 2 is 3, "a" + 1 an error);
// - local variables keep their value from the previous call unless initialized;
// - untyped (Variant) operands of "&&" and "||" are both evaluated;
// - a unary minus stands only at the start of a term: "a * -b" and "7 % -2"
//   are syntax errors, "a * (-b)" is written instead;
// - "%" and "mod" of reals round both operands to integers first (5.5 % 2 is 0);
// - integers beyond 1E15 print with all their digits, where node's prelude,
//   seeing only doubles, writes E notation: shared numbers stay below 1E15;
// - JScript refuses a name declared twice with var in one scope;
// - recursion deeper than 1000 calls is the error "Stack overflow";
// - JScript's handler is "except", the test spells it "catch (e)" for node,
//   and C++ has no finally: rows with finally are not compared with g++;
// - Free Pascal on 64-bit machines evaluates Integer expressions in 64 bits
//   (a + 1 with a = MaxInt is 2147483648) and wants a forward declaration
//   before a call above a function's text; it has no case over strings in
//   Delphi mode. The rows with those are not compared with fpc.
#pragma once

#include <string>

namespace zentavo::testing {

enum Oracle : unsigned {
  kNoOracle = 0,
  kGxx = 1,   // the R++Izozev text compiles and runs as C++
  kNode = 2,  // the JScript text runs under node
  kFpc = 4,   // the VadoziDaruro text compiles with fpc -Mdelphi
};

struct SharedProgram {
  const char* what;      // what the row catches
  unsigned oracles;      // compilers the row is compared with
  const char* vd;        // VadoziDaruro, whole program; null when it has no form there
  const char* rppDecls;  // R++Izozev declarations before the main block
  const char* rppMain;   // R++Izozev statements of the main block; null for no R++Izozev form
  const char* dz;        // DarozOzuziz
  const char* js;        // JScript
  const char* expected;
};

// The R++Izozev program of a row: declarations, then the main block.
inline std::string RppProgram(const SharedProgram& p) {
  return std::string(p.rppDecls) + "\n{\n" + p.rppMain + "\n}\n";
}

inline const SharedProgram kSharedPrograms[] = {
    {"integer arithmetic: precedence, unary minus, div and mod of negatives", kGxx | kNode | kFpc,
     "var a, b: Integer;\nbegin\n  a := -17; b := 5;\n  WriteLn(a div b); WriteLn(a mod b); WriteLn(-a div 4 * 3);\n"
     "  WriteLn(a * b - 3 + b * 4); WriteLn(2 + 3 * 4 - (2 + 3) * 4); WriteLn(10 - 4 - 3);\n"
     "  WriteLn(-2 * 3 + 17 mod 5 * 2); WriteLn(0 - a mod b)\nend.\n",
     "int a, b;",
     "a = -17; b = 5;\nWriteLn(a div b); WriteLn(a % b); WriteLn(-a div 4 * 3);\n"
     "WriteLn(a * b - 3 + b * 4); WriteLn(2 + 3 * 4 - (2 + 3) * 4); WriteLn(10 - 4 - 3);\n"
     "WriteLn(-2 * 3 + 17 % 5 * 2); WriteLn(0 - a % b);",
     "Dim a As Integer = -17, b As Integer = 5\nWriteLn(a \\ b)\nWriteLn(a Mod b)\nWriteLn(-a \\ 4 * 3)\n"
     "WriteLn(a * b - 3 + b * 4)\nWriteLn(2 + 3 * 4 - (2 + 3) * 4)\nWriteLn(10 - 4 - 3)\n"
     "WriteLn(-2 * 3 + 17 Mod 5 * 2)\nWriteLn(0 - a Mod b)\n",
     "var a = -17, b = 5;\nWriteLn(Trunc(a / b)); WriteLn(a % b); WriteLn(Trunc(-a / 4) * 3);\n"
     "WriteLn(a * b - 3 + b * 4); WriteLn(2 + 3 * 4 - (2 + 3) * 4); WriteLn(10 - 4 - 3);\n"
     "WriteLn(-2 * 3 + 17 % 5 * 2); WriteLn(0 - a % b);\n",
     "-3\n-2\n12\n-68\n-6\n3\n-2\n2\n"},

    {"real arithmetic, its printed form (15 digits, decimal comma, E notation) and rounding", kGxx | kNode | kFpc,
     "var x, y: Double;\nbegin\n  x := 7 / 2.0; WriteLn(x); x := 0.1 + 0.2; WriteLn(x); WriteLn(1 / 3.0); WriteLn(2.0 / 3);\n"
     "  y := 1 / 10000000.0; WriteLn(y); WriteLn(1000000.0 * 1000000000.0); WriteLn(123456.789 * 1000);\n"
     "  WriteLn(-2.75 * 2); WriteLn(2.5 * 4); WriteLn(Sqrt(2)); WriteLn(Round(2.5)); WriteLn(Round(3.5));\n"
     "  WriteLn(Round(-2.5)); WriteLn(Trunc(-2.7)); WriteLn(0.000123 * 2)\nend.\n",
     "double x, y;",
     "x = 7 / 2.0; WriteLn(x); x = 0.1 + 0.2; WriteLn(x); WriteLn(1 / 3.0); WriteLn(2.0 / 3);\n"
     "y = 1 / 10000000.0; WriteLn(y); WriteLn(1000000.0 * 1000000000.0); WriteLn(123456.789 * 1000);\n"
     "WriteLn(-2.75 * 2); WriteLn(2.5 * 4); WriteLn(Sqrt(2)); WriteLn(Round(2.5)); WriteLn(Round(3.5));\n"
     "WriteLn(Round(-2.5)); WriteLn(Trunc(-2.7)); WriteLn(0.000123 * 2);",
     "Dim x As Double, y As Double\nx = 7 / 2.0\nWriteLn(x)\nx = 0.1 + 0.2\nWriteLn(x)\nWriteLn(1 / 3.0)\n"
     "WriteLn(2.0 / 3)\ny = 1 / 10000000.0\nWriteLn(y)\nWriteLn(1000000.0 * 1000000000.0)\n"
     "WriteLn(123456.789 * 1000)\nWriteLn(-2.75 * 2)\nWriteLn(2.5 * 4)\nWriteLn(Sqrt(2))\nWriteLn(Round(2.5))\n"
     "WriteLn(Round(3.5))\nWriteLn(Round(-2.5))\nWriteLn(Trunc(-2.7))\nWriteLn(0.000123 * 2)\n",
     "var x, y;\nx = 7 / 2.0; WriteLn(x); x = 0.1 + 0.2; WriteLn(x); WriteLn(1 / 3.0); WriteLn(2.0 / 3);\n"
     "y = 1 / 10000000.0; WriteLn(y); WriteLn(1000000.0 * 1000000000.0); WriteLn(123456.789 * 1000);\n"
     "WriteLn(-2.75 * 2); WriteLn(2.5 * 4); WriteLn(Sqrt(2)); WriteLn(Round(2.5)); WriteLn(Round(3.5));\n"
     "WriteLn(Round(-2.5)); WriteLn(Trunc(-2.7)); WriteLn(0.000123 * 2);\n",
     "3,5\n0,3\n0,333333333333333\n0,666666666666667\n1E-7\n1E15\n123456789\n-5,5\n10\n1,4142135623731\n2\n4\n"
     "-2\n-2\n0,000246\n"},

    {"loops: counting up and down, while with continue, do-while, break from the inner loop", kGxx | kNode | kFpc,
     "var i, j, s: Integer;\nbegin\n  s := 0; for i := 1 to 10 do s := s + i * i; WriteLn(s);\n"
     "  for i := 5 downto 3 do WriteLn(i);\n"
     "  i := 0; while i < 10 do begin i := i + 1; if i mod 3 <> 0 then continue; WriteLn(i) end;\n"
     "  repeat i := i - 4 until i < 0; WriteLn(i);\n"
     "  s := 0; for i := 1 to 5 do for j := 1 to 5 do begin if j > i then break; s := s + j end; WriteLn(s)\n"
     "end.\n",
     "int i, j, s;",
     "s = 0; for (i = 1; i <= 10; i++) s += i * i; WriteLn(s);\n"
     "for (i = 5; i >= 3; i--) WriteLn(i);\n"
     "i = 0; while (i < 10) { i++; if (i % 3 != 0) continue; WriteLn(i); }\n"
     "do i = i - 4; while (i >= 0); WriteLn(i);\n"
     "s = 0; for (i = 1; i <= 5; i++) for (j = 1; j <= 5; j++) { if (j > i) break; s = s + j; } WriteLn(s);",
     "Dim i, j, s\ns = 0\nFor i = 1 To 10\n  s = s + i * i\nNext\nWriteLn(s)\n"
     "For i = 5 To 3 Step -1\n  WriteLn(i)\nNext\n"
     "i = 0\nWhile i < 10\n  i = i + 1\n  If i Mod 3 <> 0 Then Continue\n  WriteLn(i)\nWend\n"
     "Do\n  i = i - 4\nLoop While i >= 0\nWriteLn(i)\n"
     "s = 0\nFor i = 1 To 5\n  For j = 1 To 5\n    If j > i Then Break\n    s = s + j\n  Next\nNext\nWriteLn(s)\n",
     "var i, j, s;\ns = 0; for (i = 1; i <= 10; i++) s += i * i; WriteLn(s);\n"
     "for (i = 5; i >= 3; i--) WriteLn(i);\n"
     "i = 0; while (i < 10) { i++; if (i % 3 != 0) continue; WriteLn(i); }\n"
     "do i = i - 4; while (i >= 0); WriteLn(i);\n"
     "s = 0; for (i = 1; i <= 5; i++) for (j = 1; j <= 5; j++) { if (j > i) break; s = s + j; } WriteLn(s);\n",
     "385\n5\n4\n3\n3\n6\n9\n-2\n35\n"},

    {"recursion and return from inside a loop", kGxx | kNode | kFpc,
     "function Fib(n: Integer): Integer; begin if n < 2 then Result := n else Result := Fib(n - 1) + Fib(n - 2) end;\n"
     "function Fact(n: Integer): Integer; begin if n <= 1 then Result := 1 else Result := n * Fact(n - 1) end;\n"
     "function Gcd(a, b: Integer): Integer; begin if b = 0 then Result := a else Result := Gcd(b, a mod b) end;\n"
     "function FirstDivisor(n: Integer): Integer; var d: Integer;\n"
     "begin d := 2; while d * d <= n do begin if n mod d = 0 then begin Result := d; exit end; d := d + 1 end;\n"
     "  Result := n end;\n"
     "begin WriteLn(Fib(20)); WriteLn(Fact(12)); WriteLn(Gcd(1071, 462)); WriteLn(Fib(Gcd(30, 12)));\n"
     "  WriteLn(FirstDivisor(91)); WriteLn(FirstDivisor(97)) end.\n",
     "int Fib(int n) { if (n < 2) return n; return Fib(n - 1) + Fib(n - 2); }\n"
     "int Fact(int n) { if (n <= 1) return 1; return n * Fact(n - 1); }\n"
     "int Gcd(int a, int b) { if (b == 0) return a; return Gcd(b, a % b); }\n"
     "int FirstDivisor(int n) { int d = 2; while (d * d <= n) { if (n % d == 0) return d; d++; } return n; }",
     "WriteLn(Fib(20)); WriteLn(Fact(12)); WriteLn(Gcd(1071, 462)); WriteLn(Fib(Gcd(30, 12)));\n"
     "WriteLn(FirstDivisor(91)); WriteLn(FirstDivisor(97));",
     "Function Fib(n)\n  If n < 2 Then Return n\n  Return Fib(n - 1) + Fib(n - 2)\nEnd Function\n"
     "Function Fact(n)\n  If n <= 1 Then Return 1\n  Return n * Fact(n - 1)\nEnd Function\n"
     "Function Gcd(a, b)\n  If b = 0 Then Return a\n  Return Gcd(b, a Mod b)\nEnd Function\n"
     "Function FirstDivisor(n)\n  Dim d = 2\n  While d * d <= n\n    If n Mod d = 0 Then Return d\n    d = d + 1\n"
     "  Wend\n  Return n\nEnd Function\n"
     "WriteLn(Fib(20))\nWriteLn(Fact(12))\nWriteLn(Gcd(1071, 462))\nWriteLn(Fib(Gcd(30, 12)))\n"
     "WriteLn(FirstDivisor(91))\nWriteLn(FirstDivisor(97))\n",
     "function Fib(n) { if (n < 2) return n; return Fib(n - 1) + Fib(n - 2); }\n"
     "function Fact(n) { if (n <= 1) return 1; return n * Fact(n - 1); }\n"
     "function Gcd(a, b) { if (b == 0) return a; return Gcd(b, a % b); }\n"
     "function FirstDivisor(n) { var d = 2; while (d * d <= n) { if (n % d == 0) return d; d++; } return n; }\n"
     "WriteLn(Fib(20)); WriteLn(Fact(12)); WriteLn(Gcd(1071, 462)); WriteLn(Fib(Gcd(30, 12)));\n"
     "WriteLn(FirstDivisor(91)); WriteLn(FirstDivisor(97));\n",
     "6765\n479001600\n21\n8\n7\n97\n"},

    {"by-reference parameters, also handed down a recursive call", kGxx | kFpc,
     "procedure Walk(n: Integer; var total: Integer); begin total := total + n; if n > 0 then Walk(n - 1, total) end;\n"
     "procedure Swap(var a, b: Integer); var t: Integer; begin t := a; a := b; b := t end;\n"
     "var x, y, t: Integer;\n"
     "begin t := 0; Walk(10, t); WriteLn(t); x := 1; y := 2; Swap(x, y); WriteLn(x); WriteLn(y) end.\n",
     "void Walk(int n, int &total) { total = total + n; if (n > 0) Walk(n - 1, total); }\n"
     "void Swap(int &a, int &b) { int t = a; a = b; b = t; }\n"
     "int x, y, t;",
     "t = 0; Walk(10, t); WriteLn(t); x = 1; y = 2; Swap(x, y); WriteLn(x); WriteLn(y);",
     "Sub Walk(n, ByRef total)\n  total = total + n\n  If n > 0 Then Walk(n - 1, total)\nEnd Sub\n"
     "Sub Swap(ByRef a, ByRef b)\n  Dim t = a\n  a = b\n  b = t\nEnd Sub\n"
     "t = 0\nWalk(10, t)\nWriteLn(t)\nx = 1\ny = 2\nSwap(x, y)\nWriteLn(x)\nWriteLn(y)\n",
     nullptr, "55\n2\n1\n"},

    {"strings: concatenation, length, copy, position, upper case, characters", kGxx | kNode | kFpc,
     "var s, r: String; i: Integer;\nbegin\n  s := 'merhaba'; s[1] := 'M'; WriteLn(s); WriteLn(Length(s)); WriteLn(Copy(s, 2, 3));\n"
     "  WriteLn(Pos('ha', s)); r := ''; for i := Length(s) downto 1 do r := r + s[i]; WriteLn(r);\n"
     "  WriteLn(UpperCase(s) + '!'); WriteLn(s + ' ' + IntToStr(Length(s) * 2));\n"
     "  if s[2] = 'e' then WriteLn('e second')\nend.\n",
     "String s, r; int i;",
     "s = \"merhaba\"; s[1] = \"M\"; WriteLn(s); WriteLn(Length(s)); WriteLn(Copy(s, 2, 3));\n"
     "WriteLn(Pos(\"ha\", s)); r = \"\"; for (i = Length(s); i >= 1; i--) r = r + s[i]; WriteLn(r);\n"
     "WriteLn(UpperCase(s) + \"!\"); WriteLn(s + \" \" + IntToStr(Length(s) * 2));\n"
     "if (s[2] == \"e\") WriteLn(\"e second\");",
     "Dim s As String, r As String, i\ns = \"merhaba\"\ns[1] = \"M\"\nWriteLn(s)\nWriteLn(Length(s))\n"
     "WriteLn(Copy(s, 2, 3))\nWriteLn(Pos(\"ha\", s))\nr = \"\"\nFor i = Length(s) To 1 Step -1\n  r = r & s[i]\nNext\n"
     "WriteLn(r)\nWriteLn(UpperCase(s) & \"!\")\nWriteLn(s & \" \" & IntToStr(Length(s) * 2))\n"
     "If s[2] = \"e\" Then WriteLn(\"e second\")\n",
     "var s = \"merhaba\", r = \"\", i;\ns = \"M\" + Copy(s, 2, Length(s) - 1); WriteLn(s); WriteLn(Length(s));\n"
     "WriteLn(Copy(s, 2, 3)); WriteLn(Pos(\"ha\", s)); for (i = Length(s); i >= 1; i--) r = r + Copy(s, i, 1);\n"
     "WriteLn(r); WriteLn(UpperCase(s) + \"!\"); WriteLn(s + \" \" + IntToStr(Length(s) * 2));\n"
     "if (Copy(s, 2, 1) == \"e\") WriteLn(\"e second\");\n",
     "Merhaba\n7\nerh\n4\nabahreM\nMERHABA!\nMerhaba 14\ne second\n"},

    {"switch: a case left with continue inside a loop, cases left with return", kGxx | kNode | kFpc,
     "function Name(n: Integer): String;\nbegin case n of 1: Result := 'one'; 2: Result := 'two' else Result := 'many' end end;\n"
     "var i: Integer;\nbegin\n  for i := 0 to 3 do begin\n"
     "    case i of 0: begin WriteLn('zero'); continue end; 2: WriteLn('two!') end;\n    WriteLn(Name(i))\n  end\nend.\n",
     "String Name(int n) { switch (n) { case 1: return \"one\"; case 2: return \"two\"; default: return \"many\"; } "
     "return \"\"; }\nint i;",
     "for (i = 0; i <= 3; i++) {\n  switch (i) { case 0: { WriteLn(\"zero\"); continue; } case 2: WriteLn(\"two!\"); }\n"
     "  WriteLn(Name(i));\n}",
     "Function Name(n)\n  Select Case n\n  Case 1: Return \"one\"\n  Case 2: Return \"two\"\n  Case Else: Return \"many\"\n"
     "  End Select\nEnd Function\n"
     "For i = 0 To 3\n  Select Case i\n  Case 0:\n    WriteLn(\"zero\")\n    Continue\n  Case 2: WriteLn(\"two!\")\n"
     "  End Select\n  WriteLn(Name(i))\nNext\n",
     "function Name(n) { switch (n) { case 1: return \"one\"; case 2: return \"two\"; default: return \"many\"; } }\n"
     "var i;\nfor (i = 0; i <= 3; i++) {\n  switch (i) { case 0: { WriteLn(\"zero\"); continue; } case 2: WriteLn(\"two!\"); }\n"
     "  WriteLn(Name(i));\n}\n",
     "zero\none\ntwo!\ntwo\nmany\n"},

    {"errors: one raised deep in a recursion is caught above it, the frames it left keep their values, "
     "a handler may raise again",
     kGxx | kNode | kFpc,
     "function Probe(n: Integer): Integer; var local: Integer;\n"
     "begin local := n * 10; if n = 0 then RaiseException('bottom');\n"
     "  try Probe(n - 1) except WriteLn(local) end; Result := local end;\n"
     "begin WriteLn(Probe(3));\n"
     "  try try RaiseException('inner') except WriteLn('inner handler'); RaiseException('again') end\n"
     "  except WriteLn('outer handler') end;\n  WriteLn('after')\nend.\n",
     "int Probe(int n) { int local = n * 10; if (n == 0) RaiseException(\"bottom\");\n"
     "  try { Probe(n - 1); } except { WriteLn(local); } return local; }",
     "WriteLn(Probe(3));\n"
     "try { try { RaiseException(\"inner\"); } except { WriteLn(\"inner handler\"); RaiseException(\"again\"); } }\n"
     "except { WriteLn(\"outer handler\"); }\nWriteLn(\"after\");",
     "Function Probe(n)\n  Dim local = n * 10\n  If n = 0 Then RaiseException(\"bottom\")\n  Try\n    Probe(n - 1)\n"
     "  Catch\n    WriteLn(local)\n  End Try\n  Return local\nEnd Function\n"
     "WriteLn(Probe(3))\nTry\n  Try\n    RaiseException(\"inner\")\n  Catch\n    WriteLn(\"inner handler\")\n"
     "    RaiseException(\"again\")\n  End Try\nCatch\n  WriteLn(\"outer handler\")\nEnd Try\nWriteLn(\"after\")\n",
     "function Probe(n) { var local = n * 10; if (n == 0) RaiseException(\"bottom\");\n"
     "  try { Probe(n - 1); } except { WriteLn(local); } return local; }\n"
     "WriteLn(Probe(3));\n"
     "try { try { RaiseException(\"inner\"); } except { WriteLn(\"inner handler\"); RaiseException(\"again\"); } }\n"
     "except { WriteLn(\"outer handler\"); }\nWriteLn(\"after\");\n",
     "10\n30\ninner handler\nouter handler\nafter\n"},

    {"try finally: the handler runs on leaving by return and by an error", kNode | kFpc,
     "function P(n: Integer): Integer;\nbegin try if n = 1 then begin Result := 5; exit end; WriteLn('body')\n"
     "  finally WriteLn('fin ' + IntToStr(n)) end; Result := n * 2 end;\n"
     "begin WriteLn(P(1)); WriteLn(P(2));\n"
     "  try try RaiseException('y') finally WriteLn('inner') end except WriteLn('outer') end\nend.\n",
     "int P(int n) { try { if (n == 1) return 5; WriteLn(\"body\"); } finally { WriteLn(\"fin \" + IntToStr(n)); }\n"
     "  return n * 2; }",
     "WriteLn(P(1)); WriteLn(P(2));\n"
     "try { try { RaiseException(\"y\"); } finally { WriteLn(\"inner\"); } } except { WriteLn(\"outer\"); }",
     "Function P(n)\n  Try\n    If n = 1 Then Return 5\n    WriteLn(\"body\")\n  Finally\n"
     "    WriteLn(\"fin \" & IntToStr(n))\n  End Try\n  Return n * 2\nEnd Function\n"
     "WriteLn(P(1))\nWriteLn(P(2))\nTry\n  Try\n    RaiseException(\"y\")\n  Finally\n    WriteLn(\"inner\")\n"
     "  End Try\nCatch\n  WriteLn(\"outer\")\nEnd Try\n",
     "function P(n) { try { if (n == 1) return 5; WriteLn(\"body\"); } finally { WriteLn(\"fin \" + IntToStr(n)); }\n"
     "  return n * 2; }\n"
     "WriteLn(P(1)); WriteLn(P(2));\n"
     "try { try { RaiseException(\"y\"); } finally { WriteLn(\"inner\"); } } except { WriteLn(\"outer\"); }\n",
     "fin 1\n5\nbody\nfin 2\n4\ninner\nouter\n"},

    {"Boolean values and conditions that short-circuit past a division by zero", kGxx | kNode | kFpc,
     "var x: Integer; a, b: Boolean;\nbegin\n  x := 0;\n"
     "  if (x <> 0) and (10 div x > 1) then WriteLn('big') else WriteLn('zero or small');\n"
     "  if (x = 0) or (10 div x > 1) then WriteLn('guarded');\n"
     "  a := True; b := not a; WriteLn(a and not b); WriteLn(a = b); WriteLn((x < 1) and (b or a))\nend.\n",
     "int x; bool a, b;",
     "x = 0;\nif ((x != 0) && (10 div x > 1)) WriteLn(\"big\"); else WriteLn(\"zero or small\");\n"
     "if ((x == 0) || (10 div x > 1)) WriteLn(\"guarded\");\n"
     "a = true; b = !a; WriteLn(a && !b); WriteLn(a == b); WriteLn((x < 1) && (b || a));",
     "Dim x As Integer, a As Boolean, b As Boolean\nx = 0\n"
     "If (x <> 0) And (10 \\ x > 1) Then\n  WriteLn(\"big\")\nElse\n  WriteLn(\"zero or small\")\nEnd If\n"
     "If (x = 0) Or (10 \\ x > 1) Then WriteLn(\"guarded\")\n"
     "a = True\nb = Not a\nWriteLn(a And Not b)\nWriteLn(a = b)\nWriteLn((x < 1) And (b Or a))\n",
     "var x = 0, a, b;\nif ((x != 0) && (Trunc(10 / x) > 1)) WriteLn(\"big\"); else WriteLn(\"zero or small\");\n"
     "if ((x == 0) || (Trunc(10 / x) > 1)) WriteLn(\"guarded\");\n"
     "a = true; b = !a; WriteLn(a && !b); WriteLn(a == b); WriteLn((x < 1) && (b || a));\n",
     "zero or small\nguarded\nTrue\nFalse\nTrue\n"},

    {"arrays: filling, summing and sorting in place", kGxx | kFpc,
     "var a: array[0..7] of Integer; i, j, t, s: Integer; r: String;\nbegin\n"
     "  for i := 0 to 7 do a[i] := (i * 5 + 3) mod 8; s := 0; for i := 0 to 7 do s := s + a[i]; WriteLn(s);\n"
     "  for i := 0 to 6 do for j := 0 to 6 - i do if a[j] > a[j + 1] then begin t := a[j]; a[j] := a[j + 1]; "
     "a[j + 1] := t end;\n"
     "  r := ''; for i := 0 to 7 do r := r + IntToStr(a[i]); WriteLn(r)\nend.\n",
     "int a[8]; int i, j, t, s; String r;",
     "for (i = 0; i < 8; i++) a[i] = (i * 5 + 3) % 8; s = 0; for (i = 0; i < 8; i++) s = s + a[i]; WriteLn(s);\n"
     "for (i = 0; i < 7; i++) for (j = 0; j < 7 - i; j++) if (a[j] > a[j + 1]) { t = a[j]; a[j] = a[j + 1]; "
     "a[j + 1] = t; }\n"
     "r = \"\"; for (i = 0; i < 8; i++) r = r + IntToStr(a[i]); WriteLn(r);",
     "Dim a[8], i, j, t, s, r\nFor i = 0 To 7\n  a[i] = (i * 5 + 3) Mod 8\nNext\ns = 0\nFor i = 0 To 7\n  s = s + a[i]\n"
     "Next\nWriteLn(s)\nFor i = 0 To 6\n  For j = 0 To 6 - i\n    If a[j] > a[j + 1] Then\n      t = a[j]\n"
     "      a[j] = a[j + 1]\n      a[j + 1] = t\n    End If\n  Next\nNext\nr = \"\"\nFor i = 0 To 7\n"
     "  r = r & IntToStr(a[i])\nNext\nWriteLn(r)\n",
     nullptr, "28\n01234567\n"},

    {"Integer variables wrap in 32 bits, also through x := x + 1, ++ and --", kGxx,
     "var a, b: Integer;\nbegin\n  a := 2147483647; WriteLn(a + 1); a := a + 1; WriteLn(a); a := a - 1; WriteLn(a);\n"
     "  b := 65536; b := b * b; WriteLn(b); b := 46341; WriteLn(b * b); a := -2147483647; a := a - 1; "
     "a := a - 1; WriteLn(a);\n  WriteLn(a * 2 + 1); b := 2147483647; b := b + 1; WriteLn(b); b := b + 2147483647; WriteLn(b)\nend.\n",
     "int a, b;",
     "a = 2147483647; WriteLn(a + 1); a = a + 1; WriteLn(a); a = a - 1; WriteLn(a);\n"
     "b = 65536; b = b * b; WriteLn(b); b = 46341; WriteLn(b * b); a = -2147483647; a--; a--; WriteLn(a);\n"
     "WriteLn(a * 2 + 1); b = 2147483647; b++; WriteLn(b); b += 2147483647; WriteLn(b);",
     nullptr, nullptr,
     "-2147483648\n-2147483648\n2147483647\n0\n-2147479015\n2147483647\n-1\n-2147483648\n-1\n"},

    {"hexadecimal constants and bit operations", kGxx | kNode | kFpc,
     "begin WriteLn($FF xor $0F); WriteLn(1 shl 10); WriteLn(256 shr 3); WriteLn($7FFFFFFF); WriteLn((5 xor 3) shl 2);\n"
     "  WriteLn(5 xor 3 shl 2) end.\n",
     "", "WriteLn(0xFF ^ 0x0F); WriteLn(1 << 10); WriteLn(256 >> 3); WriteLn(0x7FFFFFFF); WriteLn((5 ^ 3) << 2);\n"
     "WriteLn(5 ^ 3 << 2);",
     nullptr,
     "WriteLn(0xFF ^ 0x0F); WriteLn(1 << 10); WriteLn(256 >> 3); WriteLn(0x7FFFFFFF); WriteLn((5 ^ 3) << 2);\n"
     "WriteLn(5 ^ 3 << 2);\n",
     "240\n1024\n32\n2147483647\n24\n9\n"},

    {"string comparison and a string built in a loop", kGxx | kNode | kFpc,
     "var p, q, w: String; i: Integer;\nbegin\n  p := 'abc'; q := 'abd'; WriteLn(p < q); q := 'ab'; WriteLn(q < p);\n"
     "  q := 'b'; WriteLn(q > p); q := 'Abc'; WriteLn(p = q); WriteLn(p <> q); q := 'abc'; WriteLn(p = q);\n"
     "  w := ''; for i := 1 to 5 do begin w := w + IntToStr(i); if i < 5 then w := w + ',' end; WriteLn(w); "
     "WriteLn(Length(w))\nend.\n",
     "String p, q, w; int i;",
     "p = \"abc\"; q = \"abd\"; WriteLn(p < q); q = \"ab\"; WriteLn(q < p);\n"
     "q = \"b\"; WriteLn(q > p); q = \"Abc\"; WriteLn(p == q); WriteLn(p != q); q = \"abc\"; WriteLn(p == q);\n"
     "w = \"\"; for (i = 1; i <= 5; i++) { w = w + IntToStr(i); if (i < 5) w = w + \",\"; } WriteLn(w); "
     "WriteLn(Length(w));",
     "Dim p, q, w, i\np = \"abc\"\nq = \"abd\"\nWriteLn(p < q)\nq = \"ab\"\nWriteLn(q < p)\nq = \"b\"\nWriteLn(q > p)\n"
     "q = \"Abc\"\nWriteLn(p = q)\nWriteLn(p <> q)\nq = \"abc\"\nWriteLn(p = q)\nw = \"\"\nFor i = 1 To 5\n"
     "  w = w & IntToStr(i)\n  If i < 5 Then w = w & \",\"\nNext\nWriteLn(w)\nWriteLn(Length(w))\n",
     "var p = \"abc\", q = \"abd\", w = \"\", i;\nWriteLn(p < q); q = \"ab\"; WriteLn(q < p);\n"
     "q = \"b\"; WriteLn(q > p); q = \"Abc\"; WriteLn(p == q); WriteLn(p != q); q = \"abc\"; WriteLn(p == q);\n"
     "for (i = 1; i <= 5; i++) { w = w + IntToStr(i); if (i < 5) w = w + \",\"; } WriteLn(w); WriteLn(Length(w));\n",
     "True\nTrue\nTrue\nFalse\nTrue\nTrue\n1,2,3,4,5\n9\n"},

    {"functions called before their text: mutual recursion", kNode,
     "function IsEven(n: Integer): Boolean; begin if n = 0 then Result := True else Result := IsOdd(n - 1) end;\n"
     "function IsOdd(n: Integer): Boolean; begin if n = 0 then Result := False else Result := IsEven(n - 1) end;\n"
     "begin WriteLn(IsEven(10)); WriteLn(IsOdd(7)); WriteLn(IsEven(7)) end.\n",
     "bool IsEven(int n) { if (n == 0) return true; return IsOdd(n - 1); }\n"
     "bool IsOdd(int n) { if (n == 0) return false; return IsEven(n - 1); }",
     "WriteLn(IsEven(10)); WriteLn(IsOdd(7)); WriteLn(IsEven(7));",
     "Function IsEven(n)\n  If n = 0 Then Return True\n  Return IsOdd(n - 1)\nEnd Function\n"
     "Function IsOdd(n)\n  If n = 0 Then Return False\n  Return IsEven(n - 1)\nEnd Function\n"
     "WriteLn(IsEven(10))\nWriteLn(IsOdd(7))\nWriteLn(IsEven(7))\n",
     "function IsEven(n) { if (n == 0) return true; return IsOdd(n - 1); }\n"
     "function IsOdd(n) { if (n == 0) return false; return IsEven(n - 1); }\n"
     "WriteLn(IsEven(10)); WriteLn(IsOdd(7)); WriteLn(IsEven(7));\n",
     "True\nTrue\nFalse\n"},

    {"untyped values grow past 32 bits instead of wrapping", kNode, nullptr, nullptr, nullptr,
     "a = 2147483647\na = a + 1\nWriteLn(a)\nWriteLn(a * 2)\nb = 65536\nWriteLn(b * b)\n",
     "var a = 2147483647, b = 65536;\na = a + 1; WriteLn(a); WriteLn(a * 2); WriteLn(b * b);\n",
     "2147483648\n4294967296\n4294967296\n"},
    {"arrays and recursion: eight queens, permutations, a sieve of primes", kGxx | kFpc,
     "const N = 8;\n"
     "var col: array[0..N - 1] of Integer; count, i, j: Integer; sieve: array[0..49] of Boolean; line, s: String;\n"
     "  perm: array[0..3] of Integer; used: array[0..3] of Boolean;\n"
     "function Safe(row, c: Integer): Boolean; var r: Integer;\n"
     "begin\n"
     "  Result := True;\n"
     "  for r := 0 to row - 1 do\n"
     "    if (col[r] = c) or (Abs(col[r] - c) = row - r) then begin Result := False; exit end\n"
     "end;\n"
     "procedure Place(row: Integer); var c: Integer;\n"
     "begin\n"
     "  if row = N then begin count := count + 1; exit end;\n"
     "  for c := 0 to N - 1 do if Safe(row, c) then begin col[row] := c; Place(row + 1) end\n"
     "end;\n"
     "procedure Permute(k: Integer); var v: Integer;\n"
     "begin\n"
     "  if k = 4 then begin\n"
     "    s := ''; for v := 0 to 3 do s := s + IntToStr(perm[v]); if perm[0] = 3 then WriteLn(s); exit\n"
     "  end;\n"
     "  for v := 0 to 3 do if not used[v] then begin used[v] := True; perm[k] := v; Permute(k + 1); used[v] := False end\n"
     "end;\n"
     "begin\n"
     "  count := 0; for i := 0 to N - 1 do col[i] := 0; Place(0); WriteLn(count);\n"
     "  for i := 0 to 3 do used[i] := False; Permute(0);\n"
     "  for i := 0 to 49 do sieve[i] := True;\n"
     "  for i := 2 to 49 do if sieve[i] then begin j := i * i; while j < 50 do begin sieve[j] := False; j := j + i end end;\n"
     "  line := ''; for i := 2 to 49 do if sieve[i] then line := line + IntToStr(i) + ' '; WriteLn(line)\n"
     "end.\n",
     "#define N 8\n"
     "int col[N]; int count, i, j; bool sieve[50]; String line, s;\n"
     "int perm[4]; bool used[4];\n"
     "bool Safe(int row, int c) { int r; for (r = 0; r < row; r++) if ((col[r] == c) || (Abs(col[r] - c) == row - r)) return false; return true; }\n"
     "void Place(int row) { int c; if (row == N) { count++; return; } for (c = 0; c < N; c++) if (Safe(row, c)) { col[row] = c; Place(row + 1); } }\n"
     "void Permute(int k) {\n"
     "  int v;\n"
     "  if (k == 4) { s = \"\"; for (v = 0; v < 4; v++) s = s + IntToStr(perm[v]); if (perm[0] == 3) WriteLn(s); return; }\n"
     "  for (v = 0; v < 4; v++) if (!used[v]) { used[v] = true; perm[k] = v; Permute(k + 1); used[v] = false; }\n"
     "}",
     "count = 0; for (i = 0; i < N; i++) col[i] = 0; Place(0); WriteLn(count);\n"
     "for (i = 0; i < 4; i++) used[i] = false; Permute(0);\n"
     "for (i = 0; i < 50; i++) sieve[i] = true;\n"
     "for (i = 2; i < 50; i++) if (sieve[i]) for (j = i * i; j < 50; j = j + i) sieve[j] = false;\n"
     "line = \"\"; for (i = 2; i < 50; i++) if (sieve[i]) line = line + IntToStr(i) + \" \"; WriteLn(line);",
     "Dim col[8], count, i, j, sieve[50], line, s, perm[4], used[4]\n"
     "Function Safe(row, c)\n"
     "  Dim r\n"
     "  For r = 0 To row - 1\n"
     "    If (col[r] = c) Or (Abs(col[r] - c) = row - r) Then Return False\n"
     "  Next\n"
     "  Return True\n"
     "End Function\n"
     "Sub Place(row)\n"
     "  Dim c\n"
     "  If row = 8 Then\n"
     "    count = count + 1\n"
     "    Return\n"
     "  End If\n"
     "  For c = 0 To 7\n"
     "    If Safe(row, c) Then\n"
     "      col[row] = c\n"
     "      Place(row + 1)\n"
     "    End If\n"
     "  Next\n"
     "End Sub\n"
     "Sub Permute(k)\n"
     "  Dim v\n"
     "  If k = 4 Then\n"
     "    s = \"\"\n"
     "    For v = 0 To 3\n"
     "      s = s & IntToStr(perm[v])\n"
     "    Next\n"
     "    If perm[0] = 3 Then WriteLn(s)\n"
     "    Return\n"
     "  End If\n"
     "  For v = 0 To 3\n"
     "    If Not used[v] Then\n"
     "      used[v] = True\n"
     "      perm[k] = v\n"
     "      Permute(k + 1)\n"
     "      used[v] = False\n"
     "    End If\n"
     "  Next\n"
     "End Sub\n"
     "count = 0\n"
     "For i = 0 To 7\n"
     "  col[i] = 0\n"
     "Next\n"
     "Place(0)\n"
     "WriteLn(count)\n"
     "For i = 0 To 3\n"
     "  used[i] = False\n"
     "Next\n"
     "Permute(0)\n"
     "For i = 0 To 49\n"
     "  sieve[i] = True\n"
     "Next\n"
     "For i = 2 To 49\n"
     "  If sieve[i] Then\n"
     "    For j = i * i To 49 Step i\n"
     "      sieve[j] = False\n"
     "    Next\n"
     "  End If\n"
     "Next\n"
     "line = \"\"\n"
     "For i = 2 To 49\n"
     "  If sieve[i] Then line = line & IntToStr(i) & \" \"\n"
     "Next\n"
     "WriteLn(line)\n",
     nullptr,
     "92\n"
     "3012\n"
     "3021\n"
     "3102\n"
     "3120\n"
     "3201\n"
     "3210\n"
     "2 3 5 7 11 13 17 19 23 29 31 37 41 43 47 \n"},
    {"parameters: by reference of each type, by value strings copied, a parameter hiding a global", kGxx | kFpc,
     "var x: Integer; g: String; d: Double; flag: Boolean;\n"
     "function Up(s: String): String; begin s[1] := 'X'; Result := s end;\n"
     "procedure AppendTo(var s: String; t: String); begin s := s + t end;\n"
     "procedure Scale(var v: Double); begin v := v * 1.5 end;\n"
     "procedure Toggle(var b: Boolean); begin b := not b end;\n"
     "procedure Shadow(x: Integer); begin x := 5; WriteLn(x) end;\n"
     "function Twice(var v: Integer): Integer; begin v := v * 2; Result := v end;\n"
     "function IsSmall(v: Integer): Boolean; begin Result := v < 10 end;\n"
     "function Fold(n: Integer; var acc: Integer): Integer; var r: Integer;\n"
     "begin\n"
     "  if n = 0 then begin Result := acc; exit end;\n"
     "  acc := acc + n; r := Fold(n - 1, acc); Twice(acc); Result := r + n\n"
     "end;\n"
     "function Pad(s: String; w: Integer): String; begin while Length(s) < w do s := '0' + s; Result := s end;\n"
     "begin\n"
     "  g := 'abc'; WriteLn(Up(g)); WriteLn(g);\n"
     "  AppendTo(g, 'def'); AppendTo(g, g); WriteLn(g);\n"
     "  d := 2; Scale(d); Scale(d); WriteLn(d);\n"
     "  flag := False; Toggle(flag); WriteLn(flag); Toggle(flag); WriteLn(flag);\n"
     "  x := 1; Shadow(x); WriteLn(x);\n"
     "  x := 3; WriteLn(Twice(x)); WriteLn(Twice(x) + 1); WriteLn(x);\n"
     "  if not IsSmall(12) then WriteLn('not small'); if IsSmall(x div 2) then WriteLn('small');\n"
     "  x := 0; WriteLn(Fold(4, x)); WriteLn(x);\n"
     "  WriteLn(Pad('7', 3)); WriteLn(Pad(IntToStr(1234), 3))\n"
     "end.\n",
     "int x; String g; double d; bool flag;\n"
     "String Up(String s) { s[1] = \"X\"; return s; }\n"
     "void AppendTo(String &s, String t) { s = s + t; }\n"
     "void Scale(double &v) { v = v * 1.5; }\n"
     "void Toggle(bool &b) { b = !b; }\n"
     "void Shadow(int x) { x = 5; WriteLn(x); }\n"
     "int Twice(int &v) { v = v * 2; return v; }\n"
     "bool IsSmall(int v) { return v < 10; }\n"
     "int Fold(int n, int &acc) { int r; if (n == 0) return acc; acc = acc + n; r = Fold(n - 1, acc); Twice(acc); return r + n; }\n"
     "String Pad(String s, int w) { while (Length(s) < w) s = \"0\" + s; return s; }",
     "g = \"abc\"; WriteLn(Up(g)); WriteLn(g);\n"
     "AppendTo(g, \"def\"); AppendTo(g, g); WriteLn(g);\n"
     "d = 2; Scale(d); Scale(d); WriteLn(d);\n"
     "flag = false; Toggle(flag); WriteLn(flag); Toggle(flag); WriteLn(flag);\n"
     "x = 1; Shadow(x); WriteLn(x);\n"
     "x = 3; WriteLn(Twice(x)); WriteLn(Twice(x) + 1); WriteLn(x);\n"
     "if (!IsSmall(12)) WriteLn(\"not small\"); if (IsSmall(x div 2)) WriteLn(\"small\");\n"
     "x = 0; WriteLn(Fold(4, x)); WriteLn(x);\n"
     "WriteLn(Pad(\"7\", 3)); WriteLn(Pad(IntToStr(1234), 3));",
     "Dim x As Integer, g As String, d As Double, flag As Boolean\n"
     "Function Up(s As String) As String\n"
     "  s[1] = \"X\"\n"
     "  Return s\n"
     "End Function\n"
     "Sub AppendTo(ByRef s As String, t As String)\n"
     "  s = s & t\n"
     "End Sub\n"
     "Sub Scale(ByRef v As Double)\n"
     "  v = v * 1.5\n"
     "End Sub\n"
     "Sub Toggle(ByRef b As Boolean)\n"
     "  b = Not b\n"
     "End Sub\n"
     "Sub Shadow(x As Integer)\n"
     "  x = 5\n"
     "  WriteLn(x)\n"
     "End Sub\n"
     "Function Twice(ByRef v As Integer) As Integer\n"
     "  v = v * 2\n"
     "  Return v\n"
     "End Function\n"
     "Function IsSmall(v As Integer) As Boolean\n"
     "  Return v < 10\n"
     "End Function\n"
     "Function Fold(n As Integer, ByRef acc As Integer) As Integer\n"
     "  Dim r As Integer\n"
     "  If n = 0 Then Return acc\n"
     "  acc = acc + n\n"
     "  r = Fold(n - 1, acc)\n"
     "  Twice(acc)\n"
     "  Return r + n\n"
     "End Function\n"
     "Function Pad(s As String, w As Integer) As String\n"
     "  While Length(s) < w\n"
     "    s = \"0\" & s\n"
     "  Wend\n"
     "  Return s\n"
     "End Function\n"
     "g = \"abc\"\n"
     "WriteLn(Up(g))\n"
     "WriteLn(g)\n"
     "AppendTo(g, \"def\")\n"
     "AppendTo(g, g)\n"
     "WriteLn(g)\n"
     "d = 2\n"
     "Scale(d)\n"
     "Scale(d)\n"
     "WriteLn(d)\n"
     "flag = False\n"
     "Toggle(flag)\n"
     "WriteLn(flag)\n"
     "Toggle(flag)\n"
     "WriteLn(flag)\n"
     "x = 1\n"
     "Shadow(x)\n"
     "WriteLn(x)\n"
     "x = 3\n"
     "WriteLn(Twice(x))\n"
     "WriteLn(Twice(x) + 1)\n"
     "WriteLn(x)\n"
     "If Not IsSmall(12) Then WriteLn(\"not small\")\n"
     "If IsSmall(x \\ 2) Then WriteLn(\"small\")\n"
     "x = 0\n"
     "WriteLn(Fold(4, x))\n"
     "WriteLn(x)\n"
     "WriteLn(Pad(\"7\", 3))\n"
     "WriteLn(Pad(IntToStr(1234), 3))\n",
     nullptr,
     "Xbc\n"
     "abc\n"
     "abcdefabcdef\n"
     "4,5\n"
     "True\n"
     "False\n"
     "5\n"
     "1\n"
     "6\n"
     "13\n"
     "12\n"
     "not small\n"
     "small\n"
     "20\n"
     "160\n"
     "007\n"
     "1234\n"},
    {"32-bit wrapping arithmetic: a linear congruential generator and a string hash", kGxx,
     "var seed, i, h: Integer;\n"
     "function NextSeed: Integer; begin seed := seed * 1103515245 + 12345; Result := seed end;\n"
     "function Hash(t: String): Integer; var k, r: Integer;\n"
     "begin r := 0; for k := 1 to Length(t) do r := r * 31 + Ord(t[k]); Result := r end;\n"
     "begin\n"
     "  seed := 42; for i := 0 to 4 do WriteLn(NextSeed mod 1000);\n"
     "  WriteLn(Hash('merhaba dunya, bu bir denemedir'));\n"
     "  h := 1; for i := 0 to 39 do h := h * 3; WriteLn(h);\n"
     "  h := 7; for i := 0 to 39 do h := h * 5; WriteLn(h);\n"
     "  h := 1; for i := 0 to 39 do h := h + h; WriteLn(h);\n"
     "  h := 1000000; h := h * h div 3; WriteLn(h)\n"
     "end.\n",
     "int seed, i, h;\n"
     "int NextSeed() { seed = seed * 1103515245 + 12345; return seed; }\n"
     "int Hash(String t) { int k, r = 0; for (k = 1; k <= Length(t); k++) r = r * 31 + Ord(t[k]); return r; }",
     "seed = 42; for (i = 0; i < 5; i++) WriteLn(NextSeed() % 1000);\n"
     "WriteLn(Hash(\"merhaba dunya, bu bir denemedir\"));\n"
     "h = 1; for (i = 0; i < 40; i++) h = h * 3; WriteLn(h);\n"
     "h = 7; for (i = 0; i < 40; i++) h *= 5; WriteLn(h);\n"
     "h = 1; for (i = 0; i < 40; i++) h += h; WriteLn(h);\n"
     "h = 1000000; h = h * h div 3; WriteLn(h);",
     "Dim seed As Integer, i As Integer, h As Integer\n"
     "Function NextSeed() As Integer\n"
     "  seed = seed * 1103515245 + 12345\n"
     "  Return seed\n"
     "End Function\n"
     "Function Hash(t As String) As Integer\n"
     "  Dim k As Integer, r As Integer = 0\n"
     "  For k = 1 To Length(t)\n"
     "    r = r * 31 + Ord(t[k])\n"
     "  Next\n"
     "  Return r\n"
     "End Function\n"
     "seed = 42\n"
     "For i = 0 To 4\n"
     "  WriteLn(NextSeed() Mod 1000)\n"
     "Next\n"
     "WriteLn(Hash(\"merhaba dunya, bu bir denemedir\"))\n"
     "h = 1\n"
     "For i = 0 To 39\n"
     "  h = h * 3\n"
     "Next\n"
     "WriteLn(h)\n"
     "h = 7\n"
     "For i = 0 To 39\n"
     "  h = h * 5\n"
     "Next\n"
     "WriteLn(h)\n"
     "h = 1\n"
     "For i = 0 To 39\n"
     "  h = h + h\n"
     "Next\n"
     "WriteLn(h)\n"
     "h = 1000000\n"
     "h = h * h \\ 3\n"
     "WriteLn(h)\n",
     nullptr,
     "-621\n"
     "-384\n"
     "-895\n"
     "-842\n"
     "-913\n"
     "-660423482\n"
     "689956897\n"
     "-1307200089\n"
     "0\n"
     "-242459989\n"},
    {"leaving loops and functions from try ... finally and from handlers; a handler that raises again "
     "leaves frames that keep their own values",
     kNode | kFpc,
     "var trail: String; k: Integer;\n"
     "procedure Note(t: String); begin trail := trail + t end;\n"
     "function Walk(n: Integer): Integer; var i: Integer;\n"
     "begin\n"
     "  Result := -1;\n"
     "  for i := 0 to 4 do\n"
     "    try\n"
     "      if i = n then begin Result := i * 100; exit end;\n"
     "      if i = 3 then RaiseException('three');\n"
     "      Note(IntToStr(i))\n"
     "    finally Note('.') end\n"
     "end;\n"
     "function Guard(n: Integer): Integer; begin try Result := Walk(n) except Note('!'); Result := -2 end end;\n"
     "function Depth(n: Integer): String; var mine: String;\n"
     "begin\n"
     "  mine := 'd' + IntToStr(n); if n = 0 then RaiseException('bottom');\n"
     "  try Depth(n - 1) except Note(mine); if n < 2 then RaiseException('up') end;\n"
     "  Result := mine\n"
     "end;\n"
     "function Catcher: Integer; var i: Integer;\n"
     "begin\n"
     "  Result := 9;\n"
     "  for i := 0 to 2 do try RaiseException('e') except if i = 1 then begin Result := i; exit end; Note('c') end\n"
     "end;\n"
     "begin\n"
     "  WriteLn(Guard(1)); WriteLn(trail); trail := '';\n"
     "  WriteLn(Guard(9)); WriteLn(trail); trail := '';\n"
     "  WriteLn(Guard(1)); WriteLn(trail); trail := '';\n"
     "  WriteLn(Depth(3)); WriteLn(trail); trail := '';\n"
     "  for k := 0 to 3 do try if k = 2 then RaiseException('k'); Note(IntToStr(k)) except Note('x'); break end;\n"
     "  WriteLn(trail); WriteLn(k); trail := '';\n"
     "  WriteLn(Catcher); WriteLn(trail); trail := '';\n"
     "  try try Note('a') finally Note('b'); RaiseException('in finally') end except Note('c') end;\n"
     "  WriteLn(trail)\n"
     "end.\n",
     "String trail; int k;\n"
     "void Note(String t) { trail = trail + t; }\n"
     "int Walk(int n) {\n"
     "  int i;\n"
     "  for (i = 0; i < 5; i++) {\n"
     "    try { if (i == n) return i * 100; if (i == 3) RaiseException(\"three\"); Note(IntToStr(i)); }\n"
     "    finally { Note(\".\"); }\n"
     "  }\n"
     "  return -1;\n"
     "}\n"
     "int Guard(int n) { try { return Walk(n); } except { Note(\"!\"); return -2; } }\n"
     "String Depth(int n) {\n"
     "  String mine = \"d\" + IntToStr(n);\n"
     "  if (n == 0) RaiseException(\"bottom\");\n"
     "  try { Depth(n - 1); } except { Note(mine); if (n < 2) RaiseException(\"up\"); }\n"
     "  return mine;\n"
     "}\n"
     "int Catcher() {\n"
     "  int i;\n"
     "  for (i = 0; i < 3; i++) { try { RaiseException(\"e\"); } except { if (i == 1) return i; Note(\"c\"); } }\n"
     "  return 9;\n"
     "}",
     "WriteLn(Guard(1)); WriteLn(trail); trail = \"\";\n"
     "WriteLn(Guard(9)); WriteLn(trail); trail = \"\";\n"
     "WriteLn(Guard(1)); WriteLn(trail); trail = \"\";\n"
     "WriteLn(Depth(3)); WriteLn(trail); trail = \"\";\n"
     "for (k = 0; k < 4; k++) { try { if (k == 2) RaiseException(\"k\"); Note(IntToStr(k)); } except { Note(\"x\"); break; } }\n"
     "WriteLn(trail); WriteLn(k); trail = \"\";\n"
     "WriteLn(Catcher()); WriteLn(trail); trail = \"\";\n"
     "try { try { Note(\"a\"); } finally { Note(\"b\"); RaiseException(\"in finally\"); } } except { Note(\"c\"); }\n"
     "WriteLn(trail);",
     "Dim trail = \"\", k\n"
     "Sub Note(t)\n"
     "  trail = trail & t\n"
     "End Sub\n"
     "Function Walk(n)\n"
     "  Dim i\n"
     "  For i = 0 To 4\n"
     "    Try\n"
     "      If i = n Then Return i * 100\n"
     "      If i = 3 Then RaiseException(\"three\")\n"
     "      Note(IntToStr(i))\n"
     "    Finally\n"
     "      Note(\".\")\n"
     "    End Try\n"
     "  Next\n"
     "  Return -1\n"
     "End Function\n"
     "Function Guard(n)\n"
     "  Try\n"
     "    Return Walk(n)\n"
     "  Catch\n"
     "    Note(\"!\")\n"
     "    Return -2\n"
     "  End Try\n"
     "End Function\n"
     "Function Depth(n)\n"
     "  Dim mine = \"d\" & IntToStr(n)\n"
     "  If n = 0 Then RaiseException(\"bottom\")\n"
     "  Try\n"
     "    Depth(n - 1)\n"
     "  Catch\n"
     "    Note(mine)\n"
     "    If n < 2 Then RaiseException(\"up\")\n"
     "  End Try\n"
     "  Return mine\n"
     "End Function\n"
     "Function Catcher()\n"
     "  Dim i\n"
     "  For i = 0 To 2\n"
     "    Try\n"
     "      RaiseException(\"e\")\n"
     "    Catch\n"
     "      If i = 1 Then Return i\n"
     "      Note(\"c\")\n"
     "    End Try\n"
     "  Next\n"
     "  Return 9\n"
     "End Function\n"
     "WriteLn(Guard(1))\n"
     "WriteLn(trail)\n"
     "trail = \"\"\n"
     "WriteLn(Guard(9))\n"
     "WriteLn(trail)\n"
     "trail = \"\"\n"
     "WriteLn(Guard(1))\n"
     "WriteLn(trail)\n"
     "trail = \"\"\n"
     "WriteLn(Depth(3))\n"
     "WriteLn(trail)\n"
     "trail = \"\"\n"
     "For k = 0 To 3\n"
     "  Try\n"
     "    If k = 2 Then RaiseException(\"k\")\n"
     "    Note(IntToStr(k))\n"
     "  Catch\n"
     "    Note(\"x\")\n"
     "    Break\n"
     "  End Try\n"
     "Next\n"
     "WriteLn(trail)\n"
     "WriteLn(k)\n"
     "trail = \"\"\n"
     "WriteLn(Catcher())\n"
     "WriteLn(trail)\n"
     "trail = \"\"\n"
     "Try\n"
     "  Try\n"
     "    Note(\"a\")\n"
     "  Finally\n"
     "    Note(\"b\")\n"
     "    RaiseException(\"in finally\")\n"
     "  End Try\n"
     "Catch\n"
     "  Note(\"c\")\n"
     "End Try\n"
     "WriteLn(trail)\n",
     "var trail = \"\", k;\n"
     "function Note(t) { trail = trail + t; }\n"
     "function Walk(n) {\n"
     "  var i;\n"
     "  for (i = 0; i < 5; i++) {\n"
     "    try { if (i == n) return i * 100; if (i == 3) RaiseException(\"three\"); Note(IntToStr(i)); }\n"
     "    finally { Note(\".\"); }\n"
     "  }\n"
     "  return -1;\n"
     "}\n"
     "function Guard(n) { try { return Walk(n); } except { Note(\"!\"); return -2; } }\n"
     "function Depth(n) {\n"
     "  var mine = \"d\" + IntToStr(n);\n"
     "  if (n == 0) RaiseException(\"bottom\");\n"
     "  try { Depth(n - 1); } except { Note(mine); if (n < 2) RaiseException(\"up\"); }\n"
     "  return mine;\n"
     "}\n"
     "function Catcher() {\n"
     "  var i;\n"
     "  for (i = 0; i < 3; i++) { try { RaiseException(\"e\"); } except { if (i == 1) return i; Note(\"c\"); } }\n"
     "  return 9;\n"
     "}\n"
     "WriteLn(Guard(1)); WriteLn(trail); trail = \"\";\n"
     "WriteLn(Guard(9)); WriteLn(trail); trail = \"\";\n"
     "WriteLn(Guard(1)); WriteLn(trail); trail = \"\";\n"
     "WriteLn(Depth(3)); WriteLn(trail); trail = \"\";\n"
     "for (k = 0; k < 4; k++) { try { if (k == 2) RaiseException(\"k\"); Note(IntToStr(k)); } except { Note(\"x\"); break; } }\n"
     "WriteLn(trail); WriteLn(k); trail = \"\";\n"
     "WriteLn(Catcher()); WriteLn(trail); trail = \"\";\n"
     "try { try { Note(\"a\"); } finally { Note(\"b\"); RaiseException(\"in finally\"); } } except { Note(\"c\"); }\n"
     "WriteLn(trail);\n",
     "100\n"
     "0..\n"
     "-2\n"
     "0.1.2..!\n"
     "100\n"
     "0..\n"
     "d3\n"
     "d1d2\n"
     "01x\n"
     "2\n"
     "1\n"
     "c\n"
     "abc\n"},
    {"try ... except inside loops with continue and break, errors raised by called functions", kGxx | kNode | kFpc,
     "var i, j, n, hits: Integer; trail: String;\n"
     "function Check(v: Integer): Integer; begin if v > 5 then RaiseException('too big'); Result := v * 2 end;\n"
     "procedure Loops; begin for i := 0 to 9 do begin if i = 3 then continue; if i = 6 then break; n := n + i end end;\n"
     "function FindPair(target: Integer): Integer;\n"
     "begin\n"
     "  Result := -1;\n"
     "  for i := 1 to 9 do for j := i to 9 do if i * j = target then begin Result := i * 10 + j; exit end\n"
     "end;\n"
     "begin\n"
     "  n := 0; hits := 0;\n"
     "  for i := 0 to 9 do try if i mod 2 = 0 then continue; n := n + Check(i) except hits := hits + 1 end;\n"
     "  WriteLn(n); WriteLn(hits);\n"
     "  n := 0; Loops; WriteLn(n); WriteLn(i);\n"
     "  WriteLn(FindPair(42)); WriteLn(FindPair(97));\n"
     "  i := 0; repeat i := i + 1; if i < 5 then continue; WriteLn(i) until i >= 7;\n"
     "  n := 0; while True do begin n := n + 1; try Check(n) except break end end; WriteLn(n);\n"
     "  i := 0; while i < 3 do begin i := i + 1; j := 0; while True do begin j := j + 1; if j >= i then break end;\n"
     "    WriteLn(i * 10 + j) end;\n"
     "  trail := '';\n"
     "  for i := 0 to 2 do\n"
     "    try try if i = 1 then RaiseException('x'); trail := trail + 'a' except trail := trail + 'b' end;\n"
     "      trail := trail + 'c' except trail := trail + 'z' end;\n"
     "  WriteLn(trail)\n"
     "end.\n",
     "int i, j, n, hits; String trail;\n"
     "int Check(int v) { if (v > 5) RaiseException(\"too big\"); return v * 2; }\n"
     "void Loops() { for (i = 0; i < 10; i++) { if (i == 3) continue; if (i == 6) break; n = n + i; } }\n"
     "int FindPair(int target) { for (i = 1; i < 10; i++) for (j = i; j < 10; j++) if (i * j == target) return i * 10 + j; return -1; }",
     "n = 0; hits = 0;\n"
     "for (i = 0; i < 10; i++) { try { if (i % 2 == 0) continue; n = n + Check(i); } except { hits++; } }\n"
     "WriteLn(n); WriteLn(hits);\n"
     "n = 0; Loops(); WriteLn(n); WriteLn(i);\n"
     "WriteLn(FindPair(42)); WriteLn(FindPair(97));\n"
     "i = 0; do { i++; if (i < 5) continue; WriteLn(i); } while (i < 7);\n"
     "n = 0; while (true) { n++; try { Check(n); } except { break; } } WriteLn(n);\n"
     "i = 0; while (i < 3) { i++; j = 0; while (true) { j++; if (j >= i) break; } WriteLn(i * 10 + j); }\n"
     "trail = \"\";\n"
     "for (i = 0; i < 3; i++) { try { try { if (i == 1) RaiseException(\"x\"); trail = trail + \"a\"; } except { trail = trail + \"b\"; }\n"
     "  trail = trail + \"c\"; } except { trail = trail + \"z\"; } }\n"
     "WriteLn(trail);",
     "Dim i, j, n, hits, trail\n"
     "Function Check(v)\n"
     "  If v > 5 Then RaiseException(\"too big\")\n"
     "  Return v * 2\n"
     "End Function\n"
     "Sub Loops()\n"
     "  For i = 0 To 9\n"
     "    If i = 3 Then Continue\n"
     "    If i = 6 Then Break\n"
     "    n = n + i\n"
     "  Next\n"
     "End Sub\n"
     "Function FindPair(target)\n"
     "  For i = 1 To 9\n"
     "    For j = i To 9\n"
     "      If i * j = target Then Return i * 10 + j\n"
     "    Next\n"
     "  Next\n"
     "  Return -1\n"
     "End Function\n"
     "n = 0\n"
     "hits = 0\n"
     "For i = 0 To 9\n"
     "  Try\n"
     "    If i Mod 2 = 0 Then Continue\n"
     "    n = n + Check(i)\n"
     "  Catch\n"
     "    hits = hits + 1\n"
     "  End Try\n"
     "Next\n"
     "WriteLn(n)\n"
     "WriteLn(hits)\n"
     "n = 0\n"
     "Loops()\n"
     "WriteLn(n)\n"
     "WriteLn(i)\n"
     "WriteLn(FindPair(42))\n"
     "WriteLn(FindPair(97))\n"
     "i = 0\n"
     "Do\n"
     "  i = i + 1\n"
     "  If i < 5 Then Continue\n"
     "  WriteLn(i)\n"
     "Loop Until i >= 7\n"
     "n = 0\n"
     "While True\n"
     "  n = n + 1\n"
     "  Try\n"
     "    Check(n)\n"
     "  Catch\n"
     "    Break\n"
     "  End Try\n"
     "Wend\n"
     "WriteLn(n)\n"
     "i = 0\n"
     "While i < 3\n"
     "  i = i + 1\n"
     "  j = 0\n"
     "  While True\n"
     "    j = j + 1\n"
     "    If j >= i Then Break\n"
     "  Wend\n"
     "  WriteLn(i * 10 + j)\n"
     "Wend\n"
     "trail = \"\"\n"
     "For i = 0 To 2\n"
     "  Try\n"
     "    Try\n"
     "      If i = 1 Then RaiseException(\"x\")\n"
     "      trail = trail & \"a\"\n"
     "    Catch\n"
     "      trail = trail & \"b\"\n"
     "    End Try\n"
     "    trail = trail & \"c\"\n"
     "  Catch\n"
     "    trail = trail & \"z\"\n"
     "  End Try\n"
     "Next\n"
     "WriteLn(trail)\n",
     "var i, j, n = 0, hits = 0, trail = \"\";\n"
     "function Check(v) { if (v > 5) RaiseException(\"too big\"); return v * 2; }\n"
     "function Loops() { for (i = 0; i < 10; i++) { if (i == 3) continue; if (i == 6) break; n = n + i; } }\n"
     "function FindPair(target) { for (i = 1; i < 10; i++) for (j = i; j < 10; j++) if (i * j == target) return i * 10 + j; return -1; }\n"
     "for (i = 0; i < 10; i++) { try { if (i % 2 == 0) continue; n = n + Check(i); } except { hits++; } }\n"
     "WriteLn(n); WriteLn(hits);\n"
     "n = 0; Loops(); WriteLn(n); WriteLn(i);\n"
     "WriteLn(FindPair(42)); WriteLn(FindPair(97));\n"
     "i = 0; do { i++; if (i < 5) continue; WriteLn(i); } while (i < 7);\n"
     "n = 0; while (true) { n++; try { Check(n); } except { break; } } WriteLn(n);\n"
     "i = 0; while (i < 3) { i++; j = 0; while (true) { j++; if (j >= i) break; } WriteLn(i * 10 + j); }\n"
     "for (i = 0; i < 3; i++) { try { try { if (i == 1) RaiseException(\"x\"); trail = trail + \"a\"; } except { trail = trail + \"b\"; }\n"
     "  trail = trail + \"c\"; } except { trail = trail + \"z\"; } }\n"
     "WriteLn(trail);\n",
     "18\n"
     "2\n"
     "12\n"
     "6\n"
     "67\n"
     "-1\n"
     "5\n"
     "6\n"
     "7\n"
     "6\n"
     "11\n"
     "22\n"
     "33\n"
     "acbcac\n"},
    {"break and continue inside try ... finally inside a loop run the whole handler", kNode | kFpc,
     "var i: Integer; trail: String;\n"
     "begin\n"
     "  trail := '';\n"
     "  for i := 0 to 4 do\n"
     "    try\n"
     "      if i = 1 then continue; if i = 3 then break; trail := trail + IntToStr(i)\n"
     "    finally trail := trail + 'f'; trail := trail + '.' end;\n"
     "  WriteLn(trail); WriteLn(i)\n"
     "end.\n",
     "int i; String trail;",
     "trail = \"\";\n"
     "for (i = 0; i < 5; i++) {\n"
     "  try { if (i == 1) continue; if (i == 3) break; trail = trail + IntToStr(i); }\n"
     "  finally { trail = trail + \"f\"; trail = trail + \".\"; }\n"
     "}\n"
     "WriteLn(trail); WriteLn(i);",
     "Dim i, trail = \"\"\n"
     "For i = 0 To 4\n"
     "  Try\n"
     "    If i = 1 Then Continue\n"
     "    If i = 3 Then Break\n"
     "    trail = trail & IntToStr(i)\n"
     "  Finally\n"
     "    trail = trail & \"f\"\n"
     "    trail = trail & \".\"\n"
     "  End Try\n"
     "Next\n"
     "WriteLn(trail)\n"
     "WriteLn(i)\n",
     "var i, trail = \"\";\n"
     "for (i = 0; i < 5; i++) {\n"
     "  try { if (i == 1) continue; if (i == 3) break; trail = trail + IntToStr(i); }\n"
     "  finally { trail = trail + \"f\"; trail = trail + \".\"; }\n"
     "}\n"
     "WriteLn(trail); WriteLn(i);\n",
     "0f.f.2f.f.\n"
     "3\n"},
    {"nested functions using the enclosing function's locals, selection by string, compound assignments", kNode | kFpc,
     "function Outer(k: Integer): Integer; var total, q: Integer;\n"
     "  procedure Add(x: Integer); begin total := total + x end;\n"
     "begin total := 0; for q := 1 to k do Add(q); Result := total end;\n"
     "function Kind(w: String): String;\n"
     "begin if w = 'a' then Result := 'letter a' else if w = 'b' then Result := 'letter b' else Result := 'other' end;\n"
     "var s: String; n: Double;\n"
     "begin\n"
     "  WriteLn(Outer(4)); WriteLn(Outer(10)); WriteLn(Kind('a')); WriteLn(Kind('b')); WriteLn(Kind('c'));\n"
     "  s := 'x'; s := s + 'y'; s := s + 'z'; WriteLn(s);\n"
     "  n := 10; n := n - 3; n := n * 4; WriteLn(n); n := n / 8; WriteLn(n)\n"
     "end.\n",
     nullptr,
     nullptr,
     "Function Outer(k)\n"
     "  Dim total = 0, q\n"
     "  Sub Add(x)\n"
     "    total = total + x\n"
     "  End Sub\n"
     "  For q = 1 To k\n"
     "    Add(q)\n"
     "  Next\n"
     "  Return total\n"
     "End Function\n"
     "Function Kind(w)\n"
     "  Select Case w\n"
     "  Case \"a\": Return \"letter a\"\n"
     "  Case \"b\": Return \"letter b\"\n"
     "  Case Else: Return \"other\"\n"
     "  End Select\n"
     "End Function\n"
     "Dim s = \"x\", n = 10\n"
     "WriteLn(Outer(4))\n"
     "WriteLn(Outer(10))\n"
     "WriteLn(Kind(\"a\"))\n"
     "WriteLn(Kind(\"b\"))\n"
     "WriteLn(Kind(\"c\"))\n"
     "s += \"y\"\n"
     "s += \"z\"\n"
     "WriteLn(s)\n"
     "n -= 3\n"
     "n *= 4\n"
     "WriteLn(n)\n"
     "n /= 8\n"
     "WriteLn(n)\n",
     "function Outer(k) {\n"
     "  var total = 0, q;\n"
     "  function Add(x) { total = total + x; }\n"
     "  for (q = 1; q <= k; q++) Add(q);\n"
     "  return total;\n"
     "}\n"
     "function Kind(w) { switch (w) { case \"a\": return \"letter a\"; case \"b\": return \"letter b\"; default: return \"other\"; } }\n"
     "var s = \"x\", n = 10;\n"
     "WriteLn(Outer(4)); WriteLn(Outer(10)); WriteLn(Kind(\"a\")); WriteLn(Kind(\"b\")); WriteLn(Kind(\"c\"));\n"
     "s += \"y\"; s += \"z\"; WriteLn(s);\n"
     "n -= 3; n *= 4; WriteLn(n); n /= 8; WriteLn(n);\n",
     "10\n"
     "55\n"
     "letter a\n"
     "letter b\n"
     "other\n"
     "xyz\n"
     "28\n"
     "3,5\n"},
    {"default parameter values, a two-dimensional array, named constants, two loop variables, deep recursion", kGxx | kFpc,
     "const N = 4;\n"
     "var grid: array[0..N - 1, 0..N - 1] of Integer; i, j, s: Integer;\n"
     "function Add(a: Integer; b: Integer = 10): Integer; begin Result := a + b end;\n"
     "function Newton(x: Double): Double; var g: Double; n: Integer;\n"
     "begin g := x / 2; n := 0; while n < 30 do begin g := (g + x / g) / 2; n := n + 1 end; Result := g end;\n"
     "function Ack(m, n: Integer): Integer;\n"
     "begin if m = 0 then Result := n + 1 else if n = 0 then Result := Ack(m - 1, 1) else Result := Ack(m - 1, Ack(m, n - 1)) end;\n"
     "function Hanoi(n, src, dst, via: Integer): Integer;\n"
     "begin if n = 0 then Result := 0 else Result := Hanoi(n - 1, src, via, dst) + 1 + Hanoi(n - 1, via, dst, src) end;\n"
     "function Rev(s: String): String;\n"
     "begin if Length(s) <= 1 then Result := s else Result := Rev(Copy(s, 2, Length(s) - 1)) + s[1] end;\n"
     "function SumTo(n: Integer): Integer; begin if n = 0 then Result := 0 else Result := n + SumTo(n - 1) end;\n"
     "begin\n"
     "  for i := 0 to N - 1 do for j := 0 to N - 1 do grid[i, j] := i * N + j;\n"
     "  s := 0; for i := 0 to N - 1 do s := s + grid[i, i] + grid[i, N - 1 - i]; WriteLn(s);\n"
     "  WriteLn(Add(1)); WriteLn(Add(1, 2)); WriteLn(Newton(2)); WriteLn(Newton(10));\n"
     "  WriteLn(Ack(2, 3)); WriteLn(Hanoi(10, 1, 3, 2)); WriteLn(Rev('abcdef')); WriteLn(SumTo(900));\n"
     "  i := 0; j := 10; while i < j do begin s := i * j; i := i + 1; j := j - 1 end; WriteLn(s); WriteLn(i); WriteLn(j)\n"
     "end.\n",
     "#define N 4\n"
     "int grid[N][N]; int i, j, s;\n"
     "int Add(int a, int b = 10) { return a + b; }\n"
     "double Newton(double x) { double g = x / 2; int n = 0; while (n < 30) { g = (g + x / g) / 2; n++; } return g; }\n"
     "int Ack(int m, int n) { if (m == 0) return n + 1; if (n == 0) return Ack(m - 1, 1); return Ack(m - 1, Ack(m, n - 1)); }\n"
     "int Hanoi(int n, int src, int dst, int via) { if (n == 0) return 0; return Hanoi(n - 1, src, via, dst) + 1 + Hanoi(n - 1, via, dst, src); }\n"
     "String Rev(String s) { if (Length(s) <= 1) return s; return Rev(Copy(s, 2, Length(s) - 1)) + s[1]; }\n"
     "int SumTo(int n) { if (n == 0) return 0; return n + SumTo(n - 1); }",
     "for (i = 0; i < N; i++) for (j = 0; j < N; j++) grid[i][j] = i * N + j;\n"
     "s = 0; for (i = 0; i < N; i++) s = s + grid[i][i] + grid[i][N - 1 - i]; WriteLn(s);\n"
     "WriteLn(Add(1)); WriteLn(Add(1, 2)); WriteLn(Newton(2)); WriteLn(Newton(10));\n"
     "WriteLn(Ack(2, 3)); WriteLn(Hanoi(10, 1, 3, 2)); WriteLn(Rev(\"abcdef\")); WriteLn(SumTo(900));\n"
     "for (i = 0, j = 10; i < j; i++, j--) s = i * j; WriteLn(s); WriteLn(i); WriteLn(j);",
     "Dim grid[4, 4], i, j, s\n"
     "Function Add(a, b = 10)\n"
     "  Return a + b\n"
     "End Function\n"
     "Function Newton(x)\n"
     "  Dim g = x / 2, n = 0\n"
     "  While n < 30\n"
     "    g = (g + x / g) / 2\n"
     "    n = n + 1\n"
     "  Wend\n"
     "  Return g\n"
     "End Function\n"
     "Function Ack(m, n)\n"
     "  If m = 0 Then Return n + 1\n"
     "  If n = 0 Then Return Ack(m - 1, 1)\n"
     "  Return Ack(m - 1, Ack(m, n - 1))\n"
     "End Function\n"
     "Function Hanoi(n, src, dst, via)\n"
     "  If n = 0 Then Return 0\n"
     "  Return Hanoi(n - 1, src, via, dst) + 1 + Hanoi(n - 1, via, dst, src)\n"
     "End Function\n"
     "Function Rev(s)\n"
     "  If Length(s) <= 1 Then Return s\n"
     "  Return Rev(Copy(s, 2, Length(s) - 1)) & Copy(s, 1, 1)\n"
     "End Function\n"
     "Function SumTo(n)\n"
     "  If n = 0 Then Return 0\n"
     "  Return n + SumTo(n - 1)\n"
     "End Function\n"
     "For i = 0 To 3\n"
     "  For j = 0 To 3\n"
     "    grid[i, j] = i * 4 + j\n"
     "  Next\n"
     "Next\n"
     "s = 0\n"
     "For i = 0 To 3\n"
     "  s = s + grid[i, i] + grid[i, 3 - i]\n"
     "Next\n"
     "WriteLn(s)\n"
     "WriteLn(Add(1))\n"
     "WriteLn(Add(1, 2))\n"
     "WriteLn(Newton(2))\n"
     "WriteLn(Newton(10))\n"
     "WriteLn(Ack(2, 3))\n"
     "WriteLn(Hanoi(10, 1, 3, 2))\n"
     "WriteLn(Rev(\"abcdef\"))\n"
     "WriteLn(SumTo(900))\n"
     "i = 0\n"
     "j = 10\n"
     "While i < j\n"
     "  s = i * j\n"
     "  i = i + 1\n"
     "  j = j - 1\n"
     "Wend\n"
     "WriteLn(s)\n"
     "WriteLn(i)\n"
     "WriteLn(j)\n",
     nullptr,
     "60\n"
     "11\n"
     "3\n"
     "1,41421356237309\n"
     "3,16227766016838\n"
     "9\n"
     "1023\n"
     "fedcba\n"
     "405450\n"
     "24\n"
     "5\n"
     "5\n"},
};

}  // namespace zentavo::testing
