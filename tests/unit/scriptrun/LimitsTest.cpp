// Limits that keep a script from running away: a host may stop it from
// another thread, and only real nesting counts against the depth limit.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "tests/unit/scriptrun/RunHarness.h"

namespace zentavo::testing {
namespace {

// A chain of `n` branches testing x = 0 .. n-1, each setting x to its
// number plus one; x starts at n - 3, so the chain's third-last branch runs.
std::string Chain(const std::string& language, int n) {
  std::string s;
  auto branch = [&](int i, bool first) {
    const std::string k = std::to_string(i), v = std::to_string(i + 1);
    if (language == "VadoziDaruro") return std::string(first ? "" : " else ") + "if x = " + k + " then x := " + v;
    if (language == "DarozOzuziz") return std::string(first ? "If" : "ElseIf") + " x = " + k + " Then\r\n  x = " + v + "\r\n";
    return std::string(first ? "" : " else ") + "if (x == " + k + ") x = " + v + ";";
  };
  const std::string start = std::to_string(n - 3);
  if (language == "VadoziDaruro") s = "var x: Integer; begin x := " + start + "; ";
  if (language == "DarozOzuziz") s = "Dim x\r\nx = " + start + "\r\n";
  if (language == "R++Izozev") s = "int x; { x = " + start + "; ";
  if (language == "JScript") s = "var x = " + start + "; ";
  for (int i = 0; i < n; ++i) s += branch(i, i == 0);
  if (language == "VadoziDaruro") s += "; WriteLn(x) end.";
  if (language == "DarozOzuziz") s += "End If\r\nWriteLn(x)\r\n";
  if (language == "R++Izozev") s += " WriteLn(x); }";
  if (language == "JScript") s += " WriteLn(x);";
  return s;
}

TEST(Limits, FlatElseIfChainsAreNotNesting) {
  for (const char* language : {"VadoziDaruro", "R++Izozev", "DarozOzuziz", "JScript"}) {
    SCOPED_TRACE(language);
    // 600 branches: the chain is long, not deep.
    EXPECT_EQ(RunScript(language, Chain(language, 600)), "598\n");
  }
  // Real nesting of the same length still is an error, not a stack overflow.
  std::string deep = "var x: Integer; begin ";
  for (int i = 0; i < 5000; ++i) deep += "if x = 0 then begin ";
  deep += "x := 1";
  for (int i = 0; i < 5000; ++i) deep += " end";
  deep += " end.";
  EXPECT_EQ(RunScript("VadoziDaruro", deep).rfind("Program nested too deeply at ", 0), 0u);
}

struct StopCase {
  const char* language;
  const char* text;
  const char* why;
};

TEST(Limits, AStopFlagEndsEveryKindOfLoop) {
  const StopCase cases[] = {
      {"VadoziDaruro", "begin while True do ; end.", "an empty while loop"},
      {"VadoziDaruro", "var i: Integer; begin repeat i := i + 1 until False end.", "repeat"},
      {"VadoziDaruro", "begin while True do try RaiseException('x') except end end.",
       "a loop that catches every error still stops"},
      {"VadoziDaruro", "procedure P(n: Integer); begin if n > 0 then P(n - 1) end; begin while True do P(100) end.",
       "calls inside the loop"},
      {"R++Izozev", "int i; { for (i = 0; true; i++) ; }", "an endless for"},
      {"DarozOzuziz", "Do\r\nLoop While True\r\n", "an empty Do loop"},
      {"JScript", "var x; while (true) { try { x = 1; } finally { x = 2; } }", "try/finally inside the loop"},
  };
  for (const StopCase& c : cases) {
    SCOPED_TRACE(c.why);
    Runner r;
    std::atomic<bool> stop{false};
    r.script.SetStopFlag(&stop);
    ASSERT_TRUE(r.Compile(c.language, c.text)) << r.out;
    std::thread raiser([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      stop = true;
    });
    std::string error;
    try {
      r.script.Execute();
    } catch (const ScriptStopped& e) {
      error = e.what();
    } catch (const ScriptError& e) {
      error = std::string("other error: ") + e.what();
    }
    raiser.join();
    EXPECT_EQ(error, "The script was stopped");
  }
}

TEST(Limits, WithoutTheFlagAScriptRunsToItsEnd) {
  Runner r;
  std::atomic<bool> stop{false};
  r.script.SetStopFlag(&stop);
  EXPECT_EQ(r.Run("VadoziDaruro", "var i, s: Integer; begin for i := 1 to 100000 do s := s + 1; WriteLn(s) end."),
            "100000\n");
  stop = true;
  Runner raised;
  raised.script.SetStopFlag(&stop);
  EXPECT_EQ(raised.Run("VadoziDaruro", "begin WriteLn(1) end."), "error: The script was stopped")
      << "a raised flag stops the run before its first statement";
}

}  // namespace
}  // namespace zentavo::testing
