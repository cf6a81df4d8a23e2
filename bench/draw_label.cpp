// The lab label LabBarkod3050 as designed: aligning and drawing its ten
// objects (nine memos and the barcode) into a 203-dpi image, as a thermal
// printer's page; and the nine memos' heights measured alone.
#include <benchmark/benchmark.h>

#include "platform/CairoCanvas.h"
#include "render/DesignedPage.h"
#include "report/frxViews.h"
#include "templates/Templates.h"

namespace {

using namespace zentavo;

void BM_DrawLabBarkod3050At203(benchmark::State& state) {
  auto report = LoadBuiltInTemplate("LabBarkod3050");
  TfrxReportPage& page = *report->ReportPages().front();
  const int w = static_cast<int>(page.PaperWidth() / 25.4 * 203 + 0.5);
  const int h = static_cast<int>(page.PaperHeight() / 25.4 * 203 + 0.5);
  for (auto _ : state) {
    auto canvas = CairoCanvas::CreateImage(w, h, 203, CanvasKind::Printer);
    DrawDesignedPage(page, *canvas, 1);
    benchmark::DoNotOptimize(canvas->PixelAt(w / 2, 20));
  }
}
BENCHMARK(BM_DrawLabBarkod3050At203)->Unit(benchmark::kMicrosecond);

void BM_CalcHeightLabBarkod3050Memos(benchmark::State& state) {
  auto report = LoadBuiltInTemplate("LabBarkod3050");
  std::vector<TfrxCustomMemoView*> memos;
  for (TfrxComponent* c : report->AllObjects())
    if (auto* m = dynamic_cast<TfrxCustomMemoView*>(c)) memos.push_back(m);
  for (auto _ : state) {
    double total = 0;
    for (TfrxCustomMemoView* m : memos) total += m->CalcHeight();
    benchmark::DoNotOptimize(total);
  }
}
BENCHMARK(BM_CalcHeightLabBarkod3050Memos)->Unit(benchmark::kMicrosecond);

}  // namespace
BENCHMARK_MAIN();
