// Preparing the 50 x 30 mm lab label once per record of a 10,000-record data
// set through the temporary-file cache: pages per second, peak memory, and
// the same for saving and for rebuilding and painting every page.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include <memory>

#include "engine/frxPreviewPages.h"
#include "platform/RecordingCanvas.h"
#include "report/frxClass.h"
#include "templates/Templates.h"

namespace {

constexpr int kPages = 10000;

double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

struct LabelRun {
  std::unique_ptr<zentavo::TfrxReport> report = zentavo::LoadBuiltInTemplate("LabBarkod3050");
  std::unique_ptr<zentavo::TfrxUserDataSet> records = std::make_unique<zentavo::TfrxUserDataSet>(report.get());
  LabelRun() {
    records->SetUserName("Records");
    records->RangeEnd = zentavo::TfrxRangeEnd::reCount;
    records->RangeEndCount = kPages;
    report->AddDataSet(records.get());
    report->SetDataSet(records.get());
    report->EngineOptions.UseFileCache = true;
    report->EngineOptions.MaxMemSize = 1;
  }
};

void BM_Prepare10000Labels(benchmark::State& state) {
  for (auto _ : state) {
    LabelRun run;
    if (!run.report->PrepareReport()) state.SkipWithError("preparation failed");
    benchmark::DoNotOptimize(run.report->PreviewPages().PageCount());
  }
  state.counters["pages/s"] = benchmark::Counter(kPages, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["peak_MB"] = PeakMegabytes();
}
BENCHMARK(BM_Prepare10000Labels)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void BM_SaveAndPaint10000Labels(benchmark::State& state) {
  LabelRun run;
  if (!run.report->PrepareReport()) state.SkipWithError("preparation failed");
  zentavo::TfrxPreviewPages& pages = zentavo::PreviewPagesOf(*run.report);
  const std::string path = "/tmp/bench_engine_prepare." + std::to_string(getpid()) + ".xml";
  for (auto _ : state) {
    pages.SaveToFile(path);
    zentavo::RecordingCanvas canvas(203, 400, 240, zentavo::CanvasKind::Printer);
    for (int i = 0; i < pages.PageCount(); ++i) pages.PaintPage(i, canvas, 203 / 96.0, 203 / 96.0, 0, 0);
  }
  std::remove(path.c_str());
  state.counters["pages/s"] = benchmark::Counter(kPages, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["peak_MB"] = PeakMegabytes();
}
BENCHMARK(BM_SaveAndPaint10000Labels)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// Last, since peak memory only grows: the same run with every page in memory.
void BM_Prepare10000LabelsWithoutFileCache(benchmark::State& state) {
  for (auto _ : state) {
    LabelRun run;
    run.report->EngineOptions.UseFileCache = false;
    if (!run.report->PrepareReport()) state.SkipWithError("preparation failed");
    benchmark::DoNotOptimize(run.report->PreviewPages().PageCount());
  }
  state.counters["pages/s"] = benchmark::Counter(kPages, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["peak_MB"] = PeakMegabytes();
}
BENCHMARK(BM_Prepare10000LabelsWithoutFileCache)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
