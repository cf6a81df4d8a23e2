// Loading the built-in templates from their embedded XML (the label jobs do
// this once per program start).
#include <benchmark/benchmark.h>

#include "report/frxClass.h"
#include "templates/Templates.h"

namespace {

void LoadTemplate(benchmark::State& state, const char* name) {
  std::string xml(zentavo::BuiltInTemplateXml(name));
  for (auto _ : state) {
    zentavo::TfrxReport report;
    zentavo::TMemoryStream stream(xml);
    report.LoadFromStream(stream);
    benchmark::DoNotOptimize(report.Objects().size());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * xml.size()));
}

void SaveTemplate(benchmark::State& state, const char* name) {
  auto report = zentavo::LoadBuiltInTemplate(name);
  for (auto _ : state) {
    zentavo::TMemoryStream stream;
    report->SaveToStream(stream);
    benchmark::DoNotOptimize(stream.Size());
  }
}

BENCHMARK_CAPTURE(LoadTemplate, RaporODYO, "RaporODYO")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(LoadTemplate, LabBarkod3050, "LabBarkod3050")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(SaveTemplate, RaporODYO, "RaporODYO")->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
