// Whole programs against Free Pascal as an independent compiler: each
// program, written in the subset both accept, must print the same under our
// interpreter as compiled by `fpc -Mdelphi`. Free Pascal gets a small prelude
// (SysUtils and RaiseException). Skipped when fpc is not installed.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/unit/scriptrun/RunHarness.h"
#include "tests/support/Command.h"

namespace zentavo::testing {
namespace {

struct Row {
  const char* what;
  const char* decls;  // declarations before the main block
  const char* body;   // statements of the main block
};

const Row kRows[] = {
    {"integer arithmetic, div and mod of negatives", "var a, b: Integer;",
     "a := -17; b := 5; WriteLn(a div b); WriteLn(a mod b); WriteLn(a * b - 3 + b shl 2); WriteLn(a xor b);"},
    {"loops: for, downto, while with continue, repeat",
     "var i, s: Integer;",
     "s := 0; for i := 1 to 10 do s := s + i * i; WriteLn(s); for i := 5 downto 3 do WriteLn(i);"
     "i := 0; while i < 10 do begin i := i + 1; if i mod 3 <> 0 then continue; WriteLn(i) end;"
     "repeat i := i - 4 until i < 0; WriteLn(i);"},
    {"recursion with a var parameter",
     "function Fib(n: Integer): Integer; begin if n < 2 then Result := n else Result := Fib(n - 1) + Fib(n - 2) "
     "end; procedure Walk(n: Integer; var total: Integer); begin total := total + n; if n > 0 then "
     "Walk(n - 1, total) end; var t: Integer;",
     "WriteLn(Fib(20)); t := 0; Walk(10, t); WriteLn(t);"},
    {"strings: concatenation, characters, library",
     "var s: String; i: Integer;",
     "s := 'merhaba'; s[1] := 'M'; WriteLn(s); WriteLn(Length(s)); WriteLn(Copy(s, 2, 3)); WriteLn(Pos('ha', s));"
     "for i := Length(s) downto 1 do Write2(s[i]); WriteLn(UpperCase('abc') + LowerCase('XY'));"},
    {"case with ranges and else", "var i: Integer;",
     "for i := 0 to 6 do case i of 0: WriteLn('zero'); 1..2: WriteLn('small'); 3, 5: WriteLn('odd') "
     "else WriteLn('other') end;"},
    {"try except and finally, exit in a procedure",
     "procedure P(n: Integer); begin try if n = 1 then exit; WriteLn('body') finally WriteLn('fin') end end;",
     "try RaiseException('x'); WriteLn('no') except WriteLn('caught') end; P(1); P(2);"
     "try try RaiseException('y') finally WriteLn('inner') end except WriteLn('outer') end;"},
    {"boolean logic and comparisons", "var a, b: Boolean; i: Integer;",
     "a := True; b := not a; if a and not b then WriteLn('yes'); i := 7; "
     "if (i > 3) and (i < 10) or b then WriteLn('in') else WriteLn('out'); "
     "if 'abc' < 'abd' then WriteLn('less'); if b or (i = 8) then WriteLn('no') else WriteLn('neither');"},
};

TEST(FpcPrograms, SameOutputAsFreePascal) {
  if (!ProgramsInstalled("fpc")) GTEST_SKIP() << "fpc is not installed";
  char dirTemplate[] = "/tmp/zentavo-fpcrun-XXXXXX";
  ASSERT_NE(mkdtemp(dirTemplate), nullptr);
  std::string dir = dirTemplate;
  int n = 0;
  for (const Row& r : kRows) {
    std::string ours_src = std::string(r.decls) + "\nbegin\n" + r.body + "\nend.\n";
    Runner run;
    // Write without a line break, as the Pascal prelude defines it.
    run.script.AddMethod("procedure Write2(Value: Variant)",
                         [&run](const Variant&, const HostClassInfo*, const std::string&, TfsMethodCall& c) {
                           run.out += VarToStr(c.Param(0));
                           return Variant::Null();
                         },
                         "", "");
    std::string ours = run.Run("VadoziDaruro", ours_src);
    std::string name = "p" + std::to_string(n++);
    std::ofstream(dir + "/" + name + ".pas")
        << "program " << name << ";\n{$mode delphi}{$H+}\nuses SysUtils;\n"
        << "procedure RaiseException(const s: string); begin raise Exception.Create(s) end;\n"
        << "procedure Write2(const s: string); begin Write(s) end;\n"
        << r.decls << "\nbegin\n" << r.body << "\nend.\n";
    std::string compile = "cd " + dir + " && fpc -Mdelphi -O1 " + name + ".pas > " + name + ".log 2>&1";
    ASSERT_EQ(std::system(compile.c_str()), 0) << r.what << ": fpc failed; see " << dir << "/" << name << ".log";
    std::string theirs = CommandOutput((dir + "/" + name).c_str());
    EXPECT_EQ(ours, theirs) << r.what;
  }
  std::system(("rm -rf " + dir).c_str());
}

}  // namespace
}  // namespace zentavo::testing
