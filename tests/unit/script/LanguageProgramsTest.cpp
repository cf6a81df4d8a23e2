// One program per language that uses every statement form of its grammar,
// with the tree each rule must produce written out by hand: a wrong element,
// attribute or order in a grammar document shows up here.
#include <gtest/gtest.h>

#include <map>

#include "tests/unit/script/TreeText.h"

namespace zentavo::testing {
namespace {

struct Program {
  const char* language;
  const char* text;
  std::map<std::string, std::string> units;
  std::vector<std::pair<const char*, const char*>> fragments;  // rule, expected tree fragment
};

void Check(const Program& p) {
  TfsParseTarget target;
  target.OnGetUnit = [&p](const std::string& name, std::string& text) {
    auto it = p.units.find(name);
    if (it != p.units.end()) text = it->second;
  };
  ParseResult got = Parse(p.language, p.text, false, &target);
  ASSERT_TRUE(got.ok) << p.language << ": " << got.message;
  for (const auto& [rule, fragment] : p.fragments)
    EXPECT_NE(got.tree.find(fragment), std::string::npos)
        << p.language << " " << rule << "\n  expected: " << fragment << "\n  tree: " << got.tree;
}

TEST(LanguagePrograms, VadoziDaruro) {
  Check({"VadoziDaruro",
         "program Demo;\r\n"
         "uses 'UnitA.pas';\r\n"
         "const\r\n"
         "  Max = 10;\r\n"
         "var\r\n"
         "  i, j: Integer = 0;\r\n"
         "  a: array [1..3, 0..2] of Integer;\r\n"
         "  s: String;\r\n"
         "procedure P(var x: Integer; const y, z: String; w: Integer);\r\n"
         "begin\r\n"
         "  x := y\r\n"
         "end;\r\n"
         "function F(n: Integer): Integer;\r\n"
         "var k: Integer;\r\n"
         "begin\r\n"
         "  Result := n * 2\r\n"
         "end;\r\n"
         "begin\r\n"
         "  i := -i + 1 - 2 or j xor 3;\r\n"
         "  j := i * 2 / 3 div 4 mod 5 and 6 shl 1 shr 1;\r\n"
         "  P(i, 'a', 'b', 1);\r\n"
         "  if (i >= 1) and (i <> 2) or (i <= 3) or (i > 4) or (i < 5) or (i = 6) then j := 1 else j := 2;\r\n"
         "  case i of 1, 2: j := 1; 3..4: j := 2 else j := 3 end;\r\n"
         "  repeat i := i + 1 until i > 10;\r\n"
         "  while not (i in [1, 2]) do i := i - 1;\r\n"
         "  for i := 1 to 10 do j := j + a[i, 0];\r\n"
         "  for i := 10 downto 1 do begin break; continue end;\r\n"
         "  try s := s finally exit end;\r\n"
         "  try s := s except s := '' end;\r\n"
         "  with Memo1, Memo2 do Text := @F;\r\n"
         "  s := obj.Items[0].Name(1) is TObject\r\n"
         "end.\r\n",
         {{"UnitA.pas", "procedure U; begin end; begin end."}},
         {
             {"usesclause", "uses(program(procedure(name=U compoundstmt()) compoundstmt() types()))"},
             {"constantdecl", "const(ident=Max expr(number=10))"},
             {"varlist+initvalue", "var(ident=i ident=j type=Integer init(expr(number=0)))"},
             {"array+arraydim",
              "var(ident=a array(dim(expr(number=1) expr(number=3)) dim(expr(number=0) expr(number=2))) "
              "type=Integer)"},
             {"typeident", "var(ident=s type=String)"},
             {"proceduredecl+formalparam",
              "procedure(name=P parameters(varparams() var(ident=x type=Integer) var(ident=y ident=z "
              "type=String) var(ident=w type=Integer)) compoundstmt(assignstmt(dsgn(node=x) "
              "expr(dsgn(node=y)))))"},
             {"functiondecl",
              "function(name=F parameters(var(ident=n type=Integer)) type=Integer var(ident=k "
              "type=Integer) compoundstmt(assignstmt(dsgn(node=Result) expr(dsgn(node=n) op=* "
              "number=2))))"},
             {"addop+unminus",
              "assignstmt(dsgn(node=i) expr(op=unminus dsgn(node=i) op=+ number=1 op=- number=2 op=or "
              "dsgn(node=j) op=xor number=3))"},
             {"mulop",
              "expr(dsgn(node=i) op=* number=2 op=/ number=3 op=div number=4 op=mod number=5 op=and "
              "number=6 op=shl number=1 op=shr number=1)"},
             {"callstmt",
              "callstmt(dsgn(node=P expr(dsgn(node=i)) expr(string='a') expr(string='b') "
              "expr(number=1)))"},
             {"ifstmt+relop",
              "ifstmt(expr(op=( expr(dsgn(node=i) op=>= number=1) op=) op=and op=( expr(dsgn(node=i) "
              "op=<> number=2) op=) op=or op=( expr(dsgn(node=i) op=<= number=3) op=) op=or op=( "
              "expr(dsgn(node=i) op=> number=4) op=) op=or op=( expr(dsgn(node=i) op=< number=5) op=) "
              "op=or op=( expr(dsgn(node=i) op== number=6) op=)) thenstmt(assignstmt(dsgn(node=j) "
              "expr(number=1))) elsestmt(assignstmt(dsgn(node=j) expr(number=2))))"},
             {"casestmt",
              "casestmt(expr(dsgn(node=i)) caseselector(set(expr(number=1) expr(number=2)) "
              "assignstmt(dsgn(node=j) expr(number=1))) caseselector(set(expr(number=3) range=. "
              "expr(number=4)) assignstmt(dsgn(node=j) expr(number=2))) assignstmt(dsgn(node=j) "
              "expr(number=3)))"},
             {"repeatstmt",
              "repeatstmt(assignstmt(dsgn(node=i) expr(dsgn(node=i) op=+ number=1)) expr(dsgn(node=i) "
              "op=> number=10))"},
             {"whilestmt+not+in+set",
              "whilestmt(expr(op=not op=( expr(dsgn(node=i) op=in set(expr(number=1) expr(number=2))) "
              "op=)) assignstmt(dsgn(node=i) expr(dsgn(node=i) op=- number=1)))"},
             {"forstmt",
              "forstmt(ident=i expr(number=1) expr(number=10) assignstmt(dsgn(node=j) expr(dsgn(node=j) "
              "op=+ dsgn(node=a node=[ expr(dsgn(node=i)) expr(number=0)))))"},
             {"forstmt downto+break+continue",
              "forstmt(ident=i expr(number=10) downto=downto expr(number=1) compoundstmt(break() "
              "continue()))"},
             {"trystmt finally+exit",
              "trystmt(assignstmt(dsgn(node=s) expr(dsgn(node=s))) finallystmt(exit()))"},
             {"trystmt except",
              "trystmt(assignstmt(dsgn(node=s) expr(dsgn(node=s))) exceptstmt(assignstmt(dsgn(node=s) "
              "expr(string=''))))"},
             {"withstmt+addr",
              "with(dsgn(node=Memo1) dsgn(node=Memo2) assignstmt(dsgn(node=Text) expr(dsgn(addr=@ "
              "node=F))))"},
             {"designator+is",
              "assignstmt(dsgn(node=s) expr(dsgn(node=obj node=Items node=[ expr(number=0) node=Name "
              "expr(number=1)) op=is dsgn(node=TObject)))"},
         }});
}

TEST(LanguagePrograms, RppIzozev) {
  Check({"R++Izozev",
         "#include \"UnitA.h\", \"UnitB.h\"\r\n"
         "#define Max 10\r\n"
         "int i, j = 0, a[3][2];\r\n"
         "float f;\r\n"
         "int F(int n, bool &flag, string s = \"x\") {\r\n"
         "  return n * 2;\r\n"
         "}\r\n"
         "void P() { return; }\r\n"
         "{\r\n"
         "  i = -i + 1 - 2 || j ^ 3;\r\n"
         "  j = i * 2 / 3 div 4 % 5 && 6 << 1 >> 1;\r\n"
         "  i += 1; i -= 2; i *= 3; i /= 4; i++; i--;\r\n"
         "  P();\r\n"
         "  if (i >= 1 && i <= 2 || i > 3 || i < 4 || i == 5 || i != 6) j = 1; else j = 2;\r\n"
         "  switch (i) { case 1, 2: j = 1; case 3..4: j = 2; default: j = 3; }\r\n"
         "  do i = i + 1; while (i < 10);\r\n"
         "  while (!(i in [1, 2])) i = i - 1;\r\n"
         "  for (i = 0, j = 1; i < 10; i++) { break; continue; }\r\n"
         "  for (; i < 10; ) ;\r\n"
         "  try { i = 1; } finally { exit; }\r\n"
         "  try { i = 1; } except { delete obj; }\r\n"
         "  obj = new TObject(1);\r\n"
         "  p = &F;\r\n"
         "  a[1][2] = obj.Items[0].Name(1);\r\n"
         "  int k = 1;\r\n"
         "  ;\r\n"
         "}\r\n",
         {{"UnitA.h", "int ua; { }"}, {"UnitB.h", "int ub; { }"}},
         {
             {"usesclause: later units first",
              "uses(program(var(type=int ident=ub) compoundstmt() types(int() long() void() bool() "
              "float()))) uses(program(var(type=int ident=ua)"},
             {"constsection", "const(ident=Max expr(number=10))"},
             {"varstmt+array",
              "var(type=int ident=i ident=j init(expr(number=0)) ident=a array(dim(expr(number=3)) "
              "dim(expr(number=2))))"},
             {"varstmt", "var(type=float ident=f)"},
             {"functiondecl+formalparam",
              "function(type=int name=F parameters(var(type=int ident=n) var(type=bool varparam=& "
              "ident=flag) var(type=string ident=s init(expr(string='x')))) "
              "compoundstmt(return(expr(dsgn(node=n) op=* number=2))))"},
             {"void function+return", "function(type=void name=P parameters() compoundstmt(return()))"},
             {"addop",
              "expr(op=unminus dsgn(node=i) op=+ number=1 op=- number=2 op=or dsgn(node=j) op=xor "
              "number=3)"},
             {"mulop",
              "expr(dsgn(node=i) op=* number=2 op=/ number=3 op=div number=4 op=mod number=5 op=and "
              "number=6 op=shl number=1 op=shr number=1)"},
             {"assignment modifiers",
              "assignstmt(dsgn(node=i) modificator=+ expr(number=1)) assignstmt(dsgn(node=i) "
              "modificator=- expr(number=2)) assignstmt(dsgn(node=i) modificator=* expr(number=3)) "
              "assignstmt(dsgn(node=i) modificator=/ expr(number=4)) callstmt(dsgn(node=i) "
              "modificator=+) callstmt(dsgn(node=i) modificator=-) callstmt(dsgn(node=P))"},
             {"ifstmt+relop",
              "ifstmt(expr(dsgn(node=i) op=>= number=1 op=and dsgn(node=i) op=<= number=2 op=or "
              "dsgn(node=i) op=> number=3 op=or dsgn(node=i) op=< number=4 op=or dsgn(node=i) op== "
              "number=5 op=or dsgn(node=i) op=<> number=6) thenstmt(assignstmt(dsgn(node=j) "
              "expr(number=1))) elsestmt(assignstmt(dsgn(node=j) expr(number=2))))"},
             {"casestmt",
              "casestmt(expr(dsgn(node=i)) caseselector(set(expr(number=1) expr(number=2)) "
              "assignstmt(dsgn(node=j) expr(number=1))) caseselector(set(expr(number=3) range=. "
              "expr(number=4)) assignstmt(dsgn(node=j) expr(number=2))) assignstmt(dsgn(node=j) "
              "expr(number=3)))"},
             {"repeatstmt",
              "repeatstmt(assignstmt(dsgn(node=i) expr(dsgn(node=i) op=+ number=1)) expr(dsgn(node=i) "
              "op=< number=10) inverse=)"},
             {"whilestmt+not",
              "whilestmt(expr(op=not op=( expr(dsgn(node=i) op=in set(expr(number=1) expr(number=2))) "
              "op=)) assignstmt("},
             {"cppforstmt",
              "cppforstmt(compoundstmt(assignstmt(dsgn(node=i) expr(number=0)) assignstmt(dsgn(node=j) "
              "expr(number=1))) expr(dsgn(node=i) op=< number=10) compoundstmt(callstmt(dsgn(node=i) "
              "modificator=+)) compoundstmt(break() continue()))"},
             {"cppforstmt empty parts+emptystmt",
              "cppforstmt(compoundstmt(empty()) expr(dsgn(node=i) op=< number=10) compoundstmt(empty()) "
              "empty())"},
             {"trystmt finally",
              "trystmt(compoundstmt(assignstmt(dsgn(node=i) expr(number=1))) "
              "finallystmt(compoundstmt(exit())))"},
             {"trystmt except+deletestmt",
              "exceptstmt(compoundstmt(delete(dsgn(node=obj)))))"},
             {"newoperator", "assignstmt(dsgn(node=obj) expr(new(dsgn(node=TObject expr(number=1)))))"},
             {"addr", "assignstmt(dsgn(node=p) expr(dsgn(addr=& node=F)))"},
             {"designator",
              "assignstmt(dsgn(node=a node=[ expr(number=1) expr(number=2)) expr(dsgn(node=obj "
              "node=Items node=[ expr(number=0) node=Name expr(number=1))))"},
             {"local varstmt+emptystmt", "var(type=int ident=k init(expr(number=1))) empty())"},
         }});
}

TEST(LanguagePrograms, DarozOzuziz) {
  Check({"DarozOzuziz",
         "Imports \"UnitA.vb\"\r\n"
         "Dim i, j As Integer = 0, a[3, 2]\r\n"
         "Sub P(ByRef x As Integer, ByVal y, z)\r\n"
         "  x = y\r\n"
         "End Sub\r\n"
         "Function F(n) As Integer\r\n"
         "  Return n * 2\r\n"
         "End Function\r\n"
         "i = -i + 1 - 2 Or j Xor 3 & \"s\"\r\n"
         "j = i * 2 / 3 \\ 4 Mod 5 And 6\r\n"
         "i += 1 : i++\r\n"
         "P(i)\r\n"
         "If i >= 1 Then j = 1\r\n"
         "If i <> 2 Then\r\n"
         "  j = 1\r\n"
         "ElseIf i <= 3 Then\r\n"
         "  j = 2\r\n"
         "Else\r\n"
         "  j = 3\r\n"
         "End If\r\n"
         "Select Case i\r\n"
         "Case 1, 2: j = 1\r\n"
         "Case 3..4: j = 2\r\n"
         "Case Else: j = 3\r\n"
         "End Select\r\n"
         "Do\r\n"
         "  i = i + 1\r\n"
         "Loop Until i > 10\r\n"
         "Do\r\n"
         "  i = i - 1\r\n"
         "Loop While i > 0\r\n"
         "While Not (i In [1, 2])\r\n"
         "  i = i - 1\r\n"
         "Wend\r\n"
         "For i = 1 To 10 Step 2\r\n"
         "  j = j + a[i, 0]\r\n"
         "Next\r\n"
         "Try\r\n"
         "  Exit\r\n"
         "Finally\r\n"
         "  Break\r\n"
         "End Try\r\n"
         "Try\r\n"
         "  Continue\r\n"
         "Catch\r\n"
         "  Delete obj\r\n"
         "End Try\r\n"
         "With Memo1\r\n"
         "  Text = AddressOf F\r\n"
         "End With\r\n"
         "Set obj = New TObject(1)\r\n"
         "s = obj.Items[0].Name(1)\r\n",
         {{"UnitA.vb", "u = 1\r\n"}},
         {
             {"importstmt",
              "compoundstmt(uses(program(compoundstmt(assignstmt(dsgn(node=u) expr(number=1))) "
              "types(decimal()))) var("},
             {"dimstmt+vardecl+asclause+array",
              "var(ident=i) var(ident=j type=Integer init(expr(number=0))) var(ident=a "
              "array(dim(expr(number=3)) dim(expr(number=2))))"},
             {"procstmt+formalparam",
              "procedure(name=P parameters(varparams() var(ident=x type=Integer) var(ident=y) "
              "var(ident=z)) compoundstmt(assignstmt(dsgn(node=x) expr(dsgn(node=y)))))"},
             {"funcstmt+returnstmt",
              "function(name=F parameters(var(ident=n)) type=Integer "
              "compoundstmt(return(expr(dsgn(node=n) op=* number=2))))"},
             {"addop",
              "expr(op=unminus dsgn(node=i) op=+ number=1 op=- number=2 op=or dsgn(node=j) op=xor "
              "number=3 op=strcat string='s')"},
             {"mulop",
              "expr(dsgn(node=i) op=* number=2 op=/ number=3 op=div number=4 op=mod number=5 op=and "
              "number=6)"},
             {"statementlist+modifiers",
              "assignstmt(dsgn(node=i) modificator=+ expr(number=1)) callstmt(dsgn(node=i) "
              "modificator=+) callstmt(dsgn(node=P expr(dsgn(node=i))))"},
             {"single-line ifstmt",
              "ifstmt(expr(dsgn(node=i) op=>= number=1) thenstmt(assignstmt(dsgn(node=j) "
              "expr(number=1))))"},
             {"block ifstmt+elseifstmt+elsestmt",
              "ifstmt(expr(dsgn(node=i) op=<> number=2) thenstmt(compoundstmt(assignstmt(dsgn(node=j) "
              "expr(number=1)))) elsestmt(ifstmt(expr(dsgn(node=i) op=<= number=3) "
              "thenstmt(compoundstmt(assignstmt(dsgn(node=j) expr(number=2)))) "
              "elsestmt(compoundstmt(assignstmt(dsgn(node=j) expr(number=3)))))))"},
             {"casestmt",
              "casestmt(expr(dsgn(node=i)) caseselector(set(expr(number=1) expr(number=2)) "
              "compoundstmt(assignstmt(dsgn(node=j) expr(number=1)))) caseselector(set(expr(number=3) "
              "range=. expr(number=4)) compoundstmt(assignstmt(dsgn(node=j) expr(number=2)))) "
              "compoundstmt(assignstmt(dsgn(node=j) expr(number=3))))"},
             {"dostmt until",
              "repeatstmt(compoundstmt(assignstmt(dsgn(node=i) expr(dsgn(node=i) op=+ number=1))) "
              "expr(dsgn(node=i) op=> number=10))"},
             {"dostmt while",
              "repeatstmt(compoundstmt(assignstmt(dsgn(node=i) expr(dsgn(node=i) op=- number=1))) "
              "expr(dsgn(node=i) op=> number=0) inverse=)"},
             {"whilestmt",
              "whilestmt(expr(op=not op=( expr(dsgn(node=i) op=in set(expr(number=1) expr(number=2))) "
              "op=)) compoundstmt(assignstmt("},
             {"forstmt",
              "vbforstmt(ident=i expr(number=1) expr(number=10) expr(number=2) "
              "compoundstmt(assignstmt(dsgn(node=j) expr(dsgn(node=j) op=+ dsgn(node=a node=[ "
              "expr(dsgn(node=i)) expr(number=0))))))"},
             {"trystmt finally+exit+break",
              "trystmt(compoundstmt(exit()) finallystmt(compoundstmt(break())))"},
             {"trystmt catch+continue+delete",
              "trystmt(compoundstmt(continue()) exceptstmt(compoundstmt(delete(dsgn(node=obj)))))"},
             {"withstmt+addressof",
              "with(dsgn(node=Memo1) compoundstmt(assignstmt(dsgn(node=Text) expr(dsgn(addr=AddressOf "
              "node=F)))))"},
             {"setstmt+newoperator",
              "assignstmt(dsgn(node=obj) expr(new(dsgn(node=TObject expr(number=1)))))"},
             {"designator",
              "assignstmt(dsgn(node=s) expr(dsgn(node=obj node=Items node=[ expr(number=0) node=Name "
              "expr(number=1)))))"},
         }});
}

TEST(LanguagePrograms, JScript) {
  Check({"JScript",
         "import \"UnitA.js\";\r\n"
         "var i, j = 0, a[3, 2];\r\n"
         "function F(n, &flag) { return n * 2; }\r\n"
         "i = -i + 1 - 2 || j ^ 3;\r\n"
         "j = i * 2 / 3 div 4 % 5 && 6 << 1 >> 1;\r\n"
         "i += 1; i -= 2; i *= 3; i /= 4; i++; i--;\r\n"
         "F(i, true);\r\n"
         "if (i >= 1 && i == 2 || i != 3) j = 1; else { j = 2; }\r\n"
         "switch (i) { case 1, 2: j = 1; case 3..4: j = 2; default: j = 3; }\r\n"
         "do i = i + 1; while (i < 10);\r\n"
         "while (!(i in [1, 2])) i = i - 1;\r\n"
         "for (i = 0; i < 10; i++) { break; continue; }\r\n"
         "for (var k = 0; k < 2; ) k++;\r\n"
         "try { i = 1; } finally { i = 2; }\r\n"
         "try i = 1; except delete obj;\r\n"
         "with (Memo1) Text = &F;\r\n"
         "obj = new TObject(1);\r\n"
         "s = obj.Items[0].Name(1)\r\n",
         {{"UnitA.js", "u = 1;"}},
         {
             {"importstmt",
              "compoundstmt(uses(program(compoundstmt(assignstmt(dsgn(node=u) expr(number=1))) types())) "
              "var("},
             {"varstmt+vardecl+array",
              "var(ident=i) var(ident=j init(expr(number=0))) var(ident=a array(dim(expr(number=3)) "
              "dim(expr(number=2))))"},
             {"functionstmt+formalparam+block+returnstmt",
              "function(name=F parameters(var(ident=n) var(varparam=& ident=flag)) "
              "compoundstmt(return(expr(dsgn(node=n) op=* number=2))))"},
             {"addop",
              "expr(op=unminus dsgn(node=i) op=+ number=1 op=- number=2 op=or dsgn(node=j) op=xor "
              "number=3)"},
             {"mulop",
              "expr(dsgn(node=i) op=* number=2 op=/ number=3 op=div number=4 op=mod number=5 op=and "
              "number=6 op=shl number=1 op=shr number=1)"},
             {"assignment modifiers",
              "assignstmt(dsgn(node=i) modificator=+ expr(number=1)) assignstmt(dsgn(node=i) "
              "modificator=- expr(number=2)) assignstmt(dsgn(node=i) modificator=* expr(number=3)) "
              "assignstmt(dsgn(node=i) modificator=/ expr(number=4)) callstmt(dsgn(node=i) "
              "modificator=+) callstmt(dsgn(node=i) modificator=-)"},
             {"callstmt", "callstmt(dsgn(node=F expr(dsgn(node=i)) expr(dsgn(node=true))))"},
             {"ifstmt+relop",
              "ifstmt(expr(dsgn(node=i) op=>= number=1 op=and dsgn(node=i) op== number=2 op=or "
              "dsgn(node=i) op=<> number=3) thenstmt(assignstmt(dsgn(node=j) expr(number=1))) "
              "elsestmt(compoundstmt(assignstmt(dsgn(node=j) expr(number=2)))))"},
             {"switchstmt",
              "casestmt(expr(dsgn(node=i)) caseselector(set(expr(number=1) expr(number=2)) "
              "assignstmt(dsgn(node=j) expr(number=1))) caseselector(set(expr(number=3) range=. "
              "expr(number=4)) assignstmt(dsgn(node=j) expr(number=2))) assignstmt(dsgn(node=j) "
              "expr(number=3)))"},
             {"dowhilestmt",
              "repeatstmt(assignstmt(dsgn(node=i) expr(dsgn(node=i) op=+ number=1)) expr(dsgn(node=i) "
              "op=< number=10) inverse=)"},
             {"whilestmt",
              "whilestmt(expr(op=not op=( expr(dsgn(node=i) op=in set(expr(number=1) expr(number=2))) "
              "op=)) assignstmt("},
             {"forstmt",
              "cppforstmt(assignstmt(dsgn(node=i) expr(number=0)) expr(dsgn(node=i) op=< number=10) "
              "callstmt(dsgn(node=i) modificator=+) compoundstmt(break() continue()))"},
             {"forstmt var+empty",
              "cppforstmt(var(ident=k init(expr(number=0))) expr(dsgn(node=k) op=< number=2) empty() "
              "callstmt(dsgn(node=k) modificator=+))"},
             {"trystmt finally",
              "trystmt(compoundstmt(assignstmt(dsgn(node=i) expr(number=1))) "
              "finallystmt(compoundstmt(assignstmt(dsgn(node=i) expr(number=2)))))"},
             {"trystmt except+deletestmt",
              "trystmt(assignstmt(dsgn(node=i) expr(number=1)) exceptstmt(delete(dsgn(node=obj))))"},
             {"withstmt+addr",
              "with(dsgn(node=Memo1) assignstmt(dsgn(node=Text) expr(dsgn(addr=& node=F))))"},
             {"newoperator", "assignstmt(dsgn(node=obj) expr(new(dsgn(node=TObject expr(number=1)))))"},
             {"designator without final semicolon",
              "assignstmt(dsgn(node=s) expr(dsgn(node=obj node=Items node=[ expr(number=0) node=Name "
              "expr(number=1)))))"},
         }});
}

}  // namespace
}  // namespace zentavo::testing
