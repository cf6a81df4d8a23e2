// Compiling one variable declaration of many names, in each language, at N
// and 2N names (and, for comparison, N separate declarations). Linear work
// doubles its time when N doubles; quadratic work quadruples it.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "script/fs_iinterpreter.h"
#include "script/fs_ilibrary.h"

namespace {

using namespace zentavo;
using Clock = std::chrono::steady_clock;

std::string Names(int count) {
  std::string out;
  for (int i = 0; i < count; ++i) out += (i ? ", v" : "v") + std::to_string(i);
  return out;
}

struct Language {
  const char* name;
  std::string (*oneDeclaration)(int count);
  std::string (*separate)(int count);
};

std::string Repeat(int count, const char* before, const char* after) {
  std::string out;
  for (int i = 0; i < count; ++i) out += before + std::to_string(i) + after;
  return out;
}

const Language kLanguages[] = {
    {"VadoziDaruro", [](int n) { return "var " + Names(n) + ": Integer;\nbegin\nend."; },
     [](int n) { return Repeat(n, "var v", ": Integer;\n") + "begin\nend."; }},
    {"R++Izozev", [](int n) { return "int " + Names(n) + ";\n{\n}"; },
     [](int n) { return Repeat(n, "int v", ";\n") + "{\n}"; }},
    {"JScript", [](int n) { return "var " + Names(n) + ";\n"; }, [](int n) { return Repeat(n, "var v", ";\n"); }},
    {"DarozOzuziz", [](int n) { return "dim " + Names(n) + "\n"; }, [](int n) { return Repeat(n, "dim v", "\n"); }},
};

double CompileSeconds(const char* language, const std::string& text) {
  TfsScript script;
  script.Registrant = 1;
  RegisterLibrary(script);
  script.Registrant = 0;
  script.SyntaxType = language;
  script.Lines = text;
  const auto start = Clock::now();
  const bool ok = script.Compile();
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  if (!ok) {
    std::fprintf(stderr, "%s: %s at %s\n", language, script.ErrorMessage.c_str(), script.ErrorPosition.c_str());
    std::exit(1);
  }
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  const int n = argc > 1 ? std::atoi(argv[1]) : 20000;
  for (const Language& l : kLanguages) {
    for (bool one : {true, false}) {
      auto text = one ? l.oneDeclaration : l.separate;
      const double a = CompileSeconds(l.name, text(n));
      const double b = CompileSeconds(l.name, text(2 * n));
      std::printf("%s %s %d names: %.3f s, %d: %.3f s, ratio %.2f (linear 2, quadratic 4)\n", l.name,
                  one ? "one declaration of" : "separate declarations of", n, a, 2 * n, b, a > 0 ? b / a : 0.0);
    }
  }
  return 0;
}
