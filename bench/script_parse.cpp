// Parsing speed: a 2,000-line VadoziDaruro program, reported as lines per
// second, with and without the grammar already loaded.
#include <benchmark/benchmark.h>

#include <string>

#include "script/fs_iilparser.h"

namespace {

std::string Program(int lines) {
  std::string text = "var i, j: Integer;\r\n  s: String;\r\nbegin\r\n";
  int written = 4;
  while (written < lines - 1) {
    text += "  for i := 1 to 10 do\r\n";
    text += "  begin\r\n";
    text += "    j := (i * 2 + j) div 3 - Length(s);\r\n";
    text += "    if (j > 5) and not (i in [1, 3..5]) then s := s + 'x''y' + #13#10\r\n";
    text += "    else Memo1.Lines[i] := <Tbl.\"Name\">; // comment\r\n";
    text += "  end;\r\n";
    written += 6;
  }
  text += "end.\r\n";
  return text;
}

const int kLines = 2000;

void BM_ParseVadoziDaruro(benchmark::State& state) {
  std::string text = Program(kLines);
  zentavo::TfsParseTarget program;
  for (auto _ : state) {
    zentavo::TfsILParser parser(program);
    parser.LoadLanguage("VadoziDaruro");
    bool ok = parser.BuildSyntaxTree(text);
    if (!ok) state.SkipWithError(program.ErrorMsg.c_str());
    benchmark::DoNotOptimize(parser.SyntaxTree().Root().Count());
  }
  state.counters["lines/s"] =
      benchmark::Counter(static_cast<double>(kLines), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ParseVadoziDaruro)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
