// Whole-program timings of the interpreter: recursive fib(27) and a
// 3,000,000-round loop with mod, in VadoziDaruro, beside Lua 5.4 running the
// same programs in the same run (when lua5.4 is installed). After the
// benchmarks the ratio engine/Lua of each program is printed.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>

#include "script/fs_iinterpreter.h"
#include "script/fs_ilibrary.h"

using namespace zentavo;

namespace {

struct Program {
  const char* name;
  const char* script;  // VadoziDaruro
  const char* lua;
};

const Program kPrograms[] = {
    {"fib27",
     "function Fib(n: Integer): Integer;\n"
     "begin\n"
     "  if n < 2 then Result := n else Result := Fib(n - 1) + Fib(n - 2)\n"
     "end;\n"
     "begin WriteLn(Fib(27)) end.\n",
     "local function fib(n) if n < 2 then return n else return fib(n - 1) + fib(n - 2) end end\n"
     "print(fib(27))\n"},
    {"loop_mod",
     "var i, s: Integer;\n"
     "begin\n"
     "  s := 0;\n"
     "  for i := 1 to 3000000 do\n"
     "    if i mod 3 = 0 then s := s + i mod 7;\n"
     "  WriteLn(s)\n"
     "end.\n",
     "local s = 0\n"
     "for i = 1, 3000000 do if i % 3 == 0 then s = s + i % 7 end end\n"
     "print(s)\n"},
};

std::map<std::string, double> g_seconds;  // best time per iteration of each benchmark

void Record(const std::string& key, double seconds) {
  auto it = g_seconds.find(key);
  if (it == g_seconds.end() || seconds < it->second) g_seconds[key] = seconds;
}

void Engine(benchmark::State& state, const Program& p) {
  TfsScript script;
  script.Registrant = 1;
  RegisterLibrary(script);
  std::string printed;
  script.AddMethod(
      "procedure WriteLn(Value: Variant)",
      [&printed](const Variant&, const HostClassInfo*, const std::string&, TfsMethodCall& c) {
        printed = VarToStr(c.Param(0));
        return Variant::Null();
      },
      "", "");
  script.Lines = p.script;
  if (!script.Compile()) {
    state.SkipWithError((script.ErrorMessage + " at " + script.ErrorPosition).c_str());
    return;
  }
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    script.Execute();
    Record(std::string("engine/") + p.name,
           std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
  }
  state.SetLabel(printed);
}

void Lua(benchmark::State& state, const Program& p) {
  if (std::system("command -v lua5.4 >/dev/null 2>&1") != 0) {
    state.SkipWithError("lua5.4 not installed");
    return;
  }
  std::string path = "/tmp/zentavo_bench_" + std::to_string(getpid()) + "_" + p.name + ".lua";
  std::ofstream(path) << p.lua;
  std::string printed;
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    FILE* f = popen(("lua5.4 " + path).c_str(), "r");
    char buf[64] = {};
    if (f && std::fgets(buf, sizeof buf, f)) printed = buf;
    if (f) pclose(f);
    Record(std::string("lua/") + p.name,
           std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
  }
  std::remove(path.c_str());
  state.SetLabel(printed);
}

}  // namespace

int main(int argc, char** argv) {
  for (const Program& p : kPrograms) {
    benchmark::RegisterBenchmark((std::string("Engine/") + p.name).c_str(),
                                 [&p](benchmark::State& s) { Engine(s, p); })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark((std::string("Lua/") + p.name).c_str(),
                                 [&p](benchmark::State& s) { Lua(s, p); })
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  for (const Program& p : kPrograms) {
    auto e = g_seconds.find(std::string("engine/") + p.name);
    auto l = g_seconds.find(std::string("lua/") + p.name);
    if (e != g_seconds.end() && l != g_seconds.end())
      std::printf("%-10s engine %.3f s, lua5.4 %.3f s, ratio %.2f\n", p.name, e->second, l->second,
                  e->second / l->second);
  }
  return 0;
}
